#include "dialogs/modeless/InitialFluidVolumeController.h"

#include "dialogs/modeless/IFVHexahedralWidget.h"
#include "dialogs/modeless/InitialFluidVolumeDlg.h"

namespace DataModelDialogs {

InitialFluidVolumeController::InitialFluidVolumeController(InitialFluidVolumeDlg& dialog)
    : ModelessFeaObjectControllerBase(dialog) {}

InitialFluidVolumeController::~InitialFluidVolumeController() = default;

InitialFluidVolumeDlg& InitialFluidVolumeController::Ifv() const {
    return static_cast<InitialFluidVolumeDlg&>(Dialog());
}

InitialFluidVolumeController::AWidgetBase* InitialFluidVolumeController::Preview() {
    // Only while the window is open: the window's end takes the preview out of the view, so
    // that none outlives the host's view.
    if (!preview_ && Ifv().HasWindow())
        if (GfxUtil::ARenderingSystem* view = Ifv().GetRenderingSystem())
            preview_ = std::make_unique<IFVHexahedralWidget>(*view, Ifv().RegionShape());
    return preview_.get();
}

void InitialFluidVolumeController::RebuildPreview() {
    if (AWidgetBase* preview = Preview()) preview->Rebuild(Ifv().PickedPoints(), Ifv().PickedLabels());
}

void InitialFluidVolumeController::OnPointPicked(CPoint, double x, double y, double z) {
    const InitialFluidVolumeController::Xyz point{x, y, z};
    if (pendingCode_ != 0) {
        const std::uint32_t code = pendingCode_;
        ClearRequest();
        Ifv().ResumePointRequest(code, &point);
        return;
    }
    Ifv().AddPoint(point);
}

void InitialFluidVolumeController::OnPickUndo() {
    if (pendingCode_ != 0) {
        const std::uint32_t code = pendingCode_;
        ClearRequest();
        Ifv().ResumePointRequest(code, nullptr);
        return;
    }
    Ifv().WithdrawPoint();
}

void InitialFluidVolumeController::OnMouseMove(CPoint view) {
    if (preview_ && Ifv().PickedCount() > 0 && !pointsDialogOpen_ && pendingCode_ != 0) preview_->SetPendingPoint(view);
}

void InitialFluidVolumeController::Deactivate() {
    preview_.reset();
    ClearRequest();
    ModelessFeaObjectControllerBase::Deactivate();
}

bool InitialFluidVolumeController::HandleEvent(const GfxUtil::CustomControllerEvent& event) {
    preview_.reset();
    return ModelessFeaObjectControllerBase::HandleEvent(event);
}

void InitialFluidVolumeController::Restart() {
    ModelessFeaObjectControllerBase::Restart();
    RebuildPreview();
    if (pendingCode_ != 0 && !pendingText_.IsEmpty())
        if (auto* events = HostEvents()) events->SetStatusMessage(pendingText_);
}

void InitialFluidVolumeController::RequestPoint(std::uint32_t code, const CString& statusText) {
    pendingCode_ = code;
    pendingText_ = statusText;
    if (!statusText.IsEmpty())
        if (auto* events = HostEvents()) events->SetStatusMessage(statusText);
}

void InitialFluidVolumeController::SetPointsDialogOpen(bool open) {
    pointsDialogOpen_ = open;
    if (preview_) preview_->SetPointsDialogOpen(open);
}

}  // namespace DataModelDialogs
