#pragma once
// DataModelDialogFactory: the process-wide dialog factory behind GetDataModelDialogFactory.
// It creates each dialog and options object on its first request, keeps it for the rest of
// its life and deletes everything it created when it is destroyed.

#include <cstdint>
#include <map>

#include "dialogs/factory/DataModelDialogs.h"
#include "dialogs/factory/DialogRegistry.h"

namespace DataModelDialogs {

class DataModelDialogFactory final : public ADataModelDialogFactory {
public:
    using CreatorLookup = FeaDialogCreator (*)(std::uint32_t typeCode);
    using SlotLookup = FactorySlotProvider (*)(FactorySlot slot);

    // The lookups default to the registration tables; tests give their own.
    explicit DataModelDialogFactory(CreatorLookup creators = &FindFeaDialogCreator,
                                    SlotLookup slots = &FindFactorySlot);
    // Deletes the units dialog, the four contact options objects, the mass species dialog and
    // then every cached property dialog in ascending type-code order.
    ~DataModelDialogFactory() override;
    DataModelDialogFactory(const DataModelDialogFactory&) = delete;
    DataModelDialogFactory& operator=(const DataModelDialogFactory&) = delete;

    AUnitsDialog* GetUnitsDialog() override;
    AFrictionContactOptionsDlg* GetFrictionContactOptionsDialog() override;
    AThermalContactOptionsDlg* GetThermalContactOptionsDialog() override;
    ASurfaceDirectionContactOptionsDlg* GetSurfaceDirectionContactOptionsDialog() override;
    ASmartBondingContactOptionsDlg* GetSmartBondingContactOptionsDialog() override;
    AContactOptionsDialogBase* GetContactOptionsDialog(std::uint32_t analysisType, std::int32_t contactType) override;
    AFeaObjectPropertiesDialogBase* GetFeaObjectPropertiesDialog(std::uint32_t typeCode, CWnd* parent,
                                                                 std::uint32_t kind) override;
    AMassSpeciesDialog* GetMassSpeciesDialog() override;

    // The cached property dialog of a type code (whatever its kind), or null.
    FeaObjectPropertiesImplDlg* CachedDialog(std::uint32_t typeCode) const;
    std::size_t CachedDialogCount() const { return cache_.size(); }

private:
    struct SlotObject {
        void* object = nullptr;  // the slot's interface pointer
        FactorySlotProvider provider;
    };
    // The slot's object, created on first request; null while no class fills the slot.
    void* Slot(FactorySlot slot);
    void Destroy(FactorySlot slot);

    CreatorLookup creators_;
    SlotLookup slots_;
    SlotObject objects_[std::size_t(FactorySlot::Count)];
    std::map<std::uint32_t, FeaObjectPropertiesImplDlg*> cache_;
};

// Whether a dialog matches a requested kind: it offers the modeless face exactly when kind 1
// is asked for.
bool MatchesKind(FeaObjectPropertiesImplDlg& dialog, std::uint32_t kind);

}  // namespace DataModelDialogs
