#include "devicesim/connectionthreads.h"

#include <algorithm>

namespace LCD {
namespace DeviceSim {

ConnectionThreads::ConnectionThreads(std::size_t limit) : limit_(std::max<std::size_t>(limit, 1)) {}

ConnectionThreads::~ConnectionThreads() { shutdown(); }

void ConnectionThreads::enqueue(std::function<void()> connection) {
  std::unique_lock<std::mutex> lock(mutex_);
  ended_.wait(lock, [this] {
    joinFinished();
    return threads_.size() < limit_;
  });
  threads_.emplace_back([this, connection = std::move(connection)] {
    connection();
    finished(std::this_thread::get_id());
  });
}

void ConnectionThreads::shutdown() {
  std::list<std::thread> running;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    running.swap(threads_);
  }
  // Unlocked: each thread still reports its end.
  for (std::thread& thread : running) {
    thread.join();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  finished_.clear();
}

void ConnectionThreads::finished(std::thread::id id) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_.push_back(id);
  }
  ended_.notify_one();
}

// Called locked; the threads joined here have nothing left to do.
void ConnectionThreads::joinFinished() {
  for (const std::thread::id id : finished_) {
    const auto thread =
        std::find_if(threads_.begin(), threads_.end(), [id](const auto& t) { return t.get_id() == id; });
    if (thread != threads_.end()) {
      thread->join();
      threads_.erase(thread);
    }
  }
  finished_.clear();
}

}  // namespace DeviceSim
}  // namespace LCD
