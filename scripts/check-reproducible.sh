#!/usr/bin/env bash
# Builds the program twice, from two copies of the sources in folders of
# different names and depths, and fails unless both executables are byte-identical.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build_copy() {
    local source=$1
    mkdir -p "$source"
    (cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 tar cf - 2>/dev/null) | tar xf - -C "$source"
    cmake -S "$source" -B "$source/out" -DCMAKE_BUILD_TYPE=MinSizeRel -DPLATTERLIFT_TESTS=OFF >/dev/null
    cmake --build "$source/out" -j "$(nproc)" >/dev/null
}

build_copy "$work/first"
build_copy "$work/second/a/much/longer/path"
one=$(sha256sum <"$work/first/out/Ostrafen Platterlift.exe")
two=$(sha256sum <"$work/second/a/much/longer/path/out/Ostrafen Platterlift.exe")
echo "first:  $one"
echo "second: $two"
[ "$one" = "$two" ] || { echo "FAIL: the two builds differ"; cmp -l "$work/first/out/Ostrafen Platterlift.exe" \
    "$work/second/a/much/longer/path/out/Ostrafen Platterlift.exe" | head; exit 1; }
echo "The two builds are byte-identical."
