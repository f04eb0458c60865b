#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh --test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DSTORMTAP_TSARELAY=ON >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
