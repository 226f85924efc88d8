// The capture dialog: reads a disk number and saves the first sectors of that physical disk.
#include "PlatterliftDialog.h"

#include <shlobj.h>

#include "../resources/resource.h"
#include "../system/MessageBox.h"
#include "../system/Status.h"
#include "../system/String.h"

namespace Quandrel {
namespace Ostrafen {
namespace NT {

using System::File;
using System::FormatResourceString;
using System::String;

namespace {

const int EditTextCapacity = 256;
const int DevicePathCapacity = 1024;

// The capture buffer, from the heap, for the length of one capture.
class CaptureBuffer {
public:
    CaptureBuffer() : bytes(static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, CaptureBufferSize))) {}
    ~CaptureBuffer()
    {
        if (bytes)
            LocalFree(bytes);
    }
    CaptureBuffer(const CaptureBuffer&) = delete;
    CaptureBuffer& operator=(const CaptureBuffer&) = delete;

    BYTE* Bytes() const { return bytes; }

private:
    BYTE* bytes;
};

}  // namespace

PlatterliftDialog::PlatterliftDialog(HINSTANCE instance) : hInstance(instance), diskNumber(0) {}

PlatterliftDialog::~PlatterliftDialog()
{
    disk.Close();
}

BOOL PlatterliftDialog::OnInitDialog(HWND hwnd, HWND)
{
    HANDLE icon = LoadImageW(hInstance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR);
    if (icon)
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    icon = LoadImageW(hInstance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    if (icon)
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    return TRUE;
}

bool PlatterliftDialog::OnButton(int id)
{
    if (id != IDOK)
        return true;

    HRESULT hr = OpenDisk();
    if (FAILED(hr)) {
        // No owner: the box for a bad number does not disable the dialog.
        System::ShowErrorMessage(hInstance, nullptr, hr, IDS_BAD_DISK_NUMBER, IDS_CAPTION, MB_ICONERROR);
        return true;
    }
    hr = CaptureSectors();
    if (FAILED(hr)) {
        System::ShowErrorMessage(hInstance, window, hr, IDS_CAPTURE_FAILED, IDS_CAPTION, MB_ICONERROR);
        return true;
    }
    // The capture is saved: say so even if its name cannot be made again.
    try {
        String name;
        FormatResourceString(name, hInstance, IDS_OUTPUT_NAME, static_cast<int>(diskNumber));
        System::ShowMessage(hInstance, window, IDS_CAPTURE_DONE, IDS_CAPTION, MB_ICONINFORMATION, name.Text());
    } catch (HRESULT) {
        System::ShowMessage(hInstance, window, IDS_CAPTURE_DONE, IDS_CAPTION, MB_ICONINFORMATION, L"");
    }
    return true;
}

HRESULT PlatterliftDialog::OpenDisk()
{
    WCHAR text[EditTextCapacity];
    if (GetWindowTextW(GetDlgItem(window, IDC_DISK_NUMBER), text, EditTextCapacity) < 1)
        return E_INVALIDARG;
    // Pasted text and numbers beyond 32 bits do not translate; they must not
    // quietly become disk 0.
    BOOL translated = FALSE;
    const UINT number = GetDlgItemInt(window, IDC_DISK_NUMBER, &translated, FALSE);
    if (!translated)
        return E_INVALIDARG;
    diskNumber = number;

    WCHAR path[DevicePathCapacity];
    wsprintfW(path, L"\\\\.\\PhysicalDrive%d", static_cast<int>(diskNumber));
    return disk.Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

HRESULT PlatterliftDialog::CaptureSectors()
{
    HRESULT hr = System::Seek(disk.Handle(), 0, nullptr, FILE_BEGIN);
    if (FAILED(hr))
        return hr;

    CaptureBuffer buffer;
    if (!buffer.Bytes())
        return E_OUTOFMEMORY;
    DWORD delivered = 0;
    hr = disk.Read(buffer.Bytes(), CaptureBufferSize, &delivered, nullptr);
    if (FAILED(hr))
        return hr;
    // A device may deliver less without failing; the file is still of full
    // size, and what the device did not deliver is zero, never old heap memory.
    ZeroMemory(buffer.Bytes() + delivered, CaptureBufferSize - delivered);

    WCHAR path[MAX_PATH + 1] = {};
    hr = SHGetFolderPathW(window, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, path);
    if (hr < 0)
        return hr;
    SetTrailingBackslash(path, true);
    const size_t folderLength = wcslen(path);
    if (folderLength == 0 || path[folderLength - 1] != L'\\')
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    try {
        String name;
        hr = FormatResourceString(name, hInstance, IDS_OUTPUT_NAME, static_cast<int>(diskNumber));
        if (FAILED(hr))
            return hr;
        if (folderLength + wcslen(name.Text()) + 1 > MAX_PATH)
            return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        wcscpy(path + folderLength, name.Text());
    } catch (HRESULT caught) {
        return caught;
    }

    File output;
    hr = output.Open(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FAILED(hr))
        return hr;
    DWORD written = 0;
    hr = output.Write(buffer.Bytes(), CaptureBufferSize, &written, nullptr);
    if (FAILED(hr))
        return hr;
    // A write that stops short without failing (a full share, say) must not
    // pass for a capture.
    return written == CaptureBufferSize ? S_OK : HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
}

HRESULT SetTrailingBackslash(WCHAR* path, bool add)
{
    const size_t length = wcslen(path);
    if (length == 0)
        return S_OK;
    const bool ends = path[length - 1] == L'\\';
    if (add && !ends && length + 2 <= MAX_PATH) {
        path[length] = L'\\';
        path[length + 1] = 0;
    } else if (!add && ends) {
        path[length - 1] = 0;
    }
    return S_OK;
}

}  // namespace NT
}  // namespace Ostrafen
}  // namespace Quandrel
