"""Bench for the installer and help tests: each test runs on a fresh Wine prefix of its own,
copied from one pristine prefix that wineboot makes when it is missing. The setup driver
(tests/wine/helpers) answers message boxes; Wine's trace of MessageBoxA gives each box's
exact text, caption and style."""

import os
import re
import shutil
import subprocess
import time
import unittest

import harness

SETUP_ROOT = os.path.join(harness.ROOT, "out", "wine-setup")
PRISTINE = os.path.join(SETUP_ROOT, "pristine")
BUILDS = ("win32", "win64")
DRIVER = os.path.join(harness.HELPERS, "setup_driver.exe")
CARRIED = ["picdll.dll", "Velmora.scr", "velmora.hlp", "velmora.chm"]
MESSAGE_BOX = re.compile(r'Call user32\.MessageBoxA\(([0-9a-f]+),[0-9a-f]+ "(.*)",[0-9a-f]+ "(.*)",([0-9a-f]+)\)')


def dist(build=None):
    """The folder of a build's files: the tested one, or "win32" or "win64"."""
    return os.path.join(harness.ROOT, "dist", build) if build else harness.DIST


def require_setup():
    harness.require_tools()
    setups = [os.path.join(dist(build), "VelmoraSetup.exe") for build in (None, *BUILDS)]
    if not all(os.path.exists(p) for p in (DRIVER, *setups)):
        print("skipped: the installer or its test helpers are not built")
        raise SystemExit(harness.SKIP)


def wine_env(prefix, display=None):
    return dict(os.environ, WINEPREFIX=prefix, WINEARCH="win64", WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                **({"DISPLAY": display} if display else {}))


def ensure_pristine():
    stamp = os.path.join(PRISTINE, "velmora-stamp")
    version = subprocess.run([harness.WINE64, "--version"], capture_output=True, text=True).stdout
    if os.path.exists(stamp) and open(stamp).read() == version:
        return
    making = PRISTINE + ".making"
    for folder in (making, PRISTINE):
        shutil.rmtree(folder, ignore_errors=True)
    # Wine makes the prefix itself but not the folders above it.
    os.makedirs(SETUP_ROOT, exist_ok=True)
    env = wine_env(making)
    quiet = dict(env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([harness.WINE64, "wineboot", "--init"], **quiet)
    subprocess.run([harness.WINE64, "regedit", "/S", os.path.join(harness.ROOT, "scripts", "wine-settings.reg")], **quiet)
    # A relay trace, when a test asks for one, covers only the message boxes.
    subprocess.run([harness.WINE64, "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/t", "REG_SZ",
                    "/d", "user32.MessageBoxA", "/f"], **quiet)
    subprocess.run([harness.WINESERVER, "-w"], env=env)
    with open(os.path.join(making, "velmora-stamp"), "w") as f:
        f.write(version)
    os.rename(making, PRISTINE)


def copy_prefix(target):
    """Hard links for the system folders no test writes; Debian's Wine notes in the prefix
    ("wineserver") where its server listens, and a copy needs its own."""
    def place(source, destination):
        parts = os.path.relpath(source, PRISTINE).split(os.sep)
        if parts[:2] == ["drive_c", "windows"] and len(parts) > 3 and parts[2] in ("system32", "syswow64", "winsxs"):
            os.link(source, destination)
        else:
            shutil.copy2(source, destination)
    shutil.rmtree(target, ignore_errors=True)
    shutil.copytree(PRISTINE, target, symlinks=True, copy_function=place,
                    ignore=lambda folder, names: ["wineserver"] if folder == PRISTINE else [])


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), text)


