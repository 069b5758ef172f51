"""Soak: the saver through many picture changes of mixed and partly damaged pictures, with
no pause between them and the screen cleared before each. The saver's GDI objects, windows
and menus, kernel handles, open files and resident memory are counted from inside its
process (helpers/census_win32.cpp) before the first change and every few changes after; the
picture each change opened comes from the logged file opens.

CI runs a short version; scripts/soak.sh the long one (VELMORA_SOAK_CHANGES,
VELMORA_SOAK_PICTURES, VELMORA_SOAK_EVERY)."""

import os
import random
import re
import shutil
import subprocess
import time

import harness

CHANGES = int(os.environ.get("VELMORA_SOAK_CHANGES", "100"))
PICTURES = int(os.environ.get("VELMORA_SOAK_PICTURES", "40"))
EVERY = int(os.environ.get("VELMORA_SOAK_EVERY", "20"))
CORPUS = os.path.join(harness.ROOT, "..", "shared", "corpus")

# (name ending, ImageMagick options, output format) for each kind of picture made.
KINDS = [
    ("base.jpg", ["-quality", "85"], ""),
    ("444.jpg", ["-quality", "92", "-sampling-factor", "1x1"], ""),
    ("grey.jpg", ["-colorspace", "Gray"], ""),
    ("progressive.jpg", ["-interlace", "JPEG", "-quality", "80"], ""),
    ("progressive-grey.jpg", ["-interlace", "JPEG", "-colorspace", "Gray"], ""),
    ("1bit.bmp", ["-colors", "2", "-type", "Palette"], "BMP3:"),
    ("4bit.bmp", ["-colors", "16", "-type", "Palette", "-compress", "None"], "BMP3:"),
    ("8bit.bmp", ["-colors", "200", "-type", "Palette", "-compress", "None"], "BMP3:"),
    ("rle8.bmp", ["-colors", "200", "-type", "Palette", "-compress", "RLE"], "BMP3:"),
    ("565.bmp", ["-define", "bmp:subtype=RGB565"], "BMP:"),
    ("555.bmp", ["-define", "bmp:subtype=RGB555"], "BMP:"),
    ("24bit.bmp", ["-type", "TrueColor"], "BMP3:"),
    ("32bit.bmp", ["-alpha", "set", "-define", "bmp:subtype=ARGB8888"], "BMP:"),
]
DAMAGED_EVERY = 25  # one picture in 25 is cut short or overwritten


