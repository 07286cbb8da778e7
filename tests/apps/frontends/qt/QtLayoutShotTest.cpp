// Pictures of the applied temperature dialog checked against the kernel's layout: under Riks
// the load curve row is hidden and the rows below move up, so neither the kernel's control
// rectangles nor the picture may show a gap where the row was, and the window ends just below
// its last control, as the same dialog does with every row shown.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include <unistd.h>

#include "apps/orvdlg/ScriptSession.h"
#include "platform/drivers/qt/QtDriver.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

struct Shot {
    std::string file;
    RECT windowRect{};
    RECT clientRect{};
    std::vector<orv::win::WindowView> visible;  // the dialog's visible controls
};

std::filesystem::path ScratchDir(const std::string& name) {
    const char* base = std::getenv("ORV_TEST_TMP");
    // One folder per process: CTest runs the cases in parallel processes.
    std::filesystem::path dir =
        std::filesystem::path(base ? base : "/tmp") / ("qt_layout-" + std::to_string(::getpid())) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// Plays the script through the Qt driver and keeps the picture and the kernel's layout of the
// active window at the first `show`.
bool ShootFirstShow(const std::string& script, const std::filesystem::path& dir, Shot& shot, std::string& output) {
    orv::qt::EnsureApplication(true);
    std::ostringstream out;
    orvdlg::ScriptSession session(out);
    std::unique_ptr<orv::qt::QtDriver> driver;
    orv::qt::QtDriverOptions options;
    options.inner = &session.ScriptDriver();
    bool taken = false;
    std::string error;
    options.afterInput = [&](HWND) {
        if (taken) return;
        const int line = session.Runner().CurrentLine();
        std::istringstream lines(script);
        std::string text;
        for (int i = 0; i < line && std::getline(lines, text); ++i) {}
        if (text.find("show") == std::string::npos) return;
        taken = true;
        const HWND active = orv::win::ActiveModalWindow();
        const orv::win::WindowView view = orv::win::Inspect(active);
        shot.windowRect = view.windowRect;
        shot.clientRect = view.clientRect;
        for (HWND child : orv::win::ChildWindows(active)) {
            orv::win::WindowView c = orv::win::Inspect(child);
            if (c.reallyVisible) shot.visible.push_back(std::move(c));
        }
        shot.file = (dir / "shot.png").string();
        if (!driver->SaveWindowImage(active, shot.file, error)) shot.file.clear();
    };
    driver = std::make_unique<orv::qt::QtDriver>(std::move(options));
    session.SetFrontEnd(driver.get());
    const int status = session.RunText("layout.dlgs", script);
    output = out.str() + error;
    return status == 0 && taken && !shot.file.empty();
}

std::string DialogScript(bool riks) {
    return std::string("model sample\ndisplay-units model\nanalysis 4 riks ") + (riks ? "on" : "off") +
           "\nopen 40 modify 16\n  show\n  click Cancel\n";
}

struct Band {
    int top = 0, bottom = 0;  // client coordinates, bottom exclusive
};

// The tallest horizontal band of the client area that no visible control covers, between the
// top of the first control and the bottom of the last.
Band TallestUncoveredBand(const Shot& shot) {
    std::vector<Band> covered;
    for (const auto& c : shot.visible)
        covered.push_back({c.windowRect.top - shot.clientRect.top, c.windowRect.bottom - shot.clientRect.top});
    std::sort(covered.begin(), covered.end(), [](const Band& a, const Band& b) { return a.top < b.top; });
    Band tallest;
    int reach = covered.empty() ? 0 : covered.front().top;
    for (const Band& b : covered) {
        if (b.top > reach && b.top - reach > tallest.bottom - tallest.top) tallest = {reach, b.top};
        reach = std::max(reach, b.bottom);
    }
    return tallest;
}

int LastControlBottom(const Shot& shot) {
    int bottom = 0;
    for (const auto& c : shot.visible) bottom = std::max<int>(bottom, c.windowRect.bottom - shot.clientRect.top);
    return bottom;
}

// The distance between one row of edits and the next: the smallest step between the tops of
// the visible single-line edits that lie in different rows.
int RowSpacing(const Shot& shot) {
    std::vector<int> tops;
    for (const auto& c : shot.visible)
        if (c.className == L"Edit" && !(c.style & ES_MULTILINE)) tops.push_back(c.windowRect.top);
    std::sort(tops.begin(), tops.end());
    int spacing = 0;
    for (std::size_t i = 1; i < tops.size(); ++i)
        if (tops[i] > tops[i - 1] && (spacing == 0 || tops[i] - tops[i - 1] < spacing)) spacing = tops[i] - tops[i - 1];
    return spacing;
}

// The picture's own rows, read back from the PNG: for each row of the client area, whether any
// pixel differs from the dialog face.
std::vector<bool> InkedRows(const QImage& image, const Shot& shot) {
    const QColor face(240, 240, 240);
    const int left = shot.clientRect.left - shot.windowRect.left, top = shot.clientRect.top - shot.windowRect.top;
    const int width = shot.clientRect.right - shot.clientRect.left, height = shot.clientRect.bottom - shot.clientRect.top;
    std::vector<bool> inked(std::size_t(std::max(0, height)), false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width && !inked[std::size_t(y)]; ++x)
            if (image.pixelColor(left + x, top + y) != face) inked[std::size_t(y)] = true;
    return inked;
}

// The longest run of blank rows between the first and the last inked row, and the blank rows
// below the last inked one.
void BlankRuns(const std::vector<bool>& inked, int& longestInside, int& belowLast) {
    const auto first = std::find(inked.begin(), inked.end(), true);
    const auto last = std::find(inked.rbegin(), inked.rend(), true);
    longestInside = 0;
    belowLast = int(last - inked.rbegin());
    int run = 0;
    for (auto it = first; it != inked.end() && it < last.base(); ++it) {
        run = *it ? 0 : run + 1;
        longestInside = std::max(longestInside, run);
    }
}

class RiksLayoutShots : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string output;
        normalOk_ = ShootFirstShow(DialogScript(false), ScratchDir("normal"), normal_, output);
        normalOutput_ = output;
        riksOk_ = ShootFirstShow(DialogScript(true), ScratchDir("riks"), riks_, output);
        riksOutput_ = output;
    }
    void SetUp() override {
        ASSERT_TRUE(normalOk_) << normalOutput_;
        ASSERT_TRUE(riksOk_) << riksOutput_;
    }
    static Shot normal_, riks_;
    static bool normalOk_, riksOk_;
    static std::string normalOutput_, riksOutput_;
};
Shot RiksLayoutShots::normal_, RiksLayoutShots::riks_;
bool RiksLayoutShots::normalOk_ = false, RiksLayoutShots::riksOk_ = false;
std::string RiksLayoutShots::normalOutput_, RiksLayoutShots::riksOutput_;

