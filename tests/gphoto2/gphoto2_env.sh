# gphoto2_env.sh — sourced by the driver's test scripts: libgphoto2 loads
# camera drivers only from the build's gphoto2-camlibs folder, which holds
# our driver alone (no other driver is loaded, listed or run), and its own
# port drivers; a work folder that is HOME (libgphoto2's settings file) and
# the simulated cameras' pictures. Needs BUILD and SOURCE set.
CAMERA=$BUILD/pxcm-camera
export CAMLIBS=$BUILD/gphoto2-camlibs
export IOLIBS=$(pkg-config --variable=driverdir libgphoto2_port)
command -v gphoto2 >/dev/null || { echo "FAIL: gphoto2 is missing"; exit 1; }
[[ -x $CAMERA && -e $CAMLIBS/pxcm.so ]] || { echo "FAIL: pxcm-camera or pxcm.so is not built"; exit 1; }
[[ $(ls "$CAMLIBS") == pxcm.so ]] || { echo "FAIL: $CAMLIBS holds more than pxcm.so"; exit 1; }
[[ -n $IOLIBS && -d $IOLIBS ]] || { echo "FAIL: no libgphoto2 port drivers"; exit 1; }

WORK=$(mktemp -d)
SIMS=()
cleanup() {
    for pid in "${SIMS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    rm -rf "$WORK"
}
trap cleanup EXIT
export HOME=$WORK
cd "$WORK" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

source "$SOURCE/tests/support/test_ppm.sh"
# make_pictures DIR W:H...: one JPEG per size, each with an 80x56 thumbnail.
make_pictures() {
    local dir=$1 n=0; shift
    mkdir -p "$dir"
    for size in "$@"; do
        n=$((n + 1))
        make_ppm "${size%:*}" "${size#*:}" $n | cjpeg -quality 85 >"$dir/p$n.jpg"
        make_ppm 80 56 $((n + 10)) | cjpeg -quality 75 >"$dir/p$n.thumb.jpg"
    done
}
# start_camera NAME DIR [OPTION]...: a simulator on pty $WORK/NAME with DIR's
# pictures, answering only a line in the camera's format (8O2).
start_camera() {
    local name=$1 dir=$2; shift 2
    "$CAMERA" --link "$WORK/$name" --dir "$dir" --check-format "$@" >"$WORK/$name.out" 2>"$WORK/$name.err" &
    SIMS+=($!)
    for _ in $(seq 50); do [[ -e $WORK/$name ]] && return; sleep 0.1; done
    fail "the simulator on $name did not start"
}
# gp NAME ARG...: gphoto2 on camera NAME, bounded
gp() {
    local name=$1; shift
    timeout -s KILL 120 gphoto2 --camera "Vantrel KMT-18/19" --port "serial:$WORK/$name" "$@"
}
