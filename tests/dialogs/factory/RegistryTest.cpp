// The registration tables as the library's dialog families fill them.
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/factory/DataModelDialogFactory.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"

namespace DataModelDialogs {
namespace {

TEST(RegistryTest, EveryRegistrationOfTheLibraryWasAccepted) {
    const auto problems = RegistrationProblems();
    for (const auto& p : problems) ADD_FAILURE() << p;
}

TEST(RegistryTest, ServedTableIsAscendingWithinTheDenseRange) {
    std::uint32_t previous = 0;
    for (const ServedFeaDialog& row : kServedFeaDialogs) {
        EXPECT_GT(row.typeCode, previous);
        EXPECT_GE(row.typeCode, kFirstFeaTypeCode);
        EXPECT_LE(row.typeCode, kLastFeaTypeCode);
        previous = row.typeCode;
        EXPECT_EQ(FindServedFeaDialog(row.typeCode), &row);
        EXPECT_EQ(row.modeless, row.typeCode == 120) << row.className;
    }
    EXPECT_EQ(std::size(kServedFeaDialogs), 34u);
}

TEST(RegistryTest, LookupIsNullOutsideTheServedCodes) {
    std::set<std::uint32_t> served;
    for (const ServedFeaDialog& row : kServedFeaDialogs) served.insert(row.typeCode);
    for (std::uint32_t code = 0; code < 300; ++code) {
        if (!served.count(code)) {
            EXPECT_EQ(FindFeaDialogCreator(code), nullptr) << code;
            EXPECT_EQ(FindServedFeaDialog(code), nullptr) << code;
        }
    }
    EXPECT_EQ(FindFeaDialogCreator(0xFFFFFFFF), nullptr);
}

FeaObjectPropertiesImplDlg* NeverCalled(CWnd*) { return nullptr; }

TEST(RegistryTest, RefusesUnservedCodesAndSecondRegistrations) {
    const std::size_t before = RegistrationProblems().size();
    EXPECT_FALSE(RegisterFeaDialog(27, &NeverCalled, "NotServedDlg"));
    EXPECT_FALSE(RegisterFeaDialog(189, &NeverCalled, "NotServedDlg"));
    EXPECT_FALSE(RegisterFeaDialog(111, nullptr, "NoCreatorDlg"));
    EXPECT_EQ(FindFeaDialogCreator(27), nullptr);
    // A served code registered twice keeps its first creator.
    const FeaDialogCreator first = FindFeaDialogCreator(188);
    if (first) {
        EXPECT_FALSE(RegisterFeaDialog(188, &NeverCalled, "SecondDlg"));
        EXPECT_EQ(FindFeaDialogCreator(188), first);
    } else {
        EXPECT_TRUE(RegisterFeaDialog(188, &NeverCalled, "FirstDlg"));
        EXPECT_FALSE(RegisterFeaDialog(188, &NeverCalled, "SecondDlg"));
        EXPECT_EQ(FindFeaDialogCreator(188), &NeverCalled);
    }
    const auto problems = RegistrationProblems();
    ASSERT_EQ(problems.size(), before + 4);
    EXPECT_EQ(problems[before], "type code 27 (NotServedDlg): not a served type code");
    EXPECT_EQ(problems[before + 3].find("type code 188 (SecondDlg): registered twice"), 0u);
}

// The presentation options of the units dialog, reset on every request, in this order.
TEST(RegistryTest, UnitsPresentationResetOrder) {
    struct Units {
        std::vector<std::string> calls;
        void SetChangeConfirmed(bool v) { calls.push_back(std::string("changeConfirmed=") + (v ? "1" : "0")); }
        void SetRequireUnitSystem(bool v) { calls.push_back(std::string("requireUnitSystem=") + (v ? "1" : "0")); }
        void SetShowDescription(bool v) { calls.push_back(std::string("showDescription=") + (v ? "1" : "0")); }
        void SetDescription(const CString& text) { calls.push_back("description=" + std::string(text.IsEmpty() ? "" : "?")); }
        void SetShowAddToTree(bool v) { calls.push_back(std::string("showAddToTree=") + (v ? "1" : "0")); }
        void SetAddToTree(bool v) { calls.push_back(std::string("addToTree=") + (v ? "1" : "0")); }
    } units;
    detail::ResetUnitsPresentation(&units);
    EXPECT_EQ(units.calls, (std::vector<std::string>{"changeConfirmed=0", "requireUnitSystem=1", "showDescription=0",
                                                     "description=", "showAddToTree=0", "addToTree=0"}));
}

// The library's own dialogs, once their family registers them, come from the factory with
// the type code they were asked for.
TEST(RegistryTest, RegisteredDialogsComeFromTheFactoryWithTheirTypeCode) {
    DataModelDialogFactory factory;
    int served = 0;
    for (const ServedFeaDialog& row : kServedFeaDialogs) {
        if (row.typeCode == 188 || !FindFeaDialogCreator(row.typeCode)) continue;
        ++served;
        AFeaObjectPropertiesDialogBase* dialog = factory.GetFeaObjectPropertiesDialog(row.typeCode, nullptr, row.modeless);
        ASSERT_NE(dialog, nullptr) << row.className;
        EXPECT_EQ(factory.CachedDialog(row.typeCode)->TypeCode(), row.typeCode) << row.className;
        EXPECT_EQ(factory.GetFeaObjectPropertiesDialog(row.typeCode, nullptr, !row.modeless), nullptr);
        if (auto* modal = dynamic_cast<AFeaObjectPropertiesDialog*>(dialog)) {
            EXPECT_EQ(modal->GetTypeCode(), row.typeCode);
        }
    }
    RecordProperty("served", served);
}

}  // namespace
}  // namespace DataModelDialogs