// The measures themselves find a row left behind: a band of 46 pixels with nothing in it.
TEST(LayoutMeasures, FindTheBandARemovedRowLeaves) {
    Shot shot;
    shot.clientRect = RECT{100, 200, 300, 330};
    for (int top : {210, 240, 300}) {
        orv::win::WindowView c;
        c.className = L"Edit";
        c.windowRect = RECT{110, top, 200, top + 14};
        shot.visible.push_back(c);
    }
    const Band gap = TallestUncoveredBand(shot);
    EXPECT_EQ(gap.top, 54);
    EXPECT_EQ(gap.bottom, 100);
    EXPECT_EQ(RowSpacing(shot), 30);
    EXPECT_EQ(LastControlBottom(shot), 114);

    struct Case {
        std::vector<bool> inked;
        int inside, below;
    };
    const std::vector<Case> cases = {
        {{}, 0, 0},
        {{false, false}, 0, 2},
        {{true, false, false, true, false}, 2, 1},
        {{false, true, true, false, true}, 1, 0},
        {{true, false, false, false, true, false, true, false, false}, 3, 2},
    };
    for (const Case& c : cases) {
        int inside = -1, below = -1;
        BlankRuns(c.inked, inside, below);
        EXPECT_EQ(inside, c.inside);
        EXPECT_EQ(below, c.below);
    }
}

