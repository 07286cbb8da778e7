// The curve editor laid out for what it shows: column headings with their units whole, no rows
// kept for captions it was not given, the plot beside the table and the whole window within the
// 100 columns of the terminal front end.

#include <gtest/gtest.h>

#include "components/curveeditor/CurveEditorDialog.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "support/StepDriver.h"

namespace {

using E = orv::components::CurveEditorDialog;

struct Shown {
    RECT client{}, table{}, plot{};
    int columns[2] = {};
    bool caption2 = false;
};

// Opens the editor with these captions and reads its layout (pixels, client coordinates).
Shown Open(const std::wstring& caption2, const std::wstring& x, const std::wstring& y) {
    orv::win::ResetKernel();
    E dialog(nullptr, {{0, 0}, {10, 1}}, 2, L"Editor", caption2, L"", x, y);
    orvtest::StepDriver driver;
    Shown shown;
    driver.Then([&] {
        const HWND window = orv::win::ActiveModalWindow();
        auto inClient = [&](int id) {
            const RECT r = orv::win::Inspect(orv::win::FindControl(window, id)).windowRect;
            const RECT c = orv::win::Inspect(window).clientRect;
            return RECT{r.left - c.left, r.top - c.top, r.right - c.left, r.bottom - c.top};
        };
        const RECT c = orv::win::Inspect(window).clientRect;
        shown.client = RECT{0, 0, c.right - c.left, c.bottom - c.top};
        shown.table = inClient(E::IDC_POINTS);
        shown.plot = inClient(E::IDC_PLOT);
        for (int i = 0; i < 2; ++i)
            shown.columns[i] = int(::SendMessage(orv::win::FindControl(window, E::IDC_POINTS), LVM_GETCOLUMNWIDTH, WPARAM(i), 0));
        shown.caption2 = orv::win::FindControl(window, E::IDC_CAPTION2) != nullptr;
        ASSERT_TRUE(orv::win::input::Click(orv::win::FindControl(window, IDCANCEL)));
    });
    orv::win::DriverScope scope(&driver);
    dialog.DoModal();
    return shown;
}

TEST(CurveEditorLayout, HeadingsFitAndNothingIsKeptForAbsentCaptions) {
    // 6 pixels a character in the kernel's dialog font; a terminal cell is 6 pixels wide.
    const std::wstring x = L"Temperature (°C)", y = L"Heat Generation (BTU/(in³·s))";
    const Shown wide = Open(L"", x, y);
    EXPECT_GE(wide.columns[0], int(x.size()) * 6);
    EXPECT_GE(wide.columns[1], int(y.size()) * 6);
    EXPECT_LE(wide.columns[0] + wide.columns[1], wide.table.right - wide.table.left);
    EXPECT_FALSE(wide.caption2);
    EXPECT_LE(wide.table.top, 12);  // the dialog's margin, no empty band
    EXPECT_EQ(wide.plot.top, wide.table.top);
    EXPECT_GT(wide.plot.left, wide.table.right);
    EXPECT_LE(wide.plot.right, wide.client.right);
    EXPECT_LE(wide.client.right / 6 + 2, 100);  // the terminal's columns, frame included

    // Short headings keep the table's usual width; a caption takes its row above the table.
    const Shown narrow = Open(L"Curve 3", L"Time (s)", L"Multiplier");
    EXPECT_TRUE(narrow.caption2);
    EXPECT_GT(narrow.table.top, wide.table.top);
    EXPECT_LT(narrow.table.right - narrow.table.left, wide.table.right - wide.table.left);
}

}  // namespace
