// The property grid driven as a person drives it: keyboard moves, the choice list, typed
// letters, the notifications the parent receives, ResetValue, and a resizing dialog base.

#include <gtest/gtest.h>

#include "KernelTestSupport.h"
#include "platform/drivers/scripted/UiCommands.h"
#include "platform/win/PropertyGrid.h"
#include "platform/win/ResizeDialog.h"

using namespace kerneltest;
using namespace orv::win;

namespace {

constexpr int kGridId = 101;

class PropertyGridTest : public ::testing::Test {
protected:
    void SetUp() override { ResetKernel(); }
    void TearDown() override { ResetKernel(); }
    StepDriver driver;
    DriverScope scope{&driver};

    // A dialog with a grid: category "Units" with "Length" (in, ft, m; editable) and "Mass"
    // (kg, g; read-only). `body` runs while it is open; the notifications land in `codes`.
    void WithGrid(std::function<void(HWND grid)> body) {
        TemplateBuilder b(L"Grid", 240, 140);
        b.OkCancel();
        TestDialog dlg(b.t);
        dlg.HandleMessage(XTPWM_PROPERTYGRID_NOTIFY, [this](WPARAM code, LPARAM item) {
            auto* changed = reinterpret_cast<CXTPPropertyGridItem*>(item);
            if (code == XTP_PGN_ITEMVALUE_CHANGED) changes.push_back(changed->GetCaption().GetString());
            return LRESULT(0);
        });
        dlg.init = [&] {
            grid.Create(CRect(5, 5, 300, 180), &dlg, kGridId);
            CXTPPropertyGridItem* units = grid.AddCategory(L"Units");
            length = static_cast<CXTPPropertyGridItemEnum*>(units->AddChildItem(new CXTPPropertyGridItemEnum(L"Length")));
            for (auto [text, data] : {std::pair{L"in", 0}, {L"ft", 1}, {L"m", 2}})
                length->GetConstraints()->AddConstraint(text, DWORD_PTR(data));
            length->SetEnum(0);
            length->SetDescription(L"The length unit.");
            mass = static_cast<CXTPPropertyGridItemEnum*>(units->AddChildItem(new CXTPPropertyGridItemEnum(L"Mass")));
            mass->GetConstraints()->AddConstraint(L"kg", 0);
            mass->GetConstraints()->AddConstraint(L"g", 1);
            mass->SetEnum(0);
            mass->SetReadOnly();
            units->Expand();
        };
        driver.Then([&] {
            body(Control(Modal(), kGridId));
            grid.Detach();
            input::PressKey(VK_ESCAPE);
        });
        dlg.DoModal();
    }
    CXTPPropertyGrid grid;
    CXTPPropertyGridItemEnum* length = nullptr;
    CXTPPropertyGridItemEnum* mass = nullptr;
    std::vector<std::wstring> changes;
};

TEST_F(PropertyGridTest, KeyboardMovesOpensPicksAndNotifiesOnlyOnAChange) {
    WithGrid([&](HWND hwnd) {
        ASSERT_TRUE(input::Focus(hwnd));
        EXPECT_EQ(Inspect(hwnd).selection, 0);  // the focus selects the first row
        input::PressKey(VK_DOWN);
        EXPECT_EQ(grid.GetSelectedItem(), length);
        input::PressKey(VK_RETURN);  // opens the list instead of pressing OK
        EXPECT_TRUE(Inspect(hwnd).gridDropped);
        input::PressKey(VK_DOWN);
        input::PressKey(VK_DOWN);
        input::PressKey(VK_RETURN);
        EXPECT_FALSE(Inspect(hwnd).gridDropped);
        EXPECT_EQ(length->GetEnum(), 2);
        input::PressKey(VK_F4);
        input::PressKey(VK_ESCAPE);  // closes the list, not the dialog
        EXPECT_FALSE(Inspect(hwnd).gridDropped);
        EXPECT_TRUE(IsWindow(hwnd));
        input::TypeChar(L'f');
        EXPECT_EQ(length->GetEnum(), 1);
        input::TypeChar(L'F');  // the only match is the current choice: no change
        EXPECT_EQ(changes, (std::vector<std::wstring>{L"Length", L"Length"}));
        input::PressKey(VK_DOWN);
        input::TypeChar(L'g');  // read-only
        input::PressKey(VK_F4);
        EXPECT_EQ(mass->GetEnum(), 0);
        EXPECT_FALSE(Inspect(hwnd).gridDropped);
        EXPECT_FALSE(input::GridChoose(hwnd, L"Mass", L"g"));
        EXPECT_EQ(input::LastInputError(), L"the item \"Mass\" is read-only");
        EXPECT_EQ(changes.size(), 2u);
    });
}

TEST_F(PropertyGridTest, CategoriesCollapseAndResetValueRestoresTheValueSetByCode) {
    WithGrid([&](HWND hwnd) {
        ASSERT_TRUE(input::GridChoose(hwnd, L"Length", L"m"));
        EXPECT_EQ(changes, std::vector<std::wstring>{L"Length"});
        length->ResetValue();
        EXPECT_EQ(length->GetEnum(), 0);
        EXPECT_EQ(Inspect(hwnd).gridRows[1].value, L"in");
        input::PressKey(VK_UP);
        input::PressKey(VK_RETURN);  // a category toggles
        EXPECT_EQ(Inspect(hwnd).gridRows.size(), 1u);
        EXPECT_FALSE(input::GridChoose(hwnd, L"Length", L"m"));
        input::TypeChar(L'+');
        EXPECT_EQ(Inspect(hwnd).gridRows.size(), 3u);
        input::PressKey(VK_DOWN);
        const std::string shot = orv::script::SnapshotOf(Modal());
        EXPECT_NE(shot.find("- Units"), std::string::npos) << shot;
        EXPECT_NE(shot.find(">  Length"), std::string::npos) << shot;
        EXPECT_NE(shot.find("|[in"), std::string::npos) << shot;
        EXPECT_NE(shot.find("| kg"), std::string::npos) << shot;
        EXPECT_NE(shot.find("The length unit."), std::string::npos) << shot;
    });
}

class ResizingDialog : public CXTResizeDialog {
public:
    explicit ResizingDialog(const orv::res::DialogTemplate& t) : CXTResizeDialog(0), template_(t) {
        InitModalIndirect(&template_);
    }
    BOOL OnInitDialog() override {
        CXTResizeDialog::OnInitDialog();
        SetResize(1001, SZ_TOP_LEFT, SZ_BOTTOM_RIGHT);
        SetResize(IDOK, SZ_BOTTOM_RIGHT, SZ_BOTTOM_RIGHT);
        return TRUE;
    }

private:
    orv::res::DialogTemplate template_;
};

TEST_F(PropertyGridTest, ResizeDialogStretchesAnchoredControls) {
    TemplateBuilder b(L"Resize", 200, 100);
    b.t.style |= WS_THICKFRAME;
    b.Add(L"Static", 1001, 0, L"", 5, 5, 100, 50).Button(IDOK, L"OK", BS_DEFPUSHBUTTON);
    ResizingDialog dlg(b.t);
    driver.Then([&] {
        HWND window = Modal();
        RECT frame{}, before{}, okBefore{}, after{}, okAfter{};
        GetWindowRect(window, &frame);
        GetWindowRect(Control(window, 1001), &before);
        GetWindowRect(Control(window, IDOK), &okBefore);
        MoveWindow(window, frame.left, frame.top, frame.right - frame.left + 40, frame.bottom - frame.top + 30, TRUE);
        GetWindowRect(Control(window, 1001), &after);
        GetWindowRect(Control(window, IDOK), &okAfter);
        EXPECT_EQ(after.right - after.left, before.right - before.left + 40);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 30);
        EXPECT_EQ(okAfter.left - okBefore.left, 40);
        EXPECT_EQ(okAfter.right - okAfter.left, okBefore.right - okBefore.left);
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

}  // namespace
