"""Prints the project's benchmark figures, each beside its baseline, measured in one run.
Figures only: nothing here passes or fails on time.

  python3 tests/bench/run_benchmarks.py [--quick]

1. Decoding and fitting large photos natively (picdecode --fit, which decodes a JPEG reduced
   where the fit allows, as the saver does) against djpeg decoding the same file, with peak
   memory; the full and the reduced decode side by side (bench_jpeg); then the same picture
   change inside the Windows build under Wine, with the peak of private memory against the
   two picture blocks it may hold. Real photos (Debian's mate-backgrounds) are fetched once
   into ~/.cache/velmora-photos, where the reduced-decoding tests look for them too.
2. Every effect at 1920x1080 under Wine: wall time against the sum of its pauses.
3. The catalogue scan of 10,000 and 100,000 files under Wine: minimal size off (with the
   catalogue's bytes per picture), on without the size cache and on with it; then
   1,000,000 files with minimal size off.
3b. The saver from its start to the first picture on screen: 10,000 and 100,000 files with
   minimal size on, first start (no size cache) and second start; 1,000,000 files with
   minimal size off.
4. The settings dialog under Wine: from the 1.5 s timer after a typed folder to the count
   shown, for 1,000, 10,000 and 100,000 files, minimal size off, on without the size
   cache, and on with it.
5. The effects dialog's preview of a 24 MP photo: time to the first frame, peak memory.
6. The show on every monitor with 24 MP photos, on one, two and three side-by-side monitors
   (a dummy-driver Xorg; needs root): time from a monitor's tick to its picture drawn, and
   the saver's peak memory.
"""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "wine"))
import harness  # noqa: E402

SAVER = os.path.join(harness.DIST, "Velmora.scr")

OUT = os.path.join(harness.ROOT, "out", "bench")
PICTURES = os.path.join(harness.PREFIX, "drive_c", "velmora-bench")
NATIVE_BENCH = os.path.join(harness.ROOT, "out", "native", "bench_jpeg")


def run(args, **kw):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kw).stdout


def timed(args, runs=3):
    """Best wall time of `runs` runs, and the largest resident set one of them reached (MiB)."""
    best, peak = None, 0
    for _ in range(runs):
        start = time.monotonic()
        child = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        elapsed = time.monotonic() - start
        child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode:
            raise RuntimeError("%s failed" % args)
        best = elapsed if best is None else min(best, elapsed)
        peak = max(peak, usage.ru_maxrss / 1024.0)
    return best, peak


def make_pictures():
    os.makedirs(PICTURES, exist_ok=True)
    samples = os.path.join(harness.TOOLS, "make-samples")
    baseline = os.path.join(PICTURES, "baseline-24mp.jpg")
    if not os.path.exists(baseline):
        run([samples, PICTURES, "--size", "6000x4000", "--kind", "jpg", "--pattern", "photo",
             "--name", "baseline-24mp.jpg", "--quality", "92"])
    progressive = os.path.join(PICTURES, "progressive-24mp.jpg")
    if not os.path.exists(progressive):
        run(["convert", baseline, "-interlace", "Plane", "-quality", "92", progressive])
    camera = os.path.join(PICTURES, "camera-16mb.jpg")
    if not os.path.exists(camera):
        # Sensor-like noise over the scene makes a file of a camera's size.
        run(["convert", baseline, "-attenuate", "0.9", "+noise", "Gaussian", "-quality", "98",
             "-sampling-factor", "2x1", camera])
    return [baseline, progressive, camera]


PHOTOS = os.environ.get("VELMORA_PHOTOS") or os.path.expanduser("~/.cache/velmora-photos")


