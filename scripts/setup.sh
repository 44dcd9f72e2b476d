#!/usr/bin/env bash
# Installs everything Vesk needs to build, run and test on a fresh Debian 12 machine.
# Idempotent: a second run only checks that the packages are there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev clang-format
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 libz-mingw-w64-dev
  wine wine64 wine32 xvfb x11-apps imagemagick xdotool
  pulseaudio pulseaudio-utils sox python3-numpy lame vorbis-tools flac id3v2 libflac-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev zlib1g-dev
  libpugixml-dev libtinyxml2-dev libspng-dev libstb-dev libfftw3-dev libkissfft-dev libmpg123-dev
  fonts-noto-cjk dpkg-dev nsis zip unzip x11-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  missing+=(wine32)
fi
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught mid-sync fails one index now and then; try again, and go on with what the
  # other indexes give rather than stop the whole set-up for it.
  for attempt in 1 2 3; do
    apt-get update -qq && break
    echo "setup: apt-get update failed (attempt $attempt), trying again"
    sleep 10
  done
  apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi
