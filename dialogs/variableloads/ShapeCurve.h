#pragma once
// The viewer's curve of a function of r, s and t along one variable, the others held fixed:
// computed at the surface's node values of the variable and 51 samples across their range, and
// painted into a plot box with grid, ticks, labels, axis titles and the curve. Painting keeps
// at most four points per pixel column (entry, lowest, highest, exit), so a curve of a million
// points paints as fast as one of a thousand.

#include <cstddef>
#include <string>
#include <vector>

#include "components/interfaces/IExpressionEvaluator.h"
#include "dialogs/variableloads/VariableLoadFunctions.h"
#include "platform/win/Afx.h"

namespace DataModelDialogs {

inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr int kCurveSamples = 51;

struct ShapeCurve {
    // One point per distinct x, in increasing x; y is NaN where the function has no finite
    // value (or cannot be evaluated).
    std::vector<double> x;
    std::vector<double> y;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    // Points with a finite y: those the line goes through.
    std::size_t validPoints = 0;
};

// Angles brought into 0 to 2π by whole turns; the result sorted, equal values merged.
std::vector<double> WrapAngles(const std::vector<double>& sortedValues);

// The curve along `variable` (0 r, 1 s, 2 t) over `nodeValues` (sorted, distinct) with the other
// two at `at`. The evaluator must hold the expression already (reset for r, s, t). Evaluates a
// block of points a call where the component offers it.
ShapeCurve ComputeShapeCurve(IExpressionEvaluator& evaluator, const std::vector<double>& nodeValues, int variable,
                             const double (&at)[3]);
// The same into `curve`, whose storage is reused.
void ComputeShapeCurve(IExpressionEvaluator& evaluator, const std::vector<double>& nodeValues, int variable,
                       const double (&at)[3], ShapeCurve& curve);

// The pieces of line the curve paints in `box` (device units): NaN points break the line; in
// each pixel column a run of points keeps its first, lowest, highest and last point; a valid
// point alone is a one-unit stub.
std::vector<std::vector<POINT>> CurvePieces(const ShapeCurve& curve, const RECT& box);

// Paints the plot into `frame`: the axes (orv::win::PaintPlotAxes) and the curve in their box.
void PaintShapePlot(CDC& dc, const RECT& frame, const ShapeCurve& curve, const std::wstring& xTitle,
                    const std::wstring& yTitle, CFont* horizontal, CFont* vertical);

}  // namespace DataModelDialogs
