#pragma once

namespace codec_bench {

// Checks, before anything is timed, that every codec decodes every document
// into records equal to the ones it was made from, and that every encoder's
// text decodes back (with ajson) to the same records. Prints the first
// disagreement and aborts, so that no number is ever reported for codecs that
// do different work.
void verify_codecs_agree();

}  // namespace codec_bench
