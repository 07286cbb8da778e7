#include "dialogs/variableloads/ShapeCurve.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// Two doubles (one SSE register), and the masks of a comparison of them.
typedef double Pair __attribute__((vector_size(16)));
typedef long long PairMask __attribute__((vector_size(16)));

struct ValueScan {
    double low, high;
    std::size_t valid;
};

// Over ys[0, count): a value that is not finite becomes NaN; the lowest and highest finite values
// and their count. Of equal extremes the first one counts, as in one pass in order: it decides
// the sign of a zero.
ValueScan ScanValues(double* ys, std::size_t count) {
    const double inf = std::numeric_limits<double>::infinity();
    // Most blocks hold finite values only: four lanes at a time without a branch. A NaN leaves a
    // lane's limits as they are (the comparison is false); a lane that is not finite (v - v is
    // not 0) is not counted.
    Pair lows0 = {inf, inf}, lows1 = lows0, highs0 = {-inf, -inf}, highs1 = highs0;
    PairMask finite0 = {0, 0}, finite1 = finite0;
    auto scan = [](const double* at, Pair& lows, Pair& highs, PairMask& finite) {
        Pair v;
        std::memcpy(&v, at, sizeof v);
        lows = v < lows ? v : lows;
        highs = v > highs ? v : highs;
        finite -= v - v == 0;  // a true comparison is -1
    };
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4) {
        scan(ys + k, lows0, highs0, finite0);
        scan(ys + k + 2, lows1, highs1, finite1);
    }
    double low[4] = {lows0[0], lows0[1], lows1[0], lows1[1]};
    double high[4] = {highs0[0], highs0[1], highs1[0], highs1[1]};
    std::size_t valid = std::size_t(finite0[0] + finite0[1] + finite1[0] + finite1[1]);
    for (; k < count; ++k) {
        const double v = ys[k];
        low[0] = v < low[0] ? v : low[0];
        high[0] = v > high[0] ? v : high[0];
        valid += v - v == 0;
    }
    ValueScan result{std::min(std::min(low[0], low[1]), std::min(low[2], low[3])),
                     std::max(std::max(high[0], high[1]), std::max(high[2], high[3])), valid};
    if (valid != count) {
        // Values that are not finite: one careful pass.
        result = ValueScan{inf, -inf, 0};
        for (k = 0; k < count; ++k) {
            if (!std::isfinite(ys[k])) {
                ys[k] = kNaN;
                continue;
            }
            result.low = std::min(result.low, ys[k]);
            result.high = std::max(result.high, ys[k]);
            ++result.valid;
        }
    }
    if (result.low == 0) result.low = *std::find(ys, ys + count, 0.0);
    if (result.high == 0) result.high = *std::find(ys, ys + count, 0.0);
    return result;
}

