#include "dialogs/settings/UnitsDialog.h"

#include <cstdlib>
#include <string>

#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Settings.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {
namespace {

using Quantity = UnitSys::Quantity;

// Caption and help text of each item, in grid order.
constexpr UINT kCaptions[] = {IDS_UNITS_TYPE,        IDS_UNITS_FORCE,   IDS_UNITS_LENGTH,  IDS_UNITS_TIME,
                              IDS_UNITS_TEMPERATURE, IDS_UNITS_ENERGY,  IDS_UNITS_VOLTAGE, IDS_UNITS_CURRENT,
                              IDS_UNITS_RESISTANCE,  IDS_UNITS_MASS};
constexpr UINT kHelp[] = {IDS_UNITS_TYPE_HELP,        IDS_UNITS_FORCE_HELP,   IDS_UNITS_LENGTH_HELP,
                          IDS_UNITS_TIME_HELP,        IDS_UNITS_TEMPERATURE_HELP, IDS_UNITS_ENERGY_HELP,
                          IDS_UNITS_VOLTAGE_HELP,     IDS_UNITS_CURRENT_HELP, IDS_UNITS_RESISTANCE_HELP,
                          IDS_UNITS_MASS_HELP};
// The quantity of each unit item (the type item has none) and its number of units.
constexpr Quantity kQuantities[] = {Quantity::Force,  Quantity::Force,   Quantity::Length,  Quantity::Time,
                                    Quantity::Temperature, Quantity::Energy, Quantity::Voltage, Quantity::Current,
                                    Quantity::Resistance, Quantity::Mass};
constexpr int kUnitCounts[] = {0, 7, 6, 3, 4, 7, 2, 2, 3, 6};
// The types offered, in their order in the list.
constexpr std::uint32_t kTypeOrder[] = {0, 5, 1, 6, 2, 3, 4};
constexpr int kInconsistentMass = 5;

CString Load(UINT id) {
    CString text;
    text.LoadString(id);
    return text;
}

}  // namespace

AUnitsDialog::~AUnitsDialog() = default;

UnitsDialog::UnitsDialog() : CXTResizeDialog(IDD) {
    HandleMessage(XTPWM_PROPERTYGRID_NOTIFY, [this](WPARAM code, LPARAM item) { return OnGridNotify(code, item); });
}

void UnitsDialog::SetUnitSystem(const OrvDbRecord::UnitSystem& system) {
    unitSystem_ = system;
    unitSystemSet_ = true;
}

INT_PTR UnitsDialog::ShowDialog(bool allowChanges) {
    ResourceModuleScope resources;
    if (!unitSystemSet_) return IDCANCEL;
    allowChanges_ = allowChanges;
    return DoModal();
}

bool UnitsDialog::TypeChosen() const { return unitSystem_.GetUnitSystemType() != OrvDbRecord::UnitSystem::kTypeNone; }

