#pragma once
// DbInitialFluidVolume: a region of the model initially inside or outside the fluid, kept as
// its RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY record.

#include <cstdint>

#include "host/model/Record.h"
#include "host/model/StorageMapItem.h"

namespace OrvDbRecord {

class DbInitialFluidVolume : public StorageMapItem {
public:
    // Region shapes (record offset 260).
    enum RegionShape : std::uint32_t { kHexahedral = 0, kSpherical = 1, kCylindrical = 2 };
    // Flag word bit 0: enabled.
    static constexpr std::uint32_t kEnabledBit = 1u;

    // A new volume: zero record with bits 0 and 1 of the flag word set.
    explicit DbInitialFluidVolume(std::uint32_t id);

    // Fills the record from the object; the header holds the object's id.
    void InitFemStruct(RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY& entry) const;
    // Takes bytes 4 to 527 of the record.
    void InitOnFemStruct(const RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY& entry);
    const RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY& GetRecord() const { return record_; }

    std::uint32_t GetRegionShape() const { return record_.GetU32(RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY::kRegionShapeOffset); }
    // Points the shape needs: 8 hexahedral, 2 spherical, 3 cylindrical, 1 for any other value.
    static std::uint32_t RequiredPointCount(std::uint32_t shape);

private:
    RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY record_;
};

}  // namespace OrvDbRecord
