#pragma once
// How dialog classes join the factory without editing a shared file.
//
// Each dialog family's source file registers its classes at namespace scope:
//
//     ORV_REGISTER_FEA_DIALOG(111, PartTemperatureDlg);
//     ORV_REGISTER_FACTORY_SLOT(DataModelDialogs::FactorySlot::MassSpeciesDialog, MassSpeciesDialog);
//
// Registration runs during static initialisation of the library. The tables it fills are
// constant-initialised arrays, so they exist before any registration runs, whatever the order
// of the library's files. The dialog objects are compiled as an object library, so every
// registering object is linked even though nothing references it by name.
//
// Only the type codes of the served table (kServedFeaDialogs) may be registered, each once;
// anything else is refused and listed by RegistrationProblems(), which a test keeps empty.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/CString.h"
#include "platform/win/WinTypes.h"

class CWnd;

namespace DataModelDialogs {

class FeaObjectPropertiesImplDlg;
class AUnitsDialog;
class AMassSpeciesDialog;
class AContactOptionsDialogBase;
class AFrictionContactOptionsDlg;
class AThermalContactOptionsDlg;
class ASurfaceDirectionContactOptionsDlg;
class ASmartBondingContactOptionsDlg;

// Creates the property dialog of one type code with the given parent (may be null).
using FeaDialogCreator = FeaObjectPropertiesImplDlg* (*)(CWnd* parent);

// The dense range of the type-code dispatch.
inline constexpr std::uint32_t kFirstFeaTypeCode = 26;
inline constexpr std::uint32_t kLastFeaTypeCode = 188;
inline constexpr std::uint32_t kFeaTypeCodeCount = kLastFeaTypeCode - kFirstFeaTypeCode + 1;

// One row of the table of served type codes.
struct ServedFeaDialog {
    std::uint32_t typeCode;
    const char* className;
    UINT templateId;
    bool modeless;
};

// Every type code the factory serves, ascending; a code registered here and nowhere else
// yields null until its dialog class is built.
inline constexpr ServedFeaDialog kServedFeaDialogs[] = {
    {26, "NodalPrescribedVelocityDlg", 3170, false},
    {29, "NodalAppliedTemperatureDlg", 3050, false},
    {35, "SurfaceForceDlg", 3163, false},
    {36, "SurfacePrescribedVelocityDlg", 3171, false},
    {40, "SurfaceAppliedTemperatureDlg", 3050, false},
    {49, "EdgePrescribedVelocityDlg", 3172, false},
    {53, "BeamDistributedLoadDlg", 3159, false},
    {55, "SurfaceShapedLoadDlg", 3189, false},
    {64, "SurfaceRadiationDlg", 3193, false},
    {65, "SurfaceConvectionDlg", 3173, false},
    {82, "SurfaceHydrostaticPressureDlg", 3165, false},
    {84, "SurfaceFluidTractionDlg", 3166, false},
    {111, "PartTemperatureDlg", 3047, false},
    {112, "PartAppliedTemperatureDlg", 3050, false},
    {120, "InitialFluidVolumeDlg", 3157, true},
    {122, "SurfaceRemoteLoadDlg", 3160, false},
    {126, "SurfaceMomentDlg", 3143, false},
    {170, "BeamPreloadDlg", 3008, false},
    {171, "SurfacePrescribedWallRoughnessDlg", 3010, false},
    {172, "SurfacePrescribedTurbulenceConditionDlg", 3011, false},
    {173, "PartCurrentDlg", 3049, false},
    {174, "PartChargeDlg", 3048, false},
    {175, "PartInitialVelocityDlg", 3053, false},
    {176, "PartHeatGenerationDlg", 3052, false},
    {177, "PartPrescribedDisplacementDlg", 3051, false},
    {178, "DefaultWallRoughnessDlg", 3009, false},
    {181, "SurfaceInitialConcentrationDlg", 3073, false},
    {182, "NodalInitialConcentrationDlg", 3082, false},
    {183, "PartAppliedConcentrationDlg", 3113, false},
    {184, "SurfaceAppliedConcentrationDlg", 3103, false},
    {185, "NodalAppliedConcentrationDlg", 3093, false},
    {186, "PartMassGenerationDlg", 3123, false},
    {187, "SurfaceMassFluxDlg", 3132, false},
    {188, "NodalMassSourceDlg", 3142, false},
};

// The row of a served type code, or null.
const ServedFeaDialog* FindServedFeaDialog(std::uint32_t typeCode);

// Records the creator of a served type code; false (and a problem noted) for a code outside
// the served table or one already registered, whose first creator stays.
bool RegisterFeaDialog(std::uint32_t typeCode, FeaDialogCreator creator, const char* className);
// The creator registered for a type code (dense lookup over 26 to 188); null for any other
// code and for codes whose dialog is not built.
FeaDialogCreator FindFeaDialogCreator(std::uint32_t typeCode);

// The factory's fixed object slots.
enum class FactorySlot : unsigned {
    UnitsDialog,
    FrictionContactOptions,
    ThermalContactOptions,
    SurfaceDirectionContactOptions,
    SmartBondingContactOptions,
    MassSpeciesDialog,
    Count
};

// How the factory makes, prepares and deletes the object of a fixed slot. Pointers travel as
// the slot's interface pointer (FactorySlotInterface) cast to void*.
struct FactorySlotProvider {
    void* (*create)() = nullptr;
    void (*destroy)(void* object) = nullptr;
    // Run on every request before the object is returned (the units dialog's presentation
    // reset); may be null.
    void (*prepare)(void* object) = nullptr;
    // Contact slots: the object viewed as AContactOptionsDialogBase (as void*).
    void* (*toContactBase)(void* object) = nullptr;
};

bool RegisterFactorySlot(FactorySlot slot, const FactorySlotProvider& provider, const char* className);
// The provider of a slot; one with a null create when nothing registered it.
FactorySlotProvider FindFactorySlot(FactorySlot slot);

// What registration refused ("type code 27 (FooDlg): not a served type code"), in order.
std::vector<std::string> RegistrationProblems();

// The interface each slot hands out.
template <FactorySlot S>
struct FactorySlotInterface;
template <>
struct FactorySlotInterface<FactorySlot::UnitsDialog> {
    using type = AUnitsDialog;
};
template <>
struct FactorySlotInterface<FactorySlot::FrictionContactOptions> {
    using type = AFrictionContactOptionsDlg;
};
template <>
struct FactorySlotInterface<FactorySlot::ThermalContactOptions> {
    using type = AThermalContactOptionsDlg;
};
template <>
struct FactorySlotInterface<FactorySlot::SurfaceDirectionContactOptions> {
    using type = ASurfaceDirectionContactOptionsDlg;
};
template <>
struct FactorySlotInterface<FactorySlot::SmartBondingContactOptions> {
    using type = ASmartBondingContactOptionsDlg;
};
template <>
struct FactorySlotInterface<FactorySlot::MassSpeciesDialog> {
    using type = AMassSpeciesDialog;
};

namespace detail {

// Resets the units dialog's presentation options on every request, in the order the host
// relies on. A template so that it is compiled where AUnitsDialog is complete.
template <class Units>
void ResetUnitsPresentation(Units* units) {
    units->SetChangeConfirmed(false);
    units->SetRequireUnitSystem(true);
    units->SetShowDescription(false);
    units->SetDescription(CString());
    units->SetShowAddToTree(false);
    units->SetAddToTree(false);
}

template <FactorySlot S, class Class>
FactorySlotProvider MakeSlotProvider() {
    using Interface = typename FactorySlotInterface<S>::type;
    FactorySlotProvider p;
    p.create = []() -> void* { return static_cast<Interface*>(new Class()); };
    p.destroy = [](void* object) { delete static_cast<Interface*>(object); };
    if constexpr (S == FactorySlot::UnitsDialog)
        p.prepare = [](void* object) { ResetUnitsPresentation(static_cast<Interface*>(object)); };
    if constexpr (S != FactorySlot::UnitsDialog && S != FactorySlot::MassSpeciesDialog)
        p.toContactBase = [](void* object) -> void* {
            return static_cast<AContactOptionsDialogBase*>(static_cast<Interface*>(object));
        };
    return p;
}

template <class Dlg>
FeaObjectPropertiesImplDlg* CreateFeaDialog(CWnd* parent) {
    return new Dlg(parent);
}

}  // namespace detail
}  // namespace DataModelDialogs

