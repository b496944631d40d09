#include "output.hpp"

namespace morvane::tools {

Output::~Output() { (void)finish(); }

void Output::write(std::string_view bytes) {
  // Blocks never grow past kBlock: a few of them, reused, hold any output.
  while (block_.size() + bytes.size() >= kBlock) {
    const std::size_t room = kBlock - block_.size();
    block_.append(bytes.substr(0, room));
    bytes.remove_prefix(room);
    handOff();
  }
  block_.append(bytes);
}

void Output::handOff() {
  std::unique_lock lock(mutex_);
  if (!writer_.joinable()) {
    done_ = false;
    writer_ = std::thread([this] { writeQueued(); });
  }
  // Memory stays bounded: wait while the writer is behind.
  changed_.wait(lock, [this] { return queue_.size() < kQueued; });
  queue_.push_back(std::move(block_));
  // Blocks are reused, not made afresh: a few exist in all.
  if (spare_.empty()) {
    block_ = std::string();
    block_.reserve(kBlock);
  } else {
    block_ = std::move(spare_.back());
    spare_.pop_back();
  }
  changed_.notify_all();
}

void Output::writeQueued() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !queue_.empty() || done_; });
    if (queue_.empty()) return;
    std::string block = std::move(queue_.front());
    queue_.pop_front();
    const bool skip = failed_;
    lock.unlock();
    changed_.notify_all();
    const bool ok = skip || std::fwrite(block.data(), 1, block.size(), stdout) == block.size();
    block.clear();
    lock.lock();
    failed_ = failed_ || !ok;
    spare_.push_back(std::move(block));
  }
}

bool Output::finish() {
  if (!block_.empty()) handOff();
  if (writer_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      done_ = true;
    }
    changed_.notify_all();
    writer_.join();
  }
  failed_ = failed_ || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  if (failed_ && !reported_) {
    std::fputs("morvane-hyphenate: cannot write standard output\n", stderr);
    reported_ = true;
  }
  return !failed_;
}

}  // namespace morvane::tools
