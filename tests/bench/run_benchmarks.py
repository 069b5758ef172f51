"""Prints the project's benchmark figures, each beside its baseline, measured in one run.
Figures only: nothing here passes or fails on time.

  python3 tests/bench/run_benchmarks.py [--quick]

1. Decoding and fitting large photos natively (picdecode --fit) against djpeg decoding the
   same file, with peak memory; then the same picture change inside the Windows build
   under Wine, with the peak of private memory against the two picture blocks it may hold.
2. Every effect at 1920x1080 under Wine: wall time against the sum of its pauses.
3. The catalogue scan of 10,000 and 100,000 files under Wine, minimal size off and on.
4. The settings dialog under Wine: from the 1.5 s timer after a typed folder to the count
   shown, for 1,000, 10,000 and 100,000 files, minimal size off and on.
5. The effects dialog's preview of a 24 MP photo: time to the first frame, peak memory.
6. The show on every monitor with 24 MP photos, on one, two and three side-by-side monitors
   (a dummy-driver Xorg; needs root): time from a monitor's tick to its picture drawn, and
   the saver's peak memory.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "wine"))
import harness  # noqa: E402

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
        print("\n== 1b. Where the decoding time goes (bench_jpeg)")
        print(run([NATIVE_BENCH, *files]))


class Wine:
    def __init__(self):
        self.display = harness.Display("1920x1080x24")
        self.env = dict(os.environ, DISPLAY=self.display.name, WINEPREFIX=harness.PREFIX, WINEARCH="win64",
                        WINEDEBUG="-all")
        harness.ensure_prefix(self.env)

    def run(self, program, *args):
        return run([harness.WINE32, os.path.join(harness.HELPERS, program), *args], env=self.env)

    def close(self):
        subprocess.run([harness.WINESERVER, "-k"], env=self.env)
        self.display.close()


def picture_changes(wine, files):
    print("\n== 1c. One picture change in the Windows build under Wine (load, decode, fit, bitmap)")
    for path in files:
        for size in ("1920x1080", "1024x768"):
            print(wine.run("picture_bench.exe", harness.windows_path(path), size).rstrip())


def effects(wine):
    print("\n== 2. Effects at 1920x1080 under Wine (milliseconds)")
    print(wine.run("effect_bench.exe", "1920", "1080").rstrip())


def scans(wine, counts):
    print("\n== 3. Catalogue scan under Wine")
    sample = os.path.join(PICTURES, "tiny.jpg")
    if not os.path.exists(sample):
        run([os.path.join(harness.TOOLS, "make-samples"), PICTURES, "--size", "320x240", "--kind", "jpg",
             "--pattern", "photo", "--name", "tiny.jpg"])
    for count in counts:
        folder = os.path.join(PICTURES, "tree-%d" % count)
        print(wine.run("scan_bench.exe", harness.windows_path(folder), str(count),
                       harness.windows_path(sample)).rstrip())


def tree(wine, count):
    """A folder of `count` copies of a small JPEG in 100 subfolders, made once by scan_bench
    (whose in-process scan of it, section 3, is the baseline)."""
    folder = os.path.join(PICTURES, "tree-%d" % count)
    if not os.path.exists(folder):
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
            for minsize in (0, 1):
                with open(settings, "w") as f:
                    f.write("[velmora]\r\nminsize=%d\r\nminsizex=100\r\nminsizey=100\r\n" % minsize)
                saver = subprocess.Popen([harness.WINE32, os.path.join(harness.DIST, "Velmora.scr"), "/c"],
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
                print("%7d files, minsize %s: timer to count %9.1f ms, %6.1f us per file; typed to count %9.1f ms"
                      " (%s found)" % (count, "on " if minsize else "off", (shown - searching) * 1000,
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
                saver = subprocess.Popen([harness.WINE32, os.path.join(harness.DIST, "Velmora.scr"), "/s"],
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
        scans(wine, (10000,) if quick else (10000, 100000))
        dialog_counts(wine, (1000, 10000) if quick else (1000, 10000, 100000))
        preview(wine, files[0])
    finally:
        wine.close()
    every_monitor(files)


if __name__ == "__main__":
    main()
