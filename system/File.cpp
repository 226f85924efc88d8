// Owner of one Win32 file handle, with HRESULT results.
#include "File.h"

#include "Status.h"
#include "String.h"

namespace Quandrel {
namespace System {

const HANDLE File::NotOpen = INVALID_HANDLE_VALUE;

namespace {

bool IsWindows9x()
{
    return (GetVersion() & 0x80000000u) != 0;
}

}  // namespace

void File::Close()
{
    if (handle == NotOpen)
        return;
    if (CloseHandle(handle))
        handle = NotOpen;
}

HRESULT File::Open(const char* name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile)
{
    Close();
    handle = CreateFileA(name, access, share, security, disposition, flags, templateFile);
    return handle != NotOpen ? S_OK : LastErrorStatus();
}

HRESULT File::Open(const WCHAR* name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile)
{
    Close();
    if (!IsWindows9x()) {
        handle = CreateFileW(name, access, share, security, disposition, flags, templateFile);
        return handle != NotOpen ? S_OK : LastErrorStatus();
    }
    if (!name)
        return Open(static_cast<const char*>(nullptr), access, share, security, disposition, flags, templateFile);
    try {
        AnsiString ansi{String(name)};
        return Open(ansi.Chars(), access, share, security, disposition, flags, templateFile);
    } catch (HRESULT hr) {
        return hr;
    }
}

HRESULT File::Read(void* buffer, DWORD count, DWORD* transferred, OVERLAPPED* overlapped)
{
    DWORD moved = 0;
    if (!ReadFile(handle, buffer, count, &moved, overlapped))
        return LastErrorStatus();
    if (transferred)
        *transferred = moved;
    return S_OK;
}

HRESULT File::Write(const void* buffer, DWORD count, DWORD* transferred, OVERLAPPED* overlapped)
{
    DWORD moved = 0;
    if (!WriteFile(handle, buffer, count, &moved, overlapped))
        return LastErrorStatus();
    if (transferred)
        *transferred = moved;
    return S_OK;
}

HRESULT Seek(HANDLE handle, LONGLONG distance, LONGLONG* newPosition, DWORD moveMethod)
{
    if (newPosition)
        *newPosition = 0;
    LONG high = static_cast<LONG>(distance >> 32);
    // INVALID_SET_FILE_POINTER is also a real low half beyond 4 GiB; only a
    // last error set by this call tells a failure, so clear any stale one.
    SetLastError(NO_ERROR);
    const DWORD low = SetFilePointer(handle, static_cast<LONG>(distance & 0xFFFFFFFF), &high, moveMethod);
    if (low == INVALID_SET_FILE_POINTER) {
        const HRESULT hr = LastErrorStatus();
        if (FAILED(hr))
            return hr;
    }
    if (newPosition)
        *newPosition = (static_cast<LONGLONG>(high) << 32) | low;
    return S_OK;
}

}  // namespace System
}  // namespace Quandrel
