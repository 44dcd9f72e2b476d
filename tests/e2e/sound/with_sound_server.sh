#!/usr/bin/env bash
# Runs a Windows program under Wine with a private PulseAudio server whose only sink is a null
# sink, so the program finds one sound device on a machine without sound hardware.
# Usage: with_sound_server.sh program.exe [arguments...]
# Exit 77 (skipped) when the machine cannot run the program or lacks the sound server.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
exe=$(realpath "$1")
shift
if ! VESK_WINE_CHECK_ONLY=1 "$root/scripts/wine-run.sh" "$exe"; then
  echo "with_sound_server: this machine cannot run $exe, skipped"
  exit 77
fi
for tool in pulseaudio pactl; do
  command -v "$tool" >/dev/null || { echo "with_sound_server: $tool missing, skipped"; exit 77; }
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
cleanup() {
  if [ -f "$XDG_RUNTIME_DIR/pulse/pid" ]; then kill "$(cat "$XDG_RUNTIME_DIR/pulse/pid")" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
  --load="module-null-sink sink_name=quiet" --load=module-native-protocol-unix 2>/dev/null
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink quiet
"$root/scripts/wine-run.sh" "$exe" "$@"
