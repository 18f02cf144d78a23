#!/usr/bin/env bash
# scanimage.sh — Debian's scanimage through the dll meta-backend and the pxcm
# backend of the build folder, against the simulated camera on a pty: the
# device list, the options, pictures pixel for pixel against djpeg (an odd
# width among them), every picture in one batch, the thumbnail preview,
# deletion only when asked, a camera that is off or goes off mid-picture,
# and one picture over a timed line.
# Usage: scanimage.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
source "$SOURCE/tests/sane/sane_env.sh"
sane_require scanimage djpeg cjpeg compare identify

# The camera's folder: p1 640x480, p2 of odd width 203x150, p3 320x240.
make_pictures pics 640:480 203:150 320:240

start_camera cam pics
sane_config conf "$WORK/nothing-here" "$WORK/cam"

# The list: the camera's device, a still camera; the empty device is not there.
scanimage -L >list.out 2>&1 || fail "scanimage -L failed: $(cat list.out)"
grep -qx "device \`pxcm:$WORK/cam' is a Orvimex Vantrel KMT-18/19 still camera" list.out ||
    fail "-L does not list the camera: $(cat list.out)"
grep -q "nothing-here" list.out && fail "-L lists a device without a camera"

# The options, by their names and constraints.
scanimage -A -d "pxcm:$WORK/cam" >options.out 2>&1 || fail "scanimage -A failed: $(cat options.out)"
while IFS= read -r line; do
    grep -qF -- "$line" options.out || fail "-A lacks '$line': $(cat options.out)"
done <<'LINES'
--picture auto|1..3 (in steps of 1) [3]
--source auto|One picture|ADF [One picture]
--preview[=(yes|no)] [no]
--thumbnail[=(yes|no)] [no]
--resolution 72dpi [72]
--delete-after-download[=(yes|no)] [no]
LINES

# Pictures one at a time, by number: each equals djpeg's decoding.
for n in 1 2 3; do
    scanimage -d "pxcm:$WORK/cam" --picture $n --format=png -o "scan$n.png" 2>err ||
        fail "picture $n: scanimage failed: $(cat err)"
    same_pixels "picture $n" "scan$n.png" "ref$n.ppm"
done
[[ $(identify -format %w scan2.png 2>/dev/null) == 203 ]] || fail "picture 2 is not 203 pixels wide"

# Every picture in one batch, then the end of the pictures.
scanimage -d "pxcm:$WORK/cam" --source ADF --batch=batch%d.png --format=png >batch.out 2>&1 ||
    fail "batch failed: $(cat batch.out)"
grep -q "Batch terminated, 3 pages scanned" batch.out || fail "batch did not end after 3: $(cat batch.out)"
for n in 1 2 3; do same_pixels "batch picture $n" "batch$n.png" "ref$n.ppm"; done
[[ -e batch4.png ]] && fail "batch wrote a fourth picture"

# Without options: the newest picture. A preview is the picture itself; the
# thumbnail is an option of its own. Any resolution becomes the camera's.
scanimage -d "pxcm:$WORK/cam" --resolution 300 --format=png -o newest.png 2>err ||
    fail "the default picture failed: $(cat err)"
same_pixels "the newest picture" newest.png ref3.ppm
scanimage -d "pxcm:$WORK/cam" --picture 2 --preview=yes --format=png -o preview2.png 2>err ||
    fail "preview failed: $(cat err)"
same_pixels "preview 2" preview2.png ref2.ppm
scanimage -d "pxcm:$WORK/cam" --picture 2 --thumbnail=yes --format=png -o thumb2.png 2>err ||
    fail "thumbnail failed: $(cat err)"
same_pixels "thumbnail 2" thumb2.png ref2.thumb.ppm

# Nothing was deleted so far; with the option each picture goes once read.
[[ $(ls pics | wc -l) == 6 ]] || fail "a picture was deleted without the option: $(ls pics)"
cp -r pics pics-del
start_camera camdel pics-del
sane_config conf "$WORK/camdel"
scanimage -d "pxcm:$WORK/camdel" --source ADF --delete-after-download=yes \
    --batch=del%d.png --format=png >del.out 2>&1 || fail "batch with deletion failed: $(cat del.out)"
grep -q "Batch terminated, 3 pages scanned" del.out || fail "deleting batch: $(cat del.out)"
for n in 1 2 3; do same_pixels "deleted picture $n" "del$n.png" "ref$n.ppm"; done
[[ $(ls pics-del | wc -l) == 0 ]] || fail "pictures left after reading with deletion: $(ls pics-del)"

# A device without a camera: the open fails with an error, exit non-zero.
sane_config conf "$WORK/nothing-here"
if scanimage -d "pxcm:$WORK/nothing-here" --format=png -o none.png 2>err; then
    fail "a device without a camera was opened"
fi
scanimage -L >list.out 2>&1
grep -q pxcm list.out && fail "-L lists a camera where there is none: $(cat list.out)"

# The camera switched off mid-picture: an I/O error and exit non-zero; no
# picture file with the picture's size.
start_camera camoff pics --fault exit-after-blocks:200
sane_config conf "$WORK/camoff"
if scanimage -d "pxcm:$WORK/camoff" --picture 1 --format=png -o off.png 2>off.err; then
    fail "a picture cut off mid-way was reported as scanned"
fi
grep -q "Error during device I/O" off.err || fail "camera off: $(cat off.err)"
[[ $(identify -format %wx%h off.png 2>/dev/null) == 640x480 ]] && fail "camera off: a whole picture was written"

# A camera that stays on but stops sending data blocks: one time-out of 3 s
# and a short probe, then an I/O error.
start_camera camstop pics --fault stop-after-blocks:100
sane_config conf "$WORK/camstop"
t0=$(date +%s)
if scanimage -d "pxcm:$WORK/camstop" --picture 1 --format=png -o stop.png 2>stop.err; then
    fail "a picture whose blocks stopped coming was reported as scanned"
fi
grep -q "Error during device I/O" stop.err || fail "blocks stopped: $(cat stop.err)"
(($(date +%s) - t0 < 12)) || fail "blocks stopped: the error took $(($(date +%s) - t0)) s"

# A timed line at 115200 baud. Ctrl-C mid-download: scanimage cancels, the
# download ends at once and scanimage fails; the camera is left ready, so
# the next picture comes out whole with the same pixels.
start_camera camtimed pics --timing
sane_config conf "$WORK/camtimed"
scanimage -d "pxcm:$WORK/camtimed" --picture 1 --format=png -o int.png 2>int.err &
scan_pid=$!
sleep 1
kill -INT $scan_pid
t0=$(date +%s%N)
wait $scan_pid && fail "an interrupted scan exited 0"
waited_ms=$((($(date +%s%N) - t0) / 1000000))
((waited_ms < 1500)) || fail "scanimage took $waited_ms ms to stop after Ctrl-C"
[[ $(identify -format %wx%h int.png 2>/dev/null) == 640x480 ]] && fail "Ctrl-C: a whole picture was written"
scanimage -d "pxcm:$WORK/camtimed" --picture 2 --format=png -o timed.png 2>err ||
    fail "timed picture failed: $(cat err)"
same_pixels "timed picture 2" timed.png ref2.ppm

finish scanimage
