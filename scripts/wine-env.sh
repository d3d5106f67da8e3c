# Sourced by the Wine scripts: the environment of our private Wine prefix for one build.
#   velko_wine_env BUILD_DIR [ARCH]  sets WINEPREFIX, WINEARCH, HOME, WINEDEBUG,
#   WINEDLLOVERRIDES and VELKO_WINE (the loader to run programs with).
# ARCH is win64 for a 64-bit build and win32 for a 32-bit one; by default it is read
# from the file velko-wine-arch that CMake writes into the build folder.

velko_build_arch() {
  local arch
  arch=$(cat "$1/velko-wine-arch" 2>/dev/null)
  echo "${arch:-win32}"
}

velko_wine_env() {
  local build_dir arch
  build_dir=$(cd "$1" && pwd)
  arch=${2:-$(velko_build_arch "$build_dir")}
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEARCH="$arch"
  # wineboot links Desktop and Documents to $HOME: keep that inside the build folder.
  export HOME="$build_dir/winehome"
  export WINEDEBUG=${VELKO_WINEDEBUG:--all}
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
  if [ "$arch" = win64 ]; then
    VELKO_WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
  else
    VELKO_WINE=$(command -v wine)
  fi
  export VELKO_WINE
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
