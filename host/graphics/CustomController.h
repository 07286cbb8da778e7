#pragma once
// GfxUtil::ACustomController: a controller the 3-D view hands its input to while it runs, and
// GfxUtil::PointPickCustomController, the point-pick controller base that the dialogs derive from.

#include <cstdint>

#include "platform/win/AfxTypes.h"
#include "platform/win/WinTypes.h"

namespace GfxUtil {

// An event the view passes to its controller; the first 32-bit field is its code.
struct CustomControllerEvent {
    std::int32_t code = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The view's event codes that end a controller's run (view closed, tool changed, scene reset).
enum CustomControllerEventCode : std::int32_t {
    kEventViewClosed = 1,
    kEventToolChanged = 4,
    kEventSceneReset = 5,
};

class ACustomController {
public:
    virtual ~ACustomController();
    virtual bool IsRunning() const = 0;
    virtual bool IsFinished() const = 0;
    virtual void Deactivate() = 0;
    // True when the event was consumed.
    virtual bool HandleEvent(const CustomControllerEvent& event) = 0;
    virtual void Restart() = 0;
    // Input of the view, in view (pixel) coordinates.
    virtual void OnViewMouseMove(CPoint point) = 0;
    virtual void OnViewClick(CPoint point) = 0;
    virtual void OnViewUndo() = 0;
};

// Point picking: snap feedback while the mouse moves, a pick on a click that is accepted, and a
// back-up step (the view's undo). Every decision has a default that a derived class may replace.
class PointPickCustomController : public ACustomController {
public:
    // Cursor resource ids of the default cursors (arrow outside a snap zone, cross inside).
    static HICON DefaultNonSnappingCursor() { return reinterpret_cast<HICON>(std::uintptr_t{32512}); }
    static HICON DefaultSnappingCursor() { return reinterpret_cast<HICON>(std::uintptr_t{32515}); }

    PointPickCustomController() = default;
    PointPickCustomController(const PointPickCustomController&) = delete;
    PointPickCustomController& operator=(const PointPickCustomController&) = delete;
    ~PointPickCustomController() override;

    virtual HICON GetNonSnappingCursor() const { return DefaultNonSnappingCursor(); }
    virtual HICON GetSnappingCursor() const { return DefaultSnappingCursor(); }
    // The whole view is a snap zone by default.
    virtual bool TestSnapZone(CPoint point);
    virtual void OnEnterSnapZone(CPoint) {}
    virtual void OnLeaveSnapZone(CPoint) {}
    // Every pick inside the view is accepted by default.
    virtual bool AcceptPointPick(CPoint point);
    virtual void AdjustAcceptedPointPick(CPoint&) {}
    // An accepted pick at the view point.
    virtual void OnPointPicked(CPoint) {}
    // The view's undo: step back one pick.
    virtual void OnBackUp() {}
    // After the snap handling of each mouse move.
    virtual void OnMouseMove(CPoint) {}

    bool IsRunning() const override { return false; }
    bool IsFinished() const override { return false; }
    void Deactivate() override {}
    bool HandleEvent(const CustomControllerEvent&) override { return false; }
    void Restart() override {}
    void OnViewMouseMove(CPoint point) override;
    void OnViewClick(CPoint point) override;
    void OnViewUndo() override;

    // The cursor the view shows now, from the last mouse move.
    HICON GetCurrentCursor() const { return cursor_; }
    bool IsInSnapZone() const { return inSnapZone_; }

private:
    bool inSnapZone_ = false;
    HICON cursor_ = DefaultNonSnappingCursor();
};

}  // namespace GfxUtil
