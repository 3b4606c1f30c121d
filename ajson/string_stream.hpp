#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace ajson {

// Growable output buffer. It grows linearly, in steps of 1024 bytes, so that a
// message under 1 KiB costs exactly one allocation.
template <typename Alloc = std::allocator<char>>
class ajson_string_stream {
 public:
  static constexpr std::size_t growth_step = 1024;

  explicit ajson_string_stream(std::size_t initial_capacity = growth_step)
      : buffer_(nullptr), write_pos_(nullptr), end_(nullptr), capacity_(0) {
    if (initial_capacity != 0) {
      buffer_ = std::allocator_traits<Alloc>::allocate(alloc_, initial_capacity);
      capacity_ = initial_capacity;
    }
    write_pos_ = buffer_;
    end_ = buffer_ + capacity_;
  }

  ~ajson_string_stream() {
    if (buffer_ != nullptr) std::allocator_traits<Alloc>::deallocate(alloc_, buffer_, capacity_);
  }

  ajson_string_stream(const ajson_string_stream&) = delete;
  ajson_string_stream& operator=(const ajson_string_stream&) = delete;

  void put(char c) {
    if (write_pos_ == end_) grow(1);
    *write_pos_++ = c;
  }

  void write(const char* bytes, std::size_t n) {
    if (n > room()) grow(n);
    if (n != 0) std::memcpy(write_pos_, bytes, n);
    write_pos_ += n;
  }

  // Appends what fill writes at the pointer it is given, at most MaxSize
  // bytes, ending where fill's returned pointer says. Without room for
  // MaxSize the bytes are made aside and appended by write(), so the buffer
  // grows exactly as it would for those bytes alone.
  template <std::size_t MaxSize, typename Fill>
  void append(Fill&& fill) {
    if (MaxSize <= room()) {
      write_pos_ = fill(write_pos_);
      return;
    }
    char aside[MaxSize];
    write(aside, static_cast<std::size_t>(fill(aside) - aside));
  }

  const char* data() const { return buffer_; }
  std::size_t size() const { return static_cast<std::size_t>(write_pos_ - buffer_); }
  std::uint64_t capacity() const { return capacity_; }

 private:
  std::size_t room() const { return static_cast<std::size_t>(end_ - write_pos_); }

  void grow(std::size_t n) {
    constexpr auto max_size = static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max());
    const std::size_t used = size();
    if (n > max_size - used) throw std::bad_alloc();
    const std::size_t needed = used + n;
    const std::size_t new_capacity = (needed + growth_step - 1) / growth_step * growth_step;
    char* fresh = std::allocator_traits<Alloc>::allocate(alloc_, new_capacity);
    if (used != 0) std::memcpy(fresh, buffer_, used);
    if (buffer_ != nullptr) std::allocator_traits<Alloc>::deallocate(alloc_, buffer_, capacity_);
    buffer_ = fresh;
    write_pos_ = fresh + used;
    end_ = fresh + new_capacity;
    capacity_ = new_capacity;
  }

  char* buffer_;
  char* write_pos_;
  char* end_;
  std::uint64_t capacity_;
  Alloc alloc_;
};

}  // namespace ajson
