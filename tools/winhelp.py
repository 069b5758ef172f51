"""Writes topics as a Windows 3.1 help file (.hlp) that the platform's viewer opens.

Only what a viewer needs: |SYSTEM (title, contents topic, browse buttons, the main
window's caption), |FONT (old format), |TOPIC and |CONTEXT, no phrase tables. Topic blocks are written in the LZ77 form
with literals only: for that form every reader places a topic link at
block * 0x4000 + 12 + offset, while for plain blocks they disagree.
"""

import struct

BLOCK_SIZE = 4096          # one topic block in the file
BLOCK_HEADER = 12          # LastTopicLink, FirstTopicLink, LastTopicHeader
# Literal-only LZ77 spends one flag byte on every eight data bytes.
BLOCK_CAPACITY = (BLOCK_SIZE - BLOCK_HEADER) // 9 * 8 + max((BLOCK_SIZE - BLOCK_HEADER) % 9 - 1, 0)
LINK_HEADER = 21           # TOPICLINK: BlockSize, DataLen2, PrevBlock, NextBlock, DataLen1, RecordType
NONE = 0xFFFFFFFF

TOPIC_HEADER, TEXT = 0x02, 0x20
FONT_NORMAL, FONT_BOLD, FONT_TITLE, FONT_HEADING = range(4)
FONTS = [  # (attributes, half points): bold is attribute 1
    (0, 20), (1, 20), (1, 28), (1, 22)]
FACE = b"Arial"
FAMILY_SWISS = 3
INDENT = 24                # list items: hanging indent, in the viewer's half points


def context_hash(name):
    """The viewer's hash of a topic id, as a signed 32-bit number."""
    value = 0
    for c in name:
        if "A" <= c <= "Z" or "a" <= c <= "z":
            x = ord(c.upper()) - ord("A") + 17
        elif "1" <= c <= "9":
            x = ord(c) - ord("0")
        elif c == "0":
            x = 10
        elif c == ".":
            x = 12
        elif c == "_":
            x = 13
        else:
            raise ValueError("topic id %r holds %r" % (name, c))
        value = (value * 43 + x) & 0xFFFFFFFF
    return value - (1 << 32) if value >= 1 << 31 else value


def topic_pos(block, offset):
    return block * 0x4000 + BLOCK_HEADER + offset


def topic_offset(block, characters):
    return block * 0x8000 + characters


# --- compressed numbers of the paragraph records -------------------------------------
def compressed_ushort(v):
    return bytes([v * 2]) if v < 0x80 else struct.pack("<H", v * 2 + 1)


def compressed_short(v):
    return bytes([(v + 0x40) * 2]) if -0x40 <= v < 0x40 else struct.pack("<H", (v + 0x4000) * 2 + 1)


def compressed_long(v):
    return struct.pack("<H", (v + 0x4000) * 2) if -0x4000 <= v < 0x4000 else struct.pack("<I", (v + 0x40000000) * 2 + 1)


# --- records -----------------------------------------------------------------------------
class Paragraph:
    """The strings and formatting commands of one paragraph: every command follows a string."""

    def __init__(self):
        self.strings = []
        self.commands = []
        self.text = b""

    def command(self, data):
        self.strings.append(self.text)
        self.commands.append(data)
        self.text = b""

    def add(self, text):
        self.text += text.encode("cp1252")

    def font(self, number):
        self.command(b"\x80" + struct.pack("<H", number))

    def data(self):
        self.command(b"\x82")   # end of paragraph
        self.command(b"\xff")   # end of formatting
        return b"".join(s + b"\0" for s in self.strings), b"".join(self.commands)


