#!/usr/bin/env bash
# The main job: set up the machine, build installer.exe and updater.exe (32-bit, the
# shipped programs), then run them under Wine on a virtual display and report what
# happened. The 32-bit programs run natively where the kernel runs 32-bit code, and
# through qemu-user where it refuses it; the report says which.
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
. scripts/wine-env.sh
step "how 32-bit programs run here"
if ! velko_32bit_route; then
  echo "$VELKO_ROUTE_REASON" >&2
  exit 1
fi
echo "$VELKO_ROUTE_REASON"
RUN_BUILD="$ROOT/build/windows"

if [ -z "${DISPLAY:-}" ]; then export DISPLAY; DISPLAY=$(scripts/xvfb.sh); fi
rm -rf "$OUT" && mkdir -p "$OUT"
export VELKO_BUILD_DIR="$RUN_BUILD"
python3 scripts/main_job_run.py --build "$RUN_BUILD" --out "$OUT" --shipped "$ROOT/build/windows" "$@"
