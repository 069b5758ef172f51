"""Configure mode under Wine: the settings dialog keeps its count with the folder and the
filters, writes the settings on OK only, and the effects dialog previews effects on the
folder's pictures, also when input arrives in the middle of a preview."""

import os
import shutil
import subprocess
import time

import harness
import pictures

S, E = harness.SETTINGS_DIALOG, harness.EFFECTS_DIALOG
FOUND, COUNT, FOLDER, EFFECTS_LINE = 1028, 126, 125, 113
NUMBER, ENABLED, PREVIEW, PATH_LINE, ENABLED_COUNT = 127, 1010, 1011, 1027, 1019
WARNING = "First set the path to a folder containing at least 2 image files   "
MESSAGE_TEXT = 0xFFFF  # the text of a message box


def effect_copies(number):
    """How many copies from the back buffer a preview of effect `number` makes: the effect's
    own, then the one stroke over the whole area."""
    trace = subprocess.run([os.path.join(harness.TOOLS, "effect-trace"), "--mode", "transition", "--effect",
                            str(number), "--size", "480x360"], capture_output=True, text=True, check=True).stdout
    return sum(1 for line in trace.splitlines() if line.startswith(("copy", "move"))) + 1


def keys_in_order(**values):
    """The settings file OK writes when none existed: every key in its order."""
    order = ["minsizex", "minsizey", "minsize", "bmp", "jpg", "recurse", "speed", "reduce", "random",
             "enlarge", "clearscreen", "effects", "dir"] + ["enable%d" % n for n in range(1, 41)]
    defaults = dict(minsizex=100, minsizey=100, minsize=0, bmp=1, jpg=1, recurse=1, speed=5000, reduce=1,
                    random=1, enlarge=1, clearscreen=0, effects=40, dir="", **{"enable%d" % n: 1 for n in range(1, 41)})
    defaults.update(values)
    return ("[velmora]\r\n" + "".join("%s=%s\r\n" % (k, defaults[k]) for k in order)).encode()


class Dialogs(harness.WineTestCase):

    def folder_of(self, name, *pictures_made):
        folder = self.picture_folder(name)
        for picture, size, pattern in pictures_made:
            self.make_picture(folder, picture, size, pattern)
        return folder

    def text(self, title, control, label=True):
        return self.dialogs()("label" if label else "text", title, control)

    def wait_text(self, title, control, expected, timeout=20):
        seen = self.wait_until(lambda: self.text(title, control) == expected and expected, timeout) or \
            self.text(title, control)
        self.assertEqual(seen if seen is not True else expected, expected)

    def wait_count(self, expected, timeout=20):
        self.wait_until(lambda: self.text(S, FOUND) == "Image files found :" and self.text(S, COUNT) == expected,
                        timeout)
        self.assertEqual((self.text(S, FOUND), self.text(S, COUNT)), ("Image files found :", expected))

    def warning_shown(self):
        self.assertTrue(self.wait_until(lambda: self.dialogs()("find", "Velmora") != "0"), "no warning")
        self.assertEqual(self.text("Velmora", MESSAGE_TEXT, False), WARNING)
        self.dialogs()("click", "Velmora", 1)
        self.wait_until(lambda: self.dialogs()("find", "Velmora") == "0")

    def dialog_gone(self, title, timeout=20):
        return self.wait_until(lambda: self.dialogs()("find", title) == "0", timeout)

    def end(self, saver, button=2):
        self.dialogs()("click", S, button)
        return self.wait_for_exit(saver, 20)


