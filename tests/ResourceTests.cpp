// Reads the resources of the built program back and compares them with what it must carry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "resource.h"

using Testing::Hex;

namespace {

std::wstring ProgramPath()
{
    return Testing::BesideTests(L"Ostrafen Platterlift.exe");
}

class Resources : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module) << "error " << GetLastError();
    }
    static void TearDownTestSuite() { FreeLibrary(module); }

    static std::vector<BYTE> Raw(LPCWSTR type, LPCWSTR name)
    {
        HRSRC found = FindResourceExW(module, type, name, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        if (!found)
            return {};
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
        return std::vector<BYTE>(data, data + SizeofResource(module, found));
    }

    static HMODULE module;
};
HMODULE Resources::module = nullptr;

// Reads a dialog template field by field.
class Reader {
public:
    explicit Reader(const std::vector<BYTE>& bytes) : data(bytes), at(0) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return Take<short>(); }
    BYTE Byte() { return Take<BYTE>(); }
    std::wstring Text()
    {
        std::wstring text;
        for (WCHAR c = Word(); c; c = Word())
            text += c;
        return text;
    }
    // A string or an ordinal: 0xFFFF and a number.
    std::wstring TextOrOrdinal()
    {
        const WORD first = Word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring text(1, first);
        if (!first)
            return L"";
        return text + Text();
    }
    void Align() { at = (at + 3) & ~static_cast<size_t>(3); }
    bool AtEnd() const { return at >= data.size(); }

private:
    template <typename T>
    T Take()
    {
        T value = T();
        if (at + sizeof(T) <= data.size())
            CopyMemory(&value, &data[at], sizeof(T));
        at += sizeof(T);
        return value;
    }
    const std::vector<BYTE>& data;
    size_t at;
};

TEST_F(Resources, TheCaptureDialogTemplate)
{
    const std::vector<BYTE> bytes = Raw(RT_DIALOG, MAKEINTRESOURCEW(IDD_CAPTURE));
    ASSERT_FALSE(bytes.empty());
    Reader read(bytes);
    EXPECT_EQ(1, read.Word()) << "version";
    EXPECT_EQ(0xFFFF, read.Word()) << "an extended template";
    EXPECT_EQ(0u, read.Dword()) << "help id";
    EXPECT_EQ(0u, read.Dword()) << "extended style";
    EXPECT_EQ(Hex(0x80C808C8), Hex(read.Dword())) << "style";
    EXPECT_EQ(5, read.Word()) << "controls";
    EXPECT_EQ(0, read.Short());
    EXPECT_EQ(0, read.Short());
    EXPECT_EQ(293, read.Short());
    EXPECT_EQ(119, read.Short());
    EXPECT_EQ(L"", read.TextOrOrdinal()) << "menu";
    EXPECT_EQ(L"", read.TextOrOrdinal()) << "class";
    EXPECT_EQ(L"Ostrafen Platterlift", read.Text());
    EXPECT_EQ(8, read.Word()) << "points";
    EXPECT_EQ(400, read.Word()) << "weight";
    EXPECT_EQ(0, read.Byte()) << "italic";
    EXPECT_EQ(1, read.Byte()) << "character set";
    EXPECT_EQ(L"MS Shell Dlg", read.Text());

    const struct {
        DWORD id;
        const WCHAR* type;
        const WCHAR* text;
        short x, y, cx, cy;
        DWORD style;
    } controls[] = {
        {IDOK, L"#128", L"Capture", 181, 98, 50, 14, 0x50010001},
        {IDCANCEL, L"#128", L"Cancel", 236, 98, 50, 14, 0x50010000},
        {IDC_DISK_NUMBER, L"#129", L"", 25, 52, 128, 14, 0x50812080},
        {0xFFFFFFFF, L"#130", L"Disk Number:", 25, 41, 110, 8, 0x50020000},
        {IDC_DESCRIPTION, L"#130", L"This utility will save the content of the first 100 sectors of a physical disk.", 25,
         17, 242, 8, 0x50020000},
    };
    for (const auto& c : controls) {
        read.Align();
        EXPECT_EQ(0u, read.Dword()) << "help id of " << c.id;
        EXPECT_EQ(0u, read.Dword()) << "extended style of " << c.id;
        EXPECT_EQ(Hex(c.style), Hex(read.Dword())) << "style of " << c.id;
        EXPECT_EQ(c.x, read.Short()) << c.id;
        EXPECT_EQ(c.y, read.Short()) << c.id;
        EXPECT_EQ(c.cx, read.Short()) << c.id;
        EXPECT_EQ(c.cy, read.Short()) << c.id;
        EXPECT_EQ(Hex(c.id), Hex(read.Dword()));
        EXPECT_EQ(c.type, read.TextOrOrdinal()) << c.id;
        EXPECT_EQ(c.text, read.TextOrOrdinal()) << c.id;
        EXPECT_EQ(0, read.Word()) << "creation data of " << c.id;
    }
    EXPECT_TRUE(read.AtEnd());
}

