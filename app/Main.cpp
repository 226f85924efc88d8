// Entry point: prepares COM and the common controls, runs the capture dialog, and exits with COM's status.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <new>

#include "../resources/resource.h"
#include "../system/ActivationContext.h"
#include "PlatterliftDialog.h"

using Quandrel::Ostrafen::NT::PlatterliftDialog;

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
