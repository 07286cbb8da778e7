#include "platform/res/ResourceData.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>

#include "platform/res/ResourceFormat.h"
#include "platform/win/Utf8.h"

namespace orv::res {
namespace {

using format::Reader;

constexpr std::uint32_t kMaxImageSide = 4096;

std::wstring Wide(const std::string& utf8) { return Utf8ToWide(utf8); }

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towupper(wint_t(a[i])) != std::towupper(wint_t(b[i]))) return false;
    return true;
}

bool ReadImage(Reader& r, Image& image) {
    std::uint32_t w = r.U32(), h = r.U32(), bits = r.U32();
    if (!r.ok() || w == 0 || h == 0 || w > kMaxImageSide || h > kMaxImageSide) return false;
    if (r.Remaining() / 4 < std::size_t(w) * h) return false;
    image.width = int(w);
    image.height = int(h);
    image.bitCount = int(bits);
    image.pixels.resize(std::size_t(w) * h);
    for (auto& p : image.pixels) p = r.U32();
    return r.ok();
}

bool ReadDialog(Reader& r, UINT id, DialogTemplate& d) {
    d.id = id;
    r.U32();  // flags: extended template
    d.style = r.U32();
    d.exStyle = r.U32();
    d.helpId = r.U32();
    d.x = r.I32();
    d.y = r.I32();
    d.cx = r.I32();
    d.cy = r.I32();
    d.caption = Wide(r.Text());
    d.className = Wide(r.Text());
    r.Text();  // menu: no menus in dialogs here
    d.fontName = Wide(r.Text());
    std::int32_t pointSize = r.I32();
    d.fontPointSize = d.fontName.empty() ? 8 : pointSize;
    d.fontWeight = r.I32();
    d.fontItalic = r.U32() != 0;
    r.U32();  // character set
    std::uint32_t count = r.U32();
    if (!r.ok() || count > r.Remaining() / 40) return false;
    d.items.resize(count);
    for (auto& item : d.items) {
        item.className = Wide(r.Text());
        item.text = Wide(r.Text());
        item.id = r.U32();
        item.style = r.U32();
        item.exStyle = r.U32();
        item.helpId = r.U32();
        item.x = r.I32();
        item.y = r.I32();
        item.cx = r.I32();
        item.cy = r.I32();
    }
    return r.ok();
}

bool ReadVersion(Reader& r, VersionInfo& v) {
    v.fileVersionMS = r.U32();
    v.fileVersionLS = r.U32();
    v.productVersionMS = r.U32();
    v.productVersionLS = r.U32();
    v.fileFlagsMask = r.U32();
    v.fileFlags = r.U32();
    v.fileOS = r.U32();
    v.fileType = r.U32();
    v.fileSubtype = r.U32();
    std::uint32_t blocks = r.U32();
    if (!r.ok() || blocks > r.Remaining() / 8) return false;
    for (std::uint32_t b = 0; b < blocks && r.ok(); ++b) {
        VersionInfo::StringBlock block;
        block.key = Wide(r.Text());
        std::uint32_t values = r.U32();
        if (!r.ok() || values > r.Remaining() / 8) return false;
        for (std::uint32_t i = 0; i < values && r.ok(); ++i) {
            std::wstring name = Wide(r.Text());
            std::wstring value = Wide(r.Text());
            block.values.emplace_back(std::move(name), std::move(value));
        }
        v.stringBlocks.push_back(std::move(block));
    }
    std::uint32_t translations = r.U32();
    if (!r.ok() || translations > r.Remaining() / 8) return false;
    for (std::uint32_t i = 0; i < translations; ++i) {
        WORD lang = WORD(r.U32());
        WORD cp = WORD(r.U32());
        v.translations.emplace_back(lang, cp);
    }
    return r.ok();
}

}  // namespace

const Image* IconResource::Nearest(int cx, int cy) const {
    const Image* best = nullptr;
    long bestDiff = 0;
    for (const Image& image : images) {
        long diff = std::labs(long(image.width) - cx) + std::labs(long(image.height) - cy);
        if (!best || diff < bestDiff || (diff == bestDiff && image.bitCount > best->bitCount)) {
            best = &image;
            bestDiff = diff;
        }
    }
    return best;
}

