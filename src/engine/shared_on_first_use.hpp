#pragma once

#include <atomic>
#include <memory>
#include <utility>

#include "morvane/lazy.hpp"

namespace morvane::detail {

/// A value made on first use and shared (by a hyphenator and those derived
/// from it), read through a plain pointer once it is made: every word asks
/// for it, and then pays one load rather than Lazy's chain of them. Copies
/// share the value.
template <class T>
class SharedOnFirstUse {
 public:
  /// None: get() gives null.
  SharedOnFirstUse() : made_(std::shared_ptr<const T>{}) {}
  /// Made by `make()`, a shared_ptr to it, on first use.
  template <class Make>
  explicit SharedOnFirstUse(Make make) : made_(Lazy<std::shared_ptr<const T>>(std::move(make))) {}
  SharedOnFirstUse(const SharedOnFirstUse& other)
      : made_(other.made_), ready_(other.ready_.load(std::memory_order_acquire)) {}
  SharedOnFirstUse& operator=(const SharedOnFirstUse& other) {
    made_ = other.made_;
    ready_.store(other.ready_.load(std::memory_order_acquire), std::memory_order_release);
    return *this;
  }
  ~SharedOnFirstUse() = default;

  /// True once the value exists (never makes it).
  [[nodiscard]] bool ready() const { return made_.ready(); }

  /// The value, made first if no thread has made it yet; null for none.
  [[nodiscard]] const T* get() const {
    if (const T* ready = ready_.load(std::memory_order_acquire)) return ready;
    const T* made = made_.get().get();
    ready_.store(made, std::memory_order_release);
    return made;
  }

 private:
  Lazy<std::shared_ptr<const T>> made_;  // which owns the value
  mutable std::atomic<const T*> ready_{nullptr};
};

}  // namespace morvane::detail
