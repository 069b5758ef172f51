"""The help source (help/velmora.txt) read into topics, for the WinHelp and HTML Help writers.

Format, one construct a line:
  # text             a comment
  == id: Title       starts a topic; the first topic is the contents topic
  ## Heading         a heading inside the topic
  * text             a list item (indented lines continue it)
  text               paragraph text (consecutive lines join; a blank line ends it)
Inside text: **bold** and [label](id), a jump to the topic with that id.
Topic ids use letters, digits, '.' and '_' only: WinHelp hashes nothing else.
"""

import re
from dataclasses import dataclass, field

ID_PATTERN = re.compile(r"^[A-Za-z0-9._]+$")
INLINE = re.compile(r"\*\*(?P<bold>.+?)\*\*|\[(?P<label>[^\]]+)\]\((?P<target>[^)]+)\)")


class HelpSourceError(Exception):
    pass


@dataclass
class Span:
    text: str
    bold: bool = False
    target: str = None  # topic id of a jump


@dataclass
class Block:
    kind: str  # "title", "heading", "para" or "item"
    spans: list


@dataclass
class Topic:
    id: str
    title: str
    blocks: list = field(default_factory=list)

    def jumps(self):
        return [span.target for block in self.blocks for span in block.spans if span.target]


def parse_inline(text, where):
    spans = []
    at = 0
    for m in INLINE.finditer(text):
        if m.start() > at:
            spans.append(Span(text[at:m.start()]))
        if m.group("bold"):
            spans.append(Span(m.group("bold"), bold=True))
        else:
            spans.append(Span(m.group("label"), target=m.group("target").strip()))
        at = m.end()
    if at < len(text):
        spans.append(Span(text[at:]))
    for span in spans:
        if "**" in span.text or "](" in span.text:
            raise HelpSourceError("%s: unclosed markup in %r" % (where, text))
    return spans


def parse(text, name="help source"):
    topics = []
    pending = None  # (kind, [lines], line number)

    def flush():
        nonlocal pending
        if pending:
            kind, lines, number = pending
            where = "%s:%d" % (name, number)
            if not topics:
                raise HelpSourceError("%s: text before the first topic" % where)
            topics[-1].blocks.append(Block(kind, parse_inline(" ".join(lines), where)))
        pending = None

    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.rstrip()
        stripped = line.strip()
        if line.startswith("# ") or line == "#":
            continue
        if not stripped:
            flush()
        elif line.startswith("== "):
            flush()
            head, colon, title = line[3:].partition(":")
            if not colon or not ID_PATTERN.match(head.strip()) or not title.strip():
                raise HelpSourceError("%s:%d: a topic line reads '== id: Title'" % (name, number))
            topics.append(Topic(head.strip(), title.strip()))
            topics[-1].blocks.append(Block("title", [Span(title.strip())]))
        elif line.startswith("## "):
            flush()
            pending = ("heading", [line[3:].strip()], number)
            flush()
        elif line.startswith("* "):
            flush()
            pending = ("item", [line[2:].strip()], number)
        elif pending and (pending[0] == "para" or line.startswith(" ")):
            pending[1].append(stripped)
        else:
            flush()
            pending = ("para", [stripped], number)
    flush()
    check(topics, name)
    return topics


def check(topics, name):
    if not topics:
        raise HelpSourceError("%s: no topics" % name)
    ids = [t.id for t in topics]
    for topic in topics:
        if ids.count(topic.id) > 1:
            raise HelpSourceError("%s: topic id %r used twice" % (name, topic.id))
        if len(topic.blocks) < 2:
            raise HelpSourceError("%s: topic %r has no text" % (name, topic.id))
        for target in topic.jumps():
            if target not in ids:
                raise HelpSourceError("%s: topic %r jumps to unknown topic %r" % (name, topic.id, target))
        for block in topic.blocks:
            for span in block.spans:
                try:
                    span.text.encode("cp1252")
                except UnicodeEncodeError:
                    raise HelpSourceError("%s: topic %r holds a character outside Windows-1252: %r"
                                          % (name, topic.id, span.text))
