#!/usr/bin/env bash
# Snooze end to end, heard: makes a 4 s, 440 Hz tone with sox and runs the driver's AlarmSnooze
# case (a one-shot alarm rings it, a click on the popup's symbol snoozes it for one minute, the
# program restarts meanwhile) while the private sound server's sink is recorded. The recording
# must hold the first ring, cut short by the click, and then the tone once more, whole.
# Run inside with_sound_server.sh. Usage: check_snooze.sh path/to/wine-run.sh path/to/vesk_e2e.exe
# Exit 77 (skipped) when the machine lacks the tools.
set -euo pipefail
wine_run=$1
driver=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
for tool in parec sox python3; do
  command -v "$tool" >/dev/null || { echo "check_snooze: $tool missing, skipped"; exit 77; }
done

work=$(mktemp -d)
recorder=""
cleanup() {
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

sox -D -n -r 48000 -c 2 -b 16 "$work/tone.wav" synth 4 sine 440 gain -6
export VESK_SNOOZE_SOUND="Z:$(echo "$work/tone.wav" | tr / '\\')"

# A machine loaded by other builds can starve the system mixer for a moment and cut the tone
# (see check_alarm_sounds.sh): the check passes when one of three runs whose case passed heard
# the second ring whole.
for attempt in 1 2 3; do
  parec --device=cap.monitor --format=s16le --rate=48000 --channels=2 >"$work/capture.raw" &
  recorder=$!
  status=0
  "$wine_run" "$driver" --gtest_filter=AlarmSnooze.* || status=$?
  kill "$recorder"
  wait "$recorder" 2>/dev/null || true
  recorder=""
  if [ "$status" -ne 0 ]; then
    echo "check_snooze: attempt $attempt: the case failed ($status)"
    continue
  fi
  python3 "$here/analyze_tones.py" "$work/capture.raw" --frequency 440 --amplitude 0.5 \
    --seconds 4 --tones 1 --skip 1 && exit 0
  echo "check_snooze: attempt $attempt was not clean"
done
exit 1
