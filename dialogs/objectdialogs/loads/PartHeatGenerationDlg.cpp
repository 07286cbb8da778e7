#include "dialogs/objectdialogs/loads/PartHeatGenerationDlg.h"

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/objectdialogs/loads/AppliedTemperatureBaseDlg.h"
#include "dialogs/objectdialogs/loads/ScalarLoadExchange.h"

namespace DataModelDialogs {
namespace {

constexpr UINT kCurveTitleMultiplier = 3060;
constexpr UINT kCurveTitleHeatGeneration = 3065;
constexpr UINT kCurveIdZeroMessage = 3051;
constexpr int kMaxCurve = 32767;

constexpr UINT kTemperatureCurveControls[] = {PartHeatGenerationDlg::IDC_TEMPERATURE_CURVE,
                                              PartHeatGenerationDlg::IDC_TEMPERATURE_CURVE_SPIN,
                                              PartHeatGenerationDlg::IDC_TEMPERATURE_CURVE_BUTTON, kListEnd};
constexpr UINT kLoadCurveControls[] = {PartHeatGenerationDlg::IDC_LOAD_CURVE, PartHeatGenerationDlg::IDC_LOAD_CURVE_SPIN,
                                       PartHeatGenerationDlg::IDC_LOAD_CURVE_BUTTON, kListEnd};

}  // namespace

PartHeatGenerationDlg::PartHeatGenerationDlg(CWnd* parent) : FeaObjectDialogBase(IDD, parent, kTypeCode) {
    HandleCommand(IDC_TEMPERATURE_DEPENDENT, [this] { OnTemperatureDependent(); });
    HandleCommand(IDC_TEMPERATURE_CURVE_BUTTON, [this] {
        EditLoadCurve(*this, IDC_TEMPERATURE_CURVE, kCurveKindTemperatureHeatGeneration, kCurveTitleHeatGeneration,
                      kCurveIdZeroMessage, Context().editParameters.designScenario,
                      Context().editParameters.settingsDatabasePath);
    });
    HandleCommand(IDC_LOAD_CURVE_BUTTON, [this] {
        EditLoadCurve(*this, IDC_LOAD_CURVE, kCurveKindMultiplier, kCurveTitleMultiplier, kCurveIdZeroMessage,
                      Context().editParameters.designScenario, Context().editParameters.settingsDatabasePath);
    });
}

void PartHeatGenerationDlg::InitEditedEntry() {
    FeaObjectDialogBase::InitEditedEntry();
    auto& edited = GetEditedEntry();
    if (GetMode() == 0 && edited.GetI32(kLoadCurveOffset) == 0) edited.SetI32(kLoadCurveOffset, 1);
}

BOOL PartHeatGenerationDlg::OnInitDialog() {
    const std::uint32_t analysisType = AnalysisType();
    loadCurveAllowed_ = (analysisType == 4 || analysisType == 21) ? 1 : 0;
    FeaObjectDialogBase::OnInitDialog();
    MakeScalarCalcEdits(*this, {IDC_HEAT_GENERATION});
    EnableTemperatureCurve();
    EnableControls(kLoadCurveControls, loadCurveAllowed_ != 0);
    return TRUE;
}

void PartHeatGenerationDlg::DoDataExchange(CDataExchange* dx) {
    auto& edited = GetEditedEntry();
    ExchangeDouble(dx, IDC_HEAT_GENERATION, Edited(), kHeatGenerationOffset);
    ValidateRange(dx, IDC_HEAT_GENERATION, edited.GetF64(kHeatGenerationOffset), -1e300, 1e300);
    ExchangeBoolCheck(dx, IDC_TEMPERATURE_DEPENDENT, Edited(), kTemperatureDependentOffset);
    temperatureDependent_ = ::IsDlgButtonChecked(m_hWnd, int(IDC_TEMPERATURE_DEPENDENT)) == BST_CHECKED ? 1 : 0;
    DDX_Control(dx, int(IDC_TEMPERATURE_CURVE_SPIN), temperatureCurveSpin_);
    ExchangeCurveNumber(dx, IDC_TEMPERATURE_CURVE, kTemperatureCurveOffset);
    if (temperatureDependent_)
        ValidateIntRange(dx, IDC_TEMPERATURE_CURVE, edited.GetI32(kTemperatureCurveOffset), 0, kMaxCurve);
    ExchangeCurveNumber(dx, IDC_LOAD_CURVE, kLoadCurveOffset);
    if (loadCurveAllowed_) ValidateIntRange(dx, IDC_LOAD_CURVE, edited.GetI32(kLoadCurveOffset), 0, kMaxCurve);
    if (temperatureDependent_) temperatureCurveSpin_.SetRange32(0, kMaxCurve);
    if (loadCurveAllowed_) {
        DDX_Control(dx, int(IDC_LOAD_CURVE_SPIN), loadCurveSpin_);
        loadCurveSpin_.SetRange32(0, kMaxCurve);
    }
    FeaObjectDialogBase::DoDataExchange(dx);
}

void PartHeatGenerationDlg::ExchangeCurveNumber(CDataExchange* dx, UINT id, std::size_t offset) {
    if (BeginExchange(id, offset, 4, &BlankAndDisableCurveNumber)) ExchangeCurveNumberValue(dx, id, Edited(), offset);
}

void PartHeatGenerationDlg::EnableTemperatureCurve() {
    EnableControls(kTemperatureCurveControls, temperatureDependent_ != 0);
}

void PartHeatGenerationDlg::OnTemperatureDependent() {
    temperatureDependent_ = ::IsDlgButtonChecked(m_hWnd, int(IDC_TEMPERATURE_DEPENDENT)) == BST_CHECKED ? 1 : 0;
    EnableTemperatureCurve();
    if (temperatureDependent_) temperatureCurveSpin_.SetRange32(0, kMaxCurve);
}

ORV_REGISTER_FEA_DIALOG(PartHeatGenerationDlg::kTypeCode, PartHeatGenerationDlg);

}  // namespace DataModelDialogs
