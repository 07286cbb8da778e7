#include "host/model/DbShape.h"

#include <cctype>
#include <cstdio>

#include "host/model/DbDesignScenario.h"
#include "host/model/DbFeaObject.h"

namespace OrvDbRecord {

int RSTVariableUnitsInfo::VariableUnit(int variable) const {
    using DU = UnitSys::UnitSystem;
    switch (variable) {
    case 1: return (coordinateSystemType == 1 || coordinateSystemType == 3) ? DU::Angle : DU::Length;
    case 2: return coordinateSystemType == 3 ? DU::Angle : DU::Length;
    default: return DU::Length;
    }
}

DbShape::DbShape(DbDesignScenario* scenario, std::uint32_t id, int storageStatus)
    : StorageMapItem(Kind::Shape, id), storageStatus_(storageStatus) {
    SetDesignScenario(scenario);
    if (scenario)
        unitSystem_ = scenario->GetModelUnitSystem();
}

namespace {

std::string FormatFactor(double factor) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", factor);
    return buf;
}

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

}  // namespace

std::string SubstituteRstVariables(const std::string& expression, const std::string (&suffixes)[3]) {
    std::string out;
    std::size_t i = 0;
    const std::size_t n = expression.size();
    while (i < n) {
        char c = expression[i];
        if (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(expression[i + 1])))) {
            std::size_t start = i;
            while (i < n && (std::isdigit(static_cast<unsigned char>(expression[i])) || expression[i] == '.'))
                ++i;
            if (i < n && (expression[i] == 'e' || expression[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < n && (expression[j] == '+' || expression[j] == '-'))
                    ++j;
                if (j < n && std::isdigit(static_cast<unsigned char>(expression[j]))) {
                    i = j;
                    while (i < n && std::isdigit(static_cast<unsigned char>(expression[i])))
                        ++i;
                }
            }
            out.append(expression, start, i - start);
        } else if (IsIdentStart(c)) {
            std::size_t start = i;
            while (i < n && IsIdentChar(expression[i]))
                ++i;
            if (i - start == 1) {
                char v = char(std::tolower(static_cast<unsigned char>(c)));
                int index = v == 'r' ? 0 : v == 's' ? 1 : v == 't' ? 2 : -1;
                if (index >= 0 && !suffixes[index].empty()) {
                    out += "(" + std::string(1, c) + suffixes[index] + ")";
                    continue;
                }
            }
            out.append(expression, start, i - start);
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::string DbShape::GetShape(const UnitSys::UnitSystem& system, const RSTVariableUnitsInfo& units) const {
    if (system == unitSystem_)
        return expression_;
    std::string suffixes[3];
    bool changed = false;
    for (int v = 0; v < 3; ++v) {
        double k = UnitSys::UnitSystem::ConvertDisplayableUnit(1.0, units.VariableUnit(v), system, unitSystem_);
        if (k != 1.0) {
            suffixes[v] = "*" + FormatFactor(k);
            changed = true;
        }
    }
    std::string body = changed ? SubstituteRstVariables(expression_, suffixes) : expression_;
    double valueFactor = UnitSys::UnitSystem::DimensionFactor(
        [&] {
            UnitSys::Dimension d;
            UnitSys::UnitSystem::GetDisplayableUnitDimension(units.valueUnit, d);
            return d;
        }(),
        unitSystem_, system);
    if (valueFactor == 1.0)
        return body;
    return FormatFactor(valueFactor) + "*(" + body + ")";
}

void DbShape::SetShape(std::string expressionUtf8, std::uint32_t coordinateSystemType, const UnitSys::UnitSystem& system) {
    expression_ = std::move(expressionUtf8);
    coordinateSystemType_ = coordinateSystemType;
    unitSystem_ = system;
}

bool DbShape::IsCompatibleWithCoordinateSystemType(std::uint32_t type) const {
    auto cartesian = [](std::uint32_t t) { return t == 0 || t == 2; };
    if (cartesian(type) && cartesian(coordinateSystemType_))
        return true;
    return type == coordinateSystemType_;
}

std::vector<DbFeaObject*> DbShape::GetFeaUsages() const {
    std::vector<DbFeaObject*> users;
    if (DbDesignScenario* scenario = GetDesignScenario()) {
        for (const auto& [id, object] : scenario->GetFeaObjects())
            if (object->GetTypeCode() == kShapedLoadTypeCode &&
                object->GetRecord().GetU32(kLoadFunctionOffset) == Id())
                users.push_back(object.get());
    }
    return users;
}

}  // namespace OrvDbRecord
