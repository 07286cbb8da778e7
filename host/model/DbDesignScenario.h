#pragma once
// DbDesignScenario: one analysis of a model with everything the dialogs read and write.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/model/DbContactPair.h"
#include "host/model/DbFeaObject.h"
#include "host/model/DbGeometry.h"
#include "host/model/DbInitialFluidVolume.h"
#include "host/model/DbShape.h"
#include "host/model/MassSpeciesMap.h"
#include "host/model/StorageMapItem.h"
#include "host/model/UnitSystem.h"

namespace OrvDbRecord {

class DbDesignScenario : public StorageMapItem {
public:
    explicit DbDesignScenario(std::uint32_t id);
    ~DbDesignScenario() override;
    DbDesignScenario(const DbDesignScenario&) = delete;
    DbDesignScenario& operator=(const DbDesignScenario&) = delete;

    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    // Path of the model file the scenario belongs to (its settings database lies beside it).
    const std::wstring& GetModelPath() const { return modelPath_; }
    void SetModelPath(std::wstring path) { modelPath_ = std::move(path); }

    // The host's analysis type code, analysis category (0 to 5) and Riks flag.
    std::uint32_t GetAnalysisType() const { return analysisType_; }
    void SetAnalysisType(std::uint32_t type) { analysisType_ = type; }
    std::uint32_t GetAnalysisCategory() const { return analysisCategory_; }
    void SetAnalysisCategory(std::uint32_t category) { analysisCategory_ = category; }
    bool IsRiksAnalysis() const { return riks_; }
    void SetRiksAnalysis(bool riks) { riks_ = riks; }

    // Units: values are stored in the model unit system and shown in the current display
    // unit system. Changing the model unit system keeps the display system (and relabels,
    // converting nothing that is stored).
    const UnitSystem& GetModelUnitSystem() const { return modelUnits_; }
    void SetModelUnitSystem(const UnitSystem& system);
    const DisplayUnitSystem& GetCurrentDisplayUnitSystem() const { return display_; }
    DisplayUnitSystem& GetCurrentDisplayUnitSystem() { return display_; }
    void SetCurrentDisplayUnitSystem(const UnitSystem& system);
    // Shows values in a standard unit system of the type (0, 1, 2, 3, 5, 6); false for any
    // other type, and nothing changes.
    bool SetCurrentDisplayUnitSystemType(std::uint32_t type);
    // Shows values in the model's own units.
    void UseModelUnitSystemForDisplay() { SetCurrentDisplayUnitSystem(modelUnits_); }

    // Coordinate systems; the global one is the one of type 0 that GetGlobalCoordinateSystem
    // names (null when there is none).
    const StorageMap<DbCoordinateSystem>& GetCoordinateSystems() const { return coordinateSystems_; }
    DbCoordinateSystem& AddCoordinateSystem(std::unique_ptr<DbCoordinateSystem> system);
    DbCoordinateSystem* GetGlobalCoordinateSystem() const;
    // Id 0 clears it; an id that is not a coordinate system of the scenario is refused.
    bool SetGlobalCoordinateSystem(std::uint32_t id);

    const StorageMap<DbShape>& GetShapes() const { return shapes_; }
    // A new function with the shape map's next free id, storage status 1.
    DbShape& CreateShape();
    DbShape& AddShape(std::unique_ptr<DbShape> shape);
    void SetNextFreeShapeId(std::uint32_t id) { shapes_.SetNextFreeId(id); }

    MassSpeciesMap& GetMassSpecies() { return species_; }
    const MassSpeciesMap& GetMassSpecies() const { return species_; }

    const StorageMap<DbFeaObject>& GetFeaObjects() const { return objects_; }
    DbFeaObject* FindFeaObject(std::uint32_t id) const { return objects_.Find(id); }
    DbFeaObject& AddFeaObject(std::unique_ptr<DbFeaObject> object);
    // A new object of the type with the next free id, filled from the record (bytes 12 on).
    DbFeaObject& CreateFeaObject(std::uint32_t typeCode, const RURIVO_LOADS_V1_ENTRY& entry, StorageMapItem::Kind geometryKind,
                                 std::uint32_t geometryId);
    bool RemoveFeaObject(std::uint32_t id);

    const std::vector<std::unique_ptr<FeaObjectGroup>>& GetGroups() const { return groups_; }
    FeaObjectGroup* FindGroup(std::uint32_t id) const;
    FeaObjectGroup& AddGroup(std::unique_ptr<FeaObjectGroup> group);

    const StorageMap<DbContactPair>& GetContactPairs() const { return contactPairs_; }
    DbContactPair* FindContactPair(std::uint32_t id) const { return contactPairs_.Find(id); }
    DbContactPair& AddContactPair(std::unique_ptr<DbContactPair> pair);

    const StorageMap<DbInitialFluidVolume>& GetInitialFluidVolumes() const { return fluidVolumes_; }
    DbInitialFluidVolume* FindInitialFluidVolume(std::uint32_t id) const { return fluidVolumes_.Find(id); }
    DbInitialFluidVolume& AddInitialFluidVolume(std::unique_ptr<DbInitialFluidVolume> volume);

    const StorageMap<DbPart>& GetParts() const { return parts_; }
    DbPart* FindPart(std::uint32_t id) const { return parts_.Find(id); }
    DbPart& AddPart(std::unique_ptr<DbPart> part);
    const StorageMap<DbPartSurface>& GetSurfaces() const { return surfaces_; }
    DbPartSurface* FindSurface(std::uint32_t id) const { return surfaces_.Find(id); }
    DbPartSurface& AddSurface(std::unique_ptr<DbPartSurface> surface);
    const StorageMap<DbPartEdge>& GetEdges() const { return edges_; }
    DbPartEdge* FindEdge(std::uint32_t id) const { return edges_.Find(id); }
    DbPartEdge& AddEdge(std::unique_ptr<DbPartEdge> edge);
    // The nodes by ascending id, with their coordinates packed by index (DbNodeStore).
    const DbNodeStore& GetNodes() const { return nodes_; }
    DbNode* FindNode(std::uint32_t id) const { return nodes_.Find(id); }
    DbNode& AddNode(std::unique_ptr<DbNode> node);

    // The geometry item of a kind and id (node, edge, surface or part); null when absent.
    StorageMapItem* FindGeometry(StorageMapItem::Kind kind, std::uint32_t id) const;

private:
    std::string name_;
    std::wstring modelPath_;
    std::uint32_t analysisType_ = 0;
    std::uint32_t analysisCategory_ = 0;
    bool riks_ = false;
    UnitSystem modelUnits_;
    DisplayUnitSystem display_;
    std::uint32_t globalCoordinateSystem_ = 0;
    StorageMap<DbCoordinateSystem> coordinateSystems_;
    StorageMap<DbShape> shapes_;
    MassSpeciesMap species_;
    // Groups are destroyed after the objects (declared first), so no member outlives them.
    std::vector<std::unique_ptr<FeaObjectGroup>> groups_;
    StorageMap<DbFeaObject> objects_;
    StorageMap<DbContactPair> contactPairs_;
    StorageMap<DbInitialFluidVolume> fluidVolumes_;
    StorageMap<DbPart> parts_;
    StorageMap<DbPartSurface> surfaces_;
    StorageMap<DbPartEdge> edges_;
    DbNodeStore nodes_;
};

}  // namespace OrvDbRecord
