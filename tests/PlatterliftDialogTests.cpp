// Tests of the capture dialog: opening the disk, capturing it, and what the user is told.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <map>
#include <string>
#include <vector>

#include "ImportPatch.h"
#include "TestSupport.h"
#include "app/PlatterliftDialog.h"
#include "resource.h"
#include "system/File.h"

using Quandrel::Ostrafen::NT::CaptureBufferSize;
using Quandrel::Ostrafen::NT::PlatterliftDialog;
using Quandrel::Ostrafen::NT::SetTrailingBackslash;
using Quandrel::System::File;
using Testing::DesktopFolder;
using Testing::Hex;
using Testing::Module;
using Testing::LocalHeapCounter;
using Testing::Replace;

namespace {

std::wstring CaptureFile(const std::wstring& number)
{
    return DesktopFolder() + L"\\Disk " + number + L" Platterlift.txt";
}

std::vector<BYTE> Bytes(const std::vector<BYTE>& all, size_t count)
{
    return std::vector<BYTE>(all.begin(), all.begin() + static_cast<long>(count));
}

// The capture dialog as a modeless window, with its state in view.
class Probe : public PlatterliftDialog {
public:
    Probe() : PlatterliftDialog(Module()) {}
    HRESULT Show() { return Create(Module(), MAKEINTRESOURCEW(IDD_CAPTURE), nullptr); }
    void Type(const WCHAR* text) { SetDlgItemTextW(window, IDC_DISK_NUMBER, text); }
    HANDLE Disk() const { return disk.Handle(); }
    DWORD Number() const { return diskNumber; }
    HWND Window() const { return window; }
};

// Every open and every write that the code under test makes.
struct Opened {
    std::wstring name;
    DWORD access, share, disposition;
    HANDLE handle;
};
std::vector<Opened> opens;
std::map<HANDLE, bool> isDevice;  // by the latest open that returned each handle
int deviceWrites = 0;
Replace<HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)>* createFile = nullptr;
Replace<BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)>* writeFile = nullptr;

HANDLE WINAPI RecordedCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE templateFile)
{
    const HANDLE handle = createFile->Original()(name, access, share, security, disposition, flags, templateFile);
    opens.push_back({name, access, share, disposition, handle});
    isDevice[handle] = std::wstring(name).find(L"\\\\.\\") == 0;
    return handle;
}

BOOL WINAPI RecordedWriteFile(HANDLE handle, LPCVOID data, DWORD count, LPDWORD written, LPOVERLAPPED overlapped)
{
    if (isDevice[handle])
        ++deviceWrites;
    return writeFile->Original()(handle, data, count, written, overlapped);
}

class Capture : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (int disk : {0, 1, 2, 7})
            Testing::MakeDiskImage(disk);
    }

    Capture()
        : create("kernel32.dll", "CreateFileW", RecordedCreateFileW),
          write("kernel32.dll", "WriteFile", RecordedWriteFile)
    {
        createFile = &create;
        writeFile = &write;
        opens.clear();
        isDevice.clear();
        deviceWrites = 0;
        for (const WCHAR* number : {L"0", L"1", L"2", L"3", L"7", L"-1"})
            Testing::RemoveTree(CaptureFile(number));
    }

    void SetUp() override { ASSERT_EQ(S_OK, dialog.Show()); }

    // Whatever a test did, the device was never opened or written for writing.
    void TearDown() override
    {
        for (const Opened& open : opens) {
            if (open.name.find(L"\\\\.\\PhysicalDrive") != 0)
                continue;
            EXPECT_EQ(static_cast<DWORD>(GENERIC_READ), open.access);
            EXPECT_EQ(static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE), open.share);
            EXPECT_EQ(static_cast<DWORD>(OPEN_EXISTING), open.disposition);
        }
        EXPECT_EQ(0, deviceWrites) << "the disk was written to";
    }

    const Opened* OpenOf(const std::wstring& name) const
    {
        for (auto open = opens.rbegin(); open != opens.rend(); ++open)
            if (open->name == name)
                return &*open;
        return nullptr;
    }

    Replace<HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)> create;
    Replace<BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)> write;
    Probe dialog;
};

