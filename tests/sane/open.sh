#!/usr/bin/env bash
# open.sh — what sane_open may touch: a terminal that pxcm.conf does not name
# is refused (SANE_STATUS_INVAL) without a byte written to it or a setting
# changed; a configured port gets its settings back when the backend closes
# it; a port that another program holds is "busy" (SANE_STATUS_DEVICE_BUSY),
# never an I/O error, and stays in the device list.
# Usage: open.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
CAMERA=$BUILD/pxcm-camera
[[ -x $CAMERA && -e $BUILD/libsane-pxcm.so.1 ]] || { echo "FAIL: not built"; exit 1; }

WORK=$(mktemp -d)
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$CAMERA" --link "$WORK/cam" >sim.out 2>sim.err &
PIDS+=($!)
for _ in $(seq 50); do [[ -e $WORK/cam ]] && break; sleep 0.1; done
mkdir conf
echo pxcm >conf/dll.conf
printf '%s\nspeed 115200\n' "$WORK/cam" >conf/pxcm.conf
export SANE_CONFIG_DIR=$WORK/conf PXCM_ROOT=$WORK/root PXCM_PROMPTS=$WORK/prompts.jsonl
export LD_LIBRARY_PATH=$BUILD${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}

# A terminal of its own (a pty whose other end this test reads), named to
# the backend three ways: by its path, through a link, and as the empty
# name's first camera would never be.
/usr/bin/python3 - "$WORK" <<'PY' || fail "a terminal outside pxcm.conf was touched"
import os, sane, select, sys, termios
work = sys.argv[1]
master, slave = os.openpty()
path = os.ttyname(slave)
os.symlink(path, work + "/stray")
before = termios.tcgetattr(slave)
sane.init()
bad = 0
for name in (path, work + "/stray", "/dev/tty", work + "/cam/../cam"):
    try:
        sane.open("pxcm:" + name).close()
        print("FAIL: sane_open of %s succeeded" % name)
        bad += 1
    except Exception as e:
        if str(e) != "Invalid argument":
            print("FAIL: sane_open of %s: %s, not Invalid argument" % (name, e))
            bad += 1
if select.select([master], [], [], 0.5)[0]:
    print("FAIL: %d bytes were written to %s" % (len(os.read(master, 4096)), path))
    bad += 1
if termios.tcgetattr(slave) != before:
    print("FAIL: the settings of %s were changed" % path)
    bad += 1
sane.exit()
sys.exit(1 if bad else 0)
PY

# The camera's own port: a picture, and afterwards the port's settings are
# what they were before the backend opened it.
before=$(stty -g -F "$WORK/cam")
scanimage -d "pxcm:$WORK/cam" --format=pnm -o pic.pnm 2>err || fail "scan failed: $(cat err)"
after=$(stty -g -F "$WORK/cam")
[[ $before == "$after" ]] || fail "the port's settings were not put back: $before, now $after"

# Another program holds the port (here flock(1), as our own port lock does):
# still listed, and opening it says the device is busy, not an I/O error.
flock "$WORK/cam" sleep 60 &
holder=$!
PIDS+=($holder)
sleep 0.5
scanimage -L >busy-list.out 2>&1
grep -q "\`pxcm:$WORK/cam'" busy-list.out || fail "-L does not list a busy port: $(cat busy-list.out)"
scanimage -d "pxcm:$WORK/cam" --format=pnm -o busy.pnm 2>busy.err && fail "a busy port was opened"
grep -q "Device busy" busy.err || fail "a busy port: $(cat busy.err)"
kill $(pgrep -P "$holder") "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
scanimage -d "pxcm:$WORK/cam" --format=pnm -o free.pnm 2>err || fail "the port let go: $(cat err)"

[[ -s prompts.jsonl ]] && fail "the backend showed a box: $(cat prompts.jsonl)"
if ((failures)); then
    echo "$failures failures"
    exit 1
fi
echo "open: all checks passed"
