#pragma once
// The exported faces of the model settings dialogs: the unit system dialog (factory slot 1)
// and the mass species dialog (slot 8).

#include "dialogs/factory/Export.h"
#include "host/model/Record.h"
#include "host/model/UnitSystem.h"
#include "platform/win/CString.h"
#include "platform/win/WinTypes.h"

namespace DataModelDialogs {

// The model's unit system: one of the standard systems or Custom, unit by unit. The factory
// resets the presentation options on every request; the host then sets the unit system, runs
// the dialog and, on IDOK, reads the unit system, the confirmation, the description and the
// add-to-tree choice back.
class DATAMODELDIALOGS_API AUnitsDialog {
public:
    AUnitsDialog() = default;
    AUnitsDialog(const AUnitsDialog&) = default;
    AUnitsDialog& operator=(const AUnitsDialog&) = default;
    virtual ~AUnitsDialog();
    virtual void SetUnitSystem(const OrvDbRecord::UnitSystem& system) = 0;
    // IDCANCEL without a window unless SetUnitSystem was called; otherwise the dialog's result.
    // With allowChanges false nothing can be edited but the description.
    virtual INT_PTR ShowDialog(bool allowChanges) = 0;
    // The edited unit system (valid after IDOK).
    virtual const OrvDbRecord::UnitSystem& GetUnitSystem() const = 0;
    virtual bool IsChangeConfirmed() const = 0;
    virtual void SetChangeConfirmed(bool confirmed) = 0;
    // Cancel and the Close command are refused while no unit system type is chosen.
    virtual void SetRequireUnitSystem(bool require) = 0;
    virtual void SetShowDescription(bool show) = 0;
    virtual bool GetShowDescription() const = 0;
    virtual void SetDescription(const CString& description) = 0;
    virtual CString GetDescription() const = 0;
    virtual void SetShowAddToTree(bool show) = 0;
    virtual bool GetShowAddToTree() const = 0;
    virtual void SetAddToTree(bool add) = 0;
    virtual bool GetAddToTree() const = 0;
};

// One mass species, created or modified: its name and default diffusivity. The host's record
// is written only when the dialog ends with IDOK; it must stay alive while ShowDialog runs.
class DATAMODELDIALOGS_API AMassSpeciesDialog {
public:
    AMassSpeciesDialog() = default;
    AMassSpeciesDialog(const AMassSpeciesDialog&) = default;
    AMassSpeciesDialog& operator=(const AMassSpeciesDialog&) = default;
    virtual ~AMassSpeciesDialog();
    // Stores the record to edit (not owned); returns it.
    virtual OrvDbRecord::MassSpeciesRecord* SetSpecies(OrvDbRecord::MassSpeciesRecord* species) = 0;
    virtual INT_PTR ShowDialog() = 0;
    virtual OrvDbRecord::MassSpeciesRecord* GetSpecies() const = 0;
    virtual void SetCreating(bool creating) = 0;
    // The units the diffusivity is shown in.
    virtual void SetDisplayUnitSystem(const OrvDbRecord::DisplayUnitSystem& display) = 0;
    virtual void ClearSpecies() = 0;
};

}  // namespace DataModelDialogs
