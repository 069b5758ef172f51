"""End-to-end test bench: the shipped 32-bit Windows build under Wine on a virtual X display
(the 64-bit one on a machine that runs no 32-bit programs).

Each test module gets its own Xvfb display and a shared, project-owned WoW64 Wine prefix
(never the user's ~/.wine), which runs 32- and 64-bit programs side by side. Helpers start Velmora.scr with a mode switch, write the
settings file and pictures into the prefix, send real input with xdotool, take
screenshots and read exit codes.
"""

import contextlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.environ.get("VELMORA_ROOT") or os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# The loaders of a WoW64 prefix. The 64-bit one starts a 32-bit program as the child of a
# start.exe of its own, whose process and exit code the test would see instead: every
# program runs under its own architecture's loader (wine_for).
WINE64 = "/usr/lib/wine/wine64" if os.path.exists("/usr/lib/wine/wine64") else shutil.which("wine64")
WINE32 = "/usr/lib/wine/wine" if os.path.exists("/usr/lib/wine/wine") else None


def _executes(program):
    try:
        subprocess.run([program, "--version"], capture_output=True, timeout=60)
        return True
    except OSError:  # ENOEXEC: a kernel built or booted without 32-bit programs
        return False


# The shipped 32-bit build is the tested one wherever the kernel runs 32-bit programs; where
# it runs none, the 64-bit build stands in, and what only the 32-bit build shows is skipped.
RUNS_32_BIT = bool(WINE32) and _executes(WINE32)
BUILD = "win32" if RUNS_32_BIT or not WINE32 else "win64"
DIST = os.path.join(ROOT, "dist", BUILD)
TWIN = os.path.join(ROOT, "dist", "win64")  # the 64-bit build, shown once as a check of pointer sizes
TOOLS = os.path.join(ROOT, "dist", "tools")
HELPERS = os.path.join(ROOT, "out", BUILD, "test-helpers")
PREFIX = os.environ.get("VELMORA_WINEPREFIX") or os.path.join(ROOT, "out", "wineprefix")
needs_32_bit = unittest.skipUnless(RUNS_32_BIT, "this machine's kernel runs no 32-bit programs")
WINESERVER = "/usr/lib/wine/wineserver" if os.path.exists("/usr/lib/wine/wineserver") else shutil.which("wineserver")
WINDOWS_DIR = os.path.join(PREFIX, "drive_c", "windows")
TEST_ROOT = os.path.join(PREFIX, "drive_c", "velmora-test")
SKIP = 77  # CTest's skip code for a machine without Wine or Xvfb
SETTINGS_DIALOG = "JPG/BMP Velmora V1.3"
EFFECTS_DIALOG = "Enable/Disable effects"


def require_tools():
    missing = [t for t in ("Xvfb", "xdotool", "import", "convert") if not shutil.which(t)]
    if not os.path.exists(FAKETIME_LIBRARY):
        missing.append("libfaketime")
    if not WINE64:
        missing.append("wine64")
    if not WINE32:
        missing.append("wine32")
    if not os.path.exists(os.path.join(DIST, "Velmora.scr")):
        missing.append("dist/%s/Velmora.scr" % BUILD)
    if missing:
        print("skipped: missing " + ", ".join(missing))
        sys.exit(SKIP)
    if not RUNS_32_BIT:
        print("this machine's kernel runs no 32-bit programs: the 64-bit build is tested in place of the shipped 32-bit one",
              file=sys.stderr)


FAKETIME_LIBRARY = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"


def wine_for(program):
    """The loader that runs `program` (a PE file) as the very process it starts."""
    with open(program, "rb") as f:
        header = f.read(1024)
    machine = struct.unpack_from("<H", header, struct.unpack_from("<I", header, 0x3C)[0] + 4)[0]
    return WINE64 if machine == 0x8664 else WINE32


