#include <gtest/gtest.h>

#include <random>

#include "morvane/morvane.hpp"

namespace morvane {
namespace {

std::string marked(std::string_view document, HtmlOptions options = {}) {
  options.separator = "|";
  return hyphenateHtml(english_US, document, options);
}

TEST(HyphenateHtml, HyphenatesTextOnly) {
  EXPECT_EQ(marked("<title>hyphenation</title><p title=\"hyphenation\">hyphenation</p>"),
            "<title>hyphenation</title><p title=\"hyphenation\">hy|phen|ation</p>");
  EXPECT_EQ(marked("<!-- hyphenation --><!DOCTYPE hyphenation><?hyphenation?>hyphenation"),
            "<!-- hyphenation --><!DOCTYPE hyphenation><?hyphenation?>hy|phen|ation");
  EXPECT_EQ(marked("<a href=_static/hyphenation.css>representation</a>"),
            "<a href=_static/hyphenation.css>rep|re|sen|ta|tion</a>");
}

TEST(HyphenateHtml, ReferencesAreReadAndKeptWhole) {
  // "caf&eacute;s" reads "cafés"; a name no reference has is one unit too.
  EXPECT_EQ(marked("<p>representation&eacute;s &amp; &#x68;yphenation &hyphenation;</p>"),
            "<p>rep|re|sen|ta|tion&eacute;s &amp; &#x68;y|phen|ation &hyphenation;</p>");
  EXPECT_EQ(hyphenateHtml(french, "<p>anticonstitutionnell&eacute;ment</p>", {"|"}),
            "<p>an|ti|cons|ti|tu|tion|nel|l&eacute;|ment</p>");
}

TEST(HyphenateHtml, LeavesCodeAndChosenElementsAlone) {
  for (const char* element :
       {"script", "style", "textarea", "pre", "code", "kbd", "samp", "var", "math", "svg"}) {
    // In SVG and MathML an HTML element such as <b> would end them.
    const std::string inner = std::string_view(element) == "svg"    ? "g"
                              : std::string_view(element) == "math" ? "mrow"
                                                                    : "b";
    const std::string document = std::string("<") + element + ">hyphenation <" + inner +
                                 ">hyphenation</" + inner + "></" + element + "> hyphenation";
    EXPECT_EQ(marked(document), std::string("<") + element + ">hyphenation <" + inner +
                                    ">hyphenation</" + inner + "></" + element + "> hy|phen|ation")
        << element;
  }
  EXPECT_EQ(marked("<div class=\"a donthyphenate b\"><p>hyphenation</p></div><p>hyphenation</p>"),
            "<div class=\"a donthyphenate b\"><p>hyphenation</p></div><p>hy|phen|ation</p>");
  // Raw text ends only at its own end tag.
  EXPECT_EQ(marked("<script>if (a<b) x = '</p>hyphenation';</SCRIPT >hyphenation"),
            "<script>if (a<b) x = '</p>hyphenation';</SCRIPT >hy|phen|ation");
}

TEST(HyphenateHtml, LangChoosesTheLanguage) {
  const std::string document =
      "<div lang=\"de-DE\"><p>Silbentrennung</p><p xml:lang=\"en\" lang=\"de\">hyphenation</p>"
      "<p lang=\"\">hyphenation</p><p lang=zz>hyphenation</p></div><p>hyphenation</p>";
  EXPECT_EQ(
      marked(document),
      "<div lang=\"de-DE\"><p>Sil|ben|tren|nung</p><p xml:lang=\"en\" lang=\"de\">hy|phen|ation</p>"
      "<p lang=\"\">hyphenation</p><p lang=zz>hyphenation</p></div><p>hy|phen|ation</p>");
  // Unclosed paragraphs and list items end where HTML ends them.
  EXPECT_EQ(marked("<ul lang=de><li lang=en>hyphenation<li>Silbentrennung</ul>"),
            "<ul lang=de><li lang=en>hy|phen|ation<li>Sil|ben|tren|nung</ul>");
  HtmlOptions own;
  own.hyphenatorFor = [](std::string_view tag) -> std::optional<Hyphenator> {
    if (tag == "x-mine") return languageHyphenator(Language::German_1996);
    return std::nullopt;
  };
  EXPECT_EQ(marked("<p lang=x-mine>Silbentrennung</p><p lang=en>hyphenation</p>", own),
            "<p lang=x-mine>Sil|ben|tren|nung</p><p lang=en>hyphenation</p>");
}

// The same words in two languages, switching often, in a document long
// enough for words to be remembered: each breaks as its language breaks it.
TEST(HyphenateHtml, WordsBreakByTheirOwnLanguageWhenLanguagesAlternate) {
  const std::vector<std::string> words{"Hyphenation",   "Computer",       "Information",
                                       "Organisation",  "Silbentrennung", "Temperatur",
                                       "Programmierung"};
  std::mt19937 rng(5);
  std::string document;
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    const std::string& word = words[rng() % words.size()];
    const bool german = rng() % 3 == 0;
    const bool code = rng() % 11 == 0;
    const std::string open = german ? "<span lang=de>" : code ? "<code>" : "<span>";
    const std::string close = code && !german ? "</code> " : "</span> ";
    document += open + word + close;
    const std::string broken =
        code && !german ? word : insertHyphens(german ? german_1996 : english_US, word, "|");
    expected += open + broken + close;
  }
  EXPECT_TRUE(marked(document) == expected);
}

TEST(HyphenateHtml, XhtmlSyntax) {
  // In XHTML an empty element closes itself and CDATA is not text.
  const std::string document =
      "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"><body>"
      "<pre/>hyphenation<![CDATA[hyphenation]]><script/>hyphenation</body></html>";
  EXPECT_EQ(marked(document),
            "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"><body>"
            "<pre/>hy|phen|ation<![CDATA[hyphenation]]><script/>hy|phen|ation</body></html>");
  // Read as HTML, the same "<pre/>" opens a pre that never closes.
  HtmlOptions html;
  html.syntax = HtmlOptions::Syntax::Html;
  EXPECT_EQ(marked("<pre/>hyphenation", html), "<pre/>hyphenation");
}

TEST(HyphenateHtml, LeftAloneMeansTheWholeSubtreeAsHtmlParsesIt) {
  // A script's "<!--" escapes hide the "</script>" inside it.
  EXPECT_EQ(marked("<script><!--\ndocument.write(\"<script src=x.js></script>\");\n"
                   "var representation=\"hyphenation\";\n//--></script>hyphenation"),
            "<script><!--\ndocument.write(\"<script src=x.js></script>\");\n"
            "var representation=\"hyphenation\";\n//--></script>hy|phen|ation");
  EXPECT_EQ(marked("<script/>hyphenation</script>hyphenation"),
            "<script/>hyphenation</script>hy|phen|ation");
  // <svg/> and <math/> close themselves; <pre/> does not.
  EXPECT_EQ(marked("<p><svg/>hyphenation</p><math/>hyphenation"),
            "<p><svg/>hy|phen|ation</p><math/>hy|phen|ation");
  EXPECT_EQ(marked("<svg/><span lang=en><pre/>hyphenation"),
            "<svg/><span lang=en><pre/>hyphenation");
  // A lang inside an element left alone leaves it alone.
  for (const char* document :
       {"<svg><text lang=\"en\">hyphenation</text></svg>",
        "<pre><span lang=en>hyphenation</span></pre>", "<code><b lang=en-us>hyphenation</b></code>",
        "<div class=donthyphenate><p lang=en>hyphenation</p></div>",
        "<math><mi lang=en>hyphenation</mi></math>", "<listing>hyphenation</listing>",
        "<tt>hyphenation</tt>", "<nobr>hyphenation</nobr>",
        "<p style=\"color: red; hyphens: none\">hyphenation</p>"}) {
    EXPECT_EQ(marked(document), document);
  }
  // HTML breaks out of SVG at an HTML element, and CSS lets hyphens back in.
  EXPECT_EQ(marked("<svg><g><p>hyphenation</p></g></svg>"),
            "<svg><g><p>hy|phen|ation</p></g></svg>");
  EXPECT_EQ(marked("<p style=\"hyphens: manual\"><b style=\"hyphens:auto\">hyphenation</b></p>"),
            "<p style=\"hyphens: manual\"><b style=\"hyphens:auto\">hy|phen|ation</b></p>");
  // The first of two attributes counts; a long class list is read whole.
  EXPECT_EQ(marked("<p class=\"donthyphenate\" class=\"x\">hyphenation</p>"),
            "<p class=\"donthyphenate\" class=\"x\">hyphenation</p>");
  EXPECT_EQ(marked("<p class=x class=donthyphenate>hyphenation</p>"),
            "<p class=x class=donthyphenate>hy|phen|ation</p>");
  const std::string longClass = "<p class=\"" + std::string(3000, 'x') + " donthyphenate\">";
  EXPECT_EQ(marked(longClass + "hyphenation</p>"), longClass + "hyphenation</p>");
  // However deep the document, what is left alone stays so.
  std::string deep;
  for (int i = 0; i < 600; ++i) deep += i % 2 == 0 ? "<div>" : "<span>";
  EXPECT_EQ(marked(deep + "<pre>hyphenation</pre>hyphenation"),
            deep + "<pre>hyphenation</pre>hy|phen|ation");
  EXPECT_EQ(marked(deep + "<i lang=xx>hyphenation</i>hyphenation"),
            deep + "<i lang=xx>hyphenation</i>hy|phen|ation");
}

TEST(HyphenateHtml, AnXmlDoctypeEndsAfterItsInternalSubset) {
  const std::string doctype =
      "<!DOCTYPE html [ <!ENTITY note \"see > representation ] hyphenation\"> <!-- > ] -->"
      " <?pi > ?> <!ATTLIST p class CDATA 'a>b'> ]>";
  HtmlOptions xhtml;
  xhtml.syntax = HtmlOptions::Syntax::Xhtml;
  EXPECT_EQ(marked(doctype + "<p>hyphenation</p>", xhtml), doctype + "<p>hy|phen|ation</p>");
  // In HTML a doctype ends at its first ">", as browsers end it.
  EXPECT_EQ(marked("<!DOCTYPE html \"a>hyphenation"), "<!DOCTYPE html \"a>hy|phen|ation");
}

TEST(HyphenateHtml, MalformedMarkupLosesNothing) {
  EXPECT_EQ(marked("<p>hyphenation <!-- never closed hyphenation"),
            "<p>hy|phen|ation <!-- never closed hyphenation");
  EXPECT_EQ(marked("<!-->hyphenation<!--->hyphenation"), "<!-->hy|phen|ation<!--->hy|phen|ation");
  EXPECT_EQ(marked("a < b hyphenation <p class=\"x"), "a < b hy|phen|ation <p class=\"x");
  EXPECT_EQ(marked("</>hyphenation</ hyphenation>hyphenation"),
            "</>hy|phen|ation</ hyphenation>hy|phen|ation");
  std::mt19937 rng(3);
  const std::vector<std::string> parts{
      "<p>",         "</p>",    "<pre>",    "</pre>",    "<!--",      "-->",   "<",
      ">",           "\"",      "'",        "&",         ";",         "&amp;", "=",
      "hyphenation", " ",       "<script>", "</script>", "<![CDATA[", "]]>",   "<?",
      "?>",          "lang=de", "\xC3",     "é",         "&eacute",   "/"};
  std::uniform_int_distribution<std::size_t> pick(0, parts.size() - 1);
  for (int round = 0; round < 2000; ++round) {
    std::string document;
    for (int i = 0; i < 30; ++i) document += parts[pick(rng)];
    std::string out = marked(document);
    out.erase(std::remove(out.begin(), out.end(), '|'), out.end());
    ASSERT_EQ(out, document);
  }
}

TEST(HtmlStream, AgreesWithTheWholeDocumentWhereverItIsCut) {
  std::mt19937 rng(8);
  const std::vector<std::string> parts{"<p lang=de>",
                                       "</p>",
                                       "<pre>",
                                       "</pre>",
                                       "<!-- x -->",
                                       "hyphenation ",
                                       "Silbentrennung ",
                                       "&eacute;",
                                       "<script>a<b</script>",
                                       "<?xml version='1.0'?>",
                                       "<br/>",
                                       "caf&eacute;s ",
                                       "\xC3\xA9",
                                       "<div class=donthyphenate>",
                                       "</div>",
                                       "\n"};
  std::uniform_int_distribution<std::size_t> pick(0, parts.size() - 1);
  for (int round = 0; round < 300; ++round) {
    std::string document;
    for (int i = 0; i < 40; ++i) document += parts[pick(rng)];
    HtmlOptions options;
    options.separator = "|";
    std::string streamed;
    HtmlStream stream(english_US, options, [&](std::string_view piece) { streamed += piece; });
    for (std::size_t at = 0; at < document.size();) {
      const std::size_t length = std::min<std::size_t>(document.size() - at, rng() % 7 + 1);
      stream.write(std::string_view(document).substr(at, length));
      at += length;
    }
    stream.finish();
    ASSERT_EQ(streamed, hyphenateHtml(english_US, document, options)) << document;
  }
}

}  // namespace
}  // namespace morvane
