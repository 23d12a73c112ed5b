# The stages of scripts/test: each runs with its output kept in a log, and its seconds, result
# and count go into the table printed at the end. Sourced, not run.
#   run_stage NAME COMMAND...          runs it here, its output shown as it comes
#   start_stage NAME COMMAND...        runs it in the background, its output kept; with
#                                      STAGE_SLOTS set, once fewer than that many run
#   wait_stages                        waits for those, then shows each one's output in turn
#   note_stage NAME RESULT DETAIL      a row for a stage that could not run (RESULT: failed)
#   print_stage_table                  the table; returns non-zero when any stage failed
STAGE_LOGS=${STAGE_LOGS:-$VESPERINE_ROOT/build/stages}
STAGE_ROWS=()
STAGE_FAILED=0
STAGE_PENDING=()
STAGE_SLOTS=${STAGE_SLOTS:-}
mkdir -p "$STAGE_LOGS"

stage_log() { printf '%s/%s.log' "$STAGE_LOGS" "$(printf '%s' "$1" | tr -c 'A-Za-z0-9' '-')"; }

# What a stage counted, from its runner's closing lines: ctest's summary, the extra checks'
# "extra: N passed, M failed", or a check's own "N passed, M failed".
stage_count() {
  local log=$1 line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$line" ]; then
    echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2 tests, \1 failed/'
    return
  fi
  line=$(grep -E '^([A-Za-z-]+: )?[0-9]+ passed, [0-9]+ failed' "$log" | tail -1)
  if [ -n "$line" ]; then
    echo "$line" | sed -E 's/^[A-Za-z-]+: //'
    return
  fi
  echo "-"
}

STAGE_TESTS_PASSED=0
STAGE_TESTS_FAILED=0
# Adds a stage's count ("N tests, F failed" or "P passed, F failed") to the run's totals.
add_to_totals() {
  local n f
  if [[ "$1" =~ ^([0-9]+)\ tests,\ ([0-9]+)\ failed ]]; then
    n=${BASH_REMATCH[1]} f=${BASH_REMATCH[2]}
    STAGE_TESTS_PASSED=$((STAGE_TESTS_PASSED + n - f))
    STAGE_TESTS_FAILED=$((STAGE_TESTS_FAILED + f))
  elif [[ "$1" =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
    STAGE_TESTS_PASSED=$((STAGE_TESTS_PASSED + BASH_REMATCH[1]))
    STAGE_TESTS_FAILED=$((STAGE_TESTS_FAILED + BASH_REMATCH[2]))
  fi
}

record_stage() {
  local name=$1 seconds=$2 rc=$3 log=$4 result=passed count
  [ "$rc" = 0 ] || { result=failed; STAGE_FAILED=1; }
  count=$(stage_count "$log")
  add_to_totals "$count"
  STAGE_ROWS+=("$(printf '%-38s %6s s  %-7s %s' "$name" "$seconds" "$result" "$count")")
}

run_stage() {
  local name=$1 log start rc
  shift
  log=$(stage_log "$name")
  echo
  echo "=== $name ==="
  start=$SECONDS
  "$@" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  record_stage "$name" $((SECONDS - start)) "$rc" "$log"
  return "$rc"
}

start_stage() {
  local name=$1 log
  shift
  log=$(stage_log "$name")
  if [ -n "$STAGE_SLOTS" ]; then
    while [ "$(jobs -rp | wc -l)" -ge "$STAGE_SLOTS" ]; do wait -n; done
  fi
  echo "=== $name: started beside the others ==="
  (
    start=$SECONDS
    "$@" >"$log" 2>&1
    echo "$? $((SECONDS - start))" >"$log.result"
  ) &
  STAGE_PENDING+=("$name")
}

wait_stages() {
  wait
  local name log rc seconds any=0
  for name in "${STAGE_PENDING[@]}"; do
    log=$(stage_log "$name")
    echo
    echo "=== $name ==="
    cat "$log"
    read -r rc seconds <"$log.result" 2>/dev/null || { rc=1; seconds=0; }
    record_stage "$name" "$seconds" "$rc" "$log"
    [ "$rc" = 0 ] || any=1
  done
  STAGE_PENDING=()
  return $any
}

note_stage() {
  local name=$1 result=$2 detail=$3
  [ "$result" = passed ] || STAGE_FAILED=1
  STAGE_ROWS+=("$(printf '%-38s %6s    %-7s %s' "$name" - "$result" "$detail")")
}

print_stage_table() {
  local row
  echo
  echo "=== where the time went ==="
  printf '%-38s %8s  %-7s %s\n' stage time result count
  for row in "${STAGE_ROWS[@]}"; do echo "$row"; done
  printf '%-38s %6s s\n' "all" "$SECONDS"
  # A stage that failed without a count (a build, a lane that could not start) still fails
  # the run: the exit status says so, whatever this line counts.
  echo "tests: $STAGE_TESTS_PASSED passed, $STAGE_TESTS_FAILED failed"
  return $STAGE_FAILED
}
