#pragma once
// The unit system library: unit systems, displayable units and their conversion.
//
// A unit system names one unit for each of nine base quantities (force, length, time,
// temperature, thermal energy, voltage, current, electrical resistance, mass). Every value the
// host shows is of a displayable unit, a code whose dimension is a product of powers of those
// base quantities; converting it between two systems multiplies by the ratio of their units
// (plus the scale offsets for a temperature reading). docs/units.md lists every unit and code.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win/CString.h"

// The unit system as a fixed 44-byte record (layout in docs/units.md), filled by
// UnitSys::UnitSystem::InitFemStruct and read by InitOnFemStruct.
struct RURIVO_UNIT_SYSTEM_V1_ENTRY {
    std::uint8_t bytes[44];
};
static_assert(sizeof(RURIVO_UNIT_SYSTEM_V1_ENTRY) == 44);

// Syntax of unit conversion strings. 0 is the only one: base-unit symbols of the model with
// products, quotients and powers ("N/m/m²", "m/s^2", "t").
enum OrvUnitsConversionStringSyntax : int {
    OrvUnitsConversionStringSyntaxBaseUnits = 0,
};

namespace UnitSys {

// The base quantities, in the order of the record and of a Dimension's exponents.
enum class Quantity : int {
    Force = 0,
    Length,
    Time,
    Temperature,
    Energy,
    Voltage,
    Current,
    Resistance,
    Mass,
};
inline constexpr int kQuantityCount = 9;

// A physical dimension as integer exponents of the base quantities. A dimension that is just
// temperature to the power one may be an absolute reading (offsets apply when converting);
// every other dimension, and a plain temperature difference, converts by a factor alone.
struct Dimension {
    std::array<int, kQuantityCount> exponents{};
    bool absoluteTemperature = false;

    int& operator[](Quantity q) { return exponents[std::size_t(q)]; }
    int operator[](Quantity q) const { return exponents[std::size_t(q)]; }
    bool IsDimensionless() const;
    friend bool operator==(const Dimension&, const Dimension&) = default;
};

class UnitSystem {
public:
    // System types. 0xFFFFFFFF: none chosen; 4: Custom (units chosen one by one); the others
    // are standard systems whose units are fixed by the type.
    static constexpr std::uint32_t kTypeNone = 0xFFFFFFFFu;
    static constexpr std::uint32_t kTypeInchPoundSecond = 0;  // in, lbf, s, degF, BTU
    static constexpr std::uint32_t kTypeSI = 1;                // m, N, s, degC, J, kg
    static constexpr std::uint32_t kTypeCGS = 2;               // cm, dyn, s, degC, erg, g
    static constexpr std::uint32_t kTypeMmKgMs = 3;            // mm, kN, ms, degC, J, kg
    static constexpr std::uint32_t kTypeCustom = 4;
    static constexpr std::uint32_t kTypeFootPoundSecond = 5;   // ft, lbf, s, degF, BTU, slug
    static constexpr std::uint32_t kTypeMmTonneSecond = 6;     // mm, N, s, degC, mJ, tonne
    // Number of type codes; passed as the type to GetUnitSystemTypeText it selects this
    // system's own type.
    static constexpr std::uint32_t kTypeCount = 7;
    // The standard types in the order they are offered: the English systems, then the metric ones.
    static constexpr std::uint32_t kStandardTypeOrder[6] = {kTypeInchPoundSecond, kTypeFootPoundSecond, kTypeSI,
                                                             kTypeMmTonneSecond,   kTypeCGS,             kTypeMmKgMs};

    // Unit indices per quantity (the values of the setters and getters).
    enum ForceUnit : int { kPoundForce, kNewton, kDyne, kKilonewton, kKilogramForce, kKip, kOunceForce, kForceUnitCount };
    enum LengthUnit : int { kInch, kFoot, kMeter, kCentimeter, kMillimeter, kMicrometer, kLengthUnitCount };
    enum TimeUnit : int { kSecond, kMillisecond, kHour, kTimeUnitCount };
    enum TemperatureUnit : int { kFahrenheit, kCelsius, kKelvin, kRankine, kTemperatureUnitCount };
    enum EnergyUnit : int { kBtu, kJoule, kErg, kMillijoule, kInchPoundForce, kFootPoundForce, kCalorie, kEnergyUnitCount };
    enum VoltageUnit : int { kVolt, kMillivolt, kVoltageUnitCount };
    enum CurrentUnit : int { kAmpere, kMilliampere, kCurrentUnitCount };
    enum ResistanceUnit : int { kOhm, kMilliohm, kKiloohm, kResistanceUnitCount };
    // kConsistentMass is the system's derived mass unit force·time²/length; its text names the
    // matching unit when there is one. kPoundMass never fits the force units: a system that
    // uses it is inconsistent, so it is offered only when inconsistent units are allowed.
    enum MassUnit : int { kKilogram, kTonne, kGram, kSlug, kConsistentMass, kPoundMass, kMassUnitCount };

