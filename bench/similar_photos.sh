#!/usr/bin/env bash
# Similar-photo benchmark and calibration: builds a corpus of camera-sized JPEGs from the
# photographic wallpapers of Debian packages, with the copies people keep of each (cropped
# 2-10 %, exposure +-15 %, re-encoded at quality 70, turned 1-3 degrees, half size, greyscale,
# blurred, brightened), then times the search against findimagedupes on the same files, both
# as whole processes over interleaved rounds, and scores both against the corpus labels,
# overall and per kind of copy.
#
#   bench/similar_photos.sh [build-dir]
#
# Sizes: TILES (sources are cut into TILES x TILES distinct photos, default 2; 1 keeps whole
# wallpapers), VARIANTS (copies per photo, default 3), MEGAPIXELS (default 12), ROUNDS (timed
# rounds, default 3), CORPUS (folder, default /tmp/tidra-photo-corpus; rebuilt when the settings
# change).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
tiles=${TILES:-2}
variants=${VARIANTS:-3}
megapixels=${MEGAPIXELS:-12}
corpus=${CORPUS:-/tmp/tidra-photo-corpus}

packages=(gnome-backgrounds mate-backgrounds plasma-workspace-wallpapers ukui-wallpapers
          findimagedupes libvips-tools exiv2)
scripts/install-deps.sh "${packages[@]}"

# Photographs only: the largest copy of each wallpaper, no dark or portrait renditions.
sources() {
  ls /usr/share/backgrounds/mate/nature/*.jpg /usr/share/backgrounds/mate/desktop/GreenTraditional.jpg \
     /usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg /usr/share/backgrounds/*.jpg \
     /usr/share/backgrounds/gnome/wood-l.webp
  for d in /usr/share/wallpapers/*/contents/images; do
    find -L "$d" -maxdepth 1 -name '*.jpg' -size +1k | sort -V | tail -1
  done
}

