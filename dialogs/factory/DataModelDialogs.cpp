// Out-of-line members of the exported interface: destructors, the geometry functor, the
// default bodies of the modeless dialog's Events and the two exported instantiations.
#include "dialogs/factory/DataModelDialogs.h"

#include "host/model/DbFeaObject.h"
#include "platform/win/AfxTypes.h"

namespace DataModelDialogs {

ADataModelDialogFactory::~ADataModelDialogFactory() = default;
AFeaObjectPropertiesDialogBase::~AFeaObjectPropertiesDialogBase() = default;
AModelessFeaObjectPropertiesDialog::~AModelessFeaObjectPropertiesDialog() = default;

OrvDbRecord::StorageMapItem* AFeaObjectPropertiesDialogGeometryFunctor::operator()(
    const OrvDbRecord::StorageMapItem&) const {
    return nullptr;
}

OrvDbRecord::StorageMapItem* AFeaObjectPropertiesDialogGeometryFunctor::operator()(
    const OrvDbRecord::DbFeaObject& object) const {
    return object.GetGeometry();
}

template class AFeaObjectPropertiesDialog_T<OrvDbRecord::DbFeaObject, RURIVO_LOADS_V1_ENTRY,
                                            AFeaObjectPropertiesDialogGeometryFunctor>;
template class AFeaObjectPropertiesDialog_T<OrvDbRecord::DbInitialFluidVolume, RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY,
                                            AFeaObjectPropertiesDialogGeometryFunctor>;

struct AModelessFeaObjectPropertiesDialog::Events::Private {
    AModelessFeaObjectPropertiesDialog* dialog = nullptr;
};

AModelessFeaObjectPropertiesDialog::Events::Events() : private_(new Private) {}
AModelessFeaObjectPropertiesDialog::Events::~Events() { delete private_; }

void AModelessFeaObjectPropertiesDialog::Events::GetRelativeFromPoint(double* const) const {}
void AModelessFeaObjectPropertiesDialog::Events::SetRelativeFromPoint(const double* const) {}
void AModelessFeaObjectPropertiesDialog::Events::ShouldUseRelativeCoordinates(bool) {}
bool AModelessFeaObjectPropertiesDialog::Events::ShouldUseRelativeCoordinates() const { return false; }
void AModelessFeaObjectPropertiesDialog::Events::OnCancel() {}
void AModelessFeaObjectPropertiesDialog::Events::OnStartup() {}
void AModelessFeaObjectPropertiesDialog::Events::OnHelpButtonClicked(unsigned long) {}
void AModelessFeaObjectPropertiesDialog::Events::SetStatusMessage(const wchar_t*) {}
HICON AModelessFeaObjectPropertiesDialog::Events::GetNonSnappingCursor() const { return nullptr; }
HICON AModelessFeaObjectPropertiesDialog::Events::GetSnappingCursor() const { return nullptr; }
AModelessFeaObjectPropertiesDialog::Events::SnapZoneStatus AModelessFeaObjectPropertiesDialog::Events::TestSnapZone(
    CPoint) {
    return NoAnswer;
}
void AModelessFeaObjectPropertiesDialog::Events::OnEnterSnapZone(CPoint) {}
void AModelessFeaObjectPropertiesDialog::Events::OnLeaveSnapZone(CPoint) {}
AModelessFeaObjectPropertiesDialog::Events::SnapZoneStatus AModelessFeaObjectPropertiesDialog::Events::AcceptPointPick(
    CPoint point) {
    return TestSnapZone(point);
}
void AModelessFeaObjectPropertiesDialog::Events::AdjustAcceptedPointPick(CPoint&) {}

void AModelessFeaObjectPropertiesDialog::Events::SetDialog(AModelessFeaObjectPropertiesDialog* dialog) {
    private_->dialog = dialog;
}
AModelessFeaObjectPropertiesDialog* AModelessFeaObjectPropertiesDialog::Events::GetDialog() const {
    return private_->dialog;
}
// Null while no dialog is set, rather than a call through a null dialog.
GfxUtil::ARenderingSystem* AModelessFeaObjectPropertiesDialog::Events::GetRenderingSystem() const {
    return private_->dialog ? private_->dialog->GetRenderingSystem() : nullptr;
}

}  // namespace DataModelDialogs
