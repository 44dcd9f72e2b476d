#!/usr/bin/env bash
# MP3 alarms end to end: the real program rings an alarm whose sound is a 1 s, 440 Hz tone at half
# scale as MP3 (each kind given: "cbr" with an ID3v2 tag, "vbr" with an encoder tag) through its
# Mp3 plug-in under Wine into a private PulseAudio null sink; the recording must hold the tone for
# 1 s at its pitch and level, without gaps. Usage: check_alarm_mp3.sh vesk_e2e.exe kind...
# Exit 77 (skipped) when the machine lacks the tools or cannot run the program.
set -euo pipefail
driver=$(realpath "$1")
shift
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
if ! VESK_WINE_CHECK_ONLY=1 "$root/scripts/wine-run.sh" "$driver"; then
  echo "check_alarm_mp3: this machine cannot run $driver, skipped"
  exit 77
fi
for tool in pulseaudio pactl parec sox lame id3v2 python3; do
  command -v "$tool" >/dev/null || { echo "check_alarm_mp3: $tool missing, skipped"; exit 77; }
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
recorder=""
cleanup() {
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null || true
  if [ -f "$XDG_RUNTIME_DIR/pulse/pid" ]; then
    local pid
    pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid")
    kill "$pid" || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  rm -rf "$work" || true
}
trap cleanup EXIT

pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
  --load="module-null-sink sink_name=cap rate=48000 norewinds=1" \
  --load=module-native-protocol-unix 2>/dev/null
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink cap
export VESK_EXPECT_SOUND=1

sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 1 sine 440 gain -6
lame --quiet -b 128 "$work/tone.wav" "$work/cbr.mp3"
id3v2 -t "Alarm" -a "Vesk" "$work/cbr.mp3"
lame --quiet -V 2 "$work/tone.wav" "$work/vbr.mp3"

# One recorded ring; 0 when the analysis passes, 1 when not, 2 when the driver failed.
ring_once() {
  local kind=$1
  parec --device=cap.monitor --format=s16le --rate=48000 --channels=2 >"$work/capture.raw" &
  recorder=$!
  local status=0
  VESK_ALARM_SOUND="$work/$kind.mp3" "$root/scripts/wine-run.sh" "$driver" \
    --gtest_filter=AlarmRings.RingsAnMp3ThroughThePlugin || status=$?
  kill "$recorder"
  wait "$recorder" 2>/dev/null || true
  recorder=""
  [ "$status" -eq 0 ] || return 2
  python3 "$here/analyze_capture.py" "$work/capture.raw" --frequency 440 --amplitude 0.5 --seconds 1 \
    --max-jump 0.1
}

# As in check_sound.sh, a loaded machine can starve the system mixer: one of three rings of each
# kind must come back whole.
for kind in "$@"; do
  passed=no
  for attempt in 1 2 3; do
    status=0
    ring_once "$kind" || status=$?
    [ "$status" -eq 2 ] && exit 1
    if [ "$status" -eq 0 ]; then passed=yes; break; fi
    echo "check_alarm_mp3: $kind attempt $attempt was not clean"
  done
  [ "$passed" = yes ] || exit 1
  echo "check_alarm_mp3: $kind rang as 1 s at 440 Hz"
done
