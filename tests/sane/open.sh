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
source "$SOURCE/tests/sane/sane_env.sh"
sane_require scanimage stty flock /usr/bin/python3

start_camera cam ""
sane_config conf "$WORK/cam"

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

finish open
