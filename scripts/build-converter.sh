#!/usr/bin/env bash
# Builds the converter that ships as PLUG-IN\ffmpeg_III.exe: FFmpeg and the libraries it is built
# with, from Debian 12's source packages (Debian's patches applied, as apt-get source applies
# them), cross-compiled for 32-bit Windows with the program's own mingw-w64 toolchain (i686,
# posix thread model) and linked statically.
#
# The result is cached outside the work tree, in ${KESTO_CACHE_DIR:-/var/cache/kesto}/converter,
# keyed by the versions of the source packages it is built from and by this script, with the
# source packages and a copy of this script (its corresponding source) and a short log. Each
# package's version is the newest one apt can fetch now (an older one where the newest cannot be
# fetched), so the sources are fetched before the cache is looked at; the files the cache holds
# are taken from it, so that nothing is downloaded when nothing is new. When the key is
# there, it is only copied into third_party/ffmpeg: ffmpeg.exe, converter.cmake (its versions,
# configuration and licence, for CMake), COPYRIGHTS.txt and source/ (for the release).
#
# Runs as root on Debian 12 and needs no input. Where the machine's apt sources have no deb-src
# entries, it adds them, made from its deb entries. Installs the build tools it lacks.
# Usage: scripts/build-converter.sh [--print-key]
#   --print-key  prints the versions that make the key, and the key, and stops: the sources are
#                fetched as for a build (from the cache where it holds them), then removed;
#                nothing is built or copied into the work tree.
set -euo pipefail
case "${1:-}" in
    "") print_key=0 ;;
    --print-key) print_key=1 ;;
    *) echo "usage: $0 [--print-key]" >&2; exit 2 ;;
esac
begin=$(date +%s)
top=$(cd "$(dirname "$0")/.." && pwd)
self="$top/scripts/build-converter.sh"
host=i686-w64-mingw32
cache_root=${KESTO_CACHE_DIR:-/var/cache/kesto}/converter
work=${KESTO_CONVERTER_WORK:-/var/tmp/kesto-converter}
dest="$top/third_party/ffmpeg"
jobs=$(nproc)

# Debian's source packages, FFmpeg first, and what each brings.
packages=(ffmpeg x264 x265 libvpx lame opus libogg libvorbis libtheora dav1d zimg zlib bzip2)
declare -A role=(
    [ffmpeg]="FFmpeg itself: ffmpeg and its libav* libraries"
    [x264]="libx264: H.264 encoder (8-bit)"
    [x265]="libx265: H.265/HEVC encoder (8-bit)"
    [libvpx]="libvpx: VP8 and VP9 encoders (8-bit)"
    [lame]="LAME (libmp3lame): MP3 encoder"
    [opus]="libopus: Opus encoder"
    [libogg]="libogg: Ogg bitstream, for Vorbis and Theora"
    [libvorbis]="libvorbis: Vorbis encoder"
    [libtheora]="libtheora: Theora encoder"
    [dav1d]="libdav1d: AV1 decoder"
    [zimg]="zimg: scaling and colour conversion (zscale filter)"
    [zlib]="zlib: Deflate compression (PNG, Matroska, ...)"
    [bzip2]="libbz2: bzip2 compression"
)

say() { echo "build-converter: $*"; }
took() { echo "$(($(date +%s) - begin)) s"; }

# Installs the Debian packages given that are missing, waiting for apt's locks.
install_missing() {
    local missing=() p status
    for p in "$@"; do
        status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
        [[ $status == *" ok installed" ]] || missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    say "installing ${missing[*]}"
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
        --no-install-recommends "${missing[@]}" >/dev/null
}

