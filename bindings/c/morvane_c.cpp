// The C interface (morvane/morvane.h): handles around Hyphenator values, and
// every C++ exception turned into a status and a per-thread message.

#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "morvane/morvane.h"
#include "morvane/morvane.hpp"

struct morvane_hyphenator {
  morvane::Hyphenator value;
};

namespace {

thread_local std::string lastError;

morvane_status fail(morvane_status status, std::string message) {
  lastError = std::move(message);
  return status;
}

/// Runs `body`, which returns a status, turning what it throws into one.
template <class Body>
morvane_status guarded(Body body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return fail(MORVANE_OUT_OF_MEMORY, "out of memory");
  } catch (const std::exception& e) {
    return fail(MORVANE_ERROR, e.what());
  } catch (...) {
    return fail(MORVANE_ERROR, "unknown error");
  }
}

morvane_status nullArgument(const char* what) {
  return fail(MORVANE_INVALID_ARGUMENT, std::string(what) + " is null");
}

/// Stores a new handle for `h` in `*out`.
morvane_status give(morvane::Hyphenator h, morvane_hyphenator** out) {
  *out = new morvane_hyphenator{std::move(h)};
  return MORVANE_OK;
}

/// Copies `result` into the caller's buffer as the header describes.
morvane_status deliver(std::string_view result, char* out, std::size_t capacity,
                       std::size_t* needed) {
  *needed = result.size();
  if (out == nullptr || capacity <= result.size()) {
    return fail(MORVANE_BUFFER_TOO_SMALL, "the result needs " + std::to_string(result.size() + 1) +
                                              " bytes with its terminating NUL");
  }
  std::memcpy(out, result.data(), result.size());
  out[result.size()] = '\0';
  return MORVANE_OK;
}

/// The common shape of the calls that turn text into text.
template <class Transform>
morvane_status transformText(const morvane_hyphenator* h, const char* text, std::size_t length,
                             const char* separator, char* out, std::size_t capacity,
                             std::size_t* needed, Transform transform) {
  if (h == nullptr) return nullArgument("the hyphenator");
  if (text == nullptr && length != 0) return nullArgument("the text");
  if (separator == nullptr) return nullArgument("the separator");
  if (needed == nullptr) return nullArgument("needed");
  return guarded([&] {
    const std::string result =
        transform(h->value, std::string_view(text == nullptr ? "" : text, length),
                  std::string_view(separator));
    return deliver(result, out, capacity, needed);
  });
}

/// The codes and names of the built-in languages, NUL-terminated.
struct LanguageNames {
  std::vector<std::string> codes;
  std::vector<std::string> names;
  LanguageNames() {
    for (const morvane::Language l : morvane::enumFrom(morvane::kFirstLanguage)) {
      codes.emplace_back(morvane::languageAffix(l));
      names.push_back(morvane::show(l));
    }
  }
};

const LanguageNames& languageNames() {
  static const LanguageNames names;
  return names;
}

}  // namespace

extern "C" {

const char* morvane_version(void) {
  static const std::string version(morvane::version());
  return version.c_str();
}

const char* morvane_last_error(void) { return lastError.c_str(); }

size_t morvane_language_count(void) { return morvane::kLanguageCount; }

const char* morvane_language_code(size_t index) {
  return index < languageNames().codes.size() ? languageNames().codes[index].c_str() : nullptr;
}

const char* morvane_language_name(size_t index) {
  return index < languageNames().names.size() ? languageNames().names[index].c_str() : nullptr;
}

morvane_status morvane_hyphenator_for_language(const char* language, morvane_hyphenator** out) {
  if (language == nullptr) return nullArgument("the language");
  if (out == nullptr) return nullArgument("out");
  return guarded([&] {
    const auto found = morvane::findLanguage(language);
    if (!found) {
      return fail(MORVANE_UNKNOWN_LANGUAGE, "no language \"" + std::string(language) + "\"");
    }
    return give(morvane::languageHyphenator(*found), out);
  });
}

morvane_status morvane_hyphenator_load_dictionary(const char* path, morvane_hyphenator** out) {
  if (path == nullptr) return nullArgument("the path");
  if (out == nullptr) return nullArgument("out");
  return guarded([&] { return give(morvane::loadDictionary(path), out); });
}

morvane_status morvane_hyphenator_load_patterns(const char* const* paths, size_t count,
                                                morvane_hyphenator** out) {
  if (paths == nullptr || count == 0) return nullArgument("the paths");
  if (out == nullptr) return nullArgument("out");
  return guarded([&] {
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 0; i < count; ++i) {
      if (paths[i] == nullptr) return nullArgument("a path");
      files.emplace_back(paths[i]);
    }
    return give(morvane::loadPatterns(files), out);
  });
}

