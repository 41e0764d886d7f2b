#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks what a desktop finds there: the program, the
# launcher entry and the AppStream description (each passing its validator) and the icons.
# Usage: scripts/check-install.sh <build folder>
set -euo pipefail
build=${1:?usage: $0 <build folder>}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
id=app.tidra.Tidra
entry=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml

[ -x "$prefix/bin/tidra" ] || { echo "no program at $prefix/bin/tidra"; exit 1; }
desktop-file-validate "$entry"
grep -qx "Exec=\"$prefix/bin/tidra\"" "$entry" || { echo "the entry does not start $prefix/bin/tidra:"; cat "$entry"; exit 1; }
appstreamcli validate --no-net --explain "$metainfo"
icons=$prefix/share/icons/hicolor
[ -s "$icons/scalable/apps/$id.svg" ] || { echo "no scalable icon"; exit 1; }
for size in 16 22 24 32 48 64 128 256 512; do
  png=$icons/${size}x${size}/apps/$id.png
  [ -s "$png" ] || { echo "no ${size}px icon"; exit 1; }
  # The PNG header's width and height, big-endian at bytes 16 and 20.
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || { echo "$png is ${width}x$height"; exit 1; }
done
echo "installed and valid: $prefix"
