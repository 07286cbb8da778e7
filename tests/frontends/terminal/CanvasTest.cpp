// The cell grid the terminal front end draws into.

#include <gtest/gtest.h>

#include <clocale>

#include "platform/drivers/terminal/TermCanvas.h"
#include "platform/drivers/terminal/TermUi.h"

namespace {

using orv::term::Canvas;
using orv::term::CellRect;

struct CaptionCase {
    const wchar_t* caption;
    const wchar_t* shown;
    int underlined;  // column of the underlined character, -1 none
};

TEST(TermCanvas, CaptionsShowTheirMnemonicUnderlinedAndNeverTheMarker) {
    const CaptionCase cases[] = {
        {L"&Name:", L"Name:", 0},
        {L"Load &curve:", L"Load curve:", 5},
        {L"Fish && &Chips", L"Fish & Chips", 7},
        {L"No marker", L"No marker", -1},
        {L"Trailing&", L"Trailing", -1},
        {L"&&", L"&", -1},
        {L"", L"", -1},
    };
    for (const auto& c : cases) {
        Canvas g(20, 1);
        const int n = g.Caption(0, 0, c.caption);
        EXPECT_EQ(g.Row(0), c.shown) << testing::PrintToString(std::wstring(c.caption));
        EXPECT_EQ(n, int(std::wstring(c.shown).size()));
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ((g.At(x, 0).attr & orv::term::kAttrUnderline) != 0, x == c.underlined)
                << testing::PrintToString(std::wstring(c.caption)) << " column " << x;
    }
}

TEST(TermCanvas, TextIsClippedToTheGridTheClipAndTheLimit) {
    Canvas g(6, 2);
    EXPECT_EQ(g.Text(-2, 0, L"abcdefgh"), 8);
    EXPECT_EQ(g.Row(0), L"cdefgh");
    g.SetClip(CellRect{1, 1, 3, 1});
    g.Text(0, 1, L"123456");
    EXPECT_EQ(g.Row(1), L" 234");
    g.ResetClip();
    EXPECT_EQ(g.Text(0, 1, L"xyz", 0, 2), 2);
    EXPECT_EQ(g.Row(1), L"xy34");
    // Control characters become blanks; nothing outside the grid is written.
    g.Text(0, 0, L"a\tb\nc");
    EXPECT_EQ(g.Row(0), L"a b ch");
    g.Put(10, 10, L'x');
    EXPECT_EQ(g.At(10, 10).ch, L' ');
}

TEST(TermCanvas, WideCharactersTakeTwoCellsAndAreNeverCutInHalf) {
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
    Canvas g(5, 1);
    EXPECT_EQ(g.Text(0, 0, L"\u4E2D\u6587x"), 5);
    EXPECT_EQ(g.Row(0), L"\u4E2D\u6587x");
    EXPECT_TRUE(g.At(1, 0).wideTail);
    // Overwriting the right half blanks the left half.
    g.Put(1, 0, L'-');
    EXPECT_EQ(g.Row(0), L" -\u6587x");
    // No room for the second half at the edge: a blank instead.
    Canvas h(3, 1);
    h.Text(0, 0, L"ab\u4E2D");
    EXPECT_EQ(h.Row(0), L"ab");
    // Umlauts and units take one cell each.
    Canvas u(10, 1);
    EXPECT_EQ(u.Text(0, 0, L"\u00B5m \u00B0C \u00FC"), 7);
    std::setlocale(LC_CTYPE, saved.c_str());
}

TEST(TermCanvas, BoxesAndAttributes) {
    Canvas g(4, 3);
    g.Box(CellRect{0, 0, 4, 3}, orv::term::kAttrBold);
    EXPECT_EQ(g.Row(0), L"\u250C\u2500\u2500\u2510");
    EXPECT_EQ(g.Row(1), L"\u2502  \u2502");
    EXPECT_EQ(g.Row(2), L"\u2514\u2500\u2500\u2518");
    g.AddAttr(CellRect{1, 1, 2, 1}, orv::term::kAttrReverse);
    EXPECT_EQ(g.At(1, 1).attr, orv::term::kAttrReverse);
    EXPECT_EQ(g.At(0, 1).attr, orv::term::kAttrBold);
    // A one-row box is a line.
    Canvas line(3, 1);
    line.Box(CellRect{0, 0, 3, 1});
    EXPECT_EQ(line.Row(0), L"\u2500\u2500\u2500");
    EXPECT_EQ(g.Utf8(), "\u250C\u2500\u2500\u2510\n\u2502  \u2502\n\u2514\u2500\u2500\u2518\n");
}

TEST(TermCanvas, TooSmallMessageNamesBothSizes) {
    EXPECT_EQ(orv::term::TooSmallMessage(70, 20), "The terminal is 70 x 20; the dialogs need at least 80 x 24.");
}

// A key line longer than the terminal is wide says "Tab move" and drops keys from its end, but
// never those that move, press Enter or cancel.
TEST(TermCanvas, AKeyLineTooLongKeepsMovingEnterAndEscape) {
    const std::wstring line = L"Tab/Shift+Tab move  Space press  Enter OK  Esc cancel  F1 help  Alt+letter jump  F2 values";
    EXPECT_EQ(orv::term::FitKeyHints(line, 100), line);
    EXPECT_EQ(orv::term::FitKeyHints(line, 78), L"Tab move  Space press  Enter OK  Esc cancel  F1 help  Alt+letter jump");
    EXPECT_EQ(orv::term::FitKeyHints(line, 40), L"Tab move  Enter OK  Esc cancel");
}

}  // namespace
