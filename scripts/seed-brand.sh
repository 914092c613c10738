#!/usr/bin/env bash
# Brands a demo application directory with the sample brand in scripts/demo-brand/: copies its
# banner pictures and enciphers its plain settings into dbsettings.dat with the brander's tool.
# Runs only when the folder has no settings file yet: it never overwrites anything.
# Usage: seed-brand.sh APPDIR [ZELVO_BRAND_TOOL]
set -euo pipefail
appdir="$1"
tool="${2:-build/release/tools/brand/zelvo-brand}"
brand="$(cd "$(dirname "$0")" && pwd)/demo-brand"
has() { [ -n "$(find "$appdir" -maxdepth 1 -iname "$1" -print -quit)" ]; }

has dbsettings.dat && exit 0
if [ ! -x "$tool" ]; then
  echo "seed-brand: $tool is missing; the demo stays unbranded" >&2
  exit 0
fi
for banner in "$brand"/banner*.dat; do
  name=$(basename "$banner")
  has "$name" || cp "$banner" "$appdir/$name"
done
# The settings file comes last: should anything before fail, the next run tries again.
"$tool" encrypt "$brand/settings.txt" "$appdir/dbsettings.dat"
echo "Branded the demo in $appdir"
