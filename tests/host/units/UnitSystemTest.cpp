#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "host/units/UnitSystem.h"

namespace {

using UnitSys::Quantity;
using UnitSys::UnitSystem;
using U = UnitSystem;

struct StandardCase {
    std::uint32_t type;
    const wchar_t* shortName;
    const wchar_t* force;
    const wchar_t* length;
    const wchar_t* time;
    const wchar_t* temperature;
    const wchar_t* energy;
    const wchar_t* mass;
};

TEST(UnitSystem, StandardTypesLoadTheirUnitsAndAreConsistent) {
    const StandardCase cases[] = {
        {U::kTypeInchPoundSecond, L"IPS", L"lbf", L"in", L"s", L"\u00B0F", L"BTU", L"lbf\u00B7s\u00B2/in"},
        {U::kTypeFootPoundSecond, L"FPS", L"lbf", L"ft", L"s", L"\u00B0F", L"BTU", L"slug"},
        {U::kTypeSI, L"SI", L"N", L"m", L"s", L"\u00B0C", L"J", L"kg"},
        {U::kTypeMmTonneSecond, L"mm-t-s", L"N", L"mm", L"s", L"\u00B0C", L"mJ", L"tonne"},
        {U::kTypeCGS, L"CGS", L"dyn", L"cm", L"s", L"\u00B0C", L"erg", L"g"},
        {U::kTypeMmKgMs, L"mm-kg-ms", L"kN", L"mm", L"ms", L"\u00B0C", L"J", L"kg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shortName);
        const UnitSystem s(c.type);
        EXPECT_EQ(c.type, s.GetUnitSystemType());
        EXPECT_EQ(c.shortName, s.GetUnitSystemTypeText(U::kTypeCount, false));
        EXPECT_EQ(c.force, s.GetForceUnitText(U::kForceUnitCount, false));
        EXPECT_EQ(c.length, s.GetLengthUnitText(U::kLengthUnitCount, false));
        EXPECT_EQ(c.time, s.GetTimeUnitText(U::kTimeUnitCount, false));
        EXPECT_EQ(c.temperature, s.GetTemperatureUnitText(U::kTemperatureUnitCount, false));
        EXPECT_EQ(c.energy, s.GetEnergyUnitText(U::kEnergyUnitCount, false));
        EXPECT_EQ(c.mass, s.GetMassUnitText(U::kMassUnitCount, false));
        EXPECT_TRUE(s.IsConsistent());
        EXPECT_TRUE(UnitSystem::IsStandardType(c.type));
    }
}

TEST(UnitSystem, TypeTextsInTheDialogsOrderAreDistinctAndNamed) {
    std::set<std::wstring> seen;
    for (std::uint32_t type : {0u, 5u, 1u, 6u, 2u, 3u, 4u}) {
        const std::wstring text = UnitSystem(type).GetUnitSystemTypeText(7, true);
        EXPECT_FALSE(text.empty()) << type;
        EXPECT_TRUE(seen.insert(text).second) << type;
    }
    EXPECT_EQ(L"Custom", UnitSystem(4).GetUnitSystemTypeText(7, true));
    EXPECT_EQ(L"None", UnitSystem().GetUnitSystemTypeText(7, true));
    EXPECT_EQ(L"SI", UnitSystem().GetUnitSystemTypeText(U::kTypeSI, false));
    EXPECT_EQ(L"", UnitSystem().GetUnitSystemTypeText(9, true));
    EXPECT_EQ(U::kTypeNone, UnitSystem().GetUnitSystemType());
}

TEST(UnitSystem, UnknownTypesAreRefusedAndChangeNothing) {
    UnitSystem s(U::kTypeInchPoundSecond);
    for (std::uint32_t bad : {7u, 8u, 100u, 0xFFFFFFFEu}) {
        EXPECT_FALSE(s.SetUnitSystemType(bad)) << bad;
        EXPECT_EQ(U::kTypeInchPoundSecond, s.GetUnitSystemType());
        EXPECT_EQ(U::kInch, s.GetLengthUnit());
    }
    EXPECT_EQ(U::kTypeNone, UnitSystem(7).GetUnitSystemType());
}

TEST(UnitSystem, UnitCountsAndTextSelectors) {
    const int expected[] = {7, 6, 3, 4, 7, 2, 2, 3, 6};
    for (int q = 0; q < UnitSys::kQuantityCount; ++q) EXPECT_EQ(expected[q], UnitSystem::UnitCount(Quantity(q))) << q;

    const UnitSystem si(U::kTypeSI);
    EXPECT_EQ(L"Inch", si.GetLengthUnitText(U::kInch, true));
    EXPECT_EQ(L"m", si.GetLengthUnitText(6, false));  // 6 selects the system's own length unit
    EXPECT_EQ(L"", si.GetLengthUnitText(7, false));
    EXPECT_EQ(L"", si.GetLengthUnitText(-1, false));
    EXPECT_EQ(L"Kelvin", si.GetAbsoluteTemperatureUnitText(4, true));
    EXPECT_EQ(L"\u00B0R", si.GetAbsoluteTemperatureUnitText(U::kFahrenheit, false));
    EXPECT_EQ(L"Rankine", UnitSystem(U::kTypeInchPoundSecond).GetAbsoluteTemperatureUnitText(4, true));
    EXPECT_EQ(L"", si.GetAbsoluteTemperatureUnitText(5, true));
    // Every unit has both texts.
    for (int q = 0; q < UnitSys::kQuantityCount; ++q)
        for (int u = 0; u < UnitSystem::UnitCount(Quantity(q)); ++u) {
            EXPECT_FALSE(si.GetUnitText(Quantity(q), u, true).empty()) << q << " " << u;
            EXPECT_FALSE(si.GetUnitText(Quantity(q), u, false).empty()) << q << " " << u;
        }
}

TEST(UnitSystem, CustomUnitsAndTheConsistentMass) {
    UnitSystem s(U::kTypeSI);
    // Changing a unit of a standard system makes it Custom; the mass follows the units.
    EXPECT_TRUE(s.SetLengthUnit(U::kMillimeter));
    EXPECT_EQ(U::kTypeCustom, s.GetUnitSystemType());
    EXPECT_EQ(U::kTonne, s.GetMassUnit());
    EXPECT_TRUE(s.SetForceUnit(U::kPoundForce));
    EXPECT_TRUE(s.SetLengthUnit(U::kFoot));
    EXPECT_EQ(U::kSlug, s.GetMassUnit());
    EXPECT_TRUE(s.SetLengthUnit(U::kInch));
    EXPECT_EQ(U::kConsistentMass, s.GetMassUnit());
    EXPECT_EQ(L"lbf\u00B7s\u00B2/in", s.GetMassUnitText(U::kConsistentMass, true));
    EXPECT_NEAR(175.126835246476, s.GetUnitFactor(Quantity::Mass), 1e-9);
    // Out of range indices are refused.
    EXPECT_FALSE(s.SetForceUnit(7));
    EXPECT_FALSE(s.SetTimeUnit(-1));
    EXPECT_EQ(U::kPoundForce, s.GetForceUnit());
    // Consistent units required: only the consistent mass is accepted.
    EXPECT_FALSE(s.SetMassUnit(U::kPoundMass));
    EXPECT_FALSE(s.SetMassUnit(U::kKilogram));
    EXPECT_TRUE(s.SetMassUnit(U::kConsistentMass));
    EXPECT_TRUE(s.IsConsistent());
    // Choosing the standard type again restores its units.
    EXPECT_TRUE(s.SetUnitSystemType(U::kTypeSI));
    EXPECT_EQ(UnitSystem(U::kTypeSI).GetLengthUnit(), s.GetLengthUnit());
    EXPECT_EQ(U::kKilogram, s.GetMassUnit());
    // Setting the unit a standard system already has keeps its type.
    EXPECT_TRUE(s.SetForceUnit(U::kNewton));
    EXPECT_EQ(U::kTypeSI, s.GetUnitSystemType());
}

TEST(UnitSystem, InconsistentMassOnlyWhenAllowed) {
    UnitSystem s(U::kTypeCustom);
    EXPECT_FALSE(s.AllowInconsistentUnits());
    EXPECT_FALSE(s.SetMassUnit(U::kPoundMass));
    s.SetAllowInconsistentUnits(true);
    EXPECT_TRUE(s.SetMassUnit(U::kPoundMass));
    EXPECT_FALSE(s.IsConsistent());
    EXPECT_EQ(L"lbm", s.GetMassUnitText(6, false));
    // Withdrawing the permission brings back the consistent mass.
    s.SetAllowInconsistentUnits(false);
    EXPECT_EQ(U::kKilogram, s.GetMassUnit());
    EXPECT_TRUE(s.IsConsistent());
}

TEST(UnitSystem, ConsistentMassTextRepeatsTheNamedUnitItMatches) {
    // In SI the consistent mass is the kilogram: a list of mass texts has it twice.
    const UnitSystem si(U::kTypeSI);
    EXPECT_EQ(si.GetMassUnitText(U::kKilogram, true), si.GetMassUnitText(U::kConsistentMass, true));
    const UnitSystem ips(U::kTypeInchPoundSecond);
    EXPECT_NE(ips.GetMassUnitText(U::kKilogram, true), ips.GetMassUnitText(U::kConsistentMass, true));
}

TEST(UnitSystem, RecordRoundTripIsExact) {
    std::vector<UnitSystem> systems;
    for (std::uint32_t type : {0u, 1u, 2u, 3u, 4u, 5u, 6u, U::kTypeNone}) systems.emplace_back(type);
    UnitSystem custom(U::kTypeCustom, true);
    custom.SetForceUnit(U::kKip);
    custom.SetLengthUnit(U::kMicrometer);
    custom.SetTimeUnit(U::kHour);
    custom.SetTemperatureUnit(U::kRankine);
    custom.SetEnergyUnit(U::kCalorie);
    custom.SetVoltageUnit(U::kMillivolt);
    custom.SetCurrentUnit(U::kMilliampere);
    custom.SetResistanceUnit(U::kKiloohm);
    custom.SetMassUnit(U::kPoundMass);
    systems.push_back(custom);

    for (const UnitSystem& s : systems) {
        RURIVO_UNIT_SYSTEM_V1_ENTRY entry;
        std::memset(entry.bytes, 0xCD, sizeof entry.bytes);
        s.InitFemStruct(entry);
        UnitSystem back(U::kTypeCGS);
        std::wstring error;
        ASSERT_TRUE(back.InitOnFemStruct(entry, &error)) << error;
        EXPECT_EQ(s, back);
        RURIVO_UNIT_SYSTEM_V1_ENTRY again;
        back.InitFemStruct(again);
        EXPECT_EQ(0, std::memcmp(entry.bytes, again.bytes, 44));
    }
}

TEST(UnitSystem, RecordLayout) {
    RURIVO_UNIT_SYSTEM_V1_ENTRY entry;
    UnitSystem(U::kTypeInchPoundSecond).InitFemStruct(entry);
    const std::uint8_t expected[44] = {44, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       4,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(expected, entry.bytes, 44));
    UnitSystem(U::kTypeSI).InitFemStruct(entry);
    EXPECT_EQ(1, entry.bytes[8]);
    EXPECT_EQ(U::kNewton, entry.bytes[16]);
    EXPECT_EQ(U::kMeter, entry.bytes[18]);
    EXPECT_FALSE(UnitSystem().InitFemStruct(nullptr));
}

TEST(UnitSystem, MalformedRecordsAreRefusedWithAReasonAndChangeNothing) {
    struct Case {
        const char* name;
        std::size_t offset;
        std::uint8_t value;
        const wchar_t* error;
    };
    const Case cases[] = {
        {"size", 0, 40, L"unit system record: size 40, expected 44"},
        {"version", 4, 2, L"unit system record: version 2, expected 1"},
        {"type", 8, 9, L"unit system record: unknown system type 9"},
        {"force", 16, 7, L"unit system record: force unit 7 out of range 0 to 6"},
        {"mass", 32, 6, L"unit system record: mass unit 6 out of range 0 to 5"},
        {"units of a standard type", 18, U::kFoot, L"unit system record: the units differ from those of system type 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RURIVO_UNIT_SYSTEM_V1_ENTRY entry;
        UnitSystem(U::kTypeSI).InitFemStruct(entry);
        entry.bytes[c.offset] = c.value;
        UnitSystem target(U::kTypeInchPoundSecond);
        std::wstring error;
        EXPECT_FALSE(target.InitOnFemStruct(entry, &error));
        EXPECT_EQ(c.error, error);
        EXPECT_EQ(UnitSystem(U::kTypeInchPoundSecond), target);
    }
    // An inconsistent mass in a record that requires consistent units.
    UnitSystem custom(U::kTypeCustom, true);
    custom.SetMassUnit(U::kPoundMass);
    RURIVO_UNIT_SYSTEM_V1_ENTRY entry;
    custom.InitFemStruct(entry);
    entry.bytes[12] = entry.bytes[13] = entry.bytes[14] = entry.bytes[15] = 0;
    UnitSystem target;
    std::wstring error;
    EXPECT_FALSE(target.InitOnFemStruct(entry, &error));
    EXPECT_EQ(L"unit system record: inconsistent mass unit while consistent units are required", error);
    EXPECT_FALSE(target.InitOnFemStruct(nullptr, &error));
    EXPECT_EQ(L"unit system record: none given", error);
}

}  // namespace

namespace {

TEST(UnitSystem, SavingAUnitGridTypeFirstThenEveryUnit) {
    // The unit system dialog sets the type, then (for Custom) every unit in quantity order,
    // the mass last with whatever its read-only item still shows.
    UnitSystem s(U::kTypeSI);
    ASSERT_TRUE(s.SetUnitSystemType(U::kTypeCustom));
    EXPECT_TRUE(s.SetForceUnit(U::kPoundForce));
    EXPECT_TRUE(s.SetLengthUnit(U::kInch));
    EXPECT_TRUE(s.SetTimeUnit(U::kSecond));
    EXPECT_TRUE(s.SetTemperatureUnit(U::kFahrenheit));
    EXPECT_TRUE(s.SetEnergyUnit(U::kBtu));
    EXPECT_TRUE(s.SetVoltageUnit(U::kVolt));
    EXPECT_TRUE(s.SetCurrentUnit(U::kAmpere));
    EXPECT_TRUE(s.SetResistanceUnit(U::kOhm));
    EXPECT_FALSE(s.SetMassUnit(U::kKilogram));  // stale item: refused, the mass stays consistent
    EXPECT_EQ(U::kTypeCustom, s.GetUnitSystemType());
    EXPECT_EQ(U::kConsistentMass, s.GetMassUnit());
    EXPECT_TRUE(s.IsConsistent());
    // The same units as type 0, but chosen one by one: still Custom.
    EXPECT_EQ(UnitSystem(U::kTypeInchPoundSecond).GetMassUnit(), s.GetMassUnit());
    // Choosing a standard type again loads its units.
    ASSERT_TRUE(s.SetUnitSystemType(U::kTypeMmTonneSecond));
    EXPECT_EQ(L"mm", s.GetLengthUnitText(6, false));
    EXPECT_EQ(L"tonne", s.GetMassUnitText(6, false));
    // None keeps the units.
    ASSERT_TRUE(s.SetUnitSystemType(U::kTypeNone));
    EXPECT_EQ(L"mm", s.GetLengthUnitText(6, false));
    EXPECT_EQ(L"None", s.GetUnitSystemTypeText(7, true));
}

TEST(UnitSystem, StandardTypeOrderListsEachStandardTypeOnce) {
    std::set<std::uint32_t> seen;
    for (std::uint32_t type : U::kStandardTypeOrder) {
        EXPECT_TRUE(UnitSystem::IsStandardType(type)) << type;
        EXPECT_TRUE(seen.insert(type).second) << type;
    }
    EXPECT_EQ(0u, U::kStandardTypeOrder[0]);
    EXPECT_FALSE(UnitSystem::IsStandardType(U::kTypeCustom));
    EXPECT_FALSE(UnitSystem::IsStandardType(U::kTypeNone));
}

}  // namespace
