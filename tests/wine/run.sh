#!/usr/bin/env bash
# The wine smoke test: the win64 source installed as wine's sane.ds in a fresh
# prefix, driven by twain_smoke.exe through wine's own Source Manager.
# Usage: tests/wine/run.sh BUILD_DIR (a win64 build folder)
set -euo pipefail
build=$(cd "${1:-build/win64}" && pwd)
[ -f "$build/pxcmtwain.ds" ] && [ -f "$build/tests/wine/twain_smoke.exe" ] || {
  echo "missing $build/pxcmtwain.ds or twain_smoke.exe"; exit 1; }

prefix=$(mktemp -d "${TMPDIR:-/tmp}/pxcm-wine-XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"; }
trap cleanup EXIT

wineboot -i >/dev/null 2>&1
mkdir -p "$prefix/drive_c/windows/twain_64"
cp "$build/pxcmtwain.ds" "$prefix/drive_c/windows/twain_64/sane.ds"
wine "$build/tests/wine/twain_smoke.exe"
