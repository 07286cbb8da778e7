#include "host/model/DbFeaObject.h"

#include <algorithm>
#include <set>

#include "host/model/DbDesignScenario.h"
#include "host/model/RecordLayout.h"

namespace OrvDbRecord {

StorageMapItem::Kind GeometryKindOf(std::uint32_t typeCode) {
    const FeaTypeInfo* info = FindFeaType(typeCode);
    if (!info)
        return StorageMapItem::Kind::Surface;
    switch (info->geometry) {
    case GeometryKind::Node: return StorageMapItem::Kind::Node;
    case GeometryKind::Edge: return StorageMapItem::Kind::Edge;
    case GeometryKind::Surface: return StorageMapItem::Kind::Surface;
    case GeometryKind::Part:
    case GeometryKind::Beam: return StorageMapItem::Kind::Part;
    }
    return StorageMapItem::Kind::Surface;
}

namespace {

// Defaults of each type code: every quantity the user must give starts at 0 (the dialogs
// refuse a zero magnitude where one is needed); directions, ratios, multipliers and curve
// numbers start valid.
void WriteTypeDefaults(std::uint32_t typeCode, RURIVO_LOADS_V1_ENTRY& r) {
    auto vec = [&r](std::size_t offset, double x, double y, double z) {
        r.SetF64(offset, x);
        r.SetF64(offset + 8, y);
        r.SetF64(offset + 16, z);
    };
    switch (typeCode) {
    case 26: case 36: case 49:  // prescribed velocity: all three components held at 0
        r.SetFlag(296, true);
        r.SetFlag(300, true);
        r.SetFlag(304, true);
        r.SetI32(308, 1);
        break;
    case 29: case 40: case 112:  // applied temperature
        r.SetF64(280, 1.0);
        r.SetF64(288, 1.0);
        break;
    case 35:  // surface force: normal to the surface
        r.SetI32(304, 1);
        break;
    case 53:  // beam distributed load: uniform along -Z
        r.SetF64(288, 1.0);
        vec(304, 0, 0, -1);
        vec(328, 0, 0, -1);
        r.SetF64(352, 1.0);
        r.SetI32(360, 1);
        break;
    case 55:  // surface variable load
        r.SetFlag(272, true);
        vec(324, 1, 0, 0);
        r.SetI32(352, 1);
        break;
    case 64:  // radiation
        r.SetF64(272, 1.0);
        r.SetF64(300, 1.0);
        break;
    case 65:  // convection
        r.SetI32(288, 1);
        r.SetF64(312, 1.0);
        break;
    case 82: case 84:  // hydrostatic pressure, fluid traction: fluid surface normal +Z
        r.SetF64(280, 1.0);
        vec(312, 0, 0, 1);
        r.SetI32(336, 1);
        break;
    case 122:  // remote load
        vec(340, 1, 0, 0);
        vec(372, 1, 0, 0);
        r.SetI32(396, 1);
        break;
    case 126:  // surface moment about X through the centroid
        vec(280, 1, 0, 0);
        r.SetI32(304, 1);
        r.SetI32(336, -1);
        r.SetI32(340, 0);
        break;
    case 171: case 178:  // wall roughness
        r.SetF64(280, 0.5);
        break;
    case 172:  // turbulence condition
        r.SetF64(280, 0.05);
        r.SetF64(288, 0.07);
        r.SetF64(296, 1.0);
        r.SetF64(304, 1.0);
        break;
    case 176:  // heat generation
        r.SetI32(284, 1);
        break;
    case 177:  // prescribed displacement along X
        vec(280, 1, 0, 0);
        r.SetI32(312, 1);
        r.SetI32(316, 1);
        break;
    case 181: case 182:
        r.SetI32(272, -1);
        break;
    case 183: case 184: case 185: case 186: case 187: case 188:
        r.SetI32(272, -1);
        r.SetI32(276, 1);
        break;
    default: break;
    }
}

bool IsSpeciesType(std::uint32_t typeCode) { return typeCode >= 181 && typeCode <= 188; }

}  // namespace

DbFeaObject::DbFeaObject(std::uint32_t typeCode, std::uint32_t id)
    : StorageMapItem(Kind::FeaObject, id), typeCode_(typeCode), geometryKind_(GeometryKindOf(typeCode)) {
    ApplyDefaults();
}

DbFeaObject::~DbFeaObject() {
    if (group_)
        group_->RemoveFeaObject(this);
}

const FeaTypeInfo* DbFeaObject::GetTypeInfo() const { return FindFeaType(typeCode_); }

StorageMapItem* DbFeaObject::GetGeometry() const {
    DbDesignScenario* scenario = GetDesignScenario();
    if (!scenario || geometryId_ == 0)
        return nullptr;
    return scenario->FindGeometry(geometryKind_, geometryId_);
}

void DbFeaObject::SetGeometry(StorageMapItem::Kind kind, std::uint32_t id) {
    geometryKind_ = kind;
    geometryId_ = id;
    RefreshHeader();
}

std::vector<const DbNode*> DbFeaObject::GetNodes() const {
    std::vector<const DbNode*> nodes;
    StorageMapItem* geometry = GetGeometry();
    if (!geometry)
        return nodes;
    switch (geometry->GetKind()) {
    case Kind::Node: nodes.push_back(static_cast<const DbNode*>(geometry)); break;
    case Kind::Edge:
    case Kind::Surface: nodes = static_cast<const DbPartFace*>(geometry)->GetNodes(); break;
    case Kind::Part: {
        std::set<std::uint32_t> seen;
        for (const auto& [id, surface] : GetDesignScenario()->GetSurfaces())
            if (surface->GetPartId() == geometry->Id())
                for (const DbNode* node : surface->GetNodes())
                    if (seen.insert(node->Id()).second)
                        nodes.push_back(node);
        break;
    }
    default: break;
    }
    return nodes;
}

void DbFeaObject::RefreshHeader() {
    record_.SetU32(RURIVO_LOADS_V1_ENTRY::kTypeCodeOffset, typeCode_);
    record_.SetU32(RURIVO_LOADS_V1_ENTRY::kObjectIdOffset, Id());
    record_.SetU32(RURIVO_LOADS_V1_ENTRY::kGeometryIdOffset, geometryId_);
}

void DbFeaObject::InitFemStruct(RURIVO_LOADS_V1_ENTRY& entry) const {
    if (prototype_)
        WriteDefaults(entry);
    else
        entry = record_;
}

void DbFeaObject::InitOnFemStruct(const RURIVO_LOADS_V1_ENTRY& entry) {
    std::copy(entry.bytes.begin() + RURIVO_LOADS_V1_ENTRY::kDescriptionOffset, entry.bytes.end(),
              record_.bytes.begin() + RURIVO_LOADS_V1_ENTRY::kDescriptionOffset);
    RefreshHeader();
}

std::string DbFeaObject::GetDescription() const {
    return record_.GetText(RURIVO_LOADS_V1_ENTRY::kDescriptionOffset, RURIVO_LOADS_V1_ENTRY::kDescriptionSize);
}

void DbFeaObject::SetDescription(std::string_view utf8) {
    record_.SetText(RURIVO_LOADS_V1_ENTRY::kDescriptionOffset, RURIVO_LOADS_V1_ENTRY::kDescriptionSize, utf8);
}

void DbFeaObject::Reset() {
    if (group_)
        group_->RemoveFeaObject(this);
    context_ = nullptr;
    geometryId_ = 0;
    geometryKind_ = GeometryKindOf(typeCode_);
    ApplyDefaults();
}

void DbFeaObject::ApplyDefaults() {
    WriteDefaults(record_);
    RefreshHeader();
}

void DbFeaObject::WriteDefaults(RURIVO_LOADS_V1_ENTRY& entry) const {
    entry.Zero();
    WriteTypeDefaults(typeCode_, entry);
    if (auto* scenario = static_cast<DbDesignScenario*>(context_)) {
        if (IsSpeciesType(typeCode_) && !scenario->GetMassSpecies().empty())
            entry.SetI32(272, scenario->GetMassSpecies()[0].GetId());
        if (const DbCoordinateSystem* global = scenario->GetGlobalCoordinateSystem()) {
            if (typeCode_ == 122)
                entry.SetI32(328, std::int32_t(global->Id()));
            if (typeCode_ == 55)
                entry.SetI32(348, std::int32_t(global->Id()));
        }
    }
    if (group_ && group_->GetLoadCurve() > 0)
        if (const FeaTypeInfo* info = GetTypeInfo())
            for (const FieldInfo& f : info->fields)
                if (f.name == "loadCurve")
                    entry.SetI32(f.offset, group_->GetLoadCurve());
    entry.SetU32(RURIVO_LOADS_V1_ENTRY::kTypeCodeOffset, typeCode_);
    entry.SetU32(RURIVO_LOADS_V1_ENTRY::kObjectIdOffset, Id());
    entry.SetU32(RURIVO_LOADS_V1_ENTRY::kGeometryIdOffset, geometryId_);
}

FeaObjectGroup::~FeaObjectGroup() {
    for (DbFeaObject* object : members_)
        object->group_ = nullptr;
}

void FeaObjectGroup::AddFeaObject(DbFeaObject* object) {
    if (!object || object->group_ == this)
        return;
    if (object->group_)
        object->group_->RemoveFeaObject(object);
    members_.insert(object);
    object->group_ = this;
}

void FeaObjectGroup::RemoveFeaObject(DbFeaObject* object) {
    if (object && members_.erase(object))
        object->group_ = nullptr;
}

std::vector<DbFeaObject*> FeaObjectGroup::GetFeaObjects() const {
    std::vector<DbFeaObject*> out(members_.begin(), members_.end());
    std::sort(out.begin(), out.end(), [](const DbFeaObject* a, const DbFeaObject* b) { return a->Id() < b->Id(); });
    return out;
}

}  // namespace OrvDbRecord
