#!/usr/bin/env bash
# Builds KESTO.exe and opens it under Wine (on Xvfb where there is no display).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
source "$top/scripts/wine-env.sh"
kesto_display
[ -n "${KESTO_XVFB_PID:-}" ] && echo "run: no display found; KESTO runs on Xvfb $DISPLAY (see scripts/screenshots.sh)"
kesto_prefix
wine "$top/build/win32/program/KESTO.exe"
