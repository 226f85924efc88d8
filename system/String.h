// Shared, reference-counted UTF-16 text, its ANSI copy, and formatting from the string table.
#pragma once

#include <windows.h>

namespace Quandrel {
namespace System {

// The buffer that Strings share. Its text is written only while the one String
// that constructed it holds it; after that it never changes.
struct StringData {
    WCHAR* chars;  // owned; null while there is no buffer
    int capacity;  // in WCHARs: 0, or a multiple of 32
    LONG count;    // Strings sharing this buffer; changed only atomically

    static HRESULT Allocate(StringData** data);
    HRESULT Reserve(UINT n);
    LONG Release();
};

// Constructions and text assignments raise the failing HRESULT itself as the
// exception object; every other operation returns its status or cannot fail.
class String {
public:
    String();
    explicit String(const WCHAR* text);
    explicit String(const char* text);
    String(const String& other);
    ~String();

    String& operator=(const String& other);
    String& operator=(const WCHAR* text);
    String& operator=(const char* text);

    HRESULT Assign(const WCHAR* text);
    HRESULT LoadResourceString(HINSTANCE module, UINT id);

    const WCHAR* Chars() const;
    const WCHAR* Text() const;

    // The shared buffer, or null; for callers that need its capacity or count.
    const StringData* Data() const { return data; }

private:
    void ConstructWide(const WCHAR* text);
    void ConstructAnsi(const char* text);
    void Drop();

    StringData* data;
};

// A short-lived copy of a String's text in the ANSI code page.
class AnsiString {
public:
    explicit AnsiString(const String& text);
    ~AnsiString();
    AnsiString(const AnsiString&) = delete;
    AnsiString& operator=(const AnsiString&) = delete;

    const char* Chars() const { return chars; }

private:
    char* chars;
};

// Formats string `id` of `module` with the inserts that follow, in the syntax of
// FormatMessage ("%1", "%1!d!"). On failure `out` keeps its text.
HRESULT FormatResourceString(String& out, HINSTANCE module, UINT id, ...);

}  // namespace System
}  // namespace Quandrel
