#!/usr/bin/env bash
# Runs a command in the build folder within one Wine session of the test prefix:
# a persistent wineserver for the whole command, Wine's helpers started first.
# Called on a display (xvfb-run), so that every Wine process gets that display.
#   usage: wine-session.sh BUILD_DIR COMMAND...
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "$1" && pwd)
shift
export WINEPREFIX=$build/wineprefix
export PLATTERLIFT_DISKS="Z:$(echo "$build/disks" | tr / '\\')"

# With a persistent wineserver each Wine process starts in a tenth of a second.
wineserver -p </dev/null >/dev/null 2>&1 &
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's helpers start with the first program and live on; started here, they
# hold none of the output pipes that ctest waits to see closed.
"$here/wine-run" cmd /c exit </dev/null >/dev/null 2>&1

cd "$build"
"$@"
