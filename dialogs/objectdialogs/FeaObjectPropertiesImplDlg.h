#pragma once
// FeaObjectPropertiesImplDlg: the dialog shell every FEA object property dialog shares. It is
// its own unit utility, owns the per-dialog context block (mode, picks, edit parameters and the
// control bookkeeping of the binding) and offers the data exchange helpers through which a
// concrete dialog binds its controls to byte offsets of a fixed-layout record.
//
// The helpers follow one pattern per control: in modify mode the first meeting in a run
// registers the control's field (RegisterField/RegisterFlagField compare it across the
// selected objects; a field that differs suppresses the control); a suppressed control is
// shown blank and disabled and neither read nor written; a control in the pick-end set is
// skipped; otherwise the value is exchanged. Checks run only when saving outside a pick-end
// exchange, and never on a suppressed control.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "dialogs/objectdialogs/FieldTable.h"
#include "dialogs/objectdialogs/UnitConverterWindowUtility.h"
#include "platform/win/Afx.h"

namespace OrvDbRecord {
class DbCoordinateSystem;
struct FieldInfo;
}

namespace DataModelDialogs {

// Resume codes with a meaning of their own: 0 a fresh run, 1 reopen with the previous edits.
inline constexpr std::uint32_t kResumeFresh = 0;
inline constexpr std::uint32_t kResumeReopen = 1;
// Pick codes a dialog ends with to ask the host to pick.
inline constexpr std::uint32_t kPickDirection = 0x40200;
inline constexpr std::uint32_t kPickPoint = 0x40203;
inline constexpr std::uint32_t kPickSecondVector = 0x40206;
inline constexpr std::uint32_t kPickThirdVector = 0x40207;
inline constexpr std::uint32_t kPickMomentCentre = 0x4029a;
inline constexpr std::uint32_t kPickRotationCentre = 0x4029b;
inline constexpr std::uint32_t kPickRotationalVelocity = 0x4029c;
inline constexpr std::uint32_t kPickTranslationalVelocity = 0x4029d;

// Controls every property dialog has.
inline constexpr UINT IDC_DESCRIPTION_LABEL = 1010;
inline constexpr UINT IDC_DESCRIPTION = 1011;

// Strings of the shell.
inline constexpr UINT IDS_INVALID_VECTOR = 128;
inline constexpr UINT IDS_MAGNITUDE_NONZERO = 130;
inline constexpr UINT IDS_CS_GLOBAL_DEFAULT = 3039;
inline constexpr UINT IDS_CS_CYLINDRICAL = 3040;
inline constexpr UINT IDS_CS_SPHERICAL = 3041;
inline constexpr UINT IDS_CS_RECTANGULAR = 3042;
inline constexpr UINT IDS_CS_LABEL = 3043;
inline constexpr UINT IDS_UNNAMED = 3044;

// The record offset of one consistent field with its size and mask (0: copy the bytes).
struct ConsistentField {
    std::size_t size = 0;
    std::uint32_t mask = 0;
};

// The per-dialog context block: created with the dialog, kept between runs, emptied by Reset.
struct FeaObjectDialogContext {
    // Keeps the shared locale manager, and with it the resource module, alive.
    LocaleReference locale{GetLibraryModule()};
    std::uint32_t typeCode = 0;
    std::uint32_t mode = 0;  // 0 create, 1 modify
    double pickedValue = 0;
    double pickedVector[3] = {0, 0, 0};
    std::uint32_t resumeCode = 0;
    FeaObjectEditParameters editParameters;
    std::vector<std::unique_ptr<CWnd>> calcEdits;  // expression edits owned by the dialog
    std::set<UINT> registeredControls;
    std::set<UINT> suppressedControls;
    std::map<std::size_t, ConsistentField> consistentFields;  // by record offset, ascending
    std::set<UINT> pickEndControls;

    // Everything but the type code and the owned edits back to its reset state.
    void Clear();
};

class FeaObjectPropertiesImplDlg : public CDialog, private UnitConverterWindowUtility {
public:
    using DisplayableUnit = UnitSys::UnitSystem::DisplayableUnit;

    FeaObjectPropertiesImplDlg(UINT templateId, CWnd* parent, std::uint32_t typeCode);
    ~FeaObjectPropertiesImplDlg() override;

