#!/usr/bin/env bash
# Measures KESTO with the real converter under Wine, on a private Xvfb display and a Wine
# prefix of its own, and prints one table of figures (median, minimum and maximum of several
# runs) beside their targets. It only measures: no figure makes it fail. Then it compares the
# converter built from Debian's sources with the one the program shipped before (FFmpeg 4.1 from
# the npm package @ffmpeg-installer/win32-ia32, fetched here only, into build/old-converter):
# size, the usual mode's encoding speed on a 720p clip, the decoding speed of a 1080p AV1 clip.
# Usage: scripts/benchmark.sh [runs, default 3] [--recalibrate] [--compare-only]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs=3
if [[ ${1:-} =~ ^[0-9]+$ ]]; then
    runs=$1
    shift
fi
"$top/scripts/build.sh" >/dev/null

# The old converter, for the comparison; npm (Debian's nodejs and npm) only where there is none.
# Without it the comparison is left out.
old_converter="$top/build/old-converter/package/ffmpeg.exe"
fetch_old_converter() {
    if ! command -v npm >/dev/null 2>&1; then
        echo "benchmark: installing nodejs npm"
        apt-get -o DPkg::Lock::Timeout=600 update -qq
        DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
            --no-install-recommends nodejs npm >/dev/null
    fi
    rm -rf "$top/build/old-converter"
    mkdir -p "$top/build/old-converter"
    (cd "$top/build/old-converter" && npm pack --silent @ffmpeg-installer/win32-ia32@4.1.0 >/dev/null &&
        tar xzf ffmpeg-installer-win32-ia32-4.1.0.tgz)
}
compare=(--old-converter "$old_converter")
if [ ! -s "$old_converter" ] && ! fetch_old_converter; then
    echo "benchmark: the old converter could not be fetched; no comparison" >&2
    compare=()
fi
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
"${priority[@]}" python3 "$top/tools/bench/benchmark.py" --runs "$runs" "${compare[@]}" "$@"
