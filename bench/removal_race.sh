#!/usr/bin/env bash
# The removal races at length: a root-run cleaner against the home's own user swapping the
# folders being removed for links to ~/.ssh and to a root-owned tree, and the removal of a git
# worktree and the emptying of the Trash against a process of the same user exchanging the
# folder with a link (the suite runs the same tests with 100, 30 and 100 rounds). Prints each
# run's result and time per test, then how many runs lost a file.
#
#   sudo bench/removal_race.sh [build-dir]
#
# ROUNDS per run (default 300), RUNS (default 3).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
rounds=${ROUNDS:-300}
runs=${RUNS:-3}
[ "$(id -u)" -eq 0 ] || { echo "run as root: the cleaner races an ordinary user" >&2; exit 2; }

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target test_cleanup >/dev/null

lost=0
for test in RemovalRaceTest WorktreeRaceTest TrashRaceTest; do
  for run in $(seq "$runs"); do
    start=$(date +%s%N)
    if TIDRA_RACE_ROUNDS=$rounds "$build/tests/test_cleanup" --gtest_filter="$test.*" >/tmp/tidra-race-$$.log 2>&1; then
      result="held"
    else
      result="LOST A FILE ($(grep -o 'round [0-9]* of [0-9]*' /tmp/tidra-race-$$.log | head -1))"
      lost=$((lost + 1))
    fi
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    printf '%s run %d: %d rounds, %s, %d.%03d s\n' "$test" "$run" "$rounds" "$result" $((ms / 1000)) $((ms % 1000))
  done
done
rm -f /tmp/tidra-race-$$.log
echo "runs that lost a file: $lost of $((runs * 3))"
