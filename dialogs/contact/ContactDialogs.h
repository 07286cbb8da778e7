#pragma once
// The contact options dialogs. Each edits the accumulators of a contact options object in
// place: a value the selected pairs agree on is shown, one they differ on is blank (or the
// friction box indeterminate) and keeps differing unless the person enters something. Every
// successful save, on OK and inside the friction box and type combo handlers, writes into the
// accumulators at once; Cancel does not undo it, so the host simply applies nothing.
//
// ContactBaseDlg carries the surface contact direction group (combo 1003, angle 1004) on the
// templates that have it, the small icon, read-only mode and the unit conversion; used alone it
// is the direction-only dialog (template 3004).

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/objectdialogs/ConsistentEditUnitConversionWindowUtility.h"
#include "platform/win/Afx.h"

namespace DataModelDialogs {

// 3002 and 3003 (friction), 3005 and 3006 (thermal): the template with the direction group
// when the pairs agree that surface contact direction applies, the one without otherwise.
// Every other id comes back unchanged.
UINT ChooseContactTemplate(UINT templateId, const ConsistentValue<bool>& directionApplies);

class ContactBaseDlg : public CDialog, public ConsistentEditUnitConversionWindowUtility {
public:
    ContactBaseDlg(UINT templateId, CWnd* parent, bool readOnly);
    ~ContactBaseDlg() override;

    void SetDirectionGroup(ConsistentValue<std::uint32_t>* direction, ConsistentValue<double>* angle) {
        direction_ = direction;
        angle_ = angle;
    }
    bool HasDirectionGroup() const { return hasDirectionGroup_; }

protected:
    BOOL OnInitDialog() override;
    // The direction group; derived dialogs call it after their own fields.
    void DoDataExchange(CDataExchange* dx) override;
    bool ReadOnly() const { return readOnly_; }
    // Fills a drop-down list with string-table texts and their item data, in order.
    void FillCombo(UINT id, std::initializer_list<std::pair<UINT, std::uint32_t>> entries);
    void EnableControl(UINT id, bool enable);

private:
    ConsistentValue<std::uint32_t>* direction_ = nullptr;
    ConsistentValue<double>* angle_ = nullptr;
    LocaleReference locale_{GetLibraryModule()};
    bool readOnly_;
    bool hasDirectionGroup_;
    HICON smallIcon_ = nullptr;
    ConsistantEditWnd angleEdit_;
};

class FrictionOptionsDlg final : public ContactBaseDlg {
public:
    FrictionOptionsDlg(const ConsistentValue<bool>* directionApplies, CWnd* parent, bool readOnly);
    void SetFriction(ConsistentValue<bool>* useFriction, ConsistentValue<double>* friction) {
        useFriction_ = useFriction;
        friction_ = friction;
    }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    // The box does not toggle by itself: save, cycle its state, save again, show the
    // coefficient when it is now checked.
    void OnUseFrictionClicked();

    ConsistentValue<bool>* useFriction_ = nullptr;
    ConsistentValue<double>* friction_ = nullptr;
    ConsistantEditWnd frictionEdit_;
};

// What tells the thermal and the bonding dialog apart: a type combo whose item data 0 and 1
// each select a value accumulator shown in its own unit (-1: plain, no unit label).
struct TypedValueLayout {
    UINT combo, edit, unitLabel;
    UINT entryText[2];
    int unit[2];
};

// A type combo and one value edit that shows the value of the selected type. Switching the
// type first saves the old type's value (an invalid one keeps the old type selected), then
// stores the new type and shows its value.
class TypedValueContactDlg : public ContactBaseDlg {
public:
    TypedValueContactDlg(const TypedValueLayout& layout, UINT templateId, CWnd* parent, bool readOnly);
    void SetValues(ConsistentValue<std::uint32_t>* type, ConsistentValue<double>* first,
                   ConsistentValue<double>* second) {
        type_ = type;
        values_[0] = first;
        values_[1] = second;
    }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    void OnTypeChanged();
    void UpdateUnitLabel();

    const TypedValueLayout& layout_;
    ConsistentValue<std::uint32_t>* type_ = nullptr;
    ConsistentValue<double>* values_[2] = {nullptr, nullptr};
    ConsistantEditWnd valueEdit_;
    int previousSelection_ = -1;
    bool exchangeValue_ = true;
};

// Templates 3005 or 3006: total resistance (unit 72) or distributed resistance (unit 73).
class ThermalContactDlg final : public TypedValueContactDlg {
public:
    ThermalContactDlg(const ConsistentValue<bool>* directionApplies, CWnd* parent, bool readOnly);
};

// Template 3164, never the direction group: a fraction of the mesh size (plain) or an absolute
// length (unit 1).
class SmartBondingContactDlg final : public TypedValueContactDlg {
public:
    SmartBondingContactDlg(CWnd* parent, bool readOnly);
};

}  // namespace DataModelDialogs
