#include "dialogs/convection/SurfaceConvectionCoefficientPanel.h"

#include <cwchar>

#include "dialogs/controls/CDoubleCalcEdit.h"
#include "dialogs/convection/SurfaceConvectionCoefficientCalculatorDlg.h"
#include "dialogs/objectdialogs/UnitConverterWindowUtility.h"
#include "dialogs/resources/Convection.h"
#include "host/model/UnitConverterWindowUtility.h"
#include "platform/win/DataExchange.h"
#include "platform/win/Inspect.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {
namespace {

constexpr int kShownDigits = 15;

// The whole text as one number ("%lf" with nothing but blanks after it); the user locale's
// decimal separator, which the calculator edits show, reads as well.
bool ParseNumber(const CString& text, double& value) {
    auto parse = [&value](const std::wstring& t) {
        int used = 0;
        if (std::swscanf(t.c_str(), L"%lf%n", &value, &used) != 1) return false;
        for (std::size_t i = std::size_t(used); i < t.size(); ++i)
            if (t[i] != L' ' && t[i] != L'\t') return false;
        return true;
    };
    std::wstring t = text.GetString();
    if (parse(t)) return true;
    const wchar_t decimal = OrvDbRecord::UnitConverterWindowUtility::UserNumberSymbols().decimal;
    if (decimal == L'.') return false;
    for (wchar_t& ch : t)
        if (ch == decimal) ch = L'.';
    return parse(t);
}

// The failure of a field: the framework's prompt and a failed exchange in normal mode, a
// plain failure (caught per routine) in quiet mode.
[[noreturn]] void FailField(CDataExchange* dx, bool quiet, const NumberRange* range) {
    if (quiet) AfxThrowUserException();
    if (range) UnitConverterWindowUtility::FailRange(dx, range->min, range->max, kShownDigits);
    UnitConverterWindowUtility::FailParse(dx);
    AfxThrowUserException();  // not reached: the prompts end the exchange
}

}  // namespace

// ---- SurfaceConvectionCoefficientPanel ----

SurfaceConvectionCoefficientPanel::SurfaceConvectionCoefficientPanel(UINT templateId, CWnd* owner)
    : CDialog(templateId, owner), templateId_(templateId), owner_(owner) {
    HandleMessage(WM_HELP, [this](WPARAM, LPARAM lParam) -> LRESULT {
        if (auto* calculator = Calculator(); calculator && lParam)
            calculator->ShowHelp(*reinterpret_cast<const HELPINFO*>(lParam));
        return TRUE;
    });
}

SurfaceConvectionCoefficientPanel::~SurfaceConvectionCoefficientPanel() = default;

CString SurfaceConvectionCoefficientPanel::GetHelpText(UINT) const { return CString(); }

CString SurfaceConvectionCoefficientPanel::GetTabTitle() const { return LoadConvectionString(templateId_); }

bool SurfaceConvectionCoefficientPanel::CreatePanel(CWnd* parent) { return Create(templateId_, parent) != FALSE; }

SurfaceConvectionCoefficientCalculatorDlg* SurfaceConvectionCoefficientPanel::Calculator() const {
    for (CWnd* w = GetParent(); w; w = w->GetParent())
        if (auto* calculator = dynamic_cast<SurfaceConvectionCoefficientCalculatorDlg*>(CWnd::FromHandlePermanent(*w)))
            return calculator;
    return dynamic_cast<SurfaceConvectionCoefficientCalculatorDlg*>(owner_);
}

ConvectionCoefficientInputs& SurfaceConvectionCoefficientPanel::Inputs() const { return Calculator()->inputs; }

BOOL SurfaceConvectionCoefficientPanel::OnInitDialog() {
    CDialog::OnInitDialog();
    routines_.clear();
    numericIds_.clear();
    failed_.clear();
    lastFocus_ = nullptr;
    RegisterRoutines();
    std::vector<UINT> ids = numericIds_;
    ids.push_back(0);
    MakeCalcEdits(*this, calcEdits_, ids.data());
    OrvDbRecord::UnitConverterWindowUtility::AutoSetupUnitLabels(Inputs().Units, m_hWnd, CString(L"Static"),
                                                                 OrvUnitsConversionStringSyntaxBaseUnits,
                                                                 CString(L"%U%"));
    Validate(false);
    return TRUE;
}

