// FIXME: the exported interface's out-of-line members belong with the factory. Until it
// defines them, these weak definitions let the library and its users link; a strong
// definition elsewhere in the library takes precedence, and the explicit instantiation is
// emitted as a mergeable definition.
#include "dialogs/factory/DataModelDialogs.h"
#include "host/model/DbFeaObject.h"

namespace DataModelDialogs {

__attribute__((weak)) AFeaObjectPropertiesDialogBase::~AFeaObjectPropertiesDialogBase() = default;

__attribute__((weak)) OrvDbRecord::StorageMapItem* AFeaObjectPropertiesDialogGeometryFunctor::operator()(
    const OrvDbRecord::StorageMapItem&) const {
    return nullptr;
}
__attribute__((weak)) OrvDbRecord::StorageMapItem* AFeaObjectPropertiesDialogGeometryFunctor::operator()(
    const OrvDbRecord::DbFeaObject& object) const {
    return object.GetGeometry();
}

template class AFeaObjectPropertiesDialog_T<OrvDbRecord::DbFeaObject, RURIVO_LOADS_V1_ENTRY,
                                            AFeaObjectPropertiesDialogGeometryFunctor>;

}  // namespace DataModelDialogs
