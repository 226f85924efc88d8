// Base class of dialog boxes driven by an object through virtual hooks.
#pragma once

#include <windows.h>

namespace Quandrel {
namespace System {

// The object owns its window while one is bound. The window points back to the
// object through its DWL_USER slot, set once WM_INITDIALOG arrives.
class Dialog {
public:
    Dialog();
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The value given to EndDialog; -1 when the platform could not create the
    // dialog; 0, with ERROR_ALREADY_EXISTS, while a window is already bound.
    virtual INT_PTR DoModal(HINSTANCE instance, LPCWSTR templateName, HWND parent);
    virtual INT_PTR DoModalIndirect(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent);
    // Modeless: returns once the window exists.
    virtual HRESULT Create(HINSTANCE instance, LPCWSTR templateName, HWND parent);

    virtual INT_PTR HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnInitDialog(HWND hwnd, HWND focus);
    virtual void OnCommand(HWND hwnd, int id, HWND control, UINT notification);
    // True ends the dialog with the button's identifier.
    virtual bool OnButton(int id);

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND window;  // null while no window is bound
};

}  // namespace System
}  // namespace Quandrel
