#!/usr/bin/env bash
# client.sh — our own SANE client (sane_client.c) against the simulated
# camera on a timed line, through libsane's dll backend and the backend of
# the build folder; the picture it reads must equal djpeg's decoding.
# Usage: client.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
CLIENT=$BUILD/tests/sane_client
source "$SOURCE/tests/sane/sane_env.sh"
sane_require convert djpeg
[[ -x $CLIENT ]] || { echo "FAIL: the client is not built"; exit 1; }

mkdir pics
# An odd width first, then a second picture for the batch.
# Noise makes the first large enough (some 20 kB, two seconds on the timed
# line) for a cancel to land mid-download.
convert -size 203x150 xc: +noise Random -seed 3 -quality 60 pics/p1.jpg
convert -size 320x240 gradient:green-yellow -quality 85 pics/p2.jpg
djpeg -pnm -outfile ref1.ppm pics/p1.jpg

start_camera cam pics --timing
sane_config conf "$WORK/cam"

"$CLIENT" "pxcm:$WORK/cam" 203 150 out.ppm || fail "the client failed"
cmp -s out.ppm ref1.ppm || fail "the client's picture differs from djpeg's decoding"
finish "sane client"
