#!/usr/bin/env bash
# Runs every fuzz target in the given build folder for the given number of seconds.
set -euo pipefail
build=$1
seconds=${2:-60}
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] && [ -f "$target" ] || continue
  name=$(basename "$target")
  corpus="fuzz-corpus/$name"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" || status=1
done
exit $status
