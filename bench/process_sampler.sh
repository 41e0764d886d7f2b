#!/usr/bin/env bash
# Builds and runs the process sampling benchmark: a full sample against `ps` and `top` with a
# crowd of children started for the run.
# usage: bench/process_sampler.sh [processes] [rounds]     (defaults: 500 processes, 30 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j4 --target process_sampler >/dev/null
exec build/release/bench/process_sampler --processes "${1:-500}" --rounds "${2:-30}"
