#!/usr/bin/env bash
# Builds the native preset and runs every benchmark in it (they print their own figures
# and ratios against a baseline measured in the same run). Never part of the tests.
#   scripts/bench.sh [NAME...]    run only the named benchmarks (e.g. regex_bench)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
names=("$@")
if [ ${#names[@]} = 0 ]; then
  mapfile -t names < <(find build/native/bench -maxdepth 1 -type f -executable -name '*_bench' -printf '%f\n' | sort)
fi
for n in "${names[@]}"; do
  echo "== $n"
  (cd "$ROOT" && "build/native/bench/$n")
done