def faked_clock(faked_time):
    """The environment that shows Wine's programs the local date `faked_time` from now on,
    through libfaketime (the product is untouched): the Wine server and every program it
    serves must see one clock, so the date is a fixed offset from the real one, which
    stays the same for programs started later (a date given as such would start each
    program's clock anew at it). The tick counts and the file times stay real (shifted
    file times would make Wine think its prefix out of date and update it, for the best
    part of a minute)."""
    if not faked_time:
        return {}
    if faked_time not in FAKED_OFFSETS:
        FAKED_OFFSETS.clear()  # one faked date at a time: a new one comes with a new server
        FAKED_OFFSETS[faked_time] = int(time.mktime(time.strptime(faked_time, "%Y-%m-%d %H:%M:%S")) - time.time())
    return {"LD_PRELOAD": FAKETIME_LIBRARY, "FAKETIME": "%+d" % FAKED_OFFSETS[faked_time],
            "NO_FAKE_STAT": "1", "DONT_FAKE_MONOTONIC": "1"}


FAKED_OFFSETS = {}


def windows_path(unix_path):
    """The path as a Windows program in the prefix sees it."""
    drive_c = os.path.join(PREFIX, "drive_c")
    if unix_path.startswith(drive_c):
        return "C:" + unix_path[len(drive_c):].replace("/", "\\")
    return "Z:" + unix_path.replace("/", "\\")


class Display:
    """A private Xvfb server. It never resets: by default Xvfb starts afresh whenever its last
    client leaves, which puts the pointer back in the middle of the screen behind Wine's
    back (between two Wine programs, say, or after xdotool's move), so that the next saver
    window to appear was told of a mouse move and ended at once."""

    def __init__(self, geometry="1024x768x24", extra=()):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", geometry, "-nolisten", "tcp", "-noreset",
             *extra],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        self.name = ":" + number
        width, height = geometry.split("x")[:2]
        self.width, self.height = int(width), int(height)

    @staticmethod
    def to_x(x, y):
        return x, y

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)


XORG = "/usr/lib/xorg/Xorg"
DUMMY_DRIVER = "/usr/lib/xorg/modules/drivers/dummy_drv.so"


