#!/usr/bin/env bash
# Installs what is missing, then builds KESTO.exe (build/win32/program) and the native unit tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh
jobs=$(nproc)
[ -f build/native/CMakeCache.txt ] || cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
[ -f build/win32/CMakeCache.txt ] || cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
