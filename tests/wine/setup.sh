#!/usr/bin/env bash
# setup.sh — pxcm-setup.exe /S in a fresh wine prefix: both sources, the
# settings and the help page land where they should (a user's own settings
# file stays), the installed pxcm.exe finds the x64 source, the open-source
# manager lists and opens it where the setup put it, the uninstall
# entry is registered; the silent uninstaller takes away what the setup put
# there and nothing else, and keeps a seeded settings file the user edited.
# Usage: tests/wine/setup.sh SETUP_EXE WIN32_BUILD WIN64_BUILD [SOURCE_DIR]
set -uo pipefail
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
win32=$(cd "$2" && pwd)
win64=$(cd "$3" && pwd)
source_dir=$(cd "${4:-$(dirname "$0")/../..}" && pwd)
for f in "$setup" "$win32/pxcmtwain.ds" "$win64/pxcmtwain.ds"; do
  [ -f "$f" ] || { echo "missing $f"; exit 1; }
done

prefix=$(mktemp -d "${TMPDIR:-/tmp}/pxcm-setup-XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

wineboot -i >/dev/null 2>&1
windows=$prefix/drive_c/windows
program=$prefix/drive_c/Program\ Files/pxcm
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\pxcm'
help_page=$source_dir/resources/help/KMT18V16.html
# A user's own source-control file from before; no dictionary yet.
printf '[ADF]\r\nPendingImages=0\r\n' >"$windows/PXCM.src"
rm -f "$windows/pxcm.ini"
before=$(cd "$prefix/drive_c" && find . | sort)

wine "$setup" /S
wineserver -w

cmp -s "$windows/twain_32/pxcm/pxcmtwain.ds" "$win32/pxcmtwain.ds" || fail "x86 source not in twain_32\\pxcm"
cmp -s "$windows/twain_64/pxcm/pxcmtwain.ds" "$win64/pxcmtwain.ds" || fail "x64 source not in twain_64\\pxcm"
for twain in twain_32 twain_64; do
  for f in pxcm.ini PXCM.src; do
    cmp -s "$windows/$twain/pxcm/$f" "$source_dir/resources/settings/$f" || fail "defaults $f not beside the $twain source"
  done
done
cmp -s "$windows/pxcm.ini" "$source_dir/resources/settings/pxcm.ini" || fail "pxcm.ini not in the Windows directory"
[ "$(cat "$windows/PXCM.src")" = $'[ADF]\r\nPendingImages=0\r' ] || fail "the user's PXCM.src was replaced"
if [ -f "$help_page" ]; then
  # Windows names are case-blind: a prefix may spell the folder "help".
  installed_help=$(find "$windows" -maxdepth 2 -ipath "$windows/help/KMT18V16.html" | head -n 1)
  cmp -s "$installed_help" "$help_page" || fail "help page not in the Windows directory's Help"
fi
[ -f "$program/pxcm.exe" ] && [ -f "$program/uninstall.exe" ] || fail "pxcm.exe or the uninstaller missing"
entry=$(wine reg query "$key" /reg:64 2>/dev/null | tr -d '\r')
grep -q 'DisplayName.*pxcm' <<<"$entry" || fail "no uninstall entry: $entry"
grep -q 'UninstallString.*uninstall.exe' <<<"$entry" || fail "no UninstallString: $entry"

# The installed program finds the installed x64 source.
out=$(wine "C:\\Program Files\\pxcm\\pxcm.exe" identity 2>&1 | tr -d '\r')
grep -q "product:       Vantrel KMT-18/19 ver 1.6" <<<"$out" || fail "installed pxcm.exe identity: $out"
# The open-source manager finds it where the setup put it, and opens it.
twaindsm=$(dirname "$source_dir")/shared/twain-dsm/windows/64/TWAINDSM.dll
if [ -f "$twaindsm" ]; then
  cp "$twaindsm" "$prefix/TWAINDSM.dll"
  dsm=$(winepath -w "$prefix/TWAINDSM.dll" 2>/dev/null)
  out=$(wine "C:\\Program Files\\pxcm\\pxcm.exe" --dsm "$dsm" sources 2>&1 | tr -d '\r')
  grep -q "^Vantrel KMT-18/19 ver 1.6  (Orvimex TWAIN, TWAIN; protocol 1.6, groups 0x3)$" <<<"$out" ||
    fail "TWAINDSM.dll does not list the installed source: $out"
  out=$(wine "C:\\Program Files\\pxcm\\pxcm.exe" --dsm "$dsm" --protocol 2.2 status 2>&1 | tr -d '\r')
  grep -q "condition code:  0 (TWCC_SUCCESS)" <<<"$out" || fail "status through TWAINDSM.dll: $out"
  rm -f "$prefix/TWAINDSM.dll"
else
  echo "skipped: the installed source under TWAINDSM.dll ($twaindsm is absent)"
fi

# The user edits the seeded dictionary after setup (one byte, same size, so
# that only a comparison of the contents can tell); the seeded help page stays
# as setup wrote it.
sed -i '1s/^;/#/' "$windows/pxcm.ini"
edited=$(cat "$windows/pxcm.ini")
cmp -s "$windows/pxcm.ini" "$source_dir/resources/settings/pxcm.ini" && fail "the edit of pxcm.ini did not take"

wine "C:\\Program Files\\pxcm\\uninstall.exe" /S
wineserver -w
# The uninstaller runs from a copy and ends after its caller: wait for it.
for _ in $(seq 1 50); do [ -e "$program" ] || break; sleep 0.2; wineserver -w; done

after=$(cd "$prefix/drive_c" && find . | sort)
left=$(comm -13 <(echo "$before") <(echo "$after") |
  grep -viE '^\./(users|windows/(temp|logs|inf|system32|syswow64|Installer)|ProgramData)(/|$)' |
  grep -vx './windows/pxcm.ini')
[ -z "$left" ] || fail "left after uninstalling: $left"
gone=$(comm -23 <(echo "$before") <(echo "$after") | grep -viE '^\./(users|windows/temp)(/|$)')
[ -z "$gone" ] || fail "uninstalling removed what was there before: $gone"
[ "$(cat "$windows/PXCM.src")" = $'[ADF]\r\nPendingImages=0\r' ] || fail "the user's PXCM.src is gone or changed"
[ -f "$windows/pxcm.ini" ] && [ "$(cat "$windows/pxcm.ini")" = "$edited" ] ||
  fail "the user's edited pxcm.ini is gone or changed"
if [ -f "$help_page" ]; then
  [ -z "$(find "$windows" -maxdepth 2 -ipath "$windows/help/KMT18V16.html")" ] ||
    fail "the unedited seeded help page is still there"
fi
wine reg query "$key" /reg:64 >/dev/null 2>&1 && fail "the uninstall entry is still there"

[ "$failures" -eq 0 ] && echo "setup: all passed"
exit $((failures > 0))
