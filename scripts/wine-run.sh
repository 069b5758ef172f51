#!/usr/bin/env bash
# Runs one Windows program under Wine in the project's prefix (CTest's emulator for the
# Windows unit tests), under the loader of the program's own architecture. Needs no display.
source "$(dirname "$0")/wine-env.sh"
velmora_wine_prefix
# The PE header's machine field: 014c is 32-bit x86.
header=$(od -An -tu4 -j60 -N4 "$1")
machine=$(od -An -tx2 -j$((header + 4)) -N2 "$1")
if [ "${machine// /}" = 014c ]; then
  # CTest's skip code: this kernel runs no 32-bit programs.
  [ "$VELMORA_BUILD" = win32 ] || { echo "skipped: this machine's kernel runs no 32-bit programs"; exit 77; }
  exec "$WINE32" "$@"
fi
exec "$WINE64" "$@"
