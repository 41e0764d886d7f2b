#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent: quiet and quick when everything is present; refreshes the package lists only
# when something is missing. Given package names (a benchmark's extras), installs those instead.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config ccache git
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libplist-dev libssl-dev libtbb-dev libutf8proc-dev
  libvips-dev libheif-dev libexiv2-dev
  trash-cli util-linux procps
  gdu
  btrfs-progs xfsprogs
  jdupes rmlint fdupes findutils
  findimagedupes
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  fonts-inter fonts-material-design-icons-iconfont adwaita-icon-theme
  dbus xvfb xauth xdotool openbox x11-utils dunst python3
  desktop-file-utils appstream
  nodejs
)
[ $# -eq 0 ] || packages=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
