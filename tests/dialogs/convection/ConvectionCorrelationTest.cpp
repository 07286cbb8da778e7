// The 22 correlations against values computed independently, the derived groups and the
// explanation text, and the unit conversions of the inputs.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "dialogs/convection/ConvectionCoefficientInputs.h"

using namespace DataModelDialogs;
using US = UnitSys::UnitSystem;

namespace {

// One set of SI inputs that every correlation can use.
ConvectionCoefficientInputs BaseInputs() {
    ConvectionCoefficientInputs in;
    in.Units = OrvDbRecord::UnitSystem(US::kTypeSI);
    in.Density = 1.2;
    in.DynamicViscosity = 1.8e-5;
    in.ThermalConductivity = 0.026;
    in.SpecificHeat = 1005.0;
    in.ThermalExpansion = 1.0 / 300.0;
    in.Gravity = 9.81;
    in.FlowSpeed = 3.0;
    in.AmbientTemperature = 20.0;
    in.WallTemperature = 60.0;
    in.ExternalPlateLength = 0.7;
    in.PipeDiameter = 0.05;
    in.DuctWidth = 0.04;
    in.DuctHeight = 0.02;
    in.TriangleBase = 0.03;
    in.TriangleHeight = 0.05;
    in.BuoyancyPlateLength = 0.4;
    in.BuoyancyPlateWidth = 0.6;
    return in;
}

ConvectionCoefficientInputs With(std::int32_t type, std::int32_t index) {
    ConvectionCoefficientInputs in = BaseInputs();
    in.Type = type;
    CurrentCorrelation(in) = index;
    return in;
}

struct Expected {
    std::int32_t type;
    std::int32_t index;
    double h;
};

// h of BaseInputs by each correlation, computed with a separate script (Python, math.pow) from
// the published formulas: Pr = 0.69577, Re(D) = 10000, Ra(plate) = 5.0559e8,
// Dh(rectangle) = 0.026667, Dh(triangle) = 0.022321.
const Expected kExpected[] = {
    {0, 0, 8.177034148996313},   {0, 1, 8.349441495511298},   {1, 0, 2.2672},
    {1, 1, 1.9031999999999998},  {1, 2, 16.395220700793715},  {1, 3, 17.00085429663818},
    {1, 4, 4.2509999999999994},  {1, 5, 3.5685},              {1, 6, 18.59163230761721},
    {1, 7, 19.27840056359654},   {1, 8, 5.078643819500333},   {1, 9, 4.2632652246264255},
    {1, 10, 19.26499283078869},  {1, 11, 19.976634783950292}, {2, 0, 4.036044841584973},
    {2, 1, 5.166621383810908},   {2, 2, 4.210631333032943},   {2, 3, 5.799602101724554},
    {2, 4, 2.1053156665164714},  {2, 5, 5.385344808744229},   {2, 6, 6.628116687685204},
    {2, 7, 1.6603185830433225},
};

}  // namespace

TEST(ConvectionCorrelations, EveryCorrelationMatchesIndependentValues) {
    ASSERT_EQ(std::size(kExpected), 22u);
    for (const Expected& e : kExpected) {
        SCOPED_TRACE("type " + std::to_string(e.type) + " index " + std::to_string(e.index));
        const double h = ComputeFilmCoefficient(With(e.type, e.index));
        EXPECT_NEAR(h, e.h, 1e-12 * e.h);
    }
}

