#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace LCD {
namespace DeviceSim {

// cpp-httplib's server running its own loop over each accepted connection
// (see ConnectionStream): it counts connections, closes idle kept-alive ones
// at once when stopping, and lets a handler drop its connection unanswered.
class SimServer : public httplib::Server {
 public:
  explicit SimServer(std::size_t workerThreads);
  ~SimServer() override;

  // Listens on `host`:`port` (0 picks a free port) on a thread of its own
  // and returns the port. Throws std::runtime_error when it cannot bind.
  int start(const std::string& host, int port);

  // Stops listening, ends every connection and waits for the workers.
  void shutdown();

  std::size_t acceptedConnections() const;

  // Sleeps in a handler, waking early when the server shuts down.
  void pause(std::chrono::milliseconds delay);

  // Called from a handler: its connection closes without any answer.
  static void dropCurrentConnection();

  // Called from a handler: its request line and headers as they were sent.
  static std::string currentRequestHead();

 private:
  bool process_and_close_socket(socket_t sock) override;

  std::thread listener_;
  std::atomic<bool> stopping_{false};
  std::atomic<std::size_t> connections_{0};
  std::mutex pauseMutex_;
  std::condition_variable pauseWake_;
};

}  // namespace DeviceSim
}  // namespace LCD
