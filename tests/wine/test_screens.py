"""The show on screens of other shapes and depths: wide and portrait screens, an 8-bit
screen, and two overlapping monitors (the only kind Xvfb gives Wine). Each picture must end
centred and whole on the screen, whatever effect brought it."""

import os
import shutil
import tempfile

import harness
import pictures

# A landscape picture larger than every screen, a portrait one, and a small one to enlarge.
PICTURES = (("a-wide.jpg", (2000, 1200)), ("b-tall.bmp", (600, 1000)), ("c-small.jpg", (320, 200)))
SCREENS = os.environ.get("VELMORA_SCREENS", "1366x768x24 1680x1050x24 768x1366x24 1024x768x8").split()
FOLDER = []  # made once for all screens


def setUpModule():
    os.makedirs(harness.TEST_ROOT, exist_ok=True)
    FOLDER.append(tempfile.mkdtemp(prefix="screens-", dir=harness.TEST_ROOT))


def tearDownModule():
    shutil.rmtree(FOLDER[0], ignore_errors=True)


class Screen(harness.WineTestCase):
    """Shows the three pictures in catalogue order with every effect enabled."""
    tolerance = 6.0  # mean difference per channel from the reference picture

    def show_each_picture(self, area=None):
        width, height = area or (self.display.width, self.display.height)
        folder = FOLDER[0]
        paths = [os.path.join(folder, name) if os.path.exists(os.path.join(folder, name))
                 else self.make_picture(folder, name, size, "photo") for name, size in PICTURES]
        self.write_settings(dir=folder, speed=5000, random=0)
        saver = self.start_saver("/s")
        window = self.wait_for_window("Screen Saver") if self.geometry.endswith("x8") else "root"
        for path, (name, size) in zip(paths, PICTURES):
            w, h = pictures.fitted_size(*size, width, height)
            box = ((width - w) // 2, (height - h) // 2, (width - w) // 2 + w, (height - h) // 2 + h)
            expected = pictures.reference(path, (w, h))

            def whole(shot):
                return (pictures.mean_difference(shot, expected, box[0], box[1]) < self.tolerance and
                        pictures.strays(shot, expected, box[0], box[1]) < w * h // 1000 and
                        shot.bounding_box(lambda p: max(p) > 24) == box)
            shot = self.wait_for_screen(whole, timeout=30, interval=0.3, window=window)
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


if __name__ == "__main__":
    harness.main()