TEST_F(Resources, TheStringTableHoldsExactlyTheProgramsTexts)
{
    const struct {
        UINT id;
        const WCHAR* text;
    } strings[] = {
        {IDS_CAPTURE_DONE,
         L"The sectors were captured successfully.\n\nThe file '%1' has been saved to your desktop."},
        {IDS_CAPTION, L"Ostrafen Platterlift"},
        {IDS_BAD_DISK_NUMBER, L"You did not select a valid disk number: %1"},
        {IDS_CAPTURE_FAILED, L"Ostrafen was unable to capture the disk sectors: %1"},
        {IDS_OUTPUT_NAME, L"Disk %1!d! Platterlift.txt"},
    };
    for (const auto& s : strings) {
        WCHAR text[512] = {};
        EXPECT_EQ(lstrlenW(s.text), LoadStringW(module, s.id, text, 512)) << s.id;
        EXPECT_STREQ(s.text, text) << s.id;
    }
    // No other ids: every string block holds only these five.
    int found = 0;
    for (UINT block = 1; block <= 4096; ++block) {
        const std::vector<BYTE> bytes = Raw(RT_STRING, MAKEINTRESOURCEW(block));
        Reader read(bytes);
        for (UINT i = 0; i < 16 && !bytes.empty(); ++i) {
            const WORD length = read.Word();
            for (WORD k = 0; k < length; ++k)
                read.Word();
            if (length) {
                ++found;
                const UINT id = (block - 1) * 16 + i;
                EXPECT_TRUE(id == 101 || (id >= 131 && id <= 134)) << "unexpected string " << id;
            }
        }
    }
    EXPECT_EQ(5, found);
}

TEST_F(Resources, TheIconGroupHasNineUncompressedImages)
{
    const std::vector<BYTE> group = Raw(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_APP));
    ASSERT_FALSE(group.empty());
    Reader read(group);
    EXPECT_EQ(0, read.Word());
    EXPECT_EQ(1, read.Word()) << "an icon";
    ASSERT_EQ(9, read.Word());
    const struct {
        int size, bits, colours;
    } images[] = {{48, 4, 16}, {32, 4, 16}, {16, 4, 16}, {48, 8, 0}, {32, 8, 0},
                  {16, 8, 0},  {48, 32, 0}, {32, 24, 0}, {16, 32, 0}};
    for (const auto& image : images) {
        EXPECT_EQ(image.size, read.Byte());
        EXPECT_EQ(image.size, read.Byte());
        EXPECT_EQ(image.colours, read.Byte());
        EXPECT_EQ(0, read.Byte());
        EXPECT_EQ(1, read.Word()) << "planes";
        EXPECT_EQ(image.bits, read.Word());
        const DWORD bytes = read.Dword();
        const WORD id = read.Word();

        const std::vector<BYTE> dib = Raw(RT_ICON, MAKEINTRESOURCEW(id));
        ASSERT_EQ(bytes, dib.size()) << "image " << id;
        BITMAPINFOHEADER header;
        CopyMemory(&header, dib.data(), sizeof(header));
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression) << "image " << id;
        EXPECT_EQ(image.size, header.biWidth);
        EXPECT_EQ(image.size * 2, header.biHeight) << "colour and mask";
        EXPECT_EQ(image.bits, header.biBitCount);
        const DWORD palette = image.bits <= 8 ? (1u << image.bits) * 4 : 0;
        const DWORD stride = ((image.size * image.bits + 31) / 32) * 4;
        const DWORD maskStride = ((image.size + 31) / 32) * 4;
        EXPECT_EQ(sizeof(header) + palette + stride * image.size + maskStride * image.size, dib.size())
            << "image " << id << " has its mask";
        if (image.bits == 32) {
            bool partial = false;
            for (size_t p = sizeof(header) + 3; p < sizeof(header) + stride * image.size; p += 4)
                partial |= dib[p] != 0 && dib[p] != 255;
            EXPECT_TRUE(partial) << "the 32-bit image " << id << " uses its alpha channel";
        }
    }
    const int chosen = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data()), TRUE, 32, 32, LR_DEFAULTCOLOR);
    EXPECT_GE(chosen, 1);
    EXPECT_LE(chosen, 9);
}

