#pragma once
// ConvectionCoefficientEntry: one named set of calculator inputs in a coefficient library, and
// its 880-byte stored record.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientInputs.h"
#include "host/model/Record.h"
#include "platform/win/CString.h"

namespace DataModelDialogs {

// The stored form of an entry: little-endian, doubles in IEEE binary64, values in the
// library's unit system. Several doubles are not 8-byte aligned.
struct ConvectionCoefficientEntryRecord : OrvDbRecord::FixedRecord<880> {
    static constexpr std::size_t kReservedOffset = 0;
    static constexpr std::size_t kNameOffset = 4;
    static constexpr std::size_t kNameSize = 256;
    static constexpr std::size_t kUserCoefficientOffset = 260;
    static constexpr std::size_t kTypeOffset = 268;
    static constexpr std::size_t kExternalCorrelationOffset = 272;
    static constexpr std::size_t kInternalCorrelationOffset = 276;
    static constexpr std::size_t kBuoyancyCorrelationOffset = 280;
    static constexpr std::size_t kFluidBlockSizeOffset = 284;  // holds 88
    static constexpr std::size_t kFlowSpeedOffset = 288;
    static constexpr std::size_t kAmbientTemperatureOffset = 296;
    static constexpr std::size_t kWallTemperatureOffset = 304;
    static constexpr std::size_t kGravityOffset = 312;
    static constexpr std::size_t kDensityOffset = 320;
    static constexpr std::size_t kDynamicViscosityOffset = 328;
    static constexpr std::size_t kThermalConductivityOffset = 336;
    static constexpr std::size_t kThermalExpansionOffset = 344;
    static constexpr std::size_t kSpecificHeatOffset = 352;
    static constexpr std::size_t kUsePrandtlOffset = 360;
    static constexpr std::size_t kPrandtlOffset = 364;
    static constexpr std::size_t kExternalPlateBlockOffset = 540;  // holds 12
    static constexpr std::size_t kExternalPlateLengthOffset = 544;
    static constexpr std::size_t kRoundPipeBlockOffset = 608;  // holds 12
    static constexpr std::size_t kPipeDiameterOffset = 612;
    static constexpr std::size_t kRectangularDuctBlockOffset = 676;  // holds 20
    static constexpr std::size_t kDuctWidthOffset = 680;
    static constexpr std::size_t kDuctHeightOffset = 688;
    static constexpr std::size_t kTriangularDuctBlockOffset = 744;  // holds 20
    static constexpr std::size_t kTriangleBaseOffset = 748;
    static constexpr std::size_t kTriangleHeightOffset = 756;
    static constexpr std::size_t kBuoyancyPlateBlockOffset = 812;  // holds 20
    static constexpr std::size_t kBuoyancyPlateLengthOffset = 816;
    static constexpr std::size_t kBuoyancyPlateWidthOffset = 824;
};
static_assert(sizeof(ConvectionCoefficientEntryRecord) == 880);

struct ConvectionCoefficientEntry {
    // Kept unchanged through reading and writing; 0 in new entries.
    std::uint32_t Reserved = 0;
    // At most kMaxNameBytes bytes of UTF-8 (see FitName).
    CString Name;
    // Always in the owning library's unit system.
    ConvectionCoefficientInputs Inputs;

    static constexpr std::size_t kMaxNameBytes = ConvectionCoefficientEntryRecord::kNameSize - 1;

    // The longest prefix of name that fits the record (255 UTF-8 bytes, never cutting a
    // character): longer names are shortened, so what is kept is what is stored.
    static CString FitName(const CString& name);

    // The record of the entry. The inputs' unit system is not part of it.
    ConvectionCoefficientEntryRecord ToRecord() const;
    // The entry of a record, its inputs in the given unit system. Reserved bytes and the block
    // sizes are not checked.
    static ConvectionCoefficientEntry FromRecord(const ConvectionCoefficientEntryRecord& record,
                                                 const OrvDbRecord::UnitSystem& units);
};

// Entry records one after the other.
std::vector<std::uint8_t> EncodeEntryRecords(std::span<const ConvectionCoefficientEntry> entries);
// The whole records in data (trailing bytes after the last whole record are ignored).
std::vector<ConvectionCoefficientEntry> DecodeEntryRecords(std::span<const std::uint8_t> data,
                                                           const OrvDbRecord::UnitSystem& units);

}  // namespace DataModelDialogs
