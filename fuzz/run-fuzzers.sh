#!/usr/bin/env bash
# Runs each fuzz target for a given time: run-fuzzers.sh BUILD_DIR SECONDS
#
# Each target starts from the hand-written seed files in tests/fuzz-corpus/ and keeps
# what it learns in BUILD_DIR/corpus/<target>/ (never in the repository), so later runs
# on the same machine go on from there. An input that breaks a target is saved in
# BUILD_DIR/artifacts/; the end of the target's log is shown and the run fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2

# target, seed folder, longest input, dictionary
targets=(
  "fuzz_integer_text integer 64 fuzz/integer.dict"
  "fuzz_profile_read_text profile 65536 fuzz/profile.dict"
  "fuzz_profile_rewrite profile 65536 fuzz/profile.dict"
  "fuzz_profile_read profile 65536 fuzz/profile.dict"
  "fuzz_profile_write profile 65536 fuzz/profile.dict"
)

mkdir -p "$build/artifacts" "$build/logs"
# The targets' scratch files go to a folder in memory where the machine has one (the
# profile writer flushes every file it writes to disk), removed also after a failure.
scratch=$(mktemp -d -p /dev/shm quorvin-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
printf '%-20s %12s %10s %8s  %s\n' target executions exec/s corpus result
for entry in "${targets[@]}"; do
  read -r name seeds max_len dict <<<"$entry"
  corpus="$build/corpus/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus"
  # -timeout: no input may take a second; with inputs of up to 64 KiB that bounds the time
  # per byte. -malloc_limit_mb: no input may make the code under test ask for much memory.
  if TMPDIR=$scratch "$build/fuzz/$name" "$corpus" "tests/fuzz-corpus/$seeds" -dict="$dict" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=1 -malloc_limit_mb=64 \
    -artifact_prefix="$build/artifacts/$name-" -print_final_stats=1 >"$log" 2>&1; then
    result=ok
    passed=$((passed + 1))
  else
    result=FAILED
    failed=$((failed + 1))
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  size=$(find "$corpus" -type f | wc -l)
  printf '%-20s %12s %10s %8s  %s\n' "$name" "${runs:--}" "${rate:--}" "$size" "$result"
  if [ "$result" = FAILED ]; then
    tail -n 40 "$log"
    echo "Reproduce: $build/fuzz/$name $build/artifacts/$name-<file>"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
