#!/usr/bin/env bash
# Builds the image-reader fuzzers with clang and runs each for a bounded time
# on a corpus seeded with our own small files. Exits non-zero on any finding
# (the input that caused it is kept under $BUILD/artifacts/).
#   FUZZ_SECONDS  seconds per target (default 20)
#   FUZZ_BUILD    build directory (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH=${FUZZ_SECONDS:-20}
BUILD=${FUZZ_BUILD:-build-fuzz}
CXX=${FUZZ_CXX:-clang++-14}
mkdir -p "$BUILD/artifacts"

# UBSan without float-divide-by-zero: the code relies on masked floating-point
# exceptions, where a division by zero is an infinity, not a fault.
SAN="-fsanitize=fuzzer,address,undefined -fno-sanitize=float-divide-by-zero -fno-sanitize-recover=undefined"
COMMON="-std=c++20 -O1 -g -Wall -Wextra -ffp-contract=off -Iplatform/include -Iplatform -Itoolkit/include -Itools/imageio"

build() {  # name, sources...
  local name=$1
  shift
  echo "building $name"
  $CXX $COMMON $SAN "$@" -o "$BUILD/$name"
}
build tga_fuzz fuzz/tga_fuzz.cpp toolkit/texture/tga.cpp fuzz/message_box_stub.cpp
build bmp_fuzz fuzz/bmp_fuzz.cpp platform/bmp_decode.cpp
build cursor_fuzz fuzz/cursor_fuzz.cpp platform/cursor_decode.cpp platform/bmp_decode.cpp
$CXX $COMMON fuzz/make_seeds.cpp tools/imageio/image_writer.cpp -o "$BUILD/make_seeds"

for t in tga bmp cursor; do
  rm -rf "$BUILD/seeds/$t"
  mkdir -p "$BUILD/seeds/$t" "$BUILD/corpus/$t"
done
"$BUILD/make_seeds" "$BUILD/seeds/tga" "$BUILD/seeds/bmp" "$BUILD/seeds/cursor"

status=0
for t in tga bmp cursor; do
  log="$BUILD/$t.log"
  if "$BUILD/${t}_fuzz" -max_total_time="$SECONDS_EACH" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$BUILD/artifacts/${t}-" "$BUILD/corpus/$t" "$BUILD/seeds/$t" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "${t}_fuzz: ${runs:-?} executions, no finding"
  else
    echo "${t}_fuzz: FINDING (see $log and $BUILD/artifacts/)"
    tail -40 "$log"
    status=1
  fi
done
exit $status
