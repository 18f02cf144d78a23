#!/usr/bin/env bash
# saned.sh — the backend over the network: saned serves it on a private
# network namespace's loopback, and scanimage and python3-sane reach it
# through SANE's net backend. Every picture of the feeder arrives whole and
# pixel for pixel, three batches in a row; python3-sane also sees each
# picture's parameters hold after its end, locally and over the network.
# Usage: saned.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
CAMERA=$BUILD/pxcm-camera
for tool in saned scanimage unshare ip djpeg cjpeg compare /usr/bin/python3; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is missing"; exit 1; }
done
[[ -x $CAMERA && -e $BUILD/libsane-pxcm.so.1 ]] || { echo "FAIL: not built"; exit 1; }
# A network namespace of our own: saned's port is nobody else's.
if [[ ${PXCM_IN_NETNS:-} != 1 ]]; then
    exec unshare --net env PXCM_IN_NETNS=1 bash "$0" "$@"
fi
ip link set lo up || { echo "FAIL: no loopback in the namespace"; exit 1; }

WORK=$(mktemp -d)
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
source "$SOURCE/tests/support/test_ppm.sh"

# Four pictures of different sizes, an odd width among them: a picture read
# as another's size shows.
mkdir pics
n=0
for size in "640 480" "203 150" "320 240" "160 120"; do
    n=$((n + 1))
    set -- $size
    make_ppm "$1" "$2" $n | cjpeg -quality 85 -outfile "pics/p$n.jpg"
    make_ppm 80 56 $((n + 10)) | cjpeg -quality 75 -outfile "pics/p$n.thumb.jpg"
    djpeg -pnm -outfile "ref$n.ppm" "pics/p$n.jpg"
done
"$CAMERA" --dir "$WORK/pics" --link "$WORK/cam" >sim.out 2>sim.err &
PIDS+=($!)
for _ in $(seq 50); do [[ -e $WORK/cam ]] && break; sleep 0.1; done

# The server's SANE: the pxcm backend of the build folder; the client's: the
# net backend to the loopback.
mkdir server client
echo pxcm >server/dll.conf
printf '%s\nspeed 115200\n' "$WORK/cam" >server/pxcm.conf
printf '127.0.0.1\nlocalhost\n' >server/saned.conf
echo net >client/dll.conf
echo 127.0.0.1 >client/net.conf
export PXCM_ROOT=$WORK/root PXCM_PROMPTS=$WORK/prompts.jsonl
SANE_CONFIG_DIR=$WORK/server LD_LIBRARY_PATH=$BUILD${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} \
    saned -l -e -d 1 -b 127.0.0.1 >saned.out 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do
    SANE_CONFIG_DIR=$WORK/client scanimage -L 2>/dev/null | grep -q "net:127.0.0.1:pxcm" && break
    sleep 0.1
done
DEVICE=net:127.0.0.1:pxcm:$WORK/cam
SANE_CONFIG_DIR=$WORK/client scanimage -L >list.out 2>&1
grep -q "\`$DEVICE'" list.out || fail "the net backend does not list the camera: $(cat list.out)"

for run in 1 2 3; do
    SANE_CONFIG_DIR=$WORK/client timeout 120 scanimage -d "$DEVICE" --source ADF \
        --batch="run$run-%d.pnm" --format=pnm >"run$run.out" 2>&1
    status=$?
    ((status == 0)) || fail "batch $run exited $status: $(tail -3 "run$run.out")"
    grep -q "Batch terminated, 4 pages scanned" "run$run.out" ||
        fail "batch $run did not end after 4: $(tail -3 "run$run.out")"
    for n in 1 2 3 4; do
        differing=$(compare -metric AE "run$run-$n.pnm" "ref$n.ppm" null: 2>&1)
        [[ $differing == 0 ]] || fail "batch $run picture $n: $differing"
    done
    [[ -e run$run-5.pnm ]] && fail "batch $run wrote a fifth picture"
done

refs=("$WORK"/ref{1,2,3,4}.ppm)
SANE_CONFIG_DIR=$WORK/client timeout 120 /usr/bin/python3 "$SOURCE/tests/sane/py_client.py" \
    "$DEVICE" "${refs[@]}" || fail "python3-sane over the network"
SANE_CONFIG_DIR=$WORK/server LD_LIBRARY_PATH=$BUILD${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} \
    timeout 120 /usr/bin/python3 "$SOURCE/tests/sane/py_client.py" "pxcm:$WORK/cam" "${refs[@]}" ||
    fail "python3-sane"
[[ -s prompts.jsonl ]] && fail "the backend showed a box: $(cat prompts.jsonl)"

if ((failures)); then
    echo "$failures failures; saned said: $(tail -5 saned.out)"
    exit 1
fi
echo "saned: all checks passed"
