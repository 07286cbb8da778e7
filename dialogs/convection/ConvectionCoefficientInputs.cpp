#include "dialogs/convection/ConvectionCoefficientInputs.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "dialogs/resources/Convection.h"
#include "platform/res/Module.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::wstring Sci(double value) { return orv::FormatPrintf(L"%.3e", value); }

std::wstring Message(unsigned int id, std::initializer_list<std::wstring> inserts) {
    const std::vector<std::wstring> args(inserts);
    return orv::FormatMessageStrings(std::wstring(LoadConvectionString(id).GetString()), args);
}

// One correlation: Nu from the dimensionless groups, the result line, constant Nu or not.
struct Correlation {
    double (*nu)(double group, double pr);
    unsigned int resultLine;
    bool constantNu;
};

// (1 + (0.492/Pr)^(9/16)), the Prandtl factor of the vertical plate correlations.
double VerticalPlateFactor(double pr) { return 1.0 + std::pow(0.492 / pr, 9.0 / 16.0); }

const Correlation kExternal[] = {
    {[](double re, double pr) { return 0.664 * std::pow(re, 1.0 / 2.0) * std::pow(pr, 1.0 / 3.0); },
     IDS_NU_EXTERNAL_0664, false},
    {[](double re, double pr) { return 0.678 * std::pow(re, 1.0 / 2.0) * std::pow(pr, 1.0 / 3.0); },
     IDS_NU_EXTERNAL_0678, false},
};

constexpr Correlation kConstantHeatFlux = {[](double, double) { return 4.36; }, IDS_NU_CONSTANT, true};
constexpr Correlation kConstantWallTemperature = {[](double, double) { return 3.66; }, IDS_NU_CONSTANT, true};
constexpr Correlation kTurbulentHotWall = {
    [](double re, double pr) { return 0.023 * std::pow(re, 0.8) * std::pow(pr, 0.4); }, IDS_NU_TURBULENT_PR04, false};
constexpr Correlation kTurbulentColdWall = {
    [](double re, double pr) { return 0.023 * std::pow(re, 0.8) * std::pow(pr, 0.3); }, IDS_NU_TURBULENT_PR03, false};

// Ducts use the round-pipe correlations with the hydraulic diameter.
const Correlation kInternal[] = {
    kConstantHeatFlux, kConstantWallTemperature, kTurbulentHotWall, kTurbulentColdWall,
    kConstantHeatFlux, kConstantWallTemperature, kTurbulentHotWall, kTurbulentColdWall,
    kConstantHeatFlux, kConstantWallTemperature, kTurbulentHotWall, kTurbulentColdWall,
};

const Correlation kBuoyancy[] = {
    {[](double ra, double pr) {
         return 0.68 + 0.67 * std::pow(ra, 1.0 / 4.0) / std::pow(VerticalPlateFactor(pr), 4.0 / 9.0);
     },
     IDS_NU_VERTICAL_LAMINAR, false},
    {[](double ra, double pr) {
         const double bracket = 0.825 + 0.387 * std::pow(ra, 1.0 / 6.0) / std::pow(VerticalPlateFactor(pr), 8.0 / 27.0);
         return bracket * bracket;
     },
     IDS_NU_VERTICAL_TURBULENT, false},
    {[](double ra, double) { return 0.54 * std::pow(ra, 1.0 / 4.0); }, IDS_NU_HORIZONTAL_054, false},
    {[](double ra, double) { return 0.14 * std::pow(ra, 1.0 / 3.0); }, IDS_NU_HORIZONTAL_014, false},
    {[](double ra, double) { return 0.27 * std::pow(ra, 1.0 / 4.0); }, IDS_NU_HORIZONTAL_027, false},
    {[](double ra, double) { return 0.13 * std::pow(ra, 1.0 / 3.0); }, IDS_NU_HORIZONTAL_013, false},
    {[](double ra, double) { return 0.16 * std::pow(ra, 1.0 / 3.0); }, IDS_NU_HORIZONTAL_016, false},
    {[](double ra, double) { return 0.58 * std::pow(ra, 1.0 / 5.0); }, IDS_NU_HORIZONTAL_058, false},
};

const Correlation* FindCorrelation(std::int32_t type, std::int32_t index) {
    if (index < 0 || index >= CorrelationCount(type)) return nullptr;
    switch (type) {
        case ConvectionForcedExternal: return &kExternal[index];
        case ConvectionForcedInternal: return &kInternal[index];
        case ConvectionBuoyancy: return &kBuoyancy[index];
        default: return nullptr;
    }
}

double HydraulicDiameter(double area, double perimeter) { return 4.0 * area / perimeter; }

}  // namespace

ConvectionCoefficientInputs::ConvectionCoefficientInputs() : UserCoefficient(kNaN) {}

