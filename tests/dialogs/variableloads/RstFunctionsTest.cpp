// The variable load functions: frames and (r, s, t), the check of an expression at every node
// with its messages, the ranges for plotting and the primitives.

#include <cmath>
#include <filesystem>
#include <limits>
#include <numbers>

#include "RstTestSupport.h"
#include "dialogs/resources/VariableLoads.h"
#include "dialogs/variableloads/VariableLoadFunctions.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/ModelFile.h"
#include "platform/com/Bstr.h"
#include "platform/com/ClassRegistry.h"
#include "platform/res/DialogTemplate.h"
#include "platform/res/Module.h"
#include "platform/res/Resources.h"

using namespace DataModelDialogs;
using OrvDbRecord::DbCoordinateSystem;
using OrvDbRecord::DisplayUnitSystem;
using OrvDbRecord::UnitSystem;
using rsttest::NodeSet;
using rsttest::System;

static ::testing::Environment* const kRstEnvironment = ::testing::AddGlobalTestEnvironment(new rsttest::RstEnvironment);

namespace {

constexpr double kPi = std::numbers::pi;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

void ExpectRst(const RstPoint& p, double r, double s, double t, const std::string& what) {
    EXPECT_NEAR(p.r, r, 1e-12) << what << " r";
    EXPECT_NEAR(p.s, s, 1e-12) << what << " s";
    EXPECT_NEAR(p.t, t, 1e-12) << what << " t";
}

void ExpectAxis(const CCSHelper& frame, int axis, double x, double y, double z) {
    EXPECT_NEAR(frame.GetAxis(axis)[0], x, 1e-15) << "axis " << axis;
    EXPECT_NEAR(frame.GetAxis(axis)[1], y, 1e-15) << "axis " << axis;
    EXPECT_NEAR(frame.GetAxis(axis)[2], z, 1e-15) << "axis " << axis;
}

DisplayUnitSystem Display(std::uint32_t model, std::uint32_t display) {
    return DisplayUnitSystem(UnitSystem(model), UnitSystem(display));
}

// Runs the check with the recorder as driver; the boxes it showed are in `recorder`.
bool Check(const std::wstring& expression, const DbCoordinateSystem* system, const NodeSet& nodes,
           rsttest::MessageRecorder& recorder, const DisplayUnitSystem& display = DisplayUnitSystem()) {
    orv::win::DriverScope scope(&recorder);
    return CheckExpressionOnNodes(expression, system, nodes.nodes, display);
}

std::wstring Text(UINT id) {
    CString s;
    s.LoadString(id);
    return s.str();
}

}  // namespace

// ---- frames and (r, s, t) ----

TEST(CCSHelperTest, StartsAsTheGlobalSystemWithZeroAxes) {
    CCSHelper frame;
    EXPECT_EQ(frame.GetType(), 0u);
    for (int axis = 0; axis < 3; ++axis) ExpectAxis(frame, axis, 0, 0, 0);
    ExpectRst(frame.ToModelRst({1, -2, 3}), 1, -2, 3, "global copies");
}

TEST(CCSHelperTest, PointsBecomeRstPerType) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::array<double, 3> a, b, c, p;
        double r, s, t;
    };
    const double root2 = std::sqrt(2.0);
    const Case cases[] = {
        {"cylindrical on z", 1, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 2, 5}, 2, kPi / 2, 5},
        {"cylindrical negative angle", 1, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, -2, 0}, 2, -kPi / 2, 0},
        {"cylindrical on the axis", 1, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, -4}, 0, 0, -4},
        {"cylindrical shifted", 1, {1, 1, 1}, {1, 1, 3}, {2, 1, 1}, {1, 3, 2}, 2, kPi / 2, 1},
        {"spherical on the axis", 3, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, 3}, 3, 0, 0},
        {"spherical in the plane", 3, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {1, 1, 0}, root2, kPi / 2, kPi / 4},
        {"spherical below", 3, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, -2}, 2, kPi, 0},
        {"local rectangular node 1", 2, {1, 0, 0}, {1, 0, 1}, {1, 1, 0}, {1, 2, 3}, 2, 0, 3},
        {"local rectangular node 2", 2, {1, 0, 0}, {1, 0, 1}, {1, 1, 0}, {0, 0, 0}, 0, 1, 0},
        {"global ignores the points", 0, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}, {1, 2, 3}, 1, 2, 3},
    };
    for (const Case& c : cases) {
        DbCoordinateSystem system = System(c.type, c.a, c.b, c.c);
        CCSHelper frame;
        EXPECT_TRUE(frame.SetUp(system)) << c.name;
        EXPECT_EQ(frame.GetType(), c.type) << c.name;
        ExpectRst(frame.ToModelRst(c.p), c.r, c.s, c.t, c.name);
    }
}

