// The shell's other helpers: combo, radio and check exchanges, coordinate system labels and
// combos, analysis-type gating and the control lists.

#include "ObjectDialogTestSupport.h"
#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "host/model/ObjectRegistrar.h"

namespace {

using namespace shelltest;
using DataModelDialogs::FeaObjectDialogBase;
using OrvDbRecord::DbFeaObject;

constexpr UINT kCombo = 1201, kComboNone = 1202, kRadioA = 1203, kRadioB = 1204, kRadioC = 1205;
constexpr UINT kBoolA = 1206, kBoolB = 1207, kCheck = 1208, kLabel = 1209, kEdit = 1210;

class HelperDialog : public FeaObjectDialogBase {
public:
    HelperDialog(const orv::res::DialogTemplate& t, std::uint32_t typeCode) : FeaObjectDialogBase(0, nullptr, typeCode), template_(t) {
        InitModalIndirect(&template_);
    }
    std::function<void(HelperDialog&)> init;
    std::function<void(HelperDialog&, CDataExchange*)> exchange;
    BOOL OnInitDialog() override {
        FeaObjectDialogBase::OnInitDialog();
        if (init) init(*this);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override {
        if (exchange) exchange(*this, dx);
        FeaObjectDialogBase::DoDataExchange(dx);
    }

private:
    orv::res::DialogTemplate template_;
};

orv::res::DialogTemplate MakeTemplate() {
    TemplateBuilder b(L"%1 %2!ld! Helper %3", 260, 150);
    b.Add(L"ComboBox", kCombo, WS_TABSTOP | CBS_DROPDOWNLIST, L"", 10, 10, 120, 60);
    b.Add(L"ComboBox", kComboNone, WS_TABSTOP | CBS_DROPDOWNLIST, L"", 10, 26, 120, 60);
    b.Radio(kRadioA, 10, 42, true).Radio(kRadioB, 70, 42, false).Radio(kRadioC, 130, 42, false);
    b.Radio(kBoolA, 10, 56, true).Radio(kBoolB, 70, 56, false);
    b.Check(kCheck, 10, 70);
    b.Add(L"Static", kLabel, SS_LEFT, L"", 10, 84, 200, 8);
    b.Edit(kEdit, 10, 96);
    b.Edit(1011, 150, 96);
    b.OkCancel();
    return b.t;
}

class HelperTest : public ::testing::Test {
protected:
    void Prepare(std::uint32_t mode, std::vector<DbFeaObject*> objects = {}, std::uint32_t typeCode = 35) {
        dialog = std::make_unique<HelperDialog>(MakeTemplate(), typeCode);
        DataModelDialogs::FeaObjectEditParameters parameters;
        parameters.designScenario = &model.scenario;
        parameters.objectCount = 1;
        dialog->SetEditParameters(parameters);
        dialog->SetMode(mode);
        for (auto* o : objects) dialog->AddFeaObject(o);
    }
    std::uint32_t Show() {
        orv::win::DriverScope scope(&driver);
        return dialog->ShowDialog(0);
    }
    DbFeaObject& Add(std::function<void(RURIVO_LOADS_V1_ENTRY&)> fill) {
        RURIVO_LOADS_V1_ENTRY entry;
        OrvDbRecord::ObjectRegistrar::GetRegistrar().GetFeaObject(35)->InitFemStruct(entry);
        fill(entry);
        return model.scenario.CreateFeaObject(35, entry, OrvDbRecord::GeometryKindOf(35), 1);
    }
    // During initialisation the dialog is not yet the active window: controls by the dialog.
    static void FillCombo(HWND dialog, UINT id) {
        HWND combo = ::GetDlgItem(dialog, int(id));
        for (int i = 0; i < 3; ++i) {
            const std::wstring text = L"item " + std::to_wstring(i);
            ::SendMessage(combo, CB_ADDSTRING, 0, LPARAM(text.c_str()));
            ::SendMessage(combo, CB_SETITEMDATA, WPARAM(i), LPARAM(10 * (i + 1)));
        }
    }

