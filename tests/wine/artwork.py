"""The saver's own bitmaps, read from resources/bitmaps, to find them on screenshots."""

import os
import struct

import harness


def read_bmp(path):
    """An 8-bit BMP as (width, height, rows of RGB tuples, top row first)."""
    with open(path, "rb") as f:
        blob = f.read()
    offset = struct.unpack_from("<I", blob, 10)[0]
    size, width, height, _, bits = struct.unpack_from("<IiiHH", blob, 14)
    assert bits == 8, path
    table = [(blob[14 + size + 4 * i + 2], blob[14 + size + 4 * i + 1], blob[14 + size + 4 * i])
             for i in range(256)]
    stride = (width + 3) & ~3
    rows = []
    for y in range(abs(height)):
        start = offset + y * stride
        rows.append([table[i] for i in blob[start:start + width]])
    if height > 0:
        rows.reverse()
    return width, abs(height), rows


class Artwork:
    def __init__(self):
        folder = os.path.join(harness.ROOT, "resources", "bitmaps")
        self.frames = [read_bmp(os.path.join(folder, "frame%02d.bmp" % n)) for n in range(1, 11)]
        self.banner = read_bmp(os.path.join(folder, "banner.bmp"))

    @staticmethod
    def _matches(shot, bitmap, x, y):
        width, height, rows = bitmap
        if x < 0 or y < 0 or x + width > shot.width or y + height > shot.height:
            return False
        for j in range(height):
            start = ((y + j) * shot.width + x) * 3
            line = shot.data[start:start + width * 3]
            expected = bytes(c for pixel in rows[j] for c in pixel)
            if line != expected:
                return False
        return True

    def frame_at(self, shot, x, y):
        """Which frame (1..10) the screenshot shows at (x, y), if any. Frames that look
        alike are told apart by trying them in order."""
        for number, bitmap in enumerate(self.frames, 1):
            if self._matches(shot, bitmap, x, y):
                return number
        return None

    def banner_at(self, shot, x, y):
        return self._matches(shot, self.banner, x, y)

    @staticmethod
    def only_black_outside(shot, boxes):
        stride = shot.width * 3
        for j in range(shot.height):
            row = shot.data[j * stride:(j + 1) * stride]
            start = 0
            for x, w in sorted((x, w) for (x, y, w, h) in boxes if y <= j < y + h):
                if x * 3 > start and max(row[start:x * 3]) > 8:
                    return False
                start = max(start, (x + w) * 3)
            if start < stride and max(row[start:]) > 8:
                return False
        return True
