#!/usr/bin/env bash
# Makes the README's screenshots in docs/ again: both wizards, started offscreen on the sample
# files, with the first field offered and with the filled grid; and the costing-data wizard's
# grid at scale factor 2, as on a high-density screen.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/build.sh" --target screenshots
mkdir -p "$top/docs"
shoot="$top/build/tests/wizards/screenshots"
"$shoot" morvane "$top/samples/sekisan-comma.CSV" "$top/docs"
"$shoot" pellisk "$top/samples/tanka-comma.CSV" "$top/docs"
QT_SCALE_FACTOR=2 "$shoot" morvane "$top/samples/sekisan-comma.CSV" "$top/docs" -2x
