#include "dialogs/objectdialogs/loads/SurfaceRemoteLoadDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"
#include "host/model/RecordLayout.h"

namespace DataModelDialogs {
namespace {

constexpr std::int32_t kUseCentroid = 0, kSpecifiedCentroid = 1;

const DialogDeclaration kRemoteLoad{
    .fields =
        {
            Point(IDC_REMOTE_X, IDC_REMOTE_Y, IDC_REMOTE_Z, "remoteX"),
            Check(IDC_REMOTE_RIGID_LINKS, "useRigidLinks"),
            EnumRadio(IDC_REMOTE_USE_CENTROID, "centroidMode", {kUseCentroid, kSpecifiedCentroid}),
            Point(IDC_REMOTE_CENTROID_X, IDC_REMOTE_CENTROID_Y, IDC_REMOTE_CENTROID_Z, "centroidX")
                .Selector(IDC_REMOTE_CENTROID_PICK, kPickPoint),
            ComboData(IDC_REMOTE_CS_COMBO, "coordinateSystem"),
            // A direction matters only where its magnitude is not zero; at least one must be.
            Double(IDC_REMOTE_FORCE_MAGNITUDE, "forceMagnitude"),
            Direction(IDC_REMOTE_FORCE_DIRECTION_X, IDC_REMOTE_FORCE_X, "forceDirectionX")
                .RefuseZero(FieldNonZero("forceMagnitude"))
                .Selector(IDC_REMOTE_FORCE_SELECTOR, kPickSecondVector),
            Double(IDC_REMOTE_MOMENT_MAGNITUDE, "momentMagnitude"),
            Direction(IDC_REMOTE_MOMENT_DIRECTION_X, IDC_REMOTE_MOMENT_X, "momentDirectionX")
                .RefuseZero(FieldNonZero("momentMagnitude"))
                .Selector(IDC_REMOTE_MOMENT_SELECTOR, kPickThirdVector),
            Verify(IDC_REMOTE_FORCE_MAGNITUDE, "forceMagnitude")
                .NonZero(IDS_VECTOR_REMOTE_NO_MAGNITUDE, !FieldNonZero("momentMagnitude")),
            Curve(IDC_REMOTE_LOAD_CURVE, "loadCurve").Range(1, 2147483647),
        },
    .rules =
        {
            ShowWhile({IDC_REMOTE_CURVE}, CategoryIn({1}) && !AnalysisIn({23})),
            SpinRange(IDC_REMOTE_LOAD_CURVE_SPIN, 1, 2147483647),
        },
    .curves = {{IDC_REMOTE_CURVE, IDC_REMOTE_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_REMOTE_LOAD}},
};

// The rigid links check box and the centroid block, top first.
constexpr UINT kHiddenBlock[] = {
    IDC_REMOTE_RIGID_LINKS,      IDC_REMOTE_CENTROID_LABEL,   IDC_REMOTE_USE_CENTROID, IDC_REMOTE_SPECIFY_CENTROID,
    IDC_REMOTE_CENTROID_X_LABEL, IDC_REMOTE_CENTROID_X,       IDC_REMOTE_CENTROID_Y_LABEL, IDC_REMOTE_CENTROID_Y,
    IDC_REMOTE_CENTROID_Z_LABEL, IDC_REMOTE_CENTROID_Z,       IDC_REMOTE_CENTROID_UNIT, IDC_REMOTE_CENTROID_PICK,
    kListEnd,
};

}  // namespace

SurfaceRemoteLoadDlg::SurfaceRemoteLoadDlg(CWnd* parent) : FeaObjectDialogBase(kRemoteLoad, parent, kTypeCode) {}

void SurfaceRemoteLoadDlg::PrepareControls() {
    FeaObjectDialogBase::PrepareControls();
    FillCoordinateSystemCombo(IDC_REMOTE_CS_COMBO);
}

BOOL SurfaceRemoteLoadDlg::OnInitDialog() {
    FeaObjectDialogBase::OnInitDialog();
    ShowControls(kHiddenBlock, false);
    DisableControls(kHiddenBlock);
    // The combo shows the coordinate system of the loads; it is not chosen here.
    if (HWND combo = Control(IDC_REMOTE_CS_COMBO)) ::EnableWindow(combo, FALSE);
    CloseUpGroup(IDC_REMOTE_GROUP, IDC_REMOTE_RIGID_LINKS);
    return TRUE;
}

void SurfaceRemoteLoadDlg::DoDataExchange(CDataExchange* dx) {
    FeaObjectDialogBase::DoDataExchange(dx);
    if (!Saving(dx) && IsSuppressed(IDC_REMOTE_LOAD_CURVE))
        if (HWND button = Control(IDC_REMOTE_CURVE)) ::EnableWindow(button, FALSE);
}

void SurfaceRemoteLoadDlg::OnResume(std::uint32_t code) {
    FeaObjectDialogBase::OnResume(code);
    if (code != kPickPoint) return;
    auto& edited = GetEditedEntry();
    edited.SetFlag(DeclaredField(Check(0, "useRigidLinks")).offset, false);
    edited.SetI32(DeclaredField(Int(0, "centroidMode")).offset, kSpecifiedCentroid);
}

ORV_REGISTER_FEA_DIALOG(SurfaceRemoteLoadDlg::kTypeCode, SurfaceRemoteLoadDlg);

}  // namespace DataModelDialogs
