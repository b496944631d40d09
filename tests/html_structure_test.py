#!/usr/bin/env python3
"""Hyphenates real HTML and XHTML documents with `morvane-hyphenate --html`
and checks them with Python's own HTML parser, which shares no code with
morvane: every tag, attribute, comment, declaration and character reference
comes back unchanged and in order, text differs only by the separators, and
no separator lands in code or in text left alone.

usage: html_structure_test.py MORVANE_HYPHENATE DOCUMENT...
"""
import html.parser
import subprocess
import sys

SEPARATOR = "\ue000"  # private use: in none of the documents
LEFT_ALONE = {"script", "style", "textarea", "title", "pre", "listing", "code", "tt", "kbd",
              "samp", "var", "nobr", "xmp", "math", "svg"}
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param",
        "source", "track", "wbr"}


class Events(html.parser.HTMLParser):
    """Everything the parser reports, text merged; and whether each piece of
    text stands in an element left alone."""

    def __init__(self):
        super().__init__(convert_charrefs=False)
        self.events = []
        self.stack = []

    def _text(self, data):
        alone = any(name in LEFT_ALONE or alone for name, alone in self.stack)
        if self.events and self.events[-1][0] == "text" and self.events[-1][2] == alone:
            self.events[-1] = ("text", self.events[-1][1] + data, alone)
        else:
            self.events.append(("text", data, alone))

    def handle_starttag(self, tag, attrs):
        self.events.append(("start", tag, tuple(attrs)))
        if tag not in VOID:
            classes = (dict(attrs).get("class") or "").split()
            self.stack.append((tag, "donthyphenate" in classes))

    def handle_startendtag(self, tag, attrs):
        self.events.append(("empty", tag, tuple(attrs)))

    def handle_endtag(self, tag):
        self.events.append(("end", tag))
        for i in range(len(self.stack) - 1, -1, -1):
            if self.stack[i][0] == tag:
                del self.stack[i:]
                break

    def handle_data(self, data):
        self._text(data)

    def handle_entityref(self, name):
        self.events.append(("entity", name))

    def handle_charref(self, name):
        self.events.append(("charref", name))

    def handle_comment(self, data):
        self.events.append(("comment", data))

    def handle_decl(self, decl):
        self.events.append(("decl", decl))

    def handle_pi(self, data):
        self.events.append(("pi", data))

    def unknown_decl(self, data):
        self.events.append(("unknown", data))


def events(document):
    parser = Events()
    parser.feed(document)
    parser.close()
    return parser.events


def check(command, path):
    original = open(path, "rb").read()
    language = path.rsplit(".", 2)[-2]  # NAME.LANGUAGE.html: the language of text without lang
    run = subprocess.run([command, "--html", "-l", language, "-s", SEPARATOR], input=original,
                         capture_output=True, check=False)
    if run.returncode != 0:
        return [f"exit status {run.returncode}: {run.stderr.decode()}"]
    out = run.stdout.decode("utf-8")
    problems = []
    if out.replace(SEPARATOR, "").encode("utf-8") != original:
        problems.append("removing the separators does not give the document back")
    before, after = events(original.decode("utf-8")), events(out)
    if len(before) != len(after):
        problems.append(f"{len(before)} parser events before, {len(after)} after")
    separators = 0
    for old, new in zip(before, after):
        if old[0] != "text" or new[0] != "text":
            if old != new:
                problems.append(f"markup changed: {old!r} became {new!r}")
            continue
        if new[1].replace(SEPARATOR, "") != old[1]:
            problems.append(f"text changed: {old[1][:60]!r}")
        count = new[1].count(SEPARATOR)
        if count and new[2]:
            problems.append(f"separator in text left alone: {new[1][:60]!r}")
        separators += count
    if separators < 100:
        problems.append(f"only {separators} separators")
    return problems[:10]


def main():
    command, documents = sys.argv[1], sys.argv[2:]
    failed = False
    for path in documents:
        problems = check(command, path)
        print(("FAIL " if problems else "ok ") + path)
        for problem in problems:
            print("   ", problem)
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