bool SameInputs(const ConvectionCoefficientInputs& a, const ConvectionCoefficientInputs& b) {
    const auto same = [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); };
    return a.Units == b.Units && same(a.UserCoefficient, b.UserCoefficient) && a.Type == b.Type &&
           a.ExternalCorrelation == b.ExternalCorrelation && a.InternalCorrelation == b.InternalCorrelation &&
           a.BuoyancyCorrelation == b.BuoyancyCorrelation && same(a.FlowSpeed, b.FlowSpeed) &&
           same(a.AmbientTemperature, b.AmbientTemperature) && same(a.WallTemperature, b.WallTemperature) &&
           same(a.Gravity, b.Gravity) && same(a.Density, b.Density) && same(a.DynamicViscosity, b.DynamicViscosity) &&
           same(a.ThermalConductivity, b.ThermalConductivity) && same(a.ThermalExpansion, b.ThermalExpansion) &&
           same(a.SpecificHeat, b.SpecificHeat) && a.UsePrandtlNumber == b.UsePrandtlNumber &&
           same(a.Prandtl, b.Prandtl) && same(a.ExternalPlateLength, b.ExternalPlateLength) &&
           same(a.PipeDiameter, b.PipeDiameter) && same(a.DuctWidth, b.DuctWidth) &&
           same(a.DuctHeight, b.DuctHeight) && same(a.TriangleBase, b.TriangleBase) &&
           same(a.TriangleHeight, b.TriangleHeight) && same(a.BuoyancyPlateLength, b.BuoyancyPlateLength) &&
           same(a.BuoyancyPlateWidth, b.BuoyancyPlateWidth);
}

ConvectionGeometry GetConvectionGeometry(const ConvectionCoefficientInputs& inputs) {
    switch (inputs.Type) {
        case ConvectionForcedExternal: return GeometryExternalFlatPlate;
        case ConvectionForcedInternal:
            if (inputs.InternalCorrelation >= 4 && inputs.InternalCorrelation <= 7) return GeometryRectangularDuct;
            if (inputs.InternalCorrelation >= 8 && inputs.InternalCorrelation <= 11) return GeometryTriangularDuct;
            return GeometryRoundPipe;
        case ConvectionBuoyancy: return GeometryBuoyancyFlatPlate;
        default: return GeometryExternalFlatPlate;
    }
}

std::int32_t& CurrentCorrelation(ConvectionCoefficientInputs& inputs) {
    switch (inputs.Type) {
        case ConvectionForcedInternal: return inputs.InternalCorrelation;
        case ConvectionBuoyancy: return inputs.BuoyancyCorrelation;
        default: return inputs.ExternalCorrelation;
    }
}

std::int32_t CurrentCorrelation(const ConvectionCoefficientInputs& inputs) {
    return CurrentCorrelation(const_cast<ConvectionCoefficientInputs&>(inputs));
}

double PrandtlNumber(const ConvectionCoefficientInputs& inputs) {
    if (inputs.UsePrandtlNumber) return inputs.Prandtl;
    return inputs.SpecificHeat * inputs.DynamicViscosity / inputs.ThermalConductivity;
}

double CharacteristicLength(const ConvectionCoefficientInputs& inputs) {
    if (inputs.Type < ConvectionForcedExternal || inputs.Type > ConvectionBuoyancy) return kNaN;
    switch (GetConvectionGeometry(inputs)) {
        case GeometryExternalFlatPlate: return inputs.ExternalPlateLength;
        case GeometryRoundPipe: return inputs.PipeDiameter;
        case GeometryRectangularDuct: {
            const double h = inputs.DuctHeight, w = inputs.DuctWidth;
            return HydraulicDiameter(h * w, 2.0 * (h + w));
        }
        case GeometryTriangularDuct: {
            const double b = inputs.TriangleBase, h = inputs.TriangleHeight;
            const double side = std::sqrt(h * h + b * b / 4.0);
            return HydraulicDiameter(b * h / 2.0, b + 2.0 * side);
        }
        case GeometryBuoyancyFlatPlate: return (inputs.BuoyancyPlateLength + inputs.BuoyancyPlateWidth) / 2.0;
    }
    return kNaN;
}

double ReynoldsNumber(const ConvectionCoefficientInputs& inputs) {
    return inputs.Density * inputs.FlowSpeed * CharacteristicLength(inputs) / inputs.DynamicViscosity;
}

double GrashofNumber(const ConvectionCoefficientInputs& inputs) {
    const double length = CharacteristicLength(inputs);
    const double nu = inputs.DynamicViscosity / inputs.Density;
    return inputs.Gravity * inputs.ThermalExpansion * length * length * length *
           std::fabs(inputs.WallTemperature - inputs.AmbientTemperature) / (nu * nu);
}

double RayleighNumber(const ConvectionCoefficientInputs& inputs) {
    return GrashofNumber(inputs) * PrandtlNumber(inputs);
}

