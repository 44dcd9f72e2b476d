#!/usr/bin/env bash
# Alarm sound files end to end: makes WAVE files of several encodings with sox (16-bit stereo,
# µ-law mono, 32-bit integer, four channels, and one with a format tag nobody decodes), runs the
# driver's AlarmSoundFiles case, which lets the real program ring them one after another, while
# a private PulseAudio null sink is recorded; then checks that the four decodable files were
# heard whole, at their pitch and level. Usage: check_alarm_sounds.sh path/to/wine-run.sh
# path/to/vesk_e2e.exe, inside with_sound_server.sh. Exit 77 (skipped) when the machine lacks the
# sound tools.
set -euo pipefail
wine_run=$1
exe=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/recorded_runs.sh"
start_recorded_check check_alarm_sounds

# One second of 440 Hz at half scale in each encoding, undithered so that only the encoding's
# own quantisation is in the samples.
sounds=$work/sounds
mkdir "$sounds"
tone() { sox -D -n -r 48000 "$@" synth 1 sine 440 gain -6; }
tone -c 2 -b 16 "$sounds/pcm16.wav"
tone -c 1 -e u-law "$sounds/mulaw.wav"
tone -c 2 -b 32 -e signed-integer "$sounds/int32.wav"
tone -c 4 -b 16 "$sounds/quad.wav"
cp "$sounds/pcm16.wav" "$sounds/unknown.wav"
printf '\x34\x12' | dd of="$sounds/unknown.wav" bs=1 seek=20 conv=notrunc status=none
export VESK_ALARM_SOUNDS="Z:$(echo "$sounds" | tr / '\\')"

# The alarms ring 3 s apart; the analysis keeps the tones heard whole over the runs in "clean".
# µ-law steps are up to 1/64 of full scale near the tones' peaks: the jump check allows them.
recorded_runs check_alarm_sounds "$work/capture.raw" \
  "$wine_run" "$exe" --gtest_filter=AlarmSoundFiles.* \
  -- python3 "$here/analyze_tones.py" "$work/capture.raw" --frequency 440 --amplitude 0.5 \
  --seconds 1 --tones 4 --spacing 3 --clean "$work/clean" --noise 0.05
