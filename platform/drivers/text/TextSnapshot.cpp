#include "platform/drivers/text/TextSnapshot.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "platform/drivers/text/PictureCells.h"
#include "platform/win/Gdi.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinMessages.h"
#include "platform/win/WinStyles.h"

namespace orv::text {
namespace {

using orv::win::IsWindowClass;
using orv::win::WindowView;

// A character grid with clipping.
class Grid {
public:
    Grid(int width, int height) : width_(width), height_(height), cells_(std::size_t(width * height), L' ') {}

    int Width() const { return width_; }
    int Height() const { return height_; }

    // The character at (x, y); outside the grid a non-blank, since there is no room there.
    wchar_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return L'#';
        return cells_[std::size_t(y * width_ + x)];
    }
    void Put(int x, int y, wchar_t ch) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        cells_[std::size_t(y * width_ + x)] = ch;
    }
    // Writes text from (x, y), at most `max` characters (negative: up to the grid's edge).
    void Text(int x, int y, std::wstring_view text, int max = -1) {
        int n = 0;
        for (wchar_t ch : text) {
            if (max >= 0 && n >= max) break;
            if (ch == L'\t' || ch == L'\r' || ch == L'\n') ch = L' ';
            Put(x + n, y, ch);
            ++n;
        }
    }
    void HLine(int x0, int x1, int y, wchar_t ch) {
        for (int x = x0; x <= x1; ++x) Put(x, y, ch);
    }
    void Box(int x0, int y0, int x1, int y1) {
        HLine(x0 + 1, x1 - 1, y0, L'-');
        HLine(x0 + 1, x1 - 1, y1, L'-');
        for (int y = y0 + 1; y < y1; ++y) {
            Put(x0, y, L'|');
            Put(x1, y, L'|');
        }
        Put(x0, y0, L'+');
        Put(x1, y0, L'+');
        Put(x0, y1, L'+');
        Put(x1, y1, L'+');
    }
    // Copies `other` with its top left corner at (x, y).
    void Blit(const Grid& other, int x, int y) {
        for (int row = 0; row < other.height_; ++row)
            for (int col = 0; col < other.width_; ++col)
                Put(x + col, y + row, other.cells_[std::size_t(row * other.width_ + col)]);
    }
    void Clear(int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y) HLine(x0, x1, y, L' ');
    }

    std::string Lines() const {
        std::string out;
        for (int y = 0; y < height_; ++y) {
            std::wstring row(cells_.begin() + y * width_, cells_.begin() + (y + 1) * width_);
            while (!row.empty() && row.back() == L' ') row.pop_back();
            out += orv::WideToUtf8(row);
            out += '\n';
        }
        return out;
    }

private:
    int width_;
    int height_;
    std::vector<wchar_t> cells_;
};

int RoundDiv(long value, int by) {
    if (by <= 0) return 0;
    return int(value >= 0 ? (value + by / 2) / by : -((-value + by / 2) / by));
}

int FloorDiv(long value, int by) {
    if (by <= 0) return 0;
    return int(value >= 0 ? value / by : -((-value + by - 1) / by));
}

using Cells = CellBox;

// Columns come from the rounded left and right edges, so that neighbours keep their gap. A
// control at least two rows high spans the rows that hold its top and bottom edges. A lower
// control gets one row, chosen by PlaceRows.
Cells ToCells(const RECT& r, const RECT& origin, CellSize cell, bool& oneRow) {
    Cells c;
    c.x = RoundDiv(r.left - origin.left, cell.width);
    c.w = std::max(1, RoundDiv(r.right - origin.left, cell.width) - c.x);
    const long height = r.bottom - r.top;
    oneRow = height < 2L * cell.height;
    if (oneRow) {
        c.y = FloorDiv((r.top + r.bottom) / 2 - origin.top, cell.height);
        c.h = 1;
    } else {
        c.y = FloorDiv(r.top - origin.top, cell.height);
        const int bottom = FloorDiv(r.bottom - origin.top - 1, cell.height);  // the last pixel row
        c.h = std::max(2, bottom - c.y + 1);
    }
    return c;
}

