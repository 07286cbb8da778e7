#pragma once
// The exported faces of the contact options objects (factory slots 2 to 6): accumulators of
// the options of a selection of contact pairs, with the dialog that edits the merged values.
//
// The host's calling order: Reset, SetDisplayUnitSystem, then AccumulateContactPair for each
// selected pair (or AccumulateRecord, or the Add accessors), then ShowDialog; on IDOK,
// ApplyToContactPair for each selected pair (or FillRecord). An option on which the pairs
// disagree is shown blank (or indeterminate) and is written to no pair unless the person
// enters a value for it.

#include <cstddef>
#include <cstdint>

#include "dialogs/factory/Export.h"
#include "platform/win/WinTypes.h"

class CWnd;

namespace OrvDbRecord {
class DbContactPair;
class DisplayUnitSystem;
}  // namespace OrvDbRecord

namespace DataModelDialogs {

// The host's record of contact options, packed on 4 bytes (its doubles are not 8-byte
// aligned). Bytes 0 to 15 are the host's and never touched here. Where the selection differs a
// field holds a sentinel of AContactOptionsDialogBase.
#pragma pack(push, 4)
struct ContactOptionsRecord {
    std::uint8_t host[16];
    std::uint32_t useFriction;                 // 0xFFFFFFFF true, 0 false
    double friction;                           // static friction coefficient
    std::uint32_t thermalResistanceType;       // 0 total, 1 distributed
    double totalThermalResistance;
    double unitThermalResistance;
    std::uint32_t surfaceContactDirection;     // 0 to 2
    double directionToleranceAngle;            // degrees
    std::uint32_t bondingToleranceKind;        // 0 fraction of mesh size, 1 absolute
    double bondingToleranceMeshSizeFraction;
    double bondingToleranceAbsolute;           // a length
};
#pragma pack(pop)
static_assert(sizeof(ContactOptionsRecord) == 80);
static_assert(offsetof(ContactOptionsRecord, useFriction) == 16 && offsetof(ContactOptionsRecord, friction) == 20 &&
              offsetof(ContactOptionsRecord, thermalResistanceType) == 28 &&
              offsetof(ContactOptionsRecord, totalThermalResistance) == 32 &&
              offsetof(ContactOptionsRecord, unitThermalResistance) == 40 &&
              offsetof(ContactOptionsRecord, surfaceContactDirection) == 48 &&
              offsetof(ContactOptionsRecord, directionToleranceAngle) == 52 &&
              offsetof(ContactOptionsRecord, bondingToleranceKind) == 60 &&
              offsetof(ContactOptionsRecord, bondingToleranceMeshSizeFraction) == 64 &&
              offsetof(ContactOptionsRecord, bondingToleranceAbsolute) == 72);

class DATAMODELDIALOGS_API AContactOptionsDialogBase {
public:
    // Record values that say the selection differs.
    static constexpr std::uint32_t B_INCONSISTANT = 0xAAAAAAAAu;
    static constexpr std::uint32_t UI32_INCONSISTANT = 0xFFFFFC19u;  // -999
    // The platform's quiet NaN, set when the library is loaded.
    static const double D_INCONSISTANT;

