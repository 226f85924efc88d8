// Tests of the message boxes: what the user reads, the result and the last error.
#include <gtest/gtest.h>

#include <string>

#include "ImportPatch.h"
#include "SystemTestIds.h"
#include "TestSupport.h"
#include "resource.h"
#include "system/MessageBox.h"

using Quandrel::System::ShowErrorMessage;
using Quandrel::System::ShowMessage;
using Testing::Hex;
using Testing::Module;
using Testing::SystemText;
using Testing::LocalHeapCounter;
using Testing::Lines;
using Testing::Replace;

namespace {

// MessageBoxW replaced: records the box instead of showing it.
struct Box {
    int shown = 0;
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
};
Box box;

int WINAPI RecordingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    ++box.shown;
    box.owner = owner;
    box.text = text;
    box.caption = caption;
    box.type = type;
    SetLastError(ERROR_ACCESS_DENIED);  // the functions must not pass this on
    return IDOK;
}

class MessageBoxes : public testing::Test {
protected:
    MessageBoxes() : patch("user32.dll", "MessageBoxW", RecordingMessageBox) { box = Box(); }
    Replace<int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT)> patch;
    LocalHeapCounter heap;
};

TEST_F(MessageBoxes, SuccessMessageNamesTheFileAndKeepsItsEmptyLine)
{
    const HWND owner = GetDesktopWindow();
    EXPECT_EQ(IDOK, ShowMessage(Module(), owner, IDS_CAPTURE_DONE, IDS_CAPTION, MB_ICONINFORMATION,
                                L"Disk 2 Platterlift.txt"));
    EXPECT_EQ(0u, GetLastError());
    EXPECT_EQ(1, box.shown);
    EXPECT_EQ(owner, box.owner);
    EXPECT_EQ(L"The sectors were captured successfully.\n\nThe file 'Disk 2 Platterlift.txt' has been saved to your desktop.",
              Lines(box.text));
    EXPECT_EQ(L"Ostrafen Platterlift", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), box.type);
    EXPECT_EQ(0, heap.Outstanding());
}

TEST_F(MessageBoxes, ErrorMessagesCarryTheSystemsText)
{
    const struct {
        UINT message;
        HRESULT status;
        const WCHAR* prefix;
    } cases[] = {
        {IDS_BAD_DISK_NUMBER, E_INVALIDARG, L"You did not select a valid disk number: "},
        {IDS_BAD_DISK_NUMBER, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L"You did not select a valid disk number: "},
        {IDS_CAPTURE_FAILED, E_ACCESSDENIED, L"Ostrafen was unable to capture the disk sectors: "},
    };
    for (const auto& c : cases) {
        box = Box();
        const std::wstring system = SystemText(static_cast<DWORD>(c.status));
        ASSERT_FALSE(system.empty()) << Hex(c.status);
        EXPECT_EQ(IDOK, ShowErrorMessage(Module(), nullptr, c.status, c.message, IDS_CAPTION, MB_ICONERROR));
        EXPECT_EQ(0u, GetLastError()) << Hex(c.status);
        EXPECT_EQ(std::wstring(c.prefix) + system, Lines(box.text)) << Hex(c.status);
        EXPECT_EQ(nullptr, box.owner);
        EXPECT_EQ(L"Ostrafen Platterlift", box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.type);
    }
    EXPECT_EQ(0, heap.Outstanding());
}

TEST_F(MessageBoxes, ACodeWithoutSystemTextIsShownInHexadecimal)
{
    // A lookup of an unknown code fails with ERROR_MR_MID_NOT_FOUND here, as on Windows.
    const HRESULT unknown = static_cast<HRESULT>(0x8007ABCD);
    ASSERT_TRUE(SystemText(static_cast<DWORD>(unknown)).empty());
    EXPECT_EQ(IDOK, ShowErrorMessage(Module(), nullptr, unknown, IDS_CAPTURE_FAILED, IDS_CAPTION, MB_ICONERROR));
    EXPECT_EQ(0u, GetLastError());
    EXPECT_EQ(L"Ostrafen was unable to capture the disk sectors: 8007abcd", box.text);
    EXPECT_EQ(0, heap.Outstanding());
}