// One-row controls whose vertical centres lie within a quarter row of each other form a line
// (a label and the edit beside it differ by a dialog unit or two) and share the row of their
// mean centre, so that a line is never split across two rows.
void PlaceRows(std::vector<Cells>& cells, const std::vector<double>& centres, const std::vector<bool>& oneRow) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (oneRow[i]) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return centres[a] < centres[b]; });
    std::size_t first = 0;
    while (first < order.size()) {
        std::size_t last = first;
        double sum = 0;
        while (last < order.size() && centres[order[last]] - centres[order[first]] <= 0.25) sum += centres[order[last++]];
        const int row = int(std::floor(sum / double(last - first)));
        for (std::size_t k = first; k < last; ++k) cells[order[k]].y = row;
        first = last;
    }
}

}  // namespace

std::vector<CellBox> LayoutCells(const std::vector<RECT>& controls, const RECT& client, CellSize cell) {
    std::vector<CellBox> cells;
    std::vector<double> centres;
    std::vector<bool> oneRow;
    cells.reserve(controls.size());
    for (const RECT& r : controls) {
        bool single = false;
        cells.push_back(ToCells(r, client, cell, single));
        oneRow.push_back(single);
        centres.push_back((double(r.top + r.bottom) / 2.0 - double(client.top)) / double(cell.height));
    }
    PlaceRows(cells, centres, oneRow);
    return cells;
}

namespace {

// Text centred in a field of `width` characters.
std::wstring Centre(std::wstring_view text, int width) {
    if (width <= 0) return {};
    std::wstring t(text.substr(0, std::size_t(width)));
    const int pad = width - int(t.size());
    return std::wstring(std::size_t(pad / 2), L' ') + t + std::wstring(std::size_t(pad - pad / 2), L' ');
}

// "[" + text padded to the field + tail + "]", within `width` characters.
std::wstring Field(wchar_t open, std::wstring_view text, std::wstring_view tail, wchar_t close, int width) {
    const int inner = std::max(0, width - 2 - int(tail.size()));
    std::wstring t(text.substr(0, std::size_t(inner)));
    t.resize(std::size_t(inner), L' ');
    return std::wstring(1, open) + t + std::wstring(tail) + std::wstring(1, close);
}

std::wstring CheckMark(int check) {
    if (check == BST_CHECKED) return L"x";
    if (check == BST_INDETERMINATE) return L"-";
    return L" ";
}

void DrawButton(Grid& g, const WindowView& v, const Cells& c, bool disabled) {
    const std::wstring caption = StripMnemonics(v.text);
    const DWORD type = v.style & BS_TYPEMASK;
    const wchar_t open = disabled ? L'{' : L'[';
    const wchar_t close = disabled ? L'}' : L']';
    switch (type) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            if (v.style & BS_PUSHLIKE) break;
            g.Text(c.x, c.y, std::wstring(1, open) + CheckMark(v.check) + close + L" " + caption, c.w);
            return;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            if (v.style & BS_PUSHLIKE) break;
            g.Text(c.x, c.y,
                   std::wstring(1, disabled ? L'{' : L'(') + (v.check == BST_CHECKED ? L"o" : L" ") +
                       (disabled ? L'}' : L')') + L" " + caption,
                   c.w);
            return;
        case BS_GROUPBOX: {
            const int x1 = c.x + c.w - 1;
            const int y1 = c.y + std::max(1, c.h - 1);
            g.Box(c.x, c.y, x1, y1);
            const std::wstring title = disabled ? L"{" + caption + L"}" : caption;
            if (!title.empty()) g.Text(c.x + 2, c.y, L" " + title + L" ", std::max(0, c.w - 3));
            return;
        }
        default:
            break;
    }
    // Push buttons (and push-like check boxes and radio buttons, shown pushed when checked).
    const bool isDefault = v.isDefaultButton || type == BS_DEFPUSHBUTTON;
    std::wstring text = caption;
    if ((v.style & BS_PUSHLIKE) && v.check == BST_CHECKED) text = L"*" + text + L"*";
    std::wstring open2 = disabled ? L"{" : (isDefault ? L"<<" : L"<");
    std::wstring close2 = disabled ? L"}" : (isDefault ? L">>" : L">");
    const int inner = std::max(int(text.size()), c.w - int(open2.size() + close2.size()));
    g.Text(c.x, c.y, open2 + Centre(text, inner) + close2, std::max(c.w, int(text.size() + open2.size() + close2.size())));
}

