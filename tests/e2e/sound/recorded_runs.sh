# Sourced by the sound checks. recorded_runs NAME CAPTURE CASE... -- ANALYSIS... runs the driver
# command CASE while the sound server's sink "cap" is recorded into CAPTURE, then the command
# ANALYSIS on the recording. A machine loaded by other builds can starve the system mixer for a
# moment and cut a tone, or start the program too late; even a quiet machine does so now and then,
# as Wine's output can hear a late buffer as a gap (see docs/benchmarks.md, "Output under load").
# It returns 0 as soon as one of five runs whose case passed was heard clean, 1 otherwise. The
# recorder runs as $recorder meanwhile, for start_recorded_check's clean-up to end.
recorder=""
work=""

# Starts a recorded check called NAME: exits 77 (skipped) without the recording and analysis tools,
# makes the scratch folder $work, and on exit ends the recorder and removes the folder.
start_recorded_check() {
  local name=$1 tool
  for tool in parec sox python3; do
    command -v "$tool" >/dev/null || { echo "$name: $tool missing, skipped"; exit 77; }
  done
  work=$(mktemp -d)
  trap end_recorded_check EXIT
}

end_recorded_check() {
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null || true
  rm -rf "$work"
}

recorded_runs() {
  local name=$1 capture=$2 attempt status
  shift 2
  local case_command=()
  while [ "$1" != "--" ]; do case_command+=("$1"); shift; done
  shift
  for attempt in 1 2 3 4 5; do
    parec --device=cap.monitor --format=s16le --rate=48000 --channels=2 >"$capture" &
    recorder=$!
    status=0
    "${case_command[@]}" || status=$?
    kill "$recorder"
    wait "$recorder" 2>/dev/null || true
    recorder=""
    if [ "$status" -ne 0 ]; then
      echo "$name: attempt $attempt: the case failed ($status)"
      continue
    fi
    "$@" && return 0
    echo "$name: attempt $attempt was not clean"
  done
  return 1
}
