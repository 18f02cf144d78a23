#!/usr/bin/env bash
# cli.sh — the gphoto2 command through the driver, against the simulated
# camera with its line-rate and line-format checks on (8 data bits, odd
# parity, two stop bits, which libgphoto2's own settings cannot carry, put
# back when gphoto2 ends): the camera listed once as "testing",
# the files with their names, sizes and geometry (the thumbnails' too), every picture and thumbnail
# byte for byte, each offered speed and the refused 57600, firmware below and
# from 4.0, a delete (the rest keep their pictures under the camera's new
# numbers), a capture that appears and downloads, the summary, the modes and
# the clock; a camera that goes off mid-picture or never answers.
# Usage: cli.sh BUILD_DIR SOURCE_DIR
set -u
BUILD=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
source "$SOURCE/tests/gphoto2/gphoto2_env.sh"

make_pictures pics 640:480 203:150 320:240

out=$(gphoto2 --list-cameras 2>&1)
grep -q 'Number of supported cameras: 1$' <<<"$out" && grep -q '"Vantrel KMT-18/19" (TESTING)' <<<"$out" ||
    fail "--list-cameras: $out"

start_camera cam pics --check-rate --clock 2001-02-03T04:05 --battery 2 --free 9
out=$(gp cam --list-files 2>&1)
for row in "#1 picture-001.jpg 640x480 $(stat -c %s pics/p1.jpg)" \
    "#2 picture-002.jpg 203x150 $(stat -c %s pics/p2.jpg)" "#3 picture-003.jpg 320x240 $(stat -c %s pics/p3.jpg)"; do
    set -- $row
    grep -qE "^$1 +$2 .* $3 +image/jpeg" <<<"$out" || fail "--list-files lacks $row: $out"
done

# The thumbnail's info: the camera's size in bytes, its 80x56 geometry.
out=$(gp cam --show-info 1 2>&1)
thumb=$(sed -n '/^Thumbnail:/,/^Audio/p' <<<"$out" | tr '\n' ' ' | tr -s ' ')
[[ $thumb == *"Size: $(stat -c %s pics/p1.thumb.jpg) byte(s) Width: 80 pixel(s) Height: 56 pixel(s)"* ]] ||
    fail "--show-info thumbnail: $out"

out=$(gp cam --summary 2>&1)
for line in "Pictures taken: 3" "Pictures left: 9" "Battery: half" "Firmware: 4.0" "Camera clock: 2001-02-03 04:05"; do
    grep -qx "$line" <<<"$out" || fail "--summary lacks '$line': $out"
done

# Every picture and thumbnail at each offered speed, as the camera sent it.
for speed in "" 9600 19200 115200; do
    mkdir "dl$speed" && cd "dl$speed" || exit 1
    gp cam ${speed:+--speed $speed} --get-all-files --get-all-thumbnails >out 2>&1 || fail "get all at '$speed': $(cat out)"
    for i in 1 2 3; do
        cmp -s "picture-00$i.jpg" "../pics/p$i.jpg" || fail "picture $i at '$speed' differs from the camera's JPEG"
        cmp -s "thumb_picture-00$i.jpg" "../pics/p$i.thumb.jpg" || fail "thumbnail $i at '$speed' differs"
    done
    cd .. || exit 1
done
# The camera's format held beside libgphoto2's port is put back at its end.
flags=$(stty -F "$WORK/cam" -a)
grep -qw -- -parodd <<<"$flags" && grep -qw -- -cstopb <<<"$flags" || fail "the line stays odd/2 stop bits: $flags"
gp cam --speed 57600 --list-files >out 2>&1 && fail "--speed 57600 was taken"
grep -q "downloads at 9600, 19200 or 115200 baud, not at 57600" out || fail "--speed 57600: $(cat out)"

