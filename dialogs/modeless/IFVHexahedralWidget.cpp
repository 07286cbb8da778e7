#include "dialogs/modeless/IFVHexahedralWidget.h"

#include <cmath>

#include "host/graphics/RenderingSystem.h"
#include "host/model/DbInitialFluidVolume.h"

namespace DataModelDialogs {

namespace {
using Xyz = IFVHexahedralWidget::Xyz;

// Edges of a hexahedron A B C D (bottom) A' B' C' D' (top), by point index.
constexpr int kHexEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                  {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

double Distance(const Xyz& a, const Xyz& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// Distance of p from the line through a and b (from a when a and b coincide).
double DistanceFromAxis(const Xyz& a, const Xyz& b, const Xyz& p) {
    const Xyz axis{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const Xyz ap{p[0] - a[0], p[1] - a[1], p[2] - a[2]};
    const double length = std::hypot(axis[0], axis[1], axis[2]);
    if (length == 0) return std::hypot(ap[0], ap[1], ap[2]);
    const Xyz cross{axis[1] * ap[2] - axis[2] * ap[1], axis[2] * ap[0] - axis[0] * ap[2], axis[0] * ap[1] - axis[1] * ap[0]};
    return std::hypot(cross[0], cross[1], cross[2]) / length;
}
}  // namespace

InitialFluidVolumeController::AWidgetBase::~AWidgetBase() = default;

IFVHexahedralWidget::IFVHexahedralWidget(GfxUtil::ARenderingSystem& view, std::uint32_t shape)
    : view_(view), shape_(shape) {}

IFVHexahedralWidget::~IFVHexahedralWidget() { view_.SetOverlay(GfxUtil::Overlay{}); }

void IFVHexahedralWidget::AddPoint(const Xyz& point, const CString& label) {
    points_.push_back(point);
    labels_.push_back(label);
    Draw();
}

void IFVHexahedralWidget::RemoveLastPoint() {
    if (points_.empty()) return;
    points_.pop_back();
    labels_.pop_back();
    Draw();
}

void IFVHexahedralWidget::Rebuild(const std::vector<Xyz>& points, const std::vector<CString>& labels) {
    points_ = points;
    labels_ = labels;
    labels_.resize(points_.size());
    Draw();
}

void IFVHexahedralWidget::SetPendingPoint(CPoint view) {
    pending_ = view;
    Draw();
}

void IFVHexahedralWidget::SetPointsDialogOpen(bool open) {
    if (open) pending_.reset();
    Draw();
}

void IFVHexahedralWidget::Draw() {
    GfxUtil::Overlay overlay;
    for (std::size_t i = 0; i < points_.size(); ++i)
        overlay.points.push_back({points_[i], std::wstring(labels_[i].GetString())});
    const auto n = int(points_.size());
    switch (shape_) {
    case OrvDbRecord::DbInitialFluidVolume::kHexahedral:
        for (const auto& edge : kHexEdges)
            if (edge[0] < n && edge[1] < n) overlay.edges.push_back({edge[0], edge[1]});
        break;
    case OrvDbRecord::DbInitialFluidVolume::kSpherical:
        if (n >= 2) overlay.spheres.push_back({points_[0], Distance(points_[0], points_[1])});
        break;
    case OrvDbRecord::DbInitialFluidVolume::kCylindrical:
        if (n >= 2) overlay.edges.push_back({0, 1});
        if (n >= 3) overlay.cylinders.push_back({points_[0], points_[1], DistanceFromAxis(points_[0], points_[1], points_[2])});
        break;
    default:
        break;
    }
    overlay.pending = pending_;
    view_.SetOverlay(overlay);
}

}  // namespace DataModelDialogs
