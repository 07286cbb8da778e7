// The expression evaluator against muparser and hand-written C++ on four expressions, each
// evaluated at 1,000,000 points with r, s and t set before every evaluation. The counter
// "per_eval" is the CPU time of one evaluation.
//
//   orv_bench --benchmark_filter=Expr --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

// muparser first: its narrow _T must win over the framework's wide one.
#ifdef ORV_HAVE_MUPARSER
#include <muParser.h>
#endif

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "components/Registration.h"
#include "components/interfaces/IExpressionEvaluator.h"
#include "platform/com/ClassRegistry.h"

namespace {

constexpr long kPoints = 1000000;

struct Formula {
    const wchar_t* orv;
    const char* muparser;
};

// E1 to E4, as argument 0 to 3 of each benchmark.
const Formula kFormulas[] = {
    {L"r*s+t", "r*s+t"},
    {L"100*(1-(r/2)^2)", "100*(1-(r/2)^2)"},
    {L"SIN(r)*COS(s)+EXP(-t)", "sin(r)*cos(s)+exp(-t)"},
    {L"SQR(r^2+s^2)*LN(1+ABS(t))+ARCTAN(s)", "sqrt(r^2+s^2)*ln(1+abs(t))+atan(s)"},
};

// The same formulas written in C++, inlined into their loops.
inline double NativeE1(double r, double s, double t) { return r * s + t; }
inline double NativeE2(double r, double, double) { return 100 * (1 - (r / 2) * (r / 2)); }
inline double NativeE3(double r, double s, double t) { return std::sin(r) * std::cos(s) + std::exp(-t); }
inline double NativeE4(double r, double s, double t) {
    return std::sqrt(r * r + s * s) * std::log(1 + std::fabs(t)) + std::atan(s);
}

// The points: r from 0.1 to 2.1, s from -1 to 1, t from 0 to 3, stepped so that every
// evaluation sees new values and no table has to be read from memory.
struct Points {
    double r = 0.1, s = -1.0, t = 0.0;
    void Next() {
        r += 2.0 / kPoints;
        s += 2.0 / kPoints;
        t += 3.0 / kPoints;
    }
};

void Finish(benchmark::State& state, double sum) {
    benchmark::DoNotOptimize(sum);
    state.counters["per_eval"] = benchmark::Counter(double(kPoints) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

IExpressionEvaluator* CreateEvaluator(const wchar_t* text) {
    RegisterOrvComponents();
    IExpressionEvaluator* e = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ExpressionEvaluator, nullptr, CLSCTX_ALL, IID_IExpressionEvaluator,
                                reinterpret_cast<void**>(&e)))) {
        std::fprintf(stderr, "the expression evaluator is not registered\n");
        std::abort();
    }
    std::wstring copy = text;
    e->Reset(1);
    if (FAILED(e->SetExpression(copy.data()))) std::abort();
    return e;
}

// Through the interface, the calls the variable load functions make at every node.
void BM_ExprOrv(benchmark::State& state) {
    IExpressionEvaluator* e = CreateEvaluator(kFormulas[state.range(0)].orv);
    double sum = 0;
    for (auto _ : state) {
        Points p;
        for (long i = 0; i < kPoints; ++i, p.Next()) {
            e->SetR(p.r);
            e->SetS(p.s);
            e->SetT(p.t);
            e->Evaluate();
            double v;
            e->GetResult(&v);
            sum += v;
        }
    }
    e->Release();
    Finish(state, sum);
}

// One call per point: EvaluateAt.
void BM_ExprOrvEvaluateAt(benchmark::State& state) {
    IExpressionEvaluator* e = CreateEvaluator(kFormulas[state.range(0)].orv);
    double sum = 0;
    for (auto _ : state) {
        Points p;
        for (long i = 0; i < kPoints; ++i, p.Next()) {
            double v;
            e->EvaluateAt(p.r, p.s, p.t, &v);
            sum += v;
        }
    }
    e->Release();
    Finish(state, sum);
}

#ifdef ORV_HAVE_MUPARSER
void BM_ExprMuparser(benchmark::State& state) {
    double r = 0, s = 0, t = 0;
    mu::Parser parser;
    parser.DefineVar("r", &r);
    parser.DefineVar("s", &s);
    parser.DefineVar("t", &t);
    parser.SetExpr(kFormulas[state.range(0)].muparser);
    double sum = 0;
    for (auto _ : state) {
        Points p;
        for (long i = 0; i < kPoints; ++i, p.Next()) {
            r = p.r;
            s = p.s;
            t = p.t;
            sum += parser.Eval();
        }
    }
    Finish(state, sum);
}
BENCHMARK(BM_ExprMuparser)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
#endif

template <double (*F)(double, double, double)>
void BM_ExprNative(benchmark::State& state) {
    double sum = 0;
    for (auto _ : state) {
        Points p;
        for (long i = 0; i < kPoints; ++i, p.Next()) sum += F(p.r, p.s, p.t);
    }
    Finish(state, sum);
}

}  // namespace

BENCHMARK(BM_ExprOrv)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExprOrvEvaluateAt)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ExprNative, NativeE1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ExprNative, NativeE2)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ExprNative, NativeE3)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ExprNative, NativeE4)->Arg(3)->Unit(benchmark::kMillisecond);
