#!/usr/bin/env bash
# The release as a Windows user meets it, on a fresh Wine prefix: the installer installs silently
# for the current user outside Program Files; the watch started through its Start-menu shortcut
# writes Setting.xml beside itself; installing again over the running watch closes it and keeps
# Alarm.xml; the silent uninstall removes the program and keeps Setting.xml and Alarm.xml. Both
# zips and the installed folder hold Vesk.exe, with the project's version and its manifest, and
# the three plug-ins of their target.
# Usage: check_release.sh [dist folder]. Ends with "N passed, N failed"; exit 77 when this
# machine cannot run the (32-bit) installer.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
dist=${1:-$root/dist}
version=$(sed -n 's/^project(Vesk VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
setup=$dist/Vesk-$version-setup.exe
wine_run=$root/scripts/wine-run.sh
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vesk'

passed=0
failed=0
# check "what the user sees" command...: one counted expectation.
check() {
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    echo "FAILED: $what"
    failed=$((failed + 1))
  fi
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

# The version resource's strings are UTF-16; the manifest is plain text.
has_version() { [ "$(strings -el "$1" | grep -A1 -x FileVersion | sed -n 2p)" = "$version" ]; }
has_manifest() { grep -aq 'requestedExecutionLevel level="asInvoker"' "$1"; }
# check_program "where" folder X64|X86: the program and plug-ins a user gets there.
check_program() {
  local where=$1 folder=$2 bits=$3 plugin
  check "$where: Vesk.exe carries version $version" has_version "$folder/Vesk.exe"
  check "$where: Vesk.exe carries its manifest" has_manifest "$folder/Vesk.exe"
  for plugin in Mp3 OggVorbis Flac; do
    check "$where: plugin/$plugin$bits.dll" test -f "$folder/plugin/$plugin$bits.dll"
  done
}

work=$root/build/release-e2e
rm -rf "$work"
mkdir -p "$work"
for arch in win64 win32; do
  unzip -q -d "$work/$arch" "$dist/Vesk-$version-$arch.zip"
  folder=$work/$arch/Vesk-$version-$arch
  bits=X64
  [ "$arch" = win64 ] || bits=X86
  check_program "$arch zip" "$folder" "$bits"
  check "$arch zip: licence of the mingw-w64 runtime" test -f "$folder/licenses/mingw-w64-copyright.txt"
done

# A fresh prefix of its own; no menu entries on the host for the shortcut the setup makes.
export WINEPREFIX=$work/prefix
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if ! VESK_WINE_CHECK_ONLY=1 "$wine_run" "$setup"; then
  echo "check_release: this machine cannot run the installer, skipped"
  [ "$failed" -eq 0 ] || finish
  exit 77
fi
source "$root/scripts/xvfb.sh"
start_private_display
"$wine_run" cmd /c exit >/dev/null 2>&1
wineserver -w

# Waits for all of the prefix's programs to end, at most `seconds`.
settle() { timeout "${1:-120}" wineserver -w; }
unix_path() { "$wine_run" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
windows_var() { "$wine_run" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
# The machine field of a program's PE header: 8664 for x86-64, 014c for x86.
pe_machine() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ') && od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}
watch_shown() { xdotool search --onlyvisible --name '^Vesk$' >/dev/null 2>&1; }
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

inst=$(unix_path "$(windows_var LOCALAPPDATA)\\Programs\\Vesk")
lnk=$(unix_path "$(windows_var APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Vesk.lnk")

"$wine_run" "$setup" /S
settle
check "the setup installs Vesk.exe into LOCALAPPDATA\\Programs\\Vesk" test -f "$inst/Vesk.exe"
check "the 64-bit program on 64-bit Windows" test "$(pe_machine "$inst/Vesk.exe")" = 8664
check "nothing under Program Files" bash -c "! ls -d '$WINEPREFIX'/drive_c/Program\\ Files*/Vesk"
check_program "installed" "$inst" X64
check "the Start-menu shortcut exists" test -f "$lnk"
check "logon start in HKCU Run" "$wine_run" reg query "$run_key" /v Vesk
check "listed in Apps & features" "$wine_run" reg query "$uninstall_key" /v UninstallString

# The user's alarm, as the program writes it.
printf '\xef\xbb\xbf<?xml version="1.0" standalone="yes" ?>\r\n<Alarm\r\n version = "1.00"\r\n>\r\n <Edit>\r\n  <0\r\n   Enable = "1"\r\n   Symbol = "3"\r\n   Repeat = "1"\r\n   Loop = "0"\r\n   WeekMon = "0"\r\n   WeekTues = "0"\r\n   WeekWed = "0"\r\n   WeekThurs = "0"\r\n   WeekFri = "0"\r\n   WeekSat = "0"\r\n   WeekSun = "0"\r\n   Hour = "7"\r\n   Minute = "15"\r\n   Second = "0"\r\n   Play = "1"\r\n   File = "C:\\wake-up.wav"\r\n  >\r\n  </0>\r\n </Edit>\r\n</Alarm>\r\n' \
  > "$inst/Alarm.xml"

# Opened as the Start menu opens it, from another folder: the shell follows the shortcut.
(cd "$WINEPREFIX/drive_c" && "$wine_run" start "$(windows_var APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Vesk.lnk") >/dev/null 2>&1
check "the watch started from the shortcut shows its window" await 60 watch_shown
if ! watch_shown; then
  settle 5 || wineserver -k
  finish
fi

# An upgrade over the running watch: the setup closes it first.
"$wine_run" "$setup" /S
# The watch still running would keep the prefix busy: the wait then runs out.
check "the upgrade closed the running watch" settle 90
wineserver -k >/dev/null 2>&1
check "the upgrade kept Vesk.exe" test -f "$inst/Vesk.exe"
check "the watch wrote Setting.xml beside itself" test -s "$inst/Setting.xml"
check "the upgrade kept the user's alarm" grep -q 'wake-up.wav' "$inst/Alarm.xml"
check "the kept alarm still rings at 7:15" grep -q 'Minute = "15"' "$inst/Alarm.xml"

"$wine_run" "$inst/uninstall.exe" /S
settle
check "the uninstall removed Vesk.exe" test ! -e "$inst/Vesk.exe"
check "the uninstall removed itself" test ! -e "$inst/uninstall.exe"
check "the uninstall removed the shortcut" test ! -e "$lnk"
check "the uninstall removed the logon start" bash -c "! '$wine_run' reg query '$run_key' /v Vesk"
check "the uninstall removed the Apps & features entry" bash -c "! '$wine_run' reg query '$uninstall_key'"
check "the uninstall kept Setting.xml" test -s "$inst/Setting.xml"
check "the uninstall kept Alarm.xml" grep -q 'wake-up.wav' "$inst/Alarm.xml"
finish
