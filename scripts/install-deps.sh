#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Wine runs the shipped 32-bit build: wine32 comes from the i386 architecture, and a prefix
# made with both loaders is a WoW64 prefix that runs 32- and 64-bit programs side by side.
# The dummy-driver Xorg gives Wine real side-by-side monitors.
set -euo pipefail

packages=(
  cmake make g++ python3
  fp-utils libchm-bin
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  wine64 wine32:i386 xvfb xdotool imagemagick x11-utils
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  googletest libgtest-dev
  libjpeg-dev libjpeg-turbo-progs
  clang libclang-rt-14-dev
  faketime
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -q
# The i386 udev library, and udev for Xorg, must be the very version of the installed
# amd64 one: the newest of either would otherwise want systemd upgraded with it.
pins=()
udev_version=$(dpkg-query -W -f='${Version}' libudev1 2>/dev/null || true)
[ -n "$udev_version" ] && pins=("libudev1:i386=$udev_version" "udev=$udev_version")
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" "${pins[@]}"
