# e2e.sh — sourced by the end-to-end scripts that drive pxcm and the simulated
# camera: the programs (skipping when unbuilt), a work folder removed with
# every camera at exit, a fresh settings root, and the checks that count
# failures. Needs BUILD set to the build folder.
PXCM=$BUILD/pxcm
CAMERA=$BUILD/pxcm-camera
if [[ ! -x $PXCM || ! -x $CAMERA ]]; then
    echo "SKIP: pxcm or pxcm-camera is not built"
    exit 0
fi

WORK=$(mktemp -d)
PIDS=()
e2e_cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    rm -rf "$WORK"
}
trap e2e_cleanup EXIT

export PXCM_ROOT=$WORK/root
export PXCM_PROMPTS=$WORK/prompts.jsonl
unset PXCM_ANSWERS PXCM_SERIAL_LOG PXCM_WINDOW_PNG
mkdir -p "$PXCM_ROOT/windows"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...: the command must succeed
    local what=$1; shift
    if ! "$@" >"$WORK/out" 2>"$WORK/err"; then
        fail "$what"; cat "$WORK/out" "$WORK/err"
    fi
}
refuse() {  # refuse DESCRIPTION PATTERN COMMAND...: must fail, last stderr line matching
    local what=$1 pattern=$2; shift 2
    if "$@" >"$WORK/out" 2>"$WORK/err"; then
        fail "$what succeeded"; return
    fi
    tail -n 1 "$WORK/err" | grep -q -- "$pattern" || { fail "$what: stderr does not say '$pattern':"; cat "$WORK/err"; }
}
expect_out() {  # expect_out DESCRIPTION PATTERN: the last command's stdout matches
    grep -q -- "$2" "$WORK/out" || { fail "$1: stdout lacks '$2':"; cat "$WORK/out"; }
}
# start_camera NAME ARGS...: a simulated camera whose pty is $WORK/NAME
start_camera() {
    local name=$1; shift
    "$CAMERA" --link "$WORK/$name" "$@" >"$WORK/$name.out" 2>"$WORK/$name.err" &
    PIDS+=($!)
    for _ in $(seq 50); do [[ -e $WORK/$name ]] && break; sleep 0.1; done
}
# e2e_result: the summary line and the exit status
e2e_result() {
    if ((failures)); then
        echo "$failures failure(s)"
        exit 1
    fi
    echo "PASS"
    exit 0
}