void SurfaceConvectionCoefficientPanel::Register(UINT id, Routine routine) {
    routines_.emplace_back(id, std::move(routine));
}

void SurfaceConvectionCoefficientPanel::RegisterNumber(UINT id, double ConvectionCoefficientInputs::*field,
                                                       const NumberRange* range, std::function<bool()> rangeApplies,
                                                       std::function<bool()> readable) {
    numericIds_.push_back(id);
    HandleCommand(id, EN_CHANGE, [this, id] { OnNumberTyped(id); });
    Register(id, [this, id, field, range, rangeApplies, readable](CDataExchange* dx) {
        double& value = Inputs().*field;
        if (!dx->m_bSaveAndValidate) {
            AfxSetWindowText(GetDlgItem(int(id))->GetSafeHwnd(), orv::FormatPrintf(L"%.*g", kShownDigits, value).c_str());
            return;
        }
        if (readable && !readable()) return;
        dx->PrepareEditCtrl(int(id));
        CString text;
        GetDlgItemText(int(id), text);
        double read = 0;
        if (!ParseNumber(text, read)) FailField(dx, quiet_, nullptr);
        if (range && (!rangeApplies || rangeApplies()) && (read < range->min || read > range->max))
            FailField(dx, quiet_, range);
        value = read;
    });
}

void SurfaceConvectionCoefficientPanel::OnNumberTyped(UINT id) {
    failed_.erase(id);
    // A sub-panel's field also counts in the geometry panel around it.
    if (auto* outer = dynamic_cast<SurfaceConvectionCoefficientPanel*>(CWnd::FromHandlePermanent(*GetParent())))
        outer->OnNumberTyped(id);
}

void SurfaceConvectionCoefficientPanel::DoDataExchange(CDataExchange* dx) { RunRoutines(dx); }

void SurfaceConvectionCoefficientPanel::RunRoutines(CDataExchange* dx) {
    for (auto& [id, routine] : routines_) {
        if (!quiet_) {
            routine(dx);
            continue;
        }
        try {
            routine(dx);
        } catch (const CUserException&) {
            failed_.insert(id);
        }
    }
}

bool SurfaceConvectionCoefficientPanel::Validate(bool saving) {
    CWnd* focus = CWnd::GetFocus();
    const HWND focused = focus ? focus->GetSafeHwnd() : nullptr;
    const bool wasQuiet = quiet_;
    quiet_ = true;
    if (saving) failed_.clear();
    UpdateData(saving ? TRUE : FALSE);
    quiet_ = wasQuiet;
    if (focused && IsWindow(focused) && ::IsChild(m_hWnd, focused) && ::GetFocus() != focused) ::SetFocus(focused);
    if (!saving) return Validate(true);
    return failed_.empty();
}

bool SurfaceConvectionCoefficientPanel::Exchange(bool saving) {
    const bool wasQuiet = quiet_;
    quiet_ = false;
    const bool ok = UpdateData(saving ? TRUE : FALSE) != FALSE;
    quiet_ = wasQuiet;
    return ok;
}

void SurfaceConvectionCoefficientPanel::EnableControls(std::initializer_list<UINT> ids, bool enable) {
    for (UINT id : ids)
        if (CWnd* control = GetDlgItem(int(id))) control->EnableWindow(enable ? TRUE : FALSE);
}

void SurfaceConvectionCoefficientPanel::Hide() {
    const HWND focus = ::GetFocus();
    if (focus && ::IsChild(m_hWnd, focus)) lastFocus_ = focus;
    ShowWindow(SW_HIDE);
    EnableWindow(FALSE);
}

void SurfaceConvectionCoefficientPanel::Show() {
    EnableWindow(TRUE);
    ShowWindow(SW_SHOW);
}

