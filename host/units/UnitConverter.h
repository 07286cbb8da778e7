#pragma once
// UnitSys::UnitConverter: converts values of one kind between two unit systems.

#include <string>
#include "host/units/UnitSystem.h"
#include "platform/win/CString.h"

namespace UnitSys {

// The kind of value is either a displayable unit code or a conversion string; the converter
// converts from the "from" system into the "to" system (Convert) and back (ReverseConvert).
// A converter whose kind is not usable (an unknown code, a malformed conversion string) is not
// valid: it converts to NaN and its bool forms answer false, so a mistake never passes as a
// factor of 1. A new converter is dimensionless between two systems of no type.
class UnitConverter {
public:
    UnitConverter() = default;
    explicit UnitConverter(UnitSystem::DisplayableUnit unit);
    UnitConverter(const CString& conversion, OrvUnitsConversionStringSyntax syntax);
    UnitConverter(const UnitSystem& from, const UnitSystem& to, UnitSystem::DisplayableUnit unit);
    UnitConverter(const UnitSystem& from, const UnitSystem& to, const CString& conversion,
                  OrvUnitsConversionStringSyntax syntax);

    void SetFromUnitSystem(const UnitSystem& from) { from_ = from; }
    void SetToUnitSystem(const UnitSystem& to) { to_ = to; }
    void SetUnitSystems(const UnitSystem& from, const UnitSystem& to) {
        from_ = from;
        to_ = to;
    }
    const UnitSystem& GetFromUnitSystem() const { return from_; }
    const UnitSystem& GetToUnitSystem() const { return to_; }

    // Makes the kind a displayable unit; false (and the converter invalid) for an unknown code.
    bool SetDisplayableUnit(int unit);
    // Makes the kind the dimension of a conversion string; false (and the converter invalid,
    // GetError saying why) for a malformed string or an unknown syntax.
    bool SetConversionString(const CString& conversion, OrvUnitsConversionStringSyntax syntax);

    bool IsValid() const { return valid_; }
    const std::wstring& GetError() const { return error_; }
    // -1 when the kind is a conversion string.
    int GetDisplayableUnit() const { return unit_; }
    const std::wstring& GetConversionString() const { return conversion_; }
    const Dimension& GetDimension() const { return dimension_; }

    // From-system value to to-system value; NaN when not valid.
    double Convert(double value) const;
    // To-system value to from-system value; NaN when not valid.
    double ReverseConvert(double value) const;
    bool Convert(double value, double& result) const;
    bool ReverseConvert(double value, double& result) const;

    // The label of the kind in the to-system ("N/mm²", "°C") or in the from-system.
    std::wstring GetToUnitText() const;
    std::wstring GetFromUnitText() const;

private:
    double Apply(double value, const UnitSystem& from, const UnitSystem& to) const;
    std::wstring Label(const UnitSystem& system) const;

    UnitSystem from_;
    UnitSystem to_;
    int unit_ = UnitSystem::Dimensionless;
    std::wstring conversion_;
    Dimension dimension_;
    bool valid_ = true;
    std::wstring error_;
};

}  // namespace UnitSys
