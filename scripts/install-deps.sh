#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Stormtap
# need, and only those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev libgif-dev
  # fonts that stand in for the window's Windows fonts
  fonts-liberation fonts-comic-neue fonts-dejavu-core
  # tsarelay: cross compilers, Wine for its behaviour tests, an emulator for its 32-bit code
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 libunicorn-dev
  # fuzzing the file readers, benchmarks, screenshots and tray checks
  clang libclang-rt-14-dev curl xvfb xauth
)

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
