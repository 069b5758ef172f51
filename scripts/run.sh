#!/usr/bin/env bash
# Builds the saver and shows it full screen under Wine on the bundled sample pictures:
# on the current X display when there is one, else on a virtual display. Screenshots go
# to screenshots/. Uses the project's own Wine prefix (out/wineprefix), never ~/.wine.
#   --settings: opens the settings dialog instead (configure mode), and saves a screenshot
#   of it and of the effects dialog after a preview.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${VELMORA_RUN_SECONDS:-30}
settings_mode=0
[ "${1:-}" = "--settings" ] && settings_mode=1

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  [ "$settings_mode" = 1 ] || echo "Showing the saver on display $DISPLAY; move the mouse or press a key to end it."
else
  # -noreset: a reset when the last client leaves would put the pointer back in the
  # middle behind Wine's back, a mouse move to the saver that starts next.
  Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp -noreset 9>"$root/out/xvfb-display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$root/out/xvfb-display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$root/out/xvfb-display")"
  [ "$settings_mode" = 1 ] || echo "No X display: showing the saver on the virtual display $DISPLAY for $seconds seconds."
fi

velmora_wine_prefix
[ "$VELMORA_BUILD" = win32 ] || echo "This machine's kernel runs no 32-bit programs: showing the 64-bit build."
pictures="$WINEPREFIX/drive_c/velmora-samples"
rm -rf "$pictures"
mkdir -p "$pictures"
"$root/dist/tools/make-samples" "$pictures" >/dev/null
cp "$root/samples/ss_velmo.ini" "$WINEPREFIX/drive_c/windows/ss_velmo.ini"

shots="$root/screenshots"
mkdir -p "$shots"
rm -f "$shots"/shot-*.png

if [ "$settings_mode" = 1 ]; then
  settings_title="JPG/BMP Velmora V1.3"
  effects_title="Enable/Disable effects"
  # One command to the dialogs' driver (tests/wine/helpers/dialogs_win32.cpp); prints its answer.
  dialog() { (IFS=$'\t'; echo "$*") | "$VELMORA_WINE" "$root/out/$VELMORA_BUILD/test-helpers/dialogs.exe" | tr -d '\r'; }
  wait_for() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.2; done; return 1; }
  shoot() {
    local left top right bottom
    read -r left top right bottom < <(dialog rect "$1" 0)
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$2"
  }
  "$VELMORA_WINE" "$root/dist/$VELMORA_BUILD/Velmora.scr" /c &
  saver=$!
  wait_for '[[ $(dialog label "$settings_title" 126) =~ ^[0-9]+$ ]]'
  shoot "$settings_title" "$shots/settings.png"
  dialog click "$settings_title" 1000 >/dev/null
  wait_for '[ "$(dialog find "$effects_title")" != 0 ]'
  dialog set "$effects_title" 127 24 >/dev/null
  dialog click "$effects_title" 1012 >/dev/null
  wait_for '[ -n "$(dialog label "$effects_title" 1027)" ]'
  sleep 3
  shoot "$effects_title" "$shots/effects.png"
  echo "Saved settings.png and effects.png in $shots/"
  if [ -n "$xvfb_pid" ]; then
    dialog click "$effects_title" 2 >/dev/null
    sleep 1
    dialog click "$settings_title" 2 >/dev/null
  else
    echo "The dialogs stay open on $DISPLAY; close them to end."
  fi
  wait "$saver" || true
  exit 0
fi
"$VELMORA_WINE" "$root/dist/$VELMORA_BUILD/Velmora.scr" /s &
saver=$!
shots_taken=0
interval=$(( seconds / 6 > 0 ? seconds / 6 : 1 ))
for i in 1 2 3 4 5 6; do
  sleep "$interval"
  kill -0 "$saver" 2>/dev/null || break
  import -window root "$shots/shot-$i.png" && shots_taken=$i
done
if [ -n "$xvfb_pid" ]; then
  xdotool key space
fi
wait "$saver" || true
echo "Saved $shots_taken screenshots in $shots/"
