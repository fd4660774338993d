#!/usr/bin/env bash
# Installs what building and testing KESTO needs on Debian 12, only what is missing:
# Debian packages, and the real converter, built from Debian's source packages by
# scripts/build-converter.sh (only where its cache lacks it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake make g++ googletest libgtest-dev clang-format
          g++-mingw-w64-i686 wine wine32:i386 wine64 fonts-wine xvfb x11-utils imagemagick
          ffmpeg python3 python3-pil fonts-dejavu-core fonts-liberation
          zip unzip nsis clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The 32-bit Windows ffmpeg, built from Debian's sources and cached outside the work tree.
"$top/scripts/build-converter.sh"
