#include "platform/res/Images.h"

#include <algorithm>

#include "platform/res/Resources.h"

namespace orv::res {

Image ScaleImage(const Image& image, int cx, int cy) {
    if (cx <= 0 || cy <= 0 || (cx == image.width && cy == image.height) || image.width <= 0 || image.height <= 0)
        return image;
    Image out;
    out.width = cx;
    out.height = cy;
    out.bitCount = image.bitCount;
    out.pixels.resize(std::size_t(cx) * std::size_t(cy));
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            out.pixels[std::size_t(y) * std::size_t(cx) + std::size_t(x)] =
                image.At(int(long(x) * image.width / cx), int(long(y) * image.height / cy));
    return out;
}

namespace {

// The symbols on the system icons, one string per row ('#' drawn), scaled into the icon.
struct Glyph {
    int columns;
    const char* rows[9];
};
constexpr Glyph kCross{7, {"##...##", "###.###", ".#####.", "..###..", "..###..", ".#####.", "###.###", "##...##", nullptr}};
constexpr Glyph kQuestion{5, {".###.", "##.##", "...##", "..##.", ".##..", ".##..", ".....", ".##..", ".##.."}};
constexpr Glyph kExclamation{3, {"###", "###", "###", "###", ".#.", ".#.", "...", "###", "###"}};
constexpr Glyph kInformation{3, {".#.", ".#.", "...", "##.", ".#.", ".#.", ".#.", ".#.", "###"}};

int RowsOf(const Glyph& g) {
    int n = 0;
    while (n < 9 && g.rows[n]) ++n;
    return n;
}

// Draws `g` `height` pixels high, centred on (cx, cy).
void DrawGlyph(Image& image, const Glyph& g, std::uint32_t colour, int height, int cx, int cy) {
    const int rows = RowsOf(g);
    const int width = std::max(1, height * g.columns / rows);
    const int left = cx - width / 2, top = cy - height / 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int px = left + x, py = top + y;
            if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
            if (g.rows[y * rows / height][x * g.columns / width] == '#')
                image.pixels[std::size_t(py) * std::size_t(image.width) + std::size_t(px)] = colour;
        }
}

}  // namespace

Image SystemIconImage(UINT id, int size) {
    Image image;
    if (id < 32512 || id > 32517 || size <= 0) return image;
    image.width = image.height = size;
    image.bitCount = 32;
    image.pixels.assign(std::size_t(size) * std::size_t(size), 0);
    std::uint32_t colour = 0xFF808080u;
    const Glyph* glyph = nullptr;
    std::uint32_t ink = 0xFFFFFFFFu;
    bool triangle = false;
    switch (id) {
        case 32513: colour = 0xFFD42020u; glyph = &kCross; break;                              // hand (error): red
        case 32514: colour = 0xFF2060D0u; glyph = &kQuestion; break;                           // question: blue
        case 32515: colour = 0xFFF0C000u; glyph = &kExclamation; ink = 0xFF000000u; triangle = true; break;  // yellow
        case 32516: colour = 0xFF2080E0u; glyph = &kInformation; break;                        // asterisk (information)
        default: break;
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            bool inside;
            if (triangle) {
                long dx = 2L * x - size + 1;  // widens from the apex at the top to the full base
                inside = (dx < 0 ? -dx : dx) <= long(y) + 1;
            } else {
                long dx = 2L * x - size + 1, dy = 2L * y - size + 1;
                inside = dx * dx + dy * dy <= long(size) * size;
            }
            if (inside) image.pixels[std::size_t(y) * std::size_t(size) + std::size_t(x)] = colour;
        }
    }
    // The symbol: in the middle of a circle, in the wide lower part of the triangle.
    if (glyph) {
        const int height = std::max(RowsOf(*glyph), size * (triangle ? 9 : 10) / 16);
        DrawGlyph(image, *glyph, ink, height, size / 2, triangle ? size * 5 / 8 : size / 2);
    }
    return image;
}

Image IconImageAt(HINSTANCE module, LPCTSTR name, int cx, int cy) {
    const IconResource* icon = FindIcon(module, name);
    if (!icon || icon->images.empty()) return {};
    if (cx <= 0 && cy <= 0) return icon->images.front();
    if (cx <= 0) cx = cy;
    if (cy <= 0) cy = cx;
    return ScaleImage(*icon->Nearest(cx, cy), cx, cy);
}

}  // namespace orv::res
