// (r, s, t) a block of nodes at a time: the arc tangent against the math library, the block
// conversion against the one-point conversion, and the check through the evaluator's block
// interface against the check through EvaluateAt alone.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "RstTestSupport.h"
#include "components/interfaces/IExpressionEvaluatorBlock.h"
#include "dialogs/variableloads/VariableLoadFunctions.h"
#include "host/model/DbDesignScenario.h"
#include "platform/com/Bstr.h"
#include "platform/com/ClassRegistry.h"

using namespace DataModelDialogs;
using OrvDbRecord::DbCoordinateSystem;
using OrvDbRecord::DisplayUnitSystem;
using OrvDbRecord::UnitSystem;

static ::testing::Environment* const kBlockEnvironment = ::testing::AddGlobalTestEnvironment(new rsttest::RstEnvironment);

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();

// Distance in units in the last place, counting across zero.
std::int64_t Ulps(double a, double b) {
    auto ordered = [](double d) {
        std::int64_t i;
        std::memcpy(&i, &d, sizeof i);
        return i < 0 ? std::numeric_limits<std::int64_t>::min() - i : i;
    };
    return std::llabs(ordered(a) - ordered(b));
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(RstAtan2Test, AgreesWithTheMathLibraryWithinTwoUlps) {
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::int64_t worst = 0;
    for (int i = 0; i < 300000; ++i) {
        double y, x;
        switch (i % 3) {
        case 0:  // around the origin
            y = unit(random);
            x = unit(random);
            break;
        case 1:  // every exponent, subnormal to huge
            y = std::ldexp(unit(random), int(random() % 2100) - 1075);
            x = std::ldexp(unit(random), int(random() % 2100) - 1075);
            break;
        default: {  // any bit pattern
            const std::uint64_t a = random(), b = random();
            std::memcpy(&y, &a, sizeof y);
            std::memcpy(&x, &b, sizeof x);
        }
        }
        const double mine = RstAtan2(y, x), libm = std::atan2(y, x);
        if (std::isnan(libm)) {
            ASSERT_TRUE(std::isnan(mine)) << y << ", " << x;
            continue;
        }
        const std::int64_t ulps = Ulps(mine, libm);
        ASSERT_LE(ulps, 2) << std::hexfloat << "atan2(" << y << ", " << x << ") = " << mine << ", the library gives " << libm;
        worst = std::max(worst, ulps);
    }
    EXPECT_LE(worst, 2);
}

TEST(RstAtan2Test, AxesDiagonalsZerosAndInfinitiesAreExact) {
    struct Case {
        double y, x;
    };
    const double big = DBL_MAX, small = DBL_MIN;
    const Case cases[] = {
        {0.0, 1.0},    {-0.0, 1.0},   {0.0, -1.0},   {-0.0, -1.0},  {0.0, 0.0},     {-0.0, 0.0},    {0.0, -0.0},
        {-0.0, -0.0},  {2.0, 0.0},    {-2.0, 0.0},   {2.0, -0.0},   {-2.0, -0.0},   {kTiny, 0.0},   {-big, -0.0},
        {1.0, 1.0},    {-1.0, 1.0},   {1.0, -1.0},   {-1.0, -1.0},  {kTiny, kTiny}, {big, -big},    {small, small},
        {kInf, kInf},  {-kInf, kInf}, {kInf, -kInf}, {-kInf, -kInf}, {kInf, 1.0},   {-kInf, -1.0},  {kInf, big},
        {1.0, kInf},   {-1.0, kInf},  {1.0, -kInf},  {-1.0, -kInf}, {big, kInf},    {0.0, -kInf},   {0.0, kTiny},
        {0.0, -kTiny}, {kTiny, -big}, {3.0, 4.0},    {-5.0, 12.0},
    };
    for (const Case& c : cases) {
        const double mine = RstAtan2(c.y, c.x), libm = std::atan2(c.y, c.x);
        if (c.y == 3.0 || c.y == -5.0) {
            EXPECT_LE(Ulps(mine, libm), 2) << c.y << ", " << c.x;
            continue;
        }
        EXPECT_TRUE(SameBits(mine, libm)) << std::hexfloat << "atan2(" << c.y << ", " << c.x << ") = " << mine
                                          << ", the library gives " << libm;
    }
    EXPECT_TRUE(std::isnan(RstAtan2(kNaN, 1.0)));
    EXPECT_TRUE(std::isnan(RstAtan2(1.0, kNaN)));
    EXPECT_TRUE(std::isnan(RstAtan2(kNaN, kInf)));
    EXPECT_EQ(RstAtan2(1.0, 0.0), M_PI_2);
    EXPECT_EQ(RstAtan2(0.0, -3.0), M_PI);
    EXPECT_EQ(RstAtan2(1.0, 1.0), M_PI_4);
}

// Points around each frame's origin and axis, and a few that are not numbers.
std::vector<std::array<double, 3>> SamplePoints() {
    std::vector<std::array<double, 3>> points = {
        {0.1, 0.2, 0.3}, {0, 0, 0}, {0.1, 0.2, 5}, {-3, 0.2, 0.3}, {0.1, -4, 0.3}, {1e-300, 0, 0}, {1e300, -1e300, 2},
        {kNaN, 1, 2},    {1, kInf, 0}, {-0.0, -0.0, -0.0},
    };
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> spread(-10, 10);
    for (int i = 0; i < 45; ++i) points.push_back({spread(random), spread(random), spread(random)});
    return points;
}

TEST(RstBlockTest, ABlockGivesWhatEachPointGivesAlone) {
    const std::vector<std::array<double, 3>> points = SamplePoints();
    std::vector<double> x, y, z;
    for (const auto& p : points) {
        x.push_back(p[0]);
        y.push_back(p[1]);
        z.push_back(p[2]);
    }
    for (std::uint32_t type : {0u, 1u, 2u, 3u, 7u}) {
        CCSHelper frame;
        frame.SetUp(rsttest::System(type, {0.1, 0.2, 0.3}, {0.1, 1.2, 0.3}, {2, 0.2, 0.3}));
        for (unsigned needed = 0; needed < 8; ++needed)
            for (double factor : {1.0, 1000.0, 1 / 0.0254})
                // Every count from 0 to past two vectors, and all points: full vectors and tails.
                for (std::size_t n : {std::size_t(0), std::size_t(1), std::size_t(3), std::size_t(4), std::size_t(5),
                                      std::size_t(9), points.size()}) {
                    std::vector<double> r(n + 1, -7), s(n + 1, -7), t(n + 1, -7);
                    frame.ToRstBlock(n, x.data(), y.data(), z.data(), needed, factor, r.data(), s.data(), t.data());
                    for (std::size_t i = 0; i < n; ++i) {
                        const RstPoint p = frame.ScaleLengths(frame.ToModelRst(points[i], needed), factor);
                        ASSERT_TRUE(SameBits(r[i], p.r) && SameBits(s[i], p.s) && SameBits(t[i], p.t))
                            << "type " << type << " needed " << needed << " point " << i;
                    }
                    EXPECT_EQ(r[n], -7) << "nothing written past the block";
                    EXPECT_EQ(t[n], -7);
                }
    }
}

TEST(RstBlockTest, TheVariablesAreTheTextbookFormulas) {
    // Against sqrt and the library's atan2 of the projected coordinates: lengths exact, angles
    // within 2 units in the last place.
    for (std::uint32_t type : {1u, 3u}) {
        CCSHelper frame;
        ASSERT_TRUE(frame.SetUp(rsttest::System(type, {0.1, 0.2, 0.3}, {0.1, 0.2, 1.3}, {2, 0.2, 0.3})));
        for (const auto& p : SamplePoints()) {
            const RstPoint rst = frame.ToModelRst(p);
            const double lx = (p[0] - 0.1) * frame.GetAxis(0)[0] + (p[1] - 0.2) * frame.GetAxis(0)[1] + (p[2] - 0.3) * frame.GetAxis(0)[2];
            const double ly = (p[0] - 0.1) * frame.GetAxis(1)[0] + (p[1] - 0.2) * frame.GetAxis(1)[1] + (p[2] - 0.3) * frame.GetAxis(1)[2];
            const double lz = (p[0] - 0.1) * frame.GetAxis(2)[0] + (p[1] - 0.2) * frame.GetAxis(2)[1] + (p[2] - 0.3) * frame.GetAxis(2)[2];
            const double planar = std::sqrt(lx * lx + ly * ly);
            if (std::isnan(rst.r)) {
                EXPECT_TRUE(std::isnan(planar) || std::isnan(lz));
                continue;
            }
            if (type == 1) {
                EXPECT_TRUE(SameBits(rst.r, planar));
                EXPECT_LE(Ulps(rst.s, std::atan2(ly, lx)), 2);
                EXPECT_TRUE(SameBits(rst.t, lz));
            } else {
                EXPECT_TRUE(SameBits(rst.r, std::sqrt(lx * lx + ly * ly + lz * lz)));
                EXPECT_LE(Ulps(rst.s, std::atan2(planar, lz)), 2);
                EXPECT_LE(Ulps(rst.t, std::atan2(ly, lx)), 2);
            }
        }
    }
}

// An evaluator that offers only IExpressionEvaluator, as another component might: the check
// must fall back to EvaluateAt. Counts the calls it passes on.
class PlainEvaluator final : public IExpressionEvaluator {
public:
    explicit PlainEvaluator(IExpressionEvaluator* inner) : inner_(inner) {}
    int evaluateAtCalls = 0;

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IExpressionEvaluator) return E_NOINTERFACE;
        *object = static_cast<IExpressionEvaluator*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetErrorText(WCHAR* b, LONG c, LONG* l) override { return inner_->GetErrorText(b, c, l); }
    HRESULT GetErrorPosition(LONG* c) override { return inner_->GetErrorPosition(c); }
    HRESULT GetVariablesUsed(LONG* m) override { return inner_->GetVariablesUsed(m); }
    HRESULT GetProgramListing(WCHAR* b, LONG c, LONG* l) override { return inner_->GetProgramListing(b, c, l); }
    HRESULT GetExpression(WCHAR* b, LONG c, LONG* l) override { return inner_->GetExpression(b, c, l); }
    HRESULT SetExpression(BSTR text) override { return inner_->SetExpression(text); }
    HRESULT EvaluateAt(double r, double s, double t, double* v) override {
        ++evaluateAtCalls;
        return inner_->EvaluateAt(r, s, t, v);
    }
    HRESULT SetNumberSymbols(WCHAR d, WCHAR n, WCHAR p) override { return inner_->SetNumberSymbols(d, n, p); }
    HRESULT Evaluate() override { return inner_->Evaluate(); }
    HRESULT GetResult(double* v) override { return inner_->GetResult(v); }
    HRESULT GetR(double* v) override { return inner_->GetR(v); }
    HRESULT SetR(double v) override { return inner_->SetR(v); }
    HRESULT GetS(double* v) override { return inner_->GetS(v); }
    HRESULT SetS(double v) override { return inner_->SetS(v); }
    HRESULT GetT(double* v) override { return inner_->GetT(v); }
    HRESULT SetT(double v) override { return inner_->SetT(v); }
    HRESULT GetMode(LONG* m) override { return inner_->GetMode(m); }
    HRESULT Reset(LONG mode) override { return inner_->Reset(mode); }

private:
    IExpressionEvaluator* inner_;
};

