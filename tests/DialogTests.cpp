// Tests of the Dialog base class on real dialog windows.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ImportPatch.h"
#include "SystemTestIds.h"
#include "TestSupport.h"
#include "system/Dialog.h"

using Quandrel::System::Dialog;
using Testing::Hex;
using Testing::Module;
using Testing::Replace;

namespace {

const INT_PTR Sentinel = 4242;   // ends a dialog when no button did
const INT_PTR TimedOut = -4343;  // a dialog that nothing ended

// An in-memory template: four buttons (1, 2, 9, 12) and an edit box (100).
class MemoryTemplate {
public:
    MemoryTemplate()
    {
        Word(0);  // style, low and high words follow
        storage.clear();
        DLGTEMPLATE header = {};
        header.style = WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME;
        header.cdit = 5;
        header.cx = 200;
        header.cy = 80;
        Append(&header, sizeof(header));
        Word(0);  // no menu
        Word(0);  // the dialog class
        Text(L"Memory dialog");
        Word(8);
        Text(L"MS Shell Dlg");
        Item(IDOK, 0x0080, L"OK", 5);
        Item(IDCANCEL, 0x0080, L"Cancel", 60);
        Item(IDHELP, 0x0080, L"Help", 115);
        Item(12, 0x0080, L"Twelve", 170);
        Item(100, 0x0081, L"", 5, 5);
    }
    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(storage.data()); }

private:
    void Append(const void* data, size_t size)
    {
        const BYTE* bytes = static_cast<const BYTE*>(data);
        storage.insert(storage.end(), bytes, bytes + size);
    }
    void Word(WORD value) { Append(&value, sizeof(value)); }
    void Text(const WCHAR* text) { Append(text, (lstrlenW(text) + 1) * sizeof(WCHAR)); }
    void Align()
    {
        while (storage.size() % 4)
            storage.push_back(0);
    }
    void Item(WORD id, WORD atom, const WCHAR* text, short x, short y = 50)
    {
        Align();
        DLGITEMTEMPLATE item = {};
        item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        item.x = x;
        item.y = y;
        item.cx = 50;
        item.cy = 14;
        item.id = id;
        Append(&item, sizeof(item));
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);  // no creation data
    }
    std::vector<BYTE> storage;
};

void CALLBACK Watchdog(HWND hwnd, UINT, UINT_PTR, DWORD)
{
    EndDialog(hwnd, TimedOut);
}

// Records what reaches the hooks. The log lives outside the object, so that
// what happens while the object is destroyed can be read afterwards.
struct Log {
    std::vector<UINT> messages;
    std::vector<int> buttons;
    int inits = 0;
    bool boundAtInit = false;
    bool contextActiveAtInit = false;
    HWND windowAtDestroy = reinterpret_cast<HWND>(1);
    bool handleValidAtDestroy = false;
    INT_PTR commandResult = -1;
};

class Probe : public Dialog {
public:
    explicit Probe(Log* record) : log(record) {}

    INT_PTR HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        log->messages.push_back(message);
        if (message == WM_APP) {
            EndDialog(hwnd, Sentinel);
            return TRUE;
        }
        if (message == WM_DESTROY) {
            log->windowAtDestroy = window;
            log->handleValidAtDestroy = IsWindow(hwnd) != FALSE;
        }
        const INT_PTR result = Dialog::HandleMessage(hwnd, message, wParam, lParam);
        if (message == WM_COMMAND)
            log->commandResult = result;
        return result;
    }

    BOOL OnInitDialog(HWND hwnd, HWND focus) override
    {
        ++log->inits;
        log->boundAtInit = window == hwnd && GetWindowLongW(hwnd, DWL_USER) == reinterpret_cast<LONG>(this);
        HANDLE context = nullptr;
        log->contextActiveAtInit = GetCurrentActCtx(&context) && context != nullptr;
        if (context)
            ReleaseActCtx(context);
        SetTimer(hwnd, 1, 10000, Watchdog);
        if (onInit)
            onInit(hwnd);
        return Dialog::OnInitDialog(hwnd, focus);
    }

    bool OnButton(int id) override
    {
        log->buttons.push_back(id);
        return answer;
    }

    HWND Window() const { return window; }

    std::function<void(HWND)> onInit;
    bool answer = true;

private:
    Log* log;
};

void Post(HWND hwnd, int id, UINT code)
{
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, code), 0);
    PostMessageW(hwnd, WM_APP, 0, 0);
}