TEST(ConvectionCorrelations, CountsNamesAndUnknownIndices) {
    EXPECT_EQ(CorrelationCount(0), 2);
    EXPECT_EQ(CorrelationCount(1), 12);
    EXPECT_EQ(CorrelationCount(2), 8);
    EXPECT_EQ(CorrelationCount(3), 0);
    EXPECT_EQ(CorrelationCount(-1), 0);

    EXPECT_EQ(ConvectionTypeName(0), L"Forced external");
    EXPECT_EQ(ConvectionTypeName(1), L"Forced internal");
    EXPECT_EQ(ConvectionTypeName(2), L"Buoyancy");
    EXPECT_EQ(CorrelationName(0, 0), L"[T] Laminar along flat plate (0.6<Pr<50)");
    EXPECT_EQ(CorrelationName(1, 0), L"[Q] Laminar, round pipe (Pr>0.6)");
    EXPECT_EQ(CorrelationName(1, 11), L"[T] Turbulent, triangular duct (Re>10k, L/D>10, cold wall, hydro)");
    EXPECT_EQ(CorrelationName(2, 0), L"[T] Laminar, vertical plate");
    EXPECT_EQ(CorrelationName(2, 7), L"[Q] Laminar, horizontal plate (facing down, 1M<Ra<100G)");
    EXPECT_EQ(CorrelationName(3, 0), L"???");
    for (std::int32_t type = 0; type < 3; ++type)
        for (std::int32_t index = 0; index < CorrelationCount(type); ++index)
            EXPECT_FALSE(CorrelationName(type, index).IsEmpty()) << type << "/" << index;

    CString text(L"stale");
    EXPECT_TRUE(std::isnan(ComputeFilmCoefficient(With(0, 2), &text)));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(std::isnan(ComputeFilmCoefficient(With(1, -1), &text)));
    EXPECT_TRUE(std::isnan(ComputeFilmCoefficient(With(2, 8), &text)));
    ConvectionCoefficientInputs unknownType = BaseInputs();
    unknownType.Type = 3;
    EXPECT_TRUE(std::isnan(ComputeFilmCoefficient(unknownType, &text)));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(std::isnan(CharacteristicLength(unknownType)));
}

TEST(ConvectionCorrelations, PipeWithConstantHeatFluxExplainsItsConstantNusselt) {
    for (double speed : {0.0, 0.5, 30.0}) {
        ConvectionCoefficientInputs in = With(1, 0);
        in.FlowSpeed = speed;
        CString text;
        EXPECT_DOUBLE_EQ(ComputeFilmCoefficient(in, &text), 4.36 * in.ThermalConductivity / in.PipeDiameter);
        EXPECT_NE(std::wstring(text).find(L"\nRe = "), std::wstring::npos);
    }
    CString text;
    ComputeFilmCoefficient(With(1, 0), &text);
    EXPECT_EQ(std::wstring(text),
              L"h = 2.267e+00 J/(m²·s·°C)\n\n"
              L"where Nu = 4.360e+00\n"
              L"Re = 1.000e+04, Pr = 6.958e-01\n"
              L"Characteristic dimension of flow:  5.000e-02 m\n\n"
              L"Note how Nu does not depend on Re and Pr in this case.  Re is calculated in order to qualify the "
              L"nature of the flow:  laminar or turbulent.  Pr is calculated in order to verify the validity of the "
              L"correlation.");
}

TEST(ConvectionCorrelations, ExplanationOfBuoyancyShowsRayleighAndNoNote) {
    CString text;
    ComputeFilmCoefficient(With(2, 2), &text);
    EXPECT_EQ(std::wstring(text),
              L"h = 4.211e+00 J/(m²·s·°C)\n\n"
              L"where Nu = 0.54 * Ra^(1/4) = 8.097e+01\n"
              L"Ra = 5.056e+08, Pr = 6.958e-01\n"
              L"Characteristic dimension of flow:  5.000e-01 m");
    // The text is built even when h is not finite.
    ConvectionCoefficientInputs zero = With(0, 0);
    zero.ExternalPlateLength = 0.0;
    EXPECT_FALSE(std::isfinite(ComputeFilmCoefficient(zero, &text)));
    EXPECT_EQ(std::wstring(text).rfind(L"h = ", 0), 0u);
}

