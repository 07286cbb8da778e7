#pragma once
// GfxUtil::ARenderingSystem: the host's 3-D view system as the dialogs see it (its view
// container, which routes the view's input to a custom controller, a camera that maps model
// points to view points, and an overlay that previews drawn on top of the model), and
// GfxUtil::RenderingSystem, the host's implementation.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/graphics/CustomController.h"

namespace GfxUtil {

// The views of a rendering system hand their input to the controllers registered here; the
// controller registered last that is running gets it.
class AViewContainer {
public:
    virtual ~AViewContainer();
    virtual void AddCustomController(ACustomController* controller) = 0;
    virtual void RemoveCustomController(ACustomController* controller) = 0;
    // The controller that gets the view's input now, or null.
    virtual ACustomController* GetActiveController() const = 0;
};

// What a preview draws over the model: points with labels, edges between them (indices into the
// points), spheres and cylinders, and a pending point that follows the mouse.
struct Overlay {
    using Xyz = std::array<double, 3>;
    struct Point {
        Xyz xyz{};
        std::wstring label;
    };
    struct Sphere {
        Xyz centre{};
        double radius = 0;
    };
    struct Cylinder {
        Xyz base{};
        Xyz top{};
        double radius = 0;
    };
    std::vector<Point> points;
    std::vector<std::array<int, 2>> edges;
    std::vector<Sphere> spheres;
    std::vector<Cylinder> cylinders;
    std::optional<CPoint> pending;  // view point of the mouse while a point is wanted
    bool empty() const { return points.empty() && edges.empty() && spheres.empty() && cylinders.empty() && !pending; }
};

// The model as the view shows it: its nodes, and its surfaces (closed outlines) and edges (open
// lines) as lists of indices into the nodes.
struct Scene {
    struct Node {
        std::uint32_t id = 0;
        Overlay::Xyz xyz{};
    };
    std::vector<Node> nodes;
    std::vector<std::vector<int>> surfaces;
    std::vector<std::vector<int>> edges;
    // The node with the id, or null.
    const Node* FindNode(std::uint32_t id) const;
};

// What lies under a view point: a node near it, else the front surface, else the view plane.
struct PickHit {
    enum Kind { kPlane, kNode, kSurface };
    Kind kind = kPlane;
    Overlay::Xyz xyz{};
    std::uint32_t nodeId = 0;  // kNode: the node's id
};

class ARenderingSystem {
public:
    // Which view container GetViewContainer returns.
    enum ViewContainerKind : int { kActiveViewContainer = 1 };

    virtual ~ARenderingSystem();
    // The container of the views of the kind; null for an unknown kind.
    virtual AViewContainer* GetViewContainer(int kind) = 0;
    // View point of a model point, and the model point under a view point (on the plane through
    // the view's centre parallel to the screen).
    virtual CPoint ModelToView(const Overlay::Xyz& model) const = 0;
    virtual Overlay::Xyz ViewToModel(CPoint view) const = 0;
    // Replaces what the previews draw.
    virtual void SetOverlay(const Overlay& overlay) = 0;
    virtual const Overlay& GetOverlay() const = 0;
};

// The host's view: an orthographic camera (rotation about the vertical and the horizontal axis,
// pan, zoom) over a viewport, one view container and the overlay.
class RenderingSystem : public ARenderingSystem, private AViewContainer {
public:
    struct Camera {
        double yawDegrees = 30;
        double pitchDegrees = 20;
        Overlay::Xyz target{};      // model point at the centre of the view
        double pixelsPerUnit = 10;  // zoom
        int width = 640, height = 480;
    };

    RenderingSystem();
    ~RenderingSystem() override;

    AViewContainer* GetViewContainer(int kind) override;
    CPoint ModelToView(const Overlay::Xyz& model) const override;
    Overlay::Xyz ViewToModel(CPoint view) const override;
    void SetOverlay(const Overlay& overlay) override;
    const Overlay& GetOverlay() const override { return overlay_; }
    int GetOverlayRevision() const { return overlayRevision_; }
    // Called after every change of the overlay (a view that lists what it draws).
    void SetOverlayListener(std::function<void()> listener) { overlayListener_ = std::move(listener); }

    Camera& GetCamera() { return camera_; }
    const Camera& GetCamera() const { return camera_; }
    // Fits the camera to a box of model points (target its centre, zoom so it fills the view).
    void FitTo(const std::vector<Overlay::Xyz>& points);

    // The model the view shows, and the camera fitted to it.
    void SetScene(Scene scene);
    const Scene& GetScene() const { return scene_; }
    void FitToScene();
    // A mouse drag by (dx, dy) pixels: turns the camera (half a degree a pixel, the tilt kept
    // within the poles) or moves the model with the mouse; a zoom by the factor about the centre.
    void Rotate(int dx, int dy);
    void Pan(int dx, int dy);
    void Zoom(double factor);
    // View coordinates of a model point before rounding, and its depth (larger: nearer).
    struct Projected {
        double x = 0, y = 0, depth = 0;
    };
    // The camera as it is when the frame is taken, with its screen axes worked out once, so that
    // many points project without trigonometry. A frame does not follow later changes of the
    // camera: whatever projects the scene takes a new one each time (a paint, a pick).
    class Frame {
    public:
        explicit Frame(const Camera& camera);
        Projected Project(const Overlay::Xyz& model) const;
        CPoint ModelToView(const Overlay::Xyz& model) const { return Rounded(Project(model)); }
        Overlay::Xyz ViewToModel(CPoint view) const;
        // Screen axes (right, up, towards the viewer) in model coordinates.
        const std::array<Overlay::Xyz, 3>& Axes() const { return axes_; }
        // The view point of a projected point.
        static CPoint Rounded(const Projected& p);

    private:
        std::array<Overlay::Xyz, 3> axes_;
        Overlay::Xyz target_;
        double pixelsPerUnit_, centreX_, centreY_;
    };
    Frame GetFrame() const { return Frame(camera_); }
    // Nodes within this many pixels of a view point are snapped to.
    static constexpr int kSnapPixels = 6;
    // What a pick at the view point takes: the nearest node within kSnapPixels, else the point
    // of the nearest surface under it, else the point on the view plane (ViewToModel).
    PickHit PointAt(CPoint view) const;

    // Input of the view, passed to the active controller; false when there is none.
    bool MouseMove(CPoint view);
    bool Click(CPoint view);
    bool Undo();
    bool SendEvent(std::int32_t code);

private:
    void AddCustomController(ACustomController* controller) override;
    void RemoveCustomController(ACustomController* controller) override;
    ACustomController* GetActiveController() const override;

    Camera camera_;
    Scene scene_;
    std::vector<ACustomController*> controllers_;
    Overlay overlay_;
    int overlayRevision_ = 0;
    std::function<void()> overlayListener_;
};

}  // namespace GfxUtil
