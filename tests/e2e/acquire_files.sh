#!/usr/bin/env bash
# acquire_files.sh — what `pxcm acquire` does to picture files: an existing
# file is replaced only when told, skipped when told, refused otherwise; a
# failed write leaves the file that was there as it was; two arrivals never
# share a file; an unwritable folder is refused before any download; an
# interrupted run stops cleanly and leaves no partial or temporary file.
# Usage: acquire_files.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$1
source "$(dirname "$0")/../support/e2e.sh"
export PXCM_UI=headless
mkdir -p "$WORK/tmp"

start_camera cam

OLD="not a picture"
# Each case: name | status (0 or fail) | options | stdout/stderr pattern |
# what picture-1.png holds afterwards (old or new).
while IFS='|' read -r name status opts pattern after; do
    out=$WORK/case-$name
    mkdir -p "$out"
    printf '%s' "$OLD" >"$out/picture-1.png"
    # shellcheck disable=SC2086
    "$PXCM" acquire --port "$WORK/cam" --select 1,2 --out "$out" $opts >"$WORK/out" 2>"$WORK/err"
    rc=$?
    if [[ $status == 0 && $rc != 0 ]] || [[ $status == fail && $rc == 0 ]]; then
        fail "$name: exit $rc"; cat "$WORK/out" "$WORK/err"
    fi
    grep -q -- "$pattern" "$WORK/out" "$WORK/err" || { fail "$name: no '$pattern'"; cat "$WORK/out" "$WORK/err"; }
    if [[ $after == old ]]; then
        [[ $(cat "$out/picture-1.png") == "$OLD" ]] || fail "$name: picture-1.png was replaced"
    else
        [[ $(head -c 4 "$out/picture-1.png" | tail -c 3) == PNG ]] || fail "$name: picture-1.png is not the new picture"
    fi
    [[ -s $out/picture-2.png ]] || fail "$name: picture-2.png was not written"
    [[ -z $(find "$out" -name '*.part') ]] || fail "$name: a partial file was left"
    [[ $(grep -c "pxcm: picture 1:" "$WORK/err") -le 1 ]] || fail "$name: the failure is printed twice"
done <<'CASES'
refused|fail||picture-1.png exists and is kept|old
skipped|0|--skip-existing|exists, skipped|old
replaced|0|--force-overwrite|(replaced)|new
CASES

# A write that fails leaves the picture that was there byte-identical, even
# with --force-overwrite: files beyond 64 KB cannot be written (the limit's
# signal ignored, so the write fails with EFBIG), which the camera's JPEG
# (16 KB) passes and every picture file fails.
cp "$WORK/case-replaced/picture-2.png" "$WORK/old-picture"
for format in png bmp; do
    out=$WORK/full-$format
    mkdir -p "$out"
    cp "$WORK/old-picture" "$out/picture-1.$format"
    (trap '' XFSZ; ulimit -f 64; exec "$PXCM" acquire --port "$WORK/cam" --select 1 --format $format \
        --force-overwrite --out "$out") >"$WORK/out" 2>"$WORK/err" && fail "full $format: a failed write reported success"
    grep -q "File too large" "$WORK/err" || { fail "full $format: the reason is not said"; cat "$WORK/out" "$WORK/err"; }
    cmp -s "$WORK/old-picture" "$out/picture-1.$format" || fail "full $format: the old picture was changed"
    [[ $(ls -A "$out") == "picture-1.$format" ]] || { fail "full $format: files left:"; ls -A "$out"; }
done

# A folder that takes no file: refused before anything is downloaded.
mkdir -p "$WORK/ro"
chmod a-w "$WORK/ro"
if ! touch "$WORK/ro/x" 2>/dev/null; then
    start=$(date +%s%N)
    "$PXCM" acquire --port "$WORK/cam" --select all --out "$WORK/ro" >"$WORK/out" 2>"$WORK/err" &&
        fail "an unwritable folder was taken"
    grep -q "cannot write in $WORK/ro" "$WORK/err" || { fail "unwritable folder:"; cat "$WORK/out" "$WORK/err"; }
    grep -q "^picture" "$WORK/out" && fail "pictures were downloaded for an unwritable folder"
fi

# A script's arrival and the selection's both numbered 1: one file, the run fails.
printf 'paint\ndblclick 70 48\n' >"$WORK/dbl.script"
"$PXCM" acquire --port "$WORK/cam" --script "$WORK/dbl.script" --select 1 --out "$WORK/twice" \
    >"$WORK/out" 2>"$WORK/err" && fail "two arrivals into one file reported success"
grep -q "an earlier picture of this run went to" "$WORK/err" || { fail "collision not said:"; cat "$WORK/out" "$WORK/err"; }

# SIGINT and SIGTERM amid a slow run: a clean stop, nothing partial or temporary left.
start_camera slow --timing
for sig in INT TERM; do
    out=$WORK/sig-$sig
    TMPDIR=$WORK/tmp "$PXCM" acquire --port "$WORK/slow" --select all --out "$out" >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    for _ in $(seq 600); do ls "$out"/picture-*.png >/dev/null 2>&1 && break; sleep 0.1; done
    kill -$sig $pid
    wait $pid
    rc=$?
    [[ $rc != 0 ]] || fail "SIG$sig: exit 0"
    grep -q "interrupted: [0-9]* pictures\? written" "$WORK/err" || { fail "SIG$sig: no count:"; cat "$WORK/err"; }
    [[ -z $(find "$out" -name '*.part') ]] || fail "SIG$sig: a partial file was left"
    [[ -z $(ls -A "$WORK/tmp") ]] || { fail "SIG$sig: temporary files left:"; ls -A "$WORK/tmp"; }
    [[ $(ls "$out" | wc -l) -lt 6 ]] || fail "SIG$sig: the run was not stopped"
done

e2e_result
