// The record binding's rules, on a test dialog over FeaObjectDialogBase: registration and the
// multiple-selection check, write-back of consistent fields and flag masks, vectors and their
// radios, pick requests and resuming, the message target.

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ObjectDialogTestSupport.h"
#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "host/model/ObjectRegistrar.h"
#include "platform/res/Resources.h"

namespace {

using namespace shelltest;
using DataModelDialogs::FeaObjectDialogBase;
using DataModelDialogs::VectorGroup;
using OrvDbRecord::DbFeaObject;

constexpr UINT kDouble = 1101, kInt = 1102, kFlagA = 1103, kFlagB = 1104;
constexpr UINT kX = 1111, kY = 1112, kZ = 1113;
constexpr UINT kRadioX = 1121, kRadioY = 1122, kRadioZ = 1123, kRadioCustom = 1124, kRadioNormal = 1125;
constexpr UINT kSelector = 1126;
constexpr std::size_t kDoubleOffset = 272, kIntOffset = 304, kFlagOffset = 312;
constexpr std::size_t kXOffset = 320, kYOffset = 328, kZOffset = 336;
constexpr std::uint32_t kTypeCode = 35;

class BindingDialog : public FeaObjectDialogBase {
public:
    explicit BindingDialog(const orv::res::DialogTemplate& t) : FeaObjectDialogBase(0, nullptr, kTypeCode), template_(t) {
        InitModalIndirect(&template_);
        group.x = kX, group.y = kY, group.z = kZ;
        group.xRadio = kRadioX, group.yRadio = kRadioY, group.zRadio = kRadioZ, group.customRadio = kRadioCustom;
        group.normalRadio = kRadioNormal;
        group.selector = kSelector;
        HandleCommandRange(kRadioX, kRadioNormal, BN_CLICKED, [this](UINT id) { OnDirectionRadio(group, id); });
        HandleCommand(kSelector, [this] { EndWithCode(DataModelDialogs::kPickDirection, {kX, kY, kZ}); });
    }
    void DoDataExchange(CDataExchange* dx) override {
        ExchangeDouble(dx, kDouble, Edited(), kDoubleOffset);
        ValidateRange(dx, kDouble, GetEditedEntry().GetF64(kDoubleOffset), -10.0, 10.0);
        ExchangeInt(dx, kInt, Edited(), kIntOffset);
        ExchangeFlagCheck(dx, kFlagA, Edited(), kFlagOffset, 0, 0x1);
        ExchangeFlagCheck(dx, kFlagB, Edited(), kFlagOffset, 0x4, 0x2);
        ExchangeVector(dx, group, Edited(), kXOffset, kYOffset, kZOffset, true, nonZero);
        FeaObjectDialogBase::DoDataExchange(dx);
    }
    void OnResume(std::uint32_t code) override {
        resumed = code;
        if (code == DataModelDialogs::kPickDirection)
            for (int i = 0; i < 3; ++i) GetEditedEntry().SetF64(kXOffset + 8 * std::size_t(i), GetPickedVector()[i]);
    }

    VectorGroup group;
    bool nonZero = true;
    std::uint32_t resumed = 0;

private:
    orv::res::DialogTemplate template_;
};

orv::res::DialogTemplate MakeTemplate() {
    TemplateBuilder b(L"%1 %2!ld! Binding %3", 260, 150);
    b.Edit(kDouble, 10, 10).Label(L"%U%1", 75, 12);
    b.Edit(kInt, 10, 26);
    b.Check(kFlagA, 10, 42).Check(kFlagB, 80, 42);
    b.Edit(kX, 10, 58).Edit(kY, 10, 72).Edit(kZ, 10, 86);
    b.Radio(kRadioX, 80, 58, true).Radio(kRadioY, 80, 70, false).Radio(kRadioZ, 80, 82, false);
    b.Radio(kRadioCustom, 80, 94, false).Radio(kRadioNormal, 80, 106, false);
    b.Button(kSelector, L"&Vector Selector...", 150, 58);
    b.Edit(1011, 150, 80);
    b.OkCancel();
    return b.t;
}

class BindingTest : public ::testing::Test {
protected:
    BindingTest() : dialog(MakeTemplate()) { model.scenario.UseModelUnitSystemForDisplay(); }

