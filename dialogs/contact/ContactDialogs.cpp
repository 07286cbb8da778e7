#include "dialogs/contact/ContactDialogs.h"

#include <string>

#include "dialogs/resources/Contact.h"

namespace DataModelDialogs {

namespace {

constexpr double kUnbounded = 1e300;

bool HasDirectionGroup(UINT templateId) {
    return templateId == IDD_CONTACT_FRICTION || templateId == IDD_CONTACT_DIRECTION ||
           templateId == IDD_CONTACT_THERMAL;
}

const TypedValueLayout kThermalLayout{
    IDC_CONTACT_RESISTANCE_TYPE,
    IDC_CONTACT_RESISTANCE,
    IDC_CONTACT_RESISTANCE_UNITS,
    {IDS_CONTACT_TOTAL_RESISTANCE, IDS_CONTACT_DISTRIBUTED_RESISTANCE},
    {72, 73},
};

const TypedValueLayout kBondingLayout{
    IDC_CONTACT_TOLERANCE_TYPE,
    IDC_CONTACT_TOLERANCE,
    IDC_CONTACT_TOLERANCE_UNITS,
    {IDS_CONTACT_FRACTION_OF_MESH_SIZE, IDS_CONTACT_ABSOLUTE_SIZE},
    {-1, 1},
};

}  // namespace

UINT ChooseContactTemplate(UINT templateId, const ConsistentValue<bool>& directionApplies) {
    const bool applies = directionApplies.isConsistent() && directionApplies.get();
    switch (templateId) {
        case IDD_CONTACT_FRICTION:
        case IDD_CONTACT_FRICTION_NO_DIRECTION:
            return applies ? IDD_CONTACT_FRICTION : IDD_CONTACT_FRICTION_NO_DIRECTION;
        case IDD_CONTACT_THERMAL:
        case IDD_CONTACT_THERMAL_NO_DIRECTION:
            return applies ? IDD_CONTACT_THERMAL : IDD_CONTACT_THERMAL_NO_DIRECTION;
        default: return templateId;
    }
}

// ---- ContactBaseDlg ----

ContactBaseDlg::ContactBaseDlg(UINT templateId, CWnd* parent, bool readOnly)
    : CDialog(templateId, parent), readOnly_(readOnly), hasDirectionGroup_(DataModelDialogs::HasDirectionGroup(templateId)) {
    // A satellite without the icon leaves it to the library's own module.
    for (HINSTANCE module : {GetResourceModule(), HINSTANCE(GetLibraryModule())}) {
        smallIcon_ = static_cast<HICON>(
            ::LoadImage(module, MAKEINTRESOURCE(IDI_CONTACT_OPTIONS), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        if (smallIcon_) break;
    }
    HandleMessage(WM_CREATE, [this](WPARAM, LPARAM lParam) -> LRESULT {
        if (CWnd::OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)) == -1) return -1;
        if (smallIcon_) SetIcon(smallIcon_, FALSE);
        return 0;
    });
}

ContactBaseDlg::~ContactBaseDlg() {
    if (smallIcon_) ::DestroyIcon(smallIcon_);
}

void ContactBaseDlg::FillCombo(UINT id, std::initializer_list<std::pair<UINT, std::uint32_t>> entries) {
    HWND combo = ::GetDlgItem(m_hWnd, int(id));
    if (!combo) return;
    for (const auto& [text, data] : entries) {
        CString entry;
        entry.LoadString(text);
        const LRESULT index = ::SendMessage(combo, CB_ADDSTRING, 0, LPARAM(entry.GetString()));
        if (index >= 0) ::SendMessage(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(data));
    }
}

void ContactBaseDlg::EnableControl(UINT id, bool enable) {
    if (HWND control = ::GetDlgItem(m_hWnd, int(id))) ::EnableWindow(control, enable);
}

BOOL ContactBaseDlg::OnInitDialog() {
    if (hasDirectionGroup_) {
        FillCombo(IDC_CONTACT_DIRECTION, {{IDS_CONTACT_MATCHING_DIRECTIONS, 0},
                                          {IDS_CONTACT_NORMAL_TO_FIRST, 1},
                                          {IDS_CONTACT_NORMAL_TO_SECOND, 2}});
        angleEdit_.SubclassDlgItem(IDC_CONTACT_TOLERANCE_ANGLE, this);
    }
    CDialog::OnInitDialog();
    if (hasDirectionGroup_) {
        ConsistantEditWnd::SyncEnteredFlag(angleEdit_);
        if (readOnly_) {
            EnableControl(IDC_CONTACT_DIRECTION, false);
            EnableControl(IDC_CONTACT_TOLERANCE_ANGLE, false);
            EnableControl(IDOK, false);
        }
    }
    return TRUE;
}

void ContactBaseDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    if (!hasDirectionGroup_ || !direction_ || !angle_) return;
    DDX_ConsistentCBItemData(dx, IDC_CONTACT_DIRECTION, direction_);
    // Degrees, whatever the display unit system.
    DDX_ConsistentDouble(dx, IDC_CONTACT_TOLERANCE_ANGLE, angle_);
    DDV_ConsistentMinMaxDouble(dx, angle_, 0.0, 90.0);
}

