/* morvane's C interface: hyphenation for C and for any language that calls C
 * (Rust, Go, Swift, Java, C#, Lua, ...). Valid C11 and C++.
 *
 * Text is UTF-8 in and out. Hyphenators are opaque handles, immutable once
 * made, so any number of threads may use one at once. No C++ exception
 * crosses this interface: a call reports failure by its status, and
 * morvane_last_error() gives the message of the calling thread's last failed
 * call (the library's own message, which names a file, line or byte offset
 * where there is one).
 *
 * Results go into buffers the caller owns. A call that writes text takes
 * `out` and `capacity` and sets `*needed` to the length of the result in
 * bytes, not counting the terminating NUL; it writes the result and a NUL
 * when capacity > *needed, and otherwise writes nothing and returns
 * MORVANE_BUFFER_TOO_SMALL. So a caller learns the size by passing
 * (NULL, 0), then calls again with needed + 1 bytes.
 */
#ifndef MORVANE_MORVANE_H
#define MORVANE_MORVANE_H

/* The header is C as well as C++: no C++ spellings.
 * NOLINTBEGIN(modernize-deprecated-headers,modernize-use-using) */
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct morvane_hyphenator morvane_hyphenator;

typedef enum morvane_status {
  MORVANE_OK = 0,
  /* No language by that code, name or tag. */
  MORVANE_UNKNOWN_LANGUAGE = 1,
  /* Input the library rejects: invalid UTF-8 in a word, a malformed or
   * unreadable file. morvane_last_error() says what and where. */
  MORVANE_ERROR = 2,
  /* The result did not fit; *needed (or *count) says how much it needs. */
  MORVANE_BUFFER_TOO_SMALL = 3,
  /* A null pointer where one is not allowed. */
  MORVANE_INVALID_ARGUMENT = 4,
  MORVANE_OUT_OF_MEMORY = 5
} morvane_status;

/* The library's version, "MAJOR.MINOR.PATCH". */
const char* morvane_version(void);

/* The message of this thread's last failed call, or "" when none failed.
 * Valid until this thread's next call. */
const char* morvane_last_error(void);

/* The built-in languages: their number, and the file code ("en-us") and
 * name ("English_US") of each, or NULL past the end. */
size_t morvane_language_count(void);
const char* morvane_language_code(size_t index);
const char* morvane_language_name(size_t index);

/* A hyphenator for a built-in language, found by file code ("de-1996"), name
 * ("German_1996", any case) or BCP 47 tag ("de-CH"). */
morvane_status morvane_hyphenator_for_language(const char* language, morvane_hyphenator** out);

/* A hyphenator from an office-suite dictionary (hyph_*.dic). */
morvane_status morvane_hyphenator_load_dictionary(const char* path, morvane_hyphenator** out);

/* A hyphenator from TeX pattern files (hyph-*.tex) or pattern line files
 * (hyph-*.pat.txt), `count` of them, combined. */
morvane_status morvane_hyphenator_load_patterns(const char* const* paths, size_t count,
                                                morvane_hyphenator** out);

/* `h` with the exceptions of `text` (UTF-8, a word a line with hyphens at its
 * breaks; `length` bytes) before its own. */
morvane_status morvane_hyphenator_with_exceptions(const morvane_hyphenator* h, const char* text,
                                                  size_t length, morvane_hyphenator** out);

/* `h` with other minimums for the first and last piece. */
morvane_status morvane_hyphenator_with_minimums(const morvane_hyphenator* h, long long left_min,
                                                long long right_min, morvane_hyphenator** out);

/* Releases a hyphenator; NULL is allowed. */
void morvane_hyphenator_free(morvane_hyphenator* h);

/* Where the UTF-8 `word` (`length` bytes) may break, as byte offsets into
 * it, ascending. Sets *count to their number and writes them when at most
 * `capacity`; a word of n bytes has fewer than n. */
morvane_status morvane_breaks(const morvane_hyphenator* h, const char* word, size_t length,
                              size_t* offsets, size_t capacity, size_t* count);

/* The word with `separator` (NUL-terminated UTF-8) at every break. */
morvane_status morvane_insert_hyphens(const morvane_hyphenator* h, const char* word, size_t length,
                                      const char* separator, char* out, size_t capacity,
                                      size_t* needed);

/* The word with `separator` at every break, the spelling changed where an
 * office dictionary's break changes it ("asz-szony-nyal"). */
morvane_status morvane_spell_breaks(const morvane_hyphenator* h, const char* word, size_t length,
                                    const char* separator, char* out, size_t capacity,
                                    size_t* needed);

/* Running text with `separator` at every break of every word; everything
 * else, invalid UTF-8 included, copied as it is. */
morvane_status morvane_hyphenate_text(const morvane_hyphenator* h, const char* text, size_t length,
                                      const char* separator, char* out, size_t capacity,
                                      size_t* needed);

/* An HTML or XHTML document with `separator` at every break of the words of
 * its text; markup untouched, `lang` attributes choosing built-in languages. */
morvane_status morvane_hyphenate_html(const morvane_hyphenator* h, const char* document,
                                      size_t length, const char* separator, char* out,
                                      size_t capacity, size_t* needed);

#ifdef __cplusplus
}
#endif

/* NOLINTEND(modernize-deprecated-headers,modernize-use-using) */

#endif /* MORVANE_MORVANE_H */
