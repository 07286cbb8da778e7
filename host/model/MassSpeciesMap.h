#pragma once
// MassSpeciesMap: the mass species of a design scenario, in the order they were added.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "host/model/Record.h"

namespace OrvDbRecord {

class MassSpeciesMap {
public:
    // A new species with the next free id; the record stays at its address until removed.
    MassSpeciesRecord& Add(std::string_view nameUtf8, double diffusivity);
    // A species with a given id; an id already present (or not positive) is refused with
    // std::invalid_argument.
    MassSpeciesRecord& Add(std::int32_t id, std::string_view nameUtf8, double diffusivity);
    bool Remove(std::int32_t id);
    MassSpeciesRecord* Find(std::int32_t id) const;
    std::int32_t NextFreeId() const { return nextFreeId_; }

    std::size_t size() const { return species_.size(); }
    bool empty() const { return species_.empty(); }
    MassSpeciesRecord& operator[](std::size_t index) const { return *species_.at(index); }
    // Iteration in collection order yields MassSpeciesRecord&.
    class Iterator {
    public:
        using Inner = std::vector<std::unique_ptr<MassSpeciesRecord>>::const_iterator;
        explicit Iterator(Inner it) : it_(it) {}
        MassSpeciesRecord& operator*() const { return **it_; }
        MassSpeciesRecord* operator->() const { return it_->get(); }
        Iterator& operator++() {
            ++it_;
            return *this;
        }
        bool operator==(const Iterator&) const = default;

    private:
        Inner it_;
    };
    Iterator begin() const { return Iterator(species_.begin()); }
    Iterator end() const { return Iterator(species_.end()); }

private:
    std::vector<std::unique_ptr<MassSpeciesRecord>> species_;
    std::int32_t nextFreeId_ = 1;
};

}  // namespace OrvDbRecord
