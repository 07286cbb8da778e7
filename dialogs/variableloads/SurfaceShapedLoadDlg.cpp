#include "dialogs/variableloads/SurfaceShapedLoadDlg.h"

#include <cmath>
#include <cwctype>
#include <memory>
#include <set>

#include "dialogs/controls/ResourceModule.h"
#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"
#include "dialogs/resources/VariableLoads.h"
#include "dialogs/variableloads/ShapePrimitivesDlg.h"
#include "dialogs/variableloads/ShapeViewerDlg.h"
#include "dialogs/variableloads/VariableLoadFunctions.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbFeaObject.h"
#include "host/model/DbGeometry.h"
#include "host/model/DbShape.h"
#include "host/model/RecordLayout.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"

namespace DataModelDialogs {
namespace {

using OrvDbRecord::DbShape;

constexpr UINT kDirectionEdits[] = {IDC_SVL_DIRECTION_R, IDC_SVL_DIRECTION_S, IDC_SVL_DIRECTION_T, kListEnd};
constexpr UINT kDirectionLabels[] = {IDC_SVL_DIRECTION_R_LABEL, IDC_SVL_DIRECTION_S_LABEL, IDC_SVL_DIRECTION_T_LABEL,
                                     kListEnd};
constexpr UINT kFunctionControls[] = {IDC_SVL_FUNCTION,        IDC_SVL_EXPRESSION,     IDC_SVL_PRIMITIVES,
                                      IDC_SVL_VIEW,            IDC_SVL_COORDINATE_SYSTEM_LABEL,
                                      IDC_SVL_FUNCTION_LABEL,  IDC_SVL_EXPRESSION_LABEL, IDC_SVL_VARIABLES_LABEL,
                                      IDC_SVL_FUNCTION_RULE,   IDC_SVL_LEGEND,         IDC_SVL_EXTREMES,
                                      kListEnd};
constexpr UINT kLegendIds[4] = {IDC_SVL_DIRECTION_R_LABEL, IDC_SVL_DIRECTION_S_LABEL, IDC_SVL_DIRECTION_T_LABEL,
                                IDC_SVL_LEGEND};
constexpr UINT_PTR kExtremesTimer = 55;
constexpr std::size_t kNormalOffset = 272, kTractionOffsets[3] = {324, 332, 340}, kSystemOffset = 348,
                      kFunctionOffset = 356;

const Condition kTraction = Checked(IDC_SVL_TRACTION);

const DialogDeclaration kSurfaceShapedLoad{
    .fields = {Curve(IDC_SVL_LOAD_CURVE, "loadCurve").Range(1, 2147483647)},
    .rules =
        {
            EnableWhile({IDC_SVL_DIRECTION_R_LABEL, IDC_SVL_DIRECTION_S_LABEL, IDC_SVL_DIRECTION_T_LABEL,
                         IDC_SVL_DIRECTION_R, IDC_SVL_DIRECTION_S, IDC_SVL_DIRECTION_T},
                        kTraction),
            SpinRange(IDC_SVL_LOAD_CURVE_SPIN, 1, 2147483647),
        },
    .curves = {{IDC_SVL_CURVE, IDC_SVL_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_MULTIPLIER}},
};

// The image of a coordinate system type: rectangular (and global), cylindrical, spherical.
int ImageOfType(std::uint32_t type) { return type == 1 ? 1 : type == 3 ? 2 : 0; }

std::wstring Lower(std::wstring text) {
    for (wchar_t& ch : text) ch = wchar_t(std::towlower(wint_t(ch)));
    return text;
}

std::wstring ComboItemText(HWND combo, int index) {
    const LRESULT length = ::SendMessage(combo, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length < 0) return {};
    std::wstring text(std::size_t(length) + 1, L'\0');
    ::SendMessage(combo, CB_GETLBTEXT, WPARAM(index), LPARAM(text.data()));
    text.resize(std::size_t(length));
    return text;
}

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLength(window);
    std::wstring text(std::size_t(std::max(length, 0)) + 1, L'\0');
    ::GetWindowText(window, text.data(), length + 1);
    text.resize(std::size_t(std::max(length, 0)));
    return text;
}

std::wstring Number(double value) {
    wchar_t buffer[40];
    std::swprintf(buffer, 40, L"%.6g", value);
    return buffer;
}

}  // namespace

