#!/usr/bin/env bash
# Cross-builds libpng (static) for one Windows target from Debian's source package, into
# build/deps/<triple>, where the Windows presets' find_package(PNG) looks. Quick when done.
# The source stays in build/deps/src: the release ships its LICENSE.
set -euo pipefail
triple=$1
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$root/build/deps/$triple

src_root=$root/build/deps/src
mkdir -p "$src_root"
if ! ls -d "$src_root"/libpng1.6-*/ >/dev/null 2>&1; then
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      > /etc/apt/sources.list.d/debian-src.sources
    # A source index that fails (a mirror mid-sync) need not stop us: the others name the source.
    apt-get update -qq || echo "a package index failed to update; going on with the others"
  fi
  # The newest security revision's source can be missing from the archive; fall back to the
  # other versions the archive lists.
  (cd "$src_root" && { apt-get source -qq libpng1.6 >/dev/null 2>&1 || {
      for v in $(apt-cache showsrc libpng1.6 | awk '/^Version:/ {print $2}'); do
        apt-get source -qq "libpng1.6=$v" >/dev/null 2>&1 && break
      done; }; })
fi
src=$(ls -d "$src_root"/libpng1.6-*/ | head -n 1)
[ -f "$prefix/lib/libpng.a" ] && exit 0
arch=${triple%%-*}
cmake -S "$src" -B "$root/build/deps/build-$triple" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" \
  -DZLIB_INCLUDE_DIR="/usr/$triple/include" >/dev/null
cmake --build "$root/build/deps/build-$triple" --target install >/dev/null
