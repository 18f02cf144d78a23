#!/usr/bin/env bash
# Long use of the win64 source under wine: gui_soak.exe runs CYCLES cycles of
# open, enable with the camera window, paint, Load and native transfer of one
# picture, disable and close in one process, through wine's own Source
# Manager (which keeps the source loaded) or the open-source one (which
# frees it at every close), against the simulated camera on COM3 in a fresh
# prefix under its own Xvfb (or the caller's), and prints the process's GDI and USER object
# counts and kernel handles as it goes; fails when a count grew after the
# first cycles. Run by hand for the long figures; the wine tests run a few
# cycles through the open-source manager, which frees the source each time.
# Usage: bench/wine_soak.sh [WIN64_BUILD [POSIX_BUILD [CYCLES [MANAGER]]]]
#   MANAGER: "wine" (default), or a path to the open-source TWAINDSM.dll.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
win=$(cd "${1:-$here/../build/win64}" && pwd)
posix=$(cd "${2:-$here/../build/posix}" && pwd)
cycles=${3:-100}
manager=${4:-wine}
soak=$win/bench/wine/gui_soak.exe
for f in "$win/pxcmtwain.ds" "$soak" "$posix/pxcm-camera"; do
  [ -f "$f" ] || { echo "missing $f"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/pxcm-wine-soak-XXXXXX")
# A prefix and X server of the caller's (WINEPREFIX and DISPLAY set, as the
# wine tests do) are used as they are; otherwise the run makes its own.
own=""
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] || own=1
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb="" camera=""
cleanup() {
  [ -n "$own" ] && { wineserver -k >/dev/null 2>&1 || true; }
  [ -n "$camera" ] && kill "$camera" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -n "$own" ]; then
  export WINEPREFIX=$work/prefix
  # The X server before wine: the prefix keeps the display it first saw.
  exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
  xvfb=$!
  read -r -t 20 display <&3 || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=:$display
  wineboot -i >/dev/null 2>&1
fi

# One small picture keeps a cycle short; what is counted does not depend on
# the picture's size.
mkdir -p "$work/pictures"
convert -size 160x120 gradient:'#c03020'-'#2040d0' -quality 85 "$work/pictures/a.jpg"
convert "$work/pictures/a.jpg" -resize '80x56!' -quality 80 "$work/pictures/a.thumb.jpg"
"$posix/pxcm-camera" --dir "$work/pictures" >"$work/camera.out" 2>"$work/camera.err" &
camera=$!
for _ in $(seq 50); do [ -s "$work/camera.out" ] && break; sleep 0.1; done
pty=$(head -n1 "$work/camera.out")
[ -e "$pty" ] || { echo "the simulated camera gave no pty"; exit 1; }
for n in 1 2 4 5 6 7 8; do ln -sfn /nonexistent-port "$WINEPREFIX/dosdevices/com$n"; done
ln -sfn "$pty" "$WINEPREFIX/dosdevices/com3"

sys=$WINEPREFIX/drive_c/windows
cp "$soak" "$work/"
if [ "$manager" = wine ]; then
  mkdir -p "$sys/twain_64"
  cp "$win/pxcmtwain.ds" "$sys/twain_64/sane.ds"
  dll=twain_32.dll
else
  rm -f "$sys/twain_64/sane.ds"
  mkdir -p "$sys/twain_64/pxcm"
  cp "$win/pxcmtwain.ds" "$sys/twain_64/pxcm/"
  cp "$manager" "$work/TWAINDSM.dll"
  dll=TWAINDSM.dll
fi
cp "$here/../resources/settings/PXCM.src" "$sys/"
# 115200 baud: wine cannot set 56000 on a pty.
sed 's/^SERIAL_SPEED=15/SERIAL_SPEED=7/' "$here/../resources/settings/pxcm.ini" >"$sys/pxcm.ini"

(cd "$work" && exec wine ./gui_soak.exe "$dll" "$cycles")
