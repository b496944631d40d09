/* The C interface, used from C as its users use it: built as C11 with every
 * warning an error, and run under the sanitizers with the rest of the tests.
 * usage: c_interface_test SCRATCH_DIR */
#include <morvane/morvane.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

#define CHECK(condition)                                                      \
  do {                                                                        \
    if (!(condition)) {                                                       \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                             \
    }                                                                         \
  } while (0)

static morvane_hyphenator* language(const char* name) {
  morvane_hyphenator* h = NULL;
  CHECK(morvane_hyphenator_for_language(name, &h) == MORVANE_OK);
  return h;
}

/* The word with "-" at its breaks, in a buffer sized as the header says. */
static char* inserted(const morvane_hyphenator* h, const char* word) {
  size_t needed = 0;
  CHECK(morvane_insert_hyphens(h, word, strlen(word), "-", NULL, 0, &needed) ==
        MORVANE_BUFFER_TOO_SMALL);
  char* out = malloc(needed + 1);
  CHECK(morvane_insert_hyphens(h, word, strlen(word), "-", out, needed + 1, &needed) == MORVANE_OK);
  return out;
}

static void words_and_breaks(void) {
  morvane_hyphenator* en = language("en-us");
  char* word = inserted(en, "hyphenation");
  CHECK(strcmp(word, "hy-phen-ation") == 0);
  free(word);

  /* Byte offsets, not characters: "schönheit" breaks after "schön". */
  morvane_hyphenator* de = language("de-DE");
  size_t offsets[16];
  size_t count = 0;
  const char* schoen = "Sch\xc3\xb6nheit";
  CHECK(morvane_breaks(de, schoen, strlen(schoen), offsets, 16, &count) == MORVANE_OK);
  CHECK(count == 1 && offsets[0] == 6);
  /* Too little room: the count, and nothing written. */
  offsets[0] = 99;
  CHECK(morvane_breaks(en, "hyphenation", 11, offsets, 1, &count) == MORVANE_BUFFER_TOO_SMALL);
  CHECK(count == 2 && offsets[0] == 99);
  CHECK(morvane_breaks(en, "", 0, NULL, 0, &count) == MORVANE_OK && count == 0);

  /* A buffer one byte short of the NUL is too small and stays untouched. */
  char small[13] = "untouched";
  size_t needed = 0;
  CHECK(morvane_insert_hyphens(en, "hyphenation", 11, "-", small, sizeof small, &needed) ==
        MORVANE_BUFFER_TOO_SMALL);
  CHECK(needed == 13 && strcmp(small, "untouched") == 0);
  morvane_hyphenator_free(de);
  morvane_hyphenator_free(en);
}

static void texts_and_documents(void) {
  morvane_hyphenator* en = language("English_US");
  const char* text = "Hyphenation, \xff then more.";
  char out[256];
  size_t needed = 0;
  CHECK(morvane_hyphenate_text(en, text, strlen(text), "|", out, sizeof out, &needed) ==
        MORVANE_OK);
  CHECK(strcmp(out, "Hy|phen|ation, \xff then more.") == 0 && needed == strlen(out));
  const char* html = "<p title=\"hyphenation\">hyphenation</p>";
  CHECK(morvane_hyphenate_html(en, html, strlen(html), "&shy;", out, sizeof out, &needed) ==
        MORVANE_OK);
  CHECK(strcmp(out, "<p title=\"hyphenation\">hy&shy;phen&shy;ation</p>") == 0);
  morvane_hyphenator_free(en);
}

static void exceptions_and_minimums(void) {
  morvane_hyphenator* en = language("en");
  morvane_hyphenator* mine = NULL;
  const char* entries = "ta-ble\nhyphenation\n";
  CHECK(morvane_hyphenator_with_exceptions(en, entries, strlen(entries), &mine) == MORVANE_OK);
  char* word = inserted(mine, "TABLE");
  CHECK(strcmp(word, "TA-BLE") == 0);
  free(word);
  word = inserted(mine, "hyphenation");
  CHECK(strcmp(word, "hyphenation") == 0);
  free(word);
  morvane_hyphenator* wide = NULL;
  CHECK(morvane_hyphenator_with_minimums(en, 4, 4, &wide) == MORVANE_OK);
  word = inserted(wide, "hyphenation");
  CHECK(strcmp(word, "hyphen-ation") == 0);
  free(word);
  morvane_hyphenator_free(wide);
  morvane_hyphenator_free(mine);
  morvane_hyphenator_free(en);
}

