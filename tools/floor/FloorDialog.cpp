// The start-up floor: an equally simple dialog from a resource, and nothing else.
#include <windows.h>

static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    DialogBoxParamW(instance, MAKEINTRESOURCEW(129), nullptr, Procedure, 0);
    return 0;
}