BOOL UnitsDialog::OnInitDialog() {
    ResourceModuleScope resources;
    inNotification_ = false;
    CreateGrid();
    UpdateButtons();
    GetDlgItem(IDC_ADD_TO_TREE)->EnableWindow(allowChanges_);
    GetDlgItem(IDC_DESCRIPTION_LABEL)->ShowWindow(showDescription_ ? SW_SHOW : SW_HIDE);
    GetDlgItem(IDC_DESCRIPTION)->ShowWindow(showDescription_ ? SW_SHOW : SW_HIDE);
    if (!showDescription_) {
        // The grid takes the room of the description.
        CRect grid, edit;
        grid_.GetWindowRect(&grid);
        GetDlgItem(IDC_DESCRIPTION)->GetWindowRect(&edit);
        ScreenToClient(&grid);
        ScreenToClient(&edit);
        grid.bottom = edit.bottom;
        grid_.MoveWindow(&grid);
    }
    GetDlgItem(IDC_ADD_TO_TREE)->ShowWindow(showAddToTree_ ? SW_SHOW : SW_HIDE);
    CXTResizeDialog::OnInitDialog();
    SetResize(IDC_GRID, SZ_TOP_LEFT, SZ_BOTTOM_RIGHT);
    SetResize(IDC_DESCRIPTION_LABEL, SZ_BOTTOM_LEFT, SZ_BOTTOM_LEFT);
    SetResize(IDC_DESCRIPTION, SZ_BOTTOM_LEFT, SZ_BOTTOM_RIGHT);
    SetResize(IDC_ADD_TO_TREE, SZ_BOTTOM_LEFT, SZ_BOTTOM_LEFT);
    SetResize(IDOK, SZ_BOTTOM_RIGHT, SZ_BOTTOM_RIGHT);
    SetResize(IDCANCEL, SZ_BOTTOM_RIGHT, SZ_BOTTOM_RIGHT);
    if (firstInit_) {
        // Once per dialog object: the help pane grows by a line of the grid's font.
        LOGFONT font{};
        if (CFont* f = grid_.GetFont() ? grid_.GetFont() : GetFont()) f->GetLogFont(&font);
        grid_.SetHelpHeight(grid_.GetHelpHeight() + std::abs(int(font.lfHeight)));
        firstInit_ = false;
    }
    // Without changes the description is what can be edited; a hidden one cannot take the
    // focus, so the grid keeps it then.
    if (!allowChanges_ && showDescription_) GetDlgItem(IDC_DESCRIPTION)->SetFocus();
    else grid_.SetFocus();
    return FALSE;
}

