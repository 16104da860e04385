#!/usr/bin/env bash
# Wraps each program's 32x32 PNG icon into the .ico file its Windows build carries (an icon
# file may hold a PNG image); run after changing the artwork.
set -euo pipefail
icons=$(cd "$(dirname "$0")/../resources/icons" && pwd)
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16)); }
for program in morvane pellisk; do
  png="$icons/quovant-$program.png"
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $3 * 256 + $4, $7 * 256 + $8 }')
  [ "$width" -le 256 ] && [ "$height" -le 256 ] || { echo "$png is over 256 pixels" >&2; exit 1; }
  {
    le16 0; le16 1; le16 1                         # icon file, one image
    printf "\\x$(printf %02x $((width % 256)))\\x$(printf %02x $((height % 256)))"
    le16 0; le16 1; le16 32                        # no palette, one plane, 32 bits
    le32 "$(stat -c %s "$png")"; le32 22           # the PNG follows the 22-byte header
    cat "$png"
  } >"$icons/quovant-$program.ico"
done
