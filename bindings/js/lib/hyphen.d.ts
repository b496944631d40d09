// Types of morvane's drop-in for the npm "hyphen" package's modules.
export interface HyphenOptions {
  /** Put at every break: U+00AD by default. */
  hyphenChar?: string;
  /** Words shorter than this are left whole: 5 by default. */
  minWordLength?: number;
  /** Words written with "-" at their breaks, before the patterns. */
  exceptions?: string[];
  /** Read the text as HTML (tags left alone): true by default. */
  html?: boolean;
  async?: boolean;
}
export declare function hyphenate(text: string, options?: HyphenOptions): Promise<string>;
export declare function hyphenateSync(text: string, options?: HyphenOptions): string;
export declare function hyphenateHTML(text: string, options?: HyphenOptions): Promise<string>;
export declare function hyphenateHTMLSync(text: string, options?: HyphenOptions): string;