    // The face the factory hands to the host.
    virtual AFeaObjectPropertiesDialogBase* GetPropertiesDialog() = 0;
    // Modal dialogs answer false; the modeless template true.
    virtual bool IsModeless() const { return false; }
    // Makes `parent` the dialog's parent, for the next run and for a window that is open.
    void SetParentWindow(CWnd* parent);

    FeaObjectDialogContext& Context() { return *context_; }
    const FeaObjectDialogContext& Context() const { return *context_; }
    std::uint32_t TypeCode() const { return context_->typeCode; }
    // The unit utility the exchange converts with.
    UnitConverterWindowUtility& Units() { return *this; }
    const UnitConverterWindowUtility& Units() const { return *this; }

    // ---- virtual operations of the shell, in slot order ----
    // Fills the caption's inserts: %1 "Creating"/"Modifying"/"???", %2 the object count, %3
    // "Object" for exactly one, else "Objects".
    virtual CString& FormatTitle(CString& result, const CString& format);
    // Prepares the edited record for this run (see FeaObjectDialogBase); returns 0.
    virtual std::uint32_t LoadDialogState() { return 0; }
    // Multiple-selection check of a field; the binding overrides them.
    virtual void RegisterField(UINT id, std::size_t offset, std::size_t size);
    virtual void RegisterFlagField(UINT id, std::size_t offset, std::uint32_t mask);
    virtual void InitEditedEntry() {}
    // The edited record as the exchange fills it (empty for a shell without one).
    virtual std::span<const std::uint8_t> EditedRecord() const { return {}; }
    // A resumed run with a pick code: store the host's picked value where it belongs.
    virtual void OnResume(std::uint32_t code) { (void)code; }
    // Start-up, after the dialog state is loaded and before the first data exchange: fill lists
    // and subclass controls here, so that the exchange finds them ready.
    virtual void PrepareControls() {}
    // The element type shared by the edited geometry (ElementTypes.h); -1 for a mix, an
    // unknown part or no geometry.
    virtual std::int32_t ElementType() const { return -1; }

    // ---- data exchange helpers (record: normally the edited record) ----
    void ExchangeText(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset,
                      std::size_t size);
    void ExchangeDouble(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset);
    void ExchangeDoubleUnit(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset,
                            DisplayableUnit unit);
    // Registered as 8 bytes: the integer and the 4 bytes after it.
    void ExchangeInt(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset);
    // A load curve number: the 32-bit integer alone is compared and written back, so that a
    // difference in the field after it does not blank the curve.
    void ExchangeCurveNumber(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset);
    void ExchangeComboItemData(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset);
    void ExchangeComboItemDataOrNone(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset);
    // firstRadio: the first radio of a pair; true checks it (the second with invert).
    void ExchangeBoolRadio(CDataExchange* dx, UINT firstRadio, std::span<std::uint8_t> record, std::size_t offset,
                           bool invert = false);
    // values: the value of each radio of the group, in group order.
    void ExchangeEnumRadio(CDataExchange* dx, UINT firstRadio, std::span<std::uint8_t> record, std::size_t offset,
                           std::span<const std::int32_t> values);
    void ExchangeBoolCheck(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset,
                           bool invert = false);
    // Bits of a flag word: uncheckedMask is set while the box is unchecked, checkedMask while
    // it is checked.
    void ExchangeFlagCheck(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset,
                           std::uint32_t uncheckedMask, std::uint32_t checkedMask);
    // Shows string messageId (exclamation) and fails when the value is exactly 0.
    void ValidateNonZero(CDataExchange* dx, UINT id, double value, UINT messageId);
    // Bounds in the edit's own unit, or in a displayable unit.
    void ValidateRange(CDataExchange* dx, UINT id, double value, double min, double max);
    void ValidateRange(CDataExchange* dx, UINT id, double value, double min, double max, DisplayableUnit unit);
    void ValidateIntRange(CDataExchange* dx, UINT id, int value, int min, int max);
    // A direction: three component edits with their radios. exchange: exchange the
    // components; nonZero: a vector shorter than 1e-15 is refused with string 128 unless the
    // normal radio is checked. Saving stores the unit vector (a zero vector as it is).
    void ExchangeVector(CDataExchange* dx, const VectorGroup& group, std::span<std::uint8_t> record,
                        std::size_t xOffset, std::size_t yOffset, std::size_t zOffset, bool exchange, bool nonZero);
    void ExchangeVector(CDataExchange* dx, UINT xId, UINT yId, UINT zId, std::span<std::uint8_t> record,
                        std::size_t xOffset, std::size_t yOffset, std::size_t zOffset, UINT xRadio, UINT yRadio,
                        UINT zRadio, UINT customRadio, UINT selector, UINT further1, UINT further2, UINT further3,
                        bool exchange, bool nonZero, UINT normalRadio = kNoControl, bool noX = false);
    // A point or offset in lengths (displayable unit 1); not normalised. companions: further
    // controls blanked with the group when it is suppressed.
    void ExchangeVectorUnit(CDataExchange* dx, UINT xId, UINT yId, UINT zId, std::span<std::uint8_t> record,
                            std::size_t xOffset, std::size_t yOffset, std::size_t zOffset,
                            std::initializer_list<UINT> companions = {}, bool noX = false);
    void ExchangeVectorUnit(CDataExchange* dx, UINT xId, UINT yId, UINT zId, std::span<std::uint8_t> record,
                            std::size_t xOffset, std::size_t yOffset, std::size_t zOffset,
                            std::span<const UINT> companions, bool noX);

