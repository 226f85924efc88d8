#!/usr/bin/env bash
# The main job: builds the program and runs it under Wine on a disk of ours,
# or on DISK (a device such as /dev/sdb, or an image file), always read-only.
# With a display the dialog opens for you; without one it runs on a virtual
# display, captures disk 0, prints what the program said and where the file
# went, and saves pictures of the dialog and of its message.
#   usage: run.sh [BUILD_DIR] [DISK]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-$root/build}
mkdir -p "$build" && build=$(cd "$build" && pwd)
disk=${2:-}

"$here/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build" -j "$(nproc)" --target platterlift platterlift_demo >/dev/null

export WINEPREFIX=$build/run-prefix
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (once, about 15 seconds)"
    "$here/wine-run" wineboot -i >/dev/null 2>&1
    "$here/wineserver-wait"
fi
windows_path() { echo "Z:$(echo "$1" | tr / '\\')"; }

if [ -z "$disk" ]; then
    disk=$build/demo-disk.img
    [ -f "$disk" ] || "$here/wine-run" "$build/bin/platterlift_demo.exe" disk "$(windows_path "$disk")" </dev/null
    echo "Disk 0 is the demo disk $disk"
else
    disk=$(readlink -f "$disk")
    [ -r "$disk" ] || { echo "Cannot read $disk" >&2; exit 1; }
    echo "Disk 0 is $disk (only ever read)"
fi
ln -sfn "$disk" "$WINEPREFIX/dosdevices/physicaldrive0"

desktop=$WINEPREFIX/drive_c/users/$(id -un)/Desktop
program=$build/bin/Ostrafen\ Platterlift.exe

if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ] && command -v xdpyinfo >/dev/null && xdpyinfo >/dev/null 2>&1; then
    "$here/wine-run" "$program" </dev/null
    echo "Captures are saved in $desktop"
    exit 0
fi

shots=$build/screenshots
mkdir -p "$shots"
# Wine's own desktop window, so that Wine draws title bars where no window manager runs.
"$here/wine-run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$here/wine-run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
# Wine's helper processes started above have no display; let them end first.
"$here/wineserver-wait"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" \
    "$here/wine-run" "$build/bin/platterlift_demo.exe" drive "$(windows_path "$program")" 0 "$(windows_path "$shots")" \
    </dev/null || status=$?
"$here/wineserver-wait"
if [ -f "$desktop/Disk 0 Platterlift.txt" ]; then
    echo "The capture file: $desktop/Disk 0 Platterlift.txt ($(stat -c %s "$desktop/Disk 0 Platterlift.txt") bytes)"
    if cmp -s -n 51200 "$disk" "$desktop/Disk 0 Platterlift.txt"; then
        echo "It holds exactly the first 51,200 bytes of the disk."
    fi
fi
echo "Pictures of the dialog and its message: $shots"
exit $status