# deb-src stanzas for the deb822 files given: each enabled stanza of type deb, with its URIs,
# Suites, Components and Signed-By (continuation lines included).
deb822_sources() {
    awk '
        function flush() {
            if (types ~ /(^|[ \t])deb([ \t]|$)/ && tolower(enabled) != "no" && uris != "")
                printf "Types: deb-src\n%s%s%s%s\n", uris, suites, components, signed
            types = enabled = uris = suites = components = signed = field = ""
        }
        FNR == 1 { flush() }
        /^#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^[ \t]/ {
            if (field == "uris") uris = uris $0 "\n"
            else if (field == "suites") suites = suites $0 "\n"
            else if (field == "components") components = components $0 "\n"
            else if (field == "signed") signed = signed $0 "\n"
            next
        }
        {
            name = tolower($0); sub(/:.*/, "", name); value = $0; sub(/^[^:]*:[ \t]*/, "", value)
            field = ""
            if (name == "types") types = value
            else if (name == "enabled") enabled = value
            else if (name == "uris") { field = "uris"; uris = $0 "\n" }
            else if (name == "suites") { field = "suites"; suites = $0 "\n" }
            else if (name == "components") { field = "components"; components = $0 "\n" }
            else if (name == "signed-by") { field = "signed"; signed = $0 "\n" }
        }
        END { flush() }
    ' "$@"
}

# Whether apt has a source record of the package. (No pipe into a reader that stops early: with
# pipefail, the writer's SIGPIPE would count as a failure.)
has_source() {
    [ "$(apt-cache showsrc --only-source "$1" 2>/dev/null | grep -c '^Version:')" != 0 ]
}

# Source records for every package: where there are none, deb-src entries made from the
# machine's own deb entries (both the deb822 and the one-line form), then apt-get update.
ensure_source_records() {
    local p lacking=0
    for p in "${packages[@]}"; do
        has_source "$p" || lacking=1
    done
    ((lacking)) || return 0
    local d=/etc/apt/sources.list.d ours=kesto-deb-src
    local deb822=() one_line=() f
    for f in "$d"/*.sources; do
        [ -f "$f" ] && [ "$f" != "$d/$ours.sources" ] && deb822+=("$f")
    done
    for f in /etc/apt/sources.list "$d"/*.list; do
        [ -f "$f" ] && [ "$f" != "$d/$ours.list" ] && one_line+=("$f")
    done
    rm -f "$d/$ours.sources" "$d/$ours.list"
    if ((${#deb822[@]})); then
        deb822_sources "${deb822[@]}" >"$d/$ours.sources"
        [ -s "$d/$ours.sources" ] || rm -f "$d/$ours.sources"
    fi
    if ((${#one_line[@]})); then
        sed -n 's/^[ \t]*deb\([ \t]\)/deb-src\1/p' "${one_line[@]}" >"$d/$ours.list"
        [ -s "$d/$ours.list" ] || rm -f "$d/$ours.list"
    fi
    say "added deb-src entries ($(ls "$d"/$ours.* 2>/dev/null | tr '\n' ' ')); updating apt's lists"
    # A third-party repository without sources may fail here; the records checked below count.
    apt-get -o DPkg::Lock::Timeout=600 update -qq || say "apt-get update reported errors"
    for p in "${packages[@]}"; do
        if ! has_source "$p"; then
            echo "build-converter: no source package $p in the machine's apt sources" >&2
            exit 1
        fi
    done
}

# The versions of a source package that apt knows, newest first.
versions_of() {
    local sorted=() v i
    while read -r v; do
        for ((i = ${#sorted[@]}; i > 0; i--)); do
            dpkg --compare-versions "$v" gt "${sorted[i - 1]}" || break
            sorted[i]=${sorted[i - 1]}
        done
        sorted[i]=$v
    done < <(apt-cache showsrc --only-source "$1" | sed -n 's/^Version: //p' | sort -u)
    printf '%s\n' "${sorted[@]}"
}

# The files of a version of a source package, from apt's records: "SHA256 NAME" lines.
files_of() { # package, version
    apt-cache showsrc --only-source "$1" | awk -v v="$2" '
        function flush() { if (version == v) printf "%s", files; version = files = ""; sums = 0 }
        /^$/ { flush(); next }
        /^Version:/ { version = $2 }
        /^[^ ]/ { sums = /^Checksums-Sha256:/; next }
        sums { files = files $1 " " $3 "\n" }
        END { flush() }
    ' | sort -u
}

sha256() { sha256sum <"$1" | cut -d' ' -f1; }

# Whether the fetch folder holds every file of a version of a source package, with the hash
# apt's records give (apt-get source would fetch nothing); those a cache entry holds are linked
# from it. A file there with another hash is removed: apt would write into it, and through a link
# into the entry.
held() { # package, version
    local sum name f e files=0 lacking=0
    while read -r sum name; do
        files=$((files + 1))
        f=$fetch/$name
        [ -f "$f" ] && [ "$(sha256 "$f")" = "$sum" ] && continue
        rm -f "$f"
        for e in "$cache_root"/*/source/"$name"; do
            if [ -f "$e" ] && [ "$(sha256 "$e")" = "$sum" ]; then
                ln "$e" "$f" 2>/dev/null || cp "$e" "$f"
                break
            fi
        done
        [ -f "$f" ] || lacking=1
    done < <(files_of "$1" "$2")
    ((files && !lacking))
}

