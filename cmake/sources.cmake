# The library's sources by part, shared by the native build (CMakeLists.txt)
# and the WebAssembly one (bindings/js), relative to MORVANE_ROOT.

# The core, but for where it gets its files: words, patterns, exceptions,
# the languages, the file readers.
set(MORVANE_CORE_SOURCES
  src/common/case_mapping.cpp
  src/common/case_table.cpp
  src/common/show_text.cpp
  src/common/utf8.cpp
  src/engine/char_map.cpp
  src/engine/compiled_patterns.cpp
  src/engine/exceptions.cpp
  src/engine/find_breaks.cpp
  src/engine/hyphenator.cpp
  src/engine/minimums.cpp
  src/engine/office_rules.cpp
  src/engine/pattern_automaton.cpp
  src/engine/pattern_builder.cpp
  src/engine/pattern_links.cpp
  src/engine/pattern_table.cpp
  src/engine/patterns.cpp
  src/engine/word_output.cpp
  src/formats/capitals.cpp
  src/formats/charset.cpp
  src/formats/dic_reader.cpp
  src/formats/file_text.cpp
  src/formats/pattern_files.cpp
  src/formats/pyphen_dictionary.cpp
  src/formats/tex_reader.cpp
  src/install/paths.cpp
  src/languages/language.cpp
  src/languages/language_tags.cpp
  src/languages/loader.cpp)
# The native core's files (compiled in, gzip-compressed) and its character
# sets (iconv).
set(MORVANE_CORE_NATIVE_SOURCES
  src/common/gzip.cpp
  src/formats/charset_iconv.cpp
  src/languages/embedded_store.cpp)
# Running text and HTML, but for the Unicode library they ask.
set(MORVANE_TEXT_SOURCES
  src/html/document.cpp
  src/html/entities.cpp
  src/html/tokenizer.cpp
  src/text/text.cpp
  src/text/text_breaks.cpp
  src/text/unicode.cpp
  src/text/word_breaks.cpp
  src/text/word_joiners.cpp)
# The native full library's: ICU, paragraphs in lines, the C interface.
set(MORVANE_FULL_NATIVE_SOURCES
  bindings/c/morvane_c.cpp
  src/layout/line_breaker.cpp
  src/layout/text_lines.cpp
  src/text/unicode_icu.cpp)