class SettingsDialog(Dialogs):

    def test_count_follows_the_folder_typed_chosen_and_pending(self):
        one = self.folder_of("one", ("a.jpg", (64, 48), "photo"))
        two = self.folder_of("two", ("a.jpg", (64, 48), "photo"), ("b.bmp", (64, 48), "photo"))
        empty = self.picture_folder("empty")
        saver = self.open_settings_dialog()
        # A fresh installation: no folder, no pictures, no effects dialog.
        self.wait_count("0")
        self.dialogs()("click", S, 1000)
        self.warning_shown()
        # Typed: the label and count go blank at once and come back after the pause.
        self.type_into(S, FOLDER, harness.windows_path(one))
        self.assertEqual((self.text(S, FOUND), self.text(S, COUNT)), ("", ""))
        self.wait_count("1")
        self.assertEqual(self.text(S, FOLDER, label=False), harness.windows_path(one))
        self.dialogs()("click", S, 1000)
        self.warning_shown()
        # A rescan still pending when the button is pressed runs first.
        for folder, count in ((empty, "0"), (one, "1")):
            self.dialogs()("set", S, FOLDER, harness.windows_path(folder))
            self.dialogs()("click", S, 1000)
            self.warning_shown()
            self.assertEqual(self.text(S, COUNT), count)
        self.dialogs()("set", S, FOLDER, harness.windows_path(two))
        self.open_effects_dialog()
        self.dialogs()("click", E, 2)
        self.dialog_gone(E)
        self.wait_count("2")
        # Browse, then cancel: the folder stays and is counted again.
        self.make_picture(two, "c.jpg", (64, 48), "photo")
        self.dialogs()("click", S, 121)
        self.assertTrue(self.wait_until(lambda: self.dialogs()("find", "Browse for Folder") != "0"), "no browser")
        self.dialogs()("click", "Browse for Folder", 2)
        self.wait_count("3")
        self.assertEqual(self.text(S, FOLDER, label=False), harness.windows_path(two))
        self.assertEqual(self.end(saver), 0)
        self.assertIsNone(self.read_settings())

    def test_boxes_and_arrows_change_the_settings_ok_writes(self):
        folder = self.folder_of("mixed", ("a.jpg", (640, 480), "photo"), ("b.jpg", (50, 50), "photo"),
                                ("c.bmp", (640, 480), "photo"))
        self.write_settings(dir=folder, speed=300000, bmp=0)
        saver = self.open_settings_dialog()
        self.remove_settings()  # so that OK writes every key afresh, in its order
        self.wait_count("2")
        # JPG off with BMP off: BMP comes back on; and the other way round.
        for box, other, count in ((1024, 1025, "1"), (1025, 1024, "2")):
            self.dialogs()("click", S, box)
            self.wait_count(count)
            self.assertEqual((self.dialogs()("checked", S, box), self.dialogs()("checked", S, other)), ("0", "1"))
        # Minimal size: the size fields open and the count follows at once, then after X.
        self.assertEqual(self.dialogs()("enabled", S, 1003), "0")
        self.dialogs()("click", S, 1020)
        self.wait_count("1")
        self.assertEqual(self.dialogs()("enabled", S, 1003), "1")
        self.dialogs()("set", S, 1003, "20")
        self.dialogs()("set", S, 1004, "20")
        self.wait_count("2")
        # The arrows stop at 300 seconds and step from the last value they set, not from
        # what was typed.
        self.dialogs()("arrow", S, 30, "up")
        self.wait_until(lambda: self.text(S, 124, label=False) == "300")
        self.dialogs()("set", S, 124, "45")
        self.dialogs()("arrow", S, 30, "down")
        self.assertTrue(self.wait_until(lambda: self.text(S, 124, label=False) == "299"))
        self.dialogs()("set", S, 124, "1200")
        self.assertEqual(self.end(saver, 1), 1)
        self.assertEqual(self.read_settings(), keys_in_order(
            minsizex=20, minsizey=20, minsize=1, bmp=0, speed=120000, dir=harness.windows_path(folder)))

        self.write_settings(speed=2000, minsizex=7)
        saver = self.open_settings_dialog()
        for _ in range(2):
            self.dialogs()("arrow", S, 30, "down")
        self.assertTrue(self.wait_until(lambda: self.text(S, 124, label=False) == "1"))
        self.dialogs()("set", S, 124, "0")
        self.dialogs()("set", S, 1003, "123456")
        self.assertEqual(self.end(saver, 1), 1)
        written = self.read_settings()
        self.assertIn(b"speed=1000\r\n", written)
        self.assertIn(b"minsizex=12345\r\n", written)

    def test_cancel_and_an_unwritable_file_leave_the_file_as_it_was(self):
        garbage = b"[velmora]\r\nspeed=fast\r\nrandom=\r\nenable3=yes\r\nminsizex=-5\r\ndir=" + b"x" * 400 + b"\r\n"
        settings = os.path.join(harness.WINDOWS_DIR, "ss_velmo.ini")
        with open(settings, "wb") as f:
            f.write(garbage)
        saver = self.open_settings_dialog()
        self.assertEqual(self.text(S, 124, label=False), "5")
        self.assertEqual(self.text(S, FOLDER, label=False), "x" * 259)
        self.assertEqual(self.text(S, EFFECTS_LINE), "39 of 40 effects enabled")
        self.dialogs()("click", S, 1026)
        self.assertEqual(self.end(saver), 0)
        self.assertEqual(self.read_settings(), garbage)

        saver = self.open_settings_dialog()
        holder = self.probe("lock", harness.windows_path(settings), stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        try:
            self.assertEqual(holder.stdout.readline().strip(), "locked")
            self.dialogs()("click", S, 1)
            self.assertTrue(self.wait_until(lambda: self.dialogs()("find", "Velmora") != "0"), "no message")
            self.assertIn("\n\nC:\\windows\\ss_velmo.ini\n\n", self.text("Velmora", MESSAGE_TEXT, False))
            self.dialogs()("click", "Velmora", 1)
            self.assertTrue(self.dialog_gone("Velmora"))
            self.assertTrue(saver.running())
            self.assertNotEqual(self.dialogs()("find", S), "0")
        finally:
            holder.stdin.close()
            holder.wait(timeout=10)
            holder.stdout.close()
        self.assertEqual(self.read_settings(), garbage)
        # Once the file can be written, OK again saves and closes.
        self.assertEqual(self.end(saver, 1), 1)
        self.assertIn(b"random=0\r\n", self.read_settings())

    def test_bad_folders_and_sizes_give_sensible_counts(self):
        big = self.picture_folder("big")
        sample = self.make_picture(big, "p0.jpg", (120, 90), "photo")
        with open(sample, "rb") as f:
            data = f.read()
        for i in range(1, 3000):
            with open(os.path.join(big, "p%d.jpg" % i), "wb") as f:
                f.write(data)
        self.make_picture(big, "small.jpg", (40, 30), "photo")
        self.write_settings(recurse=0)
        saver = self.open_settings_dialog()
        for folder, count in (("C:\\velmora-test\\" + "d" * 300, "0"), ("C:\\no such folder", "0"),
                              (harness.windows_path(sample), "0"), ("C:\\", "0"), (harness.windows_path(big), "3001")):
            self.dialogs()("set", S, FOLDER, folder)
            self.wait_count(count)
        # Minimal size on a few thousand pictures: "Searching..." shows during the scan.
        self.dialogs()("set", S, 1003, "12ab")
        self.dialogs()("set", S, 1004, "zz")
        self.dialogs()("click", S, 1020)
        seen = set()
        self.wait_until(lambda: seen.add(self.text(S, FOUND)) or "Image files found :" in seen, 60, 0.01)
        self.assertIn("Searching...", seen)
        self.wait_count("3001", 60)
        self.dialogs()("set", S, 1003, "99999")
        self.wait_count("0", 60)
        self.assertEqual(self.end(saver, 1), 1)
        self.assertIn(b"minsizex=99999\r\nminsizey=zz\r\n", self.read_settings())


class EffectsDialog(Dialogs):

    def test_opening_arrows_and_switches(self):
        folder = self.folder_of("two", ("a.jpg", (64, 48), "photo"), ("b.jpg", (64, 48), "photo"))
        self.write_settings(dir=folder, enable1=0)
        before = self.read_settings()
        saver = self.open_settings_dialog()
        self.assertEqual(self.text(S, EFFECTS_LINE), "39 of 40 effects enabled")
        self.open_effects_dialog()
        d = self.dialogs()
        self.assertEqual((self.text(E, NUMBER, False), d("checked", E, ENABLED), self.text(E, ENABLED_COUNT)),
                         ("1", "0", "39 of 40"))
        left, top, right, bottom = map(int, d("rect", E, PREVIEW).split())
        self.assertEqual((right - left, bottom - top), (480, 360))
        left, top, right, bottom = map(int, d("rect", E, 1016).split())
        self.assertEqual((right - left, bottom - top), (484, 364))
        d("arrow", E, 31, "down")
        d("arrow", E, 31, "up")
        self.assertTrue(self.wait_until(lambda: self.text(E, NUMBER, False) == "2"))
        self.assertEqual(d("checked", E, ENABLED), "1")
        for _ in range(45):
            d("arrow", E, 31, "up")
        self.assertTrue(self.wait_until(lambda: self.text(E, NUMBER, False) == "40"))
        for button, count, checked in ((ENABLED, "38 of 40", "0"), (1017, "40 of 40", "1"), (1018, "0 of 40", "0")):
            d("click", E, button)
            self.wait_text(E, ENABLED_COUNT, count)
            self.assertEqual(d("checked", E, ENABLED), checked)
        d("click", E, 2)
        self.dialog_gone(E)
        self.wait_text(S, EFFECTS_LINE, "0 of 40 effects enabled")
        # The switches live in memory only: Cancel keeps the file's.
        self.assertEqual(self.end(saver), 0)
        self.assertEqual(self.read_settings(), before)

    def test_previews_walk_the_pictures_with_the_number_typed(self):
        colours = {"a.jpg": (200, 40, 40), "b.bmp": (40, 60, 200)}
        folder = self.folder_of("two", *[(name, (400, 300), "flat:%02x%02x%02x" % c) for name, c in colours.items()])
        self.write_settings(dir=folder)
        saver = self.open_settings_dialog()
        self.open_effects_dialog()
        left, top, right, bottom = map(int, self.dialogs()("rect", E, PREVIEW).split())
        # Enter in the number field runs the default button; the field takes digits only.
        for typed, number, name in (("7", "7", "a.jpg"), ("5x5", "40", "b.bmp"), ("040", "40", "a.jpg"),
                                    ("0400", "40", "b.bmp")):
            self.dialogs()("set", E, NUMBER, "")
            self.type_into(E, NUMBER, typed, "Return")
            self.wait_text(E, PATH_LINE, harness.windows_path(os.path.join(folder, name)))
            self.assertTrue(self.wait_until(lambda: self.text(E, NUMBER, False) == number), (typed, self.text(E, NUMBER, False)))
            # The fitted picture fills the preview (enlarged to 480 x 360).
            shot = self.wait_for_screen(lambda s: pictures.dominant_colour(s, (left, top, right, bottom)) ==
                                        pictures.dominant_colour(s, (left + 200, top + 150, left + 280, top + 210))
                                        and max(abs(a - b) for a, b in zip(
                                            s.pixel(left + 5, top + 5), colours[name])) <= 24, 20)
            self.assertIsNotNone(shot, typed)
        self.dialogs()("click", E, 2)
        self.dialog_gone(E)
        self.assertEqual(self.end(saver), 0)

    def test_undecodable_and_thin_pictures(self):
        folder = self.picture_folder("bad")
        with open(os.path.join(folder, "1-broken.jpg"), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0 not a picture" * 10)
        self.make_picture(folder, "2-thin.bmp", (1, 1000), "flat:ffffff")
        self.write_settings(dir=folder)
        saver = self.open_settings_dialog()
        self.open_effects_dialog()
        left, top, right, bottom = map(int, self.dialogs()("rect", E, PREVIEW).split())
        middle = (top + bottom) // 2
        self.dialogs()("click", E, 1012)
        self.wait_text(E, PATH_LINE, harness.windows_path(os.path.join(folder, "1-broken.jpg")))
        # The failure line, centred over the preview.
        shot = self.wait_for_screen(lambda s: s.count(lambda p: not harness.is_black(p),
                                                      (left + 20, middle - 6, right - 20, middle + 6)) > 100)
        self.assertIsNotNone(shot, "no failure line")
        self.dialogs()("click", E, 1012)
        self.wait_text(E, PATH_LINE, harness.windows_path(os.path.join(folder, "2-thin.bmp")))
        shot = self.wait_for_screen(lambda s: s.count(lambda p: min(p) > 200, (left + 230, top + 10, left + 250, top + 30)))
        self.assertIsNotNone(shot, "no thin picture")
        self.dialogs()("click", E, 2)
        self.dialog_gone(E)
        self.assertEqual(self.end(saver), 0)

    def test_input_during_a_preview_waits_for_its_end(self):
        folder = self.folder_of("two", ("a.jpg", (480, 360), "photo"), ("b.jpg", (480, 360), "photo"))
        self.write_settings(dir=folder)
        traced = ["gdi32.BitBlt", "gdi32.DeleteDC"]
        saver = self.open_settings_dialog(self.start_traced_saver(traced, "/c"))
        self.open_effects_dialog()
        d = self.dialogs()
        d("click", E, 1018)
        d("set", E, NUMBER, "23")  # nineteen thousand copies: long enough to click into

        def back_buffer(calls):
            sources = [args[5] for name, args in calls if name == "gdi32.BitBlt"]
            return max(set(sources), key=sources.count) if sources else None

        def copies_so_far():
            calls = self.relay_sequence(traced)
            back = back_buffer(calls)
            return sum(1 for name, args in calls if name == "gdi32.BitBlt" and args[5] == back)

        d("click", E, 1012)
        self.assertTrue(self.wait_until(lambda: len(self.relay_calls("gdi32.BitBlt")) > 2000, 60))
        # The switches and the arrows act at once, while the preview goes on.
        d("click", E, 1017)
        d("arrow", E, 31, "up")
        d("click", E, 1012)
        self.assertTrue(self.wait_until(lambda: self.text(E, ENABLED_COUNT) == "40 of 40" and
                                        self.text(E, NUMBER, False) == "24", 30))
        during = copies_so_far()
        self.assertTrue(self.wait_until(lambda: copies_so_far() > during + 100, 30), "the preview stopped")
        # The held "Show effect" runs the next preview after this one.
        self.wait_text(E, PATH_LINE, harness.windows_path(os.path.join(folder, "b.jpg")), 60)
        self.assertTrue(self.wait_until(lambda: copies_so_far() > effect_copies(23) + 2000, 60))
        d("close", E)
        d("click", E, 2)
        self.assertTrue(self.dialog_gone(E, 60), "the dialog did not close after the preview")
        self.assertEqual(self.end(saver), 0)

        calls = self.relay_sequence(traced)
        back = back_buffer(calls)
        composed = [i for i, (name, args) in enumerate(calls) if name == "gdi32.BitBlt" and args[0] == back]
        self.assertEqual(len(composed), 2, "two previews, one after the other")
        copies = [sum(1 for name, args in calls[start:end] if name == "gdi32.BitBlt" and args[5] == back)
                  for start, end in zip(composed, composed[1:] + [len(calls)])]
        # Each preview ran whole, the second after the first, not inside it.
        self.assertEqual(copies, [effect_copies(23), effect_copies(24)])
        released = [i for i, (name, args) in enumerate(calls) if name == "gdi32.DeleteDC" and args[0] == back]
        self.assertEqual(len(released), 1, "the back buffer is released once")
        self.assertGreater(released[0], max(i for i, (name, args) in enumerate(calls)
                                            if name == "gdi32.BitBlt" and back in (args[0], args[5])))

    def test_ten_previews_leave_no_gdi_objects_behind(self):
        folder = self.folder_of("two", ("a.jpg", (640, 480), "photo"), ("b.bmp", (200, 150), "photo"))
        self.write_settings(dir=folder)
        saver = self.open_settings_dialog()
        counts = []
        for _ in range(10):
            self.open_effects_dialog()
            self.dialogs()("click", E, 1012)
            self.dialogs()("click", E, 2)  # held until the preview has ended
            self.assertTrue(self.dialog_gone(E))
            counts.append(int(self.dialogs()("gdi", S)))
        self.assertGreater(counts[0], 0)
        self.assertLessEqual(counts[-1], counts[1], counts)
        self.assertEqual(self.end(saver), 0)

    def test_both_dialogs_at_96_and_144_dpi(self):
        folder = self.folder_of("two", ("a.jpg", (640, 480), "photo"), ("b.jpg", (640, 480), "photo"))
        self.write_settings(dir=folder)
        widths = {}
        self.addCleanup(self.registry, "delete", r"HKCU\Control Panel\Desktop", "/v", "LogPixels")
        for dpi in (96, 144):
            self.registry("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi))
            saver = self.open_settings_dialog()
            left, top, right, bottom = map(int, self.dialogs()("rect", S, 0).split())
            widths[dpi] = right - left
            self.screenshot("settings-%d" % dpi)
            self.open_effects_dialog()
            self.dialogs()("click", E, 1012)
            self.wait_text(E, PATH_LINE, harness.windows_path(os.path.join(folder, "a.jpg")))
            time.sleep(1)
            self.screenshot("effects-%d" % dpi)
            left, top, right, bottom = map(int, self.dialogs()("rect", E, PREVIEW).split())
            self.assertEqual((right - left, bottom - top), (480, 360))
            self.dialogs()("click", E, 2)
            self.dialog_gone(E)
            self.assertEqual(self.end(saver), 0)
        self.assertAlmostEqual(widths[144] / widths[96], 1.5, delta=0.1)


if __name__ == "__main__":
    harness.main()