TEST_F(Capture, OpenDiskReadsTheNumberAndOpensThatDevice)
{
    const struct {
        const WCHAR* typed;
        HRESULT result;
        DWORD number;
        const WCHAR* device;
    } cases[] = {
        {L"0", S_OK, 0, L"\\\\.\\PhysicalDrive0"},
        {L"007", S_OK, 7, L"\\\\.\\PhysicalDrive7"},
        {L"5", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), 5, L"\\\\.\\PhysicalDrive5"},
        {L"4", E_ACCESSDENIED, 4, L"\\\\.\\PhysicalDrive4"},
        {L"4294967295", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), 4294967295u, L"\\\\.\\PhysicalDrive-1"},
    };
    for (const auto& c : cases) {
        opens.clear();
        dialog.Type(c.typed);
        const HRESULT hr = dialog.OpenDisk();
        EXPECT_EQ(c.result, hr) << Hex(hr);
        EXPECT_EQ(c.number, dialog.Number());
        ASSERT_EQ(1u, opens.size());
        EXPECT_EQ(c.device, opens[0].name);
        EXPECT_EQ(SUCCEEDED(c.result), dialog.Disk() != File::NotOpen);
    }
}

TEST_F(Capture, TextThatIsNoNumberOpensNothingAndChangesNothing)
{
    dialog.Type(L"1");
    ASSERT_EQ(S_OK, dialog.OpenDisk());
    const HANDLE open = dialog.Disk();
    // Letters (pasted, since the box takes digits only from the keyboard) and
    // numbers beyond 32 bits do not translate.
    for (const WCHAR* typed : {L"", L"abc", L"x12", L"4294967296", L"99999999999999999999"}) {
        opens.clear();
        dialog.Type(typed);
        EXPECT_EQ(E_INVALIDARG, dialog.OpenDisk()) << "typed: " << testing::PrintToString(std::wstring(typed));
        EXPECT_TRUE(opens.empty());
        EXPECT_EQ(1u, dialog.Number());
        EXPECT_EQ(open, dialog.Disk());
    }
}

TEST_F(Capture, SavesTheFirstSectorsUnchangedAndLeavesTheDiskOpen)
{
    std::vector<BYTE> before;
    ASSERT_TRUE(Testing::ReadWholeFile(Testing::DiskImagePath(1), &before));
    ASSERT_EQ(Testing::DiskImageSize, before.size());
    // An older, longer capture of the same name is replaced.
    ASSERT_TRUE(Testing::WriteWholeFile(CaptureFile(L"1"), std::vector<BYTE>(100000, 0xEE)));

    dialog.Type(L"1");
    ASSERT_EQ(S_OK, dialog.OpenDisk());
    const HRESULT hr = dialog.CaptureSectors();
    ASSERT_EQ(S_OK, hr) << Hex(hr);
    ASSERT_NE(nullptr, OpenOf(CaptureFile(L"1")));
    const Opened output = *OpenOf(CaptureFile(L"1"));
    EXPECT_EQ(static_cast<DWORD>(GENERIC_WRITE), output.access);
    EXPECT_EQ(static_cast<DWORD>(CREATE_ALWAYS), output.disposition);
    EXPECT_EQ(static_cast<DWORD>(FILE_SHARE_READ), output.share);

    std::vector<BYTE> saved;
    ASSERT_TRUE(Testing::ReadWholeFile(CaptureFile(L"1"), &saved));
    ASSERT_EQ(CaptureBufferSize, saved.size());
    EXPECT_TRUE(Bytes(before, CaptureBufferSize) == saved) << "the capture differs from the disk";

    std::vector<BYTE> after;
    ASSERT_TRUE(Testing::ReadWholeFile(Testing::DiskImagePath(1), &after));
    EXPECT_TRUE(before == after) << "the disk image changed";

    ASSERT_NE(File::NotOpen, dialog.Disk());
    LONGLONG position = 0;
    EXPECT_EQ(S_OK, Quandrel::System::Seek(dialog.Disk(), 0, &position, FILE_CURRENT));
    EXPECT_EQ(CaptureBufferSize, position) << "the disk stays open after the bytes read";
}

