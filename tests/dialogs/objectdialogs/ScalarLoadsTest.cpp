// The scalar load dialogs driven as the host drives them: registration by type code, the
// species combo of a scenario without species, the new heat generation object's load curve,
// the spin ranges and the Riks layout of the applied temperature dialog.

#include <cstring>
#include <memory>

#include "ObjectDialogTestSupport.h"
#include "components/Registration.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/objectdialogs/loads/AppliedTemperatureBaseDlg.h"
#include "dialogs/objectdialogs/loads/PartHeatGenerationDlg.h"
#include "dialogs/objectdialogs/loads/SpeciesLoadDlg.h"
#include "host/model/ObjectRegistrar.h"

namespace {

using namespace shelltest;
using DataModelDialogs::AFeaObjectPropertiesDialog;
using DataModelDialogs::FeaObjectDialogBase;

template <class Dialog>
struct HostRun {
    SampleModel model;
    StepDriver driver;
    Dialog dialog;

    // The expression edits evaluate through the evaluator component, as in the host.
    HostRun() { RegisterOrvComponents(); }

    void Prepare(std::uint32_t mode, std::uint32_t count, std::initializer_list<OrvDbRecord::DbFeaObject*> objects = {}) {
        model.scenario.UseModelUnitSystemForDisplay();
        dialog.Reset();
        DataModelDialogs::FeaObjectEditParameters parameters;
        parameters.designScenario = &model.scenario;
        parameters.objectCount = count;
        dialog.SetEditParameters(parameters);
        dialog.SetMode(mode);
        for (auto* object : objects) dialog.AddFeaObject(object);
    }
    std::uint32_t Show() {
        orv::win::DriverScope scope(&driver);
        return dialog.ShowDialog(0);
    }
    RURIVO_LOADS_V1_ENTRY NewEntry() {
        RURIVO_LOADS_V1_ENTRY entry;
        EXPECT_EQ(dialog.FillNewObjectEntry(&model.scenario, nullptr, &entry), 0);
        return entry;
    }
};

TEST(ScalarLoadRegistration, EachTypeCodeCreatesItsModalDialog) {
    EXPECT_TRUE(DataModelDialogs::RegistrationProblems().empty());
    for (std::uint32_t code : {29u, 40u, 112u, 176u, 181u, 182u, 183u, 184u, 185u, 186u, 187u, 188u}) {
        auto creator = DataModelDialogs::FindFeaDialogCreator(code);
        ASSERT_NE(creator, nullptr) << code;
        std::unique_ptr<DataModelDialogs::FeaObjectPropertiesImplDlg> dialog(creator(nullptr));
        ASSERT_NE(dialog, nullptr) << code;
        EXPECT_EQ(dialog->TypeCode(), code);
        EXPECT_FALSE(dialog->IsModeless());
        auto* face = dynamic_cast<AFeaObjectPropertiesDialog*>(dialog->GetPropertiesDialog());
        ASSERT_NE(face, nullptr) << code;
        EXPECT_EQ(face->GetTypeCode(), code);
    }
}

TEST(SpeciesLoadDialogs, AScenarioWithoutSpeciesLeavesTheComboEmptyAndStoresMinusOne) {
    HostRun<DataModelDialogs::NodalMassSourceDlg> run;
    run.model.scenario.GetMassSpecies().Remove(1);
    run.model.scenario.GetMassSpecies().Remove(2);
    ASSERT_TRUE(run.model.scenario.GetMassSpecies().empty());
    run.Prepare(0, 1);
    int count = -1;
    run.driver.Then([&] {
        count = int(View(DataModelDialogs::NodalMassSourceDlg::IDC_SPECIES).items.size());
        Type(DataModelDialogs::NodalMassSourceDlg::IDC_VALUE, L"2");
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(run.Show(), 0u);
    EXPECT_EQ(count, 0);
    const auto entry = run.NewEntry();
    EXPECT_EQ(entry.GetI32(272), -1);
    EXPECT_EQ(entry.GetF64(280), 2.0);
}

TEST(SpeciesLoadDialogs, TheLoadCurveSpinRunsFromOneToTheLargestCurve) {
    HostRun<DataModelDialogs::SurfaceMassFluxDlg> run;
    run.Prepare(0, 1);
    int lower = 0, upper = 0;
    run.driver.Then([&] {
        const auto view = View(DataModelDialogs::SurfaceMassFluxDlg::IDC_LOAD_CURVE_SPIN);
        lower = view.rangeMin;
        upper = view.rangeMax;
    }).Then([] { Click(IDCANCEL); });
    ASSERT_EQ(run.Show(), 1u);
    EXPECT_EQ(lower, 1);
    EXPECT_EQ(upper, 2147483646);
}

TEST(PartHeatGeneration, ANewObjectGetsLoadCurveOneButAModifiedOneKeepsZero) {
    HostRun<DataModelDialogs::PartHeatGenerationDlg> run;
    run.Prepare(0, 1);
    std::wstring shown;
    run.driver.Then([&] { shown = Text(DataModelDialogs::PartHeatGenerationDlg::IDC_LOAD_CURVE); }).Then([] {
        Click(IDOK);
    });
    ASSERT_EQ(run.Show(), 0u);
    EXPECT_EQ(shown, L"1");
    EXPECT_EQ(run.NewEntry().GetI32(284), 1);

    RURIVO_LOADS_V1_ENTRY entry = run.NewEntry();
    entry.SetI32(284, 0);
    auto& object = run.model.scenario.CreateFeaObject(176, entry, OrvDbRecord::GeometryKindOf(176), 1);
    run.Prepare(1, 1, {&object});
    run.driver.Then([&] { shown = Text(DataModelDialogs::PartHeatGenerationDlg::IDC_LOAD_CURVE); }).Then([] {
        Click(IDCANCEL);
    });
    ASSERT_EQ(run.Show(), 1u);
    EXPECT_EQ(shown, L"0");
}

TEST(AppliedTemperature, TheSpinRangeIsSetWhileVaryingWithTime) {
    HostRun<DataModelDialogs::NodalAppliedTemperatureDlg> run;
    run.model.scenario.SetAnalysisType(4);
    run.Prepare(0, 1);
    int upper = 0;
    run.driver.Then([] { Click(DataModelDialogs::AppliedTemperatureBaseDlg::IDC_VARIES_WITH_TIME); }).Then([&] {
        upper = View(DataModelDialogs::AppliedTemperatureBaseDlg::IDC_LOAD_CURVE_SPIN).rangeMax;
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(run.Show(), 0u);
    EXPECT_EQ(upper, 32767);
    EXPECT_EQ(run.NewEntry().GetFlag(308), true);
}

TEST(AppliedTemperature, RiksHidesTheLoadCurveRowAndClosesTheGap) {
    using Dlg = DataModelDialogs::AppliedTemperatureBaseDlg;
    auto measure = [](bool riks, int& scaleTop, int& curveTop, int& okTop, int& height) {
        HostRun<DataModelDialogs::SurfaceAppliedTemperatureDlg> run;
        run.model.scenario.SetAnalysisType(4);
        run.model.scenario.SetRiksAnalysis(riks);
        run.Prepare(0, 1);
        run.driver.Then([&] {
            scaleTop = View(Dlg::IDC_SCALE).windowRect.top;
            curveTop = View(Dlg::IDC_LOAD_CURVE).windowRect.top;
            okTop = View(IDOK).windowRect.top;
            const auto window = orv::win::Inspect(Modal()).windowRect;
            height = window.bottom - window.top;
            EXPECT_EQ(View(Dlg::IDC_LOAD_CURVE).visible, !riks);
            EXPECT_EQ(View(Dlg::IDC_TIMES_SCALE).visible, !riks);
            EXPECT_TRUE(View(Dlg::IDC_SCALE).visible);
        }).Then([] { Click(IDCANCEL); });
        EXPECT_EQ(run.Show(), 1u);
    };
    int scale = 0, curve = 0, ok = 0, height = 0, riksScale = 0, riksCurve = 0, riksOk = 0, riksHeight = 0;
    measure(false, scale, curve, ok, height);
    measure(true, riksScale, riksCurve, riksOk, riksHeight);
    const int row = scale - curve;
    ASSERT_GT(row, 0);
    EXPECT_EQ(riksScale, curve);
    EXPECT_EQ(riksOk, ok - row);
    EXPECT_EQ(riksHeight, height - row);
}

TEST(AppliedTemperature, AnOutOfRangeLoadCurveIsRefusedUnlessRiksHidesIt) {
    for (bool riks : {false, true}) {
        HostRun<DataModelDialogs::NodalAppliedTemperatureDlg> run;
        run.model.scenario.SetAnalysisType(4);
        run.model.scenario.SetRiksAnalysis(riks);
        RURIVO_LOADS_V1_ENTRY entry;
        OrvDbRecord::ObjectRegistrar::GetRegistrar().GetFeaObject(29)->InitFemStruct(entry);
        entry.SetF64(280, 1.0);
        entry.SetF64(288, 1.0);
        entry.SetI32(304, 40000);
        entry.SetFlag(308, true);
        auto& object = run.model.scenario.CreateFeaObject(29, entry, OrvDbRecord::GeometryKindOf(29), 1);
        run.Prepare(1, 1, {&object});
        std::wstring message;
        run.driver.Then([] { Click(IDOK); }).Then([&] {
            if (IsMessageBox()) {
                message = MessageText();
                Click(IDOK);
            }
        });
        if (!riks) run.driver.Then([] { Click(IDCANCEL); });
        EXPECT_EQ(run.Show(), riks ? 0u : 1u) << riks;
        EXPECT_EQ(message.empty(), riks) << riks;
    }
}

}  // namespace
