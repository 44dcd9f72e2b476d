#!/usr/bin/env bash
# Builds the 64-bit watch and starts it under Wine. With $DISPLAY the watch appears on that
# desktop; without one it runs on a private Xvfb screen, a screenshot is saved after a few
# seconds, and the watch is then asked to close.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
scripts/build-libpng-mingw.sh x86_64-w64-mingw32
scripts/build-flac-mingw.sh x86_64-w64-mingw32
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Vesk
mkdir -p build/run
cp build/win64/Vesk.exe build/run/Vesk.exe

if [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine-run.sh build/run/Vesk.exe
fi

source scripts/xvfb.sh
start_private_display
scripts/wine-run.sh build/run/Vesk.exe &
vesk=$!
sleep "${VESK_SHOT_DELAY:-8}"
shot=$root/build/run/screenshot.png
import -display "$DISPLAY" -window root "$shot"
echo "The watch ran on a private screen ($DISPLAY); screenshot: $shot"
# Without /f, taskkill asks the watch window to close, as a user closing it would.
scripts/wine-run.sh taskkill /im Vesk.exe >/dev/null 2>&1 || true
wait "$vesk" || true
echo "Vesk ended; its settings are in $root/build/run/Setting.xml"