TEST(CCSHelperTest, LocalRectangularAxes) {
    CCSHelper frame;
    ASSERT_TRUE(frame.SetUp(System(2, {1, 0, 0}, {1, 0, 1}, {1, 1, 0})));
    ExpectAxis(frame, 0, 0, 1, 0);   // local x
    ExpectAxis(frame, 1, -1, 0, 0);  // local y
    ExpectAxis(frame, 2, 0, 0, 1);   // local z
    EXPECT_EQ(frame.GetPointA(), (CCSHelper::Vector3{1, 0, 0}));
    EXPECT_EQ(frame.GetPointC(), (CCSHelper::Vector3{1, 1, 0}));
}

TEST(CCSHelperTest, DegenerateSystemsLeaveTheAxesAsTheyWere) {
    struct Case {
        const char* name;
        std::array<double, 3> a, b, c;
    };
    const Case cases[] = {
        {"B on A", {1, 1, 1}, {1, 1, 1}, {2, 1, 1}},
        {"C on A", {1, 1, 1}, {1, 1, 2}, {1, 1, 1}},
        {"C on the axis", {0, 0, 0}, {0, 0, 1}, {0, 0, 7}},
        {"all equal", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {"not finite", {0, 0, 0}, {0, 0, kNaN}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        // Fresh: the axes stay zero, so every node has zero local coordinates.
        CCSHelper fresh;
        EXPECT_FALSE(fresh.SetUp(System(1, c.a, c.b, c.c))) << c.name;
        for (int axis = 0; axis < 3; ++axis) ExpectAxis(fresh, axis, 0, 0, 0);
        ExpectRst(fresh.ToModelRst({3, 4, 5}), 0, 0, 0, c.name);
        // After a good set-up: the earlier axes are kept.
        CCSHelper reused;
        ASSERT_TRUE(reused.SetUp(System(2, {1, 0, 0}, {1, 0, 1}, {1, 1, 0})));
        EXPECT_FALSE(reused.SetUp(System(2, c.a, c.b, c.c))) << c.name;
        ExpectAxis(reused, 0, 0, 1, 0);
        ExpectAxis(reused, 2, 0, 0, 1);
    }
}

TEST(CCSHelperTest, LengthsGoToDisplayUnitsAndAnglesStayRadians) {
    // Model in metres, shown in millimetres.
    const DisplayUnitSystem display = Display(UnitSystem::kTypeSI, UnitSystem::kTypeMmTonneSecond);
    struct Case {
        std::uint32_t type;
        std::array<double, 3> p;
        double r, s, t;
    };
    const Case cases[] = {
        {0, {1, 2, 3}, 1000, 2000, 3000},
        {2, {1, 2, 3}, 1000, 2000, 3000},
        {1, {0, 2, 5}, 2000, kPi / 2, 5000},
        {3, {1, 1, 0}, std::sqrt(2.0) * 1000, kPi / 2, kPi / 4},
    };
    for (const Case& c : cases) {
        CCSHelper frame;
        frame.SetUp(System(c.type));
        const RstPoint p = frame.ToRst(c.p, display);
        EXPECT_NEAR(p.r, c.r, 1e-9) << c.type;
        EXPECT_NEAR(p.s, c.s, 1e-9) << c.type;
        EXPECT_NEAR(p.t, c.t, 1e-9) << c.type;
    }
    EXPECT_DOUBLE_EQ(ModelToDisplayLengthFactor(Display(UnitSystem::kTypeSI, UnitSystem::kTypeInchPoundSecond)), 1 / 0.0254);
    EXPECT_EQ(ModelToDisplayLengthFactor(DisplayUnitSystem()), 1.0);
}

TEST(CCSHelperTest, OnlyTheNeededVariablesAreComputedAndTheyAreExact) {
    const std::array<double, 3> points[] = {{0.3, -1.2, 2.5}, {0, 0, 0}, {-4, 0.5, -0.25}};
    for (std::uint32_t type : {0u, 1u, 2u, 3u}) {
        CCSHelper frame;
        frame.SetUp(System(type, {0.1, 0.2, 0.3}, {0.1, 1.2, 0.3}, {2, 0.2, 0.3}));
        for (const auto& p : points) {
            const RstPoint all = frame.ToModelRst(p);
            for (unsigned needed = 0; needed < 8; ++needed) {
                const RstPoint some = frame.ToModelRst(p, needed);
                const std::string what = "type " + std::to_string(type) + " needed " + std::to_string(needed);
                if (needed & 1u) {
                    EXPECT_EQ(some.r, all.r) << what;
                }
                if (needed & 2u) {
                    EXPECT_EQ(some.s, all.s) << what;
                }
                if (needed & 4u) {
                    EXPECT_EQ(some.t, all.t) << what;
                }
            }
        }
    }
}

TEST(CCSHelperTest, MakeFrameOfNoSystemIsGlobal) {
    CCSHelper frame = MakeFrame(nullptr);
    EXPECT_EQ(frame.GetType(), 0u);
    ExpectRst(frame.ToModelRst({7, 8, 9}), 7, 8, 9, "null system");
}

// ---- messages ----

TEST(RstMessagesTest, FailureCodesMapToTheirStrings) {
    struct Case {
        HRESULT hr;
        UINT id;
    };
    const Case cases[] = {
        {S_OK, 0},
        {S_FALSE, 0},
        {E_FAIL, IDS_EXPRESSION_EMPTY},
        {MakeExpressionError(kExprErrorSyntax), 3301},
        {MakeExpressionError(kExprErrorCalculation), 3302},
        {MakeExpressionError(kExprErrorDivisionByZero), 3303},
        {MakeExpressionError(kExprErrorOverflow), 3304},
        {MakeExpressionError(kExprErrorNotANumber), 3305},
        {MakeExpressionError(kExprErrorPower), 3306},
        {MakeExpressionError(kExprErrorNoVariable), 3307},
        // Outside the known classes: a message of its own rather than a missing string.
        {MakeExpressionError(0), IDS_EXPRESSION_FAILED},
        {MakeExpressionError(8), IDS_EXPRESSION_FAILED},
        {E_OUTOFMEMORY, IDS_EXPRESSION_FAILED},
        {E_INVALIDARG, IDS_EXPRESSION_FAILED},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpressionErrorMessageId(c.hr), c.id) << std::hex << c.hr;
}

TEST(RstMessagesTest, TextsOfTheLibrary) {
    EXPECT_EQ(Text(IDS_INVALID_EXPRESSION_CAPTION), L"Invalid Expression");
    EXPECT_EQ(Text(IDS_EXPRESSION_EMPTY), L"The function expression is empty.");
    EXPECT_EQ(Text(3307), L"You must use at leat one reference to 'r', 's' or 't' in your expression.");
    RstCheckOutcome unknown;
    unknown.result = E_OUTOFMEMORY;
    EXPECT_EQ(FormatExpressionError(unknown), L"The function could not be evaluated (0x8007000E).");
    RstCheckOutcome ok;
    EXPECT_EQ(FormatExpressionError(ok), L"");
}

TEST(RstMessagesTest, EveryStringHasItsGermanTranslation) {
    const std::filesystem::path satellite = std::filesystem::path(ORV_BINARY_DIR) / "bin/Locale/libDataModelDialogs.DEU";
    if (!std::filesystem::exists(satellite)) GTEST_SKIP() << "the German satellite is not built: " << satellite;
    HMODULE german = LoadLibraryEx(satellite.wstring().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(german, nullptr);
    const UINT ids[] = {133, 134, 135, 136, 137, 138, 3094, 3095, 3096, 3299, 3300, 3301, 3302,
                        3303, 3304, 3305, 3306, 3307, 3308, 3309, 3310};
    for (UINT id : ids) {
        std::wstring english, translated;
        EXPECT_TRUE(orv::res::LoadStringResource(nullptr, id, english)) << id;
        EXPECT_TRUE(orv::res::LoadStringResource(german, id, translated)) << id;
        EXPECT_FALSE(translated.empty()) << id;
        // The same inserts in both languages.
        for (const wchar_t* insert : {L"%1", L"%2", L"%3", L"%4", L"%5"})
            EXPECT_EQ(english.find(insert) == std::wstring::npos, translated.find(insert) == std::wstring::npos) << id << " " << insert;
    }
    std::wstring caption;
    ASSERT_TRUE(orv::res::LoadStringResource(german, IDS_INVALID_EXPRESSION_CAPTION, caption));
    EXPECT_EQ(caption, L"Ung\u00fcltiger Ausdruck");
    EXPECT_TRUE(orv::res::FindDialogTemplate(german, UINT(IDD_SHAPE_PRIMITIVES)));
    FreeLibrary(german);
}

// ---- the check ----

TEST(RstCheckTest, EachErrorClassReachesItsMessage) {
    NodeSet nodes;
    nodes.Add(1, 0, 0).Add(0, 0, 0).Add(2, 0, 0);  // the second node lies on the axis: r = 0
    const DbCoordinateSystem cylindrical = System(1);
    struct Case {
        const wchar_t* expression;
        UINT id;
        bool atNode;  // the failure names a node (else the text itself failed)
    };
    const Case cases[] = {
        {L"", IDS_EXPRESSION_EMPTY, false},
        {L"   ", IDS_EXPRESSION_EMPTY, false},
        {L"2*(r", 3301, false},
        {L"FOO(r)", 3301, false},
        {L"LN(r)", 3302, true},
        {L"1/r", 3303, true},
        {L"1e400*r", 3304, false},
        {L"EXP(r*1000)", 3304, true},
        {L"(r-1)^0.5", 3306, true},
        {L"1+2", 3307, false},
        {L"PI()", 3307, false},
    };
    for (const Case& c : cases) {
        rsttest::MessageRecorder recorder;
        EXPECT_FALSE(Check(c.expression, &cylindrical, nodes, recorder)) << c.expression;
        ASSERT_EQ(recorder.boxes.size(), 1u) << c.expression;
        const orv::win::MessageBoxView& box = recorder.boxes[0];
        EXPECT_EQ(box.caption, L"Invalid Expression") << c.expression;
        EXPECT_EQ(box.icon, UINT(MB_ICONEXCLAMATION)) << c.expression;
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK}) << c.expression;
        EXPECT_EQ(box.text.rfind(Text(c.id), 0), 0u) << c.expression << ": " << box.text;
        EXPECT_EQ(box.text.find(L"At node") != std::wstring::npos, c.atNode) << c.expression << ": " << box.text;
    }
}

TEST(RstCheckTest, NotANumberAtANodeIsClass5) {
    NodeSet nodes;
    nodes.Add(1, 2, 3).Add(kNaN, 0, 0);
    const DbCoordinateSystem global = System(0);
    rsttest::MessageRecorder recorder;
    EXPECT_FALSE(Check(L"r+s+t", &global, nodes, recorder));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text.rfind(Text(3305), 0), 0u) << recorder.boxes[0].text;
    EXPECT_NE(recorder.boxes[0].text.find(L"At node 2 (r = nan"), std::wstring::npos) << recorder.boxes[0].text;
}

