#pragma once
// A grid of character cells with display attributes: what the terminal front end draws into
// before the screen is updated. Has no curses types, so that drawing can be tested without a
// terminal.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv::term {

enum : std::uint8_t {
    kAttrBold = 1,
    kAttrUnderline = 2,
    kAttrReverse = 4,
    kAttrDim = 8,
};

// A colour of the eight a terminal names (curses' COLOR_BLACK 0 ... COLOR_WHITE 7), kept in an
// attribute's upper four bits; none (the terminal's own colour) is 0.
inline constexpr std::uint8_t ColorAttr(int color) { return std::uint8_t(((color & 7) + 1) << 4); }
// The colour of an attribute; -1 when none.
inline constexpr int AttrColor(std::uint8_t attr) { return (attr >> 4) - 1; }

struct Cell {
    wchar_t ch = L' ';
    std::uint8_t attr = 0;
    bool wideTail = false;  // the right half of a double-width character
};

struct CellRect {
    int x = 0, y = 0, w = 0, h = 0;
    int Right() const { return x + w - 1; }
    int Bottom() const { return y + h - 1; }
    bool Contains(int cx, int cy) const { return cx >= x && cy >= y && cx < x + w && cy < y + h; }
};

class Canvas {
public:
    Canvas(int width = 0, int height = 0) { Resize(width, height); }

    // Blank cells of the new size; the clip becomes the whole grid.
    void Resize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    const Cell& At(int x, int y) const;

    // Drawing is clipped to this rectangle (and to the grid).
    void SetClip(const CellRect& clip);
    void ResetClip();
    const CellRect& Clip() const { return clip_; }

    void Put(int x, int y, wchar_t ch, std::uint8_t attr = 0);
    // Writes text from (x, y), at most `max` columns (negative: no limit); control characters
    // become blanks. Returns the columns written.
    int Text(int x, int y, std::wstring_view text, std::uint8_t attr = 0, int max = -1);
    // A caption with "&" mnemonic markers: the marked character is underlined, "&&" is one "&".
    int Caption(int x, int y, std::wstring_view caption, std::uint8_t attr = 0, int max = -1);
    void Fill(const CellRect& r, wchar_t ch, std::uint8_t attr = 0);
    // Adds attributes to the cells of `r` (keeps their characters).
    void AddAttr(const CellRect& r, std::uint8_t attr);
    // Line-drawing frame along the edges of `r`.
    void Box(const CellRect& r, std::uint8_t attr = 0);

    // One row as text (double-width tails skipped), trailing blanks removed.
    std::wstring Row(int y) const;
    // Every row, UTF-8, each ending in '\n'.
    std::string Utf8() const;

private:
    bool Visible(int x, int y) const { return clip_.Contains(x, y) && x >= 0 && y >= 0 && x < width_ && y < height_; }

    int width_ = 0;
    int height_ = 0;
    std::vector<Cell> cells_;
    CellRect clip_;
};

// Display columns of one character: 0 for combining marks, 2 for wide ones, else 1.
int CharColumns(wchar_t ch);
// Display columns of a text.
int TextColumns(std::wstring_view text);

}  // namespace orv::term
