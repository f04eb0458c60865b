#!/usr/bin/env bash
# Installs the Debian 12 packages that Stormtap needs, and only those that are
# missing: what building, packaging and running it need, and with --test what
# the tests need besides. Uses sudo when not run as root.
set -euo pipefail

packages=(
  # build and package
  cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libgl-dev libgif-dev dpkg-dev file
  # run: the window's platform plugin, the SVG pictures, and the fonts that
  # stand in for the window's Windows fonts
  qt6-qpa-plugins libqt6svg6 fonts-liberation fonts-comic-neue fonts-dejavu-core
)
if [ "${1:-}" = --test ]; then
  packages+=(
    # tsarelay: cross compilers, Wine for its behaviour tests, an emulator for its 32-bit code
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 libunicorn-dev
    # fuzzing the file readers, benchmarks, screenshots and tray checks
    clang libclang-rt-14-dev curl xvfb xauth
    # checking the package: validators, and a launcher that reads desktop entries
    desktop-file-utils appstream libglib2.0-bin
  )
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
