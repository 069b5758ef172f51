"""VelmoraSetup.exe on fresh prefixes: its boxes and exit codes, the files it writes into the
Windows directory, the screen-saver settings, and how it fails."""

import os
import resource
import signal
import subprocess
import time
import unittest

import harness
import setup_bench

QUESTION = ("Install Velmora Screensaver ?    ", 0x21)  # MB_OKCANCEL | MB_ICONQUESTION
INSTALLED = ("      Saver installed       ", 0x00)      # MB_OK
ABORTED = ("Install aborted   ", 0x30)                  # MB_ICONEXCLAMATION
WRITE_ERROR = ("Write error", 0x10)                     # MB_ICONERROR
OVERWRITE = ('File : "C:\\windows\\Velmora.scr" already exists   \n\nOverwrite this file ?', 0x34)
SAVER = "C:\\windows\\Velmora.scr"


class Installer(setup_bench.SetupTestCase):

    def screen_saver(self):
        """(SCRNSAVE.EXE as Windows reads it, the saver's short path, screen saving on)."""
        return tuple(self.driver("screensaver", SAVER).split("|"))

    def another_saver_active(self):
        """Names another saver in system.ini, screen saving off; returns those settings."""
        self.run_wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "ScreenSaveActive", "/d", "0", "/f")
        with open(self.windows_file("system.ini"), "a", newline="\r\n") as f:
            f.write("[boot]\nSCRNSAVE.EXE=C:\\windows\\other.scr\n")
        return self.screen_saver()

    def place_installation(self):
        for name in setup_bench.CARRIED:
            self.place(name)

    def test_fresh_install_puts_the_saver_in_place_and_makes_it_active(self):
        self.assertEqual(self.install("ok", "ok"), (0, [QUESTION, INSTALLED]))
        for name in setup_bench.CARRIED:
            self.assertEqual(self.read(name), self.built(name), name)
        self.assertEqual(self.leftovers(), [])
        # Wine's short form of this path is the path itself: the unit test of the installation
        # shows that the short form is the one named.
        named, _, active = self.screen_saver()
        self.assertEqual((named.lower(), active), (SAVER.lower(), "1"))
        # Wine keeps system.ini a file; current Windows maps its [boot] key to the registry.
        with open(self.windows_file("system.ini"), errors="replace") as f:
            self.assertIn("SCRNSAVE.EXE=" + named, f.read())

        # The installed saver runs from the Windows directory with its library.
        pictures = os.path.join(self.prefix, "drive_c", "pictures")
        os.makedirs(pictures)
        subprocess.run([os.path.join(harness.TOOLS, "make-samples"), pictures, "--size", "640x480", "--kind", "jpg",
                        "--name", "a.jpg", "--pattern", "photo"], check=True, stdout=subprocess.DEVNULL)
        with open(self.windows_file("ss_velmo.ini"), "w", newline="\r\n") as f:
            f.write("[velmora]\ndir=C:\\pictures\nspeed=1000\n")
        self.start(SAVER, "/s")
        lit = lambda p: max(p) > 40  # noqa: E731
        self.assertTrue(self.wait_until(lambda: self.screenshot("installed-saver").count(lit) > 100000))

        # Its settings dialog's Help opens the installed help (a new prefix reports Windows 7,
        # so in HTML Help).
        self.open_help()
        self.assertTrue(self.wait_until(lambda: self.driver("helptree").startswith("9 ")))

    @harness.needs_32_bit
    def test_the_32_bit_installer_writes_into_the_windows_directory_itself(self):
        # A 32-bit program on 64-bit Windows sees system32 redirected, never the Windows
        # directory: the files land where the saver is looked for.
        self.assertEqual(self.install("ok", "ok", build="win32"), (0, [QUESTION, INSTALLED]))
        for name in setup_bench.CARRIED:
            self.assertEqual(self.read(name), self.built(name, "win32"), name)
        for folder in ("system32", "syswow64"):
            self.assertEqual([n for n in os.listdir(os.path.join(self.windows, folder))
                              if n.lower() in map(str.lower, setup_bench.CARRIED)], [], folder)
        named, _, active = self.screen_saver()
        self.assertEqual((named.lower(), active), (SAVER.lower(), "1"))

    @harness.needs_32_bit
    def test_each_installer_replaces_the_others_library_only_with_its_saver(self):
        def pair():
            return [self.read(name) for name in ("picdll.dll", "Velmora.scr")]
        builds = {build: [self.built(name, build) for name in ("picdll.dll", "Velmora.scr")]
                  for build in setup_bench.BUILDS}
        self.assertEqual(self.install("ok", "ok", build="win64")[0], 0)
        for old, new in (("win64", "win32"), ("win32", "win64")):
            # Declined: the saver in place keeps the library it loads, the help is the new one.
            self.assertEqual(self.install("ok", "no", "ok", build=new), (0, [QUESTION, OVERWRITE, ABORTED]), new)
            self.assertEqual(pair(), builds[old], new)
            self.assertEqual(self.read("velmora.hlp"), self.built("velmora.hlp", new))
            self.assertEqual(self.install("ok", "yes", "ok", build=new), (0, [QUESTION, OVERWRITE, INSTALLED]), new)
            self.assertEqual(pair(), builds[new], new)

    def test_cancel_or_close_at_the_first_question_changes_nothing(self):
        def state():
            files = sorted((n, os.stat(os.path.join(self.windows, n)).st_mtime) for n in os.listdir(self.windows))
            return files, self.run_wine("reg", "query", r"HKCU\Control Panel\Desktop")
        before = state()
        for answer in ("cancel", "close"):
            self.assertEqual(self.install(answer), (1, [QUESTION]), answer)
        self.assertEqual(state(), before)

    def test_second_run_keeps_the_library_rewrites_the_help_and_asks_before_replacing_the_saver(self):
        self.assertEqual(self.install("ok", "ok")[0], 0)
        library_time = os.path.getmtime(self.windows_file("picdll.dll"))
        self.place("velmora.hlp", b"old help")
        self.place("Velmora.scr", b"the saver in place")
        settings = self.another_saver_active()
        time.sleep(1.1)  # a rewrite of the library would show in its time

        self.assertEqual(self.install("ok", "no", "ok"), (0, [QUESTION, OVERWRITE, ABORTED]))
        self.assertEqual(os.path.getmtime(self.windows_file("picdll.dll")), library_time)
        self.assertEqual(self.read("velmora.hlp"), self.built("velmora.hlp"))
        self.assertEqual(self.read("Velmora.scr"), b"the saver in place")
        self.assertEqual(self.screen_saver(), settings)

        self.assertEqual(self.install("ok", "yes", "ok"), (0, [QUESTION, OVERWRITE, INSTALLED]))
        self.assertEqual(self.read("Velmora.scr"), self.built("Velmora.scr"))
        self.assertEqual(self.screen_saver()[2], "1")

    # --- failures: "Write error", exit code 1, the old file intact, no temporary file -------
    def assert_write_error(self, answers, boxes, name, old):
        self.assertEqual(self.install(*answers), (1, boxes))
        self.assertEqual(self.read(name), old)
        self.assertEqual(self.leftovers(), [])

    def test_a_read_only_saver_stays_and_the_settings_with_it(self):
        self.place_installation()
        os.chmod(self.place("Velmora.scr", b"read-only saver"), 0o444)  # Wine shows it read-only
        settings = self.another_saver_active()
        self.assert_write_error(("ok", "yes", "ok"), [QUESTION, OVERWRITE, WRITE_ERROR], "Velmora.scr", b"read-only saver")
        self.assertEqual(self.screen_saver(), settings)

    def test_a_running_saver_stays(self):
        # Wine, like Windows, refuses to replace the file of a running program.
        self.place_installation()
        self.start(SAVER, "/s")
        self.assertTrue(self.wait_until(lambda: self.driver("shown", "WindowsScreenSaverClass") == "1"))
        self.assert_write_error(("ok", "yes", "ok"), [QUESTION, OVERWRITE, WRITE_ERROR], "Velmora.scr",
                                self.built("Velmora.scr"))

    def test_help_held_open_by_html_help_stays(self):
        # HTML Help keeps its file open and lets nobody replace it; WinHelp reads and closes.
        self.place_installation()
        self.html_help("C:\\windows\\velmora.chm")
        self.assertTrue(self.wait_until(lambda: self.driver("helptree").startswith("9 ")))
        self.assert_write_error(("ok", "ok"), [QUESTION, WRITE_ERROR], "velmora.chm", self.built("velmora.chm"))

    def test_folders_named_like_the_library_or_the_saver_stay(self):
        # The library comes first; the help and library are kept when the saver fails.
        os.mkdir(self.windows_file("picdll.dll"))
        self.assertEqual(self.install("ok", "ok"), (1, [QUESTION, WRITE_ERROR]))
        self.assertEqual([n for n in setup_bench.CARRIED if os.path.exists(self.windows_file(n))], ["picdll.dll"])
        os.rmdir(self.windows_file("picdll.dll"))
        os.mkdir(self.windows_file("Velmora.scr"))
        self.assertEqual(self.install("ok", "ok"), (1, [QUESTION, WRITE_ERROR]))
        self.assertTrue(os.path.isdir(self.windows_file("Velmora.scr")))
        for name in setup_bench.CARRIED[0:1] + setup_bench.CARRIED[2:]:
            self.assertEqual(self.read(name), self.built(name))
        self.assertEqual(self.leftovers(), [])

    def test_a_full_disk_leaves_no_part_of_a_file(self):
        # A file-size limit fails every write past 512 KiB, as a full disk does: the library is
        # larger, the installer's trace of its boxes smaller.
        def limited():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (512 * 1024, 512 * 1024))
        self.assertEqual(self.install("ok", "ok", preexec_fn=limited), (1, [QUESTION, WRITE_ERROR]))
        self.assertFalse(os.path.exists(self.windows_file("picdll.dll")))
        self.assertEqual(self.leftovers(), [])