class SetupTestCase(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        ensure_pristine()
        cls.display = harness.Display()

    @classmethod
    def tearDownClass(cls):
        cls.display.close()

    def setUp(self):
        self.prefix = os.path.join(SETUP_ROOT, self.id().split(".")[-1])
        copy_prefix(self.prefix)
        self.env = wine_env(self.prefix, self.display.name)
        self.windows = os.path.join(self.prefix, "drive_c", "windows")
        self.processes = []
        # A process held open for the whole test keeps the prefix's server running, so later
        # programs start at once, and the server has none of the limits a test may set.
        self.keeper = subprocess.Popen([harness.wine_for(DRIVER), DRIVER, "hold"], env=self.env, stdin=subprocess.PIPE,
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.assertEqual(self.keeper.stdout.readline().strip(), "holding")

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.keeper.stdin.close()
        self.keeper.wait(timeout=30)
        for flag in ("-k", "-w"):
            subprocess.run([harness.WINESERVER, flag], env=self.env, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.prefix, ignore_errors=True)

    def start(self, *args, env=None, **popen):
        popen.setdefault("stdout", subprocess.DEVNULL)
        popen.setdefault("stderr", subprocess.DEVNULL)
        process = subprocess.Popen([self.loader(args[0]), *args], env=env or self.env, **popen)
        self.processes.append(process)
        return process

    def loader(self, program):
        """The loader of a program named by a path here or in the prefix's Windows folder
        (wine64 would run a 32-bit one as the child of a start.exe of its own); wine64 for
        Wine's own programs."""
        if program.lower().startswith("c:\\windows\\"):
            program = self.windows_file(program[len("c:\\windows\\"):])
        return harness.wine_for(program) if os.path.isfile(program) else harness.WINE64

    def run_wine(self, *args):
        return subprocess.run([self.loader(args[0]), *args], env=self.env, capture_output=True, text=True, errors="replace",
                              timeout=60).stdout.strip()

    def driver(self, *args):
        return self.run_wine(DRIVER, *args)

    def install(self, *answers, preexec_fn=None, build=None):
        """Runs the installer (of the tested build, or of the one named), answering its boxes
        in turn; returns the exit code and the boxes as (text, style), each checked to be
        captioned "Install" without an owner."""
        log_path = os.path.join(self.prefix, "setup-%d.log" % len(self.processes))
        with open(log_path, "w") as log:
            setup = self.start(os.path.join(dist(build), "VelmoraSetup.exe"), env=dict(self.env, WINEDEBUG="+relay"),
                               stderr=log, preexec_fn=preexec_fn)
            for answer in answers:
                self.assertEqual(subprocess.run([harness.wine_for(DRIVER), DRIVER, "box", "Install", answer],
                                                env=self.env, timeout=60).returncode, 0, "no box for %r" % answer)
            code = setup.wait(timeout=60)
        with open(log_path, errors="replace") as f:
            calls = MESSAGE_BOX.findall(f.read())
        for owner, _, caption, _ in calls:
            self.assertEqual((int(owner, 16), caption), (0, "Install"))
        return code, [(unescape(text), int(style, 16)) for _, text, _, style in calls]

    def open_help(self):
        """Presses Help in the settings dialog of the installed saver."""
        self.start("C:\\windows\\Velmora.scr", "/c")
        self.assertEqual(self.driver("box", "JPG/BMP Velmora V1.3", "1021"), "")

    def html_help(self, path):
        """Starts HTML Help of the setup driver's architecture, whose tree the driver can read."""
        native = harness.wine_for(DRIVER) == harness.WINE64
        return self.start("hh.exe" if native else "C:\\windows\\syswow64\\hh.exe", path)

    def windows_file(self, name):
        return os.path.join(self.windows, name)

    def place(self, name, data=None):
        """Puts a file into the Windows directory as an earlier installation would."""
        if data is None:
            shutil.copyfile(os.path.join(harness.DIST, name), self.windows_file(name))
        else:
            with open(self.windows_file(name), "wb") as f:
                f.write(data)
        return self.windows_file(name)

    def read(self, name, folder=None):
        with open(os.path.join(folder or self.windows, name), "rb") as f:
            return f.read()

    def built(self, name, build=None):
        return self.read(name, dist(build))

    def leftovers(self):
        return [n for n in os.listdir(self.windows) if n.lower().endswith(".tmp")]

    def screenshot(self, name):
        path = os.path.join(os.environ.get("VELMORA_KEEP_SCREENSHOTS") or os.path.join(SETUP_ROOT, "screenshots"),
                            name + ".png")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return harness.Image.from_ppm(subprocess.run(["convert", path, "ppm:-"], capture_output=True, check=True).stdout)

    def wait_until(self, condition, timeout=30):
        deadline = time.monotonic() + timeout
        while not (value := condition()) and time.monotonic() < deadline:
            time.sleep(0.3)
        return value
