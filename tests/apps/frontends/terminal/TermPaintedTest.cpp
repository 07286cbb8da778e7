// What the terminal draws of painted controls and of an expression edit's feedback, on the
// library's own dialogs played by a script: the curve editor's plot (its frame, axes, texts and
// curve), and an entry that cannot be evaluated (red, or marked "!" without colours) with its
// "Invalid Equation" balloon beside the field, never over it.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "apps/orvdlg/ScriptSession.h"
#include "platform/drivers/terminal/TermUi.h"
#include "tests/apps/frontends/terminal/TmuxSession.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"

namespace {

using orv::term::Canvas;
using orv::term::CellRect;

// The terminal front end without a terminal in front of the scripted driver: before each of
// the script's inputs the screen is drawn and `look` reads it.
class Onlooker : public orv::win::Driver {
public:
    Onlooker(orv::win::Driver& script, std::function<void(Onlooker&)> look)
        : screen(100, 30), script_(script), look_(std::move(look)) {}
    bool WaitForInput(HWND modal) override {
        ui.Render(screen);
        look_(*this);
        return script_.WaitForInput(modal);
    }
    void WindowDestroyed(HWND hwnd) override { ui.Forget(hwnd); }
    void WindowChanged(HWND hwnd, orv::win::WindowChange what) override {
        if (what == orv::win::WindowChange::Redraw || what == orv::win::WindowChange::Rect) ui.Invalidate(hwnd);
    }