# --- the library already in place -------------------------------------------------------------
def make_library(folder, product=None, table="040904E4", translation=(0x0409, 1252), fixed=(1, 0, 0, 0)):
    """A resource-only DLL made with the resource compiler, with that version information
    (none without a product version or a fixed version)."""
    strings = ('BLOCK "StringFileInfo" { BLOCK "%s" { VALUE "ProductVersion", "%s" } }' % (table, product)
               if product else "")
    numbers = ",".join(map(str, fixed or ()))
    with open(os.path.join(folder, "v.rc"), "w") as f:
        f.write('1 VERSIONINFO FILEVERSION %s PRODUCTVERSION %s { %s BLOCK "VarFileInfo" '
                '{ VALUE "Translation", %d, %d } }\n' % (numbers, numbers, strings, *translation)
                if product or fixed else 'STRINGTABLE { 1 "no version" }\n')
    # Built for the tested installer's architecture, so that only the version decides.
    tools = {"win32": "i686-w64-mingw32", "win64": "x86_64-w64-mingw32"}[os.path.basename(setup_bench.dist())]
    subprocess.run([tools + "-windres", "v.rc", "-O", "coff", "-o", "v.o"], cwd=folder, check=True)
    subprocess.run([tools + "-gcc", "-shared", "-nostdlib", "-Wl,--entry=0", "-o", "v.dll", "v.o"],
                   cwd=folder, check=True)
    with open(os.path.join(folder, "v.dll"), "rb") as f:
        return f.read()


