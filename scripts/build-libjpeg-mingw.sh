#!/usr/bin/env bash
# build-libjpeg-mingw.sh — builds a static libjpeg-turbo (libjpeg 6.2 interface,
# SIMD on) for a MinGW-w64 target from Debian's own source package, and
# installs it into a cache folder that later builds reuse.
#
#   scripts/build-libjpeg-mingw.sh ARCH [DEST]
#
# ARCH is x86_64 or i686. DEST defaults to <repo>/.cache/libjpeg-turbo/ARCH and
# receives lib/libjpeg.a and include/{jpeglib.h,jconfig.h,jmorecfg.h,jerror.h}.
# The machine's apt configuration is left alone: the source package is found
# through a private list of deb-src entries with private state folders.
set -euo pipefail

arch=${1:?usage: build-libjpeg-mingw.sh x86_64|i686 [DEST]}
case "$arch" in
  x86_64 | i686) ;;
  *) echo "build-libjpeg-mingw: unknown arch '$arch' (x86_64 or i686)" >&2; exit 2 ;;
esac

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${PXCM_JPEG_CACHE:-$repo/.cache/libjpeg-turbo}
dest=${2:-$cache/$arch}
toolchain=$repo/cmake/mingw-w64-$arch.cmake
triple=$arch-w64-mingw32

if [[ -f $dest/lib/libjpeg.a && -f $dest/include/jpeglib.h ]]; then
  exit 0
fi

log() { echo "build-libjpeg-mingw: $*" >&2; }

need_cmd() {
  command -v "$1" >/dev/null 2>&1 || { log "$1 is missing (install $2)"; exit 1; }
}
need_cmd "$triple-gcc" "gcc-mingw-w64"
need_cmd nasm nasm
need_cmd cmake cmake

mkdir -p "$cache"
# The win32 and win64 builds may configure at the same time: one fetch only.
exec 9>"$cache/.lock"
flock 9
if [[ -f $dest/lib/libjpeg.a && -f $dest/include/jpeglib.h ]]; then
  exit 0
fi

src_root=$cache/src
if ! compgen -G "$src_root/libjpeg-turbo-*/CMakeLists.txt" >/dev/null; then
  # apt-get source unpacks with dpkg-source (dpkg-dev).
  if ! command -v dpkg-source >/dev/null 2>&1; then
    log "installing dpkg-dev for apt-get source"
    if ! apt-get install -y --no-install-recommends dpkg-dev >&2; then
      apt-get update >&2
      apt-get install -y --no-install-recommends dpkg-dev >&2
    fi
  fi
  apt_dir=$cache/apt
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  cat >"$apt_dir/sources.list" <<'EOF'
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
EOF
  apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
            -o Dir::Etc::SourceParts=/dev/null
            -o "Dir::State::Lists=$apt_dir/lists"
            -o "Dir::Cache=$apt_dir/cache")
  log "fetching the libjpeg-turbo source package"
  apt-get "${apt_opts[@]}" update >&2
  rm -rf "$src_root.tmp"
  mkdir -p "$src_root.tmp"
  (cd "$src_root.tmp" && apt-get "${apt_opts[@]}" source libjpeg-turbo >&2)
  rm -rf "$src_root"
  mv "$src_root.tmp" "$src_root"
fi
src=$(compgen -G "$src_root/libjpeg-turbo-*/CMakeLists.txt" | head -n1)
src=$(dirname "$src")

build=$cache/build-$arch
rm -rf "$build"
log "building libjpeg-turbo for $triple"
cmake -S "$src" -B "$build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$dest" \
  -DCMAKE_ASM_NASM_COMPILER=nasm \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
  -DWITH_TURBOJPEG=OFF -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF \
  -DWITH_CRT_DLL=ON >&2
cmake --build "$build" --target jpeg-static -j "$(nproc)" >&2

rm -rf "$dest.tmp"
mkdir -p "$dest.tmp/lib" "$dest.tmp/include"
cp "$build/libjpeg.a" "$dest.tmp/lib/libjpeg.a"
cp "$build/jconfig.h" "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$dest.tmp/include/"
rm -rf "$dest"
mv "$dest.tmp" "$dest"
rm -rf "$build"
log "installed $dest"
