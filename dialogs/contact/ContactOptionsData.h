#pragma once
// The contact options objects behind the exported contact interfaces: one accumulator per
// option over the selected contact pairs (or host records), in model units, and the dialog
// that edits them in place.
//
// ContactOptionsDataBase carries the surface contact direction group every kind has: whether
// surface contact direction applies, the direction and the tolerance angle. Direction and angle
// are fed only while the pairs fed so far agree that it applies; once they disagree, neither is
// filled nor applied.

#include <cstdint>

#include "dialogs/factory/AContactOptionsDialogs.h"
#include "dialogs/objectdialogs/ConsistentValue.h"

namespace DataModelDialogs {

template <class Dlg>
class ContactOptionsDataBase : public Dlg {
public:
    void Reset() override;
    const OrvDbRecord::DisplayUnitSystem* SetDisplayUnitSystem(const OrvDbRecord::DisplayUnitSystem* display) override;
    void AccumulateRecord(const ContactOptionsRecord& record, bool directionApplies, bool unused) override;
    void AccumulateContactPair(OrvDbRecord::DbContactPair& pair) override;
    void FillRecord(ContactOptionsRecord* record) override;
    void ApplyToContactPair(OrvDbRecord::DbContactPair& pair) override;

protected:
    // All pairs fed so far agree that surface contact direction applies.
    bool DirectionApplies() const { return directionApplies_.isConsistent() && directionApplies_.get(); }

    const OrvDbRecord::DisplayUnitSystem* displayUnitSystem_ = nullptr;
    ConsistentValue<bool> directionApplies_;
    ConsistentValue<std::uint32_t> direction_;
    ConsistentValue<double> toleranceAngle_;
};

// The six accessors of the direction group, which every kind interface declares after its own.
template <class Dlg>
class ContactOptionsDataBasePartialImpl : public ContactOptionsDataBase<Dlg> {
public:
    bool AddSurfaceDirectionApplies(bool applies) override;
    bool GetSurfaceDirectionApplies(bool* applies) override;
    bool AddSurfaceContactDirection(std::uint32_t direction) override;
    bool GetSurfaceContactDirection(std::uint32_t* direction) override;
    bool AddDirectionToleranceAngle(double degrees) override;
    bool GetDirectionToleranceAngle(double* degrees) override;
};

extern template class ContactOptionsDataBase<AFrictionContactOptionsDlg>;
extern template class ContactOptionsDataBase<AThermalContactOptionsDlg>;
extern template class ContactOptionsDataBase<ASmartBondingContactOptionsDlg>;
extern template class ContactOptionsDataBase<ASurfaceDirectionContactOptionsDlg>;
extern template class ContactOptionsDataBasePartialImpl<AFrictionContactOptionsDlg>;
extern template class ContactOptionsDataBasePartialImpl<AThermalContactOptionsDlg>;
extern template class ContactOptionsDataBasePartialImpl<ASmartBondingContactOptionsDlg>;
extern template class ContactOptionsDataBasePartialImpl<ASurfaceDirectionContactOptionsDlg>;

// Use friction and the static friction coefficient (0 to 1); the two are independent, so a
// coefficient the pairs agree on is written even where friction is off.
class LinearContactOptionsData final : public ContactOptionsDataBasePartialImpl<AFrictionContactOptionsDlg> {
public:
    using Base = ContactOptionsDataBasePartialImpl<AFrictionContactOptionsDlg>;
    void Reset() override;
    void AccumulateRecord(const ContactOptionsRecord& record, bool directionApplies, bool unused) override;
    void AccumulateContactPair(OrvDbRecord::DbContactPair& pair) override;
    void FillRecord(ContactOptionsRecord* record) override;
    void ApplyToContactPair(OrvDbRecord::DbContactPair& pair) override;
    bool CanEdit() override { return true; }
    INT_PTR ShowDialog(CWnd* parent, bool readOnly) override;
    bool AddUseFriction(bool use) override;
    bool GetUseFriction(bool* use) override;
    bool AddFriction(double coefficient) override;
    bool GetFriction(double* coefficient) override;

private:
    ConsistentValue<bool> useFriction_;
    ConsistentValue<double> friction_;
};

// The thermal resistance type (0 total, 1 distributed) and the two resistances.
class ThermalContactOptionsData final : public ContactOptionsDataBasePartialImpl<AThermalContactOptionsDlg> {
public:
    using Base = ContactOptionsDataBasePartialImpl<AThermalContactOptionsDlg>;
    void Reset() override;
    void AccumulateRecord(const ContactOptionsRecord& record, bool directionApplies, bool unused) override;
    void AccumulateContactPair(OrvDbRecord::DbContactPair& pair) override;
    void FillRecord(ContactOptionsRecord* record) override;
    void ApplyToContactPair(OrvDbRecord::DbContactPair& pair) override;
    bool CanEdit() override { return true; }
    INT_PTR ShowDialog(CWnd* parent, bool readOnly) override;
    bool AddThermalResistanceType(std::uint32_t type) override;
    bool GetThermalResistanceType(std::uint32_t* type) override;
    bool AddTotalThermalResistance(double value) override;
    bool GetTotalThermalResistance(double* value) override;
    bool AddUnitThermalResistance(double value) override;
    bool GetUnitThermalResistance(double* value) override;

private:
    ConsistentValue<std::uint32_t> resistanceType_;
    ConsistentValue<double> totalResistance_;
    ConsistentValue<double> unitResistance_;
};

// The bonding tolerance kind (0 fraction of mesh size, 1 absolute) and the two tolerances.
// Its dialog has no direction group, but the group is still merged, filled and applied.
class SmartBondingContactOptionsData final : public ContactOptionsDataBasePartialImpl<ASmartBondingContactOptionsDlg> {
public:
    using Base = ContactOptionsDataBasePartialImpl<ASmartBondingContactOptionsDlg>;
    void Reset() override;
    void AccumulateRecord(const ContactOptionsRecord& record, bool directionApplies, bool unused) override;
    void AccumulateContactPair(OrvDbRecord::DbContactPair& pair) override;
    void FillRecord(ContactOptionsRecord* record) override;
    void ApplyToContactPair(OrvDbRecord::DbContactPair& pair) override;
    bool CanEdit() override { return true; }
    INT_PTR ShowDialog(CWnd* parent, bool readOnly) override;
    bool AddBondingToleranceKind(std::uint32_t kind) override;
    bool GetBondingToleranceKind(std::uint32_t* kind) override;
    bool AddBondingToleranceMeshSizeFraction(double fraction) override;
    bool GetBondingToleranceMeshSizeFraction(double* fraction) override;
    bool AddBondingToleranceAbsolute(double length) override;
    bool GetBondingToleranceAbsolute(double* length) override;

private:
    ConsistentValue<std::uint32_t> toleranceKind_;
    ConsistentValue<double> meshSizeFraction_;
    ConsistentValue<double> absoluteTolerance_;
};

// The direction group alone. It can be edited only while all pairs agree whether surface
// contact direction applies (either way).
class SurfaceDirectionContactOptionsData final
    : public ContactOptionsDataBasePartialImpl<ASurfaceDirectionContactOptionsDlg> {
public:
    bool CanEdit() override { return directionApplies_.isConsistent(); }
    INT_PTR ShowDialog(CWnd* parent, bool readOnly) override;
};

}  // namespace DataModelDialogs
