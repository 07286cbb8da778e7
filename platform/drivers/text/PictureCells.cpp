#include "platform/drivers/text/PictureCells.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/win/Gdi.h"
#include "platform/win/WinApi.h"
#include "platform/win/WinMessages.h"
#include "platform/win/WinStyles.h"

namespace orv::text {
namespace {

int FloorDiv(long value, int by) {
    if (by <= 0) return 0;
    return int(value >= 0 ? value / by : -((-value + by - 1) / by));
}

// Maps the picture's pixels to cells and keeps every call to the sink within the clip.
class Placer {
public:
    Placer(PictureSink& sink, const orv::win::WindowView& v, const CellBox& cells, const CellBox& clip, CellSize cell)
        : sink_(sink), cells_(cells), cell_(cell), dx_(v.clientRect.left - v.windowRect.left),
          dy_(v.clientRect.top - v.windowRect.top), left_(std::max(clip.x, cells.x)), top_(std::max(clip.y, cells.y)),
          right_(std::min(clip.x + clip.w, cells.x + cells.w) - 1),
          bottom_(std::min(clip.y + std::max(clip.h, 1), cells.y + std::max(cells.h, 1)) - 1),
          marks_(std::size_t(std::max(0, right_ - left_ + 1) * std::max(0, bottom_ - top_ + 1)), 0) {}

    // Columns may be narrowed: the drawing then starts `shift` columns right and is scaled to fit
    // the rest of the control (see ShiftForTurnedLabels).
    int Col(long x) const { return cells_.x + shift_ + FloorDiv(Scaled(x), cell_.width); }
    void SetShift(int shift) { shift_ = shift; }
    int CellsLeft() const { return cells_.x; }
    int Row(long y) const { return cells_.y + FloorDiv(y + dy_, cell_.height); }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Right() const { return right_; }
    int Bottom() const { return bottom_; }
    bool Inside(int x, int y) const { return x >= left_ && x <= right_ && y >= top_ && y <= bottom_; }

    void Put(int x, int y, wchar_t ch, const orv::win::DrawOp& op) {
        if (Inside(x, y)) sink_.Char(x, y, ch, op);
    }
    // A text across from (x, y). Where its cells would cover a text placed before (cells round
    // where pixels do not, and a frame the front end adds pushes texts inward), it moves so every
    // text stays legible: along its row past the texts it would cover, where it then crosses at
    // most a horizontal line (as a caption on a frame's top edge); else to the nearest row above
    // or below that crosses no text, frame or line drawn so far; else to the nearest row free of
    // texts.
    void Text(int x, int y, std::wstring_view text, const orv::win::DrawOp& op) {
        if (sink_.KeepsTextInside()) y = std::clamp(y, top_, bottom_);
        const int length = int(text.size());
        if (Holds(x, x + length - 1, y, kText)) {
            const int along = AfterTexts(x, x + length - 1, y) + 2;  // one cell apart
            if (along + length - 1 <= right_ && !Holds(along, along + length - 1, y, kText | kLine)) {
                x = along;
            } else {
                int to = NearestRow(x, x + length - 1, y, kText | kLine | kAcross);
                if (to == kNone) to = NearestRow(x, x + length - 1, y, kText);
                if (to != kNone) y = to;
            }
        }
        for (int i = 0; i < length; ++i) Put(x + i, y, text[std::size_t(i)], op);
        Mark(x, x + length - 1, y, kText);
    }
    // A character of a text that keeps its place (a turned text's).
    void TextChar(int x, int y, wchar_t ch, const orv::win::DrawOp& op) {
        Put(x, y, ch, op);
        Mark(x, x, y, kText);
    }

    void Rectangle(const orv::win::DrawOp& op) {
        const int x0 = Col(op.rect.left), y0 = Row(op.rect.top);
        const int x1 = Col(op.rect.right - 1), y1 = Row(op.rect.bottom - 1);
        // A rectangle smaller than two cells each way (a point's mark) only straddles cell
        // edges: as a frame it would grow to two cells square and crowd out its label.
        const bool frameSized = op.rect.right - op.rect.left >= 2L * cell_.width && op.rect.bottom - op.rect.top >= 2L * cell_.height;
        if (x1 > x0 && y1 > y0 && frameSized) {
            const int l = std::max(x0, left_), t = std::max(y0, top_), r = std::min(x1, right_), b = std::min(y1, bottom_);
            sink_.Frame(l, t, r, b, op);
            Mark(l + 1, r - 1, t, kAcross);
            Mark(l + 1, r - 1, b, kAcross);
            for (int y = t; y <= b; ++y) {
                Mark(l, l, y, kLine);
                Mark(r, r, y, kLine);
            }
            return;
        }
        // Too small for a frame (a point's mark): one point at its middle.
        Point((op.rect.left + op.rect.right) / 2, (op.rect.top + op.rect.bottom) / 2, 0, op);
    }

