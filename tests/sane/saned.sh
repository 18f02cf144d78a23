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
# A network namespace of our own: saned's port is nobody else's.
command -v unshare >/dev/null && command -v ip >/dev/null || { echo "FAIL: unshare or ip is missing"; exit 1; }
if [[ ${PXCM_IN_NETNS:-} != 1 ]]; then
    exec unshare --net env PXCM_IN_NETNS=1 bash "$0" "$@"
fi
ip link set lo up || { echo "FAIL: no loopback in the namespace"; exit 1; }

source "$SOURCE/tests/sane/sane_env.sh"
sane_require saned scanimage djpeg cjpeg compare /usr/bin/python3

# Four pictures of different sizes, an odd width among them: a picture read
# as another's size shows.
make_pictures pics 640:480 203:150 320:240 160:120
start_camera cam pics

# The server's SANE: the pxcm backend of the build folder; the client's: the
# net backend to the loopback.
sane_config server "$WORK/cam"
printf '127.0.0.1\nlocalhost\n' >server/saned.conf
mkdir client
echo net >client/dll.conf
echo 127.0.0.1 >client/net.conf
SANE_CONFIG_DIR=$WORK/server saned -l -e -d 1 -b 127.0.0.1 >saned.out 2>&1 &
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
SANE_CONFIG_DIR=$WORK/server timeout 120 /usr/bin/python3 "$SOURCE/tests/sane/py_client.py" "pxcm:$WORK/cam" "${refs[@]}" ||
    fail "python3-sane"
((failures)) && echo "saned said: $(tail -5 saned.out)"
finish saned
