#!/usr/bin/env bash
# Saves a PNG of each window of the program into build/screenshots (or the folder given),
# drawn in a Wine virtual desktop as Windows would draw it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build/screenshots}
"$top/scripts/build.sh" >/dev/null
export WINEPREFIX="$top/build/wine-shots"
export KESTO_XVFB=1
source "$top/scripts/wine-env.sh"
trap kesto_stop_wine EXIT
kesto_display
kesto_prefix
mkdir -p "$out"
KESTO_SHOTS="$(winepath -w "$out")" wine "$top/build/win32/tools/shots/shots.exe"
KESTO_SHOTS="$(winepath -w "$out")" wine "$top/build/win32/tools/shots/dialog_shots.exe"
for bmp in "$out"/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
ls "$out"
