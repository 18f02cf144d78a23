#!/usr/bin/env bash
# help_install.sh — pxcm installs the camera window's help page with the
# default settings where it is missing, leaves a user's copy alone, and the
# page covers every control of the window.
# Usage: help_install.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1
source_dir=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
export PXCM_ROOT=$root PXCM_PROMPTS=$root/prompts.jsonl
unset PXCM_ANSWERS
page=$source_dir/resources/help/KMT18V16.html
installed=$root/windows/Help/KMT18V16.html
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$build/pxcm" caps >/dev/null 2>&1 || fail "pxcm caps exited $?"
cmp -s "$installed" "$page" || fail "help page not installed as windows/Help/KMT18V16.html"

echo "my own notes" >"$installed"
"$build/pxcm" caps >/dev/null 2>&1 || fail "pxcm caps exited $? with the page in place"
[ "$(cat "$installed")" = "my own notes" ] || fail "an existing help page was overwritten"

for control in Load Exit "Select All" "Deselect All" Update Shot Delete HELP STD ECO \
               "self-timer" 56000 115200 Battery About; do
  grep -q "$control" "$page" || fail "help page does not mention $control"
done

echo "help page: $failures failed"
[ "$failures" -eq 0 ]
