#pragma once
// GUIDs: class and interface identifiers.

#include <compare>
#include <cstdint>
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

inline constexpr GUID GUID_NULL{};

namespace orv::com {

// Parses "{8057A4FE-F7A7-11D4-952C-0001028487BE}" (braces optional, any case).
std::optional<GUID> ParseGuid(std::wstring_view text);
// Upper-case, with braces, as the registry writes it.
std::wstring GuidToString(const GUID& guid);

// A GUID from its text at compile time of the caller's choosing; throws std::invalid_argument
// on malformed text (use for literals only).
GUID GuidFromString(std::wstring_view text);

}  // namespace orv::com
