#!/usr/bin/env bash
# decode_vs_djpeg.sh — whole-process time of `pxcm decode` against libjpeg's
# own `djpeg -bmp` on the same 640 x 480 camera-like JPEG, run in turns.
# Usage: bench/decode_vs_djpeg.sh BUILD_DIR [RUNS]
# BUILD_DIR holds pxcm (or pxcm.exe, run with $PXCM_RUNNER, e.g. "wine")
# and bench/decode_bench (which writes the sample picture).
set -euo pipefail
build=${1:?usage: decode_vs_djpeg.sh BUILD_DIR [RUNS]}
runs=${2:-40}
runner=${PXCM_RUNNER:-}

pxcm=$build/pxcm
[ -x "$pxcm" ] || pxcm=$build/pxcm.exe
[ -e "$pxcm" ] || { echo "no pxcm in $build" >&2; exit 1; }
command -v djpeg >/dev/null || { echo "djpeg missing (libjpeg-turbo-progs)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sample=$work/sample.jpg
if [ -x "$build/bench/decode_bench" ]; then
  "$build/bench/decode_bench" --write-sample="$sample"
elif [ -n "${PXCM_SAMPLE:-}" ]; then
  cp "$PXCM_SAMPLE" "$sample"
else
  echo "no sample: build bench/decode_bench or set PXCM_SAMPLE" >&2; exit 1
fi
export PXCM_PROMPTS=/dev/null

run_pxcm() { $runner "$pxcm" decode "$sample" --out "$work/pxcm.bmp"; }
run_djpeg() { djpeg -bmp -outfile "$work/djpeg.bmp" "$sample"; }

now() { date +%s%N; }

# One warm-up each, then RUNS pairs in turns so that drift hits both alike.
run_pxcm; run_djpeg
cmp -s <(tail -c +55 "$work/pxcm.bmp") <(tail -c +55 "$work/djpeg.bmp") ||
  { echo "pxcm and djpeg disagree on the pixels" >&2; exit 1; }
pxcm_ns=0; djpeg_ns=0
for ((i = 0; i < runs; i++)); do
  t0=$(now); run_pxcm; t1=$(now); run_djpeg; t2=$(now)
  pxcm_ns=$((pxcm_ns + t1 - t0)); djpeg_ns=$((djpeg_ns + t2 - t1))
done
awk -v a="$pxcm_ns" -v b="$djpeg_ns" -v n="$runs" -v size="$(stat -c %s "$sample")" 'BEGIN {
  printf "sample: 640 x 480, %d bytes; %d runs each\n", size, n
  printf "pxcm decode  %8.2f ms per process\n", a / n / 1e6
  printf "djpeg -bmp   %8.2f ms per process\n", b / n / 1e6
  printf "ratio pxcm/djpeg %.3f\n", a / b
}'
