#include "platform/res/VersionInfo.h"

#include <cstring>
#include <cwctype>
#include <vector>

#include "platform/res/ModuleRegistry.h"
#include "platform/win/Utf8.h"

namespace orv::res {
namespace {

// The version block: "OVI1", u32 total size, VS_FIXEDFILEINFO, u32 string block count, blocks
// (text key, u32 value count, (text name, text value)...), u32 translation count, WORD pairs.
// Text: u32 character count (terminator included), the characters, a terminator.
constexpr DWORD kBlockMagic = 0x3149564F;  // "OVI1"

void PutDword(std::vector<DWORD>& out, DWORD v) { out.push_back(v); }
void PutText(std::vector<DWORD>& out, const std::wstring& s) {
    out.push_back(DWORD(s.size() + 1));
    for (wchar_t c : s) out.push_back(DWORD(c));
    out.push_back(0);
}

std::vector<DWORD> BuildBlock(const VersionInfo& v) {
    static_assert(sizeof(wchar_t) == sizeof(DWORD));
    std::vector<DWORD> out;
    PutDword(out, kBlockMagic);
    PutDword(out, 0);
    VS_FIXEDFILEINFO f;
    f.dwFileVersionMS = v.fileVersionMS;
    f.dwFileVersionLS = v.fileVersionLS;
    f.dwProductVersionMS = v.productVersionMS;
    f.dwProductVersionLS = v.productVersionLS;
    f.dwFileFlagsMask = v.fileFlagsMask;
    f.dwFileFlags = v.fileFlags;
    f.dwFileOS = v.fileOS;
    f.dwFileType = v.fileType;
    f.dwFileSubtype = v.fileSubtype;
    DWORD raw[sizeof f / sizeof(DWORD)];
    std::memcpy(raw, &f, sizeof f);
    for (DWORD d : raw) PutDword(out, d);
    PutDword(out, DWORD(v.stringBlocks.size()));
    for (const auto& block : v.stringBlocks) {
        PutText(out, block.key);
        PutDword(out, DWORD(block.values.size()));
        for (const auto& [name, value] : block.values) {
            PutText(out, name);
            PutText(out, value);
        }
    }
    PutDword(out, DWORD(v.translations.size()));
    for (const auto& [lang, cp] : v.translations) PutDword(out, DWORD(lang) | (DWORD(cp) << 16));
    out[1] = DWORD(out.size() * sizeof(DWORD));
    return out;
}

bool EqualNoCase(const wchar_t* a, std::size_t n, const std::wstring& b) {
    if (n != b.size()) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::towupper(wint_t(a[i])) != std::towupper(wint_t(b[i]))) return false;
    return true;
}

std::vector<std::wstring> SplitPath(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::wstring part;
    for (wchar_t c : path) {
        if (c == L'\\' || c == L'/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

}  // namespace

bool ReadFileVersionInfo(const std::wstring& file, VersionInfo& out) {
    std::vector<unsigned char> section;
    std::wstring error;
    if (!ReadResourceSection(WideToUtf8(file), section, error)) return false;
    for (auto& set : ResourceSet::ParseSection(section.data(), section.size(), nullptr)) {
        if (set->version) {
            out = *set->version;
            return true;
        }
    }
    return false;
}

}  // namespace orv::res

DWORD GetFileVersionInfoSize(LPCTSTR file, DWORD* handle) {
    if (handle) *handle = 0;
    orv::res::VersionInfo info;
    if (!file || !orv::res::ReadFileVersionInfo(file, info)) return 0;
    return DWORD(orv::res::BuildBlock(info).size() * sizeof(DWORD));
}

BOOL GetFileVersionInfo(LPCTSTR file, DWORD, DWORD size, LPVOID data) {
    orv::res::VersionInfo info;
    if (!file || !data || !orv::res::ReadFileVersionInfo(file, info)) return FALSE;
    std::vector<DWORD> block = orv::res::BuildBlock(info);
    if (std::size_t(size) < block.size() * sizeof(DWORD)) return FALSE;
    std::memcpy(data, block.data(), block.size() * sizeof(DWORD));
    return TRUE;
}

BOOL VerQueryValue(LPCVOID blockPtr, LPCTSTR subBlock, LPVOID* buffer, UINT* length) {
    if (!blockPtr || !subBlock || !buffer) return FALSE;
    const DWORD* block = static_cast<const DWORD*>(blockPtr);
    if (block[0] != orv::res::kBlockMagic) return FALSE;
    std::size_t total = block[1] / sizeof(DWORD);
    constexpr std::size_t kFixed = sizeof(VS_FIXEDFILEINFO) / sizeof(DWORD);
    if (total < 2 + kFixed + 2) return FALSE;
    std::vector<std::wstring> parts = orv::res::SplitPath(subBlock);
    auto result = [&](const void* p, UINT n) {
        *buffer = const_cast<void*>(p);
        if (length) *length = n;
        return TRUE;
    };
    if (parts.empty()) return result(block + 2, UINT(sizeof(VS_FIXEDFILEINFO)));
    // Walks the string blocks; `pos` indexes DWORDs, every step checked against the total.
    std::size_t pos = 2 + kFixed;
    auto text = [&](const wchar_t*& s, std::size_t& n) {
        if (pos >= total) return false;
        n = block[pos];
        if (n == 0 || n > total - pos - 1) return false;
        s = reinterpret_cast<const wchar_t*>(block + pos + 1);
        pos += 1 + n;
        --n;  // without the terminator
        return true;
    };
    std::size_t blocks = block[pos++];
    bool wantStrings = parts.size() == 3 && orv::res::EqualNoCase(parts[0].c_str(), parts[0].size(), L"STRINGFILEINFO");
    for (std::size_t b = 0; b < blocks; ++b) {
        const wchar_t* key;
        std::size_t keyLen;
        if (!text(key, keyLen) || pos >= total) return FALSE;
        std::size_t values = block[pos++];
        bool blockMatches = wantStrings && orv::res::EqualNoCase(key, keyLen, parts[1]);
        for (std::size_t v = 0; v < values; ++v) {
            const wchar_t *name, *value;
            std::size_t nameLen, valueLen;
            if (!text(name, nameLen) || !text(value, valueLen)) return FALSE;
            if (blockMatches && orv::res::EqualNoCase(name, nameLen, parts[2])) return result(value, UINT(valueLen + 1));
        }
    }
    if (wantStrings) return FALSE;
    if (parts.size() == 2 && orv::res::EqualNoCase(parts[0].c_str(), parts[0].size(), L"VARFILEINFO") &&
        orv::res::EqualNoCase(parts[1].c_str(), parts[1].size(), L"TRANSLATION")) {
        if (pos >= total) return FALSE;
        std::size_t count = block[pos];
        if (count > total - pos - 1) return FALSE;
        return result(block + pos + 1, UINT(count * sizeof(DWORD)));
    }
    return FALSE;
}
