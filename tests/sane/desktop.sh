#!/usr/bin/env bash
# desktop.sh — the backend in the desktop applications, driven with xdotool
# on one Xvfb of the test's own: simple-scan's "Single Page" (the newest
# picture) and "All Pages From Feeder" (every picture once, then it stops),
# saved as PNG; XSane's preview and scan without an error box, and its
# picture chooser reaching every picture. Every picture is compared pixel
# for pixel with djpeg's decoding of the camera's file.
# Usage: desktop.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
source "$SOURCE/tests/sane/sane_env.sh"
sane_require Xvfb xdotool simple-scan xsane dbus-run-session djpeg cjpeg compare import

make_pictures pics 640:480 203:150 320:240
start_camera cam pics
sane_config conf "$WORK/cam"

export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/xdg XDG_CONFIG_HOME=$WORK/home/.config
export XDG_CACHE_HOME=$WORK/home/.cache NO_AT_BRIDGE=1 GTK_A11Y=none
mkdir -p "$HOME/.cache" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A display of our own: Xvfb picks a free number and tells it.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>display.txt >xvfb.log 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do [[ -s display.txt ]] && break; sleep 0.1; done
[[ -s display.txt ]] || { echo "FAIL: Xvfb did not start: $(cat xvfb.log)"; exit 1; }
export DISPLAY=:$(head -1 display.txt)

# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
    local end=$((SECONDS + $1)); shift
    until "$@"; do ((SECONDS < end)) || return 1; sleep 0.2; done
}
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
# key WINDOW KEY...: there is no window manager to give the focus.
key() { local w=$1; shift; xdotool windowfocus --sync "$w" key --window "$w" "$@"; }
has_window() { [[ -n $(window "$1") ]]; }
in_log() { grep -q -- "$2" "$1"; }
count() { grep -c -- "$2" "$1"; }

# --- simple-scan: no place for options; single page and the feeder --------
dbus-run-session -- simple-scan --debug >ss.log 2>&1 &
PIDS+=($!)
wait_for 30 in_log ss.log "Device: name=\"pxcm:$WORK/cam\"" || fail "simple-scan does not list the camera"
wait_for 20 has_window "Document Scanner" || fail "simple-scan shows no window"
win=$(window "Document Scanner")
key "$win" ctrl+1
wait_for 30 in_log ss.log "sane_cancel ()" || fail "simple-scan: the single page did not end"
key "$win" ctrl+f
wait_for 60 in_log ss.log "SANE_STATUS_NO_DOCS" || fail "simple-scan: the feeder did not stop"
sleep 1
starts=$(count ss.log "sane_start (page=.*SANE_STATUS_GOOD")
((starts == 4)) || fail "simple-scan started $starts pictures, not 1 + 3"
in_log ss.log "Unable to" && fail "simple-scan: $(grep -m3 'Unable to' ss.log)"
key "$win" ctrl+s
wait_for 20 has_window "Save As" || fail "simple-scan shows no Save As dialog"
save=$(window "Save As")
key "$save" ctrl+a
xdotool type --window "$save" "$WORK/ss.png"
key "$save" Return
wait_for 20 test -s "$WORK/ss-4.png" || fail "simple-scan saved no four pictures: $(ls)"
sleep 1
same_pixels "simple-scan single page (the newest)" ss-1.png ref3.ppm
for n in 1 2 3; do same_pixels "simple-scan feeder picture $n" "ss-$((n + 1)).png" "ref$n.ppm"; done
[[ -e ss-5.png ]] && fail "simple-scan has more than four pages"
stop_last() {  # the last program started, with what it started
    local pid=${PIDS[-1]}
    kill $(pgrep -P "$pid") "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    unset 'PIDS[-1]'
}
stop_last

# --- XSane: the preview, the scan, and the picture chooser ----------------
# Its automatic enhancement (taken from the preview's histogram) is off, so
# that what it saves is what the backend gave.
mkdir -p "$HOME/.sane/xsane" xs
for pair in xsane-version:'"0.999"' filename:"\"$WORK/xs/pic-0001.pnm\"" auto-enhance-gamma:0 \
    auto-correct-colors:0; do
    printf '"%s"\n%s\n' "${pair%%:*}" "${pair#*:}"
done >"$HOME/.sane/xsane/xsane.rc"
SANE_DEBUG_PXCM=2 xsane --save "pxcm:$WORK/cam" >xs.log 2>&1 &
PIDS+=($!)
# As root it warns first; going on is its default button.
if wait_for 10 has_window "^Warning"; then key "$(window "^Warning")" Return; fi
wait_for 30 has_window "^xsane 0.999" || fail "XSane shows no main window"
wait_for 10 has_window "^Standard options" || fail "XSane shows no standard options"
sleep 2
main=$(window "^xsane 0.999")
preview=$(window "^Preview")
options=$(window "^Standard options")
# Buttons by their place in XSane's windows (no window manager moves them).
xdotool mousemove --window "$preview" 57 505 click 1  # Acquire preview
wait_for 30 in_log xs.log "picture 3 read whole" || {
    import -window root "$WORK/xsane-preview.png"
    fail "XSane: the preview did not end"
}
sleep 2
has_window "^Error" && fail "XSane showed an error window at the preview"
scan_to() {  # scan_to FILE REFERENCE WHAT: Scan, then the file against the reference
    xdotool mousemove --window "$main" 246 388 click 1
    wait_for 30 test -s "$1" || { fail "XSane: $3 wrote no $1"; return; }
    sleep 1
    same_pixels "XSane $3" "$1" "$2"
}
scan_to xs/pic-0001.pnm ref3.ppm "scan after the preview"
# The preview's download served the scan.
downloads=$(count xs.log "downloading picture 3")
((downloads == 1)) || fail "XSane: picture 3 came down the line $downloads times"
# The chooser: the Picture entry of the standard options, each picture.
xdotool windowmove "$options" 700 650
xdotool windowraise "$options"
file=2
for n in 1 2; do
    xdotool mousemove --window "$options" 270 19 click --repeat 3 1
    xdotool type --window "$options" "$n"
    key "$options" Return
    sleep 1
    scan_to "xs/pic-000$file.pnm" "ref$n.ppm" "picture $n"
    file=$((file + 1))
done
has_window "^Error" && fail "XSane showed an error window"
grep -i "failed\|error" xs.log | grep -v "^\[pxcm\]" && fail "XSane complained"
stop_last

finish desktop
