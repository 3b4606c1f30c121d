#pragma once

#include <cstdint>

#include "message/imessage.h"

// A message over bytes it does not own, reporting exactly the pointer and size
// it is given, however they disagree: null data with a positive size, or a
// buffer that ends where the size says, with nothing readable after it.
class RawMessage final : public wyn::IMessage {
 public:
  RawMessage(std::uint32_t type, std::uint32_t id, const void* data, int size)
      : type_(type), id_(id), data_(data), size_(size) {}

  std::uint32_t getType() const override { return type_; }
  std::uint32_t getId() const override { return id_; }
  int getDataSize() const override { return size_; }
  const void* getData() const override { return data_; }
  const char* getSender() const override { return "hostile"; }

 private:
  std::uint32_t type_;
  std::uint32_t id_;
  const void* data_;
  int size_;
};
