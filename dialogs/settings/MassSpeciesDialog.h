#pragma once
// The mass species dialog (template 3156, "%1 Mass Species"): a species' name and default
// diffusivity, shown in displayable unit 81.
//
// The dialog edits a copy of the host's record: a failed OK (an empty name on a new species,
// a diffusivity that is not positive) leaves the host's record as it was when the person then
// cancels, and the name and diffusivity are written to it only when the dialog ends with IDOK.

#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/factory/ASettingsDialogs.h"
#include "dialogs/objectdialogs/UnitConverterWindowUtility.h"
#include "platform/win/Afx.h"

namespace DataModelDialogs {

class MassSpeciesDialog : public CDialog, public AMassSpeciesDialog, private UnitConverterWindowUtility {
public:
    static constexpr UINT IDD = 3156;
    static constexpr UINT IDC_NAME = 1162;
    static constexpr UINT IDC_DIFFUSIVITY = 1163;
    static constexpr UINT IDC_UNITS = 1164;
    static constexpr int kDiffusivityUnit = 81;
    // Bytes of the stored name, its terminator excluded.
    static constexpr std::size_t kMaxNameBytes = OrvDbRecord::MassSpeciesRecord::kNameSize - 1;

    MassSpeciesDialog();

    OrvDbRecord::MassSpeciesRecord* SetSpecies(OrvDbRecord::MassSpeciesRecord* species) override;
    INT_PTR ShowDialog() override;
    OrvDbRecord::MassSpeciesRecord* GetSpecies() const override { return species_; }
    void SetCreating(bool creating) override { creating_ = creating; }
    void SetDisplayUnitSystem(const OrvDbRecord::DisplayUnitSystem& display) override;
    void ClearSpecies() override { species_ = nullptr; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

private:
    CStatic units_;
    LocaleReference locale_{GetLibraryModule()};
    OrvDbRecord::MassSpeciesRecord* species_ = nullptr;
    bool creating_ = true;
    OrvDbRecord::MassSpeciesRecord edited_;  // the copy the controls exchange with
};

}  // namespace DataModelDialogs
