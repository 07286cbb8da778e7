#include "tools/rc/RcImages.h"

#include <cstring>

namespace orv::rc {
namespace {

constexpr int kMaxDimension = 4096;

std::uint32_t Le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

// Decodes a device-independent bitmap: header, palette and pixels starting at `dib`.
// `pixelOffset` is where the pixels start, counted from `dib` (0: right after the palette).
// An icon image holds twice its height: the colour rows, then the 1-bit transparency mask.
bool DecodeDib(const unsigned char* dib, std::size_t size, std::size_t pixelOffset, bool icon, DecodedImage& out,
               std::string& error) {
    if (size < 4) {
        error = "truncated bitmap header";
        return false;
    }
    std::uint32_t headerSize = Le32(dib);
    if (headerSize == 12) {
        error = "OS/2 bitmap headers are not supported";
        return false;
    }
    if (headerSize < 40 || headerSize > size) {
        error = "truncated or unknown bitmap header";
        return false;
    }
    std::int32_t width = std::int32_t(Le32(dib + 4));
    std::int32_t rawHeight = std::int32_t(Le32(dib + 8));
    std::uint16_t planes = Le16(dib + 12);
    std::uint16_t bitCount = Le16(dib + 14);
    std::uint32_t compression = Le32(dib + 16);
    std::uint32_t colorsUsed = Le32(dib + 32);
    bool topDown = rawHeight < 0;
    long long height = rawHeight < 0 ? -(long long)rawHeight : rawHeight;
    if (icon) {
        if (topDown || height % 2 != 0) {
            error = "icon image height is not twice the image height";
            return false;
        }
        height /= 2;
    }
    if (planes != 1) {
        error = "bitmap has " + std::to_string(planes) + " planes, expected 1";
        return false;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
        error = "unsupported bit count " + std::to_string(bitCount) + " (1, 4, 8, 24 or 32)";
        return false;
    }
    if (compression != 0) {
        error = "compressed bitmaps are not supported (compression " + std::to_string(compression) + ")";
        return false;
    }
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) {
        error = "bad image size " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    std::size_t paletteCount = 0;
    if (bitCount <= 8) {
        paletteCount = colorsUsed ? colorsUsed : (std::size_t(1) << bitCount);
        if (paletteCount > (std::size_t(1) << bitCount)) {
            error = "palette has " + std::to_string(colorsUsed) + " colours, more than the bit count allows";
            return false;
        }
    } else if (colorsUsed > 0 && colorsUsed <= 256) {
        paletteCount = colorsUsed;  // an optimisation palette, not used for decoding
    }
    std::size_t paletteAt = headerSize;
    if (paletteAt + paletteCount * 4 > size) {
        error = "truncated palette";
        return false;
    }
    std::size_t bitsAt = pixelOffset ? pixelOffset : paletteAt + paletteCount * 4;
    std::size_t w = std::size_t(width), h = std::size_t(height);
    std::size_t stride = ((w * bitCount + 31) / 32) * 4;
    std::size_t maskStride = ((w + 31) / 32) * 4;
    std::size_t need = stride * h + (icon ? maskStride * h : 0);
    if (bitsAt > size || size - bitsAt < need) {
        error = "truncated pixel data";
        return false;
    }
    const unsigned char* bits = dib + bitsAt;
    out.width = width;
    out.height = int(height);
    out.bitCount = bitCount;
    out.pixels.assign(w * h, 0);
    bool anyAlpha = false;
    for (std::size_t row = 0; row < h; ++row) {
        const unsigned char* src = bits + (topDown ? row : h - 1 - row) * stride;
        std::uint32_t* dst = out.pixels.data() + row * w;
        for (std::size_t x = 0; x < w; ++x) {
            std::uint32_t argb = 0;
            if (bitCount <= 8) {
                std::size_t bitPos = x * bitCount;
                unsigned value = (src[bitPos / 8] >> (8 - bitCount - bitPos % 8)) & ((1u << bitCount) - 1);
                if (value >= paletteCount) {
                    error = "pixel refers to colour " + std::to_string(value) + " beyond the palette";
                    return false;
                }
                const unsigned char* c = dib + paletteAt + value * 4;
                argb = 0xFF000000u | (std::uint32_t(c[2]) << 16) | (std::uint32_t(c[1]) << 8) | c[0];
            } else if (bitCount == 24) {
                const unsigned char* c = src + x * 3;
                argb = 0xFF000000u | (std::uint32_t(c[2]) << 16) | (std::uint32_t(c[1]) << 8) | c[0];
            } else {
                const unsigned char* c = src + x * 4;
                argb = (std::uint32_t(c[3]) << 24) | (std::uint32_t(c[2]) << 16) | (std::uint32_t(c[1]) << 8) | c[0];
                if (c[3]) anyAlpha = true;
            }
            dst[x] = argb;
        }
    }
    // A 32-bit image whose alpha bytes are all zero carries no alpha: opaque, or the icon mask.
    if (bitCount == 32 && !anyAlpha) {
        for (auto& p : out.pixels) p |= 0xFF000000u;
    }
    if (icon && !(bitCount == 32 && anyAlpha)) {
        const unsigned char* mask = bits + stride * h;
        for (std::size_t row = 0; row < h; ++row) {
            const unsigned char* src = mask + (h - 1 - row) * maskStride;
            for (std::size_t x = 0; x < w; ++x) {
                if ((src[x / 8] >> (7 - x % 8)) & 1) out.pixels[row * w + x] &= 0x00FFFFFFu;
            }
        }
    }
    return true;
}

}  // namespace

bool DecodeBmpFile(const std::vector<unsigned char>& file, DecodedImage& out, std::string& error) {
    if (file.size() < 14 + 40 || file[0] != 'B' || file[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    std::uint32_t offBits = Le32(file.data() + 10);
    if (offBits < 14 || offBits > file.size()) {
        error = "bad pixel data offset";
        return false;
    }
    return DecodeDib(file.data() + 14, file.size() - 14, offBits - 14, false, out, error);
}

bool DecodeIcoFile(const std::vector<unsigned char>& file, std::vector<DecodedImage>& out, std::string& error) {
    if (file.size() < 6 || Le16(file.data()) != 0 || Le16(file.data() + 2) != 1) {
        error = "not an icon file";
        return false;
    }
    std::size_t count = Le16(file.data() + 4);
    if (count == 0) {
        error = "icon file holds no image";
        return false;
    }
    if (file.size() < 6 + count * 16) {
        error = "truncated icon directory";
        return false;
    }
    out.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* e = file.data() + 6 + i * 16;
        std::uint32_t bytes = Le32(e + 8);
        std::uint32_t offset = Le32(e + 12);
        std::string which = "image " + std::to_string(i + 1);
        if (offset > file.size() || bytes > file.size() - offset) {
            error = which + " lies outside the file";
            return false;
        }
        const unsigned char* data = file.data() + offset;
        if (bytes >= 8 && std::memcmp(data, "\x89PNG", 4) == 0) {
            error = which + ": PNG images in icons are not supported";
            return false;
        }
        DecodedImage image;
        std::string why;
        if (!DecodeDib(data, bytes, 0, true, image, why)) {
            error = which + ": " + why;
            return false;
        }
        out.push_back(std::move(image));
    }
    return true;
}

}  // namespace orv::rc
