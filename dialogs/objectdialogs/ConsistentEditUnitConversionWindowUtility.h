#pragma once
// Exchange of ConsistentValue accumulators with dialog controls, for dialogs that edit several
// objects at once: a value on which the objects disagree is shown blank (or indeterminate) and
// keeps each object's own value unless the person enters one.
//
// ConsistantEditWnd is the edit those fields use: it keeps an entered flag in the window's
// user data (GWLP_USERDATA), set as soon as the person types a character and never cleared by
// emptying the text again, so that a blank field that was never touched is told apart from
// one that was typed into.

#include "dialogs/objectdialogs/ConsistentValue.h"
#include "dialogs/objectdialogs/UnitConverterWindowUtility.h"
#include "platform/win/AfxControls.h"

namespace DataModelDialogs {

class ConsistantEditWnd : public CEdit {
public:
    ConsistantEditWnd();
    // The flag becomes 1 when the edit holds text, 0 when it is empty.
    static void SyncEnteredFlag(HWND edit);
    static void SyncEnteredFlag(CWnd& edit) { SyncEnteredFlag(edit.GetSafeHwnd()); }
    static bool IsEntered(HWND edit);
    static bool IsEntered(const CWnd& edit) { return IsEntered(edit.GetSafeHwnd()); }
};

// Internal to the library (the contact dialogs derive from it); only its base is exported.
class ConsistentEditUnitConversionWindowUtility : public UnitConverterWindowUtility {
public:
    ConsistentEditUnitConversionWindowUtility();
    ~ConsistentEditUnitConversionWindowUtility() override;
    ConsistentEditUnitConversionWindowUtility(const ConsistentEditUnitConversionWindowUtility&);
    ConsistentEditUnitConversionWindowUtility& operator=(const ConsistentEditUnitConversionWindowUtility&);

    // Loading shows a consistent value (in the edit's label unit, or the given unit) and blanks
    // the edit otherwise; the entered flag then says whether it shows anything. Saving takes
    // the typed number when the edit was entered (text that is not a number fails as usual),
    // otherwise marks the accumulator inconsistent.
    void DDX_ConsistentDouble(CDataExchange* dx, unsigned int id, ConsistentValue<double>& value) const;
    void DDX_ConsistentDouble(CDataExchange* dx, unsigned int id, ConsistentValue<double>& value,
                              DisplayableUnit unit) const;
    void DDX_ConsistentDouble(CDataExchange* dx, unsigned int id, ConsistentValue<double>* value) const {
        DDX_ConsistentDouble(dx, id, *value);
    }
    void DDX_ConsistentDouble(CDataExchange* dx, unsigned int id, ConsistentValue<double>* value,
                              DisplayableUnit unit) const {
        DDX_ConsistentDouble(dx, id, *value, unit);
    }
    // Range check of a consistent value on the exchange's last prepared control; an
    // inconsistent value is never tested.
    void DDV_ConsistentMinMaxDouble(CDataExchange* dx, const ConsistentValue<double>& value, double min,
                                    double max) const;
    void DDV_ConsistentMinMaxDouble(CDataExchange* dx, const ConsistentValue<double>& value, double min, double max,
                                    DisplayableUnit unit) const;
    void DDV_ConsistentMinMaxDouble(CDataExchange* dx, const ConsistentValue<double>* value, double min,
                                    double max) const {
        DDV_ConsistentMinMaxDouble(dx, *value, min, max);
    }
    void DDV_ConsistentMinMaxDouble(CDataExchange* dx, const ConsistentValue<double>* value, double min, double max,
                                    DisplayableUnit unit) const {
        DDV_ConsistentMinMaxDouble(dx, *value, min, max, unit);
    }
    // A drop-down list whose item data are the values: loading selects the first matching
    // item (none when inconsistent or unmatched); saving takes the selection, or marks the
    // accumulator inconsistent when nothing is selected.
    void DDX_ConsistentCBItemData(CDataExchange* dx, unsigned int id, ConsistentValue<std::uint32_t>& value) const;
    void DDX_ConsistentCBItemData(CDataExchange* dx, unsigned int id, ConsistentValue<std::uint32_t>* value) const {
        DDX_ConsistentCBItemData(dx, id, *value);
    }
    // A check box: an inconsistent value shows the indeterminate state (the box becomes
    // three-state first); saving the indeterminate state marks the accumulator inconsistent.
    void DDX_ConsistentCheck(CDataExchange* dx, unsigned int id, ConsistentValue<bool>& value) const;
    void DDX_ConsistentCheck(CDataExchange* dx, unsigned int id, ConsistentValue<bool>* value) const {
        DDX_ConsistentCheck(dx, id, *value);
    }
};

}  // namespace DataModelDialogs
