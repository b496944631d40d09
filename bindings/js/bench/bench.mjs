// The package's speed and size in Node, beside the npm "hyphen" package and
// Hyphenopoly's Node module where they are installed (as black boxes, from
// the npm registry): per word of the first pass over a word list (the
// engine warming up), per new word (one not seen before, after two seconds
// of warm-up on as many others), per repeated word, load time and MB/s on prose, English and German; each
// figure from a fresh process, all in one run. Then the sizes: the engine
// and its glue, and each language's file, gzipped.
//
// usage: node bench/bench.mjs [--peers DIR]   (DIR holds node_modules/hyphen
//        and node_modules/hyphenopoly; npm run bench)

import { execFileSync } from "node:child_process";
import { existsSync, readFileSync, readdirSync } from "node:fs";
import { createRequire } from "node:module";
import { join } from "node:path";
import { performance } from "node:perf_hooks";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";

const here = fileURLToPath(new URL(".", import.meta.url));
const dist = join(here, "..", "dist");
const root = join(here, "..", "..", "..");
const languages = [["en-us", "en"], ["de-1996", "de"]];  // (ours and the peers' code, the word list's)

/// Hyphenates one text at a time with one library: { load, one(text) }.
async function hyphenatorOf(library, code, peers) {
  const started = performance.now();
  if (library === "morvane") {
    const { loadHyphenator } = await import(join(dist, "index.mjs"));
    const h = await loadHyphenator(code);
    return { load: performance.now() - started, word: (w) => h.insert(w), text: (t) => h.text(t) };
  }
  const require = createRequire(join(peers, "node_modules", "x.js"));
  if (library === "hyphen") {
    const { hyphenateSync } = require(`hyphen/${code === "de-1996" ? "de" : code}`);
    hyphenateSync("warm");  // its patterns are read on first use
    return {
      load: performance.now() - started,
      word: (w) => hyphenateSync(w),
      text: (t) => hyphenateSync(t, { html: false }),
    };
  }
  const { default: hyphenopoly } = await import(join(peers, "node_modules", "hyphenopoly", "hyphenopoly.module.js"));
  const name = code === "de-1996" ? "de" : code;
  const hyphenator = hyphenopoly.config({
    require: [name],
    loader: async (file, directory) => readFileSync(new URL(file, directory)),
  });
  const hyphenate = await hyphenator.get(name);
  return { load: performance.now() - started, word: hyphenate, text: hyphenate };
}

/// One library on one language, in this process: the figures as JSON.
async function measure(library, code, list, peers) {
  const all = [...new Set(readFileSync(join(root, "bench", "words", `${list}.txt`), "utf8").split("\n").filter(Boolean))];
  // Warmed up on every other word, measured on the rest: words it has not
  // seen (a cache of words cannot help), in a hyphenator that is ready.
  const warm = all.filter((_, i) => i % 2 === 0);
  const words = all.filter((_, i) => i % 2 === 1);
  const prose = readFileSync(join(root, "bench", "texts", `${list}.txt`), "utf8");
  const h = await hyphenatorOf(library, code, peers);
  // Strings are read in the middle, as writing them out would: a string
  // built of pieces is flattened then, and that is part of the cost.
  const use = (s) => s.charCodeAt(s.length >> 1) | 0;
  let sink = 0;
  let at = performance.now();
  for (const w of warm) sink += use(h.word(w));
  const cold = ((performance.now() - at) * 1e6) / warm.length;
  // The JavaScript engines compile hot code again, better, in the
  // background: over the same words until that has had its time.
  while (performance.now() - at < 2000) for (const w of warm) sink += use(h.word(w));
  at = performance.now();
  for (const w of words) sink += use(h.word(w));
  const newWord = ((performance.now() - at) * 1e6) / words.length;
  let repeated = Infinity;
  for (let pass = 0; pass < 3; ++pass) {
    at = performance.now();
    for (const w of words) sink += use(h.word(w));
    repeated = Math.min(repeated, ((performance.now() - at) * 1e6) / words.length);
  }
  let seconds = Infinity;
  for (let pass = 0; pass < 3; ++pass) {
    at = performance.now();
    sink += use(h.text(prose));
    seconds = Math.min(seconds, (performance.now() - at) / 1e3);
  }
  const megabytes = Buffer.byteLength(prose) / 1e6;
  console.log(JSON.stringify({ load: h.load, cold, newWord, repeated, mbs: megabytes / seconds, sink }));
}

