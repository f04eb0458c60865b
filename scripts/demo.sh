#!/usr/bin/env bash
# Starts Stormtap against the local radar server with a ready GLAVEN.CFG, so that
# pressing Retrieve fills build/demo/images/ within seconds. The server runs in
# the background for as long as Stormtap does.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${STORMTAP_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target stormtap stormtap-viewer radarserver

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found (DISPLAY is not set): run it under Xvfb instead: xvfb-run -a ./run.sh --demo" >&2
  exit 1
fi

demo=$PWD/$build/demo
mkdir -p "$demo/images"
cp "$build/stormtap/stormtap" "$demo/"
cp app/data/SITES.DAT "$demo/"

# The server picks a free port and names it on its first line.
log=$demo/radarserver.log
: >"$log"
"$build/tools/radarserver/radarserver" --sites app/data/SITES.DAT --port 0 \
  --user demo --password demo --interval-seconds 120 >"$log" &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^listening' "$log" && break
  kill -0 "$server" 2>/dev/null || { echo "radarserver did not start" >&2; exit 1; }
  sleep 0.05
done
port=$(sed -n 's/^listening 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log")
[ -n "$port" ] || { echo "radarserver named no port" >&2; exit 1; }

# Settings: server, port, user, password, refresh minutes, rounds (30000 =
# endless), naming (1 = sequential), image directory; then three images.
{
  printf '"127.0.0.1"\r\n%s\r\n"demo"\r\n"demo"\r\n3\r\n30000\r\n1\r\n"%s/"\r\n' "$port" "$demo/images"
  printf '"KENX"\r\n"Albany, NY     Base Reflectivity"\r\n0\r\n'
  printf '"KENXanbv.gif"\r\n"Albany, NY     Base Velocity"\r\n1\r\n'
  printf '"KFFCxn1r.gif"\r\n"Atlanta, GA    1-Hr Precip Total"\r\n2\r\n'
  printf '"KOKX"\r\n"New York City, NY Base Reflectivity"\r\n0\r\n'
} >"$demo/GLAVEN.CFG"

echo "radarserver on 127.0.0.1:$port (user demo, password demo); press Retrieve,"
echo "and the pictures arrive in $demo/images/; to watch them arrive, run in a second terminal:"
echo "  $build/stormtap/stormtap-viewer $demo/images"
"$demo/stormtap"
