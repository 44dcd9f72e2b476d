#!/usr/bin/env bash
# Cross-builds libFLAC (static, library only) for one Windows target from Debian's source
# package, into build/deps/<triple>, where the FLAC plug-in's CMake finds it. Quick when done.
set -euo pipefail
triple=$1
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$root/build/deps/$triple
[ -f "$prefix/lib/libFLAC.a" ] && exit 0

src_root=$root/build/deps/src
mkdir -p "$src_root"
if ! ls -d "$src_root"/flac-*/ >/dev/null 2>&1; then
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      > /etc/apt/sources.list.d/debian-src.sources
    # A source index that fails (a mirror mid-sync) need not stop us: the others name the source.
    apt-get update -qq || echo "a package index failed to update; going on with the others"
  fi
  # The newest security revision's source can be missing from the archive; fall back to the
  # other versions the archive lists.
  (cd "$src_root" && { apt-get source -qq flac >/dev/null 2>&1 || {
      for v in $(apt-cache showsrc flac | awk '/^Version:/ {print $2}'); do
        apt-get source -qq "flac=$v" >/dev/null 2>&1 && break
      done; }; })
fi
src=$(ls -d "$src_root"/flac-*/ | head -n 1)
arch=${triple%%-*}
# Only the C library: no Ogg container, programs, tests, examples or documents. The stack
# protector and fortify options would pull in libssp, which the static plug-in does not link.
cmake -S "$src" -B "$root/build/deps/build-flac-$triple" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DBUILD_CXXLIBS=OFF \
  -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_DOCS=OFF \
  -DINSTALL_MANPAGES=OFF -DWITH_OGG=OFF -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF \
  -DINSTALL_PKGCONFIG_MODULES=OFF >/dev/null
cmake --build "$root/build/deps/build-flac-$triple" -j2 --target install >/dev/null
