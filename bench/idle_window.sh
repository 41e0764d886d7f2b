#!/usr/bin/env bash
# What the app costs while its window sits open on one screen and nobody touches it: the
# process's CPU (utime+stime from /proc/<pid>/stat) as a share of one core, its resident size,
# and optionally its allocation rate, sampled each minute over a run on a private X server and
# session bus; before and after a change, run both side by side so they share the machine's load.
#
# usage: bench/idle_window.sh [--screen overview|performance|...] [--minutes N] [--demo yes|no]
#                             [--binary PATH] [--mallocs] [--warmup SECONDS]
# The Performance screen opens on its first tab, "Apps".
# Prints one line a minute (minute, CPU %, RSS MB, mallocs/s) and a summary: the mean CPU
# after warm-up, first and last RSS and its slope in MB per minute over the second half.
# The allocation counter runs a thread inside the measured process: take CPU figures from runs
# without --mallocs.
set -euo pipefail
cd "$(dirname "$0")/.."

screen=performance minutes=5 demo=yes binary=build/app/app/tidra mallocs=no warmup=60
while [ $# -gt 0 ]; do
  case "$1" in
    --screen) screen=$2; shift ;;
    --minutes) minutes=$2; shift ;;
    --demo) demo=$2; shift ;;
    --binary) binary=$2; shift ;;
    --mallocs) mallocs=yes ;;
    --warmup) warmup=$2; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
scripts/install-deps.sh xvfb dbus procps gcc
[ -x "$binary" ] || { echo "no $binary: build the app first (cmake --build build/app)" >&2; exit 1; }
binary=$(realpath "$binary")

# In memory: the allocation counter rewrites its file every second.
scratch=$(mktemp -d /dev/shm/idle_window.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

preload=""
if [ "$mallocs" = yes ]; then
  cc -O2 -shared -fPIC -o "$scratch/malloc_count.so" bench/malloc_count.c -lpthread
  preload="$scratch/malloc_count.so"
fi

# A display of its own, numbered by the server itself so that runs side by side never share one.
Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp 3>"$scratch/display" &
pids+=($!)
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
display=$(tr -d '\n' <"$scratch/display")
[ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }

mkdir -p "$scratch/home" "$scratch/config" "$scratch/data" "$scratch/cache" "$scratch/runtime"
chmod 700 "$scratch/runtime"
args=(--demo "$demo" --home "$scratch/home" --section "$screen")
env DISPLAY=":$display" QT_QPA_PLATFORM=xcb HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" \
    XDG_DATA_HOME="$scratch/data" XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/runtime" \
    MALLOC_COUNT_FILE="$scratch/mallocs" ${preload:+LD_PRELOAD=$preload} \
    dbus-run-session -- "$binary" "${args[@]}" >"$scratch/log" 2>&1 &
pids+=($!)
pid=""
for _ in $(seq 100); do
  pid=$(pgrep -n -P "${pids[-1]}" -f "^$binary " || true)
  [ -n "$pid" ] && break
  sleep 0.1
done
[ -n "$pid" ] || { echo "tidra did not start:" >&2; cat "$scratch/log" >&2; exit 1; }

ticks=$(getconf CLK_TCK)
page_kb=$(($(getconf PAGESIZE) / 1024))
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
rss_mb() { awk -v p="$page_kb" '{ printf "%.1f", $2 * p / 1024 }' "/proc/$pid/statm"; }
malloc_calls() {
  if [ -f "$scratch/mallocs.$pid" ]; then tr -d ' ' <"$scratch/mallocs.$pid"; else echo 0; fi
}

echo "# screen=$screen demo=$demo minutes=$minutes warmup=${warmup}s pid=$pid cores=$(nproc)"
echo "# load at start: $(cut -d' ' -f1-3 /proc/loadavg)"
sleep "$warmup"
printf '%6s %8s %9s %10s\n' minute cpu% rss_mb mallocs/s
start_ticks=$(cpu_ticks)
last_ticks=$start_ticks
last_mallocs=$(malloc_calls)
rss_values=()
for minute in $(seq "$minutes"); do
  sleep 60
  kill -0 "$pid" 2>/dev/null || { echo "tidra ended early:" >&2; tail "$scratch/log" >&2; exit 1; }
  now_ticks=$(cpu_ticks)
  now_mallocs=$(malloc_calls)
  rss=$(rss_mb)
  rss_values+=("$rss")
  awk -v m="$minute" -v t=$((now_ticks - last_ticks)) -v hz="$ticks" -v r="$rss" \
      -v a=$((now_mallocs - last_mallocs)) -v counted="$mallocs" \
      'BEGIN { printf "%6d %8.2f %9s %10s\n", m, 100 * t / hz / 60, r, counted == "yes" ? sprintf("%.0f", a / 60) : "-" }'
  last_ticks=$now_ticks
  last_mallocs=$now_mallocs
done
end_ticks=$(cpu_ticks)
echo "# load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%s\n' "${rss_values[@]}" | awk -v t=$((end_ticks - start_ticks)) -v hz="$ticks" -v m="$minutes" '
  { rss[NR] = $1 }
  END {
    half = int((NR + 1) / 2)
    slope = NR > half ? (rss[NR] - rss[half]) / (NR - half) : 0
    printf "# mean cpu %.2f %% of a core; rss %s -> %s MB; slope over the second half %+.3f MB/min\n",
           100 * t / hz / (60 * m), rss[1], rss[NR], slope
  }'