# Fetches each source package into the fetch folder, newest version first, an older one where the
# newest cannot be fetched (a security update whose files the mirror lacks), and sets used[] to
# the versions fetched. Done on every run, before the cache is looked at: the key then names what
# is built, and a version that could not be fetched is asked for again, so that it is built once
# it can be. What the cache holds is not downloaded again, so that a run where nothing is new
# downloads nothing.
fetch_sources() {
    local p v fetched
    for p in "${packages[@]}"; do
        for v in $(versions_of "$p"); do
            if held "$p" "$v" || fetched=$(cd "$fetch" && apt-get source --download-only -qq "$p=$v" 2>&1); then
                used[$p]=$v
                break
            fi
            say "$p $v could not be fetched ($(grep -m 1 '^E:' <<<"$fetched" || true)); trying an older version"
        done
        [ -n "${used[$p]:-}" ] || { echo "build-converter: no version of $p could be fetched" >&2; exit 1; }
    done
}

# Copies the cache entry into the work tree, unless it is there already.
place() { # cache entry, key
    if [ "$(cat "$dest/key" 2>/dev/null)" != "$2" ] || ! cmp -s "$1/ffmpeg.exe" "$dest/ffmpeg.exe"; then
        rm -rf "$dest"
        mkdir -p "$dest"
        cp -r "$1/source" "$1/ffmpeg.exe" "$1/converter.cmake" "$1/COPYRIGHTS.txt" "$dest/"
        echo "$2" >"$dest/key"
    fi
}

install_missing g++-mingw-w64-i686
ensure_source_records
# The fetch folder is this run's, beside the cache entries so that their files can be linked; one
# left by a run stopped by force goes a day later.
mkdir -p "$cache_root"
find "$cache_root" -maxdepth 1 -name '.fetch.*' -mmin +1440 -exec rm -rf {} +
fetch=$(mktemp -d "$cache_root/.fetch.XXXXXX")
chmod 755 "$fetch"
trap 'rm -rf "$fetch"' EXIT
declare -A used
fetch_sources
toolchain="gcc-mingw-w64-i686-posix $(dpkg-query -W -f='${Version}' gcc-mingw-w64-i686-posix)"
key_text=$(for p in "${packages[@]}"; do echo "$p ${used[$p]}"; done
           echo "toolchain $toolchain"
           echo "script $(sha256sum <"$self" | cut -d' ' -f1)")
ffmpeg_version=${used[ffmpeg]#*:}
key="ffmpeg-$ffmpeg_version-$(sha256sum <<<"$key_text" | cut -c1-12)"
entry="$cache_root/$key"
if ((print_key)); then
    echo "$key_text"
    echo "key $key"
    exit 0
fi
if [ -f "$entry/ffmpeg.exe" ]; then
    place "$entry" "$key"
    say "FFmpeg $ffmpeg_version from the cache ($entry) in $(took)"
    exit 0
fi

# One build at a time on a machine; the one that waited may find the result made.
exec 9>"$cache_root/lock"
flock 9
if [ -f "$entry/ffmpeg.exe" ]; then
    place "$entry" "$key"
    say "FFmpeg $ffmpeg_version from the cache ($entry) in $(took)"
    exit 0
fi

say "building FFmpeg $ffmpeg_version and its libraries from Debian's sources (key $key)"
install_missing dpkg-dev xz-utils bzip2 gcc make cmake nasm meson ninja-build pkg-config \
    autoconf automake libtool file g++-mingw-w64-i686

partial="$cache_root/.partial-$key"
rm -rf "$partial" "$work"
mkdir -p "$partial" "$work/src" "$work/build" "$work/logs" "$work/tools" "$work/prefix"
mv "$fetch" "$partial/source" # the sources fetched for the key
prefix="$work/prefix"
logs="$work/logs"
cp "$self" "$partial/source/build-converter.sh" # the script of this key, edited meanwhile or not

for p in "${packages[@]}"; do
    dpkg-source -q -x "$partial/source/${p}_${used[$p]#*:}.dsc" "$work/src/$p" >"$logs/unpack-$p.log" 2>&1
done
# Only the files of the versions used: each .dsc and the files it lists.
keep=" build-converter.sh "
for p in "${packages[@]}"; do
    dsc="${p}_${used[$p]#*:}.dsc"
    keep+="$dsc $(awk '/^Files:/ { f = 1; next } /^[^ ]/ { f = 0 } f { printf "%s ", $3 }' "$partial/source/$dsc")"
done
for f in "$partial/source"/*; do
    [[ $keep == *" ${f##*/} "* ]] || rm -f "$f"
