#!/usr/bin/env bash
# Prepares the private Wine prefix of a test run: created on demand, with the
# test disks mapped as physical drives and the Windows 98 setting for the
# executables that run the ANSI road.
#   usage: prepare-prefix.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=$build/wineprefix
run() { "$here/wine-run" "$@"; }

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    run wineboot -i >/dev/null 2>&1
fi

# The disk images are written by the tests themselves; the links may dangle until then.
disks=$build/disks
mkdir -p "$disks" "$disks/folder"
devices=$WINEPREFIX/dosdevices
ln -sfn "$disks/disk0.img" "$devices/physicaldrive0"
ln -sfn "$disks/disk1.img" "$devices/physicaldrive1"
ln -sfn "$disks/disk2.img" "$devices/physicaldrive2"
# Opens, but every read fails: the memory of the process that opens it, at address 0.
ln -sfn /proc/self/mem "$devices/physicaldrive3"
ln -sfn "$disks/folder" "$devices/physicaldrive4"
ln -sfn "$disks/disk7.img" "$devices/physicaldrive7"
for n in 5 6 8 9; do rm -f "$devices/physicaldrive$n"; done

for exe in file_tests_win98.exe "Ostrafen Platterlift 98.exe"; do
    run reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe" /v Version /d win98 /f >/dev/null 2>&1
done

# Wine's helpers started here have no display: let them end before the tests start theirs.
"$here/wineserver-wait"
