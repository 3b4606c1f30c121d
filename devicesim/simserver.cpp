#include "devicesim/simserver.h"

#include "devicesim/connectionthreads.h"

#include <sys/socket.h>

#include <stdexcept>

namespace LCD {
namespace DeviceSim {
namespace {

constexpr std::chrono::seconds kIoTimeout{2};
// Also what an idle client costs: its connection's thread until then.
constexpr time_t kKeepAliveSeconds = 1;
constexpr std::size_t kKeepAliveRequests = 10000;

}  // namespace

SimServer::SimServer(std::size_t maxConnections) {
  // cpp-httplib makes the queue when its accept loop starts: that is when
  // stop() begins to work, so start() waits for it.
  server_.new_task_queue = [this, maxConnections] {
    accepting_.set_value();
    return new ConnectionThreads(maxConnections);
  };
  // Not cpp-httplib's SO_REUSEPORT: a second server on a busy port must fail,
  // not quietly take half of the connections.
  server_.set_socket_options([this](socket_t sock) {
    const int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listening_ = sock;
  });
  // Replies go out as head and body in separate writes; without this the
  // body waits for the client's delayed acknowledgement of the head.
  server_.set_tcp_nodelay(true);
  server_.set_read_timeout(kIoTimeout);
  server_.set_write_timeout(kIoTimeout);
  server_.set_keep_alive_timeout(kKeepAliveSeconds);
  server_.set_keep_alive_max_count(kKeepAliveRequests);
}

SimServer::~SimServer() { shutdown(); }

httplib::Server& SimServer::routes() { return server_; }

int SimServer::start(const std::string& host, int port) {
  const int bound = port == 0 ? server_.bind_to_any_port(host) : (server_.bind_to_port(host, port) ? port : -1);
  if (bound < 0) {
    throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
  }
  // cpp-httplib listens with a backlog of 5: a burst of new clients would
  // find it full and wait for their SYN to be resent, a second later.
  ::listen(listening_, SOMAXCONN);
  std::future<void> accepting = accepting_.get_future();
  listener_ = std::thread([this] { server_.listen_after_bind(); });
  accepting.wait();
  return bound;
}

void SimServer::shutdown() {
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    stopping_ = true;
  }
  stopWake_.notify_all();
  server_.stop();
  if (listener_.joinable()) {
    server_.endConnections();
    listener_.join();
  }
}

void SimServer::pause(std::chrono::milliseconds delay) {
  std::unique_lock<std::mutex> lock(stopMutex_);
  stopWake_.wait_for(lock, delay, [this] { return stopping_; });
}

}  // namespace DeviceSim
}  // namespace LCD
