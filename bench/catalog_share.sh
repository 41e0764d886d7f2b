#!/usr/bin/env bash
# The share of a developer's reclaimable bytes that the cleanup catalog offers, on a Linux home
# built here, and the time of a catalog build on a home with 200 folders in ~/.cache.
#
# The home: npm, Yarn 1 and pnpm (through corepack) fill their own caches by installing the
# same packages into a throw-away project (skipped, with synthetic caches instead, when the
# registry cannot be reached); every other tool's data lies where that tool keeps it on Linux,
# as allocated files of the sizes below (MB). Beside it lie what is never reclaimable (models,
# browser profiles, documents, keys) and apps installed the Linux ways (VS Code from a desktop
# entry, Cursor as an AppImage, a Flatpak), so the catalog meets what a user's home holds.
# The list of reclaimable paths is written with the home; catalog_share compares.
#
#   bench/catalog_share.sh        Environment: KEEP=1 keeps the homes, JOBS (build jobs, default 4).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "${JOBS:-4}" --target catalog_share >/dev/null
bin=$PWD/build/release/bench/catalog_share

work=$(mktemp -d)
if [ "${KEEP:-0}" = 1 ]; then echo "homes kept in $work"; else trap 'rm -rf "$work"' EXIT; fi
home=$work/home
list=$work/reclaimable.txt
: >"$list"

# put REL MB [FILES]: FILES allocated files (default 4) of MB megabytes in all, in folder REL.
put() {
    local rel=$1 mb=$2 files=${3:-4} i
    mkdir -p "$home/$rel"
    for i in $(seq "$files"); do
        fallocate -l $((mb * 1024 * 1024 / files)) "$home/$rel/part$i"
    done
}
# file REL MB: one allocated file (empty for 0).
file() {
    mkdir -p "$(dirname "$home/$1")"
    if [ "$2" -eq 0 ]; then : >"$home/$1"; else fallocate -l $(($2 * 1024 * 1024)) "$home/$1"; fi
}
reclaimable() { printf '%s\n' "$@" >>"$list"; }

# --- Package managers, run for real as a user would (as root Yarn 1 would write below
# /usr/local/share instead, so its cache folder is named as a user's would be). A tool that
# leaves no cache (no registry here) gets a synthetic one of a typical size.
mkdir -p "$home" "$work/project"
packages=(typescript eslint webpack react react-dom @babel/core lodash express jest)
install_with() {
    (
        cd "$work/project"
        rm -rf node_modules package-lock.json yarn.lock pnpm-lock.yaml
        echo '{"name":"project","version":"1.0.0","private":true}' >package.json
        export HOME=$home COREPACK_ENABLE_DOWNLOAD_PROMPT=0 COREPACK_INTEGRITY_KEYS=0
        timeout 600 "$@" "${packages[@]}" >/dev/null 2>&1
    ) || true
}
install_with npm install --no-audit --no-fund
[ -d "$home/.npm/_cacache" ] || put .npm/_cacache 110 40
install_with corepack yarn@1.22.22 add --ignore-engines --cache-folder "$home/.cache/yarn/v6"
[ -d "$home/.cache/yarn" ] || put .cache/yarn/v6 400 40
install_with corepack pnpm@9.15.0 add
[ -d "$home/.local/share/pnpm/store" ] || put .local/share/pnpm/store/v3 80 40
[ -d "$home/.cache/node/corepack" ] || put .cache/node/corepack/v1 25
rm -rf "$home/.npm/_logs"
reclaimable .npm/_cacache .cache/yarn .cache/pnpm .local/share/pnpm/store .cache/node/corepack

# --- Other tools, at their Linux places.
put .cache/pip/http-v2 350 20;                  reclaimable .cache/pip
put .cache/go-build 450 40;                     reclaimable .cache/go-build
put go/pkg/mod/cache/download 400 20;           reclaimable go/pkg/mod
put .gradle/caches/modules-2 900 40;            reclaimable .gradle/caches
put .gradle/wrapper/dists/gradle-8.7-bin 350 2; reclaimable .gradle/wrapper/dists
file .gradle/gradle.properties 0
put .m2/repository/org 300 20;                  reclaimable .m2/repository
put .cargo/registry/cache/index.crates.io 150 20; reclaimable .cargo/registry/cache
put .cargo/registry/src/index.crates.io 350 40; reclaimable .cargo/registry/src
put .cache/JetBrains/IntelliJIdea2024.1/caches 700 20; reclaimable .cache/JetBrains
put .cache/Google/AndroidStudio2024.1/caches 450 20;   reclaimable .cache/Google/AndroidStudio2024.1
put .config/JetBrains/IntelliJIdea2024.1 40
put .config/JetBrains/IntelliJIdea2023.3 40;    reclaimable .config/JetBrains/IntelliJIdea2023.3
put .local/share/JetBrains/IntelliJIdea2024.1 250
put .local/share/JetBrains/IntelliJIdea2023.3 250; reclaimable .local/share/JetBrains/IntelliJIdea2023.3
put .config/Google/AndroidStudio2024.1 60
put .config/Google/AndroidStudio2023.3 60;      reclaimable .config/Google/AndroidStudio2023.3
put .cache/ms-playwright/chromium-1140 600 8;   reclaimable .cache/ms-playwright
put .cache/puppeteer/chrome 280 8;              reclaimable .cache/puppeteer
put .cache/node-gyp/20.11.1 70 10;              reclaimable .cache/node-gyp
put .cache/typescript/5.4 35 10;                reclaimable .cache/typescript
put .cache/pre-commit 120 20;                   reclaimable .cache/pre-commit
put .cache/vscode-cpptools/ipch 250 10;         reclaimable .cache/vscode-cpptools