// ---- FrictionOptionsDlg ----

FrictionOptionsDlg::FrictionOptionsDlg(const ConsistentValue<bool>* directionApplies, CWnd* parent, bool readOnly)
    : ContactBaseDlg(ChooseContactTemplate(IDD_CONTACT_FRICTION, *directionApplies), parent, readOnly) {
    HandleCommand(IDC_CONTACT_USE_FRICTION, [this] { OnUseFrictionClicked(); });
}

BOOL FrictionOptionsDlg::OnInitDialog() {
    frictionEdit_.SubclassDlgItem(IDC_CONTACT_FRICTION, this);
    ContactBaseDlg::OnInitDialog();
    ConsistantEditWnd::SyncEnteredFlag(frictionEdit_);
    if (ReadOnly()) {
        EnableControl(IDC_CONTACT_USE_FRICTION, false);
        EnableControl(IDC_CONTACT_FRICTION, false);
    }
    return TRUE;
}

void FrictionOptionsDlg::DoDataExchange(CDataExchange* dx) {
    if (useFriction_ && friction_) {
        DDX_ConsistentCheck(dx, IDC_CONTACT_USE_FRICTION, useFriction_);
        if (useFriction_->isConsistent() && useFriction_->get()) {
            EnableControl(IDC_CONTACT_FRICTION, !ReadOnly());
            DDX_ConsistentDouble(dx, IDC_CONTACT_FRICTION, friction_);
            DDV_ConsistentMinMaxDouble(dx, friction_, 0.0, 1.0);
        } else {
            // A disabled field still shows the coefficient; it is not read back.
            EnableControl(IDC_CONTACT_FRICTION, false);
            if (!dx->m_bSaveAndValidate) DDX_ConsistentDouble(dx, IDC_CONTACT_FRICTION, friction_);
        }
    }
    ContactBaseDlg::DoDataExchange(dx);
}

void FrictionOptionsDlg::OnUseFrictionClicked() {
    if (!UpdateData(TRUE)) return;
    HWND box = ::GetDlgItem(m_hWnd, IDC_CONTACT_USE_FRICTION);
    const bool threeState = (DWORD(::GetWindowLongPtr(box, GWL_STYLE)) & BS_TYPEMASK) == BS_3STATE;
    int state = int(::SendMessage(box, BM_GETCHECK, 0, 0));
    switch (state) {
        case BST_UNCHECKED: state = threeState ? BST_INDETERMINATE : BST_CHECKED; break;
        case BST_CHECKED: state = BST_UNCHECKED; break;
        default: state = BST_CHECKED; break;
    }
    ::SendMessage(box, BM_SETCHECK, WPARAM(state), 0);
    UpdateData(TRUE);
    if (state == BST_CHECKED) {
        EnableControl(IDC_CONTACT_FRICTION, true);
        UpdateData(FALSE);
    } else {
        EnableControl(IDC_CONTACT_FRICTION, false);
    }
}

// ---- TypedValueContactDlg ----

