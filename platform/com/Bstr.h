#pragma once
// BSTR: a length-prefixed, NUL-terminated wide string allocated by SysAllocString*. A null
// BSTR is the empty string everywhere a BSTR is read.

#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

using OLECHAR = wchar_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
#ifndef ORV_BSTR_DEFINED
#define ORV_BSTR_DEFINED  // headers that only need the type test this
#endif

// Copies text (null gives null). The result is freed with SysFreeString.
BSTR SysAllocString(const OLECHAR* text);
// length characters of text (null text: length characters of zeros); may hold NULs.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// byteLength bytes of data (null data: zeros), for BSTRs used as byte buffers.
BSTR SysAllocStringByteLen(LPCSTR data, UINT byteLength);
// Replace *bstr with a copy of text; FALSE (and *bstr unchanged) when out of memory.
INT SysReAllocString(BSTR* bstr, const OLECHAR* text);
INT SysReAllocStringLen(BSTR* bstr, const OLECHAR* text, UINT length);
void SysFreeString(BSTR bstr);
// Length in characters; 0 for null.
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

// Memory handed across the component boundary (ProgIDFromCLSID, error texts).
void* CoTaskMemAlloc(std::size_t size);
void* CoTaskMemRealloc(void* block, std::size_t size);
void CoTaskMemFree(void* block);

// Owns one BSTR.
class CComBSTR {
public:
    BSTR m_str = nullptr;

    CComBSTR() = default;
    CComBSTR(LPCOLESTR text) : m_str(SysAllocString(text)) {}
    CComBSTR(int length, LPCOLESTR text) : m_str(SysAllocStringLen(text, UINT(length))) {}
    CComBSTR(std::wstring_view text) : m_str(SysAllocStringLen(text.data(), UINT(text.size()))) {}
    CComBSTR(const CComBSTR& other) : m_str(other.Copy()) {}
    CComBSTR(CComBSTR&& other) noexcept : m_str(other.m_str) { other.m_str = nullptr; }
    ~CComBSTR() { SysFreeString(m_str); }

    CComBSTR& operator=(const CComBSTR& other);
    CComBSTR& operator=(CComBSTR&& other) noexcept;
    CComBSTR& operator=(LPCOLESTR text);

    operator BSTR() const { return m_str; }
    // Address for an out parameter; frees the current string first.
    BSTR* operator&();
    bool operator!() const { return m_str == nullptr; }

    unsigned int Length() const { return SysStringLen(m_str); }
    unsigned int ByteLength() const { return SysStringByteLen(m_str); }
    BSTR Copy() const;
    HRESULT CopyTo(BSTR* out) const;
    void Attach(BSTR text);
    BSTR Detach();
    void Empty();
    HRESULT Append(LPCOLESTR text);
    HRESULT Append(const CComBSTR& text);
    HRESULT Append(wchar_t ch);
    HRESULT ToUpper();
    HRESULT ToLower();
    // The string of that id from the current resource module; false when there is none.
    bool LoadString(UINT id);
    std::wstring str() const { return std::wstring(m_str ? m_str : L"", Length()); }

    CComBSTR& operator+=(LPCOLESTR text) {
        Append(text);
        return *this;
    }
    friend bool operator==(const CComBSTR& a, const CComBSTR& b) { return a.str() == b.str(); }
    friend bool operator==(const CComBSTR& a, LPCOLESTR b) { return a.str() == std::wstring_view(b ? b : L""); }
};
