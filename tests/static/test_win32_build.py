"""Both builds checked without running them: headers, exports, imports, resources and manifests
(the end-to-end tests run the 32-bit one)."""

import os
import sys
import unittest

from pe import PeFile, RT_MANIFEST

ROOT = os.environ.get("VELMORA_ROOT") or os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PICDLL_FUNCTIONS = ["PicDLLInitDLL", "PicDLLSetJPGErrorMsgBox", "PicDLLSetCallback",
                    "PicDLLGetJPGDimensions", "PicDLLGetBMPDimensions", "PicDLLReadRGBFromJPG",
                    "PicDLLReadRGBFromBMP", "PicDLLGetLastError", "PicDLLResizeRGB2",
                    "PicDLLQuantizeRGBTo8Bit", "PicDLLRGBToHBITMAP",
                    # added later, after every earlier ordinal
                    "PicDLLGetJPGDimensionsW", "PicDLLGetBMPDimensionsW", "PicDLLReadRGBFromJPGW",
                    "PicDLLReadRGBFromBMPW", "PicDLLReadScaledRGBFromJPGW", "PicDLLResizeReducedRGB"]
I386, AMD64, PE32, PE32_PLUS, GUI = 0x14C, 0x8664, 0x10B, 0x20B, 2
LARGE_ADDRESS_AWARE = 0x20
FAULT_SEAM = b"VELMORA_FAIL_ALLOCATION"  # what the tests' fault builds read

# The dialog templates, control by control in template order: (id, kind, text or None when
# the text is the maker's to choose, position in dialog units).
SETTINGS_DIALOG = (2003, "JPG/BMP Velmora V1.3", (314, 172), [
    (101, "group", "Speed", (146, 111, 162, 33)), (103, "text", "Delay:", (161, 125, 21, 8)),
    (104, "text", "Seconds", (227, 125, 34, 8)), (1, "push", "OK", (202, 150, 50, 14)),
    (2, "push", "Cancel", (258, 150, 50, 14)),
    (110, "check", "Enlarge small images to screensize", (10, 20, 125, 8)),
    (111, "check", "Reduce big images to screensize", (10, 30, 125, 8)),
    (112, "check", "Clear screen", (10, 40, 110, 8)), (1029, "check", "Show on every monitor", (10, 50, 110, 8)),
    (1000, "push", "Enable/Disable effects", (12, 73, 88, 14)),
    (199, "group", "Info", (6, 111, 132, 54)), (1021, "push", "Help", (146, 150, 50, 14)),
    (105, "text", None, (12, 126, 110, 8)), (106, "text", None, (12, 136, 111, 8)),
    (123, "group", "Path to image files", (145, 5, 162, 102)), (125, "edit", "", (151, 18, 150, 12)),
    (121, "push", "Browse", (151, 35, 39, 14)), (1010, "check", "Recursive", (153, 56, 50, 10)),
    (1026, "check", "Random", (213, 56, 43, 10)), (1020, "check", "Minimal size", (153, 73, 59, 10)),
    (1003, "digits, disabled", "", (227, 72, 21, 12)), (1004, "digits, disabled", "", (268, 72, 21, 12)),
    (1024, "check", "JPG", (183, 90, 27, 10)), (1025, "check", "BMP", (216, 90, 31, 10)),
    (30, "arrows", None, (211, 123, 10, 15)), (124, "digits", "", (187, 123, 25, 14)),
    (-1, "group", "Options", (6, 5, 132, 58)), (1028, "text", "Image files found :", (197, 38, 58, 11)),
    (126, "text", "", (256, 38, 41, 11)), (-1, "group", "Effects", (6, 64, 132, 42)),
    (-1, "text", None, (12, 146, 113, 8)), (113, "text", "", (12, 92, 88, 10)), (-1, "text", "X :", (215, 74, 10, 8)),
    (-1, "text", "Y :", (258, 74, 10, 8)), (-1, "text", "Accept :", (153, 90, 27, 8))])
EFFECTS_DIALOG = (1012, "Enable/Disable effects", (394, 241), [
    (1011, "black rectangle", "", (67, 6, 320, 222)), (1012, "default", "Show effect", (7, 8, 50, 16)),
    (2, "push", "Done", (7, 213, 50, 15)), (127, "digits", "", (8, 27, 18, 12)), (31, "arrows", None, (25, 27, 10, 12)),
    (1010, "check", "Enabled", (8, 42, 42, 10)), (1016, "sunken frame", "", (66, 5, 48, 68)),
    (1018, "push", "Disable all", (7, 85, 50, 14)), (1017, "push", "Enable all", (7, 68, 50, 14)),
    (1019, "text", "", (7, 118, 49, 8)), (-1, "text", "Effects enabled", (7, 130, 51, 8)),
    (-1, "group", "", (3, 109, 59, 34)), (-1, "group", "", (3, 1, 59, 53)), (-1, "sunken frame", "", (31, 54, 1, 11)),
    (-1, "group", "", (3, 60, 59, 43)), (-1, "sunken frame", "", (31, 103, 1, 11)),
    (1027, "path text", "", (68, 231, 320, 8))])
BUTTON, EDIT, STATIC, SCROLLBAR = 0x80, 0x81, 0x82, 0x84
WS_DISABLED, ES_NUMBER, ES_AUTOHSCROLL, SS_SUNKEN, SS_PATHELLIPSIS = 0x08000000, 0x2000, 0x80, 0x1000, 0x8000
DIALOG_FRAME = 0x80 | 0x800 | 0x00C00000 | 0x00080000  # DS_MODALFRAME, DS_CENTER, WS_CAPTION, WS_SYSMENU


