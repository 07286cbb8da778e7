// The 3-D view draws the scene and the overlay into its display list through the camera, turns
// and zooms with the mouse, and hands a click that did not drag to the running controller, which
// resolves it to the node or surface point under the mouse.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "host/graphics/ViewWindow.h"
#include "platform/win/Inspect.h"
#include "platform/win/Input.h"
#include "platform/win/WinApi.h"

namespace {

using orv::win::DrawKind;
namespace input = orv::win::input;

class PickingController : public GfxUtil::PointPickCustomController {
public:
    explicit PickingController(GfxUtil::RenderingSystem& view) : view_(view) {}
    std::vector<GfxUtil::PickHit> picks;
    int moves = 0;
    bool IsRunning() const override { return true; }
    void OnPointPicked(CPoint point) override { picks.push_back(view_.PointAt(point)); }
    void OnMouseMove(CPoint) override { ++moves; }

private:
    GfxUtil::RenderingSystem& view_;
};

std::vector<std::wstring> Texts(const orv::win::DisplayList& list) {
    std::vector<std::wstring> texts;
    for (const auto& op : list.ops)
        if (op.kind == DrawKind::Text) texts.push_back(op.text);
    return texts;
}

const orv::win::DrawOp* First(const orv::win::DisplayList& list, DrawKind kind, int penWidth = 1) {
    for (const auto& op : list.ops)
        if (op.kind == kind && op.pen.width == penWidth) return &op;
    return nullptr;
}

class ViewWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        orv::win::ResetKernel();
        ASSERT_TRUE(frame_.CreateEx(0, L"OrvGenericWindow", L"3-D View", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr));
        ASSERT_NE(::CreateWindowEx(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, frame_.m_hWnd,
                                   reinterpret_cast<HMENU>(std::intptr_t{10}), nullptr, nullptr),
                  nullptr);
        // A unit square at z = 0 and a post from its first corner up to node 5.
        GfxUtil::Scene scene;
        scene.nodes = {{1, {0, 0, 0}}, {2, {1, 0, 0}}, {3, {1, 1, 0}}, {4, {0, 1, 0}}, {5, {0, 0, 1}}};
        scene.surfaces = {{0, 1, 2, 3}};
        scene.edges = {{0, 4}, {0, 99}};  // 99 names no node: dropped
        view_.SetScene(scene);
        ASSERT_TRUE(window_.Attach(10, &frame_));
        view_.GetViewContainer(GfxUtil::ARenderingSystem::kActiveViewContainer)->AddCustomController(&controller_);
    }
    void TearDown() override {
        view_.GetViewContainer(GfxUtil::ARenderingSystem::kActiveViewContainer)->RemoveCustomController(&controller_);
        frame_.DestroyWindow();  // the view with it, before the kernel forgets both
        orv::win::ResetKernel();
    }
    orv::win::DisplayList Paint() { return *orv::win::PaintWindow(window_.m_hWnd); }
    // A client point of the view as a screen point.
    POINT Screen(CPoint at) {
        POINT p{at.x, at.y};
        ::ClientToScreen(window_.m_hWnd, &p);
        return p;
    }

    GfxUtil::RenderingSystem view_;
    PickingController controller_{view_};
    CWnd frame_;
    GfxUtil::ViewWindow window_{view_};
};

TEST_F(ViewWindowTest, DrawsTheSceneAndTheOverlayThroughTheCamera) {
    EXPECT_EQ(view_.GetCamera().width, 300);
    EXPECT_EQ(view_.GetCamera().height, 200);
    orv::win::DisplayList list = Paint();
    const orv::win::DrawOp* surface = First(list, DrawKind::Polygon);
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(surface->points.size(), 4u);
    const CPoint corner = view_.ModelToView({1, 1, 0});
    EXPECT_EQ(surface->points[2].x, corner.x);
    EXPECT_EQ(surface->points[2].y, corner.y);
    ASSERT_NE(First(list, DrawKind::Polyline), nullptr);
    EXPECT_EQ(std::count_if(list.ops.begin(), list.ops.end(), [](const auto& op) { return op.kind == DrawKind::Polyline; }), 1);
    const auto ids = Texts(list);
    EXPECT_NE(std::find(ids.begin(), ids.end(), L"5"), ids.end());

    // The preview's points with their labels always show, the region in thick lines, a
    // sphere as its outline and equator, and the pending point as a cross.
    GfxUtil::Overlay overlay;
    overlay.points = {{{0, 0, 0}, L"A"}, {{1, 0, 0}, L"B"}};
    overlay.edges = {{0, 1}, {0, 7}};
    overlay.spheres = {{{0, 0, 0}, 0.5}};
    overlay.pending = CPoint(20, 30);
    view_.SetOverlay(overlay);
    list = Paint();
    const auto texts = Texts(list);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"A"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"B"), texts.end());
    const auto thick = std::count_if(list.ops.begin(), list.ops.end(), [](const auto& op) {
        return (op.kind == DrawKind::Line || op.kind == DrawKind::Polyline) && op.pen.width == 2;
    });
    EXPECT_EQ(thick, 1 + 2 + 2);  // one edge (the other names no point), two circles, the cross's two strokes
}

