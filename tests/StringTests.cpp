// Tests of String, StringData, AnsiString, LoadResourceString and FormatResourceString.
#include <gtest/gtest.h>

#include <string>

#include "ImportPatch.h"
#include "SystemTestIds.h"
#include "TestSupport.h"
#include "resource.h"
#include "system/String.h"

using Quandrel::System::AnsiString;
using Quandrel::System::FormatResourceString;
using Quandrel::System::String;
using Quandrel::System::StringData;
using Testing::Hex;
using Testing::Module;
using Testing::LocalHeapCounter;
using Testing::Replace;

namespace {

std::wstring Repeat(size_t n)
{
    const std::wstring base = L"0123456789abcdefghijklmnopqrstuvwxyz";
    std::wstring text;
    while (text.size() < n)
        text += base;
    return text.substr(0, n);
}

// Raises exactly the HRESULT type, or reports what was raised instead.
template <typename Action>
HRESULT Raised(Action action)
{
    try {
        action();
    } catch (HRESULT hr) {
        return hr;
    }
    return S_OK;
}

TEST(String, DefaultConstructionHoldsTheEmptyTextInABufferOf32)
{
    String text;
    ASSERT_NE(nullptr, text.Chars());
    EXPECT_EQ(0, text.Chars()[0]);
    EXPECT_STREQ(L"", text.Text());
    EXPECT_EQ(32, text.Data()->capacity);
    EXPECT_EQ(1, text.Data()->count);
}

TEST(String, CapacityComesInStepsOf32WithRoomForTheTerminator)
{
    const struct {
        size_t length;
        int capacity;
    } cases[] = {{0, 32}, {1, 32}, {31, 32}, {32, 64}, {63, 64}, {64, 96}, {200, 224}};
    for (const auto& c : cases) {
        const std::wstring source = Repeat(c.length);
        String text(source.c_str());
        EXPECT_EQ(c.capacity, text.Data()->capacity) << "length " << c.length;
        EXPECT_EQ(source, text.Text()) << "length " << c.length;
        EXPECT_NE(source.c_str(), text.Chars()) << "the text must be copied";
    }
}

TEST(String, CopiesShareOneBufferUntilTheLastIsGone)
{
    LocalHeapCounter heap;
    {
        String* first = new String(L"shared text");
        String second(*first);
        String third;
        third = second;
        EXPECT_EQ(first->Chars(), second.Chars());
        EXPECT_EQ(first->Chars(), third.Chars());
        EXPECT_EQ(3, first->Data()->count);

        delete first;
        EXPECT_STREQ(L"shared text", second.Text());
        EXPECT_EQ(2, second.Data()->count);
        EXPECT_EQ(2, heap.Outstanding()) << "the shared StringData and its buffer stay while others hold them";
    }
    EXPECT_EQ(0, heap.Outstanding()) << "the last String frees the StringData and its buffer";
}

TEST(String, TextAssignmentMakesANewBufferAndLeavesOtherCopiesAlone)
{
    String original(L"before");
    String copy(original);
    copy = L"after";
    EXPECT_STREQ(L"before", original.Text());
    EXPECT_STREQ(L"after", copy.Text());
    EXPECT_EQ(1, original.Data()->count);
    EXPECT_EQ(1, copy.Data()->count);
}

TEST(String, AssigningItsOwnTextWorks)
{
    LocalHeapCounter heap;
    {
        String text(L"self");
        text = text.Text();
        EXPECT_STREQ(L"self", text.Text());
        EXPECT_EQ(1, text.Data()->count);
    }
    EXPECT_EQ(0, heap.Outstanding());
}

TEST(String, AssignTakesNullAsTheEmptyText)
{
    String text(L"old");
    EXPECT_EQ(S_OK, text.Assign(nullptr));
    ASSERT_NE(nullptr, text.Chars());
    EXPECT_STREQ(L"", text.Chars());
    EXPECT_EQ(S_OK, text.Assign(L"new"));
    EXPECT_STREQ(L"new", text.Text());
}

TEST(String, OutOfMemoryIsRaisedAsAStatusAndNothingLeaks)
{
    // Allocation 1 is the StringData, allocation 2 its buffer.
    for (int failing = 1; failing <= 2; ++failing) {
        LocalHeapCounter heap;
        heap.FailAllocation(failing);
        EXPECT_EQ(E_OUTOFMEMORY, Raised([] { String text(L"x"); })) << "allocation " << failing;
        EXPECT_EQ(0, heap.Outstanding()) << "allocation " << failing;
    }
}

TEST(String, AFailedAssignmentKeepsTheOldText)
{
    String text(L"kept");
    LocalHeapCounter heap;
    heap.FailAllocation(2);
    EXPECT_EQ(E_OUTOFMEMORY, Raised([&] { text = L"lost"; }));
    EXPECT_STREQ(L"kept", text.Text());
    heap.FailAllocation(1);
    EXPECT_EQ(E_OUTOFMEMORY, text.Assign(L"lost"));
    EXPECT_STREQ(L"kept", text.Text());
    EXPECT_EQ(0, heap.Outstanding());
}

TEST(StringData, ReserveRefusesASizeBeyond32BitsAndKeepsItsBuffer)
{
    String text(L"abc");
    StringData* data = const_cast<StringData*>(text.Data());
    EXPECT_EQ(E_OUTOFMEMORY, data->Reserve(0x80000000u));
    EXPECT_EQ(E_OUTOFMEMORY, data->Reserve(0xFFFFFFFFu));
    EXPECT_STREQ(L"abc", text.Text());
    EXPECT_EQ(32, data->capacity);
}

TEST(String, ConvertsFromAndToTheAnsiCodePage)
{
    ASSERT_EQ(1252u, GetACP()) << "the test prefix runs with an English locale";
    String fromAnsi("caf\xe9 \x80");
    EXPECT_STREQ(L"caf\u00e9 \u20ac", fromAnsi.Text());
    EXPECT_EQ(32, fromAnsi.Data()->capacity);

    AnsiString back(fromAnsi);
    EXPECT_STREQ("caf\xe9 \x80", back.Chars());

    // A character the code page lacks is substituted, not a failure.
    AnsiString substituted{String(L"\u4e2d")};
    EXPECT_STREQ("?", substituted.Chars());
}

int WINAPI FailingSizeQuery(UINT, DWORD, LPCCH, int, LPWSTR, int)
{
    SetLastError(0);
    return 0;
}

int WINAPI RefusingConversion(UINT, DWORD, LPCCH, int, LPWSTR, int)
{
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
}

TEST(String, AnsiConversionFailures)
{
    {
        // No reason given: the construction ends with a StringData and no buffer.
        Replace<int(WINAPI*)(UINT, DWORD, LPCCH, int, LPWSTR, int)> patch("kernel32.dll", "MultiByteToWideChar",
                                                                           FailingSizeQuery);
        String text("abc");
        ASSERT_NE(nullptr, text.Data());
        EXPECT_EQ(nullptr, text.Chars());
        EXPECT_STREQ(L"", text.Text());

        // Its ANSI copy is the empty text in a buffer of two bytes.
        LocalHeapCounter heap;
        AnsiString ansi(text);
        EXPECT_STREQ("", ansi.Chars());
        ASSERT_EQ(1u, heap.Sizes().size());
        EXPECT_EQ(2u, heap.Sizes()[0]);
    }
    {
        Replace<int(WINAPI*)(UINT, DWORD, LPCCH, int, LPWSTR, int)> patch("kernel32.dll", "MultiByteToWideChar",
                                                                           RefusingConversion);
        LocalHeapCounter heap;
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION), Raised([] { String text("abc"); }));
        EXPECT_EQ(0, heap.Outstanding());
    }
}