TEST(Dialog, StandardButtonsReachOnButtonAndEndTheDialogWithTheirIdentifier)
{
    const struct {
        int id;
        UINT code;
        bool button;
    } cases[] = {
        {IDOK, BN_CLICKED, true},   {IDCANCEL, BN_CLICKED, true}, {IDABORT, BN_CLICKED, true},
        {10, BN_CLICKED, true},     {11, BN_CLICKED, true},       {IDHELP, BN_CLICKED, false},
        {0, BN_CLICKED, false},     {12, BN_CLICKED, false},      {100, BN_CLICKED, false},
        {IDOK, 1, false},           {IDCANCEL, EN_CHANGE, false},
    };
    MemoryTemplate memory;
    for (const auto& c : cases) {
        Log log;
        Probe probe(&log);
        probe.onInit = [&](HWND hwnd) { Post(hwnd, c.id, c.code); };
        const INT_PTR result = probe.DoModalIndirect(Module(), memory.Get(), nullptr);
        const std::string row = "id " + std::to_string(c.id) + ", code " + std::to_string(c.code);
        EXPECT_EQ(c.button ? c.id : Sentinel, result) << row;
        EXPECT_EQ(c.button ? std::vector<int>{c.id} : std::vector<int>{}, log.buttons) << row;
        EXPECT_EQ(FALSE, log.commandResult) << row;
        EXPECT_EQ(nullptr, probe.Window()) << row;
    }
}

TEST(Dialog, OnButtonAnsweringFalseKeepsTheDialogOpen)
{
    MemoryTemplate memory;
    Log log;
    Probe probe(&log);
    probe.answer = false;
    probe.onInit = [](HWND hwnd) { Post(hwnd, IDOK, BN_CLICKED); };
    EXPECT_EQ(Sentinel, probe.DoModalIndirect(Module(), memory.Get(), nullptr));
    EXPECT_EQ(std::vector<int>{IDOK}, log.buttons);
}

TEST(Dialog, BindsTheWindowBeforeTheFirstHookAndUnbindsItAtDestroy)
{
    Log log;
    Probe probe(&log);
    probe.onInit = [](HWND hwnd) { Post(hwnd, IDCANCEL, BN_CLICKED); };
    EXPECT_EQ(IDCANCEL, probe.DoModal(Module(), MAKEINTRESOURCEW(IDD_TEST), nullptr));

    // WM_SETFONT comes before WM_INITDIALOG and must reach no hook.
    ASSERT_FALSE(log.messages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_INITDIALOG), log.messages.front());
    EXPECT_TRUE(log.boundAtInit) << "window and DWL_USER are set when OnInitDialog runs";
    EXPECT_TRUE(log.contextActiveAtInit) << "the dialog is created under the module's activation context";
    EXPECT_EQ(nullptr, log.windowAtDestroy) << "window is cleared before WM_DESTROY is handled";
    EXPECT_TRUE(log.handleValidAtDestroy);
    EXPECT_EQ(static_cast<UINT>(WM_NCDESTROY), log.messages.back()) << "messages after WM_DESTROY still arrive";
    HANDLE context = nullptr;
    EXPECT_TRUE(GetCurrentActCtx(&context));
    EXPECT_EQ(nullptr, context) << "the activation context is deactivated after the dialog";
}

TEST(Dialog, TheSameObjectCanRunASecondModalDialog)
{
    Log log;
    Probe probe(&log);
    probe.onInit = [](HWND hwnd) { Post(hwnd, IDOK, BN_CLICKED); };
    EXPECT_EQ(IDOK, probe.DoModal(Module(), MAKEINTRESOURCEW(IDD_TEST), nullptr));
    EXPECT_EQ(IDOK, probe.DoModal(Module(), MAKEINTRESOURCEW(IDD_TEST), nullptr));
    EXPECT_EQ(2, log.inits);
}

TEST(Dialog, RefusesASecondWindowWhileOneIsBound)
{
    MemoryTemplate memory;
    Log log;
    Probe probe(&log);
    INT_PTR modal = -7, indirect = -7;
    HRESULT created = S_OK;
    DWORD errors[3] = {};
    HWND after = nullptr;
    probe.onInit = [&](HWND hwnd) {
        SetLastError(0);
        modal = probe.DoModal(Module(), MAKEINTRESOURCEW(IDD_TEST), nullptr);
        errors[0] = GetLastError();
        SetLastError(0);
        indirect = probe.DoModalIndirect(Module(), memory.Get(), nullptr);
        errors[1] = GetLastError();
        SetLastError(0);
        created = probe.Create(Module(), MAKEINTRESOURCEW(IDD_TEST), nullptr);
        errors[2] = GetLastError();
        after = probe.Window();
        Post(hwnd, IDCANCEL, BN_CLICKED);
    };
    EXPECT_EQ(IDCANCEL, probe.DoModalIndirect(Module(), memory.Get(), nullptr));
    EXPECT_EQ(0, modal);
    EXPECT_EQ(0, indirect);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS), created);
    for (DWORD error : errors)
        EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), error);
    EXPECT_NE(nullptr, after) << "the bound window stays bound";
    EXPECT_EQ(1, log.inits) << "no second window was made";
}

