#include "host/graphics/RenderingSystem.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace GfxUtil {

AViewContainer::~AViewContainer() = default;
ARenderingSystem::~ARenderingSystem() = default;
RenderingSystem::RenderingSystem() = default;
RenderingSystem::~RenderingSystem() = default;

AViewContainer* RenderingSystem::GetViewContainer(int kind) {
    return kind == kActiveViewContainer ? static_cast<AViewContainer*>(this) : nullptr;
}

void RenderingSystem::AddCustomController(ACustomController* controller) {
    if (!controller) return;
    RemoveCustomController(controller);
    controllers_.push_back(controller);
}

void RenderingSystem::RemoveCustomController(ACustomController* controller) {
    std::erase(controllers_, controller);
}

ACustomController* RenderingSystem::GetActiveController() const {
    for (auto it = controllers_.rbegin(); it != controllers_.rend(); ++it)
        if ((*it)->IsRunning()) return *it;
    return nullptr;
}

RenderingSystem::Frame::Frame(const Camera& camera)
    : target_(camera.target),
      pixelsPerUnit_(camera.pixelsPerUnit),
      centreX_(camera.width / 2.0),
      centreY_(camera.height / 2.0) {
    const double yaw = camera.yawDegrees * std::numbers::pi / 180;
    const double pitch = camera.pitchDegrees * std::numbers::pi / 180;
    // Z is up in the model; the camera turns about it, then tilts about its own right axis.
    // Right, up and towards the viewer form a right-handed frame: a positive tilt looks down.
    const double cosYaw = std::cos(yaw), sinYaw = std::sin(yaw), cosPitch = std::cos(pitch), sinPitch = std::sin(pitch);
    axes_[0] = {cosYaw, sinYaw, 0};
    axes_[1] = {-sinYaw * sinPitch, cosYaw * sinPitch, cosPitch};
    axes_[2] = {sinYaw * cosPitch, -cosYaw * cosPitch, sinPitch};
}

RenderingSystem::Projected RenderingSystem::Frame::Project(const Overlay::Xyz& model) const {
    double sx = 0, sy = 0, depth = 0;
    for (int i = 0; i < 3; ++i) {
        const double d = model[i] - target_[i];
        sx += d * axes_[0][i];
        sy += d * axes_[1][i];
        depth += d * axes_[2][i];
    }
    return {centreX_ + sx * pixelsPerUnit_, centreY_ - sy * pixelsPerUnit_, depth};
}

CPoint RenderingSystem::Frame::Rounded(const Projected& p) {
    return CPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
}

Overlay::Xyz RenderingSystem::Frame::ViewToModel(CPoint view) const {
    const double sx = (view.x - centreX_) / pixelsPerUnit_;
    const double sy = (centreY_ - view.y) / pixelsPerUnit_;
    Overlay::Xyz model{};
    for (int i = 0; i < 3; ++i) model[i] = target_[i] + sx * axes_[0][i] + sy * axes_[1][i];
    return model;
}

CPoint RenderingSystem::ModelToView(const Overlay::Xyz& model) const { return GetFrame().ModelToView(model); }

Overlay::Xyz RenderingSystem::ViewToModel(CPoint view) const { return GetFrame().ViewToModel(view); }

void RenderingSystem::SetOverlay(const Overlay& overlay) {
    overlay_ = overlay;
    ++overlayRevision_;
    if (overlayListener_) overlayListener_();
}

void RenderingSystem::FitTo(const std::vector<Overlay::Xyz>& points) {
    if (points.empty()) return;
    Overlay::Xyz lo = points.front(), hi = points.front();
    for (const auto& p : points)
        for (int i = 0; i < 3; ++i) lo[i] = std::min(lo[i], p[i]), hi[i] = std::max(hi[i], p[i]);
    double extent = 0;
    for (int i = 0; i < 3; ++i) {
        camera_.target[i] = (lo[i] + hi[i]) / 2;
        extent = std::max(extent, hi[i] - lo[i]);
    }
    // The box's diagonal fits in the smaller side of the view with a margin.
    const double diagonal = extent * std::sqrt(3.0);
    camera_.pixelsPerUnit = diagonal > 0 ? 0.8 * std::min(camera_.width, camera_.height) / diagonal : 10;
}

const Scene::Node* Scene::FindNode(std::uint32_t id) const {
    for (const Node& node : nodes)
        if (node.id == id) return &node;
    return nullptr;
}

void RenderingSystem::SetScene(Scene scene) {
    // Indices that name no node would be read out of range: such lists lose those entries.
    const int count = int(scene.nodes.size());
    for (auto* lists : {&scene.surfaces, &scene.edges})
        for (auto& list : *lists) std::erase_if(list, [count](int index) { return index < 0 || index >= count; });
    scene_ = std::move(scene);
}

