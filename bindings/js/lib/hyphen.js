// The npm "hyphen" package's interface for one language, on morvane's
// engine: `import { hyphenate, hyphenateSync, hyphenateHTML,
// hyphenateHTMLSync } from "morvane/hyphen/en-us"`. Options as there:
// `hyphenChar` (U+00AD), `minWordLength` (5), `exceptions` (words written
// with "-" at their breaks), `html` (the text is HTML: tags are left alone;
// by default it is, as "hyphen" does), `async`. tools/build.mjs writes a
// module per language with LANGUAGE set.

let usual = null;  // with the options as they are by default

function hyphenatorFor(options) {
  const base = loadHyphenatorSync(LANGUAGE, { minWordLength: 0 });
  if (options.exceptions === undefined && options.minWordLength === undefined) {
    return (usual ??= hyphenOptions(base, {}));
  }
  return hyphenOptions(base, options);
}

function hyphenOptions(base, options = {}) {
  if (options === null || typeof options !== "object") throw new TypeError("morvane: options are an object");
  let h = base;
  if (options.exceptions !== undefined) {
    if (!Array.isArray(options.exceptions)) throw new TypeError("morvane: exceptions are an array of words");
    h = h.withExceptions(options.exceptions.map(String).join("\n"));
  }
  return h.withMinWordLength(options.minWordLength ?? 5);
}

function hyphenSync(value, options = {}, html = options.html) {
  if (typeof value !== "string") throw new TypeError(`morvane: the text must be a string, not ${typeof value}`);
  const h = hyphenatorFor(options);
  const separator = options.hyphenChar ?? SOFT_HYPHEN;
  // As "hyphen" does, text is read as HTML unless told otherwise.
  return html === false ? h.text(value, { separator }) : h.htmlSync(value, { separator, syntax: "html" });
}

function hyphenateSync(value, options = {}) { return hyphenSync(value, options); }
function hyphenateHTMLSync(value, options = {}) { return hyphenSync(value, options, true); }

async function hyphenate(value, options = {}) {
  await ready(LANGUAGE);
  return hyphenateSync(value, options);
}
async function hyphenateHTML(value, options = {}) {
  await ready(LANGUAGE);
  return hyphenateHTMLSync(value, options);
}
