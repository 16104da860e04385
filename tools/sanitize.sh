#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (GCC) in build-asan/
# and runs every test under them: any report fails the run. Arguments go to ctest
# (e.g. -R Morvane).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$top/build-asan" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-g1 \
  -DQUOVANT_SANITIZE=ON -DQUOVANT_BENCH=OFF -DQUOVANT_WERROR="${QUOVANT_WERROR:-OFF}" \
  "${launcher[@]}" >/dev/null
cmake --build "$top/build-asan" -j"$(nproc)"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_init_order=1
export LSAN_OPTIONS=suppressions=$top/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cd "$top/build-asan"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