Replace<DWORD(WINAPI*)(DWORD, LPCVOID, DWORD, DWORD, LPWSTR, DWORD, va_list*)>* formatter = nullptr;
DWORD lookupError = 0;

DWORD WINAPI NoSystemText(DWORD flags, LPCVOID source, DWORD id, DWORD language, LPWSTR buffer, DWORD size,
                          va_list* args)
{
    if (flags & FORMAT_MESSAGE_FROM_SYSTEM) {
        SetLastError(lookupError);
        return 0;
    }
    return formatter->Original()(flags, source, id, language, buffer, size, args);
}

TEST_F(MessageBoxes, WhateverTheLookupReportsTheCodeStillReachesTheUser)
{
    Replace<DWORD(WINAPI*)(DWORD, LPCVOID, DWORD, DWORD, LPWSTR, DWORD, va_list*)> lookup(
        "kernel32.dll", "FormatMessageW", NoSystemText);
    formatter = &lookup;
    const struct {
        DWORD error;
        DWORD code;
        const WCHAR* shown;
    } cases[] = {
        {ERROR_INVALID_PARAMETER, 5, L"5"},
        {ERROR_INVALID_PARAMETER, 0x80070005, L"80070005"},
        {ERROR_MR_MID_NOT_FOUND, 0x80004005, L"80004005"},
        {ERROR_RESOURCE_LANG_NOT_FOUND, 0x1F, L"1f"},
        {0, 0xC0000005, L"c0000005"},
    };
    for (const auto& c : cases) {
        box = Box();
        lookupError = c.error;
        EXPECT_EQ(IDOK, ShowErrorMessage(Module(), nullptr, c.code, IDS_BAD_DISK_NUMBER, IDS_CAPTION, MB_ICONERROR));
        EXPECT_EQ(std::wstring(L"You did not select a valid disk number: ") + c.shown, box.text) << Hex(c.code);
        EXPECT_EQ(0u, GetLastError());
    }

    // Only when there is no memory for the hexadecimal text does nothing show.
    box = Box();
    lookupError = ERROR_MR_MID_NOT_FOUND;
    heap.FailAllocation(1);
    EXPECT_EQ(-1, ShowErrorMessage(Module(), nullptr, 5, IDS_BAD_DISK_NUMBER, IDS_CAPTION, MB_ICONERROR));
    EXPECT_EQ(static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY)), GetLastError());
    EXPECT_EQ(0, box.shown);
    EXPECT_EQ(0, heap.Outstanding());
}

int loads = 0;
Replace<int(WINAPI*)(HINSTANCE, UINT, LPWSTR, int)>* loader = nullptr;

int WINAPI CountedLoadString(HINSTANCE module, UINT id, LPWSTR buffer, int size)
{
    ++loads;
    return loader->Original()(module, id, buffer, size);
}

TEST_F(MessageBoxes, AMissingCaptionShowsNothingAndLoadsNoTemplate)
{
    Replace<int(WINAPI*)(HINSTANCE, UINT, LPWSTR, int)> patchLoader("user32.dll", "LoadStringW", CountedLoadString);
    loader = &patchLoader;
    loads = 0;
    EXPECT_EQ(-1, ShowMessage(Module(), nullptr, IDS_CAPTURE_DONE, IDS_TEST_MISSING, MB_OK, L"x"));
    EXPECT_EQ(1, loads);
    loads = 0;
    EXPECT_EQ(-1, ShowErrorMessage(Module(), nullptr, E_FAIL, IDS_CAPTURE_FAILED, IDS_TEST_MISSING, MB_OK));
    EXPECT_EQ(1, loads);
    EXPECT_EQ(0, box.shown);
}

TEST_F(MessageBoxes, AMissingTemplateShowsNothingAndLeavesItsStatus)
{
    SetLastError(0);
    EXPECT_EQ(-1, ShowMessage(Module(), nullptr, IDS_TEST_MISSING, IDS_CAPTION, MB_OK));
    const DWORD status = GetLastError();
    EXPECT_TRUE(FAILED(static_cast<HRESULT>(status))) << Hex(status);
    EXPECT_EQ(-1, ShowErrorMessage(Module(), nullptr, E_FAIL, IDS_TEST_MISSING, IDS_CAPTION, MB_OK));
    EXPECT_EQ(status, GetLastError());
    EXPECT_EQ(0, box.shown);
    EXPECT_EQ(0, heap.Outstanding());
}