def fetch_photos():
    """The JPEG photos of Debian's mate-backgrounds (Debian 12's gnome-backgrounds holds only
    WebP), downloaded with apt-get once into a cache outside the tree; none when that fails."""
    def found():
        return sorted(os.path.join(d, f) for d, _, names in os.walk(PHOTOS) for f in names if f.endswith(".jpg"))
    if not found():
        os.makedirs(PHOTOS, exist_ok=True)
        try:
            run(["apt-get", "download", "mate-backgrounds"], cwd=PHOTOS)
            for deb in [f for f in os.listdir(PHOTOS) if f.endswith(".deb")]:
                run(["dpkg-deb", "-x", os.path.join(PHOTOS, deb), os.path.join(PHOTOS, "mate")])
                os.remove(os.path.join(PHOTOS, deb))
        except (OSError, subprocess.CalledProcessError) as e:
            print("(no real photos: %s)" % e)
    return found()


def decode_and_fit(files):
    print("\n== 1a. Decode and fit, native (best of 3; peak resident memory of the process)")
    print("%-22s %7s %10s %10s %12s %12s" % ("file", "MB", "djpeg s", "djpeg MiB", "fit 1920 s", "fit 1024 s"))
    picdecode = os.path.join(harness.TOOLS, "picdecode")
    scratch = os.path.join(OUT, "scratch.ppm")
    for path in files:
        djpeg, djpeg_mem = timed(["djpeg", "-outfile", "/dev/null", path])
        wide, wide_mem = timed([picdecode, path, scratch, "--fit", "1920x1080"])
        small, small_mem = timed([picdecode, path, scratch, "--fit", "1024x768"])
        print("%-22s %7.1f %10.3f %10.0f %12.3f %12.3f   (ours peak %.0f MiB)" % (
            os.path.basename(path), os.path.getsize(path) / 1e6, djpeg, djpeg_mem, wide, small,
            max(wide_mem, small_mem)))
    os.remove(scratch)
    if os.path.exists(NATIVE_BENCH):
        print("\n== 1b. Where the decoding time goes, full and reduced (bench_jpeg)")
        photos = fetch_photos()
        largest = sorted(photos, key=os.path.getsize)[-2:]
        print(run([NATIVE_BENCH, *files, *largest]))


class Wine:
    def __init__(self):
        self.display = harness.Display("1920x1080x24")
        self.env = dict(os.environ, DISPLAY=self.display.name, WINEPREFIX=harness.PREFIX, WINEARCH="win64",
                        WINEDEBUG="-all")
        harness.ensure_prefix(self.env)

    def run(self, program, *args):
        path = os.path.join(harness.HELPERS, program)
        return run([harness.wine_for(path), path, *args], env=self.env)

    def close(self):
        subprocess.run([harness.WINESERVER, "-k"], env=self.env)
        self.display.close()


def largest_picture():
    """A picture of 128 Mi pixels, the most the library accepts (made once: a minute)."""
    path = os.path.join(PICTURES, "largest-128mp.jpg")
    if not os.path.exists(path):
        run([os.path.join(harness.TOOLS, "make-samples"), PICTURES, "--size", "16384x8192", "--kind", "jpg",
             "--pattern", "photo", "--name", "largest-128mp.jpg", "--quality", "85"])
    return path


def picture_changes(wine, files):
    print("\n== 1c. One picture change in the Windows build under Wine (load, decode, fit, bitmap)")
    print(wine.run("picture_bench.exe", harness.windows_path(largest_picture()), "1920x1080").rstrip())
    for path in files:
        for size in ("1920x1080", "1024x768"):
            print(wine.run("picture_bench.exe", harness.windows_path(path), size).rstrip())


def effects(wine):
    print("\n== 2. Effects at 1920x1080 under Wine (milliseconds)")
    print(wine.run("effect_bench.exe", "1920", "1080").rstrip())


USER_CACHE = os.path.join(harness.PREFIX, "drive_c", "users", os.environ.get("USER", "root"), "AppData",
                          "Local", "Velmora", "picture-sizes.cache")
MILLION = 1000000