// std::lround without the library call for the coordinates of a plot (the call was most of the
// time of a million points): the part cut off by truncation is exact, so the rounding is too.
LONG Round(double v) {
    if (!(std::fabs(v) < 1e9)) return LONG(std::lround(v));
    const LONG truncated = LONG(v);
    const double rest = v - double(truncated);
    return truncated + LONG(rest >= 0.5) - LONG(rest <= -0.5);
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
    // Values already in one turn stay in order: no sort then.
    if (!std::is_sorted(out.begin(), out.end())) std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void ComputeShapeCurve(IExpressionEvaluator& evaluator, const std::vector<double>& nodeValues, int variable,
                       const double (&at)[3], ShapeCurve& curve) {
    CComPtr<IExpressionBlockEvaluator> block;
    if (FAILED(evaluator.QueryInterface(IID_IExpressionBlockEvaluator, reinterpret_cast<void**>(&block)))) block.Release();
    const std::size_t n = nodeValues.size();
    double lo = 0, hi = 0;
    if (n != 0) {
        lo = nodeValues.front();
        hi = nodeValues.back();
        if (lo == hi) lo -= 10, hi += 10;
    }
    double samples[kCurveSamples];
    for (int i = 0; i < kCurveSamples; ++i) samples[i] = lo + (hi - lo) * i / (kCurveSamples - 1);
    // Room for every point at once, cut to the points made at the end. The vectors are not
    // cleared: a recalculation over the same nodes neither allocates nor fills them first.
    curve.x.resize(n + kCurveSamples);
    curve.y.resize(n + kCurveSamples);
    double* const x = curve.x.data();
    double* const y = curve.y.data();
    double fixedA[kBlock], fixedB[kBlock];
    std::fill_n(fixedA, kBlock, at[variable == 0 ? 1 : 0]);
    std::fill_n(fixedB, kBlock, at[variable == 2 ? 1 : 2]);
    const double inf = std::numeric_limits<double>::infinity();
    double yMin = inf, yMax = -inf;
    std::size_t valid = 0;
    // Evaluates x[done, made) into y while those points are still in the cache, and scans them.
    std::size_t made = 0, done = 0;
    auto evaluate = [&] {
        const std::size_t count = made - done;
        double* const ys = y + done;
        EvaluateAlong(evaluator, block, x + done, count, variable, at, fixedA, fixedB, ys);
        const ValueScan scan = ScanValues(ys, count);
        yMin = std::min(yMin, scan.low);
        yMax = std::max(yMax, scan.high);
        valid += scan.valid;
        done = made;
    };
    // x: the node values with the samples merged in, one point per x, copied a run at a time and
    // evaluated each time a block is full.
    auto append = [&](const double* from, std::size_t count) {
        while (count != 0) {
            const std::size_t part = std::min(count, kBlock - (made - done));
            std::copy_n(from, part, x + made);
            made += part, from += part, count -= part;
            if (made - done == kBlock) evaluate();
        }
    };
    const double* const nodes = nodeValues.data();
    std::size_t next = 0;
    for (const double sample : samples) {
        // The node values up to the sample come first; a sample equal to the point before it
        // adds nothing.
        const std::size_t end = std::size_t(std::upper_bound(nodes + next, nodes + n, sample) - nodes);
        append(nodes + next, end - next);
        next = end;
        if (made == 0 || x[made - 1] != sample) append(&sample, 1);
    }
    append(nodes + next, n - next);
    if (made != done) evaluate();
    curve.x.resize(made);
    curve.y.resize(made);
    curve.validPoints = valid;
    curve.xMin = curve.xMax = 0;
    if (n != 0) curve.xMin = lo, curve.xMax = hi;
    if (valid == 0) yMin = yMax = 0;
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
    // Pieces that lie within one column (the line broken more often than the column is wide)
    // become one vertical stroke over all of them, so that a curve with a hole at every other
    // point still draws a few pieces per column: `columnPiece` is the last such piece, `merged`
    // tells whether others were merged into it, `spanTop` and `spanBottom` are their extent.
    std::size_t columnPiece = SIZE_MAX;
    bool merged = false, spare = false;
    LONG spanColumn = 0, spanTop = 0, spanBottom = 0;
    auto endColumnPiece = [&] {
        if (columnPiece == SIZE_MAX) return;
        std::vector<POINT>& stroke = pieces[columnPiece];
        if (merged) stroke = {POINT{spanColumn, spanTop}, POINT{spanColumn, spanBottom}};
        if (stroke.size() == 1 || (merged && spanTop == spanBottom))
            stroke = {stroke.front(), POINT{stroke.front().x + 1, stroke.front().y}};
        columnPiece = SIZE_MAX;
        merged = false;
    };
    auto endPiece = [&] {
        flush();
        if (!piece) return;
        piece = nullptr;
        const std::vector<POINT>& ended = pieces.back();
        if (ended.front().x != ended.back().x) {
            endColumnPiece();
            if (ended.size() == 1) pieces.back().push_back(POINT{ended.front().x + 1, ended.front().y});
            return;
        }
        LONG top = ended.front().y, bottom = top;
        for (const POINT& p : ended) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
        if (columnPiece != SIZE_MAX && spanColumn == ended.front().x) {
            spanTop = std::min(spanTop, top);
            spanBottom = std::max(spanBottom, bottom);
            merged = true;
            // Its storage serves the next piece: no allocation per piece.
            pieces.back().clear();
            spare = true;
            return;
        }
        endColumnPiece();
        columnPiece = pieces.size() - 1;
        spanColumn = ended.front().x, spanTop = top, spanBottom = bottom;
    };
    for (std::size_t i = 0; i < curve.x.size(); ++i) {
        const double x = curve.x[i], y = curve.y[i];
        if (std::isnan(x) || std::isnan(y)) {
            endPiece();
            continue;
        }
        const LONG px = Round(double(box.left) + (x - curve.xMin) * xScale);
        const LONG py = Round(double(box.bottom) - (y - curve.yMin) * yScale);
        if (!piece) {
            if (!spare) pieces.emplace_back();
            spare = false;
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
    endColumnPiece();
    if (spare) pieces.pop_back();
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
