#!/usr/bin/env bash
# Sets up, builds and starts a wizard (morvane or pellisk) with its file dialog opened on the
# bundled sample files. The hand-off file lands beside the program, in build/wizards/<name>/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
wizard=${1:-morvane}
case "$wizard" in morvane|pellisk) ;; *) echo "usage: $0 morvane|pellisk" >&2; exit 2;; esac
bash "$top/tools/setup.sh"
bash "$top/tools/build.sh" --target "$wizard"
cd "$top/samples"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop display: start $wizard from a desktop session." >&2
  exit 1
fi
exec "$top/build/wizards/$wizard/$wizard"
