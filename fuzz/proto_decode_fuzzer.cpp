#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/oracle.h"
#include "proto/response.h"

// Arbitrary bytes through every decode the model performs: device replies,
// automatic reports and their bodies. A decode must succeed or fail with a
// positioned codec error; it must never crash or read outside the text.
template <typename T>
void decode_or_fail_cleanly(const std::string& text) {
  T value{};
  std::string err;
  fuzz::require(LCD::ProtoModel::decode(text, value, err) || fuzz::is_positioned_error(err));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace LCD::ProtoModel;
  const std::string text(reinterpret_cast<const char*>(data), size);
  decode_or_fail_cleanly<s_nullResponse>(text);
  decode_or_fail_cleanly<s_response<Layer::s_LayerCursorColorResult>>(text);
  decode_or_fail_cleanly<s_responseVector<Layer::s_LayerCutoutAssessResult>>(text);
  decode_or_fail_cleanly<LCD::AutoReport::LCDAutoReportData>(text);
  decode_or_fail_cleanly<Layer::s_LayerCursorColorResult>(text);
  decode_or_fail_cleanly<std::vector<Layer::s_LayerCutout>>(text);
  return 0;
}
