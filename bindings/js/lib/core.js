// morvane for JavaScript: the engine (WebAssembly), languages loaded on
// demand, and hyphenators of words, text and HTML. tools/build.mjs puts a
// preamble before this (ES module or CommonJS) that defines `createEngine`
// (Emscripten's factory), `packageUrl` (the package's folder) and `nodeIo`
// (how Node reads the package's files, sync where it can; null elsewhere).

const SOFT_HYPHEN = "\u00AD";

const settings = { base: null };

/// Where the engine and the language files are fetched from in a browser
/// (by default, beside this module): `configure({ base: "https://…/" })`.
function configure(options = {}) {
  if (options.base !== undefined) settings.base = options.base === null ? null : String(options.base);
}

function fileUrl(name) {
  return new URL(name, settings.base ?? packageUrl);
}

async function readBytes(name) {
  const url = fileUrl(name);
  if (nodeIo && url.protocol === "file:") return nodeIo.read(url);
  let response;
  try {
    response = await fetch(url);
  } catch (e) {
    throw new Error(`morvane: cannot fetch ${url.href}: ${e.message}`);
  }
  if (!response.ok) throw new Error(`morvane: cannot fetch ${url.href}: ${response.status} ${response.statusText}`);
  return new Uint8Array(await response.arrayBuffer());
}

async function inflate(bytes) {
  if (nodeIo) return nodeIo.gunzip(bytes);
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// ---------------------------------------------------------------------------
// The engine, made once.

let engine = null;
let enginePromise = null;

function engineOptions() {
  return settings.base === null ? {} : { locateFile: (name) => fileUrl(name).href };
}

function loadEngine() {
  if (engine) return Promise.resolve(engine);
  if (!enginePromise) {
    enginePromise = (async () => {
      const options = engineOptions();
      // Emscripten's glue would look for fetch in Node: the bytes are given.
      if (nodeIo) options.wasmBinary = await readBytes("engine.wasm");
      engine = await createEngine(options);
      return engine;
    })();
    enginePromise.catch(() => { enginePromise = null; });
  }
  return enginePromise;
}

/// The engine now, made synchronously where that can be done (CommonJS in
/// Node); elsewhere after `await ready()`.
function engineNow() {
  if (engine) return engine;
  if (!nodeIo || !nodeIo.readSync) {
    throw new Error("morvane: the engine is not loaded yet: await ready() (or loadHyphenator) first");
  }
  const module = new WebAssembly.Module(nodeIo.readSync(fileUrl("engine.wasm")));
  // The factory fills the object it is given; given the instance at once,
  // it is ready at once (its promise resolves later).
  const made = {
    instantiateWasm(imports, receive) {
      const instance = new WebAssembly.Instance(module, imports);
      receive(instance, module);
      return instance.exports;
    },
  };
  const promise = createEngine(made);
  if (typeof made._mv_text !== "function" || !made.calledRun) {
    throw new Error("morvane: the engine could not be made synchronously");
  }
  engine = made;
  enginePromise = promise.then(() => made);
  return engine;
}

// ---------------------------------------------------------------------------
// Strings in and out of the engine's memory.

const encoder = new TextEncoder();
const decoder = new TextDecoder();

/// A scratch area of the engine's memory, grown as needed.
const scratch = { pointer: 0, size: 0 };
function room(m, bytes) {
  if (scratch.size < bytes) {
    if (scratch.pointer) m._free(scratch.pointer);
    scratch.size = Math.max(bytes, scratch.size * 2, 4096);
    scratch.pointer = m._malloc(scratch.size);
  }
  return scratch.pointer;
}

const utf16 = new TextDecoder("utf-16le");

/// The string of UTF-16 code units, each kept as it is.
function fromUnits(units) {
  let s = "";
  for (let i = 0; i < units.length; i += 8192) {
    s += String.fromCharCode.apply(null, units.subarray(i, Math.min(units.length, i + 8192)));
  }
  return s;
}

/// `s` (a short string) as UTF-16 in the engine's memory, in a small area of
/// its own beside the scratch area; its address.
const scratch16 = { pointer: 0, size: 0 };
function room16(m, s) {
  if (scratch16.size < s.length * 2 + 2) {
    if (scratch16.pointer) m._free(scratch16.pointer);
    scratch16.size = Math.max(s.length * 2 + 2, 64);
    scratch16.pointer = m._malloc(scratch16.size);
  }
  const units = m.HEAPU16;
  for (let i = 0; i < s.length; ++i) units[(scratch16.pointer >> 1) + i] = s.charCodeAt(i);
  return scratch16.pointer;
}

/// Whether `s` holds a surrogate without its pair.
function hasLoneSurrogate(s) {
  return typeof s.isWellFormed === "function" ? !s.isWellFormed()
    : /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/.test(s);
}

/// `s` as UTF-8, surrogates without pairs encoded as other code points are
/// (WTF-8), so that they come back.
function wtf8(s) {
  if (!hasLoneSurrogate(s)) return encoder.encode(s);
  const out = [];
  for (let i = 0; i < s.length; ++i) {
    let c = s.charCodeAt(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.length) {
      const d = s.charCodeAt(i + 1);
      if (d >= 0xDC00 && d <= 0xDFFF) { c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00); ++i; }
    }
    if (c < 0x80) out.push(c);
    else if (c < 0x800) out.push(0xC0 | (c >> 6), 0x80 | (c & 63));
    else if (c < 0x10000) out.push(0xE0 | (c >> 12), 0x80 | ((c >> 6) & 63), 0x80 | (c & 63));
    else out.push(0xF0 | (c >> 18), 0x80 | ((c >> 12) & 63), 0x80 | ((c >> 6) & 63), 0x80 | (c & 63));
  }
  return Uint8Array.from(out);
}

