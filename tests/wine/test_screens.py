"""The show on screens of other shapes and depths: wide and portrait screens, an 8-bit
screen, two overlapping monitors (Xvfb's kind), and monitors side by side (a dummy-driver
Xorg's). Each picture must end centred and whole on the screen, whatever effect brought it."""

import os
import shutil
import subprocess
import tempfile
import time

import harness
import pictures

# A landscape picture larger than every screen, a portrait one, and a small one to enlarge.
PICTURES = (("a-wide.jpg", (2000, 1200)), ("b-tall.bmp", (600, 1000)), ("c-small.jpg", (320, 200)))
SCREENS = os.environ.get("VELMORA_SCREENS", "1366x768x24 1680x1050x24 768x1366x24 1024x768x8").split()
FOLDER = []  # made once for all screens
# For the show on every monitor: one more picture than monitors, each of its own shape.
MONITOR_PICTURES = (("m1-wide.jpg", (2000, 1200)), ("m2-tall.jpg", (600, 1000)), ("m3-square.bmp", (900, 900)),
                    ("m4-small.jpg", (320, 200)))


def setUpModule():
    os.makedirs(harness.TEST_ROOT, exist_ok=True)
    FOLDER.append(tempfile.mkdtemp(prefix="screens-", dir=harness.TEST_ROOT))


def tearDownModule():
    shutil.rmtree(FOLDER[0], ignore_errors=True)


class Screen(harness.WineTestCase):
    """Shows the three pictures in catalogue order with every effect enabled."""
    tolerance = 6.0  # mean difference per channel from the reference picture

    @staticmethod
    def fitted_box(size, width, height):
        w, h = pictures.fitted_size(*size, width, height)
        return (width - w) // 2, (height - h) // 2, (width - w) // 2 + w, (height - h) // 2 + h

    def stands_whole(self, shot, path, size, area, origin=(0, 0)):
        """Whether the `area`-sized part of `shot` at `origin` shows the picture at `path`
        fitted, centred and whole on black."""
        width, height = area
        box = self.fitted_box(size, width, height)
        if (shot.width, shot.height) != (width, height):
            shot = shot.crop(*origin, width, height)
        expected = pictures.reference(path, (box[2] - box[0], box[3] - box[1]))
        return (pictures.mean_difference(shot, expected, box[0], box[1]) < self.tolerance and
                pictures.strays(shot, expected, box[0], box[1]) < expected.width * expected.height // 1000 and
                shot.bounding_box(lambda p: max(p) > 24) == box)

    def show_each_picture(self, area=None, origin=(0, 0), shown=PICTURES):
        """`area` is the primary screen's size, `origin` its top-left pixel in a screenshot."""
        width, height = area or (self.display.width, self.display.height)
        folder = FOLDER[0]
        paths = [os.path.join(folder, name) if os.path.exists(os.path.join(folder, name))
                 else self.make_picture(folder, name, size, "photo") for name, size in shown]
        self.write_settings(dir=folder, speed=5000, random=0)
        saver = self.start_saver("/s")
        window = self.wait_for_window("Screen Saver") if self.geometry.endswith("x8") else "root"
        for path, (name, size) in zip(paths, shown):
            box = self.fitted_box(size, width, height)
            shot = self.wait_for_screen(lambda shot: self.stands_whole(shot, path, size, (width, height), origin),
                                        timeout=30, interval=0.3, window=window)
            self.assertIsNotNone(shot, "%s never stood whole at %s on %s" % (name, box, self.geometry))
            self.keep(shot, "%s-%s" % (self.geometry, name))
        return saver


def screen_case(geometry):
    class Case(Screen):
        def test_every_picture_ends_centred_and_whole(self):
            saver = self.show_each_picture()
            self.xdotool("key", "space")
            self.assertEqual(self.wait_for_exit(saver), 0)
    Case.geometry = geometry
    # Wine draws on an 8-bit screen in a few colours of its own, not the picture's palette.
    Case.tolerance = 30.0 if geometry.endswith("x8") else Screen.tolerance
    Case.__name__ = Case.__qualname__ = "Screen_" + geometry
    return Case


for _geometry in SCREENS:
    globals()["Screen_" + _geometry] = screen_case(_geometry)


