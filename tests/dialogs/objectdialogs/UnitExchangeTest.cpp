// The unit-aware exchange as a dialog uses it: values in model units shown in display units,
// labels resolved, the framework's prompts and the failure path.

#include <cmath>

#include "ObjectDialogTestSupport.h"
#include "dialogs/objectdialogs/ConsistentEditUnitConversionWindowUtility.h"
#include "platform/win/Kernel.h"
#include "platform/win/TextFormat.h"

namespace {

using namespace shelltest;
using DataModelDialogs::ConsistantEditWnd;
using DataModelDialogs::ConsistentEditUnitConversionWindowUtility;
using DataModelDialogs::ConsistentValue;
using Unit = UnitSys::UnitSystem::DisplayableUnit;

constexpr UINT kLength = 1001, kForce = 1002, kPlain = 1003, kOther = 1004;

// A dialog that is its own unit utility, with an exchange the test supplies.
class UnitDialog : public CDialog, public ConsistentEditUnitConversionWindowUtility {
public:
    explicit UnitDialog(const orv::res::DialogTemplate& t) : template_(t) { InitModalIndirect(&template_); }
    std::function<void(CDataExchange*)> exchange;
    const OrvDbRecord::DisplayUnitSystem* display = nullptr;
    void DoDataExchange(CDataExchange* dx) override {
        if (exchange) exchange(dx);
    }
    BOOL OnInitDialog() override {
        if (display) SetUnitConverter(*display);
        BuildUnitsLabelMap(*this, L"Edit", OrvUnitsConversionStringSyntaxBaseUnits, L"Static", L"%U%");
        AutoSetupUnitLabels(*this, L"Static", OrvUnitsConversionStringSyntaxBaseUnits, L"%U%");
        return CDialog::OnInitDialog();
    }

private:
    orv::res::DialogTemplate template_;
};

class UnitExchangeTest : public ::testing::Test {
protected:
    UnitExchangeTest() {
        model.scenario.SetCurrentDisplayUnitSystemType(6);  // mm, N, s over the model's SI
        TemplateBuilder b;
        b.Edit(kLength, 10, 10).Label(L"%U%1", 75, 12);
        b.Edit(kForce, 10, 30).Label(L"%U%N", 75, 32);
        b.Edit(kPlain, 10, 50);
        b.Edit(kOther, 10, 70).Label(L"%U%10", 75, 72);
        b.OkCancel();
        dialog = std::make_unique<UnitDialog>(b.t);
        dialog->display = &model.scenario.GetCurrentDisplayUnitSystem();
    }
    INT_PTR Run() {
        orv::win::DriverScope scope(&driver);
        return dialog->DoModal();
    }
    std::wstring LabelRightOf(int editId) {
        HWND edit = Ctl(editId);
        for (HWND next = ::GetWindow(edit, GW_HWNDNEXT); next; next = ::GetWindow(next, GW_HWNDNEXT))
            if (::GetClassNameString(next) == L"Static") return ::GetWindowTextString(next);
        return L"";
    }

