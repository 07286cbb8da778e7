#include "host/model/MassSpeciesMap.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace OrvDbRecord {

MassSpeciesRecord& MassSpeciesMap::Add(std::string_view nameUtf8, double diffusivity) {
    return Add(nextFreeId_, nameUtf8, diffusivity);
}

MassSpeciesRecord& MassSpeciesMap::Add(std::int32_t id, std::string_view nameUtf8, double diffusivity) {
    if (id <= 0)
        throw std::invalid_argument("mass species id " + std::to_string(id) + " is not positive");
    if (Find(id))
        throw std::invalid_argument("mass species id " + std::to_string(id) + " is already in use");
    auto record = std::make_unique<MassSpeciesRecord>();
    record->SetId(id);
    record->SetName(nameUtf8);
    record->SetDiffusivity(diffusivity);
    species_.push_back(std::move(record));
    if (id >= nextFreeId_)
        nextFreeId_ = id + 1;
    return *species_.back();
}

bool MassSpeciesMap::Remove(std::int32_t id) {
    auto it = std::find_if(species_.begin(), species_.end(), [id](const auto& s) { return s->GetId() == id; });
    if (it == species_.end())
        return false;
    species_.erase(it);
    return true;
}

MassSpeciesRecord* MassSpeciesMap::Find(std::int32_t id) const {
    for (const auto& s : species_)
        if (s->GetId() == id)
            return s.get();
    return nullptr;
}

}  // namespace OrvDbRecord
