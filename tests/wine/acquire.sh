#!/usr/bin/env bash
# The camera window and the transfers of the Windows source (x64 or x86, as
# the build holds) under wine, through
# a real Source Manager, with the simulated camera on COM3: the window shows
# the camera's thumbnails (screenshot checked at the button faces and the
# first thumbnail cell), xdotool clicks select two thumbnails and press Load,
# both pictures arrive by the given transfer mechanism pixel for pixel as
# libjpeg decodes the camera's files, and Exit makes the application disable
# and close the source; or the application disables and closes the source
# itself once Count is 0, as most applications do. As a console application
# ("console": no window of its own, a null parent everywhere) the application
# is woken by Load and by Exit alone, with no input after either.
# Usage: tests/wine/acquire.sh WIN_BUILD POSIX_BUILD MANAGER MECH [exit|count0 [console]]
#   MANAGER: "wine" (wine's twain_32, the source as twain_64\sane.ds, or
#   twain_32\sane.ds for x86), a path to the open-source manager's
#   TWAINDSM.dll of the build's architecture (the source copied to
#   twain_64\pxcm or twain_32\pxcm), or "installed:" and that path (the
#   source where the setup program put it).
# Needs WINEPREFIX (a booted prefix) and DISPLAY (an X server) set.
set -euo pipefail
win=$(cd "$1" && pwd)
posix=$(cd "$2" && pwd)
manager=$3
mech=$4
ending=${5:-exit}
kind=${6:-window}
repo=$(cd "$(dirname "$0")/../.." && pwd)
: "${WINEPREFIX:?}" "${DISPLAY:?}"

. "$repo/tests/wine/camera_run.sh"

# Three pictures with thumbnails, made with ImageMagick.
pics=$work/pictures
mkdir -p "$pics"
convert -size 640x480 gradient:'#c03020'-'#2040d0' -swirl 90 -quality 90 "$pics/a.jpg"
convert -size 320x240 plasma:fractal -seed 7 -quality 85 "$pics/b.jpg" 2>/dev/null ||
  convert -size 320x240 gradient:'#20c040'-'#f0e020' -quality 85 "$pics/b.jpg"
convert -size 640x480 radial-gradient:'#ffffff'-'#303030' -quality 90 "$pics/c.jpg"
for p in a b c; do convert "$pics/$p.jpg" -resize '80x56!' -quality 80 "$pics/$p.thumb.jpg"; done

start_camera --dir "$pics"