morvane_status morvane_hyphenator_with_exceptions(const morvane_hyphenator* h, const char* text,
                                                  size_t length, morvane_hyphenator** out) {
  if (h == nullptr) return nullArgument("the hyphenator");
  if (text == nullptr && length != 0) return nullArgument("the text");
  if (out == nullptr) return nullArgument("out");
  return guarded([&] {
    return give(
        morvane::withExceptions(h->value, std::string_view(text == nullptr ? "" : text, length)),
        out);
  });
}

morvane_status morvane_hyphenator_with_minimums(const morvane_hyphenator* h, long long left_min,
                                                long long right_min, morvane_hyphenator** out) {
  if (h == nullptr) return nullArgument("the hyphenator");
  if (out == nullptr) return nullArgument("out");
  return guarded([&] { return give(morvane::withMinimums(h->value, left_min, right_min), out); });
}

void morvane_hyphenator_free(morvane_hyphenator* h) { delete h; }

morvane_status morvane_breaks(const morvane_hyphenator* h, const char* word, size_t length,
                              size_t* offsets, size_t capacity, size_t* count) {
  if (h == nullptr) return nullArgument("the hyphenator");
  if (word == nullptr && length != 0) return nullArgument("the word");
  if (count == nullptr) return nullArgument("count");
  return guarded([&] {
    const std::string_view bytes(word == nullptr ? "" : word, length);
    const std::vector<std::size_t> points = morvane::hyphenationPoints(h->value, bytes);
    *count = points.size();
    if (points.empty()) return MORVANE_OK;
    if (offsets == nullptr || points.size() > capacity) {
      return fail(MORVANE_BUFFER_TOO_SMALL,
                  "the word has " + std::to_string(points.size()) + " breaks");
    }
    // Code points to byte offsets: the word is valid UTF-8 here, or the
    // call above would have thrown.
    std::size_t characters = 0;
    std::size_t next = 0;
    for (std::size_t at = 0; at <= bytes.size() && next < points.size(); ++at) {
      const bool starts =
          at == bytes.size() || (static_cast<unsigned char>(bytes[at]) & 0xC0U) != 0x80U;
      if (!starts) continue;
      if (characters == points[next]) offsets[next++] = at;
      ++characters;
    }
    return MORVANE_OK;
  });
}

morvane_status morvane_insert_hyphens(const morvane_hyphenator* h, const char* word, size_t length,
                                      const char* separator, char* out, size_t capacity,
                                      size_t* needed) {
  return transformText(h, word, length, separator, out, capacity, needed,
                       [](const morvane::Hyphenator& hy, std::string_view w, std::string_view s) {
                         return morvane::insertHyphens(hy, w, s);
                       });
}

morvane_status morvane_spell_breaks(const morvane_hyphenator* h, const char* word, size_t length,
                                    const char* separator, char* out, size_t capacity,
                                    size_t* needed) {
  return transformText(h, word, length, separator, out, capacity, needed,
                       [](const morvane::Hyphenator& hy, std::string_view w, std::string_view s) {
                         return morvane::spellBreaks(hy, w, s);
                       });
}

morvane_status morvane_hyphenate_text(const morvane_hyphenator* h, const char* text, size_t length,
                                      const char* separator, char* out, size_t capacity,
                                      size_t* needed) {
  return transformText(h, text, length, separator, out, capacity, needed,
                       [](const morvane::Hyphenator& hy, std::string_view t, std::string_view s) {
                         return morvane::hyphenateText(hy, t, s);
                       });
}

morvane_status morvane_hyphenate_html(const morvane_hyphenator* h, const char* document,
                                      size_t length, const char* separator, char* out,
                                      size_t capacity, size_t* needed) {
  return transformText(h, document, length, separator, out, capacity, needed,
                       [](const morvane::Hyphenator& hy, std::string_view d, std::string_view s) {
                         return morvane::hyphenateHtml(hy, d, morvane::HtmlOptions(std::string(s)));
                       });
}

}  // extern "C"
