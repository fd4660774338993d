#!/usr/bin/env bash
# Fuzzes the settings file reader and writer with libFuzzer under AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer for a bounded time, then feeds it ten-megabyte
# inputs that only a reader linear in the text size gets through before the timeout.
# Exits non-zero on any crash, leak, undefined behaviour, broken property or slow input.
# Usage: scripts/fuzz-settings.sh [seconds of fuzzing, default 60]
# Needs the Debian packages clang and libclang-rt-14-dev.
set -euo pipefail
seconds=${1:-60}
top=$(cd "$(dirname "$0")/.." && pwd)
work="$top/build/fuzz-settings"
fuzzer="$work/settings_fuzz"
mkdir -p "$work/corpus" "$work/artifacts" "$work/large"

clang++ -std=c++20 -g -O1 -Wall -Wextra -Werror \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
    -I"$top" "$top/base/text.cpp" "$top/base/settings_text.cpp" "$top/tests/fuzz/settings_fuzz.cpp" \
    -o "$fuzzer"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# New findings go to the work corpus; the seeds in the repository stay as they are.
# A quadratic reader would already stall on inputs of a few hundred kilobytes.
echo "fuzz-settings: fuzzing for $seconds s"
"$fuzzer" -max_total_time="$seconds" -timeout=2 -max_len=262144 -rss_limit_mb=2048 \
    -dict="$top/tests/fuzz/settings.dict" -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
    "$work/corpus" "$top/tests/fuzz/corpus"

# Ten megabytes each: long digit runs, near-miss tags, values running to the end of the text.
repeat() { # text count
    local i
    for ((i = 0; i < $2; i++)); do printf '%s' "$1"; done
}
run_of() { # character count
    head -c "$2" /dev/zero | tr '\0' "$1"
}
large="$work/large"
{ printf '<MODE>'; run_of 7 10000000; } >"$large/mode_digits"
{ printf '<MODE>0.'; run_of 0 10000000; printf '5</MODE>'; } >"$large/mode_zeros_then_half"
{ printf '<MODE>1e-'; run_of 9 10000000; } >"$large/mode_long_exponent"
near_miss=$(repeat '</IN_DIR ' 1000)
{ printf '<IN_DIR>'; repeat "$near_miss" 1000; } >"$large/near_closing_tags"
run_of '<' 10000000 >"$large/angle_brackets"
{ printf '<CUSTOM>'; run_of ' ' 5000000; printf 'x'; run_of ' ' 5000000; } >"$large/blanks_around"
{ printf '<IN_DIR><OUT_DIR><MODE><CUSTOM>'; run_of a 10000000; } >"$large/all_unclosed"

echo "fuzz-settings: reading ten-megabyte inputs"
"$fuzzer" -timeout=30 -rss_limit_mb=4096 -artifact_prefix="$work/artifacts/" "$large"/*
echo "fuzz-settings: no findings"