    SampleModel model;
    StepDriver driver;
    std::unique_ptr<HelperDialog> dialog;
};

TEST_F(HelperTest, ComboItemDataFormsDifferOnUnknownValuesAndEmptySelection) {
    Prepare(0);
    dialog->GetEditedEntry();
    static constexpr std::int32_t kValues[] = {7, 8, 9};
    bool first = true;
    dialog->exchange = [&](HelperDialog& d, CDataExchange* dx) {
        if (first && !dx->m_bSaveAndValidate) {
            FillCombo(d.m_hWnd, kCombo), FillCombo(d.m_hWnd, kComboNone);
            ::SendDlgItemMessage(d.m_hWnd, int(kCombo), CB_SETCURSEL, 1, 0);
            ::SendDlgItemMessage(d.m_hWnd, int(kComboNone), CB_SETCURSEL, 1, 0);
            d.GetEditedEntry().SetI32(300, 99);  // no item has it
            d.GetEditedEntry().SetI32(304, 99);
            d.GetEditedEntry().SetI32(308, 8);
            d.GetEditedEntry().SetFlag(312, false);
            d.GetEditedEntry().SetFlag(316, true);
            first = false;
        }
        d.ExchangeComboItemData(dx, kCombo, d.Edited(), 300);
        d.ExchangeComboItemDataOrNone(dx, kComboNone, d.Edited(), 304);
        d.ExchangeEnumRadio(dx, kRadioA, d.Edited(), 308, kValues);
        d.ExchangeBoolRadio(dx, kBoolA, d.Edited(), 312, true);
        d.ExchangeBoolCheck(dx, kCheck, d.Edited(), 316, true);
    };
    int comboSel = -5, noneSel = -5, radioB = -1, boolA = -1, boolB = -1, check = -1;
    driver.Then([&] {
        comboSel = View(int(kCombo)).selection;
        noneSel = View(int(kComboNone)).selection;
        radioB = View(int(kRadioB)).check;
        boolA = View(int(kBoolA)).check;
        boolB = View(int(kBoolB)).check;
        check = View(int(kCheck)).check;
        ASSERT_TRUE(orv::win::input::SelectItem(Ctl(int(kCombo)), 2));
        Click(kRadioC);
        Click(kBoolB);
        Click(kCheck);
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(comboSel, 1);   // unknown value: the selection stays
    EXPECT_EQ(noneSel, -1);   // unknown value: no selection
    EXPECT_EQ(radioB, BST_CHECKED);
    EXPECT_EQ(boolA, BST_CHECKED);  // inverted: false checks the first radio
    EXPECT_EQ(boolB, BST_UNCHECKED);
    EXPECT_EQ(check, BST_UNCHECKED);  // inverted: true shows unchecked
    const auto& e = dialog->GetEditedEntry();
    EXPECT_EQ(e.GetI32(300), 30);
    EXPECT_EQ(e.GetI32(304), -1);  // saving with no selection stores -1
    EXPECT_EQ(e.GetI32(308), 9);
    EXPECT_EQ(e.GetU32(312), 0xFFFFFFFFu);
    EXPECT_EQ(e.GetU32(316), 0u);
}

TEST_F(HelperTest, SuppressedCombosAndRadioGroupsAreClearedAndDisabled) {
    DbFeaObject& a = Add([](auto& e) { e.SetI32(300, 10), e.SetI32(308, 7); });
    DbFeaObject& b = Add([](auto& e) { e.SetI32(300, 20), e.SetI32(308, 8); });
    Prepare(1, {&a, &b});
    static constexpr std::int32_t kValues[] = {7, 8, 9};
    dialog->init = [](HelperDialog&) {};
    dialog->exchange = [&](HelperDialog& d, CDataExchange* dx) {
        if (!dx->m_bSaveAndValidate && ::SendDlgItemMessage(d.m_hWnd, int(kCombo), CB_GETCOUNT, 0, 0) == 0)
            FillCombo(d.m_hWnd, kCombo);
        d.ExchangeComboItemData(dx, kCombo, d.Edited(), 300);
        d.ExchangeEnumRadio(dx, kRadioA, d.Edited(), 308, kValues);
    };
    bool anyEnabled = false, anyChecked = false;
    int sel = 5;
    driver.Then([&] {
        sel = View(int(kCombo)).selection;
        for (UINT id : {kCombo, kRadioA, kRadioB, kRadioC}) anyEnabled = anyEnabled || View(int(id)).enabled;
        for (UINT id : {kRadioA, kRadioB, kRadioC}) anyChecked = anyChecked || View(int(id)).check == BST_CHECKED;
        Click(IDOK);
    });
    ASSERT_EQ(Show(), 0u);
    EXPECT_EQ(sel, -1);
    EXPECT_FALSE(anyEnabled);
    EXPECT_FALSE(anyChecked);
}

TEST_F(HelperTest, CoordinateSystemLabelsAndCombo) {
    Prepare(0);
    std::vector<std::wstring> labels;
    std::vector<DWORD_PTR> data;
    std::wstring staticText;
    dialog->init = [&](HelperDialog& d) {
        for (const auto& [id, system] : model.scenario.GetCoordinateSystems())
            labels.push_back(d.GetCoordinateSystemLabel(system.get()).GetString());
        d.FillCoordinateSystemCombo(kCombo);
        d.SetCoordinateSystemLabel(kLabel);
    };
    driver.Then([&] {
        for (const auto& item : View(int(kCombo)).items) data.push_back(item.data);
        staticText = Text(int(kLabel));
        Click(IDCANCEL);
    });
    Show();
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels[0], L"Global (Default)");
    EXPECT_EQ(labels[1], L"Id 2 : Cylindrical < Hole axis >");
    EXPECT_EQ(labels[2], L"Id 3 : Spherical < Ball joint >");
    EXPECT_EQ(labels[3], L"Id 4 : Rectangular < Upright local >");
    EXPECT_EQ(data, (std::vector<DWORD_PTR>{1, 2, 3, 4}));
    EXPECT_EQ(staticText, L"Global (Default)");  // none given: the scenario's global one
}

TEST_F(HelperTest, AnUnnamedSystemAndAMissingGlobalOne) {
    Prepare(0);
    OrvDbRecord::DbCoordinateSystem unnamed(9, 1, "", {0, 0, 0}, {0, 0, 1}, {1, 0, 0});
    OrvDbRecord::DbCoordinateSystem odd(10, 7, "x", {0, 0, 0}, {0, 0, 1}, {1, 0, 0});
    std::wstring a, b, c;
    dialog->init = [&](HelperDialog& d) {
        a = d.GetCoordinateSystemLabel(&unnamed).GetString();
        b = d.GetCoordinateSystemLabel(&odd).GetString();
        model.scenario.SetGlobalCoordinateSystem(0);
        c = d.GetCoordinateSystemLabel(nullptr).GetString();
    };
    driver.Then([] { Click(IDCANCEL); });
    Show();
    EXPECT_EQ(a, L"Id 9 : Cylindrical < Unnamed >");
    EXPECT_EQ(b, L"Id 10 : ??? < x >");
    EXPECT_EQ(c, L"???");
}

struct GateCase {
    std::uint32_t analysisType;
    bool enabled;
};
class GateTest : public HelperTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(GateTest, EnableForAnalysisType) {
    model.scenario.SetAnalysisType(GetParam().analysisType);
    Prepare(0);
    bool result = !GetParam().enabled, edit = !GetParam().enabled, check = !GetParam().enabled;
    dialog->init = [&](HelperDialog& d) { result = d.EnableForAnalysisType(kEdit, kCheck); };
    driver.Then([&] {
        edit = View(int(kEdit)).enabled;
        check = View(int(kCheck)).enabled;
        Click(IDCANCEL);
    });
    Show();
    EXPECT_EQ(result, GetParam().enabled);
    EXPECT_EQ(edit, GetParam().enabled);
    EXPECT_EQ(check, GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(Types, GateTest,
                         ::testing::Values(GateCase{0, true}, GateCase{1, true}, GateCase{2, true}, GateCase{3, false},
                                           GateCase{4, false}, GateCase{5, true}, GateCase{6, true}, GateCase{7, false},
                                           GateCase{9, true}, GateCase{10, true}, GateCase{11, false}, GateCase{18, true},
                                           GateCase{19, true}, GateCase{20, false}, GateCase{21, true}, GateCase{22, false}));

TEST_F(HelperTest, SuppressUnlessAnalysisTypesSevenControls) {
    struct Case {
        std::uint32_t analysisType, typeCode;
        bool secondSuppressed, firstDisabled, fourthDisabled;
    };
    const Case cases[] = {{4, 35, false, false, false}, {3, 35, true, true, true}, {3, 19, false, false, true}};
    for (const Case& c : cases) {
        model.scenario.SetAnalysisType(c.analysisType);
        Prepare(0, {}, c.typeCode);
        bool suppressed = false, first = true, fourth = true;
        dialog->init = [&](HelperDialog& d) {
            d.SuppressUnlessAnalysisTypes(kCombo, kEdit, 0, kCheck, 0, kComboNone, 0);
            suppressed = d.IsSuppressed(kEdit) && d.IsSuppressed(kComboNone);
        };
        driver.Then([&] {
            first = View(int(kCombo)).enabled;
            fourth = View(int(kCheck)).enabled;
            Click(IDCANCEL);
        });
        Show();
        EXPECT_EQ(suppressed, c.secondSuppressed) << c.analysisType << "/" << c.typeCode;
        EXPECT_EQ(!first, c.firstDisabled) << c.analysisType << "/" << c.typeCode;
        EXPECT_EQ(!fourth, c.fourthDisabled) << c.analysisType << "/" << c.typeCode;
    }
}

TEST_F(HelperTest, ControlListsStopAtTheirEndAndEnablingLeavesSuppressedControlsDisabled) {
    Prepare(0);
    bool editEnabled = true, checkEnabled = false, comboEnabled = false;
    std::wstring editText = L"?";
    dialog->init = [&](HelperDialog& d) {
        ::SetWindowText(::GetDlgItem(d.m_hWnd, int(kEdit)), L"x");
        const UINT blank[] = {kEdit, 0xFFFFFFFF, kCombo};
        d.BlankAndDisableControls(blank);
        const UINT mark[] = {kEdit, 0};
        d.MarkSuppressed(mark);
        const UINT enable[] = {kEdit, kCheck, 0};
        d.EnableControls(enable);
    };
    driver.Then([&] {
        editEnabled = View(int(kEdit)).enabled;
        editText = Text(int(kEdit));
        checkEnabled = View(int(kCheck)).enabled;
        comboEnabled = View(int(kCombo)).enabled;
        Click(IDCANCEL);
    });
    Show();
    EXPECT_FALSE(editEnabled);
    EXPECT_EQ(editText, L"");
    EXPECT_TRUE(checkEnabled);
    EXPECT_TRUE(comboEnabled);  // after the list's end
}

TEST_F(HelperTest, ASuppressedControlIsNeitherExchangedNorCheckedInCreateMode) {
    Prepare(0);
    dialog->exchange = [](HelperDialog& d, CDataExchange* dx) {
        if (!dx->m_bSaveAndValidate) d.GetEditedEntry().SetF64(320, 99.0);
        d.ExchangeDouble(dx, kEdit, d.Edited(), 320);
        d.ValidateRange(dx, kEdit, d.GetEditedEntry().GetF64(320), 0.0, 1.0);
    };
    dialog->init = [](HelperDialog& d) {
        const UINT ids[] = {kEdit, 0};
        d.MarkSuppressed(ids);
        d.DisableControls(ids);
    };
    driver.Then([] { Click(IDOK); });
    EXPECT_EQ(Show(), 0u);  // the value the person cannot change does not trap the dialog
    EXPECT_EQ(dialog->GetEditedEntry().GetF64(320), 99.0);
}

}  // namespace
