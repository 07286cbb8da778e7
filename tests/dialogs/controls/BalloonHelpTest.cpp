#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "dialogs/controls/BalloonHelp.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"

namespace {

using orv::win::Inspect;
namespace input = orv::win::input;

const orv::res::DialogTemplate& OwnerTemplate() {
    static const orv::res::DialogTemplate t = [] {
        orv::res::DialogTemplate d;
        d.caption = L"Owner";
        d.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
        d.cx = 100;
        d.cy = 50;
        return d;
    }();
    return t;
}

class BalloonHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        orv::win::ResetKernel();
        CBalloonHelp::SetLayeredFunction(CBalloonHelp::DefaultLayeredFunction());
        ASSERT_TRUE(owner_.CreateIndirect(&OwnerTemplate()));
    }
    void TearDown() override {
        CBalloonHelp::SetLayeredFunction(CBalloonHelp::DefaultLayeredFunction());
        orv::win::SetTooltipAnimation(true, true);
        orv::win::ResetKernel();
    }

    // Shows a balloon without fading (unless `options` asks otherwise by leaving the bits out).
    bool Show(CBalloonHelp& b, CPoint anchor, unsigned options = CBalloonHelp::kDisableFadeIn | CBalloonHelp::kDisableFadeOut,
              const CString& content = L"Some text", unsigned timeout = 0) {
        return b.Create(L"Title", content, anchor, options, &owner_, CString(), timeout) != FALSE;
    }

    // The tail's polygon points (tip first) in screen coordinates.
    static std::vector<POINT> TailOnScreen(HWND hwnd) {
        std::vector<POINT> out;
        const RECT w = Inspect(hwnd).windowRect;
        for (const auto& shape : orv::win::RegionShapes(orv::win::WindowRegion(hwnd)))
            if (shape.kind == orv::win::RegionShape::Polygon)
                for (POINT p : shape.points) out.push_back(POINT{p.x + w.left, p.y + w.top});
        return out;
    }

    CDialog owner_;
};

struct QuadrantCase {
    const char* name;
    POINT anchor;
    bool tailOnTop;     // balloon below the anchor
    bool atQuarter;     // tail at a quarter of the width (else three quarters)
};

