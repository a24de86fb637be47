#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ make pkg-config git
    libfreetype-dev libfontconfig-dev libharfbuzz-dev
    libpugixml-dev libserialport-dev libcli11-dev
    libjpeg-dev libpng-dev libgif-dev valgrind
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-svg-dev libgl-dev
    qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools qt6-translations-l10n
    nasm clang python3 python3-pil socat pcf2bdf xfonts-base xfonts-utils
    fonts-dejavu-core fonts-wqy-microhei
    desktop-file-utils shared-mime-info libglib2.0-bin groff-base
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
