"""picdll.dll, driven through its exports by picdecode.exe under Wine, gives exactly what
the portable decoders give natively."""

import glob
import os
import subprocess

import harness

CORPUS = os.path.join(harness.ROOT, "..", "shared", "corpus")


class Picdecode(harness.WineTestCase):

    def decode_both(self, path, *options):
        native_out = os.path.join(self.temp, "native.ppm")
        windows_out = os.path.join(self.temp, "windows.ppm")
        native = subprocess.run([os.path.join(harness.TOOLS, "picdecode"), path, native_out, *options],
                                capture_output=True, text=True)
        program = os.path.join(harness.DIST, "picdecode.exe")
        windows = subprocess.run([harness.wine_for(program), program,
                                  harness.windows_path(path), harness.windows_path(windows_out), *options],
                                 env=self.env, capture_output=True, text=True)
        return native, windows, native_out, windows_out

    def assert_same(self, path, *options):
        native, windows, native_out, windows_out = self.decode_both(path, *options)
        self.assertEqual(windows.returncode, native.returncode, windows.stderr)
        self.assertEqual(windows.stdout.split(), native.stdout.split())
        if native.returncode == 0 and "--dims" not in options:
            with open(native_out, "rb") as a, open(windows_out, "rb") as b:
                self.assertTrue(a.read() == b.read(), "pictures differ for %s" % path)
        return native

    def test_generated_pictures_decode_and_fit_identically(self):
        folder = self.picture_folder()
        for name, size, pattern in (("photo.jpg", (1600, 1200), "photo"), ("bars.bmp", (333, 250), "bars"),
                                    ("odd.jpg", (641, 481), "checker")):
            path = self.make_picture(folder, name, size, pattern)
            with self.subTest(name=name):
                self.assertIn("decoded %dx%d" % size, self.assert_same(path).stdout)
                self.assert_same(path, "--fit", "1024x768")
                # Fitted to under half its size, a JPEG is decoded reduced by the library.
                small = self.assert_same(path, "--fit", "480x360")
                if name == "photo.jpg":
                    self.assertIn("decoded 800x600 (1/2)", small.stdout)
                self.assert_same(path, "--dims")

    def test_corpus_pictures_decode_identically(self):
        files = sorted(glob.glob(os.path.join(CORPUS, "jpeg", "orientation", "*.jpg")))[:6]
        files += sorted(glob.glob(os.path.join(CORPUS, "bmp", "g", "*.bmp")))[:12]
        files += sorted(glob.glob(os.path.join(CORPUS, "bmp", "b", "*.bmp")))[:6]
        if not files:
            self.skipTest("no corpus")
        for path in files:
            with self.subTest(path=os.path.basename(path)):
                self.assert_same(path)

    def test_failed_read_says_why_and_exits_non_zero(self):
        path = os.path.join(self.temp, "junk.jpg")
        with open(path, "wb") as f:
            f.write(b"not a picture at all")
        native, windows, _, _ = self.decode_both(path)
        for result in (native, windows):
            self.assertNotEqual(result.returncode, 0)
            self.assertTrue(result.stderr.startswith("picdecode: read failed"), result.stderr)


if __name__ == "__main__":
    harness.main()
