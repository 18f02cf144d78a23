#!/usr/bin/env bash
# The wine tests in one fresh prefix: the win64 source installed as wine's
# sane.ds, driven by twain_smoke.exe through wine's own Source Manager; then
# surface_check.exe, the drawing surface and DIB helpers on memory DCs (no
# display needed). Both must pass.
# Usage: tests/wine/run.sh BUILD_DIR (a win64 build folder)
set -euo pipefail
build=$(cd "${1:-build/win64}" && pwd)
for f in pxcmtwain.ds tests/wine/twain_smoke.exe tests/wine/surface_check.exe; do
  [ -f "$build/$f" ] || { echo "missing $build/$f"; exit 1; }
done

prefix=$(mktemp -d "${TMPDIR:-/tmp}/pxcm-wine-XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"; }
trap cleanup EXIT

wineboot -i >/dev/null 2>&1
mkdir -p "$prefix/drive_c/windows/twain_64"
cp "$build/pxcmtwain.ds" "$prefix/drive_c/windows/twain_64/sane.ds"
wine "$build/tests/wine/twain_smoke.exe"
wine "$build/tests/wine/surface_check.exe"