    DbFeaObject& Add(std::function<void(RURIVO_LOADS_V1_ENTRY&)> fill) {
        RURIVO_LOADS_V1_ENTRY entry;
        OrvDbRecord::ObjectRegistrar::GetRegistrar().GetFeaObject(kTypeCode)->InitFemStruct(entry);
        entry.SetF64(kDoubleOffset, 1.0);
        entry.SetI32(kIntOffset, 5);
        entry.SetU32(kIntOffset + 4, 0);
        entry.SetU32(kFlagOffset, 0);
        entry.SetF64(kXOffset, 0), entry.SetF64(kYOffset, 0), entry.SetF64(kZOffset, 1);
        fill(entry);
        return model.scenario.CreateFeaObject(kTypeCode, entry, OrvDbRecord::GeometryKindOf(kTypeCode), 1);
    }
    void Prepare(std::uint32_t mode, std::vector<DbFeaObject*> objects) {
        dialog.Reset();
        DataModelDialogs::FeaObjectEditParameters parameters;
        parameters.designScenario = &model.scenario;
        parameters.objectCount = std::uint32_t(objects.empty() ? 1 : objects.size());
        dialog.SetEditParameters(parameters);
        dialog.SetMode(mode);
        for (DbFeaObject* object : objects) dialog.AddFeaObject(object);
    }
    std::uint32_t Show(std::uint32_t code = 0) {
        orv::win::DriverScope scope(&driver);
        return dialog.ShowDialog(code);
    }
    std::vector<RURIVO_LOADS_V1_ENTRY> Applied() {
        std::vector<RURIVO_LOADS_V1_ENTRY> records = dialog.GetEntries();
        for (auto& record : records) EXPECT_EQ(dialog.ApplyEditsToEntry(&record), 0);
        return records;
    }

