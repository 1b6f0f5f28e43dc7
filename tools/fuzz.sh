#!/usr/bin/env bash
# Fuzzes the file readers with libFuzzer, the three targets at once, each for SECONDS, after the
# inputs kept in tests/fuzz/regressions/; prints executions and coverage, fails on a crash:
#   tools/fuzz.sh SOURCE_DIR BUILD_DIR SECONDS
set -euo pipefail

src="$1"
build="$2"
seconds="$3"
targets=(sprite_file high_score wav_header)
seeds="$build/seeds"
compiler="$(command -v clang++-21 || command -v clang++ || true)"
[ -n "$compiler" ] || { echo "fuzz: clang++ not found; add clang to tools/sid-packages.txt" >&2; exit 1; }
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" -DMW_FUZZ=ON \
  -DMW_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The game's sounds, for the seeds, from the ordinary build where there is one.
audio="$src/build/sid/run/audio"
[ -d "$audio" ] || audio="$build/run/audio" game_data=game_data
cmake --build "$build" --target "${targets[@]/#/fuzz_}" ${game_data:+"$game_data"} >/dev/null ||
  { echo "fuzz: building the fuzz targets failed; run 'cmake --build $build' for the messages" >&2; exit 1; }

rm -rf "$seeds" "$build/artifacts/crashed"
mkdir -p "${targets[@]/#/$seeds/}" "${targets[@]/#/$build/corpus/}" "$build/artifacts"
cp "$src"/data/sprites/*.txt "$src"/data/sprites/*/*.txt "$seeds/sprite_file/"
printf '105\n\n207\n' >"$seeds/high_score/three-times"
printf '\n\n\n' >"$seeds/high_score/empty-lines"
printf '430\n' >"$seeds/high_score/short"
printf 'x9\n1\n%0300d\n' 0 >"$seeds/high_score/odd-entries"
for sound in "$audio"/*.wav; do
  head -c 4096 "$sound" >"$seeds/wav_header/$(basename "$sound")"
done
# A whole one: 16-bit mono, four samples.
printf 'RIFF\x2c\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0\x02\0\x10\0data\x08\0\0\0\x10\0\x20\0\xf0\xff\xe0\xff' \
  >"$seeds/wav_header/four-samples"

fuzz() {
  local program="$build/tests/fuzz/fuzz_$1" log="$build/artifacts/$1.log"
  local kept="$src/tests/fuzz/regressions/$1"
  ! compgen -G "$kept/*" >/dev/null || "$program" "$kept"/* >/dev/null 2>&1 ||
    { echo "fuzz: $1 crashes on a kept regression input" >&2; return 1; }
  (cd "$build/artifacts" && "$program" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$1-" "$build/corpus/$1" "$seeds/$1") >"$log" 2>&1 ||
    { echo "fuzz: $1 found a crash; the input is in $build/artifacts and the report in $log" >&2; return 1; }
}
for target in "${targets[@]}"; do
  fuzz "$target" || echo "$target" >>"$build/artifacts/crashed" &
done
wait
for target in "${targets[@]}"; do
  log="$build/artifacts/$target.log"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)"
  coverage="$(grep -E '^#[0-9]+.*(DONE|pulse|NEW).*cov:' "$log" | tail -n1 | sed -E 's/.*cov: ([0-9]+) ft: ([0-9]+).*/\1 edges, \2 features/')"
  echo "fuzz: $target: ${runs:-?} executions in ${seconds}s, coverage ${coverage:-?}"
done
[ ! -e "$build/artifacts/crashed" ]