class MonitorDisplay:
    """A headless Xorg with the dummy video driver, whose outputs Wine reports as monitors
    side by side. `monitors` lists (width, height, left, top) in Windows' coordinates, the
    primary first at (0, 0); X places them from the bounding box's top-left corner, so a
    Windows position is X's minus `origin`. Set up before the prefix's Wine server starts:
    a running server keeps the layout it found."""

    CONFIG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xorg-dummy.conf")

    @staticmethod
    def missing():
        """Why this machine cannot have such a display, or None."""
        if os.geteuid() != 0:
            return "the dummy-driver X server needs root"
        absent = [p for p in (XORG, DUMMY_DRIVER) if not os.path.exists(p)]
        absent += [t for t in ("xrandr", "xdpyinfo", "xsetroot") if not shutil.which(t)]
        return "missing " + ", ".join(absent) if absent else None

    def __init__(self, monitors):
        self.monitors = monitors
        left = min(m[2] for m in monitors)
        top = min(m[3] for m in monitors)
        self.origin = (left, top)
        self.width = max(m[2] + m[0] for m in monitors) - left
        self.height = max(m[3] + m[1] for m in monitors) - top
        self.log = tempfile.NamedTemporaryFile(prefix="xorg-", suffix=".log", delete=False).name
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            [XORG, "-displayfd", str(write_end), "-config", self.CONFIG, "-logfile", self.log,
             "-noreset", "-nolisten", "tcp", "-novtswitch"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xorg did not start: see " + self.log)
        self.name = ":" + number
        env = dict(os.environ, DISPLAY=self.name)
        placement = []
        for i, (width, height, x, y) in enumerate(monitors):
            mode = self.make_mode(env, width, height)
            subprocess.run(["xrandr", "--addmode", "DUMMY%d" % i, mode], env=env, stderr=subprocess.DEVNULL)
            placement += ["--output", "DUMMY%d" % i, "--mode", mode, "--pos", "%dx%d" % (x - left, y - top)]
            if i == 0:
                placement.append("--primary")
        subprocess.run(["xrandr", "--fb", "%dx%d" % (self.width, self.height), *placement], env=env, check=True)
        # The driver counts an output past the first as connected only once a client probes.
        subprocess.run(["xrandr", "--query"], env=env, stdout=subprocess.DEVNULL, check=True)
        connected = subprocess.run(["xrandr", "--current"], env=env, capture_output=True, text=True).stdout
        for i in range(len(monitors)):
            if "DUMMY%d connected" % i not in connected:
                self.close()
                raise RuntimeError("DUMMY%d not connected" % i)

    @staticmethod
    def make_mode(env, width, height):
        """A mode of exactly this size (the dummy driver takes any timing in range)."""
        name = "%dx%d_velmora" % (width, height)
        modes = subprocess.run(["xrandr", "--query"], env=env, capture_output=True, text=True).stdout
        if name not in modes:
            htotal, vtotal = width + 160, height + 30
            clock = htotal * vtotal * 60 / 1e6
            subprocess.run(["xrandr", "--newmode", name, "%.2f" % clock,
                            str(width), str(width + 48), str(width + 80), str(htotal),
                            str(height), str(height + 3), str(height + 8), str(vtotal)], env=env, check=True)
        return name

    def to_x(self, x, y):
        """A point in Windows' coordinates as an X screenshot's pixel."""
        return x - self.origin[0], y - self.origin[1]

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        os.remove(self.log)


class Image:
    """A screenshot as RGB rows."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @staticmethod
    def from_ppm(blob):
        parts = []
        pos = 0
        while len(parts) < 4:
            while blob[pos:pos + 1].isspace():
                pos += 1
            if blob[pos:pos + 1] == b"#":
                pos = blob.index(b"\n", pos)
                continue
            end = pos
            while not blob[end:end + 1].isspace():
                end += 1
            parts.append(blob[pos:end])
            pos = end
        width, height = int(parts[1]), int(parts[2])
        return Image(width, height, blob[pos + 1:pos + 1 + width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, w, h):
        row = self.width * 3
        return Image(w, h, b"".join(self.data[(j * self.width + x) * 3:(j * self.width + x) * 3 + w * 3]
                                    for j in range(y, y + h)))

    def region_is(self, x, y, w, h, predicate):
        return all(predicate(self.pixel(i, j)) for j in range(y, y + h) for i in range(x, x + w))

    def count(self, predicate, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        return sum(1 for j in range(y0, y1) for i in range(x0, x1) if predicate(self.pixel(i, j)))

    def bounding_box(self, predicate):
        """(left, top, right, bottom) exclusive of the pixels for which predicate holds."""
        xs, ys = [], []
        for j in range(self.height):
            row = self.data[j * self.width * 3:(j + 1) * self.width * 3]
            for i in range(self.width):
                if predicate(tuple(row[i * 3:i * 3 + 3])):
                    xs.append(i)
                    ys.append(j)
        if not xs:
            return None
        return min(xs), min(ys), max(xs) + 1, max(ys) + 1

    def save(self, path):
        header = b"P6\n%d %d\n255\n" % (self.width, self.height)
        with open(path, "wb") as f:
            f.write(header + self.data)


def signed(value):
    """A logged argument as the signed 32-bit number it is: a 64-bit program's log shows whole
    registers, whose upper half is left over from earlier use. (GDI handles fit in 32 bits.)"""
    value &= 0xFFFFFFFF
    return value - (1 << 32) if value >= 1 << 31 else value


def image_range(path):
    """The addresses a PE file's image takes when loaded at its preferred base, [begin, end)."""
    with open(path, "rb") as f:
        header = f.read(1024)
    optional = struct.unpack_from("<I", header, 0x3C)[0] + 24
    wide = struct.unpack_from("<H", header, optional)[0] == 0x20B
    base = struct.unpack_from("<Q" if wide else "<I", header, optional + (24 if wide else 28))[0]
    return base, base + struct.unpack_from("<I", header, optional + 56)[0]


def is_black(p):
    return max(p) <= 8


class DialogDriver:
    """The dialogs helper (helpers/dialogs_win32.cpp): reads and sets dialog controls and
    presses their buttons; each call is one command, answered as a string."""

    def __init__(self, env):
        program = os.path.join(HELPERS, "dialogs.exe")
        self.process = subprocess.Popen([wine_for(program), program], env=env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

    def __call__(self, *fields):
        self.process.stdin.write("\t".join(str(f) for f in fields) + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().rstrip("\n").replace("\x1f", "\n")

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=10)
        self.process.stdout.close()


class Saver:
    """One running Velmora.scr process."""

    def __init__(self, session, args, directory, env=None, stderr=None, faked_time=None):
        self.session = session
        self.log = None
        if stderr is None:
            self.log = os.path.join(session.temp, "saver-%d.log" % len(session.savers))
            stderr = open(self.log, "w")
        self.started = time.monotonic()
        program = os.path.join(directory, "Velmora.scr")
        env = dict(env or session.env, **faked_clock(faked_time))
        if self.log and "VELMORA_WINEDEBUG" not in os.environ:
            env["WINEDEBUG"] = "-all,err+all"  # Wine's own errors in the log, for a failure's message
        self.process = subprocess.Popen([wine_for(program), program, *args], env=env,
                                        stdout=subprocess.DEVNULL, stderr=stderr)

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=15):
        """The Windows exit code as a signed 32-bit number (Wine passes its low byte)."""
        code = self.process.wait(timeout=timeout)
        return code - 256 if code > 127 else code

    def output(self):
        """What the saver wrote to its log, for a failure's message."""
        if not self.log:
            return ""
        with open(self.log, errors="replace") as f:
            text = f.read()[-2000:]
        return "; it wrote:\n" + text if text else ""

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait()


class WineTestCase(unittest.TestCase):
    """Base class: one display per test class, a clean settings file per test."""

    geometry = "1024x768x24"
    xvfb_extra = ()
    monitors = None  # side-by-side monitors on a dummy-driver Xorg instead of Xvfb (MonitorDisplay)
    server_clock = None  # the faked date the running Wine server sees; None: the real one

    @classmethod
    def setUpClass(cls):
        if cls.monitors:
            why = MonitorDisplay.missing()
            if why:
                raise unittest.SkipTest("no side-by-side monitors: " + why)
            cls.display = MonitorDisplay(cls.monitors)
        else:
            cls.display = Display(cls.geometry, cls.xvfb_extra)
        cls.env = dict(os.environ, DISPLAY=cls.display.name, WINEPREFIX=PREFIX, WINEARCH="win64",
                       WINEDEBUG=os.environ.get("VELMORA_WINEDEBUG", "-all"),
                       WINEDLLOVERRIDES="mscoree,mshtml=")
        ensure_prefix(cls.env)
        os.makedirs(TEST_ROOT, exist_ok=True)

    @classmethod
    def tearDownClass(cls):
        # Waited for: a program of the next class that found this server still ending
        # would be served by it, on this class's display and monitors.
        subprocess.run([WINESERVER, "-k"], env=cls.env, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=cls.env, stderr=subprocess.DEVNULL)
        WineTestCase.server_clock = None
        cls.display.close()

    def setUp(self):
        self.savers = []
        self.temp = tempfile.mkdtemp(prefix="case-", dir=TEST_ROOT)
        self.remove_settings()
        self.place_pointer(5, 5)

    def tearDown(self):
        for saver in self.savers:
            saver.kill()
        for name in sorted(os.listdir(self.temp)):
            if not name.endswith(".log"):
                continue
            if os.environ.get("VELMORA_SHOW_LOGS"):
                print("--- " + name + "\n" + open(os.path.join(self.temp, name), errors="replace").read()[-4000:])
            if os.environ.get("VELMORA_KEEP_LOGS"):
                shutil.copy(os.path.join(self.temp, name), os.path.join(os.environ["VELMORA_KEEP_LOGS"],
                                                                        self.id().split(".")[-1] + "-" + name))
        if getattr(self, "relay_log", None):
            self.relay_log.close()
        self.remove_settings()
        shutil.rmtree(self.temp, ignore_errors=True)

    # --- settings and pictures ------------------------------------------------------
    def remove_settings(self):
        for name in os.listdir(WINDOWS_DIR):
            if name.lower() == "ss_velmo.ini":
                os.remove(os.path.join(WINDOWS_DIR, name))

    def write_settings(self, **values):
        """Writes ss_velmo.ini; `dir` may be a Unix path inside the prefix."""
        lines = ["[velmora]"]
        for key, value in values.items():
            if key == "dir" and value.startswith("/"):
                value = windows_path(value)
            lines.append("%s=%s" % (key, value))
        with open(os.path.join(WINDOWS_DIR, "ss_velmo.ini"), "w", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")

    def read_settings(self):
        path = os.path.join(WINDOWS_DIR, "ss_velmo.ini")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def picture_folder(self, name="pictures"):
        path = os.path.join(self.temp, name)
        os.makedirs(path, exist_ok=True)
        return path

    def make_picture(self, folder, name, size, pattern="photo"):
        kind = "jpg" if name.lower().endswith(".jpg") else "bmp"
        subprocess.run([os.path.join(TOOLS, "make-samples"), folder, "--size", "%dx%d" % size,
                        "--kind", kind, "--name", name, "--pattern", pattern], check=True,
                       stdout=subprocess.DEVNULL)
        return os.path.join(folder, name)

    # --- running the saver ----------------------------------------------------------
    def install_dir(self, extra_files=(), name="bin", build=DIST):
        """A folder holding the saver and its library from `build`, and any test stand-ins."""
        directory = os.path.join(self.temp, name)
        os.makedirs(directory, exist_ok=True)
        for path in [os.path.join(build, "Velmora.scr"), os.path.join(build, "picdll.dll"), *extra_files]:
            # Never over a copy that may be running: Wine maps it, and rewriting the file
            # would change the running program under its feet.
            if not os.path.exists(os.path.join(directory, os.path.basename(path))):
                shutil.copy(path, directory)
        return directory

    def start_saver(self, *args, directory=None, wait_window=True, faked_time=None):
        """A saver on a faked date is the 64-bit twin: libfaketime does not reach the
        32-bit Wine's clock (it reads the time through calls libfaketime does not know)."""
        self.set_server_clock(faked_time)
        if faked_time and not directory:
            directory = self.install_dir(name="twin", build=TWIN)
        saver = Saver(self, args, directory or self.install_dir(), faked_time=faked_time)
        self.savers.append(saver)
        if wait_window and args and args[0].lower().lstrip("/-").startswith("s"):
            self.wait_for_window("Screen Saver", saver)
        return saver

    def set_server_clock(self, faked_time):
        """Restarts the Wine server whenever the faked date changes, so that every program
        it serves sees one clock (a server left on another would serve programs of two)."""
        if faked_time == WineTestCase.server_clock:
            return
        subprocess.run([WINESERVER, "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=self.env, stderr=subprocess.DEVNULL)
        WineTestCase.server_clock = faked_time
        # The probe starts the new server on that clock, and tells it where the pointer is
        # before a saver's window appears: a server that has just started when the window
        # does may make up a move, as if the mouse had moved.
        self.put_pointer(0, 0)

    def wait_for_window(self, title, saver=None, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                                   env=self.env, capture_output=True, text=True).stdout.split()
            if found:
                return found[0]
            if saver and not saver.running():
                self.fail("saver ended before its window appeared (exit code %d; pointer at %s in X, %s in "
                          "Wine)%s" % (saver.wait(), self.x_pointer(), self.probe("cursor"), saver.output()))
            time.sleep(0.1)
        self.fail("no window titled %r" % title)

    def wait_for_exit(self, saver, timeout=10):
        try:
            return saver.wait(timeout)
        except subprocess.TimeoutExpired:
            self.fail("saver still running after %s s" % timeout)

    def wait_for_foreground(self, window, timeout=5):
        """Waits until the foreground window is "CLASS|TITLE"."""
        deadline = time.monotonic() + timeout
        while True:
            foreground = self.probe("foreground")
            if foreground.endswith("|" + window) or time.monotonic() > deadline:
                break
            time.sleep(0.2)
        self.assertTrue(foreground.endswith("|" + window), foreground)

    def assert_still_running(self, saver, seconds=1.0):
        time.sleep(seconds)
        self.assertTrue(saver.running(), "saver ended")

    # --- input and screen -----------------------------------------------------------
    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True)

    def place_pointer(self, x, y):
        """Puts the pointer at (x, y) in Windows' coordinates before a saver starts. A move
        that no window of Wine's sees (xdotool's, with no saver on the screen) leaves Wine's
        server with the old place; when a window then appears, the server makes up a mouse
        move at that old place, which would end the new saver as if the mouse had moved.
        A server that has only just started may not take the place at once. The X pointer
        is put there first: Wine moves it too, but not while another client holds a grab,
        and then it keeps the server's place, so that a later move to where X's pointer
        already is would be no move at all."""
        self.set_server_clock(None)  # a saver that needs a placed pointer runs on the real clock
        self.put_pointer(x, y)

    def put_pointer(self, x, y):
        path = os.path.join(HELPERS, "probe.exe")
        env = dict(self.env, **faked_clock(WineTestCase.server_clock))
        for _ in range(10):
            # A display under load may refuse a client now and then: the probe still places it.
            subprocess.run(["xdotool", "mousemove", *map(str, self.display.to_x(x, y))], env=self.env,
                           stderr=subprocess.DEVNULL)
            placed = subprocess.run([wine_for(path), path, "cursor", str(x), str(y)], env=env,
                                    capture_output=True, text=True, timeout=30).stdout.strip()
            # Both must agree: a server told of a place X's pointer never reached makes up
            # the move to where X has it as soon as a window appears.
            if placed == "%d %d" % (x, y) and self.x_pointer() == self.display.to_x(x, y):
                return
            time.sleep(0.3)
        self.fail("the pointer stays at %s in Wine and %s in X, not at %d %d" % (placed, self.x_pointer(), x, y))

    def x_pointer(self):
        """Where X has the pointer, as an X screenshot's pixel; None when X does not say."""
        found = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, capture_output=True,
                               text=True).stdout
        place = dict(line.split("=", 1) for line in found.split() if "=" in line)
        return (int(place["X"]), int(place["Y"])) if "X" in place and "Y" in place else None

    def screenshot(self, name=None, window="root"):
        """The screen, or one window (an X id): on an 8-bit screen Wine draws a window with a
        colormap of its own, which only that window's capture reads right."""
        blob = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"], env=self.env,
                              capture_output=True, check=True).stdout
        image = Image.from_ppm(blob)
        if name:
            self.keep(image, name)
        return image

    @staticmethod
    def keep(image, name):
        """Saves the screenshot when VELMORA_KEEP_SCREENSHOTS names a folder."""
        if os.environ.get("VELMORA_KEEP_SCREENSHOTS"):
            image.save(os.path.join(os.environ["VELMORA_KEEP_SCREENSHOTS"], name + ".ppm"))

    def wait_for_screen(self, predicate, timeout=15, interval=0.2, window="root"):
        """Screenshots until predicate(image) holds; returns that image."""
        deadline = time.monotonic() + timeout
        image = None
        while time.monotonic() < deadline:
            image = self.screenshot(window=window)
            if predicate(image):
                return image
            time.sleep(interval)
        return None

    def probe(self, *args, **popen):
        path = os.path.join(HELPERS, "probe.exe")
        if not popen:
            return subprocess.run([wine_for(path), path, *args], env=self.env, capture_output=True, text=True,
                                  timeout=30).stdout.strip()
        return subprocess.Popen([wine_for(path), path, *args], env=self.env, text=True, **popen)

    def traced(self, functions):
        """Environment that makes Wine log calls of the given functions ("dll.Function")."""
        self.registry("add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/t", "REG_SZ",
                      "/d", ";".join(functions))
        return dict(self.env, WINEDEBUG="+relay")

    def start_traced_saver(self, functions, *args, directory=None, env=None):
        """A saver whose calls of `functions` are logged; read them with relay_calls().
        `env` adds to its environment."""
        if getattr(self, "relay_log", None):
            self.relay_log.close()
        self.relay_log = open(os.path.join(self.temp, "relay-%d.log" % len(self.savers)), "w")
        saver = Saver(self, args, directory or self.install_dir(), env=dict(self.traced(functions), **(env or {})),
                      stderr=self.relay_log)
        self.savers.append(saver)
        return saver

    def relay_lines(self):
        self.relay_log.flush()
        with open(self.relay_log.name, errors="replace") as f:
            return f.readlines()

    def relay_sequence(self, functions):
        """The logged calls of `functions` in order, as (function, signed integer arguments)."""
        pattern = re.compile(r"Call (%s)\(([^)]*)\)" % "|".join(re.escape(f) for f in functions))
        calls = []
        for line in self.relay_lines():
            m = pattern.search(line)
            if m:
                calls.append((m.group(1), [signed(int(a.split()[0], 16)) for a in m.group(2).split(",") if a]))
        return calls

    def relay_calls(self, function):
        """The argument lists of the logged calls of `function`."""
        return [args for _, args in self.relay_sequence([function])]

    def wait_for_calls(self, functions, enough, timeout=20):
        """Waits until the logged calls of `functions` satisfy `enough`; returns them."""
        deadline = time.monotonic() + timeout
        while True:
            calls = self.relay_sequence(functions)
            if enough(calls) or time.monotonic() > deadline:
                return calls
            time.sleep(0.2)

    @contextlib.contextmanager
    def parent_window(self, width=152, height=112):
        """A window of the probe for the preview mode: yields (probe process, handle, client
        left, client top); the window closes when the block ends."""
        parent = self.probe("parent", str(width), str(height), stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        try:
            _, handle, left, top = parent.stdout.readline().split()
            yield parent, int(handle), int(left), int(top)
        finally:
            if not parent.stdin.closed:
                parent.stdin.close()
            parent.wait(timeout=10)

    def wait_until(self, probe, timeout=20, interval=0.1):
        """Calls probe() until its result is true, at most `timeout` seconds; returns the last."""
        deadline = time.monotonic() + timeout
        while True:
            result = probe()
            if result or time.monotonic() > deadline:
                return result
            time.sleep(interval)

    def dialogs(self):
        """This test's driver of the dialogs, started on first use."""
        if not getattr(self, "_dialog_driver", None):
            self._dialog_driver = DialogDriver(self.env)
            self.addCleanup(self._dialog_driver.close)
            self.addCleanup(setattr, self, "_dialog_driver", None)
        return self._dialog_driver

    def open_settings_dialog(self, saver=None):
        """Starts the settings dialog (or waits for `saver`'s); returns the saver once the
        dialog shows its first count."""
        saver = saver or self.start_saver("/c")
        counted = self.wait_until(lambda: self.dialogs()("label", SETTINGS_DIALOG, 126) not in ("none", ""), 30)
        self.assertTrue(counted, "no settings dialog with a count")
        return saver

    def open_effects_dialog(self):
        """Opens the effects dialog and waits until it has set itself up (its count line is
        its last step)."""
        self.dialogs()("click", SETTINGS_DIALOG, 1000)
        opened = self.wait_until(lambda: self.dialogs()("label", EFFECTS_DIALOG, 1019) not in ("none", ""))
        self.assertTrue(opened, "no effects dialog")

    def type_into(self, title, control, text, *keys):
        """Real keystrokes: a click into the control, then `text`, then any named `keys`."""
        left, top, right, bottom = map(int, self.dialogs()("rect", title, control).split())
        # A click on a dialog that X has not shown yet goes to the window below: again then.
        for _ in range(5):
            self.xdotool("mousemove", str((left + right) // 2), str((top + bottom) // 2), "click", "1")
            if self.wait_until(lambda: self.dialogs()("focus", title) == str(control), 2):
                break
        self.xdotool("type", "--delay", "80", text)
        if keys:
            self.xdotool("key", "--delay", "80", *keys)

    def registry(self, *args):
        for _ in range(3):
            done = subprocess.run([WINE64, "reg", *args, "/f"], env=dict(self.env, WINEDEBUG="err+all"),
                                  capture_output=True, text=True, errors="replace")
            # Now and then Wine's loader cannot place a new process's shared page (reg never
            # ran); that is Wine's start-up, not what a test asks of it.
            if "failed to map the shared user data" not in done.stderr:
                break
        self.assertEqual(done.returncode, 0, "reg %s: %s %s" % (" ".join(args), done.stdout, done.stderr))


def ensure_prefix(env):
    if not os.path.exists(os.path.join(PREFIX, "system.reg")):
        os.makedirs(PREFIX, exist_ok=True)
        subprocess.run([WINE64, "wineboot", "--init"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
    subprocess.run([WINE64, "regedit", "/S", os.path.join(ROOT, "scripts", "wine-settings.reg")], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    require_tools()
    unittest.main(verbosity=2)
