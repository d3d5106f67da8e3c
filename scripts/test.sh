#!/usr/bin/env bash
# The whole test suite, from a fresh machine or an already set-up one:
#   1. system packages and the static Windows dependencies (idempotent, quick when done);
#   2. native build and tests; the same under ASan/UBSan; short libFuzzer runs;
#   3. the Windows builds: the shipped 32-bit one, and the tests under Wine;
#   4. the end-to-end tests (pytest) of the programs under Wine on a virtual display.
# Ends with the line "velko: N passed, N failed"; exits non-zero on any failure.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
REPORTS="$ROOT/build/reports"
FUZZ_SECONDS=${VELKO_FUZZ_SECONDS:-10}
problems=()

step() { printf '\n== %s\n' "$*"; }
problem() { problems+=("$*"); echo "!! $*"; }

setup() {
  step "set-up"
  if [ "$(id -u)" = 0 ]; then
    scripts/setup-system.sh || { echo "set-up failed" >&2; exit 1; }
  fi
  scripts/setup-deps.sh || { echo "dependency build failed" >&2; exit 1; }
}

build() {  # build PRESET
  step "build $1"
  cmake --preset "$1" >"$REPORTS/configure-$1.log" 2>&1 \
    || { tail -n 30 "$REPORTS/configure-$1.log"; problem "configure $1"; return 1; }
  cmake --build --preset "$1" -- -k 0 2>&1 | tail -n 400 >"$REPORTS/build-$1.log"
  if [ "${PIPESTATUS[0]}" != 0 ]; then
    grep -E 'error|FAILED' "$REPORTS/build-$1.log" | head -n 40
    problem "build $1"; return 1
  fi
}

run_ctest() {  # run_ctest PRESET
  step "tests $1"
  ctest --preset "$1" --output-junit "$REPORTS/ctest-$1.xml" || problem "tests $1"
}

run_fuzzers() {
  step "fuzz (${FUZZ_SECONDS}s each)"
  local f name corpus work rc
  for f in build/native-asan/fuzz/*_fuzz; do
    [ -x "$f" ] || continue
    name=$(basename "$f" _fuzz)
    corpus="fuzz/corpus/$name"
    [ -d "$corpus" ] || corpus="fuzz/corpus/${name}_fuzz"
    work=$(mktemp -d)
    [ -d "$corpus" ] && cp -r "$corpus/." "$work/"
    "$f" -max_total_time="$FUZZ_SECONDS" -print_final_stats=1 \
      -artifact_prefix="$REPORTS/fuzz-$name-" "$work" >"$REPORTS/fuzz-$name.log" 2>&1
    rc=$?
    rm -rf "$work"
    if [ $rc = 0 ]; then
      echo "fuzz $name: ok ($(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$REPORTS/fuzz-$name.log" | grep -o '[0-9]*$') runs)"
      fuzz_passed=$((fuzz_passed + 1))
    else
      tail -n 30 "$REPORTS/fuzz-$name.log"
      problem "fuzz $name"; fuzz_failed=$((fuzz_failed + 1))
    fi
  done
}

# 32-bit Windows programs need a kernel that runs 32-bit code (32-bit Wine). Where it
# cannot, the same sources built for 64-bit Windows carry the Windows tests.
host_runs_32bit() { [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; }

cleanup() {
  local d
  for d in build/windows build/windows64; do
    [ -d "$d/wineprefix" ] && WINEPREFIX="$ROOT/$d/wineprefix" wineserver -k >/dev/null 2>&1
  done
  [ -n "${XVFB_STARTED:-}" ] && pkill -f "Xvfb $DISPLAY " >/dev/null 2>&1
  return 0
}

setup
mkdir -p "$REPORTS" && rm -f "$REPORTS"/*.xml
fuzz_passed=0; fuzz_failed=0
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  DISPLAY=$(scripts/xvfb.sh) || { echo "no virtual display" >&2; exit 1; }
  export DISPLAY XVFB_STARTED=1
fi

build native && run_ctest native
build native-asan && { run_ctest native-asan; run_fuzzers; }

build windows   # the shipped 32-bit programs
if host_runs_32bit; then
  WIN_PRESET=windows
else
  echo "this kernel cannot run 32-bit code: the Windows tests run on the 64-bit build"
  WIN_PRESET=windows64
  build windows64
fi
WIN_BUILD="$ROOT/build/$WIN_PRESET"
if [ -d "$WIN_BUILD" ]; then
  step "Wine check"
  smoke=$(find "$WIN_BUILD" -name wine_smoke_test.exe | head -n 1)
  scripts/wine-run.sh "$smoke" || problem "a Windows test program did not run under Wine"
  run_ctest "$WIN_PRESET"

  step "end-to-end tests"
  VELKO_BUILD_DIR="$WIN_BUILD" pytest-3 -q tests/e2e --junitxml="$REPORTS/pytest.xml" -p no:cacheprovider
  rc=$?
  [ $rc = 0 ] || [ $rc = 5 ] || problem "end-to-end tests"
fi

read -r passed failed < <(python3 scripts/count-junit.py "$REPORTS"/*.xml)
passed=$((passed + fuzz_passed)); failed=$((failed + fuzz_failed))
step "summary"
for p in "${problems[@]}"; do echo "failed: $p"; done
[ ${#problems[@]} = 0 ] || [ "$failed" -gt 0 ] || failed=1
echo "velko: $passed passed, $failed failed"
[ ${#problems[@]} = 0 ]
