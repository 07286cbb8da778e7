#pragma once
// The resources of a module as plain data, parsed from the blob the resource compiler writes.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/res/DialogTemplate.h"
#include "platform/win/WinTypes.h"

namespace orv::res {

// Decoded pixels: 0xAARRGGBB, rows top-down. Icons carry their transparency mask in the alpha.
struct Image {
    int width = 0;
    int height = 0;
    int bitCount = 0;  // of the source image: 1, 4, 8, 24 or 32
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// An ICON statement: the images of one .ico file, in file order.
struct IconResource {
    std::vector<Image> images;
    // The image nearest to cx x cy (smallest size difference, then most colours); null if none.
    const Image* Nearest(int cx, int cy) const;
};

struct VersionInfo {
    DWORD fileVersionMS = 0, fileVersionLS = 0;
    DWORD productVersionMS = 0, productVersionLS = 0;
    DWORD fileFlagsMask = 0, fileFlags = 0, fileOS = 0, fileType = 0, fileSubtype = 0;
    struct StringBlock {
        std::wstring key;  // language and code page in hex, "040904b0"
        std::vector<std::pair<std::wstring, std::wstring>> values;
    };
    std::vector<StringBlock> stringBlocks;
    std::vector<std::pair<WORD, WORD>> translations;  // language, code page

    WORD Major() const { return HIWORD(fileVersionMS); }
    WORD Minor() const { return LOWORD(fileVersionMS); }
    WORD Build() const { return HIWORD(fileVersionLS); }
    WORD Revision() const { return LOWORD(fileVersionLS); }
    // The value `name` of the first string block that has it (names compare without case).
    const std::wstring* FindString(const std::wstring& name) const;
};

// The resources of one compiled script. Keys are "#123" for numeric ids and the upper-case
// name otherwise.
struct ResourceSet {
    std::map<UINT, std::wstring> strings;
    std::map<std::wstring, DialogTemplate> dialogs;
    std::map<std::wstring, IconResource> icons;
    std::map<std::wstring, Image> bitmaps;
    std::unique_ptr<VersionInfo> version;

    // Parses one blob; null with a message when it is malformed.
    static std::unique_ptr<ResourceSet> Parse(const unsigned char* data, std::size_t size, std::string* error);
    // Parses every blob of a resource section (blobs may be separated by padding).
    static std::vector<std::unique_ptr<ResourceSet>> ParseSection(const unsigned char* data, std::size_t size,
                                                                  std::string* error);
};

// A numeric id in the place of a resource name, as the framework encodes it (MAKEINTRESOURCE).
inline LPCTSTR ResourceId(UINT id) { return reinterpret_cast<LPCTSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id))); }
inline bool IsResourceId(LPCTSTR name) { return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0; }

// The key of a resource given by id or by name (numeric ids become "#123").
std::wstring ResourceKey(LPCTSTR name);
inline std::wstring ResourceKey(UINT id) { return L"#" + std::to_wstring(id); }

}  // namespace orv::res
