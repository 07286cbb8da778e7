#pragma once
// DbShape: a function of r, s and t (a surface variable load's distribution), with the
// coordinate system type its variables are meant in and the unit system it was written in.

#include <cstdint>
#include <string>
#include <vector>

#include "host/model/StorageMapItem.h"
#include "host/model/UnitSystem.h"

namespace OrvDbRecord {

class DbFeaObject;

// The units of a function's variables and value: r is a length; s is an angle for the
// cylindrical and spherical types and a length otherwise; t an angle for the spherical type
// and a length otherwise; the value is of valueUnit.
struct RSTVariableUnitsInfo {
    RSTVariableUnitsInfo(std::uint32_t coordinateSystemType, int valueUnit)
        : coordinateSystemType(coordinateSystemType), valueUnit(valueUnit) {}
    // Displayable unit of variable 0 (r), 1 (s) or 2 (t).
    int VariableUnit(int variable) const;

    std::uint32_t coordinateSystemType;
    int valueUnit;
};

class DbShape : public StorageMapItem {
public:
    // Storage status 1 marks a function created in this session.
    DbShape(DbDesignScenario* scenario, std::uint32_t id, int storageStatus);

    // The function's name (UTF-8).
    const std::string& GetDescription() const { return description_; }
    void SetDescription(std::string utf8) { description_ = std::move(utf8); }

    // The expression as the user sees it in `system`: the stored text when it was written in
    // that system, otherwise the text rewritten so that the length variables and the value are
    // in `system`'s units and the function gives the same physical load at the same physical
    // point ("2*r" for N/m² written in metres, seen in mm-t-s: "1e-06*(2*(r*0.001))"). Angles
    // are radians in every system and never change; factors of exactly 1 are left out.
    std::string GetShape(const UnitSys::UnitSystem& system, const RSTVariableUnitsInfo& units) const;
    // Stores the expression typed in `system` for coordinate systems of the type. A text equal
    // to what GetShape shows of the stored function in `system` (for a type whose variables
    // have the same units) keeps the stored text and system, changing only the type.
    void SetShape(std::string expressionUtf8, std::uint32_t coordinateSystemType, const UnitSys::UnitSystem& system);
    // The stored text, as written, and the system it was written in.
    const std::string& GetExpression() const { return expression_; }
    const UnitSystem& GetExpressionUnitSystem() const { return unitSystem_; }
    std::uint32_t GetCoordinateSystemType() const { return coordinateSystemType_; }
    // Whether the function can be used in coordinate systems of the type without conversion:
    // global and local rectangular systems share the meaning of r, s, t (x, y, z, all
    // lengths); cylindrical and spherical functions fit only their own type; a type outside 0
    // to 3 fits only a function of that same type.
    bool IsCompatibleWithCoordinateSystemType(std::uint32_t type) const;
    // Whether r, s and t have the same units (length or angle) in the two types.
    static bool HaveSameVariableUnits(std::uint32_t type1, std::uint32_t type2);

    // The surface variable loads of the scenario whose function field names this function.
    std::vector<DbFeaObject*> GetFeaUsages() const;

    int GetStorageStatus() const { return storageStatus_; }
    void SetStorageStatus(int status) { storageStatus_ = status; }
    bool IsChanged() const { return changed_; }
    void SetChanged(bool changed = true) { changed_ = changed; }

    // Record offset of the function id in a surface variable load (type code 55).
    static constexpr std::size_t kLoadFunctionOffset = 356;
    static constexpr std::uint32_t kShapedLoadTypeCode = 55;
    static constexpr int kFunctionValueUnit = 24;

private:
    std::string description_;
    std::string expression_;
    std::uint32_t coordinateSystemType_ = 0;
    UnitSystem unitSystem_;
    int storageStatus_;
    bool changed_ = false;
};

// Replaces each whole-word variable r, s or t (either case) of an expression by
// "(" variable suffix ")" with the variable's suffix, when that is not empty; numbers such as
// "1e5" or "2,5E3" and longer names such as "sqrt" or "ARCTAN" are left alone, and so is every
// character that is not an ASCII letter, digit or underscore.
std::string SubstituteRstVariables(const std::string& expression, const std::string (&suffixes)[3]);

}  // namespace OrvDbRecord
