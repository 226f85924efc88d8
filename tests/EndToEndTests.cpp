// Drives the real program as a user would: types, presses keys and buttons, reads what it shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "resource.h"

using Testing::DesktopFolder;
using Testing::Lines;
using Testing::Program;
using Testing::SystemText;
using Testing::WindowText;

namespace {

const DWORD CaptureSize = 51200;

std::wstring CaptureFile(const std::wstring& number)
{
    return DesktopFolder() + L"\\Disk " + number + L" Platterlift.txt";
}

template <typename Condition>
bool Eventually(Condition condition)
{
    for (int i = 0; i < 250; ++i) {
        if (condition())
            return true;
        Sleep(20);
    }
    return false;
}

// One program under test: the executable as built, and a copy that Wine runs
// with its Windows 98 setting, so that the 9x road runs end to end.
class Program_ : public testing::TestWithParam<const WCHAR*> {
protected:
    static void SetUpTestSuite()
    {
        for (int disk : {0, 1, 2, 7})
            Testing::MakeDiskImage(disk);
        CopyFileW(Testing::BesideTests(L"Ostrafen Platterlift.exe").c_str(),
                  Testing::BesideTests(L"Ostrafen Platterlift 98.exe").c_str(), FALSE);
    }

    void SetUp() override
    {
        for (const WCHAR* number : {L"0", L"1", L"2", L"3", L"5", L"7"})
            Testing::RemoveTree(CaptureFile(number));
        for (int disk : {0, 1, 2, 7})
            ASSERT_TRUE(Testing::ReadWholeFile(Testing::DiskImagePath(disk), &images[disk]));
    }

    void TearDown() override
    {
        for (int disk : {0, 1, 2, 7}) {
            std::vector<BYTE> now;
            ASSERT_TRUE(Testing::ReadWholeFile(Testing::DiskImagePath(disk), &now));
            EXPECT_TRUE(now == images[disk]) << "disk image " << disk << " changed";
        }
    }

    std::wstring Path() const { return Testing::BesideTests(GetParam()); }

    // Starts the program and waits for its dialog.
    HWND Start(Program& program)
    {
        EXPECT_TRUE(program.Started());
        const HWND dialog = program.WaitForDialog();
        EXPECT_NE(nullptr, dialog) << "the dialog did not appear";
        return dialog;
    }

    // Types into the disk-number box as a user would, and waits until it shows the text.
    static bool TypeNumber(HWND dialog, const std::wstring& text)
    {
        const HWND edit = GetDlgItem(dialog, IDC_DISK_NUMBER);
        Testing::TypeText(edit, text);
        return Eventually([&] { return WindowText(edit) == text; });
    }

    // Reads the message box, checks its owner, closes it and waits for the exit.
    std::wstring ReadBoxAndExit(Program& program, HWND expectedOwner)
    {
        const HWND box = program.WaitForMessageBox();
        if (!box)
            return L"(no message box)";
        const std::wstring text = Lines(Testing::MessageBoxText(box));
        EXPECT_EQ(expectedOwner, GetWindow(box, GW_OWNER));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        DWORD code = 1;
        EXPECT_TRUE(program.WaitForExit(&code)) << "the program did not end after its message";
        EXPECT_EQ(0u, code);
        return text;
    }

    std::vector<BYTE> images[8];
};

TEST_P(Program_, OpensCentredWithItsTextsAndFocus)
{
    Program program(Path(), L"");
    const HWND dialog = Start(program);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L"Capture", WindowText(GetDlgItem(dialog, IDOK)));
    EXPECT_EQ(L"Cancel", WindowText(GetDlgItem(dialog, IDCANCEL)));
    EXPECT_EQ(L"", WindowText(GetDlgItem(dialog, IDC_DISK_NUMBER)));
    EXPECT_EQ(L"This utility will save the content of the first 100 sectors of a physical disk.",
              WindowText(GetDlgItem(dialog, IDC_DESCRIPTION)));
    EXPECT_TRUE(Eventually([&] { return program.Focus() == GetDlgItem(dialog, IDOK); }));
    // Wine answers WM_GETICON from another process with null; the icons are
    // checked inside the process by the dialog's own tests.

    RECT window, area;
    GetWindowRect(dialog, &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR((area.left + area.right) / 2, (window.left + window.right) / 2, 2);
    EXPECT_NEAR((area.top + area.bottom) / 2, (window.top + window.bottom) / 2, 2);

    Testing::Click(GetDlgItem(dialog, IDCANCEL));
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(&code));
    EXPECT_EQ(0u, code);
}

TEST_P(Program_, EnterCapturesTheTypedDisk)
{
    Program program(Path(), L"");
    const HWND dialog = Start(program);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(TypeNumber(dialog, L"1"));
    Testing::PressKey(program.Focus(), VK_RETURN);

    EXPECT_EQ(L"The sectors were captured successfully.\n\nThe file 'Disk 1 Platterlift.txt' has been saved to your "
              L"desktop.",
              ReadBoxAndExit(program, dialog));
    std::vector<BYTE> saved;
    ASSERT_TRUE(Testing::ReadWholeFile(CaptureFile(L"1"), &saved));
    ASSERT_EQ(CaptureSize, saved.size());
    EXPECT_TRUE(std::vector<BYTE>(images[1].begin(), images[1].begin() + CaptureSize) == saved);
}