def make_pictures(case, folder, count, seed=9):
    """`count` pictures of every kind above, cropped at random sizes from two base pictures,
    with the BMP suite's good files when the corpus is there; returns their names."""
    rng = random.Random(seed)
    bases = [case.make_picture(case.temp, "base-photo.bmp", (1600, 1200), "photo"),
             case.make_picture(case.temp, "base-gradient.bmp", (1600, 1200), "gradient")]
    names = []
    suite = os.path.join(CORPUS, "bmp", "g")
    if os.path.isdir(suite):
        files = sorted(os.listdir(suite))
        wanted = count // 10
        for name in files[::max(1, len(files) // max(1, wanted))][:wanted]:  # spread over the depths
            shutil.copy(os.path.join(suite, name), os.path.join(folder, "suite-" + name))
            names.append("suite-" + name)
    while len(names) < count:
        ending, options, prefix = KINDS[len(names) % len(KINDS)]
        name = "p%04d-%s" % (len(names), ending)
        width, height = rng.randint(40, 1600), rng.randint(30, 1200)
        crop = "%dx%d+%d+%d" % (width, height, rng.randint(0, 1600 - width), rng.randint(0, 1200 - height))
        subprocess.run(["convert", rng.choice(bases), "-crop", crop, "+repage", *options,
                        prefix + os.path.join(folder, name)], check=True)
        if len(names) % DAMAGED_EVERY == 7:
            damage(os.path.join(folder, name), rng)
        names.append(name)
    return names


def damage(path, rng):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    if rng.random() < 0.5:
        data = data[:len(data) * 2 // 5]  # cut short
    else:
        for at in range(20, len(data), 97):  # overwritten here and there, header included
            data[at] = rng.randrange(256)
    with open(path, "wb") as f:
        f.write(data)


def take_census(path, pid, samples):
    """Adds the census lines written since the last call, each with the process's resident
    memory and open files as Linux sees them, and lets the saver go on."""
    if not os.path.exists(path):
        return
    with open(path) as f:
        lines = f.readlines()
    for line in lines[len(samples):]:
        if not line.endswith("\n"):
            break
        sample = {key: int(value) for key, value in re.findall(r"(\w+)=(-?\d+)", line)}
        with open("/proc/%d/status" % pid) as status:
            sample["rss_kb"] = int(re.search(r"VmRSS:\s*(\d+)", status.read()).group(1))
        # The fewest of a few looks while the saver waits: Wine itself now and then holds a
        # file open for a moment (seen once in the 64-bit build); a leaked one stays open.
        looks = []
        for _ in range(3):
            looks.append(len(os.listdir("/proc/%d/fd" % pid)))
            time.sleep(0.05)
        sample["files"] = min(looks)
        samples.append(sample)
        with open(path + "-read", "a") as read:
            read.write("x\n")


def changes_from_log(lines, names):
    """The name of the picture each logged change opened, in order (None: no file opened)."""
    changes = []
    known = set(names)
    for line in lines:
        if "Call user32.KillTimer(" in line and re.search(r"KillTimer\([0-9a-f]+,0+1\)", line):
            changes.append(None)
        elif changes and ("CreateFileA(" in line or "CreateFileW(" in line):
            opened = re.search(r'CreateFile[AW]\([0-9a-f]+ L?"([^"]*)"', line)
            name = opened and opened.group(1).replace("\\\\", "\\").split("\\")[-1]
            if name in known:
                changes[-1] = name
    return changes


class Soak(harness.WineTestCase):

    def test_changes_leave_nothing_behind_and_every_pass_shows_every_picture(self):
        folder = self.picture_folder()
        names = make_pictures(self, folder, PICTURES)
        census = os.path.join(self.temp, "census.log")
        self.write_settings(dir=folder, speed=0, clearscreen=1, random=1)
        saver = self.start_traced_saver(
            ["user32.KillTimer", "kernel32.CreateFileA", "kernelbase.CreateFileA", "kernel32.CreateFileW",
             "kernelbase.CreateFileW"], "/s",
            env={"VELMORA_CENSUS": harness.windows_path(census), "VELMORA_CENSUS_EVERY": str(EVERY)})
        self.wait_for_window("Screen Saver", saver)
        hook = self.probe("hook", harness.windows_path(os.path.join(harness.HELPERS, "census.dll")), "CensusHook",
                          "WindowsScreenSaverClass", "Screen Saver", stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        try:
            self.assertEqual(hook.stdout.readline().strip(), "hooked")
            deadline = time.monotonic() + 10 * CHANGES + 60  # generous: the machine may be busy
            started = time.monotonic()
            samples = []
            while time.monotonic() < deadline and saver.running():
                take_census(census, saver.process.pid, samples)
                if samples and samples[-1]["changes"] >= CHANGES:
                    break
                time.sleep(0.05)
            elapsed = time.monotonic() - started
            self.assertTrue(saver.running(), "the saver ended")
            self.xdotool("key", "space")
            self.assertEqual(self.wait_for_exit(saver, 30), 0)
        finally:
            hook.stdin.close()
            hook.wait(timeout=30)

        print("%d changes in %.0f s" % (samples[-1]["changes"], elapsed))
        for sample in samples:
            print("  after %(changes)4d changes: GDI %(gdi)3d  USER %(user)2d  handles %(handles)3d  "
                  "open files %(files)3d  resident %(rss_kb)6d KiB  (census %(ms)d ms)" % sample)
        self.assertGreaterEqual(samples[-1]["changes"], CHANGES, "too few changes before the deadline")
        # After the first round nothing grows: the counts stay as they are, and memory
        # keeps within a few MiB of what it was (the heap keeps some of what it had).
        # (The first round is a whole pass: the 32-bit Wine opens two handles of its own
        # some way into it, once every kind of picture has been read.)
        settled = [s for s in samples if s["changes"] >= max(EVERY, PICTURES)]
        for key in ("gdi", "user", "handles", "files"):
            self.assertEqual({s[key] for s in settled}, {settled[0][key]}, key)
        self.assertLess(max(s["rss_kb"] for s in settled) - settled[0]["rss_kb"], 16 * 1024)

        # Random passes: each shows every picture once, in no fixed order, and never begins
        # with the picture the previous one ended with.
        shown = changes_from_log(self.relay_lines(), names)
        while shown and shown[-1] is None:  # the change cut short, and the timer stopped at the end
            shown.pop()
        self.assertNotIn(None, shown)
        passes = [shown[i:i + len(names)] for i in range(0, len(shown) - len(names) + 1, len(names))]
        self.assertGreaterEqual(len(passes), CHANGES // len(names))
        for number, one in enumerate(passes):
            self.assertEqual(sorted(one), sorted(names), "pass %d" % number)
            self.assertNotEqual(one, sorted(names, key=str.lower))
            if number:
                self.assertNotEqual(one[0], passes[number - 1][-1])
        print("%d pictures, %d whole passes" % (len(names), len(passes)))


if __name__ == "__main__":
    harness.main()
