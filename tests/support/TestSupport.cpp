// Helpers that several test executables share: statuses in messages, files, disk images, windows.
#include "TestSupport.h"

#include <stdio.h>

#include <set>

#include "ImportPatch.h"

namespace Testing {

std::string Hex(unsigned long value)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%08lX", value);
    return text;
}

HINSTANCE Module()
{
    return GetModuleHandleW(nullptr);
}

std::wstring SystemText(DWORD status)
{
    WCHAR* text = nullptr;
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, status, 0,
                        reinterpret_cast<WCHAR*>(&text), 0, nullptr))
        return L"";
    std::wstring result = Lines(text);
    LocalFree(text);
    return result;
}

namespace {

struct HeapState {
    std::set<HLOCAL> live;
    std::vector<SIZE_T> sizes;
    int calls = 0;
    int failAt = 0;
    Replace<HLOCAL(WINAPI*)(UINT, SIZE_T)>* alloc = nullptr;
    Replace<HLOCAL(WINAPI*)(HLOCAL)>* free = nullptr;
};
HeapState* heap = nullptr;

HLOCAL WINAPI CountingLocalAlloc(UINT flags, SIZE_T bytes)
{
    ++heap->calls;
    heap->sizes.push_back(bytes);
    if (heap->calls == heap->failAt) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HLOCAL memory = heap->alloc->Original()(flags, bytes);
    if (memory)
        heap->live.insert(memory);
    return memory;
}

HLOCAL WINAPI CountingLocalFree(HLOCAL memory)
{
    heap->live.erase(memory);
    return heap->free->Original()(memory);
}

}  // namespace

LocalHeapCounter::LocalHeapCounter()
{
    heap = new HeapState;
    heap->alloc = new Replace<HLOCAL(WINAPI*)(UINT, SIZE_T)>("kernel32.dll", "LocalAlloc", CountingLocalAlloc);
    heap->free = new Replace<HLOCAL(WINAPI*)(HLOCAL)>("kernel32.dll", "LocalFree", CountingLocalFree);
}

LocalHeapCounter::~LocalHeapCounter()
{
    delete heap->free;
    delete heap->alloc;
    delete heap;
    heap = nullptr;
}

long LocalHeapCounter::Outstanding() const
{
    return static_cast<long>(heap->live.size());
}

void LocalHeapCounter::FailAllocation(int n)
{
    heap->failAt = heap->calls + n;
    if (n == 0)
        heap->failAt = 0;
}

const std::vector<SIZE_T>& LocalHeapCounter::Sizes() const
{
    return heap->sizes;
}

