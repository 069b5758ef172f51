#!/usr/bin/env bash
# Builds the saver and shows it full screen under Wine on the bundled sample pictures:
# on the current X display when there is one, else on a virtual display. Screenshots go
# to screenshots/. Uses the project's own Wine prefix (out/wineprefix), never ~/.wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${VELMORA_RUN_SECONDS:-30}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Showing the saver on display $DISPLAY; move the mouse or press a key to end it."
else
  Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp 9>"$root/out/xvfb-display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$root/out/xvfb-display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$root/out/xvfb-display")"
  echo "No X display: showing the saver on the virtual display $DISPLAY for $seconds seconds."
fi

velmora_wine_prefix
pictures="$WINEPREFIX/drive_c/velmora-samples"
rm -rf "$pictures"
mkdir -p "$pictures"
"$root/dist/tools/make-samples" "$pictures" >/dev/null
cp "$root/samples/ss_velmo.ini" "$WINEPREFIX/drive_c/windows/ss_velmo.ini"

shots="$root/screenshots"
mkdir -p "$shots"
rm -f "$shots"/shot-*.png
"$WINE64" "$root/dist/win64/Velmora.scr" /s &
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
