// Entry point: prepares COM and the common controls, runs the capture dialog, and exits with COM's status.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <stdlib.h>

#include <new>

#include "../resources/resource.h"
#include "../system/ActivationContext.h"
#include "PlatterliftDialog.h"

using Quandrel::Ostrafen::NT::PlatterliftDialog;

#if defined(__GLIBCXX__)
// libstdc++'s own handler prints the demangled type of an uncaught exception to
// a console this program does not have, and links in 46 KiB of demangler. The
// program raises only HRESULTs and catches each of them; should one escape,
// ending at once is all that is left to do.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    abort();
}
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    {
        // So that the dialog's controls are those the manifest selects.
        Quandrel::System::ActivationScope scope;
        if (scope.Ready())
            InitCommonControls();
    }

    const HRESULT status = CoInitialize(nullptr);
    if (FAILED(status))
        return status;

    PlatterliftDialog* dialog = new (std::nothrow) PlatterliftDialog(instance);
    if (!dialog) {
        CoUninitialize();
        return E_OUTOFMEMORY;
    }
    dialog->DoModal(instance, MAKEINTRESOURCEW(IDD_CAPTURE), nullptr);
    delete dialog;

    CoUninitialize();
    return status;
}
