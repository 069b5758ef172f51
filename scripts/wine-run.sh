#!/usr/bin/env bash
# Runs one Windows program under Wine in the project's prefix (CTest's emulator for the
# Windows unit tests). Needs no display.
source "$(dirname "$0")/wine-env.sh"
velmora_wine_prefix
exec "$WINE64" "$@"
