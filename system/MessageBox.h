// Message boxes whose caption and text come from the string table.
#pragma once

#include <stdarg.h>
#include <windows.h>

namespace Quandrel {
namespace System {

// Each returns what MessageBoxW returned, or -1 when no box could be shown, and
// leaves its status in the thread's last error (0 once a box was shown). None raises.
int ShowMessage(HINSTANCE module, HWND owner, UINT messageId, UINT captionId, UINT type, ...);
int ShowMessageV(HINSTANCE module, HWND owner, UINT messageId, UINT captionId, UINT type, va_list* args);
int ShowMessageV(HINSTANCE module, HWND owner, UINT messageId, const WCHAR* caption, UINT type, va_list* args);

// The message's "%1" receives the system's text for `error` (an HRESULT or a
// Win32 code); the caller's inserts are applied after that.
int ShowErrorMessage(HINSTANCE module, HWND owner, DWORD error, UINT messageId, UINT captionId, UINT type, ...);
int ShowErrorMessageV(HINSTANCE module, HWND owner, DWORD error, UINT messageId, UINT captionId, UINT type,
                      va_list* args);
int ShowErrorMessageV(HINSTANCE module, HWND owner, DWORD error, UINT messageId, const WCHAR* caption, UINT type,
                      va_list* args);

}  // namespace System
}  // namespace Quandrel
