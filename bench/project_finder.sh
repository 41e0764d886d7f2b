#!/usr/bin/env bash
# Builds and runs the project finder benchmark on a generated tree in a temporary folder,
# removed afterwards: the finder against a `find` that prunes the same folders, and the finder
# with the size of every node_modules folder against npkill, which sizes what it lists. npkill
# is installed with npm into another temporary folder for this run only.
# usage: bench/project_finder.sh [projects] [files per node_modules] [rounds]
#        (defaults: 200 projects, 1000 files, 5 rounds; the tree takes about a minute to make)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if ! command -v npm >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get install -y -qq --no-install-recommends npm >/dev/null
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j4 --target project_finder >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/tidra-bench-projects-XXXXXX")
trap 'rm -rf "$work"' EXIT
npm install --prefix "$work/npkill" --silent --no-audit --no-fund --no-update-notifier npkill@0.12.2 >/dev/null
build/release/bench/project_finder --root "$work/tree" --npkill "$work/npkill/node_modules/.bin/npkill" \
  --projects "${1:-200}" --module-files "${2:-1000}" --rounds "${3:-5}"