/// The string of WTF-8 bytes (`lone`: they may hold encoded surrogates).
function fromWtf8(bytes, lone) {
  if (!lone) return decoder.decode(bytes);
  let s = "";
  for (let i = 0; i < bytes.length;) {
    const b = bytes[i];
    let c, n;
    if (b < 0x80) { c = b; n = 1; }
    else if (b < 0xE0) { c = ((b & 31) << 6) | (bytes[i + 1] & 63); n = 2; }
    else if (b < 0xF0) { c = ((b & 15) << 12) | ((bytes[i + 1] & 63) << 6) | (bytes[i + 2] & 63); n = 3; }
    else { c = ((b & 7) << 18) | ((bytes[i + 1] & 63) << 12) | ((bytes[i + 2] & 63) << 6) | (bytes[i + 3] & 63); n = 4; }
    s += String.fromCodePoint(c);
    i += n;
  }
  return s;
}

/// Calls `run(pointer, length, …)` with each string of `strings` copied into
/// the engine as WTF-8, the pointers and lengths in order.
function withBytes(m, strings, run) {
  // A UTF-16 code unit is at most three bytes of UTF-8.
  const total = strings.reduce((sum, s) => sum + s.length * 3 + 1, 0);
  const at = room(m, total);
  const heap = m.HEAPU8;
  const args = [];
  let offset = at;
  for (const s of strings) {
    let length;
    if (hasLoneSurrogate(s)) {
      const bytes = wtf8(s);
      heap.set(bytes, offset);
      length = bytes.length;
    } else {
      length = encoder.encodeInto(s, heap.subarray(offset, offset + s.length * 3)).written;
    }
    heap[offset + length] = 0;
    args.push(offset, length);
    offset += length + 1;
  }
  return run(...args);
}

function check(m, value) {
  if (value < 0) {
    const at = m._mv_error();
    const end = m.HEAPU8.indexOf(0, at);
    throw new Error(`morvane: ${decoder.decode(m.HEAPU8.subarray(at, end))}`);
  }
  return value;
}

function resultString(m, length, lone) {
  const at = m._mv_result();
  return fromWtf8(m.HEAPU8.subarray(at, at + length), lone);
}

