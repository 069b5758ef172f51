# Sourced: the project's own Wine prefix, never the user's ~/.wine.
# Only the 64-bit loader is used; this machine cannot run 32-bit programs.
VELMORA_ROOT=${VELMORA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEARCH=win64
export WINEPREFIX=${VELMORA_WINEPREFIX:-$VELMORA_ROOT/out/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=$(command -v wine64)

velmora_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot --init >/dev/null 2>&1 || true
  fi
  "$WINE64" regedit /S "$VELMORA_ROOT/scripts/wine-settings.reg" >/dev/null 2>&1 || true
}
