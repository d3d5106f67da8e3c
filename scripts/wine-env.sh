# Sourced by the Wine scripts: the environment of our private Wine prefix for one build.
#   velko_wine_env BUILD_DIR  sets WINEPREFIX, WINEARCH, HOME, WINEDEBUG,
#   WINEDLLOVERRIDES, VELKO_WINE (the loader to run the build's programs with) and
#   VELKO_WINE64 (the loader of Wine's own 64-bit tools).
# Every prefix is a 64-bit one, whatever the build: most users run 64-bit Windows,
# where 32-bit programs meet the file-system and registry redirection of WoW64, and
# under qemu-user only a 64-bit prefix keeps Wine's helper processes alive.
# The file velko-wine-arch that CMake writes into the build folder says whether the
# build's programs are 32-bit (win32) or 64-bit (win64).
#   velko_32bit_route  decides how 32-bit programs run here; see below.

VELKO_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
VELKO_WINE32_LOADER=${VELKO_WINE32_LOADER:-/usr/lib/wine/wine}
VELKO_WINE64_LOADER=/usr/lib/wine/wine64
# The emulator of the qemu route, and the oldest qemu-user release under which Wine's
# multithreaded programs run reliably (7.2, Debian 12's own, crashes and hangs them).
VELKO_QEMU_I386=${VELKO_QEMU_I386:-/usr/bin/qemu-i386-static}
VELKO_QEMU_MIN_MAJOR=10

velko_build_arch() {
  local arch
  arch=$(cat "$1/velko-wine-arch" 2>/dev/null)
  echo "${arch:-win32}"
}

# Sets VELKO_ROUTE (native or qemu) and VELKO_ROUTE_REASON (a sentence for people),
# or, when 32-bit programs cannot run at all, VELKO_ROUTE=none with the reason, and
# fails. VELKO_32BIT_ROUTE=qemu (or native) forces a route, so that the qemu route
# is tested on machines that would not need it.
velko_32bit_route() {
  local err missing=() p
  VELKO_ROUTE=none
  for p in "$VELKO_WINE32_LOADER" "$VELKO_WINE64_LOADER"; do
    [ -x "$p" ] || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    VELKO_ROUTE_REASON="32-bit programs cannot run: Wine is incomplete (missing ${missing[*]}; packages wine64 and wine32:i386 — run scripts/setup-system.sh)"
    return 1
  fi
  case "${VELKO_32BIT_ROUTE:-}" in
    native)
      VELKO_ROUTE=native
      VELKO_ROUTE_REASON="32-bit programs run natively (forced by VELKO_32BIT_ROUTE=native)"
      return 0 ;;
    qemu)
      velko_qemu_ready || return 1
      VELKO_ROUTE=qemu
      VELKO_ROUTE_REASON="32-bit programs run through qemu-user because VELKO_32BIT_ROUTE=qemu asks for it"
      return 0 ;;
    "") ;;
    *)
      VELKO_ROUTE_REASON="VELKO_32BIT_ROUTE must be native or qemu, not '$VELKO_32BIT_ROUTE'"
      return 1 ;;
  esac
  # Inside our own qemu namespace the native loader "works" through qemu: keep the route.
  if [ -n "${VELKO_QEMU_NAMESPACE:-}" ]; then
    VELKO_ROUTE=qemu
    VELKO_ROUTE_REASON="32-bit programs run through qemu-user because this kernel refuses them"
    return 0
  fi
  if err=$("$VELKO_WINE32_LOADER" --version 2>&1 >/dev/null); then
    VELKO_ROUTE=native
    VELKO_ROUTE_REASON="32-bit programs run natively"
    return 0
  fi
  # Only "Exec format error" means that the kernel refuses 32-bit code; anything else
  # is a broken installation, and saying so beats blaming the kernel.
  if ! printf '%s' "$err" | grep -qi 'exec format error'; then
    VELKO_ROUTE_REASON="32-bit programs cannot run: $VELKO_WINE32_LOADER does not start (${err:-no message}); reinstall wine32:i386 with scripts/setup-system.sh"
    return 1
  fi
  velko_qemu_ready || return 1
  VELKO_ROUTE=qemu
  VELKO_ROUTE_REASON="32-bit programs run through qemu-user because this kernel refuses them"
}