function cString(m, at) {
  const end = m.HEAPU8.indexOf(0, at);
  return decoder.decode(m.HEAPU8.subarray(at, end));
}

// ---------------------------------------------------------------------------
// Languages.

let catalogue = null;

function languagesOf(m) {
  if (!catalogue) {
    catalogue = JSON.parse(cString(m, m._mv_catalogue())).map(([code, name, tags]) =>
      Object.freeze({ code, name, tags: Object.freeze(tags) }));
  }
  return catalogue;
}

/// Every built-in language: { code, name, tags }.
async function languages() {
  return languagesOf(await loadEngine());
}

/// The file code of a language's code, name or BCP 47 tag, or null.
function codeOf(m, name) {
  const number = withBytes(m, [name], (pointer) => m._mv_find_language(pointer));
  return number < 0 ? null : languagesOf(m)[number].code;
}

const loadedLanguages = new Map();  // code → promise of its files' being in the engine

/// A language's file (its chr and hyp texts, then the patterns as an
/// alphabet and two streams: letters, each written after as many letters
/// as it shares with the pattern before it, and digits; tools/build.mjs
/// writes them) into the engine's files.
function addLanguage(m, code, text) {
  const [chr, hyp, alphabetText, letters, digits] = text.split("\0");
  const alphabet = [...alphabetText];
  const letterOf = (c) => {
    const n = c.codePointAt(0);
    return alphabet[n < 0xA0 ? n - 0x20 : n - 0xA0 + 95];
  };
  const patterns = [];
  let previous = [];
  const letterLines = letters.split("\n");
  const digitLines = digits.split("\n");
  for (let i = 0; i < letterLines.length; ++i) {
    const line = letterLines[i];
    const rest = [...line.slice(1)];
    const word = previous.slice(0, line.charCodeAt(0) - 0x30).concat(alphabet.length > 0 ? rest.map(letterOf) : rest);
    const scores = digitLines[i];
    let pattern = "";
    for (let k = 0; k <= word.length; ++k) {
      const d = scores[k];
      if (d !== undefined && d !== "0") pattern += d;
      if (k < word.length) pattern += word[k];
    }
    patterns.push(pattern);
    previous = word;
  }
  const files = [["chr", chr], ["hyp", hyp], ["pat", patterns.join("\n") + "\n"]];
  for (const [kind, content] of files) {
    withBytes(m, [`hyph-${code}.${kind}.txt.gz`, content], (name, _, bytes, length) =>
      m._mv_add_file(name, bytes, length));
  }
}

function loadLanguage(m, code) {
  let loading = loadedLanguages.get(code);
  if (!loading) {
    loading = (async () => {
      const text = decoder.decode(await inflate(await readBytes(`languages/${code}.gz`)));
      addLanguage(m, code, text);
    })();
    loading.catch(() => loadedLanguages.delete(code));
    loadedLanguages.set(code, loading);
  }
  return loading;
}

function loadLanguageSync(m, code) {
  if (loadedLanguages.has(code)) return;
  if (!nodeIo || !nodeIo.readSync) {
    throw new Error(`morvane: the language ${code} is not loaded yet: await ready("${code}") first`);
  }
  addLanguage(m, code, decoder.decode(nodeIo.gunzipSync(nodeIo.readSync(fileUrl(`languages/${code}.gz`)))));
  loadedLanguages.set(code, Promise.resolve());
}

function languageCode(m, language) {
  if (typeof language !== "string") {
    throw new TypeError(`morvane: a language is a code, a name or a tag (a string), not ${typeof language}`);
  }
  const code = codeOf(m, language);
  if (code === null) throw new Error(`morvane: unknown language "${language}"`);
  return code;
}

/// Loads the engine and the languages named (codes, names or tags).
async function ready(...names) {
  const m = await loadEngine();
  await Promise.all(names.map((name) => loadLanguage(m, languageCode(m, name))));
}

// ---------------------------------------------------------------------------
// Hyphenators.

