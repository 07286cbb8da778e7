// Drawing the kernel's window stack as character cells.

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <vector>

#include "platform/drivers/terminal/TermUi.h"
#include "platform/drivers/text/PictureCells.h"
#include "platform/drivers/text/TextSnapshot.h"
#include "platform/win/Gdi.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"
#include "platform/win/WinMessages.h"
#include "platform/win/WinStyles.h"

namespace orv::term {

using orv::win::IsWindowClass;
using orv::win::WindowView;

std::string TooSmallMessage(int columns, int rows) {
    return "The terminal is " + std::to_string(columns) + " x " + std::to_string(rows) + "; the dialogs need at least " +
           std::to_string(kMinColumns) + " x " + std::to_string(kMinRows) + ".";
}

namespace {

int RoundDiv(long value, int by) { return int(value >= 0 ? (value + by / 2) / by : -((-value + by / 2) / by)); }
int FloorDiv(long value, int by) { return int(value >= 0 ? value / by : -((-value + by - 1) / by)); }


// A wrapped line: its text and where it starts in the source.
struct Line {
    std::wstring text;
    std::size_t start = 0;
};

// Lines that fit `width` columns, broken at blanks where possible and at line breaks.
std::vector<Line> Wrap(std::wstring_view text, int width) {
    std::vector<Line> lines;
    if (width <= 0) width = 1;
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = text.find(L'\n', pos);
        if (end == std::wstring_view::npos) end = text.size();
        std::size_t paraEnd = end;
        if (paraEnd > pos && text[paraEnd - 1] == L'\r') --paraEnd;
        std::size_t s = pos;
        if (s == paraEnd) lines.push_back({L"", s});
        while (s < paraEnd) {
            std::size_t n = paraEnd - s;
            if (int(n) <= width) {
                lines.push_back({std::wstring(text.substr(s, n)), s});
                break;
            }
            std::size_t cut = text.substr(s, std::size_t(width) + 1).rfind(L' ');
            if (cut == std::wstring_view::npos || cut == 0) cut = std::size_t(width);
            lines.push_back({std::wstring(text.substr(s, cut)), s});
            s += cut;
            while (s < paraEnd && text[s] == L' ') ++s;
        }
        if (end >= text.size()) break;
        pos = end + 1;
    }
    return lines;
}

std::wstring Fit(std::wstring text, int width) {
    if (width <= 0) return {};
    if (int(text.size()) > width) text.resize(std::size_t(width));
    text.resize(std::size_t(width), L' ');
    return text;
}

std::wstring CentreIn(std::wstring_view text, int width) {
    std::wstring t(text.substr(0, std::size_t(std::max(0, width))));
    const int pad = std::max(0, width - int(t.size()));
    return std::wstring(std::size_t(pad / 2), L' ') + t + std::wstring(std::size_t(pad - pad / 2), L' ');
}

// The word and mark shown for a message box's icon.
std::wstring IconWord(UINT icon) {
    switch (icon & MB_ICONMASK) {
    case MB_ICONHAND: return L"Error";
    case MB_ICONQUESTION: return L"Question";
    case MB_ICONEXCLAMATION: return L"Warning";
    default: return L"Info";
    }
}

UINT IconOfName(const std::wstring& name) {
    if (name == L"#32513") return MB_ICONHAND;
    if (name == L"#32514") return MB_ICONQUESTION;
    if (name == L"#32515") return MB_ICONEXCLAMATION;
    return MB_ICONASTERISK;
}

std::wstring IconMark(UINT icon) {
    switch (icon & MB_ICONMASK) {
    case MB_ICONHAND: return L"(x)";
    case MB_ICONQUESTION: return L"(?)";
    case MB_ICONEXCLAMATION: return L"(!)";
    default: return L"(i)";
    }
}

// The terminal colour nearest a window colour: black, white and greys keep the terminal's own.
std::uint8_t ColorOf(COLORREF color) {
    const int r = int(color & 0xFF), gr = int((color >> 8) & 0xFF), b = int((color >> 16) & 0xFF);
    const int high = std::max({r, gr, b}), low = std::min({r, gr, b});
    if (high - low < 64) return 0;
    const int bits = (r * 2 > high ? 1 : 0) | (gr * 2 > high ? 2 : 0) | (b * 2 > high ? 4 : 0);
    return ColorAttr(bits);  // curses numbers its colours red 1, green 2, blue 4 and their mixtures
}

// Draws a painted window's picture into the canvas: frames and horizontal or vertical lines in
// line-drawing characters (where they meet, joined), other lines as braille dots (two across and
// four down a cell), dotted lines (a grid) as a dim "·" where they cross and nothing else is,
// all in their colours.
// A line never covers a text or a frame.
class CanvasSink : public orv::text::PictureSink {
public:
    CanvasSink(Canvas& g, std::uint8_t base, const CellRect& clip)
        : g_(g), base_(base), clip_(clip), marks_(std::size_t(std::max(0, clip.w) * std::max(0, clip.h))) {}

    int SubColumns() const override { return 2; }
    int SubRows() const override { return 4; }
    bool KeepsTextInside() const override { return true; }
    int Characters() const { return characters_; }

    void Frame(int x0, int y0, int x1, int y1, const orv::win::DrawOp& op) override {
        g_.Box(CellRect{x0, y0, x1 - x0 + 1, y1 - y0 + 1}, base_ | ColorOf(op.pen.color));
        for (int x = x0; x <= x1; ++x) At(x, y0).kind = At(x, y1).kind = Kind::Frame;
        for (int y = y0; y <= y1; ++y) At(x0, y).kind = At(x1, y).kind = Kind::Frame;
    }
    void Char(int x, int y, wchar_t ch, const orv::win::DrawOp& op) override {
        At(x, y).kind = Kind::Text;
        g_.Put(x, y, ch, base_ | ColorOf(op.textColor));
        ++characters_;
    }
    bool LinePoint(int x, int y, int subX, int subY, unsigned through, const orv::win::DrawOp& op) override {
        Mark& m = At(x, y);
        if (m.kind == Kind::Frame || m.kind == Kind::Text) return false;
        const std::uint8_t attr = base_ | ColorOf(op.pen.color);
        if (op.pen.style != PS_SOLID) {
            // A grid: a dot where its lines cross.
            if (m.kind != Kind::None && m.kind != Kind::Dotted) return false;
            m.kind = Kind::Dotted;
            m.bits = std::uint8_t(m.bits | through);
            const unsigned across = orv::text::kLineLeft | orv::text::kLineRight;
            const unsigned down = orv::text::kLineUp | orv::text::kLineDown;
            if ((m.bits & across) && (m.bits & down)) g_.Put(x, y, L'\u00B7', attr | kAttrDim);
            return false;
        }
        if (through) {
            if (m.kind != Kind::Straight) m.bits = 0;
            m.kind = Kind::Straight;
            m.bits = std::uint8_t(m.bits | through);
            g_.Put(x, y, LineChar(m.bits), attr);
            return true;
        }
        if (m.kind == Kind::Straight) return false;
        if (m.kind != Kind::Dots) m.bits = 0;
        m.kind = Kind::Dots;
        // Braille dots 1-3 and 7 run down the left column, 4-6 and 8 down the right.
        static const std::uint8_t kDot[2][4] = {{0x01, 0x02, 0x04, 0x40}, {0x08, 0x10, 0x20, 0x80}};
        m.bits = std::uint8_t(m.bits | kDot[std::clamp(subX, 0, 1)][std::clamp(subY, 0, 3)]);
        g_.Put(x, y, wchar_t(0x2800 + m.bits), attr);
        return false;
    }

private:
    enum class Kind : std::uint8_t { None, Frame, Text, Dotted, Straight, Dots };
    struct Mark {
        Kind kind = Kind::None;
        std::uint8_t bits = 0;  // Straight: the kLine* directions; Dots: the braille dots
    };