SurfaceShapedLoadDlg::SurfaceShapedLoadDlg(CWnd* parent) : FeaObjectDialogBase(kSurfaceShapedLoad, parent, kTypeCode) {
    HandleCommand(IDC_SVL_COORDINATE_SYSTEM, CBN_SELCHANGE, [this] { OnCoordinateSystemChange(); });
    HandleCommand(IDC_SVL_FUNCTION, CBN_SELCHANGE, [this] { OnFunctionChange(); });
    HandleCommand(IDC_SVL_FUNCTION, CBN_EDITCHANGE, [this] { OnNameTyped(); });
    HandleCommand(IDC_SVL_EXPRESSION, EN_CHANGE, [this] {
        EnableViewAndOk();
        ScheduleExtremes();
    });
    HandleCommand(IDC_SVL_PRIMITIVES, BN_CLICKED, [this] { OnPrimitives(); });
    HandleCommand(IDC_SVL_VIEW, BN_CLICKED, [this] { OnView(); });
    HandleMessage(WM_TIMER, [this](WPARAM id, LPARAM) -> LRESULT {
        if (id == kExtremesTimer) {
            KillTimer(kExtremesTimer);
            ShowExtremes();
        }
        return 0;
    });
}

SurfaceShapedLoadDlg::~SurfaceShapedLoadDlg() = default;

OrvDbRecord::DbDesignScenario* SurfaceShapedLoadDlg::Scenario() const {
    return Context().editParameters.designScenario;
}

const OrvDbRecord::DbCoordinateSystem* SurfaceShapedLoadDlg::ChosenSystem() const {
    const auto* scenario = Scenario();
    if (!scenario) return nullptr;
    HWND combo = Control(IDC_SVL_COORDINATE_SYSTEM);
    const int selection = int(::SendMessage(combo, CB_GETCURSEL, 0, 0));
    if (selection < 0) return scenario->GetCoordinateSystems().Find(lastSystem_);
    return scenario->GetCoordinateSystems().Find(std::uint32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(selection), 0)));
}

std::uint32_t SurfaceShapedLoadDlg::ChosenType() const {
    const auto* system = ChosenSystem();
    return system ? system->CoordinateSystemType() : 0;
}

DbShape* SurfaceShapedLoadDlg::CurrentFunction() const {
    const auto* scenario = Scenario();
    return scenario && current_ ? scenario->GetShapes().Find(current_) : nullptr;
}

std::vector<const OrvDbRecord::DbNode*> SurfaceShapedLoadDlg::LoadNodes() const {
    using Kind = OrvDbRecord::StorageMapItem::Kind;
    std::vector<const OrvDbRecord::DbNode*> nodes;
    std::set<std::uint32_t> seen;
    auto& self = const_cast<SurfaceShapedLoadDlg&>(*this);
    for (OrvDbRecord::StorageMapItem* geometry : self.GetGeometries()) {
        if (!geometry) continue;
        std::vector<const OrvDbRecord::DbNode*> some;
        if (geometry->GetKind() == Kind::Surface || geometry->GetKind() == Kind::Edge)
            some = static_cast<const OrvDbRecord::DbPartFace*>(geometry)->GetNodes();
        else if (geometry->GetKind() == Kind::Node)
            some.push_back(static_cast<const OrvDbRecord::DbNode*>(geometry));
        for (const auto* node : some)
            if (seen.insert(node->Id()).second) nodes.push_back(node);
    }
    return nodes;
}

std::wstring SurfaceShapedLoadDlg::StoredExpression(const DbShape& function) const {
    const auto* scenario = Scenario();
    if (!scenario) return orv::Utf8ToWide(function.GetExpression());
    const OrvDbRecord::RSTVariableUnitsInfo units(function.GetCoordinateSystemType(), DbShape::kFunctionValueUnit);
    return orv::Utf8ToWide(function.GetShape(scenario->GetCurrentDisplayUnitSystem().GetUnitSystem(), units));
}

