#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace LCD {
namespace DeviceSim {

// cpp-httplib's task queue as a thread per connection: a connection, idle or
// busy, never waits for another to finish. At `limit` live connections the
// acceptor waits for one to end, so newcomers stay in the kernel's listen
// queue until then.
class ConnectionThreads final : public httplib::TaskQueue {
 public:
  explicit ConnectionThreads(std::size_t limit);
  ~ConnectionThreads() override;
  ConnectionThreads(const ConnectionThreads&) = delete;
  ConnectionThreads& operator=(const ConnectionThreads&) = delete;

  void enqueue(std::function<void()> connection) override;
  // Waits for every connection to end.
  void shutdown() override;

 private:
  void joinEnded();

  const std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::list<std::thread> running_;
  std::list<std::thread> ended_;  // to be joined
};

}  // namespace DeviceSim
}  // namespace LCD
