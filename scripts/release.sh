#!/usr/bin/env bash
# Builds the release into dist/: Vesk-<version>-win64.zip and -win32.zip (portable folders with
# Vesk.exe, plugin/, README.txt and licenses/) and Vesk-<version>-setup.exe (the installer).
# The same commit gives the same files, byte for byte: every time stamp is the last commit's.
# Reuses the win64 and win32 build trees of the presets; VESK_RELEASE_BUILDS=<folder> builds in
# <folder>/win64 and <folder>/win32 instead (to check that a fresh build gives the same bytes).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
# The presets read VESK_WERROR; the same value as the test run keeps its build trees valid.
export VESK_WERROR=${VESK_WERROR:-ON}

version=$(sed -n 's/^project(Vesk VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no project version in CMakeLists.txt" >&2; exit 1; }
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) ||
    { echo "release: set SOURCE_DATE_EPOCH outside a git checkout" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
builds=${VESK_RELEASE_BUILDS:-$root/build}
work=$root/build/release
dist=$root/dist

# Libraries built into the programs or plug-ins, one cross-build script each.
for script in scripts/build-*-mingw.sh; do
  for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
    bash "$script" "$triple"
  done
done

# Builds one target's program and shipped plug-ins and lays out its portable folder.
stage() {
  local preset=$1 folder=$2
  cmake --preset "$preset" -B "$builds/$preset" >/dev/null
  cmake --build "$builds/$preset" -j2 --target vesk_release
  rm -rf "$folder"
  cmake --install "$builds/$preset" --prefix "$folder" >/dev/null
  mkdir -p "$folder/plugin" "$folder/licenses"
  cp "$(ls -d build/deps/src/libpng1.6-*/ | head -n 1)LICENSE" "$folder/licenses/libpng-LICENSE.txt"
  cp /usr/share/doc/libz-mingw-w64-dev/copyright "$folder/licenses/zlib-copyright.txt"
  # The static link brings in mingw-w64's runtime and winpthreads (the posix thread model).
  local arch=x86-64
  [ "$preset" = win64 ] || arch=i686
  cp "/usr/share/doc/mingw-w64-$arch-dev/copyright" "$folder/licenses/mingw-w64-copyright.txt"
  # Windows' own editor wants a byte-order mark and CRLF line ends.
  { printf '\xef\xbb\xbf'; sed 's/$/\r/' packaging/README.txt; } > "$folder/README.txt"
  find "$folder" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
  find "$folder" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

# Zips a folder with its entries sorted and without extra attributes (owners, access times).
pack() {
  local parent=$1 name=$2 out=$3
  rm -f "$out"
  (cd "$parent" && find "$name" | sort | zip -X -q -@ "$out")
}

mkdir -p "$work" "$dist"
for target in win64 win32; do
  stage "$target" "$work/$target/Vesk-$version-$target"
  pack "$work/$target" "Vesk-$version-$target" "$dist/Vesk-$version-$target.zip"
done

# The uninstaller deletes exactly the files the installer can lay down; user files stay.
files_nsh=$work/files.nsh
(cd "$work/win64/Vesk-$version-win64" && find . -type f; cd "$work/win32/Vesk-$version-win32" &&
  find . -type f) | sed 's|^\./||' | sort -u | tr '/' '\\' |
  sed 's|.*|  Delete "$INSTDIR\\&"|' > "$files_nsh"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" \
  -DSTAGE64="$work/win64/Vesk-$version-win64" -DSTAGE32="$work/win32/Vesk-$version-win32" \
  -DFILES_NSH="$files_nsh" -DOUTFILE="$dist/Vesk-$version-setup.exe" packaging/vesk.nsi

(cd "$dist" && sha256sum "Vesk-$version-win64.zip" "Vesk-$version-win32.zip" \
  "Vesk-$version-setup.exe" > SHA256SUMS)
echo "release $version written to $dist:"
cat "$dist/SHA256SUMS"
