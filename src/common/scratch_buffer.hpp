#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <version>

namespace morvane::detail {

/// Working storage of `size` elements that lives on the stack up to `Inline`
/// elements, so short words cost no heap allocation. Elements start
/// uninitialised: the caller writes each before reading it.
template <class T, std::size_t Inline>
class ScratchBuffer {
 public:
  explicit ScratchBuffer(std::size_t size) : size_(size) {
    data_ = local_.data();
    if (size > Inline) [[unlikely]]
      allocate();
  }
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;

  T* data() { return data_; }
  T& operator[](std::size_t i) { return data_[i]; }
  std::span<T> span() { return {data_, size_}; }
  [[nodiscard]] std::size_t size() const { return size_; }

 private:
  // Out of line, so that the common case stays small enough to inline.
  [[gnu::noinline]] void allocate() {
#if defined(__cpp_lib_smart_ptr_for_overwrite)
    heap_ = std::make_unique_for_overwrite<T[]>(size_);
#else  // older libc++ (Emscripten's)
    heap_.reset(new T[size_]);  // NOLINT(modernize-make-unique): make_unique would zero it
#endif
    data_ = heap_.get();
  }

  std::size_t size_;
  std::array<T, Inline> local_;
  std::unique_ptr<T[]> heap_;
  T* data_;
};

}  // namespace morvane::detail