TEST(RstCheckTest, TheMessageShowsEveryVariableOfTheFailingNode) {
    // 1/r uses r alone, so s is not computed in the loop; the message still shows it.
    NodeSet nodes;
    nodes.Add(0, 2, 5).Add(0, 0, 7);
    const DbCoordinateSystem cylindrical = System(1, {0, 0, 0}, {0, 0, 1}, {1, 0, 0});
    CComPtr<IExpressionEvaluator> evaluator;
    ASSERT_EQ(CreateExpressionEvaluator(evaluator), S_OK);
    const RstCheckOutcome outcome = EvaluateAtNodes(*evaluator, L"1/(r-2)", MakeFrame(&cylindrical), 1.0, nodes.nodes);
    EXPECT_EQ(outcome.failedIndex, 0u);
    ExpectRst(outcome.failedPoint, 2, kPi / 2, 5, "failed point");
}

TEST(RstCheckTest, TheFirstFailingNodeEndsTheCheck) {
    NodeSet nodes;
    nodes.Add(3, 0, 0).Add(2, 0, 0).Add(1, 0, 0).Add(2, 0, 0);
    const DbCoordinateSystem global = System(0);
    CComPtr<IExpressionEvaluator> evaluator;
    ASSERT_EQ(CreateExpressionEvaluator(evaluator), S_OK);
    const RstCheckOutcome outcome = EvaluateAtNodes(*evaluator, L"1/(r-2)", MakeFrame(&global), 1.0, nodes.nodes);
    EXPECT_EQ(outcome.result, MakeExpressionError(kExprErrorDivisionByZero));
    EXPECT_EQ(outcome.failedIndex, 1u);
    EXPECT_EQ(outcome.failedNodeId, 2u);
    ExpectRst(outcome.failedPoint, 2, 0, 0, "failed point");
    EXPECT_FALSE(outcome.detail.empty());
    const std::wstring text = FormatExpressionError(outcome);
    EXPECT_EQ(text, Text(3303) + L"\n\nAt node 2 (r = 2, s = 0, t = 0): " + outcome.detail);
}

