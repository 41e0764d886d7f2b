#!/usr/bin/env bash
# Checks the Overview's "freed with Tidra" total against the disk, on a fixture home shaped like
# a real one. Run the steps as the user who owns the home:
#   scripts/freed-check.sh home <dir>     builds the fixture home and notes the space it takes
#   scripts/freed-check.sh start <dir>    starts the Release tidra on it (needs DISPLAY and a bus)
#   scripts/freed-check.sh compare <dir>  prints the history's total beside the bytes gone since
#                                         `home` plus the bytes Tidra moved that are still in the
#                                         Trash (with their .trashinfo records)
# Between start and compare, remove things through the app; the two figures should agree within
# a few blocks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
step=${1:-}
home=${2:-}
if [ -z "$step" ] || [ -z "$home" ]; then sed -n 2,11p "$0"; exit 2; fi
notes=$home/.freed-check

# Space the home takes, each inode once, in bytes of allocated blocks. Tidra's history and these
# notes are not the user's files. Written data is flushed first: a file system allocates some
# blocks (extent trees of large files) only when it writes the data out.
home_bytes() {
  sync
  du -s -B1 --exclude="$home/.local/share/Tidra" --exclude="$notes" "$home" | cut -f1
}

# The blocks of the home's folders themselves, which no size Tidra shows includes.
folder_bytes() {
  find "$home" \( -path "$home/.local/share/Tidra" -o -path "$notes" \) -prune -o -type d -printf '%b\n' |
    awk '{ sum += $1 * 512 } END { print sum + 0 }'
}

# A file of `2` MiB of data that does not compress or deduplicate away.
data_file() {
  mkdir -p "$(dirname "$1")"
  head -c "$(($2 * 1024 * 1024))" /dev/urandom >"$1"
}

make_home() {
  [ ! -e "$home" ] || { echo "$home exists; give a new folder" >&2; exit 1; }
  mkdir -p "$home"
  # Package caches of npm and pip.
  for i in 1 2 3 4 5 6; do data_file "$home/.cache/npm/_cacache/content-v2/sha512/0$i/blob" 4; done
  for i in 1 2 3 4; do data_file "$home/.cache/pip/http-v2/$i/body" 5; done
  # An AppImage with its desktop entry, icon, settings and cache.
  mkdir -p "$home/Applications"
  { printf '\177ELF\002\001\001\000AI\002'; head -c $((30 * 1024 * 1024)) /dev/urandom; } \
    >"$home/Applications/Notely-2.1.0-x86_64.AppImage"
  chmod +x "$home/Applications/Notely-2.1.0-x86_64.AppImage"
  mkdir -p "$home/.local/share/applications" "$home/.local/share/icons/hicolor/256x256/apps"
  cat >"$home/.local/share/applications/appimagekit-notely.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Notely
Exec=$home/Applications/Notely-2.1.0-x86_64.AppImage %U
Icon=appimagekit-notely
X-AppImage-Version=2.1.0
EOF
  data_file "$home/.local/share/icons/hicolor/256x256/apps/appimagekit-notely.png" 1
  data_file "$home/.config/Notely/settings.db" 2
  data_file "$home/.cache/notely/GPUCache/data_1" 6
  # A Flatpak app's own home.
  data_file "$home/.var/app/org.example.Sketch/cache/thumbnails/t1" 8
  data_file "$home/.var/app/org.example.Sketch/data/sketches.db" 3
  # A large video, and one whose data a backup's hard link keeps.
  data_file "$home/Videos/holiday.mkv" 140
  data_file "$home/Videos/concert.mkv" 110
  mkdir -p "$home/Backup"
  ln "$home/Videos/concert.mkv" "$home/Backup/concert.mkv"
  # Identical copies.
  data_file "$home/Documents/thesis.pdf" 12
  mkdir -p "$home/Downloads" "$home/Desktop"
  cp "$home/Documents/thesis.pdf" "$home/Downloads/thesis.pdf"
  cp "$home/Documents/thesis.pdf" "$home/Desktop/thesis (1).pdf"
  data_file "$home/Pictures/IMG_0001.jpg" 3
  cp "$home/Pictures/IMG_0001.jpg" "$home/Downloads/IMG_0001.jpg"
  # Something already in the Trash before Tidra ever ran.
  data_file "$home/.local/share/Trash/files/old-notes.tar" 9
  mkdir -p "$home/.local/share/Trash/info"
  printf '[Trash Info]\nPath=%s/old-notes.tar\nDeletionDate=2026-01-02T03:04:05\n' "$home" \
    >"$home/.local/share/Trash/info/old-notes.tar.trashinfo"
  mkdir -p "$notes"
  home_bytes >"$notes/before"
  folder_bytes >"$notes/folders-before"
  echo "fixture home $home: $(cat "$notes/before") bytes"
}

