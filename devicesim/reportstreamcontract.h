#pragma once

#include <chrono>

namespace LCD {
namespace DeviceSim {

// The device's automatic reports as both ends of the stream see them: a GET
// on this path with the login token answers "text/event-stream", one event
// per report, its data the report's JSON text on a single line.
constexpr char kReportStreamPath[] = "/tavro/v1/system/auto-report";

// An idle stream carries a comment line this often, so that either end
// notices a peer that went away.
constexpr std::chrono::seconds kReportHeartbeat{1};

}  // namespace DeviceSim
}  // namespace LCD