void DrawEdit(Grid& g, const WindowView& v, const Cells& c, bool disabled) {
    const wchar_t open = disabled ? L'{' : L'[';
    const wchar_t close = disabled ? L'}' : L']';
    std::wstring text = v.text;
    if (v.style & ES_PASSWORD) text.assign(text.size(), L'*');
    if ((v.style & ES_MULTILINE) && c.h > 1) {
        const auto lines = Wrap(text, std::max(1, c.w - 2));
        for (int row = 0; row < c.h; ++row) {
            const std::wstring line = row < int(lines.size()) ? lines[std::size_t(row)] : std::wstring();
            g.Text(c.x, c.y + row, Field(open, line, L"", close, c.w), c.w);
        }
        return;
    }
    std::wstring shown = text;
    const int inner = std::max(0, c.w - 2);
    if (v.style & ES_RIGHT && int(shown.size()) < inner) shown = std::wstring(std::size_t(inner) - shown.size(), L' ') + shown;
    g.Text(c.x, c.y, Field(open, shown, L"", close, std::max(c.w, 3)), std::max(c.w, 3));
}

// The system icons by their resource names; any other icon is "(i)".
std::wstring IconMark(const std::wstring& name) {
    if (name == L"#32513") return L"(x)";
    if (name == L"#32514") return L"(?)";
    if (name == L"#32515") return L"(!)";
    return L"(i)";
}

void DrawStatic(Grid& g, const WindowView& v, const Cells& c, bool disabled) {
    const DWORD type = v.style & SS_TYPEMASK;
    switch (type) {
        case SS_ICON:
            g.Text(c.x, c.y, IconMark(v.text), std::max(c.w, 3));
            return;
        case SS_BITMAP:
            g.Text(c.x, c.y, L"(#)", std::max(c.w, 3));
            return;
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT:
        case SS_OWNERDRAW:
            return;
        case SS_BLACKFRAME:
        case SS_GRAYFRAME:
        case SS_WHITEFRAME:
        case SS_ETCHEDFRAME:
            if (c.h > 1) g.Box(c.x, c.y, c.x + c.w - 1, c.y + c.h - 1);
            else g.HLine(c.x, c.x + c.w - 1, c.y, L'-');
            return;
        case SS_ETCHEDHORZ:
            g.HLine(c.x, c.x + c.w - 1, c.y, L'-');
            return;
        case SS_ETCHEDVERT:
            for (int y = c.y; y < c.y + c.h; ++y) g.Put(c.x, y, L'|');
            return;
        default:
            break;
    }
    std::wstring text = (v.style & SS_NOPREFIX) ? v.text : StripMnemonics(v.text);
    // A disabled label is put in braces, starting one column early when that column is free,
    // so that the text stays where it is.
    int left = c.x;
    if (disabled && !text.empty()) {
        text = L"{" + text + L"}";
        if (g.At(c.x - 1, c.y) == L' ') left = c.x - 1;
    }
    // Text wider than the control still shows: a label is often drawn a little narrow.
    const int width = std::max(c.w, 1);
    const auto lines = (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE || c.h <= 1)
                           ? std::vector<std::wstring>{text}
                           : Wrap(text, width);
    for (int row = 0; row < int(lines.size()) && row < std::max(1, c.h); ++row) {
        const std::wstring& line = lines[std::size_t(row)];
        int x = left;
        if (type == SS_CENTER && int(line.size()) < width) x += (width - int(line.size())) / 2;
        if (type == SS_RIGHT && int(line.size()) < width) x += width - int(line.size());
        g.Text(x, c.y + row, line);
    }
}

