#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test: the native unit tests
# (also under the sanitizers), the Windows unit tests and end-to-end tests under Wine, the
# static checks of the 32-bit build, and a short run of each fuzzer.
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
step "windows tests under wine" ctest --test-dir "$root/out/win64" --output-on-failure -j1

sanitized="$root/out/sanitize"
step "sanitizer build" bash -c "cmake -S '$root' -B '$sanitized' -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_SANITIZE=ON >/dev/null && cmake --build '$sanitized' --target unit_tests -j $jobs"
step "unit tests under sanitizers" "$sanitized/unit_tests" --gtest_brief=1

fuzz="$root/out/fuzz"
step "fuzzer build" bash -c "CC=clang CXX=clang++ cmake -S '$root' -B '$fuzz' -DVELMORA_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build '$fuzz' -j $jobs"
corpus="$root/../shared/corpus"
for fuzzer in "$fuzz"/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  seeds=$(mktemp -d)
  kind=${fuzzer##*fuzz_}
  [ -d "$corpus/$kind" ] && find "$corpus/$kind" -type f -size -2M -exec cp {} "$seeds" \; 2>/dev/null
  step "fuzzing $kind for ${fuzz_seconds}s" "$fuzzer" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 "$seeds"
  rm -rf "$seeds"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All tests passed."
