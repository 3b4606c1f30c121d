#include "devicesim/connectionserver.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace LCD {
namespace DeviceSim {
namespace {

// Whether `sock` becomes ready for `events` within `timeoutMs`.
bool ready(socket_t sock, short events, int timeoutMs) {
  pollfd waiting{sock, events, 0};
  int result;
  while ((result = ::poll(&waiting, 1, timeoutMs)) < 0 && errno == EINTR) continue;
  return result > 0;
}

void addressOf(int (*name)(int, sockaddr*, socklen_t*), socket_t sock, std::string& ip, int& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  char host[NI_MAXHOST];
  char service[NI_MAXSERV];
  if (name(sock, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
      getnameinfo(reinterpret_cast<sockaddr*>(&address), length, host, sizeof host, service, sizeof service,
                  NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
    ip = host;
    port = std::atoi(service);
  }
}

// One accepted connection as cpp-httplib reads and writes it: each read or
// write waits at most its time-out, and reads come from a buffer, since the
// request head is read one byte at a time.
class ConnectionStream final : public httplib::Stream {
 public:
  ConnectionStream(socket_t sock, time_t readTimeoutSec, time_t writeTimeoutSec)
      : sock_(sock),
        readTimeoutMs_(static_cast<int>(readTimeoutSec * 1000)),
        writeTimeoutMs_(static_cast<int>(writeTimeoutSec * 1000)) {}

  // Whether a request begins within `seconds`.
  bool awaitRequest(time_t seconds) const {
    return start_ < end_ || ready(sock_, POLLIN, static_cast<int>(seconds * 1000));
  }

  bool is_readable() const override { return ready(sock_, POLLIN, readTimeoutMs_); }
  bool is_writable() const override { return ready(sock_, POLLOUT, writeTimeoutMs_); }

  ssize_t read(char* ptr, size_t size) override {
    if (start_ == end_) {
      if (!is_readable()) return -1;
      const ssize_t received = ::recv(sock_, buffer_, sizeof buffer_, 0);
      if (received <= 0) return received;
      start_ = 0;
      end_ = static_cast<std::size_t>(received);
    }
    const std::size_t count = std::min(size, end_ - start_);
    std::memcpy(ptr, buffer_ + start_, count);
    start_ += count;
    return static_cast<ssize_t>(count);
  }

  ssize_t write(const char* ptr, size_t size) override {
    return is_writable() ? ::send(sock_, ptr, size, MSG_NOSIGNAL) : -1;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override { addressOf(getpeername, sock_, ip, port); }
  void get_local_ip_and_port(std::string& ip, int& port) const override { addressOf(getsockname, sock_, ip, port); }
  socket_t socket() const override { return sock_; }

 private:
  const socket_t sock_;
  const int readTimeoutMs_;
  const int writeTimeoutMs_;
  char buffer_[4096];
  std::size_t start_ = 0;
  std::size_t end_ = 0;
};

}  // namespace

void ConnectionServer::endConnections() {
  std::lock_guard<std::mutex> lock(mutex_);
  ending_ = true;
  for (const socket_t sock : serving_) {
    ::shutdown(sock, SHUT_RDWR);
  }
}

bool ConnectionServer::process_and_close_socket(socket_t sock) {
  bool closed = !track(sock);
  ConnectionStream stream(sock, read_timeout_sec_, write_timeout_sec_);
  for (std::size_t left = keep_alive_max_count_; !closed && left > 0 && stream.awaitRequest(keep_alive_timeout_sec_);
       --left) {
    if (!process_request(stream, left == 1, closed, nullptr)) break;
  }
  untrackAndClose(sock);
  return true;
}

bool ConnectionServer::track(socket_t sock) {
  std::lock_guard<std::mutex> lock(mutex_);
  serving_.insert(sock);
  return !ending_;
}

void ConnectionServer::untrackAndClose(socket_t sock) {
  std::lock_guard<std::mutex> lock(mutex_);
  serving_.erase(sock);
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
}

}  // namespace DeviceSim
}  // namespace LCD