CComPtr<IExpressionEvaluator> CreateWith(const char* engine) {
    setenv("ORV_EXPR_ENGINE", engine, 1);
    CComPtr<IExpressionEvaluator> evaluator;
    EXPECT_EQ(CreateExpressionEvaluator(evaluator), S_OK);
    unsetenv("ORV_EXPR_ENGINE");
    return evaluator;
}

class RstBlockCheckTest : public ::testing::TestWithParam<const char*> {};

INSTANTIATE_TEST_SUITE_P(Engines, RstBlockCheckTest, ::testing::Values("machine code", "interpreter"));

TEST_P(RstBlockCheckTest, BlockAndNodeByNodeFailAtTheSameNodeWithTheSameMessage) {
    // 700 nodes on a cylinder: three blocks, the last one short. Failures in the first, the
    // middle and the last block, at a node of the axis, and none.
    rsttest::NodeSet nodes;
    for (int i = 0; i < 700; ++i) {
        const double angle = 0.01 * i;
        const double radius = i == 613 ? 0.0 : 1 + i % 7;
        nodes.Add(radius * std::cos(angle), radius * std::sin(angle), 0.5 * i);
    }
    const wchar_t* const expressions[] = {
        L"r*s+t", L"1/(t-10)", L"1/(t-200)", L"1/(t-349.5)", L"LN(r)", L"SQR(s-3)", L"EXP(t)", L"100*(1-(r/200)^2)",
        L"2", L"(r", L"",
    };
    const DbCoordinateSystem system = rsttest::System(1);
    const CCSHelper frame = MakeFrame(&system);
    for (const wchar_t* text : expressions) {
        CComPtr<IExpressionEvaluator> withBlocks = CreateWith(GetParam());
        CComPtr<IExpressionEvaluator> inner = CreateWith(GetParam());
        PlainEvaluator plain(inner);
        const RstCheckOutcome a = EvaluateAtNodes(*withBlocks, text, frame, 1000.0, nodes.nodes);
        const RstCheckOutcome b = EvaluateAtNodes(plain, text, frame, 1000.0, nodes.nodes);
        EXPECT_EQ(a.result, b.result) << text;
        EXPECT_EQ(a.failedIndex, b.failedIndex) << text;
        EXPECT_EQ(a.failedNodeId, b.failedNodeId) << text;
        EXPECT_TRUE(SameBits(a.failedPoint.r, b.failedPoint.r) && SameBits(a.failedPoint.s, b.failedPoint.s) &&
                    SameBits(a.failedPoint.t, b.failedPoint.t))
            << text;
        EXPECT_EQ(a.detail, b.detail) << text;
        EXPECT_EQ(FormatExpressionError(a), FormatExpressionError(b)) << text;
        if (b.failedIndex != RstCheckOutcome::kNoNode) {
            EXPECT_EQ(plain.evaluateAtCalls, int(b.failedIndex) + 1) << text;
            EXPECT_EQ(b.failedNodeId, nodes.nodes[b.failedIndex]->Id()) << text;
        } else if (b.Succeeded()) {
            EXPECT_EQ(plain.evaluateAtCalls, 700) << text;
        }
    }
}

