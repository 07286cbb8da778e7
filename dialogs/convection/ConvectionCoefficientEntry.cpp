#include "dialogs/convection/ConvectionCoefficientEntry.h"

#include <algorithm>
#include <string>

#include "platform/win/Utf8.h"

namespace DataModelDialogs {

namespace {
using R = ConvectionCoefficientEntryRecord;
}

CString ConvectionCoefficientEntry::FitName(const CString& name) {
    const std::string utf8 = orv::WideToUtf8(name.GetString());
    if (utf8.size() <= kMaxNameBytes) return name;
    return CString(orv::Utf8ToWide(std::string_view(utf8).substr(0, orv::Utf8PrefixLength(utf8, kMaxNameBytes))));
}

ConvectionCoefficientEntryRecord ConvectionCoefficientEntry::ToRecord() const {
    R r;
    const ConvectionCoefficientInputs& in = Inputs;
    r.SetU32(R::kReservedOffset, Reserved);
    r.SetText(R::kNameOffset, R::kNameSize, orv::WideToUtf8(Name.GetString()));
    r.SetF64(R::kUserCoefficientOffset, in.UserCoefficient);
    r.SetI32(R::kTypeOffset, in.Type);
    r.SetI32(R::kExternalCorrelationOffset, in.ExternalCorrelation);
    r.SetI32(R::kInternalCorrelationOffset, in.InternalCorrelation);
    r.SetI32(R::kBuoyancyCorrelationOffset, in.BuoyancyCorrelation);
    r.SetU32(R::kFluidBlockSizeOffset, 88);
    r.SetF64(R::kFlowSpeedOffset, in.FlowSpeed);
    r.SetF64(R::kAmbientTemperatureOffset, in.AmbientTemperature);
    r.SetF64(R::kWallTemperatureOffset, in.WallTemperature);
    r.SetF64(R::kGravityOffset, in.Gravity);
    r.SetF64(R::kDensityOffset, in.Density);
    r.SetF64(R::kDynamicViscosityOffset, in.DynamicViscosity);
    r.SetF64(R::kThermalConductivityOffset, in.ThermalConductivity);
    r.SetF64(R::kThermalExpansionOffset, in.ThermalExpansion);
    r.SetF64(R::kSpecificHeatOffset, in.SpecificHeat);
    r.SetFlag(R::kUsePrandtlOffset, in.UsePrandtlNumber);
    r.SetF64(R::kPrandtlOffset, in.Prandtl);
    r.SetU32(R::kExternalPlateBlockOffset, 12);
    r.SetF64(R::kExternalPlateLengthOffset, in.ExternalPlateLength);
    r.SetU32(R::kRoundPipeBlockOffset, 12);
    r.SetF64(R::kPipeDiameterOffset, in.PipeDiameter);
    r.SetU32(R::kRectangularDuctBlockOffset, 20);
    r.SetF64(R::kDuctWidthOffset, in.DuctWidth);
    r.SetF64(R::kDuctHeightOffset, in.DuctHeight);
    r.SetU32(R::kTriangularDuctBlockOffset, 20);
    r.SetF64(R::kTriangleBaseOffset, in.TriangleBase);
    r.SetF64(R::kTriangleHeightOffset, in.TriangleHeight);
    r.SetU32(R::kBuoyancyPlateBlockOffset, 20);
    r.SetF64(R::kBuoyancyPlateLengthOffset, in.BuoyancyPlateLength);
    r.SetF64(R::kBuoyancyPlateWidthOffset, in.BuoyancyPlateWidth);
    return r;
}

ConvectionCoefficientEntry ConvectionCoefficientEntry::FromRecord(const ConvectionCoefficientEntryRecord& r,
                                                                  const OrvDbRecord::UnitSystem& units) {
    ConvectionCoefficientEntry e;
    ConvectionCoefficientInputs& in = e.Inputs;
    e.Reserved = r.GetU32(R::kReservedOffset);
    // Ill-formed UTF-8 reads as U+FFFD, which may need more bytes than the record holds:
    // keep what will be written back.
    e.Name = FitName(CString(orv::Utf8ToWide(r.GetText(R::kNameOffset, R::kNameSize))));
    in.Units = units;
    in.UserCoefficient = r.GetF64(R::kUserCoefficientOffset);
    in.Type = r.GetI32(R::kTypeOffset);
    in.ExternalCorrelation = r.GetI32(R::kExternalCorrelationOffset);
    in.InternalCorrelation = r.GetI32(R::kInternalCorrelationOffset);
    in.BuoyancyCorrelation = r.GetI32(R::kBuoyancyCorrelationOffset);
    in.FlowSpeed = r.GetF64(R::kFlowSpeedOffset);
    in.AmbientTemperature = r.GetF64(R::kAmbientTemperatureOffset);
    in.WallTemperature = r.GetF64(R::kWallTemperatureOffset);
    in.Gravity = r.GetF64(R::kGravityOffset);
    in.Density = r.GetF64(R::kDensityOffset);
    in.DynamicViscosity = r.GetF64(R::kDynamicViscosityOffset);
    in.ThermalConductivity = r.GetF64(R::kThermalConductivityOffset);
    in.ThermalExpansion = r.GetF64(R::kThermalExpansionOffset);
    in.SpecificHeat = r.GetF64(R::kSpecificHeatOffset);
    in.UsePrandtlNumber = r.GetFlag(R::kUsePrandtlOffset);
    in.Prandtl = r.GetF64(R::kPrandtlOffset);
    in.ExternalPlateLength = r.GetF64(R::kExternalPlateLengthOffset);
    in.PipeDiameter = r.GetF64(R::kPipeDiameterOffset);
    in.DuctWidth = r.GetF64(R::kDuctWidthOffset);
    in.DuctHeight = r.GetF64(R::kDuctHeightOffset);
    in.TriangleBase = r.GetF64(R::kTriangleBaseOffset);
    in.TriangleHeight = r.GetF64(R::kTriangleHeightOffset);
    in.BuoyancyPlateLength = r.GetF64(R::kBuoyancyPlateLengthOffset);
    in.BuoyancyPlateWidth = r.GetF64(R::kBuoyancyPlateWidthOffset);
    return e;
}

std::vector<std::uint8_t> EncodeEntryRecords(std::span<const ConvectionCoefficientEntry> entries) {
    std::vector<std::uint8_t> data;
    data.reserve(entries.size() * R::kSize);
    for (const ConvectionCoefficientEntry& entry : entries) {
        const R record = entry.ToRecord();
        data.insert(data.end(), record.bytes.begin(), record.bytes.end());
    }
    return data;
}

std::vector<ConvectionCoefficientEntry> DecodeEntryRecords(std::span<const std::uint8_t> data,
                                                           const OrvDbRecord::UnitSystem& units) {
    const std::size_t count = data.size() / R::kSize;
    std::vector<ConvectionCoefficientEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        R record;
        std::copy_n(data.begin() + std::ptrdiff_t(i * R::kSize), R::kSize, record.bytes.begin());
        entries.push_back(ConvectionCoefficientEntry::FromRecord(record, units));
    }
    return entries;
}

}  // namespace DataModelDialogs
