#pragma once
// ObjectRegistrar: the process-wide prototypes of FEA objects, one per load and boundary
// condition type code, that fill the records of new objects with their type's defaults.

#include <cstdint>
#include <map>
#include <memory>

#include "host/model/DbFeaObject.h"
#include "host/model/DbInitialFluidVolume.h"

namespace OrvDbRecord {

class ObjectRegistrar {
public:
    // The registrar, created on first use with a prototype for every type code of
    // AllFeaTypes().
    static ObjectRegistrar& GetRegistrar();

    // The prototype of the type code; null for a code without one. Type code 120 (initial
    // fluid volume) is no DbFeaObject: its prototype is GetInitialFluidVolumePrototype.
    DbFeaObject* GetFeaObject(std::uint32_t typeCode) const;
    DbInitialFluidVolume& GetInitialFluidVolumePrototype() const { return *fluidVolume_; }
    // A fresh object of the type with the prototype's defaults for the context (a
    // DbDesignScenario* or null); null for an unknown type code.
    std::unique_ptr<DbFeaObject> CreateFeaObject(std::uint32_t typeCode, std::uint32_t id, void* context = nullptr) const;

private:
    ObjectRegistrar();
    std::map<std::uint32_t, std::unique_ptr<DbFeaObject>> prototypes_;
    std::unique_ptr<DbInitialFluidVolume> fluidVolume_;
};

}  // namespace OrvDbRecord
