#!/usr/bin/env bash
# Compares SizeScanner.measure with `du -sx -B1` and `gdu` on generated trees, warm cache, in one
# run. Parity first: our bytes must equal du's total less the folders' own blocks (du counts
# folders, we never do), and the pool must agree with the single thread. Then the best of
# REPEAT runs of each tool, and the ratios. du and gdu are timed as whole processes; ours is the
# measure call as the app makes it, timed inside a fresh process each run (thread pool start
# included, program loading not).
#
#   bench/size_scanner.sh [kind...]      kinds: small-files node-modules hardlinks wide (default all)
# Environment: SCALE (tree size factor, default 1), REPEAT (default 3), TREES (where trees are
# kept between runs, default bench/out/trees), JOBS (build jobs, default 4).
set -euo pipefail
cd "$(dirname "$0")/.."

scale=${SCALE:-1}
repeat=${REPEAT:-3}
trees=${TREES:-bench/out/trees}
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(small-files node-modules hardlinks wide)

if ! command -v gdu >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq && $sudo apt-get install -y -qq gdu >/dev/null
fi

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "${JOBS:-4}" --target tree_maker size_scanner >/dev/null
bin=build/release/bench

# Best wall-clock seconds of `repeat` runs of a command, output discarded.
best_of() {
    local best="" start took
    for _ in $(seq "$repeat"); do
        start=$EPOCHREALTIME
        "$@" >/dev/null
        took=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.4f", b - a }')
        best=$(awk -v a="$took" -v b="${best:-$took}" 'BEGIN { print (a < b ? a : b) }')
    done
    echo "$best"
}

# Best seconds of `repeat` fresh runs of size_scanner, as it times its own measure call.
best_measure() {
    for _ in $(seq "$repeat"); do "$bin/size_scanner" "$@" | cut -d' ' -f4; done | sort -g | head -1
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '%-13s %9s %8s %8s %9s %9s %11s %12s\n' tree entries du gdu "ours 1t" "ours pool" "du/ours 1t" "gdu/ours pool"
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

    entries=$(find "$root" -xdev | wc -l)
    du_s=$(best_of du -sx -B1 "$root")
    gdu_s=$(best_of gdu -n -p -s -x --no-prefix "$root")
    one_s=$(best_measure --threads 1 "$root")
    pool_s=$(best_measure "$root")
    printf '%-13s %9s %8s %8s %9s %9s %11s %12s\n' "$kind" "$entries" "$du_s" "$gdu_s" "$one_s" "$pool_s" \
        "$(ratio "$du_s" "$one_s")" "$(ratio "$gdu_s" "$pool_s")"
done
echo "(seconds, best of $repeat, $(nproc) cores; ratios above 1 mean we are faster)"
exit $status
