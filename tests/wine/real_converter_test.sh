#!/bin/sh
# Makes clips of the shapes people's videos have with this machine's ffmpeg (once), runs the test
# program, which converts them into every type in both modes, then decodes and checks its outputs.
set -eu
wine=$1 program=$2 media=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$media/shapes"
cd "$media"
ff() { ffmpeg -nostdin -v error -y "$@"; }
T=testsrc=r=25:d=0.5
S=sine=d=0.5
FILM=testsrc=r=25:d=0.5:s=320x240,hue=h=t*1800
if [ ! -s shapes/web.webm ]; then
    printf '1\n00:00:00,100 --> 00:00:00,400\nHello\n' >subtitles.srt
    printf ';FFMETADATA1\ntitle=Holiday at the lake\nartist=Ann\ncomment=A fine day\ncreation_time=2021-05-01T10:00:00.000000Z\nlocation=+46.2044+006.1432/\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=250\ntitle=Arrival\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=250\nEND=500\ntitle=Swim\n' >metadata.txt
    printf 'a font' >font.ttf
    # A phone's clip: two languages, subtitles, chapters, title, date and place, held sideways.
    ff -f lavfi -i $T:s=320x240 -f lavfi -i $S -f lavfi -i sine=f=660:d=0.5 -i subtitles.srt -i metadata.txt \
        -map 0 -map 1 -map 2 -map 3 -map_metadata 4 -map_chapters 4 -c:v libx264 -pix_fmt yuv420p -c:a aac \
        -c:s mov_text -metadata:s:a:0 language=eng -metadata:s:a:1 language=fra -metadata:s:s:0 language=eng \
        -disposition:a:1 0 shapes/phone.mov
    python3 "$here/turn_picture.py" shapes/phone.mov
    touch -d '2021-05-01 10:00:00' shapes/phone.mov
    # A metadata key that reads like a line of the converter's listing.
    ff -f lavfi -i $T:s=160x120 -f lavfi -i $S -c:v libx264 -pix_fmt yuv420p -c:a aac \
        -metadata "Stream #0:7: Audio: aac=x" -movflags use_metadata_tags shapes/oddkey.mp4
    # A broadcast recording: two programs sharing the picture.
    ff -f lavfi -i $T:s=320x240 -f lavfi -i $S -map 0 -map 1 -map 1 -c:v mpeg2video -c:a mp2 \
        -program title=One:st=0:st=1 -program title=Two:st=0:st=2 shapes/broadcast.ts
    ff -f lavfi -i $T:s=321x241 -f lavfi -i $S -c:v mpeg4 -c:a ac3 shapes/screen.avi
    # A camcorder: interlaced, 5.1 with side channels.
    ff -f lavfi -i testsrc=r=25:d=0.3:s=720x576 -f lavfi -i sine=d=0.3:sample_rate=48000 -c:v mpeg2video \
        -flags +ilme+ildct -top 1 -c:a ac3 -af 'aformat=channel_layouts=5.1(side)' shapes/camcorder.mpg
    ff -f lavfi -i $T:s=176x144 -f lavfi -i sine=d=0.5:sample_rate=8000 -c:v libx264 -pix_fmt yuv420p \
        -c:a aac shapes/oldphone.3gp
    ff -f lavfi -i testsrc=r=30000/1001:d=0.2:s=720x480 -f lavfi -i sine=d=0.2:sample_rate=32000 \
        -c:v dvvideo -pix_fmt yuv411p -c:a pcm_s16le -ac 2 shapes/dv.avi
    # A picture too small for some encoders.
    ff -f lavfi -i $T:s=16x16 -f lavfi -i $S -c:v libx264 -pix_fmt yuv420p -c:a aac shapes/tiny.mp4
    ff -f lavfi -i $T:s=320x240 -f lavfi -i sine=d=0.5:sample_rate=48000 -c:v mjpeg -c:a pcm_s16le \
        -timecode 01:00:00:00 shapes/camera.mov
    ff -f lavfi -i $T:s=320x240 -f lavfi -i $S -i subtitles.srt -c:v libx265 -x265-params log-level=error \
        -pix_fmt yuv420p10le -c:a libopus -c:s srt -attach font.ttf -metadata:s:t mimetype=font/ttf shapes/hevc.mkv
    ff -f lavfi -i $T:s=320x240 -f lavfi -i $S -c:v wmv2 -c:a wmav2 shapes/old.wmv
    # HDR whose matrix and primaries are not tagged, with the SDR picture it was made from.
    ff -f lavfi -i testsrc2=r=25:d=0.5:s=320x180 -c:v libx264 -crf 10 -pix_fmt yuv420p sdr.mp4
    ff -i sdr.mp4 -f lavfi -i $S -vf 'setparams=color_primaries=bt709:color_trc=bt709:colorspace=bt709:range=tv,zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt2020:t=smpte2084:m=bt2020nc:r=tv,format=yuv420p10le' \
        -c:v libx265 -x265-params log-level=error:crf=12 -color_trc smpte2084 -c:a aac shapes/pq.mp4
    ff -f lavfi -i $T:s=320x240 -f lavfi -i $S -f lavfi -i color=c=red:s=64x64:d=0.04 -map 0 -map 1 -map 2 \
        -c:v:0 libx264 -pix_fmt yuv420p -c:v:1 mjpeg -c:a aac -disposition:v:1 attached_pic shapes/cover.mp4
    # A film: MPEG-4 with B-frames in AVI, each picture in other colours (read as stored: a frame late).
    ff -f lavfi -i "$FILM" -f lavfi -i $S -c:v mpeg4 -bf 2 -vtag XVID -c:a libmp3lame shapes/trailer.avi
    ff -f lavfi -i testsrc=r=25:d=0.3:s=720x480 -f lavfi -i sine=d=0.3:sample_rate=48000 -c:v mpeg2video \
        -aspect 16:9 -c:a ac3 -ac 6 -f vob shapes/dvd.vob
    ff -f lavfi -i $T:s=320x240 -f lavfi -i $S -c:v libvpx-vp9 -c:a libopus shapes/web.webm
