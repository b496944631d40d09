// Text and HTML modes on the HTML test documents, and Debian's office
// dictionaries, give what the command (MORVANE_COMMAND, the C++ library)
// gives, byte for byte.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync, readFileSync, readdirSync } from "node:fs";
import { join } from "node:path";
import { gunzipSync } from "node:zlib";
import { test } from "node:test";

import { loadHyphenator } from "../dist/index.mjs";

const command = process.env.MORVANE_COMMAND;
const documents = new URL("../../../tests/documents/", import.meta.url);
const dictionaries = "/usr/share/hyphen";
const wordLists = new URL("../../../tests/dictionaries/words/", import.meta.url);

test("text and HTML as the command hyphenates them", { skip: !command && "MORVANE_COMMAND is not set" }, async () => {
  const names = readdirSync(documents).filter((f) => /\.x?html$/.test(f));
  assert.ok(names.length >= 4);
  for (const name of names) {
    const language = name.split(".").at(-2);  // NAME.LANGUAGE.html
    const bytes = readFileSync(new URL(name, documents));
    const h = await loadHyphenator(language);
    for (const mode of ["--html", "--text"]) {
      const expected = execFileSync(command, [mode, "-l", language], { input: bytes, maxBuffer: 1 << 26 }).toString("utf8");
      const document = bytes.toString("utf8");
      const actual = mode === "--html" ? await h.html(document) : h.text(document);
      assert.ok(actual === expected, `${name} ${mode}: differs at ${[...actual].findIndex((c, i) => c !== expected[i])}`);
    }
  }
});

const graphemes = new Intl.Segmenter(undefined, { granularity: "grapheme" });

/// Whether `actual` lacks only breaks of `expected` that fall within a
/// grapheme cluster as the JavaScript engine's Unicode (newer than the
/// ICU the command was built with, which may not know the rule that keeps
/// Indic conjuncts together) has them.
function fewerInCluster(actual, expected) {
  const breaks = (s) => {
    const at = new Set();
    let offset = 0;
    for (const piece of s.split("=")) at.add((offset += piece.length));
    return at;
  };
  const word = expected.replaceAll("=", "");
  if (actual.replaceAll("=", "") !== word) return false;
  const starts = new Set([...graphemes.segment(word)].map((g) => g.index));
  const mine = breaks(actual);
  const theirs = breaks(expected);
  return [...mine].every((b) => theirs.has(b)) && [...theirs].every((b) => mine.has(b) || !starts.has(b));
}

test("every installed office dictionary, in its own character set, as the command reads it",
  { skip: (!command || !existsSync(dictionaries)) && "MORVANE_COMMAND or the dictionaries are missing" }, async () => {
    const charsets = new Set();
    let tried = 0;
    for (const list of readdirSync(wordLists)) {
      const file = join(dictionaries, `hyph_${list.replace(".txt.gz", "")}.dic`);
      if (!existsSync(file)) continue;
      const words = gunzipSync(readFileSync(new URL(list, wordLists))).toString("utf8");
      const bytes = readFileSync(file);
      charsets.add(bytes.subarray(0, bytes.indexOf(10)).toString("latin1").trim());
      const h = await loadHyphenator({ dictionary: new Uint8Array(bytes) });
      const expected = execFileSync(command, ["--dic", file, "--text", "-s", "="], { input: words, maxBuffer: 1 << 26 });
      const actual = h.text(words, { separator: "=" }).split("\n");
      expected.toString("utf8").split("\n").forEach((line, i) => {
        if (actual[i] !== line) assert.ok(fewerInCluster(actual[i], line), `${file}: ${actual[i]}, not ${line}`);
      });
      ++tried;
    }
    assert.ok(tried >= 40 && charsets.size >= 5, `${tried} dictionaries in ${[...charsets].join(" ")}`);
  });
