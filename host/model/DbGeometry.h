#pragma once
// Geometry of a design scenario: nodes, parts, part surfaces and edges, coordinate systems.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/model/StorageMapItem.h"

namespace OrvDbRecord {

class DbNode : public StorageMapItem {
public:
    DbNode(std::uint32_t id, const std::array<double, 3>& xyz) : StorageMapItem(Kind::Node, id), xyz_(xyz) {}

    // x, y, z in model units.
    std::array<double, 3> GetCoordinatesAsArray() const { return xyz_; }
    void GetCoordinatesAsArray(double (&xyz)[3]) const {
        xyz[0] = xyz_[0];
        xyz[1] = xyz_[1];
        xyz[2] = xyz_[2];
    }
    void SetCoordinates(const std::array<double, 3>& xyz) { xyz_ = xyz; }

private:
    std::array<double, 3> xyz_;
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
