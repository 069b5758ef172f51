"""The saver's help in the platform's viewers: velmora.hlp in WinHelp, velmora.chm in HTML
Help, and the settings dialog's Help choosing between them by the Windows version."""

import os
import re
import subprocess
import unittest

import setup_bench

TOPICS = ["Velmora Help", "What Velmora does", "The settings dialog", "The effects dialog", "The forty effects",
          "Picture formats and sizes", "When no pictures show", "Several monitors", "Installing and removing Velmora"]
EFFECTS = TOPICS.index("The forty effects")


class HelpViewers(setup_bench.SetupTestCase):

    def setUp(self):
        super().setUp()
        for name in setup_bench.CARRIED:
            self.place(name)

    def topic(self, title):
        """The WinHelp topic's text once it is the one titled so."""
        return self.wait_until(lambda: (lambda text: text if text.startswith(title + "\n") else "")(
            self.driver("helptext")))

    def viewer(self):
        """["winhelp"] or ["htmlhelp"], whichever opened."""
        return self.wait_until(lambda: [name for name, window in (("winhelp", "MS_WINHELP"), ("htmlhelp", "HH Parent"))
                                        if self.driver("shown", window) == "1"])

    def test_winhelp_opens_on_the_contents_with_jumps_to_the_effects(self):
        self.start("winhlp32.exe", "C:\\windows\\velmora.hlp")
        contents = self.topic(TOPICS[0])
        self.assertEqual(self.driver("title", "MS_WINHELP"), "Velmora Help")
        self.assertEqual([line.split("\t")[1] for line in contents.splitlines() if "\t" in line], TOPICS[1:])
        link_green = lambda p: p[1] > 100 and max(p[0], p[2]) < 60  # noqa: E731
        self.assertGreater(self.screenshot("winhelp-contents").count(link_green), 500, "no jumps drawn as links")
        x, y = self.wait_until(lambda: self.driver("helpfind", TOPICS[EFFECTS])).split()
        subprocess.run(["xdotool", "mousemove", x, y, "click", "1"], env=self.env, check=True)
        effects = self.topic(TOPICS[EFFECTS])
        # One list item each: a bullet, a tab, the number and the name.
        self.assertEqual([int(n) for n in re.findall(r"^\W\t(\d+) ", effects, re.M)], list(range(1, 41)))
        self.assertIn("40 Interlaced push from the right: ", effects)
        self.screenshot("winhelp-effects")

    def test_html_help_shows_the_contents_and_goes_to_the_effects(self):
        self.html_help("C:\\windows\\velmora.chm")
        self.assertEqual(self.wait_until(lambda: self.driver("helptree")).split()[0], str(len(TOPICS)))
        self.screenshot("htmlhelp-contents")
        # The item chosen names the topic it stands for.
        self.assertEqual(self.driver("helptree", str(EFFECTS)), "%d %d %s" % (len(TOPICS), EFFECTS, TOPICS[EFFECTS]))
        self.screenshot("htmlhelp-effects")

    def settings_help_opens(self, version, viewer, without_winhelp_file=False):
        # The value winecfg /v writes, set by the console's reg: winecfg is a window program
        # whose start now and then hung for a minute on a prefix just copied.
        self.run_wine("reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f")
        if without_winhelp_file:
            os.remove(self.windows_file("velmora.hlp"))
        self.open_help()
        self.assertEqual(self.viewer(), [viewer])

    # WinHelp only before Vista: from Vista on Windows ships no viewer for it.
    def test_settings_help_opens_winhelp_on_windows_xp(self):
        self.settings_help_opens("winxp64", "winhelp")

    def test_settings_help_opens_html_help_on_windows_7(self):
        self.settings_help_opens("win7", "htmlhelp")

    def test_settings_help_opens_html_help_on_windows_10(self):
        self.settings_help_opens("win10", "htmlhelp")

    def test_settings_help_opens_html_help_without_the_winhelp_file(self):
        self.settings_help_opens("winxp64", "htmlhelp", without_winhelp_file=True)

if __name__ == "__main__":
    setup_bench.require_setup()
    unittest.main(verbosity=2)