TempFolder::TempFolder()
{
    WCHAR base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    WCHAR name[MAX_PATH];
    wsprintfW(name, L"%splatterlift-test-%lu-%ld", base, GetCurrentProcessId(), InterlockedIncrement(&counter));
    path = name;
    RemoveTree(path);
    CreateDirectoryW(path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(path);
}

void RemoveTree(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                RemoveTree(path + L"\\" + name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>* bytes)
{
    bytes->clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BYTE chunk[65536];
    DWORD got = 0;
    bool ok;
    for (;;) {
        ok = ReadFile(file, chunk, sizeof(chunk), &got, nullptr) != 0;
        if (!ok || got == 0)
            break;
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = bytes.empty() ||
                    (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size());
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring DesktopFolder()
{
    // Looked up past the import table, so that a test that replaces the
    // program's SHGetFolderPathW still learns the real folder.
    typedef HRESULT(WINAPI * GetFolderPath)(HWND, int, HANDLE, DWORD, LPWSTR);
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    GetFolderPath get =
        reinterpret_cast<GetFolderPath>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")));
    WCHAR path[MAX_PATH] = {};
    get(nullptr, 0 /* CSIDL_DESKTOP */, nullptr, 0, path);
    FreeLibrary(shell);
    std::wstring folder = path;
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

std::wstring DisksFolder()
{
    WCHAR path[MAX_PATH] = {};
    GetEnvironmentVariableW(L"PLATTERLIFT_DISKS", path, MAX_PATH);
    return path;
}

std::wstring DiskImagePath(int disk)
{
    WCHAR name[32];
    wsprintfW(name, L"\\disk%d.img", disk);
    return DisksFolder() + name;
}

std::vector<BYTE> DiskPattern(int disk, DWORD size)
{
    // Each sector says which disk and sector it is, and its other bytes differ
    // from sector to sector, so a shifted or mixed-up capture shows.
    std::vector<BYTE> bytes(size);
    for (DWORD i = 0; i < size; ++i)
        bytes[i] = static_cast<BYTE>((i * 131u + (i / 512u) * 17u + static_cast<DWORD>(disk) * 71u) >> 1);
    for (DWORD sector = 0; sector * 512 + 32 <= size; ++sector) {
        char label[33];
        snprintf(label, sizeof(label), "DISK %d SECTOR %lu", disk, static_cast<unsigned long>(sector));
        for (int k = 0; label[k]; ++k)
            bytes[sector * 512 + k] = static_cast<BYTE>(label[k]);
    }
    return bytes;
}

void MakeDiskImage(int disk)
{
    const std::wstring path = DiskImagePath(disk);
    if (FileExists(path))
        return;
    WriteWholeFile(path, DiskPattern(disk, disk == 2 ? ShortImageSize : DiskImageSize));
}

std::wstring Lines(const std::wstring& text)
{
    std::wstring result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
            continue;
        result += text[i];
    }
    return result;
}

namespace {

struct Search {
    DWORD pid;
    const std::wstring* title;
    bool (*accept)(HWND);
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    WCHAR className[64] = {};
    GetClassNameW(window, className, 64);
    if (lstrcmpW(className, L"#32770") != 0)
        return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (search->pid && pid != search->pid)
        return TRUE;
    if (WindowText(window) != *search->title || !IsWindowVisible(window))
        return TRUE;
    if (search->accept && !search->accept(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND WaitForDialog(DWORD pid, const std::wstring& title, bool (*accept)(HWND), DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        Search search = {pid, &title, accept, nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (GetTickCount() - start > milliseconds)
            return nullptr;
        Sleep(20);
    }
}

bool IsMessageBox(HWND window)
{
    return GetDlgItem(window, 0xFFFF) != nullptr;
}

bool IsNotMessageBox(HWND window)
{
    return !IsMessageBox(window);
}

std::wstring WindowText(HWND window)
{
    WCHAR text[1024] = {};
    // WM_GETTEXT, since GetWindowTextW of another process's control gives its caption only.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring MessageBoxText(HWND box)
{
    return WindowText(GetDlgItem(box, 0xFFFF));
}

}  // namespace Testing

namespace Testing {

std::wstring BesideTests(const std::wstring& name)
{
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

Program::Program(const std::wstring& path, const std::wstring& arguments) : process(nullptr), pid(0), thread(0)
{
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::vector<WCHAR> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        process = info.hProcess;
        pid = info.dwProcessId;
        thread = info.dwThreadId;
        CloseHandle(info.hThread);
    }
}

Program::~Program()
{
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 0xDEAD);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
}

HWND Program::WaitForDialog(DWORD milliseconds) const
{
    return Testing::WaitForDialog(pid, L"Ostrafen Platterlift", IsNotMessageBox, milliseconds);
}

HWND Program::WaitForMessageBox(DWORD milliseconds) const
{
    return Testing::WaitForDialog(pid, L"Ostrafen Platterlift", IsMessageBox, milliseconds);
}

bool Program::WaitForExit(DWORD* code, DWORD milliseconds) const
{
    if (!process || WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process, code);
    return true;
}

HWND Program::Focus() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

void PressKey(HWND control, WPARAM key)
{
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

void TypeText(HWND edit, const std::wstring& text)
{
    for (WCHAR c : text)
        PostMessageW(edit, WM_CHAR, c, 1);
}

void Click(HWND button)
{
    PostMessageW(button, BM_CLICK, 0, 0);
}

}  // namespace Testing