class OverlappingMonitors(Screen):
    """A larger second head over the first at 0,0: the saver fills the primary screen and
    covers the rest of the other, and input there ends it as anywhere."""
    geometry = "1024x768x24"
    xvfb_extra = ("-screen", "1", "1280x1024x24", "+xinerama", "-extension", "RANDR")

    def test_covers_keep_the_rest_black_and_end_on_input(self):
        saver = self.show_each_picture((1024, 768))
        self.assertFalse(self.probe("find", "VelmoraMonitorCover", "").startswith("0|"), "no cover")
        shot = self.screenshot("two-heads")
        self.assertEqual((shot.width, shot.height), (1280, 1024))
        self.assertTrue(shot.region_is(1024, 0, 256, 1024, harness.is_black), "the second head shows through")
        self.assertTrue(shot.region_is(0, 768, 1024, 256, harness.is_black), "the second head shows through")
        self.wait_for_foreground("WindowsScreenSaverClass|Screen Saver")
        self.xdotool("mousemove", "1200", "1000")
        self.assertEqual(self.wait_for_exit(saver), 0)
        self.assertTrue(self.probe("find", "VelmoraMonitorCover", "").startswith("0|"))



class SideBySide(Screen):
    """Monitors side by side (Windows' coordinates, the primary first): the saver fills the
    primary one, every other is covered in black, no monitor shows the desktop (painted a
    colour the show never has), and input on a cover ends the saver as input on it does.
    The pointer rests at `rest` when the saver starts; `end_by` is a move to a point, a
    click or a key."""
    monitors = [(1024, 768, 0, 0), (800, 600, 1024, 0)]
    rest = (5, 5)
    end_by = ("mousemove", 1400, 300)

    def set_the_scene(self):
        """Checks that Wine sees the layout, paints the desktop magenta, rests the pointer."""
        reported = sorted(tuple(map(int, line.split())) for line in self.probe("monitors").splitlines())
        self.assertEqual(reported, sorted((x, y, x + w, y + h) for w, h, x, y in self.monitors),
                         "Wine does not see the layout")
        subprocess.run(["xsetroot", "-solid", "#ff00ff"], env=self.env, check=True)
        self.place_pointer(*self.rest)

    def test_saver_fills_the_primary_and_covers_the_others(self):
        self.set_the_scene()
        saver = self.show_each_picture((1024, 768), self.display.to_x(0, 0), PICTURES[:1])
        shot = self.screenshot("side-by-side-%s" % type(self).__name__)
        for w, h, x, y in self.monitors[1:]:
            self.assertTrue(shot.region_is(*self.display.to_x(x, y), w, h, harness.is_black),
                            "the monitor at %d,%d is not black" % (x, y))
        self.end_saver(saver)

    def end_saver(self, saver):
        self.wait_for_foreground("WindowsScreenSaverClass|Screen Saver")
        if self.end_by[0] == "mousemove":
            self.xdotool("mousemove", *map(str, self.display.to_x(*self.end_by[1:])))
        else:
            self.xdotool(*self.end_by)
        self.assertEqual(self.wait_for_exit(saver), 0)
        self.assertTrue(self.probe("find", "VelmoraMonitorCover", "").startswith("0|"))

    def test_every_monitor_its_own_show(self):
        """monitors=1: each monitor shows its own picture fitted and centred at its own size,
        no two alike; the random passes hold every picture once; a monitor's window asks for
        its own pixels; input on a monitor that is not the primary ends the saver."""
        folder = self.picture_folder("every")
        made = [(os.path.join(folder, name), size) for name, size in MONITOR_PICTURES[:len(self.monitors) + 1]]
        for path, size in made:
            self.make_picture(folder, os.path.basename(path), size, "photo")
        self.write_settings(dir=folder, speed=2500, random=1, monitors=1, clearscreen=1)
        self.set_the_scene()
        saver = self.start_traced_saver(["kernel32.CreateFileA", "kernel32.CreateFileW",
                                         "user32.SetThreadDpiAwarenessContext"], "/s")
        self.wait_for_window("Screen Saver", saver)

        def on_each_monitor(shot):
            shown = []
            for w, h, x, y in self.monitors:
                found = [path for path, size in made if self.stands_whole(shot, path, size, (w, h),
                                                                          self.display.to_x(x, y))]
                if not found:
                    return None
                shown.append(found[0])
            return shown

        shot = self.wait_for_screen(on_each_monitor, timeout=60, interval=0.3)
        self.assertIsNotNone(shot, "not every monitor stood whole with a picture")
        self.keep(shot, "every-monitor-%s" % type(self).__name__)
        shown = on_each_monitor(shot)
        self.assertEqual(len(set(shown)), len(shown), "two monitors show the same picture")

        # Every pass of the random order opens each picture once, whichever monitor shows it.
        names = [os.path.basename(path) for path, _ in made]
        passes = 3
        self.assertTrue(self.wait_until(lambda: len(self.opened_pictures(names)) >= passes * len(names), 90),
                        "too few changes")
        opened = self.opened_pictures(names)
        for start in range(0, passes * len(names), len(names)):
            self.assertEqual(sorted(opened[start:start + len(names)]), sorted(names), opened)
        # The monitors' windows are made per-monitor DPI aware (version 2), then the thread
        # goes back to the process's own awareness (calls from the saver's own image only;
        # Wine's libraries switch too).
        begin, end = harness.image_range(os.path.join(harness.DIST, "Velmora.scr"))
        contexts = ["%08x" % (int(line.split("(")[1].split(")")[0], 16) & 0xFFFFFFFF) for line in self.relay_lines()
                    if "Call user32.SetThreadDpiAwarenessContext(" in line and
                    begin <= int(line.split(" ret=")[1].split()[0], 16) < end]
        # Without version 2 (Wine's user32), version 1 follows.
        self.assertIn(contexts[:-1], (["fffffffc"], ["fffffffc", "fffffffd"]), contexts)
        self.assertNotIn(contexts[-1], ("fffffffc", "fffffffd"), contexts)
        self.end_saver(saver)

    def test_a_failure_shows_on_its_monitor_and_a_layout_change_ends_the_show(self):
        """monitors=1, in catalogue order: the second picture is broken, so its failure line
        (black on white, centred) belongs to the second monitor. Wine does not pass on X's
        change of outputs as WM_DISPLAYCHANGE, so the probe sends it to every top-level
        window as Windows does."""
        folder = self.picture_folder("change")
        for name, size in MONITOR_PICTURES[:3:2]:
            self.make_picture(folder, name, size, "photo")
        with open(os.path.join(folder, MONITOR_PICTURES[1][0]), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0 this is no picture" * 10)
        self.write_settings(dir=folder, speed=4000, monitors=1, random=0)
        self.set_the_scene()
        saver = self.start_saver("/s")
        self.wait_for_foreground("WindowsScreenSaverClass|Screen Saver")

        def white(p):
            return p == (255, 255, 255)
        w, h, x, y = self.monitors[1]
        second = (*self.display.to_x(x, y), w, h)
        shot = self.wait_for_screen(lambda s: s.crop(*second).count(white) > 100, timeout=30)
        self.assertIsNotNone(shot, "no failure line on the second monitor")
        left, top, right, bottom = shot.crop(*second).bounding_box(white)
        self.assertLess(abs((left + right) / 2 - w / 2), 3)
        self.assertLess(abs((top + bottom) / 2 - h / 2), 3)
        self.probe("displaychange")
        self.assertEqual(self.wait_for_exit(saver, 20), 0)

    def opened_pictures(self, names):
        """The pictures read whole, in order (the sequential-scan open; a size query opens
        the file without it)."""
        opened = []
        for line in self.relay_lines():
            if "Call KERNEL32.CreateFileA(" in line or "Call KERNEL32.CreateFileW(" in line:
                flags = line.split(")")[0].rsplit(",", 2)[-2]  # the last but one argument
                if harness.signed(int(flags, 16)) == 0x08000000:
                    opened += [name for name in names if "\\\\" + name + '"' in line]
        return opened

    def test_preview_and_settings_make_no_covers(self):
        with self.parent_window() as (parent, handle, _, _):
            preview = self.start_saver("/p", str(handle))
            self.assert_still_running(preview)
            self.assertTrue(self.probe("find", "VelmoraMonitorCover", "").startswith("0|"))
            parent.stdin.close()
            self.assertEqual(self.wait_for_exit(preview), 0)
        self.open_settings_dialog()
        self.assertTrue(self.probe("find", "VelmoraMonitorCover", "").startswith("0|"))


class SideBySideLeft(SideBySide):
    """Left of the primary, at negative coordinates; a click on the cover ends."""
    monitors = [(1024, 768, 0, 0), (800, 600, -800, 0)]
    rest = (-400, 300)
    end_by = ("click", "1")
    test_preview_and_settings_make_no_covers = None
    test_a_failure_shows_on_its_monitor_and_a_layout_change_ends_the_show = None


class SideBySideAbove(SideBySide):
    """Above the primary; a key pressed while the pointer rests on the cover ends."""
    monitors = [(1024, 768, 0, 0), (800, 600, 100, -600)]
    rest = (500, -300)
    end_by = ("key", "space")
    test_preview_and_settings_make_no_covers = None
    test_a_failure_shows_on_its_monitor_and_a_layout_change_ends_the_show = None


class SideBySideThree(SideBySide):
    """Three of mixed sizes, their tops not aligned, one of them portrait."""
    monitors = [(1024, 768, 0, 0), (800, 600, -800, 168), (768, 1024, 1024, -128)]
    end_by = ("mousemove", 1500, 800)
    test_preview_and_settings_make_no_covers = None
    test_a_failure_shows_on_its_monitor_and_a_layout_change_ends_the_show = None


if __name__ == "__main__":
    harness.main()
