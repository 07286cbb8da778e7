#include "host/model/DbShape.h"

#include <charconv>
#include <cmath>
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

// The shortest text that reads back as the same double ("0.0254", "1e-06").
std::string FormatFactor(double factor) {
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, factor);
    if (ec != std::errc()) return "1";
    return std::string(buf, end);
}

// ASCII only, so the result never depends on the C library's locale.
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || IsAsciiDigit(c); }

// An offset with 13 significant digits: the offsets of the temperature scales come out of the
// unit library with rounding noise in the last digits (31.999999999999943 for 32).
std::string FormatOffset(double offset) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.13g", offset);
    return buf;
}

// Value in `to` = scale * (value in `from`) + offset for the displayable unit; a code that is
// not known converts as a plain number.
void ValueConversion(int code, const UnitSys::UnitSystem& from, const UnitSys::UnitSystem& to, double& scale, double& offset) {
    scale = 1.0;
    offset = 0.0;
    UnitSys::Dimension dimension;
    if (!UnitSys::UnitSystem::GetDisplayableUnitDimension(code, dimension))
        return;
    const double factor = UnitSys::UnitSystem::DimensionFactor(dimension, from, to);
    const double zero = UnitSys::UnitSystem::ConvertDisplayableUnit(0.0, code, from, to);
    if (!std::isfinite(factor) || !std::isfinite(zero))
        return;
    scale = factor;
    offset = zero;
}

}  // namespace

std::string SubstituteRstVariables(const std::string& expression, const std::string (&suffixes)[3]) {
    std::string out;
    std::size_t i = 0;
    const std::size_t n = expression.size();
    while (i < n) {
        char c = expression[i];
        if (IsAsciiDigit(c) || ((c == '.' || c == ',') && i + 1 < n && IsAsciiDigit(expression[i + 1]))) {
            // A number, with its exponent: the "e" of "1e5" is not a name.
            std::size_t start = i;
            while (i < n && (IsAsciiDigit(expression[i]) || expression[i] == '.' || expression[i] == ','))
                ++i;
            if (i < n && (expression[i] == 'e' || expression[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < n && (expression[j] == '+' || expression[j] == '-'))
                    ++j;
                if (j < n && IsAsciiDigit(expression[j])) {
                    i = j;
                    while (i < n && IsAsciiDigit(expression[i]))
                        ++i;
                }
            }
            out.append(expression, start, i - start);
        } else if (IsIdentStart(c)) {
            // A whole name: the letters of SQRT, ARCTAN or COS are never variables.
            std::size_t start = i;
            while (i < n && IsIdentChar(expression[i]))
                ++i;
            if (i - start == 1) {
                char v = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
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
    // A variable in `system` is factor * variable in the stored system.
    std::string suffixes[3];
    bool changed = false;
    for (int v = 0; v < 3; ++v) {
        double k = UnitSys::UnitSystem::ConvertDisplayableUnit(1.0, units.VariableUnit(v), system, unitSystem_);
        if (std::isfinite(k) && k != 1.0) {
            suffixes[v] = "*" + FormatFactor(k);
            changed = true;
        }
    }
    std::string body = changed ? SubstituteRstVariables(expression_, suffixes) : expression_;
    double scale, offset;
    ValueConversion(units.valueUnit, unitSystem_, system, scale, offset);
    if (scale == 1.0 && offset == 0.0)
        return body;
    std::string text = scale == 1.0 ? "(" + body + ")" : FormatFactor(scale) + "*(" + body + ")";
    if (offset > 0)
        text += "+" + FormatOffset(offset);
    else if (offset < 0)
        text += "-" + FormatOffset(-offset);
    return text;
}

bool DbShape::HaveSameVariableUnits(std::uint32_t type1, std::uint32_t type2) {
    RSTVariableUnitsInfo a(type1, kFunctionValueUnit), b(type2, kFunctionValueUnit);
    for (int v = 0; v < 3; ++v)
        if (a.VariableUnit(v) != b.VariableUnit(v))
            return false;
    return true;
}

void DbShape::SetShape(std::string expressionUtf8, std::uint32_t coordinateSystemType, const UnitSys::UnitSystem& system) {
    // The text exactly as GetShape shows the stored one in `system` means the same function:
    // keep the text as first written, so showing and storing again never piles up factors.
    if (!expression_.empty() && system != unitSystem_ && HaveSameVariableUnits(coordinateSystemType_, coordinateSystemType) &&
        expressionUtf8 == GetShape(system, RSTVariableUnitsInfo(coordinateSystemType_, kFunctionValueUnit))) {
        coordinateSystemType_ = coordinateSystemType;
        return;
    }
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
