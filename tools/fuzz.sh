#!/usr/bin/env bash
# Builds the libraries, both programs and the fuzzing programs with Clang in build-fuzz/,
# sanitized (AddressSanitizer and UndefinedBehaviorSanitizer) and with the fuzzer's coverage:
# this is also the project's Clang build. Then runs each fuzzing program of fuzz/ on seeds
# gathered from ../shared/testdata, samples/ and the form files.
#   bash tools/fuzz.sh                      each program for a minute (the CI smoke run)
#   bash tools/fuzz.sh -runs=10000000       each program for ten million inputs
# Arguments go to libFuzzer. New inputs collect in build-fuzz/corpus/, findings in
# build-fuzz/findings/; a finding fails the run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$top/build-fuzz
bash "$top/tools/setup.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$out" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS=-g1 -DQUOVANT_FUZZ=ON -DQUOVANT_TESTS=OFF -DQUOVANT_BENCH=OFF \
  -DQUOVANT_WERROR="${QUOVANT_WERROR:-OFF}" "${launcher[@]}" >/dev/null
cmake --build "$out" -j"$(nproc)"

# Seeds: the real files cut to what a fuzzer mutates well, and the project's form files.
seeds=$out/seeds
rm -rf "$seeds"
mkdir -p "$seeds/SourceLines" "$seeds/FieldSplitter" "$seeds/FormReader" "$seeds/FormConv" \
  "$seeds/Preview" "$out/findings"
for f in "$top"/../shared/testdata/csv/* "$top"/samples/*; do
  [ -f "$f" ] || continue
  head -c 65536 "$f" >"$seeds/SourceLines/$(basename "$f")"
  head -c 4096 "$f" >"$seeds/FieldSplitter/$(basename "$f")"
  head -c 2048 "$f" >"$seeds/Preview/$(basename "$f")"
done
cp "$top"/wizards/*/*.dfm "$seeds/FormReader/"
# The binary form seeds are the project's forms converted by formconv.
for f in "$top"/wizards/*/*.dfm; do
  "$out/tools/formconv/formconv" --binary "$f" "$seeds/FormConv/$(basename "$f")"
  cp "$seeds/FormConv/$(basename "$f")" "$seeds/Preview/"
done

args=("$@")
[ ${#args[@]} -gt 0 ] || args=(-max_total_time=60)
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS=suppressions=$top/tools/lsan.supp:print_suppressions=0
for source in "$top"/fuzz/*Fuzz.cpp; do
  name=$(basename "$source" .cpp)
  mkdir -p "$out/corpus/$name" "$seeds/${name%Fuzz}"
  echo "== $name"
  status=0
  "$out/fuzz/$name" "$out/corpus/$name" "$seeds/${name%Fuzz}" -print_final_stats=1 \
    -artifact_prefix="$out/findings/$name-" "${args[@]}" >"$out/$name.log" 2>&1 || status=$?
  grep -v -E '^#[0-9]+.*(NEW|REDUCE|pulse)' "$out/$name.log" | tail -n 60
  [ "$status" -eq 0 ] || { echo "$name found a fault: see $out/findings/" >&2; exit 1; }
done
