"""The tools in dist/tools are the release builds: no sanitizer or fuzzer runtime in them
(the instrumented trees keep theirs under out/). scripts/test.sh runs this again after
every other build."""

import os
import unittest

ROOT = os.environ.get("VELMORA_ROOT") or os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
TOOLS = os.path.join(ROOT, "dist", "tools")
# Names every ASan, UBSan or libFuzzer build carries, linked statically or not.
INSTRUMENTATION = (b"__asan_", b"__ubsan_", b"__sanitizer_", b"LLVMFuzzer")


class ReleaseTools(unittest.TestCase):

    def test_no_tool_carries_a_sanitizer_runtime(self):
        if not os.path.isdir(TOOLS):
            raise unittest.SkipTest("dist/tools not built")
        tools = [os.path.join(TOOLS, name) for name in sorted(os.listdir(TOOLS))]
        self.assertTrue(tools)
        for path in tools:
            with open(path, "rb") as f:
                blob = f.read()
            with self.subTest(tool=os.path.basename(path)):
                self.assertEqual([name for name in INSTRUMENTATION if name in blob], [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