def sample_picture():
    sample = os.path.join(PICTURES, "tiny.jpg")
    if not os.path.exists(sample):
        os.makedirs(PICTURES, exist_ok=True)
        run([os.path.join(harness.TOOLS, "make-samples"), PICTURES, "--size", "320x240", "--kind", "jpg",
             "--pattern", "photo", "--name", "tiny.jpg"])
    return sample


def scans(wine, counts, million=True):
    print("\n== 3. Catalogue scan under Wine")
    sample = sample_picture()
    for count in counts:
        folder = os.path.join(PICTURES, "tree-%d" % count)
        print(wine.run("scan_bench.exe", harness.windows_path(folder), str(count),
                       harness.windows_path(sample)).rstrip())
    if million:
        print(wine.run("scan_bench.exe", harness.windows_path(million_tree()), str(MILLION),
                       harness.windows_path(sample), "--off-only").rstrip())


def million_tree():
    """1,000,000 pictures in 1,000 folders, made once from Linux as hard links of 20 copies
    of the small JPEG (a file takes at most 65,000 links)."""
    folder = os.path.join(PICTURES, "tree-%d" % MILLION)
    if os.path.exists(os.path.join(folder, "f999")):
        return folder
    sample = sample_picture()
    sources = []
    for i in range(20):
        source = os.path.join(PICTURES, "tiny-%d.jpg" % i)
        if not os.path.exists(source):
            shutil.copy(sample, source)
        sources.append(source)
    for f in range(1000):
        sub = os.path.join(folder, "f%d" % f)
        os.makedirs(sub, exist_ok=True)
        for i in range(1000):
            path = os.path.join(sub, "p%d.jpg" % (f * 1000 + i))
            if not os.path.exists(path):
                os.link(sources[(f * 1000 + i) % 20], path)
    return folder


def first_pictures(wine, counts, million=True):
    print("\n== 3b. The saver under Wine: start to the first picture on screen (a running Wine server;\n"
          "   the one-picture folder is the baseline: starting the program under Wine, the window, one decode)")
    # A server kept running, as Windows has no server to start.
    server = subprocess.Popen([harness.WINESERVER, "-f", "-p"], env=wine.env, stderr=subprocess.DEVNULL)
    time.sleep(1)
    runs = [(1, 1, ("baseline",))] + [(c, 1, ("first start, no size cache", "second start")) for c in counts]
    for count, minsize, starts in runs + ([(MILLION, 0, ("minimal size off",))] if million else []):
        folder = million_tree() if count == MILLION else tree(wine, count)
        if os.path.exists(USER_CACHE):
            os.remove(USER_CACHE)
        for label in starts:
            seconds = first_picture(wine, folder, minsize)
            print("%7d files, minsize %s, %-27s %8.2f s" % (count, "on " if minsize else "off", label + ":", seconds))
    # Ended with every program it serves: killed alone, it left Wine's own programs running,
    # and the helper that makes the dialog's folder later never returned.
    subprocess.run([harness.WINESERVER, "-k"], env=wine.env)
    server.wait()


def first_picture(wine, folder, minsize):
    """Seconds from starting the saver to a picture at the screen's centre. Every effect is
    off, so the picture comes in by one plain copy: a wipe would add its own time to reach the
    centre, up to a second, which says nothing of the start."""
    settings = os.path.join(harness.WINDOWS_DIR, "ss_velmo.ini")
    with open(settings, "w") as f:
        f.write("[velmora]\r\ndir=%s\r\nrecurse=1\r\nminsize=%d\r\nminsizex=100\r\nminsizey=100\r\n"
                "speed=60000\r\n%s" % (harness.windows_path(folder), minsize,
                                       "".join("enable%d=0\r\n" % n for n in range(1, 41))))
    start = time.monotonic()
    saver = subprocess.Popen([harness.wine_for(SAVER), SAVER, "/s"], env=wine.env)
    try:
        while True:
            shot = subprocess.run(["import", "-window", "root", "-crop", "1x1+960+540", "-depth", "8", "rgb:-"],
                                  env=wine.env, capture_output=True).stdout
            if len(shot) >= 3 and max(shot[:3]) > 24:
                return time.monotonic() - start
            if saver.poll() is not None or time.monotonic() - start > 600:
                return float("nan")
            time.sleep(0.05)
    finally:
        saver.kill()
        saver.wait()
        time.sleep(1)  # the killed process's end reaches the server
        os.remove(settings)


