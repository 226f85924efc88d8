// Helpers that several test executables share: statuses in messages, files, disk images, windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Testing {

// "0x80070057" for failure messages.
std::string Hex(unsigned long value);

// The module of the test executable, which carries the resources the tests use.
HINSTANCE Module();

// What the platform says for a status, as the user would read it, with CR LF as LF.
std::wstring SystemText(DWORD status);

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

namespace Testing {

// The full path of a file next to the test executable.
std::wstring BesideTests(const std::wstring& name);

// One run of a program, watched from outside as a user would. Every wait is
// bounded; a process still running when the object goes is terminated.
class Program {
public:
    Program(const std::wstring& path, const std::wstring& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return process != nullptr; }
    DWORD Pid() const { return pid; }
    // The program's dialog (not a message box), once visible.
    HWND WaitForDialog(DWORD milliseconds = 15000) const;
    HWND WaitForMessageBox(DWORD milliseconds = 15000) const;
    // True once the process has ended, with its exit code.
    bool WaitForExit(DWORD* code, DWORD milliseconds = 15000) const;
    // The control that has the keyboard focus in the program's thread.
    HWND Focus() const;

private:
    HANDLE process;
    DWORD pid;
    DWORD thread;
};

// Keys and clicks posted as the user's input would arrive.
void PressKey(HWND control, WPARAM key);
void TypeText(HWND edit, const std::wstring& text);
void Click(HWND button);

}  // namespace Testing