    Mark& At(int x, int y) {
        if (!clip_.Contains(x, y)) return outside_ = Mark{};
        return marks_[std::size_t((y - clip_.y) * clip_.w + (x - clip_.x))];
    }

    static wchar_t LineChar(unsigned d) {
        using namespace orv::text;
        const bool l = d & kLineLeft, r = d & kLineRight, u = d & kLineUp, dn = d & kLineDown;
        if ((l || r) && (u || dn)) {
            if (l && r && u && dn) return L'\u253C';
            if (l && r) return u ? L'\u2534' : L'\u252C';
            if (u && dn) return l ? L'\u2524' : L'\u251C';
            if (dn) return r ? L'\u250C' : L'\u2510';
            return r ? L'\u2514' : L'\u2518';
        }
        return (l || r) ? L'\u2500' : L'\u2502';
    }

    Canvas& g_;
    std::uint8_t base_;
    CellRect clip_;
    std::vector<Mark> marks_;
    Mark outside_;
    int characters_ = 0;
};

}  // namespace

bool MultipleSelection(const WindowView& v) {
    if (IsWindowClass(v.className, L"SysListView32")) return !(v.style & LVS_SINGLESEL);
    if (IsWindowClass(v.className, L"ListBox")) return (v.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
    return false;
}

// Columns of a list view within `width` cells (bars between them): as wide as their header and
// widest cell; when that does not fit, the widest columns give way first, and the last column
// takes what is left.
static std::vector<int> ColumnWidths(const WindowView& v, int width) {
    const std::size_t n = v.columns.size();
    std::vector<int> w(n, 1);
    for (std::size_t i = 0; i < n; ++i) w[i] = std::max(1, TextColumns(v.columns[i]));
    for (const auto& item : v.items) {
        if (n > 0) w[0] = std::max(w[0], TextColumns(item.text));
        for (std::size_t i = 0; i < item.subItems.size() && i + 1 < n; ++i)
            w[i + 1] = std::max(w[i + 1], TextColumns(item.subItems[i]));
    }
    const int room = std::max(int(n), width - int(n > 0 ? n - 1 : 0));
    auto total = [&] {
        int sum = 0;
        for (int x : w) sum += x;
        return sum;
    };
    while (total() > room) {
        auto widest = std::max_element(w.begin(), w.end());
        if (*widest <= 1) break;
        --*widest;
    }
    if (n > 0 && total() < room) w.back() += room - total();
    return w;
}

// Draws one window stack into a canvas; lives only for one Render.
struct Painter {
    TermUi& ui;
    Canvas& g;
    CursorPlace cursor;
    long ox = 0, oy = 0;  // the pixel shown at cell (0, 0)
    CellRect focusCells;  // the focused control's cells, once drawn

    CellRect ClientCells(const WindowView& v) const {
        CellRect c;
        c.x = RoundDiv(v.clientRect.left - ox, kCellWidth);
        c.y = RoundDiv(v.clientRect.top - oy, kCellHeight);
        c.w = std::max(1, RoundDiv(v.clientRect.right - ox, kCellWidth) - c.x);
        c.h = std::max(1, RoundDiv(v.clientRect.bottom - oy, kCellHeight) - c.y);
        return c;
    }

    static std::uint8_t Base(const WindowView& v) { return v.enabled ? 0 : kAttrDim; }

    void Descendants(HWND parent, std::vector<WindowView>& out) {
        for (HWND child : orv::win::ChildWindows(parent)) {
            WindowView v = orv::win::Inspect(child);
            if (!v.hwnd || !v.reallyVisible) continue;
            out.push_back(v);
            Descendants(child, out);
        }
    }

    // The cells of every shown descendant, in screen cells.
    void Layout(const WindowView& window, const CellRect& client, std::vector<WindowView>& shown,
                std::vector<CellRect>& cells) {
        Descendants(window.hwnd, shown);
        std::vector<RECT> rects;
        for (const auto& v : shown) rects.push_back(v.windowRect);
        for (const auto& c : orv::text::LayoutCells(rects, window.clientRect, orv::text::CellSize{kCellWidth, kCellHeight}))
            cells.push_back(CellRect{c.x, c.y, c.w, c.h});
        // A spin button set into its buddy's right edge goes just after the buddy's bracket, which
        // rounding to cells would otherwise cover.
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (!IsWindowClass(shown[i].className, L"msctls_updown32") || !shown[i].buddy) continue;
            for (std::size_t j = 0; j < shown.size(); ++j)
                if (shown[j].hwnd == shown[i].buddy && cells[j].y == cells[i].y && cells[i].x <= cells[j].Right() &&
                    cells[i].x > cells[j].x)
                    cells[i].x = cells[j].Right() + 1;
        }
        for (auto& c : cells) {
            c.x += client.x;
            c.y += client.y;
        }
    }

    // A message box is laid out afresh, centred where the kernel put it: its text wrapped to the
    // terminal, the icon as a mark and a word, the kernel's own buttons in a row below.
    void MessageBoxTop(const WindowView& v, bool active) {
        std::vector<WindowView> children;
        Descendants(v.hwnd, children);
        bool hasIcon = false;
        std::vector<WindowView> buttons;
        std::wstring text = v.messageBox.text;
        for (const auto& c : children) {
            if (IsWindowClass(c.className, L"Button")) buttons.push_back(c);
            else if (IsWindowClass(c.className, L"Static") && (c.style & SS_TYPEMASK) == SS_ICON) hasIcon = true;
            else if (IsWindowClass(c.className, L"Static") && text.empty()) text = c.text;
        }
        const std::wstring title = v.messageBox.caption.empty() ? v.text : v.messageBox.caption;
        const int iconCols = hasIcon ? 10 : 0;
        std::vector<int> widths;
        int buttonsWidth = 0;
        for (const auto& b : buttons) {
            int mnemonic = -1;
            widths.push_back(std::max(10, int(orv::text::StripMnemonics(b.text, &mnemonic).size()) + 4));
            buttonsWidth += widths.back() + (widths.size() > 1 ? 2 : 0);
        }
        const int areaH = g.Clip().h;
        const int maxInner = std::max(30, std::min(g.Width() - 6, 76));
        auto lines = Wrap(text, std::max(10, maxInner - 4 - iconCols));
        const int maxLines = std::max(1, areaH - 9);
        if (int(lines.size()) > maxLines) {
            lines.resize(std::size_t(maxLines));
            lines.back().text += L" …";
        }
        int longest = 0;
        for (const auto& line : lines) longest = std::max(longest, TextColumns(line.text));
        const int innerW = std::max({longest + iconCols, buttonsWidth, TextColumns(title) + 4, 20}) + 4;
        const int textRows = std::max(int(lines.size()), hasIcon ? 2 : 1);
        const int innerH = 1 + textRows + 1 + 1 + 1;
        const CellRect client = ClientCells(v);
        const int cx = client.x + client.w / 2, cy = client.y + client.h / 2;
        const int x0 = std::clamp(cx - innerW / 2, 1, std::max(1, g.Width() - innerW - 1));
        const int y0 = std::clamp(cy - innerH / 2, 1, std::max(1, areaH - innerH - 1));
        const CellRect frame{x0 - 1, y0 - 1, innerW + 2, innerH + 2};
        g.Fill(frame, L' ');
        g.Box(frame, active ? kAttrBold : 0);
        if (!title.empty()) g.Text(frame.x + 2, frame.y, L" " + title + L" ", active ? kAttrBold : 0, frame.w - 4);
        if (hasIcon) {
            g.Text(x0 + 2, y0 + 1, IconMark(v.messageBox.icon), kAttrBold);
            g.Text(x0 + 2, y0 + 2, IconWord(v.messageBox.icon), kAttrBold);
        }
        for (std::size_t i = 0; i < lines.size(); ++i) g.Text(x0 + 2 + iconCols, y0 + 1 + int(i), lines[i].text);
        int x = x0 + (innerW - buttonsWidth) / 2;
        const int row = y0 + 1 + textRows + 1;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            Button(buttons[i], CellRect{x, row, widths[i], 1});
            x += widths[i] + 2;
        }
        if (!active) g.AddAttr(frame, kAttrDim);
    }

    // The rows of a pop-up that would cover the field it is about, moved below the field, or
    // above it where there is no room below: its frame then touches neither the field nor its row.
    int AwayFromField(const CellRect& client, bool below) const {
        const CellRect frame{client.x - 1, client.y - 1, client.w + 2, client.h + 2};
        const bool overlaps = frame.x <= focusCells.Right() && focusCells.x <= frame.Right() && frame.y <= focusCells.Bottom() &&
                              focusCells.y <= frame.Bottom();
        if (focusCells.w <= 0 || !overlaps) return client.y;
        const int under = focusCells.Bottom() + 2, over = focusCells.y - 1 - client.h;
        const bool roomUnder = under + client.h <= g.Clip().Bottom(), roomOver = over - 1 >= g.Clip().y;
        if (below ? roomUnder || !roomOver : !roomOver && roomUnder) return under;
        return over;
    }

    // One top-level window; `popUp`: one shown over the active window (a balloon).
    void Top(const WindowView& v, bool active, bool popUp = false) {
        if (v.isMessageBox) return MessageBoxTop(v, active);
        CellRect client = ClientCells(v);
        if (popUp && (v.style & WS_CAPTION) != WS_CAPTION)
            client.y = AwayFromField(client, client.y + client.h / 2 >= focusCells.y + focusCells.h / 2);
        const CellRect frame{client.x - 1, client.y - 1, client.w + 2, client.h + 2};
        ui.drawn_[v.hwnd] = frame;
        g.Fill(frame, L' ');
        g.Box(frame, active ? kAttrBold : 0);
        // Only a window with a caption shows its title; a pop-up (a balloon) draws its own text.
        const std::wstring& title = v.text;
        if (!title.empty() && (v.style & WS_CAPTION) == WS_CAPTION)
            g.Text(frame.x + 2, frame.y, L" " + title + L" ", active ? kAttrBold : 0, frame.w - 4);

        std::vector<WindowView> shown;
        std::vector<CellRect> cells;
        Layout(v, client, shown, cells);
        g.SetClip(client);
        if (!IsWindowClass(v.className, L"#32770")) Painted(v, client, false);
        // Push buttons last, so that a label running on past its own rectangle never covers one.
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < shown.size(); ++i)
                if (IsPushButton(shown[i]) == (pass == 1)) Control(v, shown[i], cells[i]);
        g.ResetClip();
        if (!active) g.AddAttr(frame, kAttrDim);
        if (v.alpha < 160) g.AddAttr(frame, kAttrDim);
    }

    static bool IsPushButton(const WindowView& v) {
        if (!IsWindowClass(v.className, L"Button")) return false;
        const DWORD type = v.style & BS_TYPEMASK;
        return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || (v.style & BS_PUSHLIKE);
    }

    void Control(const WindowView& window, const WindowView& v, const CellRect& c) {
        ui.drawn_[v.hwnd] = c;
        if (v.focused) focusCells = c;
        const std::wstring& k = v.className;
        if (IsWindowClass(k, L"Button")) return Button(v, c);
        if (IsWindowClass(k, L"Edit")) return Edit(v, c);
        if (IsWindowClass(k, L"Static")) return Static(window, v, c);
        if (IsWindowClass(k, L"ComboBox") || IsWindowClass(k, L"ComboBoxEx32")) return Combo(v, c);
        if (IsWindowClass(k, L"ListBox") || IsWindowClass(k, L"SysListView32")) return List(v, c);
        if (IsWindowClass(k, L"SysTabControl32")) return Tabs(v, c);
        if (IsWindowClass(k, L"OrvPropertyGrid")) return Grid(v, c);
        if (IsWindowClass(k, L"msctls_updown32")) {
            g.Text(c.x, c.y, L"^v", Base(v) | (v.focused ? kAttrReverse : 0), std::max(2, c.w));
            return;
        }
        if (IsWindowClass(k, L"ScrollBar")) return;
        if (IsWindowClass(k, L"#32770")) return;  // a child dialog: its controls are drawn
        Painted(v, c, true);
    }

    void Button(const WindowView& v, const CellRect& c) {
        const DWORD type = v.style & BS_TYPEMASK;
        const std::uint8_t base = Base(v);
        const std::uint8_t focus = v.focused ? kAttrReverse : 0;
        const bool pushLike = (v.style & BS_PUSHLIKE) != 0;
        switch (type) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            if (pushLike) break;
            {
                const wchar_t* mark = v.check == BST_CHECKED ? L"[x]" : v.check == BST_INDETERMINATE ? L"[-]" : L"[ ]";
                g.Text(c.x, c.y, mark, base | focus);
                g.Caption(c.x + 4, c.y, v.text, base, std::max(0, c.w - 4));
            }
            return;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            if (pushLike) break;
            g.Text(c.x, c.y, v.check == BST_CHECKED ? L"(*)" : L"( )", base | focus);
            g.Caption(c.x + 4, c.y, v.text, base, std::max(0, c.w - 4));
            return;
        case BS_GROUPBOX: {
            CellRect box = c;
            box.h = std::max(2, c.h);
            g.Box(box, base);
            if (!v.text.empty()) {
                g.Put(c.x + 1, c.y, L' ', base);
                const int n = g.Caption(c.x + 2, c.y, v.text, base, std::max(0, c.w - 4));
                g.Put(c.x + 2 + n, c.y, L' ', base);
            }
            return;
        }
        case BS_OWNERDRAW: Painted(v, c, true); return;
        default: break;
        }
        // Push buttons: "< OK >", the default one "<<OK>>" in bold.
        const bool isDefault = v.isDefaultButton;
        int mnemonic = -1;
        std::wstring caption = orv::text::StripMnemonics(v.text, &mnemonic);
        if (pushLike && v.check == BST_CHECKED) {
            caption = L"*" + caption + L"*";
            if (mnemonic >= 0) ++mnemonic;
        }
        // A caption that leaves no room for the spaces goes between single brackets, so the
        // button keeps to its own cells.
        const bool cramped = int(caption.size()) + 4 > c.w;
        const int edge = cramped ? 1 : 2;
        const int width = std::max(c.w, int(caption.size()) + 2 * edge);
        const std::wstring inner = CentreIn(caption, width - 2 * edge);
        const std::uint8_t attr = base | focus | (isDefault ? kAttrBold : 0);
        g.Text(c.x, c.y, cramped ? L"<" : isDefault ? L"<<" : L"< ", attr);
        g.Text(c.x + edge, c.y, inner, attr);
        g.Text(c.x + width - edge, c.y, cramped ? L">" : isDefault ? L">>" : L" >", attr);
        if (mnemonic >= 0) {
            const int lead = int(inner.size() - caption.size()) / 2;
            const int x = c.x + edge + lead + mnemonic;
            g.Put(x, c.y, caption[std::size_t(mnemonic)], attr | kAttrUnderline);
        }
    }

    void Edit(const WindowView& v, const CellRect& c) {
        const std::uint8_t base = Base(v);
        const std::uint8_t frame = base | (v.focused ? kAttrReverse | kAttrBold : 0);
        const std::uint8_t color = ColorOf(v.textColor);
        const std::uint8_t field = base | (v.readOnly ? 0 : kAttrUnderline) | color;
        // Without colours a coloured entry is marked where its opening bracket goes.
        const wchar_t open = color && !ui.colors_ ? L'!' : L'[';
        std::wstring text = v.text;
        if (v.style & ES_PASSWORD) text.assign(text.size(), L'*');
        const int inner = std::max(1, c.w - 2);
        const int selStart = std::clamp(v.selStart, 0, int(text.size()));
        const int selEnd = std::clamp(v.selEnd, 0, int(text.size()));
        if ((v.style & ES_MULTILINE) && c.h > 1) {
            const auto lines = Wrap(text, inner);
            int caretLine = 0;
            for (std::size_t i = 0; i < lines.size(); ++i)
                if (std::size_t(selEnd) >= lines[i].start) caretLine = int(i);
            const int first = std::max(0, caretLine - c.h + 1);
            for (int row = 0; row < c.h; ++row) {
                const int index = first + row;
                g.Put(c.x, c.y + row, open, frame);
                g.Put(c.x + inner + 1, c.y + row, L']', frame);
                std::wstring line = index < int(lines.size()) ? lines[std::size_t(index)].text : L"";
                g.Text(c.x + 1, c.y + row, Fit(line, inner), field, inner);
                if (index < int(lines.size())) SelectionAttr(lines[std::size_t(index)].start, line.size(), 0, selStart, selEnd, v,
                                                             c.x + 1, c.y + row, inner);
            }
            if (v.focused && caretLine - first < c.h && caretLine < int(lines.size())) {
                const auto& line = lines[std::size_t(caretLine)];
                const int col = TextColumns(std::wstring_view(text).substr(line.start, std::size_t(selEnd) - line.start));
                PlaceCursor(c.x + 1 + std::min(col, inner - 1), c.y + caretLine - first);
            }
            return;
        }
        // One line: scrolled so that the caret shows. A whole selection (as Tab into the field
        // makes it) shows the beginning, as a person reads a value.
        const bool wholeSelected = selStart == 0 && selEnd == int(text.size()) && selEnd > 0;
        std::size_t start = 0;
        if (v.focused && !wholeSelected && selEnd >= inner) start = std::size_t(selEnd - inner + 1);
        std::wstring shown = text.substr(std::min(start, text.size()));
        if ((v.style & ES_RIGHT) && int(shown.size()) < inner) shown = std::wstring(std::size_t(inner) - shown.size(), L' ') + shown;
        const int shift = int(shown.size()) - int(text.size() - std::min(start, text.size()));
        g.Put(c.x, c.y, open, frame);
        g.Text(c.x + 1, c.y, Fit(shown, inner), field, inner);
        g.Put(c.x + inner + 1, c.y, L']', frame);
        SelectionAttr(start, text.size() - std::min(start, text.size()), shift, selStart, selEnd, v, c.x + 1, c.y, inner);
        if (v.focused && wholeSelected) {
            PlaceCursor(c.x + 1 + shift, c.y);
        } else if (v.focused) {
            const int col = TextColumns(std::wstring_view(text).substr(start, std::size_t(selEnd) - std::min<std::size_t>(start, selEnd)));
            PlaceCursor(c.x + 1 + shift + std::min(col, inner - 1), c.y);
        }
    }

    // Reverses the selected characters of a focused edit that are shown from `from` at (x, y).
    void SelectionAttr(std::size_t from, std::size_t count, int shift, int selStart, int selEnd, const WindowView& v,
                       int x, int y, int inner) {
        if (!v.focused || selStart == selEnd) return;
        for (std::size_t i = 0; i < count; ++i) {
            const int index = int(from + i);
            const int col = shift + int(i);
            if (col >= inner) break;
            if (index >= selStart && index < selEnd) g.AddAttr(CellRect{x + col, y, 1, 1}, kAttrReverse);
        }
    }

    void PlaceCursor(int x, int y) {
        if (!g.Clip().Contains(x, y)) return;
        cursor.visible = true;
        cursor.x = x;
        cursor.y = y;
    }

    void Static(const WindowView& window, const WindowView& v, const CellRect& c) {
        const DWORD type = v.style & SS_TYPEMASK;
        const std::uint8_t base = Base(v) | ColorOf(v.textColor);
        // A static that another window procedure draws (a plot) shows what it draws.
        if (orv::text::PaintsItself(v.hwnd, v) && !ui.Picture(v.hwnd).ops.empty())
            return Painted(v, c, (v.style & WS_BORDER) != 0);
        switch (type) {
        case SS_ICON: {
            const UINT icon = window.isMessageBox ? window.messageBox.icon : IconOfName(v.text);
            g.Text(c.x, c.y, IconMark(icon), base | kAttrBold);
            g.Text(c.x, c.y + 1, IconWord(icon), base | kAttrBold, std::max(c.w + 2, 4));
            return;
        }
        case SS_BITMAP: g.Text(c.x, c.y, L"(#)", base); return;
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT: return;
        case SS_OWNERDRAW: Painted(v, c, true); return;
        case SS_BLACKFRAME:
        case SS_GRAYFRAME:
        case SS_WHITEFRAME:
        case SS_ETCHEDFRAME: g.Box(c, base); return;
        case SS_ETCHEDHORZ: g.Box(CellRect{c.x, c.y, c.w, 1}, base); return;
        case SS_ETCHEDVERT: g.Box(CellRect{c.x, c.y, 1, c.h}, base); return;
        default: break;
        }
        int mnemonic = -1;
        const std::wstring text = (v.style & SS_NOPREFIX) ? v.text : orv::text::StripMnemonics(v.text, &mnemonic);
        const int width = std::max(c.w, 1);
        std::vector<Line> lines;
        if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE || c.h <= 1) {
            // One row; text wider than the control still shows, as labels are often drawn narrow.
            std::wstring one = text;
            std::replace(one.begin(), one.end(), L'\n', L' ');
            lines.push_back({one, 0});
        } else {
            lines = Wrap(text, width);
        }
        for (int row = 0; row < int(lines.size()) && row < std::max(1, c.h); ++row) {
            const Line& line = lines[std::size_t(row)];
            int x = c.x;
            const int cols = TextColumns(line.text);
            if (type == SS_CENTER && cols < width) x += (width - cols) / 2;
            if (type == SS_RIGHT && cols < width) x += width - cols;
            g.Text(x, c.y + row, line.text, base);
            if (mnemonic >= int(line.start) && mnemonic < int(line.start + line.text.size()))
                g.AddAttr(CellRect{x + TextColumns(std::wstring_view(line.text).substr(0, std::size_t(mnemonic) - line.start)),
                                   c.y + row, 1, 1},
                          kAttrUnderline);
        }
    }

    // A cleared box over a control's cells, at least minW x minH, its frame bold when focused.
    CellRect FramedBox(const WindowView& v, const CellRect& c, int minW, int minH) {
        const CellRect box{c.x, c.y, std::max(c.w, minW), std::max(c.h, minH)};
        g.Fill(box, L' ');
        g.Box(box, Base(v) | (v.focused ? kAttrBold : 0));
        return box;
    }

    // A property grid: a frame of rows (categories in bold with -/+, captions and values in two
    // columns, read-only values dim, the selected row reversed), the open choice list under its
    // row and the help pane at the bottom.
    void Grid(const WindowView& v, const CellRect& c) {
        const std::uint8_t base = Base(v);
        const CellRect box = FramedBox(v, c, 12, 4);
        const int inner = box.w - 2;
        const int rowHeight = std::max(1, v.gridRowHeight);
        const int helpRows = v.gridHelpVisible ? std::max(1, (v.gridHelpHeight + rowHeight / 2) / rowHeight) : 0;
        const int helpTop = v.gridHelpVisible ? std::max(box.y + 1, box.Bottom() - helpRows - 1) : box.Bottom();
        const int split = std::clamp((v.gridSplit + kCellWidth / 2) / kCellWidth, 1, inner * 2 / 5);
        const int count = int(v.gridRows.size());
        int selectedLine = -1;
        for (int i = 0; box.y + 1 + i < helpTop && v.gridTop + i < count; ++i) {
            const int index = v.gridTop + i;
            const auto& r = v.gridRows[std::size_t(index)];
            const int y = box.y + 1 + i;
            const bool selected = index == v.selection;
            if (selected) selectedLine = y;
            std::wstring caption(std::size_t(2 * r.depth), L' ');
            caption += r.expandable ? (r.expanded ? L"- " : L"+ ") : L"";
            caption += r.caption;
            const std::uint8_t mark = selected && v.focused ? kAttrReverse : 0;
            if (r.category) {
                g.Text(box.x + 1, y, Fit(caption, inner), base | kAttrBold | mark, inner);
                continue;
            }
            g.Text(box.x + 1, y, Fit(caption, split), base | mark, split);
            g.Put(box.x + 1 + split, y, L'\u2502', base);
            const int width = inner - split - 1;
            g.Text(box.x + 2 + split, y, Fit(r.value, width - (r.readOnly ? 0 : 2)), base | (r.readOnly ? kAttrDim : 0),
                   width);
            if (!r.readOnly) g.Put(box.x + inner, y, L'v', base);
        }
        if (v.gridHelpVisible && helpTop < box.Bottom()) {
            for (int x = box.x + 1; x < box.x + box.w - 1; ++x) g.Put(x, helpTop, L'\u2500', base);
            if (v.selection >= 0 && v.selection < count) {
                const auto& r = v.gridRows[std::size_t(v.selection)];
                g.Text(box.x + 2, helpTop + 1, r.caption, base | kAttrBold, inner - 2);
                std::wstring rest = r.description;
                for (int y = helpTop + 2; y < box.Bottom() && !rest.empty(); ++y) {
                    std::size_t cut = rest.size();
                    if (int(cut) > inner - 2) {
                        cut = rest.rfind(L' ', std::size_t(inner - 2));
                        if (cut == std::wstring::npos || cut == 0) cut = std::size_t(inner - 2);
                    }
                    g.Text(box.x + 2, y, rest.substr(0, cut), base, inner - 2);
                    rest.erase(0, cut);
                    while (!rest.empty() && rest.front() == L' ') rest.erase(0, 1);
                }
            }
        }
        if (v.gridDropped && selectedLine >= 0) {
            const auto& choices = v.gridRows[std::size_t(v.selection)].choices;
            CellRect list{box.x + 1 + split, selectedLine + 1, inner - split, int(choices.size()) + 2};
            g.Fill(list, L' ');
            g.Box(list, base | kAttrBold);
            for (int i = 0; i < int(choices.size()); ++i)
                g.Text(list.x + 1, list.y + 1 + i, Fit(choices[std::size_t(i)], list.w - 2),
                       base | (i == v.gridHighlight ? kAttrReverse : 0), list.w - 2);
        }
    }

    void Combo(const WindowView& v, const CellRect& c) {
        const bool dropList = (v.style & 0x3) == CBS_DROPDOWNLIST;
        std::wstring text;
        if (dropList || (v.style & 0x3) == 0) {
            if (v.selection >= 0 && v.selection < int(v.items.size())) text = v.items[std::size_t(v.selection)].text;
            if (!dropList && text.empty()) text = v.text;
        } else {
            text = v.text;
        }
        const int width = std::max(c.w, 5);
        const int inner = width - 4;
        const std::uint8_t base = Base(v);
        const std::uint8_t attr = base | (v.focused ? kAttrReverse : 0);
        g.Put(c.x, c.y, L'[', attr);
        g.Text(c.x + 1, c.y, Fit(text, inner + 1), dropList ? attr : base | kAttrUnderline, inner + 1);
        g.Text(c.x + width - 3, c.y, L" v]", attr);
        if (!dropList && v.focused) {
            const int caret = std::clamp(v.selEnd, 0, int(text.size()));
            PlaceCursor(c.x + 1 + std::min(caret, inner), c.y);
        }
        if (ui.openList_ == v.hwnd) ui.openAnchor_ = CellRect{c.x, c.y, width, 1};
    }

    void List(const WindowView& v, const CellRect& c) {
        const std::uint8_t base = Base(v);
        const CellRect box = FramedBox(v, c, 4, 3);
        int row = box.y + 1;
        const int columns = int(v.columns.size());
        const bool report = columns > 0;
        // A list that scrolls keeps its last inner column for the scroll marks, so that its
        // right frame stays whole.
        const int count = int(v.items.size());
        const bool scrolls = count > std::max(1, box.Bottom() - row - (report ? 1 : 0));
        const int inner = box.w - 2 - (scrolls ? 1 : 0);
        auto cellsOf = [&](const orv::win::ItemView* item, std::vector<std::wstring>& cols) {
            cols.clear();
            if (!item) return;
            cols.push_back(item->text);
            for (const auto& sub : item->subItems) cols.push_back(sub);
        };
        const std::vector<int> widths = report ? ColumnWidths(v, inner - 1) : std::vector<int>{};
        auto joined = [&](const std::vector<std::wstring>& cols) {
            if (!report) return cols.empty() ? std::wstring() : cols.front();
            std::wstring line;
            for (int i = 0; i < columns; ++i) {
                if (i) line += L'\u2502';
                line += Fit(i < int(cols.size()) ? cols[std::size_t(i)] : L"", widths[std::size_t(i)]);
            }
            return line;
        };
        if (report) {
            g.Text(box.x + 2, row++, Fit(joined(v.columns), inner - 1), base | kAttrUnderline, inner - 1);
        }
        const int rows = std::max(1, box.Bottom() - row);
        auto& state = ui.lists_[v.hwnd];
        state.rows = rows;
        if (state.cursor >= count) state.cursor = count - 1;
        const int current = state.cursor >= 0 ? state.cursor : v.selection >= 0 ? v.selection : -1;
        if (current >= 0) {
            if (current < state.top) state.top = current;
            if (current >= state.top + rows) state.top = current - rows + 1;
        }
        state.top = std::clamp(state.top, 0, std::max(0, count - rows));
        std::vector<std::wstring> cols;
        for (int i = 0; i < rows && state.top + i < count; ++i) {
            const int index = state.top + i;
            const auto& item = v.items[std::size_t(index)];
            const bool selected = item.selected || index == v.selection;
            cellsOf(&item, cols);
            std::uint8_t attr = base | (selected ? kAttrReverse : 0);
            const bool marker = v.focused && (index == current || (current < 0 && index == 0));
            g.Text(box.x + 1, row + i, marker ? L">" : L" ", attr | (marker ? kAttrBold : 0));
            g.Text(box.x + 2, row + i, Fit(joined(cols), inner - 1), attr, inner - 1);
        }
        if (v.focused && count == 0) g.Text(box.x + 1, row, L">", base | kAttrBold);
        if (state.top > 0) g.Put(box.Right() - 1, row, L'^', base | kAttrBold);
        if (state.top + rows < count) g.Put(box.Right() - 1, box.Bottom() - 1, L'v', base | kAttrBold);
    }

    void Tabs(const WindowView& v, const CellRect& c) {
        const std::uint8_t base = Base(v);
        if (c.h > 2) g.Box(CellRect{c.x, c.y + 1, c.w, c.h - 1}, base);
        int x = c.x;
        for (int i = 0; i < int(v.items.size()); ++i) {
            const bool selected = i == v.selection;
            std::uint8_t attr = base | (selected ? kAttrBold : 0) | (selected && v.focused ? kAttrReverse : 0);
            g.Put(x++, c.y, selected ? L'[' : L' ', attr);
            x += g.Caption(x, c.y, v.items[std::size_t(i)].text, attr);
            g.Put(x++, c.y, selected ? L']' : L' ', attr);
        }
    }

    // A window painted from its display list, with a frame when there is room.
    void Painted(const WindowView& v, const CellRect& c, bool frame) {
        const std::uint8_t base = Base(v);
        const bool framed = frame && c.h >= 3 && c.w >= 3;
        if (framed) g.Box(c, base);
        // Within the control (inside its frame) and the clip it is drawn under.
        const CellRect inside = framed ? CellRect{c.x + 1, c.y + 1, c.w - 2, c.h - 2} : c;
        const CellRect& under = g.Clip();
        const int x0 = std::max(inside.x, under.x), y0 = std::max(inside.y, under.y);
        const int x1 = std::min(inside.Right(), under.Right()), y1 = std::min(inside.Bottom(), under.Bottom());
        if (x1 < x0 || y1 < y0) return;
        const CellRect clip{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
        CanvasSink sink(g, base, clip);
        orv::text::DrawPicture(sink, v, orv::text::CellBox{c.x, c.y, c.w, c.h},
                               orv::text::CellBox{clip.x, clip.y, clip.w, clip.h},
                               orv::text::CellSize{kCellWidth, kCellHeight}, ui.Picture(v.hwnd));
        if (sink.Characters() == 0 && framed && !v.text.empty()) g.Text(inside.x, inside.y, v.text, base | kAttrDim, inside.w);
    }

    void OpenList() {
        const WindowView v = orv::win::Inspect(ui.openList_);
        if (!v.hwnd || !v.reallyVisible || !v.enabled) {
            ui.openList_ = nullptr;
            return;
        }
        const int count = int(v.items.size());
        int width = ui.openAnchor_.w;
        for (const auto& item : v.items) width = std::max(width, TextColumns(item.text) + 3);
        width = std::min(width, g.Width());
        const int areaBottom = g.Height() - 2;  // above the status line
        int rows = std::min(std::max(count, 1), 10);
        int y = ui.openAnchor_.y + 1;
        if (y + rows + 1 > areaBottom && ui.openAnchor_.y - rows - 2 >= 0) y = ui.openAnchor_.y - rows - 2;
        rows = std::max(1, std::min(rows, areaBottom - y - 1));
        int& top = ui.openTop_;
        int& hi = ui.openHighlight_;
        hi = std::clamp(hi, 0, std::max(0, count - 1));
        if (hi < top) top = hi;
        if (hi >= top + rows) top = hi - rows + 1;
        top = std::clamp(top, 0, std::max(0, count - rows));
        const int x = std::clamp(ui.openAnchor_.x, 0, std::max(0, g.Width() - width));
        const CellRect box{x, y, width, rows + 2};
        g.Fill(box, L' ');
        g.Box(box, kAttrBold);
        for (int i = 0; i < rows && top + i < count; ++i) {
            const int index = top + i;
            const std::uint8_t attr = index == hi ? kAttrReverse : 0;
            g.Text(box.x + 1, box.y + 1 + i, Fit(L" " + v.items[std::size_t(index)].text, width - 2), attr, width - 2);
        }
        if (top > 0) g.Put(box.Right(), box.y + 1, L'^', kAttrBold);
        if (top + rows < count) g.Put(box.Right(), box.Bottom() - 1, L'v', kAttrBold);
        cursor.visible = false;
    }

    void Help() {
        const int width = std::min(g.Width() - 8, 72);
        auto lines = Wrap(ui.help_, width - 4);
        if (lines.size() > 8) lines.resize(8);
        const int h = int(lines.size()) + 3;
        const CellRect box{(g.Width() - width) / 2, std::max(0, g.Height() - 2 - h), width, h};
        g.Fill(box, L' ');
        g.Box(box, kAttrBold);
        g.Text(box.x + 2, box.y, L" " + ui.helpTitle_ + L" ", kAttrBold);
        for (std::size_t i = 0; i < lines.size(); ++i) g.Text(box.x + 2, box.y + 1 + int(i), lines[i].text, 0, width - 4);
        g.Text(box.x + 2, box.Bottom() - 1, L"(any key closes)", kAttrDim, width - 4);
        cursor.visible = false;
    }

    // Where the active window goes on past the terminal's edges, its visible corners say so:
    // "^" above, "v" below, "<" and ">" at the sides. Tab brings every control into view.
    void CutMarks(const CellRect& frame, int areaH) {
        if (frame.w <= 0) return;
        const int left = std::max(0, frame.x), right = std::min(g.Width() - 1, frame.Right());
        const int top = std::max(0, frame.y), bottom = std::min(areaH - 1, frame.Bottom());
        if (right < left || bottom < top) return;
        const std::uint8_t attr = kAttrBold | kAttrReverse;
        if (frame.y < 0) g.Put(left, top, L'^', attr), g.Put(right, top, L'^', attr);
        if (frame.Bottom() >= areaH) g.Put(left, bottom, L'v', attr), g.Put(right, bottom, L'v', attr);
        const int middle = (top + bottom) / 2;
        if (frame.x < 0) g.Put(left, middle, L'<', attr);
        if (frame.Right() >= g.Width()) g.Put(right, middle, L'>', attr);
    }

    void StatusLine(const std::wstring& hints) {
        const int y = g.Height() - 1;
        const std::wstring text = ui.status_.empty() ? FitKeyHints(hints, g.Width() - 2) : ui.status_;
        g.Fill(CellRect{0, y, g.Width(), 1}, L' ', kAttrReverse);
        g.Text(1, y, text, kAttrReverse, g.Width() - 2);
    }
};