TEST_F(ViewWindowTest, DragTurnsOrMovesTheModelWheelZoomsAndAClickPicks) {
    const CPoint centre(150, 100);
    const CPoint before = view_.ModelToView({1, 1, 0});
    // A left drag turns the camera: the projection changes, and no pick is made.
    ASSERT_TRUE(input::MouseButtonAt(Screen(centre), input::MouseButton::Left, true));
    ASSERT_TRUE(input::MoveMouse(Screen(CPoint(190, 110)), {}));
    ASSERT_TRUE(input::MouseButtonAt(Screen(CPoint(190, 110)), input::MouseButton::Left, false));
    EXPECT_NE(view_.ModelToView({1, 1, 0}), before);
    EXPECT_DOUBLE_EQ(view_.GetCamera().yawDegrees, 30 - 20);
    EXPECT_DOUBLE_EQ(view_.GetCamera().pitchDegrees, 20 + 5);
    const orv::win::DisplayList turned = Paint();
    EXPECT_NE(First(turned, DrawKind::Polygon)->points[2].x, before.x);
    EXPECT_TRUE(controller_.picks.empty());
    // A middle drag (or Shift and the left button) moves the model with the mouse.
    const CPoint origin = view_.ModelToView({0, 0, 0});
    ASSERT_TRUE(input::MouseButtonAt(Screen(centre), input::MouseButton::Middle, true));
    ASSERT_TRUE(input::MoveMouse(Screen(CPoint(160, 90)), {}));
    ASSERT_TRUE(input::MouseButtonAt(Screen(CPoint(160, 90)), input::MouseButton::Middle, false));
    EXPECT_EQ(view_.ModelToView({0, 0, 0}), CPoint(origin.x + 10, origin.y - 10));
    // The wheel zooms by a quarter a notch.
    const double zoom = view_.GetCamera().pixelsPerUnit;
    ASSERT_TRUE(input::MouseWheel(Screen(centre), 2 * WHEEL_DELTA));
    EXPECT_DOUBLE_EQ(view_.GetCamera().pixelsPerUnit, zoom * 1.25 * 1.25);

    // Moves without a button reach the controller; a click near node 3 picks it, a click inside
    // the square picks the square's point, a click beside the model the view plane's point.
    const int moves = controller_.moves;
    ASSERT_TRUE(input::MoveMouse(Screen(CPoint(5, 5)), {}));
    EXPECT_EQ(controller_.moves, moves + 1);
    const CPoint node3 = view_.ModelToView({1, 1, 0});
    ASSERT_TRUE(input::ClickAt(Screen(CPoint(node3.x + 3, node3.y - 2))));
    ASSERT_EQ(controller_.picks.size(), 1u);
    EXPECT_EQ(controller_.picks[0].kind, GfxUtil::PickHit::kNode);
    EXPECT_EQ(controller_.picks[0].nodeId, 3u);
    const CPoint inside = view_.ModelToView({0.4, 0.6, 0});
    ASSERT_TRUE(input::ClickAt(Screen(inside)));
    ASSERT_EQ(controller_.picks.size(), 2u);
    EXPECT_EQ(controller_.picks[1].kind, GfxUtil::PickHit::kSurface);
    EXPECT_NEAR(controller_.picks[1].xyz[2], 0, 1e-9);
    EXPECT_EQ(view_.ModelToView(controller_.picks[1].xyz), inside);
    const GfxUtil::PickHit outside = view_.PointAt(CPoint(2, 2));
    EXPECT_EQ(outside.kind, GfxUtil::PickHit::kPlane);
}

}  // namespace