void DrawCombo(Grid& g, const WindowView& v, const Cells& c, bool disabled) {
    const DWORD type = v.style & 0x3;
    std::wstring text;
    if (type == CBS_DROPDOWNLIST) {
        if (v.selection >= 0 && v.selection < int(v.items.size())) text = v.items[std::size_t(v.selection)].text;
    } else {
        text = v.text;
    }
    g.Text(c.x, c.y, Field(disabled ? L'{' : L'[', text, L" v", disabled ? L'}' : L']', std::max(c.w, 5)),
           std::max(c.w, 5));
}

struct Corner {
    int x, y;
};

// The cleared, framed box of a list or grid over the control's cells, at least minWidth by
// minHeight; a disabled one shows "{" and "}" at its corners. Returns its bottom right corner.
Corner DrawFramedBox(Grid& g, const Cells& c, bool disabled, int minWidth, int minHeight) {
    const int x1 = c.x + std::max(c.w, minWidth) - 1;
    const int y1 = c.y + std::max(c.h, minHeight) - 1;
    g.Clear(c.x, c.y, x1, y1);
    g.Box(c.x, c.y, x1, y1);
    if (disabled) {
        g.Put(c.x, c.y, L'{');
        g.Put(x1, y1, L'}');
    }
    return Corner{x1, y1};
}

void DrawList(Grid& g, const WindowView& v, const Cells& c, bool disabled) {
    const auto [x1, y1] = DrawFramedBox(g, c, disabled, 4, 3);
    int row = c.y + 1;
    const int inner = x1 - c.x - 1;
    if (!v.columns.empty()) {
        std::wstring header;
        for (const auto& column : v.columns) header += (header.empty() ? L" " : L" | ") + column;
        g.Text(c.x + 1, row++, header, inner);
    }
    const int rows = y1 - row;
    const int count = int(v.items.size());
    for (int i = 0; i < count && i < rows; ++i) {
        const auto& item = v.items[std::size_t(i)];
        const bool selected = item.selected || i == v.selection;
        std::wstring line = selected ? L">" : L" ";
        line += item.text;
        for (const auto& sub : item.subItems) line += L" | " + sub;
        g.Text(c.x + 1, row + i, line, inner);
    }
    if (count > rows && rows > 0) g.Text(x1 - 4, y1, L"...", 3);
}

void DrawTabs(Grid& g, const WindowView& v, const Cells& c, bool disabled) {
    std::wstring line;
    for (int i = 0; i < int(v.items.size()); ++i) {
        const std::wstring text = StripMnemonics(v.items[std::size_t(i)].text);
        if (i == v.selection) line += (disabled ? L"{" : L"[") + text + (disabled ? L"}" : L"]");
        else line += L" " + text + L" ";
    }
    g.Text(c.x, c.y, line, c.w);
    if (c.h > 2) g.HLine(c.x, c.x + c.w - 1, c.y + 1, L'-');
}