TEST_P(RstBlockCheckTest, ANodeThatIsNotANumberFailsAtThatNodeAsNodeByNode) {
    // 600 nodes, one of them with no x in the second block: through the projection on the axes
    // none of r, s and t is a number there.
    rsttest::NodeSet nodes;
    for (int i = 0; i < 600; ++i) nodes.Add(i == 300 ? kNaN : 1 + 0.01 * i, 0.5, 0.25 * i);
    const DbCoordinateSystem system = rsttest::System(1);
    const CCSHelper frame = MakeFrame(&system);
    struct Case {
        const wchar_t* text;
        HRESULT result;
    };
    const HRESULT notANumber = MakeExpressionError(kExprErrorNotANumber);
    for (const Case c : {Case{L"r*s+t", notANumber}, Case{L"s-1", notANumber}, Case{L"t*2+SIN(t)", notANumber}, Case{L"EXP(r/1e9)", notANumber}}) {
        CComPtr<IExpressionEvaluator> withBlocks = CreateWith(GetParam());
        CComPtr<IExpressionEvaluator> inner = CreateWith(GetParam());
        PlainEvaluator plain(inner);
        const RstCheckOutcome a = EvaluateAtNodes(*withBlocks, c.text, frame, 1000.0, nodes.nodes);
        const RstCheckOutcome b = EvaluateAtNodes(plain, c.text, frame, 1000.0, nodes.nodes);
        EXPECT_EQ(a.result, c.result) << c.text;
        EXPECT_EQ(b.result, c.result) << c.text;
        EXPECT_EQ(a.failedIndex, b.failedIndex) << c.text;
        EXPECT_EQ(a.detail, b.detail) << c.text;
        if (FAILED(c.result)) {
            EXPECT_EQ(a.failedIndex, 300u) << c.text;
            EXPECT_EQ(a.failedNodeId, 301u) << c.text;
        }
    }
}

