#include "platform/com/Guid.h"

#include <cwchar>
#include <stdexcept>

#include "platform/com/HResult.h"

namespace orv::com {

std::optional<GUID> ParseGuid(std::wstring_view text) { return ParseGuid(text, nullptr); }

std::optional<GUID> ParseGuid(std::wstring_view text, std::wstring* error) {
    const auto r = detail::ParseGuidText(text);
    if (r.ok) return r.guid;
    if (error) *error = L"position " + std::to_wstring(r.errorPos + 1) + L": expected " + r.expected;
    return std::nullopt;
}

std::wstring GuidToString(const GUID& g) {
    wchar_t buf[40];
    std::swprintf(buf, 40, L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(g.Data1), unsigned(g.Data2),
                  unsigned(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return buf;
}

GUID GuidFromString(std::wstring_view text) {
    std::wstring error;
    auto g = ParseGuid(text, &error);
    if (!g) throw std::invalid_argument("malformed GUID literal");
    return *g;
}

}  // namespace orv::com

int StringFromGUID2(REFGUID guid, LPWSTR buffer, int capacity) {
    const std::wstring text = orv::com::GuidToString(guid);
    if (!buffer || capacity < int(text.size()) + 1) return 0;
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return int(text.size()) + 1;
}

HRESULT IIDFromString(LPCWSTR text, IID* iid) {
    if (!iid) return E_INVALIDARG;
    if (!text) {
        *iid = GUID_NULL;
        return S_OK;
    }
    const std::wstring_view s(text);
    if (s.size() != 38 || s.front() != L'{') return CO_E_CLASSSTRING;
    auto g = orv::com::ParseGuid(s);
    if (!g) return CO_E_CLASSSTRING;
    *iid = *g;
    return S_OK;
}
