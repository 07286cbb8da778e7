#pragma once
// The unit system dialog (template 3000, "Unit System"): the model's unit system in a property
// grid with the categories "Unit System Settings" (the type) and "Corresponding Units" (nine
// units, editable one by one under Custom). The first change after each request of the dialog
// is confirmed with a warning, since changing the system only relabels the model's numbers.

#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/factory/ASettingsDialogs.h"
#include "platform/win/Afx.h"
#include "platform/win/PropertyGrid.h"
#include "platform/win/ResizeDialog.h"

namespace DataModelDialogs {

class UnitsDialog : public CXTResizeDialog, public AUnitsDialog {
public:
    static constexpr UINT IDD = 3000;
    static constexpr UINT IDC_GRID = 101;
    static constexpr UINT IDC_GRID_FRAME = 1000;
    static constexpr UINT IDC_DESCRIPTION_LABEL = 1010;
    static constexpr UINT IDC_DESCRIPTION = 1011;
    static constexpr UINT IDC_ADD_TO_TREE = 1718;

    UnitsDialog();

    void SetUnitSystem(const OrvDbRecord::UnitSystem& system) override;
    INT_PTR ShowDialog(bool allowChanges) override;
    const OrvDbRecord::UnitSystem& GetUnitSystem() const override { return unitSystem_; }
    bool IsChangeConfirmed() const override { return changeConfirmed_; }
    void SetChangeConfirmed(bool confirmed) override { changeConfirmed_ = confirmed; }
    void SetRequireUnitSystem(bool require) override { requireUnitSystem_ = require; }
    void SetShowDescription(bool show) override { showDescription_ = show; }
    bool GetShowDescription() const override { return showDescription_; }
    void SetDescription(const CString& description) override { description_ = description; }
    CString GetDescription() const override { return description_; }
    void SetShowAddToTree(bool show) override { showAddToTree_ = show; }
    bool GetShowAddToTree() const override { return showAddToTree_; }
    void SetAddToTree(bool add) override { addToTree_ = add ? TRUE : FALSE; }
    bool GetAddToTree() const override { return addToTree_ != FALSE; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnCancel() override;

private:
    // The grid's items, in grid order.
    enum Item { kType, kForce, kLength, kTime, kTemperature, kEnergy, kVoltage, kCurrent, kResistance, kMass, kItemCount };

    void CreateGrid();
    void BuildChoices();
    void LoadGrid();
    void SaveGrid(bool fromTypeItem);
    void ApplyReadOnlyRules();
    // OK while a type is chosen; Cancel and the Close command unless a type is required.
    void UpdateButtons();
    bool TypeChosen() const;
    LRESULT OnGridNotify(WPARAM code, LPARAM item);

    CXTPPropertyGrid grid_;
    LocaleReference locale_{GetLibraryModule()};
    CXTPPropertyGridItemEnum* items_[kItemCount] = {};
    OrvDbRecord::UnitSystem unitSystem_;  // the working copy; no type chosen until set
    bool unitSystemSet_ = false;
    bool showDescription_ = false;
    CString description_;
    bool showAddToTree_ = false;
    BOOL addToTree_ = FALSE;
    bool changeConfirmed_ = false;
    bool requireUnitSystem_ = false;
    bool allowChanges_ = true;
    bool inNotification_ = false;
    bool firstInit_ = true;
    bool savingFromTypeItem_ = false;  // the save in progress follows a change of the type item
};

}  // namespace DataModelDialogs