TEST_F(BalloonHelpTest, PlacementInTheFourQuadrantsPointsTheTipAtTheAnchor) {
    const QuadrantCase cases[] = {
        {"upper left", {300, 200}, true, true},
        {"upper right", {1500, 200}, true, false},
        {"lower left", {300, 900}, false, true},
        {"lower right", {1500, 900}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CBalloonHelp b;
        ASSERT_TRUE(Show(b, c.anchor));
        const auto view = Inspect(b.GetSafeHwnd());
        const RECT& w = view.windowRect;
        const int width = w.right - w.left;
        const auto tail = TailOnScreen(b.GetSafeHwnd());
        ASSERT_EQ(tail.size(), 3u);
        EXPECT_EQ(tail[0].x, c.anchor.x);
        EXPECT_EQ(tail[0].y, c.anchor.y);
        const int quarter = (width - CBalloonHelp::kTailHeight) / 4;
        if (c.tailOnTop) {
            EXPECT_EQ(w.top, c.anchor.y - 1);  // the tip lies 1 pixel below the top edge
            EXPECT_EQ(tail[1].y - w.top, CBalloonHelp::kTailHeight + 1);
        } else {
            EXPECT_EQ(w.bottom - 2, c.anchor.y);  // 2 pixels above the bottom edge
            EXPECT_EQ(w.bottom - tail[1].y, CBalloonHelp::kTailHeight + 2);
        }
        // The base runs 20 pixels from a quarter (or three quarters) of the width.
        const int baseLeft = c.atQuarter ? quarter : quarter * 3;
        EXPECT_EQ(tail[1].x - w.left, baseLeft);
        EXPECT_EQ(tail[2].x - tail[1].x, CBalloonHelp::kTailHeight);
        EXPECT_EQ(tail[0].x - w.left, c.atQuarter ? baseLeft : baseLeft + CBalloonHelp::kTailHeight);
        EXPECT_TRUE(view.reallyVisible);
        EXPECT_TRUE(view.exStyle & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(view.exStyle & WS_EX_LAYERED);
        EXPECT_EQ(view.className, L"BalloonHelpClass");
        EXPECT_EQ(view.text, L"Title");
    }
}

TEST_F(BalloonHelpTest, NearTheLowerRightCornerItOpensAboveLeftAndStaysOnTheMonitor) {
    for (POINT anchor : {POINT{1900, 1075}, POINT{1919, 1079}, POINT{3, 1075}}) {
        SCOPED_TRACE(anchor.x);
        CBalloonHelp b;
        ASSERT_TRUE(Show(b, anchor, CBalloonHelp::kDisableFadeIn | CBalloonHelp::kDisableFadeOut,
                         L"A text long enough to make the balloon wider than the distance to the edge"));
        const RECT w = Inspect(b.GetSafeHwnd()).windowRect;
        EXPECT_GE(w.left, 0);
        EXPECT_LE(w.right, 1920);
        EXPECT_LE(w.bottom, 1080);
        EXPECT_LT(w.bottom, anchor.y + CBalloonHelp::kTailHeight);  // above the anchor
        const auto tail = TailOnScreen(b.GetSafeHwnd());
        ASSERT_EQ(tail.size(), 3u);
        // The tip follows the horizontal shift, within the margin from the sides.
        const int tipX = tail[0].x - w.left;
        EXPECT_GE(tipX, CBalloonHelp::kMargin);
        EXPECT_LE(tipX, (w.right - w.left) - CBalloonHelp::kMargin);
        if (anchor.x == 1900) {  // far enough from the edge for the tip to reach it
            EXPECT_EQ(tail[0].x, anchor.x);
        }
    }
}

TEST_F(BalloonHelpTest, LongContentWrapsAtHalfTheWidthOfTheAnchorsMonitor) {
    std::wstring words;
    for (int i = 0; i < 200; ++i) words += L"word ";
    struct Case {
        std::vector<orv::win::MonitorSpec> monitors;
        POINT anchor;
        int halfWidth;
    };
    const Case cases[] = {
        {{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}}, {100, 100}, 960},
        {{{{0, 0, 800, 600}, {0, 0, 800, 560}}}, {100, 100}, 400},
        // Two monitors: the anchor on the second, narrower one.
        {{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}, {{1920, 0, 2944, 768}, {1920, 0, 2944, 768}}}, {2000, 100}, 512},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.halfWidth);
        orv::win::SetMonitors(c.monitors);
        CBalloonHelp b;
        ASSERT_TRUE(Show(b, c.anchor, CBalloonHelp::kDisableFadeIn | CBalloonHelp::kDisableFadeOut, words.c_str()));
        const RECT w = Inspect(b.GetSafeHwnd()).windowRect;
        const int width = w.right - w.left;
        EXPECT_LE(width, c.halfWidth + 2 * CBalloonHelp::kMargin);
        EXPECT_GT(width, c.halfWidth / 2);
        EXPECT_GT(w.bottom - w.top, 100);  // many lines
        EXPECT_GE(w.left, c.monitors.back().rect.left - (c.monitors.size() > 1 ? 0 : 0));
    }
    // A short text is not stretched to the wrap width.
    orv::win::SetMonitors({{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}});
    CBalloonHelp shortOne;
    ASSERT_TRUE(Show(shortOne, {100, 100}, CBalloonHelp::kDisableFadeIn, L"ok"));
    const RECT s = Inspect(shortOne.GetSafeHwnd()).windowRect;
    EXPECT_LT(s.right - s.left, 200);
}

