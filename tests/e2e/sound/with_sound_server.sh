#!/usr/bin/env bash
# Runs a command with a private PulseAudio server whose default sink is a null sink, so that
# Windows programs under Wine get a sound device that plays at real speed into nothing. Sets
# VESK_EXPECT_SOUND=1 for the command: tests that need a device then fail instead of skipping.
# Usage: with_sound_server.sh command [arguments...]
# Exit 77 (skipped) when the machine lacks the sound server or cannot run the program.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
for tool in pulseaudio pactl; do
  command -v "$tool" >/dev/null || { echo "with_sound_server: $tool missing, skipped"; exit 77; }
done
# The program to run is the last Windows executable among the arguments, if any.
for arg in "$@"; do
  case "$arg" in
  *.exe)
    if ! VESK_WINE_CHECK_ONLY=1 "$root/scripts/wine-run.sh" "$arg"; then
      echo "with_sound_server: this machine cannot run $arg, skipped"
      exit 77
    fi
    ;;
  esac
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The server writes into its folder while it shuts down: wait for it to go before removing the
# folder, or the removal races it and fails a run whose tests passed.
cleanup() {
  local pid
  if [ -f "$XDG_RUNTIME_DIR/pulse/pid" ]; then
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
"$@"
