#pragma once
// Geometry of a design scenario: nodes, parts, part surfaces and edges, coordinate systems.

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/model/StorageMapItem.h"

namespace OrvDbRecord {

class DbNodeStore;

// A node. Nodes of a scenario live in its DbNodeStore, which also keeps their coordinates packed
// by index; a node made on its own (not added to a scenario) keeps only its own copy.
class DbNode : public StorageMapItem {
public:
    DbNode(std::uint32_t id, const std::array<double, 3>& xyz) : StorageMapItem(Kind::Node, id), xyz_(xyz) {}
    // A copy stands on its own, outside any store.
    DbNode(const DbNode& other) : StorageMapItem(other), xyz_(other.xyz_) {}
    DbNode& operator=(const DbNode&) = delete;

    // x, y, z in model units.
    std::array<double, 3> GetCoordinatesAsArray() const { return xyz_; }
    void GetCoordinatesAsArray(double (&xyz)[3]) const {
        xyz[0] = xyz_[0];
        xyz[1] = xyz_[1];
        xyz[2] = xyz_[2];
    }
    // Also updates the packed coordinates of the store the node is in.
    void SetCoordinates(const std::array<double, 3>& xyz);

private:
    friend class DbNodeStore;
    std::array<double, 3> xyz_;
    DbNodeStore* store_ = nullptr;
    std::uint32_t index_ = 0;
};

// The nodes of a design scenario. Each node has an index, the order in which it was added; the
// coordinates of all nodes are kept packed by index, and an id finds its index through a table
// (ids up to about twice the node count) or, for ids far beyond it, a hash. Iteration yields
// (id, node) pairs by ascending id, as the other maps of the scenario do.
class DbNodeStore {
public:
    using Xyz = std::array<double, 3>;
    static constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;

    DbNodeStore() = default;
    ~DbNodeStore() = default;
    DbNodeStore(const DbNodeStore&) = delete;
    DbNodeStore& operator=(const DbNodeStore&) = delete;

    // Takes the node and gives it the next index; an id already present is refused with
    // std::invalid_argument and the node is not taken.
    DbNode& Add(std::unique_ptr<DbNode> node);
    DbNode* Find(std::uint32_t id) const {
        const std::uint32_t index = IndexOf(id);
        return index == kNoIndex ? nullptr : nodes_[index].get();
    }
    bool Contains(std::uint32_t id) const { return IndexOf(id) != kNoIndex; }
    // The index of the node with the id; kNoIndex when there is none.
    std::uint32_t IndexOf(std::uint32_t id) const {
        if (id < table_.size() && table_[id] != kNoIndex) return table_[id];
        return far_.empty() ? kNoIndex : FarIndexOf(id);
    }

    std::size_t size() const { return nodes_.size(); }
    bool empty() const { return nodes_.empty(); }
    DbNode& NodeAt(std::size_t index) const { return *nodes_[index]; }
    std::uint32_t IdAt(std::size_t index) const { return nodes_[index]->Id(); }
    // The coordinates of every node, packed by index (model units).
    const Xyz* Coordinates() const { return xyz_.data(); }
    const Xyz& CoordinatesAt(std::size_t index) const { return xyz_[index]; }

    // Walks a list of ids in order from *cursor: for each id that is a node, its coordinates go
    // to x[k], y[k], z[k] and the id to ids[k]; ids without a node are skipped. Stops after
    // `capacity` nodes or at the end of the list, leaves *cursor after the last id read and
    // returns the number of nodes written.
    std::size_t Gather(const std::vector<std::uint32_t>& list, std::size_t* cursor, std::size_t capacity, double* x, double* y,
                       double* z, std::uint32_t* ids) const;

    // The next id never handed out; ids are not reused.
    std::uint32_t NextFreeId() const { return nextFreeId_; }
    void SetNextFreeId(std::uint32_t id) { nextFreeId_ = id > nextFreeId_ ? id : nextFreeId_; }

    // Ascending id order.
    class const_iterator {
    public:
        using value_type = std::pair<std::uint32_t, DbNode*>;
        using difference_type = std::ptrdiff_t;
        using reference = value_type;
        using pointer = const value_type*;
        using iterator_category = std::forward_iterator_tag;

        const_iterator() = default;
        value_type operator*() const { return Get(); }
        pointer operator->() const {
            current_ = Get();
            return &current_;
        }
        const_iterator& operator++() {
            ++position_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++position_;
            return old;
        }
        bool operator==(const const_iterator& other) const { return position_ == other.position_; }
        bool operator!=(const const_iterator& other) const { return position_ != other.position_; }

