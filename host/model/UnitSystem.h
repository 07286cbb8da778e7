#pragma once
// The model record library's unit classes over the unit system library: the model's unit
// system, a converter, and the display unit system through which every shown value passes.

#include <string>
#include <string_view>

#include "host/units/UnitConverter.h"
#include "host/units/UnitSystem.h"

namespace OrvDbRecord {

// A model's unit system; all of its behaviour is the unit system library's.
class UnitSystem : public UnitSys::UnitSystem {
public:
    using UnitSys::UnitSystem::UnitSystem;
    UnitSystem() = default;
    UnitSystem(const UnitSys::UnitSystem& system) : UnitSys::UnitSystem(system) {}
};

// Converts values of its current kind (a displayable unit or a conversion string) from the
// model unit system into a display unit system and back.
class UnitConverter : public UnitSys::UnitConverter {
public:
    using UnitSys::UnitConverter::UnitConverter;
    UnitConverter() = default;
    UnitConverter(const UnitSys::UnitConverter& converter) : UnitSys::UnitConverter(converter) {}
};

// The unit system values are shown in, with the model unit system they are stored in.
// Conversions go from model units (the stored value) to display units (the shown value).
class DisplayUnitSystem {
public:
    // Both systems unchosen: values pass unchanged.
    DisplayUnitSystem() = default;
    DisplayUnitSystem(const UnitSystem& model, const UnitSystem& display);

    const UnitSystem& GetUnitSystem() const { return display_; }
    const UnitSystem& GetModelUnitSystem() const { return model_; }
    void SetUnitSystems(const UnitSystem& model, const UnitSystem& display);
    // True when the display system is the model's own, so no value changes.
    bool IsModelUnitSystem() const { return model_ == display_; }

    // A model value of the displayable unit in display units; NaN for an unknown code.
    double ConvertUnits(double modelValue, int displayableUnit) const;
    // A display value of the displayable unit in model units; NaN for an unknown code.
    double ReverseConvertUnits(double displayValue, int displayableUnit) const;
    // The display label of the code ("in/s"); empty for a dimensionless or unknown code.
    std::wstring GetDisplayableUnitText(int displayableUnit) const;

    // The converter from model to display units (its kind starts dimensionless); a copy given
    // to a window utility keeps the two systems.
    const UnitConverter& GetUnitConverter() const { return converter_; }
    UnitConverter& GetUnitConverter() { return converter_; }

private:
    UnitSystem model_;
    UnitSystem display_;
    UnitConverter converter_;
};

}  // namespace OrvDbRecord
