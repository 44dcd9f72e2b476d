#!/usr/bin/env bash
# Sourced: start_private_display starts a private Xvfb display for Wine windows on the first
# free number from 90, exports DISPLAY, and stops it when the calling script exits.
start_private_display() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  VESK_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  trap 'kill $VESK_XVFB_PID 2>/dev/null || true' EXIT
}