void SurfaceConvectionCoefficientPanel::Activate() {
    Validate(true);
    HWND target = lastFocus_;
    if (!target || !IsWindow(target) || !::IsChild(m_hWnd, target) || !::IsWindowEnabled(target) ||
        !::IsWindowVisible(target)) {
        CWnd* first = GetNextDlgTabItem(nullptr);
        target = first ? first->GetSafeHwnd() : m_hWnd;
    }
    ::SetFocus(target);
    if (orv::win::IsWindowClass(GetClassNameString(target), L"Edit"))
        ::SendMessage(target, EM_SETSEL, 0, -1);
}

// ---- General ----

SurfaceConvectionCoefficientGeneralPanel::SurfaceConvectionCoefficientGeneralPanel(CWnd* owner)
    : SurfaceConvectionCoefficientPanel(IDD_CONVECTION_GENERAL, owner) {
    HandleCommand(IDC_CC_TYPE, CBN_SELCHANGE, [this] {
        auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_CC_TYPE));
        Inputs().Type = combo->GetCurSel();
        RefillCorrelations();
        static_cast<CComboBox*>(GetDlgItem(IDC_CC_CORRELATION))->SetCurSel(CurrentCorrelation(Inputs()));
        Validate(true);
    });
    HandleCommand(IDC_CC_CORRELATION, CBN_SELCHANGE, [this] {
        const int index = static_cast<CComboBox*>(GetDlgItem(IDC_CC_CORRELATION))->GetCurSel();
        if (index >= 0) CurrentCorrelation(Inputs()) = index;
        Validate(true);
    });
    HandleCommand(IDC_CC_STANDARD_GRAVITY, [this] {
        SetStandardGravity(Inputs());
        AfxSetWindowText(GetDlgItem(IDC_CC_GRAVITY)->GetSafeHwnd(),
                         orv::FormatPrintf(L"%.*g", kShownDigits, Inputs().Gravity).c_str());
        OnNumberTyped(IDC_CC_GRAVITY);
    });
}

BOOL SurfaceConvectionCoefficientGeneralPanel::OnInitDialog() {
    CString text;
    // The label before the routines first write the correlation list.
    if (CWnd* label = GetDlgItem(IDC_CC_CORRELATION_LABEL)) label->GetWindowText(text);
    for (CString& l : labels_) l.Empty();
    int part = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == L'\n') {
            if (++part == 3) break;
            continue;
        }
        labels_[part] += text[i];
    }
    auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_CC_TYPE));
    types->ResetContent();
    for (int type = 0; type < 3; ++type) types->AddString(ConvectionTypeName(type));
    static_cast<CComboBox*>(GetDlgItem(IDC_CC_CORRELATION))->ResetContent();
    return SurfaceConvectionCoefficientPanel::OnInitDialog();
}

void SurfaceConvectionCoefficientGeneralPanel::RefillCorrelations() {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_CC_CORRELATION));
    combo->ResetContent();
    const int type = static_cast<CComboBox*>(GetDlgItem(IDC_CC_TYPE))->GetCurSel();
    if (type < 0 || type > 2) return;
    SetDlgItemText(IDC_CC_CORRELATION_LABEL, labels_[type]);
    for (int i = 0; i < CorrelationCount(type); ++i) combo->AddString(CorrelationName(type, i));
}

void SurfaceConvectionCoefficientGeneralPanel::UpdateEnabling() {
    const bool buoyancy = Inputs().Type == ConvectionBuoyancy;
    EnableControls({IDC_CC_FLOW_SPEED_LABEL, IDC_CC_FLOW_SPEED, IDC_CC_FLOW_SPEED_UNIT}, !buoyancy);
    EnableControls({IDC_CC_AMBIENT_LABEL, IDC_CC_AMBIENT, IDC_CC_AMBIENT_UNIT, IDC_CC_WALL_LABEL, IDC_CC_WALL,
                    IDC_CC_WALL_UNIT, IDC_CC_GRAVITY_LABEL, IDC_CC_GRAVITY, IDC_CC_GRAVITY_UNIT,
                    IDC_CC_STANDARD_GRAVITY},
                   buoyancy);
}