const released = typeof FinalizationRegistry === "function"
  ? new FinalizationRegistry(({ m, handle }) => m._mv_release(handle)) : null;

function text(value, what) {
  if (typeof value !== "string") throw new TypeError(`morvane: ${what} must be a string, not ${value === null ? "null" : typeof value}`);
  return value;
}

class Hyphenator {
  #m;
  #handle;

  constructor(m, handle) {
    this.#m = m;
    this.#handle = handle;
    released?.register(this, { m, handle });
  }

  /// At least this many characters before the first break, and after the last.
  get left() { return this.#m._mv_left(this.#handle); }
  get right() { return this.#m._mv_right(this.#handle); }

  /// Where `word` may break: offsets in its UTF-16 code units, ascending.
  positions(word) {
    text(word, "a word");
    const m = this.#m;
    const length = word.length;
    // The word's code units, then room for as many offsets, 4-aligned.
    const at = room(m, length * 6 + 8);
    const out = (at + length * 2 + 7) & ~3;
    const units = m.HEAPU16;
    const base = at >> 1;
    for (let i = 0; i < length; ++i) units[base + i] = word.charCodeAt(i);
    const count = check(m, m._mv_positions(this.#handle, at, length, out));
    const offsets = m.HEAPU32;
    const points = new Array(count);
    for (let k = 0; k < count; ++k) points[k] = offsets[(out >> 2) + k];
    return points;
  }

  /// `word` in the pieces between its breaks.
  hyphenate(word) {
    const points = this.positions(word);
    const pieces = [];
    let from = 0;
    for (const p of points) { pieces.push(word.slice(from, p)); from = p; }
    pieces.push(word.slice(from));
    return pieces;
  }

  /// `word` with `separator` at every break.
  insert(word, separator = SOFT_HYPHEN) {
    text(separator, "the separator");
    const points = this.positions(word);
    let out = "";
    let from = 0;
    for (const p of points) {
      out += word.slice(from, p) + separator;
      from = p;
    }
    return from === 0 ? word : out + word.slice(from);
  }

  /// Running text with the separator at every break of every word, as the
  /// C++ library's hyphenateText gives it; all else as it was.
  text(value, options = {}) {
    text(value, "the text");
    const separator = text(options.separator ?? SOFT_HYPHEN, "the separator");
    const m = this.#m;
    const length = check(m, withBytes(m, [value], (t, tl) => {
      const at = room16(m, separator);
      return m._mv_text(this.#handle, t, tl, at, separator.length);
    }));
    const at = m._mv_result16() >> 1;
    const units = m.HEAPU16.subarray(at, at + length);
    // TextDecoder would replace surrogates without their pairs.
    return hasLoneSurrogate(value) || hasLoneSurrogate(separator) ? fromUnits(units) : utf16.decode(units);
  }

  /// An HTML or XHTML document with the separator in the words of its text,
  /// as the C++ library's hyphenateHtml gives it; the languages its `lang`
  /// attributes name are loaded first. `syntax`: "detect", "html", "xhtml".
  async html(document, options = {}) {
    text(document, "the document");
    const m = this.#m;
    const tags = new Set();
    for (const match of document.matchAll(/\blang\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+))/gi)) {
      tags.add(match[1] ?? match[2] ?? match[3]);
    }
    await Promise.all([...tags].map((tag) => {
      const code = codeOf(m, tag);
      return code === null ? null : loadLanguage(m, code);
    }));
    return this.htmlSync(document, options);
  }

  /// `html` with the languages loaded so far (text in others is left alone).
  htmlSync(document, options = {}) {
    text(document, "the document");
    const separator = text(options.separator ?? SOFT_HYPHEN, "the separator");
    const syntax = { detect: 0, html: 1, xhtml: 2 }[options.syntax ?? "detect"];
    if (syntax === undefined) throw new TypeError(`morvane: syntax is "detect", "html" or "xhtml", not ${options.syntax}`);
    const m = this.#m;
    const length = check(m, withBytes(m, [document, separator],
      (d, dl, s, sl) => m._mv_html(this.#handle, d, dl, s, sl, syntax)));
    return resultString(m, length, hasLoneSurrogate(document));
  }

  /// This hyphenator with `exceptions` (a word a line, hyphens at its breaks)
  /// before its own, or other minimums.
  withExceptions(exceptions) {
    const m = this.#m;
    text(exceptions, "the exceptions");
    return new Hyphenator(m, check(m, withBytes(m, [exceptions],
      (e, el) => m._mv_with_exceptions(this.#handle, e, el))));
  }
  withMinimums(left, right) {
    const m = this.#m;
    return new Hyphenator(m, check(m, m._mv_with_minimums(this.#handle, minimum(left, "left"), minimum(right, "right"))));
  }
  withMinWordLength(length) {
    const m = this.#m;
    return new Hyphenator(m, check(m, m._mv_with_min_word_length(this.#handle, minimum(length, "minWordLength"))));
  }
}

function minimum(value, what) {
  if (value === undefined || value === null) return -1;
  if (!Number.isInteger(value) || value < 0 || value > 0x7FFFFFFF) {
    throw new TypeError(`morvane: ${what} must be a whole number from 0, not ${value}`);
  }
  return value;
}

const shared = new Map();  // code → Hyphenator of the language as it is

function languageHyphenator(m, code) {
  let h = shared.get(code);
  if (!h) {
    const number = withBytes(m, [code], (pointer) => m._mv_find_language(pointer));
    h = new Hyphenator(m, check(m, m._mv_language_hyphenator(number)));
    shared.set(code, h);
  }
  return h;
}

function adjusted(h, options) {
  if (options.exceptions !== undefined) h = h.withExceptions(options.exceptions);
  if (options.left !== undefined || options.right !== undefined) h = h.withMinimums(options.left, options.right);
  if (options.minWordLength !== undefined) h = h.withMinWordLength(options.minWordLength);
  return h;
}

/// A hyphenator: of a built-in language (a code, name or BCP 47 tag), or of
/// your own TeX patterns (`{ patterns: "\\patterns{…}" }`) or office-suite
/// dictionary (`{ dictionary: Uint8Array }`); with `exceptions`, `left`,
/// `right` and `minWordLength` changed as given.
async function loadHyphenator(language, options = {}) {
  const m = await loadEngine();
  if (typeof language === "object" && language !== null && !Array.isArray(language)) {
    options = language;
    language = undefined;
  }
  return hyphenatorOf(m, language, options, (code) => loadLanguage(m, code));
}

/// The same, at once: in Node from CommonJS; elsewhere after `await ready(…)`.
function loadHyphenatorSync(language, options = {}) {
  const m = engineNow();
  if (typeof language === "object" && language !== null) {
    options = language;
    language = undefined;
  }
  return hyphenatorOf(m, language, options, (code) => loadLanguageSync(m, code));
}

function hyphenatorOf(m, language, options, load) {
  if (options.patterns !== undefined || options.dictionary !== undefined) {
    const left = minimum(options.left, "left");
    const right = minimum(options.right, "right");
    let handle;
    if (options.patterns !== undefined) {
      text(options.patterns, "patterns");
      handle = withBytes(m, [options.patterns], (p, pl) => m._mv_tex_hyphenator(p, pl, left, right));
    } else {
      const bytes = options.dictionary;
      if (!(bytes instanceof Uint8Array)) throw new TypeError("morvane: a dictionary is the bytes of a .dic file (a Uint8Array)");
      const at = room(m, bytes.length + 1);
      m.HEAPU8.set(bytes, at);
      handle = m._mv_dictionary_hyphenator(at, bytes.length, left, right);
    }
    const h = new Hyphenator(m, check(m, handle));
    return adjusted(h, { exceptions: options.exceptions, minWordLength: options.minWordLength });
  }
  const code = languageCode(m, language ?? "en-us");
  const h = load(code);
  const make = () => adjusted(languageHyphenator(m, code), options);
  return h && typeof h.then === "function" ? h.then(make) : make();
}
