// Runs a call with this module's activation context active, where the system has them.
#include "ActivationContext.h"

// The module that holds this code, whether it is the executable or not.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace Quandrel {
namespace System {

const HANDLE ActivationScope::NoContext = INVALID_HANDLE_VALUE;

ActivationScope::ActivationScope()
    : context(NoContext), cookie(0), ready(false), deactivate(nullptr), release(nullptr)
{
    typedef HANDLE(WINAPI * CreateFunction)(const ACTCTXW*);
    typedef BOOL(WINAPI * ActivateFunction)(HANDLE, ULONG_PTR*);

    // Looked up at run time: Windows before XP and the 9x family lack them.
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    CreateFunction create = nullptr;
    ActivateFunction activate = nullptr;
    if (kernel) {
        create = reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "CreateActCtxW")));
        activate = reinterpret_cast<ActivateFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "ActivateActCtx")));
        deactivate = reinterpret_cast<DeactivateFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "DeactivateActCtx")));
        release = reinterpret_cast<ReleaseFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "ReleaseActCtx")));
    }
    if (!create || !activate || !deactivate || !release) {
        deactivate = nullptr;
        ready = true;
        return;
    }

    ACTCTXW description = {};
    description.cbSize = sizeof(description);
    description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    description.hModule = reinterpret_cast<HMODULE>(&__ImageBase);
    description.lpResourceName = MAKEINTRESOURCEW(1);  // the manifest resource
    context = create(&description);
    if (context == NoContext)
        return;
    if (!activate(context, &cookie)) {
        const DWORD error = GetLastError();
        release(context);
        context = NoContext;
        SetLastError(error);
        return;
    }
    ready = true;
}

ActivationScope::~ActivationScope()
{
    if (context == NoContext)
        return;
    const DWORD error = GetLastError();
    deactivate(0, cookie);
    release(context);
    SetLastError(error);
}

}  // namespace System
}  // namespace Quandrel
