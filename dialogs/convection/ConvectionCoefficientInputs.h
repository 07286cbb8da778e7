#pragma once
// ConvectionCoefficientInputs: every input of one film coefficient calculation with the unit
// system it is expressed in, and the 22 empirical correlations that turn it into h.
//
// Fluid properties are taken at the film temperature. No input is range-checked here: zero
// viscosities, conductivities or lengths give infinities or NaN by IEEE arithmetic, and the
// callers decide what to show.

#include <cstdint>

#include "host/model/UnitSystem.h"
#include "platform/win/CString.h"

namespace DataModelDialogs {

enum ConvectionType : std::int32_t {
    ConvectionForcedExternal = 0,
    ConvectionForcedInternal = 1,
    ConvectionBuoyancy = 2,
};

// The geometry a correlation needs; derived from the type and the correlation, never stored.
enum ConvectionGeometry : std::int32_t {
    GeometryExternalFlatPlate = 0,
    GeometryRoundPipe = 1,
    GeometryRectangularDuct = 2,
    GeometryTriangularDuct = 3,
    GeometryBuoyancyFlatPlate = 4,
};

struct ConvectionCoefficientInputs {
    // The unit system of every dimensional field; default: no type chosen.
    OrvDbRecord::UnitSystem Units;
    // The user-defined coefficient, also the last accepted result; NaN when there is none.
    double UserCoefficient;
    // ConvectionType; other values are kept as they are and compute to NaN.
    std::int32_t Type = ConvectionForcedExternal;
    // Each type remembers its own correlation index.
    std::int32_t ExternalCorrelation = 0;  // 0..1
    std::int32_t InternalCorrelation = 0;  // 0..11
    std::int32_t BuoyancyCorrelation = 0;  // 0..7

    double FlowSpeed = 0.0;
    double AmbientTemperature = 0.0;
    double WallTemperature = 0.0;
    double Gravity = 0.0;
    double Density = 0.0;
    double DynamicViscosity = 0.0;
    double ThermalConductivity = 0.0;
    double ThermalExpansion = 0.0;
    double SpecificHeat = 0.0;
    // True: Prandtl is given; false: Pr = cp·mu/k.
    bool UsePrandtlNumber = false;
    double Prandtl = 0.0;

    double ExternalPlateLength = 0.0;
    double PipeDiameter = 0.0;
    double DuctWidth = 0.0;
    double DuctHeight = 0.0;
    double TriangleBase = 0.0;
    double TriangleHeight = 0.0;
    double BuoyancyPlateLength = 0.0;
    double BuoyancyPlateWidth = 0.0;

    ConvectionCoefficientInputs();
};

// Field-by-field equality; NaN coefficients compare equal to each other.
bool SameInputs(const ConvectionCoefficientInputs& a, const ConvectionCoefficientInputs& b);

ConvectionGeometry GetConvectionGeometry(const ConvectionCoefficientInputs& inputs);

// The correlation index of the current type (the external one for an unknown type); the
// calculator binds its correlation list to it.
std::int32_t& CurrentCorrelation(ConvectionCoefficientInputs& inputs);
std::int32_t CurrentCorrelation(const ConvectionCoefficientInputs& inputs);

// Pr: the given one when UsePrandtlNumber is set, else cp·mu/k.
double PrandtlNumber(const ConvectionCoefficientInputs& inputs);
// L of Re, Gr and h: plate length, diameter, hydraulic diameter 4A/P of a duct, or the mean of
// the buoyancy plate's length and width. NaN for a geometry that does not fit the type.
double CharacteristicLength(const ConvectionCoefficientInputs& inputs);
// Re = rho·V·L/mu.
double ReynoldsNumber(const ConvectionCoefficientInputs& inputs);
// Gr = g·beta·L³·|Tw − Ta|/nu², nu = mu/rho: a wall colder than the ambient gives the same Gr.
double GrashofNumber(const ConvectionCoefficientInputs& inputs);
// Ra = Gr·Pr.
double RayleighNumber(const ConvectionCoefficientInputs& inputs);

// h = Nu·k/L by the correlation of the current type. explanation, when given, is emptied and
// then filled with the result, the correlation, the dimensionless groups and L (even when h is
// not finite). NaN, and no text, for an unknown type or correlation index.
double ComputeFilmCoefficient(const ConvectionCoefficientInputs& inputs, CString* explanation = nullptr);

// Gravity := 386.4 in/s² (standard gravity in the inch system) in the inputs' unit system.
void SetStandardGravity(ConvectionCoefficientInputs& inputs);

// Converts every dimensional field into target, then makes target the inputs' unit system.
// Prandtl, the indices and the flag are not converted.
void ConvertToUnitSystem(ConvectionCoefficientInputs& inputs, const OrvDbRecord::UnitSystem& target);

// 2, 12 and 8 correlations for types 0, 1, 2; 0 otherwise.
int CorrelationCount(std::int32_t type);
// "Forced external", "Forced internal", "Buoyancy"; empty for another type.
CString ConvectionTypeName(std::int32_t type);
// The label of a correlation ("[T] Laminar, vertical plate"); "???" for an unknown type, empty
// for an index outside the type's correlations.
CString CorrelationName(std::int32_t type, std::int32_t index);

// A string of the library's string table: from the current resource module and its chain,
// else from the library's own module.
CString LoadConvectionString(unsigned int id);

}  // namespace DataModelDialogs
