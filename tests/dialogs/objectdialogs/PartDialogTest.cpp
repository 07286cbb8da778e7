// The part dialogs driven as the host drives them: Reset, SetEditParameters, SetMode,
// AddFeaObject, ShowDialog, then FillNewObjectEntry or ApplyEditsToEntry.

#include <cstring>

#include "ObjectDialogTestSupport.h"
#include "dialogs/objectdialogs/loads/PartTemperatureDlg.h"
#include "host/model/ObjectRegistrar.h"
#include "platform/res/Resources.h"
#include "platform/win/Utf8.h"

namespace {

using namespace shelltest;
using DataModelDialogs::PartChargeDlg;
using DataModelDialogs::PartCurrentDlg;
using DataModelDialogs::PartTemperatureDlg;
using OrvDbRecord::DbFeaObject;

constexpr int kValue = PartTemperatureDlg::IDC_TEMPERATURE;
constexpr int kDescription = 1011;

std::wstring ResourceString(UINT id) {
    std::wstring s;
    orv::res::LoadStringResource(nullptr, id, s);
    return s;
}

class PartDialogTest : public ::testing::Test {
protected:
    PartDialogTest() { model.scenario.SetCurrentDisplayUnitSystemType(6); }

    DbFeaObject& AddTemperature(double magnitude, const char* description) {
        RURIVO_LOADS_V1_ENTRY entry;
        OrvDbRecord::ObjectRegistrar::GetRegistrar().GetFeaObject(111)->InitFemStruct(entry);
        entry.SetF64(272, magnitude);
        entry.SetText(12, 256, description);
        return model.scenario.CreateFeaObject(111, entry, OrvDbRecord::GeometryKindOf(111), 2);
    }
    void Prepare(std::uint32_t mode, std::uint32_t count, std::initializer_list<DbFeaObject*> objects = {}) {
        dialog.Reset();
        DataModelDialogs::FeaObjectEditParameters parameters;
        parameters.designScenario = &model.scenario;
        parameters.objectCount = count;
        dialog.SetEditParameters(parameters);
        dialog.SetMode(mode);
        for (DbFeaObject* object : objects) dialog.AddFeaObject(object);
    }
    std::uint32_t Show(std::uint32_t code = 0) {
        orv::win::DriverScope scope(&driver);
        return dialog.ShowDialog(code);
    }
    double Display(double model35) const {
        return model.scenario.GetCurrentDisplayUnitSystem().ConvertUnits(model35, 35);
    }
    double Model(double display35) const {
        return model.scenario.GetCurrentDisplayUnitSystem().ReverseConvertUnits(display35, 35);
    }