TEST_F(Capture, ASecondCaptureStartsAgainFromTheFirstSector)
{
    dialog.Type(L"007");
    ASSERT_EQ(S_OK, dialog.OpenDisk());
    ASSERT_EQ(S_OK, dialog.CaptureSectors());
    ASSERT_EQ(S_OK, dialog.CaptureSectors());
    std::vector<BYTE> saved;
    ASSERT_TRUE(Testing::ReadWholeFile(CaptureFile(L"7"), &saved));
    EXPECT_TRUE(Testing::DiskPattern(7, CaptureBufferSize) == saved);
}

TEST_F(Capture, AShortDeviceGivesAFullFileWithZerosAfterItsBytes)
{
    dialog.Type(L"2");
    ASSERT_EQ(S_OK, dialog.OpenDisk());
    // Dirty heap memory that the capture buffer may reuse must not reach the file.
    for (int i = 0; i < 8; ++i) {
        HLOCAL junk = LocalAlloc(LMEM_FIXED, CaptureBufferSize);
        FillMemory(junk, CaptureBufferSize, 0xA5);
        LocalFree(junk);
    }
    ASSERT_EQ(S_OK, dialog.CaptureSectors());
    std::vector<BYTE> saved;
    ASSERT_TRUE(Testing::ReadWholeFile(CaptureFile(L"2"), &saved));
    ASSERT_EQ(CaptureBufferSize, saved.size());
    std::vector<BYTE> expected = Testing::DiskPattern(2, Testing::ShortImageSize);
    expected.resize(CaptureBufferSize, 0);
    EXPECT_TRUE(expected == saved);
}

TEST_F(Capture, ADeviceThatRefusesTheReadTouchesNoFile)
{
    dialog.Type(L"3");
    ASSERT_EQ(S_OK, dialog.OpenDisk());
    LocalHeapCounter heap;
    const HRESULT hr = dialog.CaptureSectors();
    EXPECT_TRUE(FAILED(hr)) << Hex(hr);
    EXPECT_FALSE(Testing::FileExists(CaptureFile(L"3")));
    EXPECT_EQ(0, heap.Outstanding());
}

TEST_F(Capture, ACreateThatFailsLeavesWhatIsThereAlone)
{
    dialog.Type(L"1");
    ASSERT_EQ(S_OK, dialog.OpenDisk());

    // A folder where the file should go.
    ASSERT_TRUE(CreateDirectoryW(CaptureFile(L"1").c_str(), nullptr));
    HRESULT hr = dialog.CaptureSectors();
    EXPECT_EQ(E_ACCESSDENIED, hr) << Hex(hr);
    EXPECT_TRUE(GetFileAttributesW(CaptureFile(L"1").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    Testing::RemoveTree(CaptureFile(L"1"));

    // An older capture that someone holds open without sharing.
    const std::vector<BYTE> older(777, 0x42);
    ASSERT_TRUE(Testing::WriteWholeFile(CaptureFile(L"1"), older));
    HANDLE holder = CreateFileW(CaptureFile(L"1").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    LocalHeapCounter heap;
    hr = dialog.CaptureSectors();
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), hr) << Hex(hr);
    EXPECT_EQ(0, heap.Outstanding());
    CloseHandle(holder);
    std::vector<BYTE> kept;
    ASSERT_TRUE(Testing::ReadWholeFile(CaptureFile(L"1"), &kept));
    EXPECT_TRUE(older == kept);
}

// SHGetFolderPathW replaced: a desktop of the test's choosing, or a failure.
std::wstring desktop;
HRESULT desktopResult = S_OK;

HRESULT WINAPI ChosenDesktop(HWND, int folder, HANDLE, DWORD, LPWSTR path)
{
    if (folder != CSIDL_DESKTOP)
        return E_INVALIDARG;
    if (FAILED(desktopResult))
        return desktopResult;
    lstrcpynW(path, desktop.c_str(), MAX_PATH);
    return desktopResult;
}

class CaptureWithDesktop : public Capture {
protected:
    CaptureWithDesktop() : folderPath("shell32.dll", "SHGetFolderPathW", ChosenDesktop)
    {
        desktop = DesktopFolder();
        desktopResult = S_OK;
    }
    void SetUp() override
    {
        Capture::SetUp();
        dialog.Type(L"1");
        ASSERT_EQ(S_OK, dialog.OpenDisk());
    }
    Replace<HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR)> folderPath;
};

