#!/usr/bin/env bash
# Brings a fresh Debian 12 machine (as root) to the state the build and the tests need:
# i386 architecture, the non-free component and deb-src lines, and every package.
# Idempotent: when everything is present it returns in a second without touching apt.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ clang pkg-config dpkg-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev libz-mingw-w64-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 wine32:i386 wine32-preloader:i386 qemu-user-static
  xvfb xauth xdotool imagemagick x11-utils
  rar unrar fonts-wqy-microhei python3-pytest curl
  libtinyxml-dev nlohmann-json3-dev libminizip-dev zlib1g-dev libcurl4-openssl-dev
  libunrar-dev googletest libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev
)
# 32-bit Wine (wine32:i386) installs on every machine; where the kernel refuses
# 32-bit code its loader runs through qemu-user (qemu-user-static), and the
# preloader (wine32-preloader:i386) keeps each emulated start under a second.
# The scripts choose the route by trying the native loader (scripts/wine-env.sh).
#
# qemu-user comes from bookworm-backports (10.0): under Debian 12's own 7.2, Wine's
# multithreaded programs crash or hang. Only the qemu-user packages are pinned to
# backports; everything else stays with bookworm.
QEMU_BACKPORTS=(qemu-user qemu-user-static qemu-user-binfmt)
QEMU_MIN_MAJOR=10

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

if [ "$(id -u)" != 0 ]; then
  echo "setup-system: must run as root" >&2
  exit 1
fi

sources_changed=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  sources_changed=1
fi

# The archive lines of a deb822 sources file: make them carry non-free and deb-src.
src=/etc/apt/sources.list.d/debian.sources
if [ -f "$src" ]; then
  if ! grep -q '^Types: deb deb-src' "$src" || ! grep -q '^Components:.*non-free\b' "$src"; then
    sed -i -e 's/^Types: deb$/Types: deb deb-src/' \
           -e 's/^Components: main$/Components: main non-free non-free-firmware/' "$src"
    sources_changed=1
  fi
elif [ -f /etc/apt/sources.list ]; then
  if ! grep -q '^deb-src' /etc/apt/sources.list || ! grep -q ' non-free' /etc/apt/sources.list; then
    sed -i -E 's/^(deb(-src)? [^ ]+ [^ ]+) main$/\1 main non-free non-free-firmware/' /etc/apt/sources.list
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >> /etc/apt/sources.list
    sources_changed=1
  fi
fi

# Backports, taken only for the packages named in the pin file.
backports=/etc/apt/sources.list.d/velko-backports.sources
if [ ! -f "$backports" ]; then
  cat >"$backports" <<'EOF'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  sources_changed=1
fi
cat >/etc/apt/preferences.d/velko-qemu-backports <<EOF
Package: *
Pin: release n=bookworm-backports
Pin-Priority: 100

Package: ${QEMU_BACKPORTS[*]}
Pin: release n=bookworm-backports
Pin-Priority: 990
EOF

need=$(missing_packages)
# Debian 12's own qemu-user-static counts as missing: with the pin above, apt
# replaces it with the backported one.
qemu_major=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null | sed -E 's/^[0-9]+://; s/[^0-9].*//')
if [ -n "$qemu_major" ] && [ "$qemu_major" -lt "$QEMU_MIN_MAJOR" ]; then
  need="$need ${QEMU_BACKPORTS[*]}"
fi
stamp=/var/lib/apt/velko-setup.stamp
if [ "$sources_changed" = 1 ] || [ -n "$need" ] || [ ! -f "$stamp" ]; then
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught in the middle of a sync fails one index file now and then;
  # try again, and if it still fails go on with the indexes there are: the
  # install below says whether they were enough.
  for attempt in 1 2 3; do
    apt-get update -qq && break
    echo "setup-system: package index update failed (attempt $attempt)" >&2
    sleep 20
  done
  if [ -n "$need" ]; then
    apt-get install -y -qq --no-install-recommends $need >/dev/null
  fi
  touch "$stamp"
fi
echo "setup-system: packages ready"
