// Message boxes whose caption and text come from the string table.
#include "MessageBox.h"

#include "Status.h"
#include "String.h"

namespace Quandrel {
namespace System {

namespace {

// A caption of at most 255 characters and its terminator.
const int CaptionCapacity = 256;

// Room for an error code in hexadecimal: eight digits and the terminator.
const SIZE_T HexTextBytes = 32;

bool LoadCaption(HINSTANCE module, UINT captionId, WCHAR (&caption)[CaptionCapacity])
{
    ZeroMemory(caption, sizeof(caption));
    return LoadStringW(module, captionId, caption, CaptionCapacity) != 0;
}

// Looks up the system's text for `error`. Where the system has none, the code
// in hexadecimal stands in for it, so that a failure is never left unexplained.
HRESULT SystemText(DWORD error, WCHAR** text)
{
    *text = nullptr;
    if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, error, 0,
                       reinterpret_cast<WCHAR*>(text), 0, nullptr) != 0)
        return S_OK;
    *text = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, HexTextBytes));
    if (!*text)
        return LastErrorStatus();
    wsprintfW(*text, L"%x", static_cast<UINT>(error));
    return S_OK;
}

}  // namespace

int ShowMessage(HINSTANCE module, HWND owner, UINT messageId, UINT captionId, UINT type, ...)
{
    va_list args;
    va_start(args, type);
    const int result = ShowMessageV(module, owner, messageId, captionId, type, &args);
    va_end(args);
    return result;
}

int ShowMessageV(HINSTANCE module, HWND owner, UINT messageId, UINT captionId, UINT type, va_list* args)
{
    WCHAR caption[CaptionCapacity];
    if (!LoadCaption(module, captionId, caption))
        return -1;
    return ShowMessageV(module, owner, messageId, caption, type, args);
}

int ShowMessageV(HINSTANCE module, HWND owner, UINT messageId, const WCHAR* caption, UINT type, va_list* args)
{
    int result = -1;
    HRESULT hr;
    try {
        String pattern;
        hr = pattern.LoadResourceString(module, messageId);
        if (SUCCEEDED(hr)) {
            WCHAR* text = nullptr;
            if (FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, pattern.Text(), 0, 0,
                               reinterpret_cast<WCHAR*>(&text), 0, args) == 0) {
                hr = LastErrorStatus();
            } else {
                result = MessageBoxW(owner, text, caption, type);
                LocalFree(text);
                hr = S_OK;
            }
        }
    } catch (HRESULT caught) {
        hr = caught;
    }
    SetLastError(static_cast<DWORD>(hr));
    return result;
}

int ShowErrorMessage(HINSTANCE module, HWND owner, DWORD error, UINT messageId, UINT captionId, UINT type, ...)
{
    va_list args;
    va_start(args, type);
    const int result = ShowErrorMessageV(module, owner, error, messageId, captionId, type, &args);
    va_end(args);
    return result;
}

int ShowErrorMessageV(HINSTANCE module, HWND owner, DWORD error, UINT messageId, UINT captionId, UINT type,
                      va_list* args)
{
    WCHAR caption[CaptionCapacity];
    if (!LoadCaption(module, captionId, caption))
        return -1;
    return ShowErrorMessageV(module, owner, error, messageId, caption, type, args);
}

int ShowErrorMessageV(HINSTANCE module, HWND owner, DWORD error, UINT messageId, const WCHAR* caption, UINT type,
                      va_list* args)
{
    WCHAR* systemText = nullptr;
    HRESULT hr = SystemText(error, &systemText);
    if (FAILED(hr)) {
        SetLastError(static_cast<DWORD>(hr));
        return -1;
    }
    int result = -1;
    try {
        String pattern;
        hr = pattern.LoadResourceString(module, messageId);
        if (SUCCEEDED(hr)) {
            // First pass: the system's text into "%1". Second pass: the caller's
            // inserts, into a text that already holds the explanation.
            DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(systemText)};
            WCHAR* explained = nullptr;
            WCHAR* text = nullptr;
            if (FormatMessageW(FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                               pattern.Text(), 0, 0, reinterpret_cast<WCHAR*>(&explained), 0,
                               reinterpret_cast<va_list*>(inserts)) == 0) {
                hr = LastErrorStatus();
            } else if (FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, explained, 0, 0,
                                      reinterpret_cast<WCHAR*>(&text), 0, args) == 0) {
                hr = LastErrorStatus();
                LocalFree(explained);
            } else {
                result = MessageBoxW(owner, text, caption, type);
                LocalFree(text);
                LocalFree(explained);
                hr = S_OK;
            }
        }
    } catch (HRESULT caught) {
        hr = caught;
    }
    LocalFree(systemText);
    SetLastError(static_cast<DWORD>(hr));
    return result;
}

}  // namespace System
}  // namespace Quandrel
