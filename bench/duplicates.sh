#!/usr/bin/env bash
# Duplicate finding against jdupes, rmlint and fdupes on four generated corpora. Each corpus is
# searched by every tool once to check that all report the same groups (compared by inode,
# so hard-link listing makes no difference), then every tool, ours included, is timed as a
# whole process over interleaved rounds (median), with the bytes each read and its peak
# resident set (as `/usr/bin/time -v` reports it). Last, our search's own peak resident set
# (the process holds some 26 MB of libraries before it starts) and what it leaves allocated
# once it has returned.
# usage: bench/duplicates.sh [folder]   (default: a fresh folder under /tmp, removed afterwards)
# sizes: SMALL_MAX (bytes, 65536), BIG_MB (128), MIDDLE_MB (8), HOME_MAX (bytes, 16384), ROUNDS (5)
# Defaults write about 3 GB.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j4 --target duplicates race >/dev/null
bin=$PWD/build/release/bench/duplicates
race=$PWD/build/release/bench/race

work=${1:-$(mktemp -d /tmp/tidra-dupes-XXXXXX)}
[ $# -ge 1 ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work"
rounds=${ROUNDS:-5}
min=1  # every non-empty file; our minimum counts allocated bytes, the tools' logical ones

declare -A sizes=([small]=${SMALL_MAX:-65536} [big]=$(( ${BIG_MB:-128} << 20 ))
                  [middles]=$(( ${MIDDLE_MB:-8} << 20 )) [home]=${HOME_MAX:-16384})

search_of() {  # search_of <tool> <corpus> <output>: the tool's search, its groups to <output>
    local tool=$1 root=$work/$2 out=$3
    case $tool in
    tidra)  echo "$bin" find "$min" "$out" "$root" ;;
    jdupes) echo "$bin" tool "$out" -- jdupes -r -q -A -X "size+=:$min" "$root" ;;
    fdupes) echo "$bin" tool "$out" -- fdupes -r -q -A -n -G "$min" "$root" ;;
    rmlint) echo "$bin" tool "$out.log" -- rmlint -T df -L --size "$min" -o "fdupes:$out" "$root" ;;
    esac
}

tools=(tidra jdupes rmlint fdupes)
for corpus in small big middles home; do
    [ -d "$work/$corpus" ] || "$bin" generate "$corpus" "$work/$corpus" "${sizes[$corpus]}"
    echo "== $corpus ($(du -sh "$work/$corpus" | cut -f1))"
    contenders=()
    for tool in "${tools[@]}"; do
        $(search_of "$tool" "$corpus" "$work/$tool.groups") >/dev/null
        "$bin" canonical "$work/$tool.groups" >"$work/$tool.canonical"
        # Timed without the wrapper: the tool itself, its groups to a scratch file. Never
        # /dev/null: rmlint writes its outputs by replacing the file, and as root that turns
        # /dev/null into a regular file for every later program.
        read -r -a timed <<<"$(search_of "$tool" "$corpus" "$work/$tool.timed")"
        [ "$tool" = tidra ] || timed=("${timed[@]:4}")
        contenders+=(-- "$tool" "${timed[@]}")
    done
    for tool in "${tools[@]:1}"; do
        if ! cmp -s "$work/tidra.canonical" "$work/$tool.canonical"; then
            echo "groups differ from $tool: $(wc -l <"$work/tidra.canonical") against $(wc -l <"$work/$tool.canonical")"
            exit 1
        fi
    done
    echo "   same $(wc -l <"$work/tidra.canonical") groups from all four"
    "$race" "$rounds" "${contenders[@]}"
    "$bin" memory "$min" "$work/$corpus" | sed 's/^/  /'
done
