#!/usr/bin/env bash
# Installs what building, running and testing Prismel needs on Debian 12.
set -euo pipefail

packages=(
    build-essential cmake ninja-build git
    qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev qt6-translations-l10n qt6-tools-dev qt6-l10n-tools
    fonts-noto-cjk fonts-noto-color-emoji libicu-dev
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
    clang libclang-rt-14-dev clang-format clang-tidy
    xvfb xauth time
    desktop-file-utils appstream binutils-mingw-w64-x86-64 dpkg-dev file
    groff-base lintian
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
