"""The saver program under Wine: modes, ending on input, second instance, preview."""

import os
import subprocess
import time

import harness
from artwork import Artwork


class FullScreen(harness.WineTestCase):

    def test_animation_is_centred_with_its_banner(self):
        art = Artwork()
        saver = self.start_saver("/s")
        width, height = self.display.width, self.display.height
        frame_at = (width // 2 - 75, height // 3 - 26)
        banner_at = (width // 2 - 119, height // 3 + 44)
        seen = []
        deadline = time.monotonic() + 4
        while time.monotonic() < deadline:
            shot = self.screenshot()
            if not art.banner_at(shot, *banner_at):
                continue
            frame = art.frame_at(shot, *frame_at)
            if frame and (not seen or seen[-1] != frame):
                seen.append(frame)
            # Nothing but the frame and the banner is drawn.
            self.assertTrue(art.only_black_outside(shot, [(*frame_at, 150, 53), (*banner_at, 238, 17)]))
        self.assertGreaterEqual(len(seen), 3, "animation frames seen: %s" % seen)
        # Frames run forward; the first shows only once (too briefly to be sure to catch),
        # and after the last the animation starts again from the second.
        self.assertNotIn(1, seen[1:])
        for before, after in zip(seen, seen[1:]):
            self.assertTrue(after > before or before == 10, seen)
        self.assertTrue(saver.running())

    def test_small_mouse_movement_is_ignored_and_larger_one_ends(self):
        self.place_pointer(300, 300)
        saver = self.start_saver("/s")
        time.sleep(1)
        self.xdotool("mousemove", "302", "302")
        self.assert_still_running(saver)
        self.xdotool("mousemove", "303", "302")
        self.assertEqual(self.wait_for_exit(saver), 0)

    def test_key_press_ends(self):
        saver = self.start_saver("/s")
        time.sleep(1)
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)

    def test_click_ends(self):
        saver = self.start_saver("-S")
        time.sleep(1)
        self.xdotool("click", "1")
        self.assertEqual(self.wait_for_exit(saver), 0)

    def test_switches_of_the_full_screen_mode(self):
        # The last run is the 64-bit twin's, the one show that checks its pointer sizes.
        for switch, build in (("s", harness.DIST), ("S:1", harness.DIST), ("/s", harness.TWIN)):
            with self.subTest(switch=switch, build=build):
                saver = self.start_saver(switch, directory=self.install_dir(name=os.path.basename(build), build=build))
                time.sleep(0.5)
                self.xdotool("key", "space")
                self.assertEqual(self.wait_for_exit(saver), 0)

    def test_window_switching_is_swallowed(self):
        # The platform's default handling answers 0 as well, so what tells is whether it
        # is reached: only the last command, which the saver does not keep, may get there.
        saver = self.start_traced_saver(["user32.DefWindowProcA"], "/s")
        self.wait_for_window("Screen Saver", saver)
        commands = (0xF040, 0xF050, 0xF140, 0xF110)  # SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE, SC_ARRANGE
        for command in commands:
            self.assertEqual(self.probe("syscommand", "WindowsScreenSaverClass", "Screen Saver", hex(command)), "0")
        defaults = self.wait_for_calls(["user32.DefWindowProcA"],
                                       lambda calls: any(a[1:3] == [0x112, 0xF110] for _, a in calls))
        self.assertEqual([a[2] for _, a in defaults if a[1] == 0x112 and a[2] in commands], [0xF110])
        self.assert_still_running(saver, 0.5)
        self.wait_for_foreground("WindowsScreenSaverClass|Screen Saver")

    def test_second_start_brings_the_first_to_the_front(self):
        first = self.start_saver("/s")
        with self.parent_window(200, 150):
            time.sleep(0.5)
            second = self.start_saver("/s", wait_window=False)
            self.assertEqual(self.wait_for_exit(second), 0)
            self.wait_for_foreground("WindowsScreenSaverClass|Screen Saver")
            self.assertTrue(first.running())

class OtherModes(harness.WineTestCase):

    def test_unknown_switch_and_bad_preview_handles_exit_with_minus_one(self):
        for args in (("/x",), ("/p", "abc"), ("/p", "0"), ("/l",), ("/p", "999999")):
            with self.subTest(args=args):
                saver = self.start_saver(*args)
                self.assertEqual(self.wait_for_exit(saver), -1)
                self.assertTrue(self.probe("find", "WindowsScreenSaverClass", "").startswith("0|"))

    def test_password_change_goes_to_the_platform_with_its_owner(self):
        with self.parent_window() as (_, handle, _, _):
            for owner, expected in (("%d" % handle, handle), ("0", None), ("12345", None)):
                with self.subTest(owner=owner):
                    saver = self.start_traced_saver(["mpr.PwdChangePasswordA"], "/a", owner)
                    self.assertEqual(self.wait_for_exit(saver), 0)
                    calls = [line for line in self.relay_lines() if "Call mpr.PwdChangePasswordA(" in line]
                    self.assertEqual(len(calls), 1)
                    self.assertIn('"SCRSAVE"', calls[0])
                    args = self.relay_calls("mpr.PwdChangePasswordA")[0]
                    self.assertEqual(args[2:], [0, 0])
                    if expected:
                        self.assertEqual(args[1], expected)
                    else:  # no usable window given: the foreground window owns the dialog
                        self.assertNotEqual(args[1], 0)

    def test_preview_draws_the_frames_in_the_parent_and_ignores_input(self):
        # Wine shows nothing a child window of another process draws, so the frames are
        # checked as the calls that draw them.
        with self.parent_window() as (parent, handle, left, top):
            saver = self.start_traced_saver(["gdi32.BitBlt"], "/p", str(handle))
            blits = [args for _, args in self.wait_for_calls(["gdi32.BitBlt"], lambda c: len(c) >= 15)]
            # dc, x, y, width, height, source, x, y, rop: 150 x 53 frames at (0, 28)
            self.assertGreaterEqual(len(blits), 15)
            self.assertEqual({tuple(b[1:5]) for b in blits}, {(0, 28, 150, 53)})
            # Input goes to the platform, not to ending the preview.
            self.xdotool("mousemove", str(left + 40), str(top + 40))
            self.xdotool("mousemove", str(left + 90), str(top + 80))
            self.xdotool("click", "1")
            self.xdotool("key", "space")
            self.assert_still_running(saver)
            # The preview ends with its parent.
            parent.stdin.close()
            self.assertEqual(self.wait_for_exit(saver), 0)

    def test_preview_hands_help_to_the_parent(self):
        with self.parent_window() as (parent, handle, left, top):
            saver = self.start_saver("/p", str(handle))
            time.sleep(1)
            self.xdotool("mousemove", str(left + 50), str(top + 50))
            self.xdotool("click", "3")  # a right click asks for the context menu
            line = parent.stdout.readline().split()
            self.assertEqual(line[0], "contextmenu")
            self.assertEqual(line[1], "wparam=%d" % handle)
            self.assertTrue(saver.running())

if __name__ == "__main__":
    harness.main()
