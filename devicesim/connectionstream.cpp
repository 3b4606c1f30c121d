#include "devicesim/connectionstream.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace LCD {
namespace DeviceSim {
namespace {

using AddressQuery = int (*)(int, sockaddr*, socklen_t*);

void describeAddress(socket_t socket, AddressQuery query, std::string& ip, int& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  char host[NI_MAXHOST] = "";
  char service[NI_MAXSERV] = "";
  if (query(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
      getnameinfo(reinterpret_cast<sockaddr*>(&address), length, host, sizeof host, service, sizeof service,
                  NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
    ip = host;
    port = std::atoi(service);
  }
}

}  // namespace

ConnectionStream::ConnectionStream(socket_t socket, std::chrono::milliseconds ioTimeout)
    : socket_(socket), ioTimeout_(ioTimeout) {}

ConnectionStream::~ConnectionStream() {
  ::shutdown(socket_, SHUT_RDWR);
  ::close(socket_);
}

bool ConnectionStream::is_readable() const { return begin_ < end_ || waitFor(POLLIN, ioTimeout_); }

bool ConnectionStream::is_writable() const { return !dropped_ && waitFor(POLLOUT, ioTimeout_); }

ssize_t ConnectionStream::read(char* ptr, size_t size) {
  if (begin_ == end_) {
    if (!waitFor(POLLIN, ioTimeout_)) {
      return -1;
    }
    ssize_t received = 0;
    do {
      received = ::recv(socket_, buffer_.data(), buffer_.size(), 0);
    } while (received < 0 && errno == EINTR);
    if (received <= 0) {
      return received;
    }
    begin_ = 0;
    end_ = static_cast<size_t>(received);
  }
  const size_t count = std::min(size, end_ - begin_);
  std::memcpy(ptr, buffer_.data() + begin_, count);
  capture(ptr, count);
  begin_ += count;
  return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
  size_t sent = 0;
  while (sent < size) {
    if (!is_writable()) {
      return -1;
    }
    const ssize_t n = ::send(socket_, ptr + sent, size - sent, MSG_NOSIGNAL);
    if (n < 0 && errno != EINTR) {
      return -1;
    }
    sent += static_cast<size_t>(std::max<ssize_t>(n, 0));
  }
  return static_cast<ssize_t>(sent);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  describeAddress(socket_, ::getpeername, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  describeAddress(socket_, ::getsockname, ip, port);
}

socket_t ConnectionStream::socket() const { return socket_; }

bool ConnectionStream::awaitRequest(const std::atomic<bool>& stopping, std::chrono::milliseconds idleLimit) const {
  constexpr std::chrono::milliseconds kStopCheck{20};
  const auto deadline = std::chrono::steady_clock::now() + idleLimit;
  while (!stopping) {
    if (begin_ < end_ || waitFor(POLLIN, kStopCheck)) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
  }
  return false;
}

void ConnectionStream::beginRequest() {
  head_.clear();
  headComplete_ = false;
}

const std::string& ConnectionStream::requestHead() const { return head_; }

void ConnectionStream::drop() { dropped_ = true; }

bool ConnectionStream::dropped() const { return dropped_; }

void ConnectionStream::capture(const char* data, size_t size) {
  if (headComplete_) {
    return;
  }
  static const std::string kHeadEnd = "\r\n\r\n";
  const size_t searchFrom = head_.size() < kHeadEnd.size() ? 0 : head_.size() - kHeadEnd.size() + 1;
  head_.append(data, size);
  const size_t end = head_.find(kHeadEnd, searchFrom);
  if (end != std::string::npos) {
    head_.resize(end + 2);
    headComplete_ = true;
  }
}

// A closed or broken connection counts as ready: the next read or write reports it.
bool ConnectionStream::waitFor(short events, std::chrono::milliseconds timeout) const {
  pollfd watched{socket_, events, 0};
  int ready = 0;
  do {
    ready = ::poll(&watched, 1, static_cast<int>(timeout.count()));
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

}  // namespace DeviceSim
}  // namespace LCD
