#include "dialogs/contact/ContactOptionsData.h"

#include <cmath>
#include <limits>

#include "dialogs/contact/ContactDialogs.h"
#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Contact.h"
#include "host/model/DbContactPair.h"
#include "host/model/UnitSystem.h"

namespace DataModelDialogs {

// Dynamic initialisation: the value is set when the library is loaded.
const double AContactOptionsDialogBase::D_INCONSISTANT = std::numeric_limits<double>::quiet_NaN();

AContactOptionsDialogBase::~AContactOptionsDialogBase() = default;
AFrictionContactOptionsDlg::~AFrictionContactOptionsDlg() = default;
AThermalContactOptionsDlg::~AThermalContactOptionsDlg() = default;
ASmartBondingContactOptionsDlg::~ASmartBondingContactOptionsDlg() = default;
ASurfaceDirectionContactOptionsDlg::~ASurfaceDirectionContactOptionsDlg() = default;

namespace {

using Base = AContactOptionsDialogBase;

// Record fields: a sentinel (or NaN) marks the option as differing, anything else is fed.
void AddRecordValue(ConsistentValue<std::uint32_t>& value, std::uint32_t field) {
    if (field == Base::UI32_INCONSISTANT) value.markInconsistent();
    else value.add(field);
}
void AddRecordValue(ConsistentValue<double>& value, double field) {
    if (std::isnan(field)) value.markInconsistent();
    else value.add(field);
}
std::uint32_t RecordValue(const ConsistentValue<std::uint32_t>& value) {
    return value.isConsistent() ? value.get() : Base::UI32_INCONSISTANT;
}
double RecordValue(const ConsistentValue<double>& value) {
    return value.isConsistent() ? value.get() : Base::D_INCONSISTANT;
}

// The Add and Get accessors of the interfaces.
template <class T>
bool Add(ConsistentValue<T>& value, T v) {
    value.add(v);
    return value.isConsistent();
}
template <class T>
bool Get(const ConsistentValue<T>& value, T* out) {
    if (out) *out = value.get();
    return value.isConsistent();
}

// Writes a consistent value with the pair's setter; a differing one leaves the pair's own.
template <class T, class Pair, class Setter>
void Apply(const ConsistentValue<T>& value, Pair& pair, Setter setter) {
    if (value.isConsistent()) (pair.*setter)(value.get());
}

using OrvDbRecord::DbContactPair;

// The library's resources for one ShowDialog: the locale manager is held first, so that the
// module made current is the satellite it chooses, then made current until the call returns.
struct DialogResources {
    LocaleReference locale{GetLibraryModule()};
    ResourceModuleScope scope;
};

}  // namespace

// ---- the direction group ----

template <class Dlg>
void ContactOptionsDataBase<Dlg>::Reset() {
    displayUnitSystem_ = nullptr;
    directionApplies_.clear();
    direction_.clear();
    toleranceAngle_.clear();
}

template <class Dlg>
const OrvDbRecord::DisplayUnitSystem* ContactOptionsDataBase<Dlg>::SetDisplayUnitSystem(
    const OrvDbRecord::DisplayUnitSystem* display) {
    displayUnitSystem_ = display;
    return displayUnitSystem_;
}

template <class Dlg>
void ContactOptionsDataBase<Dlg>::AccumulateRecord(const ContactOptionsRecord& record, bool directionApplies, bool) {
    directionApplies_.add(directionApplies);
    if (!DirectionApplies()) return;
    AddRecordValue(direction_, record.surfaceContactDirection);
    AddRecordValue(toleranceAngle_, record.directionToleranceAngle);
}

template <class Dlg>
void ContactOptionsDataBase<Dlg>::AccumulateContactPair(DbContactPair& pair) {
    const std::int32_t type = pair.DataType();
    directionApplies_.add((type == -2 || type == -1) && !pair.IsGlobal());
    if (!DirectionApplies()) return;
    direction_.add(std::uint32_t(pair.SurfaceContactDirection()));
    toleranceAngle_.add(pair.SurfaceContactDirectionToleranceAngle());
}

template <class Dlg>
void ContactOptionsDataBase<Dlg>::FillRecord(ContactOptionsRecord* record) {
    if (!record || !DirectionApplies()) return;
    record->surfaceContactDirection = RecordValue(direction_);
    record->directionToleranceAngle = RecordValue(toleranceAngle_);
}

template <class Dlg>
void ContactOptionsDataBase<Dlg>::ApplyToContactPair(DbContactPair& pair) {
    if (!DirectionApplies()) return;
    Apply(direction_, pair, static_cast<void (DbContactPair::*)(std::uint32_t)>(&DbContactPair::SurfaceContactDirection));
    Apply(toleranceAngle_, pair,
          static_cast<void (DbContactPair::*)(double)>(&DbContactPair::SurfaceContactDirectionToleranceAngle));
}

template <class Dlg>
bool ContactOptionsDataBasePartialImpl<Dlg>::AddSurfaceDirectionApplies(bool applies) {
    return Add(this->directionApplies_, applies);
}
template <class Dlg>
bool ContactOptionsDataBasePartialImpl<Dlg>::GetSurfaceDirectionApplies(bool* applies) {
    return Get(this->directionApplies_, applies);
}
template <class Dlg>
bool ContactOptionsDataBasePartialImpl<Dlg>::AddSurfaceContactDirection(std::uint32_t direction) {
    return Add(this->direction_, direction);
}
template <class Dlg>
bool ContactOptionsDataBasePartialImpl<Dlg>::GetSurfaceContactDirection(std::uint32_t* direction) {
    return Get(this->direction_, direction);
}
template <class Dlg>
bool ContactOptionsDataBasePartialImpl<Dlg>::AddDirectionToleranceAngle(double degrees) {
    return Add(this->toleranceAngle_, degrees);
}
template <class Dlg>
bool ContactOptionsDataBasePartialImpl<Dlg>::GetDirectionToleranceAngle(double* degrees) {
    return Get(this->toleranceAngle_, degrees);
}

template class ContactOptionsDataBase<AFrictionContactOptionsDlg>;
template class ContactOptionsDataBase<AThermalContactOptionsDlg>;
template class ContactOptionsDataBase<ASmartBondingContactOptionsDlg>;
template class ContactOptionsDataBase<ASurfaceDirectionContactOptionsDlg>;
template class ContactOptionsDataBasePartialImpl<AFrictionContactOptionsDlg>;
template class ContactOptionsDataBasePartialImpl<AThermalContactOptionsDlg>;
template class ContactOptionsDataBasePartialImpl<ASmartBondingContactOptionsDlg>;
template class ContactOptionsDataBasePartialImpl<ASurfaceDirectionContactOptionsDlg>;

// ---- friction ----

void LinearContactOptionsData::Reset() {
    Base::Reset();
    useFriction_.clear();
    friction_.clear();
}

void LinearContactOptionsData::AccumulateRecord(const ContactOptionsRecord& record, bool directionApplies,
                                                bool unused) {
    Base::AccumulateRecord(record, directionApplies, unused);
    // Only the two flag words count; anything else (B_INCONSISTANT among them) differs.
    if (record.useFriction == 0) useFriction_.add(false);
    else if (record.useFriction == 0xFFFFFFFFu) useFriction_.add(true);
    else useFriction_.markInconsistent();
    AddRecordValue(friction_, record.friction);
}

void LinearContactOptionsData::AccumulateContactPair(DbContactPair& pair) {
    Base::AccumulateContactPair(pair);
    useFriction_.add(pair.UseFriction());
    friction_.add(pair.Friction());
}

void LinearContactOptionsData::FillRecord(ContactOptionsRecord* record) {
    Base::FillRecord(record);
    if (!record) return;
    record->useFriction = useFriction_.isConsistent() ? (useFriction_.get() ? 0xFFFFFFFFu : 0u) : B_INCONSISTANT;
    record->friction = RecordValue(friction_);
}

void LinearContactOptionsData::ApplyToContactPair(DbContactPair& pair) {
    Base::ApplyToContactPair(pair);
    Apply(useFriction_, pair, static_cast<void (DbContactPair::*)(bool)>(&DbContactPair::UseFriction));
    Apply(friction_, pair, static_cast<void (DbContactPair::*)(double)>(&DbContactPair::Friction));
}

bool LinearContactOptionsData::AddUseFriction(bool use) { return Add(useFriction_, use); }
bool LinearContactOptionsData::GetUseFriction(bool* use) { return Get(useFriction_, use); }
bool LinearContactOptionsData::AddFriction(double coefficient) { return Add(friction_, coefficient); }
bool LinearContactOptionsData::GetFriction(double* coefficient) { return Get(friction_, coefficient); }

INT_PTR LinearContactOptionsData::ShowDialog(CWnd* parent, bool readOnly) {
    DialogResources resources;
    // Without a display unit system the dialog could not convert what it shows.
    if (!CanEdit() || !displayUnitSystem_) return IDCANCEL;
    FrictionOptionsDlg dialog(&directionApplies_, parent, readOnly);
    dialog.SetUnitConverter(*displayUnitSystem_);
    dialog.SetDirectionGroup(&direction_, &toleranceAngle_);
    dialog.SetFriction(&useFriction_, &friction_);
    return dialog.DoModal();
}

// ---- thermal ----

void ThermalContactOptionsData::Reset() {
    Base::Reset();
    resistanceType_.clear();
    totalResistance_.clear();
    unitResistance_.clear();
}

void ThermalContactOptionsData::AccumulateRecord(const ContactOptionsRecord& record, bool directionApplies,
                                                 bool unused) {
    Base::AccumulateRecord(record, directionApplies, unused);
    AddRecordValue(resistanceType_, record.thermalResistanceType);
    AddRecordValue(totalResistance_, record.totalThermalResistance);
    AddRecordValue(unitResistance_, record.unitThermalResistance);
}

void ThermalContactOptionsData::AccumulateContactPair(DbContactPair& pair) {
    Base::AccumulateContactPair(pair);
    resistanceType_.add(std::uint32_t(pair.ThermalResistance()));
    totalResistance_.add(pair.TotalThermalResistance());
    unitResistance_.add(pair.UnitThermalResistance());
}

void ThermalContactOptionsData::FillRecord(ContactOptionsRecord* record) {
    Base::FillRecord(record);
    if (!record) return;
    record->thermalResistanceType = RecordValue(resistanceType_);
    record->totalThermalResistance = RecordValue(totalResistance_);
    record->unitThermalResistance = RecordValue(unitResistance_);
}

void ThermalContactOptionsData::ApplyToContactPair(DbContactPair& pair) {
    Base::ApplyToContactPair(pair);
    Apply(resistanceType_, pair, static_cast<void (DbContactPair::*)(std::uint32_t)>(&DbContactPair::ThermalResistance));
    Apply(totalResistance_, pair, static_cast<void (DbContactPair::*)(double)>(&DbContactPair::TotalThermalResistance));
    Apply(unitResistance_, pair, static_cast<void (DbContactPair::*)(double)>(&DbContactPair::UnitThermalResistance));
}

bool ThermalContactOptionsData::AddThermalResistanceType(std::uint32_t type) { return Add(resistanceType_, type); }
bool ThermalContactOptionsData::GetThermalResistanceType(std::uint32_t* type) { return Get(resistanceType_, type); }
bool ThermalContactOptionsData::AddTotalThermalResistance(double value) { return Add(totalResistance_, value); }
bool ThermalContactOptionsData::GetTotalThermalResistance(double* value) { return Get(totalResistance_, value); }
bool ThermalContactOptionsData::AddUnitThermalResistance(double value) { return Add(unitResistance_, value); }
bool ThermalContactOptionsData::GetUnitThermalResistance(double* value) { return Get(unitResistance_, value); }

INT_PTR ThermalContactOptionsData::ShowDialog(CWnd* parent, bool readOnly) {
    DialogResources resources;
    if (!CanEdit() || !displayUnitSystem_) return IDCANCEL;
    ThermalContactDlg dialog(&directionApplies_, parent, readOnly);
    dialog.SetUnitConverter(*displayUnitSystem_);
    dialog.SetDirectionGroup(&direction_, &toleranceAngle_);
    dialog.SetValues(&resistanceType_, &totalResistance_, &unitResistance_);
    return dialog.DoModal();
}

// ---- smart bonding ----

void SmartBondingContactOptionsData::Reset() {
    Base::Reset();
    toleranceKind_.clear();
    meshSizeFraction_.clear();
    absoluteTolerance_.clear();
}

void SmartBondingContactOptionsData::AccumulateRecord(const ContactOptionsRecord& record, bool directionApplies,
                                                      bool unused) {
    Base::AccumulateRecord(record, directionApplies, unused);
    AddRecordValue(toleranceKind_, record.bondingToleranceKind);
    AddRecordValue(meshSizeFraction_, record.bondingToleranceMeshSizeFraction);
    AddRecordValue(absoluteTolerance_, record.bondingToleranceAbsolute);
}

void SmartBondingContactOptionsData::AccumulateContactPair(DbContactPair& pair) {
    Base::AccumulateContactPair(pair);
    toleranceKind_.add(std::uint32_t(pair.BondingContactToleranceKind()));
    meshSizeFraction_.add(pair.BondingContactToleranceMeshSizeFraction());
    absoluteTolerance_.add(pair.BondingContactToleranceAbsolute());
}

void SmartBondingContactOptionsData::FillRecord(ContactOptionsRecord* record) {
    Base::FillRecord(record);
    if (!record) return;
    record->bondingToleranceKind = RecordValue(toleranceKind_);
    record->bondingToleranceMeshSizeFraction = RecordValue(meshSizeFraction_);
    record->bondingToleranceAbsolute = RecordValue(absoluteTolerance_);
}

void SmartBondingContactOptionsData::ApplyToContactPair(DbContactPair& pair) {
    Base::ApplyToContactPair(pair);
    Apply(toleranceKind_, pair,
          static_cast<void (DbContactPair::*)(std::uint32_t)>(&DbContactPair::BondingContactToleranceKind));
    Apply(meshSizeFraction_, pair,
          static_cast<void (DbContactPair::*)(double)>(&DbContactPair::BondingContactToleranceMeshSizeFraction));
    Apply(absoluteTolerance_, pair,
          static_cast<void (DbContactPair::*)(double)>(&DbContactPair::BondingContactToleranceAbsolute));
}

bool SmartBondingContactOptionsData::AddBondingToleranceKind(std::uint32_t kind) { return Add(toleranceKind_, kind); }
bool SmartBondingContactOptionsData::GetBondingToleranceKind(std::uint32_t* kind) { return Get(toleranceKind_, kind); }
bool SmartBondingContactOptionsData::AddBondingToleranceMeshSizeFraction(double fraction) {
    return Add(meshSizeFraction_, fraction);
}
bool SmartBondingContactOptionsData::GetBondingToleranceMeshSizeFraction(double* fraction) {
    return Get(meshSizeFraction_, fraction);
}
bool SmartBondingContactOptionsData::AddBondingToleranceAbsolute(double length) { return Add(absoluteTolerance_, length); }
bool SmartBondingContactOptionsData::GetBondingToleranceAbsolute(double* length) {
    return Get(absoluteTolerance_, length);
}

INT_PTR SmartBondingContactOptionsData::ShowDialog(CWnd* parent, bool readOnly) {
    DialogResources resources;
    if (!CanEdit() || !displayUnitSystem_) return IDCANCEL;
    SmartBondingContactDlg dialog(parent, readOnly);
    dialog.SetUnitConverter(*displayUnitSystem_);
    dialog.SetValues(&toleranceKind_, &meshSizeFraction_, &absoluteTolerance_);
    return dialog.DoModal();
}

// ---- direction only ----

INT_PTR SurfaceDirectionContactOptionsData::ShowDialog(CWnd* parent, bool readOnly) {
    DialogResources resources;
    if (!CanEdit() || !displayUnitSystem_) return IDCANCEL;
    ContactBaseDlg dialog(IDD_CONTACT_DIRECTION, parent, readOnly);
    dialog.SetUnitConverter(*displayUnitSystem_);
    dialog.SetDirectionGroup(&direction_, &toleranceAngle_);
    return dialog.DoModal();
}

ORV_REGISTER_FACTORY_SLOT(FactorySlot::FrictionContactOptions, LinearContactOptionsData);
ORV_REGISTER_FACTORY_SLOT(FactorySlot::ThermalContactOptions, ThermalContactOptionsData);
ORV_REGISTER_FACTORY_SLOT(FactorySlot::SurfaceDirectionContactOptions, SurfaceDirectionContactOptionsData);
ORV_REGISTER_FACTORY_SLOT(FactorySlot::SmartBondingContactOptions, SmartBondingContactOptionsData);

}  // namespace DataModelDialogs