    // ---- declared fields and rules ----
    // Exchanges the declared fields in order, each followed by its checks (saving only).
    void ExchangeDeclared(CDataExchange* dx, const DialogDeclaration& declaration, std::span<std::uint8_t> record);
    // Applies the declared rules in order; only the suppressing ones when asked (before the
    // first exchange, so that the fields they suppress are shown blank).
    void ApplyRules(const DialogDeclaration& declaration, bool suppressionsOnly = false);
    // The X edit of a vector or point that leaves X out (FieldBinding::SkipsX) and its
    // companions: blank, disabled and suppressed.
    void LeaveOutX(const FieldBinding& binding);
    // A vector's direction kind: the chosen radio as 0 to 3 (X, Y, Z, custom).
    void ExchangeDirectionKind(CDataExchange* dx, const FieldBinding& binding, std::span<std::uint8_t> record);
    // Turns the edits of the declared real-number fields into expression edits.
    void MakeDeclaredCalcEdits(const DialogDeclaration& declaration);
    // The record field a binding names in this dialog's record layout; throws std::logic_error
    // for a name the layout does not have.
    const OrvDbRecord::FieldInfo& DeclaredField(const FieldBinding& binding) const;
    // The record field of component 0, 1 or 2 of a Vector or Point binding.
    const OrvDbRecord::FieldInfo& ComponentField(const FieldBinding& binding, int component) const;

    // ---- direction radios ----
    // A click on one of the group's radios: writes its vector into the edits, then derives the
    // radios from the texts.
    void OnDirectionRadio(const VectorGroup& group, UINT clicked);
    void UpdateDirectionRadios(const VectorGroup& group);

    // ---- expression edits ----
    // Turns the listed edits (ending with 0 or 0xFFFFFFFF) into expression edits owned by the
    // context block; call after the base initialisation.
    void MakeCalcEdits(const UINT* ids);
    void MakeCalcEdits(std::initializer_list<UINT> ids);

    // ---- pick requests ----
    // Saves without checks, skipping `ids` (ending with 0 or 0xFFFFFFFF), and ends with `code`.
    void EndWithCode(std::uint32_t code, const UINT* ids);
    void EndWithCode(std::uint32_t code, std::initializer_list<UINT> ids);

    // Fills a combo box with strings of the resource module, each with its item data.
    void FillComboItems(UINT comboId, std::initializer_list<std::pair<UINT, std::int32_t>> items);

    // ---- control lists (each ends with 0 or 0xFFFFFFFF) ----
    void DisableControls(const UINT* ids);
    void BlankAndDisableControls(const UINT* ids);
    void UncheckAndDisableControls(const UINT* ids);
    void ClearSelectionAndDisableControls(const UINT* ids);
    void MarkSuppressed(const UINT* ids);
    // Enabling leaves suppressed controls disabled.
    void EnableControls(const UINT* ids, bool enable = true);
    void ShowControls(const UINT* ids, bool show = true);
    bool IsSuppressed(UINT id) const { return context_->suppressedControls.count(id) != 0; }
    bool IsPickEnd(UINT id) const { return context_->pickEndControls.count(id) != 0; }

