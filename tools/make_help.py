#!/usr/bin/env python3
"""make_help.py SOURCE --hlp FILE --chm FILE --work DIR: the saver's help, velmora.hlp and
velmora.chm, from the one help source. The same source gives the same bytes every time."""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import chm  # noqa: E402
import help_source  # noqa: E402
import winhelp  # noqa: E402

TITLE = "Velmora Help"


def write_atomically(path, data):
    temp = path + ".part"
    with open(temp, "wb") as f:
        f.write(data)
    os.replace(temp, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("source")
    parser.add_argument("--hlp", required=True)
    parser.add_argument("--chm", required=True)
    parser.add_argument("--work", required=True, help="folder for the HTML pages")
    parser.add_argument("--chmcmd", default="chmcmd")
    args = parser.parse_args()
    try:
        with open(args.source, encoding="utf-8") as f:
            topics = help_source.parse(f.read(), args.source)
        hlp = winhelp.write_hlp(topics, TITLE)
        compiled = chm.write_chm(topics, TITLE, args.work, os.path.basename(args.chm), args.chmcmd)
    except (help_source.HelpSourceError, ValueError, RuntimeError, OSError) as e:
        print("make_help: %s" % e, file=sys.stderr)
        return 1
    write_atomically(args.hlp, hlp)
    write_atomically(args.chm, compiled)
    return 0


if __name__ == "__main__":
    sys.exit(main())