TEST_F(RiksLayoutShots, PicturesHaveTheWindowsSizes) {
    for (const Shot* shot : {&normal_, &riks_}) {
        QImage image(QString::fromStdString(shot->file));
        ASSERT_FALSE(image.isNull()) << shot->file;
        EXPECT_EQ(image.width(), shot->windowRect.right - shot->windowRect.left);
        EXPECT_EQ(image.height(), shot->windowRect.bottom - shot->windowRect.top);
        EXPECT_FALSE(image.hasAlphaChannel());
    }
    // The hidden row takes its height with it: the Riks window is shorter, not wider.
    EXPECT_EQ(riks_.windowRect.right - riks_.windowRect.left, normal_.windowRect.right - normal_.windowRect.left);
    EXPECT_LT(riks_.windowRect.bottom - riks_.windowRect.top, normal_.windowRect.bottom - normal_.windowRect.top);
    EXPECT_LT(riks_.visible.size(), normal_.visible.size());
}

TEST_F(RiksLayoutShots, VisibleControlsLeaveNoBandTallerThanARow) {
    const int spacing = RowSpacing(normal_);
    ASSERT_GT(spacing, 10);
    for (const Shot* shot : {&normal_, &riks_}) {
        const Band gap = TallestUncoveredBand(*shot);
        EXPECT_LE(gap.bottom - gap.top, spacing)
            << (shot == &riks_ ? "riks" : "normal") << ": nothing between y " << gap.top << " and " << gap.bottom;
    }
    // Closing up keeps the row pitch: the Riks dialog's rows are no further apart.
    EXPECT_EQ(RowSpacing(riks_), spacing);
}

TEST_F(RiksLayoutShots, WindowEndsJustBelowItsLastControl) {
    const int normalMargin = (normal_.clientRect.bottom - normal_.clientRect.top) - LastControlBottom(normal_);
    const int riksMargin = (riks_.clientRect.bottom - riks_.clientRect.top) - LastControlBottom(riks_);
    EXPECT_GT(normalMargin, 0);
    EXPECT_LE(normalMargin, RowSpacing(normal_));
    EXPECT_LE(std::abs(riksMargin - normalMargin), 2) << "riks " << riksMargin << ", normal " << normalMargin;
}

TEST_F(RiksLayoutShots, PictureShowsNoGapEither) {
    const int spacing = RowSpacing(normal_);
    int normalInside = 0, normalBelow = 0, riksInside = 0, riksBelow = 0;
    BlankRuns(InkedRows(QImage(QString::fromStdString(normal_.file)), normal_), normalInside, normalBelow);
    BlankRuns(InkedRows(QImage(QString::fromStdString(riks_.file)), riks_), riksInside, riksBelow);
    EXPECT_LE(normalInside, spacing);
    EXPECT_LE(riksInside, spacing);
    EXPECT_LE(std::abs(riksBelow - normalBelow), 2) << "riks " << riksBelow << ", normal " << normalBelow;
}

TEST_F(RiksLayoutShots, EveryVisibleControlIsDrawnWhereTheKernelPutsIt) {
    for (const Shot* shot : {&normal_, &riks_}) {
        const QImage image(QString::fromStdString(shot->file));
        const QColor face(240, 240, 240);
        for (const auto& c : shot->visible) {
            if (c.text.empty() && c.className == L"Static") continue;  // an empty label draws nothing
            const QRect r(c.windowRect.left - shot->windowRect.left, c.windowRect.top - shot->windowRect.top,
                          c.windowRect.right - c.windowRect.left, c.windowRect.bottom - c.windowRect.top);
            bool inked = false;
            for (int y = r.top(); y <= r.bottom() && !inked; ++y)
                for (int x = r.left(); x <= r.right() && !inked; ++x)
                    inked = image.valid(x, y) && image.pixelColor(x, y) != face;
            EXPECT_TRUE(inked) << "control " << c.id << " at " << r.x() << "," << r.y() << " is blank in the picture";
        }
    }
}

}  // namespace
