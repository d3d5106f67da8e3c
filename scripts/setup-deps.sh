#!/usr/bin/env bash
# Builds the static Windows libraries the programs link, from Debian source packages,
# for each mingw-w64 architecture given (default: i686 x86_64):
#   zlib (Debian's libz-mingw-w64-dev static libz.a), minizip (zlib's contrib/minizip),
#   TinyXML (TIXML_USE_STL), libcurl (HTTP only, Schannel, zlib), UnRAR (RARDLL),
#   GoogleTest/GoogleMock, and the nlohmann JSON headers.
# Result: $VELKO_DEPS_DIR/<arch>/{include,lib}, where <arch> is a link to a folder keyed
# by the source versions and this script's content, so a change of either rebuilds and a
# second run with nothing changed takes a moment. Never inside the work tree.
set -euo pipefail

DEPS_DIR=${VELKO_DEPS_DIR:-$HOME/.cache/velko-deps}
ARCHS=("$@")
[ ${#ARCHS[@]} -gt 0 ] || ARCHS=(i686 x86_64)
JOBS=${VELKO_JOBS:-$(nproc)}
SRC_PACKAGES=(zlib tinyxml curl unrar-nonfree)
SELF_HASH=$(sha256sum "$0" | cut -c1-12)

log() { echo "setup-deps: $*"; }

source_version() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | head -n 1; }

deps_key() {
  local p versions=""
  for p in "${SRC_PACKAGES[@]}"; do versions+="$p=$(source_version "$p");"; done
  versions+="googletest=$(dpkg-query -W -f='${Version}' googletest);"
  versions+="nlohmann=$(dpkg-query -W -f='${Version}' nlohmann-json3-dev);"
  versions+="zlib-mingw=$(dpkg-query -W -f='${Version}' libz-mingw-w64-dev);"
  versions+="gcc=$(i686-w64-mingw32-g++-posix -dumpversion);script=$SELF_HASH"
  echo "$versions" | sha256sum | cut -c1-16
}

# Fetches and unpacks one Debian source package (patches applied) into $DEPS_DIR/src.
fetch_source() {
  local pkg=$1 ver dir
  ver=$(source_version "$pkg")
  dir="$DEPS_DIR/src/$pkg-${ver//[:~+]/_}"
  if [ ! -f "$dir/.done" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq "$pkg=$ver" >/dev/null 2>&1) || {
      echo "setup-deps: apt-get source $pkg=$ver failed (deb-src lines missing? run scripts/setup-system.sh)" >&2
      exit 1
    }
    touch "$dir/.done"
  fi
  # The one unpacked folder inside.
  find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

build_zlib_minizip() {
  local triple=$1 prefix=$2 zsrc=$3 obj
  cp "/usr/$triple/lib/libz.a" "$prefix/lib/libz.a"
  cp "/usr/$triple/include/zlib.h" "/usr/$triple/include/zconf.h" "$prefix/include/"
  obj=$(mktemp -d)
  for f in ioapi unzip zip; do
    "$triple-gcc-posix" -O2 -I"$prefix/include" -c "$zsrc/contrib/minizip/$f.c" -o "$obj/$f.o"
  done
  "$triple-ar" rcs "$prefix/lib/libminizip.a" "$obj"/*.o
  mkdir -p "$prefix/include/minizip"
  cp "$zsrc/contrib/minizip/"{ioapi.h,unzip.h,zip.h,crypt.h} "$prefix/include/minizip/"
  rm -rf "$obj"
}

build_tinyxml() {
  local triple=$1 prefix=$2 src=$3 obj
  obj=$(mktemp -d)
  for f in tinyxml tinystr tinyxmlerror tinyxmlparser; do
    "$triple-g++-posix" -O2 -DTIXML_USE_STL -c "$src/$f.cpp" -o "$obj/$f.o"
  done
  "$triple-ar" rcs "$prefix/lib/libtinyxml.a" "$obj"/*.o
  cp "$src/tinyxml.h" "$src/tinystr.h" "$prefix/include/"
  rm -rf "$obj"
}

build_curl() {
  local arch=$1 prefix=$2 src=$3 bdir
  bdir=$(mktemp -d)
  cmake -S "$src" -B "$bdir" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" -DVELKO_DEPS_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
    -DHTTP_ONLY=ON -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_MBEDTLS=OFF \
    -DCURL_USE_WOLFSSL=OFF -DCURL_USE_GNUTLS=OFF -DCURL_USE_NSS=OFF -DCURL_USE_BEARSSL=OFF \
    -DCURL_ZLIB=ON -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" \
    -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF -DCURL_USE_LIBPSL=OFF -DCURL_USE_LIBSSH2=OFF \
    -DCURL_USE_LIBSSH=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_NGTCP2=OFF \
    -DUSE_QUICHE=OFF -DUSE_MSH3=OFF -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
    -DENABLE_UNIX_SOCKETS=OFF -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none >"$bdir/configure.log" 2>&1 \
    || { tail -n 40 "$bdir/configure.log"; exit 1; }
  cmake --build "$bdir" -j "$JOBS" >"$bdir/build.log" 2>&1 || { tail -n 40 "$bdir/build.log"; exit 1; }
  cmake --install "$bdir" >/dev/null
  rm -rf "$bdir"
}

build_unrar() {
  local triple=$1 prefix=$2 src=$3 work
  work=$(mktemp -d)
  cp -r "$src/." "$work/"
  # mingw-w64 ships these headers in lower case, and its _bstr_t has no narrow-literal
  # constructor that the upstream code relies on.
  sed -i 's/<PowrProf.h>/<powrprof.h>/' "$work/os.hpp"
  sed -i 's/<Wbemidl.h>/<wbemidl.h>/' "$work/isnt.cpp"
  sed -i 's/bstr_t("\([^"]*\)")/bstr_t(L"\1")/g' "$work/isnt.cpp"
  make -C "$work" -j "$JOBS" static-lib WHAT=RARDLL \
    CXX="$triple-g++-posix" AR="$triple-ar" CXXFLAGS="-O2 -Wno-dangling-else -Wno-switch -Wno-logical-op-parentheses" \
    DEFINES="-DRARDLL -DRAR_SMP" LIB_OBJ="filestr.o scantree.o dll.o qopen.o isnt.o" \
    >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; exit 1; }
  cp "$work/libunrar.a" "$prefix/lib/"
  mkdir -p "$prefix/include/unrar"
  cp "$work/dll.hpp" "$prefix/include/unrar/"
  rm -rf "$work"
}

build_gtest() {
  local arch=$1 prefix=$2 bdir
  bdir=$(mktemp -d)
  cmake -S /usr/src/googletest -B "$bdir" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" -DVELKO_DEPS_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON \
    -Dgtest_disable_pthreads=ON -DBUILD_SHARED_LIBS=OFF >"$bdir/configure.log" 2>&1 \
    || { tail -n 40 "$bdir/configure.log"; exit 1; }
  cmake --build "$bdir" -j "$JOBS" >"$bdir/build.log" 2>&1 || { tail -n 40 "$bdir/build.log"; exit 1; }
  cmake --install "$bdir" >/dev/null
  rm -rf "$bdir"
}

build_arch() {
  local arch=$1 key=$2 triple prefix
  triple="$arch-w64-mingw32"
  prefix="$DEPS_DIR/$arch-$key"
  if [ -f "$prefix/.complete" ]; then
    ln -sfn "$prefix" "$DEPS_DIR/$arch"
    log "$arch up to date ($prefix)"
    return
  fi
  log "building $arch dependencies into $prefix"
  rm -rf "$prefix" && mkdir -p "$prefix/include" "$prefix/lib"
  build_zlib_minizip "$triple" "$prefix" "$ZLIB_SRC"
  build_tinyxml "$triple" "$prefix" "$TINYXML_SRC"
  build_curl "$arch" "$prefix" "$CURL_SRC"
  build_unrar "$triple" "$prefix" "$UNRAR_SRC"
  build_gtest "$arch" "$prefix"
  cp -r /usr/include/nlohmann "$prefix/include/"
  touch "$prefix/.complete"
  ln -sfn "$prefix" "$DEPS_DIR/$arch"
  log "$arch done"
}

ROOT=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$DEPS_DIR/src"
KEY=$(deps_key)
need=0
for arch in "${ARCHS[@]}"; do [ -f "$DEPS_DIR/$arch-$KEY/.complete" ] || need=1; done
if [ "$need" = 1 ]; then
  ZLIB_SRC=$(fetch_source zlib)
  TINYXML_SRC=$(fetch_source tinyxml)
  CURL_SRC=$(fetch_source curl)
  UNRAR_SRC=$(fetch_source unrar-nonfree)
fi
for arch in "${ARCHS[@]}"; do build_arch "$arch" "$KEY"; done
