#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need. Safe to run again.
set -euo pipefail

pkgs=(
  cmake g++ make clang libclang-rt-14-dev
  qtbase5-dev qttools5-dev qttools5-dev-tools libqt5serialport5-dev libqt5svg5-dev
  libqcustomplot-dev libcjson-dev libquazip1-qt5-dev
  p7zip-full socat xvfb xauth fonts-noto-cjk
  libbenchmark-dev binutils qttranslations5-l10n
)

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