TEST_F(MessageBoxes, ALongCaptionIsCutTo255Characters)
{
    EXPECT_EQ(IDOK, ShowMessage(Module(), nullptr, IDS_TEST_NO_INSERT, IDS_TEST_LONG_CAPTION, MB_OK));
    WCHAR full[512];
    ASSERT_EQ(300, LoadStringW(Module(), IDS_TEST_LONG_CAPTION, full, 512));
    EXPECT_EQ(std::wstring(full, 255), box.caption);
}

TEST_F(MessageBoxes, TheCallersInsertsAreAppliedAfterTheSystemText)
{
    // A template without "%1" is shown as it stands.
    EXPECT_EQ(IDOK, ShowErrorMessage(Module(), nullptr, E_ACCESSDENIED, IDS_TEST_NO_INSERT, IDS_CAPTION, MB_OK));
    EXPECT_EQ(L"Nothing to insert here.", box.text);

    // "%%1" survives the first pass as "%1" and takes the caller's insert in the second.
    EXPECT_EQ(IDOK, ShowErrorMessage(Module(), nullptr, E_ACCESSDENIED, IDS_TEST_TWO_PASSES, IDS_CAPTION, MB_OK,
                                     L"disk.img"));
    EXPECT_EQ(L"Could not read disk.img: " + SystemText(static_cast<DWORD>(E_ACCESSDENIED)), Lines(box.text));
    EXPECT_EQ(0, heap.Outstanding());
}

TEST_F(MessageBoxes, NothingIsRaisedWhenMemoryRunsOut)
{
    // Allocation 1 is the template String's StringData.
    heap.FailAllocation(1);
    EXPECT_EQ(-1, ShowMessage(Module(), nullptr, IDS_CAPTURE_DONE, IDS_CAPTION, MB_OK, L"x"));
    EXPECT_EQ(static_cast<DWORD>(E_OUTOFMEMORY), GetLastError());
    heap.FailAllocation(1);
    EXPECT_EQ(-1, ShowErrorMessage(Module(), nullptr, E_FAIL, IDS_CAPTURE_FAILED, IDS_CAPTION, MB_OK));
    EXPECT_EQ(static_cast<DWORD>(E_OUTOFMEMORY), GetLastError());
    EXPECT_EQ(0, box.shown);
    EXPECT_EQ(0, heap.Outstanding());
}

// The real box, as the user sees it, closed by a second thread.
struct Seen {
    std::wstring text;
    bool found = false;
};

DWORD WINAPI CloseBox(void* context)
{
    Seen* seen = static_cast<Seen*>(context);
    const HWND found = Testing::WaitForDialog(GetCurrentProcessId(), L"Ostrafen Platterlift", Testing::IsMessageBox, 10000);
    if (!found)
        return 1;
    seen->found = true;
    seen->text = Testing::MessageBoxText(found);
    PostMessageW(found, WM_COMMAND, IDOK, 0);
    return 0;
}

TEST(RealMessageBox, ShowsTheTextAndReturnsTheButton)
{
    Seen seen;
    HANDLE closer = CreateThread(nullptr, 0, CloseBox, &seen, 0, nullptr);
    SetLastError(ERROR_INVALID_HANDLE);
    const int result = ShowErrorMessage(Module(), nullptr, E_INVALIDARG, IDS_BAD_DISK_NUMBER, IDS_CAPTION, MB_ICONERROR);
    const DWORD error = GetLastError();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(closer, 15000));
    CloseHandle(closer);
    ASSERT_TRUE(seen.found) << "no message box appeared";
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(0u, error);
    EXPECT_EQ(L"You did not select a valid disk number: " + SystemText(static_cast<DWORD>(E_INVALIDARG)), Lines(seen.text));
}

}  // namespace