TEST(ConvectionCorrelations, CharacteristicLengthsByGeometry) {
    struct Case {
        const char* name;
        std::int32_t type, index;
        double width, height, base, triHeight, plateLength, plateWidth;
        double expected;
    };
    const Case cases[] = {
        {"square duct gives its side", 1, 4, 0.3, 0.3, 0, 0, 0, 0, 0.3},
        {"rectangular duct 4A/P", 1, 6, 0.04, 0.02, 0, 0, 0, 0, 4 * 0.0008 / 0.12},
        {"equilateral triangle of side 2", 1, 9, 0, 0, 2.0, std::sqrt(3.0), 0, 0, 2 * std::sqrt(3.0) / 3},
        {"buoyancy plate 2 x 4", 2, 5, 0, 0, 0, 0, 2.0, 4.0, 3.0},
        {"buoyancy plate 4 x 2", 2, 0, 0, 0, 0, 0, 4.0, 2.0, 3.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConvectionCoefficientInputs in = With(c.type, c.index);
        in.DuctWidth = c.width;
        in.DuctHeight = c.height;
        in.TriangleBase = c.base;
        in.TriangleHeight = c.triHeight;
        in.BuoyancyPlateLength = c.plateLength;
        in.BuoyancyPlateWidth = c.plateWidth;
        EXPECT_NEAR(CharacteristicLength(in), c.expected, 1e-15);
    }
    EXPECT_DOUBLE_EQ(CharacteristicLength(With(0, 1)), 0.7);
    EXPECT_DOUBLE_EQ(CharacteristicLength(With(1, 3)), 0.05);
    // An internal index outside 0..11 falls back to the round pipe.
    EXPECT_DOUBLE_EQ(CharacteristicLength(With(1, 12)), 0.05);
    EXPECT_EQ(GetConvectionGeometry(With(1, 12)), GeometryRoundPipe);
    EXPECT_EQ(GetConvectionGeometry(With(1, 7)), GeometryRectangularDuct);
    EXPECT_EQ(GetConvectionGeometry(With(1, 8)), GeometryTriangularDuct);
    EXPECT_EQ(GetConvectionGeometry(With(2, 3)), GeometryBuoyancyFlatPlate);
}

TEST(ConvectionCorrelations, DimensionlessGroups) {
    const ConvectionCoefficientInputs pipe = With(1, 2);
    EXPECT_NEAR(ReynoldsNumber(pipe), 10000.0, 1e-9);
    EXPECT_NEAR(PrandtlNumber(pipe), 1005.0 * 1.8e-5 / 0.026, 1e-15);
    const ConvectionCoefficientInputs plate = With(2, 0);
    const double nu = 1.8e-5 / 1.2;
    const double gr = 9.81 / 300.0 * 0.125 * 40.0 / (nu * nu);
    EXPECT_NEAR(GrashofNumber(plate), gr, 1e-6 * gr);
    EXPECT_NEAR(RayleighNumber(plate), gr * PrandtlNumber(plate), 1e-6 * gr);
}

TEST(ConvectionCorrelations, ColdWallGivesTheSameBuoyancyCoefficient) {
    for (std::int32_t index = 0; index < 8; ++index) {
        ConvectionCoefficientInputs hot = With(2, index);
        ConvectionCoefficientInputs cold = hot;
        std::swap(cold.AmbientTemperature, cold.WallTemperature);
        EXPECT_DOUBLE_EQ(ComputeFilmCoefficient(cold), ComputeFilmCoefficient(hot)) << index;
    }
}

TEST(ConvectionCorrelations, GivenPrandtlNumberIgnoresSpecificHeat) {
    ConvectionCoefficientInputs given = With(0, 0);
    given.UsePrandtlNumber = true;
    given.Prandtl = 0.7;
    given.SpecificHeat = 0.0;
    const double h = ComputeFilmCoefficient(given);
    given.SpecificHeat = 1e6;
    EXPECT_DOUBLE_EQ(ComputeFilmCoefficient(given), h);
    const double re = 1.2 * 3.0 * 0.7 / 1.8e-5;
    EXPECT_NEAR(h, 0.664 * std::sqrt(re) * std::cbrt(0.7) * 0.026 / 0.7, 1e-12);
}

TEST(ConvectionCorrelations, EachTypeRemembersItsCorrelation) {
    ConvectionCoefficientInputs in;
    EXPECT_TRUE(std::isnan(in.UserCoefficient));
    EXPECT_EQ(in.Units.GetUnitSystemType(), US::kTypeNone);
    in.Type = ConvectionBuoyancy;
    CurrentCorrelation(in) = 5;
    in.Type = ConvectionForcedExternal;
    EXPECT_EQ(CurrentCorrelation(in), 0);
    CurrentCorrelation(in) = 1;
    in.Type = ConvectionBuoyancy;
    EXPECT_EQ(CurrentCorrelation(in), 5);
    in.Type = ConvectionForcedExternal;
    EXPECT_EQ(CurrentCorrelation(in), 1);
    in.Type = 7;  // an unknown type uses the external field
    EXPECT_EQ(CurrentCorrelation(in), 1);
}

TEST(ConvectionUnits, StandardGravity) {
    ConvectionCoefficientInputs in;
    in.Units = OrvDbRecord::UnitSystem(US::kTypeSI);
    SetStandardGravity(in);
    EXPECT_NEAR(in.Gravity, 386.4 * 0.0254, 1e-12);
    EXPECT_NEAR(in.Gravity, 9.815, 0.001);
    in.Units = OrvDbRecord::UnitSystem(US::kTypeInchPoundSecond);
    SetStandardGravity(in);
    EXPECT_DOUBLE_EQ(in.Gravity, 386.4);
    in.Units = OrvDbRecord::UnitSystem(US::kTypeMmKgMs);
    SetStandardGravity(in);
    EXPECT_NEAR(in.Gravity, 386.4 * 25.4 * 1e-6, 1e-15);
}

TEST(ConvectionUnits, SameSystemLeavesValuesAlone) {
    ConvectionCoefficientInputs in = With(2, 1);
    in.UserCoefficient = 12.5;
    const ConvectionCoefficientInputs before = in;
    ConvertToUnitSystem(in, in.Units);
    EXPECT_TRUE(SameInputs(in, before));
}

TEST(ConvectionUnits, SiToInchAndBack) {
    ConvectionCoefficientInputs in = With(2, 1);
    in.UserCoefficient = 12.5;
    in.Prandtl = 0.71;
    const ConvectionCoefficientInputs si = in;
    const double hSi = ComputeFilmCoefficient(si);
    const OrvDbRecord::UnitSystem inch(US::kTypeInchPoundSecond);
    ConvertToUnitSystem(in, inch);
    EXPECT_EQ(in.Units, inch);
    EXPECT_NEAR(in.BuoyancyPlateLength, 0.4 / 0.0254, 1e-9);
    EXPECT_NEAR(in.FlowSpeed, 3.0 / 0.0254, 1e-9);
    EXPECT_NEAR(in.AmbientTemperature, 68.0, 1e-9);
    EXPECT_NEAR(in.WallTemperature, 140.0, 1e-9);
    EXPECT_NEAR(in.ThermalExpansion, 1.0 / 300.0 / 1.8, 1e-15);
    EXPECT_DOUBLE_EQ(in.Prandtl, 0.71);  // not converted
    // The same physics in other units: h converts like any coefficient.
    EXPECT_NEAR(ComputeFilmCoefficient(in), US::ConvertDisplayableUnit(hSi, US::FilmCoefficient, si.Units, inch),
                1e-9 * ComputeFilmCoefficient(in));
    ConvertToUnitSystem(in, si.Units);
    const double back[] = {in.FlowSpeed,        in.AmbientTemperature,  in.WallTemperature,
                           in.Gravity,          in.Density,             in.DynamicViscosity,
                           in.ThermalConductivity, in.ThermalExpansion, in.SpecificHeat};
    const double orig[] = {si.FlowSpeed,        si.AmbientTemperature,  si.WallTemperature,
                           si.Gravity,          si.Density,             si.DynamicViscosity,
                           si.ThermalConductivity, si.ThermalExpansion, si.SpecificHeat};
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(back[i], orig[i], 1e-12 * std::fabs(orig[i])) << i;
    EXPECT_NEAR(in.UserCoefficient, 12.5, 1e-12);
    EXPECT_NEAR(in.BuoyancyPlateWidth, 0.6, 1e-15);
    EXPECT_NEAR(in.TriangleBase, 0.03, 1e-15);
    EXPECT_EQ(in.Type, si.Type);
    EXPECT_EQ(in.BuoyancyCorrelation, si.BuoyancyCorrelation);
}