def tree(wine, count):
    """A folder of `count` copies of a small JPEG in 100 subfolders, made once by scan_bench
    (whose in-process scan of it, section 3, is the baseline)."""
    folder = os.path.join(PICTURES, "tree-%d" % count)
    if count == 1:
        os.makedirs(folder, exist_ok=True)
        if not os.path.exists(os.path.join(folder, "p0.jpg")):
            shutil.copy(sample_picture(), os.path.join(folder, "p0.jpg"))
    elif not os.path.exists(folder):
        wine.run("scan_bench.exe", harness.windows_path(folder), str(count),
                 harness.windows_path(os.path.join(PICTURES, "tiny.jpg")))
    return folder


def dialog_counts(wine, counts):
    print("\n== 4. Settings dialog under Wine: the 1.5 s timer after typing a folder, to the count shown")
    settings = os.path.join(harness.WINDOWS_DIR, "ss_velmo.ini")
    title = harness.SETTINGS_DIALOG
    driver = harness.DialogDriver(wine.env)
    try:
        for count in counts:
            folder = harness.windows_path(tree(wine, count))
            for minsize, cache in ((0, ""), (1, "no cache"), (1, "cache")):
                if cache == "no cache" and os.path.exists(USER_CACHE):
                    os.remove(USER_CACHE)
                with open(settings, "w") as f:
                    f.write("[velmora]\r\nminsize=%d\r\nminsizex=100\r\nminsizey=100\r\n" % minsize)
                saver = subprocess.Popen([harness.wine_for(SAVER), SAVER, "/c"],
                                         env=wine.env)
                while driver("label", title, 126) in ("none", ""):
                    time.sleep(0.1)
                driver("set", title, 125, folder)
                typed = time.monotonic()
                while driver("label", title, 1028) != "Searching...":
                    time.sleep(0.002)
                searching = time.monotonic()
                # Answered once the scan has returned and the count is set (or after the
                # driver's 30 s wait); no polling that would compete with the scan.
                found = ""
                while not found.isdigit():
                    found = driver("text", title, 126)
                shown = time.monotonic()
                print("%7d files, minsize %-12s: timer to count %9.1f ms, %6.1f us per file; typed to count %9.1f ms"
                      " (%s found)" % (count, "on, " + cache if minsize else "off", (shown - searching) * 1000,
                                        (shown - searching) * 1e6 / count, (shown - typed) * 1000, found))
                driver("click", title, 2)
                saver.wait(timeout=60)
    finally:
        driver.close()
        if os.path.exists(settings):
            os.remove(settings)


def preview(wine, photo):
    print("\n== 5. Effects dialog: preview of a 24 MP photo into 480x360 (palette path, as in configure mode;\n"
          "   first frame: decode, fit, 236 colours, bitmap, composition and the effect's first copy)")
    folder = os.path.join(PICTURES, "preview-24mp")
    os.makedirs(folder, exist_ok=True)
    linked = os.path.join(folder, os.path.basename(photo))
    if not os.path.exists(linked):
        os.link(photo, linked)
    for effect in (1, 24):
        print(wine.run("preview_bench.exe", harness.windows_path(folder), str(effect)).rstrip())


MONITOR_LAYOUTS = ([(1920, 1080, 0, 0)],
                   [(1920, 1080, 0, 0), (1920, 1080, 1920, 0)],
                   [(1920, 1080, 0, 0), (1920, 1080, 1920, 0), (1080, 1920, -1080, -420)])


