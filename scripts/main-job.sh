#!/usr/bin/env bash
# The main job: set up the machine, build installer.exe and updater.exe (32-bit, the
# shipped programs), then run what the build has under Wine on a virtual display and
# report what happened. Where this kernel cannot run 32-bit code, the programs that are
# run come from the 64-bit build of the same sources.
#   scripts/main-job.sh            (--update: also demonstrate an update cycle)
#   scripts/main-job.sh --gallery  only render the widget gallery to PNG (scripts/widget-gallery.sh)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
if [ "${1:-}" = "--gallery" ]; then exec scripts/widget-gallery.sh; fi
OUT="$ROOT/build/main-job"

step() { printf '\n== %s\n' "$*"; }

step "set-up"
if [ "$(id -u)" = 0 ]; then scripts/setup-system.sh; fi
scripts/setup-deps.sh

step "build (32-bit Windows programs)"
cmake --preset windows >/dev/null
cmake --build --preset windows | tail -n 1
RUN_PRESET=windows
if ! { [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; }; then
  echo "this kernel cannot run 32-bit code: running the 64-bit build of the same sources"
  RUN_PRESET=windows64
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 | tail -n 1
fi
RUN_BUILD="$ROOT/build/$RUN_PRESET"

if [ -z "${DISPLAY:-}" ]; then export DISPLAY; DISPLAY=$(scripts/xvfb.sh); fi
rm -rf "$OUT" && mkdir -p "$OUT"
export VELKO_BUILD_DIR="$RUN_BUILD"
python3 scripts/main_job_run.py --build "$RUN_BUILD" --out "$OUT" --shipped "$ROOT/build/windows" "$@"
