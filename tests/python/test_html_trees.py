"""Hostile HTML and XHTML documents, made at random, hyphenated and read back
by parsers that share no code with morvane: html5lib (the HTML standard's
tree builder) for HTML, expat for XHTML. Separators go only into text that
the document's tree leaves to be hyphenated, and all such text gets them;
removing them gives the document back byte for byte."""

import random
import re
import xml.parsers.expat

import pytest

import morvane

html5lib = pytest.importorskip("html5lib")

SEPARATOR = "\u00ad"
HTML = "http://www.w3.org/1999/xhtml"
LEFT_ALONE = {"script", "style", "textarea", "title", "pre", "listing", "code", "tt", "kbd",
              "samp", "var", "nobr", "xmp", "plaintext", "iframe", "noembed", "noframes"}
KNOWN = {"en": "en", "en-us": "en", "de": "de", "de-de": "de"}
WORDS = {"en": "hyphenation", "de": "Silbentrennung"}


class Document:
    """A random document, built as a balanced tree of elements with hostile
    pieces between them."""

    def __init__(self, rng):
        self.rng = rng
        self.out = []

    def attributes(self):
        rng, attrs = self.rng, []
        for _ in range(rng.randrange(3)):
            attrs.append(rng.choice([
                'class="donthyphenate"', 'class="x"', "class=donthyphenate",
                'class="%s donthyphenate"' % ("y" * rng.choice([10, 1100])),
                'lang="en"', "lang=de", 'lang="xx"', 'lang=""', 'xml:lang="de"',
                'style="hyphens: none"', 'style="color: red; hyphens:manual !important"',
                'style="hyphens: auto"', 'title="hyphenation"', "data-x='a>b'",
            ]))
        return "".join(" " + a for a in attrs)

    def text(self):
        rng = self.rng
        return rng.choice([" hyphenation ", " Silbentrennung ", " representation &amp; ",
                           " caf&eacute; hyphenation ", "\n", " "])

    def script(self):
        rng = self.rng
        parts = ["var representation = 'hyphenation';", "<!--", "-->", "<script>",
                 "</script", "<script src=x>", "</scr", "ipt>", "--", "<", "-", " "]
        body = "".join(rng.choice(parts) for _ in range(rng.randrange(8)))
        # The script must end: a bare "</script>" after text that closes
        # every escape.
        return "<script>" + body + "-->\n</script>"

    def node(self, depth, inline=False, in_nobr=False):
        """A piece of the document; inside phrasing content only phrasing
        content, and no nobr in a nobr, so that no end tag is implied (which
        would need the whole tree builder of HTML, formatting elements and
        all, to follow)."""
        rng = self.rng
        r = rng.random()
        if depth > 5 or r < 0.3:
            self.out.append(self.text())
            return
        if r < 0.36:
            self.out.append(self.script())
            return
        if r < 0.40:
            name = rng.choice(["style", "textarea", "title"] + ([] if inline else ["xmp"]))
            self.out.append(f"<{name}>hyphenation </p> <b>representation</b></{name}>")
            return
        if r < 0.45:
            self.out.append(rng.choice(["<svg/>", "<math/>", "<br>", "<br/>", "<img alt=x>",
                                        "<!-- hyphenation -->", "<!-->", "<!--->",
                                        "<!-- a -- b --!>", "<?php hyphenation ?>", "<wbr>"]))
            return
        if r < 0.48:
            name = "span" if inline else rng.choice(["div", "span"])
            count = rng.choice([3, 600])
            self.out.append(f"<{name}>" * count)
            self.node(depth + 1, inline or name == "span", in_nobr)
            self.out.append(f"</{name}>" * count)
            return
        if r < 0.55:
            name = rng.choice(["svg", "math"])
            self.out.append(f"<{name}{self.attributes()}>")
            inner = rng.choice(["text", "g"] if name == "svg" else ["mi", "mrow"])
            self.out.append(f"<{inner}{self.attributes()}>")
            self.out.append(self.text())
            self.out.append(f"</{inner}>")
            if not inline and rng.random() < 0.5:
                self.out.append("<p>hyphenation</p>")  # ends the foreign content
            self.out.append(f"</{name}>")
            return
        phrasing = ["span", "b", "em", "code", "tt", "kbd", "samp", "var", "nobr"]
        blocks = ["div", "p", "section", "pre", "listing", "blockquote", "ul"]
        name = rng.choice(phrasing if inline else phrasing + blocks)
        if name == "nobr" and in_nobr:
            name = "span"
        self.out.append(f"<{name}{self.attributes()}>")
        for _ in range(rng.randrange(1, 4)):
            if name == "ul":
                self.out.append("<li>")
            self.node(depth + 1, name in phrasing or name == "p", in_nobr or name == "nobr")
            if name == "ul":
                self.out.append("</li>")
        self.out.append(f"</{name}>")

    def make(self):
        if self.rng.random() < 0.3:
            self.out.append("<!DOCTYPE html>")
        for _ in range(self.rng.randrange(1, 6)):
            self.node(0)
        return "".join(self.out)


