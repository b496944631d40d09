// Pattern and exception files: TeX files, line files, and what they make.

#include "formats/pattern_files.hpp"

#include <algorithm>
#include <filesystem>
#include <span>

#include "common/gzip.hpp"
#include "common/utf8.hpp"
#include "formats/capitals.hpp"
#include "formats/charset.hpp"
#include "formats/file_text.hpp"
#include "morvane/files.hpp"

namespace morvane {

namespace detail {

void PatternFileContent::addPattern(std::u32string_view pattern, std::string_view name,
                                    std::size_t line) {
  if (const auto problem = patternProblem(pattern)) throw fileError(name, line, *problem);
  const std::size_t dot = pattern.find(U'.', 1);
  if (dot != std::u32string_view::npos && dot + 1 != pattern.size()) {
    throw fileError(name, line, "a dot inside a pattern, not at an end");
  }
  std::u32string letters;
  for (const char32_t c : pattern) {
    if (c < U'0' || c > U'9') letters.push_back(c);
  }
  const auto [place, added] =
      patternPlaces.try_emplace(std::move(letters), std::string(name) + ":" + std::to_string(line));
  if (!added) {
    throw fileError(name, line,
                    "a second pattern with the letters of \"" + shownText(pattern) +
                        "\" (the first is at " + place->second + ")");
  }
  patterns.emplace_back(pattern);
}

void PatternFileContent::addException(std::u32string_view word, std::string_view name,
                                      std::size_t line) {
  if (const auto problem = exceptionProblem(word)) throw fileError(name, line, *problem);
  exceptions.emplace_back(word);
}

namespace {

/// Calls `onLine(text, number)` for every line of UTF-8 `bytes` that holds
/// more than white space, trimmed.
template <class OnLine>
void forEachTextLine(std::string_view bytes, std::string_view name, OnLine onLine) {
  const FileText decoded = utf8FileText(bytes, name);
  const std::u32string& text = decoded.text;
  const std::size_t offsetBase = decoded.offsetBase;
  forEachFileLine(std::u32string_view(text), 1, [&](std::u32string_view line, std::size_t number) {
    if (const auto bad = firstNonCharacter(line)) {
      const std::size_t at = static_cast<std::size_t>(line.data() - text.data()) + *bad;
      throw fileError(name, number,
                      "a NUL at byte offset " + std::to_string(offsetBase + utf8Offset(text, at)) +
                          ", which no letter is");
    }
    const auto blank = [](char32_t c) { return c == U' ' || c == U'\t'; };
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && blank(line.back())) line.remove_suffix(1);
    if (!line.empty()) onLine(line, number);
  });
}

bool endsWith(const std::string& name, std::string_view suffix) {
  return name.ends_with(suffix) || name.ends_with(std::string(suffix) + ".gz");
}

/// Whether `path` is `folder` or lies below it (both canonical).
bool isWithin(const std::filesystem::path& path, const std::filesystem::path& folder) {
  const auto [end, _] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return end == folder.end();
}

/// `path` made absolute, its links followed where they exist.
std::filesystem::path resolved(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path.lexically_normal();
  std::filesystem::path found = std::filesystem::weakly_canonical(absolute, error);
  return error ? absolute.lexically_normal() : found;
}

void readFileInto(const std::filesystem::path& file, PatternFileContent& content,
                  const LoadOptions& options) {
  const std::string name = file.string();
  if (endsWith(name, ".tex")) {
    TexInputs inputs(options.inputAnywhere);
    inputs.note(name);
    readTex(readPatternFile(name), name, content, &inputs);
  } else if (endsWith(name, ".hyp.txt")) {
    readExceptionLines(readPatternFile(name), name, content);
  } else {
    readPatternLines(readPatternFile(name), name, content);
    // The exceptions of hyph-CODE.pat.txt are in hyph-CODE.hyp.txt.
    const std::size_t at = name.rfind(".pat.txt");
    if (at != std::string::npos) {
      for (const std::string& beside :
           {name.substr(0, at) + ".hyp.txt", name.substr(0, at) + ".hyp.txt.gz"}) {
        std::error_code error;
        if (std::filesystem::is_regular_file(beside, error)) {
          readExceptionLines(readPatternFile(beside), beside, content);
          break;
        }
      }
    }
  }
}

}  // namespace

void TexInputs::note(const std::string& path) { read_.push_back(resolved(path).string()); }

std::optional<std::pair<std::string, std::string>> TexInputs::read(std::u32string_view file,
                                                                   std::string_view from) {
  const std::filesystem::path named(encodeUtf8(file));
  const std::filesystem::path beside = std::filesystem::path(from).parent_path();
  const std::filesystem::path folder = resolved(beside.empty() ? "." : beside);
  std::vector<std::filesystem::path> candidates;
  for (const std::filesystem::path& base : {folder / named, named}) {
    candidates.push_back(base);
    if (!base.has_extension()) candidates.push_back(std::filesystem::path(base) += ".tex");
    if (!anywhere_) break;  // only beside the file that names it
  }
  std::filesystem::path chosen = candidates.front();
  for (const std::filesystem::path& candidate : candidates) {
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) {
      chosen = candidate;
      break;
    }
  }
  const std::filesystem::path path = resolved(chosen);
  if (!anywhere_ && !isWithin(path, folder)) {
    throw Error("not read: it is outside the folder of the file that names it (" + folder.string() +
                "); LoadOptions::inputAnywhere allows it");
  }
  if (std::find(read_.begin(), read_.end(), path.string()) != read_.end()) return std::nullopt;
  std::string bytes = readPatternFile(chosen.string());
  bytes_ += bytes.size();
  if (bytes_ > kMostBytes) {
    throw Error("not read: the files of one set of patterns would be more than " +
                std::to_string(kMostBytes >> 20) + " MB");
  }
  read_.push_back(path.string());
  return std::pair{std::move(bytes), chosen.string()};
}