    // Codes of the kinds of values the host shows (docs/units.md gives each one's dimension).
    enum DisplayableUnit : int {
        Dimensionless = 0,
        Length = 1,
        Time = 3,
        Velocity = 10,
        Acceleration = 11,
        MassDensity = 13,
        Angle = 20,
        Pressure = 24,
        HeatFlowRate = 26,
        Temperature = 35,
        DynamicViscosity = 41,
        Moment = 42,
        SpecificHeat = 48,
        ThermalConductivity = 50,
        ChargeDensity = 53,
        RotationAngle = 63,
        VolumetricFlowRate = 64,
        AngularVelocity = 65,
        FilmCoefficient = 66,
        FluidDensity = 67,
        CurrentDensity = 68,
        HeatGeneration = 71,
        ThermalResistance = 72,
        DistributedThermalResistance = 73,
        TurbulentKineticEnergy = 74,
        TurbulentDissipationRate = 75,
        Concentration = 77,
        MassFlux = 78,
        MassGeneration = 79,
        MassSource = 80,
        Diffusivity = 81,
        ThermalConductance = 82,
        ThermalExpansion = 83,
    };

    // No type chosen (kTypeNone) with the SI units, consistent units required.
    UnitSystem();
    // A system of that type: a standard type loads its units; Custom and an unknown type keep
    // the SI units (an unknown type is stored as kTypeNone).
    explicit UnitSystem(std::uint32_t type, bool allowInconsistentUnits = false);

    std::uint32_t GetUnitSystemType() const { return type_; }
    // A standard type loads its units; Custom keeps the current ones; kTypeNone keeps the units
    // and marks the system as unchosen. Any other value is refused (false, nothing changes).
    bool SetUnitSystemType(std::uint32_t type);
    static bool IsStandardType(std::uint32_t type);
    static bool IsValidType(std::uint32_t type);

    // With inconsistent units allowed the mass unit is free; otherwise it is always the
    // consistent mass of the force, length and time units and SetMassUnit only accepts that.
    bool AllowInconsistentUnits() const { return allowInconsistent_; }
    void SetAllowInconsistentUnits(bool allow);
    // The mass unit equals force·time²/length.
    bool IsConsistent() const;

    // Getters return the unit index; setters refuse an index outside the quantity's range
    // (false, nothing changes). Setting a unit of a standard system to another unit than the
    // type's own makes the system Custom.
    int GetForceUnit() const { return GetUnit(Quantity::Force); }
    int GetLengthUnit() const { return GetUnit(Quantity::Length); }
    int GetTimeUnit() const { return GetUnit(Quantity::Time); }
    int GetTemperatureUnit() const { return GetUnit(Quantity::Temperature); }
    int GetEnergyUnit() const { return GetUnit(Quantity::Energy); }
    int GetVoltageUnit() const { return GetUnit(Quantity::Voltage); }
    int GetCurrentUnit() const { return GetUnit(Quantity::Current); }
    int GetResistanceUnit() const { return GetUnit(Quantity::Resistance); }
    int GetMassUnit() const { return GetUnit(Quantity::Mass); }
    bool SetForceUnit(int unit) { return SetUnit(Quantity::Force, unit); }
    bool SetLengthUnit(int unit) { return SetUnit(Quantity::Length, unit); }
    bool SetTimeUnit(int unit) { return SetUnit(Quantity::Time, unit); }
    bool SetTemperatureUnit(int unit) { return SetUnit(Quantity::Temperature, unit); }
    bool SetEnergyUnit(int unit) { return SetUnit(Quantity::Energy, unit); }
    bool SetVoltageUnit(int unit) { return SetUnit(Quantity::Voltage, unit); }
    bool SetCurrentUnit(int unit) { return SetUnit(Quantity::Current, unit); }
    bool SetResistanceUnit(int unit) { return SetUnit(Quantity::Resistance, unit); }
    bool SetMassUnit(int unit) { return SetUnit(Quantity::Mass, unit); }
    int GetUnit(Quantity q) const { return units_[std::size_t(q)]; }
    bool SetUnit(Quantity q, int unit);
    static int UnitCount(Quantity q);