std::wstring SurfaceShapedLoadDlg::ExpressionText() const { return WindowText(Control(IDC_SVL_EXPRESSION)); }
std::wstring SurfaceShapedLoadDlg::NameText() const { return WindowText(Control(IDC_SVL_FUNCTION)); }

// ---- start-up ----

void SurfaceShapedLoadDlg::PrepareControls() {
    FeaObjectDialogBase::PrepareControls();
    MakeCalcEdits({IDC_SVL_DIRECTION_R, IDC_SVL_DIRECTION_S, IDC_SVL_DIRECTION_T});
    if (!images_.GetSafeHandle()) {
        ResourceModuleScope resources;
        images_.Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0);
        CBitmap strip;
        if (strip.LoadBitmap(IDB_COORDINATE_SYSTEM_TYPES)) images_.Add(&strip, RGB(255, 0, 255));
    }
    for (UINT combo : {IDC_SVL_COORDINATE_SYSTEM, IDC_SVL_FUNCTION})
        ::SendMessage(Control(combo), CBEM_SETIMAGELIST, 0, LPARAM(images_.GetSafeHandle()));
    static constexpr int kImages[4] = {0, 1, 0, 2};
    FillCoordinateSystemComboEx(IDC_SVL_COORDINATE_SYSTEM, kImages);
    FillFunctionCombo();
    for (int i = 0; i < 4; ++i) legends_[std::size_t(i)].SubclassDlgItem(kLegendIds[i], this);
    current_ = 0;
    functionControlsOff_ = false;
}

BOOL SurfaceShapedLoadDlg::OnInitDialog() {
    FeaObjectDialogBase::OnInitDialog();
    EnableTraction();
    UpdateLegends();
    EnableViewAndOk();
    ShowExtremes();
    return TRUE;
}

void SurfaceShapedLoadDlg::FillFunctionCombo() {
    HWND combo = Control(IDC_SVL_FUNCTION);
    ::SendMessage(combo, CB_RESETCONTENT, 0, 0);
    auto insert = [&](const std::wstring& text, int image, std::uint32_t id) {
        COMBOBOXEXITEM item{};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
        item.iItem = -1;
        item.pszText = const_cast<LPWSTR>(text.c_str());
        item.iImage = item.iSelectedImage = image;
        item.lParam = LPARAM(id);
        ::SendMessage(combo, CBEM_INSERTITEM, 0, LPARAM(&item));
    };
    if (const auto* scenario = Scenario())
        for (const auto& [id, function] : scenario->GetShapes()) {
            const std::wstring name = function->GetDescription().empty() ? std::wstring(LoadResourceString(IDS_UNNAMED).GetString())
                                                                         : orv::Utf8ToWide(function->GetDescription());
            insert(name, ImageOfType(function->GetCoordinateSystemType()), id);
        }
    insert(LoadResourceString(IDS_FUNCTION_NEW).GetString(), ImageOfType(ChosenType()), 0);
}

int SurfaceShapedLoadDlg::FindFunctionItem(std::uint32_t id) const {
    HWND combo = Control(IDC_SVL_FUNCTION);
    const int count = int(::SendMessage(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (std::uint32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(i), 0)) == id) return i;
    return -1;
}

int SurfaceShapedLoadDlg::FindItemByName(const std::wstring& name) const {
    HWND combo = Control(IDC_SVL_FUNCTION);
    const int count = int(::SendMessage(combo, CB_GETCOUNT, 0, 0));
    const std::wstring wanted = Lower(name);
    for (int i = 0; i < count; ++i)
        if (Lower(ComboItemText(combo, i)) == wanted) return i;
    return -1;
}

void SurfaceShapedLoadDlg::RefreshNewFunctionImage() {
    const int index = FindFunctionItem(0);
    if (index < 0) return;
    COMBOBOXEXITEM item{};
    item.mask = CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = index;
    item.iImage = item.iSelectedImage = ImageOfType(ChosenType());
    // Setting the selected item shows its text again: a typed name must stay.
    const std::wstring typed = NameText();
    ::SendMessage(Control(IDC_SVL_FUNCTION), CBEM_SETITEM, 0, LPARAM(&item));
    if (NameText() != typed) {
        inNameTyping_ = true;
        ::SetWindowText(Control(IDC_SVL_FUNCTION), typed.c_str());
        inNameTyping_ = false;
    }
}