def control_kind(kind, style):
    """What a control is, in the words of the tables above; its class by atom or name."""
    if isinstance(kind, str):
        kind = {"button": BUTTON, "edit": EDIT, "static": STATIC, "scrollbar": SCROLLBAR}.get(kind.lower(), kind)
    if kind == BUTTON:
        name = {0: "push", 1: "default", 2: "check", 3: "automatic check", 7: "group"}.get(style & 0xF, "button")
    elif kind == EDIT:
        name = ("digits" if style & ES_NUMBER else "edit") if style & ES_AUTOHSCROLL else "edit without scrolling"
    elif kind == STATIC:
        name = {0: "text", 0xC: "text", 4: "black rectangle", 7: "frame"}.get(style & 0x1F, "static")
        if name == "frame" and style & SS_SUNKEN:
            name = "sunken frame"
        if style & 0xC000 == SS_PATHELLIPSIS:
            name = "path " + name
    elif kind == SCROLLBAR:
        name = "arrows" if style & 1 else "horizontal bar"  # SBS_VERT
    else:
        name = "class %r" % (kind,)
    return name + (", disabled" if style & WS_DISABLED else "")


def built(arch, name):
    path = os.path.join(ROOT, "dist", arch, name)
    if not os.path.exists(path):
        raise unittest.SkipTest("%s not built" % path)
    return PeFile(path)


class Saver(unittest.TestCase):
    arch, machine, magic = "win32", I386, PE32

    def setUp(self):
        self.scr = built(self.arch, "Velmora.scr")

    def test_is_a_gui_program_of_its_architecture(self):
        self.assertEqual(self.scr.machine, self.machine)
        self.assertEqual(self.scr.magic, self.magic)
        self.assertEqual(self.scr.subsystem, GUI)
        self.assertFalse(self.scr.is_dll)

    def test_may_use_four_gigabytes_of_address_space(self):
        # Large-address-aware: pictures at the library's limit do not fit in 2 GiB.
        self.assertTrue(self.scr.characteristics & LARGE_ADDRESS_AWARE)

    def test_is_no_fault_build(self):
        self.assertNotIn(FAULT_SEAM, self.scr.blob)

    def test_exports_its_two_entry_points_by_plain_name(self):
        self.assertEqual(set(self.scr.exports()), {"ScreenSaverProc", "ScreenSaverConfigureDialog"})

    def test_imports_the_picture_library_by_ordinal(self):
        imports = self.scr.imports()
        self.assertIn("picdll.dll", imports)
        ordinals = imports["picdll.dll"]
        self.assertTrue(all(isinstance(o, int) for o in ordinals), ordinals)
        self.assertTrue(set(ordinals) <= set(range(1, len(PICDLL_FUNCTIONS) + 1)))
        # Nothing of the compiler's runtime is needed beside the program.
        self.assertFalse([dll for dll in imports if "libstdc++" in dll or "libgcc" in dll or "winpthread" in dll])

    def test_carries_its_strings(self):
        self.assertEqual(self.scr.string(1), "JPG velmora")
        self.assertEqual(self.scr.string(1001), "ss_velmo.ini")
        self.assertEqual(self.scr.string(1007), "velmora")

    def test_carries_eleven_palette_bitmaps_of_the_right_sizes(self):
        for ident in range(1, 11):
            self.assertEqual(self.scr.bitmap(ident), (150, 53, 8, 256), ident)
        self.assertEqual(self.scr.bitmap(11), (238, 17, 8, 256))

    def test_dialog_templates_hold_their_controls_as_laid_out(self):
        for ident, caption, size, expected in (SETTINGS_DIALOG, EFFECTS_DIALOG):
            style, box, title, font, controls = self.scr.dialog(ident)
            self.assertEqual((style & DIALOG_FRAME, box[2:], title, font),
                             (DIALOG_FRAME, size, caption, (8, "MS Sans Serif")), ident)
            found = [(i, control_kind(kind, s), text if want is not None else None, position)
                     for (i, kind, text, s, position), (_, _, want, _) in zip(controls, expected)]
            self.assertEqual(found, expected[:len(controls)], ident)
            self.assertEqual(len(controls), len(expected), ident)

    def test_manifest_asks_for_dpi_awareness_and_common_controls_but_no_elevation(self):
        manifest = self.scr.resources()[(RT_MANIFEST, 1)].decode("utf-8")
        self.assertIn("<dpiAware", manifest)
        self.assertIn("Microsoft.Windows.Common-Controls", manifest)
        self.assertNotIn("<requestedExecutionLevel", manifest)
        self.assertNotIn("<trustInfo", manifest)


class Saver64(Saver):
    arch, machine, magic = "win64", AMD64, PE32_PLUS


class PictureLibrary(unittest.TestCase):
    arch, machine = "win32", I386

    def setUp(self):
        self.dll = built(self.arch, "picdll.dll")

    def test_is_a_dll_exporting_its_functions_by_name_and_ordinal(self):
        self.assertTrue(self.dll.is_dll)
        self.assertEqual(self.dll.machine, self.machine)
        exports = self.dll.exports()
        self.assertEqual(exports, {name: i + 1 for i, name in enumerate(PICDLL_FUNCTIONS)})
        self.assertEqual(self.dll.export_ordinals(), list(range(1, len(PICDLL_FUNCTIONS) + 1)))

    def test_is_no_fault_build(self):
        self.assertNotIn(FAULT_SEAM, self.dll.blob)

    def test_product_version(self):
        self.assertEqual(self.dll.version_string("040904E4", "ProductVersion"), "3.1.3")


class PictureLibrary64(PictureLibrary):
    arch, machine = "win64", AMD64


if __name__ == "__main__":
    unittest.main(verbosity=2)
