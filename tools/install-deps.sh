#!/usr/bin/env bash
# Installs what the build, the tests and the tools need on Debian 12.
# Idempotent: returns at once when everything is already present.
set -euo pipefail

PKGS_NATIVE=(
  cmake g++ make ninja-build googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-i686 mingw-w64-tools mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine64 xvfb xauth xdotool imagemagick
  espeak-ng sox libsox-fmt-all libgsm1-dev nsis icoutils file python3
  fonts-dejavu-core
)
PKGS_I386=(wine32:i386)

missing=()
for p in "${PKGS_NATIVE[@]}" "${PKGS_I386[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_arch=1
else
  need_arch=0
fi
if [ ${#missing[@]} -eq 0 ] && [ $need_arch -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
if [ $need_arch -eq 1 ]; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