# The qemu route needs the emulator, recent enough, and Wine's preloader (without the
# preloader every 32-bit process takes most of a minute to start under qemu).
velko_qemu_ready() {
  local missing=() version major
  [ -x "$VELKO_QEMU_I386" ] || missing+=("qemu-user-static")
  [ -x /usr/lib/wine/wine-preloader ] || missing+=("wine32-preloader:i386")
  command -v unshare >/dev/null || missing+=("util-linux")
  if [ ${#missing[@]} -gt 0 ]; then
    VELKO_ROUTE=none
    VELKO_ROUTE_REASON="32-bit programs cannot run through qemu-user: package ${missing[*]} is not installed (run scripts/setup-system.sh)"
    return 1
  fi
  version=$("$VELKO_QEMU_I386" --version 2>/dev/null | sed -n '1s/^qemu-i386 version \([0-9.]*\).*/\1/p')
  major=${version%%.*}
  if [ -z "$major" ] || [ "$major" -lt "$VELKO_QEMU_MIN_MAJOR" ]; then
    VELKO_ROUTE=none
    VELKO_ROUTE_REASON="32-bit programs cannot run through qemu-user: $VELKO_QEMU_I386 is version ${version:-unknown}, Wine needs $VELKO_QEMU_MIN_MAJOR or later (qemu-user-static from bookworm-backports: run scripts/setup-system.sh)"
    return 1
  fi
}

velko_wine_env() {
  local build_dir
  build_dir=$(cd "$1" && pwd)
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEARCH=win64
  # wineboot links Desktop and Documents to $HOME: keep that inside the build folder.
  export HOME="$build_dir/winehome"
  export WINEDEBUG=${VELKO_WINEDEBUG:--all}
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
  # Wine's own 64-bit programs (reg, taskkill) need no emulation on any route.
  export VELKO_WINE64=$VELKO_WINE64_LOADER
  if [ "$(velko_build_arch "$build_dir")" = win32 ]; then
    export VELKO_PROGRAM_BITS=32
    velko_32bit_route || { echo "wine: $VELKO_ROUTE_REASON" >&2; return 1; }
    # The 32-bit loader runs a 32-bit program in the process it was started as
    # (the 64-bit one would start it as another process, through start.exe), so
    # callers can wait for it, kill it and find its windows by process ID.
    VELKO_WINE=$VELKO_WINE32_LOADER
    if [ "$VELKO_ROUTE" = qemu ] && [ -z "${VELKO_QEMU_NAMESPACE:-}" ]; then
      VELKO_WINE="$VELKO_SCRIPTS/wine-qemu-namespace.sh"
    fi
  else
    export VELKO_PROGRAM_BITS=64
    VELKO_WINE=$VELKO_WINE64_LOADER
    VELKO_ROUTE=native
    VELKO_ROUTE_REASON="64-bit programs run natively"
  fi
  export VELKO_WINE VELKO_ROUTE VELKO_ROUTE_REASON
}

# Runs the 64-bit Wine loader (wineboot, regedit) where the prefix's 32-bit helper
# programs can run too: inside the qemu namespace on the qemu route.
velko_wine64() {
  if [ "$VELKO_WINE" = "$VELKO_SCRIPTS/wine-qemu-namespace.sh" ]; then
    "$VELKO_WINE" --loader "$VELKO_WINE64_LOADER" "$@"
  else
    "$VELKO_WINE64_LOADER" "$@"
  fi
}

# Finds the build folder (the one holding CMakeCache.txt) above a path.
velko_find_build_dir() {
  local d
  d=$(cd "$(dirname "$1")" && pwd)
  while [ "$d" != / ]; do
    [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return 0; }
    d=$(dirname "$d")
  done
  return 1
}
