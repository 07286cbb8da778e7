#include "dialogs/objectdialogs/loads/SurfaceMomentDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"
#include "dialogs/resources/PartLoads.h"
#include "host/model/RecordLayout.h"

namespace DataModelDialogs {
namespace {

constexpr std::int32_t kCentroid = -1, kSpecified = 0, kCustomDirection = 3;
const Condition kSpecify = Checked(IDC_MOMENT_SPECIFY);

const DialogDeclaration kSurfaceMoment{
    .fields =
        {
            Double(IDC_MOMENT_MAGNITUDE, "magnitude").NonZero(IDS_SHELL_MAGNITUDE_NONZERO),
            Vector(IDC_MOMENT_DIRECTION_X, IDC_MOMENT_DIRECTION_Y, IDC_MOMENT_DIRECTION_Z, "directionX")
                .Radios(IDC_MOMENT_X, IDC_MOMENT_Y, IDC_MOMENT_Z, IDC_MOMENT_CUSTOM)
                .RefuseZero()
                .Selector(IDC_MOMENT_VECTOR_SELECTOR, kPickDirection)
                .StoresKind("directionKind"),
            EnumRadio(IDC_MOMENT_USE_CENTROID, "centerMode", {kCentroid, kSpecified}),
            Point(IDC_MOMENT_CENTER_X, IDC_MOMENT_CENTER_Y, IDC_MOMENT_CENTER_Z, "centerX")
                .Selector(IDC_MOMENT_POINT_SELECTOR, kPickMomentCentre),
            Curve(IDC_MOMENT_LOAD_CURVE, "loadCurve").Range(1, 32767),
        },
    .rules =
        {
            EnableWhile({IDC_MOMENT_CENTER_X, IDC_MOMENT_CENTER_Y, IDC_MOMENT_CENTER_Z}, kSpecify),
            // The load curve editor serves only the analyses of category 1.
            EnableWhile({IDC_MOMENT_CURVE}, CategoryIn({1})),
            SpinRange(IDC_MOMENT_LOAD_CURVE_SPIN, 1, 32767),
        },
    .curves = {{IDC_MOMENT_CURVE, IDC_MOMENT_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_SURFACE_MOMENT}},
};

}  // namespace

SurfaceMomentDlg::SurfaceMomentDlg(CWnd* parent) : FeaObjectDialogBase(kSurfaceMoment, parent, kTypeCode) {
    // The centroid needs no point: the point edits show zero and are disabled. Only the edits
    // change, so what else has been typed stays.
    HandleCommand(IDC_MOMENT_USE_CENTROID, [this] {
        for (UINT id : {IDC_MOMENT_CENTER_X, IDC_MOMENT_CENTER_Y, IDC_MOMENT_CENTER_Z})
            if (!IsSuppressed(id)) ::SetWindowText(Control(id), L"0");
        ApplyRules(*Declaration());
    });
}

BOOL SurfaceMomentDlg::OnInitDialog() {
    FeaObjectDialogBase::OnInitDialog();
    SetCoordinateSystemLabel(IDC_MOMENT_COORDINATE_SYSTEM);
    return TRUE;
}

void SurfaceMomentDlg::DoDataExchange(CDataExchange* dx) {
    FeaObjectDialogBase::DoDataExchange(dx);
    auto& edited = GetEditedEntry();
    const FieldBinding point = Point(IDC_MOMENT_CENTER_X, IDC_MOMENT_CENTER_Y, IDC_MOMENT_CENTER_Z, "centerX");
    if (!Saving(dx) || IsSuppressed(IDC_MOMENT_USE_CENTROID) ||
        edited.GetI32(DeclaredField(Int(0, "centerMode")).offset) != kCentroid)
        return;
    for (int i = 0; i < 3; ++i) edited.SetF64(ComponentField(point, i).offset, 0.0);
}

void SurfaceMomentDlg::OnResume(std::uint32_t code) {
    FeaObjectDialogBase::OnResume(code);
    auto& edited = GetEditedEntry();
    if (code == kPickDirection) edited.SetI32(DeclaredField(Int(0, "directionKind")).offset, kCustomDirection);
    if (code == kPickMomentCentre) edited.SetI32(DeclaredField(Int(0, "centerMode")).offset, kSpecified);
}

ORV_REGISTER_FEA_DIALOG(SurfaceMomentDlg::kTypeCode, SurfaceMomentDlg);

}  // namespace DataModelDialogs
