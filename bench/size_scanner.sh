#!/usr/bin/env bash
# Compares SizeScanner.measure with `du -sx -B1` and `gdu` on generated trees, warm cache, in one
# run. Parity first: our bytes must equal du's total less the folders' own blocks (du counts
# folders, we never do), and the pool must agree with the single thread. Then every side is
# timed as a whole process over REPEAT interleaved rounds (median): ours on one thread against
# du, ours on every core against gdu.
#
#   bench/size_scanner.sh [kind...]      kinds: small-files node-modules hardlinks wide (default all)
# Environment: SCALE (tree size factor, default 1), REPEAT (default 5), TREES (where trees are
# kept between runs, default bench/out/trees), JOBS (build jobs, default 4).
set -euo pipefail
cd "$(dirname "$0")/.."

scale=${SCALE:-1}
repeat=${REPEAT:-5}
trees=${TREES:-bench/out/trees}
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(small-files node-modules hardlinks wide)

if ! command -v gdu >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq && $sudo apt-get install -y -qq gdu >/dev/null
fi

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "${JOBS:-4}" --target tree_maker size_scanner race >/dev/null
bin=build/release/bench

status=0
for kind in "${kinds[@]}"; do
    root="$trees/$kind-$scale"
    if [ ! -e "$root.done" ]; then
        rm -rf "$root"
        mkdir -p "$trees"
        "$bin/tree_maker" "$kind" "$root" "$scale"
        touch "$root.done"
    fi
    du -sx -B1 "$root" >/dev/null  # warm the cache

    du_bytes=$(du -sx -B1 "$root" | cut -f1)
    folder_bytes=$(find "$root" -xdev -type d -printf '%b\n' | awk '{ s += $1 } END { print s * 512 }')
    read -r one_bytes _ <<<"$("$bin/size_scanner" --threads 1 "$root")"
    read -r pool_bytes _ <<<"$("$bin/size_scanner" "$root")"
    if [ "$one_bytes" != $((du_bytes - folder_bytes)) ] || [ "$pool_bytes" != "$one_bytes" ]; then
        echo "$kind: parity FAILED: du $du_bytes - folders $folder_bytes, ours $one_bytes (pool $pool_bytes)" >&2
        status=1
        continue
    fi

    echo "== $kind: $(find "$root" -xdev | wc -l) entries"
    "$bin/race" "$repeat" -- tidra-1-thread "$bin/size_scanner" --threads 1 "$root" -- du du -sx -B1 "$root"
    "$bin/race" "$repeat" -- tidra "$bin/size_scanner" "$root" -- gdu gdu -n -p -s -x --no-prefix "$root"
done
exit $status