    // The points of a line from a to b, as finely as the sink follows lines.
    void Line(POINT a, POINT b, const orv::win::DrawOp& op) {
        const int subW = std::max(1, cell_.width / std::max(1, sink_.SubColumns()));
        const int subH = std::max(1, cell_.height / std::max(1, sink_.SubRows()));
        const long steps = std::max({std::labs(b.x - a.x) / subW, std::labs(b.y - a.y) / subH, 1L});
        const bool horizontal = a.y == b.y, vertical = a.x == b.x;
        const int c0 = std::min(Col(a.x), Col(b.x)), c1 = std::max(Col(a.x), Col(b.x));
        const int r0 = std::min(Row(a.y), Row(b.y)), r1 = std::max(Row(a.y), Row(b.y));
        for (long k = 0; k <= steps; ++k) {
            const long x = a.x + (b.x - a.x) * k / steps, y = a.y + (b.y - a.y) * k / steps;
            unsigned through = 0;
            if (horizontal && c1 > c0) {
                const int col = Col(x);
                through = (col > c0 ? kLineLeft : 0u) | (col < c1 ? kLineRight : 0u);
            } else if (vertical && r1 > r0) {
                const int row = Row(y);
                through = (row > r0 ? kLineUp : 0u) | (row < r1 ? kLineDown : 0u);
            }
            Point(x, y, through, op);
        }
    }

private:
    // What a cell of the clip shows so far: a text, a line or corner that runs down (a vertical
    // line, a frame's side), a line that only runs across.
    enum : std::uint8_t { kText = 1, kLine = 2, kAcross = 4 };
    static constexpr int kNone = -1;

    // The marks of row y's cells from x0 to x1 within the clip.
    std::uint8_t* Cells(int x0, int x1, int y, std::size_t& n) {
        x0 = std::max(x0, left_), x1 = std::min(x1, right_);
        n = y < top_ || y > bottom_ || x1 < x0 ? 0 : std::size_t(x1 - x0 + 1);
        return n ? marks_.data() + std::size_t(y - top_) * std::size_t(right_ - left_ + 1) + std::size_t(x0 - left_) : nullptr;
    }
    // Whether a cell of row y from x0 to x1 shows any of `what`.
    bool Holds(int x0, int x1, int y, std::uint8_t what) {
        std::size_t n = 0;
        const std::uint8_t* cells = Cells(x0, x1, y, n);
        return std::any_of(cells, cells + n, [what](std::uint8_t m) { return (m & what) != 0; });
    }
    void Mark(int x0, int x1, int y, std::uint8_t what) {
        std::size_t n = 0;
        std::uint8_t* cells = Cells(x0, x1, y, n);
        for (std::size_t i = 0; i < n; ++i) cells[i] |= what;
    }
    // The last column of the run of text cells that x0 to x1 of row y meet (texts touching one
    // another are one run).
    int AfterTexts(int x0, int x1, int y) {
        int last = x0 - 1;
        for (int x = std::max(x0, left_); x <= std::min(x1, right_); ++x)
            if (Holds(x, x, y, kText)) last = x;
        while (last + 1 <= right_ && Holds(last + 1, last + 1, y, kText)) ++last;
        return last;
    }
    // The nearest row above or below y (above first) whose cells from x0 to x1 show none of `what`.
    int NearestRow(int x0, int x1, int y, std::uint8_t what) {
        for (int d = 1; d <= bottom_ - top_; ++d) {
            if (y - d >= top_ && !Holds(x0, x1, y - d, what)) return y - d;
            if (y + d <= bottom_ && !Holds(x0, x1, y + d, what)) return y + d;
        }
        return kNone;
    }