    private:
        friend class DbNodeStore;
        const_iterator(const DbNodeStore* store, std::size_t position) : store_(store), position_(position) {}
        value_type Get() const {
            DbNode* node = store_->nodes_[store_->ordered_ ? position_ : store_->order_[position_]].get();
            return {node->Id(), node};
        }
        const DbNodeStore* store_ = nullptr;
        std::size_t position_ = 0;
        mutable value_type current_{0, nullptr};
    };
    const_iterator begin() const;
    const_iterator end() const { return const_iterator(this, nodes_.size()); }

private:
    friend class DbNode;
    std::uint32_t FarIndexOf(std::uint32_t id) const;
    void SetIndex(std::uint32_t id, std::uint32_t index);

    std::vector<std::unique_ptr<DbNode>> nodes_;
    std::vector<Xyz> xyz_;
    std::vector<std::uint32_t> table_;  // id -> index, kNoIndex where no node has the id
    std::unordered_map<std::uint32_t, std::uint32_t> far_;
    bool ordered_ = true;  // indices ascend with the ids
    // Indices by ascending id when they do not ascend by themselves, made on first iteration.
    mutable std::vector<std::uint32_t> order_;
    std::uint32_t nextFreeId_ = 1;
};

class DbPart : public StorageMapItem {
public:
    DbPart(std::uint32_t id, std::string name, std::int32_t elementType)
        : StorageMapItem(Kind::Part, id), name_(std::move(name)), elementType_(elementType) {}

    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    // The element type code of the part's mesh.
    std::int32_t GetElementType() const { return elementType_; }
    void SetElementType(std::int32_t code) { elementType_ = code; }

private:
    std::string name_;
    std::int32_t elementType_;
};

// A surface or an edge of a part: the owning part and its nodes, by id.
class DbPartFace : public StorageMapItem {
public:
    DbPartFace(Kind kind, std::uint32_t id, std::uint32_t partId, std::vector<std::uint32_t> nodeIds)
        : StorageMapItem(kind, id), partId_(partId), nodeIds_(std::move(nodeIds)) {}

    std::uint32_t GetPartId() const { return partId_; }
    void SetPartId(std::uint32_t id) { partId_ = id; }
    // The owning part; null when it is not in the scenario.
    DbPart* GetPart() const;
    const std::vector<std::uint32_t>& GetNodeIds() const { return nodeIds_; }
    void SetNodeIds(std::vector<std::uint32_t> ids) { nodeIds_ = std::move(ids); }
    // The nodes in the listed order; ids missing from the scenario are skipped.
    std::vector<const DbNode*> GetNodes() const;
    // The coordinates of the nodes in the listed order, a block at a time, as
    // DbNodeStore::Gather hands them out (0 when the face is not in a scenario).
    std::size_t GatherNodes(std::size_t* cursor, std::size_t capacity, double* x, double* y, double* z,
                            std::uint32_t* ids) const;

private:
    std::uint32_t partId_;
    std::vector<std::uint32_t> nodeIds_;
};

class DbPartSurface : public DbPartFace {
public:
    DbPartSurface(std::uint32_t id, std::uint32_t partId, std::vector<std::uint32_t> nodeIds)
        : DbPartFace(Kind::Surface, id, partId, std::move(nodeIds)) {}
};

class DbPartEdge : public DbPartFace {
public:
    DbPartEdge(std::uint32_t id, std::uint32_t partId, std::vector<std::uint32_t> nodeIds)
        : DbPartFace(Kind::Edge, id, partId, std::move(nodeIds)) {}
};

class DbCoordinateSystem : public StorageMapItem {
public:
    // Type codes: 0 global Cartesian, 1 cylindrical, 2 local rectangular, 3 spherical.
    enum Type : std::uint32_t { kGlobal = 0, kCylindrical = 1, kRectangular = 2, kSpherical = 3 };
    using Point = std::array<double, 3>;

    // A is the origin, B a point on the local z axis, C a point in the local x-z plane.
    DbCoordinateSystem(std::uint32_t id, std::uint32_t type, std::string name, const Point& a, const Point& b, const Point& c)
        : StorageMapItem(Kind::CoordinateSystem, id), type_(type), name_(std::move(name)), a_(a), b_(b), c_(c) {}

    std::uint32_t CoordinateSystemType() const { return type_; }
    void SetCoordinateSystemType(std::uint32_t type) { type_ = type; }
    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const Point& PointA_CV() const { return a_; }
    const Point& PointB_CV() const { return b_; }
    const Point& PointC_CV() const { return c_; }
    void SetPoints(const Point& a, const Point& b, const Point& c) {
        a_ = a;
        b_ = b;
        c_ = c;
    }

private:
    std::uint32_t type_;
    std::string name_;
    Point a_, b_, c_;
};

}  // namespace OrvDbRecord
