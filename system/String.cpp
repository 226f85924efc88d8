// Shared, reference-counted UTF-16 text, its ANSI copy, and formatting from the string table.
#include "String.h"

#include <stdarg.h>

#include "Status.h"

namespace Quandrel {
namespace System {

namespace {

const WCHAR EmptyText[] = L"";

// Wide text of up to 31 characters fits the first step of a buffer.
const UINT CapacityStep = 32;

// LoadResourceString grows its loading buffer by this many bytes an attempt.
const UINT LoadStep = 256;

}  // namespace

HRESULT StringData::Allocate(StringData** data)
{
    StringData* created = static_cast<StringData*>(LocalAlloc(LMEM_FIXED, sizeof(StringData)));
    if (!created) {
        *data = nullptr;
        return E_OUTOFMEMORY;
    }
    created->chars = nullptr;
    created->capacity = 0;
    created->count = 1;
    *data = created;
    return S_OK;
}

HRESULT StringData::Reserve(UINT n)
{
    const ULONGLONG rounded = (static_cast<ULONGLONG>(n) + CapacityStep - 1) & ~static_cast<ULONGLONG>(CapacityStep - 1);
    if (rounded * sizeof(WCHAR) > 0xFFFFFFFFull)
        return E_OUTOFMEMORY;
    WCHAR* buffer = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, static_cast<SIZE_T>(rounded * sizeof(WCHAR))));
    if (!buffer)
        return E_OUTOFMEMORY;
    buffer[0] = 0;
    if (chars)
        LocalFree(chars);
    chars = buffer;
    capacity = static_cast<int>(rounded);
    return S_OK;
}

LONG StringData::Release()
{
    const LONG left = InterlockedDecrement(&count);
    if (left == 0) {
        if (chars)
            LocalFree(chars);
        LocalFree(this);
    }
    return left;
}

String::String() : data(nullptr)
{
    *this = EmptyText;
}

String::String(const WCHAR* text) : data(nullptr)
{
    ConstructWide(text);
}

String::String(const char* text) : data(nullptr)
{
    ConstructAnsi(text);
}

String::String(const String& other) : data(other.data)
{
    if (data)
        InterlockedIncrement(&data->count);
}

String::~String()
{
    Drop();
}

void String::Drop()
{
    if (data) {
        data->Release();
        data = nullptr;
    }
}

void String::ConstructWide(const WCHAR* text)
{
    HRESULT hr = StringData::Allocate(&data);
    if (FAILED(hr))
        throw hr;
    const UINT length = static_cast<UINT>(wcslen(text));
    hr = data->Reserve(length + 1);
    if (FAILED(hr)) {
        Drop();
        throw hr;
    }
    CopyMemory(data->chars, text, (length + 1) * sizeof(WCHAR));
}

void String::ConstructAnsi(const char* text)
{
    HRESULT hr = StringData::Allocate(&data);
    if (FAILED(hr))
        throw hr;
    const int needed = MultiByteToWideChar(GetACP(), 0, text, -1, nullptr, 0);
    if (needed == 0) {
        hr = LastErrorStatus();
        if (FAILED(hr)) {
            Drop();
            throw hr;
        }
        return;  // nothing to convert, and no reason given: the empty text
    }
    // One WCHAR more than the conversion asks for.
    hr = data->Reserve(static_cast<UINT>(needed) + 1);
    if (FAILED(hr)) {
        Drop();
        throw hr;
    }
    if (MultiByteToWideChar(GetACP(), 0, text, -1, data->chars, data->capacity) == 0) {
        hr = LastErrorStatus();
        if (FAILED(hr)) {
            Drop();
            throw hr;
        }
    }
}

String& String::operator=(const String& other)
{
    if (&other == this)
        return *this;
    Drop();
    data = other.data;
    if (data)
        InterlockedIncrement(&data->count);
    return *this;
}