def paragraph_record(block, hashes):
    p = Paragraph()
    plain = {"title": FONT_TITLE, "heading": FONT_HEADING}.get(block.kind, FONT_NORMAL)
    p.font(plain)
    if block.kind == "item":
        p.add("\u2022")
        p.command(b"\x83")      # tab to the hanging indent
    for span in block.spans:
        if span.target:
            p.command(b"\xe3" + struct.pack("<i", hashes[span.target]))
            p.add(span.text)
            p.command(b"\x89")  # end of hotspot
        elif span.bold and plain == FONT_NORMAL:
            p.font(FONT_BOLD)
            p.add(span.text)
            p.font(FONT_NORMAL)
        else:
            p.add(span.text)
    text, commands = p.data()

    bits = 0x0004              # space below
    layout = compressed_short(6)
    if block.kind == "heading":
        bits |= 0x0002
        layout = compressed_short(10) + layout
    if block.kind == "item":
        bits |= 0x0010 | 0x0040 | 0x0200
        layout += compressed_short(INDENT) + compressed_short(-INDENT)
        layout += compressed_short(1) + compressed_ushort(INDENT)
    # The text's size and its length in characters (what topic offsets count), two bytes
    # readers skip, a paragraph number, then the layout fields the bits announce.
    info = compressed_long(len(text)) + compressed_ushort(len(text))
    info += b"\x00\x80\x00\x00" + struct.pack("<H", bits) + layout
    return TEXT, info + commands, text, len(text)


class Link:
    def __init__(self, kind, data1, data2, characters, topic=None):
        self.kind, self.data1, self.data2 = kind, data1, data2
        self.characters = characters
        self.topic = topic     # index of the topic a header record opens
        self.block = self.offset = None

    @property
    def size(self):
        return LINK_HEADER + len(self.data1) + len(self.data2)

    @property
    def pos(self):
        return topic_pos(self.block, self.offset)


def layout_links(topics, hashes):
    links = []
    for number, topic in enumerate(topics):
        # The header's fields need positions, so they are filled in after the layout.
        links.append(Link(TOPIC_HEADER, bytes(28), topic.title.encode("cp1252") + b"\0", 0, topic=number))
        for block in topic.blocks:
            kind, data1, data2, characters = paragraph_record(block, hashes)
            links.append(Link(kind, data1, data2, characters))
    block, used, characters = 0, 0, 0
    offsets = {}
    for link in links:
        if link.size > BLOCK_CAPACITY:
            raise ValueError("a paragraph of %d bytes does not fit a topic block" % link.size)
        if used + link.size > BLOCK_CAPACITY:
            block, used, characters = block + 1, 0, 0
        link.block, link.offset = block, used
        if link.topic is not None:
            offsets[link.topic] = topic_offset(block, characters)
        used += link.size
        characters += link.characters
    return links, offsets


def fill_topic_headers(links, offsets, topics):
    headers = [link for link in links if link.topic is not None]
    for i, link in enumerate(headers):
        n = link.topic
        end = links.index(headers[i + 1]) if i + 1 < len(headers) else len(links)
        size = sum(l.size for l in links[links.index(link):end])
        back = offsets[n - 1] if n > 0 else NONE
        forward = offsets[n + 1] if n + 1 < len(topics) else NONE
        following = headers[i + 1].pos if i + 1 < len(headers) else NONE
        link.data1 = struct.pack("<IIIIIII", size, back, forward, n, NONE, offsets[n], following)


def link_bytes(links, i):
    link = links[i]
    prev = links[i - 1].pos if i > 0 else NONE
    following = links[i + 1].pos if i + 1 < len(links) else NONE
    header = struct.pack("<IIIII", link.size, len(link.data2), prev, following, LINK_HEADER + len(link.data1))
    return header + bytes([link.kind]) + link.data1 + link.data2


def literal_lz77(data):
    out = bytearray()
    for i in range(0, len(data), 8):
        out.append(0)
        out += data[i:i + 8]
    return bytes(out)


