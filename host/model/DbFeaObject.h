#pragma once
// DbFeaObject: one load, boundary condition or initial condition of a design scenario, kept
// as its RURIVO_LOADS_V1_ENTRY record; FeaObjectGroup: a named group of such objects.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "host/model/Record.h"
#include "host/model/StorageMapItem.h"

namespace OrvDbRecord {

class DbNode;
class FeaObjectGroup;
struct FeaTypeInfo;

// The kind of geometry objects of the type code sit on (beam loads sit on parts); Surface for
// an unknown code.
StorageMapItem::Kind GeometryKindOf(std::uint32_t typeCode);

class DbFeaObject : public StorageMapItem {
public:
    // An object of the type code with its type's defaults (all zero for an unknown code).
    DbFeaObject(std::uint32_t typeCode, std::uint32_t id);
    ~DbFeaObject() override;
    DbFeaObject(const DbFeaObject&) = delete;
    DbFeaObject& operator=(const DbFeaObject&) = delete;

    const DbFeaObject* AsFeaObject() const override { return this; }
    DbFeaObject* AsFeaObject() override { return this; }

    std::uint32_t GetTypeCode() const { return typeCode_; }
    // Null for a type code without a known layout.
    const FeaTypeInfo* GetTypeInfo() const;

    // The node, edge, surface or part the object is applied to, looked up in its scenario;
    // null when there is none.
    virtual StorageMapItem* GetGeometry() const;
    StorageMapItem::Kind GetGeometryKind() const { return geometryKind_; }
    std::uint32_t GetGeometryId() const { return geometryId_; }
    // Id 0 means no geometry.
    void SetGeometry(StorageMapItem::Kind kind, std::uint32_t id);
    // The nodes of the geometry in its order (a part: the nodes of its surfaces, each once).
    std::vector<const DbNode*> GetNodes() const;

    FeaObjectGroup* GetGroup() const { return group_; }

    // Fills the record from the object: header (type code, id, geometry id), description,
    // load data block and remainder. A prototype fills in its type's defaults for its current
    // creation context and group.
    void InitFemStruct(RURIVO_LOADS_V1_ENTRY& entry) const;
    // Takes bytes 12 to 787 of the record; the header describes the object and is kept.
    void InitOnFemStruct(const RURIVO_LOADS_V1_ENTRY& entry);
    // The stored record (header up to date).
    const RURIVO_LOADS_V1_ENTRY& GetRecord() const { return record_; }

    std::string GetDescription() const;
    void SetDescription(std::string_view utf8);

    // Prototype use (ObjectRegistrar): the creation context is the DbDesignScenario* the new
    // object is made for, or null; the defaults then take the scenario's global coordinate
    // system and first mass species, and the group's load curve.
    void SetCreationContext(void* context) { context_ = context; }
    void* GetCreationContext() const { return context_; }
    // Back to the type's defaults: record, context, geometry; leaves its group.
    void Reset();
    // The type's defaults for the current context and group, into the record.
    void ApplyDefaults();
    void WriteDefaults(RURIVO_LOADS_V1_ENTRY& entry) const;
    bool IsPrototype() const { return prototype_; }
    void MarkAsPrototype() { prototype_ = true; }

private:
    friend class FeaObjectGroup;
    void RefreshHeader();

    bool prototype_ = false;

    std::uint32_t typeCode_;
    StorageMapItem::Kind geometryKind_ = StorageMapItem::Kind::Surface;
    std::uint32_t geometryId_ = 0;
    FeaObjectGroup* group_ = nullptr;
    void* context_ = nullptr;
    RURIVO_LOADS_V1_ENTRY record_;
};

// A named group of FEA objects. A group's load curve (0: none) is the default load curve of
// objects created in it. Membership is not owning; an object is in at most one group.
class FeaObjectGroup {
public:
    FeaObjectGroup(std::uint32_t id, std::string name, std::int32_t loadCurve = 0)
        : id_(id), name_(std::move(name)), loadCurve_(loadCurve) {}
    ~FeaObjectGroup();
    FeaObjectGroup(const FeaObjectGroup&) = delete;
    FeaObjectGroup& operator=(const FeaObjectGroup&) = delete;

    std::uint32_t Id() const { return id_; }
    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    std::int32_t GetLoadCurve() const { return loadCurve_; }
    void SetLoadCurve(std::int32_t curve) { loadCurve_ = curve; }

    // Adding moves the object out of any other group.
    void AddFeaObject(DbFeaObject* object);
    void RemoveFeaObject(DbFeaObject* object);
    bool Contains(const DbFeaObject* object) const { return members_.count(const_cast<DbFeaObject*>(object)) != 0; }
    // Members by ascending id.
    std::vector<DbFeaObject*> GetFeaObjects() const;

private:
    std::uint32_t id_;
    std::string name_;
    std::int32_t loadCurve_;
    std::set<DbFeaObject*> members_;
};

}  // namespace OrvDbRecord
