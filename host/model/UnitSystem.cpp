#include "host/model/UnitSystem.h"

namespace OrvDbRecord {

DisplayUnitSystem::DisplayUnitSystem(const UnitSystem& model, const UnitSystem& display) { SetUnitSystems(model, display); }

void DisplayUnitSystem::SetUnitSystems(const UnitSystem& model, const UnitSystem& display) {
    model_ = model;
    display_ = display;
    converter_.SetUnitSystems(model_, display_);
}

double DisplayUnitSystem::ConvertUnits(double modelValue, int displayableUnit) const {
    return UnitSys::UnitSystem::ConvertDisplayableUnit(modelValue, displayableUnit, model_, display_);
}

double DisplayUnitSystem::ReverseConvertUnits(double displayValue, int displayableUnit) const {
    return UnitSys::UnitSystem::ConvertDisplayableUnit(displayValue, displayableUnit, display_, model_);
}

std::wstring DisplayUnitSystem::GetDisplayableUnitText(int displayableUnit) const {
    return display_.GetDisplayableUnitText(displayableUnit);
}

}  // namespace OrvDbRecord
