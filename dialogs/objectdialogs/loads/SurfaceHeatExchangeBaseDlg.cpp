#include "dialogs/objectdialogs/loads/SurfaceHeatExchangeBaseDlg.h"

#include <cstdint>

#include "dialogs/convection/ConvectionCalculatorHost.h"
#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"
#include "dialogs/resources/PartLoads.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/RecordLayout.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {
namespace {

constexpr double kCurveMax = 2147483647;
// Only plates (element types 5 and 11) have two sides to load.
const Condition kPlate = ElementTypeIn({5, 11});

const Condition kIndependent = Checked(IDC_CONV_INDEPENDENT);
const Condition kDependent = Checked(IDC_CONV_DEPENDENT);

const DialogDeclaration kSurfaceConvection{
    .fields =
        {
            BoolRadio(IDC_CONV_INDEPENDENT, "temperatureDependent", true),
            // Only the chosen one of the coefficient and its curve is read and tested; the other
            // keeps its stored value.
            Double(IDC_CONV_COEFFICIENT, "coefficient").ReadWhile(kIndependent).NonZero(IDS_CONV_COEFFICIENT_NONZERO),
            Curve(IDC_CONV_CURVE, "coefficientCurve").ReadWhile(kDependent).Range(1, kCurveMax),
            Curve(IDC_CONV_LOAD_CURVE, "coefficientLoadCurve").Range(0, kCurveMax),
            Double(IDC_CONV_AMBIENT, "ambientTemperature"),
            Curve(IDC_CONV_AMBIENT_CURVE, "ambientLoadCurve").Range(0, kCurveMax),
            Double(IDC_CONV_MAGNITUDE, "ambientLoadCurveMagnitude").Range(1e-300, 1e300),
            Check(IDC_CONV_BOTH_SIDES, "bothSides"),
        },
    .rules =
        {
            SpinRange(IDC_CONV_LOAD_CURVE_SPIN, 0, INT32_MAX),
            SpinRange(IDC_CONV_CURVE_SPIN, 1, INT32_MAX),
            SpinRange(IDC_CONV_AMBIENT_CURVE_SPIN, 0, INT32_MAX),
            SuppressUnlessAnalysisTypes(
                {IDC_CONV_LOAD_CURVE_LABEL, IDC_CONV_LOAD_CURVE, IDC_CONV_LOAD_CURVE_SPIN, IDC_CONV_LOAD_CURVE_BUTTON}),
            SuppressUnlessAnalysisTypes9({IDC_CONV_AMBIENT_CURVE_LABEL, IDC_CONV_AMBIENT_CURVE,
                                          IDC_CONV_AMBIENT_CURVE_SPIN, IDC_CONV_AMBIENT_CURVE_BUTTON,
                                          IDC_CONV_MAGNITUDE_LABEL, IDC_CONV_MAGNITUDE, IDC_CONV_MAGNITUDE_UNIT,
                                          IDC_CONV_PLUS, IDC_CONV_TIMES}),
            SuppressWhile({IDC_CONV_PLATE_OPTIONS, IDC_CONV_BOTH_SIDES}, !kPlate),
            // The library's coefficient goes where the calculator's does, so it is offered only
            // while that coefficient is the one saved.
            EnableWhile({IDC_CONV_COEFFICIENT, IDC_CONV_COEFFICIENT_UNIT, IDC_CONV_CALCULATE, IDC_CONV_LIBRARY},
                        kIndependent),
            EnableWhile({IDC_CONV_CURVE, IDC_CONV_CURVE_SPIN, IDC_CONV_CURVE_BUTTON}, kDependent),
        },
    .curves =
        {
            {IDC_CONV_CURVE_BUTTON, IDC_CONV_CURVE, kCurveKindTemperatureCoefficient,
             IDS_CURVE_TITLE_TEMPERATURE_COEFFICIENT},
            {IDC_CONV_LOAD_CURVE_BUTTON, IDC_CONV_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_MULTIPLIER},
            {IDC_CONV_AMBIENT_CURVE_BUTTON, IDC_CONV_AMBIENT_CURVE, kCurveKindAmbientTemperature,
             IDS_CURVE_TITLE_AMBIENT_TEMPERATURE},
        },
};

const DialogDeclaration kSurfaceRadiation{
    .fields =
        {
            Double(IDC_RAD_FUNCTION, "function").NonZero(IDS_SHELL_MAGNITUDE_NONZERO),
            Curve(IDC_RAD_LOAD_CURVE, "functionLoadCurve").Range(0, kCurveMax),
            Double(IDC_RAD_AMBIENT, "ambientTemperature"),
            Curve(IDC_RAD_AMBIENT_CURVE, "ambientLoadCurve").Range(0, kCurveMax),
            Double(IDC_RAD_MAGNITUDE, "ambientLoadCurveMagnitude").Range(1e-300, 1e300),
            Check(IDC_RAD_BOTH_SIDES, "bothSides"),
        },
    .rules =
        {
            SpinRange(IDC_RAD_LOAD_CURVE_SPIN, 0, INT32_MAX),
            SpinRange(IDC_RAD_AMBIENT_CURVE_SPIN, 0, INT32_MAX),
            SuppressUnlessAnalysisTypes(
                {IDC_RAD_LOAD_CURVE_LABEL, IDC_RAD_LOAD_CURVE, IDC_RAD_LOAD_CURVE_SPIN, IDC_RAD_LOAD_CURVE_BUTTON}),
            SuppressUnlessAnalysisTypes9({IDC_RAD_AMBIENT_CURVE_LABEL, IDC_RAD_AMBIENT_CURVE, IDC_RAD_AMBIENT_CURVE_SPIN,
                                          IDC_RAD_AMBIENT_CURVE_BUTTON, IDC_RAD_MAGNITUDE_LABEL, IDC_RAD_MAGNITUDE,
                                          IDC_RAD_MAGNITUDE_UNIT, IDC_RAD_PLUS, IDC_RAD_TIMES}),
            SuppressWhile({IDC_RAD_PLATE_OPTIONS, IDC_RAD_BOTH_SIDES}, !kPlate),
        },
    .curves =
        {
            {IDC_RAD_LOAD_CURVE_BUTTON, IDC_RAD_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_MULTIPLIER},
            {IDC_RAD_AMBIENT_CURVE_BUTTON, IDC_RAD_AMBIENT_CURVE, kCurveKindAmbientTemperature,
             IDS_CURVE_TITLE_AMBIENT_TEMPERATURE},
        },
};

CString FormatG(double value) { return CString(orv::FormatPrintf(L"%g", value).c_str()); }

}  // namespace

