#!/usr/bin/env bash
# python.sh — Python's gphoto2 binding (Debian python3-gphoto2) through the
# driver: 50 sessions from one long-lived process with descriptors and memory
# flat, and a cancel from the context that ends a download on a timed line
# within about a second, after which the next download is exact.
# Usage: python.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
source "$SOURCE/tests/gphoto2/gphoto2_env.sh"
/usr/bin/python3 -c 'import gphoto2' 2>/dev/null || { echo "FAIL: python3-gphoto2 is missing"; exit 1; }
client=$SOURCE/tests/gphoto2/client.py

make_pictures pics 320:240 203:150 160:120
start_camera cam pics --check-rate
timeout -s KILL 280 /usr/bin/python3 "$client" cycles "$WORK/cam" "$WORK/pics" 50 || fail "50 sessions"

make_pictures big 640:480 320:240
start_camera timed big --check-rate --timing
timeout -s KILL 120 /usr/bin/python3 "$client" cancel "$WORK/timed" "$WORK/big" || fail "cancel"

if ((failures)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "PASS"
