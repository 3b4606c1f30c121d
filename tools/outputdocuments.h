#pragma once

#include <cstdint>
#include <iostream>
#include <string>

#include "proto/response.h"

namespace LCD::Tools {

// The documents lcd-host prints that are not protocol records themselves.

// set-cutout: how many layers went out and the plug-in's answer byte (1: accepted).
struct SetCutoutDocument {
  std::int32_t layers = 0;
  std::int32_t answer = 0;
};

// report: the event the plug-in sent on, named by its id, with its payload.
template <typename T>
struct EventDocument {
  std::string event;
  T data;
};

// "0xfc08040e": ids as the integration documents write them.
std::string hexId(std::uint32_t id);

// One compact JSON document on its own line of standard output.
template <typename T>
void printDocument(const T& document) {
  std::string text;
  ProtoModel::encode(text, document);
  std::cout << text << '\n';
}

}  // namespace LCD::Tools

AJSON(LCD::Tools::SetCutoutDocument, layers, answer);
AJSON_TEMPLATE(LCD::Tools::EventDocument, event, data);