# The clock from this computer, then the picture size for the next capture.
before=$(date '+%Y-%m-%d %H:%M')
gp cam --set-config syncdatetime=1 >out 2>&1 || fail "syncdatetime: $(cat out)"
after=$(date '+%Y-%m-%d %H:%M')
clock=$(gp cam --summary 2>&1 | sed -n 's/^Camera clock: //p')
[[ $clock == "$before" || $clock == "$after" ]] || fail "the camera clock is '$clock' after syncdatetime ($before)"
gp cam --set-config datetime=946684800 >out 2>&1 || fail "datetime: $(cat out)"
clock=$(gp cam --get-config datetime 2>&1 | sed -n 's/^Current: //p')
[[ $clock == 946684800 ]] || fail "datetime reads $clock after setting 946684800"
gp cam --set-config picturesize=320x240 --set-config selftimer=0 >out 2>&1 || fail "picturesize: $(cat out)"
grep -q "^Current: 320x240" <(gp cam --get-config picturesize 2>&1) || fail "picturesize did not stay 320x240"

# A capture appears last, and downloads as the camera's new picture.
mkdir shot && cd shot || exit 1
gp cam --capture-image-and-download --keep >out 2>&1 || fail "capture: $(cat out)"
grep -q "New file is in location /picture-004.jpg on the camera" out || fail "capture: $(cat out)"
new=$(ls ../pics/*.jpg | grep -v thumb | tail -n 1)
cmp -s picture-004.jpg "$new" || fail "the captured picture differs from the camera's new one"
grep -qE '^#4 +picture-004.jpg .* 320x240 ' <(gp cam --list-files 2>&1) || fail "the capture is not listed as 320x240"
cd .. || exit 1

# Delete #2 and fetch #2 in the same run: the cached list has moved up, the
# camera renumbered; the name still gets its own picture.
mkdir del && cd del || exit 1
gp cam --delete-file 2 --get-file 2 >out 2>&1 || fail "delete and get: $(cat out)"
cmp -s picture-003.jpg ../pics/p3.jpg || fail "after the delete, #2 is not the camera's third picture"
[[ $(ls ../pics/*.jpg | grep -vc thumb) == 3 ]] || fail "the camera does not hold 3 pictures after the delete"
[[ -e ../pics/p2.jpg ]] && fail "the camera kept the deleted picture"
cmp -s ../pics/p1.jpg ../dl/picture-001.jpg || fail "picture 1 changed"
gp cam --delete-all-files --list-files >out 2>&1 || fail "delete all: $(cat out)"
grep -q "There is no file in folder" out || fail "delete all left files: $(cat out)"
cd .. || exit 1

# Stepped downloads (firmware 3.9).
make_pictures old 320:240 160:120
start_camera tty-old old --check-rate --firmware 3.9
mkdir dlold && cd dlold || exit 1
gp tty-old --get-all-files --get-all-thumbnails >out 2>&1 || fail "firmware 3.9: $(cat out)"
for i in 1 2; do
    cmp -s "picture-00$i.jpg" "../old/p$i.jpg" && cmp -s "thumb_picture-00$i.jpg" "../old/p$i.thumb.jpg" ||
        fail "firmware 3.9: picture $i differs"
done
cd .. || exit 1

# Faults: a camera switched off mid-picture (its line hangs up), one that
# stops sending, one that never answers: an error, and no picture saved.
make_pictures big 640:480
for fault in "exit-after-blocks:100:stopped sending" "stop-after-blocks:100:stopped sending" \
    "silent:does not answer"; do
    spec=${fault%:*} words=${fault##*:} name=f${fault%%:*}
    start_camera "tty-$name" big --fault "$spec"
    mkdir "dl$name" && cd "dl$name" || exit 1
    gp "tty-$name" --get-file 1 >out 2>&1 && fail "$spec: gphoto2 succeeded"
    grep -q "$words" out || fail "$spec: the error does not say '$words': $(cat out)"
    ls | grep -v '^out$' | grep -q . && fail "$spec: a file was left: $(ls)"
    cd .. || exit 1
done

if ((failures)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "PASS"
