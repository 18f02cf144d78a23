#!/usr/bin/env bash
# run.sh — the source under the open-source TWAIN Source Manager on Linux:
# the manager built from ../shared/twain-dsm into the build folder, the
# source installed into a fresh /usr/local/lib/twain/pxcm by cmake --install,
# and pxcm going only through the manager (--dsm): the source listed, opened
# (seeding a new user's settings), its identity, status and capabilities,
# then pictures from the simulated camera through the headless camera window
# by native and memory transfer, with and without a callback, at protocol
# 1.6 and 2.2. Every notification must reach the manager that loaded the
# source. Skips with a line when the manager's sources are absent or
# /usr/local cannot be written.
# Usage: tests/dsm/run.sh [BUILD_DIR [SOURCE_DIR]]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "${2:-$here/../..}" && pwd)
build=$(cd "${1:-$source_dir/build/posix}" && pwd)
twain_dsm=$(dirname "$source_dir")/shared/twain-dsm
if [ ! -x "$twain_dsm/build-linux.sh" ]; then
  echo "skipped: the open-source Source Manager tests ($twain_dsm is absent)"
  exit 0
fi
if ! { [ -w /usr/local ] && mkdir -p /usr/local/lib/twain 2>/dev/null && [ -w /usr/local/lib/twain ]; }; then
  echo "skipped: the open-source Source Manager tests (installing into /usr/local needs root)"
  exit 0
fi
for f in pxcm pxcm-camera pxcmtwain.ds; do
  [ -e "$build/$f" ] || { echo "missing $build/$f"; exit 1; }
done

manager=$build/twain-dsm/libtwaindsm.so
if [ ! -e "$manager" ] || [ -n "$(find "$twain_dsm/src" -newer "$manager" -print -quit)" ]; then
  "$twain_dsm/build-linux.sh" "$build/twain-dsm" >/dev/null || { echo "FAIL: building the manager"; exit 1; }
fi

work=$(mktemp -d)
camera_pid=""
cleanup() {
  [ -n "$camera_pid" ] && kill "$camera_pid" 2>/dev/null && wait "$camera_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A fresh installation: nothing of an earlier one is left for the manager.
rm -rf /usr/local/lib/twain/pxcm
cmake --install "$build" --prefix /usr/local >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }

export PXCM_ROOT=$work/root PXCM_PROMPTS=$work/prompts.jsonl PXCM_UI=headless
unset PXCM_ANSWERS PXCM_DSM PXCM_WINDOW_PNG PXCM_SERIAL_LOG
pxcm() { timeout 120 "$build/pxcm" --dsm "$manager" "$@"; }

out=$(pxcm sources 2>&1) || fail "sources: $out"
grep -q "^Vantrel KMT-18/19 ver 1.6  (Orvimex TWAIN, TWAIN; protocol 1.6, groups 0x3)$" <<<"$out" ||
  fail "the manager does not list the source as a 1.6 source of DG_CONTROL and DG_IMAGE: $out"
out=$(pxcm identity 2>&1) || fail "identity: $out"
grep -q "^protocol:      1.6$" <<<"$out" || fail "identity: $out"

# A user who never ran pxcm: opening through the manager seeds the settings.
out=$(pxcm status 2>&1) || fail "status: $out"
grep -q "condition code:  0 (TWCC_SUCCESS)" <<<"$out" || fail "status: $out"
cmp -s "$PXCM_ROOT/windows/PXCM.src" /usr/local/share/pxcm/PXCM.src || fail "PXCM.src not seeded"

out=$(pxcm --protocol 2.2 caps 2>&1) || fail "caps at 2.2: $out"
[ "$(grep -c '^  supports: TWQC_GET' <<<"$out")" -eq 16 ] || fail "caps: $out"
out=$(pxcm cap set ICAP_XFERMECH TWSX_MEMORY 2>&1) || fail "cap set: $out"
out=$(pxcm cap getcurrent ICAP_XFERMECH 2>&1) || fail "cap getcurrent: $out"
grep -q "TWSX_MEMORY$" <<<"$out" || fail "the set did not hold: $out"
out=$(pxcm cap reset ICAP_XFERMECH 2>&1) || fail "cap reset: $out"

