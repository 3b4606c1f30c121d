#include "bench/record_equality.h"

namespace codec_bench {

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;

bool same(const s_RGB& a, const s_RGB& b) { return a.R == b.R && a.G == b.G && a.B == b.B; }

bool same(const s_Pos& a, const s_Pos& b) { return a.x == b.x && a.y == b.y; }

bool same(const s_ForegroundColor& a, const s_ForegroundColor& b) {
  return a.enable == b.enable && a.R == b.R && a.G == b.G && a.B == b.B;
}

bool same(const s_Brightness& a, const s_Brightness& b) {
  return a.threshold == b.threshold && a.gain == b.gain && same(a.foregroundColor, b.foregroundColor);
}

bool same(const s_Hue& a, const s_Hue& b) {
  return same(a.color, b.color) && a.hueClip == b.hueClip && a.hueRamp == b.hueRamp &&
         a.saturationClip == b.saturationClip && a.saturationGain == b.saturationGain && a.spill == b.spill &&
         a.shadow == b.shadow && a.highLigh == b.highLigh && a.edgeSmooth == b.edgeSmooth;
}

bool same(const s_SetCutout& a, const s_SetCutout& b) {
  return a.enable == b.enable && a.cursor.enable == b.cursor.enable && a.type == b.type &&
         same(a.brightness, b.brightness) && same(a.hue, b.hue);
}

bool same(const s_Cursor& a, const s_Cursor& b) {
  return a.enable == b.enable && same(a.pos, b.pos) && same(a.color, b.color);
}

bool same(const LCD::AutoReport::AutoReportTLVDataMessage& a, const LCD::AutoReport::AutoReportTLVDataMessage& b) {
  return a.CommandCode == b.CommandCode && a.ErrorCode == b.ErrorCode && a.UserDataLength == b.UserDataLength;
}

bool same(const s_LayerCutout& a, const s_LayerCutout& b) { return a.layerId == b.layerId && same(a.cutout, b.cutout); }

bool same(const s_LayerCursorColorResult& a, const s_LayerCursorColorResult& b) {
  return a.layerId == b.layerId && same(a.cursor, b.cursor);
}

bool same(const s_InterfaceId& a, const s_InterfaceId& b) { return a.interfaceId == b.interfaceId; }

bool same(const s_LayerCutoutAssessResult& a, const s_LayerCutoutAssessResult& b) {
  return a.layerId == b.layerId && a.state == b.state && same(a.interfaces, b.interfaces);
}

bool same(const LCD::AutoReport::LCDAutoReportData& a, const LCD::AutoReport::LCDAutoReportData& b) {
  return a.source == b.source && a.seq == b.seq && a.sn == b.sn && same(a.tl, b.tl) && a.body == b.body;
}

}  // namespace codec_bench
