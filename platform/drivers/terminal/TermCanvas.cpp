#include "platform/drivers/terminal/TermCanvas.h"

#include <cwchar>

#include "platform/win/Utf8.h"

namespace orv::term {

int CharColumns(wchar_t ch) {
    if (ch < 32) return 1;
    const int w = ::wcwidth(ch);
    if (w < 0) return 1;  // unknown to the locale: one cell, shown as it is
    return w;
}

int TextColumns(std::wstring_view text) {
    int n = 0;
    for (wchar_t ch : text) n += CharColumns(ch);
    return n;
}

void Canvas::Resize(int width, int height) {
    width_ = width < 0 ? 0 : width;
    height_ = height < 0 ? 0 : height;
    cells_.assign(std::size_t(width_) * std::size_t(height_), Cell{});
    ResetClip();
}

const Cell& Canvas::At(int x, int y) const {
    static const Cell kOutside{};
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kOutside;
    return cells_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
}

void Canvas::SetClip(const CellRect& clip) { clip_ = clip; }

void Canvas::ResetClip() { clip_ = CellRect{0, 0, width_, height_}; }

void Canvas::Put(int x, int y, wchar_t ch, std::uint8_t attr) {
    if (!Visible(x, y)) return;
    Cell& c = cells_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
    // Overwriting either half of a wide character blanks the other half.
    if (c.wideTail && x > 0) {
        Cell& head = cells_[std::size_t(y) * std::size_t(width_) + std::size_t(x - 1)];
        head.ch = L' ';
    } else if (x + 1 < width_) {
        Cell& next = cells_[std::size_t(y) * std::size_t(width_) + std::size_t(x + 1)];
        if (next.wideTail) {
            next.wideTail = false;
            next.ch = L' ';
        }
    }
    c.ch = ch;
    c.attr = attr;
    c.wideTail = false;
}

int Canvas::Text(int x, int y, std::wstring_view text, std::uint8_t attr, int max) {
    int col = 0;
    for (wchar_t ch : text) {
        if (ch < 32 || ch == 0x7F) ch = L' ';
        const int w = CharColumns(ch);
        if (w == 0) continue;  // combining marks are dropped rather than misplacing the columns
        if (max >= 0 && col + w > max) break;
        if (w == 2) {
            // A wide character needs both cells inside the clip, else a blank shows.
            if (Visible(x + col, y) && Visible(x + col + 1, y)) {
                Put(x + col, y, ch, attr);
                Put(x + col + 1, y, L' ', attr);
                cells_[std::size_t(y) * std::size_t(width_) + std::size_t(x + col + 1)].wideTail = true;
            } else {
                Put(x + col, y, L' ', attr);
                Put(x + col + 1, y, L' ', attr);
            }
        } else {
            Put(x + col, y, ch, attr);
        }
        col += w;
    }
    return col;
}

int Canvas::Caption(int x, int y, std::wstring_view caption, std::uint8_t attr, int max) {
    int col = 0;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        wchar_t ch = caption[i];
        std::uint8_t a = attr;
        if (ch == L'&') {
            if (i + 1 >= caption.size()) break;  // a trailing marker marks nothing
            ch = caption[++i];
            if (ch != L'&') a |= kAttrUnderline;
        }
        const int w = CharColumns(ch);
        if (max >= 0 && col + w > max) break;
        col += Text(x + col, y, std::wstring_view(&ch, 1), a);
    }
    return col;
}

void Canvas::Fill(const CellRect& r, wchar_t ch, std::uint8_t attr) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) Put(x, y, ch, attr);
}

void Canvas::AddAttr(const CellRect& r, std::uint8_t attr) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            if (Visible(x, y)) cells_[std::size_t(y) * std::size_t(width_) + std::size_t(x)].attr |= attr;
}

void Canvas::Box(const CellRect& r, std::uint8_t attr) {
    if (r.w <= 0 || r.h <= 0) return;
    if (r.h == 1) {
        for (int x = r.x; x <= r.Right(); ++x) Put(x, r.y, L'\u2500', attr);
        return;
    }
    if (r.w == 1) {
        for (int y = r.y; y <= r.Bottom(); ++y) Put(r.x, y, L'\u2502', attr);
        return;
    }
    for (int x = r.x + 1; x < r.Right(); ++x) {
        Put(x, r.y, L'\u2500', attr);
        Put(x, r.Bottom(), L'\u2500', attr);
    }
    for (int y = r.y + 1; y < r.Bottom(); ++y) {
        Put(r.x, y, L'\u2502', attr);
        Put(r.Right(), y, L'\u2502', attr);
    }
    Put(r.x, r.y, L'\u250C', attr);
    Put(r.Right(), r.y, L'\u2510', attr);
    Put(r.x, r.Bottom(), L'\u2514', attr);
    Put(r.Right(), r.Bottom(), L'\u2518', attr);
}

std::wstring Canvas::Row(int y) const {
    std::wstring row;
    if (y < 0 || y >= height_) return row;
    for (int x = 0; x < width_; ++x) {
        const Cell& c = At(x, y);
        if (!c.wideTail) row += c.ch;
    }
    while (!row.empty() && row.back() == L' ') row.pop_back();
    return row;
}

std::string Canvas::Utf8() const {
    std::string out;
    for (int y = 0; y < height_; ++y) {
        out += orv::WideToUtf8(Row(y));
        out += '\n';
    }
    return out;
}

}  // namespace orv::term