TEST_F(CaptureWithDesktop, ADesktopPathEndingInABackslashGetsNoSecond)
{
    desktop += L"\\";
    desktopResult = S_FALSE;  // not a failure
    ASSERT_EQ(S_OK, dialog.CaptureSectors());
    EXPECT_EQ(CaptureFile(L"1"), opens.back().name);
    EXPECT_TRUE(Testing::FileExists(CaptureFile(L"1")));
}

TEST_F(CaptureWithDesktop, AFailedDesktopLookupIsReturnedAsItIs)
{
    desktopResult = E_FAIL;
    LocalHeapCounter heap;
    EXPECT_EQ(E_FAIL, dialog.CaptureSectors());
    EXPECT_EQ(0, heap.Outstanding());
    EXPECT_FALSE(Testing::FileExists(CaptureFile(L"1")));
}

TEST_F(CaptureWithDesktop, APathThatDoesNotFitFailsBeforeAnyFileIsCreated)
{
    // "Disk 1 Platterlift.txt" is 22 characters; folder, backslash, name and
    // terminator must fit in MAX_PATH.
    const struct {
        size_t folder;
        bool fits;
    } cases[] = {{236, true}, {237, false}, {258, false}, {259, false}};
    for (const auto& c : cases) {
        desktop = L"C:\\" + std::wstring(c.folder - 3, L'd');
        opens.clear();
        LocalHeapCounter heap;
        const HRESULT hr = dialog.CaptureSectors();
        if (c.fits) {
            EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), hr) << c.folder << ": " << Hex(hr);
            ASSERT_EQ(1u, opens.size()) << c.folder;
            EXPECT_EQ(static_cast<size_t>(MAX_PATH - 1), opens[0].name.size());
        } else {
            EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE), hr) << c.folder << ": " << Hex(hr);
            EXPECT_TRUE(opens.empty()) << c.folder;
        }
        EXPECT_EQ(0, heap.Outstanding()) << c.folder;
    }
}

// Failures the platform will not give on demand, each reached by replacing one function.
DWORD WINAPI FailingSetFilePointer(HANDLE, LONG, PLONG, DWORD)
{
    SetLastError(ERROR_SEEK);
    return INVALID_SET_FILE_POINTER;
}

BOOL WINAPI FailingWriteFile(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)
{
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

Replace<BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)>* shortWrite = nullptr;

BOOL WINAPI ShortWriteFile(HANDLE handle, LPCVOID data, DWORD count, LPDWORD written, LPOVERLAPPED overlapped)
{
    return shortWrite->Original()(handle, data, count / 2, written, overlapped);
}

DWORD WINAPI FailingFormatMessage(DWORD, LPCVOID, DWORD, DWORD, LPWSTR, DWORD, va_list*)
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

