#!/usr/bin/env bash
# cppcheck over the project's own code, with its Windows (Unicode) platform settings.
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