def texts(tree):
    """(text, whether it may be hyphenated, its language, where) for every text of
    the tree; attribute values and comments as text that may not be. The
    tree is walked with a list, not recursion: documents nest deeply."""
    found = []
    pending = [(tree, True, "en", False, "")]
    while pending:
        element, allowed, language, hyphens_off, path = pending.pop()
        if not isinstance(element.tag, str):  # a comment
            found.append((element.text or "", False, None, "comment"))
            continue
        namespace, _, name = element.tag[1:].partition("}")
        attributes = element.attrib
        path = (path + "/" + name)[-80:]
        found.extend((value, False, None, "attribute") for value in attributes.values())
        if namespace != HTML or name in LEFT_ALONE:
            allowed = False
        if "donthyphenate" in attributes.get("class", "").split():
            allowed = False
        lang = attributes.get("xml:lang", attributes.get("lang"))
        if lang is not None:
            language = KNOWN.get(lang.lower())
        for value in re.findall(r"hyphens\s*:\s*([a-z]+)", attributes.get("style", "")):
            hyphens_off = value in ("none", "manual")
        here = (allowed and not hyphens_off, language, path)
        found.append((element.text or "",) + here)
        for child in element:
            pending.append((child, allowed, language, hyphens_off, path))
            found.append((child.tail or "",) + here)
    return found


def check_html(document, hyphenated):
    problems = []
    if hyphenated.replace(SEPARATOR, "") != document:
        problems.append("removing the separators does not give the document back")
    tree = html5lib.parse(hyphenated, treebuilder="etree")
    for text, allowed, language, where in texts(tree):
        if not text:
            continue
        if SEPARATOR in text and not (allowed and language):
            problems.append(f"separator where none may go: {text[:60]!r} in {where}")
        if allowed and language:
            for word in re.findall(r"[\w\u00ad]+", text):
                if word.replace(SEPARATOR, "") == WORDS[language] and SEPARATOR not in word:
                    problems.append(f"{word!r} not hyphenated ({language}) in {where}")
    return problems


@pytest.mark.parametrize("seed", range(8))
def test_html_separators_go_where_the_tree_allows_them(seed):
    rng = random.Random(seed)
    h = morvane.Hyphenator("en")
    for _ in range(250):
        document = Document(rng).make()
        problems = check_html(document, h.html(document, SEPARATOR))
        assert not problems, (document, problems)


@pytest.mark.parametrize("document", [
    '<script><!--\ndocument.write("<script src=x.js></script>");\nvar representation='
    '"hyphenation";\n//--></script>hyphenation',
    "<p><svg/>hyphenation</p>",
    "<svg/><span lang=en><pre/>hyphenation",
    '<svg><text lang="en">hyphenation</text></svg>',
    "<pre><span lang=en>hyphenation</span></pre>",
    "<code><b lang=en-us>hyphenation</b></code>",
    "<div class=donthyphenate><p lang=de>Silbentrennung</p></div>",
    "<math><mi lang=en>hyphenation</mi></math>",
    '<p class="donthyphenate" class="x">hyphenation</p>',
    '<p class="%s donthyphenate">hyphenation</p>' % ("x" * 1100),
    "<div>" * 600 + "<pre>hyphenation</pre>hyphenation",
    "<span>" * 300 + "<b>" * 300 + "<pre>hyphenation</pre>hyphenation",
    "<listing>hyphenation</listing><tt>hyphenation</tt>hyphenation",
    '<p style="hyphens: none">hyphenation <span style="hyphens: auto">hyphenation</span></p>',
    "<nobr>hyphenation</nobr><script/>hyphenation</script>hyphenation",
])
def test_html_faults_found_by_hand(document):
    h = morvane.Hyphenator("en")
    assert check_html(document, h.html(document, SEPARATOR)) == []


def doctype(rng):
    """An XML doctype whose internal subset holds what ends a naive reading
    early: ">" and "]" in quotes, comments and processing instructions."""
    parts = ['<!ENTITY note "see > representation ] hyphenation">',
             "<!ENTITY alt 'say \"no\" > hyphenation'>", "<!-- a comment with > and ] -->",
             "<?pi hyphenation > ?>", '<!ATTLIST p class CDATA "a>b">',
             "<!ELEMENT p (#PCDATA)>"]
    subset = " ".join([parts[0]] + [rng.choice(parts) for _ in range(rng.randrange(4))])
    return f"<!DOCTYPE html [ {subset} ]>"


@pytest.mark.parametrize("seed", range(4))
def test_xhtml_doctypes_stay_as_they_are(seed):
    rng = random.Random(seed)
    h = morvane.Hyphenator("en")
    for _ in range(100):
        head = '<?xml version="1.0"?>\n' + doctype(rng)
        body = '<html xmlns="http://www.w3.org/1999/xhtml"><body><p>hyphenation &note;</p>' \
               "<pre>hyphenation</pre><p>representation</p></body></html>"
        document = head + body
        out = h.html(document, SEPARATOR, xhtml=True)
        assert out.startswith(head), out[:300]
        assert out.replace(SEPARATOR, "") == document
        entities = {}
        parser = xml.parsers.expat.ParserCreate()
        parser.EntityDeclHandler = lambda name, pe, value, *rest: entities.setdefault(name, value)
        parser.Parse(out.encode("utf-8"), True)
        assert "hy" + SEPARATOR + "phen" + SEPARATOR + "ation" in out[len(head):]
        assert all(SEPARATOR not in v for v in entities.values() if v)
