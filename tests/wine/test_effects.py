"""Effects on a real window under Wine: each family brings the whole picture in, the
screen is black between a clearing effect and the next transition, and input during a
long effect ends the saver at once."""

import time

import harness
import pictures

# Effects of every family: strips, blinds, blocks, diagonals, corners, combs, random
# dissolves, bands and pushes.
SAMPLE_EFFECTS = (1, 6, 13, 16, 18, 7, 10, 22, 24, 27, 32, 25, 35, 37, 38, 40)
BLACKNESS = 0x42
SRCCOPY = 0xCC0020


def back_buffer_and_window(calls):
    """The back buffer's and the window's DCs, from logged (name, args) calls: the first
    BitBlt composes a picture into the back buffer, the first copy from it goes to the window."""
    blits = [args for name, args in calls if name.endswith("BitBlt")]
    back = blits[0][0]
    return back, next(args[0] for args in blits if args[5] == back)


def finishing_stroke(calls, window, name, rop):
    """Index of the effect's last call: the stroke over the whole window that completes
    every effect, and that would hide any gap the effect left."""
    last = max(i for i, (n, args) in enumerate(calls) if n.endswith(name) and args[0] == window)
    args = calls[last][1]
    assert args[1:5] == [0, 0, 640, 480] and args[-1] == rop, "no finishing stroke: %s" % args
    return last


def effect_finished(calls):
    try:
        back, window = back_buffer_and_window(calls)
    except (IndexError, StopIteration):
        return False
    return any(name.endswith("BitBlt") and args[0] == window and args[1:5] == [0, 0, 640, 480]
               and args[-1] == SRCCOPY for name, args in calls)


def replay(calls, window, back, source, start, width=640, height=480):
    """The window (RGB rows) as the logged copies and black fills leave it from `start`,
    with `source` as the back buffer's content."""
    screen = bytearray(start)
    for name, args in calls:
        if args[0] != window:
            continue
        x, y, w, h = args[1:5]
        if name.endswith("PatBlt") and args[5] == BLACKNESS:
            sx, sy, data = x, y, bytes(width * height * 3)
        elif name.endswith("BitBlt") and args[5] == back and args[8] == SRCCOPY:
            sx, sy, data = args[6], args[7], source
        else:
            continue
        left = max(0, -x, -sx)
        right = min(w, width - x, width - sx)
        for row in range(max(0, -y, -sy), min(h, height - y, height - sy)):
            if right > left:
                to, fro = ((y + row) * width + x + left) * 3, ((sy + row) * width + sx + left) * 3
                screen[to:to + (right - left) * 3] = data[fro:fro + (right - left) * 3]
    return bytes(screen)


def only_effect(number, **settings):
    values = {"enable%d" % n: int(n == number) for n in range(1, 41)}
    values.update(settings)
    return values


