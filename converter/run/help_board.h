#pragma once
// Sheets of a parallel run whose vector files a worker without a sheet of its own may
// convert ahead (sheet/shared_conversions.h): the last sheets of a run are then drawn by
// two threads each instead of leaving a core idle.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "converter/sheet/shared_conversions.h"

namespace run {

class HelpBoard {
 public:
  void post(const std::shared_ptr<sheet::SharedConversions>& offer) {
    {
      std::lock_guard lock(mutex_);
      open_.push_back(offer);
    }
    changed_.notify_one();
  }
  // Taken or not, the offer is off the board.
  void withdraw(const sheet::SharedConversions* offer) {
    std::lock_guard lock(mutex_);
    std::erase_if(open_, [&](const auto& o) { return o.get() == offer; });
  }
  // The next offer no one helps yet; waits for one until the board is closed (null).
  std::shared_ptr<sheet::SharedConversions> take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || !open_.empty(); });
    if (open_.empty()) return nullptr;
    auto offer = open_.front();
    open_.pop_front();
    return offer;
  }
  // No sheet will post again: the waiting workers end.
  void close() {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
    }
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::shared_ptr<sheet::SharedConversions>> open_;
  bool closed_ = false;
};

}  // namespace run
