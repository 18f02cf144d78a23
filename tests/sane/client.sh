#!/usr/bin/env bash
# client.sh — our own SANE client (sane_client.c) against the simulated
# camera on a timed line, through libsane's dll backend and the backend of
# the build folder; the picture it reads must equal djpeg's decoding.
# Usage: client.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
CLIENT=$BUILD/tests/sane_client
CAMERA=$BUILD/pxcm-camera
[[ -x $CLIENT && -x $CAMERA && -e $BUILD/libsane-pxcm.so.1 ]] || { echo "FAIL: not built"; exit 1; }

WORK=$(mktemp -d)
SIM_PID=
cleanup() {
    [[ -n $SIM_PID ]] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK" || exit 1

mkdir pics conf
# An odd width first, then a second picture for the batch.
# Noise makes the first large enough (some 20 kB, two seconds on the timed
# line) for a cancel to land mid-download.
convert -size 203x150 xc: +noise Random -seed 3 -quality 60 pics/p1.jpg
convert -size 320x240 gradient:green-yellow -quality 85 pics/p2.jpg
djpeg -pnm -outfile ref1.ppm pics/p1.jpg

"$CAMERA" --dir "$WORK/pics" --link "$WORK/cam" --timing >sim.out 2>sim.err &
SIM_PID=$!
for _ in $(seq 50); do [[ -e $WORK/cam ]] && break; sleep 0.1; done

echo pxcm >conf/dll.conf
printf '%s\nspeed 115200\n' "$WORK/cam" >conf/pxcm.conf
export SANE_CONFIG_DIR=$WORK/conf
export LD_LIBRARY_PATH=$BUILD${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
export PXCM_ROOT=$WORK/root PXCM_PROMPTS=$WORK/prompts.jsonl

status=0
"$CLIENT" "pxcm:$WORK/cam" 203 150 out.ppm || status=1
if ! cmp -s out.ppm ref1.ppm; then
    echo "FAIL: the client's picture differs from djpeg's decoding"
    status=1
fi
[[ -s prompts.jsonl ]] && { echo "FAIL: the backend showed a box: $(cat prompts.jsonl)"; status=1; }
((status == 0)) && echo "sane client: all checks passed"
exit $status