TEST(RstCheckTest, FailuresAreFoundInEveryBlockOfNodes) {
    // Many nodes are read a block at a time: the failing node is still named exactly.
    for (std::size_t failing : {std::size_t(0), std::size_t(255), std::size_t(256), std::size_t(513), std::size_t(999)}) {
        NodeSet nodes;
        for (std::size_t i = 0; i < 1000; ++i) nodes.Add(i == failing ? 0.0 : 1.0 + double(i), 0, 0);
        CComPtr<IExpressionEvaluator> evaluator;
        ASSERT_EQ(CreateExpressionEvaluator(evaluator), S_OK);
        const RstCheckOutcome outcome = EvaluateAtNodes(*evaluator, L"1/r", CCSHelper(), 1.0, nodes.nodes);
        EXPECT_EQ(outcome.result, MakeExpressionError(kExprErrorDivisionByZero)) << failing;
        EXPECT_EQ(outcome.failedIndex, failing);
        EXPECT_EQ(outcome.failedNodeId, std::uint32_t(failing + 1));
    }
}

TEST(RstCheckTest, SyntaxErrorsCarryThePosition) {
    NodeSet nodes;
    nodes.Add(1, 0, 0);
    CComPtr<IExpressionEvaluator> evaluator;
    ASSERT_EQ(CreateExpressionEvaluator(evaluator), S_OK);
    const RstCheckOutcome outcome = EvaluateAtNodes(*evaluator, L"2*(r", CCSHelper(), 1.0, nodes.nodes);
    EXPECT_EQ(outcome.result, MakeExpressionError(kExprErrorSyntax));
    EXPECT_EQ(outcome.failedIndex, RstCheckOutcome::kNoNode);
    EXPECT_NE(outcome.detail.find(L"column"), std::wstring::npos) << outcome.detail;
    EXPECT_EQ(FormatExpressionError(outcome), Text(3301) + L"\n\n" + outcome.detail);
}

