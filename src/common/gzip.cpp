#include "common/gzip.hpp"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "morvane/error.hpp"

namespace morvane::detail {

namespace {

// Far above any pattern file; stops a crafted stream from exhausting memory.
constexpr std::size_t kMaxOutput = std::size_t{256} << 20;

struct Inflater {
  z_stream stream{};
  Inflater() {
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) throw Error("zlib: cannot initialise");
  }
  ~Inflater() { inflateEnd(&stream); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
};

/// A first guess at the decompressed size: the size the gzip trailer
/// records (modulo 2^32, and untrusted: bounded by what deflate can reach).
std::size_t expectedSize(std::span<const unsigned char> compressed) {
  constexpr std::size_t kMaxRatio = 1032;  // deflate's best: 258 bytes per 2 bits
  if (compressed.size() < 18) return 4096;
  const unsigned char* trailer = compressed.data() + compressed.size() - 4;
  const std::size_t recorded = std::size_t{trailer[0]} | std::size_t{trailer[1]} << 8 |
                               std::size_t{trailer[2]} << 16 | std::size_t{trailer[3]} << 24;
  return std::min({recorded, compressed.size() * kMaxRatio, kMaxOutput});
}

}  // namespace

std::string gunzip(std::span<const unsigned char> compressed) {
  if (compressed.size() > std::numeric_limits<uInt>::max()) throw Error("zlib: input too large");
  Inflater inflater;
  z_stream& stream = inflater.stream;
  // zlib never writes through next_in.
  stream.next_in = const_cast<Bytef*>(compressed.data());
  stream.avail_in = static_cast<uInt>(compressed.size());

  // Sized from the trailer, the output usually takes one call; Z_FINISH then
  // spares zlib its 32 KiB window.
  std::string output(expectedSize(compressed) + 1, '\0');
  std::size_t produced = 0;
  while (true) {
    if (output.size() - produced < 4096) {
      if (output.size() >= kMaxOutput) throw Error("zlib: decompressed data too large");
      output.resize(std::min(output.size() * 2, kMaxOutput));
    }
    stream.next_out = reinterpret_cast<Bytef*>(output.data() + produced);
    stream.avail_out = static_cast<uInt>(output.size() - produced);
    const int status = inflate(&stream, Z_FINISH);
    produced = output.size() - stream.avail_out;
    if (status == Z_STREAM_END) break;
    if (status == Z_BUF_ERROR && stream.avail_in == 0) throw Error("unexpected end of file");
    if (status != Z_OK && status != Z_BUF_ERROR) {
      throw Error(stream.msg != nullptr ? stream.msg : zError(status));
    }
  }
  output.resize(produced);
  return output;
}

}  // namespace morvane::detail
