#!/bin/sh
# Runs the test program from a folder that nobody may write to, not even root (a read-only bind
# mount), holding settings from an earlier start: a program installed under Program Files.
set -eu
wine=$1 program=$2 folder=$3
umount "$folder" 2>/dev/null || true
rm -rf "$folder"
mkdir -p "$folder"
cp "$program" "$folder/"
printf '<MODE>2</MODE>\r\n<CUSTOM>-an</CUSTOM>\r\n' >"$folder/KESTO.ini"
mount --bind "$folder" "$folder"
trap 'umount "$folder"' EXIT
mount -o remount,ro,bind "$folder"
"$wine" "$folder/$(basename "$program")"