void SurfaceConvectionCoefficientGeneralPanel::RegisterRoutines() {
    Register(IDC_CC_TYPE, [this](CDataExchange* dx) {
        auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_CC_TYPE));
        if (dx->m_bSaveAndValidate) {
            Inputs().Type = combo->GetCurSel();
            return;
        }
        combo->SetCurSel(Inputs().Type);
        if (static_cast<CComboBox*>(GetDlgItem(IDC_CC_CORRELATION))->GetCount() == 0) RefillCorrelations();
    });
    Register(IDC_CC_CORRELATION, [this](CDataExchange* dx) {
        auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_CC_CORRELATION));
        if (dx->m_bSaveAndValidate) {
            if (combo->GetCurSel() >= 0) CurrentCorrelation(Inputs()) = combo->GetCurSel();
        } else {
            combo->SetCurSel(CurrentCorrelation(Inputs()));
        }
        UpdateEnabling();
    });
    RegisterNumber(IDC_CC_FLOW_SPEED, &ConvectionCoefficientInputs::FlowSpeed, &kNonNegative,
                   [this] { return GetDlgItem(IDC_CC_FLOW_SPEED)->IsWindowEnabled() != FALSE; });
    RegisterNumber(IDC_CC_AMBIENT, &ConvectionCoefficientInputs::AmbientTemperature, nullptr);
    RegisterNumber(IDC_CC_WALL, &ConvectionCoefficientInputs::WallTemperature, nullptr);
    RegisterNumber(IDC_CC_GRAVITY, &ConvectionCoefficientInputs::Gravity, nullptr);
}

CString SurfaceConvectionCoefficientGeneralPanel::GetHelpText(UINT controlId) const {
    if (controlId != IDC_CC_CORRELATION && controlId != IDC_CC_CORRELATION_LABEL) return CString();
    const int type = static_cast<CComboBox*>(GetDlgItem(IDC_CC_TYPE))->GetCurSel();
    if (type < 0 || type > 2) return CString();
    const CString text = LoadConvectionString(controlId);
    CString part;
    int index = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == L'$' && index < 2) {
            ++index;
            continue;
        }
        if (index == type) part += text[i];
    }
    return part;
}

// ---- Fluid properties ----

SurfaceConvectionCoefficientFluidPropertiesPanel::SurfaceConvectionCoefficientFluidPropertiesPanel(CWnd* owner)
    : SurfaceConvectionCoefficientPanel(IDD_CONVECTION_FLUID, owner) {
    HandleCommand(IDC_CC_USE_SPECIFIC_HEAT, [this] { OnRadio(IDC_CC_USE_SPECIFIC_HEAT, IDC_CC_SPECIFIC_HEAT); });
    HandleCommand(IDC_CC_USE_PRANDTL, [this] { OnRadio(IDC_CC_USE_PRANDTL, IDC_CC_PRANDTL); });
}

void SurfaceConvectionCoefficientFluidPropertiesPanel::OnRadio(UINT id, UINT edit) {
    Inputs().UsePrandtlNumber = IsDlgButtonChecked(IDC_CC_USE_PRANDTL) == BST_CHECKED;
    UpdateEnabling();
    if (IsDlgButtonChecked(int(id)) != BST_CHECKED) return;
    CWnd* box = GetDlgItem(int(edit));
    box->SetFocus();
    box->SendMessage(EM_SETSEL, 0, -1);
}

void SurfaceConvectionCoefficientFluidPropertiesPanel::UpdateEnabling() {
    EnableControls({IDC_CC_EXPANSION_LABEL, IDC_CC_EXPANSION, IDC_CC_EXPANSION_UNIT},
                   Inputs().Type == ConvectionBuoyancy);
    const bool prandtl = Inputs().UsePrandtlNumber;
    EnableControls({IDC_CC_SPECIFIC_HEAT, IDC_CC_SPECIFIC_HEAT_UNIT}, !prandtl);
    EnableControls({IDC_CC_PRANDTL}, prandtl);
}

