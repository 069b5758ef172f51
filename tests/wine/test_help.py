"""The saver's help in the platform's viewers: velmora.hlp in WinHelp, velmora.chm in HTML
Help, and the settings dialog's Help choosing between them by the Windows version."""

import os
import re
import subprocess
import unittest

import setup_bench

TOPICS = ["Velmora Help", "What Velmora does", "The settings dialog", "The effects dialog", "The forty effects",
          "Picture formats and sizes", "When no pictures show", "Installing and removing Velmora"]
EFFECTS = TOPICS.index("The forty effects")


def is_link_green(p):
    return p[1] > 100 and p[0] < 60 and p[2] < 60


class HelpViewers(setup_bench.SetupTestCase):

    def setUp(self):
        super().setUp()
        self.place_installation()

    def topic(self):
        return self.driver("helptext").replace("\\r\\n", "\n")

    def wait_for_topic(self, title):
        return self.wait_until(lambda: (lambda text: text if text.startswith(title + "\n") else "")(self.topic()))

    def click(self, point):
        x, y = point.split()
        subprocess.run(["xdotool", "mousemove", x, y, "click", "1"], env=self.env, check=True)

    def test_winhelp_opens_on_the_contents_and_every_jump_leads_to_its_topic(self):
        self.start("winhlp32.exe", "C:\\windows\\velmora.hlp", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        contents = self.wait_for_topic(TOPICS[0])
        self.assertTrue(contents, "the contents topic did not open")
        for title in TOPICS[1:]:
            self.assertIn(title, contents)
        image = self.screenshot("winhelp-contents")
        self.assertGreater(image.count(is_link_green), 500, "no jumps drawn as links")

        for title in TOPICS[1:]:
            self.click(self.wait_until(lambda: self.driver("helpfind", title)))
            text = self.wait_for_topic(title)
            self.assertTrue(text, "the jump to %r went elsewhere" % title)
            if title == TOPICS[EFFECTS]:
                self.screenshot("winhelp-effects")
                # One list item per effect: a bullet, a tab, the number and the name.
                numbers = [int(m) for m in re.findall(r"^\W\t(\d+) ", text, re.M)]
                self.assertEqual(numbers, list(range(1, 41)))
                self.assertIn("1 Column wipe, left to right", text)
                self.assertIn("40 Interlaced push from the right", text)
            self.assertEqual(self.driver("helpbutton", "Summary"), "")
            self.assertTrue(self.wait_for_topic(TOPICS[0]))

    def test_html_help_shows_the_contents_and_goes_to_the_effects(self):
        self.start("hh.exe", "C:\\windows\\velmora.chm", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertEqual(self.wait_until(lambda: self.driver("helptree")).split()[0], str(len(TOPICS)))
        self.screenshot("htmlhelp-contents")
        self.driver("helpselect", str(EFFECTS))
        self.assertEqual(self.driver("helptree"), "%d %d" % (len(TOPICS), EFFECTS))
        self.screenshot("htmlhelp-effects")

    # --- the settings dialog's Help ---------------------------------------------------------
    def viewers_shown(self):
        """(WinHelp, HTML Help) once either viewer is up."""
        shown = self.wait_until(lambda: (lambda w, h: (w, h) if "1" in (w, h) else None)(
            self.driver("shown", "MS_WINHELP"), self.driver("shown", "HH Parent")))
        return shown

    def test_settings_help_opens_winhelp_on_windows_7(self):
        self.set_windows_version("win7")
        self.open_help()
        self.assertEqual(self.viewers_shown(), ("1", "0"))
        self.assertTrue(self.wait_for_topic(TOPICS[0]))

    def test_settings_help_opens_html_help_on_windows_10(self):
        self.set_windows_version("win10")
        self.open_help()
        self.assertEqual(self.viewers_shown(), ("0", "1"))
        self.assertEqual(self.wait_until(lambda: self.driver("helptree")).split()[0], str(len(TOPICS)))

    def test_settings_help_opens_html_help_without_the_winhelp_file(self):
        self.set_windows_version("win7")
        os.remove(self.windows_file("velmora.hlp"))
        self.open_help()
        self.assertEqual(self.viewers_shown(), ("0", "1"))


if __name__ == "__main__":
    setup_bench.require_setup()
    unittest.main(verbosity=2)