// ---- exchange ----

void SurfaceShapedLoadDlg::DoDataExchange(CDataExchange* dx) {
    OrvDbRecord::RecordView view(Edited());
    ExchangeComboItemData(dx, IDC_SVL_COORDINATE_SYSTEM, Edited(), kSystemOffset);
    lastSystem_ = std::uint32_t(view.GetI32(kSystemOffset));
    RefreshNewFunctionImage();

    ExchangeBoolRadio(dx, IDC_SVL_NORMAL, Edited(), kNormalOffset);
    if (IsSuppressed(IDC_SVL_NORMAL)) {
        MarkSuppressed(kDirectionEdits);
        BlankAndDisableControls(kDirectionEdits);
        DisableControls(kDirectionLabels);
    } else if (!Saving(dx) || IsDlgButtonChecked(IDC_SVL_TRACTION) == BST_CHECKED) {
        for (int i = 0; i < 3; ++i) ExchangeDouble(dx, kDirectionEdits[i], Edited(), kTractionOffsets[i]);
        if (Saving(dx) && !IsSuppressed(IDC_SVL_DIRECTION_R) && !IsSuppressed(IDC_SVL_DIRECTION_S) &&
            !IsSuppressed(IDC_SVL_DIRECTION_T) && Context().pickEndControls.empty()) {
            double v[3];
            for (int i = 0; i < 3; ++i) v[i] = view.GetF64(kTractionOffsets[i]);
            // The length by what the components mean: all three lengths, the radius and the
            // axial coordinate of a cylinder, the radius alone of a sphere.
            const std::uint32_t type = ChosenType();
            const double n = type == 1 ? std::sqrt(v[0] * v[0] + v[2] * v[2])
                             : type == 3 ? v[0]
                                         : std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            if (!(n >= 1e-15) || !std::isfinite(n)) {
                dx->PrepareEditCtrl(IDC_SVL_DIRECTION_R);
                AfxMessageBox(IDS_INVALID_VECTOR, MB_OK | MB_ICONEXCLAMATION);
                dx->Fail();
            }
            if (type == 1) v[0] /= n, v[2] /= n;
            else if (type == 3) v[0] = 1.0;
            else v[0] /= n, v[1] /= n, v[2] /= n;
            for (int i = 0; i < 3; ++i) view.SetF64(kTractionOffsets[i], v[i]);
        }
    }

    if (IsSuppressed(IDC_SVL_COORDINATE_SYSTEM)) DisableFunctionControls();
    Register(IDC_SVL_FUNCTION, kFunctionOffset, 4);
    if (IsSuppressed(IDC_SVL_FUNCTION)) {
        DisableFunctionControls();
    } else if (!functionControlsOff_) {
        if (Saving(dx) && Context().pickEndControls.empty()) {
            if (const UINT focus = CommitFunction()) {
                if (focus == IDC_SVL_EXPRESSION) dx->PrepareEditCtrl(int(focus));
                else dx->PrepareCtrl(int(focus));
                dx->Fail();
            }
        }
        ExchangeComboItemData(dx, IDC_SVL_FUNCTION, Edited(), kFunctionOffset);
        current_ = std::uint32_t(view.GetI32(kFunctionOffset));
        if (!Saving(dx)) {
            const DbShape* function = CurrentFunction();
            if (!function) {
                current_ = 0;
                ::SendMessage(Control(IDC_SVL_FUNCTION), CB_SETCURSEL, WPARAM(FindFunctionItem(0)), 0);
            }
            SetDlgItemText(IDC_SVL_EXPRESSION, function ? StoredExpression(*function).c_str() : L"");
        }
    }
    FeaObjectDialogBase::DoDataExchange(dx);
}

void SurfaceShapedLoadDlg::DisableFunctionControls() {
    functionControlsOff_ = true;
    MarkSuppressed(kFunctionControls);
    DisableControls(kFunctionControls);
}