    // ---- coordinate systems and analysis types ----
    // The label of a coordinate system (null: the scenario's global one; "???" when none).
    CString GetCoordinateSystemLabel(const OrvDbRecord::DbCoordinateSystem* system) const;
    // Fills a combo box with the scenario's coordinate systems (item data: the id); with
    // gate, finishes with EnableForAnalysisType(gate1, gate2).
    void FillCoordinateSystemCombo(UINT comboId, bool gate = false, UINT gate1 = 0, UINT gate2 = 0);
    // The same for an extended combo box with the image of each system's type (images by type
    // code 0 to 3).
    void FillCoordinateSystemComboEx(UINT comboId, const int (&images)[4], bool gate = false, UINT gate1 = 0,
                                     UINT gate2 = 0);
    // Writes the label of the edit parameters' coordinate system into a static.
    void SetCoordinateSystemLabel(UINT staticId, bool gate = false, UINT gate1 = 0, UINT gate2 = 0);
    // Enables both controls for analysis types 0, 1, 2, 5, 6, 9, 10, 18, 19, 21 and disables
    // them otherwise; returns whether they are enabled.
    bool EnableForAnalysisType(UINT id1, UINT id2);
    // Nine controls: nothing for analysis types 2, 4, 21; otherwise the second and sixth are
    // suppressed and all nine disabled.
    void SuppressUnlessAnalysisTypes(UINT c1, UINT c2, UINT c3, UINT c4, UINT c5, UINT c6, UINT c7, UINT c8, UINT c9);
    // Up to seven controls (0 for absent ones): nothing for analysis types 2, 4, 5, 6, 7, 20,
    // 21; otherwise type codes 19, 25, 47, 93 only disable the fourth, and every other type
    // code suppresses the second and sixth and disables all.
    void SuppressUnlessAnalysisTypes(UINT c1, UINT c2, UINT c3, UINT c4, UINT c5, UINT c6, UINT c7);
    std::uint32_t AnalysisType() const;

    // ---- the window ----
    // The string of the current resource module (empty when it has none).
    static CString LoadResourceString(UINT id);

protected:
    BOOL OnInitDialog() override;
    // F1: the help string of the control as a text pop-up at the mouse position.
    LRESULT OnHelp(HELPINFO* info);

    // Registration in modify mode at the first meeting of a control in a run.
    void Register(UINT id, std::size_t offset, std::size_t size);
    void RegisterFlag(UINT id, std::size_t offset, std::uint32_t mask);
    // Whether an exchange helper goes on with this control (steps 1 to 3 of the pattern).
    bool BeginExchange(UINT id, std::size_t offset, std::size_t size, void (*showSuppressed)(HWND));
    // Steps 1 to 3 of the pattern for a radio group (suppressed: every radio unchecked and
    // disabled); prepares the first radio when the exchange goes on.
    bool BeginRadioExchange(CDataExchange* dx, UINT firstRadio, std::size_t offset, const std::vector<HWND>& group);
    // A 32-bit integer edit, compared across the selection over `registeredSize` bytes.
    void ExchangeInteger(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset,
                         std::size_t registeredSize);
    bool Saving(CDataExchange* dx) const { return dx->m_bSaveAndValidate != FALSE; }
    bool ChecksApply(CDataExchange* dx, UINT id) const;
    HWND Control(UINT id) const { return ::GetDlgItem(m_hWnd, int(id)); }
    std::vector<HWND> RadioGroup(UINT firstRadio) const;

    using UnitConverterWindowUtility::DDV_MinMaxDouble;
    using UnitConverterWindowUtility::DDV_MinMaxFloat;
    using UnitConverterWindowUtility::DDX_Text;
    using UnitConverterWindowUtility::GetUnitConverter;
    using UnitConverterWindowUtility::SetUnitConverter;

private:
    std::unique_ptr<FeaObjectDialogContext> context_;
};

}  // namespace DataModelDialogs
