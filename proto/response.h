#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <type_traits>
#include <vector>

#include "ajson/ajson.hpp"
#include "proto/layercutout.h"

namespace LCD {
namespace ProtoModel {

// The device's reply envelopes. A reply without "code" reads as 0, so every
// user starts from code 0, an empty message and a default data member.
struct s_nullResponse {
  std::int32_t code = 0;
  std::string message;
};

template <typename T>
struct s_response {
  std::int32_t code = 0;
  std::string message;
  T data;
};

template <typename T>
struct s_responseVector {
  std::int32_t code = 0;
  std::string message;
  std::vector<T> data;
};

// Fills out from json; never throws for bad input. On failure err holds the
// codec's positioned text and out keeps what was read before the fault.
template <typename T>
bool decode(const std::string& json, T& out, std::string& err) {
  try {
    ajson::read_document(json.c_str(), out);
    return true;
  } catch (const std::exception& e) {
    err = e.what();
    return false;
  }
}

// Replaces out with the compact JSON text of value.
template <typename T>
void encode(std::string& out, const T& value) {
  ajson::write_document(out, value);
}

// The assessment envelope is also a host payload in its in-memory form.
using AssessResponse = s_responseVector<Layer::s_LayerCutoutAssessResult>;
static_assert(sizeof(AssessResponse) == 64, "code, padding, string, vector");
static_assert(std::is_standard_layout<AssessResponse>::value, "offsets below must be meaningful");
static_assert(offsetof(AssessResponse, code) == 0 && offsetof(AssessResponse, message) == 8 &&
                  offsetof(AssessResponse, data) == 40,
              "code at 0, message at 8, data at 40");

}  // namespace ProtoModel
}  // namespace LCD

AJSON(LCD::ProtoModel::s_nullResponse, code, message);
AJSON_TEMPLATE(LCD::ProtoModel::s_response, code, message, data);
AJSON_TEMPLATE(LCD::ProtoModel::s_responseVector, code, message, data);
