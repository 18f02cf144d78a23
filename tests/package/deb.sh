#!/usr/bin/env bash
# deb.sh — the Debian package from a POSIX build folder, installed with apt
# and checked as installed: scanimage lists the simulated camera through the
# installed dll.d entry and backend, a picture comes out pixel-exact against
# djpeg, the open-source Source Manager finds the installed TWAIN source, an
# edited pxcm.conf survives a reinstall, the installed libgphoto2 driver is
# in libgphoto2's driver folder and lists the camera's files (gphoto2 loading
# it alone, from a folder that holds only it); then the package is purged and
# its files are gone. Installs into /usr and /usr/local: run it as root, under
# `flock /tmp/pxcm-usrlocal.lock`.
# Usage: tests/package/deb.sh [BUILD_DIR [SOURCE_DIR]]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "${2:-$here/../..}" && pwd)
build=$(cd "${1:-$source_dir/build/posix}" && pwd)
twain_dsm=$(dirname "$source_dir")/shared/twain-dsm
[ "$(id -u)" -eq 0 ] || { echo "skipped: the package test (installing needs root)"; exit 0; }

work=$(mktemp -d)
camera_pid=""
cleanup() {
  [ -n "$camera_pid" ] && kill "$camera_pid" 2>/dev/null && wait "$camera_pid" 2>/dev/null
  dpkg -s pxcm >/dev/null 2>&1 && apt-get purge -y -qq pxcm >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

deb=$("$source_dir/packaging/build-deb" "$build" "$work") || { echo "FAIL: building the package"; exit 1; }
dpkg -s pxcm >/dev/null 2>&1 && apt-get purge -y -qq pxcm >/dev/null 2>&1
# Everything it depends on is there already: no network.
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" \
  >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; echo "FAIL: apt-get install"; exit 1; }

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
gphoto2_driver=$(pkg-config --variable=driverdir libgphoto2)/pxcm.so
installed=("$gphoto2_driver" /usr/share/doc/pxcm/copyright /usr/share/doc/pxcm/changelog.gz
  /usr/share/lintian/overrides/pxcm /usr/local/bin/pxcm /usr/local/bin/pxcm-camera /usr/local/lib/twain/pxcm/pxcmtwain.ds
  /usr/local/share/pxcm/pxcm.ini /usr/local/share/pxcm/PXCM.src /usr/local/share/pxcm/KMT18V16.html
  "/usr/lib/$multiarch/sane/libsane-pxcm.so.1" /etc/sane.d/pxcm.conf /etc/sane.d/dll.d/pxcm)
for f in "${installed[@]}"; do
  dpkg -S "$f" >/dev/null 2>&1 || fail "$f is not the package's"
done
[ -f /usr/local/lib/twain/pxcm/pxcmtwain.ds ] && [ ! -L /usr/local/lib/twain/pxcm/pxcmtwain.ds ] ||
  fail "the TWAIN source is not a regular file"
conffiles=$(dpkg-query -W -f='${Conffiles}' pxcm)
for f in /etc/sane.d/pxcm.conf /etc/sane.d/dll.d/pxcm; do
  grep -q " $f " <<<"$conffiles" || fail "$f is not a conffile: $conffiles"
done

export PXCM_ROOT=$work/root PXCM_PROMPTS=$work/prompts.jsonl PXCM_UI=headless
unset PXCM_ANSWERS PXCM_DSM PXCM_SERIAL_LOG LD_LIBRARY_PATH SANE_DEBUG_PXCM
/usr/local/bin/pxcm-camera --link "$work/camera" >/dev/null 2>"$work/camera.err" &
camera_pid=$!
for _ in $(seq 50); do [ -e "$work/camera" ] && break; sleep 0.1; done

# The installed pxcm.conf names a user's devices; the simulator's pty is
# named by one in a folder searched first, the installed ones after it (the
# trailing colon): dll.conf, dll.d/pxcm and the backend are the installed ones.
mkdir "$work/conf"
printf '%s\nspeed 115200\n' "$work/camera" >"$work/conf/pxcm.conf"
export SANE_CONFIG_DIR=$work/conf:
out=$(timeout 120 scanimage -L 2>&1) || fail "scanimage -L: $out"
grep -q "^device \`pxcm:$work/camera' is a .* still camera$" <<<"$out" || fail "scanimage -L: $out"
timeout 120 scanimage -d "pxcm:$work/camera" --picture 3 --format=png -o "$work/three.png" 2>"$work/scan.err" ||
  fail "scanimage picture 3: $(cat "$work/scan.err")"
/usr/local/bin/pxcm camera --port "$work/camera" get 3 --out "$work/three.jpg" >/dev/null 2>&1 ||
  fail "installed pxcm camera get 3"
djpeg -pnm -outfile "$work/three.ppm" "$work/three.jpg" 2>/dev/null
differing=$(compare -metric AE "$work/three.png" "$work/three.ppm" null: 2>&1)
[ "$differing" = 0 ] || fail "picture 3 through the installed backend: $differing pixels differ from djpeg"

# The installed camera driver, loaded alone: libgphoto2's folder holds every
# other driver too, so gphoto2 gets a folder with only the installed file.
if command -v gphoto2 >/dev/null; then
  mkdir "$work/camlibs"
  ln -s "$gphoto2_driver" "$work/camlibs/pxcm.so"
  out=$(CAMLIBS=$work/camlibs IOLIBS=$(pkg-config --variable=driverdir libgphoto2_port) HOME=$work \
    timeout -s KILL 120 gphoto2 --camera "Vantrel KMT-18/19" --port "serial:$work/camera" --list-files 2>&1) ||
    fail "gphoto2 with the installed driver: $out"
  grep -q "^#6 *picture-006.jpg" <<<"$out" || fail "the installed driver lists: $out"
else
  echo "skipped: the installed libgphoto2 driver (gphoto2 is missing)"
fi

# The open-source Source Manager finds the installed source.
manager=$build/twain-dsm/libtwaindsm.so
if [ -x "$twain_dsm/build-linux.sh" ]; then
  if [ ! -e "$manager" ]; then
    "$twain_dsm/build-linux.sh" "$build/twain-dsm" >/dev/null 2>&1 || fail "building the manager"
  fi
  out=$(timeout 120 /usr/local/bin/pxcm --dsm "$manager" sources 2>&1) || fail "sources: $out"
  grep -q "^Vantrel KMT-18/19 ver 1.6  (Orvimex TWAIN" <<<"$out" ||
    fail "the manager does not list the installed source: $out"
else
  echo "skipped: the Source Manager check ($twain_dsm is absent)"
fi

# A user's edit of a conffile survives installing the package again.
echo "# edited by the administrator" >>/etc/sane.d/pxcm.conf
DEBIAN_FRONTEND=noninteractive dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || fail "reinstall: $(cat "$work/dpkg.log")"
grep -q "edited by the administrator" /etc/sane.d/pxcm.conf || fail "the reinstall replaced the edited pxcm.conf"

apt-get purge -y -qq pxcm >"$work/purge.log" 2>&1 || fail "purge: $(cat "$work/purge.log")"
for f in "${installed[@]}"; do
  [ -e "$f" ] && fail "$f is left after the purge"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "package: all checks passed"
