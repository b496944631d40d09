// The office suites' C library (libhyphen), used only through its public
// interface, and what it takes to feed it: the dictionary's character set
// and gzipped UTF-8 word lists. Shared by the agreement test and the
// benchmark that measures against it.
#pragma once

#include <hyphen.h>
#include <iconv.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace morvane::c_library {

inline std::vector<std::string> readWords(const std::filesystem::path& gz) {
  gzFile in = gzopen(gz.c_str(), "rb");
  if (in == nullptr) return {};
  std::string text;
  char block[1 << 16];
  int got = 0;
  while ((got = gzread(in, block, sizeof block)) > 0)
    text.append(block, static_cast<std::size_t>(got));
  gzclose(in);
  std::vector<std::string> words;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) words.push_back(line);
  }
  return words;
}

/// Text from one character set to another; nothing when it does not fit.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from)
      : handle_(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  [[nodiscard]] bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  bool convert(const std::string& text, std::string& out) {
    out.assign(text.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(handle_, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) return false;
    out.resize(out.size() - outLeft);
    return true;
  }

 private:
  iconv_t handle_;
};

inline std::string charsetOf(const std::filesystem::path& dic) {
  std::ifstream in(dic, std::ios::binary);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line == "microsoft-cp1251" ? "CP1251" : line;
}

/// The C library hyphenating words with its own minimums, its buffers
/// kept from word to word (as the shared peer harness calls it, so that
/// timings compare).
class Hyphenation {
 public:
  explicit Hyphenation(HyphenDict* dict) : dict_(dict) {}
  /// Its answer as its own example program prints it: "=" at every break,
  /// the changed spelling at non-standard ones. Valid until the next call.
  const char* operator()(const std::string& word) {
    if (hyphens_.size() < word.size() + 5) {
      hyphens_.resize(word.size() + 5);
      out_.resize(word.size() * 4 + 64);
    }
    char** rep = nullptr;
    int* pos = nullptr;
    int* cut = nullptr;
    hnj_hyphen_hyphenate3(dict_, word.c_str(), static_cast<int>(word.size()), hyphens_.data(),
                          out_.data(), &rep, &pos, &cut, 0, 0, 0, 0);
    if (rep != nullptr) {
      for (std::size_t i = 0; i < word.size(); ++i) std::free(rep[i]);
      std::free(rep);
      std::free(pos);
      std::free(cut);
    }
    return out_.data();
  }

 private:
  HyphenDict* dict_;
  std::vector<char> hyphens_;
  std::vector<char> out_;
};

/// The C library's answer for one word (see Hyphenation).
inline std::string theirs(HyphenDict* dict, const std::string& word) {
  return Hyphenation(dict)(word);
}

}  // namespace morvane::c_library
