// Each of the 22 correlations through the calculator dialog: the type and correlation chosen,
// every input typed as a person types it, "Calculate" pressed and the explanation closed, then
// OK. The coefficient the dialog returns equals the engine's for the same inputs.

#include <gtest/gtest.h>

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

class Steps : public orv::win::Driver {
public:
    std::deque<std::function<void()>> steps;
    bool WaitForInput(HWND) override {
        if (steps.empty()) return false;
        auto step = std::move(steps.front());
        steps.pop_front();
        step();
        return true;
    }
};

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
                    if (IsWindowVisible(edit) && IsWindowEnabled(edit) && IsWindowEnabled(GetParent(edit)))
                        ASSERT_TRUE(input::ReplaceText(edit, f.text)) << f.id;
                    if (f.id == kGeneralLast || f.id == kFluidLast)
                        ASSERT_TRUE(input::PressKey(VK_TAB, {false, true, false}));
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
