#!/usr/bin/env bash
# Installs what building, running, testing and packaging Clanbook needs on
# Debian 12 (desktop-file-utils, appstream, dpkg-dev and file check the package).
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlite3-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth fonts-wqy-microhei fonts-arphic-uming
  clang libclang-rt-14-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n qt6-svg-dev
  golang-github-mozillazg-go-pinyin-dev
  poppler-utils desktop-file-utils appstream dpkg-dev file)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [[ $(id -u) -eq 0 ]] || SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
