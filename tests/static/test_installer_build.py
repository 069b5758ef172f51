"""Both installers and the help files, checked without running them: what the installers
carry, what they import and ask for, and what the help files hold."""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

from pe import RT_MANIFEST
from test_win32_build import AMD64, GUI, I386, PE32, PE32_PLUS, ROOT, built

sys.path.insert(0, os.path.join(ROOT, "tools"))
import help_source  # noqa: E402
import winhelp  # noqa: E402

RT_ICON, RT_GROUP_ICON = 3, 14
US_ENGLISH = 1033
CARRIED = {10: "picdll.dll", 11: "Velmora.scr", 12: "velmora.hlp", 13: "velmora.chm"}


def dist_bytes(arch, name):
    with open(os.path.join(ROOT, "dist", arch, name), "rb") as f:
        return f.read()


def help_topics():
    with open(os.path.join(ROOT, "help", "velmora.txt"), encoding="utf-8") as f:
        return help_source.parse(f.read())


class Installer(unittest.TestCase):
    arch, machine, magic = "win32", I386, PE32

    def setUp(self):
        self.setup = built(self.arch, "VelmoraSetup.exe")
        self.entries = self.setup.resource_entries()

    def test_is_a_gui_program_of_its_architecture(self):
        self.assertEqual((self.setup.machine, self.setup.magic, self.setup.subsystem), (self.machine, self.magic, GUI))
        self.assertFalse(self.setup.is_dll)

    def test_carries_the_files_of_its_own_build_as_us_english_data(self):
        for ident, name in CARRIED.items():
            found = [(language, data) for kind, n, language, data in self.entries if kind == "DATA" and n == ident]
            self.assertEqual(found, [(US_ENGLISH, dist_bytes(self.arch, name))], name)

    def test_carries_an_icon_group_of_two_images(self):
        groups = [data for kind, name, _, data in self.entries if kind == RT_GROUP_ICON and name == "INSTALLICON"]
        self.assertEqual(len(groups), 1)
        reserved, kind, count = struct.unpack_from("<HHH", groups[0], 0)
        self.assertEqual((kind, count), (1, 2))
        icons = {name: data for kind, name, _, data in self.entries if kind == RT_ICON}
        sizes = []
        for i in range(count):
            width, height, _, _, planes, bits, size, ident = struct.unpack_from("<BBBBHHIH", groups[0], 6 + 14 * i)
            self.assertEqual(len(icons[ident]), size)
            sizes.append((width, height, bits))
        self.assertEqual(sizes, [(32, 32, 32), (16, 16, 32)])

    def test_manifest_asks_for_an_administrator_common_controls_and_dpi_awareness(self):
        manifests = [data for kind, name, _, data in self.entries if kind == RT_MANIFEST and name == 1]
        self.assertEqual(len(manifests), 1)
        manifest = manifests[0].decode("utf-8")
        self.assertIn('<requestedExecutionLevel level="requireAdministrator"', manifest)
        self.assertIn("Microsoft.Windows.Common-Controls", manifest)
        self.assertIn("<dpiAware", manifest)

    def test_imports_only_libraries_the_saver_imports(self):
        saver = built(self.arch, "Velmora.scr").imports()
        imports = self.setup.imports()
        self.assertLessEqual(set(imports), set(saver) - {"picdll.dll"})
        # The version functions come from the system folder at run time, never from a
        # version.dll beside the setup.
        self.assertNotIn("version.dll", imports)


class Installer64(Installer):
    arch, machine, magic = "win64", AMD64, PE32_PLUS


class HelpFiles(unittest.TestCase):

    def test_both_builds_make_the_same_help(self):
        for name in ("velmora.hlp", "velmora.chm"):
            if not all(os.path.exists(os.path.join(ROOT, "dist", arch, name)) for arch in ("win32", "win64")):
                self.skipTest("not built")
            self.assertEqual(dist_bytes("win32", name), dist_bytes("win64", name), name)

    def test_winhelp_file_finds_every_topic_by_its_id(self):
        data = dist_bytes("win64", "velmora.hlp")
        self.assertEqual(struct.unpack_from("<I", data, 0)[0], 0x00035F3F)
        self.assertEqual(struct.unpack_from("<I", data, 12)[0], len(data))
        directory = struct.unpack_from("<I", data, 4)[0] + 9 + 38 + 8
        files = {}
        for name in (b"|CONTEXT", b"|FONT", b"|SYSTEM", b"|TOPIC"):
            self.assertEqual(data[directory:directory + len(name) + 1], name + b"\0")
            files[name] = struct.unpack_from("<I", data, directory + len(name) + 1)[0]
            directory += len(name) + 5
        context = files[b"|CONTEXT"] + 9
        count = struct.unpack_from("<i", data, context + 34)[0]
        entries = [struct.unpack_from("<iI", data, context + 38 + 8 + 8 * i) for i in range(count)]
        hashes = [h for h, _ in entries]
        self.assertEqual(hashes, sorted(hashes))
        self.assertEqual(sorted(hashes), sorted(winhelp.context_hash(t.id) for t in help_topics()))

    def test_html_help_has_a_page_for_every_topic_with_working_links(self):
        if not shutil.which("extract_chmLib"):
            self.skipTest("extract_chmLib missing")
        topics = help_topics()
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run(["extract_chmLib", os.path.join(ROOT, "dist", "win64", "velmora.chm"), folder],
                           check=True, stdout=subprocess.DEVNULL)
            with open(os.path.join(folder, "velmora.hhc")) as f:
                contents = re.findall(r'"Local" value="([^"]+)"', f.read())
            self.assertEqual(contents, [t.id + ".html" for t in topics])
            for topic in topics:
                with open(os.path.join(folder, topic.id + ".html")) as f:
                    page = f.read()
                self.assertIn("<title>%s</title>" % topic.title, page)
                for target in re.findall(r'href="([^"]+)"', page):
                    self.assertTrue(os.path.exists(os.path.join(folder, target)), target)
            with open(os.path.join(folder, "effects.html")) as f:
                self.assertEqual(len(re.findall(r"<li><b>\d+ ", f.read())), 40)


class HelpSource(unittest.TestCase):

    def test_mistakes_in_the_source_are_refused(self):
        mistakes = [
            "== a: A\nSee [b](b).\n",          # a jump to no topic
            "== a b: A\nText.\n",              # an id the viewer cannot hash
            "== a: A\n== b: B\nText.\n",       # a topic without text
            "== a: A\nA \u2192 B.\n",          # a character outside Windows-1252
            "Text.\n== a: A\nText.\n",         # text before the first topic
            "== a: A\nSome **bold text.\n",    # markup left open
        ]
        for source in mistakes:
            with self.assertRaises(help_source.HelpSourceError, msg=source):
                help_source.parse(source)

    def test_context_hash_is_the_viewers(self):
        # The viewer's rule: h * 43 + value, A..Z and a..z count 17..42, "1".."9" 1..9, "0" 10.
        self.assertEqual(winhelp.context_hash("a"), 17)
        self.assertEqual(winhelp.context_hash("B1"), 18 * 43 + 1)
        self.assertEqual(winhelp.context_hash("z.0_"), ((42 * 43 + 12) * 43 + 10) * 43 + 13)
        # Kept to a signed 32-bit number, as the viewer computes it.
        whole = 0
        for _ in range(9):
            whole = whole * 43 + 42
        self.assertEqual(winhelp.context_hash("z" * 9), (whole + 2 ** 31) % 2 ** 32 - 2 ** 31)


if __name__ == "__main__":
    unittest.main(verbosity=2)
