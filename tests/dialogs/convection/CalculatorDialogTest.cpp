// Each of the 22 correlations through the calculator dialog: the type and correlation chosen,
// every input typed as a person types it, "Calculate" pressed and the explanation closed, then
// OK. The coefficient the dialog returns equals the engine's for the same inputs.

#include <gtest/gtest.h>

#include "support/StepDriver.h"

#include <cmath>
#include <deque>
#include <functional>
#include <string>

#include "ConvectionTestSupport.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/convection/SurfaceConvectionCoefficientCalculatorDlg.h"
#include "dialogs/resources/Convection.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "platform/win/TextFormat.h"

using namespace DataModelDialogs;
namespace input = orv::win::input;

namespace {

// Plays one step per wait for input, as every dialog test here does.
using Steps = orvtest::StepDriver;

HWND Control(int id) { return orv::win::FindControl(orv::win::ActiveModalWindow(), id); }

// What a person types into each field, and the engine's inputs for the same text.
struct Field {
    int id;
    double ConvectionCoefficientInputs::*field;
    const wchar_t* text;
};
const Field kFields[] = {
    {IDC_CC_FLOW_SPEED, &ConvectionCoefficientInputs::FlowSpeed, L"3.5"},
    {IDC_CC_AMBIENT, &ConvectionCoefficientInputs::AmbientTemperature, L"20"},
    {IDC_CC_WALL, &ConvectionCoefficientInputs::WallTemperature, L"61.5"},
    {IDC_CC_GRAVITY, &ConvectionCoefficientInputs::Gravity, L"9.80665"},
    {IDC_CC_DENSITY, &ConvectionCoefficientInputs::Density, L"1.177"},
    {IDC_CC_VISCOSITY, &ConvectionCoefficientInputs::DynamicViscosity, L"1.846e-5"},
    {IDC_CC_CONDUCTIVITY, &ConvectionCoefficientInputs::ThermalConductivity, L"0.02624"},
    {IDC_CC_EXPANSION, &ConvectionCoefficientInputs::ThermalExpansion, L"0.00333"},
    {IDC_CC_SPECIFIC_HEAT, &ConvectionCoefficientInputs::SpecificHeat, L"1007"},
    {IDC_CC_PLATE_LENGTH, &ConvectionCoefficientInputs::ExternalPlateLength, L"0.7"},
    {IDC_CC_PIPE_DIAMETER, &ConvectionCoefficientInputs::PipeDiameter, L"0.05"},
    {IDC_CC_DUCT_HEIGHT, &ConvectionCoefficientInputs::DuctHeight, L"0.04"},
    {IDC_CC_DUCT_WIDTH, &ConvectionCoefficientInputs::DuctWidth, L"0.09"},
    {IDC_CC_TRIANGLE_BASE, &ConvectionCoefficientInputs::TriangleBase, L"0.06"},
    {IDC_CC_TRIANGLE_HEIGHT, &ConvectionCoefficientInputs::TriangleHeight, L"0.045"},
    {IDC_CC_BUOYANCY_LENGTH, &ConvectionCoefficientInputs::BuoyancyPlateLength, L"1.2"},
    {IDC_CC_BUOYANCY_WIDTH, &ConvectionCoefficientInputs::BuoyancyPlateWidth, L"0.8"},
};
constexpr int kGeneralLast = IDC_CC_GRAVITY, kFluidLast = IDC_CC_SPECIFIC_HEAT;

class CalculatorDialogTest : public convection_test::ScratchFolderTest {};

TEST_F(CalculatorDialogTest, EveryCorrelationTypedInGivesTheEnginesCoefficient) {
    for (int type = 0; type < 3; ++type) {
        for (int index = 0; index < CorrelationCount(type); ++index) {
            SCOPED_TRACE("type " + std::to_string(type) + ", correlation " + std::to_string(index));
            ConvectionCoefficientInputs expected;
            expected.Units = OrvDbRecord::UnitSystem(UnitSys::UnitSystem::kTypeSI);
            expected.Type = type;
            CurrentCorrelation(expected) = index;
            for (const Field& f : kFields) expected.*f.field = std::wcstod(f.text, nullptr);
            const double h = ComputeFilmCoefficient(expected);
            ASSERT_TRUE(std::isfinite(h));

            SurfaceConvectionCoefficientCalculatorDlg calculator;
            calculator.inputs.Units = expected.Units;
            calculator.inputs.UserCoefficient = 0;
            Steps steps;
            steps.steps.push_back([&] {
                ASSERT_TRUE(input::SelectItem(Control(IDC_CC_TYPE), type));
                ASSERT_TRUE(input::SelectItem(Control(IDC_CC_CORRELATION), index));
                for (const Field& f : kFields) {
                    // A field the type leaves disabled cannot be typed into: the engine ignores it.
                    HWND edit = Control(f.id);
                    if (IsWindowVisible(edit) && IsWindowEnabled(edit) && IsWindowEnabled(GetParent(edit))) {
                        ASSERT_TRUE(input::ReplaceText(edit, f.text)) << f.id;
                    }
                    if (f.id == kGeneralLast || f.id == kFluidLast) {
                        ASSERT_TRUE(input::PressKey(VK_TAB, {false, true, false}));
                    }
                }
                ASSERT_TRUE(input::Click(Control(IDC_CC_CALCULATE)));
            });
            steps.steps.push_back([] { ASSERT_TRUE(input::PressKey(VK_RETURN)); });  // the explanation
            steps.steps.push_back([] { ASSERT_TRUE(input::Click(Control(IDOK))); });
            {
                orv::win::DriverScope scope(&steps);
                ResourceModuleScope resources;
                ASSERT_EQ(calculator.DoModal(), IDOK);
            }
            EXPECT_NEAR(calculator.result, h, std::abs(h) * 1e-12);
            EXPECT_EQ(calculator.inputs.Type, type);
            EXPECT_EQ(CurrentCorrelation(calculator.inputs), index);
        }
    }
}

}  // namespace

