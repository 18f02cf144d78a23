#!/usr/bin/env bash
# The wine tests in one fresh prefix and one X server: the win64 source
# installed as wine's sane.ds, driven by twain_smoke.exe through wine's own
# Source Manager; surface_check.exe, the drawing surface and DIB helpers on
# memory DCs; text_check.exe, text with the window's fonts; then the camera
# window and the transfers with the simulated camera (acquire.sh), by native
# and by memory transfer; and a few load-to-unload cycles through the
# open-source manager with the process's objects and handles counted
# (bench/wine_soak.sh). All must pass.
# With a setup program, the open-source manager acquires once more from the
# source as that program installs it (pxcm-setup.exe /S in the same prefix).
# Usage: tests/wine/run.sh WIN64_BUILD [POSIX_BUILD [SETUP_EXE]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build/win64}" && pwd)
posix=${2:-$here/../../build/posix}
for f in pxcmtwain.ds tests/wine/twain_smoke.exe tests/wine/surface_check.exe \
  tests/wine/text_check.exe; do
  [ -f "$build/$f" ] || { echo "missing $build/$f"; exit 1; }
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
mkdir -p "$prefix/drive_c/windows/twain_64"
cp "$build/pxcmtwain.ds" "$prefix/drive_c/windows/twain_64/sane.ds"
wine "$build/tests/wine/twain_smoke.exe"
wine "$build/tests/wine/surface_check.exe"
wine "$build/tests/wine/text_check.exe"

# The window tests.
if [ -n "$gui" ]; then
  "$here/acquire.sh" "$build" "$posix" wine native
  # The memory runs end as most applications do: disabled at Count 0.
  "$here/acquire.sh" "$build" "$posix" wine memory count0
  # The open-source Source Manager, beside the application, where it is there.
  dsm64=$here/../../../shared/twain-dsm/windows/64/TWAINDSM.dll
  if [ -f "$dsm64" ]; then
    "$here/acquire.sh" "$build" "$posix" "$dsm64" native
    "$here/acquire.sh" "$build" "$posix" "$dsm64" memory count0
    # The open-source manager frees the source at every close: loads and
    # unloads with the window and a transfer leave no object or handle.
    "$here/../../bench/wine_soak.sh" "$build" "$posix" 8 "$dsm64"
    setup=${3:-}
    if [ -n "$setup" ] && [ -f "$setup" ]; then
      wine "$setup" /S
      "$here/acquire.sh" "$build" "$posix" "installed:$dsm64" native
    else
      echo "skipped: acquiring from the source as the setup program installs it (no setup program)"
    fi
  else
    echo "skipped: the open-source Source Manager under wine (no ../shared/twain-dsm)"
  fi
else
  echo "skipped: the camera window under wine (needs twain_acquire.exe, pxcm-camera, Xvfb, xdotool)"
fi
