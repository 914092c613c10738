#!/usr/bin/env bash
# Builds a release build, prepares a demo application directory and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release
appdir=build/portable
mkdir -p "$appdir"
cp build/release/src/ProjectZelvo "$appdir/"
scripts/seed-demo.sh "$appdir"
scripts/seed-brand.sh "$appdir" build/release/tools/brand/zelvo-brand
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a "$appdir/ProjectZelvo"
fi
exec "$appdir/ProjectZelvo"
