#!/usr/bin/env bash
# Builds a release build, prepares a demo application directory and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
# Only what the demo runs is built; add a target here when the demo needs one more.
targets=(ProjectZelvo)
echo "Building ${targets[*]} with $(nproc) jobs (the first build takes a few minutes)..."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --parallel "$(nproc)" --target "${targets[@]}"
appdir=build/portable
mkdir -p "$appdir"
cp build/release/src/ProjectZelvo "$appdir/"
scripts/seed-demo.sh "$appdir"
scripts/seed-brand.sh "$appdir" build/release/tools/brand/zelvo-brand
scripts/demo-release.sh build/release "$appdir" build/demo-publisher/liveupdate/project_zelvo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: the program runs on a virtual display (xvfb-run), where nothing"
  echo "can be seen. Stop it with Ctrl+C. To see it, run ./run.sh in a desktop session."
  exec xvfb-run -a "$appdir/ProjectZelvo"
fi
exec "$appdir/ProjectZelvo"
