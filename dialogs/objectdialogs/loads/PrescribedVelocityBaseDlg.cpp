#include "dialogs/objectdialogs/loads/PrescribedVelocityBaseDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"

namespace DataModelDialogs {
namespace {

// Only these analyses take a load curve; a hidden load curve cannot be corrected, so it is not
// tested.
const Condition kLoadCurveShown = AnalysisIn({5, 6, 19, 21, 24});

struct Row {
    UINT check, edit, unit;
};
constexpr Row kRows[3] = {{IDC_VELOCITY_PRESCRIBED_X, IDC_VELOCITY_X, IDC_VELOCITY_X_UNIT},
                          {IDC_VELOCITY_PRESCRIBED_Y, IDC_VELOCITY_Y, IDC_VELOCITY_Y_UNIT},
                          {IDC_VELOCITY_PRESCRIBED_Z, IDC_VELOCITY_Z, IDC_VELOCITY_Z_UNIT}};

const DialogDeclaration kPrescribedVelocity{
    .fields =
        {
            Check(IDC_VELOCITY_PRESCRIBED_X, "prescribedX"),
            Double(IDC_VELOCITY_X, "velocityX").Range(-1e300, 1e300),
            Check(IDC_VELOCITY_PRESCRIBED_Y, "prescribedY"),
            Double(IDC_VELOCITY_Y, "velocityY").Range(-1e300, 1e300),
            Check(IDC_VELOCITY_PRESCRIBED_Z, "prescribedZ"),
            Double(IDC_VELOCITY_Z, "velocityZ").Range(-1e300, 1e300),
            Curve(IDC_VELOCITY_LOAD_CURVE, "loadCurve").Range(1, 2147483647, kLoadCurveShown),
        },
    .rules =
        {
            EnableWhile({IDC_VELOCITY_X, IDC_VELOCITY_X_UNIT}, Checked(IDC_VELOCITY_PRESCRIBED_X)),
            EnableWhile({IDC_VELOCITY_Y, IDC_VELOCITY_Y_UNIT}, Checked(IDC_VELOCITY_PRESCRIBED_Y)),
            EnableWhile({IDC_VELOCITY_Z, IDC_VELOCITY_Z_UNIT}, Checked(IDC_VELOCITY_PRESCRIBED_Z)),
            ShowWhile({IDC_VELOCITY_LOAD_CURVE_LABEL, IDC_VELOCITY_LOAD_CURVE, IDC_VELOCITY_LOAD_CURVE_SPIN,
                       IDC_VELOCITY_CURVE},
                      kLoadCurveShown),
            EnableWhile({IDC_VELOCITY_LOAD_CURVE_LABEL, IDC_VELOCITY_LOAD_CURVE, IDC_VELOCITY_LOAD_CURVE_SPIN,
                         IDC_VELOCITY_CURVE},
                        kLoadCurveShown),
            SpinRange(IDC_VELOCITY_LOAD_CURVE_SPIN, 1, 2147483647),
        },
    .curves = {{IDC_VELOCITY_CURVE, IDC_VELOCITY_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_MULTIPLIER}},
};

}  // namespace

PrescribedVelocityBaseDlg::PrescribedVelocityBaseDlg(CWnd* parent, std::uint32_t typeCode)
    : FeaObjectDialogBase(kPrescribedVelocity, parent, typeCode) {
    // A component that is no longer prescribed is stored as 0.
    for (const Row& row : kRows)
        HandleCommand(row.check, [this, row] {
            if (::IsDlgButtonChecked(m_hWnd, int(row.check)) != BST_CHECKED && !IsSuppressed(row.edit))
                ::SetWindowText(Control(row.edit), L"0");
        });
}

BOOL PrescribedVelocityBaseDlg::OnInitDialog() {
    FeaObjectDialogBase::OnInitDialog();
    SetCoordinateSystemLabel(IDC_VELOCITY_COORDINATE_SYSTEM);
    if (!kLoadCurveShown.Holds(*this)) CloseUpRow(IDC_VELOCITY_LOAD_CURVE_LABEL, IDC_VECTOR_DESCRIPTION_LABEL);
    return TRUE;
}

BOOL EdgePrescribedVelocityDlg::OnInitDialog() {
    PrescribedVelocityBaseDlg::OnInitDialog();
    for (UINT id : {IDC_VELOCITY_COORDINATE_SYSTEM_LABEL, IDC_VELOCITY_COORDINATE_SYSTEM})
        if (HWND control = Control(id)) ::ShowWindow(control, SW_HIDE);
    // The rows from the load curve down (or from the description, when the load curve row is
    // hidden too) take the coordinate system row's place.
    CloseUpRow(IDC_VELOCITY_COORDINATE_SYSTEM_LABEL,
               kLoadCurveShown.Holds(*this) ? IDC_VELOCITY_LOAD_CURVE_LABEL : IDC_VECTOR_DESCRIPTION_LABEL);
    return TRUE;
}

ORV_REGISTER_FEA_DIALOG(NodalPrescribedVelocityDlg::kTypeCode, NodalPrescribedVelocityDlg);
ORV_REGISTER_FEA_DIALOG(SurfacePrescribedVelocityDlg::kTypeCode, SurfacePrescribedVelocityDlg);
ORV_REGISTER_FEA_DIALOG(EdgePrescribedVelocityDlg::kTypeCode, EdgePrescribedVelocityDlg);

}  // namespace DataModelDialogs
