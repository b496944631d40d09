// Types of the npm package "morvane".

/** U+00AD SOFT HYPHEN, the separator by default. */
export declare const SOFT_HYPHEN: string;

/** Where the engine and the language files are fetched from in a browser (by default, beside the module). */
export declare function configure(options: { base?: string | URL | null }): void;

/** Loads the engine and the languages named (codes, names or BCP 47 tags). */
export declare function ready(...languages: string[]): Promise<void>;

export interface Language { readonly code: string; readonly name: string; readonly tags: readonly string[] }
/** Every built-in language. */
export declare function languages(): Promise<readonly Language[]>;

export interface HyphenatorOptions {
  /** Your own exceptions, a word a line with hyphens at its breaks, before the language's. */
  exceptions?: string;
  /** At least this many characters before the first break, and after the last. */
  left?: number;
  right?: number;
  /** Words shorter than this are left whole. */
  minWordLength?: number;
}
export interface OwnPatterns extends HyphenatorOptions {
  /** TeX pattern text: \patterns{…} and \hyphenation{…}. */
  patterns?: string;
  /** The bytes of an office-suite dictionary (hyph_*.dic). */
  dictionary?: Uint8Array;
}

export interface TextOptions { separator?: string }
export interface HtmlOptions extends TextOptions { syntax?: "detect" | "html" | "xhtml" }

export declare class Hyphenator {
  private constructor();
  readonly left: number;
  readonly right: number;
  /** Where the word may break: offsets in its UTF-16 code units. */
  positions(word: string): number[];
  /** The pieces between the breaks: ["hy", "phen", "ation"]. */
  hyphenate(word: string): string[];
  /** The word with the separator (U+00AD) at every break. */
  insert(word: string, separator?: string): string;
  /** Running text with the separator at every break of every word. */
  text(text: string, options?: TextOptions): string;
  /** An HTML or XHTML document hyphenated in its text only, the languages of its lang attributes loaded first. */
  html(document: string, options?: HtmlOptions): Promise<string>;
  /** The same with the languages loaded so far. */
  htmlSync(document: string, options?: HtmlOptions): string;
  withExceptions(exceptions: string): Hyphenator;
  withMinimums(left?: number, right?: number): Hyphenator;
  withMinWordLength(length: number): Hyphenator;
}

/** A hyphenator of a built-in language (a code, name or tag), or of your own patterns or dictionary. */
export declare function loadHyphenator(language: string, options?: HyphenatorOptions): Promise<Hyphenator>;
export declare function loadHyphenator(own: OwnPatterns): Promise<Hyphenator>;
/** The same at once: in Node from CommonJS; elsewhere after `await ready(…)`. */
export declare function loadHyphenatorSync(language: string, options?: HyphenatorOptions): Hyphenator;
export declare function loadHyphenatorSync(own: OwnPatterns): Hyphenator;

export interface ElementOptions {
  separator?: string;
  /** The language of text outside any lang (the document's, else English). */
  language?: string;
  /** Hyphenate what is added later, too. */
  observe?: boolean;
}
/** Hyphenates the text nodes of an element by their (inherited) lang; resolves to a function that stops observing. */
export declare function hyphenateElement(element: Element, options?: ElementOptions): Promise<() => void>;
export declare function hyphenateDocument(options?: ElementOptions): Promise<() => void>;
