#!/usr/bin/env bash
# Builds the watch and starts it under Wine: the 64-bit program, or the 32-bit one with --32.
# With $DISPLAY the watch appears on that desktop. Without one it runs on a private Xvfb screen:
# the script waits for the watch window, saves a screenshot (the path is printed), asks the watch
# to close and ends by itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=win64
triple=x86_64-w64-mingw32
case "${1:-}" in
"") ;;
--32)
  preset=win32
  triple=i686-w64-mingw32
  ;;
*)
  echo "usage: bash scripts/run.sh [--32]" >&2
  exit 2
  ;;
esac

bash scripts/setup.sh
# The presets read VESK_WERROR; the test command's value keeps its build trees from rebuilding.
export VESK_WERROR=${VESK_WERROR:-ON}
# Libraries built into the program or its plug-ins.
for script in scripts/build-*-mingw.sh; do
  bash "$script" "$triple"
done
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target vesk_release
# The program folder as the release lays it out: Vesk.exe and plugin/.
folder=$root/build/run-$preset
cmake --install "build/$preset" --prefix "$folder" >/dev/null
mkdir -p "$folder/plugin"
exe=$folder/Vesk.exe

export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
wine_run=$root/scripts/wine-run.sh
if ! VESK_WINE_CHECK_ONLY=1 "$wine_run" "$exe"; then
  echo "This machine cannot run the ${preset#win}-bit program." >&2
  exit 1
fi

# A new prefix is made and updated before the watch starts, or Wine's update notice would
# be on the screen instead of the watch. Bounded: an update that never ends is ended by force.
finish_prefix() {
  timeout 300 "$wine_run" cmd /c exit >/dev/null 2>&1 || true
  if ! timeout 300 wineserver -w; then
    echo "The Wine prefix was not ready within 300 s; ending its programs" >&2
    wineserver -k || true
  fi
}

if [ -n "${DISPLAY:-}" ]; then
  finish_prefix
  exec "$wine_run" "$exe"
fi

source scripts/xvfb.sh
start_private_display
finish_prefix
# Wine's notes about the missing sound card and the like go to a log, not the terminal.
"$wine_run" "$exe" 2>"$folder/wine.log" &
vesk=$!

# Polls `command` every 0.2 s until it succeeds or `seconds` pass.
await() {
  local seconds=$1 end
  shift
  end=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.2
  done
}
watch_window() { xdotool search --onlyvisible --name '^Vesk$' 2>/dev/null | head -n 1; }
# The watch fades in from transparent; Wine mirrors the opacity into this property, which goes
# away at full opacity.
opaque() {
  local id
  id=$(watch_window)
  [ -n "$id" ] && ! xprop -id "$id" _NET_WM_WINDOW_OPACITY | grep -q '='
}

shot=$folder/screenshot.png
if await 60 opaque; then
  import -display "$DISPLAY" -window root "$shot"
  echo "The watch ran on a private screen ($DISPLAY); screenshot: $shot"
  # Without /f, taskkill asks the watch window to close, as a user closing it would.
  "$wine_run" taskkill /im Vesk.exe >/dev/null 2>&1 || true
else
  import -display "$DISPLAY" -window root "$shot"
  echo "The watch window did not appear within 60 s; screenshot of the screen: $shot" >&2
fi
# Bounded: a watch that does not close is ended by force.
if ! timeout 30 wineserver -w; then
  echo "Vesk did not close within 30 s; ending it" >&2
  wineserver -k || true
fi
wait "$vesk" || true
echo "Vesk ended; its settings are in $folder/Setting.xml"