int WINAPI RefusingNarrowing(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL)
{
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
}

TEST(AnsiString, RaisesConversionAndAllocationFailures)
{
    String text(L"name");
    {
        Replace<int(WINAPI*)(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL)> patch(
            "kernel32.dll", "WideCharToMultiByte", RefusingNarrowing);
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_FLAGS), Raised([&] { AnsiString ansi(text); }));
    }
    LocalHeapCounter heap;
    heap.FailAllocation(1);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY), Raised([&] { AnsiString ansi(text); }));
    EXPECT_EQ(0, heap.Outstanding());
}

// LoadStringW and LoadStringA with their calls counted.
int wideCalls = 0;
int narrowCalls = 0;
bool wideYieldsNothing = false;
Replace<int(WINAPI*)(HINSTANCE, UINT, LPWSTR, int)>* wideLoader = nullptr;
Replace<int(WINAPI*)(HINSTANCE, UINT, LPSTR, int)>* narrowLoader = nullptr;

int WINAPI CountedLoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size)
{
    ++wideCalls;
    if (wideYieldsNothing) {
        SetLastError(0);
        return 0;
    }
    return wideLoader->Original()(module, id, buffer, size);
}

int WINAPI CountedLoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size)
{
    ++narrowCalls;
    return narrowLoader->Original()(module, id, buffer, size);
}

