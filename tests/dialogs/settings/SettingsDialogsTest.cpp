// The model settings dialogs as the host obtains them: the factory's reset of the unit system
// dialog on every request, a run without a unit system, and the grid following the dialog's
// size.

#include <gtest/gtest.h>

#include "dialogs/factory/ASettingsDialogs.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "platform/win/Afx.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "support/StepDriver.h"

namespace {

namespace input = orv::win::input;
using DataModelDialogs::AUnitsDialog;

AUnitsDialog* Units() { return DataModelDialogs::GetDataModelDialogFactory()->GetUnitsDialog(); }
HWND Ctl(int id) { return orv::win::FindControl(orv::win::ActiveModalWindow(), id); }

TEST(UnitsDialog, EveryRequestResetsThePresentationAndNoUnitSystemShowsNothing) {
    orv::win::ResetKernel();
    AUnitsDialog* units = Units();
    ASSERT_NE(nullptr, units);
    orvtest::StepDriver driver;
    orv::win::DriverScope scope(&driver);
    bool shown = false;
    driver.Then([&] { shown = true; });
    EXPECT_EQ(IDCANCEL, units->ShowDialog(true));
    EXPECT_FALSE(shown);
    units->SetChangeConfirmed(true);
    units->SetShowDescription(true);
    units->SetDescription(L"Mine");
    units->SetShowAddToTree(true);
    units->SetAddToTree(true);
    EXPECT_EQ(units, Units());
    EXPECT_FALSE(units->IsChangeConfirmed());
    EXPECT_FALSE(units->GetShowDescription());
    EXPECT_TRUE(units->GetDescription().IsEmpty());
    EXPECT_FALSE(units->GetShowAddToTree());
    EXPECT_FALSE(units->GetAddToTree());
}

TEST(UnitsDialog, TheGridAndButtonsFollowTheDialogsSize) {
    orv::win::ResetKernel();
    AUnitsDialog* units = Units();
    units->SetUnitSystem(OrvDbRecord::UnitSystem(1));
    orvtest::StepDriver driver;
    orv::win::DriverScope scope(&driver);
    driver.Then([&] {
        HWND window = orv::win::ActiveModalWindow();
        const auto before = orv::win::Inspect(Ctl(101)).windowRect;
        const auto ok = orv::win::Inspect(Ctl(IDOK)).windowRect;
        RECT frame{};
        GetWindowRect(window, &frame);
        MoveWindow(window, frame.left, frame.top, frame.right - frame.left + 60, frame.bottom - frame.top + 40, TRUE);
        const auto after = orv::win::Inspect(Ctl(101)).windowRect;
        EXPECT_EQ(before.right - before.left + 60, after.right - after.left);
        EXPECT_EQ(before.bottom - before.top + 40, after.bottom - after.top);
        const auto movedOk = orv::win::Inspect(Ctl(IDOK)).windowRect;
        EXPECT_EQ(ok.left + 60, movedOk.left);
        EXPECT_EQ(ok.top + 40, movedOk.top);
        ASSERT_TRUE(input::Click(Ctl(IDCANCEL)));
    });
    EXPECT_EQ(IDCANCEL, units->ShowDialog(true));
}

}  // namespace
