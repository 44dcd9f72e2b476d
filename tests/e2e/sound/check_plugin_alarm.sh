#!/usr/bin/env bash
# Alarms in compressed formats, end to end: for each format given, a 1 s, 440 Hz tone at half
# scale is encoded by the system's encoder, the real program rings it once as an alarm (the
# RingsASoundFileThroughThePluginsOnce case of the driver), and the recording of the sound
# server's sink must hold that tone, whole: 1 s at 440 Hz. Run inside with_sound_server.sh.
# Usage: check_plugin_alarm.sh path/to/vesk_e2e.exe ogg flac mp3 vbr.mp3 ... ("mp3" is CBR with
# an ID3v2 tag, "vbr.mp3" VBR with an encoder tag)
# Exit 77 (skipped) when the machine lacks the tools.
set -euo pipefail
driver=$(realpath "$1")
shift
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$(cd "$here/../../.." && pwd)/scripts/wine-run.sh
for tool in parec sox oggenc flac lame id3v2 /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "check_plugin_alarm: $tool missing, skipped"; exit 77; }
done
[ -n "${DISPLAY:-}" ] || { echo "check_plugin_alarm: no display, skipped"; exit 77; }

work=$(mktemp -d)
recorder=""
cleanup() {
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

sox -n -r 48000 -c 2 -b 16 "$work/tone.wav" synth 1 sine 440 gain -6
# Lossy stereo coding would make the channels differ a little; a mono tone plays on both alike.
sox "$work/tone.wav" -c 1 "$work/mono.wav"
oggenc -Q -q 6 -o "$work/tone.ogg" "$work/mono.wav"
flac -s -o "$work/tone.flac" "$work/tone.wav"
lame --quiet -b 128 "$work/tone.wav" "$work/tone.mp3"
id3v2 -t "Alarm" -a "Vesk" "$work/tone.mp3"
lame --quiet -V 2 "$work/tone.wav" "$work/tone.vbr.mp3"

ring() {
  VESK_ALARM_SOUND="Z:$(echo "$work/tone.$1" | tr / '\\')" "$wine_run" "$driver" \
    --gtest_filter=AlarmRings.RingsASoundFileThroughThePluginsOnce
}

# One alarm recorded; the analysis decides. Exit 2 when the program itself failed.
ring_recorded() {
  local format=$1 status=0
  parec --device=cap.monitor --format=s16le --rate=48000 --channels=2 >"$work/capture.raw" &
  recorder=$!
  sleep 0.5
  ring "$format" || status=$?
  kill "$recorder"
  wait "$recorder" 2>/dev/null || true
  recorder=""
  if [ "$status" -ne 0 ]; then
    echo "check_plugin_alarm: the $format alarm case failed ($status)"
    return 2
  fi
  /usr/bin/python3 "$here/analyze_capture.py" "$work/capture.raw" --frequency 440 --amplitude 0.5 \
    --seconds 1
}

# A fresh sound server settles its latency while the first client stream starts and can drop a
# few milliseconds then; one unrecorded alarm lets it settle.
ring flac >/dev/null || true

# A loaded machine can starve the system mixer between two device buffers, and a quiet one now and
# then; such gaps are reported, and a format passes when one of five rings comes back whole.
for format in "$@"; do
  passed=0
  for attempt in 1 2 3 4 5; do
    status=0
    ring_recorded "$format" || status=$?
    [ "$status" -eq 0 ] && { passed=1; break; }
    [ "$status" -eq 2 ] && exit 1
    echo "check_plugin_alarm: $format attempt $attempt was not clean"
  done
  [ "$passed" -eq 1 ] || exit 1
  echo "check_plugin_alarm: the $format alarm rang 1 s at 440 Hz"
done
