#!/usr/bin/env bash
# Builds the release benchmarks, generates their data (nothing large is kept
# in the tree), runs them and prints each figure against its target, the
# tool's export, check and import also as ratios to the floor (bench/floor.cpp)
# measured in the same run, and the search without tables (bench/find_bench.cpp)
# as a ratio to one plain pass over the same bytes. QUILLMERE_BENCH_DATA names
# data made earlier.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/bench
data="${QUILLMERE_BENCH_DATA:-$build/data}"

cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"

if [ ! -f "$data/script_broken.txt" ] || [ ! -f "$data/script_lengthened.txt" ]; then
  echo "Generating benchmark data in $data ..."
  "$build/bench/make_bench_data" "$data"
fi

export QUILLMERE_BENCH_DATA="$data"
"$build/bench/core_bench" --benchmark_out="$build/core_bench.json" --benchmark_out_format=json \
  --benchmark_min_time=0.5
"$build/bench/find_bench" --benchmark_out="$build/find_bench.json" --benchmark_out_format=json \
  --benchmark_min_time=0.5
# The exchange to and from PO, CSV and JSON, against reading and writing the same bytes.
"$build/bench/exchange_bench" --benchmark_out="$build/exchange_bench.json" --benchmark_out_format=json
# Release patches: a BPS of the pointer ROM against its translated twin.
"$build/bench/patch_bench" --benchmark_out="$build/patch_bench.json" --benchmark_out_format=json \
  --benchmark_min_time=0.5
if [ -x "$build/bench/window_bench" ]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/window_bench" --benchmark_out="$build/window_bench.json" \
    --benchmark_out_format=json
fi

# Peak memory of the command-line export of the whole 32 MiB ROM.
/usr/bin/time -v "$build/src/cli/quillmere-cli" export --rom "$data/rom_32m.gba" --start 0 --end 1FFFFFF \
  --mode both --table1 "$data/single.tbl" --table2 "$data/double.tbl" \
  --filter1 "$data/filter1.txt" --filter2 "$data/filter2.txt" --out "$build/cli_export.txt" \
  2> "$build/cli_export.time" || { cat "$build/cli_export.time"; exit 1; }

python3 scripts/bench_report.py "$build" "$data"
