#!/usr/bin/env bash
# stalled_camera.sh — a camera that stops answering in the middle of a
# picture, through scanimage (the SANE backend) and `pxcm acquire` (the TWAIN
# source): the failure comes after one whole time-out and one short probe,
# not after every try; Ctrl-C ends the download under way at once; and the
# camera is left ready, so that the next picture comes whole and at once.
# The bounds are loose: each is several times what a correct link needs and
# well under what waiting out the time-outs costs.
# Usage: stalled_camera.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$1
source "$(dirname "$0")/../support/e2e.sh"
for tool in scanimage djpeg convert compare; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is missing"; exit 1; }
done
[[ -e $BUILD/libsane-pxcm.so.1 ]] || { echo "FAIL: the backend is not built"; exit 1; }
export PXCM_UI=headless

# One noisy picture of some 200 blocks at 115200 baud, no thumbnail.
mkdir -p "$WORK/pics" "$WORK/conf"
convert -size 320x240 xc: +noise Random -seed 7 -quality 80 "$WORK/pics/p1.jpg"
djpeg -pnm -outfile "$WORK/ref.ppm" "$WORK/pics/p1.jpg"
echo pxcm >"$WORK/conf/dll.conf"
export SANE_CONFIG_DIR=$WORK/conf
export LD_LIBRARY_PATH=$BUILD${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
unset SANE_DEBUG_PXCM

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# run FRONTEND CAMERA OUT: picture 1 into OUT (a PNG file), as the front
# end's own process (so that a signal reaches it)
run() {
    local frontend=$1 cam=$2 out=$3
    if [[ $frontend == scanimage ]]; then
        printf '%s\nspeed 115200\n' "$WORK/$cam" >"$WORK/conf/pxcm.conf"
        exec scanimage -d "pxcm:$WORK/$cam" --picture 1 --format=png -o "$out"
    fi
    rm -rf "$out.d"
    exec "$PXCM" acquire --port "$WORK/$cam" --select 1 --out "$out.d"
}
get() {  # get FRONTEND CAMERA OUT: as run, in the foreground
    (run "$@") || return
    [[ $1 == scanimage ]] || mv "$3.d/picture-1.png" "$3"
}
same_pixels() {  # same_pixels WHAT FILE: no pixel differs from djpeg's decoding
    local differing
    [[ -s $2 ]] || { fail "$1: no picture written"; return; }
    differing=$(compare -metric AE "$2" "$WORK/ref.ppm" null: 2>&1)
    [[ $differing == 0 ]] || fail "$1: $differing pixels differ from djpeg's decoding"
}

# Debian's scanimage cannot load a backend built with the sanitizers.
frontends=(scanimage acquire)
ldd "$BUILD/libsane-pxcm.so.1" | grep -q libasan && frontends=(acquire)
for frontend in "${frontends[@]}"; do
    # Data blocks stop for good after block 100: one 3 s time-out and one
    # 1 s probe, then the error (every try of the block would be 18 s).
    start_camera "stop-$frontend" --dir "$WORK/pics" --fault stop-after-blocks:100
    t0=$(now_ms)
    get $frontend "stop-$frontend" "$WORK/stop.png" >"$WORK/out" 2>"$WORK/err" &&
        fail "$frontend: a picture whose blocks stopped was reported as taken"
    took=$(($(now_ms) - t0))
    echo "$frontend: the stalled camera's error after $took ms"
    ((took < 9000)) || fail "$frontend: the error took $took ms"
    [[ -s $WORK/stop.png ]] && fail "$frontend: a picture was written"
    if [[ $frontend == scanimage ]]; then
        grep -q "Error during device I/O" "$WORK/err" || { fail "scanimage: not an I/O error:"; cat "$WORK/err"; }
    fi

    # Block 100 is left unanswered once: Ctrl-C while the link waits for it
    # ends the run at once, then the next picture comes whole.
    start_camera "stall-$frontend" --dir "$WORK/pics" --fault fail-block:100:1 --verbose
    run $frontend "stall-$frontend" "$WORK/int.png" >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    for _ in $(seq 100); do grep -q "block 100: no answer" "$WORK/stall-$frontend.err" && break; sleep 0.05; done
    grep -q "block 100: no answer" "$WORK/stall-$frontend.err" || fail "$frontend: block 100 was never asked for"
    sleep 0.3
    kill -INT $pid
    t0=$(now_ms)
    wait $pid && fail "$frontend: an interrupted run exited 0"
    took=$(($(now_ms) - t0))
    echo "$frontend: Ctrl-C amid a silent block ended the run after $took ms"
    ((took < 1000)) || fail "$frontend: Ctrl-C took $took ms"
    [[ -s $WORK/int.png || -s $WORK/int.png.d/picture-1.png ]] && fail "$frontend: Ctrl-C: a picture was written"
    [[ $frontend == acquire ]] && ! grep -q "interrupted" "$WORK/err" && fail "acquire: Ctrl-C: $(cat "$WORK/err")"
    t0=$(now_ms)
    get $frontend "stall-$frontend" "$WORK/next.png" >"$WORK/out" 2>"$WORK/err" ||
        { fail "$frontend: the picture after Ctrl-C failed:"; cat "$WORK/out" "$WORK/err"; }
    took=$(($(now_ms) - t0))
    echo "$frontend: the next picture took $took ms"
    ((took < 3000)) || fail "$frontend: the next picture took $took ms"
    same_pixels "$frontend: the picture after Ctrl-C" "$WORK/next.png"
    rm -f "$WORK/stop.png" "$WORK/int.png" "$WORK/next.png"
done

e2e_result
