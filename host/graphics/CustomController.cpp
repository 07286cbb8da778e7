#include "host/graphics/CustomController.h"

namespace GfxUtil {

ACustomController::~ACustomController() = default;
PointPickCustomController::~PointPickCustomController() = default;

bool PointPickCustomController::TestSnapZone(CPoint point) { return point.x >= 0 && point.y >= 0; }
bool PointPickCustomController::AcceptPointPick(CPoint point) { return point.x >= 0 && point.y >= 0; }

void PointPickCustomController::OnViewMouseMove(CPoint point) {
    const bool inside = TestSnapZone(point);
    if (inside != inSnapZone_) {
        inSnapZone_ = inside;
        if (inside)
            OnEnterSnapZone(point);
        else
            OnLeaveSnapZone(point);
    }
    cursor_ = inside ? GetSnappingCursor() : GetNonSnappingCursor();
    OnMouseMove(point);
}

void PointPickCustomController::OnViewClick(CPoint point) {
    if (!AcceptPointPick(point)) return;
    AdjustAcceptedPointPick(point);
    OnPointPicked(point);
}

void PointPickCustomController::OnViewUndo() { OnBackUp(); }

}  // namespace GfxUtil