# One labelled photo and its copies: g<label>_0.jpg is the shot, g<label>_<n>-<kind>.jpg the
# others (label zero-padded to four digits). Runs as one job of a parallel build.
make_group() {
  local label=$1 source=$2 tx=$3 ty=$4 tiles=$5 variants=$6 megapixels=$7 out=$8
  local w h tw th scale tmp
  w=$(vipsheader -f width "$source" 2>/dev/null); h=$(vipsheader -f height "$source" 2>/dev/null)
  tw=$((w / tiles)); th=$((h / tiles))
  scale=$(awk -v mp="$megapixels" -v w="$tw" -v h="$th" 'BEGIN { printf "%.4f", sqrt(mp * 1e6 / (w * h)) }')
  local name; name=g$(printf '%04d' "$label")
  tmp=$(mktemp -d)
  vips crop "$source" "$tmp/tile.v" $((tx * tw)) $((ty * th)) "$tw" "$th" 2>/dev/null
  vips resize "$tmp/tile.v" "$tmp/base.v" "$scale" 2>/dev/null
  vips copy "$tmp/base.v" "$out/${name}_0.jpg[Q=92]" 2>/dev/null
  local W H n kind r
  W=$(vipsheader -f width "$tmp/base.v"); H=$(vipsheader -f height "$tmp/base.v")
  local kinds=(cropped exposed requality turned halfsize greyscale blurred brightened)
  for n in $(seq 1 "$variants"); do
    kind=${kinds[$(( (label * 3 + n) % ${#kinds[@]} ))]}
    r=$(( (label * 7 + n * 13) % 100 ))
    local copy=$out/${name}_${n}-$kind.jpg
    case $kind in
      cropped) # 2-10 % off each side pair
        local c; c=$(awk -v r="$r" 'BEGIN { printf "%.4f", 0.02 + 0.08 * r / 100 }')
        local cx cy; cx=$(awk -v c="$c" -v W="$W" 'BEGIN { printf "%d", W * c / 2 }'); cy=$(awk -v c="$c" -v H="$H" 'BEGIN { printf "%d", H * c / 2 }')
        vips crop "$tmp/base.v" "$copy[Q=90]" "$cx" "$cy" $((W - 2 * cx)) $((H - 2 * cy)) 2>/dev/null ;;
      exposed) # exposure +-15 %
        local f; f=$(awk -v r="$r" 'BEGIN { printf "%.3f", (r % 2 ? 1.15 : 0.85) }')
        vips linear "$tmp/base.v" "$tmp/lit.v" "$f" 0 --uchar 2>/dev/null
        vips copy "$tmp/lit.v" "$copy[Q=90]" 2>/dev/null ;;
      requality) # re-encoded at quality 70
        vips copy "$tmp/base.v" "$copy[Q=70]" 2>/dev/null ;;
      halfsize)
        vips resize "$tmp/base.v" "$copy[Q=90]" 0.5 2>/dev/null ;;
      greyscale)
        vips colourspace "$tmp/base.v" "$tmp/grey.v" b-w 2>/dev/null
        vips copy "$tmp/grey.v" "$copy[Q=90]" 2>/dev/null ;;
      blurred) # a soft copy: sigma of 1/500 of the width, about 1 pixel of a 512-pixel thumbnail
        vips gaussblur "$tmp/base.v" "$tmp/soft.v" "$(awk -v W="$W" 'BEGIN { printf "%.1f", W / 500 }')" 2>/dev/null
        vips copy "$tmp/soft.v" "$copy[Q=90]" 2>/dev/null ;;
      brightened) # lifted shadows: +25 on every channel
        vips linear "$tmp/base.v" "$tmp/bright.v" 1 25 --uchar 2>/dev/null
        vips copy "$tmp/bright.v" "$copy[Q=90]" 2>/dev/null ;;
      turned) # 1-3 degrees, framed back inside the picture
        local a m; a=$(awk -v r="$r" 'BEGIN { printf "%.2f", (1 + 2 * r / 100) * (r % 2 ? 1 : -1) }')
        m=$(awk -v a="$a" -v W="$W" 'BEGIN { s = sin((a < 0 ? -a : a) * 3.14159265 / 180); printf "%d", W * s + 1 }')
        vips rotate "$tmp/base.v" "$tmp/turned.v" "$a" 2>/dev/null
        local RW RH; RW=$(vipsheader -f width "$tmp/turned.v"); RH=$(vipsheader -f height "$tmp/turned.v")
        vips crop "$tmp/turned.v" "$copy[Q=90]" $(((RW - W) / 2 + m)) $(((RH - H) / 2 + m)) \
          $((W - 2 * m)) $((H - 2 * m)) 2>/dev/null ;;
    esac
  done
  rm -rf "$tmp"
  # Every photo of the corpus is a camera photo taken on the same day, so all are compared.
  local day; day=$(printf "2024:05:01 %02d:%02d:00" $(((label / 60) % 24)) $((label % 60)))
  exiv2 -q -M"set Exif.Image.Make Corpus" -M"set Exif.Image.Model Bench 1" \
        -M"set Exif.Photo.DateTimeOriginal $day" "$out/$name"_*.jpg
}
export -f make_group

settings="tiles=$tiles variants=$variants megapixels=$megapixels edits=8"
if [ "$(cat "$corpus/.settings" 2>/dev/null)" != "$settings" ]; then
  echo "building the corpus in $corpus ($settings)"
  rm -rf "$corpus"; mkdir -p "$corpus"
  label=0
  jobs=()
  while read -r source; do
    for ty in $(seq 0 $((tiles - 1))); do
      for tx in $(seq 0 $((tiles - 1))); do
        jobs+=("$label $source $tx $ty")
        label=$((label + 1))
      done
    done
  done < <(sources)
  printf '%s\n' "${jobs[@]}" | xargs -P "$(nproc)" -L 1 bash -c \
    'make_group "$0" "$1" "$2" "$3" '"$tiles $variants $megapixels $corpus"
  echo "$settings" > "$corpus/.settings"
fi

cmake --build "$build" --target similar_photos_bench race >/dev/null
count=$(ls "$corpus"/*.jpg | wc -l)
echo "corpus: $count photos in $corpus"
findimagedupes -q -- "$corpus"/*.jpg > "$corpus.findimagedupes" 2>/dev/null || true
"$build/bench/race" "${ROUNDS:-3}" -- tidra "$build/bench/similar_photos_bench" --once "$corpus" \
                                   -- findimagedupes findimagedupes -q "$corpus"/*.jpg
"$build/bench/similar_photos_bench" "$corpus" "$corpus.findimagedupes"
