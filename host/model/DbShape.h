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
    // that system, otherwise the text rewritten so that variables and value are in `system`'s
    // units ("2*r" written in metres, seen in millimetres: "1*(2*(r*0.001))" with the factors
    // spelled out). Factors of exactly 1 are left out.
    std::string GetShape(const UnitSys::UnitSystem& system, const RSTVariableUnitsInfo& units) const;
    // Stores the expression typed in `system` for coordinate systems of the type.
    void SetShape(std::string expressionUtf8, std::uint32_t coordinateSystemType, const UnitSys::UnitSystem& system);
    // The stored text, as written, and the system it was written in.
    const std::string& GetExpression() const { return expression_; }
    const UnitSystem& GetExpressionUnitSystem() const { return unitSystem_; }
    std::uint32_t GetCoordinateSystemType() const { return coordinateSystemType_; }
    // Global and local rectangular systems share the meaning of r, s, t (x, y, z); cylindrical
    // and spherical functions fit only their own type.
    bool IsCompatibleWithCoordinateSystemType(std::uint32_t type) const;

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
// "1e5" and longer names such as "sqrt" are left alone.
std::string SubstituteRstVariables(const std::string& expression, const std::string (&suffixes)[3]);

}  // namespace OrvDbRecord
