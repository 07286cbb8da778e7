// A load dialog's expression edits when the expression evaluator component is not registered:
// plain numbers still reach the record; an expression is refused at OK and kept for correcting.

#include "ObjectDialogTestSupport.h"
#include "components/Registration.h"
#include "components/interfaces/IExpressionEvaluator.h"
#include "dialogs/objectdialogs/loads/PartHeatGenerationDlg.h"
#include "platform/com/ClassRegistry.h"

namespace {

using namespace shelltest;
using Dlg = DataModelDialogs::PartHeatGenerationDlg;

class EvaluatorMissingTest : public ::testing::Test {
protected:
    EvaluatorMissingTest() {
        RegisterOrvComponents();
        orv::com::UnregisterClass(CLSID_ExpressionEvaluator);
        model.scenario.UseModelUnitSystemForDisplay();
        dialog.Reset();
        DataModelDialogs::FeaObjectEditParameters parameters;
        parameters.designScenario = &model.scenario;
        parameters.objectCount = 1;
        dialog.SetEditParameters(parameters);
        dialog.SetMode(0);
    }
    ~EvaluatorMissingTest() override { RegisterOrvComponents(); }
    std::uint32_t Show() {
        orv::win::DriverScope scope(&driver);
        return dialog.ShowDialog(0);
    }
    double Stored() {
        RURIVO_LOADS_V1_ENTRY entry;
        EXPECT_EQ(dialog.FillNewObjectEntry(&model.scenario, nullptr, &entry), 0);
        return entry.GetF64(272);
    }

    SampleModel model;
    StepDriver driver;
    Dlg dialog;
};

TEST_F(EvaluatorMissingTest, APlainNumberReachesTheRecord) {
    driver.Then([] { Type(int(Dlg::IDC_HEAT_GENERATION), L"2500"); }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(Stored(), 2500.0);
}

TEST_F(EvaluatorMissingTest, AnExpressionIsRefusedAtOkAndKeptForCorrecting) {
    std::wstring message, kept;
    int focus = 0;
    driver.Then([] { Type(int(Dlg::IDC_HEAT_GENERATION), L"2*3"); })
        .Then([] { Click(IDOK); })
        .Then([&] {
            if (IsMessageBox()) {
                message = MessageText();
                Click(IDOK);
            }
        })
        .Then([&] {
            kept = Text(int(Dlg::IDC_HEAT_GENERATION));
            focus = ::GetDlgCtrlID(::GetFocus());
            Type(int(Dlg::IDC_HEAT_GENERATION), L"6");
        })
        .Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(message, L"Enter a number.");
    EXPECT_EQ(kept, L"2*3");
    EXPECT_EQ(focus, int(Dlg::IDC_HEAT_GENERATION));
    EXPECT_EQ(Stored(), 6.0);
}

}  // namespace