TEST(RstBlockCheckTest, ASurfaceReadFromTheNodeStoreChecksAsItsNodeList) {
    // Nodes added out of id order, a surface listing them in its own order with an unknown id;
    // the check straight from the store and the check over the object's node list agree.
    OrvDbRecord::DbDesignScenario scenario(1);
    scenario.SetModelUnitSystem(UnitSystem(UnitSystem::kTypeSI));
    scenario.SetCurrentDisplayUnitSystemType(UnitSystem::kTypeMmTonneSecond);
    std::vector<std::uint32_t> ids;
    for (std::uint32_t i = 0; i < 600; ++i) {
        const std::uint32_t id = i % 2 ? 5000 - i : 3 * i + 1;
        scenario.AddNode(std::make_unique<OrvDbRecord::DbNode>(id, std::array<double, 3>{0.001 * (i % 13), 0.002 * (i % 5), 0.001 * i}));
        ids.push_back(id);
    }
    std::reverse(ids.begin(), ids.end());
    ids.insert(ids.begin() + 300, 999999);
    scenario.AddSurface(std::make_unique<OrvDbRecord::DbPartSurface>(1, 1, ids));
    RURIVO_LOADS_V1_ENTRY entry;
    const OrvDbRecord::DbFeaObject& load = scenario.CreateFeaObject(55, entry, OrvDbRecord::StorageMapItem::Kind::Surface, 1);
    const DbCoordinateSystem system = rsttest::System(1);
    for (const wchar_t* text : {L"r*s+t", L"1/(t-300)", L"1/(t-2)", L"LN(r)"}) {
        rsttest::MessageRecorder fromStore, fromList;
        bool a, b;
        {
            orv::win::DriverScope scope(&fromStore);
            a = CheckExpressionOnSurface(text, &system, load);
        }
        {
            orv::win::DriverScope scope(&fromList);
            b = CheckExpressionOnNodes(text, &system, load.GetNodes(), scenario.GetCurrentDisplayUnitSystem());
        }
        EXPECT_EQ(a, b) << text;
        ASSERT_EQ(fromStore.boxes.size(), fromList.boxes.size()) << text;
        if (!fromStore.boxes.empty()) {
            EXPECT_EQ(fromStore.boxes[0].text, fromList.boxes[0].text) << text;
        }
    }
    const RstRanges fromStore = ComputeRstRanges(&system, load);
    const RstRanges fromList = ComputeRstRanges(&system, load.GetNodes(), scenario.GetCurrentDisplayUnitSystem());
    EXPECT_EQ(fromStore.nodeCount, 600u);
    EXPECT_EQ(fromList.nodeCount, 600u);
    EXPECT_EQ(fromStore.maximum.t, fromList.maximum.t);
    EXPECT_NEAR(fromStore.maximum.t, 599.0, 1e-9);
    EXPECT_EQ(CollectRstNodeValues(&system, load).r, CollectRstNodeValues(&system, load.GetNodes(), scenario.GetCurrentDisplayUnitSystem()).r);
}

}  // namespace
