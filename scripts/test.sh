#!/usr/bin/env bash
# Runs every test layer: native unit tests (ASan+UBSan, then TSan for threaded code), fuzzers
# briefly from their seed corpora, a build of the benchmarks, the unit tests cross-built for 64-
# and 32-bit Windows under Wine, and the end-to-end tests that drive the real Vesk.exe under Wine
# on Xvfb; last the release: built twice to the same bytes, then installed, upgraded and
# uninstalled on a fresh Wine prefix.
# Ends with one line "N passed, N failed, N skipped" over all layers, counting test cases (and one
# per fuzzer, one per release check): natively CTest lists every case; under Wine each program's
# cases are counted.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
export VESK_WERROR=ON
FUZZ_SECONDS=${FUZZ_SECONDS:-60}

bash scripts/setup.sh || exit 1
scripts/build-libpng-mingw.sh x86_64-w64-mingw32 || exit 1
scripts/build-libpng-mingw.sh i686-w64-mingw32 || exit 1
scripts/build-flac-mingw.sh x86_64-w64-mingw32 || exit 1
scripts/build-flac-mingw.sh i686-w64-mingw32 || exit 1

passed=0
failed=0
skipped=0
timings=""
# What failed, named again at the end so that the last lines of a long run say it.
failures=""

# Records one failure under a name.
fail() {
  failed=$((failed + 1))
  failures="$failures  $1\n"
}

# Adds the given lines, one failure each, to the names of what failed.
name_failures() {
  [ -n "$1" ] && failures="$failures$(echo "$1" | sed 's/^/  /')\n"
  return 0
}

# Names the tests a CTest log lists under "The following tests FAILED:".
name_ctest_failures() {
  name_failures "$(sed -n '/^The following tests FAILED:/,/^$/p' "$1" | grep -E '^\s+[0-9]+ - ' |
    sed -E 's/^\s+//')"
}

# Adds a layer's counts from ctest's summary line "N% tests passed, F tests failed out of T".
count_ctest() {
  local log=$1 line total bad none
  none=$(grep -c '(Skipped)' "$log")
  skipped=$((skipped + none))
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    fail "$log: the run broke off"
    return
  fi
  name_ctest_failures "$log"
  bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/')
  total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
  passed=$((passed + total - bad - none))
  failed=$((failed + bad))
}

