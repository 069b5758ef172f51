"""The picture show under Wine: fitting, failures, order, responsiveness, the greeting."""

import os
import time

import harness
import pictures
from artwork import Artwork

QUIET = {"enable%d" % n: 0 for n in range(1, 41)}  # every picture by plain copy


def is_grey_text(p):
    return p == (200, 200, 200)


class PictureShow(harness.WineTestCase):

    def show(self, folder, **settings):
        values = dict(QUIET, dir=folder, speed=60000, random=0)
        values.update(settings)
        self.write_settings(**values)
        return self.start_saver("/s")

    def test_first_picture_is_fitted_and_centred(self):
        folder = self.picture_folder()
        path = self.make_picture(folder, "wide.jpg", (1500, 1000), "photo")
        saver = self.show(folder)
        width, height = pictures.fitted_size(1500, 1000, self.display.width, self.display.height)
        self.assertEqual((width, height), (1024, 682))
        left, top = (self.display.width - width) // 2, (self.display.height - height) // 2
        shot = self.wait_for_screen(lambda s: not harness.is_black(s.pixel(512, 384)))
        self.assertIsNotNone(shot, "no picture appeared")
        time.sleep(0.5)
        shot = self.screenshot("fitted")
        self.assertEqual(shot.bounding_box(lambda p: max(p) > 24), (left, top, left + width, top + height))
        difference = pictures.mean_difference(shot, pictures.reference(path, (width, height)), left, top)
        self.assertLess(difference, 6.0)
        self.assertTrue(saver.running())

    def test_small_picture_is_enlarged_and_large_one_kept_when_asked(self):
        folder = self.picture_folder()
        self.make_picture(folder, "small.bmp", (200, 300), "flat:3080c0")
        self.show(folder, enlarge=0)
        shot = self.wait_for_screen(lambda s: s.pixel(512, 384) == (0x30, 0x80, 0xC0))
        self.assertIsNotNone(shot)
        self.assertEqual(shot.bounding_box(lambda p: not harness.is_black(p)), (412, 234, 612, 534))

    def test_undecodable_file_shows_its_line_and_the_show_goes_on(self):
        folder = self.picture_folder()
        with open(os.path.join(folder, "a-broken.jpg"), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0 this is no picture" * 10)
        self.make_picture(folder, "b-good.bmp", (640, 480), "flat:20a040")
        saver = self.show(folder, speed=1500)
        line = self.wait_for_screen(lambda s: s.pixel(512, 384) != (0, 0, 0) or
                                    s.count(lambda p: p == (255, 255, 255), (0, 370, 1024, 400)) > 100)
        self.assertIsNotNone(line)
        self.assert_failure_line(line)
        good = self.wait_for_screen(lambda s: s.pixel(512, 384) == (0x20, 0xA0, 0x40))
        self.assertIsNotNone(good, "the next picture never came")
        self.assertTrue(saver.running())

    def test_failure_line_after_the_greeting_keeps_its_background(self):
        folder = self.picture_folder()
        self.make_picture(folder, "a-blue.bmp", (1024, 768), "flat:102080")
        with open(os.path.join(folder, "b-broken.jpg"), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0 this is no picture" * 10)
        self.write_settings(**dict(QUIET, dir=folder, speed=1500, random=0))
        saver = self.start_saver("/s", faked_time="2026-06-29 12:00:00")
        greeted = self.wait_for_screen(lambda s: s.pixel(512, 384) == (0x10, 0x20, 0x80) and
                                       s.bounding_box(is_grey_text) is not None)
        self.assertIsNotNone(greeted, "no greeting over the first picture")
        line = self.wait_for_screen(lambda s: s.count(lambda p: p == (255, 255, 255), (0, 370, 1024, 400)) > 100)
        self.assertIsNotNone(line, "the failure line has no background of its own")
        self.keep(line, "failure-line-after-greeting")
        self.assert_failure_line(line)
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)

    def assert_failure_line(self, shot):
        """Black text on the platform's white text background, centred on one line."""
        box = shot.bounding_box(lambda p: p == (255, 255, 255))
        self.assertIsNotNone(box, "no failure line")
        left, top, right, bottom = box
        self.assertLess(abs((left + right) / 2 - 512), 3)
        self.assertLess(abs((top + bottom) / 2 - 384), 3)
        self.assertLess(bottom - top, 30)

    def test_catalogue_order_when_not_random(self):
        folder = self.picture_folder()
        colours = [(0xC0, 0x20, 0x20), (0x20, 0xC0, 0x20), (0x20, 0x20, 0xC0)]
        for name, colour in zip(("c.bmp", "A.bmp", "b.bmp"), colours):
            self.make_picture(folder, name, (320, 240), "flat:%02x%02x%02x" % colour)
        self.show(folder, speed=700)
        seen = []
        deadline = time.monotonic() + 12
        while time.monotonic() < deadline and len(seen) < 5:
            p = self.screenshot().pixel(512, 384)
            if p in colours and (not seen or seen[-1] != p):
                seen.append(p)
        # A.bmp, b.bmp, c.bmp, then again from the top.
        self.assertEqual(seen[:5], [colours[1], colours[2], colours[0], colours[1], colours[2]])

    def test_missing_or_empty_folder_gives_the_animation(self):
        art = Artwork()
        for folder in (os.path.join(self.temp, "nowhere"), self.picture_folder("empty")):
            with self.subTest(folder=folder):
                self.write_settings(dir=folder)
                saver = self.start_saver("/s")
                shot = self.wait_for_screen(lambda s: art.banner_at(s, 393, 300), timeout=5)
                self.assertIsNotNone(shot, "no banner")
                self.xdotool("key", "space")
                self.assertEqual(self.wait_for_exit(saver), 0)

    def test_mouse_movement_during_a_large_decode_ends_at_once(self):
        folder = self.picture_folder()
        self.make_picture(folder, "huge.jpg", (8000, 6000), "gradient")
        self.place_pointer(100, 100)
        saver = self.show(folder)
        time.sleep(0.3)  # the first decode has begun, well before its end
        self.xdotool("mousemove", "160", "160")
        moved = time.monotonic()
        while saver.running() and time.monotonic() - moved < 5:
            time.sleep(0.005)
        elapsed = time.monotonic() - moved
        self.assertEqual(self.wait_for_exit(saver), 0)
        print("ended %.0f ms after the move" % (elapsed * 1000))
        self.assertLess(elapsed, 0.2)

    def test_greeting_on_the_twenty_ninth_of_june_only(self):
        folder = self.picture_folder()
        self.make_picture(folder, "blue.bmp", (1024, 768), "flat:102080")
        # Started shortly before midnight (leaving room for the Wine server's start-up), the
        # greeting goes on into 30 June; a saver started on 28 June never shows it.
        for day, greeted in (("2026-06-29 23:59:30", True), ("2026-06-28 12:00:00", False)):
            with self.subTest(day=day):
                self.write_settings(**dict(QUIET, dir=folder, speed=800, random=0))
                started = time.monotonic()
                saver = self.start_saver("/s", faked_time=day)
                shot = self.wait_for_screen(lambda s: s.pixel(512, 384) == (0x10, 0x20, 0x80))
                self.assertIsNotNone(shot)
                self.assert_greeting(self.screenshot(), greeted)
                if greeted:
                    time.sleep(max(0.0, 32 - (time.monotonic() - started)))  # past midnight
                    self.assert_greeting(self.screenshot(), greeted)
                self.xdotool("key", "space")
                self.assertEqual(self.wait_for_exit(saver), 0)

    def assert_greeting(self, shot, expected):
        text = shot.bounding_box(is_grey_text)
        if not expected:
            self.assertIsNone(text)
            return
        self.assertIsNotNone(text, "no greeting")
        left, top, right, bottom = text
        self.assertLess(bottom, 40)
        self.assertLess(abs((left + right) / 2 - 512), 4)

if __name__ == "__main__":
    harness.main()