const std::wstring* VersionInfo::FindString(const std::wstring& name) const {
    for (const auto& block : stringBlocks)
        for (const auto& [n, v] : block.values)
            if (EqualNoCase(n, name)) return &v;
    return nullptr;
}

std::wstring ResourceKey(LPCTSTR name) {
    if (IsResourceId(name)) return ResourceKey(UINT(reinterpret_cast<ULONG_PTR>(name)));
    std::wstring key(name);
    if (!key.empty() && key[0] == L'#') return key;  // "#123" names the id 123, as the framework reads it
    for (auto& c : key) c = wchar_t(std::towupper(wint_t(c)));
    return key;
}

std::unique_ptr<ResourceSet> ResourceSet::Parse(const unsigned char* data, std::size_t size, std::string* error) {
    auto fail = [&](const std::string& m) -> std::unique_ptr<ResourceSet> {
        if (error) *error = m;
        return nullptr;
    };
    if (size < format::kHeaderSize || std::memcmp(data, format::kMagic, 8) != 0) return fail("not a resource blob");
    Reader header(data + 8, format::kHeaderSize - 8);
    std::uint32_t total = header.U32();
    std::uint32_t count = header.U32();
    std::uint32_t checksum = header.U32();
    std::uint32_t version = header.U32();
    if (version != format::kFormatVersion) return fail("unknown resource format version " + std::to_string(version));
    if (total < format::kHeaderSize || total > size) return fail("truncated resource blob");
    auto set = std::make_unique<ResourceSet>();
    Reader r(data + format::kHeaderSize, total - format::kHeaderSize);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t type = r.U32();
        std::wstring key = Wide(r.Text());
        r.U32();  // language
        std::uint32_t payloadSize = r.U32();
        if (!r.ok() || payloadSize > r.Remaining()) return fail("truncated resource entry");
        Reader p(r.Position(), payloadSize);
        r.Skip(payloadSize);
        UINT id = 0;
        if (key.size() > 1 && key[0] == L'#') id = UINT(std::wcstoul(key.c_str() + 1, nullptr, 10));
        bool ok = true;
        switch (type) {
            case format::kString:
                set->strings.emplace(id, Wide(p.Text()));
                ok = p.ok();
                break;
            case format::kDialog: {
                DialogTemplate d;
                ok = ReadDialog(p, id, d);
                if (ok) set->dialogs.emplace(key, std::move(d));
                break;
            }
            case format::kIconGroup: {
                IconResource icon;
                std::uint32_t n = p.U32();
                if (!p.ok() || n > p.Remaining() / 12) {
                    ok = false;
                    break;
                }
                icon.images.resize(n);
                for (auto& image : icon.images) ok = ok && ReadImage(p, image);
                if (ok) set->icons.emplace(key, std::move(icon));
                break;
            }
            case format::kBitmap: {
                Image image;
                ok = ReadImage(p, image);
                if (ok) set->bitmaps.emplace(key, std::move(image));
                break;
            }
            case format::kVersion: {
                auto v = std::make_unique<VersionInfo>();
                ok = ReadVersion(p, *v);
                if (ok && !set->version) set->version = std::move(v);
                break;
            }
            default:
                break;  // a newer compiler's resource kind: skipped
        }
        if (!ok) return fail("malformed resource entry " + std::to_string(i + 1));
    }
    std::size_t used = std::size_t(r.Position() - (data + format::kHeaderSize));
    if (format::Checksum(data + format::kHeaderSize, used) != checksum) return fail("resource blob checksum mismatch");
    return set;
}

std::vector<std::unique_ptr<ResourceSet>> ResourceSet::ParseSection(const unsigned char* data, std::size_t size,
                                                                    std::string* error) {
    std::vector<std::unique_ptr<ResourceSet>> sets;
    std::size_t at = 0;
    while (at + format::kHeaderSize <= size) {
        if (std::memcmp(data + at, format::kMagic, 8) != 0) {
            at += 8;  // padding between the blobs of several scripts
            continue;
        }
        std::uint32_t total = Reader(data + at + 8, 4).U32();
        auto set = Parse(data + at, size - at, error);
        if (!set) break;
        sets.push_back(std::move(set));
        at += (std::size_t(total) + 7) / 8 * 8;
    }
    return sets;
}

}  // namespace orv::res
