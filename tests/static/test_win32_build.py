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
                    "PicDLLQuantizeRGBTo8Bit", "PicDLLRGBToHBITMAP"]
I386, AMD64, PE32, PE32_PLUS, GUI = 0x14C, 0x8664, 0x10B, 0x20B, 2
LARGE_ADDRESS_AWARE = 0x20
FAULT_SEAM = b"VELMORA_FAIL_ALLOCATION"  # what the tests' fault builds read


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
        self.assertTrue(set(ordinals) <= set(range(1, 12)))
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
        self.assertEqual(self.dll.export_ordinals(), list(range(1, 12)))

    def test_is_no_fault_build(self):
        self.assertNotIn(FAULT_SEAM, self.dll.blob)

    def test_product_version(self):
        self.assertEqual(self.dll.version_string("040904E4", "ProductVersion"), "3.1.3")


class PictureLibrary64(PictureLibrary):
    arch, machine = "win64", AMD64


if __name__ == "__main__":
    unittest.main(verbosity=2)
