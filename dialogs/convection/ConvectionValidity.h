#pragma once
// The range of validity each correlation's label states (Pr>0.6, Re>10k, 100k<Ra<10M, ...),
// kept as data beside the correlation table, and the warnings for inputs outside it. The
// calculator adds them to its explanation and shows the first one under the result; they
// never block a result.

#include <cstdint>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientInputs.h"

namespace DataModelDialogs {

// Bounds of one correlation; NaN where the label states none. A lower Re bound means the
// correlation is for turbulent flow, an upper one that it is for laminar flow.
struct CorrelationValidity {
    double minRe, maxRe;
    double minPr, maxPr;
    double minRa, maxRa;
};

// The bounds of a correlation; null for an unknown type or index.
const CorrelationValidity* GetCorrelationValidity(std::int32_t type, std::int32_t index);

// One line per group outside its bounds ("Re = 3.2e+03 is below the 1.0e+04 this
// correlation needs: the flow is not turbulent"), in the order Re, Pr, Ra.
std::vector<CString> ValidityWarnings(const ConvectionCoefficientInputs& inputs);

}  // namespace DataModelDialogs
