#!/usr/bin/env bash
# Which photo of a similar set the search keeps: builds sets of one camera photo and ten edited
# copies of it (quality 50, resized up or down, cropped, mirrored, sepia, a corner watermark,
# +20 % contrast, blurred, half size, a burst frame), and one enlarged copy for each factor of
# ENLARGE (saved at quality 85, 90, 92 or 95 in turn, so that no quality setting gives the
# shot away), from photographs of Debian packages that the similar-photo benchmark does not
# use, and reports how often the untouched photo comes first, beside the search's precision and
# recall on the same files.
#
#   bench/photo_keeper.sh [build-dir]
#
# Sizes: TILES (each source cut into TILES x TILES photos, default 1), MEGAPIXELS (at most, default 3),
# CORPUS (folder, default /tmp/tidra-keeper-corpus; rebuilt when the settings change).
# SOURCES: "lomiri" (default) or "desktop", the desktop wallpapers of the UKUI and Plasma
# packages, for a second corpus the order was never tuned on. ENLARGE: factors, default
# "1.01 1.05 1.1 1.2 1.35 1.67 2"; empty for none.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
tiles=${TILES:-1}
megapixels=${MEGAPIXELS:-3}
corpus=${CORPUS:-/tmp/tidra-keeper-corpus}
source_set=${SOURCES:-lomiri}
enlarge=${ENLARGE-1.01 1.05 1.1 1.2 1.35 1.67 2}

case $source_set in
  lomiri) wallpapers=(lomiri-wallpapers-16.04 lomiri-wallpapers-20.04) ;;
  desktop) wallpapers=(ukui-wallpapers plasma-workspace-wallpapers) ;;
  *) echo "SOURCES is lomiri or desktop" >&2; exit 2 ;;
esac
packages=("${wallpapers[@]}" libvips-tools exiv2 imagemagick)
scripts/install-deps.sh "${packages[@]}"

