// The check of a variable load function against a surface of 1,000,000 nodes in a cylindrical
// coordinate system (model in metres, shown in millimetres), side by side with evaluating the
// same expression 1,000,000 times alone at the same (r, s, t). Argument: expression 0 to 2.
//
//   orv_bench --benchmark_filter=RstCheck --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// - WholeCheck: CheckExpressionOnSurface from the load object: creating the evaluator, the
//   surface's nodes read from the scenario's node store a block at a time, the frame, every
//   node converted and evaluated;
// - GivenNodes: CheckExpressionOnNodes over a list of node pointers gathered once;
// - EvaluateAlone: EvaluateAt at the 1,000,000 precomputed (r, s, t), nothing else;
// - GatherOnly, ConvertOnly: the check's node loop without the evaluator.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "components/Registration.h"
#include "components/interfaces/IExpressionEvaluatorBlock.h"
#include "dialogs/variableloads/VariableLoadFunctions.h"
#include "host/model/DbDesignScenario.h"
#include "platform/com/Bstr.h"

namespace {

using namespace DataModelDialogs;
using namespace OrvDbRecord;

constexpr std::uint32_t kNodes = 1000000;

const wchar_t* const kExpressions[] = {
    L"r*s+t",
    L"100*(1-(r/200)^2)",
    L"SIN(r)*COS(s)+EXP(-t/1000)",
};

// A ring of nodes around a hole axis, 1,000 rings of 1,000 nodes.
struct Model {
    DbDesignScenario scenario{1};
    const DbCoordinateSystem* system = nullptr;
    const DbFeaObject* load = nullptr;
    std::vector<const DbNode*> nodes;
    std::vector<RstPoint> rst;

