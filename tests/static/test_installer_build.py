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

RT_ICON, RT_GROUP_ICON = 3, 14
US_ENGLISH = 1033
CARRIED = {10: "picdll.dll", 11: "Velmora.scr", 12: "velmora.hlp", 13: "velmora.chm"}


def dist_bytes(arch, name):
    with open(os.path.join(ROOT, "dist", arch, name), "rb") as f:
        return f.read()


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
        [group] = [data for kind, name, _, data in self.entries if kind == RT_GROUP_ICON and name == "INSTALLICON"]
        icons = {name: len(data) for kind, name, _, data in self.entries if kind == RT_ICON}
        images = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(struct.unpack_from("<H", group, 4)[0])]
        self.assertEqual([(w, h, bits, icons[ident] == size) for w, h, _, _, _, bits, size, ident in images],
                         [(32, 32, 32, True), (16, 16, 32, True)])

    def test_manifest_asks_for_an_administrator_common_controls_and_dpi_awareness(self):
        [manifest] = [data.decode("utf-8") for kind, name, _, data in self.entries if kind == RT_MANIFEST and name == 1]
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

    def test_html_help_has_a_page_for_every_topic_with_working_links(self):
        if not shutil.which("extract_chmLib"):
            self.skipTest("extract_chmLib missing")
        with open(os.path.join(ROOT, "help", "velmora.txt"), encoding="utf-8") as f:
            topics = help_source.parse(f.read())
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


if __name__ == "__main__":
    unittest.main(verbosity=2)
