#!/usr/bin/env bash
# Large-file search against `find -size` on a generated home-like tree: first checks that both
# list the same files, then times several rounds of each (best wall time).
# usage: bench/large_files.sh [folder]   (default: a fresh folder under /tmp, removed afterwards)
# sizes: FILES (200000 files, about 0.8 GB allocated), MINIMUM (bytes, 10000000), ROUNDS (5)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j4 --target large_files >/dev/null
bin=$PWD/build/release/bench/large_files

work=${1:-$(mktemp -d /tmp/tidra-large-XXXXXX)}
[ $# -ge 1 ] || trap 'rm -rf "$work"' EXIT
root=$work/tree
min=${MINIMUM:-10000000}
rounds=${ROUNDS:-5}
[ -d "$root" ] || "$bin" generate "$root" "${FILES:-200000}"

# The tree holds no sparse files, so the logical sizes find tests equal the allocated ones.
find_args=(find "$root" -xdev "(" -name node_modules -o -name .git -o -name .Trash ")" -prune
           -o -type f -size "+$((min - 1))c" -print)
"$bin" find "$root" "$min" "$work/tidra.out" >/dev/null
"$bin" tool "$work/find.out" -- "${find_args[@]}" >/dev/null
if ! cmp -s <(sort "$work/tidra.out") <(sort "$work/find.out"); then
    echo "results differ: $(wc -l <"$work/tidra.out") files against $(wc -l <"$work/find.out")"
    exit 1
fi
echo "same $(wc -l <"$work/tidra.out") files from both"

best_tidra=999 best_find=999
for ((r = 0; r < rounds; r++)); do
    read -r s _ < <("$bin" find "$root" "$min" "$work/tidra.out")
    best_tidra=$(awk -v a="$s" -v b="$best_tidra" 'BEGIN{print (a < b ? a : b)}')
    read -r s _ < <("$bin" tool "$work/find.out" -- "${find_args[@]}")
    best_find=$(awk -v a="$s" -v b="$best_find" 'BEGIN{print (a < b ? a : b)}')
done
awk -v t="$best_tidra" -v f="$best_find" 'BEGIN {
    printf "tidra %8.3f s\nfind  %8.3f s  %6.2fx tidra\n", t, f, f / t }'