std::wstring VersionString(const std::vector<BYTE>& block, const WCHAR* name)
{
    WCHAR* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return L"(missing)";
    return value;
}

TEST_F(Resources, TheVersionBlock)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(ProgramPath().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(ProgramPath().c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(Hex(0x00060001), Hex(fixed->dwFileVersionMS));
    EXPECT_EQ(Hex(0x00010000), Hex(fixed->dwFileVersionLS));
    EXPECT_EQ(Hex(0x00060001), Hex(fixed->dwProductVersionMS));
    EXPECT_EQ(Hex(0x00010000), Hex(fixed->dwProductVersionLS));
    EXPECT_EQ(0x17u, fixed->dwFileFlagsMask);
    EXPECT_EQ(0u, fixed->dwFileFlags);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed->dwFileOS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileSubtype);
    EXPECT_EQ(0u, fixed->dwFileDateMS);
    EXPECT_EQ(0u, fixed->dwFileDateLS);

    EXPECT_EQ(L"Quandrel Ostrafen Platterlift Utility", VersionString(block, L"FileDescription"));
    EXPECT_EQ(L"6.1.1.0", VersionString(block, L"FileVersion"));
    EXPECT_EQ(L"Ostrafen Platterlift.exe", VersionString(block, L"InternalName"));
    EXPECT_NE(L"(missing)", VersionString(block, L"LegalCopyright"));
    EXPECT_EQ(L"Ostrafen Platterlift.exe", VersionString(block, L"OriginalFilename"));
    EXPECT_EQ(L"Quandrel Ostrafen", VersionString(block, L"ProductName"));
    EXPECT_EQ(L"6.1.1", VersionString(block, L"ProductVersion"));

    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(Hex(0x04B00409), Hex(*translation)) << "language 0x0409, code page 1200";

    // The strings in their order: each key follows the one before it in the block.
    const std::vector<BYTE> raw = Raw(RT_VERSION, MAKEINTRESOURCEW(1));
    const std::wstring text(reinterpret_cast<const WCHAR*>(raw.data()), raw.size() / sizeof(WCHAR));
    size_t at = 0;
    for (const WCHAR* key : {L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
                             L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        const size_t found = text.find(key, at);
        EXPECT_NE(std::wstring::npos, found) << testing::PrintToString(std::wstring(key)) << " out of order";
        if (found != std::wstring::npos)
            at = found;
    }
}

TEST_F(Resources, TheManifestByteForByte)
{
    const std::vector<BYTE> manifest = Raw(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    const std::string expected =
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n</assembly>";
    ASSERT_EQ(86u, expected.size());
    EXPECT_EQ(expected, std::string(manifest.begin(), manifest.end()));
}

bool WaitUntil(bool (*done)(const Testing::Program&, HWND), const Testing::Program& program, HWND target)
{
    for (int i = 0; i < 250; ++i) {
        if (done(program, target))
            return true;
        Sleep(20);
    }
    return false;
}

TEST(Keyboard, CaptureHasTheFocusAndTabGoesRoundTheControls)
{
    Testing::Program program(ProgramPath(), L"");
    ASSERT_TRUE(program.Started());
    const HWND dialog = program.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    const HWND capture = GetDlgItem(dialog, IDOK);
    const HWND cancel = GetDlgItem(dialog, IDCANCEL);
    const HWND edit = GetDlgItem(dialog, IDC_DISK_NUMBER);
    auto focused = [](const Testing::Program& p, HWND target) { return p.Focus() == target; };

    EXPECT_TRUE(WaitUntil(focused, program, capture)) << "Capture has the focus when the dialog opens";
    for (HWND next : {cancel, edit, capture}) {
        Testing::PressKey(program.Focus(), VK_TAB);
        EXPECT_TRUE(WaitUntil(focused, program, next)) << "Tab goes on to control " << GetDlgCtrlID(next);
    }

    // The edit box takes digits, without a limit on their number, and refuses letters.
    const std::wstring digits(300, L'7');
    Testing::TypeText(edit, L"a1b2" + digits);
    auto typed = [](const Testing::Program&, HWND box) { return Testing::WindowText(box).size() >= 302; };
    EXPECT_TRUE(WaitUntil(typed, program, edit));
    EXPECT_EQ(L"12" + digits, Testing::WindowText(edit));

    Testing::PressKey(program.Focus(), VK_ESCAPE);
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(&code));
    EXPECT_EQ(0u, code);
}

}  // namespace
