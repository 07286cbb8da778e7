// Message box text: long lines wrap at word boundaries to a bounded width, explicit line breaks
// stay, and the box grows in height up to the work area; the message itself is kept as given.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "KernelTestSupport.h"
#include "platform/win/MessageBox.h"

using namespace kerneltest;
using namespace orv::win;

namespace {

constexpr int kTextId = 0xFFFF;

struct Shown {
    std::wstring message;             // what the box says it shows
    std::vector<std::wstring> lines;  // what its text control shows
    RECT box{};
    RECT text{};
};

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    if (text.empty()) return {L""};
    std::vector<std::wstring> lines;
    std::wstringstream in(text);
    std::wstring line;
    while (std::getline(in, line)) lines.push_back(line);
    if (!text.empty() && text.back() == L'\n') lines.emplace_back();
    return lines;
}

class MessageBoxWrapTest : public ::testing::Test {
protected:
    void SetUp() override { ResetKernel(); }
    void TearDown() override { ResetKernel(); }

    Shown Show(const std::wstring& text, UINT type = MB_OK) {
        Shown shown;
        driver.Then([&] {
            const WindowView box = Inspect(Modal());
            EXPECT_TRUE(box.isMessageBox);
            shown.message = box.messageBox.text;
            shown.box = box.windowRect;
            const WindowView label = Inspect(Control(Modal(), kTextId));
            shown.lines = SplitLines(label.text);
            shown.text = label.windowRect;
            EXPECT_TRUE(input::PressKey(VK_RETURN));
        });
        EXPECT_NE(AfxMessageBox(text.c_str(), type), kModalNoInput);
        return shown;
    }

    StepDriver driver;
    DriverScope scope{&driver};
};

// Words separated by single blanks, `count` of them.
std::wstring Words(int count) {
    std::wstring text;
    for (int i = 0; i < count; ++i) text += (i ? L" " : L"") + std::wstring(L"word") + std::to_wstring(i);
    return text;
}

std::wstring Join(const std::vector<std::wstring>& lines, const wchar_t* separator) {
    std::wstring out;
    for (size_t i = 0; i < lines.size(); ++i) out += (i ? separator : L"") + lines[i];
    return out;
}

TEST_F(MessageBoxWrapTest, AShortMessageIsOneLine) {
    const Shown shown = Show(L"Enter a number.");
    EXPECT_EQ(shown.lines, std::vector<std::wstring>{L"Enter a number."});
    EXPECT_EQ(shown.message, L"Enter a number.");
}

TEST_F(MessageBoxWrapTest, ALongLineWrapsAtWordsAndTheBoxGrowsInHeight) {
    const std::wstring text = Words(40);
    const Shown shortBox = Show(L"Short.");
    const Shown shown = Show(text);
    EXPECT_EQ(shown.message, text);  // the message as given, for scripts and front ends
    ASSERT_GT(shown.lines.size(), 2u);
    for (const auto& line : shown.lines) {
        EXPECT_LE(line.size(), 60u) << std::string(line.begin(), line.end());
        EXPECT_FALSE(line.empty());
        EXPECT_NE(line.front(), L' ');
        EXPECT_NE(line.back(), L' ');
    }
    EXPECT_EQ(Join(shown.lines, L" "), text);  // broken only between words
    // Each line took as many words as fit: the next word would not have.
    for (size_t i = 0; i + 1 < shown.lines.size(); ++i) {
        const std::wstring next = shown.lines[i + 1].substr(0, shown.lines[i + 1].find(L' '));
        EXPECT_GT(shown.lines[i].size() + 1 + next.size(), 60u) << i;
    }
    const int height = shown.box.bottom - shown.box.top, shortHeight = shortBox.box.bottom - shortBox.box.top;
    EXPECT_GT(height, shortHeight);
    // The text control is as tall as its lines.
    EXPECT_GE(shown.text.bottom - shown.text.top, int(shown.lines.size()) * 13 - 2);
}

TEST_F(MessageBoxWrapTest, ExplicitLineBreaksAndEmptyLinesStay) {
    const std::wstring longLine = Words(15);
    const Shown shown = Show(L"First line.\r\n\nThird line.\n" + longLine);
    ASSERT_GE(shown.lines.size(), 5u);
    EXPECT_EQ(shown.lines[0], L"First line.");
    EXPECT_EQ(shown.lines[1], L"");
    EXPECT_EQ(shown.lines[2], L"Third line.");
    EXPECT_EQ(Join({shown.lines.begin() + 3, shown.lines.end()}, L" "), longLine);
}

TEST_F(MessageBoxWrapTest, AWordLongerThanALineIsCut) {
    const std::wstring word(130, L'x');
    const Shown shown = Show(L"Path: " + word);
    ASSERT_EQ(shown.lines.size(), 4u);
    EXPECT_EQ(shown.lines[0], L"Path:");
    EXPECT_EQ(shown.lines[1], std::wstring(60, L'x'));
    EXPECT_EQ(shown.lines[2], std::wstring(60, L'x'));
    EXPECT_EQ(shown.lines[3], std::wstring(10, L'x'));
}

TEST_F(MessageBoxWrapTest, BlanksAtABreakAreDroppedAndBlankTextsKeepTheirLines) {
    struct Case {
        const char* name;
        std::wstring text;
        std::vector<std::wstring> lines;
    };
    const std::wstring x58(58, L'x'), x60(60, L'x');
    const Case cases[] = {
        {"BlanksAtTheBreak", x58 + L"    yyy", {x58, L"yyy"}},
        {"BlanksInsideALineStay", L"a  b", {L"a  b"}},
        {"ExactlyALine", x60, {x60}},
        {"OneMoreThanALine", x60 + L" y", {x60, L"y"}},
        {"Empty", L"", {L""}},
        {"OnlyLineBreaks", L"\n\n", {L"", L"", L""}},
        {"TrailingBlanksOfALongLine", x60 + L"   ", {x60}},
    };
    for (const Case& c : cases) EXPECT_EQ(Show(c.text).lines, c.lines) << c.name;
}

TEST_F(MessageBoxWrapTest, ANarrowWorkAreaWrapsNarrowerAndAHugeTextStaysWithinIt) {
    SetMonitors({{RECT{0, 0, 400, 300}, RECT{0, 0, 400, 280}}});
    const Shown narrow = Show(Words(30));
    ASSERT_GT(narrow.lines.size(), 1u);
    size_t widest = 0;
    for (const auto& line : narrow.lines) widest = std::max(widest, line.size());
    EXPECT_LT(widest, 40u);  // three quarters of 400 pixels, less the icon and margins
    EXPECT_LE(narrow.box.right - narrow.box.left, 400);

    const Shown huge = Show(Words(2000));
    EXPECT_LE(huge.box.bottom - huge.box.top, 280);
    EXPECT_EQ(huge.message, Words(2000));
}

}  // namespace
