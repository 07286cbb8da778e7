#include "host/model/ObjectRegistrar.h"

#include "host/model/RecordLayout.h"

namespace OrvDbRecord {

ObjectRegistrar& ObjectRegistrar::GetRegistrar() {
    static ObjectRegistrar registrar;
    return registrar;
}

ObjectRegistrar::ObjectRegistrar() : fluidVolume_(std::make_unique<DbInitialFluidVolume>(0)) {
    for (const FeaTypeInfo& type : AllFeaTypes()) {
        auto prototype = std::make_unique<DbFeaObject>(type.typeCode, 0);
        prototype->MarkAsPrototype();
        prototypes_.emplace(type.typeCode, std::move(prototype));
    }
}

DbFeaObject* ObjectRegistrar::GetFeaObject(std::uint32_t typeCode) const {
    auto it = prototypes_.find(typeCode);
    return it == prototypes_.end() ? nullptr : it->second.get();
}

std::unique_ptr<DbFeaObject> ObjectRegistrar::CreateFeaObject(std::uint32_t typeCode, std::uint32_t id, void* context) const {
    if (!GetFeaObject(typeCode))
        return nullptr;
    auto object = std::make_unique<DbFeaObject>(typeCode, id);
    object->SetCreationContext(context);
    object->ApplyDefaults();
    object->SetCreationContext(nullptr);
    return object;
}

}  // namespace OrvDbRecord
