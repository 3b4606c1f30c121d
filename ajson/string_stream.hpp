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

  // Appends n bytes only if they fit the buffer as it stands; returns whether
  // it did. For the many small appends (a name, a number), which then cost no
  // library call; and it lets a writer put several small pieces in one go
  // without changing where the buffer grows: when they do not fit, the writer
  // appends them with write() or put() as before.
  bool write_if_room(const char* bytes, std::size_t n) {
    if (n > room()) return false;
    copy_bytes(write_pos_, bytes, n);
    write_pos_ += n;
    return true;
  }

  const char* data() const { return buffer_; }
  std::size_t size() const { return static_cast<std::size_t>(write_pos_ - buffer_); }
  std::uint64_t capacity() const { return capacity_; }

 private:
  std::size_t room() const { return static_cast<std::size_t>(end_ - write_pos_); }

  // Most appends are a few bytes (a number, a name); fixed-size copies of
  // overlapping halves avoid a library call without touching bytes outside
  // [from, from + n) or [to, to + n).
  static void copy_bytes(char* to, const char* from, std::size_t n) {
    if (n > 16) {
      std::memcpy(to, from, n);
    } else if (n >= 8) {
      copy_overlapping<std::uint64_t>(to, from, n);
    } else if (n >= 4) {
      copy_overlapping<std::uint32_t>(to, from, n);
    } else if (n != 0) {
      to[0] = from[0];
      to[n / 2] = from[n / 2];
      to[n - 1] = from[n - 1];
    }
  }

  template <typename Word>
  static void copy_overlapping(char* to, const char* from, std::size_t n) {
    Word head;
    Word tail;
    std::memcpy(&head, from, sizeof(Word));
    std::memcpy(&tail, from + n - sizeof(Word), sizeof(Word));
    std::memcpy(to, &head, sizeof(Word));
    std::memcpy(to + n - sizeof(Word), &tail, sizeof(Word));
  }

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
