#include "output.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace morvane::tools {

namespace {

void report(const std::string& what, int error) {
  std::fprintf(stderr, "morvane-hyphenate: %s: %s\n", what.c_str(),
               std::generic_category().message(error).c_str());
}

}  // namespace

Output::Output() : name_("standard output"), file_(stdout) {}

Output::Output(std::string path, std::optional<mode_t> mode)
    : name_(path), path_(std::move(path)), mode_(mode) {
  // Beside the file, so that renaming it into place is one step.
  temporary_ = path_ + ".XXXXXX";
  const int fd = mkstemp(temporary_.data());
  if (fd < 0) {
    error_ = errno;
    temporary_.clear();
    return;
  }
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    error_ = errno;
    close(fd);
  }
}

Output::~Output() {
  if (!finished_) abandon();
}

void Output::fail(int error) {
  if (error_ == 0) error_ = error != 0 ? error : EIO;
}

void Output::write(std::string_view bytes) {
  // Blocks never grow past kBlock: a few of them, reused, hold any output.
  while (block_.size() + bytes.size() >= kBlock) {
    const std::size_t room = kBlock - block_.size();
    block_.append(bytes.substr(0, room));
    bytes.remove_prefix(room);
    if (!handOff()) {
      report("cannot write " + name_, error_);
      finished_ = true;
      abandon();
      throw OutputFailed{};
    }
  }
  block_.append(bytes);
}

bool Output::handOff() {
  std::unique_lock lock(mutex_);
  if (error_ != 0 || file_ == nullptr) {
    fail(error_);
    block_.clear();
    return false;
  }
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
  return error_ == 0;
}

void Output::writeQueued() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !queue_.empty() || done_; });
    if (queue_.empty()) return;
    std::string block = std::move(queue_.front());
    queue_.pop_front();
    const bool skip = error_ != 0;
    lock.unlock();
    changed_.notify_all();
    errno = 0;
    const bool ok = skip || std::fwrite(block.data(), 1, block.size(), file_) == block.size();
    const int error = errno;
    block.clear();
    lock.lock();
    if (!ok) fail(error);
    spare_.push_back(std::move(block));
  }
}

bool Output::finish() {
  if (finished_) return error_ == 0;
  const bool handed = block_.empty() || handOff();
  if (writer_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      done_ = true;
    }
    changed_.notify_all();
    writer_.join();
  }
  finished_ = true;
  if (handed && file_ != nullptr && std::fflush(file_) != 0) fail(errno);
  if (error_ == 0 && file_ != nullptr && std::ferror(file_) != 0) fail(EIO);
  if (!path_.empty() && file_ != nullptr) {
    // The new file takes the old one's permissions, or a new file's.
    struct stat old {};
    mode_t mode = 0;
    if (mode_) {
      mode = *mode_;
    } else if (stat(path_.c_str(), &old) == 0) {
      mode = old.st_mode & 07777;
    } else {
      const mode_t mask = umask(0);
      umask(mask);
      mode = 0666 & ~mask;
    }
    if (error_ == 0 && fchmod(fileno(file_), mode) != 0) fail(errno);
    if (std::fclose(file_) != 0) fail(errno);
    file_ = nullptr;
    if (error_ == 0 && std::rename(temporary_.c_str(), path_.c_str()) != 0) fail(errno);
    if (error_ != 0) std::remove(temporary_.c_str());
  }
  if (error_ != 0) report("cannot write " + name_, error_);
  return error_ == 0;
}

void Output::abandon() {
  if (writer_.joinable()) {
    {
      const std::lock_guard lock(mutex_);
      done_ = true;
      error_ = error_ != 0 ? error_ : ECANCELED;  // the writer skips what is left
    }
    changed_.notify_all();
    writer_.join();
  }
  finished_ = true;
  if (!path_.empty() && file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
    std::remove(temporary_.c_str());
  }
}

std::string_view Input::next() {
  const std::size_t got = std::fread(block_.data(), 1, kBlock, stdin);
  if (got < kBlock && std::ferror(stdin) != 0) {
    report("cannot read standard input", errno);
    failed_ = true;
    return {};
  }
  return {block_.data(), got};
}

}  // namespace morvane::tools