// ---- functions ----

UINT SurfaceShapedLoadDlg::CommitFunction() {
    HWND combo = Control(IDC_SVL_FUNCTION);
    const std::wstring name = NameText();
    const std::wstring expression = ExpressionText();
    const int cursel = int(::SendMessage(combo, CB_GETCURSEL, 0, 0));
    // A selected item is one whose text the combo still shows; otherwise the name was typed.
    const int selected = cursel >= 0 && ComboItemText(combo, cursel) == name ? cursel : -1;
    if (name.empty()) {
        AfxMessageBox(IDS_FUNCTION_NAME_MISSING, MB_OK | MB_ICONEXCLAMATION);
        return IDC_SVL_FUNCTION;
    }
    const auto nodes = LoadNodes();
    const auto* scenario = Scenario();
    static const OrvDbRecord::DisplayUnitSystem kIdentity;
    const auto& display = scenario ? scenario->GetCurrentDisplayUnitSystem() : kIdentity;
    if (!CheckExpressionOnNodes(expression, ChosenSystem(), nodes, display, m_hWnd)) return IDC_SVL_EXPRESSION;
    DbShape* current = CurrentFunction();
    if (!current) {
        if (selected < 0) {
            const int same = FindItemByName(name);
            if (same < 0) {
                CreateFunction(name);
                return 0;
            }
            const bool isNew = ::SendMessage(combo, CB_GETITEMDATA, WPARAM(same), 0) == 0;
            AfxMessageBox(isNew ? IDS_FUNCTION_NAME_MISSING : IDS_FUNCTION_NAME_TAKEN, MB_OK | MB_ICONEXCLAMATION);
            return IDC_SVL_FUNCTION;
        }
        if (::SendMessage(combo, CB_GETITEMDATA, WPARAM(selected), 0) != 0) return 0;
        AfxMessageBox(IDS_FUNCTION_NAME_MISSING, MB_OK | MB_ICONEXCLAMATION);
        return IDC_SVL_FUNCTION;
    }
    const bool changed = expression != StoredExpression(*current);
    if (selected >= 0) {
        if (!changed) return 0;
        switch (AfxMessageBox(IDS_FUNCTION_EXPRESSION_CHANGED, MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES:
                // The function keeps its own name: the combo may already show the next one.
                UpdateFunction(orv::Utf8ToWide(current->GetDescription()));
                return 0;
            case IDNO: return 0;
            default: return IDC_SVL_EXPRESSION;
        }
    }
    const int same = FindItemByName(name);
    if (same >= 0 && std::uint32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(same), 0)) != current_) {
        AfxMessageBox(IDS_FUNCTION_NAME_TAKEN, MB_OK | MB_ICONEXCLAMATION);
        return IDC_SVL_FUNCTION;
    }
    switch (AfxMessageBox(changed ? IDS_FUNCTION_RENAMED_AND_CHANGED : IDS_FUNCTION_RENAMED, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: CreateFunction(name); return 0;
        case IDNO: UpdateFunction(name); return 0;
        default: return IDC_SVL_FUNCTION;
    }
}

void SurfaceShapedLoadDlg::CreateFunction(const std::wstring& name) {
    auto* scenario = Scenario();
    if (!scenario) return;
    DbShape& function = scenario->CreateShape();
    COMBOBOXEXITEM item{};
    item.mask = CBEIF_TEXT | CBEIF_LPARAM;
    item.iItem = FindFunctionItem(0);
    item.pszText = const_cast<LPWSTR>(name.c_str());
    item.lParam = LPARAM(function.Id());
    ::SendMessage(Control(IDC_SVL_FUNCTION), CBEM_INSERTITEM, 0, LPARAM(&item));
    current_ = function.Id();
    UpdateFunction(name);
}

