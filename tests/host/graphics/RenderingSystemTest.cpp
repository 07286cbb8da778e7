// The view's input reaches the running point-pick controller with its snap, accept and adjust
// decisions, and the camera maps model points to view points and back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/graphics/RenderingSystem.h"

namespace {

using GfxUtil::PointPickCustomController;

class RecordingController : public PointPickCustomController {
public:
    bool running = true;
    std::vector<std::string> calls;
    bool IsRunning() const override { return running; }
    bool HandleEvent(const GfxUtil::CustomControllerEvent& event) override {
        calls.push_back("event " + std::to_string(event.code));
        return event.code == 1;
    }
    bool TestSnapZone(CPoint point) override { return point.x < 100; }
    void OnEnterSnapZone(CPoint) override { calls.push_back("enter"); }
    void OnLeaveSnapZone(CPoint) override { calls.push_back("leave"); }
    bool AcceptPointPick(CPoint point) override { return point.y != 13; }
    void AdjustAcceptedPointPick(CPoint& point) override { point.x += 1; }
    void OnPointPicked(CPoint point) override { calls.push_back("picked " + std::to_string(point.x)); }
    void OnBackUp() override { calls.push_back("back up"); }
};

TEST(RenderingSystemTest, RoutesInputToTheNewestRunningController) {
    GfxUtil::RenderingSystem view;
    RecordingController older, newer;
    GfxUtil::AViewContainer* container = view.GetViewContainer(GfxUtil::ARenderingSystem::kActiveViewContainer);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(view.GetViewContainer(2), nullptr);
    EXPECT_FALSE(view.Click(CPoint(1, 1)));  // nobody to take it
    container->AddCustomController(&older);
    container->AddCustomController(&newer);
    EXPECT_EQ(container->GetActiveController(), &newer);

    view.MouseMove(CPoint(50, 5));
    EXPECT_EQ(newer.GetCurrentCursor(), PointPickCustomController::DefaultSnappingCursor());
    view.MouseMove(CPoint(150, 5));
    EXPECT_EQ(newer.GetCurrentCursor(), PointPickCustomController::DefaultNonSnappingCursor());
    view.Click(CPoint(20, 5));
    view.Click(CPoint(20, 13));  // refused
    view.Undo();
    EXPECT_EQ(newer.calls, (std::vector<std::string>{"enter", "leave", "picked 21", "back up"}));
    EXPECT_TRUE(older.calls.empty());

    // Codes go newest first until one is consumed; a stopped controller gets nothing.
    newer.calls.clear();
    EXPECT_FALSE(view.SendEvent(7));
    EXPECT_EQ(older.calls, (std::vector<std::string>{"event 7"}));
    newer.running = false;
    EXPECT_EQ(container->GetActiveController(), &older);
    EXPECT_TRUE(view.SendEvent(1));
    EXPECT_EQ(newer.calls, (std::vector<std::string>{"event 7"}));
    container->RemoveCustomController(&older);
    EXPECT_EQ(container->GetActiveController(), nullptr);
}

TEST(RenderingSystemTest, CameraMapsModelPointsToTheViewAndBack) {
    GfxUtil::RenderingSystem view;
    view.FitTo({{0, 0, 0}, {10, 20, 30}});
    EXPECT_EQ(view.ModelToView({5, 10, 15}), CPoint(320, 240));
    // A point on the view plane through the target comes back where it was, to a pixel.
    const CPoint p = view.ModelToView({5, 10, 15});
    const auto back = view.ViewToModel(CPoint(p.x + 40, p.y));
    EXPECT_EQ(view.ModelToView(back), CPoint(p.x + 40, p.y));
    view.GetCamera().pixelsPerUnit *= 2;
    EXPECT_EQ(view.ModelToView(back), CPoint(p.x + 80, p.y));
}

}  // namespace
