#pragma once

#include <string>

#include "bench/documents.h"

// nlohmann::json as a peer: parse, then hand-written from-json readers into
// the records (keys matched by name in any order, unknown keys skipped);
// encoding builds a json value from the record and dump()s it. Throws
// mapping_error or the library's own exceptions.
namespace codec_bench {
namespace nlohmann_peer {

void decode(const std::string& json, LayerCutouts& out);
void decode(const std::string& json, CursorColorReply& out);
void decode(const std::string& json, CutoutReport& out);
void decode(const std::string& json, AssessReply& out);

void encode(std::string& out, const LayerCutouts& value);
void encode(std::string& out, const CursorColorReply& value);
void encode(std::string& out, const AssessReply& value);

}  // namespace nlohmann_peer
}  // namespace codec_bench
