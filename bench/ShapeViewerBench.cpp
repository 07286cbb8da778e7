// The variable load viewer over a large surface: its curve over 1,000,000 distinct node values
// (plus the 51 samples) against evaluating the expression at the same points in blocks, and the
// pieces of line that painting it draws in a 600-unit-wide plot box.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "components/Registration.h"
#include "components/interfaces/IExpressionEvaluatorBlock.h"
#include "dialogs/variableloads/ShapeCurve.h"
#include "platform/com/Bstr.h"

using namespace DataModelDialogs;

namespace {

constexpr std::size_t kValues = 1000000;
const wchar_t* const kExpressions[] = {L"r*s+t", L"SIN(r)*COS(s)+EXP(-t/1000)"};

std::vector<double> NodeValues() {
    std::vector<double> values(kValues);
    for (std::size_t i = 0; i < kValues; ++i) values[i] = 10.0 + 1e-4 * double(i);
    return values;
}

CComPtr<IExpressionEvaluator> Prepared(const wchar_t* text) {
    static const bool registered = (RegisterOrvComponents(), true);
    (void)registered;
    CComPtr<IExpressionEvaluator> evaluator;
    CreateExpressionEvaluator(evaluator);
    evaluator->Reset(kRstEvaluatorMode);
    CComBSTR bstr(text);
    evaluator->SetExpression(bstr.m_str);
    return evaluator;
}

void BM_ShapeViewer_Curve(benchmark::State& state) {
    const auto values = NodeValues();
    auto evaluator = Prepared(kExpressions[state.range(0)]);
    const double at[3] = {0, 0.5, 20};
    ShapeCurve curve;  // as the viewer keeps it between recalculations
    for (auto _ : state) {
        ComputeShapeCurve(*evaluator, values, 0, at, curve);
        benchmark::DoNotOptimize(curve.y.data());
    }
}

// The same points through the block evaluator alone: r the node values, s and t fixed.
void BM_ShapeViewer_BlocksAlone(benchmark::State& state) {
    const auto values = NodeValues();
    auto evaluator = Prepared(kExpressions[state.range(0)]);
    CComPtr<IExpressionBlockEvaluator> block;
    evaluator->QueryInterface(IID_IExpressionBlockEvaluator, reinterpret_cast<void**>(&block));
    std::vector<double> s(1024, 0.5), t(1024, 20), y(kValues);
    for (auto _ : state) {
        for (std::size_t first = 0; first < kValues; first += 1024) {
            const std::size_t n = std::min<std::size_t>(1024, kValues - first);
            LONG done = 0;
            block->EvaluateBlock(LONG(n), values.data() + first, s.data(), t.data(), y.data() + first, &done);
        }
        benchmark::DoNotOptimize(y.data());
    }
}

void BM_ShapeViewer_Pieces(benchmark::State& state) {
    const auto values = NodeValues();
    auto evaluator = Prepared(kExpressions[1]);
    const double at[3] = {0, 0.5, 20};
    const ShapeCurve curve = ComputeShapeCurve(*evaluator, values, 0, at);
    const RECT box{35, 0, 635, 300};
    std::size_t points = 0;
    for (auto _ : state) {
        const auto pieces = CurvePieces(curve, box);
        points = 0;
        for (const auto& piece : pieces) points += piece.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = double(points);
}

// A curve broken at every other point (the function has no value there): the pieces stay a few
// per pixel column all the same.
void BM_ShapeViewer_PiecesBroken(benchmark::State& state) {
    ShapeCurve curve;
    curve.x = NodeValues();
    curve.y.resize(kValues);
    for (std::size_t i = 0; i < kValues; ++i) curve.y[i] = i % 2 ? std::nan("") : std::sin(curve.x[i]);
    curve.xMin = curve.x.front(), curve.xMax = curve.x.back(), curve.yMin = -1, curve.yMax = 1;
    const RECT box{35, 0, 635, 300};
    std::size_t points = 0, pieces = 0;
    for (auto _ : state) {
        const auto drawn = CurvePieces(curve, box);
        points = 0;
        for (const auto& piece : drawn) points += piece.size();
        pieces = drawn.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = double(points);
    state.counters["pieces"] = double(pieces);
}

}  // namespace

BENCHMARK(BM_ShapeViewer_Curve)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapeViewer_BlocksAlone)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapeViewer_Pieces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapeViewer_PiecesBroken)->Unit(benchmark::kMillisecond);
