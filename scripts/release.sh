#!/usr/bin/env bash
# Builds KESTO and packs build/release/KESTO-1.01-win32.zip: the program, the converter, a
# short user README and the licences.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh" >/dev/null
mkdir -p "$top/build/release"
cpack --config "$top/build/win32/CPackConfig.cmake" -B "$top/build/release" >/dev/null
rm -rf "$top/build/release/_CPack_Packages"
ls -l "$top/build/release/"*.zip
