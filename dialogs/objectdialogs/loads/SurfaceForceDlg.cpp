#include "dialogs/objectdialogs/loads/SurfaceForceDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"
#include "dialogs/resources/PartLoads.h"
#include "host/model/RecordLayout.h"

namespace DataModelDialogs {
namespace {

// Only these analyses move surfaces, and only these take a load curve (not under Riks, whose
// load factor drives the load). A hidden load curve cannot be corrected, so it is not tested.
const Condition kMovingSurfaces = AnalysisIn({2, 14, 20});
const Condition kLoadCurveShown = AnalysisIn({2, 7, 14, 20}) && !Riks();

const DialogDeclaration kSurfaceForce{
    .fields =
        {
            Double(IDC_FORCE_MAGNITUDE, "magnitude").NonZero(IDS_SHELL_MAGNITUDE_NONZERO),
            Vector(IDC_FORCE_DIRECTION_X, IDC_FORCE_DIRECTION_Y, IDC_FORCE_DIRECTION_Z, "directionX")
                .Radios(IDC_FORCE_X, IDC_FORCE_Y, IDC_FORCE_Z, IDC_FORCE_CUSTOM, IDC_FORCE_NORMAL)
                .RefuseZero()
                .Selector(IDC_FORCE_VECTOR_SELECTOR, kPickDirection),
            Check(IDC_FORCE_FOLLOWS_SURFACE, "followsMovingSurface"),
            Curve(IDC_FORCE_LOAD_CURVE, "loadCurve").Range(1, 2147483647, kLoadCurveShown),
        },
    .rules =
        {
            ShowWhile({IDC_FORCE_FOLLOWS_SURFACE}, kMovingSurfaces),
            EnableWhile({IDC_FORCE_FOLLOWS_SURFACE}, kMovingSurfaces),
            ShowWhile({IDC_FORCE_LOAD_CURVE_LABEL, IDC_FORCE_LOAD_CURVE, IDC_FORCE_LOAD_CURVE_SPIN, IDC_FORCE_CURVE},
                      kLoadCurveShown),
            SpinRange(IDC_FORCE_LOAD_CURVE_SPIN, 1, 2147483647),
        },
    .curves = {{IDC_FORCE_CURVE, IDC_FORCE_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_MULTIPLIER}},
};

}  // namespace

SurfaceForceDlg::SurfaceForceDlg(CWnd* parent) : FeaObjectDialogBase(kSurfaceForce, parent, kTypeCode) {}

BOOL SurfaceForceDlg::OnInitDialog() {
    FeaObjectDialogBase::OnInitDialog();
    if (!kLoadCurveShown.Holds(*this)) CloseUpRow(IDC_FORCE_LOAD_CURVE_LABEL, IDC_VECTOR_DESCRIPTION_LABEL);
    return TRUE;
}

void SurfaceForceDlg::DoDataExchange(CDataExchange* dx) {
    // The word has no control: it is registered under an id no control has, so that the
    // cleared value is written back to every object edited.
    const std::size_t reserved = DeclaredField(Int(0, "reserved308")).offset;
    GetEditedEntry().SetI32(reserved, 0);
    Register(0x10000u + UINT(reserved), reserved, 4);
    FeaObjectDialogBase::DoDataExchange(dx);
}

ORV_REGISTER_FEA_DIALOG(SurfaceForceDlg::kTypeCode, SurfaceForceDlg);

}  // namespace DataModelDialogs
