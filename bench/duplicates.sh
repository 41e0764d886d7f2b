#!/usr/bin/env bash
# Duplicate finding against jdupes, rmlint and fdupes on four generated corpora. Each corpus is
# searched by every tool once to check that all report the same groups (compared by inode,
# so hard-link listing makes no difference), then timed over several rounds (best wall time
# of each), with the bytes each one read.
# usage: bench/duplicates.sh [folder]   (default: a fresh folder under /tmp, removed afterwards)
# sizes: SMALL_MAX (bytes, 65536), BIG_MB (128), MIDDLE_MB (8), HOME_MAX (bytes, 16384), ROUNDS (3)
# Defaults write about 3 GB.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j4 --target duplicates >/dev/null
bin=$PWD/build/release/bench/duplicates

work=${1:-$(mktemp -d /tmp/tidra-dupes-XXXXXX)}
[ $# -ge 1 ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work"
rounds=${ROUNDS:-3}
min=1  # every non-empty file; our minimum counts allocated bytes, the tools' logical ones

declare -A sizes=([small]=${SMALL_MAX:-65536} [big]=$(( ${BIG_MB:-128} << 20 ))
                  [middles]=$(( ${MIDDLE_MB:-8} << 20 )) [home]=${HOME_MAX:-16384})

run() {  # run <tool> <corpus> <output>: prints "<seconds> <bytes read>"
    local tool=$1 root=$work/$2 out=$3
    case $tool in
    tidra)  "$bin" find "$min" "$out" "$root" ;;
    jdupes) "$bin" tool "$out" -- jdupes -r -q -A -X "size+=:$min" "$root" ;;
    fdupes) "$bin" tool "$out" -- fdupes -r -q -A -n -G "$min" "$root" ;;
    rmlint) "$bin" tool /dev/null -- rmlint -T df -L --size "$min" -o "fdupes:$out" "$root" ;;
    esac
}

tools=(tidra jdupes rmlint fdupes)
for corpus in small big middles home; do
    [ -d "$work/$corpus" ] || "$bin" generate "$corpus" "$work/$corpus" "${sizes[$corpus]}"
    echo "== $corpus ($(du -sh "$work/$corpus" | cut -f1))"
    for tool in "${tools[@]}"; do
        run "$tool" "$corpus" "$work/$tool.groups" >/dev/null
        "$bin" canonical "$work/$tool.groups" >"$work/$tool.canonical"
    done
    for tool in "${tools[@]:1}"; do
        if ! cmp -s "$work/tidra.canonical" "$work/$tool.canonical"; then
            echo "groups differ from $tool: $(wc -l <"$work/tidra.canonical") against $(wc -l <"$work/$tool.canonical")"
            exit 1
        fi
    done
    echo "   same $(wc -l <"$work/tidra.canonical") groups from all four"
    declare -A best=() bytes=()
    for ((r = 0; r < rounds; r++)); do
        for tool in "${tools[@]}"; do
            read -r seconds read_bytes < <(run "$tool" "$corpus" "$work/$tool.groups")
            if [ -z "${best[$tool]:-}" ] || awk "BEGIN{exit !($seconds < ${best[$tool]})}"; then best[$tool]=$seconds; fi
            bytes[$tool]=$read_bytes
        done
    done
    for tool in "${tools[@]}"; do
        awk -v t="$tool" -v s="${best[$tool]}" -v b="${bytes[$tool]}" -v o="${best[tidra]}" \
            'BEGIN { printf "   %-7s %8.3f s  %8.1f MB read  %6.2fx tidra\n", t, s, b / 1e6, s / o }'
    done
    unset best bytes
done
