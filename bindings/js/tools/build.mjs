// Builds the npm package "morvane" into bindings/js/dist: the WebAssembly
// engine (Debian's emscripten), the library as an ES module and as
// CommonJS with TypeScript declarations, a file per language (its patterns,
// exceptions and character classes, and its licence beside it), the
// drop-in modules for the "hyphen" package's interface, and the demo page.
//
// usage: node tools/build.mjs   (npm run build)

import { execFileSync } from "node:child_process";
import { copyFileSync, cpSync, mkdirSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { gunzipSync, gzipSync } from "node:zlib";

const here = dirname(fileURLToPath(import.meta.url));
const source = join(here, "..");
const root = join(source, "..", "..");
const build = join(root, "build", "js");
const dist = join(source, "dist");

// --- the engine --------------------------------------------------------------
// Debian's emscripten finds its JavaScript optimiser's parser (acorn) there.
const env = { ...process.env, NODE_PATH: [process.env.NODE_PATH, "/usr/share/nodejs"].filter(Boolean).join(":") };
const run = (command, args) => execFileSync(command, args, { stdio: "inherit", env });
run("emcmake", ["cmake", "-S", source, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release"]);
run("cmake", ["--build", build]);

rmSync(dist, { recursive: true, force: true });
mkdirSync(join(dist, "languages"), { recursive: true });
mkdirSync(join(dist, "hyphen"), { recursive: true });
copyFileSync(join(build, "mjs", "engine.wasm"), join(dist, "engine.wasm"));
copyFileSync(join(build, "mjs", "engine.mjs"), join(dist, "engine.mjs"));
copyFileSync(join(build, "cjs", "engine.cjs"), join(dist, "engine.cjs"));

// --- the library ---------------------------------------------------------------
const core = readFileSync(join(source, "lib", "core.js"), "utf8");
const dom = readFileSync(join(source, "lib", "dom.js"), "utf8");
const hyphen = readFileSync(join(source, "lib", "hyphen.js"), "utf8");
const names = ["SOFT_HYPHEN", "configure", "ready", "languages", "loadHyphenator", "loadHyphenatorSync",
  "Hyphenator", "hyphenateElement", "hyphenateDocument"];

const esPreamble = `// morvane ${version()}: hyphenation in 73 languages. See README.md.
import createEngine from "./engine.mjs";
const packageUrl = new URL("./", import.meta.url);
const inNode = typeof process === "object" && typeof process.versions?.node === "string" && typeof window === "undefined";
const nodeIo = inNode ? {
  async read(url) { const { readFile } = await import("node:fs/promises"); return new Uint8Array(await readFile(url)); },
  async gunzip(bytes) { const { gunzipSync } = await import("node:zlib"); return new Uint8Array(gunzipSync(bytes)); },
} : null;
`;
const commonPreamble = `// morvane ${version()}: hyphenation in 73 languages. See README.md.
"use strict";
const createEngine = require("./engine.cjs");
const packageUrl = require("node:url").pathToFileURL(__dirname + "/");
const nodeIo = {
  readSync: (url) => new Uint8Array(require("node:fs").readFileSync(url)),
  async read(url) { return this.readSync(url); },
  gunzipSync: (bytes) => new Uint8Array(require("node:zlib").gunzipSync(bytes)),
  async gunzip(bytes) { return this.gunzipSync(bytes); },
};
`;
writeFileSync(join(dist, "index.mjs"), `${esPreamble}\n${core}\n${dom}\nexport { ${names.join(", ")} };\n`);
writeFileSync(join(dist, "index.cjs"), `${commonPreamble}\n${core}\n${dom}\nmodule.exports = { ${names.join(", ")} };\n`);
copyFileSync(join(source, "lib", "index.d.ts"), join(dist, "index.d.ts"));
copyFileSync(join(source, "lib", "index.d.ts"), join(dist, "index.d.cts"));

// --- a file per language -----------------------------------------------------------
/// The patterns as two streams: each pattern's letters after as many
/// letters as it shares with the one before (a character 0x30 + that count
/// first), and its digits, a place a boundary, trailing zeros dropped.
/// Sorted by letters. Smaller, gzipped, than the pattern text. Where it is
/// smaller still, letters are written as their places in the alphabet that
/// comes first (from U+0020 on, then from U+00A0), one byte each for most
/// scripts; an empty alphabet means they are written as they are.
function packPatterns(text) {
  const patterns = text.split("\n").filter((line) => line.length > 0).map((line) => {
    let letters = "";
    const digits = ["0"];
    for (const c of line) {
      if (c >= "0" && c <= "9") digits[digits.length - 1] = c;
      else { letters += c; digits.push("0"); }
    }
    return [letters, digits.join("").replace(/0+$/, "") || "0"];
  });
  patterns.sort((a, b) => (a[0] < b[0] ? -1 : a[0] > b[0] ? 1 : 0));
  const alphabet = [...new Set(patterns.flatMap(([word]) => [...word]))].sort();
  const place = new Map(alphabet.map((c, i) => [c, String.fromCodePoint(i < 95 ? 0x20 + i : 0xA0 + i - 95)]));
  const streams = (mapped) => {
    const letters = [];
    const digits = [];
    let previous = [];
    for (const [word, scores] of patterns) {
      const chars = [...word];
      if (word === previous.join("") && letters.length > 0) throw new Error(`two patterns with the letters ${word}`);
      let shared = 0;
      while (shared < chars.length && shared < previous.length && chars[shared] === previous[shared] && shared < 200) ++shared;
      const rest = chars.slice(shared);
      letters.push(String.fromCharCode(0x30 + shared) + (mapped ? rest.map((c) => place.get(c)) : rest).join(""));
      digits.push(scores);
      previous = chars;
    }
    return `${mapped ? alphabet.join("") : ""}\0${letters.join("\n")}\0${digits.join("\n")}`;
  };
  const size = (packed) => gzipSync(Buffer.from(packed, "utf8"), { level: 9 }).length;
  const plain = streams(false);
  const mapped = streams(true);
  return size(mapped) < size(plain) ? mapped : plain;
}

const data = join(root, "data");
const codes = readdirSync(data).filter((f) => f.endsWith(".pat.txt.gz")).map((f) => f.slice(5, -11)).sort();
const text = (code, kind) => gunzipSync(readFileSync(join(data, `hyph-${code}.${kind}.txt.gz`))).toString("utf8");
for (const code of codes) {
  const packed = [text(code, "chr"), text(code, "hyp"), packPatterns(text(code, "pat"))].join("\0");
  writeFileSync(join(dist, "languages", `${code}.gz`), gzipSync(Buffer.from(packed, "utf8"), { level: 9 }));
  writeFileSync(join(dist, "languages", `${code}.licence.txt`), text(code, "lic"));
}

// --- the "hyphen" drop-in, a module per language code and tag ----------------------
const require = createRequire(import.meta.url);
const engine = await require(join(dist, "engine.cjs"))({ wasmBinary: readFileSync(join(dist, "engine.wasm")) });
const at = engine._mv_catalogue();
const catalogue = JSON.parse(Buffer.from(engine.HEAPU8.subarray(at, engine.HEAPU8.indexOf(0, at))).toString("utf8"));
const dropIns = new Map();
for (const [code, , tags] of catalogue) {
  for (const name of [code, ...tags.map((t) => t.toLowerCase())]) if (!dropIns.has(name)) dropIns.set(name, code);
}
const hyphenNames = ["hyphenate", "hyphenateSync", "hyphenateHTML", "hyphenateHTMLSync"];
for (const [name, code] of dropIns) {
  const body = hyphen.replaceAll("LANGUAGE", JSON.stringify(code));
  writeFileSync(join(dist, "hyphen", `${name}.mjs`),
    `import { loadHyphenatorSync, ready } from "../index.mjs";\nconst SOFT_HYPHEN = "\\u00AD";\n` +
    `await ready(${JSON.stringify(code)});\n${body}\nexport { ${hyphenNames.join(", ")} };\n`);
  writeFileSync(join(dist, "hyphen", `${name}.cjs`),
    `"use strict";\nconst { loadHyphenatorSync, ready } = require("../index.cjs");\nconst SOFT_HYPHEN = "\\u00AD";\n` +
    `${body}\nmodule.exports = { ${hyphenNames.join(", ")} };\n`);
  copyFileSync(join(source, "lib", "hyphen.d.ts"), join(dist, "hyphen", `${name}.d.ts`));
}

// --- the manifest, the readme, the demo ---------------------------------------------------
const manifest = JSON.parse(readFileSync(join(source, "package.json"), "utf8"));
const published = {
  name: manifest.name, version: version(), description: manifest.description, license: manifest.license,
  type: "module", main: "./index.cjs", module: "./index.mjs", types: "./index.d.ts",
  exports: {
    ".": { import: { types: "./index.d.ts", default: "./index.mjs" }, require: { types: "./index.d.cts", default: "./index.cjs" } },
    "./hyphen/*": { import: { types: "./hyphen/*.d.ts", default: "./hyphen/*.mjs" }, require: { types: "./hyphen/*.d.ts", default: "./hyphen/*.cjs" } },
    "./engine.wasm": "./engine.wasm",
    "./languages/*": "./languages/*",
  },
  files: ["*.mjs", "*.cjs", "*.d.ts", "*.d.cts", "engine.wasm", "languages/", "hyphen/", "demo/", "README.md", "LICENCES.md"],
  engines: manifest.engines,
  sideEffects: false,
};
writeFileSync(join(dist, "package.json"), JSON.stringify(published, null, 2) + "\n");
copyFileSync(join(source, "README.md"), join(dist, "README.md"));
writeFileSync(join(dist, "LICENCES.md"),
  "# Licences\n\nThe engine is morvane's. Each language's patterns keep their own licence, " +
  "in `languages/CODE.licence.txt` beside the language's file.\n");
cpSync(join(source, "demo"), join(dist, "demo"), { recursive: true });
console.log(`morvane: ${codes.length} languages, ${dropIns.size} hyphen modules in ${dist}`);

function version() {
  const cmake = readFileSync(join(root, "CMakeLists.txt"), "utf8");
  return cmake.match(/project\(morvane VERSION ([0-9.]+)/)[1];
}
