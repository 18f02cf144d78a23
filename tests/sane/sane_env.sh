# sane_env.sh — sourced by the backend's test scripts: a work folder of its
# own (kept with KEEP=1), the simulated cameras each test starts and stops,
# pictures with djpeg's decodings, a private SANE configuration that loads
# the build's backend alone, and the common end. Needs BUILD and SOURCE set;
# `sane_require TOOL...` first for the tools a test needs.
CAMERA=$BUILD/pxcm-camera
sane_require() {
    local tool
    for tool in "$@"; do command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing"; exit 1; }; done
}
[[ -x $CAMERA && -e $BUILD/libsane-pxcm.so.1 ]] || { echo "FAIL: pxcm-camera or the backend is not built"; exit 1; }

WORK=$(mktemp -d)
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    [[ -n ${KEEP:-} ]] && { echo "kept $WORK"; return; }
    rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
source "$SOURCE/tests/support/test_ppm.sh"

# make_pictures DIR W:H...: pN.jpg of each size with an 80x56 thumbnail
# pN.thumb.jpg, and djpeg's decodings refN.ppm and refN.thumb.ppm here.
make_pictures() {
    local dir=$1 n=0; shift
    mkdir -p "$dir"
    for size in "$@"; do
        n=$((n + 1))
        make_ppm "${size%:*}" "${size#*:}" $n | cjpeg -quality 85 -outfile "$dir/p$n.jpg"
        make_ppm 80 56 $((n + 10)) | cjpeg -quality 75 -outfile "$dir/p$n.thumb.jpg"
        djpeg -pnm -outfile "ref$n.ppm" "$dir/p$n.jpg"
        djpeg -pnm -outfile "ref$n.thumb.ppm" "$dir/p$n.thumb.jpg"
    done
}
# start_camera NAME DIR [OPTION]...: a simulator on pty $WORK/NAME with DIR's
# pictures (DIR "": its own samples).
start_camera() {
    local name=$1 dir=$2; shift 2
    [[ -z $dir || $dir == /* ]] || dir=$WORK/$dir
    "$CAMERA" --link "$WORK/$name" ${dir:+--dir "$dir"} "$@" \
        >"$WORK/$name.out" 2>"$WORK/$name.err" &
    PIDS+=($!)
    for _ in $(seq 50); do [[ -e $WORK/$name ]] && return; sleep 0.1; done
    fail "the simulator on $name did not start"
}
# sane_config DIR DEVICE...: SANE's configuration in $WORK/DIR, the dll
# backend loading pxcm alone, pxcm.conf naming these devices.
sane_config() {
    local dir=$WORK/$1; shift
    mkdir -p "$dir"
    echo pxcm >"$dir/dll.conf"
    { echo "# devices of this test"; printf '%s\n' "$@"; echo "speed 115200"; } >"$dir/pxcm.conf"
}
export SANE_CONFIG_DIR=$WORK/conf PXCM_ROOT=$WORK/root PXCM_PROMPTS=$WORK/prompts.jsonl
export LD_LIBRARY_PATH=$BUILD${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
unset SANE_DEBUG_PXCM PXCM_SERIAL_LOG

same_pixels() {  # same_pixels WHAT SCAN REFERENCE: no pixel differs
    local what=$1 scan=$2 ref=$3 differing
    [[ -s $scan ]] || { fail "$what: no picture written"; return; }
    differing=$(compare -metric AE "$scan" "$ref" null: 2>&1)
    [[ $differing == 0 ]] || fail "$what: $differing pixels differ from djpeg's decoding"
}
# finish NAME: the backend showed no box; the failures, or that all passed.
finish() {
    [[ -s $PXCM_PROMPTS ]] && fail "the backend showed a box: $(cat "$PXCM_PROMPTS")"
    if ((failures)); then
        echo "$failures failure(s)"
        exit 1
    fi
    echo "$1: all checks passed"
    exit 0
}
