// Icon and cursor handles: the kernel records where each came from; drivers draw them.

#include <map>
#include <tuple>

#include "platform/res/Resources.h"

#include "platform/win/WinApi.h"

namespace {

struct IconTable {
    std::map<UINT_PTR, orv::win::IconInfo> icons;
    // One handle per module, name and size.
    std::map<std::tuple<HINSTANCE, std::wstring, int>, HICON> byName;
    UINT_PTR next = 0x1C0010;
};

IconTable& Table() {
    static IconTable table;
    return table;
}

std::wstring NameOf(LPCWSTR name) {
    if (!name) return L"";
    if (IS_INTRESOURCE(name)) return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
    return name;
}

HICON Intern(HINSTANCE module, LPCWSTR name, int size) {
    auto& t = Table();
    auto key = std::make_tuple(module, NameOf(name), size);
    auto it = t.byName.find(key);
    if (it != t.byName.end()) return it->second;
    HICON h = reinterpret_cast<HICON>(t.next);
    t.next += 4;
    t.icons[reinterpret_cast<UINT_PTR>(h)] = orv::win::IconInfo{module, std::get<1>(key), size, size};
    t.byName[key] = h;
    return h;
}

}  // namespace

HICON LoadIcon(HINSTANCE module, LPCWSTR name) {
    if (!name) return nullptr;
    return Intern(module, name, 32);
}

HCURSOR LoadCursor(HINSTANCE module, LPCWSTR name) {
    if (!name) return nullptr;
    return Intern(module, name, 32);
}

void* LoadImage(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    if (!name || (type != IMAGE_ICON && type != IMAGE_CURSOR)) return nullptr;
    // An icon the module does not have loads nothing, so that a caller can try another module.
    if (type == IMAGE_ICON && module && !orv::res::FindIcon(module, name)) return nullptr;
    const int size = (flags & LR_DEFAULTSIZE) || cx <= 0 ? 32 : cx;
    (void)cy;
    return Intern(module, name, size);
}

HICON CopyIcon(HICON icon) {
    auto& t = Table();
    auto it = t.icons.find(reinterpret_cast<UINT_PTR>(icon));
    if (it == t.icons.end()) return nullptr;
    HICON h = reinterpret_cast<HICON>(t.next);
    t.next += 4;
    t.icons[reinterpret_cast<UINT_PTR>(h)] = it->second;
    return h;
}

BOOL DestroyIcon(HICON icon) { return Table().icons.count(reinterpret_cast<UINT_PTR>(icon)) ? TRUE : FALSE; }

namespace orv::win {

bool GetIconInformation(HICON icon, IconInfo& info) {
    auto& t = Table();
    auto it = t.icons.find(reinterpret_cast<UINT_PTR>(icon));
    if (it == t.icons.end()) return false;
    info = it->second;
    return true;
}

}  // namespace orv::win
