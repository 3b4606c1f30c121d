#pragma once

#include <stdexcept>

namespace codec_bench {

// A peer met text it cannot map into the records (wrong kind of value, parse
// failure). Only the start-up check sees it; the benchmarks run on valid texts.
class mapping_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace codec_bench
