#!/usr/bin/env bash
# Installs what the build and the tests need and is missing; safe to run again.
#   scripts/bootstrap.sh            packages + mingw libjpeg + Wine base prefix
# Honours BUILD_CACHE (default: <repo>/.cache) for the libjpeg build and the prefix.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${BUILD_CACHE:-$repo/.cache}"
mkdir -p "$cache"

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick xdotool
  zlib1g-dev libjpeg62-turbo-dev libz-mingw-w64-dev
  googletest nasm dpkg-dev
)

missing=()
have_i386=0
dpkg --print-foreign-architectures | grep -qx i386 && have_i386=1
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# apt-get source needs deb-src lines for the same suites as the binary ones.
need_src=0
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  need_src=1
fi

if [ "${#missing[@]}" -gt 0 ] || [ "$have_i386" = 0 ] || [ "$need_src" = 1 ]; then
  if [ "$have_i386" = 0 ]; then $SUDO dpkg --add-architecture i386; fi
  if [ "$need_src" = 1 ]; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
    else
      echo "deb-src http://deb.debian.org/debian bookworm main" | $SUDO tee /etc/apt/sources.list.d/debian-src.list >/dev/null
    fi
  fi
  $SUDO apt-get update -q
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "bootstrap: installing ${missing[*]}"
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi

# libjpeg-turbo for mingw, from Debian's own source package.
jpeg_prefix="$cache/libjpeg-turbo-mingw"
if [ ! -f "$jpeg_prefix/lib/libjpeg.a" ]; then
  echo "bootstrap: building libjpeg-turbo for i686-w64-mingw32"
  src="$cache/libjpeg-src"
  rm -rf "$src" && mkdir -p "$src"
  (cd "$src" && apt-get source -q --download-only libjpeg-turbo >/dev/null 2>&1 && dpkg-source -x ./*.dsc tree >/dev/null 2>&1)
  cmake -S "$src/tree" -B "$src/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DCMAKE_INSTALL_PREFIX="$jpeg_prefix" -Wno-dev >/dev/null
  cmake --build "$src/build" --target install >/dev/null
  rm -rf "$src"
fi

# The Wine base prefix, copied for every test run and for the demo.
"$repo/scripts/wineprefix.sh" base
echo "bootstrap: ready"
