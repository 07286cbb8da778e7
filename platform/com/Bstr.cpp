#include "platform/com/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <limits>
#include <memory>

#include "platform/com/HResult.h"
#include "platform/res/Resources.h"

namespace {

// The byte length sits in the 4 bytes before the text, as the framework lays it out; a
// terminating NUL character always follows the text.
constexpr std::size_t kPrefix = sizeof(std::uint32_t) > sizeof(wchar_t) ? sizeof(std::uint32_t) : sizeof(wchar_t);
static_assert(kPrefix % alignof(wchar_t) == 0);

BSTR Allocate(const void* data, std::size_t bytes) {
    if (bytes > std::numeric_limits<std::uint32_t>::max() - 2 * sizeof(wchar_t) - kPrefix) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(wchar_t) + sizeof(wchar_t)));
    if (!block) return nullptr;
    const std::uint32_t length = std::uint32_t(bytes);
    std::memcpy(block + kPrefix - sizeof(length), &length, sizeof(length));
    unsigned char* text = block + kPrefix;
    if (data) {
        std::memcpy(text, data, bytes);
    } else {
        std::memset(text, 0, bytes);
    }
    // Room for a terminator even when the byte length is not a whole number of characters.
    std::memset(text + bytes, 0, 2 * sizeof(wchar_t));
    return reinterpret_cast<BSTR>(text);
}

unsigned char* BlockOf(BSTR bstr) { return reinterpret_cast<unsigned char*>(bstr) - kPrefix; }

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
    if (!text) return nullptr;
    return Allocate(text, std::wcslen(text) * sizeof(wchar_t));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) { return Allocate(text, std::size_t(length) * sizeof(wchar_t)); }

BSTR SysAllocStringByteLen(LPCSTR data, UINT byteLength) { return Allocate(data, byteLength); }

INT SysReAllocString(BSTR* bstr, const OLECHAR* text) {
    if (!bstr) return FALSE;
    return SysReAllocStringLen(bstr, text, text ? UINT(std::wcslen(text)) : 0);
}

INT SysReAllocStringLen(BSTR* bstr, const OLECHAR* text, UINT length) {
    if (!bstr) return FALSE;
    // text may point into *bstr, so copy before freeing.
    BSTR fresh = SysAllocStringLen(text, length);
    if (!fresh) return FALSE;
    SysFreeString(*bstr);
    *bstr = fresh;
    return TRUE;
}

void SysFreeString(BSTR bstr) {
    if (bstr) std::free(BlockOf(bstr));
}

UINT SysStringByteLen(BSTR bstr) {
    if (!bstr) return 0;
    std::uint32_t length = 0;
    std::memcpy(&length, BlockOf(bstr) + kPrefix - sizeof(length), sizeof(length));
    return length;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(wchar_t); }

void* CoTaskMemAlloc(std::size_t size) { return std::malloc(size ? size : 1); }
void* CoTaskMemRealloc(void* block, std::size_t size) { return std::realloc(block, size ? size : 1); }
void CoTaskMemFree(void* block) { std::free(block); }

CComBSTR& CComBSTR::operator=(const CComBSTR& other) {
    if (this != std::addressof(other)) {
        BSTR copy = other.Copy();
        SysFreeString(m_str);
        m_str = copy;
    }
    return *this;
}

CComBSTR& CComBSTR::operator=(CComBSTR&& other) noexcept {
    if (this != std::addressof(other)) {
        SysFreeString(m_str);
        m_str = other.m_str;
        other.m_str = nullptr;
    }
    return *this;
}

CComBSTR& CComBSTR::operator=(LPCOLESTR text) {
    BSTR copy = SysAllocString(text);
    SysFreeString(m_str);
    m_str = copy;
    return *this;
}

BSTR* CComBSTR::operator&() {
    Empty();
    return &m_str;
}

BSTR CComBSTR::Copy() const { return m_str ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(m_str), ByteLength()) : nullptr; }

HRESULT CComBSTR::CopyTo(BSTR* out) const {
    if (!out) return E_POINTER;
    *out = Copy();
    return (m_str && !*out) ? E_OUTOFMEMORY : S_OK;
}

void CComBSTR::Attach(BSTR text) {
    if (text == m_str) return;
    SysFreeString(m_str);
    m_str = text;
}

BSTR CComBSTR::Detach() {
    BSTR s = m_str;
    m_str = nullptr;
    return s;
}

void CComBSTR::Empty() {
    SysFreeString(m_str);
    m_str = nullptr;
}

HRESULT CComBSTR::Append(LPCOLESTR text) {
    if (!text) return S_OK;
    std::wstring joined = str();
    joined += text;
    BSTR fresh = SysAllocStringLen(joined.data(), UINT(joined.size()));
    if (!fresh) return E_OUTOFMEMORY;
    SysFreeString(m_str);
    m_str = fresh;
    return S_OK;
}

HRESULT CComBSTR::Append(const CComBSTR& text) {
    std::wstring joined = str() + text.str();
    BSTR fresh = SysAllocStringLen(joined.data(), UINT(joined.size()));
    if (!fresh) return E_OUTOFMEMORY;
    SysFreeString(m_str);
    m_str = fresh;
    return S_OK;
}

HRESULT CComBSTR::Append(wchar_t ch) {
    const wchar_t text[2] = {ch, 0};
    if (ch == 0) return Append(CComBSTR(1, text));
    return Append(text);
}

HRESULT CComBSTR::ToUpper() {
    for (unsigned i = 0, n = Length(); i < n; ++i) m_str[i] = wchar_t(std::towupper(wint_t(m_str[i])));
    return S_OK;
}

HRESULT CComBSTR::ToLower() {
    for (unsigned i = 0, n = Length(); i < n; ++i) m_str[i] = wchar_t(std::towlower(wint_t(m_str[i])));
    return S_OK;
}

bool CComBSTR::LoadString(UINT id) {
    std::wstring text;
    if (!orv::res::LoadStringResource(nullptr, id, text)) return false;
    *this = CComBSTR(std::wstring_view(text));
    return true;
}
