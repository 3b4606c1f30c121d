#pragma once

#include <vector>

#include "proto/response.h"

// Member-by-member equality of the protocol records, written out by hand so
// that it does not lean on the codec whose results it judges.
namespace codec_bench {

bool same(const LCD::ProtoModel::s_RGB& a, const LCD::ProtoModel::s_RGB& b);
bool same(const LCD::ProtoModel::Layer::s_Pos& a, const LCD::ProtoModel::Layer::s_Pos& b);
bool same(const LCD::ProtoModel::Layer::s_ForegroundColor& a, const LCD::ProtoModel::Layer::s_ForegroundColor& b);
bool same(const LCD::ProtoModel::Layer::s_Brightness& a, const LCD::ProtoModel::Layer::s_Brightness& b);
bool same(const LCD::ProtoModel::Layer::s_Hue& a, const LCD::ProtoModel::Layer::s_Hue& b);
bool same(const LCD::ProtoModel::Layer::s_SetCutout& a, const LCD::ProtoModel::Layer::s_SetCutout& b);
bool same(const LCD::ProtoModel::Layer::s_LayerCutout& a, const LCD::ProtoModel::Layer::s_LayerCutout& b);
bool same(const LCD::ProtoModel::Layer::s_Cursor& a, const LCD::ProtoModel::Layer::s_Cursor& b);
bool same(const LCD::ProtoModel::Layer::s_LayerCursorColorResult& a,
          const LCD::ProtoModel::Layer::s_LayerCursorColorResult& b);
bool same(const LCD::ProtoModel::Layer::s_InterfaceId& a, const LCD::ProtoModel::Layer::s_InterfaceId& b);
bool same(const LCD::ProtoModel::Layer::s_LayerCutoutAssessResult& a,
          const LCD::ProtoModel::Layer::s_LayerCutoutAssessResult& b);
bool same(const LCD::AutoReport::AutoReportTLVDataMessage& a, const LCD::AutoReport::AutoReportTLVDataMessage& b);
bool same(const LCD::AutoReport::LCDAutoReportData& a, const LCD::AutoReport::LCDAutoReportData& b);

template <typename T>
bool same(const std::vector<T>& a, const std::vector<T>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!same(a[i], b[i])) return false;
  }
  return true;
}

template <typename T>
bool same(const LCD::ProtoModel::s_response<T>& a, const LCD::ProtoModel::s_response<T>& b) {
  return a.code == b.code && a.message == b.message && same(a.data, b.data);
}

template <typename T>
bool same(const LCD::ProtoModel::s_responseVector<T>& a, const LCD::ProtoModel::s_responseVector<T>& b) {
  return a.code == b.code && a.message == b.message && same(a.data, b.data);
}

}  // namespace codec_bench
