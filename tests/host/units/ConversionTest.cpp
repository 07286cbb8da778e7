#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/units/UnitConverter.h"
#include "host/units/UnitSystem.h"
#include "platform/win/Utf8.h"

namespace {

using UnitSys::Dimension;
using UnitSys::Quantity;
using UnitSys::UnitConverter;
using UnitSys::UnitSystem;
using U = UnitSystem;

// Reference values of the English units, independent of the library's tables.
constexpr double kLbf = 4.4482216152605;     // N
constexpr double kIn = 0.0254;               // m
constexpr double kFt = 0.3048;               // m
constexpr double kBtu = 1055.05585262;       // J
constexpr double kSlinch = kLbf / kIn;       // kg, the inch system's mass unit lbf·s²/in
constexpr double kSlug = kLbf / kFt;         // kg
constexpr double kFPerK = 1.8;

const std::vector<int>& AllCodes() {
    static const std::vector<int> codes = {0,  1,  3,  10, 11, 13, 20, 24, 26, 35, 41, 42, 48, 50, 53, 63, 64,
                                           65, 66, 67, 68, 71, 72, 73, 74, 75, 77, 78, 79, 80, 81, 82, 83};
    return codes;
}

void ExpectClose(double expected, double actual, const std::string& what) {
    EXPECT_NEAR(expected, actual, 1e-12 * std::max(1.0, std::fabs(expected))) << what;
}

struct CodeCase {
    int code;
    double ipsPerSi;  // one SI unit of the code, expressed in the inch-pound-second system
};

TEST(DisplayableUnits, EveryCodeConvertsFromSIToInchPoundSecond) {
    const CodeCase cases[] = {
        {0, 1.0},
        {1, 1 / kIn},
        {3, 1.0},
        {10, 1 / kIn},
        {11, 1 / kIn},
        {13, kIn * kIn * kIn / kSlinch},
        {20, 1.0},
        {24, kIn * kIn / kLbf},
        {26, 1 / kBtu},
        {41, kIn / kSlinch},
        {42, 1 / (kLbf * kIn)},
        {48, kSlinch / (kBtu * kFPerK)},
        {50, kIn / (kBtu * kFPerK)},
        {53, kIn * kIn * kIn},
        {63, 1.0},
        {64, 1 / (kIn * kIn * kIn)},
        {65, 1.0},
        {66, kIn * kIn / (kBtu * kFPerK)},
        {67, kIn * kIn * kIn / kSlinch},
        {68, kIn * kIn},
        {71, kIn * kIn * kIn / kBtu},
        {72, kFPerK * kBtu},
        {73, kFPerK * kBtu / (kIn * kIn)},
        {74, 1 / (kIn * kIn)},
        {75, 1 / (kIn * kIn)},
        {77, kIn * kIn * kIn / kSlinch},
        {78, kIn * kIn / kSlinch},
        {79, kIn * kIn * kIn / kSlinch},
        {80, 1 / kSlinch},
        {81, 1 / (kIn * kIn)},
        {82, 1 / (kBtu * kFPerK)},
        {83, 1 / kFPerK},
    };
    const UnitSystem si(U::kTypeSI), ips(U::kTypeInchPoundSecond);
    for (const auto& c : cases) {
        const double value = 2.75;
        const double converted = UnitSystem::ConvertDisplayableUnit(value, c.code, si, ips);
        ExpectClose(value * c.ipsPerSi, converted, "code " + std::to_string(c.code));
        ExpectClose(value, UnitSystem::ConvertDisplayableUnit(converted, c.code, ips, si),
                    "back, code " + std::to_string(c.code));
    }
    // Every code but the temperature reading is in the table above.
    EXPECT_EQ(AllCodes().size(), std::size(cases) + 1);
}

struct PairCase {
    const char* name;
    int code;
    std::uint32_t from;
    std::uint32_t to;
    double value;
    double expected;
};

TEST(DisplayableUnits, KnownValuesBetweenMetricSystems) {
    const PairCase cases[] = {
        {"1 MPa is 1 N/mm²", 24, U::kTypeSI, U::kTypeMmTonneSecond, 1e6, 1.0},
        {"steel density in tonne/mm³", 13, U::kTypeSI, U::kTypeMmTonneSecond, 7850.0, 7.85e-9},
        {"steel density in g/cm³", 13, U::kTypeSI, U::kTypeCGS, 7850.0, 7.85},
        {"1 GPa is 1 kN/mm²", 24, U::kTypeSI, U::kTypeMmKgMs, 1e9, 1.0},
        {"gravity in mm/ms²", 11, U::kTypeSI, U::kTypeMmKgMs, 9.81, 9.81e-3},
        {"film coefficient in mJ/(s·mm²·°C)", 66, U::kTypeSI, U::kTypeMmTonneSecond, 10.0, 0.01},
        {"time in ms", 3, U::kTypeSI, U::kTypeMmKgMs, 2.0, 2000.0},
        {"moment in dyn·cm", 42, U::kTypeSI, U::kTypeCGS, 1.0, 1e7},
        {"specific heat of water in erg/(g·°C)", 48, U::kTypeSI, U::kTypeCGS, 4186.0, 4.186e7},
        {"conductivity in BTU/(s·ft·°F)", 50, U::kTypeSI, U::kTypeFootPoundSecond, 50.0, 50.0 * kFt / (kBtu * kFPerK)},
        {"mass source in slug/s", 80, U::kTypeSI, U::kTypeFootPoundSecond, 1.0, 1.0 / kSlug},
        {"psi to MPa", 24, U::kTypeInchPoundSecond, U::kTypeMmTonneSecond, 1000.0, 1000.0 * kLbf / (kIn * kIn) * 1e-6},
        {"same system", 66, U::kTypeCGS, U::kTypeCGS, 0.1, 0.1},
    };
    for (const auto& c : cases) {
        const UnitSystem from(c.from), to(c.to);
        const double converted = UnitSystem::ConvertDisplayableUnit(c.value, c.code, from, to);
        ExpectClose(c.expected, converted, c.name);
        ExpectClose(c.value, UnitSystem::ConvertDisplayableUnit(converted, c.code, to, from), c.name);
    }
}

TEST(DisplayableUnits, EveryCodeRoundTripsBetweenEveryPairOfSystems) {
    std::vector<UnitSystem> systems;
    for (std::uint32_t type : {0u, 1u, 2u, 3u, 5u, 6u}) systems.emplace_back(type);
    UnitSystem odd(U::kTypeCustom, true);
    odd.SetForceUnit(U::kOunceForce);
    odd.SetLengthUnit(U::kMicrometer);
    odd.SetTimeUnit(U::kHour);
    odd.SetTemperatureUnit(U::kRankine);
    odd.SetEnergyUnit(U::kCalorie);
    odd.SetVoltageUnit(U::kMillivolt);
    odd.SetCurrentUnit(U::kMilliampere);
    odd.SetResistanceUnit(U::kMilliohm);
    odd.SetMassUnit(U::kPoundMass);
    systems.push_back(odd);
    for (int code : AllCodes())
        for (const auto& from : systems)
            for (const auto& to : systems) {
                const double value = -1234.5678;
                const double there = UnitSystem::ConvertDisplayableUnit(value, code, from, to);
                ASSERT_TRUE(std::isfinite(there)) << code;
                ExpectClose(value, UnitSystem::ConvertDisplayableUnit(there, code, to, from),
                            "code " + std::to_string(code) + " types " + std::to_string(from.GetUnitSystemType()) +
                                " " + std::to_string(to.GetUnitSystemType()));
            }
}

TEST(DisplayableUnits, UnknownCodesAreNotSilentlyConverted) {
    const UnitSystem si(U::kTypeSI), ips(U::kTypeInchPoundSecond);
    for (int code : {-1, 2, 4, 84, 1000}) {
        EXPECT_FALSE(UnitSystem::IsDisplayableUnitKnown(code)) << code;
        EXPECT_TRUE(std::isnan(UnitSystem::ConvertDisplayableUnit(1.0, code, si, ips))) << code;
        EXPECT_EQ(L"", si.GetDisplayableUnitText(code));
        EXPECT_EQ(L"", UnitSystem::GetDisplayableUnitQuantityName(code));
    }
    for (int code : AllCodes()) EXPECT_FALSE(UnitSystem::GetDisplayableUnitQuantityName(code).empty()) << code;
}

struct TemperatureCase {
    const char* name;
    int fromUnit;
    int toUnit;
    double value;
    double expected;
};

TEST(DisplayableUnits, TemperatureReadingsUseTheScaleOffsets) {
    const TemperatureCase cases[] = {
        {"boiling water", U::kCelsius, U::kFahrenheit, 100.0, 212.0},
        {"freezing water", U::kCelsius, U::kFahrenheit, 0.0, 32.0},
        {"where the scales meet", U::kCelsius, U::kFahrenheit, -40.0, -40.0},
        {"back", U::kFahrenheit, U::kCelsius, 212.0, 100.0},
        {"absolute zero in Celsius", U::kKelvin, U::kCelsius, 0.0, -273.15},
        {"0 °C in kelvins", U::kCelsius, U::kKelvin, 0.0, 273.15},
        {"0 °F in Rankine", U::kFahrenheit, U::kRankine, 0.0, 459.67},
        {"kelvins to Rankine", U::kKelvin, U::kRankine, 300.0, 540.0},
        {"Rankine to Celsius", U::kRankine, U::kCelsius, 491.67, 0.0},
        {"same unit", U::kFahrenheit, U::kFahrenheit, 70.0, 70.0},
    };
    for (const auto& c : cases) {
        UnitSystem from(U::kTypeCustom), to(U::kTypeCustom);
        from.SetTemperatureUnit(c.fromUnit);
        to.SetTemperatureUnit(c.toUnit);
        const double converted = UnitSystem::ConvertDisplayableUnit(c.value, U::Temperature, from, to);
        EXPECT_NEAR(c.expected, converted, 1e-9) << c.name;
        EXPECT_NEAR(c.value, UnitSystem::ConvertDisplayableUnit(converted, U::Temperature, to, from), 1e-9) << c.name;
    }
}

TEST(DisplayableUnits, TemperatureDifferencesScaleWithoutOffset) {
    UnitSystem celsius(U::kTypeCustom), fahrenheit(U::kTypeCustom);
    fahrenheit.SetTemperatureUnit(U::kFahrenheit);
    // W/(m²·K) to W/(m²·°F): a difference of 1 °F is 1/1.8 K.
    ExpectClose(1 / 1.8, UnitSystem::ConvertDisplayableUnit(1.0, U::FilmCoefficient, celsius, fahrenheit), "film");
    ExpectClose(1 / 1.8, UnitSystem::ConvertDisplayableUnit(1.0, U::ThermalExpansion, celsius, fahrenheit), "alpha");
    ExpectClose(1.8, UnitSystem::ConvertDisplayableUnit(1.0, U::ThermalResistance, celsius, fahrenheit), "R");
    // The conversion string "t" is a difference too.
    const UnitConverter t(celsius, fahrenheit, L"t", OrvUnitsConversionStringSyntaxBaseUnits);
    ExpectClose(1.8, t.Convert(1.0), "t");
    ExpectClose(1 / 1.8, t.ReverseConvert(1.0), "t reverse");
    ExpectClose(0.0, t.Convert(0.0), "t zero");
}

struct LabelCase {
    int code;
    std::uint32_t type;
    const wchar_t* label;
};

TEST(DisplayableUnits, LabelsInASystem) {
    const LabelCase cases[] = {
        {U::Dimensionless, U::kTypeSI, L""},
        {U::Length, U::kTypeInchPoundSecond, L"in"},
        {U::Velocity, U::kTypeInchPoundSecond, L"in/s"},
        {U::Acceleration, U::kTypeSI, L"m/s\u00B2"},
        {U::Pressure, U::kTypeMmTonneSecond, L"N/mm\u00B2"},
        {U::Pressure, U::kTypeInchPoundSecond, L"lbf/in\u00B2"},
        {U::Temperature, U::kTypeSI, L"\u00B0C"},
        {U::Temperature, U::kTypeFootPoundSecond, L"\u00B0F"},
        {U::MassDensity, U::kTypeSI, L"kg/m\u00B3"},
        {U::MassDensity, U::kTypeInchPoundSecond, L"lbf\u00B7s\u00B2/in\u2074"},
        {U::MassDensity, U::kTypeFootPoundSecond, L"slug/ft\u00B3"},
        {U::DynamicViscosity, U::kTypeInchPoundSecond, L"lbf\u00B7s/in\u00B2"},
        {U::FilmCoefficient, U::kTypeInchPoundSecond, L"BTU/(in\u00B2\u00B7s\u00B7\u00B0F)"},
        {U::SpecificHeat, U::kTypeSI, L"J/(kg\u00B7\u00B0C)"},
        {U::Moment, U::kTypeCGS, L"dyn\u00B7cm"},
        {U::Angle, U::kTypeSI, L"rad"},
        {U::RotationAngle, U::kTypeInchPoundSecond, L"rad"},
        {U::AngularVelocity, U::kTypeMmKgMs, L"rad/ms"},
        {U::ThermalExpansion, U::kTypeSI, L"1/\u00B0C"},
        {U::ChargeDensity, U::kTypeSI, L"A\u00B7s/m\u00B3"},
        {U::Diffusivity, U::kTypeCGS, L"cm\u00B2/s"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.label, UnitSystem(c.type).GetDisplayableUnitText(c.code))
            << c.code << " " << c.type << " " << orv::WideToUtf8(UnitSystem(c.type).GetDisplayableUnitText(c.code));
}

struct StringCase {
    const wchar_t* text;
    std::array<int, UnitSys::kQuantityCount> exponents;  // F L T Θ E V I R M
    const wchar_t* ipsLabel;
};

TEST(ConversionStrings, ValidStringsParseToTheirDimension) {
    const StringCase cases[] = {
        {L"", {0, 0, 0, 0, 0, 0, 0, 0, 0}, L""},
        {L"1", {0, 0, 0, 0, 0, 0, 0, 0, 0}, L""},
        {L"N", {1, 0, 0, 0, 0, 0, 0, 0, 0}, L"lbf"},
        {L"m", {0, 1, 0, 0, 0, 0, 0, 0, 0}, L"in"},
        {L"t", {0, 0, 0, 1, 0, 0, 0, 0, 0}, L"\u00B0F"},
        {L"N/m", {1, -1, 0, 0, 0, 0, 0, 0, 0}, L"lbf/in"},
        {L"N/m/m", {1, -2, 0, 0, 0, 0, 0, 0, 0}, L"lbf/in\u00B2"},
        {L"N/m/m\u00B2", {1, -3, 0, 0, 0, 0, 0, 0, 0}, L"lbf/in\u00B3"},
        {L"m/s^2", {0, 1, -2, 0, 0, 0, 0, 0, 0}, L"in/s\u00B2"},
        {L" m / s ^ 2 ", {0, 1, -2, 0, 0, 0, 0, 0, 0}, L"in/s\u00B2"},
        {L"N*m", {1, 1, 0, 0, 0, 0, 0, 0, 0}, L"lbf\u00B7in"},
        {L"N\u00B7m", {1, 1, 0, 0, 0, 0, 0, 0, 0}, L"lbf\u00B7in"},
        {L"1/s", {0, 0, -1, 0, 0, 0, 0, 0, 0}, L"1/s"},
        {L"m^-1", {0, -1, 0, 0, 0, 0, 0, 0, 0}, L"1/in"},
        {L"m\u207B\u00B2", {0, -2, 0, 0, 0, 0, 0, 0, 0}, L"1/in\u00B2"},
        {L"(N/m)^2", {2, -2, 0, 0, 0, 0, 0, 0, 0}, L"lbf\u00B2/in\u00B2"},
        {L"J/(s*m^2*t)", {0, -2, -1, -1, 1, 0, 0, 0, 0}, L"BTU/(in\u00B2\u00B7s\u00B7\u00B0F)"},
        {L"V*A/ohm", {0, 0, 0, 0, 0, 1, 1, -1, 0}, L"V\u00B7A/\u03A9"},
        {L"\u03A9", {0, 0, 0, 0, 0, 0, 0, 1, 0}, L"\u03A9"},
        {L"kg/m^3", {0, -3, 0, 0, 0, 0, 0, 0, 1}, L"lbf\u00B7s\u00B2/in\u2074"},
        {L"N/m*m", {1, 0, 0, 0, 0, 0, 0, 0, 0}, L"lbf"},
        {L"m^99", {0, 99, 0, 0, 0, 0, 0, 0, 0}, nullptr},
    };
    const UnitSystem ips(U::kTypeInchPoundSecond);
    for (const auto& c : cases) {
        const std::string name = orv::WideToUtf8(c.text);
        Dimension d;
        std::wstring error;
        ASSERT_TRUE(UnitSys::ParseConversionString(c.text, OrvUnitsConversionStringSyntaxBaseUnits, d, &error))
            << name << ": " << orv::WideToUtf8(error);
        EXPECT_EQ(c.exponents, d.exponents) << name;
        EXPECT_FALSE(d.absoluteTemperature) << name;
        if (c.ipsLabel) {
            EXPECT_EQ(c.ipsLabel, ips.GetDimensionText(d)) << name;
        }
    }
}

struct BadStringCase {
    const wchar_t* text;
    const wchar_t* error;
};

TEST(ConversionStrings, MalformedStringsAreErrorsWithTheirPosition) {
    const BadStringCase cases[] = {
        {L"x", L"position 1: unknown unit symbol 'x'"},
        {L"Nm", L"position 1: unknown unit symbol 'Nm'"},
        {L"N/", L"position 3: expected a unit symbol after '/'"},
        {L"N//m", L"position 3: expected a unit symbol, found '/'"},
        {L"*", L"position 1: expected a unit symbol, found '*'"},
        {L"m^", L"position 3: expected a whole number after '^'"},
        {L"m^x", L"position 3: expected a whole number after '^'"},
        {L"m^100", L"position 3: power out of range (at most 99)"},
        {L"(N/m", L"position 5: expected ')' to close the '(' at position 1"},
        {L"(N/m s", L"position 6: expected ')', found 's'"},
        {L"N)", L"position 2: unexpected ')'"},
        {L"()", L"position 2: expected a unit symbol inside '()'"},
        {L"2*m", L"position 1: a number other than 1 is not a unit"},
        {L"N m", L"position 3: expected '*', '/' or the end, found 'm'"},
        {L"N/mm\u00B2", L"position 3: unknown unit symbol 'mm'"},
    };
    for (const auto& c : cases) {
        Dimension d;
        d[Quantity::Force] = 7;
        std::wstring error;
        EXPECT_FALSE(UnitSys::ParseConversionString(c.text, OrvUnitsConversionStringSyntaxBaseUnits, d, &error))
            << orv::WideToUtf8(c.text);
        EXPECT_EQ(c.error, error) << orv::WideToUtf8(c.text);
        EXPECT_EQ(7, d[Quantity::Force]) << "left unchanged";
    }
    std::wstring deep(40, L'(');
    deep += L"m" + std::wstring(40, L')');
    Dimension d;
    std::wstring error;
    EXPECT_FALSE(UnitSys::ParseConversionString(deep, OrvUnitsConversionStringSyntaxBaseUnits, d, &error));
    EXPECT_EQ(L"position 33: parentheses nested too deeply", error);
    EXPECT_FALSE(UnitSys::ParseConversionString(L"m", OrvUnitsConversionStringSyntax(1), d, &error));
    EXPECT_EQ(L"unknown conversion string syntax 1", error);
}

TEST(UnitConverter, StandardGravityFromInchesPerSecondSquared) {
    UnitConverter c(L"m/s^2", OrvUnitsConversionStringSyntaxBaseUnits);
    c.SetUnitSystems(UnitSystem(U::kTypeInchPoundSecond), UnitSystem(U::kTypeSI));
    ASSERT_TRUE(c.IsValid());
    EXPECT_NEAR(9.81456, c.Convert(386.4), 1e-12);
    EXPECT_NEAR(386.4, c.ReverseConvert(9.81456), 1e-10);
    EXPECT_EQ(L"m/s\u00B2", c.GetToUnitText());
    EXPECT_EQ(L"in/s\u00B2", c.GetFromUnitText());
}

TEST(UnitConverter, DisplayableUnitsConvertAndLabel) {
    UnitConverter c(UnitSystem(U::kTypeSI), UnitSystem(U::kTypeMmTonneSecond), U::Pressure);
    ASSERT_TRUE(c.IsValid());
    EXPECT_EQ(24, c.GetDisplayableUnit());
    ExpectClose(210.0, c.Convert(210e6), "MPa");
    ExpectClose(210e6, c.ReverseConvert(210.0), "Pa");
    EXPECT_EQ(L"N/mm\u00B2", c.GetToUnitText());
    EXPECT_EQ(L"N/m\u00B2", c.GetFromUnitText());
    ASSERT_TRUE(c.SetDisplayableUnit(U::Temperature));
    c.SetToUnitSystem(UnitSystem(U::kTypeInchPoundSecond));
    EXPECT_NEAR(68.0, c.Convert(20.0), 1e-12);
    EXPECT_EQ(L"\u00B0F", c.GetToUnitText());
    EXPECT_EQ(L"\u00B0C", c.GetFromUnitText());
}

TEST(UnitConverter, AnUnusableKindIsAnErrorNotAFactorOfOne) {
    UnitConverter c(UnitSystem(U::kTypeSI), UnitSystem(U::kTypeInchPoundSecond), L"N/q",
                    OrvUnitsConversionStringSyntaxBaseUnits);
    EXPECT_FALSE(c.IsValid());
    EXPECT_EQ(L"conversion string \"N/q\": position 3: unknown unit symbol 'q'", c.GetError());
    EXPECT_TRUE(std::isnan(c.Convert(1.0)));
    EXPECT_TRUE(std::isnan(c.ReverseConvert(1.0)));
    double out = 5.0;
    EXPECT_FALSE(c.Convert(1.0, out));
    EXPECT_FALSE(c.ReverseConvert(1.0, out));
    EXPECT_EQ(5.0, out);
    EXPECT_EQ(L"", c.GetToUnitText());

    EXPECT_FALSE(c.SetDisplayableUnit(2));
    EXPECT_EQ(L"unknown displayable unit 2", c.GetError());
    EXPECT_TRUE(std::isnan(c.Convert(1.0)));

    // A usable kind makes it valid again.
    ASSERT_TRUE(c.SetConversionString(L"N", OrvUnitsConversionStringSyntaxBaseUnits));
    EXPECT_EQ(L"", c.GetError());
    ASSERT_TRUE(c.Convert(kLbf, out));
    ExpectClose(1.0, out, "lbf");
}

TEST(UnitConverter, EmptyConversionStringIsDimensionlessUntilAUnitIsSet) {
    // The calculator builds one converter from an empty string and then sets a unit per field.
    UnitConverter c(L"", OrvUnitsConversionStringSyntaxBaseUnits);
    c.SetUnitSystems(UnitSystem(U::kTypeSI), UnitSystem(U::kTypeInchPoundSecond));
    ASSERT_TRUE(c.IsValid());
    EXPECT_EQ(3.5, c.Convert(3.5));
    ASSERT_TRUE(c.SetDisplayableUnit(U::Length));
    ExpectClose(1 / kIn, c.Convert(1.0), "length");
    // A new converter converts nothing until told what.
    const UnitConverter fresh;
    EXPECT_TRUE(fresh.IsValid());
    EXPECT_EQ(2.0, fresh.Convert(2.0));
}

TEST(UnitConverter, ReverseOfOneDisplayDegreeIsAPositiveDifference) {
    // A new ambient temperature magnitude is the model value of one display unit of "t".
    UnitConverter c(L"t", OrvUnitsConversionStringSyntaxBaseUnits);
    c.SetUnitSystems(UnitSystem(U::kTypeSI), UnitSystem(U::kTypeInchPoundSecond));
    ExpectClose(1 / 1.8, c.ReverseConvert(1.0), "one degree F in degrees C");
}

}  // namespace

namespace {

TEST(UnitConverter, TakesTheTextTypesCallersHold) {
    const UnitSystem si(U::kTypeSI), ips(U::kTypeInchPoundSecond);
    const CString fromTemplate(L"N/m");
    const std::wstring fromRecord(L"N/m");
    const UnitConverter a(si, ips, fromTemplate, OrvUnitsConversionStringSyntaxBaseUnits);
    const UnitConverter b(si, ips, fromRecord, OrvUnitsConversionStringSyntaxBaseUnits);
    const UnitConverter c(si, ips, L"N/m", OrvUnitsConversionStringSyntaxBaseUnits);
    ExpectClose(kIn / kLbf, a.Convert(1.0), "CString");
    ExpectClose(kIn / kLbf, b.Convert(1.0), "wstring");
    ExpectClose(kIn / kLbf, c.Convert(1.0), "literal");
    EXPECT_EQ(L"N/m", a.GetConversionString());
    EXPECT_EQ(-1, a.GetDisplayableUnit());
    const CString label = a.GetToUnitText();
    EXPECT_EQ(CString(L"lbf/in"), label);
}

}  // namespace

namespace {

// Strings built from the grammar's own characters never crash the parser, and every refusal
// points inside the text or just past its end.
TEST(ConversionStrings, ArbitraryTextEitherParsesOrNamesAPosition) {
    const std::wstring alphabet = L"NmstJVAkgohΩ1209^-*/·()² ⁻x";
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int parsed = 0, refused = 0;
    for (int i = 0; i < 5000; ++i) {
        std::wstring text;
        const int length = int(next() % 12);
        for (int k = 0; k < length; ++k) text += alphabet[next() % alphabet.size()];
        Dimension d;
        std::wstring error;
        if (UnitSys::ParseConversionString(text, OrvUnitsConversionStringSyntaxBaseUnits, d, &error)) {
            ++parsed;
            continue;
        }
        ++refused;
        ASSERT_EQ(0u, error.find(L"position ")) << orv::WideToUtf8(text);
        const int position = std::stoi(error.substr(9));
        EXPECT_GE(position, 1) << orv::WideToUtf8(text);
        EXPECT_LE(position, int(text.size()) + 1) << orv::WideToUtf8(text);
    }
    EXPECT_GT(parsed, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
