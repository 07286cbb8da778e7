// The 3-D view over a large model: a grid of 100 x 100 nodes on a gently curved sheet with a
// quadrilateral surface between every four neighbours (10,000 nodes, 9,801 surfaces) and the
// sheet's outline as edges, shown in a 600 x 400 view fitted to it, seen from 45 degrees above. Measured: painting the view
// into its display list (the surfaces from the back to the front, edges, nodes and the node ids
// that fit), and resolving a click to the node, surface point or view plane point under it.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "host/graphics/ViewWindow.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

constexpr int kSide = 100;

GfxUtil::Scene Grid() {
    GfxUtil::Scene scene;
    for (int j = 0; j < kSide; ++j)
        for (int i = 0; i < kSide; ++i)
            scene.nodes.push_back(
                {std::uint32_t(1 + j * kSide + i), {double(i), double(j), 3 * std::sin(i * 0.1) * std::cos(j * 0.1)}});
    for (int j = 0; j + 1 < kSide; ++j)
        for (int i = 0; i + 1 < kSide; ++i) {
            const int a = j * kSide + i;
            scene.surfaces.push_back({a, a + 1, a + 1 + kSide, a + kSide});
        }
    std::vector<int> outline;
    for (int i = 0; i < kSide; ++i) outline.push_back(i);
    for (int j = 1; j < kSide; ++j) outline.push_back(j * kSide + kSide - 1);
    scene.edges = {outline};
    return scene;
}

// A top-level frame with the view's static child, the view attached to it and fitted.
struct ViewOnScreen {
    GfxUtil::RenderingSystem view;
    CWnd frame;
    GfxUtil::ViewWindow window{view};
    ViewOnScreen() {
        orv::win::ResetKernel();
        frame.CreateEx(0, L"OrvGenericWindow", L"3-D View", WS_POPUP | WS_VISIBLE, 0, 0, 620, 420, nullptr, nullptr);
        ::CreateWindowEx(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 400, frame.m_hWnd,
                         reinterpret_cast<HMENU>(std::intptr_t{10}), nullptr, nullptr);
        view.SetScene(Grid());
        view.GetCamera().pitchDegrees = 45;  // looking down on the sheet
        window.Attach(10, &frame);
    }
    ~ViewOnScreen() {
        frame.DestroyWindow();
        orv::win::ResetKernel();
    }
};

void BM_ViewWindow_Paint(benchmark::State& state) {
    ViewOnScreen screen;
    std::size_t ops = 0, texts = 0;
    for (auto _ : state) {
        const orv::win::DisplayList* list = orv::win::PaintWindow(screen.window.m_hWnd);
        ops = list ? list->ops.size() : 0;
        benchmark::DoNotOptimize(list);
    }
    if (const orv::win::DisplayList* list = orv::win::WindowDisplayList(screen.window.m_hWnd))
        for (const auto& op : list->ops) texts += op.kind == orv::win::DrawKind::Text;
    state.counters["ops"] = double(ops);
    state.counters["ids_shown"] = double(texts);
}

// A click resolved to what lies under it. Fitted, the nodes lie closer than the snap distance,
// so a click on the sheet takes a node (/0: every node is tried). Zoomed in eight times, a click
// in the middle of a quadrilateral is near no node (/1: every node is tried, then every surface
// for the point under the mouse).
void BM_ViewWindow_PointAt(benchmark::State& state) {
    ViewOnScreen screen;
    const bool zoomed = state.range(0) == 1;
    if (zoomed) screen.view.Zoom(8);
    const auto& nodes = screen.view.GetScene().nodes;
    const int corner = 50 * kSide + 50;
    double x = 0, y = 0;
    for (int index : {corner, corner + 1, corner + 1 + kSide, corner + kSide}) {
        const CPoint at = screen.view.ModelToView(nodes[std::size_t(index)].xyz);
        x += at.x / 4.0, y += at.y / 4.0;
    }
    const CPoint click{static_cast<int>(x), static_cast<int>(y)};
    GfxUtil::PickHit hit;
    for (auto _ : state) {
        hit = screen.view.PointAt(click);
        benchmark::DoNotOptimize(hit);
    }
    state.counters["kind"] = double(hit.kind);  // 1 a node, 2 a surface
}

}  // namespace

BENCHMARK(BM_ViewWindow_Paint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewWindow_PointAt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