// A property grid: a frame with one line per row (">" before the selected one, "-"/"+" before
// an expanded/collapsed category, an editable value as [value  v], a read-only one bare), the
// open list of choices under the selected row, and the help pane at the bottom.
void DrawPropertyGrid(Grid& g, const WindowView& v, const Cells& c, bool disabled, CellSize cell) {
    const auto [x1, y1] = DrawFramedBox(g, c, disabled, 12, 4);
    const int inner = x1 - c.x - 1;
    const int rowHeight = std::max(1, v.gridRowHeight);
    const int helpRows = v.gridHelpVisible ? std::max(1, RoundDiv(v.gridHelpHeight, rowHeight)) : 0;
    const int helpTop = v.gridHelpVisible ? std::max(c.y + 1, y1 - helpRows - 1) : y1;
    const int split = std::clamp(RoundDiv(v.gridSplit, std::max(1, cell.width)), 1, inner * 2 / 5);
    const int rows = helpTop - c.y - 1;
    const int count = int(v.gridRows.size());
    int selectedLine = -1;
    for (int i = 0; i < rows && v.gridTop + i < count; ++i) {
        const int index = v.gridTop + i;
        const auto& r = v.gridRows[std::size_t(index)];
        std::wstring line = index == v.selection ? L">" : L" ";
        if (index == v.selection) selectedLine = c.y + 1 + i;
        line += std::wstring(std::size_t(2 * r.depth), L' ');
        if (r.expandable) line += r.expanded ? L"- " : L"+ ";
        line += r.caption;
        if (!r.category) {
            line.resize(std::size_t(std::max(split, int(line.size()) + 1)), L' ');
            line.resize(std::size_t(split), L' ');
            line += L"|";
            const int width = inner - split - 1;
            line += r.readOnly || disabled ? L" " + r.value : Field(L'[', r.value, L" v", L']', width);
        }
        g.Text(c.x + 1, c.y + 1 + i, line, inner);
    }
    if (count - v.gridTop > rows && rows > 0) g.Text(x1 - 4, helpTop, L"...", 3);
    if (v.gridHelpVisible && helpTop < y1) {
        g.HLine(c.x + 1, x1 - 1, helpTop, L'-');
        g.Put(c.x, helpTop, L'+');
        g.Put(x1, helpTop, L'+');
        if (v.selection >= 0 && v.selection < count) {
            const auto& r = v.gridRows[std::size_t(v.selection)];
            std::vector<std::wstring> lines{r.caption};
            for (auto& line : Wrap(r.description, inner - 2)) lines.push_back(std::move(line));
            for (int i = 0; i < int(lines.size()) && helpTop + 1 + i < y1; ++i)
                g.Text(c.x + 2, helpTop + 1 + i, lines[std::size_t(i)], inner - 2);
        }
    }
    if (v.gridDropped && selectedLine >= 0 && v.selection < count) {
        const auto& choices = v.gridRows[std::size_t(v.selection)].choices;
        const int lx = c.x + 1 + split + 1;
        const int lx1 = x1 - 1;
        const int ly1 = selectedLine + int(choices.size()) + 1;
        g.Clear(lx, selectedLine + 1, lx1, ly1);
        g.Box(lx, selectedLine + 1, lx1, ly1);
        for (int i = 0; i < int(choices.size()); ++i)
            g.Text(lx + 1, selectedLine + 2 + i, (i == v.gridHighlight ? L">" : L" ") + choices[std::size_t(i)],
                   lx1 - lx - 1);
    }
}

