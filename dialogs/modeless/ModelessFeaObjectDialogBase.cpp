#include "dialogs/modeless/ModelessFeaObjectDialogBase.h"

#include "dialogs/controls/ResourceModule.h"
#include "host/graphics/RenderingSystem.h"

namespace DataModelDialogs {

// ---- controller ----

ModelessFeaObjectControllerBase::~ModelessFeaObjectControllerBase() = default;

AModelessFeaObjectPropertiesDialog::Events* ModelessFeaObjectControllerBase::HostEvents() const {
    return dialog_->GetEvents();
}

HICON ModelessFeaObjectControllerBase::GetNonSnappingCursor() const {
    HICON cursor = HostEvents() ? HostEvents()->GetNonSnappingCursor() : nullptr;
    return cursor ? cursor : PointPickCustomController::GetNonSnappingCursor();
}

HICON ModelessFeaObjectControllerBase::GetSnappingCursor() const {
    HICON cursor = HostEvents() ? HostEvents()->GetSnappingCursor() : nullptr;
    return cursor ? cursor : PointPickCustomController::GetSnappingCursor();
}

bool ModelessFeaObjectControllerBase::TestSnapZone(CPoint point) {
    const auto answer = HostEvents() ? HostEvents()->TestSnapZone(point) : AModelessFeaObjectPropertiesDialog::Events::NoAnswer;
    if (answer == AModelessFeaObjectPropertiesDialog::Events::NoAnswer) return PointPickCustomController::TestSnapZone(point);
    return answer != 0;
}

void ModelessFeaObjectControllerBase::OnEnterSnapZone(CPoint point) {
    if (auto* events = HostEvents()) events->OnEnterSnapZone(point);
}

void ModelessFeaObjectControllerBase::OnLeaveSnapZone(CPoint point) {
    if (auto* events = HostEvents()) events->OnLeaveSnapZone(point);
}

bool ModelessFeaObjectControllerBase::AcceptPointPick(CPoint point) {
    const auto answer = HostEvents() ? HostEvents()->AcceptPointPick(point) : AModelessFeaObjectPropertiesDialog::Events::NoAnswer;
    if (answer == AModelessFeaObjectPropertiesDialog::Events::NoAnswer) return PointPickCustomController::AcceptPointPick(point);
    return answer != 0;
}

void ModelessFeaObjectControllerBase::AdjustAcceptedPointPick(CPoint& point) {
    if (auto* events = HostEvents()) events->AdjustAcceptedPointPick(point);
}

void ModelessFeaObjectControllerBase::OnPointPicked(CPoint view) {
    // Without the host there is no way from the view point to a model point.
    auto* events = HostEvents();
    if (!events) return;
    double model[3] = {0, 0, 0};
    events->PickPoint(view, model);
    OnPointPicked(view, model[0], model[1], model[2]);
}

void ModelessFeaObjectControllerBase::Deactivate() {
    if (dialog_->HasWindow()) dialog_->DestroyWindow();
    active_ = false;
}

bool ModelessFeaObjectControllerBase::HandleEvent(const GfxUtil::CustomControllerEvent& event) {
    switch (event.code) {
    case GfxUtil::kEventViewClosed:
    case GfxUtil::kEventToolChanged:
    case GfxUtil::kEventSceneReset:
        finished_ = true;
        return true;
    default:
        return PointPickCustomController::HandleEvent(event);
    }
}

// ---- dialog ----

ModelessFeaObjectDialogBase::ModelessFeaObjectDialogBase(UINT templateId, CWnd* parent, std::uint32_t typeCode)
    : FeaObjectPropertiesImplDlg(templateId, parent, typeCode), state_(std::make_unique<ModelessState>()) {
    HandleMessage(WM_CLOSE, [this](WPARAM wParam, LPARAM lParam) -> LRESULT {
        CloseSequence(WM_CLOSE, wParam, lParam);
        return 0;
    });
    HandleMessage(WM_SHOWWINDOW, [this](WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (wParam || closing_ || !HidingCloses()) return Default();
        CloseSequence(WM_SHOWWINDOW, wParam, lParam);
        return 0;
    });
    HandleMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> LRESULT {
        // A controller without its window takes no more input from the view.
        OnWindowGone();
        if (state_->controller) {
            state_->controller->SetActive(false);
            if (state_->renderingSystem)
                if (auto* container = state_->renderingSystem->GetViewContainer(GfxUtil::ARenderingSystem::kActiveViewContainer))
                    container->RemoveCustomController(state_->controller.get());
        }
        state_->events = nullptr;
        state_->renderingSystem = nullptr;
        CWnd::OnDestroy();
        return 0;
    });
}

// The controller goes first: its preview may still draw in the view.
ModelessFeaObjectDialogBase::~ModelessFeaObjectDialogBase() {
    if (state_->controller) state_->controller->SetActive(false);
}

void ModelessFeaObjectDialogBase::SetUp(GfxUtil::ARenderingSystem* renderingSystem, Events* events) {
    if (HasWindow()) {
        BringWindowToTop();
        return;
    }
    state_->renderingSystem = renderingSystem;
    state_->events = events;
    if (events) events->SetDialog(this);
}

bool ModelessFeaObjectDialogBase::ShowModeless() {
    if (HasWindow()) return false;
    if (!state_->controller) state_->controller.reset(CreateController());
    if (!state_->controller) return false;
    state_->controller->Activate();
    if (state_->renderingSystem)
        if (auto* container = state_->renderingSystem->GetViewContainer(GfxUtil::ARenderingSystem::kActiveViewContainer))
            container->AddCustomController(state_->controller.get());
    ResourceModuleScope resources;
    if (!Create(ModelessTemplate(), m_pParentWnd)) {
        state_->controller->SetActive(false);
        return false;
    }
    ShowWindow(SW_SHOW);
    return true;
}

void ModelessFeaObjectDialogBase::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (auto* events = GetEvents()) events->OnOK();
}

void ModelessFeaObjectDialogBase::OnCancel() { CloseSequence(WM_CLOSE, 0, 0); }

BOOL ModelessFeaObjectDialogBase::DestroyWindow() {
    const bool wasClosing = closing_;
    closing_ = true;
    const BOOL destroyed = FeaObjectPropertiesImplDlg::DestroyWindow();
    closing_ = wasClosing;
    return destroyed;
}

void ModelessFeaObjectDialogBase::CloseSequence(UINT message, WPARAM wParam, LPARAM lParam) {
    if (closing_) return;
    closing_ = true;
    // The default handling of WM_CLOSE in a dialog is a Cancel command, which is what led here.
    if (message != WM_CLOSE) DefWindowProc(message, wParam, lParam);
    if (auto* events = GetEvents()) events->OnCancel();
    if (HasWindow()) DestroyWindow();
    closing_ = false;
}

}  // namespace DataModelDialogs
