#include "bench/documents.h"

#include <cstdint>
#include <utility>

#include "bench/value_source.h"

namespace codec_bench {
namespace {

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;

s_RGB random_colour(value_source& values) {
  return {values.between(0, 255), values.between(0, 255), values.between(0, 255)};
}

s_LayerCutout random_layer(value_source& values, int layer_id) {
  s_LayerCutout layer;
  layer.layerId = layer_id;
  s_SetCutout& cutout = layer.cutout;
  cutout.enable = values.between(0, 1);
  cutout.cursor.enable = values.between(0, 1);
  cutout.type = values.between(0, 1);
  cutout.brightness.threshold = values.between(0, 255);
  cutout.brightness.gain = values.between(0, 100);
  const s_RGB foreground = random_colour(values);
  cutout.brightness.foregroundColor = {foreground.R, foreground.G, foreground.B, values.between(0, 1)};
  cutout.hue.color = random_colour(values);
  cutout.hue.hueClip = values.between(0, 360);
  cutout.hue.hueRamp = values.between(0, 180);
  cutout.hue.saturationClip = values.between(0, 100);
  cutout.hue.saturationGain = values.between(0, 100);
  cutout.hue.spill = values.between(0, 100);
  cutout.hue.shadow = values.between(-50, 50);
  cutout.hue.highLigh = values.between(-50, 50);
  cutout.hue.edgeSmooth = values.between(0, 15);
  return layer;
}

LayerCutouts random_layers(value_source& values, int count) {
  LayerCutouts layers;
  for (int i = 0; i < count; ++i) layers.push_back(random_layer(values, i * 4 + values.between(0, 3)));
  return layers;
}

CursorColorReply random_cursor_reply(value_source& values) {
  CursorColorReply reply;
  reply.message = "success";
  reply.data.layerId = values.between(0, 63);
  reply.data.cursor.enable = 1;
  reply.data.cursor.pos = {values.between(0, 3839), values.between(0, 2159)};
  reply.data.cursor.color = random_colour(values);
  return reply;
}

CutoutReport random_cutout_report(value_source& values) {
  CutoutReport report;
  report.source = "lcd-processor/10.12.4.31";
  report.seq = static_cast<std::uint32_t>(values.between(1, 2000000000));
  report.sn = "TV4K2304A017C9";
  LCD::ProtoModel::encode(report.body, random_layers(values, 4));
  report.tl.CommandCode = 0x81110;
  report.tl.ErrorCode = 0;
  report.tl.UserDataLength = static_cast<std::uint16_t>(report.body.size());
  return report;
}

s_LayerCutoutAssessResult random_assess_result(value_source& values) {
  s_LayerCutoutAssessResult result;
  result.layerId = values.between(0, 63);
  result.state = values.between(0, 3);
  const int interfaces = values.between(1, 4);
  for (int i = 0; i < interfaces; ++i) result.interfaces.push_back({values.between(0, 47)});
  return result;
}

AssessReply random_assess_reply(value_source& values) {
  AssessReply reply;
  reply.message = "success";
  for (int i = 0; i < 16; ++i) reply.data.push_back(random_assess_result(values));
  return reply;
}

template <typename T>
document<T> as_document(std::string name, T records) {
  document<T> doc{std::move(name), std::move(records), {}};
  LCD::ProtoModel::encode(doc.json, doc.records);
  return doc;
}

document_set build_documents() {
  value_source values(20240611u);
  document_set set;
  set.layers = as_document("layers16", random_layers(values, 16));
  set.cursor_reply = as_document("cursor_reply", random_cursor_reply(values));
  set.cutout_report = as_document("cutout_report4", random_cutout_report(values));
  set.assess_reply = as_document("assess_reply16", random_assess_reply(values));
  return set;
}

}  // namespace

const document_set& documents() {
  static const document_set set = build_documents();
  return set;
}

}  // namespace codec_bench
