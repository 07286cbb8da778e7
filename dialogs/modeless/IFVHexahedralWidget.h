#pragma once
// IFVHexahedralWidget: the preview of an initial fluid volume in the host's view. It keeps the
// picked points with their labels and draws them, with the region they span (the edges of the
// hexahedron among the points present, the sphere from its centre and a point on it, the
// cylinder from the two ends of its axis and a point on its side), into the view's overlay.

#include <cstdint>
#include <optional>
#include <vector>

#include "dialogs/modeless/InitialFluidVolumeController.h"

namespace GfxUtil {
class ARenderingSystem;
}

namespace DataModelDialogs {

class IFVHexahedralWidget : public InitialFluidVolumeController::AWidgetBase {
public:
    using Xyz = InitialFluidVolumeController::Xyz;
    IFVHexahedralWidget(GfxUtil::ARenderingSystem& view, std::uint32_t shape);
    // Takes what it drew out of the view.
    ~IFVHexahedralWidget() override;

    void AddPoint(const Xyz& point, const CString& label) override;
    void RemoveLastPoint() override;
    void Rebuild(const std::vector<Xyz>& points, const std::vector<CString>& labels) override;
    void SetPendingPoint(CPoint view) override;
    void SetPointsDialogOpen(bool open) override;

private:
    void Draw();

    GfxUtil::ARenderingSystem& view_;
    std::uint32_t shape_;
    std::vector<Xyz> points_;
    std::vector<CString> labels_;
    std::optional<CPoint> pending_;
};

}  // namespace DataModelDialogs