done
say "sources fetched and unpacked in $(took)"

# The toolchain: the posix thread model under the usual names, and a pkg-config that sees only
# the libraries built here (statically linked).
tools="$work/tools"
for t in gcc g++ c++ cpp gcc-ar gcc-nm gcc-ranlib; do
    ln -s "/usr/bin/$host-$t-posix" "$tools/$host-$t"
done
cat >"$tools/$host-pkg-config" <<EOF
#!/bin/sh
PKG_CONFIG_LIBDIR='$prefix/lib/pkgconfig' PKG_CONFIG_PATH= exec pkg-config --static "\$@"
EOF
chmod +x "$tools/$host-pkg-config"
export PATH="$tools:$PATH"
cat >"$work/cross.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER $host-gcc)
set(CMAKE_CXX_COMPILER $host-g++)
set(CMAKE_RC_COMPILER $host-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$host $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
EOF
cat >"$work/cross.meson" <<EOF
[binaries]
c = '$host-gcc'
cpp = '$host-g++'
ar = '$host-gcc-ar'
strip = '$host-strip'
windres = '$host-windres'
pkgconfig = '$host-pkg-config'

[host_machine]
system = 'windows'
cpu_family = 'x86'
cpu = 'i686'
endian = 'little'
EOF

autotools() { # configure options...
    ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static "$@"
    make -j"$jobs"
    make install
}

build_zlib() {
    cd "$work/src/zlib"
    CHOST=$host CFLAGS=-O2 ./configure --static --prefix="$prefix"
    make -j"$jobs" libz.a
    make install
}
build_bzip2() {
    cd "$work/src/bzip2"
    make -j"$jobs" libbz2.a CC=$host-gcc AR=$host-ar RANLIB=$host-ranlib CFLAGS="-O2 -D_FILE_OFFSET_BITS=64"
    install -m 644 libbz2.a "$prefix/lib/"
    install -m 644 bzlib.h "$prefix/include/"
}
build_libogg() {
    cd "$work/src/libogg"
    autotools CFLAGS=-O2
}
build_libvorbis() {
    cd "$work/src/libvorbis"
    autotools --disable-docs --disable-examples --disable-oggtest CFLAGS=-O2
}
build_libtheora() {
    # The library alone: Debian's source leaves out part of the documentation the top makes.
    cd "$work/src/libtheora"
    ./configure --host=$host --prefix="$prefix" --disable-shared --enable-static --disable-examples \
        --disable-oggtest --disable-vorbistest --disable-sdltest CFLAGS=-O2
    make -j"$jobs" -C lib
    make -C lib install
    make -C include install
    install -m 644 theora.pc theoradec.pc theoraenc.pc "$prefix/lib/pkgconfig/"
}
build_opus() {
    # Without the _FORTIFY_SOURCE checks, which would need mingw-w64's libssp.
    cd "$work/src/opus"
    autotools --disable-doc --disable-extra-programs --disable-stack-protector CFLAGS="-O2 -D_FORTIFY_SOURCE=0"
}
build_lame() {
    cd "$work/src/lame"
    autotools --disable-frontend --disable-decoder --disable-analyzer-hooks --disable-gtktest CFLAGS=-O2
}
build_x264() {
    cd "$work/src/x264"
    ./configure --host=$host --cross-prefix=$host- --prefix="$prefix" --enable-static --disable-cli \
        --disable-opencl --bit-depth=8
    make -j"$jobs"
    make install-lib-static
}
build_x265() {
    # Linked by a C compiler: its pkg-config names the C++ library alone (static, no libgcc_s).
    cmake -S "$work/src/x265/source" -B "$work/build/x265" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$work/cross.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_CLI=OFF -DHIGH_BIT_DEPTH=OFF \
        -DENABLE_ASSEMBLY=ON
    ninja -C "$work/build/x265" -j"$jobs"
    ninja -C "$work/build/x265" install
    sed -i 's/^Libs.private:.*/Libs.private: -lstdc++/' "$prefix/lib/pkgconfig/x265.pc"
}
build_libvpx() {
    # The encoders: FFmpeg decodes VP8 and VP9 itself.
    mkdir -p "$work/build/libvpx"
    cd "$work/build/libvpx"
    CROSS=$host- "$work/src/libvpx/configure" --target=x86-win32-gcc --prefix="$prefix" --as=nasm \
        --enable-static --disable-shared --enable-runtime-cpu-detect --disable-vp8-decoder \
        --disable-vp9-decoder --disable-examples --disable-tools --disable-docs --disable-unit-tests
    make -j"$jobs"
    make install
}
build_dav1d() {
    meson setup "$work/build/dav1d" "$work/src/dav1d" --cross-file "$work/cross.meson" --prefix="$prefix" \
        --libdir=lib --buildtype=release --default-library=static -Denable_tools=false \
        -Denable_tests=false -Denable_examples=false
    ninja -C "$work/build/dav1d" -j"$jobs"
    ninja -C "$work/build/dav1d" install
}
build_zimg() {
    cd "$work/src/zimg"
    autoreconf -fi
    autotools CXXFLAGS=-O2
}
build_ffmpeg() {
    # Every native decoder, demuxer, muxer and filter; no network, no capture devices (of the
    # input devices only lavfi, a filter graph as input, which makes test clips), only the file
    # and pipe protocols, no ffplay or ffprobe, no documentation. --enable-gpl for libx264,
    # libx265 and libpostproc; --enable-version3 keeps the licence GPL version 3 or later, as the
    # release's notice and licence text have it. The compiler finds the libraries built here
    # by itself (they are not all on pkg-config), so that the configuration line names no folder
    # of this machine.
    mkdir -p "$work/build/ffmpeg" "$work/tools-ffmpeg"
    local t
    for t in gcc g++; do
        printf '#!/bin/sh\nexec /usr/bin/%s-%s-posix "$@" -isystem "%s/include" -L"%s/lib"\n' \
            $host $t "$prefix" "$prefix" >"$work/tools-ffmpeg/$host-$t"
        chmod +x "$work/tools-ffmpeg/$host-$t"
    done
    export PATH="$work/tools-ffmpeg:$PATH"
    cd "$work/build/ffmpeg"
    "$work/src/ffmpeg/configure" --target-os=mingw32 --arch=x86 --cross-prefix=$host- \
        --extra-version="${used[ffmpeg]##*-}" --extra-ldflags=-static \
        --enable-gpl --enable-version3 --disable-network --disable-protocols --enable-protocol=file,pipe \
        --disable-indevs --enable-indev=lavfi --disable-outdevs --disable-ffplay --disable-ffprobe --disable-doc --disable-debug \
        --disable-cuda-llvm --enable-zlib --enable-bzlib --enable-libx264 --enable-libx265 --enable-libvpx \
        --enable-libmp3lame --enable-libopus --enable-libvorbis --enable-libtheora --enable-libdav1d \
        --enable-libzimg
    make -j"$jobs"
    $host-strip -o "$partial/ffmpeg.exe" ffmpeg.exe
}

# Runs one build step with errexit in force (a background job is never in a tested context),
# its output in its own log, and notes its time.
step() { # name
    local name=$1 started=$SECONDS
    say "building $name"
    ("build_$name") >"$logs/$name.log" 2>&1 &
    if ! wait $!; then
        echo "build-converter: $name failed; the end of $logs/$name.log:" >&2
        tail -n 40 "$logs/$name.log" >&2
        return 1
    fi
    printf '%-10s %5d s\n' "$name" $((SECONDS - started)) >>"$logs/times.txt"
}
# Two lanes of libraries side by side, so that one's configure steps (serial) overlap the
# other's compiling; each step still uses make -j$jobs.
lane_one() {
    step x264
    step x265
    step zimg
    step zlib
    step bzip2
}
lane_two() {
    step libogg
    step libvorbis
    step libtheora
    step opus
    step lame
    step libvpx
    step dav1d
}
lane_one &
one=$!
lane_two &
two=$!
failed=0
wait $one || failed=1
wait $two || failed=1
((failed == 0)) || exit 1
say "libraries built, $(took) after the start"
step ffmpeg

# The record: versions, configuration, licence, copyrights, the corresponding source, the log.
config_h="$work/build/ffmpeg/config.h"
configuration=$(sed -n 's/^#define FFMPEG_CONFIGURATION "\(.*\)"$/\1/p' "$config_h")
licence=$(sed -n 's/^#define FFMPEG_LICENSE "\(.*\)"$/\1/p' "$config_h")
full_version=$(sed -n 's/^#define FFMPEG_VERSION "\(.*\)"$/\1/p' "$work/build/ffmpeg/libavutil/ffversion.h")
case "$licence" in
    "GPL version 3 or later") licence_text=GPL-3 ;;
    "GPL version 2 or later") licence_text=GPL-2 ;;
    *) echo "build-converter: unexpected licence: $licence" >&2; exit 1 ;;
