#pragma once
// CString: the framework's wide string, over std::wstring.
//
// Differences that matter: there is no copy-on-write and no reference counting; GetBuffer
// hands out the wstring's own storage, valid until the next non-const call.

#include <compare>
#include <iosfwd>
#include <cstdarg>
#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : s_(text ? text : L"") {}
    CString(const wchar_t* text, int length) : s_(text ? std::wstring(text, std::size_t(length < 0 ? 0 : length)) : std::wstring()) {}
    CString(wchar_t ch, int repeat = 1) : s_(std::size_t(repeat < 0 ? 0 : repeat), ch) {}
    CString(std::wstring text) : s_(std::move(text)) {}
    CString(std::wstring_view text) : s_(text) {}
    // Narrow text is taken as UTF-8.
    explicit CString(const char* utf8);
    explicit CString(const std::string& utf8);

    int GetLength() const { return int(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    void Empty() { s_.clear(); }
    wchar_t GetAt(int index) const { return s_.at(std::size_t(index)); }
    void SetAt(int index, wchar_t ch) { s_.at(std::size_t(index)) = ch; }
    wchar_t operator[](int index) const { return GetAt(index); }

    operator LPCTSTR() const { return s_.c_str(); }
    LPCTSTR GetString() const { return s_.c_str(); }
    const std::wstring& str() const { return s_; }
    std::wstring& str() { return s_; }
    std::string ToUtf8() const;

    // Storage for at least minLength characters plus the terminator; ReleaseBuffer(-1)
    // then takes the text up to the first NUL.
    LPTSTR GetBuffer(int minLength = 0);
    LPTSTR GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString SpanIncluding(LPCTSTR charSet) const;
    CString SpanExcluding(LPCTSTR charSet) const;

    int Find(wchar_t ch, int start = 0) const;
    int Find(LPCTSTR sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(LPCTSTR charSet) const;

    int Replace(wchar_t oldCh, wchar_t newCh);
    int Replace(LPCTSTR oldText, LPCTSTR newText);
    int Remove(wchar_t ch);
    int Insert(int index, wchar_t ch);
    int Insert(int index, LPCTSTR text);
    int Delete(int index, int count = 1);

    CString& Trim();
    CString& Trim(wchar_t ch);
    CString& Trim(LPCTSTR chars);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimLeft(LPCTSTR chars);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& TrimRight(LPCTSTR chars);
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    int Compare(LPCTSTR other) const;
    int CompareNoCase(LPCTSTR other) const;

    // Printf-style (see TextFormat.h for the conversions).
    void Format(LPCTSTR format, ...);
    void FormatV(LPCTSTR format, va_list args);
    void AppendFormat(LPCTSTR format, ...);
    // FormatMessage-style inserts ("%1", "%2!ld!").
    void FormatMessage(LPCTSTR format, ...);
    void FormatMessageV(LPCTSTR format, va_list args);

    // The string of that id from the current resource module (or the given one); FALSE and
    // an empty string when there is none.
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE module, UINT id);

    CString& operator=(const wchar_t* text) {
        s_ = text ? text : L"";
        return *this;
    }
    CString& operator=(wchar_t ch) {
        s_.assign(1, ch);
        return *this;
    }
    CString& operator+=(const CString& other) {
        s_ += other.s_;
        return *this;
    }
    CString& operator+=(const wchar_t* text) {
        if (text) s_ += text;
        return *this;
    }
    CString& operator+=(wchar_t ch) {
        s_ += ch;
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
    friend CString operator+(const CString& a, const wchar_t* b) { return CString(a.s_ + (b ? b : L"")); }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString((a ? a : L"") + b.s_); }
    friend CString operator+(const CString& a, wchar_t b) { return CString(a.s_ + b); }
    friend CString operator+(wchar_t a, const CString& b) { return CString(a + b.s_); }

    friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.s_ == (b ? b : L""); }
    friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.s_ <=> b.s_; }

private:
    std::wstring s_;
};

using CStringW = CString;

// Lets test frameworks print a CString as its UTF-8 text.
void PrintTo(const CString& text, std::ostream* os);
