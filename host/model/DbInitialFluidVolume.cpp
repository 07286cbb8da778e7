#include "host/model/DbInitialFluidVolume.h"

#include <algorithm>

namespace OrvDbRecord {

using Entry = RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY;

DbInitialFluidVolume::DbInitialFluidVolume(std::uint32_t id) : StorageMapItem(Kind::InitialFluidVolume, id) {
    record_.SetU32(Entry::kFlagWordOffset, 0x3u);
    record_.SetU32(Entry::kObjectIdOffset, id);
}

void DbInitialFluidVolume::InitFemStruct(Entry& entry) const {
    entry = record_;
    entry.SetU32(Entry::kObjectIdOffset, Id());
}

void DbInitialFluidVolume::InitOnFemStruct(const Entry& entry) {
    std::copy(entry.bytes.begin() + Entry::kDescriptionOffset, entry.bytes.end(),
              record_.bytes.begin() + Entry::kDescriptionOffset);
    record_.SetU32(Entry::kObjectIdOffset, Id());
}

std::uint32_t DbInitialFluidVolume::RequiredPointCount(std::uint32_t shape) {
    switch (shape) {
    case kHexahedral: return 8;
    case kSpherical: return 2;
    case kCylindrical: return 3;
    default: return 1;
    }
}

}  // namespace OrvDbRecord
