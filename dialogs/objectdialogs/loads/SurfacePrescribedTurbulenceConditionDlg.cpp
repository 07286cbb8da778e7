#include "dialogs/objectdialogs/loads/SurfacePrescribedTurbulenceConditionDlg.h"

#include <vector>

#include "dialogs/factory/DialogRegistry.h"
#include "host/model/RecordLayout.h"

namespace DataModelDialogs {
namespace {

constexpr std::int32_t kIntensityScale = 0, kEnergyDissipation = 1;

const DialogDeclaration kIntensityPair{
    .fields =
        {
            Double(IDC_TURBULENCE_INTENSITY, "intensity").InUnit(0).RangeIn(0, 1e-300, 1e300),
            Double(IDC_TURBULENCE_SCALE_FACTOR, "scaleFactor").InUnit(0).RangeIn(0, 1e-300, 1e300),
        },
};
const DialogDeclaration kEnergyPair{
    .fields =
        {
            Double(IDC_TURBULENCE_ENERGY, "kineticEnergy").InUnit(74).RangeIn(74, 1e-300, 1e300),
            Double(IDC_TURBULENCE_DISSIPATION, "dissipationRate").InUnit(75).RangeIn(75, 1e-300, 1e300),
        },
};

DialogDeclaration TurbulenceDeclaration() {
    DialogDeclaration declaration{
        .fields =
            {
                ComboDataOrNone(IDC_TURBULENCE_SURFACE_CONDITION, "surfaceCondition"),
                ComboDataOrNone(IDC_TURBULENCE_PARAMETER_TYPE, "parameterType"),
            },
    };
    // Both pairs on every save, whichever is shown: a hidden pair cannot hold what the analysis
    // refuses.
    for (const DialogDeclaration* pair : {&kEnergyPair, &kIntensityPair})
        declaration.fields.insert(declaration.fields.end(), pair->fields.begin(), pair->fields.end());
    return declaration;
}

const DialogDeclaration kTurbulence = TurbulenceDeclaration();

constexpr UINT kIntensityRows[] = {IDC_TURBULENCE_INTENSITY_LABEL, IDC_TURBULENCE_INTENSITY,
                                   IDC_TURBULENCE_SCALE_FACTOR_LABEL, IDC_TURBULENCE_SCALE_FACTOR, kListEnd};
constexpr UINT kEnergyRows[] = {IDC_TURBULENCE_ENERGY_LABEL,      IDC_TURBULENCE_ENERGY,
                                IDC_TURBULENCE_ENERGY_UNIT,       IDC_TURBULENCE_DISSIPATION_LABEL,
                                IDC_TURBULENCE_DISSIPATION,       IDC_TURBULENCE_DISSIPATION_UNIT,
                                kListEnd};
constexpr UINT kValues[] = {IDC_TURBULENCE_INTENSITY, IDC_TURBULENCE_SCALE_FACTOR, IDC_TURBULENCE_ENERGY,
                            IDC_TURBULENCE_DISSIPATION, kListEnd};


}  // namespace

SurfacePrescribedTurbulenceConditionDlg::SurfacePrescribedTurbulenceConditionDlg(CWnd* parent)
    : FeaObjectDialogBase(kTurbulence, parent, kTypeCode) {
    // Reaches the dialog only when the combo let the change through.
    HandleCommand(IDC_TURBULENCE_PARAMETER_TYPE, CBN_SELCHANGE, [this] { ShowParameterRows(); });
}

void SurfacePrescribedTurbulenceConditionDlg::PrepareControls() {
    FillComboItems(IDC_TURBULENCE_SURFACE_CONDITION,
              {{IDS_TURBULENCE_PRESSURE_OUTLET, 1}, {IDS_TURBULENCE_VELOCITY_INLET, 0}});
    FillComboItems(IDC_TURBULENCE_PARAMETER_TYPE,
              {{IDS_TURBULENCE_INTENSITY_SCALE, kIntensityScale}, {IDS_TURBULENCE_KE_EPSILON, kEnergyDissipation}});
    if (!parameterType_.m_hWnd || !::IsWindow(parameterType_.m_hWnd)) parameterType_.SubclassDlgItem(IDC_TURBULENCE_PARAMETER_TYPE, this);
    FeaObjectDialogBase::PrepareControls();
}

BOOL SurfacePrescribedTurbulenceConditionDlg::OnInitDialog() {
    FeaObjectDialogBase::OnInitDialog();
    parameterType_.StorePreviousSelection();
    ShowParameterRows();
    return TRUE;
}

void SurfacePrescribedTurbulenceConditionDlg::DoDataExchange(CDataExchange* dx) {
    // The parameter type is compared first, so that the values it governs are blank when the
    // objects disagree on it.
    const std::size_t parameterType = DeclaredField(Int(0, "parameterType")).offset;
    Register(IDC_TURBULENCE_PARAMETER_TYPE, parameterType, 4);
    if (IsSuppressed(IDC_TURBULENCE_PARAMETER_TYPE)) {
        MarkSuppressed(kValues);
        BlankAndDisableControls(kValues);
    }
    FeaObjectDialogBase::DoDataExchange(dx);
}

void SurfacePrescribedTurbulenceConditionDlg::ShowParameterRows() {
    const int selection = parameterType_.GetCurSel();
    SetRedraw(FALSE);
    if (selection < 0) {
        ShowControls(kIntensityRows);
        ShowControls(kEnergyRows, false);
        DisableControls(kIntensityRows);
        DisableControls(kEnergyRows);
        parameterType_.SetValidation(nullptr);
    } else {
        const auto type = std::int32_t(parameterType_.GetItemData(selection));
        ShowControls(kIntensityRows, type == kIntensityScale);
        ShowControls(kEnergyRows, type == kEnergyDissipation);
        using Validation = OtherCtlValidatingCComboBox::Validation;
        parameterType_.SetValidation(
            type == kIntensityScale    ? static_cast<Validation>(&SurfacePrescribedTurbulenceConditionDlg::ValidateIntensityPair)
            : type == kEnergyDissipation ? static_cast<Validation>(&SurfacePrescribedTurbulenceConditionDlg::ValidateEnergyPair)
                                         : nullptr,
            this);
    }
    SetRedraw(TRUE);
    Invalidate();
}

void SurfacePrescribedTurbulenceConditionDlg::ValidateIntensityPair(CDataExchange* dx) {
    std::vector<std::uint8_t> scratch(Edited().begin(), Edited().end());
    ExchangeDeclared(dx, kIntensityPair, scratch);
}

void SurfacePrescribedTurbulenceConditionDlg::ValidateEnergyPair(CDataExchange* dx) {
    std::vector<std::uint8_t> scratch(Edited().begin(), Edited().end());
    ExchangeDeclared(dx, kEnergyPair, scratch);
}

ORV_REGISTER_FEA_DIALOG(SurfacePrescribedTurbulenceConditionDlg::kTypeCode, SurfacePrescribedTurbulenceConditionDlg);

}  // namespace DataModelDialogs
