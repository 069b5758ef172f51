"""Memory that runs out in the middle of a picture change. The fault build of the saver and
its library (fault-build/ of the tested build) fails the allocations VELMORA_FAIL_ALLOCATION names;
each failure must end on the saver's failure line for that picture (or, for the picture
order, on the animation it shows when it has no pictures), never in a crash, and the
saver must go on and end cleanly. Last, the largest picture the library takes, in the
shipped 32-bit saver, whose address space is all it has."""

import os
import re
import shutil
import subprocess
import time

import harness
from artwork import Artwork

FAULT_BUILD = os.path.join(harness.ROOT, "out", harness.BUILD, "fault-build")
QUIET = {"enable%d" % n: 0 for n in range(1, 41)}
COLOUR = (0x20, 0xA0, 0x40)


def failure_line(shot):
    """The box of the failure line (black text on white, one line, centred), or None."""
    if shot.count(lambda p: p == (255, 255, 255), (0, 370, shot.width, 400)) < 100:
        return None
    left, top, right, bottom = shot.bounding_box(lambda p: p == (255, 255, 255))
    centred = abs((left + right) / 2 - shot.width / 2) < 3 and abs((top + bottom) / 2 - shot.height / 2) < 3
    return (left, top, right, bottom) if centred and bottom - top < 30 else None


class FaultBuild(harness.WineTestCase):

    @classmethod
    def setUpClass(cls):
        if not os.path.exists(os.path.join(FAULT_BUILD, "Velmora.scr")):
            raise AssertionError("the fault build is missing: build out/" + harness.BUILD)
        super().setUpClass()

    def start_failing(self, failing, picture, **settings):
        """The fault build on a folder of one picture of `picture` (size) pixels."""
        folder = self.picture_folder()
        name = "picture.jpg" if picture[0] > self.display.width else "picture.bmp"
        self.make_picture(folder, name, picture, "flat:%02x%02x%02x" % COLOUR)
        self.write_settings(**dict(QUIET, dir=folder, speed=60000, random=0, **settings))
        directory = os.path.join(self.temp, "fault-build")
        os.makedirs(directory, exist_ok=True)
        for name in ("Velmora.scr", "picdll.dll"):
            shutil.copy(os.path.join(FAULT_BUILD, name), directory)
        self.env = dict(type(self).env, VELMORA_FAIL_ALLOCATION=failing)
        return self.start_saver("/s", directory=directory)

    def assert_ends_on_the_failure_line(self, failing, picture=(640, 480), **settings):
        with self.subTest(failing=failing):
            saver = self.start_failing(failing, picture, **settings)
            shot = self.wait_for_screen(lambda s: failure_line(s) is not None, timeout=20)
            self.assertIsNotNone(shot, "no failure line")
            self.assert_still_running(saver, 1.0)
            self.xdotool("key", "space")
            self.assertEqual(self.wait_for_exit(saver), 0)


class TrueColour(FaultBuild):

    def test_the_picture_shows_when_nothing_fails(self):
        saver = self.start_failing("", (640, 480))
        self.assertIsNotNone(self.wait_for_screen(lambda s: s.pixel(512, 384) == COLOUR))
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)

    def test_reading_decoding_and_the_screen_bitmap(self):
        for failing in ("file-mapping", "rgb-block", "screen-bitmap"):
            self.assert_ends_on_the_failure_line(failing)

    def test_fitting_a_large_picture(self):
        for failing in ("scaled-block", "resize"):
            self.assert_ends_on_the_failure_line(failing, (1600, 1200), reduce=1)

    def test_no_memory_for_the_order_gives_the_animation(self):
        saver = self.start_failing("pending-list", (640, 480))
        art = Artwork()
        self.assertIsNotNone(self.wait_for_screen(lambda s: art.banner_at(s, 393, 300)), "no banner")
        self.assert_still_running(saver, 1.0)
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)


class PaletteColour(FaultBuild):
    geometry = "1024x768x8"

    def test_quantising_and_the_palette_bitmap(self):
        for failing in ("quantise", "palette-block", "palette-bitmap"):
            self.assert_ends_on_the_failure_line(failing)


class LargestPicture(harness.WineTestCase):
    """A progressive JPEG of 16384 x 8192 pixels, the library's limit of 128 Mi, shown by
    the 32-bit saver: its coefficients and its RGB take some 800 MiB of its address space."""
    SIZE = (16384, 8192)

    def picture(self):
        """Made once per checkout (cjpeg takes a while), kept in out/."""
        path = os.path.join(harness.ROOT, "out", "test-pictures", "limit-%dx%d-progressive.jpg" % self.SIZE)
        if not os.path.exists(path):
            os.makedirs(os.path.dirname(path), exist_ok=True)
            width, height = self.SIZE
            # Bands of colour over a ramp: cheap to make, not trivially flat to decode.
            row = bytes(v for x in range(width) for v in (x * 255 // width, (x // 64) % 2 * 160, 96))
            with open(path + ".part", "wb") as out:
                cjpeg = subprocess.Popen(["cjpeg", "-progressive", "-quality", "80"], stdin=subprocess.PIPE, stdout=out)
                cjpeg.stdin.write(b"P6\n%d %d\n255\n" % self.SIZE)
                for _ in range(height):
                    cjpeg.stdin.write(row)
                cjpeg.stdin.close()
                self.assertEqual(cjpeg.wait(), 0)
            os.replace(path + ".part", path)
        return path

    @staticmethod
    def memory(saver):
        """The process's peak figures as Linux counts them, in MiB."""
        with open("/proc/%d/status" % saver.process.pid) as status:
            return {k: int(v) // 1024 for k, v in re.findall(r"(Vm\w+):\s*(\d+) kB", status.read())}

    def test_is_shown_or_fails_on_its_line_never_crashes(self):
        folder = self.picture_folder()
        shutil.copy(self.picture(), os.path.join(folder, "limit.jpg"))
        self.write_settings(**dict(QUIET, dir=folder, speed=60000, random=0, reduce=1))
        saver = self.start_saver("/s")
        shot = self.wait_for_screen(lambda s: failure_line(s) is not None or
                                    s.bounding_box(lambda p: max(p) > 24) == (0, 128, 1024, 640), timeout=120)
        self.assertIsNotNone(shot, "neither the picture nor the failure line")
        # Wine reserves most of a 32-bit process's address space up front, so what the
        # picture took shows as the peak resident memory, not as the address space.
        print("the limit picture %s; peak resident %d MiB" %
              ("failed on its line" if failure_line(shot) else "shown", self.memory(saver)["VmHWM"]))
        self.assertIsNone(failure_line(shot), "the 32-bit saver could not show the largest picture")
        self.assert_still_running(saver, 0.5)
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)


if __name__ == "__main__":
    harness.main()
