#include "dialogs/convection/DefaultCoefficientLibrary.h"

#include "dialogs/convection/ConvectionCoefficientLibrary.h"
#include "platform/win/Utf8.h"

namespace DataModelDialogs {

namespace {

// Fluid properties at the film temperature, SI units (kg/m³, kg/(m·s), W/(m·K), J/(kg·K), 1/K).
struct Fluid {
    double density;
    double viscosity;
    double conductivity;
    double specificHeat;
    double expansion;
};

// Dry air at 1 atm, 300 K (27 °C) and 350 K (77 °C); the expansion coefficient of an ideal gas
// is 1/T.
constexpr Fluid kAir300K = {1.1614, 184.6e-7, 26.3e-3, 1007.0, 1.0 / 300.0};
constexpr Fluid kAir350K = {0.9950, 208.2e-7, 30.0e-3, 1009.0, 1.0 / 350.0};
// Saturated liquid water at 300 K (27 °C).
constexpr Fluid kWater300K = {997.0, 855e-6, 0.613, 4179.0, 276.1e-6};

constexpr double kStandardGravity = 9.80665;

ConvectionCoefficientInputs Make(const Fluid& fluid, std::int32_t type, std::int32_t correlation, double ambient,
                                 double wall) {
    ConvectionCoefficientInputs in;
    in.Units = DefaultCoefficientUnitSystem();
    in.Type = type;
    CurrentCorrelation(in) = correlation;
    in.AmbientTemperature = ambient;
    in.WallTemperature = wall;
    in.Gravity = kStandardGravity;
    in.Density = fluid.density;
    in.DynamicViscosity = fluid.viscosity;
    in.ThermalConductivity = fluid.conductivity;
    in.SpecificHeat = fluid.specificHeat;
    in.ThermalExpansion = fluid.expansion;
    in.UsePrandtlNumber = false;
    in.Prandtl = in.SpecificHeat * in.DynamicViscosity / in.ThermalConductivity;
    return in;
}

ConvectionCoefficientEntry Entry(const char* name, ConvectionCoefficientInputs inputs) {
    ConvectionCoefficientEntry entry;
    entry.Name = CString(orv::Utf8ToWide(name));
    inputs.UserCoefficient = ComputeFilmCoefficient(inputs);
    entry.Inputs = inputs;
    return entry;
}

}  // namespace

OrvDbRecord::UnitSystem DefaultCoefficientUnitSystem() { return OrvDbRecord::UnitSystem(UnitSys::UnitSystem::kTypeSI); }

std::vector<ConvectionCoefficientEntry> DefaultCoefficientEntries() {
    std::vector<ConvectionCoefficientEntry> entries;

    // Free convection in still air: wall 37 °C, air 17 °C (film 27 °C).
    ConvectionCoefficientInputs in = Make(kAir300K, ConvectionBuoyancy, 0, 17.0, 37.0);
    in.BuoyancyPlateLength = 0.5;
    in.BuoyancyPlateWidth = 0.5;
    entries.push_back(Entry("Air, free convection, vertical plate 0.5 m x 0.5 m, wall 37 °C, air 17 °C", in));

    in = Make(kAir300K, ConvectionBuoyancy, 2, 17.0, 37.0);
    in.BuoyancyPlateLength = 0.1;
    in.BuoyancyPlateWidth = 0.1;
    entries.push_back(Entry("Air, free convection, hot horizontal plate facing up 0.1 m x 0.1 m, wall 37 °C, air 17 °C", in));

    // Air flowing along a flat plate, laminar (Re about 63000), film 27 °C.
    in = Make(kAir300K, ConvectionForcedExternal, 0, 27.0, 27.0);
    in.FlowSpeed = 2.0;
    in.ExternalPlateLength = 0.5;
    entries.push_back(Entry("Air along a flat plate 0.5 m at 2 m/s, laminar (film 27 °C)", in));

    // Water heated in a round pipe, turbulent (Re about 29000), film 27 °C.
    in = Make(kWater300K, ConvectionForcedInternal, 2, 20.0, 34.0);
    in.FlowSpeed = 1.0;
    in.PipeDiameter = 0.025;
    entries.push_back(Entry("Water heated in a round pipe 25 mm at 1 m/s, turbulent (film 27 °C)", in));

    // Water in a small pipe, laminar with uniform heat flux (Re about 580).
    in = Make(kWater300K, ConvectionForcedInternal, 0, 20.0, 34.0);
    in.FlowSpeed = 0.05;
    in.PipeDiameter = 0.01;
    entries.push_back(Entry("Water in a round pipe 10 mm at 0.05 m/s, laminar, uniform heat flux (film 27 °C)", in));

    // Hot air cooled in a rectangular duct, turbulent (Re about 32000), film 77 °C.
    in = Make(kAir350K, ConvectionForcedInternal, 7, 97.0, 57.0);
    in.FlowSpeed = 5.0;
    in.DuctWidth = 0.2;
    in.DuctHeight = 0.1;
    entries.push_back(Entry("Hot air cooled in a rectangular duct 200 mm x 100 mm at 5 m/s, turbulent (film 77 °C)", in));

    return entries;
}

bool WriteDefaultCoefficientLibrary(const std::filesystem::path& path, std::wstring* error) {
    ConvectionCoefficientLibrary library(CString(orv::Utf8ToWide(path.string())), CString(), true);
    // Stored in the entries' own system, so the file holds the property values as given.
    library.SetUnitSystem(DefaultCoefficientUnitSystem());
    const std::vector<ConvectionCoefficientEntry> entries = DefaultCoefficientEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) library.SetEntry(i, entries[i].Name, entries[i].Inputs);
    if (!library.Save()) {
        if (error) *error = library.GetError();
        return false;
    }
    return true;
}

}  // namespace DataModelDialogs
