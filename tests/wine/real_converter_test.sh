#!/bin/sh
# Makes the clips of the real converter's tests with this machine's own ffmpeg (once), then runs
# the tests with KESTO_MEDIA naming their folder.
# real_converter_test.sh <wine> <test program> <folder for the clips>
set -eu
wine=$1 program=$2 media=$3
mkdir -p "$media"
cd "$media"
ff() { ffmpeg -v error -y "$@"; }
if [ ! -s rich.mov ]; then
    # A phone's clip: two audio languages, English subtitles, two chapters, a title, a creation
    # time and a place, and the day it was taken as its file date.
    printf '1\n00:00:00,500 --> 00:00:02,000\nHello there\n' >subtitles.srt
    printf ';FFMETADATA1\ntitle=Holiday at the lake\ncreation_time=2021-05-01T10:00:00.000000Z\nlocation=+46.2044+006.1432/\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=2000\ntitle=Arrival\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=2000\nEND=4000\ntitle=Swim\n' >metadata.txt
    ff -f lavfi -i testsrc=d=4:s=320x240:r=25 -f lavfi -i sine=f=440:d=4 -f lavfi -i sine=f=660:d=4 \
        -i subtitles.srt -i metadata.txt -map 0 -map 1 -map 2 -map 3 -map_metadata 4 -map_chapters 4 \
        -c:v libx264 -pix_fmt yuv420p -c:a aac -c:s mov_text -metadata:s:a:0 language=eng \
        -metadata:s:a:1 language=fra -metadata:s:s:0 language=eng -disposition:a:1 0 \
        -movflags use_metadata_tags rich.mov
    touch -d '2021-05-01 10:00:00' rich.mov
fi
if [ ! -s pq.mp4 ]; then
    # An SDR master and the same picture in HDR (10-bit HEVC, BT.2020, PQ, white at 100 nits).
    ff -f lavfi -i testsrc2=d=2:s=640x360:r=25 -c:v libx264 -crf 10 -pix_fmt yuv420p sdr.mp4
    ff -i sdr.mp4 -vf 'setparams=color_primaries=bt709:color_trc=bt709:colorspace=bt709:range=tv,zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt2020:t=smpte2084:m=bt2020nc:r=tv,format=yuv420p10le' \
        -c:v libx265 -x265-params 'log-level=error:crf=12:colorprim=bt2020:transfer=smpte2084:colormatrix=bt2020nc:hdr10=1:master-display=G(13250,34500)B(7500,3000)R(34000,16000)WP(15635,16450)L(1000000,50):max-cll=100,50' \
        -tag:v hvc1 -color_primaries bt2020 -color_trc smpte2084 -colorspace bt2020nc pq.mp4
fi
# MPEG-4 Part 2 with B-frames and AC-3 in AVI, as many films are.
[ -s trailer.avi ] || ff -f lavfi -i testsrc=d=2:s=320x240:r=25 -f lavfi -i sine=d=2 -c:v mpeg4 -bf 2 -vtag XVID \
    -c:a ac3 trailer.avi
KESTO_MEDIA=$(winepath -w "$media") "$wine" "$program"
