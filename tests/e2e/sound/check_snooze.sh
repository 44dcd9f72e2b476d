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
source "$here/recorded_runs.sh"
start_recorded_check check_snooze

sox -D -n -r 48000 -c 2 -b 16 "$work/tone.wav" synth 4 sine 440 gain -6
export VESK_SNOOZE_SOUND="Z:$(echo "$work/tone.wav" | tr / '\\')"

recorded_runs check_snooze "$work/capture.raw" "$wine_run" "$driver" --gtest_filter=AlarmSnooze.* \
  -- python3 "$here/analyze_tones.py" "$work/capture.raw" --frequency 440 --amplitude 0.5 \
  --seconds 4 --tones 1 --skip 1