// Draws what the window view says; unknown classes as their class name in brackets.
void DrawControl(Grid& g, const WindowView& v, const Cells& c, CellSize cell) {
    const bool disabled = !v.enabled;
    if (IsWindowClass(v.className, L"Button")) return DrawButton(g, v, c, disabled);
    if (IsWindowClass(v.className, L"Edit")) return DrawEdit(g, v, c, disabled);
    if (IsWindowClass(v.className, L"Static")) return DrawStatic(g, v, c, disabled);
    if (IsWindowClass(v.className, L"ComboBox") || IsWindowClass(v.className, L"ComboBoxEx32"))
        return DrawCombo(g, v, c, disabled);
    if (IsWindowClass(v.className, L"ListBox") || IsWindowClass(v.className, L"SysListView32"))
        return DrawList(g, v, c, disabled);
    if (IsWindowClass(v.className, L"SysTabControl32")) return DrawTabs(g, v, c, disabled);
    if (IsWindowClass(v.className, L"OrvPropertyGrid")) return DrawPropertyGrid(g, v, c, disabled, cell);
    if (IsWindowClass(v.className, L"msctls_updown32")) {
        g.Text(c.x, c.y, disabled ? L"{^v}" : L"^v", c.w + 1);
        return;
    }
    if (IsWindowClass(v.className, L"ScrollBar")) {
        g.HLine(c.x, c.x + c.w - 1, c.y, L'#');
        return;
    }
    if (IsWindowClass(v.className, L"#32770")) return;  // a child dialog: its controls are drawn
    std::wstring text = L"?" + v.className;
    if (!v.text.empty()) text += L" " + v.text;
    g.Text(c.x, c.y, Field(disabled ? L'{' : L'[', text, L"", disabled ? L'}' : L']', c.w), c.w);
}

// A self-painted control from its display list: rectangles as frames, lines of pen width 2 or
// more as "*", texts as they are.
class GridSink : public PictureSink {
public:
    explicit GridSink(Grid& g) : g_(g) {}
    void Frame(int x0, int y0, int x1, int y1, const orv::win::DrawOp&) override { g_.Box(x0, y0, x1, y1); }
    void Char(int x, int y, wchar_t ch, const orv::win::DrawOp&) override { g_.Put(x, y, ch); }
    bool LinePoint(int x, int y, int, int, unsigned through, const orv::win::DrawOp& op) override {
        if (op.kind == orv::win::DrawKind::Rectangle || op.pen.width < 2) return false;
        g_.Put(x, y, L'*');
        return through != 0;
    }

private:
    Grid& g_;
};

void DrawPicture(Grid& g, const WindowView& v, const Cells& c, CellSize cell, const orv::win::DisplayList& picture) {
    GridSink sink(g);
    orv::text::DrawPicture(sink, v, c, c, cell, picture);
}

// The window frame around a client grid: title row, separator, client rows.
std::string Framed(const std::wstring& title, bool closeBox, const Grid& client) {
    const int cols = client.Width();
    const int rows = client.Height();
    // One column of margin inside the frame, a title row and a separator above the client area.
    Grid g(cols + 4, rows + 4);
    g.Box(0, 0, cols + 3, rows + 3);
    g.HLine(1, cols + 2, 2, L'-');
    g.Put(0, 2, L'+');
    g.Put(cols + 3, 2, L'+');
    g.Text(2, 1, title, cols - (closeBox ? 3 : 0));
    if (closeBox) g.Text(cols, 1, L"[X]");
    g.Blit(client, 2, 3);
    return g.Lines();
}

std::wstring MessageBoxIcon(UINT icon) {
    switch (icon & MB_ICONMASK) {
        case MB_ICONHAND: return L"(x)";
        case MB_ICONQUESTION: return L"(?)";
        case MB_ICONEXCLAMATION: return L"(!)";
        case MB_ICONASTERISK: return L"(i)";
        default: return L"";
    }
}

std::wstring MessageBoxIconName(UINT icon) {
    switch (icon & MB_ICONMASK) {
        case MB_ICONHAND: return L"#32513";
        case MB_ICONQUESTION: return L"#32514";
        case MB_ICONEXCLAMATION: return L"#32515";
        default: return L"#32516";
    }
}

