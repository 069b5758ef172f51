#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test: the native unit tests
# (also under the sanitizers), the Windows unit tests of both builds and the end-to-end tests
# of the 32-bit build under Wine, the static checks of both builds, and a short run of each
# fuzzer. The instrumented trees
# (out/sanitize, out/fuzz) keep their tools to themselves, and the sanitized unit tests run
# the sanitized tools; dist/ holds only release builds.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
fuzz_seconds=${VELMORA_FUZZ_SECONDS:-45}
failed=()

"$root/scripts/install-deps.sh" || exit 1
"$root/scripts/build.sh" || exit 1

step() {
  local name=$1; shift
  echo "=== $name"
  "$@" || failed+=("$name")
}

step "native tests" ctest --test-dir "$root/out/native" --output-on-failure -j1
# Both builds run their unit and Win32-layer tests under Wine: the 32-bit one ships, the
# 64-bit twin catches pointer-size mistakes. The end-to-end tests (in the native tree) drive
# the 32-bit build.
step "windows tests under wine, 32-bit" ctest --test-dir "$root/out/win32" --output-on-failure -j1
step "windows tests under wine, 64-bit twin" ctest --test-dir "$root/out/win64" --output-on-failure -j1

sanitized="$root/out/sanitize"
step "sanitizer build" bash -c "cmake -S '$root' -B '$sanitized' -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_SANITIZE=ON >/dev/null && cmake --build '$sanitized' -j $jobs"
step "unit tests under sanitizers" "$sanitized/unit_tests" --gtest_brief=1

step "fuzzing each target for ${fuzz_seconds}s" "$root/scripts/fuzz.sh" --seconds "$fuzz_seconds"

# Last, after every build above: the tools in dist/ must be the release builds.
step "release tools in dist" python3 "$root/tests/static/test_release_tools.py"

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All tests passed."
