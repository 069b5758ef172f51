"""Test bench for the installer and the help: every test gets a fresh Wine prefix of its
own, copied from one pristine prefix that wineboot makes once, and its own X display.

The installer's message boxes are answered by the setup driver (tests/wine/helpers); the
exact text, caption and style of each box come from Wine's trace of MessageBoxA.
"""

import os
import re
import shutil
import subprocess
import time
import unittest

import harness

SETUP_ROOT = os.path.join(harness.ROOT, "out", "wine-setup")
PRISTINE = os.path.join(SETUP_ROOT, "pristine")
SCREENSHOTS = os.path.join(SETUP_ROOT, "screenshots")
SETUP = os.path.join(harness.DIST, "VelmoraSetup.exe")
DRIVER = os.path.join(harness.HELPERS, "setup_driver.exe")
OPEN_HELP = os.path.join(harness.HELPERS, "open_help.exe")
CARRIED = ["picdll.dll", "Velmora.scr", "velmora.hlp", "velmora.chm"]
# Files that are never written in a test: shared with the pristine prefix by hard links.
SHARED_FOLDERS = ("system32", "syswow64", "winsxs")
MESSAGE_BOX = re.compile(r'Call user32\.MessageBoxA\(([0-9a-f]+),[0-9a-f]+ "(.*)",[0-9a-f]+ "(.*)",([0-9a-f]+)\)')


def require_setup():
    harness.require_tools()
    missing = [p for p in (SETUP, DRIVER, OPEN_HELP) if not os.path.exists(p)]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        raise SystemExit(harness.SKIP)


