#include "chunk_pool.hpp"

#include <algorithm>
#include <utility>

#ifdef __linux__
#include <sched.h>
#endif

namespace morvane::tools {

ChunkPool::ChunkPool(unsigned threads, Work work, Done done)
    : threads_(threads),
      work_(std::move(work)),
      done_(std::move(done)),
      // One more than the threads: a chunk is read while the others run.
      slots_(std::size_t{threads_} + 1) {}

ChunkPool::~ChunkPool() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void ChunkPool::start(std::string& pending, std::size_t cut) {
  if (started_ == slots_.size()) finishOldest();
  Slot& slot = slots_[(oldest_ + started_) % slots_.size()];
  // The slot's last input buffer takes what follows the cut and becomes
  // the pending one: buffers are reused, not made afresh.
  slot.chunk.input.assign(pending, cut);
  std::swap(slot.chunk.input, pending);
  slot.chunk.input.resize(cut);
  slot.done = false;
  if (threads_ == 0) {
    workOn(slot.chunk);
    done_(slot.chunk);
    return;
  }
  ++started_;
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(&slot);
  }
  changed_.notify_all();
  if (workers_.empty()) {
    for (unsigned i = 0; i < threads_; ++i) workers_.emplace_back([this] { work(); });
  }
}

void ChunkPool::workOn(Chunk& chunk) const {
  // What the chunk held last time goes; its buffers stay.
  chunk.output.clear();
  chunk.count = 0;
  chunk.marks.clear();
  work_(chunk);
}

void ChunkPool::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    Slot& slot = *queue_.front();
    queue_.pop_front();
    lock.unlock();
    std::exception_ptr failure;
    try {
      workOn(slot.chunk);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    slot.failure = failure;
    slot.done = true;
    changed_.notify_all();
  }
}

void ChunkPool::finishOldest() {
  Slot& slot = slots_[oldest_];
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&slot] { return slot.done; });
  }
  oldest_ = (oldest_ + 1) % slots_.size();
  --started_;
  if (slot.failure) std::rethrow_exception(slot.failure);
  done_(slot.chunk);
}

void ChunkPool::finishAll() {
  while (started_ != 0) finishOldest();
}

unsigned availableProcessors() {
#ifdef __linux__
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    return static_cast<unsigned>(std::max(CPU_COUNT(&set), 1));
  }
#endif
  return std::max(std::thread::hardware_concurrency(), 1U);
}

}  // namespace morvane::tools
