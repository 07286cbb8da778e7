#include "dialogs/objectdialogs/loads/AppliedTemperatureBaseDlg.h"
#include "dialogs/objectdialogs/loads/ScalarLoadExchange.h"

#include <vector>

#include "dialogs/controls/CDoubleCalcEdit.h"
#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/Record.h"

namespace DataModelDialogs {
namespace {

constexpr UINT kCurveTitleMultiplier = 3060;
constexpr UINT kCurveIdZeroMessage = 3051;
constexpr int kMaxLoadCurve = 32767;

constexpr UINT kTimeControls[] = {
    AppliedTemperatureBaseDlg::IDC_SCALE,          AppliedTemperatureBaseDlg::IDC_SCALE_UNIT,
    AppliedTemperatureBaseDlg::IDC_ACTIVATION_TIME, AppliedTemperatureBaseDlg::IDC_ACTIVATION_TIME_UNIT,
    AppliedTemperatureBaseDlg::IDC_LOAD_CURVE_SPIN, AppliedTemperatureBaseDlg::IDC_CURVE,
    AppliedTemperatureBaseDlg::IDC_LOAD_CURVE,      AppliedTemperatureBaseDlg::IDC_PLUS,
    AppliedTemperatureBaseDlg::IDC_TIMES_SCALE,     kListEnd};

constexpr UINT kRiksHidden[] = {
    AppliedTemperatureBaseDlg::IDC_PLUS,      AppliedTemperatureBaseDlg::IDC_TIMES_SCALE,
    AppliedTemperatureBaseDlg::IDC_LOAD_CURVE, AppliedTemperatureBaseDlg::IDC_CURVE,
    AppliedTemperatureBaseDlg::IDC_LOAD_CURVE_SPIN, AppliedTemperatureBaseDlg::IDC_LOAD_CURVE_LABEL, kListEnd};

// The rectangle of a child in its dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    POINT topLeft{rect.left, rect.top}, bottomRight{rect.right, rect.bottom};
    ::ScreenToClient(dialog, &topLeft);
    ::ScreenToClient(dialog, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

}  // namespace

void MakeScalarCalcEdits(FeaObjectPropertiesImplDlg& dialog, std::initializer_list<UINT> ids) {
    std::vector<UINT> list(ids);
    list.push_back(kListEnd);
    MakeCalcEdits(dialog, dialog.Context().calcEdits, list.data());
}

void BlankAndDisableCurveNumber(HWND control) {
    if (!control) return;
    ::SetWindowText(control, L"");
    ::EnableWindow(control, FALSE);
}

void ExchangeCurveNumberValue(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset) {
    OrvDbRecord::RecordView view(record);
    int value = view.GetI32(offset);
    ::DDX_Text(dx, int(id), value);
    if (dx->m_bSaveAndValidate) view.SetI32(offset, value);
}

void AppliedTemperatureBaseDlg::ExchangeCurveNumber(CDataExchange* dx, UINT id, std::size_t offset) {
    if (BeginExchange(id, offset, 4, &BlankAndDisableCurveNumber)) ExchangeCurveNumberValue(dx, id, Edited(), offset);
}

AppliedTemperatureBaseDlg::AppliedTemperatureBaseDlg(CWnd* parent, std::uint32_t typeCode)
    : FeaObjectDialogBase(IDD, parent, typeCode) {
    HandleCommand(IDC_VARIES_WITH_TIME, [this] { OnVariesWithTime(); });
    HandleCommand(IDC_CURVE, [this] {
        EditLoadCurve(*this, IDC_LOAD_CURVE, kCurveKindMultiplier, kCurveTitleMultiplier, kCurveIdZeroMessage,
                      Context().editParameters.designScenario, Context().editParameters.settingsDatabasePath);
    });
}

BOOL AppliedTemperatureBaseDlg::OnInitDialog() {
    const std::uint32_t analysisType = AnalysisType();
    timeVariationAllowed_ = (analysisType == 4 || analysisType == 21) ? 1 : 0;
    const auto* scenario = Context().editParameters.designScenario;
    riks_ = scenario && scenario->IsRiksAnalysis();
    FeaObjectDialogBase::OnInitDialog();
    MakeScalarCalcEdits(*this, {IDC_TEMPERATURE, IDC_STIFFNESS, IDC_SCALE, IDC_ACTIVATION_TIME});
    SuppressUnlessAnalysisTypes(IDC_LOAD_CURVE_LABEL, IDC_LOAD_CURVE, IDC_LOAD_CURVE_SPIN, IDC_CURVE, 0, 0, 0);
    if (HWND box = Control(IDC_VARIES_WITH_TIME))
        ::EnableWindow(box, timeVariationAllowed_ != 0 && !IsSuppressed(IDC_VARIES_WITH_TIME));
    TakeVariesWithTime();
    EnableTimeControls();
    if (riks_) ArrangeForRiks();
    return TRUE;
}

void AppliedTemperatureBaseDlg::DoDataExchange(CDataExchange* dx) {
    auto& edited = GetEditedEntry();
    ExchangeDouble(dx, IDC_TEMPERATURE, Edited(), kTemperatureOffset);
    ValidateRange(dx, IDC_TEMPERATURE, edited.GetF64(kTemperatureOffset), -1e300, 1e300);
    ExchangeBoolCheck(dx, IDC_VARIES_WITH_TIME, Edited(), kVariesWithTimeOffset);
    TakeVariesWithTime();
    DDX_Control(dx, int(IDC_LOAD_CURVE_SPIN), loadCurveSpin_);
    ExchangeCurveNumber(dx, IDC_LOAD_CURVE, kLoadCurveOffset);
    // Under Riks the load curve is hidden, so it cannot be corrected and is not tested.
    if (variesWithTime_ && !riks_)
        ValidateIntRange(dx, IDC_LOAD_CURVE, edited.GetI32(kLoadCurveOffset), 0, kMaxLoadCurve);
    ExchangeDouble(dx, IDC_STIFFNESS, Edited(), kStiffnessOffset);
    ValidateRange(dx, IDC_STIFFNESS, edited.GetF64(kStiffnessOffset), 1e-300, 1e300);
    ExchangeDouble(dx, IDC_SCALE, Edited(), kScaleOffset);
    if (variesWithTime_) ValidateRange(dx, IDC_SCALE, edited.GetF64(kScaleOffset), 1e-300, 1e300);
    ExchangeDouble(dx, IDC_ACTIVATION_TIME, Edited(), kActivationTimeOffset);
    if (variesWithTime_) ValidateRange(dx, IDC_ACTIVATION_TIME, edited.GetF64(kActivationTimeOffset), 0, 1e300);
    if (variesWithTime_) loadCurveSpin_.SetRange32(0, kMaxLoadCurve);
    FeaObjectDialogBase::DoDataExchange(dx);
}

void AppliedTemperatureBaseDlg::TakeVariesWithTime() {
    // A box checked in a record of an analysis without time variation keeps its state, but the
    // time controls stay off and are not tested.
    variesWithTime_ = (timeVariationAllowed_ && ::IsDlgButtonChecked(m_hWnd, int(IDC_VARIES_WITH_TIME)) == BST_CHECKED)
                          ? 1
                          : 0;
}

void AppliedTemperatureBaseDlg::EnableTimeControls() { EnableControls(kTimeControls, variesWithTime_ != 0); }

void AppliedTemperatureBaseDlg::OnVariesWithTime() {
    TakeVariesWithTime();
    EnableTimeControls();
    if (variesWithTime_) loadCurveSpin_.SetRange32(0, kMaxLoadCurve);
}

void AppliedTemperatureBaseDlg::ArrangeForRiks() {
    ShowControls(kRiksHidden, false);
    // Rows are measured by their edits, which sit a little above their labels.
    HWND scale = Control(IDC_SCALE);
    HWND curve = Control(IDC_LOAD_CURVE);
    if (!scale || !curve) return;
    const int rowTop = ChildRect(m_hWnd, scale).top;
    const int shift = rowTop - ChildRect(m_hWnd, curve).top;
    if (shift <= 0) return;
    // Every row from the scale row down moves up into the load curve row's place.
    std::vector<HWND> below;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (ChildRect(m_hWnd, child).top >= rowTop) below.push_back(child);
    for (HWND child : below) {
        const RECT rect = ChildRect(m_hWnd, child);
        ::SetWindowPos(child, nullptr, rect.left, rect.top - shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - shift,
                   SWP_NOMOVE | SWP_NOZORDER);
}

ORV_REGISTER_FEA_DIALOG(NodalAppliedTemperatureDlg::kTypeCode, NodalAppliedTemperatureDlg);
ORV_REGISTER_FEA_DIALOG(SurfaceAppliedTemperatureDlg::kTypeCode, SurfaceAppliedTemperatureDlg);
ORV_REGISTER_FEA_DIALOG(PartAppliedTemperatureDlg::kTypeCode, PartAppliedTemperatureDlg);

}  // namespace DataModelDialogs
