#pragma once
// FeaObjectDialogBase: the base of every modal load and boundary condition dialog. It joins
// the shell (FeaObjectPropertiesImplDlg) with the record binding for RURIVO_LOADS_V1_ENTRY
// records, runs the dialog for the host (ShowDialog), prepares the edited record at start-up
// (LoadDialogState) and binds the description field after the dialog's own exchange.

#include "dialogs/objectdialogs/FeaObjectPropertiesImpl.h"
#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"

namespace DataModelDialogs {

class FeaObjectDialogBase;
using FeaObjectDialogBinding = FeaObjectPropertiesImpl<FeaObjectDialogBase, OrvDbRecord::DbFeaObject, RURIVO_LOADS_V1_ENTRY,
                                                       AFeaObjectPropertiesDialogGeometryFunctor>;

class FeaObjectDialogBase : public FeaObjectPropertiesImplDlg, public FeaObjectDialogBinding {
public:
    FeaObjectDialogBase(UINT templateId, CWnd* parent, std::uint32_t typeCode);
    // A dialog made of a declaration (which must outlive it), on the template the factory
    // serves for the type code. The shell exchanges the declared fields, applies the rules and
    // wires the curve buttons; the dialog adds only what the declaration cannot say.
    FeaObjectDialogBase(const DialogDeclaration& declaration, CWnd* parent, std::uint32_t typeCode);
    ~FeaObjectDialogBase() override;

    AFeaObjectPropertiesDialogBase* GetPropertiesDialog() override { return this; }
    using FeaObjectPropertiesImplDlg::Context;

    // Runs the dialog modally with the library's resources current: 0 OK, 1 Cancel (also when
    // the dialog could not be shown), otherwise the pick code it ended with.
    std::uint32_t ShowDialog(std::uint32_t resumeCode) override;

    // Resume code 0: the edited record afresh (InitEditedEntry) and, in modify mode, one
    // record per object; 1: the previous edits; any other: OnResume with the code.
    std::uint32_t LoadDialogState() override;
    void RegisterField(UINT id, std::size_t offset, std::size_t size) override;
    void RegisterFlagField(UINT id, std::size_t offset, std::uint32_t mask) override;
    void InitEditedEntry() override;

    // The edited record as the exchange helpers take it.
    std::span<std::uint8_t> Edited() { return std::span<std::uint8_t>(GetEditedEntry().bytes); }
    std::span<const std::uint8_t> EditedRecord() const override;
    // Null for a dialog that is not declared.
    const DialogDeclaration* Declaration() const { return declaration_; }
    std::int32_t ElementType() const override;

protected:
    // Declared: the fields in order, then, when loading, the rules and the mixed values of the
    // suppressed fields. Otherwise the description (1011, offset 12, 256 bytes); a dialog that
    // is not declared calls it after its own exchange.
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Declared: a pick made for a selector button comes back into its group's fields.
    void OnResume(std::uint32_t code) override;
    // Declared: the real-number edits become expression edits, and the suppressing rules apply.
    void PrepareControls() override;
    // A click of a button that a rule reads applies the rules again.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Saves, then stays open on a field that a "not negative" check refused.
    void OnOK() override;
    // Closes up a hidden row: every control that starts below `hidden` moves up by the distance
    // between the tops of `hidden` and `next`, and the dialog shrinks by as much.
    void CloseUpRow(UINT hidden, UINT next);
    // Closes up a hidden block at the bottom of a group box: the group ends where `hidden`
    // began, every control below the group moves up by as much, and the dialog shrinks.
    void CloseUpGroup(UINT group, UINT hidden);

private:
    // Moves every control whose top is at or below `top` up by `shift`, and shrinks the dialog.
    void MoveUpFrom(int top, int shift);
    // Tells each suppressed field's control which values the selected objects have.
    void PublishMixedValues();

    const DialogDeclaration* declaration_ = nullptr;
    static LRESULT TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC savedProc_ = nullptr;
};

}  // namespace DataModelDialogs
