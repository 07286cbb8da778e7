#pragma once
// GfxUtil::ViewWindow: the host's 3-D view on screen. It draws the rendering system's scene (the
// model's surfaces, edges and nodes with their ids) and the previews' overlay (points with their
// labels, edges, spheres, cylinders, the pending point) through its camera, into the window's
// display list, so every front end shows it and tests can read it. The mouse turns the camera
// (left drag), moves the model (Shift + left drag, or middle drag) and zooms (wheel); a move or a
// click without a drag is the view's input to the running controller (RenderingSystem).

#include "host/graphics/RenderingSystem.h"
#include "platform/win/Afx.h"

namespace GfxUtil {

class ViewWindow : public CWnd {
public:
    // Pixels the mouse may move between button down and up and still be a click.
    static constexpr int kClickSlop = 3;

    explicit ViewWindow(RenderingSystem& view);
    // Takes over a child control of `parent` (a static frame), sizes the camera to it and fits it
    // to the scene.
    BOOL Attach(int id, CWnd* parent);
    // The camera's viewport follows the window's client area.
    void SizeCameraToWindow();

private:
    enum class Drag { None, Rotate, Pan };
    void OnPaint();
    void OnButtonDown(CPoint at, Drag drag);
    void OnButtonUp(CPoint at);
    void OnMove(CPoint at);

    RenderingSystem& view_;
    Drag drag_ = Drag::None;
    CPoint pressedAt_, lastAt_;
    bool dragged_ = false;
};

}  // namespace GfxUtil