# Adds a Wine layer's counts. There a CTest entry is a whole test program, run verbosely, so each
# of its output lines starts with "<test number>: ". A program's cases are counted from gtest's
# closing lines ("[  PASSED  ] 5 tests.", "[  FAILED  ] 1 test, listed below:", "[  SKIPPED ]
# ..."); an entry without them (a script, or a program that died) counts once, by its result.
count_gtest() {
  local log=$1 counts p bad none
  counts=$(awk '
    /^[0-9]+: \[  (PASSED|FAILED|SKIPPED) +\] [0-9]+ tests?[.,]/ {
      n = $0; sub(/:.*/, "", n)
      word = $0; sub(/^[0-9]+: \[  /, "", word); sub(/ .*/, "", word)
      value = $0; sub(/^[0-9]+: \[[^]]*\] /, "", value); sub(/ .*/, "", value)
      seen[n] = 1
      if (word == "PASSED") p += value
      else if (word == "SKIPPED") skip += value
      else { bad += value; told[n] = 1 }
      next
    }
    /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / {
      n = $0; sub(/^ *[0-9]+\/[0-9]+ Test +#/, "", n); sub(/:.*/, "", n)
      result[n] = $0
    }
    END {
      for (n in result) {
        ok = result[n] ~ /Passed/; none = result[n] ~ /Skipped/
        if (n in seen) {
          # A program that reported its cases and still failed (say, died on exit) fails once.
          if (!ok && !none && !(n in told)) bad += 1
        } else if (ok) p += 1
        else if (none) skip += 1
        else bad += 1
      }
      printf "%d %d %d\n", p + 0, bad + 0, skip + 0
    }' "$log")
  read -r p bad none <<< "$counts"
  # Without CTest's summary the run broke off: what did not run counts as one failure.
  if grep -qE 'tests passed, [0-9]+ tests? failed out of' "$log"; then
    name_ctest_failures "$log"
    name_failures "$(grep -E '^[0-9]+: \[  FAILED  \] [A-Za-z]' "$log" | sort -u)"
  else
    bad=$((bad + 1))
    name_failures "$log: the run broke off"
  fi
  passed=$((passed + p))
  failed=$((failed + bad))
  skipped=$((skipped + none))
}

# Runs one named layer and records its wall time.
layer() {
  local name=$1
  shift
  local start=$SECONDS
  echo "=== $name"
  "$@"
  timings="$timings$name: $((SECONDS - start)) s\n"
}

# Builds a preset (only the given targets, when some are named) and runs its tests.
ctest_layer() {
  local preset=$1 build=$2
  shift 2
  local log="build/$preset-ctest.log" targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  if ! { cmake --preset "$preset" >/dev/null && cmake --build "$build" -j2 "${targets[@]}"; }; then
    echo "build of $preset failed"
    fail "build of $preset"
    return
  fi
  if [ "$preset" = win64 ] || [ "$preset" = win32 ]; then
    # Verbose for the cases' closing lines; the screen gets the results and failures only.
    ctest --preset "$preset" -V 2>&1 | tee "$log" |
      grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|\[  FAILED  \]|^The following|\*\*\*'
    count_gtest "$log"
  else
    ctest --preset "$preset" 2>&1 | tee "$log"
    count_ctest "$log"
  fi
}

fuzz_layer() {
  if ! { cmake --preset linux-fuzz >/dev/null && cmake --build build/linux-fuzz -j2; }; then
    echo "build of the fuzzers failed"
    fail "build of the fuzzers"
    return
  fi
  local target name
  for target in tests/fuzz/*.cpp; do
    [ -e "$target" ] || continue
    name=$(basename "$target" .cpp)
    mkdir -p "build/fuzz-corpus/$name" "tests/fuzz/corpus/$name"
    if build/linux-fuzz/tests/fuzz/"$name" -max_total_time="$FUZZ_SECONDS" -print_final_stats=1 \
        "build/fuzz-corpus/$name" "tests/fuzz/corpus/$name" > "build/fuzz-$name.log" 2>&1; then
      echo "fuzz $name: $(grep -E 'stat::number_of_executed_units' "build/fuzz-$name.log" | awk '{print $2}') runs, no crash"
      passed=$((passed + 1))
    else
      tail -n 40 "build/fuzz-$name.log"
      echo "fuzz $name: FAILED"
      fail "fuzz $name (build/fuzz-$name.log)"
    fi
  done
}

# Benchmarks are not tests; they are only built here so that they keep compiling.
bench_build() {
  if ! { cmake --preset linux-bench >/dev/null && cmake --build build/linux-bench -j2 >/dev/null; }; then
    echo "build of the benchmarks failed"
    fail "build of the benchmarks"
  fi
}

wine_layers() {
  source scripts/xvfb.sh
  start_private_display
  # One wineserver kept for the whole run, with Wine's session processes started here: otherwise
  # every test program starts them anew and CTest waits for them to linger out (they hold the
  # program's output pipe), some 4 s a program.
  scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
  WINEPREFIX="$root/build/wineprefix" wineserver -w
  WINEPREFIX="$root/build/wineprefix" wineserver -p >/dev/null 2>&1
  scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
  layer "win64 (unit and end-to-end under Wine)" ctest_layer win64 build/win64
  layer "win32 (unit and end-to-end under Wine)" ctest_layer win32 build/win32
  WINEPREFIX="$root/build/wineprefix" wineserver -k
}

# The release packs the programs the Windows layers built. A second run packs them again and
# must give the same bytes; that a fresh build gives the same programs was checked by hand
# (VESK_RELEASE_BUILDS, see README.md).
release_layer() {
  if ! bash scripts/release.sh > build/release.log 2>&1; then
    tail -n 40 build/release.log
    echo "release: build FAILED"
    fail "release build"
    return
  fi
  cp dist/SHA256SUMS build/release-first.sums
  if bash scripts/release.sh > build/release.log 2>&1 && cmp -s dist/SHA256SUMS build/release-first.sums; then
    echo "release: a second run gave the same bytes"
    passed=$((passed + 1))
  else
    diff build/release-first.sums dist/SHA256SUMS
    echo "release: a second run gave other bytes: FAILED"
    fail "release: a second run gave other bytes"
  fi
  local log=build/release-e2e.log line
  bash tests/e2e/release/check_release.sh dist 2>&1 | tee "$log"
  if [ "${PIPESTATUS[0]}" -eq 77 ]; then
    skipped=$((skipped + 1))
    return
  fi
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    fail "release check: the run broke off"
    return
  fi
  name_failures "$(grep -E 'FAIL' "$log" | sed 's/^/release check: /')"
  passed=$((passed + ${line%% passed*}))
  failed=$((failed + $(echo "$line" | sed -E 's/.* ([0-9]+) failed/\1/')))
}

layer "native unit tests (ASan+UBSan)" ctest_layer linux build/linux
# Under TSan only the programs of folders marked THREADS are built and run.
threaded=$(for marker in tests/unit/*/THREADS; do basename "$(dirname "$marker")"; done | sed 's/^/unit_/')
# shellcheck disable=SC2086
layer "native threaded tests (TSan)" ctest_layer linux-tsan build/linux-tsan $threaded
layer "fuzzers" fuzz_layer
layer "benchmarks (build only)" bench_build
wine_layers
layer "release (reproducible, installed under Wine)" release_layer

echo
echo "Wall time per layer:"
printf "%b" "$timings"
[ "$skipped" -gt 0 ] && echo "Skipped tests could not run on this machine (see the layer output)."
[ -n "$failures" ] && printf "Failed:\n%b" "$failures"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