#include <filesystem>

#include "dialogs/convection/ConvectionCoefficientLibraryList.h"
#include "dialogs/convection/SurfaceConvectionCoefficientLibDlg.h"
#include "platform/win/Utf8.h"

namespace {

TEST_F(CalculatorDialogTest, AnEditThatCannotBeSavedIsReportedAndKept) {
    std::filesystem::create_directories(Path("lib"));
    {
        ConvectionCoefficientLibraryList list;
        const std::size_t kept = list.AddLibrary(CString(L"Kept"), true);
        list[kept].SetLocation(WidePath("lib/kept.cclib"));
        ConvectionCoefficientInputs inputs;
        inputs.UserCoefficient = 4.5;
        list[kept].SetEntry(0, CString(L"one"), inputs);
        list[list.AddLibrary(CString(), false)].Load();
        ASSERT_TRUE(list.Save());
    }
    SurfaceConvectionCoefficientLibDlg browser(OrvDbRecord::UnitSystem(UnitSys::UnitSystem::kTypeSI));
    Steps steps;
    std::wstring message;
    steps.steps.push_back([&] {
        ASSERT_TRUE(input::SelectItemByText(Control(IDC_CCLIB_LIBRARIES), L"Kept"));
        ASSERT_TRUE(input::SelectItem(Control(IDC_CCLIB_COEFFICIENTS), 0));
        ASSERT_TRUE(input::Click(Control(IDC_CCLIB_EDIT)));
    });
    steps.steps.push_back([&] {
        // A folder takes the file's place while the calculator is open: the save cannot
        // replace it.
        std::filesystem::remove(Path("lib/kept.cclib"));
        std::filesystem::create_directories(Path("lib/kept.cclib/inside"));
        ASSERT_TRUE(input::ReplaceText(Control(IDC_CC_USER_VALUE), L"6.5"));
        ASSERT_TRUE(input::Click(Control(IDOK)));
    });
    steps.steps.push_back([&] {
        message = orv::win::Inspect(orv::win::ActiveModalWindow()).messageBox.text;
        ASSERT_TRUE(input::PressKey(VK_RETURN));
    });
    steps.steps.push_back([&] {
        // The dialog keeps the edited entry.
        EXPECT_EQ(orv::win::Inspect(Control(IDC_CCLIB_COEFFICIENTS)).items.at(0).subItems.at(0), L"6.5");
        ASSERT_TRUE(input::Click(Control(IDCANCEL)));
    });
    {
        orv::win::DriverScope scope(&steps);
        ResourceModuleScope resources;
        ASSERT_EQ(browser.DoModal(), IDCANCEL);
    }
    EXPECT_NE(message.find(L"could not be saved"), std::wstring::npos) << orv::WideToUtf8(message);
    const auto& libraries = browser.GetLibraries().GetLibraries();
    ASSERT_EQ(libraries.size(), 2u);
    CString name;
    ConvectionCoefficientInputs kept;
    ASSERT_TRUE(libraries[1].GetEntry(0, OrvDbRecord::UnitSystem(UnitSys::UnitSystem::kTypeSI), &name, &kept));
    EXPECT_EQ(name, L"one");
    EXPECT_NEAR(kept.UserCoefficient, 6.5, 1e-9);
    EXPECT_TRUE(libraries[1].IsDirty());
}

}  // namespace