TEST(RstCheckTest, AnExpressionThatEvaluatesEverywherePassesSilently) {
    NodeSet nodes;
    nodes.Add(0, 2, 5).Add(1, 1, 1).Add(-3, 0, 2);
    const DbCoordinateSystem cylindrical = System(1);
    rsttest::MessageRecorder recorder;
    EXPECT_TRUE(Check(L"100*(1-(r/2)^2)+SIN(s)*t", &cylindrical, nodes, recorder));
    EXPECT_TRUE(Check(L"sqr(r)+Sqrt(r)+ARCTAN(s)+COS(t)", &cylindrical, nodes, recorder));
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST(RstCheckTest, TheCoordinateSystemDecidesWhatFails) {
    // LN(r) fails at a node on the cylinder axis but not in the global system, where r is x.
    NodeSet nodes;
    nodes.Add(1, 0, 0).Add(1, 0, 5);
    const DbCoordinateSystem onXAxis = System(1, {0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    const DbCoordinateSystem global = System(0);
    rsttest::MessageRecorder recorder;
    EXPECT_TRUE(Check(L"LN(r)", &global, nodes, recorder));
    EXPECT_FALSE(Check(L"LN(r)", &onXAxis, nodes, recorder));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_NE(recorder.boxes[0].text.find(L"At node 1"), std::wstring::npos) << recorder.boxes[0].text;
}

TEST(RstCheckTest, DisplayUnitsReachTheExpression) {
    // r is 0.5 m; shown in millimetres it is 500, so LN(r-1) evaluates only in millimetres.
    NodeSet nodes;
    nodes.Add(0.5, 0, 0);
    const DbCoordinateSystem global = System(0);
    rsttest::MessageRecorder recorder;
    EXPECT_FALSE(Check(L"LN(r-1)", &global, nodes, recorder, Display(UnitSystem::kTypeSI, UnitSystem::kTypeSI)));
    EXPECT_TRUE(Check(L"LN(r-1)", &global, nodes, recorder, Display(UnitSystem::kTypeSI, UnitSystem::kTypeMmTonneSecond)));
    EXPECT_EQ(recorder.boxes.size(), 1u);
}

TEST(RstCheckTest, ASurfaceWithoutNodesAcceptsAnyEvaluableText) {
    NodeSet none;
    const DbCoordinateSystem spherical = System(3);
    rsttest::MessageRecorder recorder;
    EXPECT_TRUE(Check(L"1/(r-r)", &spherical, none, recorder));  // never evaluated
    EXPECT_TRUE(Check(L"LN(s)", &spherical, none, recorder));
    EXPECT_TRUE(recorder.boxes.empty());
    // The text itself must still be accepted.
    EXPECT_FALSE(Check(L"", &spherical, none, recorder));
    EXPECT_FALSE(Check(L"2*(r", &spherical, none, recorder));
    EXPECT_FALSE(Check(L"3", &spherical, none, recorder));
    ASSERT_EQ(recorder.boxes.size(), 3u);
    EXPECT_EQ(recorder.boxes[0].text, Text(IDS_EXPRESSION_EMPTY));
    EXPECT_EQ(recorder.boxes[1].text.rfind(Text(3301), 0), 0u);
    EXPECT_EQ(recorder.boxes[2].text.rfind(Text(3307), 0), 0u);
}

TEST(RstCheckTest, AMissingEvaluatorIsReportedUnderTheCaption) {
    NodeSet nodes;
    nodes.Add(1, 0, 0);
    orv::com::UnregisterClass(CLSID_ExpressionEvaluator);
    rsttest::MessageRecorder recorder;
    const bool accepted = Check(L"r", nullptr, nodes, recorder);
    CComPtr<IExpressionEvaluator> evaluator;
    const HRESULT created = CreateExpressionEvaluator(evaluator);
    RegisterOrvComponents();
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(FAILED(created));
    EXPECT_FALSE(evaluator);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].caption, L"Invalid Expression");
    EXPECT_EQ(recorder.boxes[0].icon, UINT(MB_ICONEXCLAMATION));
    EXPECT_NE(recorder.boxes[0].text.find(L"The expression evaluator component could not be created (0x"), std::wstring::npos)
        << recorder.boxes[0].text;
    // Registered again, the same check passes.
    EXPECT_TRUE(Check(L"r", nullptr, nodes, recorder));
    EXPECT_EQ(recorder.boxes.size(), 1u);
}

TEST(RstCheckTest, TheSampleModelsVariableLoadsThroughTheirObjects) {
    auto model = OrvDbRecord::LoadSampleModel();
    ASSERT_TRUE(model);
    OrvDbRecord::DbDesignScenario* scenario = model->GetFirstScenario();
    ASSERT_TRUE(scenario);
    scenario->UseModelUnitSystemForDisplay();
    const OrvDbRecord::DbFeaObject* load = scenario->FindFeaObject(21);  // on the surface around the hole
    ASSERT_TRUE(load);
    const DbCoordinateSystem* holeAxis = scenario->GetCoordinateSystems().Find(2);
    ASSERT_TRUE(holeAxis);
    rsttest::MessageRecorder recorder;
    orv::win::DriverScope scope(&recorder);
    // Every node of that surface lies 0.01*sqrt(2) m from the hole axis.
    EXPECT_TRUE(CheckExpressionOnSurface(L"1000*(1-r/0.02)", holeAxis, *load));
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_FALSE(CheckExpressionOnSurface(L"r/t", holeAxis, *load));  // t is 0 on that surface
    EXPECT_FALSE(CheckExpressionOnSurface(L"LN(r-0.015)", holeAxis, *load));
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[0].text.rfind(Text(3303), 0), 0u) << recorder.boxes[0].text;
    EXPECT_EQ(recorder.boxes[1].text.rfind(Text(3302), 0), 0u) << recorder.boxes[1].text;
    const RstRanges ranges = ComputeRstRanges(holeAxis, *load);
    EXPECT_EQ(ranges.nodeCount, 4u);
    EXPECT_NEAR(ranges.minimum.r, 0.01 * std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(ranges.maximum.r, 0.01 * std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(ranges.minimum.s, -3 * kPi / 4, 1e-12);
    EXPECT_NEAR(ranges.maximum.s, 3 * kPi / 4, 1e-12);
    // Shown in millimetres, the same nodes are 14.14... from the axis.
    ASSERT_TRUE(scenario->SetCurrentDisplayUnitSystemType(UnitSystem::kTypeMmTonneSecond));
    EXPECT_NEAR(ComputeRstRanges(holeAxis, *load).maximum.r, 10 * std::sqrt(2.0), 1e-12);
    EXPECT_EQ(CollectRstNodeValues(holeAxis, *load).s.size(), 4u);
}

TEST(RstCheckTest, LoadNodesAreTheObjectsNodesInItsOrder) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> ids;
    };
    const Case cases[] = {
        {"all ascending", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
        {"ascending with gaps and missing ids", {2, 3, 5, 8, 13, 21, 34, 40, 41, 99}},
        {"descending", {20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},
        {"repeated", {1, 1, 2, 3, 3, 4}},
        {"one", {7}},
        {"none", {}},
    };
    for (const Case& c : cases) {
        OrvDbRecord::DbDesignScenario scenario(1);
        for (std::uint32_t id = 1; id <= 20; ++id)
            scenario.AddNode(std::make_unique<OrvDbRecord::DbNode>(id * 2, std::array<double, 3>{double(id), 0, 0}));
        scenario.AddSurface(std::make_unique<OrvDbRecord::DbPartSurface>(1, 1, c.ids));
        RURIVO_LOADS_V1_ENTRY entry;
        const OrvDbRecord::DbFeaObject& load = scenario.CreateFeaObject(55, entry, OrvDbRecord::StorageMapItem::Kind::Surface, 1);
        EXPECT_EQ(GetLoadNodes(load), load.GetNodes()) << c.name;
    }
}

TEST(RstCheckTest, ALargeSurfaceNamesItsFailingNode) {
    // 20 nodes, ids 2 to 40, x = id / 2; the surface lists them all in ascending order.
    OrvDbRecord::DbDesignScenario scenario(1);
    std::vector<std::uint32_t> ids;
    for (std::uint32_t id = 1; id <= 20; ++id) {
        scenario.AddNode(std::make_unique<OrvDbRecord::DbNode>(id * 2, std::array<double, 3>{double(id), 0, 0}));
        ids.push_back(id * 2);
    }
    ids.insert(ids.begin() + 3, 7);  // an id without a node is skipped
    scenario.AddSurface(std::make_unique<OrvDbRecord::DbPartSurface>(1, 1, ids));
    RURIVO_LOADS_V1_ENTRY entry;
    const OrvDbRecord::DbFeaObject& load = scenario.CreateFeaObject(55, entry, OrvDbRecord::StorageMapItem::Kind::Surface, 1);
    rsttest::MessageRecorder recorder;
    orv::win::DriverScope scope(&recorder);
    EXPECT_TRUE(CheckExpressionOnSurface(L"LN(r)", nullptr, load));
    EXPECT_FALSE(CheckExpressionOnSurface(L"1/(r-7)", nullptr, load));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_NE(recorder.boxes[0].text.find(L"At node 14 (r = 7, s = 0, t = 0)"), std::wstring::npos) << recorder.boxes[0].text;
    EXPECT_EQ(ComputeRstRanges(nullptr, load).nodeCount, 20u);
}

// ---- ranges for plotting ----

TEST(RstRangesTest, MinimumAndMaximumOfEachVariable) {
    NodeSet nodes;
    nodes.Add(0, 2, 5).Add(-1, 0, -3).Add(0, -2, 1);
    const DbCoordinateSystem cylindrical = System(1);
    const RstRanges ranges = ComputeRstRanges(&cylindrical, nodes.nodes, DisplayUnitSystem());
    EXPECT_EQ(ranges.nodeCount, 3u);
    ExpectRst(ranges.minimum, 1, -kPi / 2, -3, "minimum");
    ExpectRst(ranges.maximum, 2, kPi, 5, "maximum");
}

TEST(RstRangesTest, NoNodesGiveZeroAndNaNIsLeftOut) {
    NodeSet none;
    const RstRanges empty = ComputeRstRanges(nullptr, none.nodes, DisplayUnitSystem());
    EXPECT_EQ(empty.nodeCount, 0u);
    ExpectRst(empty.minimum, 0, 0, 0, "empty minimum");
    ExpectRst(empty.maximum, 0, 0, 0, "empty maximum");
    NodeSet nodes;
    nodes.Add(kNaN, 4, 1).Add(2, kNaN, 1).Add(3, 5, 1);
    const RstRanges ranges = ComputeRstRanges(nullptr, nodes.nodes, DisplayUnitSystem());
    ExpectRst(ranges.minimum, 2, 4, 1, "minimum");
    ExpectRst(ranges.maximum, 3, 5, 1, "maximum");
}

TEST(RstRangesTest, NodeValuesAreDistinctAndOrdered) {
    NodeSet nodes;
    nodes.Add(3, 0, 1).Add(1, 0, 1).Add(3, 0, 2).Add(-0.0, 0, 1);
    const RstNodeValues values = CollectRstNodeValues(nullptr, nodes.nodes, Display(UnitSystem::kTypeSI, UnitSystem::kTypeCGS));
    EXPECT_EQ(std::vector<double>(values.r.begin(), values.r.end()), (std::vector<double>{0, 100, 300}));
    EXPECT_EQ(values.s.size(), 1u);
    EXPECT_EQ(std::vector<double>(values.t.begin(), values.t.end()), (std::vector<double>{100, 200}));
}

// ---- primitives ----

TEST(RstPrimitivesTest, TheListInItsOrderAndEachIsAFunctionOfTheEvaluator) {
    const std::vector<std::wstring> expected{L"ABS", L"ARCCOS", L"ARCCOSH", L"ARCSIN", L"ARCSINH", L"ARCTAN",
                                             L"ARCTANH", L"COS", L"COSH", L"EXP", L"LN", L"LOG",
                                             L"PI", L"SIN", L"SINH", L"SQR", L"TAN", L"TANH"};
    EXPECT_EQ(std::vector<std::wstring>(kShapePrimitives.begin(), kShapePrimitives.end()), expected);
    CComPtr<IExpressionEvaluator> evaluator;
    ASSERT_EQ(CreateExpressionEvaluator(evaluator), S_OK);
    for (const wchar_t* name : kShapePrimitives) {
        // Inserted as the popup does, into "r+" with the caret at the end.
        int caret = 0;
        std::wstring text = InsertPrimitive(L"r+", 2, 2, name, &caret);
        if (std::wstring(name) != L"PI") text.insert(std::size_t(caret), L"0.5");
        ASSERT_EQ(evaluator->Reset(kRstEvaluatorMode), S_OK);
        CComBSTR bstr(text.c_str());
        EXPECT_EQ(evaluator->SetExpression(bstr.m_str), S_OK) << text;
    }
}

TEST(RstPrimitivesTest, InsertReplacesTheSelectionAndPutsTheCaretInside) {
    struct Case {
        const wchar_t* text;
        int start, end;
        const wchar_t* name;
        const wchar_t* result;
        int caret;
    };
    const Case cases[] = {
        {L"", 0, 0, L"SIN", L"SIN()", 4},
        {L"2*r", 3, 3, L"PI", L"2*rPI()", 6},
        {L"2*r+1", 2, 3, L"COS", L"2*COS()+1", 6},
        {L"2*r+1", 3, 2, L"COS", L"2*COS()+1", 6},   // selection given backwards
        {L"abc", 0, 3, L"LN", L"LN()", 3},           // all selected
        {L"abc", -5, 99, L"LN", L"LN()", 3},         // clamped to the text
        {L"r", 5, 7, L"EXP", L"rEXP()", 5},          // beyond the end: appended
    };
    for (const Case& c : cases) {
        int caret = -1;
        EXPECT_EQ(InsertPrimitive(c.text, c.start, c.end, c.name, &caret), c.result) << c.text;
        EXPECT_EQ(caret, c.caret) << c.text;
    }
    EXPECT_EQ(InsertPrimitive(L"x", 1, 1, L"ABS"), L"xABS()");
}
