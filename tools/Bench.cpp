// Measures the program against floor programs of ours, under Wine: start-up,
// capture, peak working set; alternating the commands, several runs each.
//   bench RUNS
#include <windows.h>
#include <psapi.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "resource.h"

namespace {

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Found {
    DWORD pid;
    const WCHAR* title;
    bool messageBox;
    HWND window;
};

BOOL CALLBACK Visit(HWND window, LPARAM context)
{
    Found* found = reinterpret_cast<Found*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != found->pid || !IsWindowVisible(window))
        return TRUE;
    WCHAR title[128] = {};
    GetWindowTextW(window, title, 128);
    if (lstrcmpW(title, found->title) || Testing::IsMessageBox(window) != found->messageBox)
        return TRUE;
    found->window = window;
    return FALSE;
}

// Polls every millisecond, for at most 20 seconds.
HWND Poll(DWORD pid, const WCHAR* title, bool messageBox)
{
    const double start = Now();
    while (Now() - start < 20000) {
        Found found = {pid, title, messageBox, nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&found));
        if (found.window)
            return found.window;
        Sleep(1);
    }
    return nullptr;
}

struct Process {
    HANDLE handle = nullptr;
    DWORD pid = 0;
    double started = 0;
};

Process Start(const std::wstring& path, const std::wstring& arguments)
{
    std::wstring line = L"\"" + path + L"\" " + arguments;
    std::vector<WCHAR> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    Process process;
    process.started = Now();
    if (CreateProcessW(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        process.handle = info.hProcess;
        process.pid = info.dwProcessId;
        CloseHandle(info.hThread);
    }
    return process;
}

SIZE_T PeakWorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(process, &counters, sizeof(counters)) ? counters.PeakWorkingSetSize : 0;
}

void Finish(Process& process)
{
    if (WaitForSingleObject(process.handle, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.handle, 1);
    CloseHandle(process.handle);
}

// Start-up: from process start until the dialog is visible and waiting for input.
bool StartUp(const std::wstring& path, const WCHAR* title, double* milliseconds, SIZE_T* peak)
{
    Process process = Start(path, L"");
    HWND dialog = Poll(process.pid, title, false);
    if (!dialog)
        return false;
    WaitForInputIdle(process.handle, 20000);
    *milliseconds = Now() - process.started;
    Sleep(200);  // let it settle before its working set is read
    *peak = PeakWorkingSet(process.handle);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    Finish(process);
    return true;
}

// Capture: from the press of "Capture" until the success message is up.
bool Capture(const std::wstring& path, double* milliseconds, SIZE_T* peak)
{
    Process process = Start(path, L"");
    HWND dialog = Poll(process.pid, L"Ostrafen Platterlift", false);
    if (!dialog)
        return false;
    WaitForInputIdle(process.handle, 20000);
    SetDlgItemTextW(dialog, IDC_DISK_NUMBER, L"0");
    const double pressed = Now();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    HWND box = Poll(process.pid, L"Ostrafen Platterlift", true);
    *milliseconds = Now() - pressed;
    if (!box)
        return false;
    *peak = PeakWorkingSet(process.handle);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    Finish(process);
    return true;
}

bool FloorCapture(const std::wstring& path, const std::wstring& output, double* milliseconds)
{
    Process process = Start(path, L"\\\\.\\PhysicalDrive0 \"" + output + L"\"");
    if (!process.handle || WaitForSingleObject(process.handle, 20000) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(process.handle, &code);
    CloseHandle(process.handle);
    if (static_cast<int>(code) < 0)
        return false;
    *milliseconds = code / 1000.0;
    return true;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc > 1 ? _wtoi(argv[1]) : 15;
    Testing::MakeDiskImage(0);
    const std::wstring program = Testing::BesideTests(L"Ostrafen Platterlift.exe");
    const std::wstring floorDialog = Testing::BesideTests(L"floor_dialog.exe");
    const std::wstring floorCapture = Testing::BesideTests(L"floor_capture.exe");
    const std::wstring floorOutput = Testing::DisksFolder() + L"\\floor capture.bin";

    std::vector<double> startProgram, startFloor, captureProgram, captureFloor, peakProgram, peakFloor;
    for (int run = 0; run < runs; ++run) {
        double ms = 0;
        SIZE_T peak = 0;
        if (StartUp(program, L"Ostrafen Platterlift", &ms, &peak)) {
            startProgram.push_back(ms);
            peakProgram.push_back(peak / 1024.0);
        }
        if (StartUp(floorDialog, L"Platterlift floor", &ms, &peak)) {
            startFloor.push_back(ms);
            peakFloor.push_back(peak / 1024.0);
        }
        if (Capture(program, &ms, &peak))
            captureProgram.push_back(ms);
        if (FloorCapture(floorCapture, floorOutput, &ms))
            captureFloor.push_back(ms);
        DeleteFileW(Testing::DesktopFolder().append(L"\\Disk 0 Platterlift.txt").c_str());
    }
    DeleteFileW(floorOutput.c_str());

    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    GetFileAttributesExW(program.c_str(), GetFileExInfoStandard, &attributes);
    const double size = attributes.nFileSizeLow / 1024.0;

    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0; };
    printf("runs: %d of each, alternating\n\n", runs);
    printf("%-40s %12s %12s %8s %8s\n", "measure (median)", "program", "floor", "ratio", "target");
    printf("%-40s %10.1f ms %10.1f ms %8.2f %8s\n", "start-up to dialog ready for input", Median(startProgram),
           Median(startFloor), ratio(Median(startProgram), Median(startFloor)), "1.10");
    printf("%-40s %10.2f ms %10.2f ms %8.2f %8s\n", "capture: press to success message", Median(captureProgram),
           Median(captureFloor), ratio(Median(captureProgram), Median(captureFloor)), "1.50");
    printf("%-40s %9.0f KiB %9.0f KiB %8.2f %8s\n", "peak working set", Median(peakProgram), Median(peakFloor),
           ratio(Median(peakProgram), Median(peakFloor)), "1.10");
    printf("%-40s %9.1f KiB %12s %8s %8s\n", "executable size (nine icon images)", size, "", "", "192 KiB");
    printf("\ncompleted runs: start-up %zu/%zu, capture %zu/%zu\n", startProgram.size(), startFloor.size(),
           captureProgram.size(), captureFloor.size());
    return 0;
}
