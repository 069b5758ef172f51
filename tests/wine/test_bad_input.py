"""Damaged settings and hostile picture folders: the saver keeps going and never crashes,
stalls or writes anything of the user's."""

import os
import subprocess
import time

import harness

QUIET = {"enable%d" % n: 0 for n in range(1, 41)}
GOOD = (0x30, 0x90, 0x30)


class BadInput(harness.WineTestCase):

    def test_damaged_settings_files_still_give_a_running_saver_and_stay_untouched(self):
        junk = bytes((i * 37 + 11) & 0xFF for i in range(6000))
        settings = os.path.join(harness.WINDOWS_DIR, "ss_velmo.ini")
        for content in (junk,
                        b"[velmora]\r\nspeed=soon\r\nrandom=\r\ndir=" + b"x" * 4000 + b"\r\n",
                        b"[velmora]\r\n" + b"k" * 70000 + b"=1\r\nenable3=yes\r\n",
                        b"[elsewhere]\r\ndir=C:\\\r\n"):
            with self.subTest(content=content[:20]):
                with open(settings, "wb") as f:
                    f.write(content)
                saver = self.start_saver("/s")
                time.sleep(1)
                self.xdotool("key", "space")
                self.assertEqual(self.wait_for_exit(saver), 0)
                with open(settings, "rb") as f:
                    self.assertEqual(f.read(), content)

    def test_without_a_settings_file_none_is_written(self):
        saver = self.start_saver("/s")
        time.sleep(1)
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)
        self.assertIsNone(self.read_settings())

    def test_hostile_pictures_never_stop_the_show(self):
        folder = self.picture_folder()
        open(os.path.join(folder, "01-empty.jpg"), "wb").close()
        open(os.path.join(folder, "02-empty.bmp"), "wb").close()
        os.makedirs(os.path.join(folder, "03-folder.jpg"))
        self.make_picture(folder, "04-dot.bmp", (1, 1), "flat:ffffff")
        self.make_picture(folder, "05-line.jpg", (30000, 20), "gradient")
        good = self.make_picture(folder, "06-good.jpg", (800, 600), "flat:%02x%02x%02x" % GOOD)
        with open(good, "rb") as f:
            whole = f.read()
        with open(os.path.join(folder, "07-truncated.jpg"), "wb") as f:
            f.write(whole[:len(whole) // 2])
        with open(os.path.join(folder, "08-lying.bmp"), "wb") as f:
            # A header that claims 60000 x 60000 pixels over a few bytes of data.
            f.write(b"BM" + (1000).to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little") +
                    (40).to_bytes(4, "little") + (60000).to_bytes(4, "little") + (60000).to_bytes(4, "little") +
                    (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24) + bytes(100))
        doomed = self.make_picture(folder, "09-deleted.bmp", (64, 64), "flat:ff0000")
        locked = self.make_picture(folder, "10-locked.bmp", (64, 64), "flat:0000ff")
        self.write_settings(**dict(QUIET, dir=folder, speed=200, random=0, bmp=1, jpg=1))
        holder = self.probe("lock", harness.windows_path(locked), stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        try:
            self.assertEqual(holder.stdout.readline().strip(), "locked")
            saver = self.start_saver("/s")
            os.remove(doomed)
            # Two rounds through the folder: the good picture comes back each time.
            rounds = 0
            deadline = time.monotonic() + 40
            shown = False
            while rounds < 2 and time.monotonic() < deadline:
                pixel = self.screenshot().pixel(512, 384)
                showing = max(abs(a - b) for a, b in zip(pixel, GOOD)) <= 6
                if showing and not shown:
                    rounds += 1
                shown = showing
                self.assertTrue(saver.running(), "the saver ended")
            self.assertEqual(rounds, 2)
            self.xdotool("key", "space")
            self.assertEqual(self.wait_for_exit(saver), 0)
        finally:
            holder.stdin.close()
            holder.wait(timeout=10)


if __name__ == "__main__":
    harness.main()
