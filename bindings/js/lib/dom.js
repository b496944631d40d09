// Hyphenating a page's text in the browser: text nodes only, each in the
// language of its element's (inherited) lang, loaded when first needed.

/// Elements whose content is code, verbatim text, notation or text that must
/// not break, as the HTML mode leaves them (with all they hold).
const LEFT_ALONE = "script,style,textarea,title,pre,listing,xmp,code,tt,kbd,samp,var,nobr,math,svg,.donthyphenate";

/// Whether CSS says not to hyphenate in `element`: `hyphens: none`, or
/// `hyphens: manual` set where hyphens were on (manual is every element's
/// initial value, and what soft hyphens need).
function hyphensOff(element) {
  const view = element.ownerDocument.defaultView;
  if (!view) return false;
  const own = view.getComputedStyle(element).hyphens;
  if (own === "none") return true;
  if (own !== "manual") return false;
  if (/(^|;)\s*hyphens\s*:\s*manual/i.test(element.getAttribute("style") ?? "")) return true;
  const parent = element.parentElement;
  return parent !== null && view.getComputedStyle(parent).hyphens === "auto";
}

/// The language of the text in `element`: its own or its nearest ancestor's
/// lang (or xml:lang), else `fallback`.
function languageOf(element, fallback) {
  for (let at = element; at !== null; at = at.parentElement) {
    const lang = at.getAttribute("xml:lang") ?? at.getAttribute("lang");
    if (lang !== null) return lang;
  }
  return fallback;
}

/// Whether the text of `element` is to be left as it is.
function leftAlone(element, inside) {
  for (let at = element; at !== null; at = at.parentElement) {
    if (at.matches(LEFT_ALONE) || hyphensOff(at)) return true;
    if (at === inside) break;
  }
  return element.closest(LEFT_ALONE) !== null;
}

let copyHandled = false;

/// Copying hyphenated text gives it back without the soft hyphens.
function handleCopies(document) {
  if (copyHandled) return;
  copyHandled = true;
  document.addEventListener("copy", (event) => {
    const selected = document.getSelection()?.toString() ?? "";
    if (!selected.includes("\u00AD") || !event.clipboardData) return;
    event.clipboardData.setData("text/plain", selected.replaceAll("\u00AD", ""));
    event.preventDefault();
  });
}

/// Hyphenates the text nodes in `element`: `separator` (U+00AD), `language`
/// for text outside any lang (the document's, else English), `observe` to
/// hyphenate what is added later (a MutationObserver; stop it with the
/// returned function).
async function hyphenateElement(element, options = {}) {
  if (!element || typeof element.querySelectorAll !== "function") {
    throw new TypeError("morvane: hyphenateElement needs an element");
  }
  const document = element.ownerDocument;
  const separator = options.separator ?? SOFT_HYPHEN;
  const fallback = options.language ?? document.documentElement.getAttribute("lang") ?? "en-us";
  handleCopies(document);

  const hyphenateNodes = async (nodes) => {
    const byLanguage = new Map();
    for (const node of nodes) {
      const parent = node.parentElement;
      if (parent === null || !/\p{L}/u.test(node.data) || leftAlone(parent, element)) continue;
      const lang = languageOf(parent, fallback);
      if (!byLanguage.has(lang)) byLanguage.set(lang, []);
      byLanguage.get(lang).push(node);
    }
    const m = await loadEngine();
    for (const [lang, list] of byLanguage) {
      if (lang === "" || codeOf(m, lang) === null) continue;  // no patterns: left alone
      const h = await loadHyphenator(lang);
      for (const node of list) {
        const hyphenated = h.text(node.data, { separator });
        if (hyphenated !== node.data) node.data = hyphenated;
      }
    }
  };

  const textNodes = (root) => {
    const nodes = [];
    if (root.nodeType === 3) return [root];
    const walker = document.createTreeWalker(root, 4 /* NodeFilter.SHOW_TEXT */);
    for (let node = walker.nextNode(); node !== null; node = walker.nextNode()) nodes.push(node);
    return nodes;
  };

  await hyphenateNodes(textNodes(element));
  if (!options.observe) return () => {};
  const observer = new MutationObserver(async (records) => {
    const added = [];
    for (const record of records) {
      if (record.type === "characterData") added.push(record.target);
      for (const node of record.addedNodes) added.push(...textNodes(node));
    }
    await hyphenateNodes(added);
    // What hyphenating changed is no news.
    observer.takeRecords();
  });
  observer.observe(element, { childList: true, subtree: true, characterData: true });
  return () => observer.disconnect();
}

/// hyphenateElement for the document's body.
function hyphenateDocument(options = {}) {
  return hyphenateElement(globalThis.document.body, options);
}
