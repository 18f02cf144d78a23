#!/usr/bin/env bash
# skin_gen.sh — the committed skin bitmaps are exactly what skin-gen draws
# today, each has the size and depth the window expects, and the Windows
# resource script names every one.
# Usage: skin_gen.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
skin=$source/resources/skin
gen=$build/skin-gen
[ -x "$gen" ] || { echo "FAIL: $gen missing (needs libfreetype-dev and libfontconfig-dev)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checked=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# id width height bits-per-pixel
table="
187 526 400 8
163 83 25 8
164 83 25 8
165 66 28 8
166 66 27 8
167 66 28 8
168 66 28 8
169 82 25 8
170 82 25 8
171 63 38 8
172 63 38 8
173 63 38 8
174 63 38 8
194 63 38 8
195 63 38 8
175 56 54 8
176 55 53 8
177 55 53 8
178 54 54 8
179 30 29 8
180 30 29 8
181 30 29 8
182 30 29 8
183 30 29 8
184 30 29 8
185 30 29 8
186 30 29 8
192 64 26 8
193 64 26 8
206 26 25 8
207 26 25 4
208 26 25 4
209 26 25 4
102 5 66 8
130 5 66 8
131 80 5 8
132 80 5 8
137 5 66 8
138 5 66 8
139 80 5 8
140 80 5 8
141 5 66 8
142 5 66 8
143 80 5 8
144 80 5 8
203 346 256 8
"

"$gen" "$work/fresh" || { echo "FAIL: skin-gen failed"; exit 1; }

u32() { od -An -t u4 -j "$2" -N 4 "$1" | tr -d ' '; }
u16() { od -An -t u2 -j "$2" -N 2 "$1" | tr -d ' '; }

while read -r id width height bits; do
  [ -n "$id" ] || continue
  checked=$((checked + 1))
  files=("$skin/$id"-*.bmp)
  if [ ${#files[@]} -ne 1 ] || [ ! -f "${files[0]}" ]; then
    fail "$id: expected one resources/skin/$id-*.bmp, found ${#files[@]}"
    continue
  fi
  f=${files[0]}
  name=$(basename "$f")
  [ "$(head -c 2 "$f")" = BM ] || fail "$name: no BM signature"
  got="$(u32 "$f" 18) $(u32 "$f" 22) $(u16 "$f" 28)"
  [ "$got" = "$width $height $bits" ] || fail "$name: $got, expected $width $height $bits"
  [ "$(u32 "$f" 30)" = 0 ] || fail "$name: compressed"
  [ "$(u32 "$f" 14)" = 40 ] || fail "$name: header is not BITMAPINFOHEADER"
  stride=$(((width * bits + 31) / 32 * 4))
  offset=$(u32 "$f" 10)
  size=$(stat -c %s "$f")
  [ "$size" -eq $((offset + stride * height)) ] || fail "$name: $size bytes, bits at $offset"
  [ "$(u32 "$f" 2)" = "$size" ] || fail "$name: file header size differs from the file"
  if [ ! -f "$work/fresh/$name" ]; then
    fail "$name: skin-gen no longer draws it"
  elif ! cmp -s "$f" "$work/fresh/$name"; then
    fail "$name: differs from skin-gen's output (run skin-gen resources/skin)"
  fi
  grep -Eq "^$id BITMAP \"skin/$name\"\$" "$source/resources/pxcmtwain.rc" ||
    fail "$name: not in resources/pxcmtwain.rc"
done <<<"$table"

# Nothing drawn or committed beyond the table.
expected=$(awk 'NF { print $1 }' <<<"$table" | sort)
for dir in "$skin" "$work/fresh"; do
  have=$(ls "$dir" | sed -E 's/^([0-9]+)-.*/\1/' | sort)
  [ "$have" = "$expected" ] || fail "$dir holds other pictures than the table: $(comm -3 <(echo "$have") <(echo "$expected") | tr -s '\n\t ' ' ')"
done

echo "skin bitmaps: $checked checked, $failures failed"
[ "$failures" -eq 0 ]