static void files(const char* scratch) {
  char path[512];
  snprintf(path, sizeof path, "%s/hyph_hu_test.dic", scratch);
  FILE* file = fopen(path, "w");
  CHECK(file != NULL);
  if (file == NULL) return;
  fputs("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\ns5sz/sz=,1,1\nn5ny/ny=ny,1,3\n", file);
  fclose(file);
  morvane_hyphenator* hu = NULL;
  CHECK(morvane_hyphenator_load_dictionary(path, &hu) == MORVANE_OK);
  char out[64];
  size_t needed = 0;
  CHECK(morvane_spell_breaks(hu, "asszonnyal", 10, "-", out, sizeof out, &needed) == MORVANE_OK);
  CHECK(strcmp(out, "asz-szony-nyal") == 0);
  morvane_hyphenator_free(hu);

  snprintf(path, sizeof path, "%s/hyph-xx.pat.txt", scratch);
  file = fopen(path, "w");
  CHECK(file != NULL);
  if (file == NULL) return;
  fputs("1ba\n", file);
  fclose(file);
  morvane_hyphenator* xx = NULL;
  const char* paths[] = {path};
  CHECK(morvane_hyphenator_load_patterns(paths, 1, &xx) == MORVANE_OK);
  char* word = inserted(xx, "abababa");
  CHECK(strcmp(word, "aba-baba") == 0); /* line files keep TeX's minimums, 2 and 3 */
  free(word);
  morvane_hyphenator_free(xx);
}

static void errors(const char* scratch) {
  morvane_hyphenator* h = NULL;
  CHECK(morvane_hyphenator_for_language("klingon", &h) == MORVANE_UNKNOWN_LANGUAGE && h == NULL);
  CHECK(strcmp(morvane_last_error(), "no language \"klingon\"") == 0);

  morvane_hyphenator* en = language("en-us");
  size_t count = 0;
  CHECK(morvane_breaks(en, "ab\xff", 3, NULL, 0, &count) == MORVANE_ERROR);
  CHECK(strcmp(morvane_last_error(), "invalid UTF-8 at byte offset 2") == 0);
  CHECK(morvane_breaks(NULL, "ab", 2, NULL, 0, &count) == MORVANE_INVALID_ARGUMENT);
  morvane_hyphenator_free(en);

  char path[512];
  snprintf(path, sizeof path, "%s/hyph_bad.dic", scratch);
  FILE* file = fopen(path, "w");
  CHECK(file != NULL);
  if (file == NULL) return;
  fputs("UTF-8\na1b c1d\n", file);
  fclose(file);
  CHECK(morvane_hyphenator_load_dictionary(path, &h) == MORVANE_ERROR);
  char expected[600];
  snprintf(expected, sizeof expected, "%s:2: more than one pattern on a line", path);
  CHECK(strcmp(morvane_last_error(), expected) == 0);
  morvane_hyphenator_free(NULL);
}

static void languages(void) {
  CHECK(morvane_language_count() == 73);
  CHECK(strcmp(morvane_language_code(0), "af") == 0);
  CHECK(strcmp(morvane_language_name(0), "Afrikaans") == 0);
  CHECK(morvane_language_code(73) == NULL && morvane_language_name(73) == NULL);
  CHECK(strchr(morvane_version(), '.') != NULL);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: c_interface_test SCRATCH_DIR\n");
    return 2;
  }
  CHECK(strcmp(morvane_last_error(), "") == 0); /* nothing has failed yet */
  words_and_breaks();
  texts_and_documents();
  exceptions_and_minimums();
  files(argv[1]);
  errors(argv[1]);
  languages();
  if (failures == 0) printf("ok C interface\n");
  return failures == 0 ? 0 : 1;
}