esac
{
    printf '  %-10s %-26s %s\n' package "Debian version" "what it brings"
    for p in "${packages[@]}"; do printf '  %-10s %-26s %s\n' "$p" "${used[$p]}" "${role[$p]}"; done
} >"$partial/packages.txt"
{
    echo "The source of PLUG-IN\\ffmpeg_III.exe (ffmpeg version $full_version, 32-bit Windows)."
    echo
    echo "Debian 12's source packages it was built from (unpack each with dpkg-source -x NAME.dsc,"
    echo "which applies Debian's patches):"
    echo
    cat "$partial/packages.txt"
    echo
    echo "build-converter.sh, run as root on Debian 12, fetched them with apt-get source, built the"
    echo "libraries and then FFmpeg with the mingw-w64 i686 cross-compiler (posix thread model),"
    echo "statically, and configured FFmpeg with:"
    echo
    echo "  $configuration"
} >"$partial/source/SOURCES.txt"
for p in "${packages[@]}"; do
    printf '%s\n%s %s: %s\n%s\n\n' "========================================================================" \
        "$p" "${used[$p]}" "${role[$p]}" "========================================================================"
    cat "$work/src/$p/debian/copyright"
    echo
done >"$partial/COPYRIGHTS.txt"
{
    echo "# Written by scripts/build-converter.sh: the converter in this folder."
    echo "set(KESTO_CONVERTER_VERSION [==[$full_version]==])"
    echo "set(KESTO_CONVERTER_DEBIAN_VERSION [==[${used[ffmpeg]}]==])"
    echo "set(KESTO_CONVERTER_CONFIGURATION [==[$configuration]==])"
    echo "set(KESTO_CONVERTER_LICENCE [==[$licence]==])"
    echo "set(KESTO_CONVERTER_LICENCE_TEXT $licence_text)"
    echo "set(KESTO_CONVERTER_PACKAGES [==["
    cat "$partial/packages.txt"
    echo "]==])"
} >"$partial/converter.cmake"
{
    echo "ffmpeg version $full_version"
    echo "configuration: $configuration"
    echo "licence: $licence"
    echo
    echo "Built $(date -u '+%Y-%m-%d %H:%M:%S UTC') on $jobs cores with $toolchain, in $(took):"
    cat "$logs/times.txt"
    echo
    echo "Source packages:"
    cat "$partial/packages.txt"
} >"$partial/build.log"
echo "ffmpeg version $full_version" >"$partial/version.txt"
echo "$configuration" >"$partial/configuration.txt"
rm -rf "$entry"
mv "$partial" "$entry"
rm -rf "$work"
place "$entry" "$key"
say "built FFmpeg $full_version into $entry in $(took)"
