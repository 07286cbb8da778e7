#pragma once
// InitialFluidVolumeController: the point-pick controller of the initial fluid volume dialog.
// Picks add points to the dialog, the view's undo withdraws one, and while the Edit Points
// dialog asks for one listed point the next pick (or undo) answers that request instead. The
// controller owns the preview widget that draws the picked points and the region in the view.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "dialogs/modeless/ModelessFeaObjectDialogBase.h"
#include "platform/win/CString.h"

namespace DataModelDialogs {

class InitialFluidVolumeDlg;

class InitialFluidVolumeController : public ModelessFeaObjectControllerBase {
public:
    using Xyz = std::array<double, 3>;

    // What the preview draws: labelled points, the region they span, the point still wanted.
    class AWidgetBase {
    public:
        virtual ~AWidgetBase();
        virtual void AddPoint(const Xyz& point, const CString& label) = 0;
        virtual void RemoveLastPoint() = 0;
        // Replaces every point.
        virtual void Rebuild(const std::vector<Xyz>& points, const std::vector<CString>& labels) = 0;
        // The next point follows the mouse at this view point.
        virtual void SetPendingPoint(CPoint view) = 0;
        // The Edit Points dialog opened or closed (the preview stops following the mouse).
        virtual void SetPointsDialogOpen(bool open) = 0;
    };

    explicit InitialFluidVolumeController(InitialFluidVolumeDlg& dialog);
    ~InitialFluidVolumeController() override;

    void OnPointPicked(CPoint view, double x, double y, double z) override;
    void OnPickUndo() override;
    void OnMouseMove(CPoint view) override;
    void Deactivate() override;
    bool HandleEvent(const GfxUtil::CustomControllerEvent& event) override;
    void Restart() override;

    // The preview, created on first use with the rendering system and the region shape; null
    // without a rendering system or while the dialog has no window.
    AWidgetBase* Preview();
    void DeletePreview() { preview_.reset(); }
    // Draws the dialog's points afresh.
    void RebuildPreview();

    // The Edit Points dialog asks for point code - 100; a non-empty text is shown at once.
    void RequestPoint(std::uint32_t code, const CString& statusText);
    std::uint32_t PendingRequest() const { return pendingCode_; }
    void SetPointsDialogOpen(bool open);

private:
    InitialFluidVolumeDlg& Ifv() const;
    void ClearRequest() {
        pendingCode_ = 0;
        pendingText_.Empty();
    }

    std::unique_ptr<AWidgetBase> preview_;
    bool pointsDialogOpen_ = false;
    std::uint32_t pendingCode_ = 0;
    CString pendingText_;
};

}  // namespace DataModelDialogs
