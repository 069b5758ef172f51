"""Writes topics as HTML pages with a contents file and compiles them with chmcmd into
an HTML Help file (.chm), made reproducible: chmcmd stamps each file with the time of day."""

import html
import os
import shutil
import struct
import subprocess

STYLE = ("body { font-family: Arial, sans-serif; font-size: 10pt; margin: 12px; }\n"
         "h1 { font-size: 14pt; } h2 { font-size: 11pt; margin-top: 14px; }\n"
         "li { margin-bottom: 4px; }\n")


def page_name(topic_id):
    return topic_id + ".html"


def inline_html(spans):
    out = []
    for span in spans:
        text = html.escape(span.text, quote=True).encode("ascii", "xmlcharrefreplace").decode("ascii")
        if span.target:
            out.append('<a href="%s">%s</a>' % (page_name(span.target), text))
        elif span.bold:
            out.append("<b>%s</b>" % text)
        else:
            out.append(text)
    return "".join(out)


def page(topic):
    body = []
    in_list = False
    for block in topic.blocks:
        if block.kind == "item" and not in_list:
            body.append("<ul>")
        if block.kind != "item" and in_list:
            body.append("</ul>")
        in_list = block.kind == "item"
        tag = {"title": "h1", "heading": "h2", "item": "li"}.get(block.kind, "p")
        body.append("<%s>%s</%s>" % (tag, inline_html(block.spans), tag))
    if in_list:
        body.append("</ul>")
    title = inline_html([topic.blocks[0].spans[0]])
    return ("<!DOCTYPE html>\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
            "charset=us-ascii\">\n<title>%s</title>\n<link rel=\"stylesheet\" href=\"help.css\">\n"
            "</head><body>\n%s\n</body></html>\n" % (title, "\n".join(body)))


def contents_file(topics):
    def entry(topic):
        return ('<LI><OBJECT type="text/sitemap"><param name="Name" value="%s">'
                '<param name="Local" value="%s"></OBJECT>\n'
                % (html.escape(topic.title, quote=True), page_name(topic.id)))
    return ('<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML><BODY>\n<UL>\n'
            + "".join(entry(t) for t in topics) + "</UL>\n</BODY></HTML>\n")


def project_file(topics, title, chm_name):
    files = ["help.css"] + [page_name(t.id) for t in topics]
    return ("[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=%s\nContents file=velmora.hhc\n"
            "Default topic=%s\nDefault Window=main\nDisplay compile progress=No\n"
            "Language=0x409 English (United States)\nTitle=%s\n\n"
            "[WINDOWS]\nmain=\"%s\",\"velmora.hhc\",,\"%s\",\"%s\",,,,,0x2520,250,0x300e,[20,20,780,580],,,,,,,0\n\n"
            "[FILES]\n%s\n" % (chm_name, page_name(topics[0].id), title, title, page_name(topics[0].id),
                               page_name(topics[0].id), "\n".join(files)))


def write_project(topics, title, folder, chm_name):
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    texts = {"help.css": STYLE, "velmora.hhc": contents_file(topics),
             "velmora.hhp": project_file(topics, title, chm_name)}
    texts.update({page_name(t.id): page(t) for t in topics})
    for name, text in texts.items():
        with open(os.path.join(folder, name), "w", encoding="ascii", newline="\r\n") as f:
            f.write(text)
    return os.path.join(folder, "velmora.hhp")


# --- the compiled file -------------------------------------------------------------------
def read_encint(data, at):
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, at


def directory_entries(data):
    """{name: (section, offset, length)} from the listing chunks of an ITSF file."""
    directory_at = struct.unpack_from("<Q", data, 0x48)[0]
    if data[directory_at:directory_at + 4] != b"ITSP":
        raise ValueError("no ITSP directory")
    header_size, chunk_size = struct.unpack_from("<II", data, directory_at + 8)[0], \
        struct.unpack_from("<I", data, directory_at + 0x10)[0]
    chunks = struct.unpack_from("<I", data, directory_at + 0x2C)[0]
    entries = {}
    for n in range(chunks):
        chunk = directory_at + header_size + n * chunk_size
        if data[chunk:chunk + 4] != b"PMGL":
            continue
        free = struct.unpack_from("<I", data, chunk + 4)[0]
        at, end = chunk + 20, chunk + chunk_size - free
        while at < end:
            length, at = read_encint(data, at)
            name = data[at:at + length].decode("utf-8")
            at += length
            section, at = read_encint(data, at)
            offset, at = read_encint(data, at)
            size, at = read_encint(data, at)
            entries[name] = (section, offset, size)
    return entries


def clear_timestamps(chm):
    """Zeroes the compile time in the file header and in the #SYSTEM file."""
    data = bytearray(chm)
    if data[:4] != b"ITSF":
        raise ValueError("not an ITSF file")
    data[0x10:0x14] = bytes(4)
    content = struct.unpack_from("<Q", data, 0x58)[0]
    section, offset, size = directory_entries(data)["/#SYSTEM"]
    if section != 0:
        raise ValueError("#SYSTEM is not stored uncompressed")
    at, end = content + offset + 4, content + offset + size  # after the version
    while at + 4 <= end:
        code, length = struct.unpack_from("<HH", data, at)
        if code == 10 and length >= 4:
            data[at + 4:at + 8] = bytes(4)
        at += 4 + length
    return bytes(data)


def write_chm(topics, title, work, chm_name, chmcmd="chmcmd"):
    """The compiled file's bytes; work receives the pages and chmcmd's own output."""
    project = write_project(topics, title, work, chm_name)
    result = subprocess.run([chmcmd, "--no-html-scan", os.path.basename(project)], cwd=work,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    built = os.path.join(work, chm_name)
    if result.returncode != 0 or not os.path.exists(built):
        raise RuntimeError("chmcmd failed:\n" + result.stdout)
    with open(built, "rb") as f:
        return clear_timestamps(f.read())
