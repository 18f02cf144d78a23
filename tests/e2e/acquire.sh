#!/usr/bin/env bash
# acquire.sh — `pxcm acquire` against the simulated camera: the headless
# camera window selects and loads, and every picture that arrives by native
# and by memory transfer equals the camera's JPEG decoded by libjpeg's djpeg,
# pixel for pixel; the refusals with their messages and exit codes.
# Usage: acquire.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$1
for tool in djpeg compare convert; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done

source "$(dirname "$0")/../support/e2e.sh"
export PXCM_UI=headless

# same_picture FILE JPEG: the file's pixels are libjpeg's decoding of the JPEG
same_picture() {
    djpeg -ppm "$2" >"$WORK/ref.ppm" || { fail "djpeg cannot read $2"; return; }
    local ae
    ae=$(compare -metric AE "$1" "$WORK/ref.ppm" null: 2>&1)
    [[ $ae == 0 ]] || fail "$(basename "$1") differs from $(basename "$2") in $ae pixels"
}

# The six sample pictures, fetched as the camera holds them.
start_camera samples
for n in 1 2 3 4 5 6; do
    check "camera get $n" "$PXCM" camera --port "$WORK/samples" get $n --out "$WORK/sample-$n.jpg"
done

for mech in native memory; do
    out=$WORK/$mech
    check "acquire all by $mech" "$PXCM" acquire --port "$WORK/samples" --mech $mech \
        --select all --out "$out" --window-png "$WORK/window-$mech.png"
    [[ $(grep -c "^picture [1-6]: .*, $mech, [0-9]* ms -> " "$WORK/out") == 6 ]] ||
        { fail "six picture lines by $mech:"; cat "$WORK/out"; }
    grep -q '^picture 1: 640 x 480' "$WORK/out" || fail "picture 1 is not 640 x 480"
    grep -q '^picture 2: 320 x 240' "$WORK/out" || fail "picture 2 is not 320 x 240"
    for n in 1 2 3 4 5 6; do
        same_picture "$out/picture-$n.png" "$WORK/sample-$n.jpg"
    done
    [[ -s $WORK/window-$mech.png ]] || fail "no window picture by $mech"
done

# Two chosen pictures as BMP files, named by their numbers.
check "acquire 2,5 as BMP" "$PXCM" acquire --port "$WORK/samples" --select 5,2 --format bmp \
    --mech memory --out "$WORK/bmp"
[[ $(ls "$WORK/bmp") == $'picture-2.bmp\npicture-5.bmp' ]] || { fail "BMP files:"; ls "$WORK/bmp"; }
same_picture "$WORK/bmp/picture-2.bmp" "$WORK/sample-2.jpg"
same_picture "$WORK/bmp/picture-5.bmp" "$WORK/sample-5.jpg"

# A picture whose rows are not a multiple of 4 bytes, among others.
mkdir -p "$WORK/odd"
convert -size 333x211 gradient:'#ff8000-#0040ff' -quality 90 "$WORK/odd/b.jpg"
convert -size 64x48 plasma:fractal -seed 3 -quality 90 "$WORK/odd/a.jpg" 2>/dev/null ||
    convert -size 64x48 gradient:red-green "$WORK/odd/a.jpg"
start_camera oddcam --dir "$WORK/odd"
for mech in native memory; do
    check "odd width by $mech" "$PXCM" acquire --port "$WORK/oddcam" --mech $mech --select 2 \
        --out "$WORK/odd-$mech"
    grep -q "^picture 2: 333 x 211, $mech" "$WORK/out" || { fail "odd width line:"; cat "$WORK/out"; }
    same_picture "$WORK/odd-$mech/picture-2.png" "$WORK/odd/b.jpg"
done

# More pictures than a page: the first paint scrolls, the selection
# scrolls back and down again to reach each one.
mkdir -p "$WORK/many"
for i in $(seq 1 14); do
    n=$(printf %02d "$i")
    convert -size 48x32 gradient:"rgb($((i * 18)),40,0)-blue" "$WORK/many/p$n.jpg"
done
start_camera manycam --dir "$WORK/many"
check "pictures beyond the first page" "$PXCM" acquire --port "$WORK/manycam" \
    --select 14,2,13 --out "$WORK/many-out"
[[ $(grep -o '^picture [0-9]*' "$WORK/out" | tr '\n' ' ') == "picture 2 picture 13 picture 14 " ]] ||
    { fail "pictures 2, 13, 14 in that order:"; cat "$WORK/out"; }
for n in 2 13 14; do
    same_picture "$WORK/many-out/picture-$n.png" "$WORK/many/p$(printf %02d $n).jpg"
done

# A script: a double click on the first thumbnail hands over picture 1.
printf '# double click\npaint\ndblclick 70 48\nclose\n' >"$WORK/dbl.script"
check "double click script" "$PXCM" acquire --port "$WORK/oddcam" --script "$WORK/dbl.script" \
    --out "$WORK/script"
grep -q '^picture 1: 64 x 48, native' "$WORK/out" || { fail "double click:"; cat "$WORK/out"; }
same_picture "$WORK/script/picture-1.png" "$WORK/odd/a.jpg"

refuse "a picture beyond the camera's" "picture 9 did not arrive" \
    "$PXCM" acquire --port "$WORK/oddcam" --select 1,9 --out "$WORK/beyond"
[[ -e $WORK/beyond/picture-1.png ]] || fail "picture 1 of 1,9 was not written"
refuse "nothing selected" "no picture arrived" \
    "$PXCM" acquire --port "$WORK/oddcam" --script /dev/null --out "$WORK/none"
refuse "headless without a plan" "needs --select or --script" \
    "$PXCM" acquire --port "$WORK/oddcam" --out "$WORK/none"
printf 'click 1\n' >"$WORK/bad.script"
refuse "bad script" "bad.script:1: click takes X Y" \
    "$PXCM" acquire --port "$WORK/oddcam" --script "$WORK/bad.script"
refuse "bad selection" "--select takes all or picture numbers" \
    "$PXCM" acquire --port "$WORK/oddcam" --select 0
refuse "bad mechanism" "--mech takes native or memory" "$PXCM" acquire --mech file --select all
refuse "no camera" "no camera answers on $WORK/nothing" \
    "$PXCM" acquire --port "$WORK/nothing" --select all --out "$WORK/none"
[[ -z $(ls -A "$WORK/none" 2>/dev/null) ]] || fail "refused runs wrote pictures"

# No box along the way but the scan's own when no camera answers.
grep -v 'Camera does not respond' "$PXCM_PROMPTS" 2>/dev/null | grep -q . &&
    { fail "unexpected message boxes:"; cat "$PXCM_PROMPTS"; }

e2e_result
