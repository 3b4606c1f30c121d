#pragma once

#include <cstdint>

#include "proto/reportstream.h"

// The host messages of the layer cutout model. Which handler serves each one
// is the message table in messagetable.cpp.
namespace LayerCutout {
namespace MessageId {

// Commands from other components.
constexpr std::uint32_t kGetLayerCutoutAssess = 0xfc050414u;
constexpr std::uint32_t kSetLayerCutout = 0xfc050413u;
constexpr std::uint32_t kSetLayerCutoutCursor = 0xfc050415u;

// The device's automatic reports, delivered by the host as events.
constexpr std::uint32_t kLayerCutoutReport = LCD::Proto::ReportStream::kCutoutReportCode;
constexpr std::uint32_t kLayerCutoutCursorReport = LCD::Proto::ReportStream::kCursorReportCode;

// Events the model sends on for those reports.
constexpr std::uint32_t kLayerCutoutChanged = 0xfc08040eu;
constexpr std::uint32_t kLayerCutoutCursorChanged = 0xfc08040fu;

}  // namespace MessageId
}  // namespace LayerCutout
