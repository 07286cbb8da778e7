#pragma once
// GUIDs: class and interface identifiers.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    friend bool operator==(const GUID&, const GUID&) = default;
    friend auto operator<=>(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPGUID = GUID*;
using LPCLSID = CLSID*;

inline constexpr GUID GUID_NULL{};
inline constexpr GUID IID_NULL{};
inline constexpr GUID CLSID_NULL{};

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return a == b; }
inline bool IsEqualIID(REFIID a, REFIID b) { return a == b; }
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return a == b; }

namespace orv::com {

namespace detail {

constexpr int GuidHexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Parses the 36- or 38-character form; on failure returns the 0-based position of the first
// offending character (or the text length when the text is too short) and what was expected.
struct GuidParse {
    GUID guid{};
    bool ok = false;
    std::size_t errorPos = 0;
    const wchar_t* expected = nullptr;
};

constexpr GuidParse ParseGuidText(std::wstring_view s) {
    GuidParse r;
    std::size_t pos = 0;
    const bool braces = !s.empty() && s.front() == L'{';
    if (braces) pos = 1;
    auto fail = [&](const wchar_t* what) {
        r.errorPos = pos;
        r.expected = what;
        return r;
    };
    auto hex = [&](int digits, std::uint64_t& out) {
        out = 0;
        for (int i = 0; i < digits; ++i, ++pos) {
            if (pos >= s.size()) return false;
            const int v = GuidHexValue(s[pos]);
            if (v < 0) return false;
            out = (out << 4) | std::uint64_t(v);
        }
        return true;
    };
    auto dash = [&] {
        if (pos >= s.size() || s[pos] != L'-') return false;
        ++pos;
        return true;
    };
    std::uint64_t v = 0;
    if (!hex(8, v)) return fail(L"a hexadecimal digit");
    r.guid.Data1 = std::uint32_t(v);
    if (!dash()) return fail(L"'-'");
    if (!hex(4, v)) return fail(L"a hexadecimal digit");
    r.guid.Data2 = std::uint16_t(v);
    if (!dash()) return fail(L"'-'");
    if (!hex(4, v)) return fail(L"a hexadecimal digit");
    r.guid.Data3 = std::uint16_t(v);
    if (!dash()) return fail(L"'-'");
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && !dash()) return fail(L"'-'");
        if (!hex(2, v)) return fail(L"a hexadecimal digit");
        r.guid.Data4[i] = std::uint8_t(v);
    }
    if (braces) {
        if (pos >= s.size() || s[pos] != L'}') return fail(L"'}'");
        ++pos;
    }
    if (pos != s.size()) return fail(L"the end of the text");
    r.ok = true;
    return r;
}

}  // namespace detail

// Parses "{8057A4FE-F7A7-11D4-952C-0001028487BE}" (braces optional, any case).
std::optional<GUID> ParseGuid(std::wstring_view text);
// The same; on failure *error (when given) says where and what was expected,
// e.g. "position 9: expected '-'" (positions count from 1).
std::optional<GUID> ParseGuid(std::wstring_view text, std::wstring* error);
// Upper-case, with braces, as the registry writes it.
std::wstring GuidToString(const GUID& guid);

// A GUID from its text at compile time of the caller's choosing; throws std::invalid_argument
// on malformed text (use for literals only).
GUID GuidFromString(std::wstring_view text);

// A GUID literal usable in constant expressions: a malformed literal does not compile.
consteval GUID GuidLiteral(std::wstring_view text) {
    const auto r = detail::ParseGuidText(text);
    if (!r.ok) throw "malformed GUID literal";
    return r.guid;
}

}  // namespace orv::com

// The framework's conversions. StringFromGUID2 writes the braced form and returns the number
// of characters written including the terminator, or 0 when the buffer is too small.
int StringFromGUID2(REFGUID guid, LPWSTR buffer, int capacity);
// Parses the braced form only, as the framework does; CO_E_CLASSSTRING when malformed.
HRESULT IIDFromString(LPCWSTR text, IID* iid);

template <>
struct std::hash<GUID> {
    std::size_t operator()(const GUID& g) const noexcept {
        std::uint64_t h = (std::uint64_t(g.Data1) << 32) ^ (std::uint64_t(g.Data2) << 16) ^ g.Data3;
        for (auto b : g.Data4) h = h * 1099511628211ull ^ b;
        return std::size_t(h);
    }
};
