#!/usr/bin/env bash
# Publishes the demo release "2.1" into the demo update location, signed with the demo key, and
# puts the updater into the demo application directory, so that "Check Updates" in the demo
# offers 2.1 and installs it. The release's program is a real 2.1 build (the target
# ProjectZelvoDemoRelease: the same program with only its version file compiled anew), so after
# the update the caption says v2.1 and "Check Updates" finds nothing newer. It reads the build
# output and writes only copies.
#   scripts/demo-release.sh [BUILD] [APPDIR] [LOCATION]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
appdir=${2:-build/portable}
location=${3:-build/demo-publisher/liveupdate/project_zelvo}
tool="$build/tools/release/zelvo-release"
keys=tools/release/demo-keys

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
version=$(sed -n 's/^ZELVO_DEMO_RELEASE_VERSION:STRING=//p' "$build/CMakeCache.txt")
cp "$build/src/demo/ProjectZelvo" "$build/src/updater/Updater" "$files/"
mkdir -p "$location" "$appdir"
"$tool" make "$files" "${version:-2.1}" "$keys/release-private.pem" "$location"
"$tool" verify "$location" "$keys/release-public.pem" > /dev/null
cp "$build/src/updater/Updater" "$appdir/"