TypedValueContactDlg::TypedValueContactDlg(const TypedValueLayout& layout, UINT templateId, CWnd* parent,
                                           bool readOnly)
    : ContactBaseDlg(templateId, parent, readOnly), layout_(layout) {
    HandleCommand(layout_.combo, CBN_SELCHANGE, [this] { OnTypeChanged(); });
}

BOOL TypedValueContactDlg::OnInitDialog() {
    FillCombo(layout_.combo, {{layout_.entryText[0], 0}, {layout_.entryText[1], 1}});
    valueEdit_.SubclassDlgItem(layout_.edit, this);
    ContactBaseDlg::OnInitDialog();
    ConsistantEditWnd::SyncEnteredFlag(valueEdit_);
    UpdateUnitLabel();
    if (ReadOnly()) {
        EnableControl(layout_.combo, false);
        EnableControl(layout_.edit, false);
    }
    return TRUE;
}

void TypedValueContactDlg::DoDataExchange(CDataExchange* dx) {
    if (type_) {
        DDX_ConsistentCBItemData(dx, layout_.combo, type_);
        if (type_->isConsistent()) {
            EnableControl(layout_.edit, !ReadOnly());
            const std::uint32_t type = type_->get();
            ConsistentValue<double>* value = type < 2 ? values_[type] : nullptr;
            if (exchangeValue_ && value) {
                const int unit = layout_.unit[type];
                if (unit < 0) {
                    DDX_ConsistentDouble(dx, layout_.edit, value);
                    DDV_ConsistentMinMaxDouble(dx, value, 0.0, kUnbounded);
                } else {
                    DDX_ConsistentDouble(dx, layout_.edit, value, DisplayableUnit(unit));
                    DDV_ConsistentMinMaxDouble(dx, value, 0.0, kUnbounded, DisplayableUnit(unit));
                }
            }
        } else {
            EnableControl(layout_.edit, false);
            ::SetDlgItemText(m_hWnd, int(layout_.edit), L"");
        }
    }
    ContactBaseDlg::DoDataExchange(dx);
    previousSelection_ = int(::SendDlgItemMessage(m_hWnd, int(layout_.combo), CB_GETCURSEL, 0, 0));
}

void TypedValueContactDlg::OnTypeChanged() {
    HWND combo = ::GetDlgItem(m_hWnd, int(layout_.combo));
    const int selection = int(::SendMessage(combo, CB_GETCURSEL, 0, 0));
    if (selection == previousSelection_) return;
    // The old type's value must pass its checks before the type may change.
    ::SendMessage(combo, CB_SETCURSEL, WPARAM(previousSelection_), 0);
    if (!UpdateData(TRUE)) return;
    ::SendMessage(combo, CB_SETCURSEL, WPARAM(selection), 0);
    exchangeValue_ = false;
    UpdateData(TRUE);
    exchangeValue_ = true;
    UpdateData(FALSE);
    UpdateUnitLabel();
}

void TypedValueContactDlg::UpdateUnitLabel() {
    HWND combo = ::GetDlgItem(m_hWnd, int(layout_.combo));
    const int selection = int(::SendMessage(combo, CB_GETCURSEL, 0, 0));
    std::wstring text;
    if (selection >= 0) {
        const auto data = std::uint32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(selection), 0));
        if (data >= 2) text = L"???";
        else if (layout_.unit[data] >= 0) text = GetToUnitSystem().GetDisplayableUnitText(layout_.unit[data]);
    }
    ::SetDlgItemText(m_hWnd, int(layout_.unitLabel), text.c_str());
}

ThermalContactDlg::ThermalContactDlg(const ConsistentValue<bool>* directionApplies, CWnd* parent, bool readOnly)
    : TypedValueContactDlg(kThermalLayout, ChooseContactTemplate(IDD_CONTACT_THERMAL, *directionApplies), parent,
                           readOnly) {}

SmartBondingContactDlg::SmartBondingContactDlg(CWnd* parent, bool readOnly)
    : TypedValueContactDlg(kBondingLayout, IDD_CONTACT_BONDING, parent, readOnly) {}

}  // namespace DataModelDialogs
