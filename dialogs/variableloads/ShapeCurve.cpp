#include "dialogs/variableloads/ShapeCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "components/interfaces/IExpressionEvaluatorBlock.h"
#include "platform/win/PlotAxes.h"
#include "platform/win/WinApi.h"

namespace DataModelDialogs {
namespace {

constexpr std::size_t kBlock = 1024;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// y at up to kBlock points along `variable`, the other two fixed (fixedA, fixedB: kBlock copies
// of their values): one block call where the component offers it; a point that fails gets NaN
// and the block goes on after it.
void EvaluateAlong(IExpressionEvaluator& evaluator, IExpressionBlockEvaluator* block, const double* xs, std::size_t n,
                   int variable, const double (&at)[3], const double* fixedA, const double* fixedB, double* ys) {
    if (!block) {
        double p[3] = {at[0], at[1], at[2]};
        for (std::size_t i = 0; i < n; ++i) {
            p[variable] = xs[i];
            if (FAILED(evaluator.EvaluateAt(p[0], p[1], p[2], &ys[i]))) ys[i] = kNaN;
        }
        return;
    }
    const int a = variable == 0 ? 1 : 0, b = variable == 2 ? 1 : 2;
    for (std::size_t first = 0; first < n;) {
        const std::size_t count = n - first;
        const double* vars[3];
        vars[variable] = xs + first;
        vars[a] = fixedA;
        vars[b] = fixedB;
        LONG evaluated = 0;
        if (SUCCEEDED(block->EvaluateBlock(LONG(count), vars[0], vars[1], vars[2], ys + first, &evaluated))) return;
        const std::size_t failed = first + std::min(count - 1, std::size_t(std::max<LONG>(evaluated, 0)));
        ys[failed] = kNaN;
        first = failed + 1;
    }
}

}  // namespace

std::vector<double> WrapAngles(const std::vector<double>& sortedValues) {
    std::vector<double> out;
    out.reserve(sortedValues.size());
    for (double v : sortedValues) {
        if (!std::isfinite(v)) continue;
        // Whole turns at once: a far angle needs no loop of additions.
        if (v < 0 || v > kTwoPi) v -= kTwoPi * std::floor(v / kTwoPi);
        while (v < 0) v += kTwoPi;
        while (v > kTwoPi) v -= kTwoPi;
        out.push_back(v);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void ComputeShapeCurve(IExpressionEvaluator& evaluator, const std::vector<double>& nodeValues, int variable,
                       const double (&at)[3], ShapeCurve& curve) {
    // The vectors keep their storage: a recalculation touches no new memory.
    curve.x.clear();
    curve.y.clear();
    curve.xMin = curve.xMax = curve.yMin = curve.yMax = 0;
    curve.validPoints = 0;
    CComPtr<IExpressionBlockEvaluator> block;
    if (FAILED(evaluator.QueryInterface(IID_IExpressionBlockEvaluator, reinterpret_cast<void**>(&block)))) block.Release();
    double lo = 0, hi = 0;
    if (!nodeValues.empty()) {
        lo = nodeValues.front();
        hi = nodeValues.back();
        if (lo == hi) lo -= 10, hi += 10;
    }
    // The samples merged into the node values in one pass: one point per x.
    double samples[kCurveSamples];
    for (int i = 0; i < kCurveSamples; ++i) samples[i] = lo + (hi - lo) * i / (kCurveSamples - 1);
    const std::size_t n = nodeValues.size();
    curve.x.reserve(n + kCurveSamples);
    {
        std::size_t i = 0, k = 0;
        while (i < n || k < std::size_t(kCurveSamples)) {
            const double v = k == std::size_t(kCurveSamples) || (i < n && nodeValues[i] <= samples[k]) ? nodeValues[i++] : samples[k++];
            if (curve.x.empty() || curve.x.back() != v) curve.x.push_back(v);
        }
    }
    // Evaluated a block at a time; the limits and the count of valid points in the same pass.
    const std::size_t points = curve.x.size();
    curve.y.reserve(points);
    double fixedA[kBlock], fixedB[kBlock], ys[kBlock];
    std::fill_n(fixedA, kBlock, at[variable == 0 ? 1 : 0]);
    std::fill_n(fixedB, kBlock, at[variable == 2 ? 1 : 2]);
    double yMin = std::numeric_limits<double>::infinity(), yMax = -yMin;
    std::size_t valid = 0;
    for (std::size_t first = 0; first < points; first += kBlock) {
        const std::size_t count = std::min(kBlock, points - first);
        EvaluateAlong(evaluator, block, curve.x.data() + first, count, variable, at, fixedA, fixedB, ys);
        for (std::size_t k = 0; k < count; ++k) {
            double y = ys[k];
            if (std::isfinite(y)) {
                yMin = std::min(yMin, y);
                yMax = std::max(yMax, y);
                ++valid;
            } else {
                y = kNaN;
            }
            curve.y.push_back(y);
        }
    }
    curve.validPoints = valid;
    if (n != 0) curve.xMin = lo, curve.xMax = hi;
    if (curve.validPoints == 0) yMin = yMax = 0;
    if (yMin == yMax) yMin -= 10, yMax += 10;
    curve.yMin = yMin;
    curve.yMax = yMax;
}

ShapeCurve ComputeShapeCurve(IExpressionEvaluator& evaluator, const std::vector<double>& nodeValues, int variable,
                             const double (&at)[3]) {
    ShapeCurve curve;
    ComputeShapeCurve(evaluator, nodeValues, variable, at, curve);
    return curve;
}

std::vector<std::vector<POINT>> CurvePieces(const ShapeCurve& curve, const RECT& box) {
    std::vector<std::vector<POINT>> pieces;
    const double width = double(box.right - box.left), height = double(box.bottom - box.top);
    const double xSpan = curve.xMax - curve.xMin, ySpan = curve.yMax - curve.yMin;
    if (!(xSpan > 0) || !(ySpan > 0)) return pieces;
    const double xScale = width / xSpan, yScale = height / ySpan;
    std::vector<POINT>* piece = nullptr;
    // The run of the current column: its first, lowest, highest and last point.
    bool inRun = false;
    LONG column = 0, first = 0, lowest = 0, highest = 0, last = 0;
    auto flush = [&] {
        if (!inRun) return;
        const LONG ys[4] = {first, lowest, highest, last};
        for (LONG y : ys)
            if (piece->empty() || piece->back().x != column || piece->back().y != y) piece->push_back(POINT{column, y});
        inRun = false;
    };
    auto endPiece = [&] {
        flush();
        if (piece && piece->size() == 1) piece->push_back(POINT{piece->front().x + 1, piece->front().y});
        piece = nullptr;
    };
    for (std::size_t i = 0; i < curve.x.size(); ++i) {
        const double x = curve.x[i], y = curve.y[i];
        if (std::isnan(x) || std::isnan(y)) {
            endPiece();
            continue;
        }
        const LONG px = LONG(std::lround(double(box.left) + (x - curve.xMin) * xScale));
        const LONG py = LONG(std::lround(double(box.bottom) - (y - curve.yMin) * yScale));
        if (!piece) {
            pieces.emplace_back();
            piece = &pieces.back();
        }
        if (inRun && px == column) {
            lowest = std::max(lowest, py);  // device y grows downwards
            highest = std::min(highest, py);
            last = py;
            continue;
        }
        flush();
        inRun = true;
        column = px;
        first = lowest = highest = last = py;
    }
    endPiece();
    // A column's lowest and highest are kept in drawing order: entry, extremes, exit.
    return pieces;
}

void PaintShapePlot(CDC& dc, const RECT& frame, const ShapeCurve& curve, const std::wstring& xTitle,
                    const std::wstring& yTitle, CFont* horizontal, CFont* vertical) {
    const orv::win::PlotAxes axes{curve.xMin, curve.xMax, curve.yMin, curve.yMax, xTitle, yTitle};
    const RECT box = orv::win::PaintPlotAxes(dc, frame, axes, horizontal, vertical);
    CPen blue(PS_SOLID, 2, RGB(0, 0, 255));
    CPen* oldPen = dc.SelectObject(&blue);
    for (const auto& piece : CurvePieces(curve, box)) dc.Polyline(piece.data(), int(piece.size()));
    dc.SelectObject(oldPen);
}

}  // namespace DataModelDialogs
