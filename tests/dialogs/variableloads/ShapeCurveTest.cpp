// The viewer's curve and its painting: angles brought into one turn, the limits and their
// widenings, labels by span, and a curve of many points kept to a few per pixel column.

#include <cmath>
#include <numbers>

#include "RstTestSupport.h"
#include "dialogs/variableloads/ShapeCurve.h"
#include "platform/com/Bstr.h"
#include "platform/win/PlotAxes.h"

using namespace DataModelDialogs;

namespace {

CComPtr<IExpressionEvaluator> Prepared(const wchar_t* text) {
    CComPtr<IExpressionEvaluator> evaluator;
    EXPECT_EQ(CreateExpressionEvaluator(evaluator), S_OK);
    EXPECT_EQ(evaluator->Reset(kRstEvaluatorMode), S_OK);
    CComBSTR bstr(text);
    EXPECT_EQ(evaluator->SetExpression(bstr.m_str), S_OK);
    return evaluator;
}

}  // namespace

TEST(ShapeCurveTest, AnglesComeIntoOneTurnAndMerge) {
    const double pi = std::numbers::pi;
    const auto wrapped = WrapAngles({-pi / 2, pi / 2, -pi / 2 + kTwoPi});
    ASSERT_EQ(wrapped.size(), 2u);
    EXPECT_DOUBLE_EQ(wrapped[0], pi / 2);
    EXPECT_EQ(wrapped[1], -pi / 2 + kTwoPi);
}

TEST(ShapeCurveTest, LimitsWidenWhenTheyMeetAndNaNLeavesNoPoint) {
    const double at[3] = {5, 0, 0};
    // One node value along t: x from t - 10 to t + 10; the constant y widens by 10.
    ShapeCurve one = ComputeShapeCurve(*Prepared(L"r*2"), {3.0}, 2, at);
    EXPECT_EQ(one.xMin, -7);
    EXPECT_EQ(one.xMax, 13);
    EXPECT_EQ(one.yMin, 0);
    EXPECT_EQ(one.yMax, 20);
    EXPECT_EQ(one.x.size(), 51u);  // the node value is one of the samples
    // NaN everywhere: no point, y from -10 to 10.
    ShapeCurve none = ComputeShapeCurve(*Prepared(L"SQR(r-100)"), {0.0, 1.0}, 0, at);
    EXPECT_EQ(none.validPoints, 0u);
    EXPECT_EQ(none.yMin, -10);
    EXPECT_EQ(none.yMax, 10);
    // A division by zero at one point breaks the line there and nowhere else.
    ShapeCurve hole = ComputeShapeCurve(*Prepared(L"1/r"), {-1.0, 1.0}, 0, at);
    EXPECT_EQ(hole.validPoints, hole.x.size() - 1);
}

TEST(ShapeCurveTest, LabelsHaveDecimalsBySpan) {
    EXPECT_EQ(orv::win::FormatAxisLabel(1.02, 0.04), L"1.020");
    EXPECT_EQ(orv::win::FormatAxisLabel(1.02, 0.3), L"1.02");
    EXPECT_EQ(orv::win::FormatAxisLabel(1.02, 3), L"1.0");
    EXPECT_EQ(orv::win::FormatAxisLabel(0.3 - 0.1 * 3, 1), L"0.0");  // not "-0.0"
}

TEST(ShapeCurveTest, AMillionPointsPaintAFewPointsPerColumn) {
    ShapeCurve curve;
    const std::size_t n = 1000000;
    for (std::size_t i = 0; i < n; ++i) {
        curve.x.push_back(double(i));
        curve.y.push_back(i == n / 2 ? NAN : std::sin(double(i) * 0.001));
    }
    curve.validPoints = n - 1;
    curve.xMin = 0, curve.xMax = double(n - 1), curve.yMin = -1, curve.yMax = 1;
    const RECT box{0, 0, 400, 200};
    const auto pieces = CurvePieces(curve, box);
    ASSERT_EQ(pieces.size(), 2u);  // the NaN breaks the line
    std::size_t points = 0;
    for (const auto& piece : pieces) {
        points += piece.size();
        for (std::size_t i = 1; i < piece.size(); ++i) EXPECT_GE(piece[i].x, piece[i - 1].x);
    }
    EXPECT_LE(points, 4u * 402u);
    // The extremes survive: the curve reaches the top and the bottom of the box.
    LONG top = 200, bottom = 0;
    for (const auto& piece : pieces)
        for (const POINT& p : piece) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(bottom, 200);
    // Broken at every other point: the pieces of one column become one stroke, still over the
    // whole height.
    for (std::size_t i = 1; i < n; i += 2) curve.y[i] = NAN;
    const auto strokes = CurvePieces(curve, box);
    EXPECT_LE(strokes.size(), 402u);
    top = 200, bottom = 0;
    for (const auto& piece : strokes)
        for (const POINT& p : piece) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(bottom, 200);
}
