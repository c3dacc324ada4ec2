#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, then JUCE. Safe to run again:
# apt is only called when a package is missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
    g++ cmake ninja-build pkgconf ca-certificates curl xz-utils patch ccache
    libasound2-dev libfreetype-dev libfontconfig-dev libx11-dev libxext-dev libxrandr-dev
    libxinerama-dev libxcursor-dev zlib1g-dev libpng-dev libjpeg-dev
    libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth fonts-liberation2 liblilv-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

"$root/scripts/fetch-juce.sh"
