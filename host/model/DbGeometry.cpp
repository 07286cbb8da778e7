#include "host/model/DbGeometry.h"

#include <algorithm>
#include <stdexcept>

namespace OrvDbRecord {

namespace {

// Ids below this always get a table entry, whatever the node count.
constexpr std::uint32_t kTableFloor = 1024;

}  // namespace

void DbNode::SetCoordinates(const std::array<double, 3>& xyz) {
    xyz_ = xyz;
    if (store_) store_->xyz_[index_] = xyz;
}

std::uint32_t DbNodeStore::FarIndexOf(std::uint32_t id) const {
    auto it = far_.find(id);
    return it == far_.end() ? kNoIndex : it->second;
}

void DbNodeStore::SetIndex(std::uint32_t id, std::uint32_t index) {
    if (id >= table_.size()) {
        // The table grows while ids stay within about twice the node count; ids far beyond it go
        // to the hash, so one large id cannot make the table huge.
        const std::size_t limit = std::max<std::size_t>(kTableFloor, 2 * (nodes_.size() + 1));
        if (id < limit) {
            const std::size_t grown = std::min<std::size_t>(std::max<std::size_t>(std::size_t(id) + 1, 2 * table_.size()), limit);
            table_.resize(grown, kNoIndex);
        }
    }
    if (id < table_.size())
        table_[id] = index;
    else
        far_.emplace(id, index);
}

DbNode& DbNodeStore::Add(std::unique_ptr<DbNode> node) {
    const std::uint32_t id = node->Id();
    if (Contains(id)) throw std::invalid_argument("node id " + std::to_string(id) + " is already in use");
    if (nodes_.size() >= kNoIndex) throw std::length_error("too many nodes");
    const auto index = std::uint32_t(nodes_.size());
    // Make room first, so that a failed allocation leaves the store as it was.
    if (nodes_.size() == nodes_.capacity()) nodes_.reserve(std::max<std::size_t>(16, 2 * nodes_.size()));
    if (xyz_.size() == xyz_.capacity()) xyz_.reserve(std::max<std::size_t>(16, 2 * xyz_.size()));
    SetIndex(id, index);
    if (!nodes_.empty() && nodes_.back()->Id() > id) ordered_ = false;
    node->store_ = this;
    node->index_ = index;
    xyz_.push_back(node->xyz_);
    nodes_.push_back(std::move(node));
    if (id >= nextFreeId_) nextFreeId_ = id + 1;
    return *nodes_.back();
}

std::size_t DbNodeStore::Gather(const std::vector<std::uint32_t>& list, std::size_t* cursor, std::size_t capacity,
                                double* __restrict x, double* __restrict y, double* __restrict z,
                                std::uint32_t* __restrict ids) const {
    // Locals, so that the stores into the blocks cannot make the compiler reload the tables.
    const std::uint32_t* const listData = list.data();
    const std::size_t count = list.size();
    const std::uint32_t* const table = table_.data();
    const std::size_t tableSize = table_.size();
    const bool hasFar = !far_.empty();
    const Xyz* const xyz = xyz_.data();
    std::size_t next = *cursor;
    std::size_t n = 0;
    while (n < capacity && next < count) {
        const std::uint32_t id = listData[next++];
        std::uint32_t index = id < tableSize ? table[id] : kNoIndex;
        if (index == kNoIndex) {
            if (!hasFar) continue;
            index = FarIndexOf(id);
            if (index == kNoIndex) continue;
        }
        x[n] = xyz[index][0];
        y[n] = xyz[index][1];
        z[n] = xyz[index][2];
        ids[n] = id;
        ++n;
    }
    *cursor = next;
    return n;
}

DbNodeStore::const_iterator DbNodeStore::begin() const {
    if (!ordered_ && order_.size() != nodes_.size()) {
        order_.resize(nodes_.size());
        for (std::uint32_t i = 0; i < order_.size(); ++i) order_[i] = i;
        std::sort(order_.begin(), order_.end(), [this](std::uint32_t a, std::uint32_t b) { return nodes_[a]->Id() < nodes_[b]->Id(); });
    }
    return const_iterator(this, 0);
}

}  // namespace OrvDbRecord
