// Every declared dialog agrees with its record layout and its template, and the check that
// says so finds what disagrees.

#include <memory>

#include <gtest/gtest.h>

#include "dialogs/controls/ResourceModule.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
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