class Transitions(harness.WineTestCase):
    geometry = "640x480x24"

    def test_each_family_brings_the_whole_picture_in(self):
        folder = self.picture_folder()
        path = self.make_picture(folder, "photo.bmp", (640, 480), "photo")
        expected = pictures.reference(path)
        for effect in SAMPLE_EFFECTS:
            with self.subTest(effect=effect):
                self.write_settings(**only_effect(effect, dir=folder, speed=60000))
                saver = self.start_traced_saver(["gdi32.BitBlt", "gdi32.PatBlt"], "/s")
                self.wait_for_window("Screen Saver", saver)
                shot = self.wait_for_screen(lambda s: s.data == expected.data, timeout=20)
                self.assertIsNotNone(shot, "the picture never came in whole")
                # Some effects still draw off the screen once the picture looks whole.
                self.wait_for_calls(["gdi32.BitBlt", "gdi32.PatBlt"], effect_finished)
                self.xdotool("key", "space")
                self.assertEqual(self.wait_for_exit(saver), 0)
                # The screen as the effect's own frames left it, before the finishing copy.
                calls = self.relay_sequence(["gdi32.BitBlt", "gdi32.PatBlt"])
                back, window = back_buffer_and_window(calls)
                last = finishing_stroke(calls, window, "BitBlt", SRCCOPY)
                black = bytes(640 * 480 * 3)
                self.assertTrue(replay(calls[:last], window, back, expected.data, black) == expected.data,
                                "the effect's frames leave part of the picture out")

    def test_clearing_leaves_the_screen_black_before_the_next_transition(self):
        folder = self.picture_folder()
        self.make_picture(folder, "a.bmp", (640, 480), "flat:c04040")
        self.make_picture(folder, "b.bmp", (640, 480), "flat:40c040")
        for effect in (12, 16, 21, 33, 38):
            with self.subTest(effect=effect):
                self.write_settings(**only_effect(effect, dir=folder, speed=300, random=0, clearscreen=1))
                saver = self.start_traced_saver(["gdi32.BitBlt", "gdi32.PatBlt"], "/s")
                self.wait_for_window("Screen Saver", saver)
                second = self.wait_for_screen(lambda s: s.pixel(320, 240) == (0x40, 0xC0, 0x40))
                self.assertIsNotNone(second)
                self.xdotool("key", "space")
                self.assertEqual(self.wait_for_exit(saver), 0)
                self.assert_black_between_pictures()

    def test_first_shown_picture_comes_without_clearing(self):
        # A picture that fails to load first does not count as shown.
        folder = self.picture_folder()
        with open(folder + "/a-broken.bmp", "wb") as f:
            f.write(b"BM broken")
        self.make_picture(folder, "b.bmp", (640, 480), "flat:c04040")
        self.write_settings(**only_effect(12, dir=folder, speed=500, random=0, clearscreen=1))
        saver = self.start_traced_saver(["gdi32.BitBlt", "gdi32.PatBlt"], "/s")
        self.wait_for_window("Screen Saver", saver)
        self.assertIsNotNone(self.wait_for_screen(lambda s: s.pixel(320, 240) == (0xC0, 0x40, 0x40)))
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)
        calls = self.relay_sequence(["gdi32.BitBlt", "gdi32.PatBlt"])
        back, window = back_buffer_and_window(calls)
        first_copy = next(i for i, (name, args) in enumerate(calls) if name == "gdi32.BitBlt" and args[5] == back)
        self.assertFalse([args for name, args in calls[:first_copy] if name == "gdi32.PatBlt" and args[0] == window])

    def assert_black_between_pictures(self):
        """From the logged drawing calls: between the first picture's transition and the
        composing of the second picture (the clearing effect runs in between), black
        rectangles cover the whole window."""
        calls = [(name.split(".")[1], args)
                 for name, args in self.relay_sequence(["gdi32.BitBlt", "gdi32.PatBlt"])]
        back, window = back_buffer_and_window(calls)
        to_window = [i for i, (name, args) in enumerate(calls) if name == "BitBlt" and args[0] == window]
        # The second picture is composed in the back buffer after the first one's copies.
        second_compose = next(i for i, (name, args) in enumerate(calls)
                              if i > to_window[0] and name == "BitBlt" and args[0] == back)
        first_done = max(i for i in to_window if i < second_compose)
        clearing = calls[first_done + 1:second_compose]
        last = finishing_stroke(clearing, window, "PatBlt", BLACKNESS)
        # Without the finishing stroke, the clearing's own frames paint every pixel black.
        white = bytes([255]) * (640 * 480 * 3)
        self.assertEqual(replay(clearing[:last], window, back, white, white).count(255), 0)


class Responsiveness(harness.WineTestCase):
    geometry = "1024x768x24"

    def test_mouse_movement_during_a_long_effect_ends_at_once(self):
        folder = self.picture_folder()
        for name, colour in (("a.bmp", "c08020"), ("b.bmp", "2080c0")):
            self.make_picture(folder, name, (1024, 768), "flat:" + colour)
        for effect in (9, 23, 24):
            with self.subTest(effect=effect):
                # Back to back transitions, so that the move comes in the middle of one.
                self.write_settings(**only_effect(effect, dir=folder, speed=0))
                self.place_pointer(100, 100)
                saver = self.start_saver("/s")
                time.sleep(1.5)
                self.xdotool("mousemove", "150", "150")
                moved = time.monotonic()
                while saver.running() and time.monotonic() - moved < 5:
                    time.sleep(0.005)
                elapsed = time.monotonic() - moved
                self.assertEqual(self.wait_for_exit(saver), 0)
                print("effect %d: ended %.0f ms after the move" % (effect, elapsed * 1000))
                self.assertLess(elapsed, 0.2)

    def test_nothing_is_drawn_through_a_released_back_buffer(self):
        folder = self.picture_folder()
        self.make_picture(folder, "a.bmp", (1024, 768), "flat:c08020")
        self.write_settings(**only_effect(26, dir=folder, speed=0))
        saver = self.start_traced_saver(["gdi32.BitBlt", "gdi32.DeleteDC"], "/s")
        self.wait_for_window("Screen Saver", saver)
        time.sleep(1.5)  # transitions run back to back; the move lands inside one
        self.xdotool("mousemove", "300", "300")
        self.assertEqual(self.wait_for_exit(saver), 0)
        calls = self.relay_sequence(["gdi32.BitBlt", "gdi32.DeleteDC"])
        back, _ = back_buffer_and_window(calls)
        released = [i for i, (name, args) in enumerate(calls) if name == "gdi32.DeleteDC" and args[0] == back]
        self.assertEqual(len(released), 1, "the back buffer is released once")
        self.assertFalse([args for name, args in calls[released[0]:]
                          if name == "gdi32.BitBlt" and back in (args[0], args[5])])


if __name__ == "__main__":
    harness.main()
