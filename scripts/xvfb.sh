#!/usr/bin/env bash
# Makes sure a virtual X display runs and prints its name (for DISPLAY=...).
# One display for a whole test run: :${VELKO_DISPLAY_NUM:-77}, 1920x1080x24.
set -euo pipefail
num=${VELKO_DISPLAY_NUM:-77}
lock=/tmp/.X$num-lock
if [ -f "$lock" ] && kill -0 "$(tr -d ' ' <"$lock")" 2>/dev/null; then
  echo ":$num"; exit 0
fi
rm -f "$lock" "/tmp/.X11-unix/X$num"
setsid Xvfb ":$num" -screen 0 1920x1080x24 -nolisten tcp -ac >/dev/null 2>&1 < /dev/null &
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$num" ] && { echo ":$num"; exit 0; }
  sleep 0.05
done
echo "xvfb: display :$num did not come up" >&2
exit 1
