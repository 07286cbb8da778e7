#include "host/graphics/RenderingSystem.h"

#include <algorithm>
#include <cmath>
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

std::array<Overlay::Xyz, 3> RenderingSystem::Axes() const {
    const double yaw = camera_.yawDegrees * std::numbers::pi / 180;
    const double pitch = camera_.pitchDegrees * std::numbers::pi / 180;
    // Z is up in the model; the camera turns about it, then tilts about its own right axis.
    const Overlay::Xyz right{std::cos(yaw), std::sin(yaw), 0};
    const Overlay::Xyz toViewer{-std::sin(yaw) * std::cos(pitch), std::cos(yaw) * std::cos(pitch), std::sin(pitch)};
    const Overlay::Xyz up{std::sin(yaw) * std::sin(pitch), -std::cos(yaw) * std::sin(pitch), std::cos(pitch)};
    return {right, up, toViewer};
}

CPoint RenderingSystem::ModelToView(const Overlay::Xyz& model) const {
    const auto axes = Axes();
    double sx = 0, sy = 0;
    for (int i = 0; i < 3; ++i) {
        const double d = model[i] - camera_.target[i];
        sx += d * axes[0][i];
        sy += d * axes[1][i];
    }
    return CPoint(static_cast<int>(std::lround(camera_.width / 2.0 + sx * camera_.pixelsPerUnit)),
                  static_cast<int>(std::lround(camera_.height / 2.0 - sy * camera_.pixelsPerUnit)));
}

Overlay::Xyz RenderingSystem::ViewToModel(CPoint view) const {
    const auto axes = Axes();
    const double sx = (view.x - camera_.width / 2.0) / camera_.pixelsPerUnit;
    const double sy = (camera_.height / 2.0 - view.y) / camera_.pixelsPerUnit;
    Overlay::Xyz model{};
    for (int i = 0; i < 3; ++i) model[i] = camera_.target[i] + sx * axes[0][i] + sy * axes[1][i];
    return model;
}

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
