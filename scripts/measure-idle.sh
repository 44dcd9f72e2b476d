#!/usr/bin/env bash
# Measures the idle CPU use and resident memory of the running watch under Wine beside an idle
# Wine notepad measured in the same run: build/win64/Vesk.exe and notepad start on one private
# Xvfb display, each in a fresh folder and its own prefix (so each has its own wineserver), and
# after start-up settles the CPU time of each program and of its server is counted over the same
# span of wall time. The machine may be shared, so the run is repeated and the medians printed.
# Usage: scripts/measure-idle.sh [seconds per run, default 60] [runs, default 1]; VESK_EXE names
# another build of the program to measure (for a comparison with an earlier one).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
span=${1:-60}
runs=${2:-1}
exe=${VESK_EXE:-$root/build/win64/Vesk.exe}
source "$root/scripts/xvfb.sh"
start_private_display
watchPrefix=${WINEPREFIX:-$root/build/idle-wineprefix}
peerPrefix=$root/build/idle-wineprefix-peer
# Prefixes made beforehand: a first start-up would otherwise fall into the measured span.
for prefix in "$watchPrefix" "$peerPrefix"; do
  [ -f "$prefix/system.reg" ] ||
    WINEPREFIX=$prefix "$root/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
done

# utime + stime in clock ticks (fields 14 and 15 of /proc/<pid>/stat).
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
# A prefix's server works in /tmp/.wine-<uid>/server-<device>-<inode> of the prefix folder.
serverOf() {
  local dir pid
  dir=$(printf 'server-%x-%x' "$(stat -c %d "$1")" "$(stat -c %i "$1")")
  for pid in $(pgrep -x 'wineserver64|wineserver'); do
    case $(readlink "/proc/$pid/cwd") in */"$dir") echo "$pid"; return ;; esac
  done
}
# Other copies may be running (tests): take the process started in our folder.
processIn() {
  local pid
  for pid in $(pgrep -x "$1"); do
    [ "$(readlink "/proc/$pid/cwd")" = "$2" ] && { echo "$pid"; return; }
  done
}
percent() { awk -v t="$1" -v hz="$(getconf CLK_TCK)" -v s="$span" 'BEGIN {printf "%.3f", 100 * t / hz / s}'; }
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

results=()
for run in $(seq "$runs"); do
  folder=$(mktemp -d)
  peerFolder=$(mktemp -d)
  cp "$exe" "$folder/Vesk.exe"
  (cd "$folder" && WINEPREFIX=$watchPrefix "$root/scripts/wine-run.sh" ./Vesk.exe >/dev/null 2>&1 &)
  (cd "$peerFolder" && WINEPREFIX=$peerPrefix "$root/scripts/wine-run.sh" notepad >/dev/null 2>&1 &)
  sleep 12
  vesk=$(processIn Vesk.exe "$folder")
  peer=$(processIn notepad.exe "$peerFolder")
  server=$(serverOf "$watchPrefix")
  peerServer=$(serverOf "$peerPrefix")
  [ -n "$vesk" ] && [ -n "$peer" ] && [ -n "$server" ] && [ -n "$peerServer" ] ||
    { echo "measure-idle: the watch or notepad did not start" >&2; exit 1; }
  v0=$(ticks "$vesk"); s0=$(ticks "$server"); n0=$(ticks "$peer"); p0=$(ticks "$peerServer")
  sleep "$span"
  v=$(percent $(($(ticks "$vesk") - v0))); s=$(percent $(($(ticks "$server") - s0)))
  n=$(percent $(($(ticks "$peer") - n0))); p=$(percent $(($(ticks "$peerServer") - p0)))
  vr=$(rss "$vesk"); nr=$(rss "$peer")
  d=$(awk -v a="$v" -v b="$s" -v c="$n" -v e="$p" 'BEGIN {printf "%.3f", a + b - c - e}')
  echo "run $run: Vesk.exe $v % + wineserver $s %; notepad $n % + wineserver $p %;" \
    "difference $d % of one core over $span s; VmRSS $vr kB, notepad $nr kB, above $((vr - nr)) kB"
  results+=("$v $s $n $p $d $vr $nr")
  WINEPREFIX=$watchPrefix wineserver -k || true
  WINEPREFIX=$peerPrefix wineserver -k || true
  WINEPREFIX=$watchPrefix wineserver -w || true
  WINEPREFIX=$peerPrefix wineserver -w || true
  rm -rf "$folder" "$peerFolder"
done

column() { local r; for r in "${results[@]}"; do echo "$r" | awk -v c="$1" '{print $c}'; done; }
echo "median of $runs: Vesk.exe $(median $(column 1)) % + wineserver $(median $(column 2)) %;" \
  "notepad $(median $(column 3)) % + wineserver $(median $(column 4)) %;" \
  "difference $(median $(column 5)) %; VmRSS $(median $(column 6)) kB, notepad $(median $(column 7)) kB"
