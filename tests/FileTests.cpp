// Tests of File and Seek on real files. The same executable also runs under
// Wine's Windows 98 setting, where every wide open takes the ANSI road.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImportPatch.h"
#include "TestSupport.h"
#include "system/File.h"

using Quandrel::System::File;
using Quandrel::System::Seek;
using Testing::Hex;
using Testing::Replace;
using Testing::TempFolder;

namespace {

bool Windows9x()
{
    return (GetVersion() & 0x80000000u) != 0;
}

// The platform calls that File makes, in order, with the names opened.
struct Call {
    std::string function;
    std::string name;
};
std::vector<Call> calls;

typedef HANDLE(WINAPI* CreateFileWFunction)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
typedef HANDLE(WINAPI* CreateFileAFunction)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
typedef BOOL(WINAPI* CloseHandleFunction)(HANDLE);
Replace<CreateFileWFunction>* createW = nullptr;
Replace<CreateFileAFunction>* createA = nullptr;
Replace<CloseHandleFunction>* closeHandle = nullptr;

HANDLE WINAPI LoggedCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile)
{
    calls.push_back({"CreateFileW", name ? "wide" : "(null)"});
    return createW->Original()(name, access, share, security, disposition, flags, templateFile);
}

HANDLE WINAPI LoggedCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile)
{
    calls.push_back({"CreateFileA", name ? name : "(null)"});
    return createA->Original()(name, access, share, security, disposition, flags, templateFile);
}

BOOL WINAPI LoggedCloseHandle(HANDLE handle)
{
    calls.push_back({"CloseHandle", ""});
    return closeHandle->Original()(handle);
}

class FileTest : public testing::Test {
protected:
    FileTest()
        : w("kernel32.dll", "CreateFileW", LoggedCreateFileW),
          a("kernel32.dll", "CreateFileA", LoggedCreateFileA),
          close("kernel32.dll", "CloseHandle", LoggedCloseHandle)
    {
        createW = &w;
        createA = &a;
        closeHandle = &close;
        calls.clear();
    }

    std::wstring Make(const std::wstring& name, const std::string& content)
    {
        const std::wstring path = folder / name;
        Testing::WriteWholeFile(path, std::vector<BYTE>(content.begin(), content.end()));
        return path;
    }

    static HRESULT OpenToRead(File& file, const std::wstring& path)
    {
        return file.Open(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
    }

    std::vector<std::string> Functions() const
    {
        std::vector<std::string> names;
        for (const Call& call : calls)
            names.push_back(call.function);
        return names;
    }

    // The open entry point of the system family this test runs on.
    static std::string CreateFunction() { return Windows9x() ? "CreateFileA" : "CreateFileW"; }

    TempFolder folder;
    Replace<CreateFileWFunction> w;
    Replace<CreateFileAFunction> a;
    Replace<CloseHandleFunction> close;
};

TEST_F(FileTest, AFileNeverOpenedMakesNoPlatformCall)
{
    {
        File file;
        EXPECT_EQ(File::NotOpen, file.Handle());
        file.Close();
    }
    EXPECT_TRUE(calls.empty());
}

TEST_F(FileTest, OpeningAgainClosesTheOldHandleFirstEvenWhenTheNewOpenFails)
{
    const std::wstring first = Make(L"first.bin", "first");
    File file;
    ASSERT_EQ(S_OK, OpenToRead(file, first));
    EXPECT_NE(File::NotOpen, file.Handle());

    calls.clear();
    const HRESULT hr = OpenToRead(file, folder / L"missing.bin");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), hr) << Hex(hr);
    EXPECT_EQ((std::vector<std::string>{"CloseHandle", CreateFunction()}), Functions());
    EXPECT_EQ(File::NotOpen, file.Handle());

    calls.clear();
    file.Close();
    EXPECT_TRUE(calls.empty()) << "a File that is not open has nothing to close";
}

