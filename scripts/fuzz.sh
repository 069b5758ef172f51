#!/usr/bin/env bash
# Builds the fuzzers (tests/fuzz/fuzz_*.cpp, libFuzzer with the address and undefined-behaviour
# sanitizers, in out/fuzz) and runs each in turn: an hour by default, which is not CI's
# business; scripts/test.sh runs them briefly. The picture fuzzers start from the shared
# corpus (../shared/corpus), the settings fuzzer from the sample settings file. Each
# keeps what it learns in out/fuzz/corpus/NAME and leaves crashing inputs in
# out/fuzz/findings/NAME/; out/fuzz/report.txt gets a line per run: executions, coverage
# and findings.
#   scripts/fuzz.sh [--seconds N] [NAME...]     NAME: jpeg, bmp, settings, catalogue
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=3600
if [ "${1:-}" = "--seconds" ]; then
  seconds=$2
  shift 2
fi
fuzz="$root/out/fuzz"
corpus="$root/../shared/corpus"

CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz" -DVELMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null || exit 1
cmake --build "$fuzz" -j "$(nproc)" || exit 1

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for fuzzer in "$fuzz"/fuzz_*; do
    [ -x "$fuzzer" ] && names+=("${fuzzer##*fuzz_}")
  done
fi

status=0
for name in "${names[@]}"; do
  fuzzer="$fuzz/fuzz_$name"
  learnt="$fuzz/corpus/$name"
  findings="$fuzz/findings/$name"
  mkdir -p "$learnt" "$findings"
  seeds=$(mktemp -d)
  if [ -d "$corpus/$name" ]; then
    find "$corpus/$name" -type f -size -2M -exec cp {} "$seeds" \; 2>/dev/null
  elif [ "$name" = settings ]; then
    # The dialog's four fields, then the file.
    { printf '100\n100\n5\nC:\\pictures\n'; cat "$root/samples/ss_velmo.ini"; } >"$seeds/sample"
  fi
  log="$fuzz/$name.log"
  echo "=== fuzzing $name for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$learnt" "$seeds" >"$log" 2>&1
  code=$?
  rm -rf "$seeds"
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)
  found=$(find "$findings" -type f | wc -l)
  line="$(date -u +%FT%TZ) $name ${seconds}s: ${runs:-?} executions, ${coverage:-no coverage}, $found findings, exit $code"
  echo "$line" | tee -a "$fuzz/report.txt"
  if [ "$code" -ne 0 ]; then
    tail -40 "$log"
    status=1
  fi
done
exit $status
