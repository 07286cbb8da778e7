// The exported interface's out-of-line members belong to the factory; until they are part of
// the library these weak stand-ins let the shell's tests link. A strong definition in the
// library takes precedence.
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