void SurfaceHeatExchangeBaseDlg::InitEditedEntry() {
    FeaObjectDialogBase::InitEditedEntry();
    if (GetMode() != 0) return;
    // A copy, so that the dialog's own converter keeps its kind.
    UnitSys::UnitConverter temperatureDifference = Units().GetUnitConverter();
    double magnitude = 1.0;
    if (temperatureDifference.SetConversionString(CString(L"t"), OrvUnitsConversionStringSyntax(0)))
        temperatureDifference.ReverseConvert(1.0, magnitude);
    GetEditedEntry().SetF64(DeclaredField(Double(0, "ambientLoadCurveMagnitude")).offset, magnitude);
}

SurfaceConvectionDlg::SurfaceConvectionDlg(CWnd* parent) : SurfaceHeatExchangeBaseDlg(kSurfaceConvection, parent, kTypeCode) {
    HandleCommand(IDC_CONV_CALCULATE, [this] { OnCalculate(); });
    HandleCommand(IDC_CONV_LIBRARY, [this] { OnReadFromLibrary(); });
}

BOOL SurfaceConvectionDlg::OnInitDialog() {
    SurfaceHeatExchangeBaseDlg::OnInitDialog();
    if (HWND coefficient = Control(IDC_CONV_COEFFICIENT)) {
        GotoDlgCtrl(CWnd::FromHandle(coefficient));
        ::SendMessage(coefficient, EM_SETSEL, 0, -1);
    }
    return FALSE;
}

namespace {
// The scenario's display unit system, in which the calculator and the library show their values.
OrvDbRecord::UnitSystem DisplayUnits(const FeaObjectDialogBase& dialog) {
    const auto* scenario = dialog.Context().editParameters.designScenario;
    return scenario ? scenario->GetCurrentDisplayUnitSystem().GetUnitSystem() : OrvDbRecord::UnitSystem();
}
}  // namespace

void SurfaceConvectionDlg::OnCalculate() {
    CString ambient, coefficient;
    GetDlgItemText(IDC_CONV_AMBIENT, ambient);
    GetDlgItemText(IDC_CONV_COEFFICIENT, coefficient);
    const CalculatorOutcome outcome = RunSurfaceConvectionCalculator(this, DisplayUnits(*this), ambient, coefficient);
    if (outcome.result == IDOK) SetDlgItemText(IDC_CONV_COEFFICIENT, FormatG(outcome.coefficient));
}

void SurfaceConvectionDlg::OnReadFromLibrary() {
    const LibraryOutcome outcome = RunCoefficientLibrary(this, DisplayUnits(*this));
    if (outcome.result == IDOK) SetDlgItemText(IDC_CONV_COEFFICIENT, FormatG(outcome.coefficient));
}

SurfaceRadiationDlg::SurfaceRadiationDlg(CWnd* parent) : SurfaceHeatExchangeBaseDlg(kSurfaceRadiation, parent, kTypeCode) {}

ORV_REGISTER_FEA_DIALOG(SurfaceRadiationDlg::kTypeCode, SurfaceRadiationDlg);
ORV_REGISTER_FEA_DIALOG(SurfaceConvectionDlg::kTypeCode, SurfaceConvectionDlg);

}  // namespace DataModelDialogs
