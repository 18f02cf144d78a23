#!/usr/bin/env bash
# camera_cli.sh — `pxcm camera` against the simulated camera on a pty: scan
# through the Ports section, list, downloads compared byte for byte, capture,
# deletion, modes, clock, and the failures with their exit codes.
# Usage: camera_cli.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$1
source "$(dirname "$0")/../support/e2e.sh"
mkdir -p "$WORK/pics"
head -c 100001 /dev/urandom >"$WORK/pics/p1.jpg"
head -c 2000 /dev/urandom >"$WORK/pics/p1.thumb.jpg"
head -c 13001 /dev/urandom >"$WORK/pics/p2.jpg"
head -c 13001 /dev/urandom >"$WORK/pics/p2.thumb.jpg"

start_camera cam --dir "$WORK/pics" --check-rate

# COM1 and COM2 lead nowhere, COM3 is the camera; nothing beyond is tried.
printf '[Ports]\r\nCOM1=%s\r\nCOM2=%s\r\nCOM3=%s\r\n[KMT-18]\r\nSERIAL_SPEED=7\r\n' \
    "$WORK/none1" "$WORK/none2" "$WORK/cam" >"$PXCM_ROOT/windows/pxcm.ini"

check "scan" "$PXCM" camera scan
expect_out "scan" "camera on COM3 ($WORK/cam)"
expect_out "scan" "pictures:      2"

check "status" "$PXCM" camera --port "$WORK/cam" status
expect_out "status" "firmware:      4.0"

check "list" "$PXCM" camera --port "$WORK/cam" list
expect_out "list" "   1      1    100001      2000"
expect_out "list" "   2      2     13001     13001"

check "get 1" "$PXCM" camera --port "$WORK/cam" get 1 --out "$WORK/one.jpg"
cmp -s "$WORK/one.jpg" "$WORK/pics/p1.jpg" || fail "picture 1 differs"
grep -q '%' "$WORK/err" && fail "a progress bar went into a file"
# At a terminal the download draws its bar.
script -qec "'$PXCM' camera --port '$WORK/cam' get 1 --out '$WORK/tty.jpg'" /dev/null >"$WORK/tty.out" 2>&1
grep -q '100%' "$WORK/tty.out" || fail "no progress bar at a terminal"
cmp -s "$WORK/tty.jpg" "$WORK/pics/p1.jpg" || fail "picture 1 at a terminal differs"

check "get 1 at 56000" "$PXCM" camera --port "$WORK/cam" --speed 15 get 1 --out "$WORK/one56.jpg"
cmp -s "$WORK/one56.jpg" "$WORK/pics/p1.jpg" || fail "picture 1 at 56000 differs"

check "thumbnail 1" "$PXCM" camera --port "$WORK/cam" get 1 --thumbnail --out "$WORK/t1.jpg"
cmp -s "$WORK/t1.jpg" "$WORK/pics/p1.thumb.jpg" || fail "thumbnail 1 differs"

refuse "thumbnail over the limit" "13001 bytes, more than the 13000" \
    "$PXCM" camera --port "$WORK/cam" get 2 --thumbnail --out "$WORK/t2.jpg"
[[ -e $WORK/t2.jpg ]] && fail "a refused download left a file"
refuse "picture 3" "picture 3 does not exist" "$PXCM" camera --port "$WORK/cam" get 3 --out "$WORK/x.jpg"
refuse "get without --out" "get needs --out FILE" "$PXCM" camera --port "$WORK/cam" get 1
refuse "bad speed" "--speed takes 15" "$PXCM" camera --speed 9 scan
refuse "bad mode" "mode takes q|t" "$PXCM" camera mode x on
refuse "unknown action" "unknown camera action" "$PXCM" camera fly
refuse "no device" "no camera answers on $WORK/none1" "$PXCM" camera --port "$WORK/none1" scan

check "mode t on" "$PXCM" camera --port "$WORK/cam" mode t on
expect_out "mode t on" "mode t on"
check "mode q on" "$PXCM" camera --port "$WORK/cam" mode q on
expect_out "mode q on" "mode q on"
check "clock" "$PXCM" camera --port "$WORK/cam" clock
expect_out "clock" "camera clock set to"

check "shoot" "$PXCM" camera --port "$WORK/cam" shoot
expect_out "shoot" "the camera holds 3"
check "delete 3" "$PXCM" camera --port "$WORK/cam" delete 3
expect_out "delete 3" "the camera holds 2"

# A serial trace when asked for.
PXCM_SERIAL_LOG=$WORK/serial.log check "traced status" "$PXCM" camera --port "$WORK/cam" status
grep -q 'write 1/1 00' "$WORK/serial.log" && grep -q 'read 2/2 47 3A' "$WORK/serial.log" ||
    fail "serial trace lacks the handshake"

check "help" "$PXCM" camera --help
expect_out "help" "get N --out FILE"

[[ -s $PXCM_PROMPTS ]] && { fail "unexpected message boxes:"; cat "$PXCM_PROMPTS"; }

e2e_result
