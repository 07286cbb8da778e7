#include "platform/res/Images.h"

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

Image SystemIconImage(UINT id, int size) {
    Image image;
    if (id < 32512 || id > 32517 || size <= 0) return image;
    image.width = image.height = size;
    image.bitCount = 32;
    image.pixels.assign(std::size_t(size) * std::size_t(size), 0);
    std::uint32_t colour = 0xFF808080u;
    bool triangle = false;
    switch (id) {
        case 32513: colour = 0xFFD42020u; break;                    // hand (error): red
        case 32514: colour = 0xFF2060D0u; break;                    // question: blue
        case 32515: colour = 0xFFF0C000u; triangle = true; break;   // exclamation: yellow
        case 32516: colour = 0xFF2080E0u; break;                    // asterisk (information)
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
