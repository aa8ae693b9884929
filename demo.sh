#!/usr/bin/env bash
# Builds the demo and runs it from build/bin, where its images lie.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages $RUNTIME_PACKAGES
build_project build -DRAYHEIGHT_TESTS=OFF -DRAYHEIGHT_BENCH=OFF
cd build/bin
exec ./rayheight "$@"
