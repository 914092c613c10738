#!/usr/bin/env bash
# Builds a release build, prepares a demo application directory and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
source scripts/demo-publisher.sh # the demo's news service and update location
# Only what the demo runs is built; add a target here when the demo needs one more.
targets=(ProjectZelvo ProjectZelvoDemoRelease zelvo-brand zelvo-release Updater)
if [ -f build/release/build.ninja ]; then
  echo "Building ${targets[*]}: only what changed is built again."
else
  echo "Building ${targets[*]} with $(nproc) jobs. The first build takes about 2 minutes on"
  echo "a 2-core machine (longer while other work runs); later runs take seconds."
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release "${DEMO_PUBLISHER_CMAKE_ARGS[@]}"
# Ninja's progress lines: steps done, steps in all, seconds since the build started.
NINJA_STATUS="[%f/%t, %es] " cmake --build build/release --parallel "$(nproc)" --target "${targets[@]}"
appdir=build/portable
mkdir -p "$appdir"
cp build/release/src/ProjectZelvo build/release/tools/brand/zelvo-brand "$appdir/"
scripts/seed-demo.sh "$appdir"
scripts/seed-brand.sh "$appdir" build/release/tools/brand/zelvo-brand
prepare_demo_publisher
scripts/demo-release.sh build/release "$appdir" "$DEMO_PUBLISHER_DIR/liveupdate/project_zelvo"
start_demo_publisher
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: the program runs on a virtual display (xvfb-run), where nothing"
  echo "can be seen. Stop it with Ctrl+C. To see it, run ./run.sh in a desktop session."
  # The display lasts while the planner, or the updater and the planner it restarts, run.
  xvfb-run -a bash -c 'source scripts/demo-publisher.sh; "$1/ProjectZelvo"; wait_for_demo_programs "$1"' _ "$appdir"
else
  "$appdir/ProjectZelvo"
  wait_for_demo_programs "$appdir"
fi
