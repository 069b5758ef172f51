"""Pictures whatever their names: six scripts and emoji, a folder path past 300
characters, names differing only in letter case, names that fold to the same text, a
folder given as a UNC path; every picture counted and shown once per random pass, and a
failure line that names its file."""

import os
import re
import shutil
import time

import harness
from test_picture_show import QUIET

NAMES = [
    "\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.bmp",        # Greek
    "\u0420\u0443\u0441\u0441\u043a\u0438\u0439.bmp",              # Cyrillic
    "\u4e2d\u6587\u56fe\u7247.bmp",                                # Chinese
    "\u0627\u0644\u0639\u0631\u0628\u064a\u0629.bmp",              # Arabic
    "\u05e2\u05d1\u05e8\u05d9\u05ea.bmp",                          # Hebrew
    "\u0939\u093f\u0928\u094d\u0926\u0940.bmp",                    # Devanagari
    "\U0001F600 smile \U0001F30D.bmp",                             # emoji
    "Case.bmp", "case.bmp",                                        # letter case only
    "Stra\u00dfe.bmp", "STRASSE.bmp",                              # fold to the same text
    "\u212aelvin.bmp", "kelvin.bmp",                               # Kelvin sign folds to k
]


def colour(i):
    """A flat colour of its own for picture i, far from black and white."""
    levels = (0x30, 0x90, 0xE0)
    return (levels[i % 3], levels[i // 3 % 3], levels[i // 9 % 3])


def debug_text(text):
    """`text` as Wine's relay log writes a wide string (UTF-16 units, non-ASCII escaped)."""
    data = text.encode("utf-16-le")
    out = []
    for code in (int.from_bytes(data[i:i + 2], "little") for i in range(0, len(data), 2)):
        char = chr(code)
        if char == "\\":
            out.append(re.escape("\\\\"))
        elif 0x20 <= code < 0x7F:
            out.append(re.escape(char))
        else:
            out.append(r"\\x?%04x" % code)
    return "".join(out)


class Names(harness.WineTestCase):

    def tree(self, folder):
        """Every name of NAMES in `folder`, and one more picture below it on a long path;
        returns the colours in the order they were made."""
        deep = folder
        while len(harness.windows_path(deep)) <= 300:
            deep = os.path.join(deep, "\u0441\u043b\u043e\u0439-layer-" + "d" * 30)
        os.makedirs(deep)
        places = [os.path.join(folder, name) for name in NAMES] + [os.path.join(deep, "deep.bmp")]
        made = {}
        for i, path in enumerate(places):
            pattern = "flat:%02x%02x%02x" % colour(i)
            if pattern not in made:
                made[pattern] = self.make_picture(self.picture_folder("made"), "p%d.bmp" % i, (320, 240), pattern)
            shutil.copy(made[pattern], path)
        self.assertGreater(len(harness.windows_path(places[-1])), 300)
        return [colour(i) for i in range(len(places))]

    def test_every_picture_counted_and_shown_once_per_random_pass(self):
        folder = self.picture_folder()
        colours = self.tree(folder)
        # With the minimal size on, so that the size of each is read through its own name.
        settings = dict(QUIET, dir=folder, speed=700, random=1, recurse=1, minsize=1, minsizex=100, minsizey=100)
        self.write_settings(**settings)
        saver = self.open_settings_dialog()
        self.assertEqual(self.dialogs()("text", harness.SETTINGS_DIALOG, 126), str(len(colours)))
        self.dialogs()("click", harness.SETTINGS_DIALOG, 2)
        self.wait_for_exit(saver)

        self.write_settings(**settings)
        saver = self.start_saver("/s")
        seen = []
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and len(seen) < 2 * len(colours):
            shot = self.screenshot()
            p = shot.pixel(512, 384)
            if p in colours and (not seen or seen[-1] != p):
                seen.append(p)
                if len(seen) in (1, 7, len(colours) + 3):
                    self.keep(shot, "names-%d" % len(seen))
        self.assertTrue(saver.running())
        self.assertEqual(len(seen), 2 * len(colours), "pictures seen: %d" % len(seen))
        for first in (0, len(colours)):
            self.assertEqual(sorted(seen[first:first + len(colours)]), sorted(colours))

    def test_failure_line_names_the_file(self):
        folder = self.picture_folder()
        name = "\u03a3\u03c6\u03ac\u03bb\u03bc\u03b1 \u5199\u771f \U0001F600.jpg"
        with open(os.path.join(folder, name), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0 this is no picture" * 10)
        self.write_settings(**dict(QUIET, dir=folder, speed=60000, random=0))
        saver = self.start_traced_saver(["user32.DrawTextW", "user32.DrawTextA"], "/s")
        expected = debug_text("Could not load image : " + harness.windows_path(os.path.join(folder, name)))
        calls = self.wait_until(lambda: [line for line in self.relay_lines() if "Call user32.DrawText" in line])
        self.assertTrue(calls, "no line drawn")
        self.assertRegex(calls[0], r'Call user32\.DrawTextW\([0-9a-f]+,[0-9a-f]+ L"' + expected + '"')
        shot = self.wait_for_screen(lambda s: s.count(lambda p: p == (255, 255, 255), (0, 370, 1024, 400)) > 100)
        self.assertIsNotNone(shot)
        self.keep(shot, "names-failure-line")
        self.assertTrue(saver.running())

    def test_effects_dialog_path_line_names_the_file(self):
        folder = self.picture_folder()
        first = "\u0391\u03b8\u03ae\u03bd\u03b1 \u5199\u771f.bmp"  # sorts before the emoji
        for name in (first, "\U0001F600.bmp"):
            self.make_picture(folder, name, (320, 240), "flat:2060c0")
        self.write_settings(dir=folder)
        saver = self.open_settings_dialog()
        self.open_effects_dialog()
        self.dialogs()("click", harness.EFFECTS_DIALOG, 1012)  # Show effect
        path = harness.windows_path(os.path.join(folder, first))
        shown = self.wait_until(lambda: self.dialogs()("wlabel", harness.EFFECTS_DIALOG, 1027) == path)
        self.assertTrue(shown, self.dialogs()("wlabel", harness.EFFECTS_DIALOG, 1027))
        self.keep(self.screenshot(window=self.wait_for_window(harness.EFFECTS_DIALOG)), "names-effects-dialog")
        self.dialogs()("click", harness.EFFECTS_DIALOG, 2)
        self.wait_until(lambda: self.dialogs()("find", harness.EFFECTS_DIALOG) == "0")
        self.dialogs()("click", harness.SETTINGS_DIALOG, 2)
        self.wait_for_exit(saver, 20)

    def test_folder_of_any_letters_kept_by_the_settings(self):
        # Such a folder is kept in the settings file as "?" and its UTF-8.
        folder = self.picture_folder("\u03a6\u03c9\u03c4\u03bf \u5199\u771f")
        self.make_picture(folder, "a.bmp", (320, 240), "flat:c06020")
        setting = "?" + harness.windows_path(folder)
        self.write_settings(**dict(QUIET, dir=setting, speed=60000, random=0))
        saver = self.open_settings_dialog()
        self.assertEqual(self.dialogs()("text", harness.SETTINGS_DIALOG, 126), "1")
        self.dialogs()("click", harness.SETTINGS_DIALOG, 1)  # OK writes the file again
        self.wait_for_exit(saver)
        self.assertIn(("dir=" + setting + "\r\n").encode("utf-8"), self.read_settings())
        saver = self.start_saver("/s")
        shot = self.wait_for_screen(lambda s: s.pixel(512, 384) == (0xC0, 0x60, 0x20))
        self.assertIsNotNone(shot, "no picture from the folder")
        self.assertTrue(saver.running())

    def test_unc_folder(self):
        # Wine maps \\server\share to dosdevices/unc/server/share: a share-like place is
        # what this machine can offer.
        folder = self.picture_folder("shared")
        self.make_picture(folder, "\u03b1.bmp", (320, 240), "flat:20a040")
        share = os.path.join(harness.PREFIX, "dosdevices", "unc", "velmora-host")
        os.makedirs(share, exist_ok=True)
        link = os.path.join(share, "photos")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(folder, link)
        self.addCleanup(os.remove, link)
        self.write_settings(**dict(QUIET, dir="\\\\velmora-host\\photos", speed=60000, random=0, minsize=1,
                                   minsizex=10, minsizey=10))
        saver = self.start_saver("/s")
        shot = self.wait_for_screen(lambda s: s.pixel(512, 384) == (0x20, 0xA0, 0x40))
        self.assertIsNotNone(shot, "no picture from the share")
        self.assertTrue(saver.running())


if __name__ == "__main__":
    harness.main()
