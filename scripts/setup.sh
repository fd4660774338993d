#!/usr/bin/env bash
# Installs what building and testing KESTO needs on Debian 12, only what is missing:
# Debian packages, and the real converter from the npm registry.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake make g++ googletest libgtest-dev clang-format
          g++-mingw-w64-i686 wine wine32:i386 wine64 fonts-wine xvfb x11-utils imagemagick
          ffmpeg python3 python3-pil fonts-dejavu-core fonts-liberation
          zip unzip clang libclang-rt-14-dev)
# npm may come with a Node.js of its own; take Debian's only where there is none.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

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

# The 32-bit Windows ffmpeg, from the npm package that ships it.
converter="$top/third_party/ffmpeg/ffmpeg.exe"
if [ ! -s "$converter" ]; then
    echo "setup: fetching the converter"
    work=$(mktemp -d)
    (cd "$work" && npm pack --silent @ffmpeg-installer/win32-ia32 >/dev/null && tar xzf ffmpeg-installer-win32-ia32-*.tgz)
    mkdir -p "$(dirname "$converter")"
    cp "$work"/package/ffmpeg.exe "$converter"
    cp "$work"/package/package.json "$(dirname "$converter")/package.json"
    [ -f "$work"/package/README.md ] && cp "$work"/package/README.md "$(dirname "$converter")/"
    ls "$work"/package > "$(dirname "$converter")/contents.txt"
    rm -rf "$work"
fi
