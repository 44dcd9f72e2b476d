#!/usr/bin/env bash
# Measures the idle CPU use and resident memory of the running watch under Wine: starts
# build/win64/Vesk.exe in a fresh folder on a private Xvfb display with its own Wine prefix,
# lets start-up settle, then counts the CPU time of Vesk.exe and of the prefix's wineserver
# over a span of wall time. Usage: scripts/measure-idle.sh [seconds, default 60]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
span=${1:-60}
source "$root/scripts/xvfb.sh"
start_private_display
export WINEPREFIX=${WINEPREFIX:-$root/build/idle-wineprefix}
# A prefix made beforehand: its first start-up would otherwise fall into the measured span.
[ -f "$WINEPREFIX/system.reg" ] || "$root/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
folder=$(mktemp -d)
cp "$root/build/win64/Vesk.exe" "$folder/"
(cd "$folder" && "$root/scripts/wine-run.sh" ./Vesk.exe >/dev/null 2>&1 &)
sleep 12

# utime + stime in clock ticks (fields 14 and 15 of /proc/<pid>/stat).
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# The prefix's server works in /tmp/.wine-<uid>/server-<device>-<inode> of the prefix folder.
serverDir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
server=""
for pid in $(pgrep -x 'wineserver64|wineserver'); do
  case $(readlink "/proc/$pid/cwd") in */"$serverDir") server=$pid ;; esac
done
# Other Vesk processes may be running (tests): take the one started in our folder.
vesk=""
for pid in $(pgrep -x Vesk.exe); do
  [ "$(readlink "/proc/$pid/cwd")" = "$folder" ] && vesk=$pid
done
[ -n "$vesk" ] && [ -n "$server" ] || { echo "measure-idle: the watch did not start" >&2; exit 1; }
v0=$(ticks "$vesk"); s0=$(ticks "$server")
sleep "$span"
v1=$(ticks "$vesk"); s1=$(ticks "$server")
hz=$(getconf CLK_TCK)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$vesk/status")
awk -v v=$((v1 - v0)) -v s=$((s1 - s0)) -v hz="$hz" -v t="$span" -v rss="$rss" 'BEGIN {
  printf "Vesk.exe %.2f %%, wineserver %.2f %%, together %.2f %% of one core over %d s; VmRSS %d kB\n",
    100 * v / hz / t, 100 * s / hz / t, 100 * (v + s) / hz / t, t, rss }'
wineserver -k || true
rm -rf "$folder"