void RenderingSystem::FitToScene() {
    std::vector<Overlay::Xyz> points;
    points.reserve(scene_.nodes.size());
    for (const Scene::Node& node : scene_.nodes) points.push_back(node.xyz);
    FitTo(points);
    if (points.empty()) return;
    // The box's outline as the camera sees it fills most of the view: a flat or long model
    // needs no room for the box's diagonal.
    const Frame frame = GetFrame();
    const auto& axes = frame.Axes();
    double lo[2] = {0, 0}, hi[2] = {0, 0};
    for (const auto& p : points)
        for (int a = 0; a < 2; ++a) {
            double s = 0;
            for (int i = 0; i < 3; ++i) s += (p[i] - camera_.target[i]) * axes[std::size_t(a)][i];
            lo[a] = std::min(lo[a], s), hi[a] = std::max(hi[a], s);
        }
    // Centred on the target, so each side takes twice its larger half.
    const double across = 2 * std::max(-lo[0], hi[0]), upward = 2 * std::max(-lo[1], hi[1]);
    const double scale = std::min(across > 0 ? camera_.width / across : HUGE_VAL, upward > 0 ? camera_.height / upward : HUGE_VAL);
    if (std::isfinite(scale)) camera_.pixelsPerUnit = 0.85 * scale;
}

void RenderingSystem::Rotate(int dx, int dy) {
    camera_.yawDegrees = std::remainder(camera_.yawDegrees - dx * 0.5, 360.0);
    camera_.pitchDegrees = std::clamp(camera_.pitchDegrees + dy * 0.5, -90.0, 90.0);
}

void RenderingSystem::Pan(int dx, int dy) {
    const auto axes = GetFrame().Axes();
    for (int i = 0; i < 3; ++i) camera_.target[i] -= (dx * axes[0][i] - dy * axes[1][i]) / camera_.pixelsPerUnit;
}

void RenderingSystem::Zoom(double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    camera_.pixelsPerUnit = std::clamp(camera_.pixelsPerUnit * factor, 1e-9, 1e12);
}

namespace {
// Whether (x, y) lies inside the polygon through the points of `outline` (even-odd rule).
bool Inside(const std::vector<int>& outline, const std::vector<RenderingSystem::Projected>& points, double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
        const auto& a = points[std::size_t(outline[i])];
        const auto& b = points[std::size_t(outline[j])];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}
}  // namespace

PickHit RenderingSystem::PointAt(CPoint view) const {
    // Every node is projected once, for the snap and for the surfaces' outlines.
    const Frame frame = GetFrame();
    std::vector<Projected> projected;
    projected.reserve(scene_.nodes.size());
    PickHit hit;
    hit.xyz = frame.ViewToModel(view);
    // The nearest node; of nodes equally near, the one nearer the viewer.
    double best = double(kSnapPixels) * kSnapPixels + 0.5, bestDepth = 0;
    for (const Scene::Node& node : scene_.nodes) {
        const Projected& p = projected.emplace_back(frame.Project(node.xyz));
        const double d = (p.x - view.x) * (p.x - view.x) + (p.y - view.y) * (p.y - view.y);
        if (d < best || (d == best && hit.kind == PickHit::kNode && p.depth > bestDepth)) {
            best = d, bestDepth = p.depth;
            hit = {PickHit::kNode, node.xyz, node.id};
        }
    }
    if (hit.kind == PickHit::kNode) return hit;
    // The ray through the view point towards the viewer meets each surface's plane (its normal by
    // Newell's method); the nearest surface whose outline holds the view point wins.
    const Overlay::Xyz origin = hit.xyz;
    const Overlay::Xyz& toViewer = frame.Axes()[2];
    double nearest = -std::numeric_limits<double>::infinity();
    for (const auto& surface : scene_.surfaces) {
        if (surface.size() < 3 || !Inside(surface, projected, view.x, view.y)) continue;
        Overlay::Xyz normal{}, centre{};
        for (std::size_t i = 0; i < surface.size(); ++i) {
            const auto& a = scene_.nodes[std::size_t(surface[i])].xyz;
            const auto& b = scene_.nodes[std::size_t(surface[(i + 1) % surface.size()])].xyz;
            normal[0] += (a[1] - b[1]) * (a[2] + b[2]);
            normal[1] += (a[2] - b[2]) * (a[0] + b[0]);
            normal[2] += (a[0] - b[0]) * (a[1] + b[1]);
            for (int k = 0; k < 3; ++k) centre[k] += a[k] / double(surface.size());
        }
        double along = 0, offset = 0;
        for (int k = 0; k < 3; ++k) {
            along += normal[k] * toViewer[k];
            offset += normal[k] * (centre[k] - origin[k]);
        }
        if (std::abs(along) < 1e-12) continue;  // seen edge-on
        const double t = offset / along;
        if (t <= nearest) continue;
        nearest = t;
        hit.kind = PickHit::kSurface;
        for (int k = 0; k < 3; ++k) hit.xyz[k] = origin[k] + t * toViewer[k];
    }
    return hit;
}

bool RenderingSystem::MouseMove(CPoint view) {
    ACustomController* controller = GetActiveController();
    if (!controller) return false;
    controller->OnViewMouseMove(view);
    return true;
}

bool RenderingSystem::Click(CPoint view) {
    ACustomController* controller = GetActiveController();
    if (!controller) return false;
    controller->OnViewClick(view);
    return true;
}

bool RenderingSystem::Undo() {
    ACustomController* controller = GetActiveController();
    if (!controller) return false;
    controller->OnViewUndo();
    return true;
}

// Events go to every registered controller that is running, newest first, until one consumes it.
bool RenderingSystem::SendEvent(std::int32_t code) {
    const CustomControllerEvent event{code, 0, 0};
    const auto controllers = controllers_;
    for (auto it = controllers.rbegin(); it != controllers.rend(); ++it)
        if ((*it)->IsRunning() && (*it)->HandleEvent(event)) return true;
    return false;
}

}  // namespace GfxUtil