const orv::win::DisplayList& TermUi::Picture(HWND hwnd) {
    auto it = pictures_.find(hwnd);
    if (it == pictures_.end()) {
        const orv::win::DisplayList* list = orv::win::PaintWindow(hwnd);
        it = pictures_.emplace(hwnd, list ? *list : orv::win::DisplayList{}).first;
    }
    return it->second;
}

void TermUi::Forget(HWND hwnd) {
    pictures_.erase(hwnd);
    lists_.erase(hwnd);
    if (openList_ == hwnd) openList_ = nullptr;
}

void TermUi::ShowHelp(std::wstring text) {
    help_ = std::move(text);
    helpTitle_ = L"Help";
}

namespace {

// The label of a control: the nearest static text before it in its dialog, without its
// mnemonic marker and colon.
std::wstring LabelOf(const std::vector<HWND>& siblings, std::size_t index) {
    for (std::size_t i = index; i-- > 0;) {
        const WindowView v = orv::win::Inspect(siblings[i]);
        if (!IsWindowClass(v.className, L"Static") || v.text.empty()) continue;
        std::wstring label = orv::text::StripMnemonics(v.text);
        while (!label.empty() && (label.back() == L':' || label.back() == L' ')) label.pop_back();
        return label;
    }
    return L"Control " + std::to_wstring(orv::win::Inspect(siblings[index]).id);
}

// "Label: 2 different values: ..." for each such field of the window, one a line.
std::wstring MixedValuesOf(HWND window) {
    std::wstring text;
    const std::vector<HWND> children = window ? orv::win::ChildWindows(window) : std::vector<HWND>();
    for (std::size_t i = 0; i < children.size(); ++i) {
        const WindowView v = orv::win::Inspect(children[i]);
        if (v.mixedValues.empty()) continue;
        if (!text.empty()) text += L"\n";
        text += LabelOf(children, i) + L": " + orv::win::DescribeMixedValues(v.mixedValues);
    }
    return text;
}

}  // namespace