void SurfaceConvectionCoefficientFluidPropertiesPanel::RegisterRoutines() {
    auto enabled = [this](UINT id) { return [this, id] { return GetDlgItem(int(id))->IsWindowEnabled() != FALSE; }; };
    RegisterNumber(IDC_CC_DENSITY, &ConvectionCoefficientInputs::Density, &kNonNegative);
    RegisterNumber(IDC_CC_VISCOSITY, &ConvectionCoefficientInputs::DynamicViscosity, &kPositive);
    RegisterNumber(IDC_CC_CONDUCTIVITY, &ConvectionCoefficientInputs::ThermalConductivity, &kPositive);
    // The expansion coefficient matters for buoyancy only: enabling follows the type first.
    Register(IDC_CC_EXPANSION, [this](CDataExchange*) { UpdateEnabling(); });
    RegisterNumber(IDC_CC_EXPANSION, &ConvectionCoefficientInputs::ThermalExpansion, &kPositive, {},
                   enabled(IDC_CC_EXPANSION));
    Register(IDC_CC_USE_SPECIFIC_HEAT, [this](CDataExchange* dx) {
        int choice = Inputs().UsePrandtlNumber ? 1 : 0;
        DDX_Radio(dx, IDC_CC_USE_SPECIFIC_HEAT, choice);
        if (dx->m_bSaveAndValidate) Inputs().UsePrandtlNumber = choice == 1;
        UpdateEnabling();
    });
    RegisterNumber(IDC_CC_SPECIFIC_HEAT, &ConvectionCoefficientInputs::SpecificHeat, &kNonNegative, {},
                   enabled(IDC_CC_SPECIFIC_HEAT));
    RegisterNumber(IDC_CC_PRANDTL, &ConvectionCoefficientInputs::Prandtl, &kPositive, {}, enabled(IDC_CC_PRANDTL));
}

// ---- Geometry ----

SurfaceConvectionCoefficientGeometrySubpanelDlg::SurfaceConvectionCoefficientGeometrySubpanelDlg(
    UINT templateId, CWnd* owner, std::vector<Field> fields)
    : SurfaceConvectionCoefficientPanel(templateId, owner), fields_(std::move(fields)) {}

void SurfaceConvectionCoefficientGeometrySubpanelDlg::RegisterRoutines() {
    for (const Field& f : fields_)
        RegisterNumber(f.id, f.field, &kPositive, [this] { return IsWindowEnabled() != FALSE; });
}

using Inputs = ConvectionCoefficientInputs;
SurfaceConvectionCoefficientGeometryFEFPPanel::SurfaceConvectionCoefficientGeometryFEFPPanel(CWnd* owner)
    : SurfaceConvectionCoefficientGeometrySubpanelDlg(IDD_CONVECTION_GEOMETRY_FEFP, owner,
                                                      {{IDC_CC_PLATE_LENGTH, &Inputs::ExternalPlateLength}}) {}
SurfaceConvectionCoefficientGeometryFIRPPanel::SurfaceConvectionCoefficientGeometryFIRPPanel(CWnd* owner)
    : SurfaceConvectionCoefficientGeometrySubpanelDlg(IDD_CONVECTION_GEOMETRY_FIRP, owner,
                                                      {{IDC_CC_PIPE_DIAMETER, &Inputs::PipeDiameter}}) {}
SurfaceConvectionCoefficientGeometryFIRDPanel::SurfaceConvectionCoefficientGeometryFIRDPanel(CWnd* owner)
    : SurfaceConvectionCoefficientGeometrySubpanelDlg(
          IDD_CONVECTION_GEOMETRY_FIRD, owner,
          {{IDC_CC_DUCT_HEIGHT, &Inputs::DuctHeight}, {IDC_CC_DUCT_WIDTH, &Inputs::DuctWidth}}) {}
