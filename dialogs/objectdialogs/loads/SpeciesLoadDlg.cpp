#include "dialogs/objectdialogs/loads/SpeciesLoadDlg.h"

#include <array>

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "host/model/DbDesignScenario.h"
#include "platform/win/Utf8.h"

namespace DataModelDialogs {
namespace {

DialogDeclaration Declare(const SpeciesLoadRow& row) {
    DialogDeclaration d;
    if (row.descriptionFirst) d.fields.push_back(Description());
    d.fields.push_back(ComboDataOrNone(row.species, "species"));
    d.fields.push_back(Double(row.value, "value"));
    if (row.loadCurve) {
        d.fields.push_back(Curve(row.loadCurve, "loadCurve"));
        d.rules.push_back(SpinRange(row.loadCurveSpin, 1, 2147483646));
        d.curves.push_back({row.curveButton, row.loadCurve, kCurveKindMultiplier, row.curveTitle});
    }
    // Told after the load curve; the dialog then stays open on the value.
    if (row.refuseNegative) d.fields.push_back(Verify(row.value, "value").NotNegative(IDS_SCALAR_NEGATIVE_MAGNITUDE));
    return d;
}

const DialogDeclaration& SpeciesDeclaration(std::uint32_t typeCode) {
    static const auto declarations = [] {
        std::array<DialogDeclaration, std::size(kSpeciesLoads)> all;
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = Declare(kSpeciesLoads[i]);
        return all;
    }();
    return declarations[std::size_t(&FindSpeciesLoad(typeCode) - kSpeciesLoads)];
}

}  // namespace

SpeciesLoadDlg::SpeciesLoadDlg(CWnd* parent, std::uint32_t typeCode)
    : FeaObjectDialogBase(SpeciesDeclaration(typeCode), parent, typeCode) {}

void SpeciesLoadDlg::PrepareControls() {
    if (HWND combo = Control(FindSpeciesLoad(TypeCode()).species)) {
        ::SendMessage(combo, CB_RESETCONTENT, 0, 0);
        if (const auto* scenario = Context().editParameters.designScenario) {
            for (const auto& species : scenario->GetMassSpecies()) {
                const std::wstring name = orv::Utf8ToWide(species.GetName());
                const LRESULT index = ::SendMessage(combo, CB_ADDSTRING, 0, LPARAM(name.c_str()));
                if (index >= 0) ::SendMessage(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(species.GetId()));
            }
        }
    }
    FeaObjectDialogBase::PrepareControls();
}

ORV_REGISTER_FEA_DIALOG(SurfaceInitialConcentrationDlg::kTypeCode, SurfaceInitialConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(NodalInitialConcentrationDlg::kTypeCode, NodalInitialConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(PartAppliedConcentrationDlg::kTypeCode, PartAppliedConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(SurfaceAppliedConcentrationDlg::kTypeCode, SurfaceAppliedConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(NodalAppliedConcentrationDlg::kTypeCode, NodalAppliedConcentrationDlg);
ORV_REGISTER_FEA_DIALOG(PartMassGenerationDlg::kTypeCode, PartMassGenerationDlg);
ORV_REGISTER_FEA_DIALOG(SurfaceMassFluxDlg::kTypeCode, SurfaceMassFluxDlg);
ORV_REGISTER_FEA_DIALOG(NodalMassSourceDlg::kTypeCode, NodalMassSourceDlg);

}  // namespace DataModelDialogs
