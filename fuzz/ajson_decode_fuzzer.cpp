#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <regex>
#include <string>

#include "ajson/ajson.hpp"
#include "fuzz/oracle.h"

// Arbitrary bytes through the codec's lowest layers. The tokenizer walks the
// whole text and the skipper passes over it as one value: each gets through
// or stops at a positioned fault, and no token points outside the text. The
// bytes written as a JSON string come out as printable ASCII that reads back
// as a prefix of them: all of them when they are ASCII without NUL.
namespace {

void tokenize_then_skip(const std::string& text) {
  const char* const end = text.c_str() + text.size() + 1;  // a token may stand on the NUL
  for (const bool skipping : {false, true}) {
    try {
      ajson::reader rd(text.c_str(), UINT64_MAX);
      rd.next();
      if (skipping) ajson::skip(rd);
      for (; !skipping && rd.token.kind != ajson::tk_end; rd.next())
        fuzz::require(rd.token.text.str >= text.c_str() && rd.token.text.str + rd.token.text.len <= end);
    } catch (const ajson::exception& e) {
      fuzz::require(fuzz::is_positioned_error(e.what()));
    }
  }
}

void write_and_read_back(const std::string& bytes) {
  ajson::ajson_string_stream<> stream;
  ajson::lite_write<ajson::ajson_string_stream<>> writer(stream);
  writer.write_str(bytes.data(), bytes.size());
  const std::string json(stream.data(), stream.size());
  const bool ascii = std::all_of(json.begin(), json.end(), [](unsigned char c) { return c >= 32 && c <= 126; });
  std::string back;
  ajson::read_document(json.c_str(), back);
  // Above U+FFFF the two halves of a surrogate pair read back one by one, as other bytes.
  static const std::regex surrogate(R"(\\uD[89AB])");
  const bool prefix = std::regex_search(json, surrogate) || bytes.compare(0, back.size(), back) == 0;
  const bool plain = std::all_of(bytes.begin(), bytes.end(), [](unsigned char c) { return c != 0 && c < 128; });
  fuzz::require(ascii && prefix && (!plain || back == bytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  tokenize_then_skip(text);
  write_and_read_back(text);
  return 0;
}
