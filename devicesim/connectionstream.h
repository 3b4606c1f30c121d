#pragma once

#include <httplib.h>

#include <array>
#include <atomic>
#include <chrono>
#include <string>

namespace LCD {
namespace DeviceSim {

// One accepted client connection as cpp-httplib reads and writes it. Owning
// the connection loop lets the simulator count connections, notice a stop
// while a kept-alive connection is idle, drop a connection unanswered, and
// keep each request's head as it was sent (cpp-httplib's parsed headers
// lose empty values and URL-decode the rest).
class ConnectionStream final : public httplib::Stream {
 public:
  ConnectionStream(socket_t socket, std::chrono::milliseconds ioTimeout);
  ~ConnectionStream() override;
  ConnectionStream(const ConnectionStream&) = delete;
  ConnectionStream& operator=(const ConnectionStream&) = delete;

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  using httplib::Stream::write;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override;

  // Waits for the client's next request. False when the client closed the
  // connection, `stopping` became true, or nothing came within `idleLimit`.
  bool awaitRequest(const std::atomic<bool>& stopping, std::chrono::milliseconds idleLimit) const;

  // Starts capturing the head of the next request read.
  void beginRequest();
  // The request line and header lines of the current request, verbatim.
  const std::string& requestHead() const;

  // From now on nothing more is written; the connection closes unanswered.
  void drop();
  bool dropped() const;

 private:
  bool waitFor(short events, std::chrono::milliseconds timeout) const;
  void capture(const char* data, size_t size);

  socket_t socket_;
  std::chrono::milliseconds ioTimeout_;
  std::array<char, 4096> buffer_{};
  size_t begin_ = 0;
  size_t end_ = 0;
  bool dropped_ = false;
  std::string head_;
  bool headComplete_ = false;
};

}  // namespace DeviceSim
}  // namespace LCD
