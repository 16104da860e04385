#!/usr/bin/env bash
# Configures and builds everything in build/ (release build). QUOVANT_WERROR=ON in the
# environment makes warnings in the project's code errors (CI sets it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release \
  -DQUOVANT_WERROR="${QUOVANT_WERROR:-OFF}" "${launcher[@]}" >/dev/null
cmake --build "$top/build" -j"$(nproc)" "$@"