class LoadResourceString : public testing::Test {
protected:
    void SetUp() override
    {
        wideCalls = narrowCalls = 0;
        wideYieldsNothing = false;
        wideLoader = new Replace<int(WINAPI*)(HINSTANCE, UINT, LPWSTR, int)>("user32.dll", "LoadStringW",
                                                                             CountedLoadStringW);
        narrowLoader = new Replace<int(WINAPI*)(HINSTANCE, UINT, LPSTR, int)>("user32.dll", "LoadStringA",
                                                                              CountedLoadStringA);
    }
    void TearDown() override
    {
        delete narrowLoader;
        delete wideLoader;
    }
};

TEST_F(LoadResourceString, RetriesWithALargerBufferWhenTheTextMayHaveBeenCut)
{
    const struct {
        UINT id;
        size_t length;
        int attempts;
    } cases[] = {{IDS_TEST_125, 125, 1}, {IDS_TEST_126, 126, 2}, {IDS_TEST_127, 127, 2},
                 {IDS_TEST_253, 253, 2}, {IDS_TEST_254, 254, 3}};
    for (const auto& c : cases) {
        wideCalls = narrowCalls = 0;
        String text;
        EXPECT_EQ(S_OK, text.LoadResourceString(Module(), c.id)) << c.length;
        EXPECT_EQ(Repeat(c.length), text.Text()) << c.length;
        EXPECT_EQ(c.attempts, wideCalls) << c.length << " WCHARs";
        EXPECT_EQ(0, narrowCalls) << c.length << " WCHARs";
    }
}

TEST_F(LoadResourceString, FallsBackToTheAnsiLoader)
{
    wideYieldsNothing = true;
    const struct {
        UINT id;
        size_t length;
        int attempts;
    } cases[] = {{IDS_TEST_125, 125, 1}, {IDS_TEST_253, 253, 1}, {IDS_TEST_254, 254, 2}};
    for (const auto& c : cases) {
        wideCalls = narrowCalls = 0;
        String text;
        EXPECT_EQ(S_OK, text.LoadResourceString(Module(), c.id)) << c.length;
        EXPECT_EQ(Repeat(c.length), text.Text()) << c.length;
        EXPECT_EQ(c.attempts, narrowCalls) << c.length << " bytes";
        EXPECT_EQ(c.attempts, wideCalls) << c.length << " bytes";
    }
}

TEST_F(LoadResourceString, AMissingIdFailsAndKeepsTheOldText)
{
    String text(L"old");
    const HRESULT hr = text.LoadResourceString(Module(), IDS_TEST_MISSING);
    EXPECT_TRUE(FAILED(hr)) << Hex(hr);
    EXPECT_STREQ(L"old", text.Text());
    EXPECT_EQ(1, wideCalls) << "a failed load is not retried";
}

TEST(LoadResourceStringMemory, NoLoadingBufferGivesNotEnoughMemory)
{
    String text(L"old");
    LocalHeapCounter heap;
    heap.FailAllocation(1);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY), text.LoadResourceString(Module(), IDS_OUTPUT_NAME));
    EXPECT_STREQ(L"old", text.Text());
    EXPECT_EQ(0, heap.Outstanding());
}

TEST(FormatResourceString, FormatsTheOutputName)
{
    const struct {
        int number;
        const WCHAR* expected;
    } cases[] = {{7, L"Disk 7 Platterlift.txt"}, {0, L"Disk 0 Platterlift.txt"}, {-1, L"Disk -1 Platterlift.txt"}};
    for (const auto& c : cases) {
        String name;
        EXPECT_EQ(S_OK, FormatResourceString(name, Module(), IDS_OUTPUT_NAME, c.number));
        EXPECT_STREQ(c.expected, name.Text());
    }
}

TEST(FormatResourceString, FailuresLeaveTheOutputUntouched)
{
    String name(L"untouched");
    LocalHeapCounter heap;
    HRESULT hr = FormatResourceString(name, Module(), IDS_TEST_MISSING, 7);
    EXPECT_TRUE(FAILED(hr)) << Hex(hr);
    EXPECT_STREQ(L"untouched", name.Text());

    heap.FailAllocation(1);
    EXPECT_EQ(E_OUTOFMEMORY, FormatResourceString(name, Module(), IDS_OUTPUT_NAME, 7));
    EXPECT_STREQ(L"untouched", name.Text());
    EXPECT_EQ(0, heap.Outstanding());
}

}  // namespace
