# Sourced: the project's own Wine prefix, never the user's ~/.wine.
# A WoW64 prefix: 32- and 64-bit programs side by side.
VELMORA_ROOT=${VELMORA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEARCH=win64
export WINEPREFIX=${VELMORA_WINEPREFIX:-$VELMORA_ROOT/out/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=$(command -v wine64)
# Each program under its own architecture's loader: the 64-bit one runs a 32-bit program as
# the child of a start.exe, whose process would stand in for it.
WINE32=/usr/lib/wine/wine
# The shipped 32-bit build wherever the kernel runs 32-bit programs; on one that runs none
# (ENOEXEC), the 64-bit build stands in for it.
if "$WINE32" --version >/dev/null 2>&1; then
  VELMORA_BUILD=win32 VELMORA_WINE=$WINE32
else
  VELMORA_BUILD=win64 VELMORA_WINE=$WINE64
fi

velmora_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot --init >/dev/null 2>&1 || true
  fi
  "$WINE64" regedit /S "$VELMORA_ROOT/scripts/wine-settings.reg" >/dev/null 2>&1 || true
}
