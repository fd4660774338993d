#!/usr/bin/env bash
# Saves a PNG of each window of the program into build/screenshots (or the folder given),
# drawn in a Wine virtual desktop as Windows would draw it, at 96 dots per inch (or the
# display scale given: 120 is 125%, 144 is 150%, 192 is 200%).
# Usage: scripts/screenshots.sh [folder] [dots per inch]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build/screenshots}
dpi=${2:-96}
"$top/scripts/build.sh" >/dev/null
export WINEPREFIX="$top/build/wine-shots"
export KESTO_XVFB=1
source "$top/scripts/wine-env.sh"
trap kesto_stop_wine EXIT
kesto_display
kesto_prefix
for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
done
mkdir -p "$out"
KESTO_SHOTS="$(winepath -w "$out")" wine "$top/build/win32/tools/shots/shots.exe"
KESTO_SHOTS="$(winepath -w "$out")" wine "$top/build/win32/tools/shots/dialog_shots.exe"
for bmp in "$out"/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
ls "$out"
