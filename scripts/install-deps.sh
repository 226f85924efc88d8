#!/usr/bin/env bash
# Installs, as root and without questions, the Debian packages the build and the tests need.
# Skips the work when everything is already there, so a second run is quick.
set -euo pipefail

packages=(cmake make g++-mingw-w64-i686 binutils-mingw-w64-i686 googletest wine wine32:i386 xvfb xauth cppcheck clang-tidy)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing: ${missing[*]}; run this script as root to install them." >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
