#!/usr/bin/env bash
# cppcheck over the project's own code, with its Windows (Unicode) platform settings,
# and clang-tidy over the program and its support library.
# LocalAlloc is kept on purpose: FormatMessage hands out LocalAlloc memory, and
# the program frees all its buffers the same way.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
cppcheck --platform=win32W --library=windows --std=c++17 \
    --enable=warning,performance,portability,style --suppress=LocalAllocCalled \
    --inline-suppr --error-exitcode=1 --quiet \
    -D_WIN32 -DUNICODE -D_UNICODE -Iresources -Itests/support -I. \
    app system tests/support tools
echo "cppcheck: no findings in app, system, tests/support and tools"

# clang-tidy on the program and its support library, cross-compiling as mingw-w64 does.
# Casts between integers and pointers are how Win32 passes handles: not a finding here.
gcc_dir=$(dirname "$(i686-w64-mingw32-g++-posix -print-libgcc-file-name)")
status=0
findings=$(clang-tidy --quiet --warnings-as-errors='*' \
    -checks='-*,bugprone-*,clang-analyzer-*,performance-*,-performance-no-int-to-ptr,-bugprone-easily-swappable-parameters,-bugprone-reserved-identifier' \
    app/*.cpp system/*.cpp -- \
    --target=i686-w64-mingw32 -std=c++17 -fms-extensions \
    -DUNICODE -D_UNICODE -DWINVER=0x0501 -D_WIN32_WINNT=0x0501 -D_WIN32_IE=0x0600 \
    -isystem "$gcc_dir/include/c++" -isystem "$gcc_dir/include/c++/i686-w64-mingw32" \
    -isystem "$gcc_dir/include" -isystem /usr/i686-w64-mingw32/include -Iresources 2>&1) || status=$?
grep -v '^[0-9]* warnings\? \(and [0-9]* errors\? \)\?generated' <<<"$findings" || true
[ "$status" -eq 0 ] || { echo "clang-tidy: findings above"; exit 1; }
echo "clang-tidy: no findings in app and system"
