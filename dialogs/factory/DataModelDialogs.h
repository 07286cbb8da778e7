#pragma once
// The library's exported interface: the factory function and the abstract classes a host sees.
// Every class here has a public virtual destructor first and pure operations after it, in the
// order of their virtual slots; implementations live in the library and are never exported.

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/factory/Export.h"
#include "host/model/Record.h"
#include "platform/win/WinTypes.h"

class CWnd;
class CDialog;
class CPoint;

namespace OrvDbRecord {
class StorageMapItem;
class DbDesignScenario;
class DbCoordinateSystem;
class DbFeaObject;
class DbInitialFluidVolume;
class FeaObjectGroup;
}  // namespace OrvDbRecord

namespace GfxUtil {
class ARenderingSystem;
}

namespace DataModelDialogs {

class AUnitsDialog;
class AMassSpeciesDialog;
class AContactOptionsDialogBase;
class AFrictionContactOptionsDlg;
class AThermalContactOptionsDlg;
class ASurfaceDirectionContactOptionsDlg;
class ASmartBondingContactOptionsDlg;
class AFeaObjectPropertiesDialogBase;

// What the host gives a property dialog before each run; copied by value. A reset record has
// null pointers, an empty path and zeros.
struct DATAMODELDIALOGS_API FeaObjectEditParameters {
    OrvDbRecord::DbDesignScenario* designScenario = nullptr;
    OrvDbRecord::DbCoordinateSystem* coordinateSystem = nullptr;  // null: the scenario's global one
    std::wstring settingsDatabasePath;
    std::uint32_t objectCount = 0;
    std::uint32_t regionShape = 0;  // initial fluid volume only: 0 hexahedral, 1 spherical, 2 cylindrical
    void* spare = nullptr;          // the host's; the dialogs never read it
};

class DATAMODELDIALOGS_API ADataModelDialogFactory {
public:
    virtual ~ADataModelDialogFactory();
    virtual AUnitsDialog* GetUnitsDialog() = 0;
    virtual AFrictionContactOptionsDlg* GetFrictionContactOptionsDialog() = 0;
    virtual AThermalContactOptionsDlg* GetThermalContactOptionsDialog() = 0;
    virtual ASurfaceDirectionContactOptionsDlg* GetSurfaceDirectionContactOptionsDialog() = 0;
    virtual ASmartBondingContactOptionsDlg* GetSmartBondingContactOptionsDialog() = 0;
    virtual AContactOptionsDialogBase* GetContactOptionsDialog(std::uint32_t analysisType, std::int32_t contactType) = 0;
    // kind 1 asks for a modeless dialog, any other value for a modal one; null when the type
    // code is not served or the dialog is of the other kind.
    virtual AFeaObjectPropertiesDialogBase* GetFeaObjectPropertiesDialog(std::uint32_t typeCode, CWnd* parent,
                                                                         std::uint32_t kind) = 0;
    virtual AMassSpeciesDialog* GetMassSpeciesDialog() = 0;
};

// The process-wide factory; never null. The host never deletes it or what it hands out.
DATAMODELDIALOGS_API ADataModelDialogFactory* GetDataModelDialogFactory();

class DATAMODELDIALOGS_API AFeaObjectPropertiesDialogBase {
public:
    virtual ~AFeaObjectPropertiesDialogBase();
    // Stores the window object that receives the dialog's messages while its window lives
    // (null: the dialog handles them itself); returns it.
    virtual CWnd* SetMessageTarget(CWnd* target) = 0;
};

// Stateless: the geometry an object is applied to.
class DATAMODELDIALOGS_API AFeaObjectPropertiesDialogGeometryFunctor {
public:
    OrvDbRecord::StorageMapItem* operator()(const OrvDbRecord::StorageMapItem& item) const;
    OrvDbRecord::StorageMapItem* operator()(const OrvDbRecord::DbFeaObject& object) const;
};

template <class Record, class Entry, class GeometryFunctor>
class AFeaObjectPropertiesDialog_T : public AFeaObjectPropertiesDialogBase {
public:
    using RecordType = Record;
    using EntryType = Entry;

