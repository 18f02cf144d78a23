#!/usr/bin/env bash
# scanimage_bench.sh — one 640 x 480 picture through Debian's scanimage and
# the pxcm backend of the build folder, from the simulated camera with line
# timing at 115200 baud, against the ideal wire time of the run: every byte
# that crossed the line (from the serial trace of one run) at 12 bit times at
# the rate of the line when it went, plus the link's own pause after the scan
# (300 ms). The whole scanimage process is timed: open, download, decoding,
# the rows to scanimage and its PNM file. The goal: ratio <= 1.03.
# Usage: bench/scanimage_bench.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:?usage: scanimage_bench.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-5}
camera=$build/pxcm-camera
[ -x "$camera" ] && [ -e "$build/libsane-pxcm.so.1" ] || { echo "pxcm-camera or the backend is not built" >&2; exit 1; }
command -v scanimage >/dev/null || { echo "scanimage missing (sane-utils)" >&2; exit 1; }

work=$(mktemp -d)
camera_pid=""
cleanup() {
  [ -n "$camera_pid" ] && kill "$camera_pid" 2>/dev/null && wait "$camera_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The first sample picture is 640 x 480.
"$camera" --link "$work/camera" --timing >/dev/null 2>"$work/camera.err" &
camera_pid=$!
for _ in $(seq 50); do [ -e "$work/camera" ] && break; sleep 0.1; done
mkdir "$work/conf"
echo pxcm >"$work/conf/dll.conf"
printf '%s\nspeed 115200\n' "$work/camera" >"$work/conf/pxcm.conf"
export SANE_CONFIG_DIR=$work/conf LD_LIBRARY_PATH=$build${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
export PXCM_ROOT=$work/root
unset SANE_DEBUG_PXCM
scan() { scanimage -d "pxcm:$work/camera" --picture 1 --format=pnm -o "$work/picture.pnm"; }

# The bytes of one run, from its trace; the trace itself is not timed.
PXCM_SERIAL_LOG=$work/serial.log scan
ideal=$(awk '
  / set line / { baud = $6 + 0 }
  / (write|read) [0-9]+\// { split($5, n, "/"); s += n[1] * 12 / (baud ? baud : 9600); bytes += n[1] }
  END { printf "%.4f", s }' "$work/serial.log")
pauses=0.300
bytes=$(awk '/ (write|read) [0-9]+\// { split($5, n, "/"); b += n[1] } END { print b }' "$work/serial.log")

total=0
best=
for i in $(seq "$runs"); do
  t0=$(date +%s%N)
  scan
  t=$(awk -v a="$t0" -v b="$(date +%s%N)" 'BEGIN { printf "%.4f", (b - a) / 1e9 }')
  total=$(awk -v a="$total" -v b="$t" 'BEGIN { print a + b }')
  best=$(awk -v a="${best:-$t}" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
done
mean=$(awk -v a="$total" -v n="$runs" 'BEGIN { printf "%.4f", a / n }')
awk -v m="$mean" -v best="$best" -v w="$ideal" -v p="$pauses" -v bytes="$bytes" -v n="$runs" 'BEGIN {
  printf "picture 1 (640x480) through scanimage, %d runs: %d bytes on the line\n", n, bytes
  printf "measured mean %.3f s, best %.3f s; ideal wire %.3f s + pauses %.3f s\n", m, best, w, p
  printf "ratio %.4f (best %.4f), wire only %.4f\n", m / (w + p), best / (w + p), m / w
}'
