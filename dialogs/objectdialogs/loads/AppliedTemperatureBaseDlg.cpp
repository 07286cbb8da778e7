#include "dialogs/objectdialogs/loads/AppliedTemperatureBaseDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"

namespace DataModelDialogs {
namespace {

// Time variation needs a transient analysis; the time controls live while it is allowed and
// "Varies with Time" is checked.
const Condition kTimeAllowed = AnalysisIn({4, 21});
const Condition kVarying = Checked(IDC_APPLIED_VARIES_WITH_TIME) && kTimeAllowed;

const DialogDeclaration kAppliedTemperature{
    .fields =
        {
            Double(IDC_APPLIED_TEMPERATURE, "temperature").Range(-1e300, 1e300),
            Check(IDC_APPLIED_VARIES_WITH_TIME, "variesWithTime"),
            // Under Riks the load curve is hidden, so it cannot be corrected and is not tested.
            Curve(IDC_APPLIED_LOAD_CURVE, "loadCurve").Range(0, 32767, kVarying && !Riks()),
            Double(IDC_APPLIED_STIFFNESS, "stiffness").Range(1e-300, 1e300),
            Double(IDC_APPLIED_SCALE, "scale").Range(1e-300, 1e300, kVarying),
            Double(IDC_APPLIED_ACTIVATION_TIME, "activationTime").Range(0, 1e300, kVarying),
        },
    .rules =
        {
            SuppressUnlessAnalysisTypes({IDC_APPLIED_LOAD_CURVE_LABEL, IDC_APPLIED_LOAD_CURVE,
                                         IDC_APPLIED_LOAD_CURVE_SPIN, IDC_APPLIED_CURVE}),
            EnableWhile({IDC_APPLIED_VARIES_WITH_TIME}, kTimeAllowed),
            EnableWhile({IDC_APPLIED_SCALE, IDC_APPLIED_SCALE_UNIT, IDC_APPLIED_ACTIVATION_TIME,
                         IDC_APPLIED_ACTIVATION_TIME_UNIT, IDC_APPLIED_LOAD_CURVE_SPIN, IDC_APPLIED_CURVE,
                         IDC_APPLIED_LOAD_CURVE, IDC_APPLIED_PLUS, IDC_APPLIED_TIMES_SCALE},
                        kVarying),
            SpinRange(IDC_APPLIED_LOAD_CURVE_SPIN, 0, 32767, kVarying),
            ShowWhile({IDC_APPLIED_PLUS, IDC_APPLIED_TIMES_SCALE, IDC_APPLIED_LOAD_CURVE, IDC_APPLIED_CURVE,
                       IDC_APPLIED_LOAD_CURVE_SPIN, IDC_APPLIED_LOAD_CURVE_LABEL},
                      !Riks()),
        },
    .curves = {{IDC_APPLIED_CURVE, IDC_APPLIED_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_MULTIPLIER}},
};

}  // namespace

AppliedTemperatureBaseDlg::AppliedTemperatureBaseDlg(CWnd* parent, std::uint32_t typeCode)
    : FeaObjectDialogBase(kAppliedTemperature, parent, typeCode) {}

BOOL AppliedTemperatureBaseDlg::OnInitDialog() {
    FeaObjectDialogBase::OnInitDialog();
    if (!Riks().Holds(*this)) return TRUE;
    // Rows are measured by their edits, which sit a little above their labels; every row from
    // the scale row down moves up into the load curve row's place.
    CloseUpRow(IDC_APPLIED_LOAD_CURVE, IDC_APPLIED_SCALE);
    return TRUE;
}

ORV_REGISTER_FEA_DIALOG(NodalAppliedTemperatureDlg::kTypeCode, NodalAppliedTemperatureDlg);
ORV_REGISTER_FEA_DIALOG(SurfaceAppliedTemperatureDlg::kTypeCode, SurfaceAppliedTemperatureDlg);
ORV_REGISTER_FEA_DIALOG(PartAppliedTemperatureDlg::kTypeCode, PartAppliedTemperatureDlg);

}  // namespace DataModelDialogs
