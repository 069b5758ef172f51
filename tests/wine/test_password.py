"""The platform's screen-saver password, answered by a stand-in password library."""

import os
import time

import harness

DESKTOP = r"HKCU\Control Panel\Desktop"
SPI_SCREENSAVERRUNNING = 97


class Password(harness.WineTestCase):

    def setUp(self):
        super().setUp()
        self.answer = os.path.join(self.temp, "answer.txt")
        self.log = os.path.join(self.temp, "asked.log")
        self.env = dict(self.env, VELMORA_TEST_PASSWORD_ANSWER=harness.windows_path(self.answer),
                        VELMORA_TEST_PASSWORD_LOG=harness.windows_path(self.log))
        self.library = os.path.join(harness.HELPERS, "PASSWORD.CPL")

    def tearDown(self):
        self.registry("delete", DESKTOP, "/v", "ScreenSaveUsePassword")
        super().tearDown()

    def use_password(self, value):
        self.registry("add", DESKTOP, "/v", "ScreenSaveUsePassword", "/t", "REG_DWORD", "/d", str(value))

    def answer_with(self, text):
        with open(self.answer, "w") as f:
            f.write(text)

    def questions(self):
        if not os.path.exists(self.log):
            return 0
        with open(self.log) as f:
            return sum(1 for line in f if line.startswith("asked"))

    def running_flags(self):
        return [call[1] for call in self.relay_calls("user32.SystemParametersInfoA")
                if call[0] == SPI_SCREENSAVERRUNNING]

    def test_refusal_keeps_the_saver_and_acceptance_ends_it(self):
        self.use_password(1)
        self.answer_with("0 close")  # refuse, then at once ask to close again
        saver = self.start_traced_saver(["user32.SystemParametersInfoA", "user32.SetCursor"], "/s",
                                        directory=self.install_dir([self.library]))
        self.wait_for_window("Screen Saver", saver)
        self.assertEqual(self.running_flags(), [1])
        self.xdotool("key", "space")
        time.sleep(1.5)
        # The second request came within 200 ms of the dialog's end and was not asked.
        self.assertEqual(self.questions(), 1)
        self.assertTrue(saver.running())
        # The refusal hides the cursor again before the close request returns.
        lines = self.relay_lines()
        first = next(i for i, line in enumerate(lines) if "Call window proc" in line and "msg=WM_CLOSE" in line)
        end = next(i for i in range(first, len(lines)) if "Ret  window proc" in lines[i] and "msg=WM_CLOSE" in lines[i])
        self.assertTrue(any("Call user32.SetCursor(00000000)" in line for line in lines[first:end]))

        self.answer_with("1")
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)
        self.assertEqual(self.questions(), 2)
        self.assertEqual(self.running_flags(), [1, 0])

    def test_mouse_movement_asks_too(self):
        self.use_password(1)
        self.answer_with("1")
        self.place_pointer(200, 200)
        saver = self.start_saver("/s", directory=self.install_dir([self.library]))
        time.sleep(1)
        self.xdotool("mousemove", "260", "260")
        self.assertEqual(self.wait_for_exit(saver), 0)
        self.assertEqual(self.questions(), 1)

    def test_no_password_without_the_option_or_the_library(self):
        for option, files in ((0, [self.library]), (1, [])):
            with self.subTest(option=option, library=bool(files)):
                self.use_password(option)
                saver = self.start_traced_saver(["user32.SystemParametersInfoA"], "/s",
                                                directory=self.install_dir(files, "bin%d" % option))
                self.wait_for_window("Screen Saver", saver)
                time.sleep(0.5)
                self.xdotool("key", "space")
                self.assertEqual(self.wait_for_exit(saver), 0)
                self.assertEqual(self.questions(), 0)
                self.assertEqual(self.running_flags(), [])


if __name__ == "__main__":
    harness.main()
