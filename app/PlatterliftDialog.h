// The capture dialog: reads a disk number and saves the first sectors of that physical disk.
#pragma once

#include <windows.h>

#include "../system/Dialog.h"
#include "../system/File.h"

namespace Quandrel {
namespace Ostrafen {
namespace NT {

// Size of the one read from the disk and of the capture file: 100 sectors of 512 bytes.
const DWORD CaptureBufferSize = 51200;

class PlatterliftDialog : public System::Dialog {
public:
    explicit PlatterliftDialog(HINSTANCE instance);
    ~PlatterliftDialog() override;

    BOOL OnInitDialog(HWND hwnd, HWND focus) override;
    bool OnButton(int id) override;

    // Opens, read-only, the physical disk whose number is in the edit box.
    HRESULT OpenDisk();
    // Saves the first CaptureBufferSize bytes of the open disk to the desktop.
    HRESULT CaptureSectors();

protected:
    HINSTANCE hInstance;
    System::File disk;
    DWORD diskNumber;
};

// Makes sure that a folder path ends in a backslash (add) or does not (!add).
// `path` holds at least MAX_PATH WCHARs and a non-empty text; a backslash that
// would not fit within MAX_PATH, terminator included, is not added.
HRESULT SetTrailingBackslash(WCHAR* path, bool add);

}  // namespace NT
}  // namespace Ostrafen
}  // namespace Quandrel
