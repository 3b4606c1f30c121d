#pragma once

#include <cstddef>
#include <vector>

#include "proto/layercutout.h"
#include "proto/response.h"

namespace LayerCutout {

// The record a sender of the assessment command owns and points to from the
// command payload. The model reads `layers` and, only on a successful reply
// with results, writes `result`; the leading bytes belong to the sender.
struct AssessExchange {
  unsigned char senderMembers[32];
  std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layers;
  LCD::ProtoModel::s_responseVector<LCD::ProtoModel::Layer::s_LayerCutoutAssessResult> result;
};

static_assert(offsetof(AssessExchange, layers) == 32, "the settings follow the sender's 32 bytes");
static_assert(offsetof(AssessExchange, result) == 56, "the result follows the settings");

}  // namespace LayerCutout
