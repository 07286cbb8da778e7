#pragma once
// DbContactPair: a contact between two surfaces (or parts) and its options.

#include <cstdint>
#include <string>

#include "host/model/StorageMapItem.h"

namespace OrvDbRecord {

class DbContactPair : public StorageMapItem {
public:
    enum SurfaceContactDirectionType : std::uint32_t {
        kMatchingDirections = 0,  // "Calculate by matching directions"
        kNormalToFirst = 1,       // "Normal to the first part/surface"
        kNormalToSecond = 2,      // "Normal to the second part/surface"
    };
    enum ThermalResistanceType : std::uint32_t { kTotalResistance = 0, kDistributedResistance = 1 };
    enum BondingContactToleranceType : std::uint32_t { kFractionOfMeshSize = 0, kAbsoluteSize = 1 };

    explicit DbContactPair(std::uint32_t id) : StorageMapItem(Kind::ContactPair, id) {}

    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    // The two sides, as geometry ids of the given kind (surface or part).
    StorageMapItem::Kind GetSideKind() const { return sideKind_; }
    std::uint32_t GetFirstId() const { return firstId_; }
    std::uint32_t GetSecondId() const { return secondId_; }
    void SetSides(StorageMapItem::Kind kind, std::uint32_t first, std::uint32_t second) {
        sideKind_ = kind;
        firstId_ = first;
        secondId_ = second;
    }

    // The kind of contact the host uses to choose the options (0 general, 1 and 2 bonded).
    std::int32_t ContactType() const { return contactType_; }
    void ContactType(std::int32_t type) { contactType_ = type; }
    // The pair's data type: -2 and -1 are surface contacts, for which the surface contact
    // direction applies unless the pair is global.
    std::int32_t DataType() const { return dataType_; }
    void DataType(std::int32_t type) { dataType_ = type; }
    bool IsGlobal() const { return global_; }
    void SetGlobal(bool global) { global_ = global; }

    SurfaceContactDirectionType SurfaceContactDirection() const { return direction_; }
    void SurfaceContactDirection(std::uint32_t direction) { direction_ = SurfaceContactDirectionType(direction); }
    // Degrees, 0 to 90.
    double SurfaceContactDirectionToleranceAngle() const { return angle_; }
    void SurfaceContactDirectionToleranceAngle(double degrees) { angle_ = degrees; }

    bool UseFriction() const { return useFriction_; }
    void UseFriction(bool use) { useFriction_ = use; }
    // Static friction coefficient, 0 to 1.
    double Friction() const { return friction_; }
    void Friction(double coefficient) { friction_ = coefficient; }

    ThermalResistanceType ThermalResistance() const { return resistanceType_; }
    void ThermalResistance(std::uint32_t type) { resistanceType_ = ThermalResistanceType(type); }
    // Model units of displayable units 72 and 73.
    double TotalThermalResistance() const { return totalResistance_; }
    void TotalThermalResistance(double value) { totalResistance_ = value; }
    double UnitThermalResistance() const { return unitResistance_; }
    void UnitThermalResistance(double value) { unitResistance_ = value; }

    BondingContactToleranceType BondingContactToleranceKind() const { return toleranceKind_; }
    void BondingContactToleranceKind(std::uint32_t kind) { toleranceKind_ = BondingContactToleranceType(kind); }
    double BondingContactToleranceMeshSizeFraction() const { return meshFraction_; }
    void BondingContactToleranceMeshSizeFraction(double value) { meshFraction_ = value; }
    // A length in model units.
    double BondingContactToleranceAbsolute() const { return absoluteTolerance_; }
    void BondingContactToleranceAbsolute(double value) { absoluteTolerance_ = value; }

private:
    std::string name_;
    StorageMapItem::Kind sideKind_ = StorageMapItem::Kind::Surface;
    std::uint32_t firstId_ = 0;
    std::uint32_t secondId_ = 0;
    std::int32_t contactType_ = 0;
    std::int32_t dataType_ = -1;
    bool global_ = false;
    SurfaceContactDirectionType direction_ = kMatchingDirections;
    double angle_ = 45.0;
    bool useFriction_ = false;
    double friction_ = 0.0;
    ThermalResistanceType resistanceType_ = kTotalResistance;
    double totalResistance_ = 0.0;
    double unitResistance_ = 0.0;
    BondingContactToleranceType toleranceKind_ = kFractionOfMeshSize;
    double meshFraction_ = 0.1;
    double absoluteTolerance_ = 0.0;
};

}  // namespace OrvDbRecord