TEST_P(Program_, ClickingCaptureWithArgumentsThatChangeNothing)
{
    // "007" is disk 7, and the command line is not read.
    Program program(Path(), L"5 /disk 2");
    const HWND dialog = Start(program);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(TypeNumber(dialog, L"007"));
    Testing::Click(GetDlgItem(dialog, IDOK));

    EXPECT_EQ(L"The sectors were captured successfully.\n\nThe file 'Disk 7 Platterlift.txt' has been saved to your "
              L"desktop.",
              ReadBoxAndExit(program, dialog));
    std::vector<BYTE> saved;
    ASSERT_TRUE(Testing::ReadWholeFile(CaptureFile(L"7"), &saved));
    EXPECT_TRUE(std::vector<BYTE>(images[7].begin(), images[7].begin() + CaptureSize) == saved);
    EXPECT_FALSE(Testing::FileExists(CaptureFile(L"5")));
    EXPECT_FALSE(Testing::FileExists(CaptureFile(L"2")));
}

TEST_P(Program_, ANumberWithNoUsableDiskIsExplained)
{
    const struct {
        const WCHAR* typed;  // typed with the keyboard
        const WCHAR* pasted; // or put into the box as a paste would
        DWORD status;
    } cases[] = {
        {L"", nullptr, static_cast<DWORD>(E_INVALIDARG)},
        {L"5", nullptr, static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))},
        {nullptr, L"abc", static_cast<DWORD>(E_INVALIDARG)},
    };
    for (const auto& c : cases) {
        Program program(Path(), L"");
        const HWND dialog = Start(program);
        ASSERT_NE(nullptr, dialog);
        const HWND edit = GetDlgItem(dialog, IDC_DISK_NUMBER);
        const std::wstring expected = c.typed ? c.typed : c.pasted;
        if (c.typed)
            Testing::TypeText(edit, c.typed);
        else
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.pasted));
        ASSERT_TRUE(Eventually([&] { return WindowText(edit) == expected; }));
        Testing::Click(GetDlgItem(dialog, IDOK));
        EXPECT_EQ(L"You did not select a valid disk number: " + SystemText(c.status), ReadBoxAndExit(program, nullptr))
            << "typed " << testing::PrintToString(expected);
    }
    for (const WCHAR* number : {L"0", L"5"})
        EXPECT_FALSE(Testing::FileExists(CaptureFile(number)));
}

TEST_P(Program_, ACaptureThatFailsAfterTheOpenIsExplained)
{
    const struct {
        const WCHAR* typed;
        bool folder;
        DWORD status;
    } cases[] = {
        {L"3", false, static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_NOT_READY))},
        {L"1", true, static_cast<DWORD>(E_ACCESSDENIED)},
    };
    for (const auto& c : cases) {
        if (c.folder) {
            ASSERT_TRUE(CreateDirectoryW(CaptureFile(c.typed).c_str(), nullptr));
        }
        Program program(Path(), L"");
        const HWND dialog = Start(program);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(TypeNumber(dialog, c.typed));
        Testing::PressKey(program.Focus(), VK_RETURN);
        EXPECT_EQ(L"Ostrafen was unable to capture the disk sectors: " + SystemText(c.status),
                  ReadBoxAndExit(program, dialog));
        const DWORD attributes = GetFileAttributesW(CaptureFile(c.typed).c_str());
        if (c.folder) {
            EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
        } else {
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, attributes) << "no file for a disk that could not be read";
        }
    }
}

TEST_P(Program_, CancelEscapeAndTheCloseBoxEndQuietly)
{
    enum Way { CancelButton, EscapeKey, CloseBox };
    for (Way way : {CancelButton, EscapeKey, CloseBox}) {
        Program program(Path(), L"");
        const HWND dialog = Start(program);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(TypeNumber(dialog, L"1"));
        if (way == CancelButton)
            Testing::Click(GetDlgItem(dialog, IDCANCEL));
        else if (way == EscapeKey)
            Testing::PressKey(program.Focus(), VK_ESCAPE);
        else
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        DWORD code = 1;
        ASSERT_TRUE(program.WaitForExit(&code)) << "way " << way;
        EXPECT_EQ(0u, code) << "way " << way;
        EXPECT_FALSE(Testing::FileExists(CaptureFile(L"1"))) << "way " << way;
    }
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, Program_,
                         testing::Values(L"Ostrafen Platterlift.exe", L"Ostrafen Platterlift 98.exe"),
                         [](const testing::TestParamInfo<const WCHAR*>& parameter) {
                             return parameter.index == 0 ? std::string("WindowsNT") : std::string("Windows98");
                         });

}  // namespace
