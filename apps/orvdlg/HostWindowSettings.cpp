// The host window's model settings: the unit system dialog on the model unit system and the
// mass species dialog on a species of the scenario, obtained from the factory as the host does.

#include "apps/orvdlg/HostWindow.h"

#include "dialogs/factory/ASettingsDialogs.h"
#include "host/model/DbDesignScenario.h"
#include "platform/res/DialogBuilder.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"

namespace orvdlg {
namespace {

// The chooser of "Species...": a new species or one of the scenario's, by id and name.
class SpeciesChooser : public CDialog {
public:
    static constexpr int IDC_LIST = 1201;

    SpeciesChooser(const OrvDbRecord::MassSpeciesMap& species, CWnd* parent) : species_(species) {
        template_ = orv::res::DialogBuilder(L"Mass Species", 200, 130)
                        .Label(L"&Species:", IDC_STATIC, 7, 7, 120, 8)
                        .Control(L"ListBox", L"", IDC_LIST, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 7, 18, 186, 84)
                        .DefaultButton(L"OK", IDOK, 89, 109, 50, 14)
                        .Button(L"Cancel", IDCANCEL, 143, 109, 50, 14)
                        .Build();
        InitModalIndirect(&template_, parent);
        HandleCommand(IDC_LIST, LBN_DBLCLK, [this] { OnOK(); });
    }
    // 0: a new species.
    std::int32_t Chosen() const { return chosen_; }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SendDlgItemMessage(IDC_LIST, LB_ADDSTRING, 0, LPARAM(L"(new species)"));
        for (const auto& record : species_) {
            const std::wstring line = std::to_wstring(record.GetId()) + L"  " + orv::Utf8ToWide(record.GetName());
            SendDlgItemMessage(IDC_LIST, LB_ADDSTRING, 0, LPARAM(line.c_str()));
        }
        SendDlgItemMessage(IDC_LIST, LB_SETCURSEL, species_.empty() ? 0 : 1);
        GotoDlgCtrl(GetDlgItem(IDC_LIST));
        return FALSE;
    }
    void OnOK() override {
        const int index = int(SendDlgItemMessage(IDC_LIST, LB_GETCURSEL));
        chosen_ = index > 0 ? species_[std::size_t(index - 1)].GetId() : 0;
        CDialog::OnOK();
    }

private:
    const OrvDbRecord::MassSpeciesMap& species_;
    orv::res::DialogTemplate template_;
    std::int32_t chosen_ = 0;
};

}  // namespace

void HostWindow::OnUnits() {
    DataModelDialogs::AUnitsDialog* dialog = DataModelDialogs::GetDataModelDialogFactory()->GetUnitsDialog();
    if (!dialog) {
        Refuse(L"The library serves no unit system dialog.");
        return;
    }
    OrvDbRecord::DbDesignScenario& scenario = session_.Scenario();
    dialog->SetUnitSystem(scenario.GetModelUnitSystem());
    if (dialog->ShowDialog(true) != IDOK) {
        SetStatus(L"The unit system is unchanged.");
        return;
    }
    // The model's numbers keep their values under the new labels.
    const OrvDbRecord::UnitSystem& chosen = dialog->GetUnitSystem();
    const bool changed = !(chosen == scenario.GetModelUnitSystem());
    scenario.SetModelUnitSystem(chosen);
    if (changed) SetModified(true);
    Refresh(SelectedIds());
    SetStatus(L"Unit system: " + chosen.GetUnitSystemTypeText(chosen.GetUnitSystemType(), true) + L".");
}

void HostWindow::OnSpecies() {
    DataModelDialogs::AMassSpeciesDialog* dialog = DataModelDialogs::GetDataModelDialogFactory()->GetMassSpeciesDialog();
    if (!dialog) {
        Refuse(L"The library serves no mass species dialog.");
        return;
    }
    OrvDbRecord::DbDesignScenario& scenario = session_.Scenario();
    OrvDbRecord::MassSpeciesMap& map = scenario.GetMassSpecies();
    SpeciesChooser chooser(map, this);
    if (chooser.DoModal() != IDOK) {
        SetStatus(L"No species changed.");
        return;
    }
    OrvDbRecord::MassSpeciesRecord created;
    OrvDbRecord::MassSpeciesRecord* species = chooser.Chosen() ? map.Find(chooser.Chosen()) : &created;
    dialog->SetSpecies(species);
    dialog->SetCreating(species == &created);
    dialog->SetDisplayUnitSystem(scenario.GetCurrentDisplayUnitSystem());
    const INT_PTR result = dialog->ShowDialog();
    dialog->ClearSpecies();
    if (result != IDOK) {
        SetStatus(L"No species changed.");
        return;
    }
    if (species == &created) species = &map.Add(created.GetName(), created.GetDiffusivity());
    SetModified(true);
    SetStatus(L"Species " + std::to_wstring(species->GetId()) + L" \"" + orv::Utf8ToWide(species->GetName()) +
              L"\", diffusivity " + orv::FormatPrintf(L"%g", species->GetDiffusivity()) + L".");
}

}  // namespace orvdlg
