# shellcheck shell=bash
# camera_run.sh — sourced by the wine scripts that drive the simulated
# camera: a work folder removed at exit with the camera and the application
# ($camera, $app), fail(), start_camera, which puts the camera on COM3, and
# $sys/$twain, the folder where the manager looks for the source.
# Needs $win (the Windows build), $posix (the Linux build) and WINEPREFIX.
work=$(mktemp -d "${TMPDIR:-/tmp}/pxcm-wine-XXXXXX")
camera=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$camera" ] && kill "$camera" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL $*"
  [ -f "$work/app.log" ] && sed "s/^/     app: /" "$work/app.log"
  [ -f "$work/camera.err" ] && tail -n 40 "$work/camera.err" | sed "s/^/     camera: /"
  exit 1
}

# start_camera [OPTION]...: pxcm-camera --verbose with the options; COM3 is
# the camera, the other ports lead nowhere.
start_camera() {
  "$posix/pxcm-camera" --verbose "$@" >"$work/camera.out" 2>"$work/camera.err" &
  camera=$!
  for _ in $(seq 50); do [ -s "$work/camera.out" ] && break; sleep 0.1; done
  local pty
  pty=$(head -n1 "$work/camera.out")
  [ -e "$pty" ] || fail "the simulated camera gave no pty"
  for n in 1 2 4 5 6 7 8; do ln -sfn /nonexistent-port "$WINEPREFIX/dosdevices/com$n"; done
  ln -sfn "$pty" "$WINEPREFIX/dosdevices/com3"
}

sys=$WINEPREFIX/drive_c/windows
# A 32-bit application and manager look in twain_32, a 64-bit one in twain_64.
twain=twain_64
file -b "$win/pxcmtwain.ds" | grep -q '^PE32+' || twain=twain_32
