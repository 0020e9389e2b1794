#!/usr/bin/env bash
# Installs the Debian packages zarnex needs, when they are missing. Run as
# root (or with sudo available).
#
#   scripts/setup.sh          everything: building, the tests and their tools
#   scripts/setup.sh build    only what building and running the tool needs
set -euo pipefail

build_packages=(cmake g++ make pkg-config libxml2-dev liblzma-dev
                libqrencode-dev libpng-dev rapidjson-dev)
# The tests, the benchmark and the hardening stages: GoogleTest, Google
# Benchmark, xmllint, python3 and xz for outside checks, clang with its
# sanitizer runtime, valgrind, a QR scanner, an SVG renderer,
# and the locales package to make the comma locales the number tests run
# under.
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev libxml2-utils python3
               xz-utils clang libclang-rt-14-dev valgrind zbar-tools librsvg2-bin
               locales
               # scripts/make-tables.py: the sources of the code tables in data/
               iso-codes python3-stdnum)

packages=("${build_packages[@]}")
[ "${1:-}" = build ] || packages+=("${test_packages[@]}")
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
