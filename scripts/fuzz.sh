#!/usr/bin/env bash
# Builds the libFuzzer harnesses and runs each for FUZZ_SECONDS (default 60).
# Regression inputs (fuzz/regressions/NAME/) are replayed first; seed inputs
# come from fuzz/corpus/NAME/ and the sample files in examples/. New corpus
# entries go to build/fuzz/corpus/, never into the tree.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

status=0
for harness in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$harness")
  work="build/fuzz/corpus/$name"
  mkdir -p "$work"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds+=("fuzz/corpus/$name")
  [ -d examples/sample ] && seeds+=(examples/sample)
  if [ -d "fuzz/regressions/$name" ]; then
    "$harness" fuzz/regressions/"$name"/* >/dev/null 2>&1 || { echo "$name: a regression input fails again"; status=1; continue; }
  fi
  echo "== $name: ${seconds}s"
  if ! "$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=0 \
        -artifact_prefix="build/fuzz/$name-" "$work" "${seeds[@]}" > "build/fuzz/$name.log" 2>&1; then
    echo "$name: FOUND A FAILURE (see build/fuzz/$name.log and build/fuzz/$name-*)"
    tail -30 "build/fuzz/$name.log"
    status=1
  else
    grep -E '^(#[0-9]+|Done)' "build/fuzz/$name.log" | tail -1
  fi
done
exit $status