# --- Desktop apps: caches in ~/.cache and, for Electron apps, inside their settings folder.
put .cache/mozilla/firefox/abc.default-release/cache2 320 20; reclaimable .cache/mozilla
put .cache/google-chrome/Default/Cache 450 20;  reclaimable .cache/google-chrome
put .cache/thumbnails/large 180 40;             reclaimable .cache/thumbnails
put .cache/mesa_shader_cache 60 10;             reclaimable .cache/mesa_shader_cache
put .cache/fontconfig 3 2;                      reclaimable .cache/fontconfig
put ".config/Code/User" 5
put ".config/Code/Cache" 150 10;                reclaimable .config/Code/Cache
put ".config/Code/CachedData" 90 10;            reclaimable .config/Code/CachedData
put ".config/Code/Code Cache" 60 10;            reclaimable ".config/Code/Code Cache"
put ".config/Code/logs" 20 10;                  reclaimable .config/Code/logs
put .vscode/extensions 400 20
put ".config/Slack/Cache" 180 10;               reclaimable .config/Slack/Cache
put ".config/Slack/Code Cache" 40 10;           reclaimable ".config/Slack/Code Cache"
file .xsession-errors 15;                       reclaimable .xsession-errors

# --- Apps installed the Linux ways, and one gone.
mkdir -p "$home/.sys/share/applications" "$home/.local/share/applications" "$home/Applications"
printf '[Desktop Entry]\nName=Visual Studio Code\nExec=code\n' >"$home/.sys/share/applications/code.desktop"
printf '[Desktop Entry]\nName=Firefox ESR\n' >"$home/.sys/share/applications/firefox-esr.desktop"
printf '[Desktop Entry]\nName=Slack\n' >"$home/.sys/share/applications/slack.desktop"
file Applications/Cursor-0.45.14-x86_64.AppImage 180
put .cursor/extensions 150
put .config/Cursor/User 80
put .windsurf/extensions 300 10;                reclaimable .windsurf
put .config/Windsurf/User 200 10;               reclaimable .config/Windsurf
mkdir -p "$home/.local/share/flatpak/app/org.kept.Player" "$home/.local/share/flatpak/exports/share/applications"
ln -s x86_64/stable "$home/.local/share/flatpak/app/org.kept.Player/current"
printf '[Desktop Entry]\nName=Player\n' >"$home/.local/share/flatpak/exports/share/applications/org.kept.Player.desktop"
put .var/app/org.kept.Player/cache 160 10;      reclaimable .var/app/org.kept.Player/cache
put .var/app/org.kept.Player/data 120
put .var/app/org.gone.Notes/data 220 10;        reclaimable .var/app/org.gone.Notes
put snap/firefox/common/.cache 260 10;          reclaimable snap/firefox/common/.cache
put snap/firefox/common/.mozilla 150

# --- Downloads, Trash.
file Downloads/google-chrome-stable_current_amd64.deb 110; reclaimable Downloads/google-chrome-stable_current_amd64.deb
file Downloads/NVIDIA-Linux-x86_64-550.run 320;            reclaimable Downloads/NVIDIA-Linux-x86_64-550.run
file Downloads/Obsidian-1.5.12.AppImage 120
file Downloads/report.pdf 5
put .local/share/Trash/files 600 20
put .local/share/Trash/info 1 20;               reclaimable .local/share/Trash/files .local/share/Trash/info

# --- Never reclaimable: models, indexes, profiles, keys, documents, projects.
put .cache/huggingface/hub 2500 10
put .cache/tracker3/files 80
put .config/google-chrome/Default 350 20
put .mozilla/firefox/abc.default-release 250 20
put .ssh 1 2
put .gnupg 1 2
put .local/share/keyrings 1 1
file .docker/config.json 0
file .android/adbkey 0
file .bash_history 1
put Documents 1000 20
put src/project 1500 200

run() {
    env -i HOME="$1" PATH=/usr/bin:/bin XDG_DATA_DIRS="$1/.sys/share" "$bin" "${@:2}"
}

echo "== Linux developer home ($(du -sh "$home" | cut -f1) allocated)"
run "$home" --reclaimable "$list" --rounds 5

# --- A home with 200 folders in ~/.cache, each with a few files.
crowd=$work/crowd
for i in $(seq 200); do
    mkdir -p "$crowd/.cache/app-$i/sub"
    for j in 1 2 3; do fallocate -l 65536 "$crowd/.cache/app-$i/sub/f$j"; done
done
echo "== home with 200 folders in ~/.cache"
run "$crowd" --rounds 20
