#!/usr/bin/env bash
# Runs every test: native unit tests and a bounded fuzz run of the settings reader, then the
# in-process and end-to-end tests of the Windows program under Wine on a private Xvfb display
# with a fresh Wine prefix.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/build.sh
ctest --test-dir build/native --output-on-failure
scripts/fuzz-settings.sh 60

export WINEPREFIX="$top/build/wine-test"
rm -rf "$WINEPREFIX"
export KESTO_XVFB=1
source scripts/wine-env.sh
trap kesto_stop_wine EXIT
kesto_display
kesto_prefix
ctest --test-dir build/win32 --output-on-failure "$@"
