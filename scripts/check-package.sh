#!/usr/bin/env bash
# Makes the zip package and fails unless it holds the program and the README
# under a folder named with the product version.
#   usage: check-package.sh BUILD_DIR
set -euo pipefail
cd "$1"
cpack -G ZIP >/dev/null
zip=Ostrafen-Platterlift-6.1.1.zip
[ -f "$zip" ] || { echo "FAIL: no $zip"; exit 1; }
contents=$(cmake -E tar tf "$zip")
echo "$contents"
for file in "Ostrafen-Platterlift-6.1.1/Ostrafen Platterlift.exe" "Ostrafen-Platterlift-6.1.1/README.md"; do
    grep -qxF "$file" <<<"$contents" || { echo "FAIL: $file is not in $zip"; exit 1; }
done
