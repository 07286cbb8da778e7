#include "host/graphics/ViewWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <unordered_map>

#include "platform/win/WinMessages.h"

namespace GfxUtil {

namespace {

using Xyz = Overlay::Xyz;

constexpr COLORREF kBackground = RGB(250, 250, 252);
constexpr COLORREF kSurfaceFill = RGB(208, 218, 232);
constexpr COLORREF kSurfaceLine = RGB(112, 124, 144);
constexpr COLORREF kModelLine = RGB(48, 48, 56);
constexpr COLORREF kNodeText = RGB(96, 96, 108);
constexpr COLORREF kRegion = RGB(204, 40, 40);
constexpr COLORREF kPending = RGB(24, 96, 208);

CPoint ClientPoint(LPARAM at) { return CPoint(SHORT(LOWORD(at)), SHORT(HIWORD(at))); }

Xyz Cross(const Xyz& a, const Xyz& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Xyz Unit(const Xyz& a) {
    const double length = std::hypot(a[0], a[1], a[2]);
    return length > 0 ? Xyz{a[0] / length, a[1] / length, a[2] / length} : Xyz{0, 0, 1};
}

// A circle in space about `centre` in the plane normal to `axis`, as view points.
std::vector<POINT> Circle(const RenderingSystem::Frame& frame, const Xyz& centre, const Xyz& axis, double radius) {
    const Xyz a = Unit(axis);
    const Xyz u = Unit(Cross(a, std::abs(a[2]) < 0.9 ? Xyz{0, 0, 1} : Xyz{1, 0, 0}));
    const Xyz v = Cross(a, u);
    std::vector<POINT> points;
    constexpr int kSegments = 48;
    for (int i = 0; i <= kSegments; ++i) {
        const double t = 2 * std::numbers::pi * i / kSegments;
        Xyz p{};
        for (int k = 0; k < 3; ++k) p[k] = centre[k] + radius * (std::cos(t) * u[k] + std::sin(t) * v[k]);
        const CPoint at = frame.ModelToView(p);
        points.push_back(POINT{at.x, at.y});
    }
    return points;
}

// Texts placed so far, so that a node's id does not cover another text. Each placed box is filed
// under the cells of a coarse grid that it reaches into, so a new text is tested only against
// the texts in its own cells: two boxes that overlap share a cell.
class Labels {
public:
    explicit Labels(CDC& dc) : dc_(dc) {}
    void Put(int x, int y, const std::wstring& text, COLORREF colour, bool always) {
        const CSize size = dc_.GetTextExtent(text.c_str(), int(text.size()));
        const RECT box{x, y, x + size.cx, y + size.cy};
        const RECT cells = CellsOf(box);
        if (!always && Covers(box, cells)) return;
        const int index = int(placed_.size());
        placed_.push_back(box);
        for (LONG row = cells.top; row <= cells.bottom; ++row)
            for (LONG column = cells.left; column <= cells.right; ++column) grid_[Key(column, row)].push_back(index);
        dc_.SetTextColor(colour);
        dc_.TextOut(x, y, text.c_str(), int(text.size()));
    }

private:
    static constexpr int kCellShift = 5;  // cells of 32 x 32 pixels

    // The first and last column and row of cells the box reaches into. A box of no width (or
    // height) still counts in the cell of its edge, where a box around that edge covers it.
    static RECT CellsOf(const RECT& box) {
        return RECT{box.left >> kCellShift, box.top >> kCellShift, std::max(box.left, box.right - 1) >> kCellShift,
                    std::max(box.top, box.bottom - 1) >> kCellShift};
    }
    static std::uint64_t Key(LONG column, LONG row) {
        return std::uint64_t(std::uint32_t(column)) << 32 | std::uint32_t(row);
    }
    // Whether the box overlaps a placed one.
    bool Covers(const RECT& box, const RECT& cells) const {
        for (LONG row = cells.top; row <= cells.bottom; ++row)
            for (LONG column = cells.left; column <= cells.right; ++column) {
                const auto cell = grid_.find(Key(column, row));
                if (cell == grid_.end()) continue;
                for (int index : cell->second) {
                    const RECT& other = placed_[std::size_t(index)];
                    if (box.left < other.right && other.left < box.right && box.top < other.bottom && other.top < box.bottom)
                        return true;
                }
            }
        return false;
    }

    CDC& dc_;
    std::vector<RECT> placed_;
    std::unordered_map<std::uint64_t, std::vector<int>> grid_;
};

}  // namespace

ViewWindow::ViewWindow(RenderingSystem& view) : view_(view) {
    HandleMessage(WM_PAINT, [this](WPARAM, LPARAM) -> LRESULT {
        OnPaint();
        return 0;
    });
    HandleMessage(WM_LBUTTONDOWN, [this](WPARAM keys, LPARAM at) -> LRESULT {
        OnButtonDown(ClientPoint(at), (keys & MK_SHIFT) ? Drag::Pan : Drag::Rotate);
        return 0;
    });
    HandleMessage(WM_MBUTTONDOWN, [this](WPARAM, LPARAM at) -> LRESULT {
        OnButtonDown(ClientPoint(at), Drag::Pan);
        return 0;
    });
    for (UINT up : {WM_LBUTTONUP, WM_MBUTTONUP})
        HandleMessage(up, [this](WPARAM, LPARAM at) -> LRESULT {
            OnButtonUp(ClientPoint(at));
            return 0;
        });
    HandleMessage(WM_MOUSEMOVE, [this](WPARAM, LPARAM at) -> LRESULT {
        OnMove(ClientPoint(at));
        return 0;
    });
    HandleMessage(WM_MOUSEWHEEL, [this](WPARAM keys, LPARAM) -> LRESULT {
        const int delta = SHORT(HIWORD(keys));
        view_.Zoom(std::pow(1.25, double(delta) / WHEEL_DELTA));
        Invalidate();
        return 0;
    });
    // The capture may be taken away in the middle of a drag.
    HandleMessage(WM_CAPTURECHANGED, [this](WPARAM, LPARAM) -> LRESULT {
        drag_ = Drag::None;
        return 0;
    });
}

BOOL ViewWindow::Attach(int id, CWnd* parent) {
    if (!SubclassDlgItem(id, parent)) return FALSE;
    SizeCameraToWindow();
    view_.FitToScene();
    Invalidate();
    return TRUE;
}

void ViewWindow::SizeCameraToWindow() {
    RECT client{};
    GetClientRect(&client);
    view_.GetCamera().width = std::max(LONG{1}, client.right - client.left);
    view_.GetCamera().height = std::max(LONG{1}, client.bottom - client.top);
}

void ViewWindow::OnButtonDown(CPoint at, Drag drag) {
    if (drag_ != Drag::None) return;  // a second button during a drag
    drag_ = drag;
    pressedAt_ = lastAt_ = at;
    dragged_ = false;
    SetCapture();
}

void ViewWindow::OnButtonUp(CPoint at) {
    if (drag_ == Drag::None) return;
    const Drag drag = drag_;
    drag_ = Drag::None;
    if (GetCapture() == this) ReleaseCapture();
    // A left click that did not drag is a pick; the controller's preview redraws the view.
    if (!dragged_ && drag == Drag::Rotate) view_.Click(at);
}

void ViewWindow::OnMove(CPoint at) {
    if (drag_ == Drag::None) {
        view_.MouseMove(at);
        return;
    }
    if (!dragged_ && std::abs(at.x - pressedAt_.x) <= kClickSlop && std::abs(at.y - pressedAt_.y) <= kClickSlop) return;
    dragged_ = true;
    if (drag_ == Drag::Rotate)
        view_.Rotate(at.x - lastAt_.x, at.y - lastAt_.y);
    else
        view_.Pan(at.x - lastAt_.x, at.y - lastAt_.y);
    lastAt_ = at;
    Invalidate();
}

void ViewWindow::OnPaint() {
    CPaintDC dc(this);
    RECT client{};
    GetClientRect(&client);
    dc.FillSolidRect(&client, kBackground);
    dc.SetBkMode(TRANSPARENT);
    const Scene& scene = view_.GetScene();
    // The camera's frame for this paint, and every node projected once through it.
    const RenderingSystem::Frame frame = view_.GetFrame();
    auto at = [&frame](const Xyz& model) {
        const CPoint p = frame.ModelToView(model);
        return POINT{p.x, p.y};
    };
    std::vector<double> depths(scene.nodes.size());
    std::vector<POINT> nodesAt(scene.nodes.size());
    for (std::size_t i = 0; i < scene.nodes.size(); ++i) {
        const RenderingSystem::Projected p = frame.Project(scene.nodes[i].xyz);
        const CPoint rounded = RenderingSystem::Frame::Rounded(p);
        depths[i] = p.depth;
        nodesAt[i] = POINT{rounded.x, rounded.y};
    }

    // Surfaces from the back to the front, so that nearer ones cover farther ones.
    std::vector<std::pair<double, std::size_t>> order;
    order.reserve(scene.surfaces.size());
    for (std::size_t i = 0; i < scene.surfaces.size(); ++i) {
        double depth = 0;
        for (int index : scene.surfaces[i]) depth += depths[std::size_t(index)];
        if (!scene.surfaces[i].empty()) order.emplace_back(depth / double(scene.surfaces[i].size()), i);
    }
    std::sort(order.begin(), order.end());
    CPen surfacePen(PS_SOLID, 1, kSurfaceLine), modelPen(PS_SOLID, 1, kModelLine);
    CBrush surfaceBrush(kSurfaceFill), nodeBrush(kModelLine);
    CPen* oldPen = dc.SelectObject(&surfacePen);
    CBrush* oldBrush = dc.SelectObject(&surfaceBrush);
    std::vector<POINT> points;
    for (const auto& [depth, i] : order) {
        points.clear();
        for (int index : scene.surfaces[i]) points.push_back(nodesAt[std::size_t(index)]);
        if (points.size() >= 3)
            dc.Polygon(points.data(), int(points.size()));
        else
            dc.Polyline(points.data(), int(points.size()));
    }
    dc.SelectObject(&modelPen);
    for (const auto& edge : scene.edges) {
        points.clear();
        for (int index : edge) points.push_back(nodesAt[std::size_t(index)]);
        if (points.size() >= 2) dc.Polyline(points.data(), int(points.size()));
    }
    dc.SelectObject(&nodeBrush);
    for (const POINT& p : nodesAt) dc.Ellipse(p.x - 2, p.y - 2, p.x + 3, p.y + 3);

    // The overlay: the region in thick lines, the picked points with their labels, the
    // pending point. Labels always show; a node's id only where it covers no other text.
    const Overlay& overlay = view_.GetOverlay();
    CPen regionPen(PS_SOLID, 2, kRegion), pendingPen(PS_SOLID, 2, kPending);
    CBrush regionBrush(kRegion);
    dc.SelectObject(&regionPen);
    for (const auto& edge : overlay.edges) {
        if (edge[0] < 0 || edge[1] < 0 || std::size_t(edge[0]) >= overlay.points.size() ||
            std::size_t(edge[1]) >= overlay.points.size())
            continue;
        dc.MoveTo(at(overlay.points[std::size_t(edge[0])].xyz));
        dc.LineTo(at(overlay.points[std::size_t(edge[1])].xyz));
    }
    const Xyz& toViewer = frame.Axes()[2];
    for (const auto& sphere : overlay.spheres) {
        for (const Xyz& axis : {toViewer, Xyz{0, 0, 1}}) {
            points = Circle(frame, sphere.centre, axis, sphere.radius);
            dc.Polyline(points.data(), int(points.size()));
        }
    }
    for (const auto& cylinder : overlay.cylinders) {
        const Xyz axis{cylinder.top[0] - cylinder.base[0], cylinder.top[1] - cylinder.base[1], cylinder.top[2] - cylinder.base[2]};
        const auto bottom = Circle(frame, cylinder.base, axis, cylinder.radius);
        const auto top = Circle(frame, cylinder.top, axis, cylinder.radius);
        dc.Polyline(bottom.data(), int(bottom.size()));
        dc.Polyline(top.data(), int(top.size()));
        for (std::size_t i = 0; i + 1 < bottom.size(); i += bottom.size() / 4) {
            dc.MoveTo(bottom[i]);
            dc.LineTo(top[i]);
        }
    }
    Labels labels(dc);
    dc.SelectObject(&regionBrush);
    for (const auto& point : overlay.points) {
        const POINT p = at(point.xyz);
        dc.Rectangle(p.x - 3, p.y - 3, p.x + 4, p.y + 4);
        labels.Put(p.x + 6, p.y - 18, point.label, kRegion, true);
    }
    if (overlay.pending) {
        const CPoint p = *overlay.pending;
        dc.SelectObject(&pendingPen);
        dc.MoveTo(p.x - 7, p.y);
        dc.LineTo(p.x + 8, p.y);
        dc.MoveTo(p.x, p.y - 7);
        dc.LineTo(p.x, p.y + 8);
    }
    for (std::size_t i = 0; i < scene.nodes.size(); ++i)
        labels.Put(nodesAt[i].x + 4, nodesAt[i].y + 2, std::to_wstring(scene.nodes[i].id), kNodeText, false);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}

}  // namespace GfxUtil
