#!/usr/bin/env bash
# `make bench`: measures the program against floor programs of ours under Wine
# and Xvfb, and prints medians and ratios. A benchmark, not a test: nothing fails.
#   usage: bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-$root/build}
runs=${2:-15}
mkdir -p "$build" && build=$(cd "$build" && pwd)

"$here/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build" -j "$(nproc)" --target platterlift floor_dialog floor_capture platterlift_bench >/dev/null
"$here/prepare-prefix.sh" "$build"

echo "Machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo)," \
    "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); $(wine --version)"
xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine-session.sh" "$build" \
    "$here/wine-run" "$build/bin/platterlift_bench.exe" "$runs"
