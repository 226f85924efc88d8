// Base class of dialog boxes driven by an object through virtual hooks.
#include "Dialog.h"

#include "ActivationContext.h"
#include "Status.h"

namespace Quandrel {
namespace System {

namespace {

// Standard dialog-button identifiers: IDOK (1) through IDCONTINUE (11).
const int FirstButton = IDOK;
const int LastButton = 11;

}  // namespace

Dialog::Dialog() : window(nullptr) {}

Dialog::~Dialog()
{
    // From here on the object is a plain Dialog: the WM_DESTROY that this sends
    // reaches only the default hooks, and it clears window.
    if (window)
        DestroyWindow(window);
}

INT_PTR Dialog::DoModal(HINSTANCE instance, LPCWSTR templateName, HWND parent)
{
    if (window) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return 0;
    }
    ActivationScope scope;
    if (!scope.Ready())
        return -1;
    return DialogBoxParamW(instance, templateName, parent, DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::DoModalIndirect(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent)
{
    if (window) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return 0;
    }
    ActivationScope scope;
    if (!scope.Ready())
        return -1;
    return DialogBoxIndirectParamW(instance, dialogTemplate, parent, DialogProc, reinterpret_cast<LPARAM>(this));
}

HRESULT Dialog::Create(HINSTANCE instance, LPCWSTR templateName, HWND parent)
{
    if (window) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return LastErrorStatus();
    }
    {
        ActivationScope scope;
        if (!scope.Ready())
            return LastErrorStatus();
        window = CreateDialogParamW(instance, templateName, parent, DialogProc, reinterpret_cast<LPARAM>(this));
    }
    return window ? S_OK : LastErrorStatus();
}

INT_PTR Dialog::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(hwnd, reinterpret_cast<HWND>(wParam));
    case WM_COMMAND:
        OnCommand(hwnd, LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL Dialog::OnInitDialog(HWND, HWND)
{
    return TRUE;
}

void Dialog::OnCommand(HWND hwnd, int id, HWND, UINT notification)
{
    // Accelerators (1) and other controls' notifications are not button clicks.
    if (notification != BN_CLICKED)
        return;
    if (id < FirstButton || id > LastButton || id == IDHELP)
        return;
    if (OnButton(id))
        EndDialog(hwnd, id);
}

bool Dialog::OnButton(int)
{
    return true;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* self = reinterpret_cast<Dialog*>(GetWindowLongW(hwnd, DWL_USER));
    if (!self) {
        // WM_SETFONT and the like come before WM_INITDIALOG, which brings the object.
        if (message != WM_INITDIALOG)
            return FALSE;
        self = reinterpret_cast<Dialog*>(lParam);
        self->window = hwnd;
        SetWindowLongW(hwnd, DWL_USER, static_cast<LONG>(reinterpret_cast<LONG_PTR>(self)));
    } else if (message == WM_DESTROY) {
        self->window = nullptr;
    }
    return self->HandleMessage(hwnd, message, wParam, lParam);
}

}  // namespace System
}  // namespace Quandrel
