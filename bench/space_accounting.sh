#!/usr/bin/env bash
# Space accounting against du and btrfs, in one run, on generated homes (see
# bench/space_accounting.cpp for the tree):
#  1. hard links on the disk under TMPDIR: parity with `du -s -B1` (links once; folders' own
#     blocks taken off du's side), then the best of ROUNDS runs of each, warm cache;
#  2. copy-on-write clones on a throw-away loop-mounted btrfs image (inside `unshare -m`): parity
#     with `btrfs filesystem du -s` (Total = apparent, Exclusive = freed alone), then every owner
#     deleted for real, largest first, comparing its predicted freed bytes with the change of
#     the volume's free space (within 1 % or 4 MiB). Skipped with a message where it cannot mount.
#     One-link clones under 16 KiB are never probed and count as their owner's own: the btrfs
#     parity adds them to Exclusive, and the deletion shows them as predicted but not freed.
#
#   bench/space_accounting.sh [projects] [btrfs projects]    (defaults 50 and 12)
# Environment: ROUNDS (default 5), JOBS (build jobs, default 4).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "${JOBS:-4}" --target space_accounting >/dev/null
bin=$(pwd)/build/release/bench/space_accounting
projects=${1:-50}
btrfsProjects=${2:-12}

work=$(mktemp -d "${TMPDIR:-/tmp}/tidra-bench-space-XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "== hard links: $projects projects, pnpm store, Rust and Gradle outputs =="
"$bin" make --home "$work/home" --projects "$projects"
"$bin" du --home "$work/home" --rounds "${ROUNDS:-5}"
rm -rf "$work/home"

echo "== clones on a loop btrfs image: $btrfsProjects projects =="
if [ "$(id -u)" -ne 0 ] || ! command -v unshare >/dev/null; then
    echo "skipped: mounting a loop image needs root and unshare"
    exit 0
fi
mkdir "$work/mnt"
truncate -s 1G "$work/btrfs.img"
mkfs.btrfs -q "$work/btrfs.img" >/dev/null 2>&1
# The mount lives and dies with this namespace; the image goes with the work folder.
if ! unshare -m bash -c "mount --make-rprivate / && mount -t btrfs -o loop '$work/btrfs.img' '$work/mnt'" 2>/dev/null; then
    echo "skipped: cannot mount a loop btrfs image here"
    exit 0
fi
unshare -m bash -euc "
    mount --make-rprivate /
    mount -t btrfs -o loop '$work/btrfs.img' '$work/mnt'
    '$bin' make --home '$work/mnt/home' --clone --projects $btrfsProjects --target-files 200
    '$bin' btrfs --home '$work/mnt/home'
    '$bin' delete --home '$work/mnt/home'
"
