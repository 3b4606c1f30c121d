#pragma once

#include <simdjson.h>

#include <string>

#include "bench/mapping_error.h"
#include "bench/nlohmann_peer.h"
#include "bench/rapidjson_peer.h"
#include "bench/simdjson_peer.h"
#include "proto/response.h"

// The codecs under comparison behind one shape: a name, a decoder made once
// per text (outside the timed loop) and called per decode, and, for those that
// write, a static encode.
namespace codec_bench {

struct ajson_codec {
  static constexpr const char* name = "ajson";

  class decoder {
   public:
    explicit decoder(const std::string& json) : json_(json) {}
    template <typename T>
    void operator()(T& out) const {
      std::string err;
      if (!LCD::ProtoModel::decode(json_, out, err)) throw mapping_error(err);
    }

   private:
    const std::string& json_;
  };

  template <typename T>
  static void encode(std::string& out, const T& value) {
    LCD::ProtoModel::encode(out, value);
  }
};

struct rapidjson_codec {
  static constexpr const char* name = "rapidjson";

  class decoder {
   public:
    explicit decoder(const std::string& json) : json_(json) {}
    template <typename T>
    void operator()(T& out) const {
      rapidjson_peer::decode(json_, out);
    }

   private:
    const std::string& json_;
  };

  template <typename T>
  static void encode(std::string& out, const T& value) {
    rapidjson_peer::encode(out, value);
  }
};

struct nlohmann_codec {
  static constexpr const char* name = "nlohmann";

  class decoder {
   public:
    explicit decoder(const std::string& json) : json_(json) {}
    template <typename T>
    void operator()(T& out) const {
      nlohmann_peer::decode(json_, out);
    }

   private:
    const std::string& json_;
  };

  template <typename T>
  static void encode(std::string& out, const T& value) {
    nlohmann_peer::encode(out, value);
  }
};

struct simdjson_codec {
  static constexpr const char* name = "simdjson";

  class decoder {
   public:
    explicit decoder(const std::string& json) : padded_(json) {}
    template <typename T>
    void operator()(T& out) {
      simdjson_peer::decode(parser_, padded_, out);
    }

   private:
    simdjson::padded_string padded_;
    simdjson::ondemand::parser parser_;
  };
};

}  // namespace codec_bench