sources() {
  if [ "$source_set" = lomiri ]; then
    for p in "${wallpapers[@]}"; do dpkg -L "$p"; done | grep -i '\.jpg$' | sort
    return
  fi
  # Photographs only: the largest rendition of each, none of the drawings.
  ls /usr/share/backgrounds/*_by_*.jpg | grep -v -e Painting-Colors -e analogpattern
  for name in Altai Autumn BytheWater Canopee Cascade ColdRipple ColorfulCups DarkestHour EveningGlow FallenLeaf \
              Kite MilkyWay OneStandsOut PastelHills Path SafeLanding summer_1am; do
    find -L "/usr/share/wallpapers/$name/contents/images" -maxdepth 1 -name '*.jpg' 2>/dev/null | sort -V | tail -1
  done
}

# One photo and its ten copies: g<label>_0.jpg is the shot, g<label>_<n>-<kind>.jpg the copies.
make_set() {
  local label=$1 source=$2 tx=$3 ty=$4 tiles=$5 megapixels=$6 out=$7 enlarge=$8
  local w h tw th mx my scale tmp name W H
  w=$(vipsheader -f width "$source"); h=$(vipsheader -f height "$source")
  tw=$((w / tiles)); th=$((h / tiles)); mx=$((tw / 50)); my=$((th / 50))
  # Never enlarged: the shot must hold detail at its own resolution, as a camera's does.
  scale=$(awk -v mp="$megapixels" -v w="$tw" -v h="$th" 'BEGIN { s = sqrt(mp * 1e6 / (w * h)); printf "%.4f", s < 1 ? s : 1 }')
  name=$out/g$(printf '%04d' "$label")
  tmp=$(mktemp -d)
  # The shot is framed 2 % inside its tile, so that the burst frame beside it stays in the tile.
  vips crop "$source" "$tmp/tile.v" $((tx * tw + mx)) $((ty * th + my)) $((tw - 2 * mx)) $((th - 2 * my))
  vips resize "$tmp/tile.v" "$tmp/base.v" "$scale"
  vips copy "$tmp/base.v" "${name}_0.jpg[Q=92]"
  W=$(vipsheader -f width "$tmp/base.v"); H=$(vipsheader -f height "$tmp/base.v")
  vips copy "$tmp/base.v" "${name}_1-quality50.jpg[Q=50]"
  if [ $((label % 2)) -eq 0 ]; then vips resize "$tmp/base.v" "${name}_2-upscaled.jpg[Q=90]" 1.5
  else vips resize "$tmp/base.v" "${name}_2-downscaled.jpg[Q=90]" 0.7; fi
  vips crop "$tmp/base.v" "${name}_3-cropped.jpg[Q=90]" $((W / 20)) $((H / 20)) $((W * 9 / 10)) $((H * 9 / 10))
  vips flip "$tmp/base.v" "${name}_4-mirrored.jpg[Q=90]" horizontal
  printf '3 3\n0.393 0.769 0.189\n0.349 0.686 0.168\n0.272 0.534 0.131\n' > "$tmp/sepia.mat"
  vips recomb "$tmp/base.v" "$tmp/sepia.v" "$tmp/sepia.mat"
  vips cast "$tmp/sepia.v" "$tmp/sepia8.v" uchar --shift=false
  vips copy "$tmp/sepia8.v" "${name}_5-sepia.jpg[Q=90]"
  vips copy "$tmp/base.v" "$tmp/base.png"
  /usr/bin/convert "$tmp/base.png" -gravity southeast -pointsize $((H / 18)) -fill white -stroke black \
    -strokewidth 2 -annotate +$((W / 40))+$((H / 40)) '(c) Photo Studio 2024' -quality 90 "${name}_6-watermark.jpg"
  vips linear --uchar -- "$tmp/base.v" "${name}_7-contrast.jpg[Q=90]" 1.2 -25.6
  vips gaussblur "$tmp/base.v" "${name}_8-blurred.jpg[Q=90]" "$(awk -v W="$W" 'BEGIN { printf "%.1f", W / 800 }')"
  vips resize "$tmp/base.v" "${name}_9-halfsize.jpg[Q=90]" 0.5
  # A burst frame: the camera moved by 1.5 % and the light changed a little.
  vips crop "$source" "$tmp/moved.v" $((tx * tw + mx + tw * 3 / 200)) $((ty * th + my)) $((tw - 2 * mx)) $((th - 2 * my))
  vips resize "$tmp/moved.v" "$tmp/moved2.v" "$scale"
  vips linear "$tmp/moved2.v" "${name}_10-burst.jpg[Q=92]" 0.97 0 --uchar
  local n=11 factor qualities=(85 90 92 95)
  for factor in ${enlarge//,/ }; do
    vips resize "$tmp/base.v" "${name}_${n}-enlarged${factor}.jpg[Q=${qualities[$(((label + n) % 4))]}]" "$factor"
    n=$((n + 1))
  done
  rm -rf "$tmp"
  local day; day=$(printf "2024:06:01 %02d:%02d:00" $(((label / 60) % 24)) $((label % 60)))
  exiv2 -q -M"set Exif.Image.Make Keeper" -M"set Exif.Image.Model Bench 2" \
        -M"set Exif.Photo.DateTimeOriginal $day" "${name}"_*.jpg
}
export -f make_set

settings="tiles=$tiles megapixels=$megapixels kinds=10 shot=reduced sources=$source_set enlarge=$enlarge"
if [ "$(cat "$corpus/.settings" 2>/dev/null)" != "$settings" ]; then
  echo "building the corpus in $corpus ($settings)"
  rm -rf "$corpus"; mkdir -p "$corpus"
  label=0; jobs=()
  while read -r source; do
    for ty in $(seq 0 $((tiles - 1))); do
      for tx in $(seq 0 $((tiles - 1))); do
        jobs+=("$label $source $tx $ty"); label=$((label + 1))
      done
    done
  done < <(sources)
  printf '%s\n' "${jobs[@]}" | xargs -P "$(nproc)" -L 1 bash -c \
    'make_set "$0" "$1" "$2" "$3" '"$tiles $megapixels $corpus '${enlarge// /,}'" 2>/dev/null
  echo "$settings" > "$corpus/.settings"
fi

cmake --build "$build" --target similar_photos_bench >/dev/null
echo "corpus: $(ls "$corpus"/*.jpg | wc -l) photos in $corpus"
"$build/bench/similar_photos_bench" --keeper "$corpus"