    ~AFeaObjectPropertiesDialog_T() override = default;
    virtual void AddGeometry(OrvDbRecord::StorageMapItem* geometry) = 0;
    virtual void AddFeaObject(const Record* object) = 0;
    virtual std::int32_t FillNewObjectEntry(void* context, OrvDbRecord::FeaObjectGroup* group, Entry* entry) = 0;
    virtual std::int32_t ApplyEditsToEntry(Entry* entry) = 0;
    virtual FeaObjectEditParameters& GetEditParameters() = 0;
    virtual std::vector<OrvDbRecord::StorageMapItem*>& GetGeometries() = 0;
    virtual std::uint64_t GetMaxObjectCount() = 0;
    virtual std::vector<const Record*>& GetFeaObjects() = 0;
    virtual Entry& GetEditedEntry() = 0;
    virtual std::uint32_t GetMode() = 0;
    virtual double GetPickedValue() = 0;
    virtual double* GetPickedVector() = 0;
    virtual std::uint32_t GetTypeCode() = 0;
    virtual std::vector<Entry>& GetEntries() = 0;
    virtual void Reset() = 0;
    virtual void SetEditParameters(const FeaObjectEditParameters& parameters) = 0;
    virtual void SetMode(std::uint32_t mode) = 0;
    virtual void SetPickedValue(double value) = 0;
    virtual void SetPickedVector(const double vector[3]) = 0;
    virtual void SetPickedVector(double x, double y, double z) = 0;
    // 0 OK, 1 Cancel, otherwise the pick code the dialog ended with.
    virtual std::uint32_t ShowDialog(std::uint32_t resumeCode) = 0;
};

using AFeaObjectPropertiesDialog =
    AFeaObjectPropertiesDialog_T<OrvDbRecord::DbFeaObject, RURIVO_LOADS_V1_ENTRY, AFeaObjectPropertiesDialogGeometryFunctor>;
using AInitialFluidVolumePropertiesDialog =
    AFeaObjectPropertiesDialog_T<OrvDbRecord::DbInitialFluidVolume, RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY,
                                 AFeaObjectPropertiesDialogGeometryFunctor>;

extern template class DATAMODELDIALOGS_API
    AFeaObjectPropertiesDialog_T<OrvDbRecord::DbFeaObject, RURIVO_LOADS_V1_ENTRY, AFeaObjectPropertiesDialogGeometryFunctor>;
extern template class DATAMODELDIALOGS_API
    AFeaObjectPropertiesDialog_T<OrvDbRecord::DbInitialFluidVolume, RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY,
                                 AFeaObjectPropertiesDialogGeometryFunctor>;

class DATAMODELDIALOGS_API AModelessFeaObjectPropertiesDialog {
public:
    class DATAMODELDIALOGS_API Events {
    public:
        // -1 (all bits set): the callback has no answer and the caller applies its default.
        enum SnapZoneStatus : std::int32_t { NoAnswer = -1 };

        Events();
        Events(const Events&) = delete;
        Events& operator=(const Events&) = delete;
        virtual ~Events();
        virtual void GetRelativeFromPoint(double* const point) const;
        virtual void SetRelativeFromPoint(const double* const point);
        virtual void ShouldUseRelativeCoordinates(bool use);
        virtual bool ShouldUseRelativeCoordinates() const;
        virtual void OnOK() = 0;
        virtual void OnCancel();
        virtual void OnStartup();
        virtual void OnHelpButtonClicked(unsigned long helpId);
        virtual void SetStatusMessage(const wchar_t* message);
        virtual HICON GetNonSnappingCursor() const;
        virtual HICON GetSnappingCursor() const;
        virtual SnapZoneStatus TestSnapZone(CPoint point);
        virtual void OnEnterSnapZone(CPoint point);
        virtual void OnLeaveSnapZone(CPoint point);
        virtual void PickPoint(CPoint point, double model[3]) = 0;
        virtual SnapZoneStatus AcceptPointPick(CPoint point);
        virtual void AdjustAcceptedPointPick(CPoint& point);

        void SetDialog(AModelessFeaObjectPropertiesDialog* dialog);
        AModelessFeaObjectPropertiesDialog* GetDialog() const;
        GfxUtil::ARenderingSystem* GetRenderingSystem() const;

    private:
        struct Private;
        Private* private_;
    };

    virtual ~AModelessFeaObjectPropertiesDialog();
    virtual bool ShowModeless() = 0;
    virtual CDialog* GetWindow() = 0;
    virtual Events* GetEvents() = 0;
    virtual GfxUtil::ARenderingSystem* GetRenderingSystem() = 0;
    virtual bool Restart() = 0;
    virtual void SetUp(GfxUtil::ARenderingSystem* renderingSystem, Events* events) = 0;
};

}  // namespace DataModelDialogs
