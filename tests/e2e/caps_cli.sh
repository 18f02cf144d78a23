#!/usr/bin/env bash
# pxcm caps and pxcm cap against the built source: the default settings are
# installed on first use, requests answer what the settings hold, refusals
# show the condition code, and every change lands in PXCM.src.
# Usage: caps_cli.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1
source_dir=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
export PXCM_ROOT=$root PXCM_PROMPTS=$root/prompts.jsonl
unset PXCM_ANSWERS
pxcm=$build/pxcm
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_line() {  # expect_line OUTPUT PATTERN
  grep -qE -- "$2" <<<"$1" || fail "no line matching '$2' in:"$'\n'"$1"
}

out=$("$pxcm" caps 2>&1) || fail "pxcm caps exited $?"
cmp -s "$root/windows/pxcm.ini" "$source_dir/resources/settings/pxcm.ini" || fail "pxcm.ini not installed"
cmp -s "$root/windows/PXCM.src" "$source_dir/resources/settings/PXCM.src" || fail "PXCM.src not installed"
for cap in CAP_XFERCOUNT CAP_SUPPORTEDCAPS CAP_UICONTROLLABLE CAP_DEVICEONLINE ICAP_COMPRESSION \
           ICAP_PIXELTYPE ICAP_BITDEPTH ICAP_BITORDER ICAP_PLANARCHUNKY ICAP_PHYSICALWIDTH \
           ICAP_PHYSICALHEIGHT ICAP_PIXELFLAVOR ICAP_UNITS ICAP_XFERMECH ICAP_XRESOLUTION \
           ICAP_YRESOLUTION; do
  expect_line "$out" "^$cap \\([0-9]+\\)  TWTY_"
done
expect_line "$out" "allowed:  TWSX_NATIVE \\(current, default\\), TWSX_MEMORY"
expect_line "$out" "current:  TWPT_RGB"
# The supports line of one capability's block.
supports_of() { awk -v cap="$1" '$1 == cap {found = 1} found && /^  supports:/ {print; exit}' <<<"$out"; }
all="TWQC_GET TWQC_GETCURRENT TWQC_GETDEFAULT TWQC_SET TWQC_RESET"
[ "$(supports_of ICAP_XFERMECH)" = "  supports: $all" ] || fail "ICAP_XFERMECH supports: $(supports_of ICAP_XFERMECH)"
[ "$(supports_of ICAP_PHYSICALWIDTH)" = "  supports: TWQC_GET TWQC_GETCURRENT TWQC_GETDEFAULT" ] ||
  fail "ICAP_PHYSICALWIDTH supports: $(supports_of ICAP_PHYSICALWIDTH)"
[ "$(grep -c '^  supports: TWQC_GET' <<<"$out")" -eq 16 ] || fail "not every capability has its supports line"
[ -s "$root/prompts.jsonl" ] && fail "pxcm caps showed a box: $(cat "$root/prompts.jsonl")"

out=$("$pxcm" cap set ICAP_XFERMECH TWSX_MEMORY 2>&1) || fail "set ICAP_XFERMECH exited $?"
expect_line "$out" "TWON_ONEVALUE TWTY_UINT16: TWSX_MEMORY$"
grep -q "^Current=TWSX_MEMORY" "$root/windows/PXCM.src" || fail "Current not stored"
out=$("$pxcm" cap get icap_xfermech 2>&1)
expect_line "$out" "TWSX_NATIVE \\(default\\), TWSX_MEMORY \\(current\\)"

# A refused set, of a name and of a real, with the installed settings (no
# negotiation boxes), then with NEGOTIATION_BOXES=1: the same answer, and the
# box only when turned on.
for boxes in 0 1; do
  sed -i "s/^NEGOTIATION_BOXES=.*/NEGOTIATION_BOXES=$boxes/" "$root/windows/pxcm.ini"
  for refused in "ICAP_PIXELTYPE TWPT_GRAY" "ICAP_YRESOLUTION 300"; do
    rm -f "$root/prompts.jsonl"
    # shellcheck disable=SC2086 # the capability and its value
    out=$("$pxcm" cap set $refused 2>&1) && fail "a refused set of $refused exited 0"
    expect_line "$out" "TWRC_FAILURE \\(TWCC_BADVALUE\\)"
    shown=$(grep -c '"text":"IsCapAllowed"' "$root/prompts.jsonl" 2>/dev/null)
    [ "${shown:-0}" -eq "$boxes" ] || fail "NEGOTIATION_BOXES=$boxes: $refused showed ${shown:-0} boxes"
  done
done

out=$("$pxcm" cap reset 259 2>&1) || fail "reset exited $?"
expect_line "$out" "TWSX_NATIVE$"
out=$("$pxcm" cap reset ICAP_PHYSICALWIDTH 2>&1) && fail "reset of a fixed value exited 0"
expect_line "$out" "TWCC_BADPROTOCOL"
out=$("$pxcm" cap get ICAP_BRIGHTNESS 2>&1) && fail "unsupported capability exited 0"
expect_line "$out" "TWCC_BADCAP"
out=$("$pxcm" cap querysupport ICAP_BRIGHTNESS 2>&1) && fail "querysupport of an unsupported capability exited 0"
expect_line "$out" "TWCC_BADCAP"
out=$("$pxcm" cap querysupport CAP_SUPPORTEDCAPS 2>&1) || fail "querysupport exited $?"
expect_line "$out" "^CAP_SUPPORTEDCAPS  supports: TWQC_GET TWQC_GETCURRENT TWQC_GETDEFAULT$"
# The installed settings offer 72 dpi only: another real is refused.
out=$("$pxcm" cap set ICAP_XRESOLUTION 150.5 2>&1) && fail "set of a real not offered exited 0"
expect_line "$out" "TWCC_BADVALUE"
out=$("$pxcm" cap set ICAP_XRESOLUTION 72 2>&1) || fail "set of a real exited $?"
expect_line "$out" "TWTY_FIX32: 72$"
out=$("$pxcm" cap set CAP_XFERCOUNT many 2>&1) && fail "a malformed value exited 0"
expect_line "$out" "not a TWTY_INT16 value"
out=$("$pxcm" cap frobnicate CAP_XFERCOUNT 2>&1) && fail "an unknown request exited 0"

# Options of a real Source Manager: refused where they do not fit.
out=$("$pxcm" --protocol 2.2 status 2>&1) && fail "--protocol without --dsm exited 0"
expect_line "$out" "go with --dsm"
out=$("$pxcm" --dsm /no/such/libtwaindsm.so --protocol two status 2>&1) && fail "a bad --protocol exited 0"
expect_line "$out" "--protocol takes X.Y"
out=$("$pxcm" sources 2>&1) && fail "sources without --dsm exited 0"
expect_line "$out" "sources needs a Source Manager"
out=$("$pxcm" --dsm /no/such/libtwaindsm.so status 2>&1) && fail "a missing manager exited 0"
expect_line "$out" "cannot load /no/such/libtwaindsm.so"
out=$("$pxcm" --dsm "$build/pxcmtwain.ds" status 2>&1) && fail "a manager without DSM_Entry exited 0"
expect_line "$out" "exports no DSM_Entry"

# Settings that are there already are left alone.
printf '[CAP NUMBERS]\r\n' >"$root/windows/pxcm.ini"
out=$("$pxcm" cap get ICAP_XFERMECH 2>&1) && fail "a dictionary without the capability exited 0"
expect_line "$out" "TWCC_BADCAP"

[ "$failures" -eq 0 ] && echo "caps_cli: all passed"
exit $((failures > 0))