    orv::term::TermUi ui;
    Canvas screen;

private:
    orv::win::Driver& script_;
    std::function<void(Onlooker&)> look_;
};

int Play(const std::string& script, const std::function<void(Onlooker&)>& look) {
    std::ostringstream out;
    orvdlg::ScriptSession session(out);
    Onlooker onlooker(session.ScriptDriver(), look);
    session.SetFrontEnd(&onlooker);
    const int status = session.RunText("painted.dlgs", script);
    EXPECT_EQ(status, 0) << out.str();
    return status;
}

HWND TopWindowTitled(const std::wstring& title) {
    for (HWND top : orv::win::TopLevelWindows())
        if (orv::win::Inspect(top).reallyVisible && orv::win::Inspect(top).text == title) return top;
    return nullptr;
}

bool Intersect(const CellRect& a, const CellRect& b) {
    return a.x <= b.Right() && b.x <= a.Right() && a.y <= b.Bottom() && b.y <= a.Bottom();
}

TEST(TermPainted, TheCurveEditorsPlotShowsItsFrameAxesTextsAndCurve) {
    bool seen = false;
    Play("model sample\n"
         "curve-dialog 4\n"
         "  click \"Curve...\"\n"
         "    curve add 0 0\n"
         "    curve add 10 \"0.5\"\n"
         "    curve add 20 2\n"
         "    click Cancel\n"
         "  close\n",
         [&](Onlooker& o) {
             HWND plot = orv::win::FindControl(orv::win::ActiveModalWindow(), 1030);
             HWND count = orv::win::FindControl(orv::win::ActiveModalWindow(), 1031);
             if (!plot || !count || orv::win::Inspect(count).text != L"3 points") return;
             // Seen once, with the whole curve: before Cancel.
             if (seen) return;
             seen = true;
             const CellRect c = o.ui.DrawnCells(plot);
             SCOPED_TRACE(o.screen.Utf8());
             ASSERT_GE(c.w, 20);
             ASSERT_GE(c.h, 10);
             // The control's frame.
             EXPECT_EQ(o.screen.At(c.x, c.y).ch, L'\u250C');
             EXPECT_EQ(o.screen.At(c.Right(), c.Bottom()).ch, L'\u2518');
             // Every text the plot draws (its axis captions), whole and inside the frame.
             int texts = 0;
             for (const auto& op : orv::win::PaintWindow(plot)->ops) {
                 if (op.kind != orv::win::DrawKind::Text || op.text.empty()) continue;
                 ++texts;
                 bool found = false;
                 for (int y = c.y + 1; y < c.Bottom() && !found; ++y) {
                     const auto at = o.screen.Row(y).find(op.text, std::size_t(c.x + 1));
                     found = at != std::wstring::npos && int(at) > c.x && int(at + op.text.size()) <= c.Right();
                 }
                 EXPECT_TRUE(found) << orv::WideToUtf8(op.text);
             }
             EXPECT_GE(texts, 2);
             // The top tick label on the plot box's top line, not covered by the y title moved
             // in from the row the frame takes ("2.0" also hides in "12.0" further down).
             bool topLabel = false;
             for (int y = c.y + 1; y < c.Bottom() && !topLabel; ++y) {
                 const std::wstring row = o.screen.Row(y);
                 const auto at = row.find(L"2.0\u250C", std::size_t(c.x + 1));
                 topLabel = at != std::wstring::npos && int(at) < c.Right();
             }
             EXPECT_TRUE(topLabel);
             // The y title, pushed along the row of that label, stands on the plot box's top
             // edge right of its corner (a caption), crossing neither the y axis nor the label.
             int boxTop = -1, corner = -1, title = -1, titleAt = -1;
             for (int y = c.y + 1; y < c.Bottom(); ++y) {
                 const std::wstring row = o.screen.Row(y);
                 const auto from = std::size_t(c.x + 1);
                 if (boxTop < 0 && row.find(L'\u250C', from) < std::size_t(c.Right())) {
                     boxTop = y;
                     corner = int(row.find(L'\u250C', from));
                 }
                 if (const auto at = row.find(L"Heat Generation", from); at < std::size_t(c.Right())) {
                     title = y;
                     titleAt = int(at);
                 }
             }
             ASSERT_GE(boxTop, 0);
             EXPECT_EQ(title, boxTop);
             EXPECT_GT(titleAt, corner);
             // The axes in line-drawing characters, the curve in braille dots.
             int vertical = 0, horizontal = 0, dots = 0;
             for (int y = c.y + 1; y < c.Bottom(); ++y)
                 for (int x = c.x + 1; x < c.Right(); ++x) {
                     const wchar_t ch = o.screen.At(x, y).ch;
                     vertical += ch == L'\u2502';
                     horizontal += ch == L'\u2500';
                     dots += ch > 0x2800 && ch <= 0x28FF;
                 }
             EXPECT_GE(vertical, c.h / 2);
             EXPECT_GE(horizontal, 5);
             EXPECT_GE(dots, c.w / 2);
         });
    EXPECT_TRUE(seen);
}

TEST(TermPainted, AnEntryThatCannotBeEvaluatedIsRedAndItsBalloonLeavesTheFieldInView) {
    bool seen = false;
    Play("model sample\n"
         "display-units model\n"
         "analysis 2\n"
         "open 29 create\n"
         "  type 1043 \"25*\"\n"
         "  key \"2\"\n"
         "  click Cancel\n",
         [&](Onlooker& o) {
             HWND balloon = TopWindowTitled(L"Invalid Equation");
             HWND edit = orv::win::FindControl(orv::win::ActiveModalWindow(), 1043);
             if (!balloon || !edit || seen) return;
             seen = true;
             SCOPED_TRACE(o.screen.Utf8());
             const CellRect field = o.ui.DrawnCells(edit), shown = o.ui.DrawnCells(balloon);
             ASSERT_GT(field.w, 3);
             ASSERT_GT(shown.w, 3);
             EXPECT_FALSE(Intersect(field, shown));
             // Its text in red, the brackets as ever; without colours "!" marks the entry.
             EXPECT_EQ(o.screen.Row(field.y).substr(std::size_t(field.x), 4), L"[25*");
             EXPECT_EQ(orv::term::AttrColor(o.screen.At(field.x + 1, field.y).attr), 1);
             EXPECT_EQ(orv::term::AttrColor(o.screen.At(field.x, field.y).attr), -1);
             o.ui.SetColors(false);
             o.ui.Render(o.screen);
             EXPECT_EQ(o.screen.Row(field.y).substr(std::size_t(field.x), 4), L"!25*");
             o.ui.SetColors(true);
             // The balloon's words show.
             EXPECT_NE(o.screen.Utf8().find("Invalid Equation"), std::string::npos);
             EXPECT_NE(o.screen.Utf8().find("cannot be evaluated"), std::string::npos);
         });
    EXPECT_TRUE(seen);
}

// In a real terminal (tmux): the curve editor's plot beside its table, framed, with its axis
// captions inside the frame and the curve's dots.
TEST(TermPainted, ATerminalShowsTheCurveEditorsPlotFrameAndTexts) {
    REQUIRE_TMUX();
    const fs::path dir = Scratch("plot-script");
    const fs::path script = dir / "curve.dlgs";
    std::ofstream(script) << "model sample\ncurve-dialog 4\n  click \"Curve...\"\n    curve add 0 0\n"
                             "    curve add 10 \"0.5\"\n    curve add 20 2\n    click Cancel\n  close\n";
    Session s("plot", 120, 40, "--slow 1500 run " + Quote(script.string()));
    ASSERT_TRUE(s.Started());
    std::string screen;
    ASSERT_TRUE(s.WaitForAll({"3 points", "Temperature (\u00B0C)", "Heat Generation ("}, &screen));
    std::vector<std::wstring> rows;
    std::wistringstream lines(orv::Utf8ToWide(screen));
    for (std::wstring line; std::getline(lines, line);) rows.push_back(line);
    // The plot's top edge on the row of the table's, right of it.
    std::size_t top = 0, left = std::wstring::npos;
    for (; top < rows.size() && left == std::wstring::npos; ++top) {
        const std::size_t table = rows[top].find(L"\u250C\u2500\u2500\u2500\u2500");
        if (table != std::wstring::npos && rows[top].find(L"\u2510", table) != std::wstring::npos)
            left = rows[top].find(L"\u250C\u2500\u2500\u2500\u2500", rows[top].find(L"\u2510", table));
    }
    ASSERT_NE(left, std::wstring::npos) << screen;
    // Inside it: the captions and the curve.
    bool xCaption = false, yCaption = false, dots = false;
    for (std::size_t y = top; y < rows.size(); ++y) {
        const std::wstring& row = rows[y];
        if (row.size() <= left || row[left] != L'\u2502') continue;
        xCaption |= row.find(L"Temperature (\u00B0C)", left) != std::wstring::npos;
        yCaption |= row.find(L"Heat Generation (", left) != std::wstring::npos;
        for (std::size_t x = left; x < row.size(); ++x) dots |= row[x] > 0x2800 && row[x] <= 0x28FF;
    }
    EXPECT_TRUE(xCaption) << screen;
    EXPECT_TRUE(yCaption) << screen;
    EXPECT_TRUE(dots) << screen;
    ASSERT_TRUE(s.WaitFor("exit status 0"));
    std::error_code ec;
    fs::remove_all(dir, ec);
}

}  // namespace