const args = process.argv.slice(2);
if (args[0] === "--one") {
  await measure(args[1], args[2], args[3], args[4]);
} else {
  const peers = args[0] === "--peers" ? args[1] : null;
  const libraries = ["morvane"];
  if (peers && existsSync(join(peers, "node_modules", "hyphen"))) libraries.push("hyphen");
  if (peers && existsSync(join(peers, "node_modules", "hyphenopoly"))) libraries.push("hyphenopoly");
  console.log(`Node ${process.version}; each row a fresh process\n`);
  console.log(`${"library".padEnd(12)} ${"language".padEnd(9)} ${"load ms".padStart(9)} ${"ns/first".padStart(9)} ${"ns/new word".padStart(12)} ` +
    `${"ns/repeated".padStart(12)} ${"MB/s prose".padStart(11)}`);
  const figures = {};
  for (const [code, list] of languages) {
    for (const library of libraries) {
      const out = execFileSync(process.execPath, [fileURLToPath(import.meta.url), "--one", library, code, list, peers ?? ""]);
      const f = JSON.parse(out.toString());
      figures[`${library} ${list}`] = f;
      console.log(`${library.padEnd(12)} ${list.padEnd(9)} ${f.load.toFixed(1).padStart(9)} ${f.cold.toFixed(0).padStart(9)} ${f.newWord.toFixed(0).padStart(12)} ` +
        `${f.repeated.toFixed(0).padStart(12)} ${f.mbs.toFixed(1).padStart(11)}`);
    }
  }
  for (const [, list] of languages) {
    const ours = figures[`morvane ${list}`];
    for (const peer of libraries.slice(1)) {
      const theirs = figures[`${peer} ${list}`];
      console.log(`${list}: new words ${(theirs.newWord / ours.newWord).toFixed(1)}x, repeated ` +
        `${(theirs.repeated / ours.repeated).toFixed(1)}x, prose ${(ours.mbs / theirs.mbs).toFixed(1)}x ` +
        `faster than ${peer}`);
    }
  }

  const gz = (path) => gzipSync(readFileSync(path), { level: 9 }).length;
  const engine = gz(join(dist, "engine.wasm")) + gz(join(dist, "engine.mjs")) + gz(join(dist, "index.mjs"));
  console.log(`\nengine.wasm + engine.mjs + index.mjs, gzipped: ${(engine / 1024).toFixed(1)} KiB`);
  const theirs = peers && join(peers, "node_modules", "hyphenopoly", "patterns");
  console.log(`${"language".padEnd(16)} ${"ours (gz)".padStart(10)} ${theirs ? "Hyphenopoly (gz)".padStart(17) : ""}`);
  let larger = 0;
  for (const file of readdirSync(join(dist, "languages")).filter((f) => f.endsWith(".gz")).sort()) {
    const code = file.slice(0, -3);
    const ours = readFileSync(join(dist, "languages", file)).length;
    const peerFile = theirs && join(theirs, `${code === "de-1996" ? "de" : code}.wasm`);
    const peerSize = peerFile && existsSync(peerFile) ? gz(peerFile) : null;
    if (peerSize !== null && ours > peerSize) ++larger;
    console.log(`${code.padEnd(16)} ${String(ours).padStart(10)} ${peerSize === null ? "" : String(peerSize).padStart(17)}`);
  }
  if (theirs) console.log(`languages larger than Hyphenopoly's: ${larger}`);
}
