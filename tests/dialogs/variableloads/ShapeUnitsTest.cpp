// A function typed in one unit system and shown in another gives the same physical load at the
// same physical point: evaluated by the expression evaluator at sample points.

#include <cmath>

#include "RstTestSupport.h"
#include "dialogs/variableloads/VariableLoadFunctions.h"
#include "host/model/DbShape.h"
#include "platform/com/Bstr.h"

using namespace DataModelDialogs;
using OrvDbRecord::DbShape;
using OrvDbRecord::RSTVariableUnitsInfo;
using OrvDbRecord::UnitSystem;

namespace {

// The function's value at (r, s, t); NaN when it cannot be evaluated.
double Evaluate(IExpressionEvaluator& evaluator, const std::string& text, const RstPoint& p) {
    if (FAILED(evaluator.Reset(kRstEvaluatorMode))) return NAN;
    CComBSTR bstr(CString(text).GetString());
    if (FAILED(evaluator.SetExpression(bstr.m_str))) return NAN;
    double value = NAN;
    if (FAILED(evaluator.EvaluateAt(p.r, p.s, p.t, &value))) return NAN;
    return value;
}

// A physical point (metres, radians) in the variables of `system` for the type.
RstPoint InSystem(const RstPoint& si, std::uint32_t type, const UnitSystem& system) {
    CCSHelper frame;
    frame.SetType(type);
    const double factor = UnitSystem::ConvertDisplayableUnit(1.0, UnitSystem::Length, UnitSystem(UnitSystem::kTypeSI), system);
    return frame.ScaleLengths(si, factor);
}

// The value of `text` written in `system` at the physical point, in pascals.
double PhysicalValue(IExpressionEvaluator& evaluator, const std::string& text, std::uint32_t type, const UnitSystem& system,
                     const RstPoint& si) {
    const double value = Evaluate(evaluator, text, InSystem(si, type, system));
    return UnitSystem::ConvertDisplayableUnit(value, DbShape::kFunctionValueUnit, system, UnitSystem(UnitSystem::kTypeSI));
}

void ExpectSameLoad(double expected, double actual, const std::string& what) {
    ASSERT_TRUE(std::isfinite(expected)) << what;
    ASSERT_TRUE(std::isfinite(actual)) << what;
    EXPECT_NEAR(actual, expected, 1e-11 * std::max(1.0, std::fabs(expected))) << what;
}

}  // namespace

TEST(ShapeUnitsTest, TheSameLoadAtTheSamePointInEverySystem) {
    CComPtr<IExpressionEvaluator> evaluator;
    ASSERT_EQ(CreateExpressionEvaluator(evaluator), S_OK);
    struct Function {
        std::uint32_t type;
        const char* text;  // written in the first system, variables in its units
    };
    const Function functions[] = {
        {0, "100*(1-(r/2)^2)+s*t"},
        {2, "SQRT(r*r+s*s)*EXP(-t)+ARCTAN(r)"},
        {1, "1000*(1-r/0.02)+SIN(s)*t^2"},
        {1, "r^3*COS(s)-t/3+2,5"},
        {3, "r*SIN(s)*COS(t)+ABS(t-s)"},
        {3, "LN(1+r)*s^2+t"},
        {0, "R*S+T-SQRT(ABS(r*t))"},
    };
    const RstPoint points[] = {{0.5, 0.25, 0.75}, {0.02, 1.2, -0.3}, {1.5, -2.0, 2.5}};
    // The six standard systems and a custom one (centimetres, kilonewtons).
    std::vector<UnitSystem> systems;
    for (std::uint32_t type : UnitSystem::kStandardTypeOrder) systems.emplace_back(type);
    UnitSystem custom(UnitSystem::kTypeSI);
    ASSERT_TRUE(custom.SetLengthUnit(UnitSystem::kCentimeter));
    ASSERT_TRUE(custom.SetForceUnit(UnitSystem::kKilonewton));
    systems.push_back(custom);
    for (std::size_t written = 0; written < systems.size(); ++written)
        for (std::size_t shown = 0; shown < systems.size(); ++shown)
            for (const Function& f : functions) {
                const UnitSystem& from = systems[written];
                const UnitSystem& to = systems[shown];
                DbShape shape(nullptr, 1, 1);
                shape.SetShape(f.text, f.type, from);
                const std::string text = shape.GetShape(to, RSTVariableUnitsInfo(f.type, DbShape::kFunctionValueUnit));
                const std::string what = std::string(f.text) + " written in " + std::to_string(written) + ", shown in " +
                                         std::to_string(shown) + " as " + text;
                for (const RstPoint& p : points)
                    ExpectSameLoad(PhysicalValue(*evaluator, f.text, f.type, from, p),
                                   PhysicalValue(*evaluator, text, f.type, to, p), what);
            }
}

TEST(ShapeUnitsTest, RoundTripsThroughTwoSystemsEvaluateEqual) {
    CComPtr<IExpressionEvaluator> evaluator;
    ASSERT_EQ(CreateExpressionEvaluator(evaluator), S_OK);
    const UnitSystem si(UnitSystem::kTypeSI), ips(UnitSystem::kTypeInchPoundSecond), mm(UnitSystem::kTypeMmTonneSecond);
    const RSTVariableUnitsInfo cylindrical(1, DbShape::kFunctionValueUnit);
    const RstPoint p{0.3, 0.7, -0.2};
    DbShape shape(nullptr, 1, 1);
    shape.SetShape("5e4*r*(1+COS(s))+1e3*t", 1, si);
    const double original = PhysicalValue(*evaluator, "5e4*r*(1+COS(s))+1e3*t", 1, si, p);

    // Shown in inches and edited there: the edit is stored as typed, in inches.
    const std::string inInches = shape.GetShape(ips, cylindrical);
    ExpectSameLoad(original, PhysicalValue(*evaluator, inInches, 1, ips, p), inInches);
    const std::string edited = "2*(" + inInches + ")";
    shape.SetShape(edited, 1, ips);
    EXPECT_EQ(shape.GetExpressionUnitSystem(), ips);
    // Then shown in millimetres and in metres: twice the original load everywhere.
    for (const UnitSystem* system : {&mm, &si, &ips}) {
        const std::string text = shape.GetShape(*system, cylindrical);
        ExpectSameLoad(2 * original, PhysicalValue(*evaluator, text, 1, *system, p), text);
    }
    // Stored back unchanged from millimetres, the text typed in inches is kept.
    shape.SetShape(shape.GetShape(mm, cylindrical), 1, mm);
    EXPECT_EQ(shape.GetExpression(), edited);
}
