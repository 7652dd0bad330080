#!/usr/bin/env bash
# Cross-builds the Windows programs into build-windows/ with MinGW-w64:
# StandAloneScr.exe (one self-contained file), StandAloneScr.scr, scrtool.exe,
# Demo.scr, the test programs (run them with ctest under Wine) and the GDI
# present benchmark (scripts/bench-windows.sh).
#
# 1. Installs the cross toolchain, Wine and the build tools (idempotent).
# 2. Cross-builds zlib, libpng, libjpeg-turbo and giflib from their Debian
#    source packages, and GoogleTest from /usr/src/googletest, as static
#    libraries into a prefix outside the repository, keyed by their versions
#    (LUMEVRA_WIN_DEPS overrides it); a complete prefix is reused.
# 3. Configures and builds the project with cmake/mingw-w64.cmake.
#
# Exit code 3: the toolchain or the dependencies' sources cannot be had on
# this machine (scripts/test.sh then skips the Windows leg, loudly). Any
# other failure is the project's own and fails the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# Versions of the Debian source packages (the newest security uploads of zlib
# and libpng are not on the source mirror: the main-archive ones are pinned).
zlib_version=1:1.2.13.dfsg-1
png_version=1.6.39-2+deb12u5
jpeg_version=1:2.1.5-2
gif_version=5.2.1-2.5+deb12u1

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 xvfb xauth x11-apps imagemagick cmake make dpkg-dev nasm googletest
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
)
unavailable() {
  echo "build-windows: $1" >&2
  exit 3
}

bash scripts/install-packages.sh build-windows "${packages[@]}" || unavailable "the cross toolchain cannot be installed"

strip_epoch() { echo "${1#*:}"; }
key="zlib-$(strip_epoch $zlib_version)_png-$(strip_epoch $png_version)_jpeg-$(strip_epoch $jpeg_version)_gif-$(strip_epoch $gif_version)_gtest-$(dpkg-query -W -f='${Version}' googletest)"
deps=${LUMEVRA_WIN_DEPS:-$HOME/.cache/lumevra-win-deps/$key}
toolchain=$root/cmake/mingw-w64.cmake

build_deps() {
  local prefix=$1
  local work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  mkdir -p "$prefix/lib" "$prefix/include"

  # Source packages need deb-src lines beside the system's deb lines.
  if ! apt-cache showsrc zlib 2>/dev/null | grep -q '^Package:'; then
    local src=/etc/apt/sources.list.d/debian-src.sources
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | "${SUDO[@]}" tee "$src" >/dev/null
    "${SUDO[@]}" apt-get update -q || unavailable "the source package lists cannot be fetched"
  fi
  (cd "$work" && apt-get source -q \
      "zlib=$zlib_version" "libpng1.6=$png_version" "libjpeg-turbo=$jpeg_version" "giflib=$gif_version" >/dev/null) ||
    unavailable "the dependencies' source packages cannot be fetched"

  local cm=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DLUMEVRA_WIN_DEPS="$prefix" -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_CROSSCOMPILING_EMULATOR=)

  echo "build-windows: zlib"
  (cd "$work"/zlib-*/ && CHOST=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix ./configure --static --prefix="$prefix" >/dev/null \
     && make -j "$jobs" libz.a >/dev/null && make install >/dev/null)

  echo "build-windows: libpng"
  cmake -S "$work"/libpng1.6-*/ -B "$work/png-build" "${cm[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" >/dev/null
  cmake --build "$work/png-build" -j "$jobs" --target install >/dev/null

  echo "build-windows: libjpeg-turbo"
  cmake -S "$work"/libjpeg-turbo-*/ -B "$work/jpeg-build" "${cm[@]}" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm -DCMAKE_INSTALL_LIBDIR="$prefix/lib" >/dev/null
  cmake --build "$work/jpeg-build" -j "$jobs" --target install >/dev/null

  echo "build-windows: giflib"
  (cd "$work"/giflib-*/ && make -j "$jobs" CC=x86_64-w64-mingw32-gcc-posix AR=x86_64-w64-mingw32-ar libgif.a >/dev/null \
     && x86_64-w64-mingw32-ranlib libgif.a && cp libgif.a "$prefix/lib/" && cp gif_lib.h "$prefix/include/")

  echo "build-windows: GoogleTest"
  cmake -S /usr/src/googletest -B "$work/gtest-build" "${cm[@]}" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$work/gtest-build" -j "$jobs" --target install >/dev/null
}

if [ ! -f "$deps/.complete" ]; then
  echo "build-windows: building the static libraries into $deps"
  rm -rf "$deps"
  build_deps "$deps"
  touch "$deps/.complete"
else
  echo "build-windows: reusing $deps"
fi

# The build runs Windows programs (the demo scene's painter, scrtool, the
# test discovery) under Wine, in a prefix of the build's own.
mkdir -p build-windows
export WINEPREFIX=${WINEPREFIX:-$root/build-windows/wine-prefix}
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "build-windows: creating the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# Wine's services started first, with their output going nowhere: a piped
# start would make every later program wait for them.
(wineserver -p >/dev/null 2>&1; wine cmd /c exit </dev/null >/dev/null 2>&1)
trap 'wineserver -k 2>/dev/null || true' EXIT

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DLUMEVRA_WIN_DEPS="$deps" \
  -DCMAKE_BUILD_TYPE=Release -DLUMEVRA_BUILD_BENCH=ON
cmake --build build-windows -j "$jobs"
echo "build-windows: programs in build-windows/bin"