    SampleModel model;
    StepDriver driver;
    BindingDialog dialog;
};

TEST_F(BindingTest, OneObjectInModifyModeRegistersAndWritesEveryField) {
    DbFeaObject& a = Add([](auto&) {});
    Prepare(1, {&a});
    driver.Then([] {
        Type(kDouble, L"2.5");
        Type(kInt, L"9");
        Click(kFlagA);
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    const auto& fields = dialog.Context().consistentFields;
    ASSERT_TRUE(fields.count(kDoubleOffset));
    EXPECT_EQ(fields.at(kDoubleOffset).size, 8u);
    ASSERT_TRUE(fields.count(kIntOffset));
    EXPECT_EQ(fields.at(kIntOffset).size, 8u);  // the integer and the 4 bytes after it
    EXPECT_EQ(fields.at(kFlagOffset).mask, 0x1u | 0x2u | 0x4u);
    EXPECT_TRUE(fields.count(12));
    EXPECT_TRUE(dialog.Context().suppressedControls.empty());
    const auto records = Applied();
    EXPECT_EQ(records[0].GetF64(kDoubleOffset), 2.5);
    EXPECT_EQ(records[0].GetI32(kIntOffset), 9);
    EXPECT_EQ(records[0].GetU32(kFlagOffset), 0x1u | 0x4u);
}

TEST_F(BindingTest, FlagWordsThatDifferOutsideTheMasksKeepTheirOtherBits) {
    DbFeaObject& a = Add([](auto& e) { e.SetU32(kFlagOffset, 0x10); });
    DbFeaObject& b = Add([](auto& e) { e.SetU32(kFlagOffset, 0x20); });
    Prepare(1, {&a, &b});
    bool enabledA = false, enabledB = false;
    driver.Then([&] {
        enabledA = View(kFlagA).enabled;
        enabledB = View(kFlagB).enabled;
        Click(kFlagA);
        Click(kFlagB);
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_TRUE(enabledA);
    EXPECT_TRUE(enabledB);
    const auto records = Applied();
    EXPECT_EQ(records[0].GetU32(kFlagOffset), 0x10u | 0x1u | 0x2u);
    EXPECT_EQ(records[1].GetU32(kFlagOffset), 0x20u | 0x1u | 0x2u);
}

TEST_F(BindingTest, FlagBitsThatDifferSuppressTheBoxAndAreNeverWritten) {
    DbFeaObject& a = Add([](auto& e) { e.SetU32(kFlagOffset, 0x1); });
    DbFeaObject& b = Add([](auto& e) { e.SetU32(kFlagOffset, 0x0); });
    Prepare(1, {&a, &b});
    int check = -5;
    bool enabled = true, otherEnabled = false;
    driver.Then([&] {
        check = View(kFlagA).check;
        enabled = View(kFlagA).enabled;
        otherEnabled = View(kFlagB).enabled;
        Click(kFlagB);
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(check, BST_UNCHECKED);
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(otherEnabled);
    const auto records = Applied();
    EXPECT_EQ(records[0].GetU32(kFlagOffset), 0x1u | 0x2u);
    EXPECT_EQ(records[1].GetU32(kFlagOffset), 0x2u);
}

TEST_F(BindingTest, IntegersCompareEightBytesSoTheFollowingWordTakesPart) {
    DbFeaObject& a = Add([](auto& e) { e.SetU32(kIntOffset + 4, 1); });
    DbFeaObject& b = Add([](auto& e) { e.SetU32(kIntOffset + 4, 2); });
    Prepare(1, {&a, &b});
    std::wstring shown = L"?";
    bool enabled = true;
    driver.Then([&] {
        shown = Text(kInt);
        enabled = View(kInt).enabled;
        Type(kDouble, L"3");
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(shown, L"");
    EXPECT_FALSE(enabled);
    const auto records = Applied();
    EXPECT_EQ(records[0].GetU32(kIntOffset + 4), 1u);
    EXPECT_EQ(records[1].GetU32(kIntOffset + 4), 2u);
    EXPECT_EQ(records[0].GetF64(kDoubleOffset), 3.0);
    EXPECT_EQ(records[1].GetF64(kDoubleOffset), 3.0);
}

TEST_F(BindingTest, DoublesThatDifferInOneBitAreSuppressed) {
    DbFeaObject& a = Add([](auto& e) { e.SetF64(kDoubleOffset, 1.0); });
    DbFeaObject& b = Add([](auto& e) { e.SetF64(kDoubleOffset, std::nextafter(1.0, 2.0)); });
    Prepare(1, {&a, &b});
    bool enabled = true;
    driver.Then([&] {
        enabled = View(kDouble).enabled;
        Click(IDOK);
    });
    ASSERT_EQ(Show(), 0u);
    EXPECT_FALSE(enabled);
    const auto records = Applied();
    EXPECT_EQ(records[1].GetF64(kDoubleOffset), std::nextafter(1.0, 2.0));
}

TEST_F(BindingTest, CreateModeRegistersNothingAndCopiesBothBlocks) {
    Prepare(0, {});
    driver.Then([] {
        Type(kDouble, L"4");
        Click(IDOK);
    });
    ASSERT_EQ(Show(), 0u);
    EXPECT_TRUE(dialog.Context().consistentFields.empty());
    EXPECT_TRUE(dialog.Context().suppressedControls.empty());
    RURIVO_LOADS_V1_ENTRY entry;
    std::memset(entry.data(), 0x77, entry.size());
    dialog.ApplyEditsToEntry(&entry);
    EXPECT_EQ(entry.GetF64(kDoubleOffset), 4.0);
    EXPECT_EQ(entry.bytes[0], 0x77);
    EXPECT_EQ(entry.bytes[787], 0x77);
    EXPECT_EQ(std::memcmp(entry.data() + 12, dialog.GetEditedEntry().data() + 12, 512), 0);
}

TEST_F(BindingTest, AnyOtherModeWritesNothing) {
    Prepare(0, {});
    dialog.SetMode(2);
    RURIVO_LOADS_V1_ENTRY entry;
    std::memset(entry.data(), 0x33, entry.size());
    const RURIVO_LOADS_V1_ENTRY before = entry;
    dialog.ApplyEditsToEntry(&entry);
    EXPECT_EQ(std::memcmp(entry.data(), before.data(), entry.size()), 0);
}

struct VectorCase {
    const char* name;
    const wchar_t* x;
    const wchar_t* y;
    const wchar_t* z;
    double ex, ey, ez;
};
class VectorTest : public BindingTest, public ::testing::WithParamInterface<VectorCase> {};

TEST_P(VectorTest, SavingStoresTheUnitVector) {
    const VectorCase& c = GetParam();
    Prepare(0, {});
    driver.Then([&] {
        Click(kRadioCustom);
        Type(kX, c.x);
        Type(kY, c.y);
        Type(kZ, c.z);
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    const auto& e = dialog.GetEditedEntry();
    EXPECT_NEAR(e.GetF64(kXOffset), c.ex, 1e-15);
    EXPECT_NEAR(e.GetF64(kYOffset), c.ey, 1e-15);
    EXPECT_NEAR(e.GetF64(kZOffset), c.ez, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(
    Normalise, VectorTest,
    ::testing::Values(VectorCase{"AlongZ", L"0", L"0", L"3", 0, 0, 1},
                      VectorCase{"Diagonal", L"3", L"4", L"0", 0.6, 0.8, 0},
                      VectorCase{"Huge", L"1e200", L"1e200", L"0", std::sqrt(0.5), std::sqrt(0.5), 0},
                      VectorCase{"HugeAndTiny", L"1e300", L"0", L"-1e300", std::sqrt(0.5), 0, -std::sqrt(0.5)},
                      VectorCase{"Small", L"3e-12", L"0", L"-4e-12", 0.6, 0, -0.8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BindingTest, AZeroVectorIsRefusedWithStringOneTwentyEight) {
    Prepare(0, {});
    std::wstring box;
    bool focused = false;
    driver.Then([] {
        Click(kRadioCustom);
        Type(kX, L"0");
        Type(kY, L"1e-16");
        Type(kZ, L"0");
    })
        .Then([] { Click(IDOK); })
        .Then([&] {
            box = MessageText();
            Click(IDOK);
        })
        .Then([&] {
            focused = View(kX).focused;
            Click(IDCANCEL);
        });
    EXPECT_EQ(Show(), 1u);
    std::wstring expected;
    orv::res::LoadStringResource(nullptr, 128, expected);
    EXPECT_EQ(box, expected);
    EXPECT_TRUE(focused);
}

TEST_F(BindingTest, AZeroVectorWithNormalCheckedOrWithoutTheTestIsStoredAsIs) {
    Prepare(0, {});
    driver.Then([] { Click(kRadioNormal); }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(dialog.GetEditedEntry().GetF64(kZOffset), 0.0);

    Prepare(0, {});
    dialog.nonZero = false;
    driver.Then([] {
        Click(kRadioCustom);
        Type(kX, L"0");
        Type(kY, L"0");
        Type(kZ, L"0");
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(dialog.GetEditedEntry().GetF64(kXOffset), 0.0);
    EXPECT_EQ(dialog.GetEditedEntry().GetF64(kZOffset), 0.0);
}

TEST_F(BindingTest, DirectionRadiosWriteTheirVectorAndFollowTheTexts) {
    DbFeaObject& a = Add([](auto& e) { e.SetF64(kZOffset, 1); });
    Prepare(1, {&a});
    int zChecked = -1, xChecked = -1, customChecked = -1, normalChecked = -1;
    bool editsEnabled = true, customEnabled = false;
    std::wstring texts;
    driver.Then([&] {
        zChecked = View(kRadioZ).check;
        editsEnabled = View(kX).enabled;
        Click(kRadioX);
        xChecked = View(kRadioX).check;
        texts = Text(kX) + L"," + Text(kY) + L"," + Text(kZ);
        Click(kRadioCustom);
        customChecked = View(kRadioCustom).check;
        customEnabled = View(kY).enabled;
        Click(kRadioNormal);
        normalChecked = View(kRadioNormal).check;
        Click(IDCANCEL);
    });
    EXPECT_EQ(Show(), 1u);
    EXPECT_EQ(zChecked, BST_CHECKED);
    EXPECT_FALSE(editsEnabled);
    EXPECT_EQ(xChecked, BST_CHECKED);
    EXPECT_EQ(texts, L"1,0,0");
    EXPECT_EQ(customChecked, BST_CHECKED);
    EXPECT_TRUE(customEnabled);
    EXPECT_EQ(normalChecked, BST_CHECKED);
}

TEST_F(BindingTest, DirectionRadiosReadTheDecimalCommaOfTheLocale) {
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    DbFeaObject& a = Add([](auto& e) { e.SetF64(kXOffset, 0.6), e.SetF64(kYOffset, 0.8), e.SetF64(kZOffset, 0); });
    Prepare(1, {&a});
    std::wstring texts;
    int customChecked = -1, normalChecked = -1;
    bool yEnabled = false;
    driver.Then([&] {
        // (0,6; 0,8; 0) is a direction of its own, not the zero vector of the normal radio.
        texts = Text(kX) + L" " + Text(kY) + L" " + Text(kZ);
        customChecked = View(kRadioCustom).check;
        normalChecked = View(kRadioNormal).check;
        yEnabled = View(kY).enabled;
        Click(IDOK);
    });
    const std::uint32_t result = Show();
    if (old) setenv("LC_ALL", saved.c_str(), 1);
    else unsetenv("LC_ALL");
    ASSERT_EQ(result, 0u);
    EXPECT_EQ(texts, L"0,6 0,8 0");
    EXPECT_EQ(customChecked, BST_CHECKED);
    EXPECT_EQ(normalChecked, BST_UNCHECKED);
    EXPECT_TRUE(yEnabled);
    const auto records = Applied();
    EXPECT_DOUBLE_EQ(records[0].GetF64(kXOffset), 0.6);  // normalised again at OK
    EXPECT_DOUBLE_EQ(records[0].GetF64(kYOffset), 0.8);
}

TEST_F(BindingTest, AComponentThatDiffersSuppressesTheWholeGroup) {
    DbFeaObject& a = Add([](auto& e) { e.SetF64(kXOffset, 0.6), e.SetF64(kYOffset, 0.8), e.SetF64(kZOffset, 0); });
    DbFeaObject& b = Add([](auto& e) { e.SetF64(kXOffset, 0.8), e.SetF64(kYOffset, 0.6), e.SetF64(kZOffset, 0); });
    Prepare(1, {&a, &b});
    bool anyEnabled = false, anyChecked = false;
    driver.Then([&] {
        for (UINT id : {kX, kY, kZ, kRadioX, kRadioY, kRadioZ, kRadioCustom, kRadioNormal, kSelector})
            anyEnabled = anyEnabled || View(int(id)).enabled;
        for (UINT id : {kRadioX, kRadioY, kRadioZ, kRadioCustom, kRadioNormal})
            anyChecked = anyChecked || View(int(id)).check == BST_CHECKED;
        Click(IDOK);
    });
    ASSERT_EQ(Show(), 0u);
    EXPECT_FALSE(anyEnabled);
    EXPECT_FALSE(anyChecked);
    const auto records = Applied();
    EXPECT_EQ(records[0].GetF64(kXOffset), 0.6);
    EXPECT_EQ(records[1].GetF64(kXOffset), 0.8);
    EXPECT_EQ(records[1].GetF64(kZOffset), 0.0);  // z agreed, but the group is not written
}

TEST_F(BindingTest, APickRequestSkipsTheChecksAndResumesWithThePickedVector) {
    Prepare(0, {});
    driver.Then([] {
        Type(kDouble, L"99");  // out of range: caught only at the final OK
        Click(kSelector);
    });
    ASSERT_EQ(Show(), DataModelDialogs::kPickDirection);
    EXPECT_TRUE(dialog.Context().pickEndControls.empty());
    EXPECT_EQ(dialog.GetEditedEntry().GetF64(kDoubleOffset), 99.0);

    dialog.SetPickedVector(0, 2, 0);
    std::wstring y;
    bool refused = false;
    driver.Then([&] {
        y = Text(kY);
        Click(IDOK);
    })
        .Then([&] {
            refused = IsMessageBox();
            Click(IDOK);
        })
        .Then([] { Type(kDouble, L"1"); })
        .Then([] { Click(IDOK); });
    ASSERT_EQ(Show(DataModelDialogs::kPickDirection), 0u);
    EXPECT_EQ(dialog.resumed, DataModelDialogs::kPickDirection);
    EXPECT_EQ(y, L"2");
    EXPECT_TRUE(refused);
    EXPECT_EQ(dialog.GetEditedEntry().GetF64(kYOffset), 1.0);  // normalised at the final OK
}

TEST_F(BindingTest, ResumeCodeOneDoesNotCallOnResume) {
    Prepare(0, {});
    driver.Then([] { Click(IDCANCEL); });
    Show(0);
    driver.Then([] { Click(IDCANCEL); });
    Show(1);
    EXPECT_EQ(dialog.resumed, 0u);
}

TEST_F(BindingTest, FillNewObjectEntryJoinsTheGroupOnlyWhileThePrototypeFills) {
    Prepare(0, {});
    driver.Then([] {
        Type(kDouble, L"6");
        Click(IDOK);
    });
    ASSERT_EQ(Show(), 0u);
    auto& group = model.scenario.AddGroup(std::make_unique<OrvDbRecord::FeaObjectGroup>(77, "loads", 7));
    DbFeaObject* prototype = OrvDbRecord::ObjectRegistrar::GetRegistrar().GetFeaObject(kTypeCode);
    RURIVO_LOADS_V1_ENTRY entry;
    EXPECT_EQ(dialog.FillNewObjectEntry(&model.scenario, &group, &entry), 0);
    EXPECT_FALSE(group.Contains(prototype));
    EXPECT_TRUE(group.GetFeaObjects().empty());
    EXPECT_EQ(prototype->GetCreationContext(), nullptr);
    EXPECT_EQ(prototype->GetGroup(), nullptr);
    EXPECT_EQ(entry.GetF64(kDoubleOffset), 6.0);
    EXPECT_EQ(entry.GetU32(0), kTypeCode);
    RURIVO_LOADS_V1_ENTRY again;
    EXPECT_EQ(dialog.FillNewObjectEntry(&model.scenario, nullptr, &again), 0);
    EXPECT_EQ(std::memcmp(entry.data(), again.data(), entry.size()), 0);
    EXPECT_EQ(dialog.FillNewObjectEntry(&model.scenario, nullptr, nullptr), DataModelDialogs::kNoEntry);
}

TEST_F(BindingTest, F1OverAControlWithoutAHelpStringShowsAnEmptyPopup) {
    Prepare(0, {});
    driver.Then([] {
        Focus(int(kInt));
        ASSERT_TRUE(orv::win::input::PressKey(VK_F1));
    }).Then([] { Click(IDCANCEL); });
    orv::win::ClearRecords();
    EXPECT_EQ(Show(), 1u);
    ASSERT_EQ(orv::win::HelpRequests().size(), 1u);
    EXPECT_EQ(orv::win::HelpRequests()[0].command, UINT(HH_DISPLAY_TEXT_POPUP));
    EXPECT_EQ(orv::win::HelpRequests()[0].popupText, L"");
}

// A group without an X component, and points in lengths.
class PointDialog : public FeaObjectDialogBase {
public:
    explicit PointDialog(const orv::res::DialogTemplate& t) : FeaObjectDialogBase(0, nullptr, kTypeCode), template_(t) {
        InitModalIndirect(&template_);
        group.x = kX, group.y = kY, group.z = kZ;
        group.xRadio = kRadioX, group.yRadio = kRadioY, group.zRadio = kRadioZ, group.customRadio = kRadioCustom;
        group.further[0] = kSelector;
        group.noX = true;
    }
    void DoDataExchange(CDataExchange* dx) override {
        ExchangeVector(dx, group, Edited(), kXOffset, kYOffset, kZOffset, true, true);
        ExchangeVectorUnit(dx, kDouble, kInt, 1011, Edited(), 360, 368, 376, {kFlagA});
    }
    VectorGroup group;

private:
    orv::res::DialogTemplate template_;
};

TEST_F(BindingTest, AGroupWithoutXNormalisesYAndZAndLeavesX) {
    PointDialog point(MakeTemplate());
    DataModelDialogs::FeaObjectEditParameters parameters;
    parameters.designScenario = &model.scenario;
    parameters.objectCount = 1;
    point.SetEditParameters(parameters);
    bool xEnabled = true, xRadioEnabled = true, furtherEnabled = true;
    driver.Then([&] {
        xEnabled = View(int(kX)).enabled;
        xRadioEnabled = View(int(kRadioX)).enabled;
        furtherEnabled = View(int(kSelector)).enabled;
        Click(kRadioCustom);
        Type(kY, L"0");
        Type(kZ, L"-2");
        Type(kDouble, L"1.5");
    }).Then([] { Click(IDOK); });
    orv::win::DriverScope scope(&driver);
    ASSERT_EQ(point.ShowDialog(0), 0u);
    EXPECT_FALSE(xEnabled);
    EXPECT_FALSE(xRadioEnabled);
    EXPECT_FALSE(furtherEnabled);
    const auto& e = point.GetEditedEntry();
    EXPECT_EQ(e.GetF64(kYOffset), 0.0);
    EXPECT_EQ(e.GetF64(kZOffset), -1.0);
    EXPECT_EQ(e.GetF64(360), 1.5);  // display units are the model's: no conversion
}

TEST_F(BindingTest, APointWhoseComponentsDifferIsBlankedWithItsCompanions) {
    DbFeaObject& a = Add([](auto& e) { e.SetF64(360, 1.0), e.SetF64(368, 2.0), e.SetF64(376, 3.0); });
    DbFeaObject& b = Add([](auto& e) { e.SetF64(360, 1.0), e.SetF64(368, 2.5), e.SetF64(376, 3.0); });
    PointDialog point(MakeTemplate());
    DataModelDialogs::FeaObjectEditParameters parameters;
    parameters.designScenario = &model.scenario;
    parameters.objectCount = 2;
    point.SetEditParameters(parameters);
    point.SetMode(1);
    point.AddFeaObject(&a);
    point.AddFeaObject(&b);
    std::wstring first = L"?";
    bool anyEnabled = false;
    driver.Then([&] {
        first = Text(int(kDouble));
        for (UINT id : {kDouble, kInt, UINT(1011), kFlagA}) anyEnabled = anyEnabled || View(int(id)).enabled;
        Click(IDOK);
    });
    orv::win::DriverScope scope(&driver);
    ASSERT_EQ(point.ShowDialog(0), 0u);
    EXPECT_EQ(first, L"");
    EXPECT_FALSE(anyEnabled);
    for (auto record : point.GetEntries()) {
        const double before = record.GetF64(368);
        point.ApplyEditsToEntry(&record);
        EXPECT_EQ(record.GetF64(368), before);
    }
}

class RecordingTarget : public CWnd {
public:
    FeaObjectDialogBase* dialog = nullptr;
    std::vector<UINT> messages;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return static_cast<CWnd*>(dialog)->WindowProc(message, wParam, lParam);
    }
};

TEST_F(BindingTest, AMessageTargetReceivesTheWindowsMessagesWhileItLives) {
    RecordingTarget target;
    target.dialog = &dialog;
    Prepare(0, {});
    EXPECT_EQ(dialog.SetMessageTarget(&target), &target);
    HWND seen = nullptr;
    driver.Then([&] {
        seen = target.m_hWnd;
        Click(IDOK);
    });
    ASSERT_EQ(Show(), 0u);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(target.m_hWnd, nullptr);
    EXPECT_NE(std::find(target.messages.begin(), target.messages.end(), UINT(WM_INITDIALOG)), target.messages.end());
    dialog.Reset();
    EXPECT_EQ(dialog.GetMessageTarget(), nullptr);
}

}  // namespace