def every_monitor(files, rounds=3):
    print("\n== 6. Show on every monitor, 24 MP photos, the plain copy (tick to picture drawn: from the\n"
          "   tick's KillTimer to its SetTimer, so decode, fit and drawing; peak: the saver's VmHWM)")
    why = harness.MonitorDisplay.missing()
    if why:
        print("   skipped: " + why)
        return
    folder = os.path.join(PICTURES, "monitors-24mp")
    os.makedirs(folder, exist_ok=True)
    for path in files:
        linked = os.path.join(folder, os.path.basename(path))
        if not os.path.exists(linked):
            os.link(path, linked)
    settings = os.path.join(harness.WINDOWS_DIR, "ss_velmo.ini")
    for layout in MONITOR_LAYOUTS:
        display = harness.MonitorDisplay(layout)
        env = dict(os.environ, DISPLAY=display.name, WINEPREFIX=harness.PREFIX, WINEARCH="win64")
        try:
            harness.ensure_prefix(env)
            subprocess.run([harness.WINE64, "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude",
                            "/t", "REG_SZ", "/d", "user32.KillTimer;user32.SetTimer", "/f"], env=env,
                           capture_output=True, check=True)
            with open(settings, "w") as f:
                f.write("[velmora]\r\ndir=%s\r\nmonitors=1\r\nspeed=500\r\nrandom=0\r\n%s" % (
                    harness.windows_path(folder), "".join("enable%d=0\r\n" % n for n in range(1, 41))))
            log = os.path.join(OUT, "monitors-%d.log" % len(layout))
            with open(log, "w") as err:
                saver = subprocess.Popen([harness.wine_for(SAVER), SAVER, "/s"],
                                         env=dict(env, WINEDEBUG="+timestamp,+relay"), stderr=err)
                ticks, peak = [], 0
                deadline = time.monotonic() + 300
                while len(ticks) < rounds * len(layout) and time.monotonic() < deadline:
                    time.sleep(0.5)
                    ticks = tick_times(log)
                    peak = max(peak, resident_peak(saver.pid))
                saver.kill()
                saver.wait()
            if ticks:
                print("   %d monitor(s): tick to drawn %7.0f ms mean, %7.0f ms longest over %d ticks; peak %6.0f MiB"
                      % (len(layout), sum(ticks) / len(ticks), max(ticks), len(ticks), peak))
            else:
                print("   %d monitor(s): no tick finished" % len(layout))
        finally:
            subprocess.run([harness.WINE64, "reg", "delete", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude",
                            "/f"], env=env, capture_output=True)
            if os.path.exists(settings):
                os.remove(settings)
            subprocess.run([harness.WINESERVER, "-k"], env=env)
            display.close()


def tick_times(log):
    """Milliseconds from each KillTimer the saver calls to the SetTimer that follows it."""
    times, started = [], None
    with open(log, errors="replace") as f:
        for line in f:
            if " ret=004" not in line or ":Call user32." not in line:
                continue
            stamp = float(line.split(":", 1)[0])
            if "KillTimer(" in line:
                started = stamp
            elif "SetTimer(" in line and started is not None:
                times.append((stamp - started) * 1000)
                started = None
    return times


def resident_peak(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return 0


def main():
    if "--monitors" in sys.argv:  # section 6 alone
        os.makedirs(OUT, exist_ok=True)
        every_monitor(make_pictures())
        return
    quick = "--quick" in sys.argv
    os.makedirs(OUT, exist_ok=True)
    files = make_pictures()
    decode_and_fit(files)
    wine = Wine()
    try:
        picture_changes(wine, files)
        effects(wine)
        scans(wine, (10000,) if quick else (10000, 100000), million=not quick)
        first_pictures(wine, (10000,) if quick else (10000, 100000), million=not quick)
        dialog_counts(wine, (1000, 10000) if quick else (1000, 10000, 100000))
        preview(wine, files[0])
    finally:
        wine.close()
    every_monitor(files)


if __name__ == "__main__":
    main()
