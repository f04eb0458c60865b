#!/usr/bin/env bash
# Installs what is missing, builds Stormtap in Release mode and starts it.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
if [ "${1:-}" = --demo ]; then
  exec scripts/demo.sh
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target stormtap

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY is not set): run it under Xvfb instead: xvfb-run -a ./run.sh" >&2
  exit 1
fi
exec build/stormtap/stormtap "$@"