    void Point(long x, long y, unsigned through, const orv::win::DrawOp& op) {
        const int col = Col(x), row = Row(y);
        if (!Inside(col, row)) return;
        const long px = Scaled(x) - long(col - cells_.x - shift_) * cell_.width, py = y + dy_ - long(row - cells_.y) * cell_.height;
        const int subX = std::clamp(int(px * sink_.SubColumns() / std::max(1, cell_.width)), 0, sink_.SubColumns() - 1);
        const int subY = std::clamp(int(py * sink_.SubRows() / std::max(1, cell_.height)), 0, sink_.SubRows() - 1);
        if (sink_.LinePoint(col, row, subX, subY, through, op))
            Mark(col, col, row, (through & (kLineUp | kLineDown)) || !through ? kLine : kAcross);
    }

    // A pixel column from the control's left edge, scaled to the columns left of the shift.
    long Scaled(long x) const {
        const long width = std::max(cells_.w, 1);
        return long(FloorDiv((x + dx_) * (width - shift_), int(width)));
    }

    PictureSink& sink_;
    CellBox cells_;
    CellSize cell_;
    long dx_, dy_;
    int left_, top_, right_, bottom_;
    int shift_ = 0;
    std::vector<std::uint8_t> marks_;  // the clip's cells row by row: kText, kLine, kAcross
};

bool IsTurnedText(const orv::win::DrawOp& op) {
    return op.kind == orv::win::DrawKind::Text && op.font.escapement == 900 && !op.points.empty() && !op.text.empty();
}

// Texts turned upwards: axis labels stand left of their point, an axis title goes down the
// control's first column. The title is the text left of all others (a plot draws its title
// beyond its labels); where all stand at one place, a text longer than 8 characters.
struct TurnedTexts {
    bool anchorsDiffer = false;
    long left = 0;
    explicit TurnedTexts(const orv::win::DisplayList& picture) {
        bool any = false;
        for (const auto& op : picture.ops) {
            if (!IsTurnedText(op)) continue;
            if (any && op.points[0].x != left) anchorsDiffer = true;
            left = any ? std::min(left, long(op.points[0].x)) : long(op.points[0].x);
            any = true;
        }
    }
    bool IsLabel(const orv::win::DrawOp& op) const {
        if (!IsTurnedText(op)) return false;
        return anchorsDiffer ? op.points[0].x > left : Wrap(op.text, 1000).front().size() <= 8;
    }
};

// Turned labels stand whole between the first column (kept for a turned title) and their point:
// where the pixels leave too few columns for the widest, the drawing moves right and is narrowed
// to fit the rest of the control.
void ShiftForTurnedLabels(Placer& at, const orv::win::DisplayList& picture, const TurnedTexts& turned, int width) {
    auto labelsFit = [&] {
        for (const auto& op : picture.ops)
            if (turned.IsLabel(op) && at.Col(op.points[0].x) - int(Wrap(op.text, 1000).front().size()) < at.CellsLeft() + 1)
                return false;
        return true;
    };
    int shift = 0;
    while (shift < width / 2 && !labelsFit()) at.SetShift(++shift);
}

void DrawTextOp(Placer& at, const orv::win::DrawOp& op, CellSize cell, const TurnedTexts& turned) {
    const bool inRect = op.points.empty() || (op.rect.right > op.rect.left && op.points[0].x == op.rect.left &&
                                              op.points[0].y == op.rect.top);
    if (inRect) {
        // Within the control's cells, which round its edges.
        const int x0 = std::max(at.Col(op.rect.left), at.Left()), x1 = std::min(at.Col(op.rect.right - 1), at.Right());
        const std::vector<std::wstring> lines = Wrap(op.text, (op.format & DT_WORDBREAK) ? std::max(1, x1 - x0 + 1) : 1000);
        int y = (op.format & DT_VCENTER) && (op.format & DT_SINGLELINE) ? at.Row((op.rect.top + op.rect.bottom) / 2)
                                                                         : at.Row(op.rect.top);
        for (const auto& line : lines) {
            int x = x0;
            if (op.format & DT_RIGHT) x = x1 - int(line.size()) + 1;
            else if (op.format & DT_CENTER) x = x0 + (x1 - x0 + 1 - int(line.size())) / 2;
            at.Text(std::max(x, at.Left()), y++, line, op);
        }
        return;
    }
    const std::vector<std::wstring> lines = Wrap(op.text, 1000);
    const std::wstring line = lines.empty() ? std::wstring() : lines.front();
    const int n = int(line.size());
    const POINT p = op.points[0];
    if (op.font.escapement == 900) {
        const int x = at.Col(p.x), y = std::clamp(at.Row(p.y), at.Top(), at.Bottom());
        if (turned.IsLabel(op)) {
            for (int i = 0; i < n; ++i)
                if (x - n + i >= at.Left() + 1) at.TextChar(x - n + i, y, line[std::size_t(i)], op);
        } else {
            // Within the control's rows where it is short enough.
            const int top = (op.format & TA_CENTER) == TA_CENTER ? y - n / 2 : y - n + 1;
            const int fitted = std::max(at.Top(), std::min(top, at.Bottom() - n + 1));
            for (int i = 0; i < n; ++i) at.TextChar(at.Left(), fitted + i, line[std::size_t(i)], op);
        }
        return;
    }
    int x = at.Col(p.x);
    if ((op.format & TA_CENTER) == TA_CENTER) x -= n / 2;
    else if (op.format & TA_RIGHT) x -= n - 1;
    // Pixels and cells round differently: a text at an edge stays whole.
    x = std::max(at.Left(), std::min(x, at.Right() - n + 1));
    at.Text(x, (op.format & TA_BOTTOM) ? at.Row(p.y - 1) : at.Row(p.y + cell.height / 2), line, op);
}

}  // namespace

std::vector<std::wstring> Wrap(std::wstring_view text, int width) {
    std::vector<std::wstring> lines;
    if (width <= 0) return lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view para = text.substr(start, end - start);
        if (!para.empty() && para.back() == L'\r') para.remove_suffix(1);
        if (para.empty()) lines.emplace_back();
        while (!para.empty()) {
            if (int(para.size()) <= width) {
                lines.emplace_back(para);
                break;
            }
            std::size_t cut = para.rfind(L' ', std::size_t(width));
            if (cut == std::wstring_view::npos || cut == 0) cut = std::size_t(width);
            lines.emplace_back(para.substr(0, cut));
            para.remove_prefix(cut);
            while (!para.empty() && para.front() == L' ') para.remove_prefix(1);
        }
        start = end + 1;
    }
    return lines;
}

