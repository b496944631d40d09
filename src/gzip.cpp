#include "gzip.hpp"

#include <zlib.h>

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

}  // namespace

std::string gunzip(std::span<const unsigned char> compressed) {
  if (compressed.size() > std::numeric_limits<uInt>::max()) throw Error("zlib: input too large");
  Inflater inflater;
  z_stream& stream = inflater.stream;
  // zlib never writes through next_in.
  stream.next_in = const_cast<Bytef*>(compressed.data());
  stream.avail_in = static_cast<uInt>(compressed.size());

  std::string output;
  std::size_t produced = 0;
  while (true) {
    if (output.size() - produced < 4096) {
      if (output.size() >= kMaxOutput) throw Error("zlib: decompressed data too large");
      output.resize(std::max<std::size_t>(output.size() * 2, compressed.size() * 4 + 4096));
    }
    stream.next_out = reinterpret_cast<Bytef*>(output.data() + produced);
    stream.avail_out = static_cast<uInt>(output.size() - produced);
    const int status = inflate(&stream, Z_NO_FLUSH);
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