void readPatternLines(std::string_view bytes, std::string_view name, PatternFileContent& content) {
  forEachTextLine(bytes, name, [&](std::u32string_view line, std::size_t number) {
    content.addPattern(line, name, number);
  });
}

void readExceptionLines(std::string_view bytes, std::string_view name,
                        PatternFileContent& content) {
  forEachTextLine(bytes, name, [&](std::u32string_view line, std::size_t number) {
    content.addException(line, name, number);
  });
}

Hyphenator hyphenatorOf(const PatternFileContent& content, const LoadOptions& options) {
  std::u32string patternText;
  std::u32string exceptionText;
  std::u32string letters;
  for (const std::u32string& pattern : content.patterns) {
    patternText.append(pattern).push_back(U'\n');
    std::copy_if(pattern.begin(), pattern.end(), std::back_inserter(letters),
                 [](char32_t c) { return c != U'.' && (c < U'0' || c > U'9'); });
  }
  for (const std::u32string& word : content.exceptions) {
    exceptionText.append(word).push_back(U'\n');
    // An exception written with a capital ("War-sza-wa") names its letter.
    const std::u32string lower = lowerCase(word);
    std::copy_if(lower.begin(), lower.end(), std::back_inserter(letters),
                 [](char32_t c) { return c != U'-'; });
  }
  // TeX gives A-Z the lower-case codes of a-z whatever the patterns hold.
  for (char32_t c = U'a'; c <= U'z'; ++c) letters.push_back(c);
  // Everything is made on first use, as for the built-in languages.
  return {Lazy<CharFunction>([letters = std::move(letters)] {
            return CharFunction{CharMap(capitalsOf(letters))};
          }),
          Lazy<Patterns>([text = std::move(patternText)] { return parsePatterns(text); }),
          Lazy<Exceptions>([text = std::move(exceptionText)] { return parseExceptions(text); }),
          options.leftMin.value_or(content.leftMin.value_or(2)),
          options.rightMin.value_or(content.rightMin.value_or(3))};
}

std::string readPatternFile(const std::string& path) {
  const LargeVector<char> bytes = readFile(path);
  if (!path.ends_with(".gz")) return {bytes.begin(), bytes.end()};
  try {
    return gunzip(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
  } catch (const Error& e) {
    throw Error(path + ": " + e.what());
  }
}

}  // namespace detail

Hyphenator readTexPatterns(std::string_view bytes, std::string_view name,
                           const LoadOptions& options) {
  detail::PatternFileContent content;
  detail::readTex(bytes, name, content, nullptr);
  return detail::hyphenatorOf(content, options);
}

Hyphenator loadPatterns(std::span<const std::filesystem::path> files, const LoadOptions& options) {
  if (files.empty()) throw Error("loadPatterns needs at least one file");
  detail::PatternFileContent content;
  for (const std::filesystem::path& file : files) detail::readFileInto(file, content, options);
  return detail::hyphenatorOf(content, options);
}

Hyphenator loadPatterns(const std::filesystem::path& file, const LoadOptions& options) {
  return loadPatterns(std::span(&file, 1), options);
}

Hyphenator loadExceptions(const Hyphenator& h, const std::filesystem::path& file) {
  detail::PatternFileContent content;
  const std::string name = file.string();
  if (detail::endsWith(name, ".tex")) {
    detail::readFileInto(file, content, {});
    if (!content.patterns.empty()) {
      throw Error(name + ": \\patterns in a file of exceptions, which has only \\hyphenation{…}");
    }
  } else {
    detail::readExceptionLines(detail::readPatternFile(name), name, content);
  }
  std::u32string text;
  for (const std::u32string& word : content.exceptions) text.append(word).push_back(U'\n');
  return withExceptions(h, std::u32string_view(text));
}

}  // namespace morvane
