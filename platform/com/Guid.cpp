#include "platform/com/Guid.h"

#include <cwchar>
#include <stdexcept>

namespace orv::com {
namespace {

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool ReadHex(std::wstring_view s, std::size_t& pos, int digits, std::uint64_t& out) {
    out = 0;
    for (int i = 0; i < digits; ++i, ++pos) {
        if (pos >= s.size()) return false;
        const int v = HexValue(s[pos]);
        if (v < 0) return false;
        out = (out << 4) | std::uint64_t(v);
    }
    return true;
}

}  // namespace

std::optional<GUID> ParseGuid(std::wstring_view s) {
    if (s.size() == 38 && s.front() == L'{' && s.back() == L'}') s = s.substr(1, 36);
    if (s.size() != 36) return std::nullopt;
    GUID g;
    std::size_t pos = 0;
    std::uint64_t v = 0;
    auto dash = [&] { return pos < s.size() && s[pos++] == L'-'; };
    if (!ReadHex(s, pos, 8, v)) return std::nullopt;
    g.Data1 = std::uint32_t(v);
    if (!dash() || !ReadHex(s, pos, 4, v)) return std::nullopt;
    g.Data2 = std::uint16_t(v);
    if (!dash() || !ReadHex(s, pos, 4, v)) return std::nullopt;
    g.Data3 = std::uint16_t(v);
    if (!dash()) return std::nullopt;
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && !dash()) return std::nullopt;
        if (!ReadHex(s, pos, 2, v)) return std::nullopt;
        g.Data4[i] = std::uint8_t(v);
    }
    return g;
}

std::wstring GuidToString(const GUID& g) {
    wchar_t buf[40];
    std::swprintf(buf, 40, L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(g.Data1), unsigned(g.Data2),
                  unsigned(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return buf;
}

GUID GuidFromString(std::wstring_view text) {
    auto g = ParseGuid(text);
    if (!g) throw std::invalid_argument("malformed GUID literal");
    return *g;
}

}  // namespace orv::com
