#!/usr/bin/env bash
# linux_app.sh — the Linux TWAIN 2.x application of tests/dsm/linux_app.cpp
# through the open-source manager: callback and semaphore, no event ever
# passed; its cases check every picture against the camera's and Count and
# the state after each MSG_ENDXFER. Headless, the window plays each case's
# window script; on Xvfb, xdotool clicks three thumbnails and Load in the
# SDL window (skipped with a line without Xvfb or xdotool).
# The source must be installed where the manager looks (/usr/local/lib/twain);
# with --install, APP_BUILD's source is installed there first (run it under
# flock /tmp/pxcm-usrlocal.lock).
# Usage: linux_app.sh [--install] APP_BUILD POSIX_BUILD [CAMERA_DEVICE]
# APP_BUILD holds tests/pxcm_linux_app; POSIX_BUILD holds pxcm, pxcm-camera
# and the manager (twain-dsm/libtwaindsm.so, built by tests/dsm/run.sh).
set -uo pipefail
install=0
[ "${1:-}" = --install ] && { install=1; shift; }
app_build=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
camera=${3:-}
app=$app_build/tests/pxcm_linux_app
manager=$build/twain-dsm/libtwaindsm.so
if [ ! -x "$app" ]; then
  echo "skipped: the Linux TWAIN 2.x application (not built)"
  exit 0
fi
command -v djpeg >/dev/null || { echo "skipped: the Linux TWAIN 2.x application (djpeg missing)"; exit 0; }
[ -e "$manager" ] || { echo "missing $manager (tests/dsm/run.sh builds it)"; exit 1; }

work=$(mktemp -d)
camera_pid=""
xvfb=""
cleanup() {
  [ -n "$camera_pid" ] && kill "$camera_pid" 2>/dev/null && wait "$camera_pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if [ $install = 1 ]; then
  rm -rf /usr/local/lib/twain/pxcm
  cmake --install "$app_build" --prefix /usr/local >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }
fi
if [ -z "$camera" ]; then
  camera=$work/camera
  "$build/pxcm-camera" --link "$camera" >/dev/null 2>"$work/camera.err" &
  camera_pid=$!
  for _ in $(seq 50); do [ -e "$camera" ] && break; sleep 0.1; done
  [ -e "$camera" ] || { cat "$work/camera.err"; echo "FAIL: the simulated camera did not start"; exit 1; }
fi

mkdir -p "$work/refs" "$work/root/windows"
for n in 1 2 3 4 5 6; do
  "$build/pxcm" camera --port "$camera" get $n --out "$work/sample-$n.jpg" >/dev/null 2>&1 || fail "camera get $n"
  djpeg -ppm "$work/sample-$n.jpg" >"$work/refs/picture-$n.ppm"
done
# The camera is COM1 of this user's settings.
cp /usr/local/share/pxcm/pxcm.ini /usr/local/share/pxcm/PXCM.src "$work/root/windows/"
printf '\r\n[Ports]\r\nCOM1=%s\r\n' "$camera" >>"$work/root/windows/pxcm.ini"
# For a ThreadSanitizer build: what it cannot see (any other build ignores it).
export TSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/tsan.supp ${TSAN_OPTIONS:-}"
unset PXCM_ANSWERS PXCM_DSM PXCM_WINDOW_PNG PXCM_SERIAL_LOG PXCM_WINDOW_SCRIPT
app_run() {
  PXCM_ROOT=$work/root PXCM_PROMPTS=$work/prompts.jsonl timeout 300 "$app" "$manager" "$work/refs" "$work" "$@"
}

cases=$("$app" list | grep -vx sdl)
# shellcheck disable=SC2086
out=$(PXCM_UI=headless app_run $cases 2>&1) || fail "headless: $out"
grep "^ok\|^FAIL" <<<"$out"
[ "$(grep -c '^ok ' <<<"$out")" -eq "$(wc -l <<<"$cases")" ] || fail "not every case passed headless"

if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
  xvfb=$!
  if read -r -t 20 display <&3; then
    DISPLAY=:$display PXCM_UI=sdl app_run sdl >"$work/sdl.out" 2>&1 &
    app_pid=$!
    caption='Vantrel Digital Camera KMT-18/19 TWAIN Driver'
    if wid=$(DISPLAY=:$display timeout 60 xdotool search --sync --onlyvisible --name "$caption" | head -n1); then
      root=$(DISPLAY=:$display xdotool search --maxdepth 0 --name "" | head -n1)
      # Pictures 1, 2 and 3, then Load; the first paint fetches the
      # thumbnails and the clicks wait behind it. Each click comes back from
      # another window, as a user's does: the click that focuses the window
      # must count.
      for xy in "70 48" "175 48" "280 48" "276 357"; do
        set -- $xy
        DISPLAY=:$display xdotool windowfocus "$root" windowfocus "$wid" \
          mousemove --window "$wid" "$1" "$2" click 1
        sleep 0.5
      done
    else
      fail "the SDL camera window did not appear"
    fi
    wait "$app_pid" || fail "on Xvfb: $(cat "$work/sdl.out")"
    grep "^ok\|^FAIL" "$work/sdl.out"
  else
    echo "skipped: the Linux TWAIN 2.x application on Xvfb (Xvfb did not start)"
  fi
else
  echo "skipped: the Linux TWAIN 2.x application on Xvfb (needs Xvfb and xdotool)"
fi
exit $((failures > 0))
