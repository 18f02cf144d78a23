#!/usr/bin/env bash
# lintian.sh — lintian on the Debian package: no error or warning but the
# /usr/local tags that the package overrides (the open-source Source
# Manager's search folder), and those overrides in use, each with its reason.
# Usage: tests/package/lintian.sh [BUILD_DIR [SOURCE_DIR]]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "${2:-$here/../..}" && pwd)
build=$(cd "${1:-$source_dir/build/posix}" && pwd)
command -v lintian >/dev/null || { echo "FAIL: lintian is missing"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

deb=$("$source_dir/packaging/build-deb" "$build" "$work") || { echo "FAIL: building the package"; exit 1; }
lintian --show-overrides "$deb" >"$work/lintian.txt" 2>&1
grep -E '^[EW]: ' "$work/lintian.txt" && fail "lintian reports the errors and warnings above"
for tag in dir-in-usr-local file-in-usr-local file-in-unusual-dir; do
    grep -qE "^O: pxcm: $tag \[usr/local/" "$work/lintian.txt" || fail "the override of $tag is not in use"
done
grep -q '^N: The open-source TWAIN Source Manager on Linux looks' "$work/lintian.txt" ||
    fail "the overrides do not say why"
dpkg-deb -c "$deb" >"$work/contents.txt"
for f in ./usr/share/doc/pxcm/copyright ./usr/share/doc/pxcm/changelog.gz; do
    grep -q " $f$" "$work/contents.txt" || fail "the package lacks $f"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures failures"
    exit 1
fi
echo "lintian: clean but for the overridden /usr/local tags"
