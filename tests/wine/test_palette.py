"""A display of 8 bits per pixel: every picture gets its own 236-colour palette, and the
window turns black before each effect. Wine accepts the palette calls but does not use the
palette for the screen's colours, so the calls are what is checked."""

import harness

BLACKNESS = 0x42
CALLS = ["gdi32.CreatePalette", "gdi32.SelectPalette", "gdi32.RealizePalette", "gdi32.DeleteObject",
         "gdi32.CreateDIBitmap", "gdi32.PatBlt", "gdi32.BitBlt"]


class PaletteDisplay(harness.WineTestCase):
    geometry = "1024x768x8"

    def test_each_picture_brings_its_palette_and_a_black_screen_first(self):
        folder = self.picture_folder()
        self.make_picture(folder, "a.jpg", (800, 600), "photo")
        self.make_picture(folder, "b.bmp", (640, 480), "bars")
        self.write_settings(dir=folder, speed=300, random=0, **{"enable%d" % n: 0 for n in range(1, 41)})
        saver = self.start_traced_saver(CALLS, "/s")
        self.wait_for_window("Screen Saver", saver)
        calls = self.wait_for_calls(CALLS, lambda c: sum(1 for n, _ in c if n == "gdi32.CreatePalette") >= 4)
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)
        palettes = [i for i, (name, _) in enumerate(calls) if name == "gdi32.CreatePalette"]
        self.assertGreaterEqual(len(palettes), 3, "a palette per picture")
        for start in palettes[:3]:
            after = calls[start:]
            # Selected as a background palette for the conversion...
            name, args = after[1]
            self.assertEqual(name, "gdi32.SelectPalette")
            self.assertEqual(args[2], 1)
            self.assertEqual(after[2][0], "gdi32.RealizePalette")
            self.assertTrue(any(n == "gdi32.CreateDIBitmap" for n, _ in after[3:6]))
            # ...then the window turns black, and the palette is selected into it in the
            # foreground, before the effect's first copy.
            blackout = next(i for i, (n, a) in enumerate(after)
                            if n == "gdi32.PatBlt" and a[1:6] == [0, 0, 1024, 768, BLACKNESS]
                            and any(n2 == "gdi32.BitBlt" for n2, _ in after[:i]))
            window = after[blackout][1][0]
            name, args = after[blackout + 1]
            self.assertEqual((name, args[0], args[2]), ("gdi32.SelectPalette", window, 0))
            self.assertEqual(after[blackout + 2][0], "gdi32.RealizePalette")
            self.assertEqual(after[blackout + 3][0], "gdi32.BitBlt")
            self.assertEqual(after[blackout + 3][1][0], window)

    def test_logo_frames_are_realised_through_their_own_palette(self):
        saver = self.start_traced_saver(CALLS, "/s")
        self.wait_for_window("Screen Saver", saver)
        calls = self.wait_for_calls(CALLS, lambda c: sum(1 for n, _ in c if n == "gdi32.CreateDIBitmap") >= 11)
        self.xdotool("key", "space")
        self.assertEqual(self.wait_for_exit(saver), 0)
        loads = [i for i, (name, _) in enumerate(calls) if name == "gdi32.CreateDIBitmap"][:11]
        self.assertEqual(len(loads), 11, "the eleven bitmaps were not all loaded")
        for at in loads:
            names = [name for name, _ in calls[at - 3:at + 3]]
            self.assertEqual(names[:3], ["gdi32.CreatePalette", "gdi32.SelectPalette", "gdi32.RealizePalette"])
            self.assertEqual(names[4:6], ["gdi32.SelectPalette", "gdi32.DeleteObject"])


if __name__ == "__main__":
    harness.main()
