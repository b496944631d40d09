#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "morvane/cxx20.hpp"
#include "morvane/hyphenator.hpp"

namespace morvane {

/// How to read a file.
struct LoadOptions {
  /// Minimums to use instead of those the file gives.
  std::optional<std::int64_t> leftMin{};
  std::optional<std::int64_t> rightMin{};
  /// Office dictionaries: read lines as the office suites' C library does,
  /// where a line of more than 99 bytes goes on as lines of its own (the
  /// rest of a long comment is read as patterns), so that words break as
  /// they do in the office suites. `false` reads every line whole.
  bool officeLines = true;
  /// TeX files: `\input` may read any file, not only files beside the file
  /// that names it or in folders below it. Leave it off for files from
  /// others (a service that takes TeX files must not read /etc/passwd).
  bool inputAnywhere = false;
};

/// A hyphenator from TeX hyphenation patterns as the hyph-utf8 collection
/// ships them: `\patterns{…}` and `\hyphenation{…}` groups, `%` comments,
/// other control sequences ignored, UTF-8 (with TeX's `^^xx` and `^^^^xxxx`
/// for characters). The minimums are those the file's header gives
/// ("hyphenmins: typesetting: left: 2 right: 3"), else TeX's 2 and 3;
/// capitals map to the letters of the patterns. `name` names the text in
/// errors, which say where and what: "NAME:LINE: two digits in a row in a
/// pattern".
[[nodiscard]] Hyphenator readTexPatterns(std::string_view bytes, std::string_view name,
                                         const LoadOptions& options = {});

/// Pattern files: TeX files (`.tex`, whose `\input` finds files next to
/// it) or plain line files, one pattern a line (`hyph-CODE.pat.txt`), with
/// the exceptions of a `.hyp.txt` beside a `.pat.txt`. Several files are
/// combined as one set of patterns, the minimums being the first's.
[[nodiscard]] Hyphenator loadPatterns(std::span<const std::filesystem::path> files,
                                      const LoadOptions& options = {});
[[nodiscard]] Hyphenator loadPatterns(const std::filesystem::path& file,
                                      const LoadOptions& options = {});

/// A hyphenator from an office-suite hyphenation dictionary (`.dic`, as
/// Debian's `hyphen-*` packages install in `/usr/share/hyphen`): its first
/// line names the character set (UTF-8, ISO8859-x, KOI8-R, …), then patterns,
/// one a line; `LEFTHYPHENMIN`, `RIGHTHYPHENMIN`, `COMPOUNDLEFTHYPHENMIN`,
/// `COMPOUNDRIGHTHYPHENMIN`, `NOHYPHEN`, `NEXTLEVEL` (compound-word patterns
/// first, then those of each part) and non-standard patterns
/// ("as5szon2y/sz=,2,1"), whose breaks change the spelling. Words break as
/// the office suites' C library breaks them, capitals as their letters; see
/// the guide for where the two differ. `name` names the bytes in errors.
[[nodiscard]] Hyphenator readDictionary(std::string_view bytes, std::string_view name,
                                        const LoadOptions& options = {});
[[nodiscard]] Hyphenator loadDictionary(const std::filesystem::path& file,
                                        const LoadOptions& options = {});

/// `h` with the exceptions of `file` before its own (`withExceptions`): a
/// word a line with hyphens at its breaks, or a TeX file's `\hyphenation{…}`.
[[nodiscard]] Hyphenator loadExceptions(const Hyphenator& h, const std::filesystem::path& file);

}  // namespace morvane
