#pragma once

#include <simdjson.h>

#include "bench/documents.h"

// simdjson On-Demand as a peer (decoding only): the text is iterated in place
// and mapped into the records by hand (keys matched by name in any order,
// unknown keys skipped). The parser and the padded copy of the text are made
// once by the caller, as simdjson intends them to be reused. Throws
// simdjson_error or mapping_error.
namespace codec_bench {
namespace simdjson_peer {

void decode(simdjson::ondemand::parser& parser, const simdjson::padded_string& json, LayerCutouts& out);
void decode(simdjson::ondemand::parser& parser, const simdjson::padded_string& json, CursorColorReply& out);
void decode(simdjson::ondemand::parser& parser, const simdjson::padded_string& json, CutoutReport& out);
void decode(simdjson::ondemand::parser& parser, const simdjson::padded_string& json, AssessReply& out);

}  // namespace simdjson_peer
}  // namespace codec_bench
