#!/usr/bin/env bash
# Builds, then prints the benchmark figures (decoding, effects, catalogue scan), each beside
# its baseline. Figures only: nothing here passes or fails on time. --quick skips the
# 100,000- and 1,000,000-file scans.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" >/dev/null
exec python3 "$root/tests/bench/run_benchmarks.py" "$@"
