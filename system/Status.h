// The thread's last error as an HRESULT, the form every fallible call returns.
#pragma once

#include <windows.h>

namespace Quandrel {
namespace System {

// A last error of 0 gives S_OK: callers treat only negative values as failure.
inline HRESULT LastErrorStatus()
{
    return HRESULT_FROM_WIN32(GetLastError());
}

}  // namespace System
}  // namespace Quandrel