installed=""
case $manager in installed:*) installed=1; manager=${manager#installed:} ;; esac
rm -f "$sys/$twain/sane.ds"
[ -n "$installed" ] || rm -rf "$sys/$twain/pxcm"
appdir=$work/app
mkdir -p "$appdir" "$work/out"
cp "$win/tests/wine/twain_acquire.exe" "$appdir/"
if [ "$manager" = wine ]; then
  mkdir -p "$sys/$twain"
  cp "$win/pxcmtwain.ds" "$sys/$twain/sane.ds"
  dll=twain_32.dll
else
  if [ -n "$installed" ]; then
    cmp -s "$win/pxcmtwain.ds" "$sys/$twain/pxcm/pxcmtwain.ds" ||
      fail "the setup program did not install this source as $twain\\pxcm\\pxcmtwain.ds"
  else
    mkdir -p "$sys/$twain/pxcm"
    cp "$win/pxcmtwain.ds" "$sys/$twain/pxcm/pxcmtwain.ds"
  fi
  cp "$manager" "$appdir/TWAINDSM.dll"
  dll=TWAINDSM.dll
fi
# The settings: the defaults, with the 115200 baud download speed (wine
# cannot set 56000 baud on a pty and falls back to 38400).
cp "$repo/resources/settings/PXCM.src" "$sys/"
sed 's/^SERIAL_SPEED=15/SERIAL_SPEED=7/' "$repo/resources/settings/pxcm.ini" >"$sys/pxcm.ini"

outwin=$(winepath -w "$work/out")
app_args=()
[ "$ending" = count0 ] && app_args+=(--disable-at-zero)
[ "$kind" = console ] && app_args+=(--no-parent)
(cd "$appdir" && exec wine ./twain_acquire.exe "$dll" "$mech" "$outwin" "${app_args[@]}") >"$work/app.log" 2>&1 &
app=$!

caption='Vantrel Digital Camera KMT-18/19 TWAIN Driver'
wid=$(timeout 60 xdotool search --sync --onlyvisible --name "$caption" | head -n1) ||
  fail "the camera window did not appear"
what="$twain, $(basename "$manager"), $mech"
[ "$kind" = console ] && what="$what, console"
echo "ok   the camera window is shown ($what)"

# The first paint fetches the thumbnails: wait until each of the three cells
# shows its picture's thumbnail as libjpeg decodes it (clicks before that
# would wait behind the downloads).
shot=$work/shot.png
cells=""
for p in a b c; do
  djpeg -bmp "$pics/$p.thumb.jpg" >"$work/thumb-$p.bmp"
  cells="$cells $(convert "$work/thumb-$p.bmp" -format '%[pixel:p{40,28}]' info:)"
done
read -r want_a want_b want_c <<<"$cells"
ok=""
for _ in $(seq 150); do
  import -window "$wid" "$shot" 2>/dev/null || true
  got=$(convert "$shot" -format '%[pixel:p{70,48}] %[pixel:p{175,48}] %[pixel:p{280,48}]' info: 2>/dev/null || echo none)
  [ "$got" = "$want_a $want_b $want_c" ] && { ok=1; break; }
  sleep 0.2
done
[ -n "$ok" ] || fail "the thumbnail cells show $got, not $want_a $want_b $want_c"
echo "ok   the thumbnail cells show the camera's thumbnails"
# The whole cell equals the decoded thumbnail.
convert "$shot" -crop 80x56+30+20 +repage "$work/cell.png"
ae=$(compare -metric AE "$work/cell.png" "$work/thumb-a.bmp" null: 2>&1 || true)
[ "$ae" = 0 ] || fail "the first cell differs from the thumbnail in $ae pixels"

# Each push button shows its up face at its rectangle.
while read -r id x y; do
  face=$(ls "$repo"/resources/skin/"$id"-*.bmp 2>/dev/null | head -n1)
  [ -n "$face" ] || fail "no face bitmap $id"
  want=$(convert "$face" -format '%[pixel:p{10,10}]' info:)
  got=$(convert "$shot" -format "%[pixel:p{$((x + 10)),$((y + 10))}]" info:)
  [ "$want" = "$got" ] || fail "button face $id at ($x,$y): $got, not $want"
done <<'FACES'
169 236 345
163 18 345
167 169 345
165 102 345
171 455 150
173 455 190
194 455 110
192 458 370
FACES
echo "ok   the button faces are at their rectangles"

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.7; }
click 70 48     # first thumbnail
click 175 48    # second thumbnail
import -window "$wid" "$shot"
sel=$(convert "$shot" -format '%[pixel:p{27,48}]' info:)
norm=$(convert "$repo"/resources/skin/102-*.bmp -format '%[pixel:p{2,30}]' info:)
[ "$sel" != "$norm" ] || fail "the selected thumbnail has no selected frame"
click 276 357    # Load

for _ in $(seq 300); do
  grep -q '^picture 2 ' "$work/app.log" && break
  kill -0 "$app" 2>/dev/null || break
  sleep 0.2
done
grep -q '^picture 2 ' "$work/app.log" || fail "two pictures did not arrive"
[ "$(grep -o '^Count [0-9]*' "$work/app.log" | tr '\n' ' ')" = "Count 2 Count 1 Count 0 " ] ||
  fail "the counts were not 2 at the announcement, then 1 and 0: $(grep '^Count' "$work/app.log" | tr '\n' ' ')"
for n in 1 2; do
  src=$pics/$([ $n = 1 ] && echo a || echo b).jpg
  djpeg -bmp "$src" >"$work/want-$n.bmp"
  ae=$(compare -metric AE "$work/out/picture-$n.bmp" "$work/want-$n.bmp" null: 2>&1 || true)
  [ "$ae" = 0 ] || fail "picture $n differs from the decoded camera file in $ae pixels"
done
echo "ok   both pictures arrived by $mech transfer, pixel for pixel"

if [ "$ending" = count0 ]; then
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$app" 2>/dev/null && fail "the application did not end at Count 0"
  wait "$app" || fail "the application failed"
  app=""
  grep -q 'disabling at Count 0' "$work/app.log" || fail "the application did not disable at Count 0"
  grep -q '^pictures: 2\b' "$work/app.log" || fail "not both pictures arrived before Count 0"
  grep -q '^ok   MSG_CLOSEDS' "$work/app.log" || fail "the source was not closed"
  echo "ok   disabled and closed at Count 0 with both pictures ($what)"
  exit 0
fi
click 59 357     # Exit
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
kill -0 "$app" 2>/dev/null && fail "the application did not end after Exit"
wait "$app" || fail "the application failed"
app=""
grep -q 'close requested' "$work/app.log" || fail "no MSG_CLOSEDSREQ"
grep -q '^ok   MSG_CLOSEDS' "$work/app.log" || fail "the source was not closed"
echo "ok   Exit: MSG_CLOSEDSREQ, disabled and closed ($what)"
