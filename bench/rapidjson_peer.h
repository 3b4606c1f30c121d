#pragma once

#include <string>

#include "bench/documents.h"

// RapidJSON as a peer: Document parse, then a hand-written mapping into the
// records (keys matched by name in any order, unknown keys skipped); encoding
// through rapidjson::Writer into a StringBuffer. Throws mapping_error.
namespace codec_bench {
namespace rapidjson_peer {

void decode(const std::string& json, LayerCutouts& out);
void decode(const std::string& json, CursorColorReply& out);
void decode(const std::string& json, CutoutReport& out);
void decode(const std::string& json, AssessReply& out);

void encode(std::string& out, const LayerCutouts& value);
void encode(std::string& out, const CursorColorReply& value);
void encode(std::string& out, const AssessReply& value);

}  // namespace rapidjson_peer
}  // namespace codec_bench
