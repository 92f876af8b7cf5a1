#!/usr/bin/env python3
"""Checks langpack.xml: well-formed, 37 languages in order, every entry with one text per
language, and translations that keep the English numbers, no-break spaces and placeholders.
The document is read twice: by a standard XML parser and by the program's own text rules
(leading blanks skipped, trailing blanks trimmed, only a few escapes), which must agree."""
import re
import sys
import xml.dom.minidom
from pathlib import Path

TAGS = ("eng ara ind bel bul hrv cze zhs zht dan nld est fin deu ell spa fra ita jpn kor hun "
        "nor per pol por bra rom rus cpn slk swe tha tur ukr vie srp vec").split()
NBSP = "\u00a0"
PLACEHOLDER = re.compile(r"%[-+ #0]*\d*(?:\.\d+)?[diouxXeEfgcs]|%%|\{\d*\}|_error\.txt|\*\.\*")


def program_text(raw):
    """Element text as the program's XML reader decodes it."""
    raw = raw.lstrip("\t\n\r ")
    out, keep = [], 0
    for m in re.finditer(r"&(amp|lt|gt|#160|#13|#10);|[^&]+|&", raw):
        piece = {"&amp;": "&", "&lt;": "<", "&gt;": ">", "&#160;": " ", "&#13;": "\r",
                 "&#10;": "\n"}.get(m.group(), m.group())
        out.append(piece)
        if m.group().startswith("&#"):
            keep = len("".join(out))
    text = "".join(out)
    end = len(text)
    while end > keep and text[end - 1] in " \n\u3000\t\r":
        end -= 1
    return text[:end]


def main(path):
    source = Path(path).read_text(encoding="utf-8")
    if not source.startswith("<lang>"):
        return ["the document must begin with its root element (no declaration or comment)"]
    doc = xml.dom.minidom.parseString(source.encode("utf-8"))
    problems = []
    langs = [e.getAttribute("tagName") for e in
             doc.getElementsByTagName("languages")[0].getElementsByTagName("entry")]
    if langs != TAGS:
        problems.append(f"languages {langs} differ from the expected order")
    raw_texts = iter(re.findall(r"<([a-z]{3})>(.*?)</\1>", source))
    entries = doc.getElementsByTagName("entries")[0].getElementsByTagName("entry")
    ids = set()
    for entry in entries:
        eid = entry.getAttribute("id")
        if eid in ids:
            problems.append(f"{eid}: duplicate id")
        ids.add(eid)
        kids = [c for c in entry.childNodes if c.nodeType == c.ELEMENT_NODE]
        texts = {}
        for c in kids:
            texts[c.tagName] = "".join(t.data for t in c.childNodes)
            tag, raw = next(raw_texts)
            if tag != c.tagName or program_text(raw) != texts[c.tagName]:
                problems.append(f"{eid}/{c.tagName}: the program would read {program_text(raw)!r}")
        if [c.tagName for c in kids] != TAGS:
            problems.append(f"{eid}: children {[c.tagName for c in kids]} differ from the languages")
            continue
        eng = texts["eng"]
        if not eng:
            print(f"note: {eid} has no English text")
        for tag in TAGS[1:]:
            text = texts[tag]
            for what, f in (("placeholders", lambda s: sorted(PLACEHOLDER.findall(s))),
                            ("numbers", lambda s: sorted(re.findall(r"\d+", s))),
                            ("no-break spaces", lambda s: s.count(NBSP)),
                            ("emptiness", lambda s: s == "")):
                if f(eng) != f(text):
                    problems.append(f"{eid}/{tag}: {what} differ from English: {text!r}")
    print(f"{len(langs)} languages, {len(entries)} entries")
    return problems


if __name__ == "__main__":
    found = main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).with_name("langpack.xml"))
    for p in found:
        print(p)
    sys.exit(1 if found else 0)
