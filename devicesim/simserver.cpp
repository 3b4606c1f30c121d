#include "devicesim/simserver.h"

#include "devicesim/connectionstream.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <stdexcept>

namespace LCD {
namespace DeviceSim {
namespace {

constexpr std::chrono::milliseconds kIoTimeout{5000};
constexpr time_t kKeepAliveSeconds = 30;
constexpr std::size_t kKeepAliveRequests = 10000;

// Each connection is served start to end on one worker thread.
thread_local ConnectionStream* currentConnection = nullptr;

class CurrentConnection {
 public:
  explicit CurrentConnection(ConnectionStream& stream) { currentConnection = &stream; }
  ~CurrentConnection() { currentConnection = nullptr; }
  CurrentConnection(const CurrentConnection&) = delete;
  CurrentConnection& operator=(const CurrentConnection&) = delete;
};

}  // namespace

SimServer::SimServer(std::size_t workerThreads) {
  new_task_queue = [workerThreads] { return new httplib::ThreadPool(workerThreads); };
  // Not cpp-httplib's SO_REUSEPORT: a second server on a busy port must fail,
  // not quietly take half of the connections.
  set_socket_options([](socket_t sock) {
    const int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  // What the replies announce in their Keep-Alive header; the loop below keeps to it.
  set_keep_alive_timeout(kKeepAliveSeconds);
  set_keep_alive_max_count(kKeepAliveRequests);
}

SimServer::~SimServer() { shutdown(); }

int SimServer::start(const std::string& host, int port) {
  const int bound = port == 0 ? bind_to_any_port(host) : (bind_to_port(host, port) ? port : -1);
  if (bound < 0) {
    throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
  }
  listener_ = std::thread([this] { listen_after_bind(); });
  // stop() does nothing until the accept loop runs, so wait for it.
  while (!is_running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return bound;
}

void SimServer::shutdown() {
  {
    std::lock_guard<std::mutex> lock(pauseMutex_);
    stopping_ = true;
  }
  pauseWake_.notify_all();
  stop();
  if (listener_.joinable()) {
    listener_.join();
  }
}

std::size_t SimServer::acceptedConnections() const { return connections_; }

void SimServer::pause(std::chrono::milliseconds delay) {
  std::unique_lock<std::mutex> lock(pauseMutex_);
  pauseWake_.wait_for(lock, delay, [this] { return stopping_.load(); });
}

void SimServer::dropCurrentConnection() {
  if (currentConnection != nullptr) {
    currentConnection->drop();
  }
}

std::string SimServer::currentRequestHead() {
  return currentConnection != nullptr ? currentConnection->requestHead() : std::string();
}

bool SimServer::process_and_close_socket(socket_t sock) {
  ++connections_;
  // Replies go out as head and body in separate writes; without this the
  // body waits for the client's delayed acknowledgement of the head.
  const int yes = 1;
  setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  ConnectionStream stream(sock, kIoTimeout);
  CurrentConnection current(stream);
  const std::chrono::seconds idleLimit(keep_alive_timeout_sec_);
  bool closed = false;
  for (std::size_t left = keep_alive_max_count_; left > 0 && !closed && stream.awaitRequest(stopping_, idleLimit);
       --left) {
    stream.beginRequest();
    if (!process_request(stream, left == 1, closed, nullptr) || stream.dropped()) {
      break;
    }
  }
  return true;
}

}  // namespace DeviceSim
}  // namespace LCD
