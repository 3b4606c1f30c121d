#include "bench/codec_agreement.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bench/codecs.h"
#include "bench/documents.h"
#include "bench/record_equality.h"

namespace codec_bench {
namespace {

[[noreturn]] void disagree(const char* codec, const char* direction, const std::string& doc, const char* why) {
  std::fprintf(stderr, "codec check failed: %s %s %s: %s\n", codec, direction, doc.c_str(), why);
  std::abort();
}

template <typename Codec, typename T>
void check_decoder(const document<T>& doc) {
  T out;
  try {
    typename Codec::decoder decode(doc.json);
    decode(out);
  } catch (const std::exception& e) {
    disagree(Codec::name, "decoding", doc.name, e.what());
  }
  if (!same(out, doc.records)) disagree(Codec::name, "decoding", doc.name, "records differ");
}

template <typename Codec, typename T>
void check_encoder(const document<T>& doc) {
  std::string text;
  Codec::encode(text, doc.records);
  T back;
  std::string err;
  if (!LCD::ProtoModel::decode(text, back, err)) disagree(Codec::name, "encoding", doc.name, err.c_str());
  if (!same(back, doc.records)) disagree(Codec::name, "encoding", doc.name, "records differ after decoding back");
}

template <typename T>
void check_decoders(const document<T>& doc) {
  check_decoder<ajson_codec>(doc);
  check_decoder<rapidjson_codec>(doc);
  check_decoder<nlohmann_codec>(doc);
  check_decoder<simdjson_codec>(doc);
}

template <typename T>
void check_encoders(const document<T>& doc) {
  check_encoder<ajson_codec>(doc);
  check_encoder<rapidjson_codec>(doc);
  check_encoder<nlohmann_codec>(doc);
}

}  // namespace

void verify_codecs_agree() {
  const document_set& docs = documents();
  check_decoders(docs.layers);
  check_decoders(docs.cursor_reply);
  check_decoders(docs.cutout_report);
  check_decoders(docs.assess_reply);
  check_encoders(docs.layers);
  check_encoders(docs.cursor_reply);
  check_encoders(docs.assess_reply);
}

}  // namespace codec_bench
