#!/usr/bin/env bash
# Runs Tidra as people get it: installs what is missing, builds the application in Release and
# starts it with the arguments given, e.g. `scripts/run.sh --demo yes`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

# Shares compiled objects with the test command's Release build and with other clones.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
build=$root/build/app
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target tidra
exec "$build/app/tidra" "$@"
