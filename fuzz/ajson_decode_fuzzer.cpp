#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "ajson/ajson.hpp"
#include "fuzz/oracle.h"

// Arbitrary bytes through the codec's lowest layers. The tokenizer walks the
// whole text and the skipper passes over it as one value: each gets through
// or stops at a positioned fault, and no token points outside the text. The
// bytes written as a JSON string come out as printable ASCII that reads back
// as a prefix of them: all of them when they are ASCII without NUL.
namespace {

// The text is read three ways: tokenized and skipped up to its NUL, and
// tokenized from a copy of exactly its bytes with the limit at their end, so
// that any read past the limit is out of bounds.
void tokenize_then_skip(const std::string& text) {
  const std::unique_ptr<char[]> exact(new char[text.size()]);
  std::copy(text.begin(), text.end(), exact.get());
  for (const int pass : {0, 1, 2}) {
    if (pass == 2 && text.empty()) break;  // a limit of 0 means none
    const char* const begin = pass == 2 ? exact.get() : text.c_str();
    const char* const end = begin + text.size() + (pass == 2 ? 0 : 1);  // a token may stand on the NUL
    try {
      ajson::reader rd(begin, pass == 2 ? text.size() : UINT64_MAX);
      rd.next();
      if (pass == 1) ajson::skip(rd);
      for (; pass != 1 && rd.token.kind != ajson::tk_end; rd.next())
        fuzz::require(rd.token.text.str >= begin && rd.token.text.str + rd.token.text.len <= end);
    } catch (const ajson::exception& e) {
      fuzz::require(fuzz::is_positioned_error(e.what()));
    }
  }
}

void write_and_read_back(const std::string& bytes) {
  std::string json;
  ajson::write_document(json, bytes);
  const bool ascii = std::all_of(json.begin(), json.end(), [](unsigned char c) { return c >= 32 && c <= 126; });
  std::string back;
  ajson::read_document(json.c_str(), back);
  // Above U+FFFF the two halves of a surrogate pair read back one by one, as other bytes.
  const bool four_byte = std::any_of(bytes.begin(), bytes.end(), [](unsigned char c) { return c >= 0xF0; });
  const bool plain = std::all_of(bytes.begin(), bytes.end(), [](unsigned char c) { return c != 0 && c < 128; });
  fuzz::require(ascii && (four_byte || bytes.compare(0, back.size(), back) == 0) && (!plain || back == bytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  tokenize_then_skip(text);
  write_and_read_back(text);
  return 0;
}
