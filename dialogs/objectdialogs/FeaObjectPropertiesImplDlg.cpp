#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "dialogs/controls/CDoubleCalcEdit.h"
#include "dialogs/resources/Common.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/Record.h"
#include "platform/res/Resources.h"
#include "platform/win/MessageBox.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"

namespace DataModelDialogs {

namespace {

bool IsListEnd(UINT id) { return id == kListEnd || id == kListEndAlt; }

template <class F>
void ForEach(const UINT* ids, F f) {
    if (!ids) return;
    for (; !IsListEnd(*ids); ++ids) f(*ids);
}

bool Present(UINT id) { return id != 0 && id != kNoControl; }

void BlankAndDisable(HWND control) {
    if (!control) return;
    ::SetWindowText(control, L"");
    ::EnableWindow(control, FALSE);
}
void UncheckAndDisable(HWND control) {
    if (!control) return;
    ::SendMessage(control, BM_SETCHECK, BST_UNCHECKED, 0);
    ::EnableWindow(control, FALSE);
}
void ClearSelectionAndDisable(HWND control) {
    if (!control) return;
    ::SendMessage(control, CB_SETCURSEL, WPARAM(-1), 0);
    ::EnableWindow(control, FALSE);
}
void Disable(HWND control) {
    if (control) ::EnableWindow(control, FALSE);
}

bool IsRadio(HWND control) {
    if (!control || ::GetClassNameString(control) != L"Button") return false;
    const DWORD type = DWORD(::GetWindowLongPtr(control, GWL_STYLE)) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

constexpr std::uint32_t kAnalysisTypesEnabled[] = {0, 1, 2, 5, 6, 9, 10, 18, 19, 21};
constexpr std::uint32_t kAnalysisTypesNine[] = {2, 4, 21};
constexpr std::uint32_t kAnalysisTypesSeven[] = {2, 4, 5, 6, 7, 20, 21};
constexpr std::uint32_t kTypeCodesDisableFourth[] = {19, 25, 47, 93};

template <std::size_t N>
bool Contains(const std::uint32_t (&set)[N], std::uint32_t value) {
    return std::find(std::begin(set), std::end(set), value) != std::end(set);
}

// Length of (x, y, z) and the components divided by it, scaled by the largest magnitude
// first so that huge components neither overflow nor lose the direction.
struct ScaledVector {
    double length = 0;
    double unit[3] = {0, 0, 0};
};
ScaledVector Normalise(double x, double y, double z) {
    ScaledVector r;
    const double m = std::max({std::fabs(x), std::fabs(y), std::fabs(z)});
    if (m == 0 || !std::isfinite(m)) {
        r.length = m == 0 ? 0 : m;
        return r;
    }
    const double sx = x / m, sy = y / m, sz = z / m;
    const double s = std::sqrt(sx * sx + sy * sy + sz * sz);
    r.length = m * s;
    r.unit[0] = sx / s;
    r.unit[1] = sy / s;
    r.unit[2] = sz / s;
    return r;
}

}  // namespace

void FeaObjectDialogContext::Clear() {
    mode = 0;
    pickedValue = 0;
    pickedVector[0] = pickedVector[1] = pickedVector[2] = 0;
    resumeCode = 0;
    editParameters = FeaObjectEditParameters();
    registeredControls.clear();
    suppressedControls.clear();
    consistentFields.clear();
    pickEndControls.clear();
}

FeaObjectPropertiesImplDlg::FeaObjectPropertiesImplDlg(UINT templateId, CWnd* parent, std::uint32_t typeCode)
    : CDialog(templateId, parent), context_(std::make_unique<FeaObjectDialogContext>()) {
    context_->typeCode = typeCode;
    HandleMessage(WM_HELP, [this](WPARAM, LPARAM lParam) { return OnHelp(reinterpret_cast<HELPINFO*>(lParam)); });
}

FeaObjectPropertiesImplDlg::~FeaObjectPropertiesImplDlg() = default;

void FeaObjectPropertiesImplDlg::SetParentWindow(CWnd* parent) {
    m_pParentWnd = parent;
    if (m_hWnd && ::IsWindow(m_hWnd) && parent) ::SetParent(m_hWnd, parent->GetSafeHwnd());
}

CString FeaObjectPropertiesImplDlg::LoadResourceString(UINT id) {
    std::wstring text;
    if (!orv::res::LoadStringResource(nullptr, id, text)) text.clear();
    return CString(text.c_str());
}

CString& FeaObjectPropertiesImplDlg::FormatTitle(CString& result, const CString& format) {
    const std::uint32_t mode = context_->mode;
    const std::uint32_t count = context_->editParameters.objectCount;
    const std::wstring inserts[3] = {
        mode == 0   ? std::wstring(LoadResourceString(IDS_CREATING).GetString())
        : mode == 1 ? std::wstring(LoadResourceString(IDS_MODIFYING).GetString())
                    : std::wstring(L"???"),
        std::to_wstring(count),
        std::wstring(LoadResourceString(count == 1 ? IDS_OBJECT : IDS_OBJECTS).GetString()),
    };
    result = CString(orv::FormatMessageStrings(std::wstring_view(format.GetString()), inserts).c_str());
    return result;
}

void FeaObjectPropertiesImplDlg::RegisterField(UINT id, std::size_t offset, std::size_t size) {
    (void)id;
    context_->consistentFields[offset] = ConsistentField{size, 0};
}

void FeaObjectPropertiesImplDlg::RegisterFlagField(UINT id, std::size_t offset, std::uint32_t mask) {
    (void)id;
    context_->consistentFields[offset] = ConsistentField{4, mask};
}

BOOL FeaObjectPropertiesImplDlg::OnInitDialog() {
    if (auto* scenario = context_->editParameters.designScenario) SetUnitConverter(scenario->GetCurrentDisplayUnitSystem());

    CString caption;
    GetWindowText(caption);
    CString title;
    SetWindowText(FormatTitle(title, caption));

    const CString edit(L"Edit"), label(L"Static"), token(L"%U%");
    UnitConverterWindowUtility::BuildUnitsLabelMap(*this, edit, OrvUnitsConversionStringSyntaxBaseUnits, label, token);
    UnitConverterWindowUtility::AutoSetupUnitLabels(*this, label, OrvUnitsConversionStringSyntaxBaseUnits, token);

    LoadDialogState();
    PrepareControls();
    CDialog::OnInitDialog();
    return TRUE;
}

LRESULT FeaObjectPropertiesImplDlg::OnHelp(HELPINFO* info) {
    if (!info) return TRUE;
    const CString text = LoadResourceString(UINT(info->iCtrlId));
    HH_POPUP popup;
    popup.cbStruct = sizeof(HH_POPUP);
    popup.hinst = AfxGetResourceHandle();
    popup.idString = 0;
    popup.pszText = text.GetString();
    popup.pt = info->MousePos;
    popup.clrForeground = COLORREF(-1);
    popup.clrBackground = COLORREF(-1);
    popup.rcMargins = RECT{-1, -1, -1, -1};
    popup.pszFont = nullptr;
    HtmlHelp(DWORD_PTR(&popup), HH_DISPLAY_TEXT_POPUP);
    return TRUE;
}

// ---- the common pattern ----

void FeaObjectPropertiesImplDlg::Register(UINT id, std::size_t offset, std::size_t size) {
    if (context_->mode != 1) return;
    if (context_->registeredControls.insert(id).second) RegisterField(id, offset, size);
}

void FeaObjectPropertiesImplDlg::RegisterFlag(UINT id, std::size_t offset, std::uint32_t mask) {
    if (context_->mode != 1) return;
    if (context_->registeredControls.insert(id).second) RegisterFlagField(id, offset, mask);
}

bool FeaObjectPropertiesImplDlg::BeginExchange(UINT id, std::size_t offset, std::size_t size,
                                               void (*showSuppressed)(HWND)) {
    Register(id, offset, size);
    if (IsSuppressed(id)) {
        if (showSuppressed) showSuppressed(Control(id));
        return false;
    }
    return !IsPickEnd(id);
}

bool FeaObjectPropertiesImplDlg::ChecksApply(CDataExchange* dx, UINT id) const {
    // A suppressed control cannot be corrected by the person, so it is never checked.
    return Saving(dx) && context_->pickEndControls.empty() && !IsSuppressed(id);
}

std::vector<HWND> FeaObjectPropertiesImplDlg::RadioGroup(UINT firstRadio) const {
    std::vector<HWND> group;
    HWND radio = Control(firstRadio);
    if (!radio) return group;
    group.push_back(radio);
    for (HWND next = ::GetWindow(radio, GW_HWNDNEXT); next && IsRadio(next); next = ::GetWindow(next, GW_HWNDNEXT)) {
        if (DWORD(::GetWindowLongPtr(next, GWL_STYLE)) & WS_GROUP) break;
        group.push_back(next);
    }
    return group;
}

// ---- exchange helpers ----

void FeaObjectPropertiesImplDlg::ExchangeText(CDataExchange* dx, UINT id, std::span<std::uint8_t> record,
                                              std::size_t offset, std::size_t size) {
    if (!BeginExchange(id, offset, size, BlankAndDisable)) return;
    OrvDbRecord::RecordView view(record);
    HWND edit = dx->PrepareEditCtrl(int(id));
    if (!Saving(dx)) {
        ::SetWindowText(edit, orv::Utf8ToWide(view.GetText(offset, size)).c_str());
        return;
    }
    std::string utf8 = orv::WideToUtf8(::GetWindowTextString(edit));
    // At most size - 1 bytes, never ending inside a character.
    if (size > 0) utf8.resize(orv::Utf8PrefixLength(utf8, size - 1));
    view.SetText(offset, size, utf8);
}

void FeaObjectPropertiesImplDlg::ExchangeDouble(CDataExchange* dx, UINT id, std::span<std::uint8_t> record,
                                                std::size_t offset) {
    if (!BeginExchange(id, offset, 8, BlankAndDisable)) return;
    OrvDbRecord::RecordView view(record);
    double value = view.GetF64(offset);
    UnitConverterWindowUtility::DDX_Text(dx, static_cast<unsigned int>(id), value);
    if (Saving(dx)) view.SetF64(offset, value);
}

void FeaObjectPropertiesImplDlg::ExchangeDoubleUnit(CDataExchange* dx, UINT id, std::span<std::uint8_t> record,
                                                    std::size_t offset, DisplayableUnit unit) {
    if (!BeginExchange(id, offset, 8, BlankAndDisable)) return;
    OrvDbRecord::RecordView view(record);
    double value = view.GetF64(offset);
    UnitConverterWindowUtility::DDX_Text(dx, static_cast<unsigned int>(id), value, unit);
    if (Saving(dx)) view.SetF64(offset, value);
}

void FeaObjectPropertiesImplDlg::ExchangeInt(CDataExchange* dx, UINT id, std::span<std::uint8_t> record,
                                             std::size_t offset) {
    ExchangeInteger(dx, id, record, offset, 8);
}

void FeaObjectPropertiesImplDlg::ExchangeCurveNumber(CDataExchange* dx, UINT id, std::span<std::uint8_t> record,
                                                     std::size_t offset) {
    ExchangeInteger(dx, id, record, offset, 4);
}

void FeaObjectPropertiesImplDlg::ExchangeInteger(CDataExchange* dx, UINT id, std::span<std::uint8_t> record,
                                                 std::size_t offset, std::size_t registeredSize) {
    if (!BeginExchange(id, offset, registeredSize, BlankAndDisable)) return;
    OrvDbRecord::RecordView view(record);
    int value = view.GetI32(offset);
    ::DDX_Text(dx, int(id), value);
    if (Saving(dx)) view.SetI32(offset, value);
}

void FeaObjectPropertiesImplDlg::ExchangeComboItemData(CDataExchange* dx, UINT id, std::span<std::uint8_t> record,
                                                       std::size_t offset) {
    if (!BeginExchange(id, offset, 4, ClearSelectionAndDisable)) return;
    OrvDbRecord::RecordView view(record);
    HWND combo = dx->PrepareCtrl(int(id));
    const int count = int(::SendMessage(combo, CB_GETCOUNT, 0, 0));
    if (!Saving(dx)) {
        const std::int32_t value = view.GetI32(offset);
        for (int i = 0; i < count; ++i) {
            if (std::int32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(i), 0)) == value) {
                ::SendMessage(combo, CB_SETCURSEL, WPARAM(i), 0);
                break;
            }
        }
        return;
    }
    const int selection = int(::SendMessage(combo, CB_GETCURSEL, 0, 0));
    if (selection >= 0) view.SetI32(offset, std::int32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(selection), 0)));
}