    SampleModel model;
    StepDriver driver;
    std::unique_ptr<UnitDialog> dialog;
};

TEST_F(UnitExchangeTest, ShowsModelValuesInDisplayUnitsAndReadsTypedTextBack) {
    double length = 0.25, force = 12.5;
    dialog->exchange = [&](CDataExchange* dx) {
        dialog->DDX_Text(dx, kLength, length);
        dialog->DDX_Text(dx, kForce, force);
    };
    std::wstring shownLength, shownForce, lengthLabel, forceLabel, velocityLabel;
    driver.Then([&] {
        shownLength = Text(kLength), shownForce = Text(kForce);
        lengthLabel = LabelRightOf(kLength), forceLabel = LabelRightOf(kForce), velocityLabel = LabelRightOf(kOther);
        Type(kLength, L"1500");
        Type(kForce, L"-3e2");
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Run(), IDOK);
    EXPECT_EQ(shownLength, L"250");
    EXPECT_EQ(shownForce, L"12.5");
    EXPECT_EQ(lengthLabel, L"mm");
    EXPECT_EQ(forceLabel, L"N");
    EXPECT_EQ(velocityLabel, model.scenario.GetCurrentDisplayUnitSystem().GetDisplayableUnitText(10));
    EXPECT_DOUBLE_EQ(length, 1.5);
    EXPECT_DOUBLE_EQ(force, -300.0);
}

TEST_F(UnitExchangeTest, ExplicitUnitAndConversionStringFormsConvert) {
    double a = 2.0, b = 0.5;
    float c = 0.125f;
    dialog->exchange = [&](CDataExchange* dx) {
        dialog->DDX_Text(dx, kPlain, a, Unit(1));
        dialog->DDX_Text(dx, kOther, b, CString(L"m"), OrvUnitsConversionStringSyntaxBaseUnits);
        dialog->DDX_Text(dx, kForce, c);
    };
    std::wstring shownA, shownB, shownC;
    driver.Then([&] {
        shownA = Text(kPlain), shownB = Text(kOther), shownC = Text(kForce);
        Type(kPlain, L"10");
    }).Then([] { Click(IDOK); });
    ASSERT_EQ(Run(), IDOK);
    EXPECT_EQ(shownA, L"2000");
    EXPECT_EQ(shownB, L"500");
    EXPECT_EQ(shownC, L"0.125");
    EXPECT_DOUBLE_EQ(a, 0.01);
    EXPECT_DOUBLE_EQ(b, 0.5);
}

TEST_F(UnitExchangeTest, TextThatIsNoNumberShowsThePromptAndFocusesTheEdit) {
    double length = 1.0, force = 2.0;
    dialog->exchange = [&](CDataExchange* dx) {
        dialog->DDX_Text(dx, kLength, length);
        dialog->DDX_Text(dx, kForce, force);
    };
    bool sawBox = false;
    std::wstring boxText;
    UINT boxIcon = 99;
    DWORD boxHelp = 99;
    bool focused = false;
    driver.Then([&] { Type(kForce, L"12abc"); })
        .Then([&] { Click(IDOK); })
        .Then([&] {
            sawBox = IsMessageBox();
            boxText = MessageText();
            boxIcon = orv::win::Inspect(Modal()).messageBox.icon;
            boxHelp = orv::win::Inspect(Modal()).messageBox.helpContext;
            Click(IDOK);
        })
        .Then([&] {
            focused = View(kForce).focused;
            Click(IDCANCEL);
        });
    ASSERT_EQ(Run(), IDCANCEL);
    EXPECT_TRUE(sawBox);
    EXPECT_EQ(boxText, orv::win::detail::FrameworkString(61713));
    EXPECT_EQ(boxHelp, 0u);
    (void)boxIcon;
    EXPECT_TRUE(focused);
    EXPECT_DOUBLE_EQ(length, 1.0);  // the first field was saved; nothing else changed
    EXPECT_DOUBLE_EQ(force, 2.0);
}

TEST_F(UnitExchangeTest, PlainOverloadsBehaveAsTheFrameworksExchange) {
    int count = 5;
    CString name(L"bracket");
    unsigned long long big = 18446744073709551615ull;
    short small = -3;
    dialog->exchange = [&](CDataExchange* dx) {
        dialog->DDX_Text(dx, kLength, count);  // the label's unit plays no part
        dialog->DDX_Text(dx, kForce, name);
        dialog->DDX_Text(dx, kPlain, big);
        dialog->DDX_Text(dx, kOther, small);
    };
    std::wstring shown[4];
    std::wstring box;
    driver.Then([&] {
        shown[0] = Text(kLength), shown[1] = Text(kForce), shown[2] = Text(kPlain), shown[3] = Text(kOther);
        Type(kLength, L"12");
        Type(kForce, L"plate");
        Type(kOther, L"40000");  // beyond a short
    })
        .Then([] { Click(IDOK); })
        .Then([&] {
            box = MessageText();
            Click(IDOK);
        })
        .Then([] { Type(kOther, L"-7"); })
        .Then([] { Click(IDOK); });
    ASSERT_EQ(Run(), IDOK);
    EXPECT_EQ(shown[0], L"5");
    EXPECT_EQ(shown[1], L"bracket");
    EXPECT_EQ(shown[2], L"18446744073709551615");
    EXPECT_EQ(shown[3], L"-3");
    EXPECT_FALSE(box.empty());
    EXPECT_EQ(count, 12);
    EXPECT_EQ(std::wstring(name.GetString()), L"plate");
    EXPECT_EQ(small, -7);
}

struct RangeCase {
    const char* name;
    bool isFloat;
    double min, max;
    const wchar_t* low;
    const wchar_t* high;
};

class UnitRangeTest : public UnitExchangeTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(UnitRangeTest, ValueOutsideTheBoundsShowsTheRangePromptWithTheBoundsAsGiven) {
    const RangeCase& c = GetParam();
    double value = 0.0;
    float valueF = 0.0f;
    dialog->exchange = [&](CDataExchange* dx) {
        if (c.isFloat) {
            dialog->DDX_Text(dx, kPlain, valueF);
            dialog->DDV_MinMaxFloat(dx, kPlain, valueF, float(c.min), float(c.max));
        } else {
            dialog->DDX_Text(dx, kPlain, value);
            dialog->DDV_MinMaxDouble(dx, kPlain, value, c.min, c.max);
        }
    };
    std::wstring boxText;
    orv::win::MessageBoxView box;
    bool focused = false;
    driver.Then([&] { Type(kPlain, L"5"); })
        .Then([&] { Click(IDOK); })
        .Then([&] {
            box = orv::win::Inspect(Modal()).messageBox;
            Click(IDOK);
        })
        .Then([&] {
            focused = View(kPlain).focused;
            Click(IDCANCEL);
        });
    ASSERT_EQ(Run(), IDCANCEL);
    CString expected;
    AfxFormatString2(expected, 61715, c.low, c.high);
    EXPECT_EQ(box.text, std::wstring(expected.GetString()));
    EXPECT_EQ(box.icon, UINT(MB_ICONEXCLAMATION));
    EXPECT_EQ(box.helpContext, 61715u);
    EXPECT_TRUE(focused);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, UnitRangeTest,
    ::testing::Values(RangeCase{"DoubleTenths", false, 0.1, 0.2, L"0.1", L"0.2"},
                      RangeCase{"FloatTenths", true, 0.1, 0.2, L"0.1", L"0.2"},
                      RangeCase{"DoubleThird", false, 1.0 / 3.0, 4.0, L"0.333333333333333", L"4"},
                      RangeCase{"FloatThird", true, 1.0 / 3.0, 4.0, L"0.333333", L"4"},
                      RangeCase{"Huge", false, -1e300, 1.0, L"-1e+300", L"1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UnitExchangeTest, UnitRangeFormsReuseThePreparationOfThePrecedingExchange) {
    double a = 1.0, b = 1.0;
    dialog->exchange = [&](CDataExchange* dx) {
        dialog->DDX_Text(dx, kPlain, a, Unit(1));
        dialog->DDX_Text(dx, kLength, b);
        dialog->DDV_MinMaxDouble(dx, b, 0.0, 100.0, Unit(1));  // display units: mm
    };
    bool focused = false, sawBox = false;
    driver.Then([&] { Type(kLength, L"250"); })
        .Then([&] {
            Focus(kPlain);
            Click(IDOK);
        })
        .Then([&] {
            sawBox = IsMessageBox();
            Click(IDOK);
        })
        .Then([&] {
            focused = View(kLength).focused;
            Click(IDCANCEL);
        });
    ASSERT_EQ(Run(), IDCANCEL);
    EXPECT_TRUE(sawBox);
    EXPECT_TRUE(focused);
}

TEST(ConsistentValueTest, AccumulatesAgreementOverASelection) {
    ConsistentValue<double> v;
    EXPECT_FALSE(v.isConsistent());
    EXPECT_FALSE(v.isAssigned());
    v.add(2.0);
    EXPECT_TRUE(v.isConsistent());
    EXPECT_EQ(v.get(), 2.0);
    v.add(2.0);
    EXPECT_TRUE(v.isConsistent());
    v.add(std::nextafter(2.0, 3.0));  // exact comparison: one bit differs
    EXPECT_FALSE(v.isConsistent());
    EXPECT_TRUE(v.isAssigned());
    EXPECT_EQ(v.get(), 2.0);  // the first value stays
    v.clear();
    EXPECT_FALSE(v.isAssigned());
    v.add(5.0);
    EXPECT_TRUE(v.isConsistent());
    v.markInconsistent();
    EXPECT_TRUE(v.isAssigned());
    EXPECT_FALSE(v.isConsistent());

    ConsistentValue<bool> b;
    b.add(true);
    b.add(false);
    EXPECT_FALSE(b.isConsistent());
    ConsistentValue<std::uint32_t> u(7u);
    EXPECT_TRUE(u.isConsistent());
    EXPECT_EQ(u.get(), 7u);
}

class ConsistentEditTest : public UnitExchangeTest {
protected:
    ConsistantEditWnd edit;
    ConsistentValue<double> value;
    void Bind() {
        dialog->exchange = [&](CDataExchange* dx) {
            if (!edit.GetSafeHwnd()) DDX_Control(dx, int(kLength), edit);
            dialog->DDX_ConsistentDouble(dx, kLength, value);
            dialog->DDV_ConsistentMinMaxDouble(dx, value, 0.0, 1000.0);
        };
    }
};

TEST_F(ConsistentEditTest, DisagreeingObjectsShowBlankAndStayUnchangedWithoutTyping) {
    value.add(1.0);
    value.add(2.0);
    Bind();
    std::wstring shown = L"?";
    driver.Then([&] {
        shown = Text(kLength);
        Click(IDOK);
    });
    ASSERT_EQ(Run(), IDOK);
    EXPECT_EQ(shown, L"");
    EXPECT_TRUE(value.isAssigned());
    EXPECT_FALSE(value.isConsistent());
}

TEST_F(ConsistentEditTest, TypingMakesTheValueConsistentInModelUnits) {
    value.add(1.0);
    value.add(2.0);
    Bind();
    driver.Then([&] { Type(kLength, L"5"); }).Then([] { Click(IDOK); });
    ASSERT_EQ(Run(), IDOK);
    ASSERT_TRUE(value.isConsistent());
    EXPECT_DOUBLE_EQ(value.get(), 0.005);  // 5 mm
}

TEST_F(ConsistentEditTest, ConsistentValueIsShownAndRangeChecked) {
    value.add(0.5);
    Bind();
    std::wstring shown;
    bool sawBox = false;
    driver.Then([&] {
        shown = Text(kLength);
        Type(kLength, L"2000");  // 2000 mm: beyond 1000 in display units
    })
        .Then([] { Click(IDOK); })
        .Then([&] {
            sawBox = IsMessageBox();
            Click(IDOK);
        })
        .Then([] { Click(IDCANCEL); });
    ASSERT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(shown, L"500");
    EXPECT_TRUE(sawBox);
}

TEST_F(ConsistentEditTest, AnEditTypedIntoAndEmptiedCountsAsEntered) {
    value.add(1.0);
    value.add(2.0);
    Bind();
    bool entered = false, sawBox = false;
    driver.Then([&] { Type(kLength, L"7"); })
        .Then([&] { Type(kLength, L""); })
        .Then([&] {
            entered = ConsistantEditWnd::IsEntered(Ctl(kLength));
            Click(IDOK);
        })
        .Then([&] {
            sawBox = IsMessageBox();  // the empty text is parsed and refused
            Click(IDOK);
        })
        .Then([] { Click(IDCANCEL); });
    ASSERT_EQ(Run(), IDCANCEL);
    EXPECT_TRUE(entered);
    EXPECT_TRUE(sawBox);
}

TEST_F(UnitExchangeTest, ConsistentComboAndCheckShowAgreementAndKeepDisagreement) {
    TemplateBuilder b;
    b.Add(L"ComboBox", 1005, WS_TABSTOP | CBS_DROPDOWNLIST, L"", 10, 10, 80, 60);
    b.Check(1006, 10, 30);
    b.OkCancel();
    dialog = std::make_unique<UnitDialog>(b.t);
    ConsistentValue<std::uint32_t> kind;
    kind.add(1);
    kind.add(2);
    ConsistentValue<bool> flag;
    flag.add(true);
    flag.add(false);
    dialog->exchange = [&](CDataExchange* dx) {
        if (!dx->m_bSaveAndValidate && ::SendMessage(Ctl(1005), CB_GETCOUNT, 0, 0) == 0) {
            for (int i = 0; i < 3; ++i) {
                ::SendMessage(Ctl(1005), CB_ADDSTRING, 0, LPARAM(L"item"));
                ::SendMessage(Ctl(1005), CB_SETITEMDATA, WPARAM(i), LPARAM(i + 1));
            }
        }
        dialog->DDX_ConsistentCBItemData(dx, 1005, kind);
        dialog->DDX_ConsistentCheck(dx, 1006, flag);
    };
    int selection = 5, check = 5;
    driver.Then([&] {
        selection = View(1005).selection;
        check = View(1006).check;
        Click(IDOK);
    });
    ASSERT_EQ(Run(), IDOK);
    EXPECT_EQ(selection, -1);
    EXPECT_EQ(check, BST_INDETERMINATE);
    EXPECT_FALSE(kind.isConsistent());
    EXPECT_TRUE(kind.isAssigned());
    EXPECT_FALSE(flag.isConsistent());
    EXPECT_TRUE(flag.isAssigned());
}

}  // namespace
