// The text layer's questions of Unicode, answered by ICU.

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>

#include "morvane/case_mapping.hpp"
#include "morvane/error.hpp"
#include "text/unicode_backend.hpp"

namespace morvane::detail {

namespace {

/// Below U+0300 every character is in NFC, alone in its grapheme cluster
/// (but for CR LF, which is never in a word) and of combining class 0.
constexpr char32_t kFirstCombining = 0x300;

void check(UErrorCode status) {
  if (U_FAILURE(status)) throw Error(std::string("ICU: ") + u_errorName(status));
}

/// UTF-16 offsets of every code point of `word`, and of its end.
std::vector<std::int32_t> utf16Offsets(std::u32string_view word) {
  std::vector<std::int32_t> offsets(word.size() + 1, 0);
  for (std::size_t i = 0; i < word.size(); ++i) {
    offsets[i + 1] = offsets[i] + (word[i] > 0xFFFF ? 2 : 1);
  }
  return offsets;
}

icu::UnicodeString utf16Of(std::u32string_view word) {
  return icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(word.data()),
                                       static_cast<std::int32_t>(word.size()));
}

/// A break iterator per thread: they are not safe to share.
template <icu::BreakIterator* (*Create)(const icu::Locale&, UErrorCode&)>
icu::BreakIterator& breakIterator() {
  thread_local std::unique_ptr<icu::BreakIterator> iterator;
  if (iterator == nullptr) {
    UErrorCode status = U_ZERO_ERROR;
    iterator.reset(Create(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || iterator == nullptr) {
      iterator.reset();
      throw Error(std::string("ICU: ") + u_errorName(status));
    }
  }
  // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDelete): it loses track of thread_local storage
  return *iterator;
}

}  // namespace

std::uint8_t classFromUnicode(char32_t c) {
  const auto u = static_cast<UChar32>(c);
  std::uint8_t bits = 0;
  if ((U_GET_GC_MASK(u) & (U_GC_L_MASK | U_GC_M_MASK)) != 0) bits |= text_class::kLetter;
  if (u_isUWhiteSpace(u) != 0) bits |= text_class::kSpace;
  if (c >= 0x0E00 && u_getIntPropertyValue(u, UCHAR_LINE_BREAK) == U_LB_COMPLEX_CONTEXT) {
    bits |= text_class::kUnspaced;
  }
  if (c == U'@' || c == U':' || c == U'.') bits |= text_class::kAddressMark;
  if (c < kFirstCombining || (u_getIntPropertyValue(u, UCHAR_NFC_QUICK_CHECK) == UNORM_YES &&
                              u_getCombiningClass(u) == 0)) {
    bits |= text_class::kNfcPlain;
  }
  if (c >= kFirstCombining &&
      u_getIntPropertyValue(u, UCHAR_GRAPHEME_CLUSTER_BREAK) != U_GCB_OTHER) {
    bits |= text_class::kClusterPart;
  }
  return bits;
}

bool mayNeedNormalising(std::u32string_view word) {
  if (std::all_of(word.begin(), word.end(),
                  [](char32_t c) { return (classOf(c) & text_class::kNfcPlain) != 0; })) {
    return false;
  }
  std::uint8_t previous = 0;
  for (const char32_t c : word) {
    if (c < kFirstCombining) {
      previous = 0;
      continue;
    }
    const auto u = static_cast<UChar32>(c);
    if (u_getIntPropertyValue(u, UCHAR_NFC_QUICK_CHECK) != UNORM_YES) return true;
    const std::uint8_t combining = u_getCombiningClass(u);
    if (combining != 0 && combining < previous) return true;
    previous = combining;
  }
  return false;
}

bool nfcBoundaryBefore(char32_t c) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  check(status);
  return nfc->hasBoundaryBefore(static_cast<UChar32>(c)) != 0;
}

void appendNfc(std::u32string_view piece, std::u32string& out) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  check(status);
  const icu::UnicodeString normalised = nfc->normalize(utf16Of(piece), status);
  check(status);
  const std::int32_t length = normalised.countChar32();
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(length));
  normalised.toUTF32(reinterpret_cast<UChar32*>(out.data() + at), length, status);
  check(status);
}

std::size_t keepGraphemeBoundaries(std::u32string_view word, std::span<std::size_t> positions) {
  icu::BreakIterator& clusters = breakIterator<icu::BreakIterator::createCharacterInstance>();
  const icu::UnicodeString text = utf16Of(word);  // the iterator reads it in place
  clusters.setText(text);
  const std::vector<std::int32_t> offsets = utf16Offsets(word);
  std::size_t kept = 0;
  for (const std::size_t p : positions) {
    if (clusters.isBoundary(offsets[p]) != 0) positions[kept++] = p;
  }
  return kept;
}

namespace {

char32_t icuUpper(char32_t c) { return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c))); }
char32_t icuLower(char32_t c) { return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c))); }
char32_t icuTitle(char32_t c) { return static_cast<char32_t>(u_totitle(static_cast<UChar32>(c))); }

// The full library reads files with ICU's case mappings (which the core's
// own table copies), set before main.
[[maybe_unused]] const bool kIcuCases = (setCaseMapping({icuUpper, icuLower, icuTitle}), true);

}  // namespace

void unspacedWordBreaks(std::u32string_view run, std::vector<std::size_t>& breaks) {
  icu::BreakIterator& words = breakIterator<icu::BreakIterator::createWordInstance>();
  const icu::UnicodeString text = utf16Of(run);  // the iterator reads it in place
  words.setText(text);
  const std::vector<std::int32_t> offsets = utf16Offsets(run);
  breaks.clear();
  std::size_t index = 0;
  for (std::int32_t b = words.first(); b != icu::BreakIterator::DONE; b = words.next()) {
    while (index < offsets.size() && offsets[index] < b) ++index;
    if (index > 0 && index < run.size() && offsets[index] == b) breaks.push_back(index);
  }
}

}  // namespace morvane::detail
