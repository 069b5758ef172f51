#!/usr/bin/env bash
# Builds, then runs the long soak under Wine: 1,000 picture changes over 500 mixed pictures
# with no pause and the screen cleared before each (about half an hour), printing the
# saver's object counts, handles, open files and memory every 50 changes. The test command
# runs a 100-change version of the same test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" >/dev/null
export VELMORA_SOAK_CHANGES=${VELMORA_SOAK_CHANGES:-1000}
export VELMORA_SOAK_PICTURES=${VELMORA_SOAK_PICTURES:-500}
export VELMORA_SOAK_EVERY=${VELMORA_SOAK_EVERY:-50}
exec python3 "$root/tests/wine/test_soak.py"
