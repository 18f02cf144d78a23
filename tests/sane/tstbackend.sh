#!/usr/bin/env bash
# tstbackend.sh — SANE's conformance tester at its thorough level (level 4,
# the scan series, options walked five levels deep) against the backend and
# the simulated camera: no error and no warning, and its scans really ran.
# Usage: tstbackend.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
CAMERA=$BUILD/pxcm-camera
TESTER=$BUILD/tests/tstbackend
[[ -x $CAMERA && -x $TESTER && -e $BUILD/libsane-pxcm.so.1 ]] || { echo "FAIL: not built"; exit 1; }

WORK=$(mktemp -d)
SIM_PID=
cleanup() {
    [[ -n $SIM_PID ]] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK" || exit 1
source "$SOURCE/tests/support/test_ppm.sh"

# Two pictures, the newest (the one taken without options) of odd width.
mkdir pics conf
make_ppm 320 240 1 | cjpeg -quality 85 -outfile pics/p1.jpg
make_ppm 203 150 2 | cjpeg -quality 85 -outfile pics/p2.jpg
for n in 1 2; do make_ppm 80 56 $n | cjpeg -outfile "pics/p$n.thumb.jpg"; done
"$CAMERA" --dir "$WORK/pics" --link "$WORK/cam" >sim.out 2>sim.err &
SIM_PID=$!
for _ in $(seq 50); do [[ -e $WORK/cam ]] && break; sleep 0.1; done

echo pxcm >conf/dll.conf
printf '%s\nspeed 115200\n' "$WORK/cam" >conf/pxcm.conf
export SANE_CONFIG_DIR=$WORK/conf PXCM_ROOT=$WORK/root PXCM_PROMPTS=$WORK/prompts.jsonl
export LD_LIBRARY_PATH=$BUILD${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}

status=0
timeout 240 "$TESTER" -d "pxcm:$WORK/cam" -l 4 -s -r 5 >out.txt 2>&1
rc=$?
summary=$(grep -E '^warnings: [0-9]+ +error: [0-9]+' out.txt | tail -1)
echo "tstbackend: $summary"
if ((rc != 0)) || [[ ! $summary =~ ^warnings:\ 0\ +error:\ 0\  ]]; then
    echo "FAIL: tstbackend exited $rc: $(grep -E 'ERROR|WARNING|FATAL' out.txt | sort | uniq -c | head)"
    status=1
fi
# The scan series scans at the lowest, highest and a random resolution, each
# time in four ways; a backend whose resolution it cannot set skips them all
# and would pass otherwise.
scans=$(grep -c 'TEST: scan byte per byte' out.txt)
((scans >= 3)) || { echo "FAIL: $scans byte-per-byte scans"; status=1; }
grep -q "is not settable - skipping test" out.txt && { echo "FAIL: the scan series was skipped"; status=1; }
[[ -s prompts.jsonl ]] && { echo "FAIL: the backend showed a box"; status=1; }
((status == 0)) && echo "tstbackend: all checks passed"
exit $status
