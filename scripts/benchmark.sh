#!/usr/bin/env bash
# Measures KESTO with the real converter under Wine, on a private Xvfb display and a Wine
# prefix of its own, and prints one table of figures (median, minimum and maximum of several
# runs) beside their targets. It only measures: no figure makes it fail.
# Usage: scripts/benchmark.sh [runs, default 3] [--recalibrate]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs=3
if [[ ${1:-} =~ ^[0-9]+$ ]]; then
    runs=$1
    shift
fi
"$top/scripts/build.sh" >/dev/null
export WINEPREFIX="$top/build/wine-bench"
export KESTO_XVFB=1
source "$top/scripts/wine-env.sh"
trap kesto_stop_wine EXIT
kesto_display
export KESTO_XVFB_PID
kesto_prefix
# On a machine shared with other work the measured processes (Xvfb, and Wine with the program,
# its converter and the direct runs alike) go before that work, so that it disturbs the
# comparisons less.
priority=()
if [ "$(id -u)" = 0 ]; then
    priority=(nice -n -10)
    [ -n "${KESTO_XVFB_PID:-}" ] && renice -n -10 -p "$KESTO_XVFB_PID" >/dev/null
fi
"${priority[@]}" python3 "$top/tools/bench/benchmark.py" --runs "$runs" "$@"