void UnitsDialog::CreateGrid() {
    CRect frame;
    CWnd* placeholder = GetDlgItem(IDC_GRID_FRAME);
    placeholder->GetWindowRect(&frame);
    ScreenToClient(&frame);
    grid_.Create(frame, this, IDC_GRID);
    // First in the tab order, where the frame stands.
    grid_.SetWindowPos(placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    grid_.SetTheme(0);
    CXTPPropertyGridItem* settings = grid_.AddCategory(Load(IDS_UNITS_CATEGORY_SETTINGS));
    CXTPPropertyGridItem* units = grid_.AddCategory(Load(IDS_UNITS_CATEGORY_UNITS));
    for (int i = 0; i < kItemCount; ++i) {
        auto* item = new CXTPPropertyGridItemEnum(Load(kCaptions[i]));
        item->SetDescription(Load(kHelp[i]));
        items_[i] = static_cast<CXTPPropertyGridItemEnum*>((i == kType ? settings : units)->AddChildItem(item));
    }
    settings->Expand();
    units->Expand();
    BuildChoices();
}

void UnitsDialog::BuildChoices() {
    CXTPPropertyGridItemConstraints* types = items_[kType]->GetConstraints();
    types->RemoveAll();
    for (std::uint32_t type : kTypeOrder)
        types->AddConstraint(OrvDbRecord::UnitSystem(type).GetUnitSystemTypeText(7, true).c_str(), type);
    const CString temperatureFormat = Load(IDS_UNITS_TEMPERATURE_FORMAT);
    for (int i = kForce; i < kItemCount; ++i) {
        CXTPPropertyGridItemConstraints* choices = items_[i]->GetConstraints();
        choices->RemoveAll();
        for (int value = 0; value < kUnitCounts[i]; ++value) {
            std::wstring text = unitSystem_.GetUnitText(kQuantities[i], value, true);
            if (i == kTemperature) {
                OrvDbRecord::UnitSystem absolute(unitSystem_);
                absolute.SetTemperatureUnit(value);
                const std::wstring inserts[] = {text, absolute.GetAbsoluteTemperatureUnitText(4, true)};
                text = orv::FormatMessageStrings(temperatureFormat.GetString(), inserts);
            }
            if (i == kMass && value == kInconsistentMass && !unitSystem_.AllowInconsistentUnits()) continue;
            // Two units of the same text (a consistent mass that is a named unit) are offered once.
            if (i == kMass && choices->FindConstraint(text.c_str()) >= 0) continue;
            choices->AddConstraint(text.c_str(), DWORD_PTR(value));
        }
    }
}

void UnitsDialog::LoadGrid() {
    items_[kType]->SetEnum(int(unitSystem_.GetUnitSystemType()));
    for (int i = kForce; i < kItemCount; ++i) items_[i]->SetEnum(unitSystem_.GetUnit(kQuantities[i]));
    ApplyReadOnlyRules();
}

void UnitsDialog::SaveGrid(bool fromTypeItem) {
    // The type first, so that a standard type brings its own units.
    const auto type = std::uint32_t(items_[kType]->GetEnum());
    unitSystem_.SetUnitSystemType(type);
    if (type != OrvDbRecord::UnitSystem::kTypeCustom || fromTypeItem) return;
    unitSystem_.SetForceUnit(items_[kForce]->GetEnum());
    unitSystem_.SetLengthUnit(items_[kLength]->GetEnum());
    unitSystem_.SetTimeUnit(items_[kTime]->GetEnum());
    unitSystem_.SetTemperatureUnit(items_[kTemperature]->GetEnum());
    unitSystem_.SetEnergyUnit(items_[kEnergy]->GetEnum());
    unitSystem_.SetVoltageUnit(items_[kVoltage]->GetEnum());
    unitSystem_.SetCurrentUnit(items_[kCurrent]->GetEnum());
    unitSystem_.SetResistanceUnit(items_[kResistance]->GetEnum());
    unitSystem_.SetMassUnit(items_[kMass]->GetEnum());
}

void UnitsDialog::ApplyReadOnlyRules() {
    const bool custom = unitSystem_.GetUnitSystemType() == OrvDbRecord::UnitSystem::kTypeCustom;
    items_[kType]->SetReadOnly(!allowChanges_);
    for (int i = kForce; i < kMass; ++i) items_[i]->SetReadOnly(!(custom && allowChanges_));
    items_[kMass]->SetReadOnly(!(custom && allowChanges_ && unitSystem_.AllowInconsistentUnits()));
}

void UnitsDialog::DoDataExchange(CDataExchange* dx) {
    CXTResizeDialog::DoDataExchange(dx);
    dx->PrepareCtrl(int(IDC_GRID));
    if (dx->m_bSaveAndValidate) SaveGrid(savingFromTypeItem_);
    else LoadGrid();
    if (showDescription_) DDX_Text(dx, IDC_DESCRIPTION, description_);
    if (showAddToTree_) DDX_Check(dx, IDC_ADD_TO_TREE, addToTree_);
}

void UnitsDialog::UpdateButtons() {
    const bool chosen = TypeChosen();
    GetDlgItem(IDOK)->EnableWindow(chosen);
    const bool cancel = chosen || !requireUnitSystem_;
    GetDlgItem(IDCANCEL)->EnableWindow(cancel);
    if (CMenu* menu = GetSystemMenu(FALSE)) menu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | (cancel ? MF_ENABLED : MF_GRAYED));
}

LRESULT UnitsDialog::OnGridNotify(WPARAM code, LPARAM lParam) {
    if (code != XTP_PGN_ITEMVALUE_CHANGED || inNotification_) return 0;
    inNotification_ = true;
    auto* item = reinterpret_cast<CXTPPropertyGridItem*>(lParam);
    if (!changeConfirmed_) {
        if (AfxMessageBox(IDS_UNITS_CHANGE_WARNING, MB_YESNO | MB_ICONQUESTION) == IDNO) item->ResetValue();
        else changeConfirmed_ = true;
    }
    const bool fromType = item == items_[kType];
    savingFromTypeItem_ = fromType;
    UpdateData(TRUE);  // a failure is shown by the exchange and otherwise ignored here
    savingFromTypeItem_ = false;
    BuildChoices();
    UpdateData(FALSE);
    if (fromType) SetDlgItemText(IDC_DESCRIPTION, items_[kType]->GetValue());
    UpdateButtons();
    inNotification_ = false;
    return 0;
}

void UnitsDialog::OnCancel() {
    if (requireUnitSystem_ && !TypeChosen()) return;
    CXTResizeDialog::OnCancel();
}

ORV_REGISTER_FACTORY_SLOT(FactorySlot::UnitsDialog, UnitsDialog);

}  // namespace DataModelDialogs