String& String::operator=(const WCHAR* text)
{
    // The copy is made before the old buffer is dropped, so a String may be
    // given its own Text.
    String fresh(text);
    *this = fresh;
    return *this;
}

String& String::operator=(const char* text)
{
    String fresh(text);
    *this = fresh;
    return *this;
}

HRESULT String::Assign(const WCHAR* text)
{
    try {
        *this = text ? text : EmptyText;
    } catch (HRESULT hr) {
        return hr;
    }
    return S_OK;
}

HRESULT String::LoadResourceString(HINSTANCE module, UINT id)
{
    UINT size = 0;
    BYTE* buffer = nullptr;
    UINT loaded = 0;
    bool wide = true;
    HRESULT hr = S_OK;
    for (;;) {
        size += LoadStep;
        buffer = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, size));
        if (!buffer)
            return HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY);
        int count = LoadStringW(module, id, reinterpret_cast<WCHAR*>(buffer), static_cast<int>(size / sizeof(WCHAR)));
        if (count > 0) {
            loaded = count * sizeof(WCHAR);
            wide = true;
        } else {
            count = LoadStringA(module, id, reinterpret_cast<char*>(buffer), static_cast<int>(size));
            if (count > 0) {
                loaded = count;
                wide = false;
            } else {
                LocalFree(buffer);
                buffer = nullptr;
                hr = LastErrorStatus();
                break;
            }
        }
        // The loaders cut a text that does not fit without saying so; a text
        // that leaves less than two spare units may have been cut.
        if (size - loaded > (wide ? 4u : 2u))
            break;
        LocalFree(buffer);
        buffer = nullptr;
    }
    if (!buffer)
        return hr;  // a failure, or S_OK when the loaders gave no reason
    try {
        if (wide)
            *this = reinterpret_cast<const WCHAR*>(buffer);
        else
            *this = reinterpret_cast<const char*>(buffer);
    } catch (HRESULT caught) {
        hr = caught;
    }
    LocalFree(buffer);
    return hr;
}

const WCHAR* String::Chars() const
{
    return data ? data->chars : nullptr;
}

const WCHAR* String::Text() const
{
    return data && data->chars ? data->chars : EmptyText;
}

AnsiString::AnsiString(const String& text) : chars(nullptr)
{
    const WCHAR* wide = text.Text();
    const int needed = WideCharToMultiByte(GetACP(), 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (needed == 0) {
        const HRESULT hr = LastErrorStatus();
        if (FAILED(hr))
            throw hr;
        return;  // no size and no reason given: chars stays null
    }
    // One byte more than the conversion asks for.
    chars = static_cast<char*>(LocalAlloc(LMEM_FIXED, static_cast<SIZE_T>(needed) + 1));
    if (!chars)
        throw HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY);
    if (WideCharToMultiByte(GetACP(), 0, wide, -1, chars, needed + 1, nullptr, nullptr) == 0) {
        const HRESULT hr = LastErrorStatus();
        if (FAILED(hr)) {
            LocalFree(chars);
            chars = nullptr;
            throw hr;
        }
    }
}

AnsiString::~AnsiString()
{
    if (chars) {
        LocalFree(chars);
        chars = nullptr;
    }
}

HRESULT FormatResourceString(String& out, HINSTANCE module, UINT id, ...)
{
    try {
        String pattern;
        HRESULT hr = pattern.LoadResourceString(module, id);
        if (FAILED(hr))
            return hr;
        va_list args;
        va_start(args, id);
        WCHAR* formatted = nullptr;
        const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, pattern.Text(), 0, 0,
                                            reinterpret_cast<WCHAR*>(&formatted), 0, &args);
        va_end(args);
        if (length == 0)
            return LastErrorStatus();
        hr = out.Assign(formatted);
        LocalFree(formatted);
        return hr;
    } catch (HRESULT hr) {
        return hr;
    }
}

}  // namespace System
}  // namespace Quandrel
