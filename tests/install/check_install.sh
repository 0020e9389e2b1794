#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and builds a small consumer
# against it twice: with find_package(zarnex) and with pkg-config. Each
# consumer encodes an example and decodes it back.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

example=$source/examples/invoice.xml
check() {  # runs a consumer and checks its two lines
  local out
  out=$("$@" < "$example")
  local code=${out%%$'\n'*}
  [[ $code == 2* ]] || { echo "bad code from $1: $code"; exit 1; }
  [[ $out == *'xsi:type="Invoice"'* ]] || { echo "bad XML from $1"; exit 1; }
  [[ $code == "$("$prefix/bin/zarnex" --encode < "$example")" ]] || {
    echo "code differs from the tool's"; exit 1; }
}

libdir=$(find "$prefix" -name 'libzarnex.so' -printf '%h\n' | head -n 1)
[ -f "$prefix/include/zarnex/zarnex.hpp" ] && [ -f "$prefix/include/zarnex/zarnex.h" ]
[ -f "$prefix/share/man/man1/zarnex.1" ]
for schema in pay invoice invoice-items; do
  [ -f "$prefix/share/zarnex/$schema.xsd" ]
done

cmake -S "$source/tests/install" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
LD_LIBRARY_PATH=$libdir check "$work/cmake/consumer"
check "$work/cmake/consumer_static"

export PKG_CONFIG_PATH=$libdir/pkgconfig
g++ -std=c++20 -o "$work/pkgconfig-consumer" "$source/tests/install/consumer.cc" \
  $(pkg-config --cflags --libs zarnex) -Wl,-rpath,"$libdir"
check "$work/pkgconfig-consumer"
echo "installed package: CMake and pkg-config consumers work"
