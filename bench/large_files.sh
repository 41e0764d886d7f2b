#!/usr/bin/env bash
# Large-file search against `find -size` with the same prunes, on two generated home-like trees:
# one with a few large files, one where a third of all files pass the minimum (the search
# then has many hits to rank). Each tree: both must list the same files, then both are timed
# as whole processes over interleaved rounds (median), on every core and on one. Ours asks for
# at most LIMIT files, as the application does; find lists every hit unranked.
# usage: bench/large_files.sh [folder]   (default: a fresh folder under /tmp, removed afterwards)
# sizes: FILES (200000 files), MINIMUM (bytes, 10000000), HITS_MINIMUM (bytes, 16384),
#        LIMIT (1000), ROUNDS (5)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j4 --target large_files race >/dev/null
bin=$PWD/build/release/bench/large_files
race=$PWD/build/release/bench/race

work=${1:-$(mktemp -d /tmp/tidra-large-XXXXXX)}
[ $# -ge 1 ] || trap 'rm -rf "$work"' EXIT
files=${FILES:-200000}
rounds=${ROUNDS:-5}
limit=${LIMIT:-1000}

compare() {  # compare <tree> <minimum>
    local root=$1 min=$2
    # The tree holds no sparse files, so the logical sizes find tests equal the allocated ones.
    local find_args=(find "$root" -xdev "(" -name node_modules -o -name .git -o -name .Trash ")" -prune
                     -o -type f -size "+$((min - 1))c" -print)
    "$bin" find "$root" "$min" "$work/tidra.out" >/dev/null
    "$bin" tool "$work/find.out" -- "${find_args[@]}" >/dev/null
    if ! cmp -s <(sort "$work/tidra.out") <(sort "$work/find.out"); then
        echo "results differ: $(wc -l <"$work/tidra.out") files against $(wc -l <"$work/find.out")"
        exit 1
    fi
    echo "   same $(wc -l <"$work/tidra.out") files from both"
    for cores in "$(nproc)" 1; do
        local pin=(taskset -c "0-$((cores - 1))")
        echo "   on $cores core(s):"
        "$race" "$rounds" -- tidra "${pin[@]}" "$bin" find "$root" "$min" /dev/null "$limit" \
                          -- find "${pin[@]}" "${find_args[@]}"
    done
}

[ -d "$work/few" ] || "$bin" generate "$work/few" "$files"
echo "== a few large files, minimum ${MINIMUM:-10000000} bytes"
compare "$work/few" "${MINIMUM:-10000000}"

hits_min=${HITS_MINIMUM:-16384}
[ -d "$work/many" ] || "$bin" generate "$work/many" "$files" 3 "$hits_min"
echo "== a third of all files large, minimum $hits_min bytes"
compare "$work/many" "$hits_min"