TEST_F(Capture, EachFailureReturnsItsStatusAndReleasesWhatItHeld)
{
    dialog.Type(L"1");
    ASSERT_EQ(S_OK, dialog.OpenDisk());
    {
        Replace<DWORD(WINAPI*)(HANDLE, LONG, PLONG, DWORD)> seek("kernel32.dll", "SetFilePointer", FailingSetFilePointer);
        LocalHeapCounter heap;
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SEEK), dialog.CaptureSectors());
        EXPECT_TRUE(heap.Sizes().empty()) << "nothing is allocated before the seek";
    }
    {
        LocalHeapCounter heap;
        heap.FailAllocation(1);
        EXPECT_EQ(E_OUTOFMEMORY, dialog.CaptureSectors()) << "no capture buffer";
        EXPECT_EQ(0, heap.Outstanding());
    }
    {
        LocalHeapCounter heap;
        heap.FailAllocation(2);
        EXPECT_EQ(E_OUTOFMEMORY, dialog.CaptureSectors()) << "no String for the name";
        EXPECT_EQ(0, heap.Outstanding());
    }
    {
        Replace<DWORD(WINAPI*)(DWORD, LPCVOID, DWORD, DWORD, LPWSTR, DWORD, va_list*)> format(
            "kernel32.dll", "FormatMessageW", FailingFormatMessage);
        LocalHeapCounter heap;
        EXPECT_EQ(E_INVALIDARG, dialog.CaptureSectors()) << "the name cannot be formed";
        EXPECT_EQ(0, heap.Outstanding());
    }
    EXPECT_FALSE(Testing::FileExists(CaptureFile(L"1"))) << "no failure so far touched a file";
    {
        Replace<BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)> failing("kernel32.dll", "WriteFile",
                                                                                    FailingWriteFile);
        LocalHeapCounter heap;
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), dialog.CaptureSectors());
        EXPECT_EQ(0, heap.Outstanding());
    }
    std::vector<BYTE> left;
    EXPECT_TRUE(Testing::ReadWholeFile(CaptureFile(L"1"), &left)) << "a failed write leaves the file as created";
    EXPECT_TRUE(left.empty());
    {
        Replace<BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)> half("kernel32.dll", "WriteFile",
                                                                                 ShortWriteFile);
        shortWrite = &half;
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_WRITE_FAULT), dialog.CaptureSectors()) << "a short write is no capture";
    }
    EXPECT_NE(File::NotOpen, dialog.Disk()) << "no failure closes the disk";
}

TEST(SetTrailingBackslash, AddsOrRemovesOneBackslashWithinMaxPath)
{
    const struct {
        std::wstring path;
        bool add;
        std::wstring expected;
    } cases[] = {
        {L"C:\\Users\\Desktop", true, L"C:\\Users\\Desktop\\"},
        {L"C:\\", true, L"C:\\"},
        {L"C:\\Users\\Desktop\\", false, L"C:\\Users\\Desktop"},
        {L"C:\\\\", false, L"C:\\"},
        {L"C:\\Users", false, L"C:\\Users"},
        {std::wstring(258, L'a'), true, std::wstring(258, L'a') + L"\\"},
        {std::wstring(259, L'a'), true, std::wstring(259, L'a')},
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH + 1] = {};
        lstrcpynW(buffer, c.path.c_str(), MAX_PATH + 1);
        buffer[MAX_PATH] = L'#';  // the last WCHAR of a larger buffer stays untouched
        EXPECT_EQ(S_OK, SetTrailingBackslash(buffer, c.add));
        EXPECT_EQ(c.expected, std::wstring(buffer)) << c.path.size() << (c.add ? " add" : " remove");
        EXPECT_EQ(L'#', buffer[MAX_PATH]);
    }
}

// MessageBoxW replaced for the button tests: each box is recorded instead of shown.
struct Box {
    HWND owner;
    std::wstring text;
    UINT type;
};
std::vector<Box> boxes;

