#!/usr/bin/env bash
# Builds the per-user installer from the release archive's content, so that it ships exactly what
# the archive ships, and writes it beside the archive: KESTO-1.01-win32.zip gives KESTO-1.01-setup.exe.
# Installs NSIS (Debian's nsis package) first if it is missing.
# scripts/build-installer.sh [release archive, by default build/release/KESTO-1.01-win32.zip]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
zip=$(realpath -m "${1:-$top/build/release/KESTO-1.01-win32.zip}")
name=$(basename "$zip")
[[ -f "$zip" && "$name" =~ ^KESTO-(.+)-win32\.zip$ ]] || { echo "build-installer: no release archive KESTO-VERSION-win32.zip at $zip" >&2; exit 1; }
version=${BASH_REMATCH[1]}
setup=$(dirname "$zip")/KESTO-$version-setup.exe

if ! command -v makensis >/dev/null || ! command -v unzip >/dev/null; then
    echo "build-installer: installing nsis"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends nsis unzip </dev/null >/dev/null ||
        { apt-get update -qq </dev/null && apt-get install -y -qq --no-install-recommends nsis unzip </dev/null >/dev/null; }
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work/zip"
# The archive's files lie in one top folder (KESTO-1.01-win32/) or at its root.
payload=$(dirname "$(find "$work/zip" -maxdepth 2 -name KESTO.exe -type f | head -n 1)")
for needed in KESTO.exe PLUG-IN/ffmpeg_III.exe; do
    [ -f "$payload/$needed" ] || { echo "build-installer: $name has no $needed" >&2; exit 1; }
done

# The lists of files for the installer and the uninstaller; the user's settings and log are
# never shipped, so an install never overwrites them.
nsis_text() { printf '%s' "${1//\$/\$\$}"; }
nsis_path() { nsis_text "${1//\//\\}"; }
(
    cd "$payload"
    find . -mindepth 1 -type d | sort | sed 's|^\./||' > "$work/folders"
    find . -type f | sort | sed 's|^\./||' | grep -vixE 'KESTO\.ini(\.bak|\.tmp)?|kesto\.log' > "$work/files"
)
{
    echo 'SetOutPath "$INSTDIR"'
    while IFS= read -r f; do
        [ "$(dirname "$f")" = . ] && echo "File \"$(nsis_text "$payload/$f")\""
    done < "$work/files"
    while IFS= read -r d; do
        echo "SetOutPath \"\$INSTDIR\\$(nsis_path "$d")\""
        while IFS= read -r f; do
            [ "$(dirname "$f")" = "$d" ] && echo "File \"$(nsis_text "$payload/$f")\""
        done < "$work/files"
    done < "$work/folders"
} > "$work/install.nsh"
{
    while IFS= read -r f; do echo "Delete \"\$INSTDIR\\$(nsis_path "$f")\""; done < "$work/files"
    sort -r "$work/folders" | while IFS= read -r d; do echo "RMDir \"\$INSTDIR\\$(nsis_path "$d")\""; done
} > "$work/uninstall.nsh"
size_kb=$(du -sk --apparent-size "$payload" | cut -f1)

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DLISTS="$work" \
    -DSIZE_KB="$size_kb" -DICON="$top/res/art/video.ico" -DOUTFILE="$setup" "$top/res/installer/kesto.nsi"
ls -l "$setup"
