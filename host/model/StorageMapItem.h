#pragma once
// StorageMapItem: the base of every stored model item (an id and a kind), and StorageMap, an
// ordered, owning map of items by id.

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace OrvDbRecord {

class DbFeaObject;
class DbDesignScenario;

class StorageMapItem {
public:
    enum class Kind {
        Node,
        Edge,
        Surface,
        Part,
        CoordinateSystem,
        FeaObject,
        InitialFluidVolume,
        ContactPair,
        Shape,
        DesignScenario,
    };

    StorageMapItem(Kind kind, std::uint32_t id) : kind_(kind), id_(id) {}
    virtual ~StorageMapItem() = default;
    StorageMapItem(const StorageMapItem&) = default;
    StorageMapItem& operator=(const StorageMapItem&) = default;

    std::uint32_t Id() const { return id_; }
    Kind GetKind() const { return kind_; }
    // The item seen as an FEA object; null for every other kind.
    virtual const DbFeaObject* AsFeaObject() const { return nullptr; }
    virtual DbFeaObject* AsFeaObject() { return nullptr; }

    // The scenario the item belongs to; null for prototypes and free-standing items.
    DbDesignScenario* GetDesignScenario() const { return scenario_; }
    void SetDesignScenario(DbDesignScenario* scenario) { scenario_ = scenario; }

protected:
    void SetId(std::uint32_t id) { id_ = id; }

private:
    Kind kind_;
    std::uint32_t id_;
    DbDesignScenario* scenario_ = nullptr;
};

// "node", "edge", "surface", "part", ...
const char* StorageKindName(StorageMapItem::Kind kind);

// Items of one kind by ascending id. Iteration yields (id, unique_ptr) pairs in id order.
template <class T>
class StorageMap {
public:
    using Map = std::map<std::uint32_t, std::unique_ptr<T>>;

    T* Find(std::uint32_t id) const {
        auto it = items_.find(id);
        return it == items_.end() ? nullptr : it->second.get();
    }
    bool Contains(std::uint32_t id) const { return items_.count(id) != 0; }
    // Takes the item; an id already present is refused with std::invalid_argument.
    T& Add(std::unique_ptr<T> item) {
        std::uint32_t id = item->Id();
        auto [it, inserted] = items_.emplace(id, std::move(item));
        if (!inserted)
            throw std::invalid_argument(std::string(StorageKindName(it->second->GetKind())) + " id " + std::to_string(id) +
                                        " is already in use");
        if (id >= nextFreeId_)
            nextFreeId_ = id + 1;
        return *it->second;
    }
    bool Remove(std::uint32_t id) { return items_.erase(id) != 0; }
    // The next id never handed out by this map; ids of removed items are not reused.
    std::uint32_t NextFreeId() const { return nextFreeId_; }
    void SetNextFreeId(std::uint32_t id) { nextFreeId_ = id > nextFreeId_ ? id : nextFreeId_; }

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    typename Map::const_iterator begin() const { return items_.begin(); }
    typename Map::const_iterator end() const { return items_.end(); }

private:
    Map items_;
    std::uint32_t nextFreeId_ = 1;
};

}  // namespace OrvDbRecord