void DrawPicture(PictureSink& sink, const orv::win::WindowView& v, const CellBox& cells, const CellBox& clip,
                 CellSize cell, const orv::win::DisplayList& picture) {
    if (cell.width <= 0 || cell.height <= 0) return;
    Placer at(sink, v, cells, clip, cell);
    if (at.Right() < at.Left() || at.Bottom() < at.Top()) return;
    const TurnedTexts turned(picture);
    ShiftForTurnedLabels(at, picture, turned, std::max(cells.w, 1));
    using orv::win::DrawKind;
    for (const auto& op : picture.ops) {
        switch (op.kind) {
            case DrawKind::Rectangle: at.Rectangle(op); break;
            case DrawKind::Line:
            case DrawKind::Polyline:
                if (op.nullPen) break;
                for (std::size_t i = 0; i + 1 < op.points.size(); ++i) at.Line(op.points[i], op.points[i + 1], op);
                break;
            case DrawKind::Text:
                if (!op.text.empty()) DrawTextOp(at, op, cell, turned);
                break;
            default: break;
        }
    }
}

bool PaintsItself(HWND hwnd, const orv::win::WindowView& v) {
    const DWORD type = v.style & SS_TYPEMASK;
    if (!orv::win::IsWindowClass(v, L"Static") || type == SS_ICON || type == SS_BITMAP) return false;
    WNDCLASS wc;
    return ::GetClassInfo(nullptr, v.className.c_str(), &wc) &&
           ::GetWindowLongPtr(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(wc.lpfnWndProc);
}

const orv::win::DisplayList* SelfPainted(HWND hwnd, const orv::win::WindowView& v) {
    if (!PaintsItself(hwnd, v)) return nullptr;
    const orv::win::DisplayList* list = orv::win::PaintWindow(hwnd);
    return list && !list->ops.empty() ? list : nullptr;
}

}  // namespace orv::text
