#include "dialogs/convection/ConvectionValidity.h"

#include <cmath>
#include <limits>
#include <string>

#include "dialogs/resources/Convection.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// By type and index, as the labels of IDS_CORRELATION_*_FIRST state them. "Pr>>1" reads as
// Pr above 1; "L/D>10" cannot be checked (the pipe's length is no input).
constexpr CorrelationValidity kExternal[] = {
    {kNone, kNone, 0.6, 50, kNone, kNone},   // (0.6<Pr<50)
    {kNone, 5e5, 1, kNone, kNone, kNone},    // (Pr>>1, Re<500k)
};
constexpr CorrelationValidity kLaminarPipe{kNone, kNone, 0.6, kNone, kNone, kNone};  // (Pr>0.6)
constexpr CorrelationValidity kTurbulentPipe{1e4, kNone, kNone, kNone, kNone, kNone};  // (Re>10k)
constexpr CorrelationValidity kInternal[] = {kLaminarPipe, kLaminarPipe, kTurbulentPipe, kTurbulentPipe,
                                             kLaminarPipe, kLaminarPipe, kTurbulentPipe, kTurbulentPipe,
                                             kLaminarPipe, kLaminarPipe, kTurbulentPipe, kTurbulentPipe};
constexpr CorrelationValidity kBuoyancy[] = {
    {kNone, kNone, kNone, kNone, kNone, kNone},  // vertical plate, laminar
    {kNone, kNone, kNone, kNone, kNone, kNone},  // vertical plate, turbulent
    {kNone, kNone, kNone, kNone, 1e5, 1e7},      // (100k<Ra<10M)
    {kNone, kNone, kNone, kNone, 2e7, 3e10},     // (20M<Ra<30G)
    {kNone, kNone, kNone, kNone, 3e5, 3e10},     // (300k<Ra<30G)
    {kNone, kNone, kNone, kNone, kNone, 2e8},    // (Ra<200M)
    {kNone, kNone, kNone, kNone, 5e8, 1e11},     // (500M<Ra<100G)
    {kNone, kNone, kNone, kNone, 1e6, 1e11},     // (1M<Ra<100G)
};

std::wstring Short(double value) { return orv::FormatPrintf(L"%.1e", value); }

void Check(std::vector<CString>& out, const wchar_t* group, double value, double min, double max,
           UINT belowReason, UINT aboveReason) {
    if (!std::isfinite(value)) return;
    auto line = [&](UINT id, double bound, UINT reason) {
        const std::wstring inserts[] = {group, Short(value), Short(bound)};
        std::wstring text = orv::FormatMessageStrings(std::wstring(LoadConvectionString(id).GetString()), inserts);
        if (reason) text += LoadConvectionString(reason).GetString();
        out.emplace_back(text.c_str());
    };
    if (!std::isnan(min) && value < min) line(IDS_VALIDITY_BELOW, min, belowReason);
    if (!std::isnan(max) && value > max) line(IDS_VALIDITY_ABOVE, max, aboveReason);
}

}  // namespace

const CorrelationValidity* GetCorrelationValidity(std::int32_t type, std::int32_t index) {
    if (index < 0) return nullptr;
    const auto i = std::size_t(index);
    switch (type) {
    case ConvectionForcedExternal: return i < std::size(kExternal) ? &kExternal[i] : nullptr;
    case ConvectionForcedInternal: return i < std::size(kInternal) ? &kInternal[i] : nullptr;
    case ConvectionBuoyancy: return i < std::size(kBuoyancy) ? &kBuoyancy[i] : nullptr;
    default: return nullptr;
    }
}

std::vector<CString> ValidityWarnings(const ConvectionCoefficientInputs& inputs) {
    std::vector<CString> out;
    const CorrelationValidity* v = GetCorrelationValidity(inputs.Type, CurrentCorrelation(inputs));
    if (!v) return out;
    if (inputs.Type != ConvectionBuoyancy)
        Check(out, L"Re", ReynoldsNumber(inputs), v->minRe, v->maxRe, IDS_VALIDITY_NOT_TURBULENT,
              IDS_VALIDITY_NOT_LAMINAR);
    Check(out, L"Pr", PrandtlNumber(inputs), v->minPr, v->maxPr, 0, 0);
    if (inputs.Type == ConvectionBuoyancy) Check(out, L"Ra", RayleighNumber(inputs), v->minRa, v->maxRa, 0, 0);
    return out;
}

}  // namespace DataModelDialogs