    Model() {
        RegisterOrvComponents();
        scenario.SetModelUnitSystem(UnitSystem(UnitSystem::kTypeSI));
        scenario.SetCurrentDisplayUnitSystemType(UnitSystem::kTypeMmTonneSecond);
        system = &scenario.AddCoordinateSystem(
            std::make_unique<DbCoordinateSystem>(2, DbCoordinateSystem::kCylindrical, "axis", DbCoordinateSystem::Point{0.1, 0.2, 0},
                                                 DbCoordinateSystem::Point{0.1, 0.2, 1}, DbCoordinateSystem::Point{1, 0.2, 0}));
        std::vector<std::uint32_t> ids;
        ids.reserve(kNodes);
        for (std::uint32_t i = 0; i < kNodes; ++i) {
            const double angle = 2 * M_PI * double(i % 1000) / 1000.0;
            const double radius = 0.05 + 0.00005 * double(i / 1000);
            scenario.AddNode(std::make_unique<DbNode>(
                i + 1, std::array<double, 3>{0.1 + radius * std::cos(angle), 0.2 + radius * std::sin(angle), 0.001 * (i / 1000)}));
            ids.push_back(i + 1);
        }
        scenario.AddSurface(std::make_unique<DbPartSurface>(1, 1, std::move(ids)));
        RURIVO_LOADS_V1_ENTRY entry;
        load = &scenario.CreateFeaObject(55, entry, StorageMapItem::Kind::Surface, 1);
        nodes = load->GetNodes();
        const CCSHelper frame = MakeFrame(system);
        const double factor = ModelToDisplayLengthFactor(scenario.GetCurrentDisplayUnitSystem());
        rst.reserve(nodes.size());
        for (const DbNode* node : nodes) rst.push_back(frame.ScaleLengths(frame.ToModelRst(node->GetCoordinatesAsArray()), factor));
    }
};

Model& TheModel() {
    static Model model;
    return model;
}

// Time per node, shown in ns.
void Finish(benchmark::State& state) {
    state.counters["per_node"] =
        benchmark::Counter(double(kNodes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_RstCheck_WholeCheck(benchmark::State& state) {
    Model& model = TheModel();
    const wchar_t* expression = kExpressions[state.range(0)];
    for (auto _ : state)
        if (!CheckExpressionOnSurface(expression, model.system, *model.load)) state.SkipWithError("the check failed");
    Finish(state);
}

void BM_RstCheck_GivenNodes(benchmark::State& state) {
    Model& model = TheModel();
    const wchar_t* expression = kExpressions[state.range(0)];
    const DisplayUnitSystem& display = model.scenario.GetCurrentDisplayUnitSystem();
    for (auto _ : state)
        if (!CheckExpressionOnNodes(expression, model.system, model.nodes, display)) state.SkipWithError("the check failed");
    Finish(state);
}

void BM_RstCheck_EvaluateAlone(benchmark::State& state) {
    Model& model = TheModel();
    CComPtr<IExpressionEvaluator> evaluator;
    if (FAILED(CreateExpressionEvaluator(evaluator))) {
        state.SkipWithError("no evaluator");
        return;
    }
    evaluator->Reset(kRstEvaluatorMode);
    CComBSTR text(kExpressions[state.range(0)]);
    if (FAILED(evaluator->SetExpression(text.m_str))) {
        state.SkipWithError("expression refused");
        return;
    }
    for (auto _ : state) {
        double sum = 0;
        for (const RstPoint& p : model.rst) {
            double value;
            if (FAILED(evaluator->EvaluateAt(p.r, p.s, p.t, &value))) {
                state.SkipWithError("evaluation failed");
                break;
            }
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    Finish(state);
}

// The same points through the block interface, 256 a call, as the check calls it.
void BM_RstCheck_EvaluateBlocksAlone(benchmark::State& state) {
    Model& model = TheModel();
    CComPtr<IExpressionEvaluator> evaluator;
    CComPtr<IExpressionBlockEvaluator> blocks;
    if (FAILED(CreateExpressionEvaluator(evaluator)) ||
        FAILED(evaluator->QueryInterface(IID_IExpressionBlockEvaluator, reinterpret_cast<void**>(&blocks)))) {
        state.SkipWithError("no block evaluator");
        return;
    }
    evaluator->Reset(kRstEvaluatorMode);
    CComBSTR text(kExpressions[state.range(0)]);
    if (FAILED(evaluator->SetExpression(text.m_str))) {
        state.SkipWithError("expression refused");
        return;
    }
    std::vector<double> r, s, t;
    for (const RstPoint& p : model.rst) {
        r.push_back(p.r);
        s.push_back(p.s);
        t.push_back(p.t);
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < r.size(); i += 256) {
            const LONG n = LONG(std::min<std::size_t>(256, r.size() - i));
            LONG done = 0;
            if (FAILED(blocks->EvaluateBlock(n, &r[i], &s[i], &t[i], nullptr, &done))) {
                state.SkipWithError("evaluation failed");
                break;
            }
        }
    }
    Finish(state);
}

// The check's node loop without the evaluator: the surface's nodes gathered from the node store
// a block at a time (GatherOnly), and also converted to (r, s, t) (ConvertOnly, argument: the
// variables computed, 7 all, 1 r only, 2 s only).
constexpr std::size_t kBlock = 256;

template <bool kConvert>
void NodeLoop(benchmark::State& state, unsigned needed) {
    Model& model = TheModel();
    const auto* surface = static_cast<const DbPartFace*>(model.load->GetGeometry());
    const CCSHelper frame = MakeFrame(model.system);
    const double factor = ModelToDisplayLengthFactor(model.scenario.GetCurrentDisplayUnitSystem());
    std::vector<double> x(kBlock), y(kBlock), z(kBlock), r(kBlock), s(kBlock), t(kBlock);
    std::vector<std::uint32_t> ids(kBlock);
    for (auto _ : state) {
        double sum = 0;
        std::size_t cursor = 0;
        while (const std::size_t n = surface->GatherNodes(&cursor, kBlock, x.data(), y.data(), z.data(), ids.data())) {
            if (kConvert) {
                frame.ToRstBlock(n, x.data(), y.data(), z.data(), needed, factor, r.data(), s.data(), t.data());
                sum += r[0] + s[n - 1] + t[n / 2];
            } else {
                sum += x[0] + y[n - 1] + z[n / 2];
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    Finish(state);
}

void BM_RstCheck_GatherOnly(benchmark::State& state) { NodeLoop<false>(state, 0); }
void BM_RstCheck_ConvertOnly(benchmark::State& state) { NodeLoop<true>(state, unsigned(state.range(0))); }

}  // namespace

BENCHMARK(BM_RstCheck_GatherOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RstCheck_ConvertOnly)->Arg(7)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RstCheck_WholeCheck)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RstCheck_GivenNodes)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RstCheck_EvaluateAlone)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RstCheck_EvaluateBlocksAlone)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
