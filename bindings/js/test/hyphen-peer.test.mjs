// The drop-in for the npm "hyphen" package beside the package itself (a
// black box from the npm registry, in MORVANE_PEERS/node_modules): on every
// language both have, for the golden words that are plain letters (no
// marks, in NFC, five or more), wherever "hyphen" breaks a word as TeX
// does, so do we; and we break as TeX does more often than it does.
import assert from "node:assert/strict";
import { existsSync, readFileSync, readdirSync } from "node:fs";
import { createRequire } from "node:module";
import { join } from "node:path";
import { test } from "node:test";

const peers = process.env.MORVANE_PEERS;
const theirs = peers && join(peers, "node_modules", "hyphen");
const golden = new URL("../../../tests/golden/", import.meta.url);

test("where the hyphen package agrees with TeX, so does its drop-in", { skip: !(theirs && existsSync(theirs)) && "MORVANE_PEERS has no hyphen package" }, async () => {
  const require = createRequire(join(theirs, "index.js"));
  const counts = { same: 0, oursOnly: 0, languages: 0 };
  for (const name of readdirSync(join(theirs, "patterns")).map((f) => f.replace(/\.js$/, ""))) {
    // Thai words are found by the text layer's segmentation, not by patterns alone.
    if (name === "th" || !existsSync(new URL(`${name}.tsv`, golden))) continue;
    const peer = require(join(theirs, name));
    const ours = await import(`../dist/hyphen/${name}.mjs`);
    ++counts.languages;
    for (const line of readFileSync(new URL(`${name}.tsv`, golden), "utf8").split("\n")) {
      const [word, tex] = line.split("\t");
      if (!tex || [...word].length < 5 || !/^\p{L}+$/u.test(word) || /\p{M}/u.test(word) || word.normalize("NFC") !== word) continue;
      const mine = ours.hyphenateSync(word, { hyphenChar: "-" });
      const other = peer.hyphenateSync(word, { hyphenChar: "-" });
      if (other === tex) assert.equal(mine, tex, `${name}: ${word}`);
      if (mine === other) ++counts.same;
      else if (mine === tex) ++counts.oursOnly;
    }
  }
  assert.ok(counts.languages >= 60 && counts.same > 50000 && counts.oursOnly > 0, JSON.stringify(counts));
});
