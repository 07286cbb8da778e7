#include "dialogs/settings/MassSpeciesDialog.h"

#include <string>

#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Common.h"
#include "dialogs/resources/Settings.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"

namespace DataModelDialogs {

AMassSpeciesDialog::~AMassSpeciesDialog() = default;

MassSpeciesDialog::MassSpeciesDialog() : CDialog(IDD) {}

OrvDbRecord::MassSpeciesRecord* MassSpeciesDialog::SetSpecies(OrvDbRecord::MassSpeciesRecord* species) {
    species_ = species;
    return species_;
}

void MassSpeciesDialog::SetDisplayUnitSystem(const OrvDbRecord::DisplayUnitSystem& display) {
    SetUnitConverter(display);
}

INT_PTR MassSpeciesDialog::ShowDialog() {
    ResourceModuleScope resources;
    if (species_) edited_ = *species_;
    const INT_PTR result = DoModal();
    if (result == IDOK && species_) {
        // Bytes 0 to 7 (the host's id) stay the host's.
        species_->SetDiffusivity(edited_.GetDiffusivity());
        species_->SetName(edited_.GetName());
    }
    return result;
}

BOOL MassSpeciesDialog::OnInitDialog() {
    ResourceModuleScope resources;
    CString mode, format;
    mode.LoadString(creating_ ? IDS_CREATING : IDS_MODIFYING);
    GetWindowText(format);
    const std::wstring inserts[] = {mode.GetString()};
    SetWindowText(orv::FormatMessageStrings(format.GetString(), inserts).c_str());
    if (!species_) return FALSE;
    units_.Attach(GetDlgItem(IDC_UNITS)->GetSafeHwnd());
    units_.SetWindowText(GetToUnitSystem().GetDisplayableUnitText(kDiffusivityUnit).c_str());
    units_.Detach();
    CDialog::OnInitDialog();
    return TRUE;
}

void MassSpeciesDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    HWND nameEdit = dx->PrepareEditCtrl(int(IDC_NAME));
    if (!dx->m_bSaveAndValidate) {
        ::SetWindowText(nameEdit, orv::Utf8ToWide(edited_.GetName()).c_str());
    } else {
        const std::string name = orv::WideToUtf8(::GetWindowTextString(nameEdit));
        if (name.empty()) {
            AfxMessageBox(IDS_SPECIES_NAME_REQUIRED, MB_OK | MB_ICONEXCLAMATION);
        } else if (name.size() > kMaxNameBytes) {
            // Refused whole rather than cut, so that no name is stored that the person did not
            // write; the exchange fails with the focus on the name.
            CString format;
            format.LoadString(IDS_SPECIES_NAME_TOO_LONG);
            const std::wstring inserts[] = {std::to_wstring(kMaxNameBytes), std::to_wstring(name.size())};
            AfxMessageBox(orv::FormatMessageStrings(format.GetString(), inserts).c_str(), MB_OK | MB_ICONEXCLAMATION);
            dx->Fail();
        } else {
            edited_.SetName(name);
        }
    }
    double diffusivity = edited_.GetDiffusivity();
    UnitConverterWindowUtility::DDX_Text(dx, IDC_DIFFUSIVITY, diffusivity,
                                         UnitSys::UnitSystem::DisplayableUnit(kDiffusivityUnit));
    if (dx->m_bSaveAndValidate) {
        edited_.SetDiffusivity(diffusivity);
        if (!(diffusivity > 0)) AfxMessageBox(IDS_SPECIES_DIFFUSIVITY_POSITIVE, MB_OK | MB_ICONEXCLAMATION);
    }
}

void MassSpeciesDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!edited_.GetName().empty() && edited_.GetDiffusivity() > 0) CDialog::OnOK();
}

ORV_REGISTER_FACTORY_SLOT(FactorySlot::MassSpeciesDialog, MassSpeciesDialog);

}  // namespace DataModelDialogs
