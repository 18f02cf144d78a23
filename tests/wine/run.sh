#!/usr/bin/env bash
# The wine tests in one fresh prefix and one X server, for the x64 source and,
# with a win32 build, the x86 one in the same (wow64) prefix: each installed
# as wine's sane.ds, driven by twain_smoke.exe through wine's own Source
# Manager; surface_check.exe, the drawing surface and DIB helpers on memory
# DCs; text_check.exe, text with the window's fonts; then the camera window
# and the transfers with the simulated camera (acquire.sh), by native and by
# memory transfer, through wine's twain_32 and the open-source manager of the
# same architecture, by an application with a window of its own and by a
# console one that gave none (woken by Load and Exit alone).
# On x64 only, the long cases: a few load-to-unload cycles through the
# open-source manager with the process's objects and handles counted
# (bench/wine_soak.sh), pxcm.exe acquire interrupted by Ctrl-C mid-download
# (interrupt.sh), and, with a setup program, one more acquisition
# from the source as that program installs it (pxcm-setup.exe /S in the same
# prefix). All must pass.
# Usage: tests/wine/run.sh WIN64_BUILD [POSIX_BUILD [SETUP_EXE [WIN32_BUILD]]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build/win64}" && pwd)
posix=${2:-$here/../../build/posix}
win32=""
[ -n "${4:-}" ] && win32=$(cd "$4" && pwd)
builds=("$build")
[ -n "$win32" ] && builds+=("$win32")
for b in "${builds[@]}"; do
  for f in pxcmtwain.ds tests/wine/twain_smoke.exe tests/wine/surface_check.exe \
    tests/wine/text_check.exe; do
    [ -f "$b/$f" ] || { echo "missing $b/$f"; exit 1; }
  done
done

prefix=$(mktemp -d "${TMPDIR:-/tmp}/pxcm-wine-XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT

# One X server for the whole prefix, started before wine: the prefix's
# desktop process keeps the display it first saw, so a window test after a
# display-less start could create no window at all.
gui=""
if [ -f "$build/tests/wine/twain_acquire.exe" ] && [ -x "$posix/pxcm-camera" ] &&
  command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
  xvfb=$!
  read -r -t 20 display <&3 || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=:$display
  gui=1
fi

wineboot -i >/dev/null 2>&1
dsm=$here/../../../shared/twain-dsm/windows
# The console programs and the camera window, per architecture: x64 first.
for b in "${builds[@]}"; do
  twain=twain_64 bits=64
  [ "$b" = "$win32" ] && twain=twain_32 bits=32
  echo "== the $twain source ($b)"
  mkdir -p "$prefix/drive_c/windows/$twain"
  cp "$b/pxcmtwain.ds" "$prefix/drive_c/windows/$twain/sane.ds"
  wine "$b/tests/wine/twain_smoke.exe"
  wine "$b/tests/wine/surface_check.exe"
  wine "$b/tests/wine/text_check.exe"
  if [ -z "$gui" ] || [ ! -f "$b/tests/wine/twain_acquire.exe" ]; then
    echo "skipped: the camera window under wine (needs twain_acquire.exe, pxcm-camera, Xvfb, xdotool)"
    continue
  fi
  # The memory runs with a window end as most applications do: disabled at
  # Count 0; the console application ends at Exit, which must reach it.
  "$here/acquire.sh" "$b" "$posix" wine native
  "$here/acquire.sh" "$b" "$posix" wine memory count0
  "$here/acquire.sh" "$b" "$posix" wine memory exit console
  # The open-source Source Manager, beside the application, where it is there.
  if [ -f "$dsm/$bits/TWAINDSM.dll" ]; then
    "$here/acquire.sh" "$b" "$posix" "$dsm/$bits/TWAINDSM.dll" native
    "$here/acquire.sh" "$b" "$posix" "$dsm/$bits/TWAINDSM.dll" memory count0
    "$here/acquire.sh" "$b" "$posix" "$dsm/$bits/TWAINDSM.dll" native exit console
  else
    echo "skipped: the open-source Source Manager under wine (no $dsm/$bits/TWAINDSM.dll)"
  fi
done

# The long cases, on x64 only.
if [ -n "$gui" ] && [ -f "$dsm/64/TWAINDSM.dll" ]; then
  # The open-source manager frees the source at every close: loads and
  # unloads with the window and a transfer leave no object or handle.
  "$here/../../bench/wine_soak.sh" "$build" "$posix" 8 "$dsm/64/TWAINDSM.dll"
  "$here/interrupt.sh" "$build" "$posix" "$dsm/64/TWAINDSM.dll"
  setup=${3:-}
  if [ -n "$setup" ] && [ -f "$setup" ]; then
    wine "$setup" /S
    "$here/acquire.sh" "$build" "$posix" "installed:$dsm/64/TWAINDSM.dll" native
  else
    echo "skipped: acquiring from the source as the setup program installs it (no setup program)"
  fi
fi
echo "wine tests: all passed"