void SurfaceShapedLoadDlg::UpdateFunction(const std::wstring& name) {
    DbShape* function = CurrentFunction();
    auto* scenario = Scenario();
    if (!function || !scenario) return;
    function->SetDescription(orv::WideToUtf8(name));
    function->SetShape(orv::WideToUtf8(ExpressionText()), ChosenType(),
                       scenario->GetCurrentDisplayUnitSystem().GetUnitSystem());
    function->SetChanged();
    const int index = FindFunctionItem(current_);
    if (index < 0) return;
    const std::wstring shown = name.empty() ? std::wstring(LoadResourceString(IDS_UNNAMED).GetString()) : name;
    COMBOBOXEXITEM item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(shown.c_str());
    item.iImage = item.iSelectedImage = ImageOfType(function->GetCoordinateSystemType());
    HWND combo = Control(IDC_SVL_FUNCTION);
    ::SendMessage(combo, CBEM_SETITEM, 0, LPARAM(&item));
    ::SendMessage(combo, CB_SETCURSEL, WPARAM(index), 0);
}

int SurfaceShapedLoadDlg::CompatibilityCheck() const {
    const DbShape* function = CurrentFunction();
    if (!function || function->IsCompatibleWithCoordinateSystemType(ChosenType())) return 0;
    const auto users = function->GetFeaUsages();
    // This load's own id: the one object edited (none while creating).
    auto& self = const_cast<SurfaceShapedLoadDlg&>(*this);
    const auto& objects = self.GetFeaObjects();
    std::uint32_t own = objects.size() == 1 && objects.front() ? objects.front()->Id() : 0;
    std::size_t others = 0;
    for (const auto* user : users)
        if (!user || user->Id() != own) ++others;
    return others == 0 ? 1 : 2;
}

void SurfaceShapedLoadDlg::StartCopy() {
    auto text = std::make_unique<std::wstring>(ExpressionText());
    ::SendMessage(Control(IDC_SVL_FUNCTION), CB_SETCURSEL, WPARAM(FindFunctionItem(0)), 0);
    PostMessage(kDeferredFunctionChange, 0, LPARAM(text.release()));
}

void SurfaceShapedLoadDlg::OnFunctionChange() {
    HWND combo = Control(IDC_SVL_FUNCTION);
    const std::uint32_t previous = current_;
    // Leaving "New function..." with nothing typed loses nothing: there is nothing to commit.
    const bool nothingToCommit = current_ == 0 && ExpressionText().empty();
    if (const UINT focus = nothingToCommit ? 0 : CommitFunction()) {
        ::SendMessage(combo, CB_SETCURSEL, WPARAM(FindFunctionItem(current_)), 0);
        GotoDlgCtrl(GetDlgItem(int(focus)));
        MSG pending;
        while (::PeekMessage(&pending, m_hWnd, kDeferredFunctionChange, kDeferredFunctionChange, PM_REMOVE))
            delete reinterpret_cast<std::wstring*>(pending.lParam);
        return;
    }
    const int selection = int(::SendMessage(combo, CB_GETCURSEL, 0, 0));
    current_ = selection >= 0 ? std::uint32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(selection), 0)) : 0;
    const DbShape* function = CurrentFunction();
    SetDlgItemText(IDC_SVL_EXPRESSION, function ? StoredExpression(*function).c_str() : L"");
    switch (CompatibilityCheck()) {
        case 2:
            if (AfxMessageBox(IDS_FUNCTION_COPY_NEEDED, MB_YESNO | MB_ICONQUESTION) != IDYES) {
                current_ = previous;
                const DbShape* back = CurrentFunction();
                ::SendMessage(combo, CB_SETCURSEL, WPARAM(FindFunctionItem(current_)), 0);
                SetDlgItemText(IDC_SVL_EXPRESSION, back ? StoredExpression(*back).c_str() : L"");
                GotoDlgCtrl(GetDlgItem(IDC_SVL_FUNCTION));
            } else {
                StartCopy();
            }
            break;
        case 1: UpdateFunction(orv::Utf8ToWide(CurrentFunction()->GetDescription())); break;
        default: break;
    }
    EnableViewAndOk();
    ShowExtremes();
}

