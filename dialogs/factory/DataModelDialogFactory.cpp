#include "dialogs/factory/DataModelDialogFactory.h"

#include <memory>

#include "dialogs/factory/ContactSelection.h"
#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"

namespace DataModelDialogs {

ADataModelDialogFactory* GetDataModelDialogFactory() {
    // Constructed on the first call and destroyed at process exit; a construction that throws
    // leaves it unconstructed and the next call tries again.
    static DataModelDialogFactory factory;
    return &factory;
}

bool MatchesKind(FeaObjectPropertiesImplDlg& dialog, std::uint32_t kind) {
    const bool modeless = dynamic_cast<AModelessFeaObjectPropertiesDialog*>(&dialog) != nullptr;
    return modeless == (kind == 1);
}

DataModelDialogFactory::DataModelDialogFactory(CreatorLookup creators, SlotLookup slots)
    : creators_(creators), slots_(slots) {}

DataModelDialogFactory::~DataModelDialogFactory() {
    Destroy(FactorySlot::UnitsDialog);
    Destroy(FactorySlot::FrictionContactOptions);
    Destroy(FactorySlot::SurfaceDirectionContactOptions);
    Destroy(FactorySlot::ThermalContactOptions);
    Destroy(FactorySlot::SmartBondingContactOptions);
    Destroy(FactorySlot::MassSpeciesDialog);
    for (auto& [code, dialog] : cache_) {
        delete dialog;
        dialog = nullptr;
    }
    cache_.clear();
}

void* DataModelDialogFactory::Slot(FactorySlot slot) {
    SlotObject& held = objects_[std::size_t(slot)];
    if (!held.object) {
        const FactorySlotProvider provider = slots_ ? slots_(slot) : FactorySlotProvider{};
        if (!provider.create) return nullptr;
        // A creation that throws propagates and stores nothing.
        held.object = provider.create();
        if (held.object) held.provider = provider;
    }
    return held.object;
}

void DataModelDialogFactory::Destroy(FactorySlot slot) {
    SlotObject& held = objects_[std::size_t(slot)];
    if (held.object && held.provider.destroy) held.provider.destroy(held.object);
    held.object = nullptr;
}

AUnitsDialog* DataModelDialogFactory::GetUnitsDialog() {
    void* units = Slot(FactorySlot::UnitsDialog);
    const SlotObject& held = objects_[std::size_t(FactorySlot::UnitsDialog)];
    if (units && held.provider.prepare) held.provider.prepare(units);
    return static_cast<AUnitsDialog*>(units);
}

AFrictionContactOptionsDlg* DataModelDialogFactory::GetFrictionContactOptionsDialog() {
    return static_cast<AFrictionContactOptionsDlg*>(Slot(FactorySlot::FrictionContactOptions));
}

AThermalContactOptionsDlg* DataModelDialogFactory::GetThermalContactOptionsDialog() {
    return static_cast<AThermalContactOptionsDlg*>(Slot(FactorySlot::ThermalContactOptions));
}

ASurfaceDirectionContactOptionsDlg* DataModelDialogFactory::GetSurfaceDirectionContactOptionsDialog() {
    return static_cast<ASurfaceDirectionContactOptionsDlg*>(Slot(FactorySlot::SurfaceDirectionContactOptions));
}

ASmartBondingContactOptionsDlg* DataModelDialogFactory::GetSmartBondingContactOptionsDialog() {
    return static_cast<ASmartBondingContactOptionsDlg*>(Slot(FactorySlot::SmartBondingContactOptions));
}

AContactOptionsDialogBase* DataModelDialogFactory::GetContactOptionsDialog(std::uint32_t analysisType,
                                                                           std::int32_t contactType) {
    FactorySlot slot = FactorySlot::SurfaceDirectionContactOptions;
    switch (SelectContactOptions(analysisType, contactType)) {
        case ContactOptionsKind::Friction: slot = FactorySlot::FrictionContactOptions; break;
        case ContactOptionsKind::Thermal: slot = FactorySlot::ThermalContactOptions; break;
        case ContactOptionsKind::SurfaceDirection: slot = FactorySlot::SurfaceDirectionContactOptions; break;
        case ContactOptionsKind::SmartBonding: slot = FactorySlot::SmartBondingContactOptions; break;
    }
    void* object = Slot(slot);
    const SlotObject& held = objects_[std::size_t(slot)];
    if (!object || !held.provider.toContactBase) return nullptr;
    return static_cast<AContactOptionsDialogBase*>(held.provider.toContactBase(object));
}

AMassSpeciesDialog* DataModelDialogFactory::GetMassSpeciesDialog() {
    return static_cast<AMassSpeciesDialog*>(Slot(FactorySlot::MassSpeciesDialog));
}

AFeaObjectPropertiesDialogBase* DataModelDialogFactory::GetFeaObjectPropertiesDialog(std::uint32_t typeCode,
                                                                                     CWnd* parent, std::uint32_t kind) {
    if (const auto it = cache_.find(typeCode); it != cache_.end()) {
        FeaObjectPropertiesImplDlg& dialog = *it->second;
        if (!MatchesKind(dialog, kind)) return nullptr;
        // Never re-parented on a kind mismatch or without a parent.
        if (parent) dialog.SetParentWindow(parent);
        return dialog.GetPropertiesDialog();
    }
    const FeaDialogCreator create = creators_ ? creators_(typeCode) : nullptr;
    if (!create) return nullptr;
    std::unique_ptr<FeaObjectPropertiesImplDlg> created(create(parent));
    if (!created) return nullptr;
    // Cached whatever kind was asked for, so that a later request of the right kind finds it.
    FeaObjectPropertiesImplDlg& dialog = *created;
    cache_.emplace(typeCode, created.get());
    created.release();
    return MatchesKind(dialog, kind) ? dialog.GetPropertiesDialog() : nullptr;
}

FeaObjectPropertiesImplDlg* DataModelDialogFactory::CachedDialog(std::uint32_t typeCode) const {
    const auto it = cache_.find(typeCode);
    return it == cache_.end() ? nullptr : it->second;
}

}  // namespace DataModelDialogs
