#pragma once

#include <string>
#include <vector>

#include "proto/response.h"

namespace codec_bench {

using LayerCutouts = std::vector<LCD::ProtoModel::Layer::s_LayerCutout>;
using CursorColorReply = LCD::ProtoModel::s_response<LCD::ProtoModel::Layer::s_LayerCursorColorResult>;
using CutoutReport = LCD::AutoReport::LCDAutoReportData;
using AssessReply = LCD::ProtoModel::s_responseVector<LCD::ProtoModel::Layer::s_LayerCutoutAssessResult>;

// A record as the system holds it and the JSON text that carries it.
template <typename T>
struct document {
  std::string name;
  T records;
  std::string json;
};

// The four texts the model exchanges with the device, with realistic values.
struct document_set {
  document<LayerCutouts> layers;            // request body, 16 layers
  document<CursorColorReply> cursor_reply;  // reply to reading the cursor colour
  document<CutoutReport> cutout_report;     // auto-report whose body holds 4 layers
  document<AssessReply> assess_reply;       // assessment reply, 16 results
};

// Built once, on first use; the same on every run.
const document_set& documents();

}  // namespace codec_bench