void SurfaceShapedLoadDlg::OnCoordinateSystemChange() {
    switch (CompatibilityCheck()) {
        case 2:
            if (AfxMessageBox(IDS_FUNCTION_COPY_NEEDED, MB_YESNO | MB_ICONQUESTION) != IDYES) {
                ::SendMessage(Control(IDC_SVL_COORDINATE_SYSTEM), CB_SETCURSEL,
                              WPARAM([&] {
                                  HWND c = Control(IDC_SVL_COORDINATE_SYSTEM);
                                  const int n = int(::SendMessage(c, CB_GETCOUNT, 0, 0));
                                  for (int i = 0; i < n; ++i)
                                      if (std::uint32_t(::SendMessage(c, CB_GETITEMDATA, WPARAM(i), 0)) == lastSystem_) return i;
                                  return -1;
                              }()),
                              0);
            } else {
                StartCopy();
            }
            break;
        case 1: UpdateFunction(orv::Utf8ToWide(CurrentFunction()->GetDescription())); break;
        default: break;
    }
    if (const auto* system = ChosenSystem()) lastSystem_ = system->Id();
    UpdateLegends();
    RefreshNewFunctionImage();
    ShowExtremes();
}

void SurfaceShapedLoadDlg::OnNameTyped() {
    if (inNameTyping_) return;
    inNameTyping_ = true;
    HWND combo = Control(IDC_SVL_FUNCTION);
    const int cursel = int(::SendMessage(combo, CB_GETCURSEL, 0, 0));
    const int same = FindItemByName(NameText());
    if (same >= 0 && same != cursel) {
        const LRESULT caret = ::SendMessage(combo, CB_GETEDITSEL, 0, 0);
        ::SendMessage(combo, CB_SETCURSEL, WPARAM(same), 0);
        ::SendMessage(combo, CB_SETEDITSEL, 0, LPARAM(caret));
        EnableViewAndOk();
        PostMessage(kDeferredFunctionChange, 0, 0);
    }
    inNameTyping_ = false;
}

LRESULT SurfaceShapedLoadDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kDeferredFunctionChange) return FeaObjectDialogBase::WindowProc(message, wParam, lParam);
    std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(lParam));
    MSG pending;
    while (::PeekMessage(&pending, m_hWnd, kDeferredFunctionChange, kDeferredFunctionChange, PM_REMOVE))
        delete reinterpret_cast<std::wstring*>(pending.lParam);
    OnFunctionChange();
    if (text) SetDlgItemText(IDC_SVL_EXPRESSION, text->c_str());
    return 0;
}

void SurfaceShapedLoadDlg::OnCancel() {
    KillTimer(kExtremesTimer);
    MSG pending;
    while (::PeekMessage(&pending, m_hWnd, kDeferredFunctionChange, kDeferredFunctionChange, PM_REMOVE))
        delete reinterpret_cast<std::wstring*>(pending.lParam);
    FeaObjectDialogBase::OnCancel();
}

// ---- the rest ----

void SurfaceShapedLoadDlg::EnableViewAndOk() {
    const bool any = !ExpressionText().empty();
    if (!IsSuppressed(IDC_SVL_VIEW)) ::EnableWindow(Control(IDC_SVL_VIEW), any);
    ::EnableWindow(Control(IDOK), any || functionControlsOff_);
}

void SurfaceShapedLoadDlg::EnableTraction() {
    const bool traction = IsDlgButtonChecked(IDC_SVL_TRACTION) == BST_CHECKED;
    std::vector<UINT> ids(std::begin(kDirectionEdits), std::end(kDirectionEdits) - 1);
    ids.insert(ids.end(), std::begin(kDirectionLabels), std::end(kDirectionLabels) - 1);
    for (UINT id : ids)
        if (!IsSuppressed(id)) ::EnableWindow(Control(id), traction);
}

void SurfaceShapedLoadDlg::UpdateLegends() {
    const auto* scenario = Scenario();
    for (RSTLegendWnd& legend : legends_) {
        legend.SetUnitSystem(scenario ? &scenario->GetCurrentDisplayUnitSystem() : nullptr);
        legend.SetCoordinateSystemType(ChosenType());
    }
}