def wine_env(prefix, display=None):
    env = dict(os.environ, WINEPREFIX=prefix, WINEARCH="win64", WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    if display:
        env["DISPLAY"] = display
    return env


def wine_version():
    return subprocess.run([harness.WINE64, "--version"], capture_output=True, text=True).stdout.strip()


def ensure_pristine():
    """The pristine prefix, made by wineboot when missing or made by another Wine."""
    stamp = os.path.join(PRISTINE, "velmora-stamp")
    version = wine_version()
    if os.path.exists(stamp) and open(stamp).read() == version:
        return
    making = PRISTINE + ".making"
    shutil.rmtree(making, ignore_errors=True)
    shutil.rmtree(PRISTINE, ignore_errors=True)
    os.makedirs(making)
    env = wine_env(making)
    subprocess.run([harness.WINE64, "wineboot", "--init"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    subprocess.run([harness.WINE64, "regedit", "/S", os.path.join(harness.ROOT, "scripts", "wine-settings.reg")],
                   env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Only the message boxes are traced when a test asks for Wine's relay trace.
    subprocess.run([harness.WINE64, "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/t",
                    "REG_SZ", "/d", "user32.MessageBoxA", "/f"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    subprocess.run([harness.WINESERVER, "-w"], env=env)
    with open(os.path.join(making, "velmora-stamp"), "w") as f:
        f.write(version)
    os.rename(making, PRISTINE)


def copy_prefix(target):
    def place(source, destination):
        relative = os.path.relpath(source, PRISTINE).split(os.sep)
        if len(relative) > 3 and relative[:2] == ["drive_c", "windows"] and relative[2].lower() in SHARED_FOLDERS:
            os.link(source, destination)
        else:
            shutil.copy2(source, destination)
    shutil.rmtree(target, ignore_errors=True)
    # Debian's Wine notes in the prefix where its server listens; a copy needs its own.
    shutil.copytree(PRISTINE, target, symlinks=True, copy_function=place,
                    ignore=lambda folder, names: ["wineserver"] if folder == PRISTINE else [])


def unescape(text):
    """A string as Wine's trace writes it, back to its characters."""
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), text)


class SetupTestCase(unittest.TestCase):
    """A fresh prefix per test; the display lives as long as the test class."""

    geometry = "1024x768x24"

    @classmethod
    def setUpClass(cls):
        ensure_pristine()
        cls.display = harness.Display(cls.geometry)

    @classmethod
    def tearDownClass(cls):
        cls.display.close()

    def setUp(self):
        self.prefix = os.path.join(SETUP_ROOT, self.id().split(".")[-1])
        copy_prefix(self.prefix)
        self.env = wine_env(self.prefix, self.display.name)
        self.windows = os.path.join(self.prefix, "drive_c", "windows")
        self.processes = []
        # A process held open for the whole test keeps the prefix's server running, so each
        # later program starts at once; the server has none of the limits a test may set.
        self.keeper = subprocess.Popen([harness.WINE64, DRIVER, "hold"], env=self.env, stdin=subprocess.PIPE,
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.assertEqual(self.keeper.stdout.readline().strip(), "holding")

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.keeper.stdin.close()
        self.keeper.wait(timeout=30)
        subprocess.run([harness.WINESERVER, "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run([harness.WINESERVER, "-w"], env=self.env, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.prefix, ignore_errors=True)

    # --- running programs ---------------------------------------------------------------
    def start(self, *args, env=None, **popen):
        process = subprocess.Popen([harness.WINE64, *args], env=env or self.env, **popen)
        self.processes.append(process)
        return process

    def run_wine(self, *args):
        return subprocess.run([harness.WINE64, *args], env=self.env, capture_output=True, text=True,
                              errors="replace", timeout=60).stdout.strip()

    def driver(self, *args):
        return self.run_wine(DRIVER, *args)

    def open_help(self):
        """Opens the help as the settings dialog's Help button does; the test's end closes it."""
        helper = self.start(OPEN_HELP, stdout=subprocess.PIPE, text=True)
        self.assertEqual(helper.stdout.readline().strip(), "opened")

    def install(self, *answers, preexec_fn=None):
        """Runs the installer, answering its boxes in turn; returns (exit code, boxes), each
        box (text, style) as the installer asked for it, captioned "Install" without owner."""
        log_path = os.path.join(self.prefix, "setup-%d.log" % len(self.processes))
        with open(log_path, "w") as log:
            setup = self.start(SETUP, env=dict(self.env, WINEDEBUG="+relay"), stdout=subprocess.DEVNULL,
                               stderr=log, preexec_fn=preexec_fn)
            for answer in answers:
                shown = self.driver("box", "Install", answer)
                self.assertTrue(shown.startswith("text="), "no box to answer %r" % answer)
            try:
                code = setup.wait(timeout=60)
            except subprocess.TimeoutExpired:
                self.fail("the installer still runs after its last expected box")
        with open(log_path, errors="replace") as f:
            calls = MESSAGE_BOX.findall(f.read())
        boxes = []
        for owner, text, caption, style in calls:
            self.assertEqual((int(owner, 16), unescape(caption)), (0, "Install"))
            boxes.append((unescape(text), int(style, 16)))
        return code, boxes

    # --- files ----------------------------------------------------------------------------
    def windows_file(self, name):
        return os.path.join(self.windows, name)

    def place(self, name, source=None, data=None):
        """Puts a file into the prefix's Windows directory, as an earlier install would."""
        path = self.windows_file(name)
        if data is not None:
            with open(path, "wb") as f:
                f.write(data)
        else:
            shutil.copyfile(source or os.path.join(harness.DIST, name), path)
        return path

    def place_installation(self):
        for name in CARRIED:
            self.place(name)

    def read(self, name):
        with open(self.windows_file(name), "rb") as f:
            return f.read()

    def built(self, name):
        with open(os.path.join(harness.DIST, name), "rb") as f:
            return f.read()

    def leftovers(self):
        """Temporary files of the installer left in the Windows directory."""
        return [n for n in os.listdir(self.windows) if n.lower().endswith(".tmp")]

    def set_windows_version(self, version):
        self.run_wine("winecfg", "/v", version)

    # --- screen -----------------------------------------------------------------------------
    def screenshot(self, name):
        os.makedirs(SCREENSHOTS, exist_ok=True)
        path = os.path.join(SCREENSHOTS, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        blob = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                              capture_output=True, check=True).stdout
        return harness.Image.from_ppm(blob)

    def wait_until(self, condition, timeout=30, interval=0.3):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(interval)
        return condition()
