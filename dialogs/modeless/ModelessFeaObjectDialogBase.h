#pragma once
// ModelessFeaObjectDialogBase: the modeless counterpart of the FEA object dialog shell. It stays
// open beside the 3-D view, keeps the host's rendering system and Events callbacks, installs a
// point-pick controller (ModelessFeaObjectControllerBase) in the view and reports OK and Cancel
// through Events instead of ending a modal loop. ModelessFeaObjectDialogBase_T adds the record
// binding of one record type.

#include <cstdint>
#include <cstring>
#include <memory>

#include "dialogs/factory/DataModelDialogs.h"
#include "dialogs/objectdialogs/FeaObjectPropertiesImpl.h"
#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"
#include "host/graphics/CustomController.h"

namespace DataModelDialogs {

class ModelessFeaObjectDialogBase;

// The controller the dialog installs in the host's view: every decision about picking goes to
// the host's Events, with the graphics base class's behaviour where the host has no answer.
class ModelessFeaObjectControllerBase : public GfxUtil::PointPickCustomController {
public:
    explicit ModelessFeaObjectControllerBase(ModelessFeaObjectDialogBase& dialog) : dialog_(&dialog) {}
    ~ModelessFeaObjectControllerBase() override;

    ModelessFeaObjectDialogBase& Dialog() const { return *dialog_; }
    void SetActive(bool active) { active_ = active; }
    // A new run: active, and no longer finished by an event of an earlier run.
    void Activate() { active_ = true, finished_ = false; }

    // ---- the picks, supplied by the concrete controller ----
    virtual void OnPointPicked(CPoint view, double x, double y, double z) = 0;
    virtual void OnPickUndo() = 0;

    // ---- overrides of the point-pick base ----
    HICON GetNonSnappingCursor() const override;
    HICON GetSnappingCursor() const override;
    bool TestSnapZone(CPoint point) override;
    void OnEnterSnapZone(CPoint point) override;
    void OnLeaveSnapZone(CPoint point) override;
    bool AcceptPointPick(CPoint point) override;
    void AdjustAcceptedPointPick(CPoint& point) override;
    // Asks the host for the model point under the view point, then OnPointPicked with both.
    void OnPointPicked(CPoint view) override;
    void OnBackUp() override { OnPickUndo(); }

    // ---- the custom controller face ----
    bool IsRunning() const override { return active_ && !finished_; }
    bool IsFinished() const override { return finished_; }
    // Destroys the dialog's window and stops the controller.
    void Deactivate() override;
    // Codes 1, 4 and 5 finish the controller and are consumed.
    bool HandleEvent(const GfxUtil::CustomControllerEvent& event) override;
    void Restart() override { finished_ = false; }

protected:
    AModelessFeaObjectPropertiesDialog::Events* HostEvents() const;

private:
    ModelessFeaObjectDialogBase* dialog_;
    bool active_ = false;
    bool finished_ = false;
};

class ModelessFeaObjectDialogBase : public FeaObjectPropertiesImplDlg, public AModelessFeaObjectPropertiesDialog {
public:
    ModelessFeaObjectDialogBase(UINT templateId, CWnd* parent, std::uint32_t typeCode);
    ~ModelessFeaObjectDialogBase() override;

    bool IsModeless() const override { return true; }

    // ---- AModelessFeaObjectPropertiesDialog ----
    // Creates the controller on first use, activates it, registers it with the view container
    // and creates the window. False when the window could not be created.
    bool ShowModeless() override;
    CDialog* GetWindow() override { return this; }
    Events* GetEvents() override { return state_->events; }
    GfxUtil::ARenderingSystem* GetRenderingSystem() override { return state_->renderingSystem; }
    // Stores both and tells the events about the dialog while no window exists; otherwise brings
    // the window to the top and keeps what it had.
    void SetUp(GfxUtil::ARenderingSystem* renderingSystem, Events* events) override;

    // A new controller for this dialog (the caller owns it).
    virtual ModelessFeaObjectControllerBase* CreateController() = 0;
    ModelessFeaObjectControllerBase* Controller() const { return state_->controller.get(); }
    // Hiding the window on its way out is no Cancel.
    BOOL DestroyWindow() override;
    // True while the window exists.
    bool HasWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

protected:
    // UpdateData(TRUE), then the events' OnOK; the window stays open.
    void OnOK() override;
    // The close sequence.
    void OnCancel() override;
    // Default handling of the message that closes, then Events::OnCancel, then destroy the
    // window when it still exists.
    void CloseSequence(UINT message, WPARAM wParam, LPARAM lParam);
    // Whether hiding the window closes it now (a dialog that hides itself on purpose says no).
    virtual bool HidingCloses() const { return true; }
    // The window is being destroyed (the controller stops and leaves the view first).
    virtual void OnWindowGone() {}
    // The template ShowModeless creates the window from.
    virtual UINT ModelessTemplate() const { return m_nIDTemplate; }

private:
    struct ModelessState {
        Events* events = nullptr;
        GfxUtil::ARenderingSystem* renderingSystem = nullptr;
        std::unique_ptr<ModelessFeaObjectControllerBase> controller;
    };
    std::unique_ptr<ModelessState> state_;
    bool closing_ = false;  // in the close sequence or being destroyed
};

// The binding of one record type for a modeless dialog.
template <class Record, class Entry, class GeometryFunctor>
class ModelessFeaObjectDialogBase_T
    : public ModelessFeaObjectDialogBase,
      public FeaObjectPropertiesImpl<ModelessFeaObjectDialogBase_T<Record, Entry, GeometryFunctor>, Record, Entry,
                                     GeometryFunctor> {
public:
    using Binding = FeaObjectPropertiesImpl<ModelessFeaObjectDialogBase_T, Record, Entry, GeometryFunctor>;
    ModelessFeaObjectDialogBase_T(UINT templateId, CWnd* parent, std::uint32_t typeCode)
        : ModelessFeaObjectDialogBase(templateId, parent, typeCode) {
        Binding::Reset();
    }

    AFeaObjectPropertiesDialogBase* GetPropertiesDialog() override { return this; }
    using FeaObjectPropertiesImplDlg::Context;
    // A modeless dialog is not run modally: nothing is shown.
    std::uint32_t ShowDialog(std::uint32_t) override { return 0x8000FFFFu; }
    std::uint64_t GetMaxObjectCount() override { return 1; }
    // The dialog edits at most one object.
    void AddFeaObject(const Record* object) override {
        if (Binding::GetFeaObjects().empty()) Binding::AddFeaObject(object);
    }
    void RegisterField(UINT id, std::size_t offset, std::size_t size) override {
        Binding::RegisterEntryField(id, offset, size, 0);
    }
    void RegisterFlagField(UINT id, std::size_t offset, std::uint32_t mask) override {
        Binding::RegisterEntryField(id, offset, 4, mask);
    }
    std::span<std::uint8_t> Edited() { return std::span<std::uint8_t>(Binding::GetEditedEntry().bytes); }
};

}  // namespace DataModelDialogs