void SurfaceShapedLoadDlg::OnPrimitives() {
    CWnd* button = GetDlgItem(IDC_SVL_PRIMITIVES);
    CString name;
    if (!button || !ShapePrimitivesDlg::ChoosePrimitive(*button, name)) return;
    CEdit* edit = static_cast<CEdit*>(GetDlgItem(IDC_SVL_EXPRESSION));
    int start = 0, end = 0;
    edit->GetSel(start, end);
    int caret = 0;
    const std::wstring text = InsertPrimitive(ExpressionText(), start, end, name.GetString(), &caret);
    edit->SetWindowText(text.c_str());
    GotoDlgCtrl(edit);
    edit->SetSel(caret, caret);
}

void SurfaceShapedLoadDlg::OnView() {
    const auto* scenario = Scenario();
    if (!scenario) return;
    const auto nodes = LoadNodes();
    const RstNodeValues values = CollectRstNodeValues(ChosenSystem(), nodes, scenario->GetCurrentDisplayUnitSystem());
    ResourceModuleScope resources;
    ShapeViewerDlg viewer(this);
    viewer.SetExpression(ExpressionText());
    viewer.SetCoordinateSystemType(ChosenType());
    viewer.SetUnitSystem(&scenario->GetCurrentDisplayUnitSystem());
    viewer.SetValueUnit(DbShape::kFunctionValueUnit);
    viewer.SetNodeValues(0, std::vector<double>(values.r.begin(), values.r.end()));
    viewer.SetNodeValues(1, std::vector<double>(values.s.begin(), values.s.end()));
    viewer.SetNodeValues(2, std::vector<double>(values.t.begin(), values.t.end()));
    viewer.DoModal();
}

void SurfaceShapedLoadDlg::ScheduleExtremes() { SetTimer(kExtremesTimer, kExtremesDelayMs); }

void SurfaceShapedLoadDlg::ShowExtremes() {
    KillTimer(kExtremesTimer);
    HWND line = Control(IDC_SVL_EXTREMES);
    if (!line) return;
    const auto* scenario = Scenario();
    const std::wstring expression = ExpressionText();
    std::wstring text;
    CComPtr<IExpressionEvaluator> evaluator;
    if (!scenario || expression.empty() || FAILED(CreateExpressionEvaluator(evaluator))) {
        ::SetWindowText(line, L"");
        return;
    }
    const auto nodes = LoadNodes();
    const FunctionExtremes extremes =
        EvaluateExtremes(*evaluator, expression, MakeFrame(ChosenSystem()),
                         ModelToDisplayLengthFactor(scenario->GetCurrentDisplayUnitSystem()), nodes);
    CString format, out;
    if (!extremes.outcome.Succeeded()) {
        CString reason;
        reason.LoadString(ExpressionErrorMessageId(extremes.outcome.result));
        std::wstring why = reason.str();
        if (const auto cut = why.find(L'\n'); cut != std::wstring::npos) why.resize(cut);
        if (extremes.outcome.failedIndex != RstCheckOutcome::kNoNode) {
            format.LoadString(IDS_FUNCTION_EXTREMES_FAILED);
            const std::wstring node = std::to_wstring(extremes.outcome.failedNodeId);
            out.FormatMessage(format, node.c_str(), why.c_str());
        } else {
            format.LoadString(IDS_FUNCTION_EXTREMES_INVALID);
            out.FormatMessage(format, why.c_str());
        }
    } else if (extremes.valid == 0) {
        out.LoadString(IDS_FUNCTION_EXTREMES_NO_NODES);
    } else {
        format.LoadString(IDS_FUNCTION_EXTREMES);
        const std::wstring a = Number(extremes.minimum), b = std::to_wstring(extremes.minimumNode),
                           c = Number(extremes.maximum), d = std::to_wstring(extremes.maximumNode),
                           e = std::to_wstring(extremes.nodes);
        out.FormatMessage(format, a.c_str(), b.c_str(), c.c_str(), d.c_str(), e.c_str());
    }
    ::SetWindowText(line, out.GetString());
}

ORV_REGISTER_FEA_DIALOG(SurfaceShapedLoadDlg::kTypeCode, SurfaceShapedLoadDlg);

}  // namespace DataModelDialogs
