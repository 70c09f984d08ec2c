#!/usr/bin/env bash
# Installs what the build, the tests and the tools need on Debian 12.
# Idempotent: returns at once when everything is already present.
set -euo pipefail

PKGS_NATIVE=(
  cmake g++ make ninja-build googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-i686 mingw-w64-tools mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine64 fonts-wine xvfb xauth xdotool imagemagick
  espeak-ng sox libsox-fmt-all libgsm1-dev nsis icoutils file python3
  fonts-dejavu-core locales
)
PKGS_I386=(wine32:i386)

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

# The standard-user test runs the program under a Russian locale (ANSI code page 1251 in
# Wine); generated once, after the packages.
ensure_locale() {
  if locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then return 0; fi
  echo "Generating the locale ru_RU.UTF-8" >&2
  $SUDO sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
}

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
  ensure_locale
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if [ $need_arch -eq 1 ]; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
ensure_locale
