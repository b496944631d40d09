#include "parallel_text.hpp"

#include <algorithm>
#include <utility>

namespace morvane::tools {

ParallelTextStream::ParallelTextStream(Hyphenator h, std::string separator, unsigned threads,
                                       Output& out)
    : h_(std::move(h)),
      separator_(std::move(separator)),
      out_(out),
      pool_(
          threads,
          [this](ChunkPool::Chunk& chunk) {
            chunk.output.reserve(chunk.input.size() + chunk.input.size() / 8);
            chunk.count = appendHyphenatedText(h_, chunk.input, separator_, chunk.output);
          },
          [this](const ChunkPool::Chunk& chunk) {
            out_.write(chunk.output);
            words_ += chunk.count;
          }) {
  if (separator_.size() > kLongestSeparator) goSingle();
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
    pool_.start(pending_, lineEnd + 1);
    searched_ = 0;
  }
}

void ParallelTextStream::finish() {
  if (!single_) goSingle();
  single_->finish();
}

void ParallelTextStream::goSingle() {
  pool_.finishAll();
  single_.emplace(h_, separator_, [this](std::string_view bytes) { out_.write(bytes); });
  single_->write(pending_);
  pending_ = std::string();
}

std::size_t ParallelTextStream::words() const { return words_ + (single_ ? single_->words() : 0); }

}  // namespace morvane::tools
