#include "parallel_text.hpp"

#include <algorithm>
#include <utility>

#ifdef __linux__
#include <sched.h>
#endif

namespace morvane::tools {

ParallelTextStream::ParallelTextStream(Hyphenator h, std::string separator, unsigned threads,
                                       Output& out)
    : h_(std::move(h)),
      separator_(std::move(separator)),
      threads_(std::max(threads, 1U)),
      out_(out),
      // One more than the threads: a chunk is read while the others run.
      chunks_(std::size_t{threads_} + 1) {
  if (separator_.size() > kLongestSeparator) goSingle();
}

ParallelTextStream::~ParallelTextStream() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void ParallelTextStream::write(std::string_view text) {
  if (single_) {
    single_->write(text);
    return;
  }
  pending_.append(text);
  while (pending_.size() >= kChunk) {
    const std::size_t lineEnd = pending_.find('\n', std::max(searched_, kChunk - 1));
    if (lineEnd == std::string::npos) {
      searched_ = pending_.size();
      if (pending_.size() > kLongestLine) goSingle();
      return;
    }
    start(lineEnd + 1);
    searched_ = 0;
  }
}

void ParallelTextStream::finish() {
  if (!single_) goSingle();
  single_->finish();
}

void ParallelTextStream::goSingle() {
  writeAll();
  single_.emplace(h_, separator_, [this](std::string_view bytes) { out_.write(bytes); });
  single_->write(pending_);
  pending_ = std::string();
}

std::size_t ParallelTextStream::words() const { return words_ + (single_ ? single_->words() : 0); }

void ParallelTextStream::start(std::size_t cut) {
  if (started_ == chunks_.size()) writeOldest();
  Chunk& chunk = chunks_[(oldest_ + started_) % chunks_.size()];
  // The chunk's last input buffer takes what follows the cut and becomes
  // the pending one: buffers are reused, not made afresh.
  chunk.input.assign(pending_, cut);
  std::swap(chunk.input, pending_);
  chunk.input.resize(cut);
  chunk.done = false;
  ++started_;
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(&chunk);
  }
  changed_.notify_all();
  if (workers_.empty()) {
    for (unsigned i = 0; i < threads_; ++i) workers_.emplace_back([this] { work(); });
  }
}

void ParallelTextStream::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    Chunk& chunk = *queue_.front();
    queue_.pop_front();
    lock.unlock();
    chunk.output.clear();
    std::size_t words = 0;
    std::exception_ptr failure;
    try {
      words = appendHyphenatedText(h_, chunk.input, separator_, chunk.output);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    chunk.words = words;
    chunk.failure = failure;
    chunk.done = true;
    changed_.notify_all();
  }
}

void ParallelTextStream::writeOldest() {
  Chunk& chunk = chunks_[oldest_];
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&chunk] { return chunk.done; });
  }
  oldest_ = (oldest_ + 1) % chunks_.size();
  --started_;
  if (chunk.failure) std::rethrow_exception(chunk.failure);
  out_.write(chunk.output);
  words_ += chunk.words;
}

void ParallelTextStream::writeAll() {
  while (started_ != 0) writeOldest();
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
