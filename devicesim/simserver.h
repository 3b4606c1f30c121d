#pragma once

#include "devicesim/connectionserver.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <future>
#include <mutex>
#include <string>
#include <thread>

namespace LCD {
namespace DeviceSim {

// A cpp-httplib server on a thread of its own, serving each connection on a
// thread of its own (see ConnectionThreads) with short time-outs, so that
// neither idle nor hostile clients can hold back the others.
class SimServer {
 public:
  explicit SimServer(std::size_t maxConnections);
  ~SimServer();
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  // Where the routes are added, before start(). cpp-httplib tries them in the
  // order they were added.
  httplib::Server& routes();

  // Listens on `host`:`port` (0 picks a free port) and returns the port once
  // connections are being accepted. Throws std::runtime_error when it cannot bind.
  int start(const std::string& host, int port);

  // Stops listening, ends every connection and waits for their threads.
  void shutdown();

  // Sleeps in a handler, waking early when the server shuts down.
  void pause(std::chrono::milliseconds delay);

 private:
  ConnectionServer server_;
  socket_t listening_ = INVALID_SOCKET;
  std::promise<void> accepting_;
  std::thread listener_;
  std::mutex stopMutex_;
  std::condition_variable stopWake_;
  bool stopping_ = false;
};

}  // namespace DeviceSim
}  // namespace LCD
