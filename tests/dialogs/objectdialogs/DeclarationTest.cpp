// Every declared dialog agrees with its record layout and its template, and the check that
// says so finds what disagrees.

#include <memory>

#include <gtest/gtest.h>

#include "dialogs/controls/ResourceModule.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "ObjectDialogTestSupport.h"
#include "platform/res/Resources.h"

using namespace DataModelDialogs;

TEST(DeclarationTest, EveryDeclaredDialogAgreesWithItsRecordAndTemplate) {
    int declared = 0;
    for (const ServedFeaDialog& row : kServedFeaDialogs) {
        const FeaDialogCreator create = FindFeaDialogCreator(row.typeCode);
        if (!create) continue;
        std::unique_ptr<FeaObjectPropertiesImplDlg> dialog(create(nullptr));
        auto* base = dynamic_cast<FeaObjectDialogBase*>(dialog.get());
        if (!base || !base->Declaration()) continue;
        ++declared;
        const orv::res::DialogTemplate* t = orv::res::FindDialogTemplate(GetLibraryModule(), row.templateId);
        ASSERT_NE(t, nullptr) << row.className;
        for (const std::string& problem : DeclarationProblems(*base->Declaration(), row.typeCode, *t))
            ADD_FAILURE() << row.className << ": " << problem;
    }
    EXPECT_GE(declared, 15);
}

TEST(DeclarationTest, TheCheckNamesUnknownFieldsWrongTypesAndMissingControls) {
    orv::res::DialogTemplate t;
    t.id = 9;
    t.items.push_back({L"Edit", L"", 1031});
    t.items.push_back({L"Button", L"Box", 1040});
    const DialogDeclaration declaration{
        .fields = {Double(1031, "magnitude"), Double(1031, "magnitud"), Check(1031, "magnitude"), Double(1032, "magnitude")},
        .rules = {EnableWhile({1033}, Checked(1040))},
    };
    const auto problems = DeclarationProblems(declaration, 111, t);
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], "field \"magnitud\": not in the record of type code 111");
    EXPECT_EQ(problems[1], "field \"magnitude\": a f64 field cannot be bound so");
    EXPECT_EQ(problems[2], "field \"magnitude\": control 1031 is not of class Button");
    EXPECT_EQ(problems[3], "field \"magnitude\": control 1032 is not in template 9");
    EXPECT_EQ(problems[4], "rule: control 1033 is not in template 9");
}

// A declared direction: the radios write their vectors, the selector's pick comes back into
// the fields, a zero vector is refused and the record keeps the unit vector.
namespace {

using namespace shelltest;

const DialogDeclaration kDirection{
    .fields = {Double(1008, "magnitude"),
               Vector(1120, 1121, 1122, "directionX")
                   .Radios(1130, 1131, 1132, 1133)
                   .RefuseZero()
                   .Selector(1126, kPickDirection)},
};

class DirectionDialog : public FeaObjectDialogBase {
public:
    explicit DirectionDialog(const orv::res::DialogTemplate& t) : FeaObjectDialogBase(kDirection, nullptr, 35), t_(t) {
        InitModalIndirect(&t_);
    }

private:
    orv::res::DialogTemplate t_;
};

}  // namespace

TEST(DeclarationTest, ADeclaredDirectionRoundTripsThroughRadiosPicksAndChecks) {
    TemplateBuilder b(L"%1 %2!ld! Direction %3", 260, 150);
    b.Edit(1008, 10, 10).Edit(1120, 10, 58).Edit(1121, 10, 72).Edit(1122, 10, 86);
    b.Radio(1130, 80, 58, true).Radio(1131, 80, 70, false).Radio(1132, 80, 82, false).Radio(1133, 80, 94, false);
    b.Button(1126, L"&Vector Selector...", 150, 58).Edit(1011, 150, 80).OkCancel();
    DirectionDialog dialog(b.t);
    SampleModel model;
    model.scenario.UseModelUnitSystemForDisplay();
    FeaObjectEditParameters parameters;
    parameters.designScenario = &model.scenario;
    parameters.objectCount = 1;
    dialog.Reset();
    dialog.SetEditParameters(parameters);
    dialog.SetMode(0);
    StepDriver driver;
    driver.Then([] { Type(1008, L"5"); }).Then([] { Click(1126); });
    {
        orv::win::DriverScope scope(&driver);
        ASSERT_EQ(dialog.ShowDialog(0), kPickDirection);
    }
    dialog.SetPickedVector(0, 0, 3);
    std::wstring picked, afterZ, message;
    StepDriver resumed;
    resumed.Then([&] {
        picked = Text(1120) + L"," + Text(1121) + L"," + Text(1122);
        Click(1132);
    }).Then([&] {
        afterZ = Text(1120) + L"," + Text(1121) + L"," + Text(1122);
        Click(1133);
    }).Then([] {
        Type(1120, L"0");
        Type(1122, L"0");
    }).Then([] { Click(IDOK); }).Then([&] {
        message = MessageText();
        Click(IDOK);
    }).Then([] {
        Type(1120, L"3");
        Type(1122, L"4");
    }).Then([] { Click(IDOK); });
    {
        orv::win::DriverScope scope(&resumed);
        ASSERT_EQ(dialog.ShowDialog(kPickDirection), 0u);
    }
    EXPECT_EQ(picked, L"0,0,3");
    EXPECT_EQ(afterZ, L"0,0,1");
    EXPECT_NE(message.find(L"The specified vector is invalid."), std::wstring::npos);
    const auto& edited = dialog.GetEditedEntry();
    EXPECT_EQ(edited.GetF64(272), 5.0);
    EXPECT_DOUBLE_EQ(edited.GetF64(280), 0.6);
    EXPECT_EQ(edited.GetF64(288), 0.0);
    EXPECT_DOUBLE_EQ(edited.GetF64(296), 0.8);
}