    AContactOptionsDialogBase() = default;
    AContactOptionsDialogBase(const AContactOptionsDialogBase&) = default;
    AContactOptionsDialogBase& operator=(const AContactOptionsDialogBase&) = default;
    virtual ~AContactOptionsDialogBase();
    // Forgets every fed value and the display unit system.
    virtual void Reset() = 0;
    // Not owned; returns it.
    virtual const OrvDbRecord::DisplayUnitSystem* SetDisplayUnitSystem(const OrvDbRecord::DisplayUnitSystem* display) = 0;
    // Merges a record (a sentinel, NaN, or a use-friction word other than 0 and 0xFFFFFFFF
    // marks the option as differing); the last flag is accepted and ignored.
    virtual void AccumulateRecord(const ContactOptionsRecord& record, bool directionApplies, bool unused) = 0;
    virtual void AccumulateContactPair(OrvDbRecord::DbContactPair& pair) = 0;
    // The merged values, with sentinels where they differ.
    virtual void FillRecord(ContactOptionsRecord* record) = 0;
    // Writes every option on which the selection agrees (or that the person entered).
    virtual void ApplyToContactPair(OrvDbRecord::DbContactPair& pair) = 0;
    virtual bool CanEdit() = 0;
    // IDOK or IDCANCEL; IDCANCEL without a window when the object cannot be edited or has no
    // display unit system.
    virtual INT_PTR ShowDialog(CWnd* parent, bool readOnly) = 0;
};

// Each Add feeds one value as the merge does and returns whether the option is still
// consistent; each Get stores the merged value and returns whether it is consistent.
class DATAMODELDIALOGS_API AFrictionContactOptionsDlg : public AContactOptionsDialogBase {
public:
    ~AFrictionContactOptionsDlg() override;
    virtual bool AddUseFriction(bool use) = 0;
    virtual bool GetUseFriction(bool* use) = 0;
    virtual bool AddFriction(double coefficient) = 0;
    virtual bool GetFriction(double* coefficient) = 0;
    virtual bool AddSurfaceDirectionApplies(bool applies) = 0;
    virtual bool GetSurfaceDirectionApplies(bool* applies) = 0;
    virtual bool AddSurfaceContactDirection(std::uint32_t direction) = 0;
    virtual bool GetSurfaceContactDirection(std::uint32_t* direction) = 0;
    virtual bool AddDirectionToleranceAngle(double degrees) = 0;
    virtual bool GetDirectionToleranceAngle(double* degrees) = 0;
};

class DATAMODELDIALOGS_API AThermalContactOptionsDlg : public AContactOptionsDialogBase {
public:
    ~AThermalContactOptionsDlg() override;
    virtual bool AddThermalResistanceType(std::uint32_t type) = 0;
    virtual bool GetThermalResistanceType(std::uint32_t* type) = 0;
    virtual bool AddTotalThermalResistance(double value) = 0;
    virtual bool GetTotalThermalResistance(double* value) = 0;
    virtual bool AddUnitThermalResistance(double value) = 0;
    virtual bool GetUnitThermalResistance(double* value) = 0;
    virtual bool AddSurfaceDirectionApplies(bool applies) = 0;
    virtual bool GetSurfaceDirectionApplies(bool* applies) = 0;
    virtual bool AddSurfaceContactDirection(std::uint32_t direction) = 0;
    virtual bool GetSurfaceContactDirection(std::uint32_t* direction) = 0;
    virtual bool AddDirectionToleranceAngle(double degrees) = 0;
    virtual bool GetDirectionToleranceAngle(double* degrees) = 0;
};

class DATAMODELDIALOGS_API ASmartBondingContactOptionsDlg : public AContactOptionsDialogBase {
public:
    ~ASmartBondingContactOptionsDlg() override;
    virtual bool AddBondingToleranceKind(std::uint32_t kind) = 0;
    virtual bool GetBondingToleranceKind(std::uint32_t* kind) = 0;
    virtual bool AddBondingToleranceMeshSizeFraction(double fraction) = 0;
    virtual bool GetBondingToleranceMeshSizeFraction(double* fraction) = 0;
    virtual bool AddBondingToleranceAbsolute(double length) = 0;
    virtual bool GetBondingToleranceAbsolute(double* length) = 0;
    virtual bool AddSurfaceDirectionApplies(bool applies) = 0;
    virtual bool GetSurfaceDirectionApplies(bool* applies) = 0;
    virtual bool AddSurfaceContactDirection(std::uint32_t direction) = 0;
    virtual bool GetSurfaceContactDirection(std::uint32_t* direction) = 0;
    virtual bool AddDirectionToleranceAngle(double degrees) = 0;
    virtual bool GetDirectionToleranceAngle(double* degrees) = 0;
};

class DATAMODELDIALOGS_API ASurfaceDirectionContactOptionsDlg : public AContactOptionsDialogBase {
public:
    ~ASurfaceDirectionContactOptionsDlg() override;
    virtual bool AddSurfaceDirectionApplies(bool applies) = 0;
    virtual bool GetSurfaceDirectionApplies(bool* applies) = 0;
    virtual bool AddSurfaceContactDirection(std::uint32_t direction) = 0;
    virtual bool GetSurfaceContactDirection(std::uint32_t* direction) = 0;
    virtual bool AddDirectionToleranceAngle(double degrees) = 0;
    virtual bool GetDirectionToleranceAngle(double* degrees) = 0;
};

}  // namespace DataModelDialogs
