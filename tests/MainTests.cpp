// Tests of the entry point: the order of start-up and shutdown, and the exit code.
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "ImportPatch.h"
#include "TestSupport.h"
#include "app/PlatterliftDialog.h"
#include "resource.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

using Quandrel::Ostrafen::NT::PlatterliftDialog;
using Testing::Hex;
using Testing::Module;
using Testing::Replace;

namespace {

// The platform calls of one run, in order.
std::vector<std::string> events;
HANDLE diskHandle = INVALID_HANDLE_VALUE;
HRESULT coInitializeResult = S_OK;
bool captureInDialog = false;

typedef INT_PTR(WINAPI* DialogBoxParamFunction)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
typedef HANDLE(WINAPI* CreateFileWFunction)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
Replace<CreateFileWFunction>* createFile = nullptr;
Replace<BOOL(WINAPI*)(HANDLE)>* closeHandle = nullptr;
Replace<HRESULT(WINAPI*)(LPVOID)>* coInitialize = nullptr;
Replace<void(WINAPI*)()>* coUninitialize = nullptr;

void WINAPI RecordedInitCommonControls()
{
    events.push_back("InitCommonControls");
}

HRESULT WINAPI RecordedCoInitialize(LPVOID reserved)
{
    events.push_back("CoInitialize");
    return SUCCEEDED(coInitializeResult) ? coInitialize->Original()(reserved) : coInitializeResult;
}

void WINAPI RecordedCoUninitialize()
{
    events.push_back("CoUninitialize");
    coUninitialize->Original()();
}

HANDLE WINAPI RecordedCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE templateFile)
{
    const HANDLE handle = createFile->Original()(name, access, share, security, disposition, flags, templateFile);
    if (std::wstring(name).find(L"\\\\.\\PhysicalDrive") == 0)
        diskHandle = handle;
    return handle;
}

BOOL WINAPI RecordedCloseHandle(HANDLE handle)
{
    if (handle == diskHandle)
        events.push_back("close disk");
    return closeHandle->Original()(handle);
}

int WINAPI SilentMessageBox(HWND, LPCWSTR, LPCWSTR, UINT)
{
    events.push_back("MessageBox");
    return IDOK;
}

// Stands in for the modal run: checks what it was given, and can press
// "Capture" for disk 1 on a modeless window bound to the same object.
INT_PTR WINAPI RecordedDialogBox(HINSTANCE instance, LPCWSTR name, HWND parent, DLGPROC procedure, LPARAM object)
{
    events.push_back("DialogBox");
    EXPECT_EQ(Module(), instance);
    EXPECT_EQ(MAKEINTRESOURCEW(IDD_CAPTURE), name);
    EXPECT_EQ(nullptr, parent);
    if (!captureInDialog)
        return IDCANCEL;
    HWND window = CreateDialogParamW(instance, name, parent, procedure, object);
    EXPECT_NE(nullptr, window);
    SetDlgItemTextW(window, IDC_DISK_NUMBER, L"1");
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DestroyWindow(window);
    return IDOK;
}

class EntryPoint : public testing::Test {
protected:
    EntryPoint()
        : controls("comctl32.dll", "InitCommonControls", RecordedInitCommonControls),
          init("ole32.dll", "CoInitialize", RecordedCoInitialize),
          uninit("ole32.dll", "CoUninitialize", RecordedCoUninitialize),
          dialogBox("user32.dll", "DialogBoxParamW", RecordedDialogBox),
          create("kernel32.dll", "CreateFileW", RecordedCreateFileW),
          close("kernel32.dll", "CloseHandle", RecordedCloseHandle),
          box("user32.dll", "MessageBoxW", SilentMessageBox)
    {
        coInitialize = &init;
        coUninitialize = &uninit;
        createFile = &create;
        closeHandle = &close;
        events.clear();
        diskHandle = INVALID_HANDLE_VALUE;
        coInitializeResult = S_OK;
        captureInDialog = false;
        Testing::MakeDiskImage(1);
    }

    static int Run() { return wWinMain(Module(), nullptr, const_cast<LPWSTR>(L"7 /quiet"), SW_HIDE); }

    Replace<void(WINAPI*)()> controls;
    Replace<HRESULT(WINAPI*)(LPVOID)> init;
    Replace<void(WINAPI*)()> uninit;
    Replace<DialogBoxParamFunction> dialogBox;
    Replace<CreateFileWFunction> create;
    Replace<BOOL(WINAPI*)(HANDLE)> close;
    Replace<int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT)> box;
};

TEST_F(EntryPoint, ANormalRunExitsWithTheStatusOfCoInitialize)
{
    EXPECT_EQ(S_OK, Run());
    EXPECT_EQ((std::vector<std::string>{"InitCommonControls", "CoInitialize", "DialogBox", "CoUninitialize"}), events);
}

TEST_F(EntryPoint, TheDialogAndItsDiskAreGoneBeforeCoUninitialize)
{
    captureInDialog = true;
    EXPECT_EQ(S_OK, Run());
    EXPECT_EQ((std::vector<std::string>{"InitCommonControls", "CoInitialize", "DialogBox", "MessageBox", "close disk",
                                        "CoUninitialize"}),
              events);
}

TEST_F(EntryPoint, COMAlreadyInitialisedGivesExitCodeOne)
{
    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    EXPECT_EQ(S_FALSE, Run());
    CoUninitialize();
    EXPECT_EQ("CoUninitialize", events.back());
}

TEST_F(EntryPoint, AFailedCoInitializeIsTheExitCodeAndShowsNothing)
{
    coInitializeResult = E_OUTOFMEMORY;
    EXPECT_EQ(E_OUTOFMEMORY, Run());
    coInitializeResult = CO_E_NOTINITIALIZED;
    EXPECT_EQ(CO_E_NOTINITIALIZED, Run());
    EXPECT_EQ((std::vector<std::string>{"InitCommonControls", "CoInitialize", "InitCommonControls", "CoInitialize"}),
              events);
}

Replace<void*(__cdecl*)(size_t)>* allocator = nullptr;

void* __cdecl NoRoomForTheDialog(size_t size)
{
    if (size == sizeof(PlatterliftDialog))
        return nullptr;
    return allocator->Original()(size);
}

TEST_F(EntryPoint, NoMemoryForTheDialogGivesOutOfMemoryAfterCoUninitialize)
{
    Replace<void*(__cdecl*)(size_t)> patch("msvcrt.dll", "malloc", NoRoomForTheDialog);
    allocator = &patch;
    const int result = Run();
    EXPECT_EQ(E_OUTOFMEMORY, result) << Hex(static_cast<unsigned long>(result));
    EXPECT_EQ((std::vector<std::string>{"InitCommonControls", "CoInitialize", "CoUninitialize"}), events);
}

}  // namespace
