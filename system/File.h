// Owner of one Win32 file handle, with HRESULT results.
#pragma once

#include <windows.h>

namespace Quandrel {
namespace System {

class File {
public:
    static const HANDLE NotOpen;  // INVALID_HANDLE_VALUE; any other value, null included, is open

    File() : handle(NotOpen) {}
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Both close what the File held first. The wide form goes through the ANSI
    // one on the Windows 9x family, whose CreateFileW does nothing.
    HRESULT Open(const WCHAR* name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security, DWORD disposition,
                 DWORD flags, HANDLE templateFile);
    HRESULT Open(const char* name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security, DWORD disposition,
                 DWORD flags, HANDLE templateFile);
    // A failed CloseHandle leaves the handle held, unreported.
    void Close();

    HRESULT Read(void* buffer, DWORD count, DWORD* transferred, OVERLAPPED* overlapped);
    HRESULT Write(const void* buffer, DWORD count, DWORD* transferred, OVERLAPPED* overlapped);

    HANDLE Handle() const { return handle; }

private:
    HANDLE handle;
};

// Moves the file pointer of a bare handle; a failure leaves 0 in newPosition.
HRESULT Seek(HANDLE handle, LONGLONG distance, LONGLONG* newPosition, DWORD moveMethod);

}  // namespace System
}  // namespace Quandrel
