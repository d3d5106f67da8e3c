#!/usr/bin/env bash
# Renders every window of the widget gallery (uilib/widgets/gallery) to PNG with
# the 64-bit build's uilibtool and prints where the pictures are.
#   scripts/widget-gallery.sh [OUT_DIR]      (default build/gallery)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
OUT=${1:-"$ROOT/build/gallery"}
BUILD="$ROOT/build/windows64"
[ -f "$BUILD/build.ninja" ] || cmake --preset windows64 >/dev/null
cmake --build --preset windows64 --target uilibtool | tail -n 1
if [ -z "${DISPLAY:-}" ]; then export DISPLAY; DISPLAY=$(scripts/xvfb.sh); fi
export VELKO_BUILD_DIR="$BUILD"
python3 scripts/widget_gallery.py --tool "$BUILD/tools/uilibtool/uilibtool.exe" --out "$OUT"