fi

# Ten seconds whose pictures each have other colours, a key picture every 74 of them.
[ -s ten.mp4 ] || ff -f lavfi -i "testsrc=r=25:d=10:s=160x120,hue=h=t*360" -f lavfi -i sine=d=10 -c:v libx264 \
    -g 74 -keyint_min 74 -pix_fmt yuv420p -c:a aac ten.mp4
rm -f written.txt part/written.txt
KESTO_MEDIA=$(winepath -w "$media") "$wine" "$program"

# Every output written must decode whole, without an error (two at a time; Wine's Z: is the root).
broken=$(cat written.txt part/written.txt | cut -f1 | sed 's|^Z:||; s|\\|/|g' | xargs -d '\n' -P 2 -n 1 sh -c '
    said=$(ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames -of csv=p=0 "$1" 2>&1)
    errors=$(printf "%s\n" "$said" | grep -Ev "^(video|audio|subtitle|data|attachment),")
    pictures=$(printf "%s\n" "$said" | grep -m1 "^video," | cut -d, -f2)
    [ -z "$errors" ] && [ "${pictures:-0}" -ge 2 ] || echo "BROKEN: $1: ${pictures:-no} pictures; $errors"' _)
[ -n "$broken" ] && echo "$broken"
failures=$(printf '%s' "$broken" | grep -c BROKEN || true)
echo "$(cat written.txt part/written.txt | wc -l) outputs decoded, $failures broken"

likeness() { ffmpeg -nostdin "$@" -f null - 2>&1 | sed -n 's/.*All:\([0-9.]*\).*/\1/p'; }
# An HDR video looks like its SDR master once tone-mapped; without tone mapping it scores 0.80.
ssim=$(likeness -i usual/mp4/pq.mp4 -i sdr.mp4 -lavfi ssim)
echo "HDR tone-mapped: SSIM $ssim"
awk "BEGIN { exit !($ssim > 0.85) }" || { echo "HDR not tone-mapped"; failures=$((failures + 1)); }
# A film's pictures keep their times: the one at 0.2 s is the film's at 0.2 s (a frame late, 0.83).
for type in webm mp4 avi ogv flv; do
    ssim=$(likeness -i usual/$type/trailer.$type -f lavfi -i "$FILM" -lavfi \
        '[0]trim=start=0.2:duration=0.04,setpts=PTS-STARTPTS[a];[1]trim=start=0.2:duration=0.04,setpts=PTS-STARTPTS,format=yuv420p[b];[a][b]ssim')
    echo "picture at 0.2 s in $type: SSIM $ssim"
    awk "BEGIN { exit !($ssim > 0.95) }" || { echo "pictures out of time in $type"; failures=$((failures + 1)); }
done
# The phone's clip in MP4: every track, chapters, metadata where players read it, upright.
probe=$(ffprobe -v error -show_entries format_tags:stream=codec_type,width,height:stream_tags=language:chapter=start_time \
    -of compact usual/mp4/phone.mp4)
for kept in 'width=240|height=320' 'language=eng' 'language=fra' 'codec_type=subtitle' 'start_time=0.250000' \
    'tag:title=Holiday at the lake' 'tag:artist=Ann' 'tag:comment=A fine day' 'tag:creation_time=2021-05-01T10:00:00' \
    'tag:location=+46.2044+006.1432/'; do
    echo "$probe" | grep -qF "$kept" || { echo "phone.mp4 lost $kept"; failures=$((failures + 1)); }
done
# The part from 3 s to 6 s starts at 3 s when re-encoded, at the key picture at 2.96 s when copied.
for cut in usual:3 fast:2.96; do
    mode=${cut%%:*} start=${cut#*:}
    length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 part/$mode.mp4)
    ssim=$(likeness -i part/$mode.mp4 -i ten.mp4 -lavfi \
        "[0]trim=end_frame=1,setpts=PTS-STARTPTS[a];[1]trim=start=$start:duration=0.04,setpts=PTS-STARTPTS[b];[a][b]ssim")
    echo "part in the $mode mode: $length s, first picture against the source's at $start s: SSIM $ssim"
    awk "BEGIN { exit !($ssim > 0.97) }" || { echo "the $mode part starts elsewhere"; failures=$((failures + 1)); }
    [ $mode = fast ] || awk "BEGIN { exit !($length < 3.05) }" || { echo "the usual part is not 3 s long"; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ]
