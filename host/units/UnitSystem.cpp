#include "host/units/UnitSystem.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace UnitSys {

namespace {

struct UnitInfo {
    const wchar_t* longText;
    const wchar_t* shortText;
    double factor;  // one unit in SI (kelvins per degree for temperature)
};

constexpr double kLbf = 4.4482216152605;  // N per pound force
constexpr double kInch = 0.0254;          // m per inch
constexpr double kFoot = 0.3048;          // m per foot

const UnitInfo kForceUnits[] = {
    {L"Pound force", L"lbf", kLbf},
    {L"Newton", L"N", 1.0},
    {L"Dyne", L"dyn", 1e-5},
    {L"Kilonewton", L"kN", 1e3},
    {L"Kilogram force", L"kgf", 9.80665},
    {L"Kip", L"kip", kLbf * 1000.0},
    {L"Ounce force", L"ozf", kLbf / 16.0},
};
const UnitInfo kLengthUnits[] = {
    {L"Inch", L"in", kInch},
    {L"Foot", L"ft", kFoot},
    {L"Meter", L"m", 1.0},
    {L"Centimeter", L"cm", 1e-2},
    {L"Millimeter", L"mm", 1e-3},
    {L"Micrometer", L"\u00B5m", 1e-6},
};
const UnitInfo kTimeUnits[] = {
    {L"Second", L"s", 1.0},
    {L"Millisecond", L"ms", 1e-3},
    {L"Hour", L"h", 3600.0},
};
// Temperature factors are kelvins per degree; the degree scales are 1.8 per kelvin exactly.
const UnitInfo kTemperatureUnits[] = {
    {L"Fahrenheit", L"\u00B0F", 1.0 / 1.8},
    {L"Celsius", L"\u00B0C", 1.0},
    {L"Kelvin", L"K", 1.0},
    {L"Rankine", L"\u00B0R", 1.0 / 1.8},
};
const double kDegreesPerKelvin[] = {1.8, 1.0, 1.0, 1.8};
const double kTemperatureOffsets[] = {459.67, 273.15, 0.0, 0.0};
const int kAbsoluteTemperatureUnit[] = {UnitSystem::kRankine, UnitSystem::kKelvin, UnitSystem::kKelvin,
                                        UnitSystem::kRankine};
const UnitInfo kEnergyUnits[] = {
    {L"British thermal unit", L"BTU", 1055.05585262},
    {L"Joule", L"J", 1.0},
    {L"Erg", L"erg", 1e-7},
    {L"Millijoule", L"mJ", 1e-3},
    {L"Inch pound force", L"in\u00B7lbf", kInch * kLbf},
    {L"Foot pound force", L"ft\u00B7lbf", kFoot * kLbf},
    {L"Calorie", L"cal", 4.1868},
};
const UnitInfo kVoltageUnits[] = {
    {L"Volt", L"V", 1.0},
    {L"Millivolt", L"mV", 1e-3},
};
const UnitInfo kCurrentUnits[] = {
    {L"Ampere", L"A", 1.0},
    {L"Milliampere", L"mA", 1e-3},
};
const UnitInfo kResistanceUnits[] = {
    {L"Ohm", L"\u03A9", 1.0},
    {L"Milliohm", L"m\u03A9", 1e-3},
    {L"Kiloohm", L"k\u03A9", 1e3},
};
// kConsistentMass has no fixed factor; it is force·time²/length of the system.
const UnitInfo kMassUnits[] = {
    {L"Kilogram", L"kg", 1.0},
    {L"Tonne", L"tonne", 1e3},
    {L"Gram", L"g", 1e-3},
    {L"Slug", L"slug", kLbf / kFoot},
    {L"Consistent mass", L"", std::numeric_limits<double>::quiet_NaN()},
    {L"Pound mass", L"lbm", 0.45359237},
};

struct UnitTable {
    const UnitInfo* units;
    int count;
};

template <std::size_t N>
constexpr UnitTable Table(const UnitInfo (&units)[N]) {
    return {units, int(N)};
}

const UnitTable kTables[kQuantityCount] = {
    Table(kForceUnits),  Table(kLengthUnits),  Table(kTimeUnits),
    Table(kTemperatureUnits), Table(kEnergyUnits), Table(kVoltageUnits),
    Table(kCurrentUnits), Table(kResistanceUnits), Table(kMassUnits),
};

static_assert(sizeof(kForceUnits) / sizeof(UnitInfo) == UnitSystem::kForceUnitCount);
static_assert(sizeof(kLengthUnits) / sizeof(UnitInfo) == UnitSystem::kLengthUnitCount);
static_assert(sizeof(kTimeUnits) / sizeof(UnitInfo) == UnitSystem::kTimeUnitCount);
static_assert(sizeof(kTemperatureUnits) / sizeof(UnitInfo) == UnitSystem::kTemperatureUnitCount);
static_assert(sizeof(kEnergyUnits) / sizeof(UnitInfo) == UnitSystem::kEnergyUnitCount);
static_assert(sizeof(kVoltageUnits) / sizeof(UnitInfo) == UnitSystem::kVoltageUnitCount);
static_assert(sizeof(kCurrentUnits) / sizeof(UnitInfo) == UnitSystem::kCurrentUnitCount);
static_assert(sizeof(kResistanceUnits) / sizeof(UnitInfo) == UnitSystem::kResistanceUnitCount);
static_assert(sizeof(kMassUnits) / sizeof(UnitInfo) == UnitSystem::kMassUnitCount);

using U = UnitSystem;

struct StandardSystem {
    std::uint32_t type;
    const wchar_t* longText;
    const wchar_t* shortText;
    std::array<int, kQuantityCount> units;  // force, length, time, temperature, energy, voltage, current, resistance, mass
};

const StandardSystem kStandardSystems[] = {
    {U::kTypeInchPoundSecond, L"Inch-pound-second (in, lbf, s, \u00B0F, BTU)", L"IPS",
     {U::kPoundForce, U::kInch, U::kSecond, U::kFahrenheit, U::kBtu, U::kVolt, U::kAmpere, U::kOhm, U::kConsistentMass}},
    {U::kTypeSI, L"SI (m, N, s, \u00B0C, J, kg)", L"SI",
     {U::kNewton, U::kMeter, U::kSecond, U::kCelsius, U::kJoule, U::kVolt, U::kAmpere, U::kOhm, U::kKilogram}},
    {U::kTypeCGS, L"Centimeter-gram-second (cm, dyn, s, \u00B0C, erg, g)", L"CGS",
     {U::kDyne, U::kCentimeter, U::kSecond, U::kCelsius, U::kErg, U::kVolt, U::kAmpere, U::kOhm, U::kGram}},
    {U::kTypeMmKgMs, L"Millimeter-kilogram-millisecond (mm, kN, ms, \u00B0C, J, kg)", L"mm-kg-ms",
     {U::kKilonewton, U::kMillimeter, U::kMillisecond, U::kCelsius, U::kJoule, U::kVolt, U::kAmpere, U::kOhm,
      U::kKilogram}},
    {U::kTypeFootPoundSecond, L"Foot-pound-second (ft, lbf, s, \u00B0F, BTU, slug)", L"FPS",
     {U::kPoundForce, U::kFoot, U::kSecond, U::kFahrenheit, U::kBtu, U::kVolt, U::kAmpere, U::kOhm, U::kSlug}},
    {U::kTypeMmTonneSecond, L"Millimeter-tonne-second (mm, N, s, \u00B0C, mJ, tonne)", L"mm-t-s",
     {U::kNewton, U::kMillimeter, U::kSecond, U::kCelsius, U::kMillijoule, U::kVolt, U::kAmpere, U::kOhm, U::kTonne}},
};

const StandardSystem* FindStandard(std::uint32_t type) {
    for (const auto& s : kStandardSystems)
        if (s.type == type) return &s;
    return nullptr;
}

bool SameFactor(double a, double b) { return std::fabs(a - b) <= 1e-12 * std::fabs(b); }

// Displayable units: what each code measures, its dimension, and a word shown before the
// dimension's label for the angle codes (angles are in radians in every system).
struct DisplayableInfo {
    int code;
    const wchar_t* name;
    // exponents of force, length, time, temperature, energy, voltage, current, resistance, mass
    std::array<int, kQuantityCount> exponents;
    bool absoluteTemperature;
    const wchar_t* radians;
};

const DisplayableInfo kDisplayable[] = {
    {U::Dimensionless, L"Dimensionless", {0, 0, 0, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::Length, L"Length", {0, 1, 0, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::Time, L"Time", {0, 0, 1, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::Velocity, L"Velocity", {0, 1, -1, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::Acceleration, L"Acceleration", {0, 1, -2, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::MassDensity, L"Mass density", {0, -3, 0, 0, 0, 0, 0, 0, 1}, false, nullptr},
    {U::Angle, L"Angle", {0, 0, 0, 0, 0, 0, 0, 0, 0}, false, L"rad"},
    {U::Pressure, L"Pressure", {1, -2, 0, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::HeatFlowRate, L"Heat flow rate", {0, 0, -1, 0, 1, 0, 0, 0, 0}, false, nullptr},
    {U::Temperature, L"Temperature", {0, 0, 0, 1, 0, 0, 0, 0, 0}, true, nullptr},
    {U::DynamicViscosity, L"Dynamic viscosity", {0, -1, -1, 0, 0, 0, 0, 0, 1}, false, nullptr},
    {U::Moment, L"Moment", {1, 1, 0, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::SpecificHeat, L"Specific heat", {0, 0, 0, -1, 1, 0, 0, 0, -1}, false, nullptr},
    {U::ThermalConductivity, L"Thermal conductivity", {0, -1, -1, -1, 1, 0, 0, 0, 0}, false, nullptr},
    {U::ChargeDensity, L"Charge density", {0, -3, 1, 0, 0, 0, 1, 0, 0}, false, nullptr},
    {U::RotationAngle, L"Rotation angle", {0, 0, 0, 0, 0, 0, 0, 0, 0}, false, L"rad"},
    {U::VolumetricFlowRate, L"Volumetric flow rate", {0, 3, -1, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::AngularVelocity, L"Angular velocity", {0, 0, -1, 0, 0, 0, 0, 0, 0}, false, L"rad"},
    {U::FilmCoefficient, L"Film coefficient", {0, -2, -1, -1, 1, 0, 0, 0, 0}, false, nullptr},
    {U::FluidDensity, L"Fluid density", {0, -3, 0, 0, 0, 0, 0, 0, 1}, false, nullptr},
    {U::CurrentDensity, L"Current density", {0, -2, 0, 0, 0, 0, 1, 0, 0}, false, nullptr},
    {U::HeatGeneration, L"Heat generation", {0, -3, -1, 0, 1, 0, 0, 0, 0}, false, nullptr},
    {U::ThermalResistance, L"Thermal resistance", {0, 0, 1, 1, -1, 0, 0, 0, 0}, false, nullptr},
    {U::DistributedThermalResistance, L"Distributed thermal resistance", {0, 2, 1, 1, -1, 0, 0, 0, 0}, false, nullptr},
    {U::TurbulentKineticEnergy, L"Turbulent kinetic energy", {0, 2, -2, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::TurbulentDissipationRate, L"Turbulent dissipation rate", {0, 2, -3, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::Concentration, L"Concentration", {0, -3, 0, 0, 0, 0, 0, 0, 1}, false, nullptr},
    {U::MassFlux, L"Mass flux", {0, -2, -1, 0, 0, 0, 0, 0, 1}, false, nullptr},
    {U::MassGeneration, L"Mass generation", {0, -3, -1, 0, 0, 0, 0, 0, 1}, false, nullptr},
    {U::MassSource, L"Mass source", {0, 0, -1, 0, 0, 0, 0, 0, 1}, false, nullptr},
    {U::Diffusivity, L"Diffusivity", {0, 2, -1, 0, 0, 0, 0, 0, 0}, false, nullptr},
    {U::ThermalConductance, L"Thermal conductance", {0, 0, -1, -1, 1, 0, 0, 0, 0}, false, nullptr},
    {U::ThermalExpansion, L"Thermal expansion coefficient", {0, 0, 0, -1, 0, 0, 0, 0, 0}, false, nullptr},
};

const DisplayableInfo* FindDisplayable(int code) {
    for (const auto& d : kDisplayable)
        if (d.code == code) return &d;
    return nullptr;
}

std::wstring Superscript(int power) {
    static const wchar_t kDigits[] = L"\u2070\u00B9\u00B2\u00B3\u2074\u2075\u2076\u2077\u2078\u2079";
    std::wstring digits = std::to_wstring(power);
    std::wstring result;
    for (wchar_t c : digits) result += kDigits[c - L'0'];
    return result;
}

// Label order of the base units: energy and force first, then mass and the electrical units,
// then length, time and temperature ("BTU/(in²·s·°F)", "lbf·s/in²").
constexpr Quantity kLabelOrder[] = {Quantity::Energy,  Quantity::Force,      Quantity::Mass,
                                    Quantity::Voltage, Quantity::Current,    Quantity::Resistance,
                                    Quantity::Length,  Quantity::Time,       Quantity::Temperature};

// Record layout (little-endian).
constexpr std::size_t kRecordSize = 44;
constexpr std::uint32_t kRecordVersion = 1;
constexpr std::size_t kOffSize = 0;
constexpr std::size_t kOffVersion = 4;
constexpr std::size_t kOffType = 8;
constexpr std::size_t kOffAllowInconsistent = 12;
constexpr std::size_t kOffUnits = 16;  // nine 16-bit unit indices; 34 to 43 are reserved and zero

void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
std::uint32_t GetU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t GetU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

void SetError(std::wstring* error, std::wstring text) {
    if (error) *error = std::move(text);
}

}  // namespace

bool Dimension::IsDimensionless() const {
    for (int e : exponents)
        if (e != 0) return false;
    return true;
}

UnitSystem::UnitSystem() { LoadStandardUnits(kTypeSI); }

UnitSystem::UnitSystem(std::uint32_t type, bool allowInconsistentUnits) : allowInconsistent_(allowInconsistentUnits) {
    LoadStandardUnits(kTypeSI);
    if (IsValidType(type)) SetUnitSystemType(type);
}

bool UnitSystem::IsStandardType(std::uint32_t type) { return FindStandard(type) != nullptr; }

bool UnitSystem::IsValidType(std::uint32_t type) {
    return type == kTypeNone || type == kTypeCustom || IsStandardType(type);
}

void UnitSystem::LoadStandardUnits(std::uint32_t type) {
    if (const StandardSystem* s = FindStandard(type)) units_ = s->units;
}

bool UnitSystem::SetUnitSystemType(std::uint32_t type) {
    if (!IsValidType(type)) return false;
    LoadStandardUnits(type);
    type_ = type;
    return true;
}

bool UnitSystem::MatchesType(std::uint32_t type) const {
    const StandardSystem* s = FindStandard(type);
    return s && s->units == units_;
}

void UnitSystem::SetAllowInconsistentUnits(bool allow) {
    allowInconsistent_ = allow;
    if (!allow) {
        units_[std::size_t(Quantity::Mass)] = ConsistentMassUnit();
        if (IsStandardType(type_) && !MatchesType(type_)) type_ = kTypeCustom;
    }
}

double UnitSystem::ConsistentMassFactor() const {
    const double t = UnitFactor(Quantity::Time, GetTimeUnit());
    return UnitFactor(Quantity::Force, GetForceUnit()) * t * t / UnitFactor(Quantity::Length, GetLengthUnit());
}

int UnitSystem::ConsistentMassUnit() const {
    const double consistent = ConsistentMassFactor();
    for (int m : {kKilogram, kTonne, kGram, kSlug})
        if (SameFactor(kMassUnits[m].factor, consistent)) return m;
    return kConsistentMass;
}

bool UnitSystem::IsConsistent() const {
    const int mass = GetMassUnit();
    return mass == kConsistentMass || SameFactor(kMassUnits[mass].factor, ConsistentMassFactor());
}

int UnitSystem::UnitCount(Quantity q) {
    const int i = int(q);
    return i >= 0 && i < kQuantityCount ? kTables[i].count : 0;
}

bool UnitSystem::SetUnit(Quantity q, int unit) {
    if (unit < 0 || unit >= UnitCount(q)) return false;
    if (q == Quantity::Mass) {
        if (!allowInconsistent_) return unit == ConsistentMassUnit();
        units_[std::size_t(q)] = unit;
    } else {
        units_[std::size_t(q)] = unit;
        if (!allowInconsistent_) units_[std::size_t(Quantity::Mass)] = ConsistentMassUnit();
    }
    if (IsStandardType(type_) && !MatchesType(type_)) type_ = kTypeCustom;
    return true;
}

std::wstring UnitSystem::GetUnitText(Quantity q, int value, bool longForm) const {
    const int count = UnitCount(q);
    if (value == count) value = GetUnit(q);
    if (value < 0 || value >= count) return {};
    if (q == Quantity::Mass && value == kConsistentMass) {
        const int named = ConsistentMassUnit();
        if (named != kConsistentMass) return longForm ? kMassUnits[named].longText : kMassUnits[named].shortText;
        // Named by its parts: force·time²/length.
        return GetForceUnitText(GetForceUnit(), false) + L"\u00B7" + GetTimeUnitText(GetTimeUnit(), false) +
               Superscript(2) + L"/" + GetLengthUnitText(GetLengthUnit(), false);
    }
    const UnitInfo& u = kTables[int(q)].units[value];
    return longForm ? u.longText : u.shortText;
}

std::wstring UnitSystem::GetAbsoluteTemperatureUnitText(int value, bool longForm) const {
    if (value == kTemperatureUnitCount) value = GetTemperatureUnit();
    if (value < 0 || value >= kTemperatureUnitCount) return {};
    return GetTemperatureUnitText(kAbsoluteTemperatureUnit[value], longForm);
}

std::wstring UnitSystem::GetUnitSystemTypeText(std::uint32_t type, bool longForm) const {
    if (type == kTypeCount) type = type_;
    if (type == kTypeNone) return L"None";
    if (type == kTypeCustom) return L"Custom";
    if (const StandardSystem* s = FindStandard(type)) return longForm ? s->longText : s->shortText;
    return {};
}

double UnitSystem::UnitFactor(Quantity q, int unit) {
    if (unit < 0 || unit >= UnitCount(q)) return std::numeric_limits<double>::quiet_NaN();
    return kTables[int(q)].units[unit].factor;
}

double UnitSystem::GetUnitFactor(Quantity q) const {
    if (q == Quantity::Mass && GetMassUnit() == kConsistentMass) return ConsistentMassFactor();
    return UnitFactor(q, GetUnit(q));
}

double UnitSystem::GetTemperatureOffset() const { return kTemperatureOffsets[GetTemperatureUnit()]; }

bool UnitSystem::IsDisplayableUnitKnown(int code) { return FindDisplayable(code) != nullptr; }

bool UnitSystem::GetDisplayableUnitDimension(int code, Dimension& dimension) {
    const DisplayableInfo* d = FindDisplayable(code);
    if (!d) return false;
    dimension.exponents = d->exponents;
    dimension.absoluteTemperature = d->absoluteTemperature;
    return true;
}

std::wstring UnitSystem::GetDisplayableUnitQuantityName(int code) {
    const DisplayableInfo* d = FindDisplayable(code);
    return d ? d->name : L"";
}

std::wstring UnitSystem::GetDimensionText(const Dimension& dimension) const {
    std::array<int, kQuantityCount> e = dimension.exponents;
    // A mass unit without a name of its own is written as force·time²/length.
    const int mass = e[std::size_t(Quantity::Mass)];
    if (mass != 0 && GetMassUnit() == kConsistentMass && ConsistentMassUnit() == kConsistentMass) {
        e[std::size_t(Quantity::Force)] += mass;
        e[std::size_t(Quantity::Time)] += 2 * mass;
        e[std::size_t(Quantity::Length)] -= mass;
        e[std::size_t(Quantity::Mass)] = 0;
    }
    std::vector<std::wstring> numerator, denominator;
    for (Quantity q : kLabelOrder) {
        const int p = e[std::size_t(q)];
        if (p == 0) continue;
        std::wstring text = GetUnitText(q, GetUnit(q), false);
        const int magnitude = p < 0 ? -p : p;
        if (magnitude != 1) text += Superscript(magnitude);
        (p > 0 ? numerator : denominator).push_back(std::move(text));
    }
    auto join = [](const std::vector<std::wstring>& parts) {
        std::wstring out;
        for (const auto& part : parts) {
            if (!out.empty()) out += L"\u00B7";
            out += part;
        }
        return out;
    };
    std::wstring result = join(numerator);
    if (!denominator.empty()) {
        if (result.empty()) result = L"1";
        result += L"/";
        result += denominator.size() == 1 ? denominator[0] : L"(" + join(denominator) + L")";
    }
    return result;
}

std::wstring UnitSystem::GetDisplayableUnitText(int code) const {
    const DisplayableInfo* d = FindDisplayable(code);
    if (!d) return {};
    Dimension dimension;
    dimension.exponents = d->exponents;
    std::wstring text = GetDimensionText(dimension);
    if (d->radians) {
        // "rad", "rad/s": the angle takes the numerator's place.
        if (text.empty()) return d->radians;
        if (text.rfind(L"1/", 0) == 0) return d->radians + text.substr(1);
        return std::wstring(d->radians) + L"\u00B7" + text;
    }
    return text;
}

double UnitSystem::DimensionFactor(const Dimension& dimension, const UnitSystem& from, const UnitSystem& to) {
    double factor = 1.0;
    for (int i = 0; i < kQuantityCount; ++i) {
        const int p = dimension.exponents[std::size_t(i)];
        if (p == 0) continue;
        const Quantity q = Quantity(i);
        if (q != Quantity::Mass && from.GetUnit(q) == to.GetUnit(q)) continue;
        double ratio;
        if (q == Quantity::Temperature)
            ratio = kDegreesPerKelvin[to.GetTemperatureUnit()] / kDegreesPerKelvin[from.GetTemperatureUnit()];
        else
            ratio = from.GetUnitFactor(q) / to.GetUnitFactor(q);
        if (ratio == 1.0) continue;
        factor *= std::pow(ratio, p);
    }
    return factor;
}

double UnitSystem::ConvertDimension(double value, const Dimension& dimension, const UnitSystem& from,
                                    const UnitSystem& to) {
    Dimension temperature;
    temperature[Quantity::Temperature] = 1;
    if (dimension.absoluteTemperature && dimension.exponents == temperature.exponents) {
        const int f = from.GetTemperatureUnit();
        const int t = to.GetTemperatureUnit();
        if (f == t) return value;
        // Through the absolute scale: degrees above absolute zero, rescaled, less the offset.
        const double absolute = value + kTemperatureOffsets[f];
        return absolute * kDegreesPerKelvin[t] / kDegreesPerKelvin[f] - kTemperatureOffsets[t];
    }
    const double factor = DimensionFactor(dimension, from, to);
    return factor == 1.0 ? value : value * factor;
}

double UnitSystem::ConvertDisplayableUnit(double value, int code, const UnitSystem& from, const UnitSystem& to) {
    Dimension dimension;
    if (!GetDisplayableUnitDimension(code, dimension)) return std::numeric_limits<double>::quiet_NaN();
    return ConvertDimension(value, dimension, from, to);
}

void UnitSystem::InitFemStruct(RURIVO_UNIT_SYSTEM_V1_ENTRY& entry) const {
    std::memset(entry.bytes, 0, sizeof entry.bytes);
    PutU32(entry.bytes + kOffSize, std::uint32_t(kRecordSize));
    PutU32(entry.bytes + kOffVersion, kRecordVersion);
    PutU32(entry.bytes + kOffType, type_);
    PutU32(entry.bytes + kOffAllowInconsistent, allowInconsistent_ ? 0xFFFFFFFFu : 0u);
    for (int i = 0; i < kQuantityCount; ++i) PutU16(entry.bytes + kOffUnits + 2 * i, std::uint16_t(units_[std::size_t(i)]));
}

bool UnitSystem::InitFemStruct(RURIVO_UNIT_SYSTEM_V1_ENTRY* entry) const {
    if (!entry) return false;
    InitFemStruct(*entry);
    return true;
}

bool UnitSystem::InitOnFemStruct(const RURIVO_UNIT_SYSTEM_V1_ENTRY& entry, std::wstring* error) {
    static const wchar_t* const kNames[kQuantityCount] = {L"force",   L"length",  L"time",
                                                          L"temperature", L"energy", L"voltage",
                                                          L"current", L"resistance", L"mass"};
    const std::uint32_t size = GetU32(entry.bytes + kOffSize);
    if (size != kRecordSize) {
        SetError(error, L"unit system record: size " + std::to_wstring(size) + L", expected 44");
        return false;
    }
    const std::uint32_t version = GetU32(entry.bytes + kOffVersion);
    if (version != kRecordVersion) {
        SetError(error, L"unit system record: version " + std::to_wstring(version) + L", expected 1");
        return false;
    }
    UnitSystem read;
    read.type_ = GetU32(entry.bytes + kOffType);
    if (!IsValidType(read.type_)) {
        SetError(error, L"unit system record: unknown system type " + std::to_wstring(read.type_));
        return false;
    }
    read.allowInconsistent_ = GetU32(entry.bytes + kOffAllowInconsistent) != 0;
    for (int i = 0; i < kQuantityCount; ++i) {
        const int unit = GetU16(entry.bytes + kOffUnits + 2 * i);
        if (unit >= UnitCount(Quantity(i))) {
            SetError(error, std::wstring(L"unit system record: ") + kNames[i] + L" unit " + std::to_wstring(unit) +
                                L" out of range 0 to " + std::to_wstring(UnitCount(Quantity(i)) - 1));
            return false;
        }
        read.units_[std::size_t(i)] = unit;
    }
    if (IsStandardType(read.type_) && !read.MatchesType(read.type_)) {
        SetError(error, L"unit system record: the units differ from those of system type " +
                            std::to_wstring(read.type_));
        return false;
    }
    if (!read.allowInconsistent_ && read.GetMassUnit() != read.ConsistentMassUnit()) {
        SetError(error, L"unit system record: inconsistent mass unit while consistent units are required");
        return false;
    }
    *this = read;
    return true;
}

bool UnitSystem::InitOnFemStruct(const RURIVO_UNIT_SYSTEM_V1_ENTRY* entry, std::wstring* error) {
    if (!entry) {
        SetError(error, L"unit system record: none given");
        return false;
    }
    return InitOnFemStruct(*entry, error);
}

}  // namespace UnitSys
