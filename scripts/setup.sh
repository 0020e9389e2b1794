#!/usr/bin/env bash
# Installs the Debian packages that building and testing zarnex needs, when
# they are missing. Run as root (or with sudo available).
set -euo pipefail

packages=(cmake g++ make pkg-config libxml2-dev liblzma-dev libgtest-dev libgmock-dev
          libbenchmark-dev libxml2-utils python3 xz-utils
          clang libclang-rt-14-dev valgrind
          libqrencode-dev libpng-dev zbar-tools librsvg2-bin
          locales)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