#define ORV_REGISTRY_CONCAT_(a, b) a##b
#define ORV_REGISTRY_CONCAT(a, b) ORV_REGISTRY_CONCAT_(a, b)

// Registers dialog class Dlg (constructible from a CWnd* parent, derived from
// FeaObjectPropertiesImplDlg) for an FEA object type code. Use at namespace scope.
#define ORV_REGISTER_FEA_DIALOG(typeCode, Dlg)                                                    \
    [[maybe_unused]] static const bool ORV_REGISTRY_CONCAT(orvFeaDialogRegistered_, __COUNTER__) = \
        ::DataModelDialogs::RegisterFeaDialog((typeCode), &::DataModelDialogs::detail::CreateFeaDialog<Dlg>, #Dlg)

// Registers the class (default-constructible, derived from the slot's interface) that fills
// one of the factory's fixed slots. Use at namespace scope.
#define ORV_REGISTER_FACTORY_SLOT(slot, Class)                                                 \
    [[maybe_unused]] static const bool ORV_REGISTRY_CONCAT(orvFactorySlotRegistered_, __COUNTER__) = \
        ::DataModelDialogs::RegisterFactorySlot((slot), ::DataModelDialogs::detail::MakeSlotProvider<(slot), Class>(), \
                                                #Class)