void FeaObjectPropertiesImplDlg::ExchangeComboItemDataOrNone(CDataExchange* dx, UINT id,
                                                             std::span<std::uint8_t> record, std::size_t offset) {
    if (!BeginExchange(id, offset, 4, ClearSelectionAndDisable)) return;
    OrvDbRecord::RecordView view(record);
    HWND combo = dx->PrepareCtrl(int(id));
    const int count = int(::SendMessage(combo, CB_GETCOUNT, 0, 0));
    if (!Saving(dx)) {
        const std::int32_t value = view.GetI32(offset);
        int select = -1;
        for (int i = 0; i < count && select < 0; ++i)
            if (std::int32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(i), 0)) == value) select = i;
        ::SendMessage(combo, CB_SETCURSEL, WPARAM(select), 0);
        return;
    }
    const int selection = int(::SendMessage(combo, CB_GETCURSEL, 0, 0));
    view.SetI32(offset, selection >= 0 ? std::int32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(selection), 0)) : -1);
}

bool FeaObjectPropertiesImplDlg::BeginRadioExchange(CDataExchange* dx, UINT firstRadio, std::size_t offset,
                                                    const std::vector<HWND>& group) {
    if (!BeginExchange(firstRadio, offset, 4, nullptr)) {
        // A suppressed group shows no choice at all.
        if (IsSuppressed(firstRadio))
            for (HWND radio : group) UncheckAndDisable(radio);
        return false;
    }
    dx->PrepareCtrl(int(firstRadio));
    return true;
}

