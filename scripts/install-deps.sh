#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Never wine32: this machine's kernel cannot run 32-bit programs; everything that runs
# under Wine is the x86-64 build.
set -euo pipefail

packages=(
  cmake make g++ python3
  fp-utils libchm-bin
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  wine64 xvfb xdotool imagemagick x11-utils
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
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
