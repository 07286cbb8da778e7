#include "host/model/DbDesignScenario.h"

#include <stdexcept>

namespace OrvDbRecord {

const char* StorageKindName(StorageMapItem::Kind kind) {
    using K = StorageMapItem::Kind;
    switch (kind) {
    case K::Node: return "node";
    case K::Edge: return "edge";
    case K::Surface: return "surface";
    case K::Part: return "part";
    case K::CoordinateSystem: return "coordinate system";
    case K::FeaObject: return "FEA object";
    case K::InitialFluidVolume: return "initial fluid volume";
    case K::ContactPair: return "contact pair";
    case K::Shape: return "function";
    case K::DesignScenario: return "design scenario";
    }
    return "item";
}

DbDesignScenario::DbDesignScenario(std::uint32_t id) : StorageMapItem(Kind::DesignScenario, id) {
    SetDesignScenario(this);
}

DbDesignScenario::~DbDesignScenario() = default;

void DbDesignScenario::SetModelUnitSystem(const UnitSystem& system) {
    modelUnits_ = system;
    display_.SetUnitSystems(modelUnits_, display_.GetUnitSystem());
}

void DbDesignScenario::SetCurrentDisplayUnitSystem(const UnitSystem& system) { display_.SetUnitSystems(modelUnits_, system); }

bool DbDesignScenario::SetCurrentDisplayUnitSystemType(std::uint32_t type) {
    if (!UnitSystem::IsStandardType(type))
        return false;
    SetCurrentDisplayUnitSystem(UnitSystem(type));
    return true;
}

DbCoordinateSystem& DbDesignScenario::AddCoordinateSystem(std::unique_ptr<DbCoordinateSystem> system) {
    system->SetDesignScenario(this);
    return coordinateSystems_.Add(std::move(system));
}

DbCoordinateSystem* DbDesignScenario::GetGlobalCoordinateSystem() const { return coordinateSystems_.Find(globalCoordinateSystem_); }

bool DbDesignScenario::SetGlobalCoordinateSystem(std::uint32_t id) {
    if (id != 0 && !coordinateSystems_.Contains(id))
        return false;
    globalCoordinateSystem_ = id;
    return true;
}

DbShape& DbDesignScenario::CreateShape() { return shapes_.Add(std::make_unique<DbShape>(this, shapes_.NextFreeId(), 1)); }

DbShape& DbDesignScenario::AddShape(std::unique_ptr<DbShape> shape) {
    shape->SetDesignScenario(this);
    return shapes_.Add(std::move(shape));
}

DbFeaObject& DbDesignScenario::AddFeaObject(std::unique_ptr<DbFeaObject> object) {
    object->SetDesignScenario(this);
    return objects_.Add(std::move(object));
}

DbFeaObject& DbDesignScenario::CreateFeaObject(std::uint32_t typeCode, const RURIVO_LOADS_V1_ENTRY& entry,
                                               StorageMapItem::Kind geometryKind, std::uint32_t geometryId) {
    auto object = std::make_unique<DbFeaObject>(typeCode, objects_.NextFreeId());
    object->SetGeometry(geometryKind, geometryId);
    object->InitOnFemStruct(entry);
    return AddFeaObject(std::move(object));
}

bool DbDesignScenario::RemoveFeaObject(std::uint32_t id) {
    if (DbFeaObject* object = objects_.Find(id))
        if (FeaObjectGroup* group = object->GetGroup())
            group->RemoveFeaObject(object);
    return objects_.Remove(id);
}

FeaObjectGroup* DbDesignScenario::FindGroup(std::uint32_t id) const {
    for (const auto& g : groups_)
        if (g->Id() == id)
            return g.get();
    return nullptr;
}

FeaObjectGroup& DbDesignScenario::AddGroup(std::unique_ptr<FeaObjectGroup> group) {
    if (FindGroup(group->Id()))
        throw std::invalid_argument("group id " + std::to_string(group->Id()) + " is already in use");
    groups_.push_back(std::move(group));
    return *groups_.back();
}

DbContactPair& DbDesignScenario::AddContactPair(std::unique_ptr<DbContactPair> pair) {
    pair->SetDesignScenario(this);
    return contactPairs_.Add(std::move(pair));
}

DbInitialFluidVolume& DbDesignScenario::AddInitialFluidVolume(std::unique_ptr<DbInitialFluidVolume> volume) {
    volume->SetDesignScenario(this);
    return fluidVolumes_.Add(std::move(volume));
}

DbPart& DbDesignScenario::AddPart(std::unique_ptr<DbPart> part) {
    part->SetDesignScenario(this);
    return parts_.Add(std::move(part));
}

DbPartSurface& DbDesignScenario::AddSurface(std::unique_ptr<DbPartSurface> surface) {
    surface->SetDesignScenario(this);
    return surfaces_.Add(std::move(surface));
}

DbPartEdge& DbDesignScenario::AddEdge(std::unique_ptr<DbPartEdge> edge) {
    edge->SetDesignScenario(this);
    return edges_.Add(std::move(edge));
}

DbNode& DbDesignScenario::AddNode(std::unique_ptr<DbNode> node) {
    node->SetDesignScenario(this);
    return nodes_.Add(std::move(node));
}

StorageMapItem* DbDesignScenario::FindGeometry(StorageMapItem::Kind kind, std::uint32_t id) const {
    switch (kind) {
    case Kind::Node: return nodes_.Find(id);
    case Kind::Edge: return edges_.Find(id);
    case Kind::Surface: return surfaces_.Find(id);
    case Kind::Part: return parts_.Find(id);
    default: return nullptr;
    }
}

// Geometry look-ups that need the scenario.
DbPart* DbPartFace::GetPart() const {
    DbDesignScenario* scenario = GetDesignScenario();
    return scenario ? scenario->FindPart(partId_) : nullptr;
}

std::vector<const DbNode*> DbPartFace::GetNodes() const {
    std::vector<const DbNode*> nodes;
    if (DbDesignScenario* scenario = GetDesignScenario()) {
        nodes.reserve(nodeIds_.size());
        for (std::uint32_t id : nodeIds_)
            if (const DbNode* node = scenario->FindNode(id))
                nodes.push_back(node);
    }
    return nodes;
}

std::size_t DbPartFace::GatherNodes(std::size_t* cursor, std::size_t capacity, double* x, double* y, double* z,
                                    std::uint32_t* ids) const {
    DbDesignScenario* scenario = GetDesignScenario();
    if (!scenario) return 0;
    return scenario->GetNodes().Gather(nodeIds_, cursor, capacity, x, y, z, ids);
}

}  // namespace OrvDbRecord
