#!/usr/bin/env bash
# Builds and runs the machine-wide CPU reading benchmark against `ps`, with a crowd of children
# started for the run.
# usage: bench/system_cpu.sh [processes] [rounds]     (defaults: 300 processes, 30 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j4 --target system_cpu >/dev/null
exec build/release/bench/system_cpu --processes "${1:-300}" --rounds "${2:-30}"