    // Unit texts, long ("Pound force") or short ("lbf"). The value is a unit index of the
    // quantity; the value equal to the quantity's unit count (force 7, length 6, time 3,
    // temperature 4, ...) selects this system's own unit. Any other value gives an empty text.
    std::wstring GetForceUnitText(int value, bool longForm) const { return GetUnitText(Quantity::Force, value, longForm); }
    std::wstring GetLengthUnitText(int value, bool longForm) const { return GetUnitText(Quantity::Length, value, longForm); }
    std::wstring GetTimeUnitText(int value, bool longForm) const { return GetUnitText(Quantity::Time, value, longForm); }
    std::wstring GetTemperatureUnitText(int value, bool longForm) const { return GetUnitText(Quantity::Temperature, value, longForm); }
    std::wstring GetEnergyUnitText(int value, bool longForm) const { return GetUnitText(Quantity::Energy, value, longForm); }
    std::wstring GetVoltageUnitText(int value, bool longForm) const { return GetUnitText(Quantity::Voltage, value, longForm); }
    std::wstring GetCurrentUnitText(int value, bool longForm) const { return GetUnitText(Quantity::Current, value, longForm); }
    std::wstring GetResistanceUnitText(int value, bool longForm) const { return GetUnitText(Quantity::Resistance, value, longForm); }
    std::wstring GetMassUnitText(int value, bool longForm) const { return GetUnitText(Quantity::Mass, value, longForm); }
    std::wstring GetUnitText(Quantity q, int value, bool longForm) const;
    // The absolute scale of a temperature unit (Rankine for degF, Kelvin for degC); value 4
    // selects this system's temperature unit.
    std::wstring GetAbsoluteTemperatureUnitText(int value, bool longForm) const;
    // Text of a type code; kTypeCount (7) selects this system's own type. kTypeNone gives
    // "None"; any other value an empty text.
    std::wstring GetUnitSystemTypeText(std::uint32_t type, bool longForm) const;

    // One unit of the quantity in SI units (N, m, s, J, V, A, ohm, kg; for temperature the
    // kelvins per degree). The static form has no system, so it gives NaN for kConsistentMass
    // and for an index out of range.
    double GetUnitFactor(Quantity q) const;
    static double UnitFactor(Quantity q, int unit);
    // Offset of the temperature unit's zero from absolute zero, in its own degrees
    // (459.67 for degF, 273.15 for degC, 0 for K and degR).
    double GetTemperatureOffset() const;

    // Displayable units.
    static bool IsDisplayableUnitKnown(int code);
    // The dimension of a code; false for an unknown code.
    static bool GetDisplayableUnitDimension(int code, Dimension& dimension);
    // What a code measures ("Velocity"); empty for an unknown code.
    static std::wstring GetDisplayableUnitQuantityName(int code);
    // The label of a code in this system ("in/s", "°F", "BTU/(s·in²·°F)"); empty for a
    // dimensionless or an unknown code; "rad" and "rad/s" for the angle codes.
    std::wstring GetDisplayableUnitText(int code) const;
    // The label of a dimension in this system's short unit texts.
    std::wstring GetDimensionText(const Dimension& dimension) const;

    // A value of the code in `from` expressed in `to`; NaN for an unknown code.
    static double ConvertDisplayableUnit(double value, int code, const UnitSystem& from, const UnitSystem& to);
    // A value of the dimension in `from` expressed in `to`.
    static double ConvertDimension(double value, const Dimension& dimension, const UnitSystem& from, const UnitSystem& to);
    // The factor from `from` to `to` of a dimension, ignoring temperature offsets.
    static double DimensionFactor(const Dimension& dimension, const UnitSystem& from, const UnitSystem& to);

    // The record form. InitOnFemStruct refuses a record of another size, version or with an
    // index out of range (false, the system is unchanged); error, when given, says why.
    void InitFemStruct(RURIVO_UNIT_SYSTEM_V1_ENTRY& entry) const;
    bool InitFemStruct(RURIVO_UNIT_SYSTEM_V1_ENTRY* entry) const;
    bool InitOnFemStruct(const RURIVO_UNIT_SYSTEM_V1_ENTRY& entry, std::wstring* error = nullptr);
    bool InitOnFemStruct(const RURIVO_UNIT_SYSTEM_V1_ENTRY* entry, std::wstring* error = nullptr);

    friend bool operator==(const UnitSystem&, const UnitSystem&) = default;

private:
    void LoadStandardUnits(std::uint32_t type);
    int ConsistentMassUnit() const;
    double ConsistentMassFactor() const;
    bool MatchesType(std::uint32_t type) const;

    std::uint32_t type_ = kTypeNone;
    bool allowInconsistent_ = false;
    std::array<int, kQuantityCount> units_{};
};

// Parses a conversion string of the given syntax into a dimension. An empty string (or "1")
// is dimensionless. False for a malformed string or an unknown syntax, with the message in
// error ("position 3: unknown unit symbol 'x'"; positions count characters from 1).
bool ParseConversionString(const CString& text, OrvUnitsConversionStringSyntax syntax, Dimension& dimension,
                           std::wstring* error = nullptr);

}  // namespace UnitSys
