// Decode and encode speed of ajson against RapidJSON, nlohmann::json and
// simdjson On-Demand, on the documents the layer cutout model exchanges with
// the device. Every codec fills the same records; the start-up check proves it.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/codec_agreement.h"
#include "bench/codecs.h"
#include "bench/documents.h"

namespace codec_bench {
namespace {

// Throughput is counted in bytes of the document's JSON text, the same for
// every codec, so MB/s ratios are time ratios.
template <typename T>
void count_bytes(benchmark::State& state, const document<T>& doc) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(doc.json.size()));
}

template <typename Codec, typename T>
void decode_benchmark(benchmark::State& state, const document<T>& doc) {
  typename Codec::decoder decode(doc.json);
  for (auto _ : state) {
    T out;
    decode(out);
    benchmark::DoNotOptimize(out);
  }
  count_bytes(state, doc);
}

template <typename Codec, typename T>
void encode_benchmark(benchmark::State& state, const document<T>& doc) {
  std::string out;
  for (auto _ : state) {
    Codec::encode(out, doc.records);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  count_bytes(state, doc);
}

template <typename Codec, typename T>
void register_decode(const document<T>& doc) {
  const std::string name = "decode/" + doc.name + "/" + Codec::name;
  benchmark::RegisterBenchmark(name.c_str(), [&doc](benchmark::State& state) { decode_benchmark<Codec>(state, doc); });
}

template <typename Codec, typename T>
void register_encode(const document<T>& doc) {
  const std::string name = "encode/" + doc.name + "/" + Codec::name;
  benchmark::RegisterBenchmark(name.c_str(), [&doc](benchmark::State& state) { encode_benchmark<Codec>(state, doc); });
}

template <typename T>
void register_decoders(const document<T>& doc) {
  register_decode<ajson_codec>(doc);
  register_decode<rapidjson_codec>(doc);
  register_decode<nlohmann_codec>(doc);
  register_decode<simdjson_codec>(doc);
}

template <typename T>
void register_encoders(const document<T>& doc) {
  register_encode<ajson_codec>(doc);
  register_encode<rapidjson_codec>(doc);
  register_encode<nlohmann_codec>(doc);
}

// The model only decodes reports, so the report has no encode benchmark.
void register_all() {
  const document_set& docs = documents();
  register_decoders(docs.layers);
  register_decoders(docs.cursor_reply);
  register_decoders(docs.cutout_report);
  register_decoders(docs.assess_reply);
  register_encoders(docs.layers);
  register_encoders(docs.cursor_reply);
  register_encoders(docs.assess_reply);
}

}  // namespace
}  // namespace codec_bench

int main(int argc, char** argv) {
  codec_bench::verify_codecs_agree();
  codec_bench::register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