bool TermUi::ShowMixedValues() {
    std::wstring text = MixedValuesOf(orv::win::ActiveModalWindow());
    if (text.empty()) {
        status_ = L"No field here stands for objects with differing values.";
        return true;
    }
    help_ = std::move(text);
    helpTitle_ = L"Differing values";
    return true;
}

CursorPlace TermUi::Render(Canvas& canvas) {
    Painter p{*this, canvas, {}, 0, 0, {}};
    drawn_.clear();
    canvas.Fill(CellRect{0, 0, canvas.Width(), canvas.Height()}, L' ');
    const int W = canvas.Width(), H = canvas.Height();
    if (W < kMinColumns || H < kMinRows) {
        const auto lines = Wrap(orv::Utf8ToWide(TooSmallMessage(W, H)), std::max(1, W - 2));
        const int y0 = std::max(0, (H - int(lines.size())) / 2);
        for (std::size_t i = 0; i < lines.size(); ++i)
            canvas.Text(std::max(0, (W - int(lines[i].text.size())) / 2), y0 + int(i), lines[i].text, kAttrBold);
        return {};
    }
    std::vector<WindowView> tops;
    for (HWND t : orv::win::TopLevelWindows()) {
        WindowView v = orv::win::Inspect(t);
        if (v.hwnd && v.reallyVisible && v.alpha > 0) tops.push_back(std::move(v));
    }
    HWND active = orv::win::ActiveModalWindow();
    const WindowView* act = nullptr;
    for (const auto& v : tops)
        if (v.hwnd == active) act = &v;
    // A topmost pop-up (a balloon) is not what the person works in: prefer a window with a caption.
    if (!act)
        for (const auto& v : tops)
            if (!act && (v.style & WS_CAPTION) == WS_CAPTION) act = &v;
    if (!act && !tops.empty()) act = &tops.front();
    if (!act) {
        p.StatusLine(L"No window is open.");
        return {};
    }
    // The bottom window centred in the rows above the status line, and the windows above it
    // where the kernel puts them, so that nothing moves while a dialog or message box is up;
    // an active window that would not fit there is centred itself. A window larger than the
    // terminal starts at the top left, moved so that its focused control shows.
    const int areaH = H - 1;
    auto centre = [&](const WindowView& v) {
        const long cw = v.clientRect.right - v.clientRect.left, ch = v.clientRect.bottom - v.clientRect.top;
        const int cols = RoundDiv(cw, kCellWidth), rows = RoundDiv(ch, kCellHeight);
        const int fx = std::max(0, (W - cols - 2) / 2), fy = std::max(0, (areaH - rows - 2) / 2);
        p.ox = v.clientRect.left - long(fx + 1) * kCellWidth;
        p.oy = v.clientRect.top - long(fy + 1) * kCellHeight;
    };
    centre(tops.back());
    // Windows side by side (a dialog and the 3-D view beside it) that the bottom window's place
    // would cut are centred together when they fit the terminal together.
    {
        RECT all = tops.front().clientRect;
        bool cut = false;
        for (const auto& v : tops) {
            const RECT& r = v.clientRect;
            all = RECT{std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
                       std::max(all.bottom, r.bottom)};
            const int x0 = FloorDiv(r.left - p.ox, kCellWidth) - 1, y0 = FloorDiv(r.top - p.oy, kCellHeight) - 1;
            const int x1 = RoundDiv(r.right - p.ox, kCellWidth), y1 = RoundDiv(r.bottom - p.oy, kCellHeight);
            cut = cut || x0 < 0 || y0 < 0 || x1 >= W || y1 >= areaH;
        }
        const int cols = RoundDiv(all.right - all.left, kCellWidth) + 2, rows = RoundDiv(all.bottom - all.top, kCellHeight) + 2;
        if (cut && cols <= W && rows <= areaH) {
            p.ox = all.left - long((W - cols) / 2 + 1) * kCellWidth;
            p.oy = all.top - long((areaH - rows) / 2 + 1) * kCellHeight;
        }
    }
    {
        const int left = FloorDiv(act->clientRect.left - p.ox, kCellWidth) - 1;
        const int top = FloorDiv(act->clientRect.top - p.oy, kCellHeight) - 1;
        const int right = left + RoundDiv(act->clientRect.right - act->clientRect.left, kCellWidth) + 1;
        const int bottom = top + RoundDiv(act->clientRect.bottom - act->clientRect.top, kCellHeight) + 1;
        if (left < 0 || top < 0 || right >= W || bottom >= areaH) centre(*act);
    }
    if (HWND focus = ::GetFocus()) {
        const WindowView f = orv::win::Inspect(focus);
        if (f.hwnd && f.reallyVisible) {
            const int fxc = RoundDiv(f.windowRect.left - p.ox, kCellWidth), fxr = RoundDiv(f.windowRect.right - p.ox, kCellWidth);
            const int fyc = FloorDiv(f.windowRect.top - p.oy, kCellHeight), fyb = FloorDiv(f.windowRect.bottom - 1 - p.oy, kCellHeight);
            if (fxr > W) p.ox += long(std::min(fxr - W + 1, fxc)) * kCellWidth;
            if (fyb >= areaH) p.oy += long(std::min(fyb - areaH + 2, fyc)) * kCellHeight;
        }
    }
    canvas.SetClip(CellRect{0, 0, W, areaH});
    // Bottom to top; windows above the active one (pop-ups such as balloons) stay bright.
    const std::ptrdiff_t activeIndex = act - tops.data();
    for (std::ptrdiff_t i = std::ptrdiff_t(tops.size()) - 1; i >= 0; --i) {
        p.Top(tops[std::size_t(i)], i <= activeIndex, i < activeIndex);
        canvas.SetClip(CellRect{0, 0, W, areaH});
    }
    canvas.SetClip(CellRect{0, 0, W, H});
    p.CutMarks(drawn_[act->hwnd], areaH);
    if (openList_) p.OpenList();
    if (!help_.empty()) p.Help();
    std::wstring hints = KeyHints();
    if (!MixedValuesOf(orv::win::ActiveModalWindow()).empty()) hints += L"  F2 values";
    p.StatusLine(hints);
    return p.cursor;
}

}  // namespace orv::term