def damaged(dll):
    """Version information whose header claims a fixed part it lacks, its string table misnamed."""
    broken = bytearray(dll)
    at = dll.index("VS_VERSION_INFO".encode("utf-16-le")) - 6
    broken[at + 2:at + 4] = b"\xff\xff"
    key = dll.index("StringFileInfo".encode("utf-16-le"))
    broken[key:key + 2] = "X".encode("utf-16-le")
    return bytes(broken)


# (case, the library's version information, whether it stays). A library with a version
# string has a fixed version that says the opposite, so a lookup in the wrong order shows.
LIBRARIES = [
    ("3_1_3", dict(product="3.1.3"), True),
    ("3_1_3_table_named_in_lower_case", dict(product="3.1.3", table="040904e4"), True),
    ("3_2", dict(product="3.2"), True),
    ("4_0", dict(product="4.0"), True),
    ("3_1_10", dict(product="3.1.10"), True),
    ("2_5", dict(product="2.5", fixed=(9, 0, 0, 0)), False),
    ("3_1_3_0_with_commas", dict(product="3, 1, 3, 0"), True),
    ("3_2_0_0_with_commas", dict(product="3, 2, 0, 0"), True),
    ("only_a_german_table", dict(product="3.1.3", table="040704B0", translation=(0x0407, 1200)), True),
    ("only_a_fixed_version_3_1_3", dict(fixed=(3, 1, 3, 0)), True),
    ("only_a_fixed_version_2_5", dict(fixed=(2, 5, 0, 0)), False),
    ("no_version_information", dict(fixed=None), False),
    ("damaged_version_information", "damaged", False),
    ("empty_file", b"", False),
    ("other_architectures_library_3_1_3", "other", False),
]


class InstalledLibrary(setup_bench.SetupTestCase):

    def check(self, what, stays):
        folder = os.path.join(self.prefix, "library")
        os.mkdir(folder)
        if what == "damaged":
            data = damaged(make_library(folder, product="3.1.3"))
        elif what == "other":
            tested = os.path.basename(setup_bench.dist())
            data = self.built("picdll.dll", [b for b in setup_bench.BUILDS if b != tested][0])
        else:
            data = what if isinstance(what, bytes) else make_library(folder, **what)
        self.place("picdll.dll", data)
        self.assertEqual(self.install("ok", "ok"), (0, [QUESTION, INSTALLED]))
        self.assertEqual(self.read("picdll.dll"), data if stays else self.built("picdll.dll"))


for case, what, stays in LIBRARIES:
    setattr(InstalledLibrary, "test_%s_%s" % (case, "stays" if stays else "is_replaced"),
            lambda self, what=what, stays=stays: self.check(what, stays))


if __name__ == "__main__":
    setup_bench.require_setup()
    unittest.main(verbosity=2)
