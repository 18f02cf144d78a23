#!/usr/bin/env bash
# camera_recovery.sh — the camera after trouble on its line: a picture damaged
# once comes whole at the next try, one damaged every time fails and is not
# written; a download killed mid-transfer leaves a camera that the next open
# reaches at once; a port held by another program is told as such.
# Usage: camera_recovery.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$1
command -v djpeg >/dev/null || { echo "SKIP: djpeg is not installed"; exit 0; }
source "$(dirname "$0")/../support/e2e.sh"
export PXCM_UI=headless

start_camera clean
start_camera once --fault corrupt-block:20
start_camera always --fault corrupt-block-always:20
check "clean get" "$PXCM" camera --port "$WORK/clean" get 1 --out "$WORK/clean.jpg"
check "damaged once: get" "$PXCM" camera --port "$WORK/once" get 1 --out "$WORK/once.jpg"
cmp -s "$WORK/once.jpg" "$WORK/clean.jpg" || fail "the picture damaged once is not the camera's"
refuse "damaged always: get" "came damaged after every try" \
    "$PXCM" camera --port "$WORK/always" get 1 --out "$WORK/always.jpg"
[[ -e $WORK/always.jpg ]] && fail "a damaged picture was written"
refuse "damaged always: acquire" "1 failed" \
    "$PXCM" acquire --port "$WORK/always" --select 1 --out "$WORK/acq"
[[ -n $(ls "$WORK/acq" 2>/dev/null) ]] && fail "acquire wrote a damaged picture"
grep -q '"caption":"JPEG Error"' "$PXCM_PROMPTS" || fail "no JPEG Error box for the damaged picture"

# A camera that waits out its own time-out in a transfer, as the real one does.
start_camera strict --timing --transfer-wait 10000
"$PXCM" camera --port "$WORK/strict" get 1 --out "$WORK/killed.jpg" >/dev/null 2>&1 &
victim=$!
sleep 1.5
kill -9 $victim
wait $victim 2>/dev/null
start=$(date +%s%N)
check "open after kill -9" timeout 5 "$PXCM" camera --port "$WORK/strict" status
echo "open after kill -9: $((($(date +%s%N) - start) / 1000000)) ms"

# Another program holds the port.
flock "$WORK/clean" sleep 30 &
PIDS+=($!)
sleep 0.3
refuse "busy port" "in use by another program" "$PXCM" camera --port "$WORK/clean" status
: >"$PXCM_PROMPTS"
PXCM_ANSWERS=retry,cancel "$PXCM" acquire --port "$WORK/clean" --select 1 --out "$WORK/busy" >/dev/null 2>&1
grep -q 'in use by another program' "$PXCM_PROMPTS" || { fail "no busy box:"; cat "$PXCM_PROMPTS"; }
grep -q 'check the camera power' "$PXCM_PROMPTS" && fail "the busy port got the no-camera box"
e2e_result
