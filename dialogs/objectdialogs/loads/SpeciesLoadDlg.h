#pragma once
// The mass-transport loads of one mass species: initial concentration (surfaces 181, nodes
// 182), applied concentration (parts 183, surfaces 184, nodes 185), part mass generation
// (186), surface mass flux (187) and nodal mass source (188). Each binds a species combo, a
// value and, where it has one, a load curve; they differ only in the controls of the row below.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/Curves.h"
#include "dialogs/resources/ScalarLoads.h"

namespace DataModelDialogs {

// The controls and strings of one species dialog; 0 where it has none.
struct SpeciesLoadRow {
    std::uint32_t typeCode;
    UINT species, value;
    UINT loadCurve = 0, loadCurveSpin = 0, curveButton = 0, curveTitle = 0;
    bool descriptionFirst = false;  // the nodal concentration dialogs exchange it first
    bool refuseNegative = false;    // mass generation and mass source
};

#define ORV_SPECIES_ROW(NAME, title) \
    IDC_##NAME##_SPECIES, IDC_##NAME##_VALUE, IDC_##NAME##_LOAD_CURVE, IDC_##NAME##_LOAD_CURVE_SPIN, IDC_##NAME##_CURVE, title
inline constexpr SpeciesLoadRow kSpeciesLoads[] = {
    {181, IDC_SURFACE_INITIAL_CONCENTRATION_SPECIES, IDC_SURFACE_INITIAL_CONCENTRATION_VALUE},
    {182, IDC_NODAL_INITIAL_CONCENTRATION_SPECIES, IDC_NODAL_INITIAL_CONCENTRATION_VALUE, 0, 0, 0, 0, true},
    {183, ORV_SPECIES_ROW(PART_APPLIED_CONCENTRATION, IDS_CURVE_TITLE_CONCENTRATION)},
    {184, ORV_SPECIES_ROW(SURFACE_APPLIED_CONCENTRATION, IDS_CURVE_TITLE_CONCENTRATION)},
    {185, ORV_SPECIES_ROW(NODAL_APPLIED_CONCENTRATION, IDS_CURVE_TITLE_CONCENTRATION), true},
    {186, ORV_SPECIES_ROW(PART_MASS_GENERATION, IDS_CURVE_TITLE_MASS_GENERATION), false, true},
    {187, ORV_SPECIES_ROW(SURFACE_MASS_FLUX, IDS_CURVE_TITLE_MASS_FLUX)},
    {188, ORV_SPECIES_ROW(NODAL_MASS_SOURCE, IDS_CURVE_TITLE_MASS_SOURCE), false, true},
};
#undef ORV_SPECIES_ROW

constexpr const SpeciesLoadRow& FindSpeciesLoad(std::uint32_t typeCode) {
    for (const SpeciesLoadRow& row : kSpeciesLoads)
        if (row.typeCode == typeCode) return row;
    return kSpeciesLoads[0];
}

class SpeciesLoadDlg : public FeaObjectDialogBase {
protected:
    SpeciesLoadDlg(CWnd* parent, std::uint32_t typeCode);
    // Fills the species combo with the scenario's mass species (name; item data: the id).
    void PrepareControls() override;
};

template <std::uint32_t Code>
class SpeciesLoad : public SpeciesLoadDlg {
public:
    static constexpr std::uint32_t kTypeCode = Code;
    static constexpr UINT IDC_SPECIES = FindSpeciesLoad(Code).species;
    static constexpr UINT IDC_VALUE = FindSpeciesLoad(Code).value;
    static constexpr UINT IDC_LOAD_CURVE = FindSpeciesLoad(Code).loadCurve;
    static constexpr UINT IDC_LOAD_CURVE_SPIN = FindSpeciesLoad(Code).loadCurveSpin;
    explicit SpeciesLoad(CWnd* parent = nullptr) : SpeciesLoadDlg(parent, Code) {}
};

using SurfaceInitialConcentrationDlg = SpeciesLoad<181>;
using NodalInitialConcentrationDlg = SpeciesLoad<182>;
using PartAppliedConcentrationDlg = SpeciesLoad<183>;
using SurfaceAppliedConcentrationDlg = SpeciesLoad<184>;
using NodalAppliedConcentrationDlg = SpeciesLoad<185>;
using PartMassGenerationDlg = SpeciesLoad<186>;
using SurfaceMassFluxDlg = SpeciesLoad<187>;
using NodalMassSourceDlg = SpeciesLoad<188>;

}  // namespace DataModelDialogs
