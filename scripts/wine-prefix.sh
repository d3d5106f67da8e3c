#!/usr/bin/env bash
# Creates (once) and prepares the private Wine prefix of a build folder, and keeps one
# wineserver alive for it, so that programs start in milliseconds instead of seconds.
#   scripts/wine-prefix.sh BUILD_DIR
# Safe to call concurrently: creation is serialised with a lock.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
velko_wine_env "$1" || exit 1

mkdir -p "$HOME"
exec 9>"$WINEPREFIX.lock"
flock 9
# The marker names the prefix kind and its settings' version: prefixes of older checkouts
# (32-bit ones, or ones without the current settings) are made anew.
ready_mark="$WINEARCH settings-2"
if [ "$(cat "$WINEPREFIX/.velko-ready" 2>/dev/null)" != "$ready_mark" ]; then
  [ -n "${VELKO_WINE:-}" ] && [ -x "$VELKO_WINE" ] || { echo "wine-prefix: no Wine loader found (run scripts/setup-system.sh)" >&2; exit 1; }
  rm -rf "$WINEPREFIX"
  export DISPLAY=${DISPLAY:-$("$here/xvfb.sh")}
  velko_wine64 wineboot -i >/dev/null 2>&1 || true
  wineserver -w   # the registry files reach the disk only when the server has finished
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-prefix: wineboot failed for $WINEPREFIX" >&2; exit 1; }
  # Font replacements: the skins ask for fonts Wine does not have; without a mapping
  # GDI+ draws no text at all. A UTF-16LE .reg file with BOM, imported with regedit.
  regfile="$WINEPREFIX/velko-settings.reg"
  python3 - "$regfile" <<'PY'
import sys
faces = ["微软雅黑", "Microsoft YaHei", "宋体", "SimSun", "新宋体", "NSimSun", "黑体", "SimHei"]
lines = ["Windows Registry Editor Version 5.00", "",
         "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]"]
lines += ['"%s"="WenQuanYi Micro Hei"' % f for f in faces]
# Unmanaged windows close and exit in milliseconds and take synthetic keys reliably.
lines += ["", "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]", '"Managed"="N"']
# A crashing program prints its backtrace and ends, instead of waiting on a crash
# dialog that nobody closes until the test's timeout.
lines += ["", "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]", '"ShowCrashDialog"=dword:00000000', ""]
open(sys.argv[1], "wb").write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))
PY
  velko_wine64 regedit /S "$regfile" >/dev/null 2>&1
  wineserver -w
  echo "$ready_mark" >"$WINEPREFIX/.velko-ready"
fi
exec 9>&-   # release the lock, so that the server below does not inherit and hold it
# A persistent wineserver (it ends by itself a while after the last program).
wineserver -p"${VELKO_WINESERVER_LINGER:-60}" >/dev/null 2>&1 </dev/null || true
