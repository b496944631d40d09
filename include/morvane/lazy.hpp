#pragma once

#include <atomic>
#include <concepts>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

#include "morvane/cxx20.hpp"
#include "morvane/error.hpp"

namespace morvane {

namespace detail {

/// A value computed at most once, on first request, safely under concurrent
/// first use. A producer that throws leaves the cell empty, so a later request
/// tries again and nothing half-built is ever seen. A producer that asks for
/// the value it is producing gets an `Error` instead of a deadlock.
template <class T>
class OnceCell {
 public:
  OnceCell() = default;
  explicit OnceCell(T value) : value_(std::move(value)) {
    ready_.store(true, std::memory_order_relaxed);
  }
  OnceCell(const OnceCell&) = delete;
  OnceCell& operator=(const OnceCell&) = delete;

  template <class F>
  const T& get(F&& produce) const {
    if (ready_.load(std::memory_order_acquire)) return *value_;
    return produceOnce(std::forward<F>(produce));
  }

  [[nodiscard]] bool ready() const { return ready_.load(std::memory_order_acquire); }
  /// The value if some thread has produced it, else null (never produces it).
  [[nodiscard]] const T* tryGet() const { return ready() ? &*value_ : nullptr; }

 private:
  /// The first request's path, kept out of line so that every later one is
  /// a load and a test wherever it is made.
  template <class F>
  [[gnu::noinline]] const T& produceOnce(F&& produce) const {
    // A producer that needs its own value would wait for itself forever.
    if (producer_.load(std::memory_order_relaxed) == std::this_thread::get_id()) {
      throw Error("a value computed on first use needs itself to be computed");
    }
    std::lock_guard lock(mutex_);
    if (!ready_.load(std::memory_order_relaxed)) {
      producer_.store(std::this_thread::get_id(), std::memory_order_relaxed);
      struct Done {
        std::atomic<std::thread::id>& producer;
        ~Done() { producer.store(std::thread::id(), std::memory_order_relaxed); }
      } done{producer_};
      value_.emplace(std::forward<F>(produce)());
      ready_.store(true, std::memory_order_release);
    }
    return *value_;
  }

  mutable std::atomic<bool> ready_{false};
  mutable std::atomic<std::thread::id> producer_{};  // the thread producing, while it does
  mutable std::mutex mutex_;
  mutable std::optional<T> value_;
};

}  // namespace detail

/// A shared, immutable value that is either given outright or produced on
/// first use by a function that runs exactly once, whichever thread asks first.
/// Copies share the same value (and the same pending producer).
template <class T>
class Lazy {
 public:
  /// A value that is ready from the start.
  template <class U = T>
  requires std::constructible_from<T, U&&> &&(!std::same_as<std::remove_cvref_t<U>, Lazy>)
      // NOLINTNEXTLINE(google-explicit-constructor,bugprone-forwarding-reference-overload)
      Lazy(U&& value)  // a value stands for itself
      : state_(std::make_shared<State>(T(std::forward<U>(value)))) {}

  /// A value that `producer` makes on first use.
  template <class F>
  requires std::invocable<F&> && std::convertible_to<std::invoke_result_t<F&>, T> &&
      (!std::constructible_from<T, F&&>)&&(!std::same_as<std::remove_cvref_t<F>, Lazy>)
      // NOLINTNEXTLINE(google-explicit-constructor,bugprone-forwarding-reference-overload)
      Lazy(F&& producer)
      : state_(std::make_shared<State>(std::function<T()>(std::forward<F>(producer)))) {}

  /// The value, producing it first if no thread has done so yet.
  [[nodiscard]] const T& get() const { return state_->get(); }
  const T& operator*() const { return get(); }
  const T* operator->() const { return &get(); }

  /// True once the value exists (never triggers the producer).
  [[nodiscard]] bool ready() const { return state_->cell.ready(); }

 private:
  struct State {
    explicit State(T value) : cell(std::move(value)) {}
    explicit State(std::function<T()> make) : producer(std::move(make)) {}
    const T& get() const {
      return cell.get([this] {
        T value = producer();
        producer = nullptr;  // release whatever the producer captured
        return value;
      });
    }
    detail::OnceCell<T> cell;
    mutable std::function<T()> producer;
  };
  std::shared_ptr<const State> state_;
};

}  // namespace morvane
