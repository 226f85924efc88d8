// The capture floor: CreateFile, one ReadFile and one WriteFile of 51,200 bytes,
// timed inside the process; the exit code is the time in microseconds.
//   floor_capture DEVICE OUTPUT
#include <windows.h>

static BYTE buffer[51200];

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return -1;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HANDLE disk = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD moved = 0;
    if (disk == INVALID_HANDLE_VALUE || !ReadFile(disk, buffer, sizeof(buffer), &moved, nullptr))
        return -2;
    HANDLE output =
        CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE || !WriteFile(output, buffer, sizeof(buffer), &moved, nullptr))
        return -3;
    CloseHandle(output);
    QueryPerformanceCounter(&end);
    CloseHandle(disk);
    return static_cast<int>((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart);
}