TEST_F(FileTest, ReadsAndWritesReportWhatMoved)
{
    const std::wstring path = folder / L"data.bin";
    File file;
    ASSERT_EQ(S_OK, file.Open(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD moved = 99;
    ASSERT_EQ(S_OK, file.Write("0123456789", 10, &moved, nullptr));
    EXPECT_EQ(10u, moved);
    ASSERT_EQ(S_OK, Seek(file.Handle(), 0, nullptr, FILE_BEGIN));

    char buffer[64] = {};
    EXPECT_EQ(S_OK, file.Read(buffer, sizeof(buffer), &moved, nullptr)) << "a short read succeeds";
    EXPECT_EQ(10u, moved);
    EXPECT_STREQ("0123456789", buffer);
    EXPECT_EQ(S_OK, file.Read(buffer, sizeof(buffer), &moved, nullptr)) << "reading at the end succeeds";
    EXPECT_EQ(0u, moved);
    EXPECT_EQ(S_OK, file.Read(buffer, 4, nullptr, nullptr)) << "the count is optional";
}

TEST_F(FileTest, ReadAndWriteOnAFileNotOpenReturnThePlatformsFailure)
{
    File file;
    char buffer[4] = {};
    DWORD moved = 77;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE), file.Read(buffer, sizeof(buffer), &moved, nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE), file.Write(buffer, sizeof(buffer), &moved, nullptr));
    EXPECT_EQ(77u, moved) << "a failed transfer leaves the caller's count alone";
}

TEST_F(FileTest, SeekMovesBothWaysAndReportsTheWholePosition)
{
    File file;
    ASSERT_EQ(S_OK, OpenToRead(file, Make(L"hundred.bin", std::string(100, 'x'))));
    const struct {
        LONGLONG distance;
        DWORD method;
        LONGLONG position;
    } cases[] = {{10, FILE_BEGIN, 10}, {-5, FILE_CURRENT, 5}, {-20, FILE_END, 80}, {0, FILE_CURRENT, 80},
                 {0x100000000LL, FILE_BEGIN, 0x100000000LL}, {-1, FILE_CURRENT, 0xFFFFFFFFLL}};
    for (const auto& c : cases) {
        LONGLONG position = -1;
        EXPECT_EQ(S_OK, Seek(file.Handle(), c.distance, &position, c.method)) << c.distance;
        EXPECT_EQ(c.position, position) << c.distance << " from " << c.method;
    }
    EXPECT_EQ(S_OK, Seek(file.Handle(), 42, nullptr, FILE_BEGIN)) << "the position is optional";
    LONGLONG position = -1;
    EXPECT_EQ(S_OK, Seek(file.Handle(), 0, &position, FILE_CURRENT));
    EXPECT_EQ(42, position);
}

typedef DWORD(WINAPI* SetFilePointerFunction)(HANDLE, LONG, PLONG, DWORD);
Replace<SetFilePointerFunction>* setFilePointer = nullptr;

// Wine clears the last error when a position's low half is all ones; not every
// Windows does. This one leaves whatever error the thread had before the call.
DWORD WINAPI KeepingTheLastError(HANDLE handle, LONG low, PLONG high, DWORD method)
{
    const DWORD before = GetLastError();
    const DWORD result = setFilePointer->Original()(handle, low, high, method);
    if (GetLastError() == NO_ERROR)
        SetLastError(before);
    return result;
}

void SeekBeyond4GiBWithAStaleError(HANDLE handle)
{
    SetLastError(ERROR_ACCESS_DENIED);
    LONGLONG position = -1;
    const HRESULT hr = Seek(handle, 0x1FFFFFFFFLL, &position, FILE_BEGIN);
    EXPECT_EQ(S_OK, hr) << Hex(hr);
    EXPECT_EQ(0x1FFFFFFFFLL, position);
}

TEST_F(FileTest, AStaleLastErrorDoesNotTurnALowHalfOfAllOnesIntoAFailure)
{
    File file;
    ASSERT_EQ(S_OK, OpenToRead(file, Make(L"small.bin", "x")));
    SeekBeyond4GiBWithAStaleError(file.Handle());

    Replace<SetFilePointerFunction> patch("kernel32.dll", "SetFilePointer", KeepingTheLastError);
    setFilePointer = &patch;
    SeekBeyond4GiBWithAStaleError(file.Handle());
}

