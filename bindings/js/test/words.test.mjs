// The package's answers: every language's golden words as the C++ library
// breaks them (TeX's own), positions in UTF-16, your own patterns and
// dictionaries, exceptions and minimums, and bad input.
import assert from "node:assert/strict";
import { readFileSync, readdirSync } from "node:fs";
import { createRequire } from "node:module";
import { test } from "node:test";

import { languages, loadHyphenator } from "../dist/index.mjs";

const golden = new URL("../../../tests/golden/", import.meta.url);

test("every language breaks its golden words as TeX does", async () => {
  const codes = readdirSync(golden).filter((f) => f.endsWith(".tsv")).map((f) => f.slice(0, -4));
  assert.equal(codes.length, 73);
  for (const code of codes) {
    const h = await loadHyphenator(code);
    let differ = 0;
    const lines = readFileSync(new URL(`${code}.tsv`, golden), "utf8").split("\n").filter(Boolean);
    for (const line of lines) {
      const [word, expected] = line.split("\t");
      if (h.hyphenate(word).join("-") !== expected && ++differ <= 3) {
        assert.fail(`${code}: ${word}: ${h.hyphenate(word).join("-")}, TeX ${expected}`);
      }
    }
    assert.ok(lines.length > 100, code);
  }
});

test("languages by code, name and tag; positions in UTF-16 code units", async () => {
  const all = await languages();
  assert.equal(all.length, 73);
  assert.deepEqual(all.find((l) => l.code === "de-ch-1901").tags.includes("de-ch"), true);
  for (const name of ["de", "German_1996", "de-DE", "de-1996"]) {
    assert.equal((await loadHyphenator(name)).insert("Silbentrennung", "-"), "Sil-ben-tren-nung");
  }
  const en = await loadHyphenator("en-US");
  assert.deepEqual(en.hyphenate("hyphenation"), ["hy", "phen", "ation"]);
  assert.deepEqual(en.positions("hyphenation"), [2, 6]);
  assert.equal(en.insert("hyphenation"), "hy\u00ADphen\u00ADation");
  const own = await loadHyphenator({ patterns: "\\patterns{a1b}", left: 1, right: 1 });
  // "𝔸" is two code units: the break after "a" is at unit 3.
  assert.deepEqual(own.positions("𝔸ab"), [3]);
  assert.deepEqual(own.hyphenate("𝔸ab"), ["𝔸a", "b"]);
});

test("your own patterns, dictionaries, exceptions and minimums", async () => {
  const tex = await loadHyphenator({ patterns: "\\patterns{a1b}\n\\hyphenation{ab-ab-ab}", left: 1, right: 1 });
  assert.equal(tex.insert("ababab", "-"), "ab-ab-ab");
  assert.equal(tex.insert("abb", "-"), "a-bb");
  const dic = new TextEncoder().encode("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\ns5sz/sz=,1,1\nn5ny/ny=ny,1,3\n");
  const hu = await loadHyphenator({ dictionary: dic });
  assert.deepEqual(hu.hyphenate("asszonnyal"), ["asszonnyal"]);  // its breaks change the spelling
  const mine = await loadHyphenator("en", { exceptions: "hy-phen-a-tion\n" });
  assert.equal(mine.insert("hyphenation", "-"), "hy-phen-a-tion");
  assert.equal(mine.insert("Hyphenation", "-"), "Hy-phen-a-tion");
  const wide = await loadHyphenator("en", { left: 1, right: 1 });
  assert.equal(wide.insert("ahoy", "-"), "a-hoy");
  assert.equal((await loadHyphenator("en", { minWordLength: 12 })).insert("hyphenation", "-"), "hyphenation");
  await assert.rejects(loadHyphenator({ patterns: "\\patterns{a11b}" }), /two digits in a row/);
});

test("bad input: types, unknown languages, lone surrogates", async () => {
  const en = await loadHyphenator("en");
  assert.throws(() => en.hyphenate(3), TypeError);
  assert.throws(() => en.text(null), TypeError);
  assert.throws(() => en.insert("word", 5), TypeError);
  await assert.rejects(loadHyphenator(5), TypeError);
  await assert.rejects(loadHyphenator("klingon"), /unknown language "klingon"/);
  // Lone surrogates come back, in words, text and HTML.
  for (const s of ["hyphen\uD800ation", "\uDC00representation hyphenation\uD83D", "ab\uDFFFcd"]) {
    assert.equal(en.insert(s, "|").replaceAll("|", ""), s);
    assert.equal(en.text(s, { separator: "|" }).replaceAll("|", ""), s);
    assert.equal((await en.html(`<p>${s}</p>`, { separator: "|" })).replaceAll("|", ""), `<p>${s}</p>`);
  }
  assert.equal(en.text("representation \uD800 hyphenation", { separator: "-" }), "rep-re-sen-ta-tion \uD800 hy-phen-ation");
});

test("CommonJS: the same library, and synchronous loading", () => {
  const require = createRequire(import.meta.url);
  const morvane = require("../dist/index.cjs");
  assert.equal(morvane.loadHyphenatorSync("de").insert("Silbentrennung", "-"), "Sil-ben-tren-nung");
  assert.equal(morvane.loadHyphenatorSync("fr").text("anticonstitutionnellement", { separator: "-" }),
    "an-ti-cons-ti-tu-tion-nel-le-ment");
});

test("the hyphen package's interface on its documented examples", async () => {
  const en = await import("../dist/hyphen/en.mjs");
  const de = await import("../dist/hyphen/de.mjs");
  const text = "A certain king had a beautiful garden";
  assert.equal(await en.hyphenate(text), "A cer\u00ADtain king had a beau\u00ADti\u00ADful gar\u00ADden");
  assert.equal(en.hyphenateSync(text), "A cer\u00ADtain king had a beau\u00ADti\u00ADful gar\u00ADden");
  assert.equal(await en.hyphenate(`<blockquote>${text}</blockquote>`),
    "<blockquote>A cer\u00ADtain king had a beau\u00ADti\u00ADful gar\u00ADden</blockquote>");
  assert.equal(await de.hyphenate("Ein gewisser König hatte einen wunderschönen Garten"),
    "Ein ge\u00ADwis\u00ADser Kö\u00ADnig hat\u00ADte ei\u00ADnen wun\u00ADder\u00ADschö\u00ADnen Gar\u00ADten");
  assert.equal(await en.hyphenate(text, { hyphenChar: "-" }), "A cer-tain king had a beau-ti-ful gar-den");
  assert.equal(en.hyphenateSync("certain", { minWordLength: 8 }), "certain");
  assert.equal(en.hyphenateSync("hyphenation", { exceptions: ["hy-phen-a-tion"], hyphenChar: "-" }),
    "hy-phen-a-tion");
  assert.equal(await en.hyphenateHTML("<b title='certain'>certain</b>", { hyphenChar: "-" }),
    "<b title='certain'>cer-tain</b>");
  const require = createRequire(import.meta.url);
  const cjs = require("../dist/hyphen/en-us.cjs");
  assert.equal(cjs.hyphenateSync(text), "A cer\u00ADtain king had a beau\u00ADti\u00ADful gar\u00ADden");
  assert.throws(() => cjs.hyphenateSync(42), TypeError);
});
