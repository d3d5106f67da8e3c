#!/usr/bin/env bash
# Runs a Windows program of a build under Wine in that build's private prefix:
#   scripts/wine-run.sh path/to/program.exe [args...]
# Used by ctest as CMAKE_CROSSCOMPILING_EMULATOR. The build folder is found above the
# program (or given by VELKO_BUILD_DIR). A virtual display is started when none is set.
# The program's exit code is passed through (Linux sees it modulo 256).
#
# The program's output goes through temporary files, not straight to our caller: the
# helper processes Wine starts beside the first program of a session (services.exe and
# friends) inherit its standard handles and live on with the wineserver, and a caller
# reading a pipe (ctest, pytest) would otherwise wait for them until the server ends.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
exe=$1; shift
build_dir=${VELKO_BUILD_DIR:-$(velko_find_build_dir "$exe")} || {
  echo "wine-run: no build folder above $exe" >&2; exit 125; }
export DISPLAY=${DISPLAY:-$("$here/xvfb.sh")}
"$here/wine-prefix.sh" "$build_dir" || exit 125
velko_wine_env "$build_dir" || exit 125

out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$VELKO_WINE" "$exe" "$@" >"$out" 2>"$err" </dev/null
rc=$?
cat "$out"
cat "$err" >&2
exit $rc