"$build/pxcm-camera" --link "$work/camera" >/dev/null 2>"$work/camera.err" &
camera_pid=$!
for _ in $(seq 50); do [ -e "$work/camera" ] && break; sleep 0.1; done
[ -e "$work/camera" ] || { cat "$work/camera.err"; echo "FAIL: the simulated camera did not start"; exit 1; }

# Every picture of the camera, each run in another way of talking to the
# manager; one announcement for the six pictures, taken while the count is not 0.
have_compare=0
command -v djpeg >/dev/null && command -v compare >/dev/null && have_compare=1
if [ $have_compare = 1 ]; then
  for n in 1 2 3 4 5 6; do
    "$build/pxcm" camera --port "$work/camera" get $n --out "$work/sample-$n.jpg" >/dev/null 2>&1 ||
      fail "camera get $n"
  done
else
  echo "note: pictures not compared with the camera's (djpeg or compare missing)"
fi
run=0
for way in "native" "native --dsm-callback" "memory --dsm-callback --protocol 2.2" \
           "memory --protocol 2.2" "memory" "native --dsm-callback --protocol 2.2"; do
  set -- $way
  mech=$1; shift
  run=$((run + 1))
  dir=$work/run-$run
  out=$(pxcm "$@" acquire --port "$work/camera" --mech "$mech" --select all --out "$dir" 2>&1) ||
    { fail "acquire ($way) exited $?: $out"; continue; }
  [ "$(grep -c "^picture [1-6]: .*, $mech, " <<<"$out")" -eq 6 ] || fail "acquire ($way): $out"
  grep -q "came to pxcm's own DSM_Entry" <<<"$out" && fail "acquire ($way): a notification missed the manager"
  if [ $have_compare = 1 ]; then
    for n in 1 2 3 4 5 6; do
      djpeg -ppm "$work/sample-$n.jpg" >"$work/ref.ppm" 2>/dev/null
      ae=$(compare -metric AE "$dir/picture-$n.png" "$work/ref.ppm" null: 2>&1)
      [ "$ae" = 0 ] || fail "acquire ($way): picture $n differs from the camera's in $ae pixels"
    done
  fi
done
[ -s "$PXCM_PROMPTS" ] && fail "boxes were shown: $(cat "$PXCM_PROMPTS")"

# Ctrl-C amid a run by callback (a camera with line timing): the transfer
# under way ends, the rest are given back, the source disabled and closed.
"$build/pxcm-camera" --link "$work/slow" --timing >/dev/null 2>&1 &
slow_pid=$!
for _ in $(seq 50); do [ -e "$work/slow" ] && break; sleep 0.1; done
"$build/pxcm" --dsm "$manager" --dsm-callback acquire --port "$work/slow" --select all \
  --out "$work/sig" >"$work/sig.out" 2>&1 &
pid=$!
for _ in $(seq 600); do ls "$work/sig"/picture-*.png >/dev/null 2>&1 && break; sleep 0.1; done
kill -INT $pid
wait $pid
rc=$?
kill "$slow_pid" 2>/dev/null && wait "$slow_pid" 2>/dev/null
[ $rc = 130 ] || fail "Ctrl-C by callback: exit $rc: $(cat "$work/sig.out")"
grep -q "interrupted: [1-5] pictures\? written" "$work/sig.out" || fail "Ctrl-C by callback: $(cat "$work/sig.out")"
[ -z "$(find "$work/sig" -name '*.part')" ] || fail "Ctrl-C by callback: a partial file was left"

# A Linux TWAIN 2.x application of the common kind, headless and on Xvfb.
"$here/linux_app.sh" "$build" "$build" "$work/camera" || fail "the Linux TWAIN 2.x application"


[ "$failures" -eq 0 ] && echo "twain-dsm: all passed"
exit $((failures > 0))