int WINAPI RecordingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    EXPECT_STREQ(L"Ostrafen Platterlift", caption);
    boxes.push_back({owner, Testing::Lines(text), type});
    return IDOK;
}

class Buttons : public Capture {
protected:
    Buttons() : box("user32.dll", "MessageBoxW", RecordingMessageBox) { boxes.clear(); }
    Replace<int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT)> box;
};

TEST_F(Buttons, CancelOpensNothingAndShowsNothing)
{
    dialog.Type(L"1");
    EXPECT_TRUE(dialog.OnButton(IDCANCEL));
    EXPECT_TRUE(dialog.OnButton(IDABORT));
    EXPECT_TRUE(opens.empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Buttons, CaptureTellsTheOutcome)
{
    const struct {
        const WCHAR* typed;
        bool owned;
        UINT type;
        std::wstring text;
    } cases[] = {
        {L"", false, MB_ICONERROR, L"You did not select a valid disk number: " + Testing::SystemText(static_cast<DWORD>(E_INVALIDARG))},
        {L"5", false, MB_ICONERROR,
         L"You did not select a valid disk number: " + Testing::SystemText(static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)))},
        {L"3", true, MB_ICONERROR,
         L"Ostrafen was unable to capture the disk sectors: " + Testing::SystemText(static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_NOT_READY)))},
        {L"1", true, MB_ICONINFORMATION,
         L"The sectors were captured successfully.\n\nThe file 'Disk 1 Platterlift.txt' has been saved to your desktop."},
    };
    for (const auto& c : cases) {
        boxes.clear();
        dialog.Type(c.typed);
        EXPECT_TRUE(dialog.OnButton(IDOK));
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(c.text, boxes[0].text);
        EXPECT_EQ(c.owned ? dialog.Window() : nullptr, boxes[0].owner);
        EXPECT_EQ(c.type, boxes[0].type);
    }
    EXPECT_TRUE(Testing::FileExists(CaptureFile(L"1")));
}

int nameFormats = 0;
Replace<DWORD(WINAPI*)(DWORD, LPCVOID, DWORD, DWORD, LPWSTR, DWORD, va_list*)>* formatter = nullptr;

// Fails the second formatting of the file name, the one for the success message.
DWORD WINAPI SecondNameFails(DWORD flags, LPCVOID source, DWORD id, DWORD language, LPWSTR buffer, DWORD size,
                             va_list* args)
{
    if ((flags & FORMAT_MESSAGE_FROM_STRING) && !lstrcmpW(static_cast<LPCWSTR>(source), L"Disk %1!d! Platterlift.txt") &&
        ++nameFormats == 2) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    return formatter->Original()(flags, source, id, language, buffer, size, args);
}

TEST_F(Buttons, ASavedCaptureIsReportedEvenIfItsNameCannotBeMadeAgain)
{
    Replace<DWORD(WINAPI*)(DWORD, LPCVOID, DWORD, DWORD, LPWSTR, DWORD, va_list*)> format(
        "kernel32.dll", "FormatMessageW", SecondNameFails);
    formatter = &format;
    nameFormats = 0;
    dialog.Type(L"1");
    EXPECT_TRUE(dialog.OnButton(IDOK));
    EXPECT_EQ(2, nameFormats);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"The sectors were captured successfully.\n\nThe file '' has been saved to your desktop.", boxes[0].text);
    EXPECT_TRUE(Testing::FileExists(CaptureFile(L"1")));
}

TEST_F(Capture, TheDialogGetsTheBigAndSmallIconsOfTheProgram)
{
    const struct {
        WPARAM which;
        LONG size;
    } cases[] = {{ICON_BIG, 32}, {ICON_SMALL, 16}};
    for (const auto& c : cases) {
        HICON icon = reinterpret_cast<HICON>(SendMessageW(dialog.Window(), WM_GETICON, c.which, 0));
        ASSERT_NE(nullptr, icon);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
        EXPECT_EQ(c.size, bitmap.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

}  // namespace
