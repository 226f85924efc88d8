// Helpers that several test executables share: statuses in messages, files, disk images, windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Testing {

// "0x80070057" for failure messages.
std::string Hex(unsigned long value);

// Counts allocations and frees made through LocalAlloc and LocalFree by the
// code under test while an object lives, so that leaks show.
class LocalHeapCounter {
public:
    LocalHeapCounter();
    ~LocalHeapCounter();
    LocalHeapCounter(const LocalHeapCounter&) = delete;
    LocalHeapCounter& operator=(const LocalHeapCounter&) = delete;

    long Outstanding() const;
    // Makes allocation number `n` (from 1) of the code under test fail; 0 for none.
    void FailAllocation(int n);
    // The sizes of the allocations so far, in order.
    const std::vector<SIZE_T>& Sizes() const;
};

// A fresh, empty folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path; }
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }

private:
    std::wstring path;
};

void RemoveTree(const std::wstring& path);
bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>* bytes);
bool WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& bytes);
bool FileExists(const std::wstring& path);

// The current user's desktop folder, without a trailing backslash.
std::wstring DesktopFolder();

// Disk images of the test prefix. Its `dosdevices` links name these files as
// \\.\PhysicalDriveN; the files themselves are written by the tests, in the
// folder named by the environment variable PLATTERLIFT_DISKS.
//   0, 1, 7: images of DiskImageSize bytes made by MakeDiskImage
//   2: an image shorter than a capture (ShortImageSize bytes)
//   3: a device that opens but refuses every read
//   4: a folder, which the platform refuses to open as a device
//   other numbers: no device at all
const DWORD DiskImageSize = 1024 * 1024;
const DWORD ShortImageSize = 1000;
std::wstring DisksFolder();
std::wstring DiskImagePath(int disk);
std::vector<BYTE> DiskPattern(int disk, DWORD size);
// Writes the pattern image of `disk` (ShortImageSize bytes for disk 2) unless it is already there.
void MakeDiskImage(int disk);

// Turns CR LF into LF, so texts compare the same whether the platform's
// formatting added carriage returns to bare line feeds or not.
std::wstring Lines(const std::wstring& text);

// Waits, at most `milliseconds`, for a top-level dialog window (class #32770)
// of process `pid` (any process for 0) titled `title` that satisfies `accept`.
HWND WaitForDialog(DWORD pid, const std::wstring& title, bool (*accept)(HWND), DWORD milliseconds);
bool IsMessageBox(HWND window);
bool IsNotMessageBox(HWND window);
std::wstring WindowText(HWND window);
std::wstring MessageBoxText(HWND box);

}  // namespace Testing
