#!/usr/bin/env bash
# Ctrl-C of the Windows pxcm acquire while a picture is on the line: the
# source loaded into pxcm.exe ends the download under way, pxcm exits with
# 130 having written nothing, and the camera gives the next run the picture
# pixel for pixel. The camera (--timing, 19200 baud) needs some 10 s for the
# picture, so an interrupt a second into it cannot come after its end.
# wine delivers SIGINT to a console program as CTRL_C_EVENT.
# Usage: tests/wine/interrupt.sh WIN_BUILD POSIX_BUILD MANAGER
#   MANAGER: the open-source manager's TWAINDSM.dll of the build's architecture.
# Needs WINEPREFIX (a booted prefix) and DISPLAY (an X server) set.
set -euo pipefail
win=$(cd "$1" && pwd)
posix=$(cd "$2" && pwd)
manager=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
: "${WINEPREFIX:?}" "${DISPLAY:?}"

. "$repo/tests/wine/camera_run.sh"
start_camera --timing

rm -f "$sys/$twain/sane.ds"
rm -rf "$sys/$twain/pxcm"
mkdir -p "$sys/$twain/pxcm" "$work/app" "$work/out"
cp "$win/pxcmtwain.ds" "$sys/$twain/pxcm/pxcmtwain.ds"
cp "$win/pxcm.exe" "$manager" "$work/app/"
cp "$repo/resources/settings/PXCM.src" "$sys/"
sed 's/^SERIAL_SPEED=15/SERIAL_SPEED=46/' "$repo/resources/settings/pxcm.ini" >"$sys/pxcm.ini"
out=$(winepath -w "$work/out")
acquire() {
  (cd "$work/app" && exec wine ./pxcm.exe --dsm "$(basename "$manager")" acquire --format bmp \
    --select 1 --out "$out") >"$work/app.log" 2>&1 &
  app=$!
}

acquire
for _ in $(seq 600); do
  grep -q "'F' picture 1" "$work/camera.err" && break
  kill -0 "$app" 2>/dev/null || fail "pxcm ended before the download"
  sleep 0.1
done
grep -q "'F' picture 1" "$work/camera.err" || fail "the download did not start"
sleep 1
kill -INT "$app"
rc=0
wait "$app" || rc=$?
app=""
[ "$rc" = 130 ] || fail "Ctrl-C mid-download: exit $rc, not 130"
grep -q "^pxcm: interrupted: 0 pictures written" "$work/app.log" ||
  fail "Ctrl-C mid-download: the picture under way was not ended"
[ -z "$(ls -A "$work/out")" ] || fail "Ctrl-C mid-download left $(ls "$work/out")"
echo "ok   Ctrl-C ends the download under way ($twain)"

# The camera was left ready: the next run gets the picture whole.
sed -i 's/^SERIAL_SPEED=46/SERIAL_SPEED=7/' "$sys/pxcm.ini"
acquire
for _ in $(seq 600); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
wait "$app" || fail "the run after the interrupt failed"
app=""
[ -s "$work/out/picture-1.bmp" ] || fail "the run after the interrupt wrote no picture"
"$posix/pxcm" camera --port "$(head -n1 "$work/camera.out")" get 1 --out "$work/want.jpg" >/dev/null 2>&1 ||
  fail "the camera's own picture 1 could not be read"
djpeg -bmp "$work/want.jpg" >"$work/want.bmp"
ae=$(compare -metric AE "$work/out/picture-1.bmp" "$work/want.bmp" null: 2>&1 || true)
[ "$ae" = 0 ] || fail "the run after the interrupt: picture 1 differs in $ae pixels"
echo "ok   the camera is ready after the interrupt ($twain)"
