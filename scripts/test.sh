#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine, in a private
# prefix, with one persistent wineserver and a virtual display.
#   usage: test.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-$root/build}
mkdir -p "$build" && build=$(cd "$build" && pwd)

"$here/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build" -j "$(nproc)"

"$here/prepare-prefix.sh" "$build"
export WINEPREFIX=$build/wineprefix
export PLATTERLIFT_DISKS="Z:$(echo "$build/disks" | tr / '\\')"

# One wineserver for the whole run: each Wine process then starts in a tenth of a second.
wineserver -p </dev/null >/dev/null 2>&1 &
trap 'WINEPREFIX=$build/wineprefix wineserver -k 2>/dev/null || true' EXIT
# Wine's own services start with the first program and live on; started here,
# they hold none of the output pipes that ctest waits to see closed.
"$here/wine-run" cmd /c exit </dev/null >/dev/null 2>&1

cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 300
