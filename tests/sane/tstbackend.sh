#!/usr/bin/env bash
# tstbackend.sh — SANE's conformance tester at its thorough level (level 4,
# the scan series, options walked five levels deep) against the backend and
# the simulated camera: no error and no warning, and its scans really ran.
# Usage: tstbackend.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
TESTER=$BUILD/tests/tstbackend
source "$SOURCE/tests/sane/sane_env.sh"
sane_require djpeg cjpeg
[[ -x $TESTER ]] || { echo "FAIL: tstbackend is not built"; exit 1; }

# Two pictures, the newest (the one taken without options) of odd width.
make_pictures pics 320:240 203:150
start_camera cam pics
sane_config conf "$WORK/cam"

timeout 240 "$TESTER" -d "pxcm:$WORK/cam" -l 4 -s -r 5 >out.txt 2>&1
rc=$?
summary=$(grep -E '^warnings: [0-9]+ +error: [0-9]+' out.txt | tail -1)
echo "tstbackend: $summary"
if ((rc != 0)) || [[ ! $summary =~ ^warnings:\ 0\ +error:\ 0\  ]]; then
    fail "tstbackend exited $rc: $(grep -E 'ERROR|WARNING|FATAL' out.txt | sort | uniq -c | head)"
fi
# The scan series scans at the lowest, highest and a random resolution, each
# time in four ways; a backend whose resolution it cannot set skips them all
# and would pass otherwise.
scans=$(grep -c 'TEST: scan byte per byte' out.txt)
((scans >= 3)) || fail "$scans byte-per-byte scans"
grep -q "is not settable - skipping test" out.txt && fail "the scan series was skipped"
finish tstbackend
