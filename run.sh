#!/usr/bin/env bash
# Builds a release build, prepares a demo application directory and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
source scripts/demo-publisher.sh # the demo's news service and update location
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release "${DEMO_PUBLISHER_CMAKE_ARGS[@]}"
cmake --build build/release
appdir=build/portable
mkdir -p "$appdir"
cp build/release/src/ProjectZelvo "$appdir/"
scripts/seed-demo.sh "$appdir"
scripts/seed-brand.sh "$appdir" build/release/tools/brand/zelvo-brand
prepare_demo_publisher
start_demo_publisher
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  xvfb-run -a "$appdir/ProjectZelvo"
else
  "$appdir/ProjectZelvo"
fi