SurfaceConvectionCoefficientGeometryFITDPanel::SurfaceConvectionCoefficientGeometryFITDPanel(CWnd* owner)
    : SurfaceConvectionCoefficientGeometrySubpanelDlg(
          IDD_CONVECTION_GEOMETRY_FITD, owner,
          {{IDC_CC_TRIANGLE_BASE, &Inputs::TriangleBase}, {IDC_CC_TRIANGLE_HEIGHT, &Inputs::TriangleHeight}}) {}
SurfaceConvectionCoefficientGeometryBFPPanel::SurfaceConvectionCoefficientGeometryBFPPanel(CWnd* owner)
    : SurfaceConvectionCoefficientGeometrySubpanelDlg(
          IDD_CONVECTION_GEOMETRY_BFP, owner,
          {{IDC_CC_BUOYANCY_LENGTH, &Inputs::BuoyancyPlateLength}, {IDC_CC_BUOYANCY_WIDTH, &Inputs::BuoyancyPlateWidth}}) {}

SurfaceConvectionCoefficientGeometryPanel::SurfaceConvectionCoefficientGeometryPanel(CWnd* owner)
    : SurfaceConvectionCoefficientPanel(IDD_CONVECTION_GEOMETRY, owner) {}

SurfaceConvectionCoefficientGeometryPanel::~SurfaceConvectionCoefficientGeometryPanel() = default;

BOOL SurfaceConvectionCoefficientGeometryPanel::OnInitDialog() {
    subpanels_.clear();
    shown_ = nullptr;
    subpanels_.push_back(std::make_unique<SurfaceConvectionCoefficientGeometryBFPPanel>(this));
    subpanels_.push_back(std::make_unique<SurfaceConvectionCoefficientGeometryFEFPPanel>(this));
    subpanels_.push_back(std::make_unique<SurfaceConvectionCoefficientGeometryFIRDPanel>(this));
    subpanels_.push_back(std::make_unique<SurfaceConvectionCoefficientGeometryFIRPPanel>(this));
    subpanels_.push_back(std::make_unique<SurfaceConvectionCoefficientGeometryFITDPanel>(this));
    for (auto& sub : subpanels_) {
        sub->CreatePanel(this);
        sub->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        sub->EnableWindow(FALSE);
    }
    return SurfaceConvectionCoefficientPanel::OnInitDialog();
}

void SurfaceConvectionCoefficientGeometryPanel::ShowSubpanel() {
    static constexpr UINT kByGeometry[] = {IDD_CONVECTION_GEOMETRY_FEFP, IDD_CONVECTION_GEOMETRY_FIRP,
                                           IDD_CONVECTION_GEOMETRY_FIRD, IDD_CONVECTION_GEOMETRY_FITD,
                                           IDD_CONVECTION_GEOMETRY_BFP};
    const int geometry = int(GetConvectionGeometry(Inputs()));
    const UINT wanted = geometry >= 0 && geometry < 5 ? kByGeometry[geometry] : IDD_CONVECTION_GEOMETRY_FEFP;
    for (auto& sub : subpanels_) {
        if (sub->GetTemplateId() == wanted) continue;
        sub->Hide();
    }
    for (auto& sub : subpanels_) {
        if (sub->GetTemplateId() != wanted) continue;
        sub->Show();
        shown_ = sub.get();
    }
}

void SurfaceConvectionCoefficientGeometryPanel::RegisterRoutines() {
    Register(IDD_CONVECTION_GEOMETRY, [this](CDataExchange* dx) {
        ShowSubpanel();
        const bool saving = dx->m_bSaveAndValidate != FALSE;
        bool ok = true;
        for (auto& sub : subpanels_) {
            if (IsQuiet()) {
                ok = sub->Validate(saving) && ok;
            } else if (!sub->Exchange(saving)) {
                AfxThrowUserException();
            }
        }
        if (!ok) AfxThrowUserException();
    });
}

CString SurfaceConvectionCoefficientGeometryPanel::GetHelpText(UINT controlId) const {
    return shown_ ? shown_->GetHelpText(controlId) : CString();
}

}  // namespace DataModelDialogs