TEST(Dialog, AMissingTemplateFailsWithThePlatformsError)
{
    Log log;
    Probe probe(&log);
    SetLastError(0);
    EXPECT_EQ(-1, probe.DoModal(Module(), MAKEINTRESOURCEW(IDD_TEST_MISSING), nullptr));
    const DWORD error = GetLastError();
    EXPECT_NE(0u, error) << "the error survives the deactivation of the activation context";

    const HRESULT hr = probe.Create(Module(), MAKEINTRESOURCEW(IDD_TEST_MISSING), nullptr);
    EXPECT_EQ(HRESULT_FROM_WIN32(error), hr) << Hex(hr);
    EXPECT_EQ(nullptr, probe.Window());
    EXPECT_EQ(0, log.inits);
}

TEST(Dialog, DestroyingAnObjectDestroysItsModelessWindowThroughTheBaseHooksOnly)
{
    Log log;
    Probe* probe = new Probe(&log);
    ASSERT_EQ(S_OK, probe->Create(Module(), MAKEINTRESOURCEW(IDD_TEST), nullptr));
    const HWND hwnd = probe->Window();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(log.boundAtInit);
    const size_t seen = log.messages.size();

    delete probe;
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(seen, log.messages.size()) << "no message reached the derived class during destruction";
}

// Replacements of GetProcAddress: a system with no activation contexts, and one whose activation fails.
Replace<FARPROC(WINAPI*)(HMODULE, LPCSTR)>* lookup = nullptr;

bool IsActivationFunction(LPCSTR name)
{
    return HIWORD(name) &&
           (!lstrcmpA(name, "CreateActCtxW") || !lstrcmpA(name, "ActivateActCtx") ||
            !lstrcmpA(name, "DeactivateActCtx") || !lstrcmpA(name, "ReleaseActCtx"));
}

FARPROC WINAPI NoActivationContexts(HMODULE module, LPCSTR name)
{
    if (IsActivationFunction(name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return lookup->Original()(module, name);
}

BOOL WINAPI FailingActivate(HANDLE, ULONG_PTR*)
{
    SetLastError(ERROR_SXS_KEY_NOT_FOUND);
    return FALSE;
}

FARPROC WINAPI ActivationFails(HMODULE module, LPCSTR name)
{
    if (HIWORD(name) && !lstrcmpA(name, "ActivateActCtx"))
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FailingActivate));
    return lookup->Original()(module, name);
}

TEST(Dialog, WithoutActivationContextsTheDialogIsCreatedPlainly)
{
    Replace<FARPROC(WINAPI*)(HMODULE, LPCSTR)> patch("kernel32.dll", "GetProcAddress", NoActivationContexts);
    lookup = &patch;
    Log log;
    Probe probe(&log);
    probe.onInit = [](HWND hwnd) { Post(hwnd, IDOK, BN_CLICKED); };
    EXPECT_EQ(IDOK, probe.DoModal(Module(), MAKEINTRESOURCEW(IDD_TEST), nullptr));
    EXPECT_FALSE(log.contextActiveAtInit);
}

TEST(Dialog, AFailedActivationMeansNoDialog)
{
    Replace<FARPROC(WINAPI*)(HMODULE, LPCSTR)> patch("kernel32.dll", "GetProcAddress", ActivationFails);
    lookup = &patch;
    MemoryTemplate memory;
    Log log;
    Probe probe(&log);
    SetLastError(0);
    EXPECT_EQ(-1, probe.DoModal(Module(), MAKEINTRESOURCEW(IDD_TEST), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SXS_KEY_NOT_FOUND), GetLastError());
    EXPECT_EQ(-1, probe.DoModalIndirect(Module(), memory.Get(), nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SXS_KEY_NOT_FOUND), probe.Create(Module(), MAKEINTRESOURCEW(IDD_TEST), nullptr));
    EXPECT_EQ(nullptr, probe.Window());
    EXPECT_EQ(0, log.inits);
}

}  // namespace
