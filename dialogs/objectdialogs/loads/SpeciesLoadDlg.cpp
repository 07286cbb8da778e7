#include "dialogs/objectdialogs/loads/SpeciesLoadDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/objectdialogs/loads/AppliedTemperatureBaseDlg.h"
#include "dialogs/objectdialogs/loads/ScalarLoadExchange.h"
#include "host/model/DbDesignScenario.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Utf8.h"

namespace DataModelDialogs {
namespace {

constexpr UINT kCurveIdZeroMessage = 3051;
constexpr UINT kCurveTitleConcentration = 3152;
constexpr UINT kCurveTitleMassFlux = 3153;
constexpr UINT kCurveTitleMassSource = 3154;
constexpr UINT kCurveTitleMassGeneration = 3155;
constexpr int kMaxSpinCurve = 2147483646;

}  // namespace

SpeciesLoadDlg::SpeciesLoadDlg(const SpeciesLoadLayout& layout, CWnd* parent)
    : FeaObjectDialogBase(layout.templateId, parent, layout.typeCode), layout_(layout) {
    if (layout_.curveButton != kNoControl) {
        HandleCommand(layout_.curveButton, [this] {
            EditLoadCurve(*this, layout_.loadCurveEdit, kCurveKindMultiplier, layout_.curveTitle, kCurveIdZeroMessage,
                          Context().editParameters.designScenario, Context().editParameters.settingsDatabasePath);
        });
    }
}

BOOL SpeciesLoadDlg::OnInitDialog() {
    if (HWND combo = Control(layout_.speciesCombo)) {
        ::SendMessage(combo, CB_RESETCONTENT, 0, 0);
        if (const auto* scenario = Context().editParameters.designScenario) {
            for (const auto& species : scenario->GetMassSpecies()) {
                const std::wstring name = orv::Utf8ToWide(species.GetName());
                const LRESULT index = ::SendMessage(combo, CB_ADDSTRING, 0, LPARAM(name.c_str()));
                if (index >= 0) ::SendMessage(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(species.GetId()));
            }
        }
    }
    MakeScalarCalcEdits(*this, {layout_.valueEdit});
    if (layout_.loadCurveSpin != kNoControl)
        if (HWND spin = Control(layout_.loadCurveSpin)) ::SendMessage(spin, UDM_SETRANGE32, 1, kMaxSpinCurve);
    return FeaObjectDialogBase::OnInitDialog();
}

void SpeciesLoadDlg::ExchangeOwnFields(CDataExchange* dx) {
    ExchangeComboItemDataOrNone(dx, layout_.speciesCombo, Edited(), kSpeciesOffset);
    ExchangeDouble(dx, layout_.valueEdit, Edited(), kValueOffset);
    if (layout_.loadCurveEdit != kNoControl &&
        BeginExchange(layout_.loadCurveEdit, kLoadCurveOffset, 4, &BlankAndDisableCurveNumber))
        ExchangeCurveNumberValue(dx, layout_.loadCurveEdit, Edited(), kLoadCurveOffset);
    if (layout_.refuseNegative && ChecksApply(dx, layout_.valueEdit) && GetEditedEntry().GetF64(kValueOffset) < 0)
        AfxMessageBox(LoadResourceString(IDS_NEGATIVE_MAGNITUDE).GetString(), MB_OK);
}

void SpeciesLoadDlg::DoDataExchange(CDataExchange* dx) {
    if (layout_.baseExchangeFirst) {
        FeaObjectDialogBase::DoDataExchange(dx);
        ExchangeOwnFields(dx);
    } else {
        ExchangeOwnFields(dx);
        FeaObjectDialogBase::DoDataExchange(dx);
    }
}

void SpeciesLoadDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    // A negative value was reported by the exchange; the dialog stays open on that field.
    if (layout_.refuseNegative && !IsSuppressed(layout_.valueEdit) && GetEditedEntry().GetF64(kValueOffset) < 0) {
        if (HWND edit = Control(layout_.valueEdit)) GotoDlgCtrl(CWnd::FromHandle(edit));
        return;
    }
    EndDialog(IDOK);
}