double ComputeFilmCoefficient(const ConvectionCoefficientInputs& inputs, CString* explanation) {
    if (explanation) explanation->Empty();
    const Correlation* correlation = FindCorrelation(inputs.Type, CurrentCorrelation(inputs));
    if (!correlation) return kNaN;

    const bool buoyancy = inputs.Type == ConvectionBuoyancy;
    const double pr = PrandtlNumber(inputs);
    const double group = buoyancy ? RayleighNumber(inputs) : ReynoldsNumber(inputs);
    const double nu = correlation->nu(group, pr);
    const double length = CharacteristicLength(inputs);
    const double h = nu * inputs.ThermalConductivity / length;

    if (explanation) {
        std::wstring text = Message(IDS_CONVECTION_RESULT_H,
                                    {Sci(h), inputs.Units.GetDisplayableUnitText(UnitSys::UnitSystem::FilmCoefficient)});
        text += L"\n\n";
        text += Message(correlation->resultLine, {Sci(nu)});
        text += L"\n";
        text += Message(buoyancy ? IDS_CONVECTION_RA_PR : IDS_CONVECTION_RE_PR, {Sci(group), Sci(pr)});
        text += L"\n";
        // Selector 6 (the length unit count) names the system's own length unit.
        text += Message(IDS_CONVECTION_CHARACTERISTIC_LENGTH,
                        {Sci(length), inputs.Units.GetLengthUnitText(UnitSys::UnitSystem::kLengthUnitCount, false)});
        if (correlation->constantNu) {
            text += L"\n\n";
            text += LoadConvectionString(IDS_CONVECTION_NOTE_CONSTANT_NU).GetString();
        }
        *explanation = CString(std::move(text));
    }
    return h;
}

void SetStandardGravity(ConvectionCoefficientInputs& inputs) {
    // Standard gravity is defined in the inch system; the reference system lives as long as
    // the program.
    static const OrvDbRecord::UnitSystem inchSystem(UnitSys::UnitSystem::kTypeInchPoundSecond);
    const OrvDbRecord::UnitConverter converter(inchSystem, inputs.Units, CString(L"m/s^2"),
                                               OrvUnitsConversionStringSyntaxBaseUnits);
    inputs.Gravity = converter.Convert(386.4);
}

void ConvertToUnitSystem(ConvectionCoefficientInputs& inputs, const OrvDbRecord::UnitSystem& target) {
    using US = UnitSys::UnitSystem;
    OrvDbRecord::UnitConverter converter{CString(), OrvUnitsConversionStringSyntaxBaseUnits};
    converter.SetUnitSystems(inputs.Units, target);
    const auto convert = [&converter](int unit, std::initializer_list<double*> fields) {
        converter.SetDisplayableUnit(unit);
        for (double* field : fields) *field = converter.Convert(*field);
    };
    convert(US::FilmCoefficient, {&inputs.UserCoefficient});
    convert(US::Velocity, {&inputs.FlowSpeed});
    convert(US::Temperature, {&inputs.AmbientTemperature, &inputs.WallTemperature});
    convert(US::Acceleration, {&inputs.Gravity});
    convert(US::MassDensity, {&inputs.Density});
    convert(US::DynamicViscosity, {&inputs.DynamicViscosity});
    convert(US::ThermalConductivity, {&inputs.ThermalConductivity});
    convert(US::ThermalExpansion, {&inputs.ThermalExpansion});
    convert(US::SpecificHeat, {&inputs.SpecificHeat});
    convert(US::Length, {&inputs.ExternalPlateLength, &inputs.PipeDiameter, &inputs.DuctWidth, &inputs.DuctHeight,
                         &inputs.TriangleBase, &inputs.TriangleHeight, &inputs.BuoyancyPlateLength,
                         &inputs.BuoyancyPlateWidth});
    inputs.Units = target;
}

int CorrelationCount(std::int32_t type) {
    switch (type) {
        case ConvectionForcedExternal: return int(std::size(kExternal));
        case ConvectionForcedInternal: return int(std::size(kInternal));
        case ConvectionBuoyancy: return int(std::size(kBuoyancy));
        default: return 0;
    }
}

CString ConvectionTypeName(std::int32_t type) {
    if (type < ConvectionForcedExternal || type > ConvectionBuoyancy) return CString();
    return LoadConvectionString(IDS_CONVECTION_TYPE_FIRST + unsigned(type));
}

CString CorrelationName(std::int32_t type, std::int32_t index) {
    unsigned int first = 0;
    switch (type) {
        case ConvectionForcedExternal: first = IDS_CORRELATION_EXTERNAL_FIRST; break;
        case ConvectionForcedInternal: first = IDS_CORRELATION_INTERNAL_FIRST; break;
        case ConvectionBuoyancy: first = IDS_CORRELATION_BUOYANCY_FIRST; break;
        default: return CString(L"???");
    }
    if (index < 0 || index >= CorrelationCount(type)) return CString();
    return LoadConvectionString(first + unsigned(index));
}

CString LoadConvectionString(unsigned int id) {
    CString text;
    if (!text.LoadString(id)) text.LoadString(ORV_THIS_MODULE(), id);
    return text;
}

}  // namespace DataModelDialogs