TEST_F(BalloonHelpTest, FadesInOnTheClockAndClosesAfterTheTimeOut) {
    CBalloonHelp b;
    ASSERT_TRUE(Show(b, {300, 200}, 0, L"text", 10000));
    HWND hwnd = b.GetSafeHwnd();
    EXPECT_EQ(Inspect(hwnd).alpha, 5);
    input::AdvanceClock(25);
    EXPECT_EQ(Inspect(hwnd).alpha, 30);
    input::AdvanceClock(225);
    EXPECT_EQ(Inspect(hwnd).alpha, 255);  // 5 + 10 steps of 25
    input::AdvanceClock(25);              // the step that would pass 255 ends the fade-in
    EXPECT_EQ(Inspect(hwnd).alpha, 255);
    // Fully shown at 275 ms: the time-out counts from there.
    input::AdvanceClock(9999);
    EXPECT_EQ(Inspect(hwnd).alpha, 255);
    input::AdvanceClock(1);
    EXPECT_EQ(Inspect(hwnd).alpha, 250);  // closing starts the fade-out
    input::AdvanceClock(250);
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(Inspect(hwnd).alpha, 0);
    input::AdvanceClock(25);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(BalloonHelpTest, WithoutLayeredWindowsOrAnimationItShowsAtOnceAndClosesAtTheFirstStep) {
    struct Case {
        const char* name;
        bool layered, animation, fade;
    };
    for (const Case c : {Case{"no layered windows", false, true, true}, Case{"no animation", true, false, true},
                         Case{"no fade", true, true, false}}) {
        SCOPED_TRACE(c.name);
        CBalloonHelp::SetLayeredFunction(c.layered ? CBalloonHelp::DefaultLayeredFunction() : nullptr);
        orv::win::SetTooltipAnimation(c.animation, c.fade);
        CBalloonHelp b;
        ASSERT_TRUE(Show(b, {300, 200}, 0, L"text", 1000));
        HWND hwnd = b.GetSafeHwnd();
        EXPECT_EQ(Inspect(hwnd).alpha, 255);
        EXPECT_TRUE(b.Options() & CBalloonHelp::kDisableFadeIn);
        EXPECT_TRUE(b.Options() & CBalloonHelp::kDisableFadeOut);
        input::AdvanceClock(999);
        EXPECT_TRUE(IsWindow(hwnd));
        input::AdvanceClock(1);
        EXPECT_FALSE(IsWindow(hwnd));
    }
}

TEST_F(BalloonHelpTest, SetTimeoutRestartsOrStopsTheCloseTimer) {
    CBalloonHelp b;
    ASSERT_TRUE(Show(b, {300, 200}, CBalloonHelp::kDisableFadeIn | CBalloonHelp::kDisableFadeOut, L"t", 500));
    HWND hwnd = b.GetSafeHwnd();
    input::AdvanceClock(400);
    b.SetTimeout(500);
    input::AdvanceClock(400);
    EXPECT_TRUE(IsWindow(hwnd));
    b.SetTimeout(0);
    input::AdvanceClock(5000);
    EXPECT_TRUE(IsWindow(hwnd));
    b.SetTimeout(10);
    input::AdvanceClock(10);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(BalloonHelpTest, KeyPressClosesEveryBalloonThatAsksForItAndTheHookGoesWithTheLast) {
    const unsigned keys = CBalloonHelp::kCloseOnKeyPress | CBalloonHelp::kDisableFadeIn | CBalloonHelp::kDisableFadeOut;
    CBalloonHelp a, b, other;
    ASSERT_TRUE(Show(a, {300, 200}, keys));
    ASSERT_TRUE(Show(b, {1500, 900}, keys));
    ASSERT_TRUE(Show(other, {300, 900}));
    ASSERT_TRUE(input::Focus(owner_.GetSafeHwnd()));
    ASSERT_TRUE(input::PressKey(VK_SHIFT));
    orv::win::PumpMessages();
    EXPECT_FALSE(IsWindow(a.GetSafeHwnd()));
    EXPECT_FALSE(IsWindow(b.GetSafeHwnd()));
    EXPECT_TRUE(IsWindow(other.GetSafeHwnd()));

    // A new balloon installs the hook again.
    CBalloonHelp c;
    ASSERT_TRUE(Show(c, {300, 200}, keys));
    ASSERT_TRUE(input::PressKey(VK_SHIFT));
    orv::win::PumpMessages();
    EXPECT_FALSE(IsWindow(c.GetSafeHwnd()));
}

TEST_F(BalloonHelpTest, AfterAKernelResetANewBalloonStillClosesOnAKey) {
    const unsigned keys = CBalloonHelp::kCloseOnKeyPress | CBalloonHelp::kDisableFadeIn;
    auto* first = new CBalloonHelp;
    ASSERT_TRUE(Show(*first, {300, 200}, keys));
    ASSERT_TRUE(input::PressKey(VK_SHIFT));  // starts the fade-out; the hook stays until it is gone
    orv::win::ResetKernel();
    delete first;
    ASSERT_TRUE(owner_.CreateIndirect(&OwnerTemplate()));
    CBalloonHelp second;
    ASSERT_TRUE(Show(second, {300, 200}, keys | CBalloonHelp::kDisableFadeOut));
    ASSERT_TRUE(input::PressKey(VK_SHIFT));
    orv::win::PumpMessages();
    EXPECT_FALSE(IsWindow(second.GetSafeHwnd()));
}

TEST_F(BalloonHelpTest, MouseOptionsClose) {
    const unsigned noFade = CBalloonHelp::kDisableFadeIn | CBalloonHelp::kDisableFadeOut;
    {
        SCOPED_TRACE("moving beyond the tolerance");
        orv::win::SetMousePosition({310, 250});
        CBalloonHelp b;
        ASSERT_TRUE(Show(b, {300, 200}, noFade | CBalloonHelp::kCloseOnMouseMove));
        input::MoveMouse({313, 253});  // within 3 pixels
        input::AdvanceClock(100);
        EXPECT_TRUE(IsWindow(b.GetSafeHwnd()));
        orv::win::SetMousePosition({314, 250});
        input::AdvanceClock(100);
        EXPECT_FALSE(IsWindow(b.GetSafeHwnd()));
    }
    {
        SCOPED_TRACE("left button up with the capture");
        CBalloonHelp b;
        ASSERT_TRUE(Show(b, {300, 200}, noFade | CBalloonHelp::kCloseOnLButtonUp));
        EXPECT_EQ(GetCapture(), b.GetSafeHwnd());
        input::ClickAt({900, 900});
        EXPECT_FALSE(IsWindow(b.GetSafeHwnd()));
        EXPECT_EQ(GetCapture(), nullptr);
    }
    {
        SCOPED_TRACE("right button up");
        CBalloonHelp b;
        ASSERT_TRUE(Show(b, {300, 200}, noFade | CBalloonHelp::kCloseOnRButtonUp));
        input::ClickAt({900, 900}, true);
        EXPECT_FALSE(IsWindow(b.GetSafeHwnd()));
    }
    {
        SCOPED_TRACE("the close button");
        CBalloonHelp b;
        ASSERT_TRUE(Show(b, {300, 200}, noFade | CBalloonHelp::kShowCloseButton));
        const auto view = Inspect(b.GetSafeHwnd());
        // Not on the close button: nothing happens.
        input::ClickAt({view.windowRect.left + 12, view.windowRect.bottom - 10});
        ASSERT_TRUE(IsWindow(b.GetSafeHwnd()));
        // The button: the top right square of the client area (tail on top).
        const POINT button{view.windowRect.right - CBalloonHelp::kMargin - 8,
                           view.windowRect.top + CBalloonHelp::kTailHeight + CBalloonHelp::kMargin + 8};
        input::ClickAt(button);
        EXPECT_FALSE(IsWindow(b.GetSafeHwnd()));
    }
    {
        SCOPED_TRACE("a URL opens with the shell");
        orv::win::ClearRecords();
        CBalloonHelp b;
        ASSERT_TRUE(b.Create(L"Title", L"text", CPoint(300, 200), noFade, &owner_, L"https://example.invalid/help", 0));
        const auto view = Inspect(b.GetSafeHwnd());
        input::ClickAt({view.windowRect.left + 30, view.windowRect.bottom - 12});
        EXPECT_FALSE(IsWindow(b.GetSafeHwnd()));
        ASSERT_EQ(orv::win::ShellExecutes().size(), 1u);
        EXPECT_EQ(orv::win::ShellExecutes()[0].file, L"https://example.invalid/help");
    }
}

TEST_F(BalloonHelpTest, CloseButtonIsDrawnHotUnderTheMouseAndFlatAgainOnceItLeaves) {
    CBalloonHelp b;
    ASSERT_TRUE(Show(b, {300, 200}, CBalloonHelp::kDisableFadeIn | CBalloonHelp::kShowCloseButton));
    const auto view = Inspect(b.GetSafeHwnd());
    const POINT button{view.windowRect.right - CBalloonHelp::kMargin - 8,
                       view.windowRect.top + CBalloonHelp::kTailHeight + CBalloonHelp::kMargin + 8};
    EXPECT_EQ(b.CloseButtonState(), UINT(DFCS_FLAT));
    input::MoveMouse(button);
    EXPECT_EQ(b.CloseButtonState(), UINT(DFCS_HOT));
    const auto* list = orv::win::PaintWindow(b.GetSafeHwnd());
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(std::any_of(list->ops.begin(), list->ops.end(), [](const orv::win::DrawOp& op) {
        return op.kind == orv::win::DrawKind::Text && op.text == L"Title";
    }));
    // Away from every window: no mouse move reaches the balloon; the check after 500 ms does.
    input::MoveMouse({1800, 1000});
    EXPECT_EQ(b.CloseButtonState(), UINT(DFCS_HOT));
    input::AdvanceClock(CBalloonHelp::kHotCheckMilliseconds);
    EXPECT_EQ(b.CloseButtonState(), UINT(DFCS_FLAT));
    EXPECT_TRUE(IsWindow(b.GetSafeHwnd()));
}

TEST_F(BalloonHelpTest, RegionAndPaintingFollowTheShape) {
    CBalloonHelp b;
    ASSERT_TRUE(Show(b, {300, 200}, CBalloonHelp::kDisableFadeIn | CBalloonHelp::kShowInnerShadow, L"Content line"));
    HWND hwnd = b.GetSafeHwnd();
    const auto shapes = orv::win::RegionShapes(orv::win::WindowRegion(hwnd));
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].kind, orv::win::RegionShape::Polygon);
    EXPECT_EQ(shapes[1].kind, orv::win::RegionShape::RoundRect);
    EXPECT_EQ(shapes[1].ellipse.cx, 3 * CBalloonHelp::kMargin);
    EXPECT_EQ(shapes[1].rect.top, CBalloonHelp::kTailHeight);  // the body below the tail

    const auto* list = orv::win::PaintWindow(hwnd);
    ASSERT_NE(list, nullptr);
    int frames = 0;
    bool title = false, content = false;
    const COLORREF bg = GetSysColor(COLOR_INFOBK), fg = GetSysColor(COLOR_INFOTEXT);
    bool light = false, dark = false;
    for (const auto& op : list->ops) {
        if (op.kind == orv::win::DrawKind::FrameRegion) {
            ++frames;
            if (op.brush.color == RGB(GetRValue(bg) / 3 + 170, GetGValue(bg) / 3 + 170, GetBValue(bg) / 3 + 170)) light = true;
            if (op.brush.color == RGB(GetRValue(fg) / 3 + GetRValue(bg) * 2 / 3, GetGValue(fg) / 3 + GetGValue(bg) * 2 / 3,
                                      GetBValue(fg) / 3 + GetBValue(bg) * 2 / 3))
                dark = true;
        }
        if (op.kind == orv::win::DrawKind::Text && op.text == L"Title") {
            title = true;
            EXPECT_EQ(op.font.weight, FW_BOLD);
        }
        if (op.kind == orv::win::DrawKind::Text && op.text == L"Content line") {
            content = true;
            EXPECT_EQ(op.textColor, fg);
            EXPECT_EQ(op.backMode, TRANSPARENT);
        }
    }
    EXPECT_EQ(frames, 3);
    EXPECT_TRUE(light);
    EXPECT_TRUE(dark);
    EXPECT_TRUE(title);
    EXPECT_TRUE(content);
}

