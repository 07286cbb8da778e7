#include "dialogs/objectdialogs/loads/PartHeatGenerationDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"
#include "host/model/RecordLayout.h"

namespace DataModelDialogs {
namespace {

const Condition kDependent = Checked(IDC_HEAT_TEMPERATURE_DEPENDENT);
// The load curve needs a transient analysis.
const Condition kLoadCurveAllowed = AnalysisIn({4, 21});

const DialogDeclaration kPartHeatGeneration{
    .fields =
        {
            Double(IDC_HEAT_GENERATION_VALUE, "heatGeneration").Range(-1e300, 1e300),
            Check(IDC_HEAT_TEMPERATURE_DEPENDENT, "temperatureDependent"),
            Curve(IDC_HEAT_TEMPERATURE_CURVE, "temperatureCurve").Range(0, 32767, kDependent),
            Curve(IDC_HEAT_LOAD_CURVE, "loadCurve").Range(0, 32767, kLoadCurveAllowed),
        },
    .rules =
        {
            EnableWhile({IDC_HEAT_TEMPERATURE_CURVE, IDC_HEAT_TEMPERATURE_CURVE_SPIN,
                         IDC_HEAT_TEMPERATURE_CURVE_BUTTON},
                        kDependent),
            EnableWhile({IDC_HEAT_LOAD_CURVE, IDC_HEAT_LOAD_CURVE_SPIN, IDC_HEAT_LOAD_CURVE_BUTTON}, kLoadCurveAllowed),
            SpinRange(IDC_HEAT_TEMPERATURE_CURVE_SPIN, 0, 32767, kDependent),
            SpinRange(IDC_HEAT_LOAD_CURVE_SPIN, 0, 32767, kLoadCurveAllowed),
        },
    .curves =
        {
            {IDC_HEAT_TEMPERATURE_CURVE_BUTTON, IDC_HEAT_TEMPERATURE_CURVE, kCurveKindTemperatureHeatGeneration,
             IDS_CURVE_TITLE_HEAT_GENERATION},
            {IDC_HEAT_LOAD_CURVE_BUTTON, IDC_HEAT_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_MULTIPLIER},
        },
};

}  // namespace

PartHeatGenerationDlg::PartHeatGenerationDlg(CWnd* parent) : FeaObjectDialogBase(kPartHeatGeneration, parent, kTypeCode) {}

void PartHeatGenerationDlg::InitEditedEntry() {
    FeaObjectDialogBase::InitEditedEntry();
    auto& edited = GetEditedEntry();
    const std::size_t loadCurve = DeclaredField(Curve(IDC_HEAT_LOAD_CURVE, "loadCurve")).offset;
    if (GetMode() == 0 && edited.GetI32(loadCurve) == 0) edited.SetI32(loadCurve, 1);
}

ORV_REGISTER_FEA_DIALOG(PartHeatGenerationDlg::kTypeCode, PartHeatGenerationDlg);

}  // namespace DataModelDialogs
