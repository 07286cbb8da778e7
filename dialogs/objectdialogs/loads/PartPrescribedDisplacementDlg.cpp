#include "dialogs/objectdialogs/loads/PartPrescribedDisplacementDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"
#include "host/model/RecordLayout.h"

namespace DataModelDialogs {
namespace {

constexpr int kLength = 1, kRotationAngle = 63;
constexpr std::int32_t kVectorDirection = 3;
const Condition kRotation = Checked(IDC_DISPLACEMENT_ROTATION);
const Condition kTranslation = Checked(IDC_DISPLACEMENT_TRANSLATION);

const DialogDeclaration kPrescribedDisplacement{
    .fields =
        {
            BoolRadio(IDC_DISPLACEMENT_TRANSLATION, "rotation", true),
            // The magnitude is a length or an angle, as the radio chosen above says.
            Double(IDC_DISPLACEMENT_MAGNITUDE, "magnitude")
                .InUnit(kLength)
                .Range(-1e300, 1e300)
                .ExchangedWhile(kTranslation),
            Double(IDC_DISPLACEMENT_MAGNITUDE, "magnitude")
                .InUnit(kRotationAngle)
                .Range(-1e300, 1e300)
                .ExchangedWhile(kRotation),
            Vector(IDC_DISPLACEMENT_DIRECTION_X, IDC_DISPLACEMENT_DIRECTION_Y, IDC_DISPLACEMENT_DIRECTION_Z, "directionX")
                .Radios(IDC_DISPLACEMENT_X, IDC_DISPLACEMENT_Y, IDC_DISPLACEMENT_Z, IDC_DISPLACEMENT_VECTOR)
                .RefuseZero()
                .Selector(IDC_DISPLACEMENT_SELECTOR, kPickDirection)
                .StoresKind("directionKind"),
            Curve(IDC_DISPLACEMENT_LOAD_CURVE, "loadCurve").Range(1, 32767),
            Curve(IDC_DISPLACEMENT_ACTIVE_RANGE, "activeRange").Range(1, 32767),
        },
    .rules =
        {
            SpinRange(IDC_DISPLACEMENT_LOAD_CURVE_SPIN, 1, 32767),
            SpinRange(IDC_DISPLACEMENT_ACTIVE_RANGE_SPIN, 1, 32767),
        },
    .curves = {{IDC_DISPLACEMENT_CURVE, IDC_DISPLACEMENT_LOAD_CURVE, kCurveKindMultiplier,
                IDS_CURVE_TITLE_PRESCRIBED_DISPLACEMENT}},
};

}  // namespace

PartPrescribedDisplacementDlg::PartPrescribedDisplacementDlg(CWnd* parent)
    : FeaObjectDialogBase(kPrescribedDisplacement, parent, kTypeCode) {
    for (UINT radio : {IDC_DISPLACEMENT_TRANSLATION, IDC_DISPLACEMENT_ROTATION})
        HandleCommand(radio, [this] { ShowMagnitudeUnit(); });
    HandleCommand(IDC_DISPLACEMENT_DATA, [this] { EditActiveRange(*this, Context().editParameters.designScenario); });
}

BOOL PartPrescribedDisplacementDlg::OnInitDialog() {
    FeaObjectDialogBase::OnInitDialog();
    SetCoordinateSystemLabel(IDC_DISPLACEMENT_COORDINATE_SYSTEM);
    ShowMagnitudeUnit();
    return TRUE;
}

void PartPrescribedDisplacementDlg::DoDataExchange(CDataExchange* dx) {
    FeaObjectDialogBase::DoDataExchange(dx);
    if (!IsSuppressed(IDC_DISPLACEMENT_TRANSLATION)) return;
    // Neither unit applies to every object (no radio is checked, so neither binding ran): the
    // magnitude is not shown, read or written.
    const UINT magnitude[] = {IDC_DISPLACEMENT_MAGNITUDE, kListEnd};
    MarkSuppressed(magnitude);
    BlankAndDisableControls(magnitude);
}

void PartPrescribedDisplacementDlg::ShowMagnitudeUnit() {
    HWND label = Control(IDC_DISPLACEMENT_MAGNITUDE_UNIT);
    if (!label) return;
    if (IsSuppressed(IDC_DISPLACEMENT_TRANSLATION)) {
        ::ShowWindow(label, SW_HIDE);
        return;
    }
    OrvDbRecord::UnitConverter converter = Units().GetUnitConverter();
    converter.SetDisplayableUnit(kRotation.Holds(*this) ? kRotationAngle : kLength);
    ::SetWindowText(label, converter.GetToUnitText().c_str());
}

void PartPrescribedDisplacementDlg::OnResume(std::uint32_t code) {
    FeaObjectDialogBase::OnResume(code);
    if (code == kPickDirection) GetEditedEntry().SetI32(DeclaredField(Int(0, "directionKind")).offset, kVectorDirection);
}

ORV_REGISTER_FEA_DIALOG(PartPrescribedDisplacementDlg::kTypeCode, PartPrescribedDisplacementDlg);

}  // namespace DataModelDialogs
