#!/usr/bin/env bash
# Installs the toolkit into a scratch prefix, then builds programs out of tree
# against it: through its CMake package and through pkg-config.
#   install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
# Relocatable: the package works from wherever the prefix is moved to.
mv "$work/prefix" "$work/moved"

programs=("$src/tests/install/consumer")
[ -d "$src/examples/buttons" ] && programs+=("$src/examples/buttons")
for dir in "${programs[@]}"; do
  name=$(basename "$dir")
  echo "== $name through find_package(Tarvex)"
  cmake -S "$src/tests/install/consumer" -B "$work/cmake-$name" -DCMAKE_PREFIX_PATH="$work/moved" \
    -DCONSUMER_SOURCES="$dir" >/dev/null
  cmake --build "$work/cmake-$name" -j 2 >/dev/null
  test -x "$work/cmake-$name/consumer"

  echo "== $name through pkg-config"
  export PKG_CONFIG_PATH="$work/moved/lib/pkgconfig"
  # shellcheck disable=SC2046
  g++ -std=c++20 "$dir"/*.cpp $(pkg-config --cflags --libs tarvex) -o "$work/pc-$name"
  test -x "$work/pc-$name"
done
echo "installed package builds: ${#programs[@]} program(s), both ways"
