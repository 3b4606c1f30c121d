#include "devicesim/connectionthreads.h"

#include <algorithm>

namespace LCD {
namespace DeviceSim {

ConnectionThreads::ConnectionThreads(std::size_t limit) : limit_(std::max<std::size_t>(limit, 1)) {}

ConnectionThreads::~ConnectionThreads() { shutdown(); }

void ConnectionThreads::enqueue(std::function<void()> connection) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return running_.size() < limit_; });
  joinEnded();
  // The thread moves its own handle to ended_ under the lock, held here until the handle is in place.
  const auto self = running_.emplace(running_.end());
  *self = std::thread([this, self, connection = std::move(connection)] {
    connection();
    std::lock_guard<std::mutex> ending(mutex_);
    ended_.splice(ended_.end(), running_, self);
    changed_.notify_all();
  });
}

void ConnectionThreads::shutdown() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return running_.empty(); });
  joinEnded();
}

// Called locked; the threads in ended_ need the lock no more.
void ConnectionThreads::joinEnded() {
  for (std::thread& thread : ended_) {
    thread.join();
  }
  ended_.clear();
}

}  // namespace DeviceSim
}  // namespace LCD
