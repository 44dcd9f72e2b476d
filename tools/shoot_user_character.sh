#!/usr/bin/env bash
# The README's picture of a character of one's own (docs/user-character.png), run by hand after
# a win64 build: draws the example owl with tools/make_user_character.py into the "chara" folder
# of a fresh program folder, starts the watch wearing it on a private display, opens the
# character submenu, where the owl follows the built-in characters, and takes the screen.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
exe=$root/build/win64/Vesk.exe
work=$root/build/shots-chara
rm -rf "$work"
mkdir -p "$work/chara"
cp "$exe" "$work/"
/usr/bin/python3 tools/make_user_character.py "$work/chara/フクロウ.png"
# Default settings with the watch placed and wearing the owl.
sed -e 's/  x = "0"/  x = "40"/' -e 's/  y = "0"/  y = "60"/' \
  -e 's/  Watch = "0"/  Watch = "0"\r\n  CharaFile = "フクロウ.png"/' \
  tests/data/app/Setting.default.xml > "$work/Setting.xml"
source scripts/xvfb.sh
start_private_display
cd "$work"
"$root/scripts/wine-run.sh" Vesk.exe >/dev/null 2>&1 &
program=$!
cd "$root"
watch=""
for _ in $(seq 200); do
  watch=$(xdotool search --name '^Vesk$' 2>/dev/null | head -1) && [ -n "$watch" ] && break
  sleep 0.2
done
[ -n "$watch" ] || { echo "shoot_user_character: the watch did not appear"; exit 1; }
sleep 3
# The context menu on the owl's wing, then the character submenu (the fifth item).
xdotool mousemove 160 140 mousedown 3
sleep 0.3
xdotool mouseup 3
sleep 1
xdotool key Down Down Down Down Down Right
sleep 1
import -window root -crop 420x810+0+50 +repage docs/user-character.png
xdotool key Escape Escape
kill "$program"
echo "wrote docs/user-character.png"
