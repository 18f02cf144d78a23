#!/usr/bin/env bash
# install.sh — `cmake --install` into a fresh prefix: the programs, the source
# as a regular file under lib/twain, the defaults under share/pxcm; the
# installed pxcm finds the installed source, whose first use seeds a user's
# settings and leaves them alone afterwards.
# Usage: install.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
export PXCM_ROOT=$work/root PXCM_PROMPTS=$work/prompts.jsonl
unset PXCM_ANSWERS PXCM_DSM
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }

for program in pxcm pxcm-camera; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program not installed"
done
ds=$prefix/lib/twain/pxcm/pxcmtwain.ds
[ -f "$ds" ] && [ ! -L "$ds" ] || fail "lib/twain/pxcm/pxcmtwain.ds is not a regular file"
"$source_dir/scripts/check-exports" "$ds" >/dev/null || fail "the installed source exports more than DS_Entry"
for file in pxcm.ini PXCM.src; do
  cmp -s "$prefix/share/pxcm/$file" "$source_dir/resources/settings/$file" || fail "share/pxcm/$file"
done
if [ -f "$source_dir/resources/help/KMT18V16.html" ]; then
  cmp -s "$prefix/share/pxcm/KMT18V16.html" "$source_dir/resources/help/KMT18V16.html" ||
    fail "share/pxcm/KMT18V16.html"
fi
# Nothing but what was named.
extra=$(cd "$prefix" && find . -type f | sort | grep -vxE '\./bin/pxcm(-camera)?|\./lib/twain/pxcm/pxcmtwain\.ds|\./share/pxcm/(pxcm\.ini|PXCM\.src|KMT18V16\.html)')
[ -z "$extra" ] || fail "installed more than asked: $extra"

# A user who never ran pxcm: opening the installed source (pxcm status
# installs nothing itself) gives them the installed settings.
out=$("$prefix/bin/pxcm" status 2>&1) || fail "installed pxcm status exited $?: $out"
grep -q "condition code:  0 (TWCC_SUCCESS)" <<<"$out" || fail "status: $out"
cmp -s "$PXCM_ROOT/windows/pxcm.ini" "$prefix/share/pxcm/pxcm.ini" || fail "pxcm.ini not seeded"
cmp -s "$PXCM_ROOT/windows/PXCM.src" "$prefix/share/pxcm/PXCM.src" || fail "PXCM.src not seeded"
out=$("$prefix/bin/pxcm" cap set ICAP_XFERMECH TWSX_MEMORY 2>&1) || fail "cap set exited $?: $out"
out=$("$prefix/bin/pxcm" status 2>&1) || fail "second status exited $?"
grep -q "^Current=TWSX_MEMORY" "$PXCM_ROOT/windows/PXCM.src" || fail "the user's settings were replaced"
[ -s "$PXCM_PROMPTS" ] && fail "boxes shown: $(cat "$PXCM_PROMPTS")"

# The installed source loads from anywhere, not only beside pxcm.
cd "$work" && out=$("$prefix/bin/pxcm" --ds "$ds" identity 2>&1) || fail "identity of the installed source: $out"

[ "$failures" -eq 0 ] && echo "install: all passed"
exit $((failures > 0))
