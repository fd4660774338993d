#!/bin/sh
# Builds the installer from the release archive (release_unpack's, or one packed here when the program
# is newer) if it is out of date, then runs the test program in a fresh Wine prefix of its own.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
set -euo pipefail
wine=$1 program=$2 folder=$3
top=$(cd "$(dirname "$0")/../.." && pwd) build=$(cd "$(dirname "$program")/.." && pwd)
mkdir -p "$folder"
zip=$(ls "$build"/release-test/package/KESTO-*-win32.zip "$folder"/package/KESTO-*-win32.zip 2>/dev/null | head -n 1 || true)
if [ -z "$zip" ] || [ -n "$(find "$build/program" -newer "$zip")" ]; then
    rm -rf "$folder/package"
    cpack --config "$build/CPackConfig.cmake" -B "$folder/package" >/dev/null && rm -rf "$folder/package/_CPack_Packages"
    zip=$(ls "$folder"/package/KESTO-*-win32.zip)
fi
setup=${zip%-win32.zip}-setup.exe
for source in "$zip" "$top/res/installer/kesto.nsi" "$top/scripts/build-installer.sh"; do
    [ "$setup" -nt "$source" ] || rm -f "$setup"
done
[ -f "$setup" ] || "$top/scripts/build-installer.sh" "$zip" >/dev/null
unzip -Z1 "$zip" | grep -v '/$' | sed 's|^KESTO-[^/]*-win32/||; s|/|\\|g' >"$folder/release-files.txt"

export WINEPREFIX="$folder/prefix"
rm -rf "$WINEPREFIX"
source "$top/scripts/wine-env.sh"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" # no menus or types on the host
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
kesto_prefix
KESTO_SETUP=$(winepath -w "$setup") KESTO_RELEASE_FILES=$(winepath -w "$folder/release-files.txt")
export KESTO_SETUP KESTO_RELEASE_FILES
"$wine" "$program"
