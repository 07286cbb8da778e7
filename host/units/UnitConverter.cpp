#include "host/units/UnitConverter.h"

#include <cmath>
#include <limits>

namespace UnitSys {

UnitConverter::UnitConverter(UnitSystem::DisplayableUnit unit) { SetDisplayableUnit(unit); }

UnitConverter::UnitConverter(const CString& conversion, OrvUnitsConversionStringSyntax syntax) {
    SetConversionString(conversion, syntax);
}

UnitConverter::UnitConverter(const UnitSystem& from, const UnitSystem& to, UnitSystem::DisplayableUnit unit)
    : from_(from), to_(to) {
    SetDisplayableUnit(unit);
}

UnitConverter::UnitConverter(const UnitSystem& from, const UnitSystem& to, const CString& conversion,
                             OrvUnitsConversionStringSyntax syntax)
    : from_(from), to_(to) {
    SetConversionString(conversion, syntax);
}

bool UnitConverter::SetDisplayableUnit(int unit) {
    unit_ = unit;
    conversion_.clear();
    dimension_ = Dimension{};
    valid_ = UnitSystem::GetDisplayableUnitDimension(unit, dimension_);
    error_ = valid_ ? std::wstring() : L"unknown displayable unit " + std::to_wstring(unit);
    return valid_;
}

bool UnitConverter::SetConversionString(const CString& conversion, OrvUnitsConversionStringSyntax syntax) {
    unit_ = -1;
    conversion_ = conversion.str();
    dimension_ = Dimension{};
    error_.clear();
    std::wstring message;
    valid_ = ParseConversionString(conversion, syntax, dimension_, &message);
    if (!valid_) error_ = L"conversion string \"" + conversion_ + L"\": " + message;
    return valid_;
}

double UnitConverter::Apply(double value, const UnitSystem& from, const UnitSystem& to) const {
    if (!valid_) return std::numeric_limits<double>::quiet_NaN();
    return UnitSystem::ConvertDimension(value, dimension_, from, to);
}

double UnitConverter::Convert(double value) const { return Apply(value, from_, to_); }

double UnitConverter::ReverseConvert(double value) const { return Apply(value, to_, from_); }

bool UnitConverter::Convert(double value, double& result) const {
    if (!valid_) return false;
    result = Convert(value);
    return true;
}

bool UnitConverter::ReverseConvert(double value, double& result) const {
    if (!valid_) return false;
    result = ReverseConvert(value);
    return true;
}

std::wstring UnitConverter::Label(const UnitSystem& system) const {
    if (!valid_) return {};
    if (unit_ >= 0) return system.GetDisplayableUnitText(unit_);
    return system.GetDimensionText(dimension_);
}

std::wstring UnitConverter::GetToUnitText() const { return Label(to_); }

std::wstring UnitConverter::GetFromUnitText() const { return Label(from_); }

}  // namespace UnitSys