    SampleModel model;
    StepDriver driver;
    PartTemperatureDlg dialog;
};

TEST_F(PartDialogTest, CreatingOneObjectTakesTheEditsAndThePrototypesHeaderAndRemainder) {
    Prepare(0, 1);
    std::wstring title;
    driver.Then([&] {
        title = Title();
        Type(kValue, L"300");
        Type(kDescription, L"Hot part");
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(title, L"Creating 1 Temperature Object");

    RURIVO_LOADS_V1_ENTRY entry;
    std::memset(entry.data(), 0x5A, entry.size());
    ASSERT_EQ(dialog.FillNewObjectEntry(&model.scenario, nullptr, &entry), 0);
    RURIVO_LOADS_V1_ENTRY prototype;
    DbFeaObject* proto = OrvDbRecord::ObjectRegistrar::GetRegistrar().GetFeaObject(111);
    proto->SetCreationContext(&model.scenario);
    proto->InitFemStruct(prototype);
    proto->Reset();
    EXPECT_DOUBLE_EQ(entry.GetF64(272), Model(300));
    EXPECT_EQ(entry.GetText(12, 256), "Hot part");
    EXPECT_EQ(std::memcmp(entry.data(), prototype.data(), 12), 0);
    EXPECT_EQ(std::memcmp(entry.data() + 524, prototype.data() + 524, 264), 0);
}

TEST_F(PartDialogTest, ModifyingTwoThatDifferInTheDescriptionKeepsEachDescription) {
    DbFeaObject& a = AddTemperature(Model(20), "first");
    DbFeaObject& b = AddTemperature(Model(20), "second");
    Prepare(1, 2, {&a, &b});
    std::wstring title, description, shownValue;
    bool descriptionEnabled = true;
    driver.Then([&] {
        title = Title();
        description = Text(kDescription);
        descriptionEnabled = View(kDescription).enabled;
        shownValue = Text(kValue);
        Type(kValue, L"75");
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(title, L"Modifying 2 Temperature Objects");
    EXPECT_EQ(description, L"");
    EXPECT_FALSE(descriptionEnabled);
    EXPECT_EQ(shownValue, L"20");
    ASSERT_EQ(dialog.GetEntries().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        RURIVO_LOADS_V1_ENTRY record = dialog.GetEntries()[i];
        EXPECT_EQ(dialog.ApplyEditsToEntry(&record), 0);
        EXPECT_DOUBLE_EQ(record.GetF64(272), Model(75));
        EXPECT_EQ(record.GetText(12, 256), i == 0 ? "first" : "second");
    }
}

TEST_F(PartDialogTest, AValueOutsideTheUnboundedRangeIsRefusedAndTheDialogStaysOpen) {
    Prepare(0, 1);
    std::wstring box;
    bool stillOpen = false, focused = false;
    driver.Then([] { Type(kValue, L"2e300"); })
        .Then([] { Click(IDOK); })
        .Then([&] {
            box = MessageText();
            Click(IDOK);
        })
        .Then([&] {
            stillOpen = Title() == L"Creating 1 Temperature Object";
            focused = View(kValue).focused;
            Click(IDCANCEL);
        });
    EXPECT_EQ(Show(), 1u);
    CString expected;
    AfxFormatString2(expected, 61715, L"-1e+300", L"1e+300");
    EXPECT_EQ(box, std::wstring(expected.GetString()));
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(focused);
}

struct TitleCase {
    const char* name;
    std::uint32_t mode, count;
    const wchar_t* title;
};
class TitleTest : public PartDialogTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(TitleTest, CaptionInsertsFollowModeAndCount) {
    Prepare(GetParam().mode, GetParam().count);
    std::wstring title;
    driver.Then([&] {
        title = Title();
        Click(IDCANCEL);
    });
    EXPECT_EQ(Show(), 1u);
    EXPECT_EQ(title, GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Rule, TitleTest,
                         ::testing::Values(TitleCase{"CreateOne", 0, 1, L"Creating 1 Temperature Object"},
                                           TitleCase{"CreateNone", 0, 0, L"Creating 0 Temperature Objects"},
                                           TitleCase{"ModifyTwo", 1, 2, L"Modifying 2 Temperature Objects"},
                                           TitleCase{"ModifyOne", 1, 1, L"Modifying 1 Temperature Object"},
                                           TitleCase{"ModeTwo", 2, 3, L"??? 3 Temperature Objects"},
                                           TitleCase{"Large", 0, 4000000000u, L"Creating 4000000000 Temperature Objects"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PartDialogTest, F1OverAControlShowsItsHelpStringAsAPopup) {
    Prepare(0, 1);
    driver.Then([] {
        Focus(kValue);
        ASSERT_TRUE(orv::win::input::PressKey(VK_F1));
    }).Then([] { Click(IDCANCEL); });
    orv::win::ClearRecords();
    EXPECT_EQ(Show(), 1u);
    ASSERT_FALSE(orv::win::HelpRequests().empty());
    const orv::win::HelpRequest& help = orv::win::HelpRequests().back();
    EXPECT_EQ(help.command, UINT(HH_DISPLAY_TEXT_POPUP));
    EXPECT_EQ(help.popupText, ResourceString(kValue));
    EXPECT_FALSE(help.popupText.empty());
}

TEST_F(PartDialogTest, DescriptionLongerThanTheFieldIsCutAtACharacterBoundary) {
    Prepare(0, 1);
    std::wstring longText(200, L'\u00e9');  // 400 UTF-8 bytes
    driver.Then([&] { Type(kDescription, longText); }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    const std::string stored = dialog.GetEditedEntry().GetText(12, 256);
    EXPECT_EQ(stored.size(), 254u);  // 127 characters of two bytes; 255 would split one
    EXPECT_EQ(orv::Utf8ToWide(stored), std::wstring(127, L'\u00e9'));
    EXPECT_EQ(dialog.GetEditedEntry().bytes[12 + 254], 0);
}

TEST_F(PartDialogTest, ReopeningWithResumeCodeOneKeepsThePreviousEdits) {
    Prepare(0, 1);
    driver.Then([] { Type(kValue, L"42"); }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    std::wstring shown;
    driver.Then([&] {
        shown = Text(kValue);
        Click(IDCANCEL);
    });
    EXPECT_EQ(Show(1), 1u);
    EXPECT_EQ(shown, L"42");
    driver.Then([&] {
        shown = Text(kValue);
        Click(IDCANCEL);
    });
    EXPECT_EQ(Show(0), 1u);  // a fresh run starts from the prototype again
    EXPECT_NE(shown, L"42");
}

TEST_F(PartDialogTest, ResetForgetsEverything) {
    DbFeaObject& a = AddTemperature(1.0, "a");
    Prepare(1, 1, {&a});
    dialog.SetPickedValue(3);
    dialog.SetPickedVector(1, 2, 3);
    driver.Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_FALSE(dialog.GetEntries().empty());
    dialog.Reset();
    EXPECT_TRUE(dialog.GetFeaObjects().empty());
    EXPECT_TRUE(dialog.GetGeometries().empty());
    EXPECT_TRUE(dialog.GetEntries().empty());
    EXPECT_EQ(dialog.GetMode(), 0u);
    EXPECT_EQ(dialog.GetPickedValue(), 0.0);
    EXPECT_EQ(dialog.GetPickedVector()[2], 0.0);
    EXPECT_EQ(dialog.GetEditParameters().designScenario, nullptr);
    EXPECT_TRUE(dialog.Context().consistentFields.empty());
    RURIVO_LOADS_V1_ENTRY zero;
    EXPECT_EQ(std::memcmp(dialog.GetEditedEntry().data(), zero.data(), zero.size()), 0);
    EXPECT_EQ(dialog.GetTypeCode(), 111u);
    EXPECT_EQ(dialog.GetMaxObjectCount(), UINT64_MAX);
}

TEST_F(PartDialogTest, AddFeaObjectAddsItsGeometry) {
    DbFeaObject& a = AddTemperature(1.0, "a");
    Prepare(1, 1, {&a});
    ASSERT_EQ(dialog.GetGeometries().size(), 1u);
    EXPECT_EQ(dialog.GetGeometries()[0], a.GetGeometry());
}

TEST_F(PartDialogTest, ChargeAndCurrentShowTheirOwnUnits) {
    for (int which = 0; which < 2; ++which) {
        std::unique_ptr<DataModelDialogs::FeaObjectDialogBase> d;
        if (which == 0) d = std::make_unique<PartChargeDlg>();
        else d = std::make_unique<PartCurrentDlg>();
        const int edit = which == 0 ? PartChargeDlg::IDC_CHARGE_DENSITY : PartCurrentDlg::IDC_CURRENT_DENSITY;
        const int unit = which == 0 ? 53 : 68;
        DataModelDialogs::FeaObjectEditParameters parameters;
        parameters.designScenario = &model.scenario;
        parameters.objectCount = 1;
        d->SetEditParameters(parameters);
        std::wstring title, label;
        driver.Then([&] {
            title = Title();
            HWND next = ::GetWindow(Ctl(edit), GW_HWNDNEXT);
            label = ::GetWindowTextString(next);
            Type(edit, L"2");
        }).Then([] { Click(IDOK); });
        orv::win::DriverScope scope(&driver);
        ASSERT_EQ(d->ShowDialog(0), 0u);
        EXPECT_EQ(title, which == 0 ? L"Creating 1 Charge Density Object" : L"Creating 1 Current Density Object");
        EXPECT_EQ(label, model.scenario.GetCurrentDisplayUnitSystem().GetDisplayableUnitText(unit));
        EXPECT_DOUBLE_EQ(d->GetEditedEntry().GetF64(272),
                         model.scenario.GetCurrentDisplayUnitSystem().ReverseConvertUnits(2, unit));
        EXPECT_EQ(d->GetTypeCode(), which == 0 ? 174u : 173u);
    }
}

}  // namespace

#include "dialogs/factory/DialogRegistry.h"

namespace {

TEST(PartDialogRegistration, EachTypeCodeCreatesItsDialog) {
    EXPECT_TRUE(DataModelDialogs::RegistrationProblems().empty());
    for (std::uint32_t code : {111u, 174u, 173u}) {
        auto creator = DataModelDialogs::FindFeaDialogCreator(code);
        ASSERT_NE(creator, nullptr) << code;
        std::unique_ptr<DataModelDialogs::FeaObjectPropertiesImplDlg> dialog(creator(nullptr));
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->TypeCode(), code);
        EXPECT_FALSE(dialog->IsModeless());
        auto* face = dynamic_cast<DataModelDialogs::AFeaObjectPropertiesDialog*>(dialog->GetPropertiesDialog());
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->GetTypeCode(), code);
    }
}

}  // namespace
