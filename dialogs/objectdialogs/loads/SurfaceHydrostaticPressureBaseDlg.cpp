#include "dialogs/objectdialogs/loads/SurfaceHydrostaticPressureBaseDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"
#include "host/model/RecordLayout.h"

namespace DataModelDialogs {
namespace {

const Condition kFirstComponentSkipped = ElementClassIn({1});
// Only these element types tell the pressure types apart, and only type 23 has sides.
const Condition kPressureTypes = ElementTypeIn({23, 32, 38});
const Condition kSides = ElementTypeIn({23});
const Condition kFollowsDisplacement = AnalysisIn({2, 20});

// The fields both dialogs share, in exchange order; the fluid traction adds its own after them.
std::vector<FieldBinding> FluidPressureFields(bool multiplier) {
    std::vector<FieldBinding> fields{
        Point(IDC_FLUID_POINT_X, IDC_FLUID_POINT_Y, IDC_FLUID_POINT_Z, "pointX")
            .Selector(IDC_FLUID_POINT_SELECTOR, kPickPoint)
            .With({IDC_FLUID_POINT_X_UNIT, IDC_FLUID_POINT_Y_UNIT, IDC_FLUID_POINT_Z_UNIT})
            .SkipsX(kFirstComponentSkipped, {IDC_FLUID_POINT_X_UNIT}),
        Vector(IDC_FLUID_NORMAL_X, IDC_FLUID_NORMAL_Y, IDC_FLUID_NORMAL_Z, "normalX")
            .Radios(IDC_FLUID_NORMAL_X_RADIO, IDC_FLUID_NORMAL_Y_RADIO, IDC_FLUID_NORMAL_Z_RADIO, IDC_FLUID_NORMAL_CUSTOM)
            .RefuseZero()
            .Selector(IDC_FLUID_VECTOR_SELECTOR, kPickDirection)
            .SkipsX(kFirstComponentSkipped),
        Double(IDC_FLUID_DENSITY, "density").NonZero(IDS_MAGNITUDE_NONZERO),
        ComboDataOrNone(IDC_FLUID_PRESSURE_TYPE, "pressureType"),
    };
    if (multiplier) fields.push_back(Double(IDC_FLUID_MULTIPLIER, "multiplier").NonZero(IDS_MAGNITUDE_NONZERO));
    fields.push_back(Curve(IDC_FLUID_LOAD_CURVE, "loadCurve").Range(1, 2147483647));
    return fields;
}

std::vector<DialogRule> FluidPressureRules() {
    return {
        SpinRange(IDC_FLUID_LOAD_CURVE_SPIN, 1, 2147483647),
        SuppressUnlessAnalysisTypes({IDC_FLUID_LOAD_CURVE_LABEL, IDC_FLUID_LOAD_CURVE, IDC_FLUID_LOAD_CURVE_SPIN,
                                     IDC_FLUID_CURVE, 0, 0, 0}),
    };
}

const std::vector<CurveButton> kFluidPressureCurves{
    {IDC_FLUID_CURVE, IDC_FLUID_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_MULTIPLIER}};

const DialogDeclaration kHydrostaticPressure{
    .fields = FluidPressureFields(false),
    .rules = FluidPressureRules(),
    .curves = kFluidPressureCurves,
};

DialogDeclaration FluidTractionDeclaration() {
    DialogDeclaration declaration{
        .fields = FluidPressureFields(true),
        .rules = FluidPressureRules(),
        .curves = kFluidPressureCurves,
    };
    declaration.fields.push_back(ComboData(IDC_FLUID_SIDE, "side"));
    declaration.fields.push_back(Check(IDC_FLUID_FOLLOWS_DISPLACEMENT, "followsDisplacement"));
    declaration.rules.push_back(EnableWhile({IDC_FLUID_SIDE_LABEL, IDC_FLUID_SIDE}, kSides));
    declaration.rules.push_back(EnableWhile({IDC_FLUID_FOLLOWS_DISPLACEMENT}, kFollowsDisplacement));
    declaration.rules.push_back(EnableWhile({IDC_FLUID_PRESSURE_TYPE_LABEL, IDC_FLUID_PRESSURE_TYPE}, kPressureTypes));
    return declaration;
}

const DialogDeclaration kFluidTraction = FluidTractionDeclaration();


}  // namespace

SurfaceHydrostaticPressureBaseDlg::SurfaceHydrostaticPressureBaseDlg(const DialogDeclaration& declaration,
                                                                     CWnd* parent, std::uint32_t typeCode)
    : FeaObjectDialogBase(declaration, parent, typeCode) {}

void SurfaceHydrostaticPressureBaseDlg::PrepareControls() {
    FillComboItems(IDC_FLUID_PRESSURE_TYPE, {{IDS_PRESSURE_NORMAL_TO_SURFACE, 0},
                                                 {IDS_PRESSURE_FULL_IN_HORIZONTAL, 1},
                                                 {IDS_PRESSURE_HORIZONTAL_ONLY, 2}});
    FillComboItems(IDC_FLUID_SIDE, {{IDS_SIDE_NEITHER, 0}, {IDS_SIDE_TOP, 1}, {IDS_SIDE_BOTTOM, 2}, {IDS_SIDE_BOTH, 3}});
    FeaObjectDialogBase::PrepareControls();
}

bool SurfaceHydrostaticPressureBaseDlg::SkipsFirstComponent() const { return kFirstComponentSkipped.Holds(*this); }

SurfaceHydrostaticPressureDlg::SurfaceHydrostaticPressureDlg(CWnd* parent)
    : SurfaceHydrostaticPressureBaseDlg(kHydrostaticPressure, parent, kTypeCode) {}

SurfaceFluidTractionDlg::SurfaceFluidTractionDlg(CWnd* parent)
    : SurfaceHydrostaticPressureBaseDlg(kFluidTraction, parent, kTypeCode) {}

BOOL SurfaceFluidTractionDlg::OnInitDialog() {
    SurfaceHydrostaticPressureBaseDlg::OnInitDialog();
    if (!kSides.Holds(*this)) {
        const UINT side[] = {IDC_FLUID_SIDE, kListEnd};
        MarkSuppressed(side);
        ClearSelectionAndDisableControls(side);
    }
    if (!kFollowsDisplacement.Holds(*this)) {
        const UINT follows[] = {IDC_FLUID_FOLLOWS_DISPLACEMENT, kListEnd};
        MarkSuppressed(follows);
        UncheckAndDisableControls(follows);
    }
    return TRUE;
}

void SurfaceFluidTractionDlg::InitEditedEntry() {
    SurfaceHydrostaticPressureBaseDlg::InitEditedEntry();
    if (!kPressureTypes.Holds(*this)) GetEditedEntry().SetI32(DeclaredField(Int(0, "pressureType")).offset, 0);
}

ORV_REGISTER_FEA_DIALOG(SurfaceHydrostaticPressureDlg::kTypeCode, SurfaceHydrostaticPressureDlg);
ORV_REGISTER_FEA_DIALOG(SurfaceFluidTractionDlg::kTypeCode, SurfaceFluidTractionDlg);

}  // namespace DataModelDialogs
