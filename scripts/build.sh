#!/usr/bin/env bash
# Builds the three trees: native (tools, tests), win32 (shipped) and win64 (run under Wine).
# Results land in dist/tools, dist/win32 and dist/win64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

configure_and_build() {
  local dir=$1; shift
  cmake -S "$root" -B "$root/out/$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$root/out/$dir" -j "$jobs"
}

configure_and_build native
configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
configure_and_build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
