// The demonstration behind `make run`: writes a small demo disk, and drives the
// program on a display nobody watches, saving pictures of what it showed.
//   demo disk PATH                      writes a 1 MiB demo disk image
//   demo drive PROGRAM NUMBER FOLDER    types NUMBER, presses Capture, reports
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "resource.h"

namespace {

void Put(std::vector<BYTE>& disk, size_t at, const void* data, size_t size)
{
    CopyMemory(&disk[at], data, size);
}

void PutWord(std::vector<BYTE>& disk, size_t at, WORD value)
{
    Put(disk, at, &value, sizeof(value));
}

void PutDword(std::vector<BYTE>& disk, size_t at, DWORD value)
{
    Put(disk, at, &value, sizeof(value));
}

// A disk of 2048 sectors: a master boot record with a message of its own and
// two partitions, and a FAT16 boot sector at the start of the first.
std::vector<BYTE> DemoDisk()
{
    std::vector<BYTE> disk(1024 * 1024, 0);
    const BYTE code[] = {0xFA, 0x31, 0xC0, 0x8E, 0xD8, 0x8E, 0xD0, 0xBC, 0x00, 0x7C, 0xFB, 0xEB, 0xFE};
    Put(disk, 0, code, sizeof(code));
    const char message[] = "Ostrafen Platterlift demo disk: nothing to boot here.";
    Put(disk, 0x20, message, sizeof(message));
    PutDword(disk, 0x1B8, 0x0DEC0DE5);  // disk signature
    struct Partition {
        BYTE status, type;
        DWORD first, count;
    } partitions[] = {{0x80, 0x06, 63, 1200}, {0x00, 0x83, 1263, 785}};
    for (int i = 0; i < 2; ++i) {
        const size_t entry = 0x1BE + 16 * i;
        disk[entry] = partitions[i].status;
        disk[entry + 1] = 0xFE;  // CHS fields: beyond the CHS range, as large disks say
        disk[entry + 2] = 0xFF;
        disk[entry + 3] = 0xFF;
        disk[entry + 4] = partitions[i].type;
        disk[entry + 5] = 0xFE;
        disk[entry + 6] = 0xFF;
        disk[entry + 7] = 0xFF;
        PutDword(disk, entry + 8, partitions[i].first);
        PutDword(disk, entry + 12, partitions[i].count);
    }
    PutWord(disk, 510, 0xAA55);

    const size_t boot = 63 * 512;
    const BYTE jump[] = {0xEB, 0x3C, 0x90};
    Put(disk, boot, jump, sizeof(jump));
    Put(disk, boot + 3, "MSWIN4.1", 8);
    PutWord(disk, boot + 11, 512);   // bytes per sector
    disk[boot + 13] = 4;             // sectors per cluster
    PutWord(disk, boot + 14, 1);     // reserved sectors
    disk[boot + 16] = 2;             // FATs
    PutWord(disk, boot + 17, 512);   // root entries
    PutWord(disk, boot + 19, 1200);  // sectors
    disk[boot + 21] = 0xF8;
    PutWord(disk, boot + 22, 2);  // sectors per FAT
    PutDword(disk, boot + 28, 63);
    disk[boot + 36] = 0x80;
    disk[boot + 38] = 0x29;
    PutDword(disk, boot + 39, 0x4F535452);
    Put(disk, boot + 43, "PLATTERDEMO", 11);
    Put(disk, boot + 54, "FAT16   ", 8);
    PutWord(disk, boot + 510, 0xAA55);
    return disk;
}

// A PNG of a window, written with stored (uncompressed) deflate blocks: no library needed.
class PngWriter {
public:
    static bool Write(const std::wstring& path, int width, int height, const std::vector<BYTE>& rgb)
    {
        std::vector<BYTE> raw;
        for (int y = 0; y < height; ++y) {
            raw.push_back(0);
            raw.insert(raw.end(), rgb.begin() + y * width * 3, rgb.begin() + (y + 1) * width * 3);
        }
        std::vector<BYTE> zlib = {0x78, 0x01};
        for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
            const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
            zlib.push_back(at + length >= raw.size() ? 1 : 0);
            zlib.push_back(static_cast<BYTE>(length));
            zlib.push_back(static_cast<BYTE>(length >> 8));
            zlib.push_back(static_cast<BYTE>(~length));
            zlib.push_back(static_cast<BYTE>(~length >> 8));
            zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + length);
            if (length == 0)
                break;
        }
        DWORD a = 1, b = 0;
        for (BYTE byte : raw) {
            a = (a + byte) % 65521;
            b = (b + a) % 65521;
        }
        Big(zlib, (b << 16) | a);

        std::vector<BYTE> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        std::vector<BYTE> header;
        Big(header, width);
        Big(header, height);
        header.insert(header.end(), {8, 2, 0, 0, 0});
        Chunk(png, "IHDR", header);
        Chunk(png, "IDAT", zlib);
        Chunk(png, "IEND", {});
        return Testing::WriteWholeFile(path, png);
    }

private:
    static void Big(std::vector<BYTE>& out, DWORD value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<BYTE>(value >> shift));
    }
    static void Chunk(std::vector<BYTE>& png, const char* type, const std::vector<BYTE>& data)
    {
        Big(png, static_cast<DWORD>(data.size()));
        std::vector<BYTE> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        DWORD crc = 0xFFFFFFFF;
        for (BYTE byte : body) {
            crc ^= byte;
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        png.insert(png.end(), body.begin(), body.end());
        Big(png, ~crc);
    }
};

bool Screenshot(HWND window, const std::wstring& path)
{
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> bgr(stride * height);
    GetDIBits(memory, bitmap, 0, height, bgr.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<BYTE> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const BYTE* pixel = &bgr[y * stride + x * 3];
            rgb.insert(rgb.end(), {pixel[2], pixel[1], pixel[0]});
        }
    return PngWriter::Write(path, width, height, rgb);
}

int Drive(const std::wstring& program, const std::wstring& number, const std::wstring& folder)
{
    Testing::Program run(program, L"");
    const HWND dialog = run.WaitForDialog(30000);
    if (!dialog) {
        fprintf(stderr, "The dialog did not appear.\n");
        return 1;
    }
    Sleep(500);  // let it paint
    Screenshot(dialog, folder + L"\\dialog.png");
    Testing::TypeText(GetDlgItem(dialog, IDC_DISK_NUMBER), number);
    Sleep(300);
    Screenshot(dialog, folder + L"\\dialog-typed.png");
    Testing::Click(GetDlgItem(dialog, IDOK));
    const HWND box = run.WaitForMessageBox(30000);
    if (!box) {
        fprintf(stderr, "No message appeared.\n");
        return 1;
    }
    Sleep(500);
    Screenshot(box, folder + L"\\message.png");
    printf("The program said:\n\n%ls\n\n", Testing::Lines(Testing::MessageBoxText(box)).c_str());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD code = 1;
    if (!run.WaitForExit(&code, 30000)) {
        fprintf(stderr, "The program did not end.\n");
        return 1;
    }
    printf("Exit code: 0x%08lX\n", code);
    return code == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"disk" && argc == 3)
        return Testing::WriteWholeFile(argv[2], DemoDisk()) ? 0 : 1;
    if (mode == L"drive" && argc == 5)
        return Drive(argv[2], argv[3], argv[4]);
    fprintf(stderr, "usage: demo disk PATH | demo drive PROGRAM NUMBER FOLDER\n");
    return 2;
}
