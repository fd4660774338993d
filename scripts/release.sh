#!/usr/bin/env bash
# Builds KESTO and packs build/release/KESTO-1.01-win32.zip: the program, the converter, a
# short user README and the licences. Beside it, KESTO-1.01-converter-source.tar: the converter's
# corresponding source, the Debian source packages it was built from and the script that built it
# (scripts/build-converter.sh). And the per-user installer KESTO-1.01-setup.exe, made from the zip
# (scripts/build-installer.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh" >/dev/null
mkdir -p "$top/build/release"
cpack --config "$top/build/win32/CPackConfig.cmake" -B "$top/build/release" >/dev/null
rm -rf "$top/build/release/_CPack_Packages"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$top/build/win32/CPackConfig.cmake")
source_name="KESTO-$version-converter-source"
tar -cf "$top/build/release/$source_name.tar" --sort=name --owner=0 --group=0 --numeric-owner \
    --transform "s|^source|$source_name|" -C "$top/third_party/ffmpeg" source
"$top/scripts/build-installer.sh" "$top/build/release/KESTO-$version-win32.zip" >/dev/null
ls -l "$top/build/release/"*.zip "$top/build/release/$source_name.tar" "$top/build/release/"*-setup.exe
