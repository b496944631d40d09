// Sets of TeX files that \input one another, from hostile bytes: the input
// is cut at 0xFF bytes into the files f0.tex, f1.tex, … of a folder, and
// f0.tex is loaded. However the files name each other (loops, fan-outs,
// paths out of the folder), the load ends soon, reading each file once and
// none outside the folder, and is read or refused with an Error naming a
// file and a line.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_check.hpp"
#include "morvane/morvane.hpp"

using namespace morvane;

namespace {

std::filesystem::path folder() {
  static const std::filesystem::path made = [] {
    const auto path =
        std::filesystem::temp_directory_path() / ("morvane-tex-inputs-" + std::to_string(getpid()));
    std::filesystem::create_directories(path / "below");
    // A file outside the folder that no load may read: its patterns would show.
    std::ofstream(path.parent_path() / ("outside-" + std::to_string(getpid()) + ".tex"))
        << "\\patterns{1q1}";
    return path;
  }();
  return made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::filesystem::path dir = folder();
  std::size_t start = 0;
  int files = 0;
  for (; files < 8 && start <= bytes.size(); ++files) {
    std::size_t end = bytes.find('\xFF', start);
    if (end == std::string::npos) end = bytes.size();
    const auto name = (files % 2 == 0 ? dir : dir / "below") / ("f" + std::to_string(files) + ".tex");
    std::ofstream(name, std::ios::binary) << bytes.substr(start, end - start);
    start = end + 1;
  }
  for (int i = files; i < 8; ++i) {
    std::filesystem::remove(dir / ("f" + std::to_string(i) + ".tex"));
    std::filesystem::remove(dir / "below" / ("f" + std::to_string(i) + ".tex"));
  }
  try {
    const Hyphenator h = loadPatterns(dir / "f0.tex", {.leftMin = 1, .rightMin = 1});
    MORVANE_FUZZ_CHECK(hyphenate(h, std::string_view("qq")).size() == 1);
  } catch (const Error& e) {
    const std::string message = e.what();
    MORVANE_FUZZ_CHECK(message.find(".tex") != std::string::npos);
  }
  return 0;
}
