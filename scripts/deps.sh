#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when they are all there.
set -euo pipefail

packages=(
    cmake g++ pkg-config make clang-format
    qt6-base-dev qt6-multimedia-dev qt6-image-formats-plugins
    libpugixml-dev libsodium-dev
    libgl-dev
    libsqlite3-dev
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
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
