#!/usr/bin/env bash
# The one test command: installs what is missing, then builds and runs the whole suite twice,
# once in the Release build people run (the same folder scripts/run.sh builds) and once under
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# ccache keys on paths relative to the clone and ignores the folder debug info would name, so
# a fresh clone anywhere reuses what an earlier one compiled.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
# A fresh clone's headers are newer than ccache trusts by default: key on their contents alone.
export CCACHE_SLOPPINESS=time_macros,include_file_mtime,include_file_ctime

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite build/app -DCMAKE_BUILD_TYPE=Release
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DTIDRA_SANITIZE=ON -DTIDRA_BENCH=OFF
