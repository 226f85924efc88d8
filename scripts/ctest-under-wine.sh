#!/usr/bin/env bash
# Runs ctest in the build folder with one persistent wineserver for the whole
# run; called on a display (xvfb-run), so that every Wine process, Wine's own
# helpers included, starts with that display.
#   usage: ctest-under-wine.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "$1" && pwd)
export WINEPREFIX=$build/wineprefix
export PLATTERLIFT_DISKS="Z:$(echo "$build/disks" | tr / '\\')"

# With a persistent wineserver each Wine process starts in a tenth of a second.
wineserver -p </dev/null >/dev/null 2>&1 &
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's helpers start with the first program and live on; started here, they
# hold none of the output pipes that ctest waits to see closed.
"$here/wine-run" cmd /c exit </dev/null >/dev/null 2>&1

cd "$build"
ctest --output-on-failure --timeout 300
