"""Reference pictures for the end-to-end tests: independent decoding (ImageMagick) and an
independent reading of the fitting rule."""

import struct
import subprocess

import harness


def single(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def fitted_size(width, height, area_width, area_height, reduce=True, enlarge=True):
    """The size the saver shows a picture at, computed from the rule as written."""
    aspect = single(single(width) / single(height))
    area_aspect = single(single(area_width) / single(area_height))
    wide = aspect > area_aspect
    if width > area_width or height > area_height:
        if not reduce:
            return width, height
        if wide:
            return area_width, max(1, int(height - height / (width / (width - area_width))))
        if height == area_height:
            return width, height
        return max(1, int(width - width / (height / (height - area_height)))), area_height
    if (width, height) == (area_width, area_height) or not enlarge:
        return width, height
    if wide:
        grow = area_width - width
        return area_width, height if grow == 0 else max(1, int(height + height / (width / grow)))
    grow = area_height - height
    return (width if grow == 0 else max(1, int(width + width / (height / grow)))), area_height


def reference(path, size=None):
    """The picture decoded by ImageMagick, area-averaged to `size` when given."""
    args = ["convert", path]
    if size:
        args += ["-filter", "Box", "-resize", "%dx%d!" % size]
    blob = subprocess.run(args + ["-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
    return harness.Image.from_ppm(blob)


def rows_against(shot, picture, left, top):
    """(screenshot row, picture row) pairs of RGB bytes, the picture placed at (left, top)."""
    for y in range(picture.height):
        start = ((top + y) * shot.width + left) * 3
        yield shot.data[start:start + picture.width * 3], picture.data[y * picture.width * 3:(y + 1) * picture.width * 3]


def mean_difference(shot, picture, left, top):
    """Mean absolute difference per channel between `picture` and the screenshot at (left, top)."""
    total = sum(sum(abs(a - b) for a, b in zip(row, expected))
                for row, expected in rows_against(shot, picture, left, top))
    return total / (picture.width * picture.height * 3)


def strays(shot, picture, left, top, limit=96):
    """Pixels more than `limit` off the picture's own in some channel: what an effect that
    has not finished leaves."""
    return sum(1 for row, expected in rows_against(shot, picture, left, top) for i in range(0, len(row), 3)
               if max(abs(row[i + c] - expected[i + c]) for c in range(3)) > limit)


def dominant_colour(shot, box):
    x0, y0, x1, y1 = box
    counts = {}
    for y in range(y0, y1, 7):
        for x in range(x0, x1, 7):
            p = shot.pixel(x, y)
            counts[p] = counts.get(p, 0) + 1
    return max(counts, key=counts.get)
