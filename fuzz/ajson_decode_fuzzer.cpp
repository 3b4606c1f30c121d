#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/positioned_error.h"
#include "tests/ajson/test_records.h"

// Arbitrary bytes decoded into a nested record and into a vector of records:
// either the decode succeeds or it fails with a positioned codec error.
template <typename T>
void decode_or_fail_cleanly(const std::string& text) {
  T value;
  try {
    ajson::read_document(text.c_str(), value);
  } catch (const ajson::exception& e) {
    fuzz::require_positioned_error(e.what());
  }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  decode_or_fail_cleanly<codec_test::Envelope<codec_test::Shape>>(text);
  decode_or_fail_cleanly<std::vector<codec_test::Shape>>(text);
  decode_or_fail_cleanly<codec_test::Report>(text);
  return 0;
}
