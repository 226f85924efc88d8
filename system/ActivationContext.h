// Runs a call with this module's activation context active, where the system has them.
#pragma once

#include <windows.h>

namespace Quandrel {
namespace System {

// Activates the context of this module's manifest for the life of the object.
// On a system without activation contexts nothing is activated and the call may
// go ahead plainly; if activation fails for another reason, Ready() is false and
// the caller must not make its call. The destructor keeps the thread's last
// error, so a failure of the wrapped call survives the deactivation.
class ActivationScope {
public:
    ActivationScope();
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

    bool Ready() const { return ready; }

private:
    typedef BOOL(WINAPI* DeactivateFunction)(DWORD, ULONG_PTR);
    typedef void(WINAPI* ReleaseFunction)(HANDLE);

    static const HANDLE NoContext;  // INVALID_HANDLE_VALUE, as CreateActCtxW fails

    HANDLE context;
    ULONG_PTR cookie;
    bool ready;
    DeactivateFunction deactivate;
    ReleaseFunction release;
};

}  // namespace System
}  // namespace Quandrel
