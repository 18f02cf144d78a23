#!/usr/bin/env bash
# decode.sh — `pxcm decode` against libjpeg's own djpeg: the same pixels in
# the BMP files, both modes, PNG output, and clean failures.
# Usage: decode.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
pxcm=$build/pxcm
command -v cjpeg >/dev/null && command -v djpeg >/dev/null || { echo "cjpeg/djpeg missing (libjpeg-turbo-progs)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PXCM_ROOT=$work/root PXCM_PROMPTS=$work/prompts.jsonl
unset PXCM_ANSWERS
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

source "$(dirname "$0")/../support/test_ppm.sh"

for size in "203 150 1" "640 480 2"; do
  set -- $size
  name=pic$1x$2
  make_ppm "$1" "$2" "$3" >"$work/$name.ppm"
  cjpeg -quality 80 -outfile "$work/$name.jpg" "$work/$name.ppm"
  djpeg -bmp -outfile "$work/$name.ref.bmp" "$work/$name.jpg"
  for mode in full display; do
    out=$work/$name.$mode.bmp
    if ! "$pxcm" decode "$work/$name.jpg" --out "$out" --mode "$mode"; then
      fail "$name $mode: pxcm decode failed"; continue
    fi
    # Same file size and the same rows after the 54 header bytes.
    [ "$(stat -c %s "$out")" = "$(stat -c %s "$work/$name.ref.bmp")" ] || fail "$name $mode: size differs from djpeg"
    cmp -s <(tail -c +55 "$out") <(tail -c +55 "$work/$name.ref.bmp") || fail "$name $mode: pixels differ from djpeg"
  done
  "$pxcm" decode "$work/$name.jpg" --out "$work/$name.png" || fail "$name: PNG output failed"
  [ "$(head -c 8 "$work/$name.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$name: not a PNG file"
done

# A truncated picture: exit code 1, one line on stderr, the box recorded, no file.
head -c 3000 "$work/pic640x480.jpg" >"$work/cut.jpg"
if "$pxcm" decode "$work/cut.jpg" --out "$work/cut.bmp" 2>"$work/err"; then
  fail "truncated picture decoded"
else
  [ "$(wc -l <"$work/err")" = 1 ] || fail "truncated: stderr is not one line: $(cat "$work/err")"
  grep -q '^pxcm: cannot decode ' "$work/err" || fail "truncated: message: $(cat "$work/err")"
  grep -q '"caption":"JPEG Error","text":"Premature end of JPEG file"' "$work/prompts.jsonl" || fail "truncated: no JPEG Error box"
  [ ! -e "$work/cut.bmp" ] || fail "truncated: an output file was left"
fi

# Usage errors.
"$pxcm" decode "$work/pic203x150.jpg" --out "$work/x.gif" 2>/dev/null && fail "a .gif output was accepted"
"$pxcm" decode "$work/missing.jpg" --out "$work/x.bmp" 2>/dev/null && fail "a missing input was accepted"
"$pxcm" decode "$work/pic203x150.jpg" --out "$work/x.bmp" --mode thumb 2>/dev/null && fail "an unknown mode was accepted"

# Short files give the blank white 80 x 56 cell.
head -c 100 "$work/pic203x150.jpg" >"$work/short.jpg"
"$pxcm" decode "$work/short.jpg" --out "$work/short.bmp" || fail "short file failed"
[ "$(stat -c %s "$work/short.bmp")" = $((54 + 240 * 56)) ] || fail "short file: not an 80 x 56 picture"
[ "$(tail -c +55 "$work/short.bmp" | tr -d '\377' | wc -c)" = 0 ] || fail "short file: not white"

if [ "$failures" -ne 0 ]; then
  echo "decode: $failures failures"
  exit 1
fi
echo "decode: all checks passed"