void FeaObjectPropertiesImplDlg::ExchangeBoolRadio(CDataExchange* dx, UINT firstRadio, std::span<std::uint8_t> record,
                                                   std::size_t offset, bool invert) {
    const std::vector<HWND> group = RadioGroup(firstRadio);
    if (!BeginRadioExchange(dx, firstRadio, offset, group)) return;
    OrvDbRecord::RecordView view(record);
    if (!Saving(dx)) {
        const bool first = view.GetFlag(offset) != invert;
        for (std::size_t i = 0; i < group.size(); ++i)
            ::SendMessage(group[i], BM_SETCHECK, (i == 0) == first && i < 2 ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    if (!group.empty() && ::SendMessage(group[0], BM_GETCHECK, 0, 0) == BST_CHECKED)
        view.SetFlag(offset, !invert);
    else if (group.size() > 1 && ::SendMessage(group[1], BM_GETCHECK, 0, 0) == BST_CHECKED)
        view.SetFlag(offset, invert);
}

void FeaObjectPropertiesImplDlg::ExchangeEnumRadio(CDataExchange* dx, UINT firstRadio, std::span<std::uint8_t> record,
                                                   std::size_t offset, std::span<const std::int32_t> values) {
    const std::vector<HWND> group = RadioGroup(firstRadio);
    if (!BeginRadioExchange(dx, firstRadio, offset, group)) return;
    OrvDbRecord::RecordView view(record);
    if (!Saving(dx)) {
        const std::int32_t value = view.GetI32(offset);
        for (std::size_t i = 0; i < group.size(); ++i)
            ::SendMessage(group[i], BM_SETCHECK, i < values.size() && values[i] == value ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    for (std::size_t i = 0; i < group.size() && i < values.size(); ++i) {
        if (::SendMessage(group[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
            view.SetI32(offset, values[i]);
            return;
        }
    }
}

void FeaObjectPropertiesImplDlg::ExchangeBoolCheck(CDataExchange* dx, UINT id, std::span<std::uint8_t> record,
                                                   std::size_t offset, bool invert) {
    if (!BeginExchange(id, offset, 4, UncheckAndDisable)) return;
    OrvDbRecord::RecordView view(record);
    HWND box = dx->PrepareCtrl(int(id));
    if (!Saving(dx)) {
        ::SendMessage(box, BM_SETCHECK, view.GetFlag(offset) != invert ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    view.SetFlag(offset, (::SendMessage(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != invert);
}

void FeaObjectPropertiesImplDlg::ExchangeFlagCheck(CDataExchange* dx, UINT id, std::span<std::uint8_t> record,
                                                   std::size_t offset, std::uint32_t uncheckedMask,
                                                   std::uint32_t checkedMask) {
    RegisterFlag(id, offset, uncheckedMask | checkedMask);
    if (IsSuppressed(id)) {
        UncheckAndDisable(Control(id));
        return;
    }
    if (IsPickEnd(id)) return;
    OrvDbRecord::RecordView view(record);
    HWND box = dx->PrepareCtrl(int(id));
    std::uint32_t word = view.GetU32(offset);
    if (!Saving(dx)) {
        const bool checked =
            checkedMask != 0 ? (word & checkedMask) == checkedMask : (word & uncheckedMask) != uncheckedMask;
        ::SendMessage(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    const bool checked = ::SendMessage(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    word = (word & ~(uncheckedMask | checkedMask)) | (checked ? checkedMask : uncheckedMask);
    view.SetU32(offset, word);
}

// ---- checks ----

void FeaObjectPropertiesImplDlg::ValidateNonZero(CDataExchange* dx, UINT id, double value, UINT messageId) {
    if (!ChecksApply(dx, id) || value != 0.0) return;
    dx->PrepareEditCtrl(int(id));
    AfxMessageBox(messageId, MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}

void FeaObjectPropertiesImplDlg::ValidateRange(CDataExchange* dx, UINT id, double value, double min, double max) {
    if (!ChecksApply(dx, id)) return;
    UnitConverterWindowUtility::DDV_MinMaxDouble(dx, static_cast<unsigned int>(id), value, min, max);
}

void FeaObjectPropertiesImplDlg::ValidateRange(CDataExchange* dx, UINT id, double value, double min, double max,
                                               DisplayableUnit unit) {
    if (!ChecksApply(dx, id)) return;
    dx->PrepareEditCtrl(int(id));
    UnitConverterWindowUtility::DDV_MinMaxDouble(dx, value, min, max, unit);
}

void FeaObjectPropertiesImplDlg::ValidateIntRange(CDataExchange* dx, UINT id, int value, int min, int max) {
    if (!ChecksApply(dx, id)) return;
    dx->PrepareEditCtrl(int(id));
    ::DDV_MinMaxInt(dx, value, min, max);
}

// ---- vectors ----

void FeaObjectPropertiesImplDlg::ExchangeVector(CDataExchange* dx, UINT xId, UINT yId, UINT zId,
                                                std::span<std::uint8_t> record, std::size_t xOffset,
                                                std::size_t yOffset, std::size_t zOffset, UINT xRadio, UINT yRadio,
                                                UINT zRadio, UINT customRadio, UINT selector, UINT further1,
                                                UINT further2, UINT further3, bool exchange, bool nonZero,
                                                UINT normalRadio, bool noX) {
    VectorGroup group;
    group.x = xId, group.y = yId, group.z = zId;
    group.xRadio = xRadio, group.yRadio = yRadio, group.zRadio = zRadio, group.customRadio = customRadio;
    group.normalRadio = normalRadio;
    group.selector = selector;
    group.further[0] = further1, group.further[1] = further2, group.further[2] = further3;
    group.noX = noX;
    ExchangeVector(dx, group, record, xOffset, yOffset, zOffset, exchange, nonZero);
}

void FeaObjectPropertiesImplDlg::ExchangeVector(CDataExchange* dx, const VectorGroup& g, std::span<std::uint8_t> record,
                                                std::size_t xOffset, std::size_t yOffset, std::size_t zOffset,
                                                bool exchange, bool nonZero) {
    auto& suppressed = context_->suppressedControls;
    if (g.noX) {
        UncheckAndDisable(Control(g.xRadio));
        BlankAndDisable(Control(g.x));
        if (Present(g.further[0])) Disable(Control(g.further[0]));
        for (UINT id : {g.xRadio, g.x, g.further[0]})
            if (Present(id)) suppressed.insert(id);
    }
    const UINT edits[3] = {g.x, g.y, g.z};
    const std::size_t offsets[3] = {xOffset, yOffset, zOffset};
    const bool withoutX = g.noX || g.skipX;
    const int first = withoutX ? 1 : 0;
    if (exchange) {
        bool anySuppressed = false;
        for (int i = first; i < 3; ++i) {
            ExchangeDouble(dx, edits[i], record, offsets[i]);
            anySuppressed = anySuppressed || IsSuppressed(edits[i]);
        }
        if (anySuppressed) {
            for (UINT id : {g.xRadio, g.yRadio, g.zRadio, g.customRadio, g.normalRadio, g.x, g.y, g.z})
                if (Present(id)) suppressed.insert(id);
            for (UINT id : {g.xRadio, g.yRadio, g.zRadio, g.customRadio, g.normalRadio})
                if (Present(id)) UncheckAndDisable(Control(id));
            for (int i = first; i < 3; ++i) BlankAndDisable(Control(edits[i]));
            if (Present(g.selector)) Disable(Control(g.selector));
            if (Present(g.further[0]) && Present(g.further[1]) && Present(g.further[2]))
                for (UINT id : g.further) Disable(Control(id));
            return;
        }
    }
    for (int i = first; i < 3; ++i)
        if (IsPickEnd(edits[i])) return;
    if (!Saving(dx)) {
        UpdateDirectionRadios(g);
        return;
    }
    if (!context_->pickEndControls.empty()) return;
    OrvDbRecord::RecordView view(record);
    const double x = withoutX ? 0.0 : view.GetF64(xOffset);
    const ScaledVector v = Normalise(x, view.GetF64(yOffset), view.GetF64(zOffset));
    const bool normalChecked =
        Present(g.normalRadio) && ::SendMessage(Control(g.normalRadio), BM_GETCHECK, 0, 0) == BST_CHECKED;
    if ((!std::isfinite(v.length) || (v.length < 1e-15 && nonZero)) && !(std::isfinite(v.length) && normalChecked)) {
        dx->PrepareEditCtrl(int(withoutX ? g.y : g.x));
        AfxMessageBox(IDS_INVALID_VECTOR, MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
    if (v.length == 0) return;
    for (int i = first; i < 3; ++i) view.SetF64(offsets[i], v.unit[i]);
}

void FeaObjectPropertiesImplDlg::ExchangeVectorUnit(CDataExchange* dx, UINT xId, UINT yId, UINT zId,
                                                    std::span<std::uint8_t> record, std::size_t xOffset,
                                                    std::size_t yOffset, std::size_t zOffset,
                                                    std::initializer_list<UINT> companions, bool noX) {
    ExchangeVectorUnit(dx, xId, yId, zId, record, xOffset, yOffset, zOffset,
                       std::span<const UINT>(companions.begin(), companions.size()), noX);
}

void FeaObjectPropertiesImplDlg::ExchangeVectorUnit(CDataExchange* dx, UINT xId, UINT yId, UINT zId,
                                                    std::span<std::uint8_t> record, std::size_t xOffset,
                                                    std::size_t yOffset, std::size_t zOffset,
                                                    std::span<const UINT> companions, bool noX) {
    const UINT edits[3] = {xId, yId, zId};
    const std::size_t offsets[3] = {xOffset, yOffset, zOffset};
    const int first = noX ? 1 : 0;
    const DisplayableUnit length = DisplayableUnit(1);
    for (int i = first; i < 3; ++i) Register(edits[i], offsets[i], 8);
    bool anySuppressed = false;
    for (int i = first; i < 3; ++i) anySuppressed = anySuppressed || IsSuppressed(edits[i]);
    if (anySuppressed) {
        for (int i = first; i < 3; ++i) {
            context_->suppressedControls.insert(edits[i]);
            BlankAndDisable(Control(edits[i]));
        }
        for (UINT id : companions) {
            if (!Present(id)) continue;
            context_->suppressedControls.insert(id);
            BlankAndDisable(Control(id));
        }
        return;
    }
    for (int i = first; i < 3; ++i) ExchangeDoubleUnit(dx, edits[i], record, offsets[i], length);
}

void FeaObjectPropertiesImplDlg::OnDirectionRadio(const VectorGroup& g, UINT clicked) {
    const wchar_t* texts[3] = {nullptr, nullptr, nullptr};
    if (clicked == g.xRadio) texts[0] = L"1", texts[1] = L"0", texts[2] = L"0";
    else if (clicked == g.yRadio) texts[0] = L"0", texts[1] = L"1", texts[2] = L"0";
    else if (clicked == g.zRadio) texts[0] = L"0", texts[1] = L"0", texts[2] = L"1";
    else if (Present(g.normalRadio) && clicked == g.normalRadio) texts[0] = L"0", texts[1] = L"0", texts[2] = L"0";
    if (texts[0]) {
        const UINT edits[3] = {g.x, g.y, g.z};
        for (int i = g.noX || g.skipX ? 1 : 0; i < 3; ++i) ::SetWindowText(Control(edits[i]), texts[i]);
    }
    UpdateDirectionRadios(g);
}

void FeaObjectPropertiesImplDlg::UpdateDirectionRadios(const VectorGroup& g) {
    const bool hasX = !g.noX && !g.skipX && Present(g.x);
    auto enableEdits = [&](bool enable) {
        for (UINT id : {hasX ? g.x : kNoControl, g.y, g.z})
            if (Present(id))
                if (HWND edit = Control(id)) ::EnableWindow(edit, enable && !IsSuppressed(id));
    };
    if (!Present(g.xRadio) && !Present(g.yRadio) && !Present(g.zRadio) && !Present(g.customRadio)) {
        enableEdits(true);
        return;
    }
    auto read = [&](UINT id) {
        // With the locale's decimal separator, as the edits show numbers; blank or unreadable is 0.
        using Utility = OrvDbRecord::UnitConverterWindowUtility;
        double value = 0;
        Utility::ParseNumber(::GetWindowTextString(Control(id)), value, Utility::UserNumberSymbols());
        return value;
    };
    const double x = hasX ? read(g.x) : 0.0, y = read(g.y), z = read(g.z);
    const bool custom = Present(g.customRadio) && ::IsDlgButtonChecked(m_hWnd, int(g.customRadio)) == BST_CHECKED;
    auto check = [&](UINT id, bool on) {
        if (Present(id)) ::CheckDlgButton(m_hWnd, int(id), on ? BST_CHECKED : BST_UNCHECKED);
    };
    UINT chosen = 0;
    if (!custom && x == 0 && y == 0 && z == 0 && Present(g.normalRadio)) {
        check(g.normalRadio, hasX);
        for (UINT id : {g.xRadio, g.yRadio, g.zRadio, g.customRadio}) check(id, false);
        enableEdits(false);
        return;
    }
    if (!custom) {
        // Without its X text the X direction is the one whose Y and Z are 0.
        if ((g.skipX ? 1.0 : x) == 1 && y == 0 && z == 0) chosen = g.xRadio;
        else if (x == 0 && y == 1 && z == 0) chosen = g.yRadio;
        else if (x == 0 && y == 0 && z == 1) chosen = g.zRadio;
    }
    if (Present(chosen)) {
        for (UINT id : {g.xRadio, g.yRadio, g.zRadio, g.customRadio, g.normalRadio}) check(id, id == chosen);
        enableEdits(false);
        return;
    }
    for (UINT id : {g.xRadio, g.yRadio, g.zRadio, g.customRadio, g.normalRadio}) check(id, id == g.customRadio);
    enableEdits(true);
}

// ---- expression edits ----

void FeaObjectPropertiesImplDlg::MakeCalcEdits(const UINT* ids) {
    DataModelDialogs::MakeCalcEdits(*this, context_->calcEdits, ids);
}

void FeaObjectPropertiesImplDlg::MakeCalcEdits(std::initializer_list<UINT> ids) {
    std::vector<UINT> list(ids);
    list.push_back(kListEnd);
    MakeCalcEdits(list.data());
}

// ---- pick requests ----

void FeaObjectPropertiesImplDlg::EndWithCode(std::uint32_t code, const UINT* ids) {
    ForEach(ids, [&](UINT id) { context_->pickEndControls.insert(id); });
    if (UpdateData(TRUE)) EndDialog(int(code));
    context_->pickEndControls.clear();
}

void FeaObjectPropertiesImplDlg::EndWithCode(std::uint32_t code, std::initializer_list<UINT> ids) {
    std::vector<UINT> list(ids);
    list.push_back(kListEnd);
    EndWithCode(code, list.data());
}

// ---- control lists ----

void FeaObjectPropertiesImplDlg::DisableControls(const UINT* ids) {
    ForEach(ids, [&](UINT id) { Disable(Control(id)); });
}
void FeaObjectPropertiesImplDlg::BlankAndDisableControls(const UINT* ids) {
    ForEach(ids, [&](UINT id) { BlankAndDisable(Control(id)); });
}
void FeaObjectPropertiesImplDlg::UncheckAndDisableControls(const UINT* ids) {
    ForEach(ids, [&](UINT id) { UncheckAndDisable(Control(id)); });
}
void FeaObjectPropertiesImplDlg::ClearSelectionAndDisableControls(const UINT* ids) {
    ForEach(ids, [&](UINT id) { ClearSelectionAndDisable(Control(id)); });
}
void FeaObjectPropertiesImplDlg::FillComboItems(UINT comboId,
                                                std::initializer_list<std::pair<UINT, std::int32_t>> items) {
    HWND combo = Control(comboId);
    if (!combo) return;
    ::SendMessage(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& [text, data] : items) {
        const CString item = LoadResourceString(text);
        const LRESULT index = ::SendMessage(combo, CB_ADDSTRING, 0, LPARAM(item.GetString()));
        if (index >= 0) ::SendMessage(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(data));
    }
}

void FeaObjectPropertiesImplDlg::MarkSuppressed(const UINT* ids) {
    ForEach(ids, [&](UINT id) { context_->suppressedControls.insert(id); });
}
void FeaObjectPropertiesImplDlg::EnableControls(const UINT* ids, bool enable) {
    ForEach(ids, [&](UINT id) {
        if (HWND control = Control(id)) ::EnableWindow(control, enable && !IsSuppressed(id));
    });
}
void FeaObjectPropertiesImplDlg::ShowControls(const UINT* ids, bool show) {
    ForEach(ids, [&](UINT id) {
        if (HWND control = Control(id)) {
            ::ShowWindow(control, show ? SW_SHOW : SW_HIDE);
            if (IsSuppressed(id)) ::EnableWindow(control, FALSE);
        }
    });
}

// ---- coordinate systems and analysis types ----

std::uint32_t FeaObjectPropertiesImplDlg::AnalysisType() const {
    const auto* scenario = context_->editParameters.designScenario;
    return scenario ? scenario->GetAnalysisType() : 0;
}

CString FeaObjectPropertiesImplDlg::GetCoordinateSystemLabel(const OrvDbRecord::DbCoordinateSystem* system) const {
    if (!system && context_->editParameters.designScenario)
        system = context_->editParameters.designScenario->GetGlobalCoordinateSystem();
    if (!system) return CString(L"???");
    const std::uint32_t type = system->CoordinateSystemType();
    if (type == OrvDbRecord::DbCoordinateSystem::kGlobal) return LoadResourceString(IDS_CS_GLOBAL_DEFAULT);
    std::wstring word = L"???";
    if (type == OrvDbRecord::DbCoordinateSystem::kCylindrical) word = LoadResourceString(IDS_CS_CYLINDRICAL).GetString();
    else if (type == OrvDbRecord::DbCoordinateSystem::kRectangular) word = LoadResourceString(IDS_CS_RECTANGULAR).GetString();
    else if (type == OrvDbRecord::DbCoordinateSystem::kSpherical) word = LoadResourceString(IDS_CS_SPHERICAL).GetString();
    const std::wstring name =
        system->GetName().empty() ? std::wstring(LoadResourceString(IDS_UNNAMED).GetString()) : orv::Utf8ToWide(system->GetName());
    const std::wstring inserts[3] = {std::to_wstring(system->Id()), word, name};
    return CString(orv::FormatMessageStrings(LoadResourceString(IDS_CS_LABEL).GetString(), inserts).c_str());
}

void FeaObjectPropertiesImplDlg::FillCoordinateSystemCombo(UINT comboId, bool gate, UINT gate1, UINT gate2) {
    HWND combo = Control(comboId);
    if (combo) {
        ::SendMessage(combo, CB_RESETCONTENT, 0, 0);
        if (const auto* scenario = context_->editParameters.designScenario) {
            for (const auto& [id, system] : scenario->GetCoordinateSystems()) {
                const CString label = GetCoordinateSystemLabel(system.get());
                const LRESULT index = ::SendMessage(combo, CB_INSERTSTRING, WPARAM(-1), LPARAM(label.GetString()));
                if (index >= 0) ::SendMessage(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(id));
            }
        }
    }
    if (gate) EnableForAnalysisType(gate1, gate2);
}

void FeaObjectPropertiesImplDlg::FillCoordinateSystemComboEx(UINT comboId, const int (&images)[4], bool gate,
                                                             UINT gate1, UINT gate2) {
    HWND combo = Control(comboId);
    if (combo) {
        ::SendMessage(combo, CB_RESETCONTENT, 0, 0);
        if (const auto* scenario = context_->editParameters.designScenario) {
            for (const auto& [id, system] : scenario->GetCoordinateSystems()) {
                CString label = GetCoordinateSystemLabel(system.get());
                const std::uint32_t type = system->CoordinateSystemType();
                COMBOBOXEXITEM item;
                item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
                item.iItem = -1;
                item.pszText = const_cast<LPWSTR>(label.GetString());
                item.iImage = item.iSelectedImage = type < 4 ? images[type] : -1;
                item.lParam = LPARAM(id);
                ::SendMessage(combo, CBEM_INSERTITEM, 0, LPARAM(&item));
            }
        }
    }
    if (gate) EnableForAnalysisType(gate1, gate2);
}

void FeaObjectPropertiesImplDlg::SetCoordinateSystemLabel(UINT staticId, bool gate, UINT gate1, UINT gate2) {
    if (HWND label = Control(staticId))
        ::SetWindowText(label, GetCoordinateSystemLabel(context_->editParameters.coordinateSystem).GetString());
    if (gate) EnableForAnalysisType(gate1, gate2);
}

bool FeaObjectPropertiesImplDlg::EnableForAnalysisType(UINT id1, UINT id2) {
    const bool enable = Contains(kAnalysisTypesEnabled, AnalysisType());
    for (UINT id : {id1, id2})
        if (Present(id))
            if (HWND control = Control(id)) ::EnableWindow(control, enable && !IsSuppressed(id));
    return enable;
}

void FeaObjectPropertiesImplDlg::SuppressUnlessAnalysisTypes(UINT c1, UINT c2, UINT c3, UINT c4, UINT c5, UINT c6,
                                                             UINT c7, UINT c8, UINT c9) {
    if (Contains(kAnalysisTypesNine, AnalysisType())) return;
    for (UINT id : {c2, c6})
        if (Present(id)) context_->suppressedControls.insert(id);
    for (UINT id : {c1, c2, c3, c4, c5, c6, c7, c8, c9})
        if (Present(id)) Disable(Control(id));
}

void FeaObjectPropertiesImplDlg::SuppressUnlessAnalysisTypes(UINT c1, UINT c2, UINT c3, UINT c4, UINT c5, UINT c6,
                                                             UINT c7) {
    if (Contains(kAnalysisTypesSeven, AnalysisType())) return;
    if (Contains(kTypeCodesDisableFourth, context_->typeCode)) {
        if (Present(c4)) Disable(Control(c4));
        return;
    }
    for (UINT id : {c2, c6})
        if (Present(id)) context_->suppressedControls.insert(id);
    for (UINT id : {c1, c2, c3, c4, c5, c6, c7})
        if (Present(id)) Disable(Control(id));
}

}  // namespace DataModelDialogs
