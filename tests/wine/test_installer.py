"""VelmoraSetup.exe on fresh prefixes: its questions and messages, the files it writes into
the Windows directory, the screen-saver settings, and how it fails."""

import os
import resource
import signal
import subprocess
import time
import unittest

import harness
import setup_bench

QUESTION = ("Install Velmora Screensaver ?    ", 0x21)            # MB_OKCANCEL | MB_ICONQUESTION
INSTALLED = ("      Saver installed       ", 0x00)                # MB_OK
ABORTED = ("Install aborted   ", 0x30)                            # MB_ICONEXCLAMATION
WRITE_ERROR = ("Write error", 0x10)                               # MB_ICONERROR
OVERWRITE = ('File : "C:\\windows\\Velmora.scr" already exists   \n\nOverwrite this file ?', 0x34)
SAVER_PATH = "C:\\windows\\Velmora.scr"
DESKTOP = r"HKCU\Control Panel\Desktop"


class Installer(setup_bench.SetupTestCase):

    def screen_saver_settings(self):
        return (self.driver("profile", "boot", "SCRNSAVE.EXE", "system.ini"), self.driver("saveractive"))

    def window_shown(self, title):
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title], env=self.env,
                              capture_output=True, text=True).stdout.strip()

    def windows_listing(self):
        return sorted((n, os.path.getsize(os.path.join(self.windows, n)), os.path.getmtime(os.path.join(self.windows, n)))
                      for n in os.listdir(self.windows) if os.path.isfile(os.path.join(self.windows, n)))

    def test_fresh_install_puts_the_saver_in_place_and_makes_it_active(self):
        self.assertEqual(self.install("ok", "ok"), (0, [QUESTION, INSTALLED]))
        for name in setup_bench.CARRIED:
            self.assertEqual(self.read(name), self.built(name), name)
        self.assertEqual(self.leftovers(), [])
        # Read back as Windows reads it (Wine keeps system.ini a file; current Windows maps
        # its [boot] key to the registry).
        short_path = self.driver("shortpath", SAVER_PATH)
        self.assertEqual(self.screen_saver_settings(), (short_path, "1"))
        with open(self.windows_file("system.ini"), errors="replace") as f:
            self.assertIn("SCRNSAVE.EXE=" + short_path, f.read())

        # The installed saver runs from the Windows directory with its library.
        pictures = os.path.join(self.prefix, "drive_c", "pictures")
        os.makedirs(pictures)
        subprocess.run([os.path.join(harness.TOOLS, "make-samples"), pictures, "--size", "640x480", "--kind", "jpg",
                        "--name", "a.jpg", "--pattern", "photo"], check=True, stdout=subprocess.DEVNULL)
        with open(self.windows_file("ss_velmo.ini"), "w", newline="\r\n") as f:
            f.write("[velmora]\ndir=C:\\pictures\nspeed=1000\neffects=0\n")
        saver = self.start(SAVER_PATH, "/s", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shown = self.wait_until(lambda: (lambda image: image.count(lambda p: max(p) > 40) > 100000)(
            self.screenshot("installed-saver")))
        self.assertTrue(shown, "no picture on the screen")
        saver.kill()

        # Help as the settings dialog opens it (a new prefix reports Windows 7: WinHelp).
        self.open_help()
        self.assertIn("The forty effects", self.wait_until(lambda: self.driver("helptext")))

    def test_cancel_or_close_at_the_first_question_changes_nothing(self):
        before = self.windows_listing()
        registry = self.run_wine("reg", "query", DESKTOP)
        for answer in ("cancel", "close"):
            self.assertEqual(self.install(answer), (1, [QUESTION]), answer)
        self.assertEqual(self.windows_listing(), before)
        self.assertEqual(self.run_wine("reg", "query", DESKTOP), registry)

    def test_second_run_keeps_the_library_rewrites_the_help_and_asks_before_replacing_the_saver(self):
        self.assertEqual(self.install("ok", "ok")[0], 0)
        library_time = os.path.getmtime(self.windows_file("picdll.dll"))
        self.place("velmora.hlp", data=b"old help")
        self.place("Velmora.scr", data=b"the saver in place")
        self.run_wine("reg", "add", DESKTOP, "/v", "ScreenSaveActive", "/t", "REG_SZ", "/d", "0", "/f")
        with open(self.windows_file("system.ini"), "a", newline="\r\n") as f:
            f.write("[boot]\nSCRNSAVE.EXE=C:\\windows\\other.scr\n")
        settings = self.screen_saver_settings()
        time.sleep(1.1)  # a rewrite would show in the file time

        self.assertEqual(self.install("ok", "no", "ok"), (0, [QUESTION, OVERWRITE, ABORTED]))
        self.assertEqual(os.path.getmtime(self.windows_file("picdll.dll")), library_time)
        self.assertEqual(self.read("velmora.hlp"), self.built("velmora.hlp"))
        self.assertEqual(self.read("Velmora.scr"), b"the saver in place")
        self.assertEqual(self.screen_saver_settings(), settings)

        self.assertEqual(self.install("ok", "yes", "ok"), (0, [QUESTION, OVERWRITE, INSTALLED]))
        self.assertEqual(self.read("Velmora.scr"), self.built("Velmora.scr"))
        self.assertEqual(self.screen_saver_settings(), (self.driver("shortpath", SAVER_PATH), "1"))
        self.assertEqual(self.leftovers(), [])

    # --- failures: "Write error", exit code 1, the old target intact, no temporary file ----
    def assert_write_error(self, answers, boxes, target, old):
        self.assertEqual(self.install(*answers), (1, boxes))
        self.assertEqual(self.read(target) if old is not None else None, old)
        self.assertEqual(self.leftovers(), [])

    def test_a_read_only_saver_stays(self):
        self.place_installation()
        old = self.place("Velmora.scr", data=b"read-only saver")
        os.chmod(old, 0o444)  # Wine shows a file without write permission as read-only
        self.assert_write_error(("ok", "yes", "ok"), [QUESTION, OVERWRITE, WRITE_ERROR], "Velmora.scr",
                                b"read-only saver")

    def test_a_running_saver_stays(self):
        # Wine, like Windows, refuses to replace the file of a running program.
        self.place_installation()
        saver = self.start(SAVER_PATH, "/s", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertTrue(self.wait_until(lambda: self.window_shown("Screen Saver")), "the saver did not start")
        self.assert_write_error(("ok", "yes", "ok"), [QUESTION, OVERWRITE, WRITE_ERROR], "Velmora.scr",
                                self.built("Velmora.scr"))

    def test_a_folder_named_like_the_saver_is_a_write_error_after_the_library_and_help(self):
        os.mkdir(self.windows_file("Velmora.scr"))
        self.assertEqual(self.install("ok", "ok"), (1, [QUESTION, WRITE_ERROR]))
        self.assertTrue(os.path.isdir(self.windows_file("Velmora.scr")))
        for name in ("picdll.dll", "velmora.hlp", "velmora.chm"):
            self.assertEqual(self.read(name), self.built(name))
        self.assertEqual(self.leftovers(), [])

    def test_a_full_disk_leaves_no_part_of_a_file(self):
        # A file-size limit on the installer makes every write past 512 KiB fail, as on a full
        # disk: the library is larger. (Its trace of the message boxes stays smaller.)
        def limited():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (512 * 1024, 512 * 1024))
        self.assertEqual(self.install("ok", "ok", preexec_fn=limited), (1, [QUESTION, WRITE_ERROR]))
        self.assertFalse(os.path.exists(self.windows_file("picdll.dll")))
        self.assertEqual(self.leftovers(), [])

    def test_help_held_open_by_its_viewer(self):
        # HTML Help keeps its file open without letting it be replaced; WinHelp reads the
        # whole file and closes it.
        self.place_installation()
        viewer = self.start("hh.exe", "C:\\windows\\velmora.chm", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertTrue(self.wait_until(lambda: self.driver("helptree").startswith("8 ")))
        self.assert_write_error(("ok", "ok"), [QUESTION, WRITE_ERROR], "velmora.chm", self.built("velmora.chm"))
        viewer.kill()


# --- the library already in place ---------------------------------------------------------
def version_resource(product=None, table="040904E4", translation=(0x0409, 1252), fixed=(1, 0, 0, 0)):
    """A resource script with the version information of a test library."""
    numbers = ", ".join(str(n) for n in fixed)
    strings = ""
    if product is not None:
        strings = ('  BLOCK "StringFileInfo"\n  BEGIN\n    BLOCK "%s"\n    BEGIN\n'
                   '      VALUE "ProductVersion", "%s"\n    END\n  END\n' % (table, product))
    return ("1 VERSIONINFO\nFILEVERSION %s\nPRODUCTVERSION %s\nBEGIN\n%s"
            '  BLOCK "VarFileInfo"\n  BEGIN\n    VALUE "Translation", 0x%04x, %d\n  END\nEND\n'
            % (numbers, numbers, strings, translation[0], translation[1]))


def library(folder, script):
    """A resource-only x86-64 DLL made with the resource compiler from script."""
    rc, obj, dll = (os.path.join(folder, "library" + ext) for ext in (".rc", ".o", ".dll"))
    with open(rc, "w") as f:
        f.write(script)
    subprocess.run(["x86_64-w64-mingw32-windres", rc, "-O", "coff", "-o", obj], check=True)
    subprocess.run(["x86_64-w64-mingw32-gcc", "-shared", "-nostdlib", "-Wl,--entry=0", "-o", dll, obj], check=True)
    with open(dll, "rb") as f:
        return f.read()


def damaged(dll):
    """The version information's header claims a fixed part that is not there, and its
    string table is misnamed."""
    at = dll.index("VS_VERSION_INFO".encode("utf-16-le")) - 6
    broken = bytearray(dll)
    broken[at + 2:at + 4] = b"\xff\xff"
    key = broken.index("StringFileInfo".encode("utf-16-le"))
    broken[key:key + 2] = "X".encode("utf-16-le")
    return bytes(broken)


# (case, what the library is, whether it stays); the fixed version of a library with a
# product version string says the opposite, so a lookup in the wrong order shows.
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
    ("no_version_information", None, False),
    ("damaged_version_information", "damaged", False),
    ("empty_file", b"", False),
    ("32_bit_library_3_1_3", "win32", False),
]


def library_test(what, stays):
    def test(self):
        work = os.path.join(self.prefix, "libraries")
        os.makedirs(work)
        if what is None:
            data = library(work, 'STRINGTABLE\nBEGIN\n  1 "no version"\nEND\n')
        elif what == "damaged":
            data = damaged(library(work, version_resource(product="3.1.3")))
        elif what == "win32":
            with open(os.path.join(harness.ROOT, "dist", "win32", "picdll.dll"), "rb") as f:
                data = f.read()
        elif isinstance(what, bytes):
            data = what
        else:
            data = library(work, version_resource(**what))
        self.place("picdll.dll", data=data)
        self.assertEqual(self.install("ok", "ok"), (0, [QUESTION, INSTALLED]))
        self.assertEqual(self.read("picdll.dll"), data if stays else self.built("picdll.dll"))
        self.assertEqual(self.leftovers(), [])
    return test


class InstalledLibrary(setup_bench.SetupTestCase):

    def test_a_folder_named_like_the_library_is_a_write_error(self):
        os.mkdir(self.windows_file("picdll.dll"))
        self.assertEqual(self.install("ok", "ok"), (1, [QUESTION, WRITE_ERROR]))
        self.assertTrue(os.path.isdir(self.windows_file("picdll.dll")))
        self.assertFalse(os.path.exists(self.windows_file("velmora.hlp")))


for case, what, stays in LIBRARIES:
    setattr(InstalledLibrary, "test_library_%s_%s" % (case, "stays" if stays else "is_replaced"),
            library_test(what, stays))


if __name__ == "__main__":
    setup_bench.require_setup()
    unittest.main(verbosity=2)
