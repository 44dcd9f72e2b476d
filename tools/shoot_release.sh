#!/usr/bin/env bash
# Pictures of the release for docs/, run by hand after scripts/release.sh: the installer's and
# the uninstaller's pages (docs/installer-pages.png), the alarm settings dialog of the installed
# watch with Wine's light theme on (docs/alarm-dialog-themed.png) and the watch's panel at 150 %
# (docs/dpi-150.png). With --dpi N the prefix runs at N dots per inch (144 is 150 %) and only
# the dialog is written, as docs/alarm-dialog-themed-<N>dpi.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dpi=96
[ "${1:-}" = "--dpi" ] && dpi=$2
suffix=""
[ "$dpi" != 96 ] && suffix="-${dpi}dpi"
version=$(sed -n 's/^project(Vesk VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
setup=$root/dist/Vesk-$version-setup.exe
work=$root/build/shots
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/prefix
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine_run=$root/scripts/wine-run.sh
source scripts/xvfb.sh
start_private_display
"$wine_run" cmd /c exit >/dev/null 2>&1
winepath_of() { "$wine_run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
theme='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
"$wine_run" reg add "$theme" /v ThemeActive /d 1 /f >/dev/null 2>&1
"$wine_run" reg add "$theme" /v DllName /d 'C:\windows\resources\themes\light\light.msstyles' /f >/dev/null 2>&1
"$wine_run" reg add "$theme" /v ColorName /d NormalColor /f >/dev/null 2>&1
"$wine_run" reg add "$theme" /v SizeName /d NormalSize /f >/dev/null 2>&1
# The installer's Japanese pages ask for a font Wine lacks: the host's CJK font stands in.
{ printf '\xff\xfe'; printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"ＭＳ Ｐゴシック"="Noto Sans CJK JP"\r\n' |
  iconv -f UTF-8 -t UTF-16LE; } > "$work/fonts.reg"
"$wine_run" regedit /S "$(winepath_of "$work/fonts.reg")" >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w

# Waits for a visible window whose title matches, prints its id.
window() {
  for _ in $(seq 150); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 && return 0
    sleep 0.2
  done
  echo "no window '$1'" >&2
  return 1
}
# Lets a page draw, then saves the window.
shot() {
  sleep 2
  import -display "$DISPLAY" -window "$1" "$work/$2.png"
}
next() {
  xdotool key --window "$1" Return
}

"$wine_run" "$setup" 2>/dev/null &
installer=$!
id=$(window "セットアップ")
shot "$id" 1-welcome
next "$id"
shot "$id" 2-components
next "$id"
shot "$id" 3-finish
# Two alarms for the dialog to list, laid down before the finish page starts the watch.
inst=$("$wine_run" winepath -u "$("$wine_run" cmd /c echo %LOCALAPPDATA% | tr -d '\r')\\Programs\\Vesk" | tr -d '\r')
alarm() {
  printf '  <%s\r\n   Enable = "%s"\r\n   Symbol = "%s"\r\n   Repeat = "1"\r\n   Loop = "0"\r\n' "$1" "$2" "$3"
  printf '   WeekMon = "1"\r\n   WeekTues = "1"\r\n   WeekWed = "1"\r\n   WeekThurs = "1"\r\n   WeekFri = "1"\r\n'
  printf '   WeekSat = "0"\r\n   WeekSun = "0"\r\n   Hour = "%s"\r\n   Minute = "%s"\r\n   Second = "0"\r\n' "$4" "$5"
  printf '   Play = "1"\r\n   File = ""\r\n  >\r\n  </%s>\r\n' "$1"
}
{
  printf '\xef\xbb\xbf<?xml version="1.0" standalone="yes" ?>\r\n<Alarm\r\n version = "1.00"\r\n>\r\n <Edit>\r\n'
  alarm 0 1 3 7 30
  alarm 1 0 5 12 5
  printf ' </Edit>\r\n</Alarm>\r\n'
} > "$inst/Alarm.xml"
next "$id"
wait "$installer"

window '^Vesk$' >/dev/null
sleep 2
import -display "$DISPLAY" -window root "$work/watch.png"
# The context menu from the keyboard: up from the end passes quit, hide and volume.
xdotool mousemove --sync 90 130 click 3
sleep 1
xdotool key Up Up Up Up Return
dialog=$(window "アラーム設定")
shot "$dialog" alarm-dialog
xdotool key Escape
sleep 1
xdotool mousemove --sync 90 130 click 3
sleep 1
xdotool key Up Return
timeout 30 wineserver -w || wineserver -k

"$wine_run" "$inst/uninstall.exe" 2>/dev/null &
id=$(window "アンインストール")
shot "$id" 4-uninstall
next "$id"
shot "$id" 5-uninstall-components
next "$id"
shot "$id" 6-uninstalled
next "$id" || true
timeout 60 wineserver -w || wineserver -k

cp "$work/alarm-dialog.png" "docs/alarm-dialog-themed$suffix.png"
echo "written: docs/alarm-dialog-themed$suffix.png"

# The pages in one picture; then the watch's panel at 150 %, magnified 3x so screen pixels
# show: left as Vesk draws it (one picture pixel to one screen pixel), right as Windows stretches
# a program that does not declare DPI awareness (bilinear). Distinct colours measure the blur.
if [ "$dpi" = 96 ]; then
  montage "$work"/[1-6]-*.png -tile 3x2 -geometry +6+6 -background '#d0d0d0' docs/installer-pages.png
  convert "$work/watch.png" -crop 146x52+5+95 +repage "$work/panel.png"
  convert "$work/panel.png" -filter Triangle -resize 150% "$work/stretched.png"
  for f in panel stretched; do
    echo "$f: $(convert "$work/$f.png" -format '%wx%h pixels, %k colours' info:)"
  done
  convert "$work/panel.png" -filter Point -resize 300% "$work/panel-3x.png"
  convert "$work/stretched.png" -filter Point -resize 300% "$work/stretched-3x.png"
  convert "$work/panel-3x.png" -size 12x1 xc:'#d0d0d0' "$work/stretched-3x.png" \
    -background '#d0d0d0' +append "docs/dpi-150.png"
  echo "written: docs/installer-pages.png docs/dpi-150.png"
fi