def topic_file(links):
    blocks = max(link.block for link in links) + 1
    out = bytearray()
    last_header = NONE
    for block in range(blocks):
        members = [i for i, link in enumerate(links) if link.block == block]
        before = [i for i, link in enumerate(links) if link.block < block]
        for i in members:
            if links[i].kind == TOPIC_HEADER:
                last_header = links[i].pos
        data = b"".join(link_bytes(links, i) for i in members)
        packed = literal_lz77(data)
        header = struct.pack("<III", links[before[-1]].pos if before else NONE, links[members[0]].pos, last_header)
        # Every block is whole, the last one too: readers take the full block.
        out += header + packed + bytes(BLOCK_SIZE - BLOCK_HEADER - len(packed))
    return bytes(out)


# --- the other internal files ------------------------------------------------------------
def main_window(caption):
    """The main window's description: a name and a caption, the rest left to the viewer.
    Viewers that find none make up a caption of their own ("Wine Help")."""
    flags = 0x0002 | 0x0004    # name and caption given
    return (struct.pack("<H", flags) + bytes(10) + b"main".ljust(9, b"\0")
            + caption.encode("cp1252").ljust(51, b"\0")[:50] + b"\0" + bytes(5 * 2 + 2 * 4))


def system_file(title, contents_offset):
    def record(kind, data):
        return struct.pack("<HH", kind, len(data)) + data
    header = struct.pack("<HHHIH", 0x036C, 21, 1, 0, 4)  # magic, minor 21, major 1, no date, LZ77 4 KB blocks
    return (header + record(1, title.encode("cp1252") + b"\0")
            + record(3, struct.pack("<I", contents_offset))
            + record(4, b"BrowseButtons()\0")
            + record(6, main_window(title)))


def font_file():
    face_size = 32
    descriptors = b"".join(struct.pack("<BBBH", attributes, half_points, FAMILY_SWISS, 0) + bytes(6)
                           for attributes, half_points in FONTS)
    faces = FACE.ljust(face_size, b"\0")
    return struct.pack("<HHHH", 1, len(FONTS), 8, 8 + len(faces)) + faces + descriptors


def btree(entries, page_size, flags, structure):
    """A B+ tree of one leaf page; entries are key+value bytes, already sorted."""
    body = b"".join(entries)
    if 8 + len(body) > page_size:
        raise ValueError("too many entries for one B+ tree page")
    page = struct.pack("<HhhH", page_size - 8 - len(body), len(entries), -1, 0xFFFF) + body
    header = struct.pack("<HHH16shhhhhhi", 0x293B, flags, page_size, structure.ljust(16, b"\0"),
                         0, 0, 0, -1, 1, 1, len(entries))
    return header + page.ljust(page_size, b"\0")


def context_file(topics, offsets, hashes):
    entries = sorted((hashes[t.id], offsets[n]) for n, t in enumerate(topics))
    return btree([struct.pack("<iI", h, o) for h, o in entries], 2048, 0x0002, b"L4")


def internal(content, flags=0):
    return struct.pack("<IIB", len(content) + 9, len(content), flags) + content


def write_hlp(topics, title):
    hashes = {t.id: context_hash(t.id) for t in topics}
    if len(set(hashes.values())) != len(hashes):
        raise ValueError("two topic ids share a hash")
    links, offsets = layout_links(topics, hashes)
    fill_topic_headers(links, offsets, topics)
    files = {
        b"|CONTEXT": context_file(topics, offsets, hashes),
        b"|FONT": font_file(),
        b"|SYSTEM": system_file(title, offsets[0]),
        b"|TOPIC": topic_file(links),
    }
    body = bytearray()
    where = {}
    for name in sorted(files):
        where[name] = 16 + len(body)
        body += internal(files[name])
    directory_at = 16 + len(body)
    entries = [name + b"\0" + struct.pack("<I", where[name]) for name in sorted(files)]
    body += internal(btree(entries, 1024, 0x0402, b"z4"), flags=4)
    return struct.pack("<IIiI", 0x00035F3F, directory_at, -1, 16 + len(body)) + bytes(body)