TEST_F(FileTest, RunsOnTheSystemFamilyItsNameAsksFor)
{
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(wcsstr(path, L"win98") != nullptr, Windows9x()) << "GetVersion gives " << Hex(GetVersion());
}

TEST_F(FileTest, AFailedSeekLeavesZero)
{
    File file;
    ASSERT_EQ(S_OK, OpenToRead(file, Make(L"small.bin", "x")));
    ASSERT_EQ(S_OK, Seek(file.Handle(), 1, nullptr, FILE_BEGIN));
    LONGLONG position = 123;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NEGATIVE_SEEK), Seek(file.Handle(), -10, &position, FILE_BEGIN));
    EXPECT_EQ(0, position);
    position = 123;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE), Seek(File::NotOpen, 0, &position, FILE_BEGIN));
    EXPECT_EQ(0, position);
}

TEST_F(FileTest, TheAnsiOpenPassesItsNameUnchanged)
{
    const std::wstring path = Make(L"ansi.bin", "a");
    const std::string narrow(path.begin(), path.end());
    calls.clear();
    File file;
    EXPECT_EQ(S_OK, file.Open(narrow.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("CreateFileA", calls[0].function);
    EXPECT_EQ(narrow, calls[0].name);
}

// The road of a wide name on each system family, with a name outside ASCII
// but inside the ANSI code page (1252 in the test prefix).
void CheckWideOpenRoad(const TempFolder& folder, const std::string& expectedFunction)
{
    calls.clear();
    const std::wstring path = folder / L"caf\u00e9 \u00c5.bin";
    File file;
    ASSERT_EQ(S_OK, file.Open(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(expectedFunction, calls[0].function);
    if (expectedFunction == "CreateFileA") {
        const std::string folderNarrow(folder.Path().begin(), folder.Path().end());
        EXPECT_EQ(folderNarrow + "\\caf\xe9 \xc5.bin", calls[0].name);
    }
    file.Close();
    EXPECT_TRUE(Testing::FileExists(path)) << "the file has the name that was asked for";
}

TEST_F(FileTest, AWideNameTakesTheRoadOfTheSystemFamily)
{
    CheckWideOpenRoad(folder, CreateFunction());
}

DWORD WINAPI Windows98Version()
{
    return 0xC0000A04;
}

TEST_F(FileTest, OnWindows9xAWideNameGoesThroughTheAnsiCodePage)
{
    Replace<DWORD(WINAPI*)()> version("kernel32.dll", "GetVersion", Windows98Version);
    CheckWideOpenRoad(folder, "CreateFileA");
}

TEST_F(FileTest, OnWindows9xANullNameReachesTheAnsiOpenAsNull)
{
    Replace<DWORD(WINAPI*)()> version("kernel32.dll", "GetVersion", Windows98Version);
    File file;
    const HRESULT hr = file.Open(static_cast<const WCHAR*>(nullptr), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(FAILED(hr)) << Hex(hr);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("CreateFileA", calls[0].function);
    EXPECT_EQ("(null)", calls[0].name);
    EXPECT_EQ(File::NotOpen, file.Handle());
}

int WINAPI RefusingNarrowing(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL)
{
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
}

TEST_F(FileTest, OnWindows9xANameThatDoesNotConvertOpensNothing)
{
    File file;
    ASSERT_EQ(S_OK, OpenToRead(file, Make(L"open.bin", "o")));
    Replace<DWORD(WINAPI*)()> version("kernel32.dll", "GetVersion", Windows98Version);
    Replace<int(WINAPI*)(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL)> narrowing(
        "kernel32.dll", "WideCharToMultiByte", RefusingNarrowing);
    calls.clear();
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION), OpenToRead(file, folder / L"other.bin"));
    EXPECT_EQ(std::vector<std::string>{"CloseHandle"}, Functions()) << "the old handle is closed, nothing opened";
    EXPECT_EQ(File::NotOpen, file.Handle());
}

}  // namespace
