#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "morvane/cxx20.hpp"

namespace morvane {

/// What `TextStream` and `HtmlStream` have in common: input that arrives in
/// pieces, cut anywhere, hyphenated and handed to a writer in pieces of
/// bounded size, together exactly what the whole input gives, in memory
/// bounded however long the input.
class HyphenatingStream {
 public:
  using Writer = std::function<void(std::string_view)>;

  virtual ~HyphenatingStream();
  HyphenatingStream(const HyphenatingStream&) = delete;
  HyphenatingStream& operator=(const HyphenatingStream&) = delete;

  /// Reads more input; may call the writer.
  void write(std::string_view bytes) { reader_->write(bytes); }
  /// Ends the input and hands over what is left. Call once, last.
  void finish() { reader_->finish(); }
  /// Words met so far.
  [[nodiscard]] std::size_t words() const { return reader_->words(); }

  /// What reads the input (the implementation's).
  class Reader {
   public:
    virtual ~Reader() = default;
    virtual void write(std::string_view bytes) = 0;
    virtual void finish() = 0;
    [[nodiscard]] virtual std::size_t words() const = 0;
  };

 protected:
  explicit HyphenatingStream(std::unique_ptr<Reader> reader) : reader_(std::move(reader)) {}

 private:
  std::unique_ptr<Reader> reader_;
};

}  // namespace morvane