start_app() {
  "$root/build/app/app/tidra" --home "$home"
}

# The history's total as the Overview sums it, and what Tidra's own moves still hold in the
# Trash: entries whose (device, inode) a record lists, with their .trashinfo records.
compare() {
  local before after folders_before folders_after
  before=$(cat "$notes/before")
  after=$(home_bytes)
  folders_before=$(cat "$notes/folders-before")
  folders_after=$(folder_bytes)
  python3 - "$home" "$before" "$after" "$folders_before" "$folders_after" <<'EOF'
import json, os, sys
home = sys.argv[1]
before, after, folders_before, folders_after = map(int, sys.argv[2:])
history = os.path.join(home, ".local/share/Tidra/history.json")
records = json.load(open(history)) if os.path.exists(history) else []
total = sum(r["freedBytes"] - r.get("recountedBytes", 0) for r in records)
moved = {(d, i) for r in records for d, i in r.get("trashedFiles", [])}
trash = os.path.join(home, ".local/share/Trash")

# What erasing `path` would give back, as (files, folders): a file only when no other link
# keeps its data; folders' own blocks apart, as du counts them and Tidra's sizes do not.
def allocated(path):
    names = [path] + [os.path.join(top, f) for top, folders, files in os.walk(path)
                      for f in folders + files]
    files = folders = 0
    for name in names:
        st = os.lstat(name)
        if os.path.isdir(name) and not os.path.islink(name):
            folders += st.st_blocks * 512
        elif st.st_nlink == 1:
            files += st.st_blocks * 512
    return files, folders

kept = kept_folders = 0
for name in sorted(os.listdir(os.path.join(trash, "files"))) if os.path.isdir(trash) else []:
    entry = os.path.join(trash, "files", name)
    st = os.lstat(entry)
    if (st.st_dev, st.st_ino) in moved:
        info = os.path.join(trash, "info", name + ".trashinfo")
        files, folders = allocated(entry)
        kept += files + folders + (os.lstat(info).st_blocks * 512 if os.path.exists(info) else 0)
        kept_folders += folders
        print(f"  in the Trash, moved by Tidra: {name}")
for r in reversed(records):
    print(f"  record {r['source']}: freed {r['freedBytes']}, recounted {r.get('recountedBytes', 0)}, "
          f"trashed {r.get('trashedBytes', 0)}, items {len(r['items'])}")
gone = before - after
print(f"history total (Overview):           {total}")
print(f"bytes gone from the home:           {gone}")
print(f"Tidra's moves still in the Trash:   {kept}")
print(f"gone + still in the Trash:          {gone + kept}")
print(f"difference (total - that):          {total - gone - kept} ({(total - gone - kept) / 4096:+.1f} blocks of 4096)")
# Folders' own blocks: gone with removed folders, or held by folders Tidra moved to the Trash.
folders = (folders_before - folders_after) + kept_folders
print(f"of which folders' own blocks:       {-folders} ({-folders / 4096:+.1f} blocks)")
rest = total - gone - kept + folders
print(f"left after folders:                 {rest} ({rest / 4096:+.1f} blocks)")
EOF
}

case $step in
  home) make_home ;;
  start) start_app ;;
  compare) compare ;;
  *) sed -n 2,11p "$0"; exit 2 ;;
esac
