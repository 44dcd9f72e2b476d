#!/usr/bin/env bash
# What a user hears from the real watch: Vesk.exe runs under Wine beside a private PulseAudio
# server, tones are dropped on the watch (each opens a popup that plays it once, as a ringing
# alarm does), the sink is recorded and analyze_capture.py finds every run of tone and every gap.
# Usage: watch_sound.sh Vesk.exe watch_remote.exe CASE [minutes]
#   load      ten 12 s tones with both cores busy: ten unbroken 12.0 s runs at 440 Hz
#   loss      the sink goes away for 2 s mid-tone and comes back: the next tone is heard in full,
#             quit < 2 s
#   nodevice  start without a sink, add one: the next tone is heard in full; sink gone again:
#             quit < 2 s
#   soak      a 1 s tone every 30 s for [minutes] (default 2): every one heard in full; prints the
#             resident memory of the program after each tone
# "In full" forgives the short gaps Wine's own output drops in on a busy machine (see
# analyze_capture.py --bridge): every sample must arrive, in order. Only `load` asks for
# unbroken runs; it runs by hand (docs/benchmarks.md has its figures).
# Exit 77 (skipped) when the machine lacks the sound tools or cannot run the program.
set -euo pipefail
vesk=$(realpath "$1")
remote_exe=$(realpath "$2")
case_name=$3
minutes=${4:-2}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
python=/usr/bin/python3
if ! VESK_WINE_CHECK_ONLY=1 "$root/scripts/wine-run.sh" "$vesk"; then
  echo "watch_sound: this machine cannot run $vesk, skipped"
  exit 77
fi
for tool in pulseaudio pactl parec sox "$python"; do
  command -v "$tool" >/dev/null || { echo "watch_sound: $tool missing, skipped"; exit 77; }
done
if [ -z "${DISPLAY:-}" ]; then
  source "$root/scripts/xvfb.sh"
  start_private_display
fi

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR" "$work/program"
cp "$vesk" "$work/program/Vesk.exe"
vesk_pid=""
recorder=""
busy=()
cleanup() {
  for pid in "${busy[@]}" $recorder $vesk_pid; do kill "$pid" 2>/dev/null || true; done
  if [ -f "$XDG_RUNTIME_DIR/pulse/pid" ]; then
    local pid
    pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid")
    kill "$pid" || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  rm -rf "$work" || true
  # This trap replaces the one that stops a private display.
  [ -z "${VESK_XVFB_PID:-}" ] || kill "$VESK_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

windows_path() { echo "Z:$(echo "$1" | tr / '\\')"; }
remote() { "$root/scripts/wine-run.sh" "$remote_exe" "$@" | tr -d '\r'; }

start_server() {
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load=module-native-protocol-unix 2>/dev/null
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
}
add_sink() {
  sink_module=$(pactl load-module module-null-sink sink_name=cap rate=48000 norewinds=1)
  pactl set-default-sink cap
}
remove_sink() { pactl unload-module "$sink_module"; }

# Wine 8 does not pass thread priorities on to Linux, so the program's time-critical output
# thread would compete with the busy cores on equal terms. As on Windows, where audio threads run
# above everything else, the program and the Wine server that carries its events run at a raised
# priority (as root; elsewhere nice refuses and they run normal).
start_watch() {
  (cd "$work/program" && exec nice -n -10 "$root/scripts/wine-run.sh" "$work/program/Vesk.exe") &
  vesk_pid=$!
  remote wait-watch || { echo "watch_sound: the watch did not come up"; exit 1; }
  local prefix=${WINEPREFIX:-$root/build/wineprefix} server pid
  # The server of a prefix works in a folder named after the prefix's device and inode.
  server=$(printf 'server-%x-%x' "$(stat -c %d "$prefix")" "$(stat -c %i "$prefix")")
  for pid in $(pgrep -x wineserver64 || true); do
    case "$(readlink "/proc/$pid/cwd")" in
    */"$server") renice -n -10 -p "$pid" >/dev/null 2>&1 || true ;;
    esac
  done
}
# Quits the watch; fails unless it ended within 2 s with exit code 0.
quit_watch() {
  local ms status=0
  ms=$(remote quit) || { echo "watch_sound: quit did not end the program"; exit 1; }
  wait "$vesk_pid" || status=$?
  vesk_pid=""
  echo "quit took $ms ms, exit code $status"
  [ "$ms" -lt 2000 ] && [ "$status" -eq 0 ]
}

start_recording() {
  parec --device=cap.monitor --format=s16le --rate=48000 --channels=2 >"$1" &
  recorder=$!
  sleep 0.5
}
stop_recording() {
  sleep 0.5
  kill "$recorder" 2>/dev/null || true
  wait "$recorder" 2>/dev/null || true
  recorder=""
}

# Drops a tone file and waits until its popup has played it and closed.
play_tone() {
  remote drop "$(windows_path "$1")"
  local popups
  for _ in $(seq 120); do
    sleep 0.5
    popups=$(remote popups)
    [ "$popups" = "0" ] && return 0
  done
  echo "watch_sound: the popup of $1 did not close"
  exit 1
}

tone() { sox -n -r 48000 -c 2 -b 16 "$work/tone$1.wav" synth "$1" sine 440 gain -6; }
# A failed analysis is remembered; the case goes on, so that quit is checked in every case.
heard=0
analyze() { "$python" "$here/analyze_capture.py" "$@" --frequency 440 --amplitude 0.5 || heard=1; }

case "$case_name" in
load)
  tone 12
  start_server
  add_sink
  start_watch
  for _ in 1 2; do
    timeout 600 sh -c 'while :; do :; done' &
    busy+=($!)
  done
  start_recording "$work/capture.raw"
  for _ in $(seq 10); do play_tone "$work/tone12.wav"; done
  stop_recording
  analyze "$work/capture.raw" --seconds 12 --runs 10
  quit_watch
  ;;
loss)
  tone 6
  tone 2
  start_server
  add_sink
  start_watch
  remote drop "$(windows_path "$work/tone6.wav")"
  sleep 2
  remove_sink
  sleep 2
  add_sink
  for _ in $(seq 60); do [ "$(remote popups)" = "0" ] && break; sleep 0.5; done
  sleep 1
  start_recording "$work/capture.raw"
  play_tone "$work/tone2.wav"
  stop_recording
  analyze "$work/capture.raw" --seconds 2 --runs 1 --bridge 0.25
  quit_watch
  ;;
nodevice)
  tone 2
  start_server
  start_watch
  sleep 1
  add_sink
  sleep 2
  start_recording "$work/capture.raw"
  play_tone "$work/tone2.wav"
  stop_recording
  analyze "$work/capture.raw" --seconds 2 --runs 1 --bridge 0.25
  remove_sink
  quit_watch
  ;;
soak)
  tone 1
  start_server
  add_sink
  start_watch
  start_recording "$work/capture.raw"
  count=$((minutes * 2))
  start=$SECONDS
  for k in $(seq "$count"); do
    play_tone "$work/tone1.wav"
    echo "tone $k at $((SECONDS - start)) s: resident $(awk '/VmRSS/ {print $2, $3}' "/proc/$vesk_pid/status")"
    while [ $((SECONDS - start)) -lt $((k * 30)) ]; do sleep 1; done
  done
  stop_recording
  analyze "$work/capture.raw" --seconds 1 --runs "$count" --quiet --bridge 0.25
  quit_watch
  ;;
*)
  echo "usage: watch_sound.sh Vesk.exe watch_remote.exe load|loss|nodevice|soak [minutes]"
  exit 2
  ;;
esac
exit "$heard"