SurfaceInitialConcentrationDlg::SurfaceInitialConcentrationDlg(CWnd* parent)
    : SpeciesLoadDlg({IDD, kTypeCode, IDC_SPECIES, IDC_VALUE}, parent) {}

NodalInitialConcentrationDlg::NodalInitialConcentrationDlg(CWnd* parent)
    : SpeciesLoadDlg({IDD, kTypeCode, IDC_SPECIES, IDC_VALUE, kNoControl, kNoControl, kNoControl, 0, true}, parent) {}

NodalAppliedConcentrationDlg::NodalAppliedConcentrationDlg(CWnd* parent)
    : SpeciesLoadDlg({IDD, kTypeCode, IDC_SPECIES, IDC_VALUE, IDC_LOAD_CURVE, IDC_LOAD_CURVE_SPIN, IDC_CURVE,
                      kCurveTitleConcentration, true},
                     parent) {}

SurfaceAppliedConcentrationDlg::SurfaceAppliedConcentrationDlg(CWnd* parent)
    : SpeciesLoadDlg({IDD, kTypeCode, IDC_SPECIES, IDC_VALUE, IDC_LOAD_CURVE, IDC_LOAD_CURVE_SPIN, IDC_CURVE,
                      kCurveTitleConcentration},
                     parent) {}

PartAppliedConcentrationDlg::PartAppliedConcentrationDlg(CWnd* parent)
    : SpeciesLoadDlg({IDD, kTypeCode, IDC_SPECIES, IDC_VALUE, IDC_LOAD_CURVE, IDC_LOAD_CURVE_SPIN, IDC_CURVE,
                      kCurveTitleConcentration},
                     parent) {}

PartMassGenerationDlg::PartMassGenerationDlg(CWnd* parent)
    : SpeciesLoadDlg({IDD, kTypeCode, IDC_SPECIES, IDC_VALUE, IDC_LOAD_CURVE, IDC_LOAD_CURVE_SPIN, IDC_CURVE,
                      kCurveTitleMassGeneration, false, true},
                     parent) {}

SurfaceMassFluxDlg::SurfaceMassFluxDlg(CWnd* parent)
    : SpeciesLoadDlg({IDD, kTypeCode, IDC_SPECIES, IDC_VALUE, IDC_LOAD_CURVE, IDC_LOAD_CURVE_SPIN, IDC_CURVE,
                      kCurveTitleMassFlux},
                     parent) {}

NodalMassSourceDlg::NodalMassSourceDlg(CWnd* parent)
    : SpeciesLoadDlg({IDD, kTypeCode, IDC_SPECIES, IDC_VALUE, IDC_LOAD_CURVE, IDC_LOAD_CURVE_SPIN, IDC_CURVE,
                      kCurveTitleMassSource, false, true},
                     parent) {}

ORV_REGISTER_FEA_DIALOG(SurfaceInitialConcentrationDlg::kTypeCode, SurfaceInitialConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(NodalInitialConcentrationDlg::kTypeCode, NodalInitialConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(NodalAppliedConcentrationDlg::kTypeCode, NodalAppliedConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(SurfaceAppliedConcentrationDlg::kTypeCode, SurfaceAppliedConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(PartAppliedConcentrationDlg::kTypeCode, PartAppliedConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(PartMassGenerationDlg::kTypeCode, PartMassGenerationDlg);
ORV_REGISTER_FEA_DIALOG(SurfaceMassFluxDlg::kTypeCode, SurfaceMassFluxDlg);
ORV_REGISTER_FEA_DIALOG(NodalMassSourceDlg::kTypeCode, NodalMassSourceDlg);

}  // namespace DataModelDialogs
