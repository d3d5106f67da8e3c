#!/usr/bin/env bash
# Longer fuzz runs on demand (the test command runs each target for seconds only):
#   scripts/fuzz.sh [SECONDS] [TARGET...]      e.g. scripts/fuzz.sh 600 regex_fuzz
# New inputs are kept in build/fuzz-corpus/<target>; crashes are written there too.
# A crashing input worth keeping becomes a named regression file in fuzz/corpus/<name>/.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
seconds=${1:-300}; shift || true
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan >/dev/null
targets=("$@")
if [ ${#targets[@]} = 0 ]; then
  mapfile -t targets < <(find build/native-asan/fuzz -maxdepth 1 -type f -executable -name '*_fuzz' -printf '%f\n' | sort)
fi
for t in "${targets[@]}"; do
  name=${t%_fuzz}
  work="build/fuzz-corpus/$t"
  mkdir -p "$work"
  for seeds in "fuzz/corpus/$name" "fuzz/corpus/$t"; do
    [ -d "$seeds" ] && cp -rn "$seeds/." "$work/"
  done
  echo "== $t for ${seconds}s"
  "build/native-asan/fuzz/$t" -max_total_time="$seconds" -artifact_prefix="$work/" "$work"
done
