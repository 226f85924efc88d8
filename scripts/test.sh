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
xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine-session.sh" "$build" ctest --output-on-failure --timeout 300