TEST_F(BalloonHelpTest, CreationNeedsAParentAndDeletesItselfWhenAsked) {
    CBalloonHelp orphan;
    EXPECT_FALSE(orphan.Create(L"T", L"c", CPoint(10, 10), 0, nullptr));
    EXPECT_EQ(orphan.GetSafeHwnd(), nullptr);

    auto* self = new CBalloonHelp;
    ASSERT_TRUE(Show(*self, {300, 200},
                     CBalloonHelp::kDeleteThisOnClose | CBalloonHelp::kDisableFadeIn | CBalloonHelp::kDisableFadeOut));
    HWND hwnd = self->GetSafeHwnd();
    SendMessage(hwnd, WM_CLOSE, 0, 0);  // the object is gone with its window (the sanitizer build checks)
    EXPECT_FALSE(IsWindow(hwnd));

    // Fading in, timing out and fading out on the clock, then gone with its object.
    auto* fading = new CBalloonHelp;
    ASSERT_TRUE(Show(*fading, {300, 200}, CBalloonHelp::kDeleteThisOnClose, L"text", 100));
    hwnd = fading->GetSafeHwnd();
    input::AdvanceClock(1000);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(BalloonHelpTest, ShapeOfATallNarrowBalloonKeepsTheTailWithinTheMargins) {
    const auto s = CBalloonHelp::ComputeShape(SIZE{30, 60}, true, 0);
    for (const POINT& p : s.tail) {
        EXPECT_GE(p.x, CBalloonHelp::kMargin);
        EXPECT_LE(p.x, 30 - CBalloonHelp::kMargin);
    }
    const auto bottom = CBalloonHelp::ComputeShape(SIZE{200, 80}, false, 150);
    EXPECT_EQ(bottom.body.bottom, 60);
    EXPECT_EQ(bottom.tail[0].y, 78);
    EXPECT_EQ(bottom.tail[1].y, 58);
}

}  // namespace