// A message box that the kernel shows without child controls: icon, text, buttons.
std::string RenderMessageBox(const WindowView& window) {
    const auto& box = window.messageBox;
    const std::wstring icon = MessageBoxIcon(box.icon);
    std::vector<std::wstring> labels;
    for (int id : box.buttons) {
        static const wchar_t* const kNames[] = {L"", L"OK", L"Cancel", L"Abort", L"Retry", L"Ignore",
                                                L"Yes", L"No", L"Close", L"Help"};
        const std::wstring name = id >= 1 && id <= 9 ? kNames[id] : std::to_wstring(id);
        labels.push_back(id == box.defaultButton ? L"<<" + name + L">>" : L"<" + name + L">");
    }
    std::wstring buttons;
    for (const auto& label : labels) buttons += (buttons.empty() ? L"" : L"  ") + label;
    const auto lines = Wrap(box.text.empty() ? window.text : box.text, 60);
    const int indent = icon.empty() ? 0 : int(icon.size()) + 1;
    int width = int(buttons.size());
    for (const auto& line : lines) width = std::max(width, int(line.size()) + indent);
    const std::wstring& caption = box.caption.empty() ? window.text : box.caption;
    width = std::max(width, int(caption.size()));
    Grid g(width, int(lines.size()) + 2);
    int row = 0;
    for (const auto& line : lines) {
        if (row == 0 && !icon.empty()) g.Text(0, row, icon);
        g.Text(indent, row++, line);
    }
    g.Text((width - int(buttons.size())) / 2, row + 1, buttons);
    return Framed(caption, false, g);
}

std::string FocusLine(const std::vector<WindowView>& descendants) {
    for (const auto& v : descendants) {
        if (!v.focused) continue;
        std::wstring text = L"focus: " + std::to_wstring(v.id) + L" " + v.className;
        const std::wstring caption = StripMnemonics(v.text);
        if (!caption.empty() && !IsWindowClass(v.className, L"Edit")) text += L" \"" + caption + L"\"";
        return orv::WideToUtf8(text) + '\n';
    }
    return {};
}

}  // namespace

std::wstring StripMnemonics(std::wstring_view caption, int* mnemonic) {
    std::wstring out;
    if (mnemonic) *mnemonic = -1;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&') {
            if (i + 1 < caption.size() && caption[i + 1] == L'&') {
                out += L'&';
                ++i;
            } else if (i + 1 < caption.size() && mnemonic && *mnemonic < 0) {
                *mnemonic = int(out.size());
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

std::string RenderSnapshot(const WindowView& window, const std::vector<WindowView>& descendants, CellSize cell,
                           const std::vector<const orv::win::DisplayList*>& pictures) {
    if (cell.width <= 0) cell.width = 1;
    if (cell.height <= 0) cell.height = 1;
    if (window.isMessageBox && descendants.empty()) return RenderMessageBox(window);

    const RECT& client = window.clientRect;
    const int cols = std::max(RoundDiv(client.right - client.left, cell.width), 1);
    const int rows = std::max(RoundDiv(client.bottom - client.top, cell.height), 1);
    std::vector<WindowView> shown;
    std::vector<const orv::win::DisplayList*> shownPictures;
    std::vector<RECT> rects;
    for (std::size_t i = 0; i < descendants.size(); ++i) {
        const WindowView& v = descendants[i];
        if (!v.reallyVisible) continue;
        shown.push_back(v);
        shownPictures.push_back(i < pictures.size() ? pictures[i] : nullptr);
        // A message box's icon is named by the box, not by the static that shows it.
        if (window.isMessageBox && IsWindowClass(v.className, L"Static") && (v.style & SS_TYPEMASK) == SS_ICON)
            shown.back().text = MessageBoxIconName(window.messageBox.icon);
        rects.push_back(v.windowRect);
    }
    const std::vector<Cells> cells = LayoutCells(rects, client, cell);
    Grid g(cols, rows);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shownPictures[i] && !shownPictures[i]->ops.empty()) DrawPicture(g, shown[i], cells[i], cell, *shownPictures[i]);
        else DrawControl(g, shown[i], cells[i], cell);
    }
    std::wstring title = window.text;
    if (!window.enabled) title = L"{" + title + L"}";
    return Framed(title, (window.style & WS_SYSMENU) != 0, g) + FocusLine(descendants);
}

}  // namespace orv::text
