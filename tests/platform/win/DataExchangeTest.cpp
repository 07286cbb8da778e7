// Data exchange: parsing and formatting, the failure path with its prompts and focus, checks,
// radio groups, three-state check boxes and combo boxes.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "KernelTestSupport.h"

using namespace kerneltest;
using namespace orv::win;

namespace {

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { ResetKernel(); }
    void TearDown() override { ResetKernel(); }
    StepDriver driver;
    DriverScope scope{&driver};
};

// Runs a dialog with edit 100, types `text` into it and presses OK; answers any message box
// with Enter, recording its text. Returns whether the dialog ended with IDOK.
struct ExchangeRun {
    std::vector<std::wstring> prompts;
    bool ok = false;
};

template <class Exchange>
ExchangeRun TypeAndSave(StepDriver& driver, const std::wstring& text, Exchange exchange) {
    ExchangeRun run;
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    dlg.exchange = exchange;
    driver.Then([&] {
        input::ReplaceText(Control(Modal(), 100), text);
        input::Click(Control(Modal(), IDOK));
    });
    // A refusal shows a box; after it the dialog is still open and is cancelled.
    driver.Then([&] {
        if (Inspect(Modal()).isMessageBox) {
            run.prompts.push_back(Inspect(Modal()).messageBox.text);
            input::PressKey(VK_RETURN);
        } else {
            input::PressKey(VK_ESCAPE);
        }
    });
    driver.Then([&] { input::PressKey(VK_ESCAPE); });
    run.ok = dlg.DoModal() == IDOK;
    driver.steps.clear();
    return run;
}

TEST_F(DataExchangeTest, IntegersParseWithSignAndBlanksAndRefuseEverythingElse) {
    struct Case {
        const wchar_t* text;
        bool ok;
        int value;
    } cases[] = {
        {L"42", true, 42},        {L"  -17 ", true, -17},       {L"+5", true, 5},
        {L"2147483647", true, 2147483647}, {L"-2147483648", true, -2147483647 - 1},
        {L"2147483648", false, 0}, {L"-2147483649", false, 0}, {L"", false, 0},
        {L"-", false, 0},         {L"12a", false, 0},           {L"1 2", false, 0},
        {L"0x10", false, 0},      {L"1.5", false, 0},
    };
    for (const auto& c : cases) {
        int value = -99;
        auto run = TypeAndSave(driver, c.text, [&](CDataExchange* dx) { DDX_Text(dx, 100, value); });
        EXPECT_EQ(run.ok, c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(run.prompts, (std::vector<std::wstring>{L"Enter a whole number."})) << c.text;
        }
    }
}

TEST_F(DataExchangeTest, RealsParseDecimalFormsOnly) {
    struct Case {
        const wchar_t* text;
        bool ok;
        double value;
    } cases[] = {
        {L"1.5", true, 1.5},  {L" -2e3 ", true, -2000}, {L".5", true, 0.5}, {L"-0", true, 0.0},
        {L".0", true, 0.0},   {L"5.", true, 5.0},       {L"1e-300", true, 1e-300},
        {L"1e400", false, 0}, {L"inf", false, 0},       {L"nan", false, 0}, {L"0x1p3", false, 0},
        {L"1e", false, 0},    {L"-", false, 0},         {L"", false, 0},    {L"1,5", false, 0},
    };
    for (const auto& c : cases) {
        double value = -99;
        auto run = TypeAndSave(driver, c.text, [&](CDataExchange* dx) { DDX_Text(dx, 100, value); });
        EXPECT_EQ(run.ok, c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(run.prompts, (std::vector<std::wstring>{L"Enter a number."})) << c.text;
        }
    }
}

TEST_F(DataExchangeTest, RealsAreShownWithTheFrameworksSignificantDigits) {
    TestDialog dlg(TemplateBuilder().Edit(100).Edit(101).OkCancel().t);
    double d = 1.0 / 3.0;
    float f = 1.0f / 3.0f;
    dlg.exchange = [&](CDataExchange* dx) {
        DDX_Text(dx, 100, d);
        DDX_Text(dx, 101, f);
    };
    driver.Then([&] {
        EXPECT_EQ(GetWindowTextString(Control(Modal(), 100)), L"0.333333333333333");
        EXPECT_EQ(GetWindowTextString(Control(Modal(), 101)), L"0.333333");
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(DataExchangeTest, RangeFailureShowsTheBoundsAndPutsTheFocusOnTheField) {
    TestDialog dlg(TemplateBuilder().Edit(100).Edit(101).OkCancel().t);
    double value = 0.5;
    int count = 3;
    dlg.exchange = [&](CDataExchange* dx) {
        DDX_Text(dx, 100, count);
        DDV_MinMaxInt(dx, count, 1, 32767);
        DDX_Text(dx, 101, value);
        DDV_MinMaxDouble(dx, value, 1e-300, 1.0 / 3.0);
    };
    driver.Then([&] {
        input::ReplaceText(Control(Modal(), 101), L"7");
        input::Click(Control(Modal(), IDOK));
    });
    driver.Then([&] {
        WindowView box = Inspect(Modal());
        ASSERT_TRUE(box.isMessageBox);
        EXPECT_EQ(box.messageBox.text, L"Enter a number from 1e-300 to 0.333333333333333.");
        EXPECT_EQ(box.messageBox.icon, MB_ICONEXCLAMATION);
        EXPECT_EQ(box.messageBox.helpContext, AFX_IDP_PARSE_REAL_RANGE);
        input::PressKey(VK_RETURN);
    });
    driver.Then([&] {
        HWND d = Modal();
        EXPECT_FALSE(Inspect(d).isMessageBox);
        WindowView edit = Inspect(Control(d, 101));
        EXPECT_TRUE(edit.focused);
        EXPECT_EQ(edit.selStart, 0);
        EXPECT_EQ(edit.selEnd, 1);
        input::ReplaceText(Control(d, 100), L"0");
        input::PressKey(VK_RETURN);
    });
    driver.Then([&] {
        EXPECT_EQ(Inspect(Modal()).messageBox.text, L"Enter a whole number from 1 to 32767.");
        input::PressKey(VK_RETURN);
    });
    driver.Then([&] {
        EXPECT_TRUE(Inspect(Control(Modal(), 100)).focused);
        input::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // The exchange stopped at the failing field: the first field was saved, the value not.
    EXPECT_EQ(count, 0);
    EXPECT_DOUBLE_EQ(value, 7.0);
}

TEST_F(DataExchangeTest, FloatBoundsPrintSixDigits) {
    float value = 0;
    auto run = TypeAndSave(driver, L"2", [&](CDataExchange* dx) {
        DDX_Text(dx, 100, value);
        DDV_MinMaxFloat(dx, value, 0.1f, 1.0f / 3.0f);
    });
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.prompts, (std::vector<std::wstring>{L"Enter a number from 0.1 to 0.333333."}));
}

TEST_F(DataExchangeTest, LoadingDoesNotNotifyTheDialogButTypingDoes) {
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    CString text = L"loaded";
    int changes = 0;
    dlg.HandleCommand(100, EN_CHANGE, [&] { ++changes; });
    dlg.exchange = [&](CDataExchange* dx) { DDX_Text(dx, 100, text); };
    driver.Then([&] {
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(GetWindowTextString(Control(Modal(), 100)), L"loaded");
        input::Click(Control(Modal(), 100));
        input::TypeText(L"!");
        EXPECT_EQ(changes, 1);
        EXPECT_TRUE(dlg.UpdateData(TRUE));
        dlg.UpdateData(FALSE);  // the same value again: nothing is set, nothing raised
        EXPECT_EQ(changes, 1);
        input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(text, L"loaded!");
}

TEST_F(DataExchangeTest, ThreeStateCheckBoxesCycleAndTwoStateOnesStayTwoState) {
    TemplateBuilder b;
    b.Add(L"Button", 201, WS_TABSTOP | BS_AUTO3STATE, L"Three")
        .Add(L"Button", 202, WS_TABSTOP | BS_AUTOCHECKBOX, L"Two")
        .Add(L"Button", 203, WS_TABSTOP | BS_3STATE, L"Plain")
        .OkCancel();
    TestDialog dlg(b.t);
    int three = BST_INDETERMINATE, two = 7, plain = BST_UNCHECKED;
    int plainClicks = 0;
    dlg.HandleCommand(203, [&] { ++plainClicks; });
    dlg.exchange = [&](CDataExchange* dx) {
        DDX_Check(dx, 201, three);
        DDX_Check(dx, 202, two);
        DDX_Check(dx, 203, plain);
    };
    std::vector<int> states;
    driver.Then([&] {
        HWND d = Modal();
        states.push_back(Inspect(Control(d, 201)).check);
        for (int i = 0; i < 3; ++i) {
            input::Click(Control(d, 201));
            states.push_back(Inspect(Control(d, 201)).check);
        }
        EXPECT_EQ(Inspect(Control(d, 202)).check, BST_UNCHECKED);  // an invalid value loads as unchecked
        SendMessage(Control(d, 202), BM_SETCHECK, BST_INDETERMINATE, 0);
        EXPECT_EQ(Inspect(Control(d, 202)).check, BST_CHECKED);
        input::Click(Control(d, 203));  // not automatic: the dialog decides
        EXPECT_EQ(Inspect(Control(d, 203)).check, BST_UNCHECKED);
        input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(states, (std::vector<int>{BST_INDETERMINATE, BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE}));
    EXPECT_EQ(three, BST_INDETERMINATE);
    EXPECT_EQ(two, BST_CHECKED);
    EXPECT_EQ(plainClicks, 1);
}

TEST_F(DataExchangeTest, ComboItemDataFollowsItsItemThroughSortingAndSelection) {
    TemplateBuilder b;
    b.Add(L"ComboBox", 300, WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT, L"", 5, 5, 80, 60).OkCancel();
    TestDialog dlg(b.t);
    int index = -1;
    std::vector<std::wstring> events;
    dlg.HandleCommand(300, CBN_DROPDOWN, [&] { events.push_back(L"dropdown"); });
    dlg.HandleCommand(300, CBN_SELCHANGE, [&] { events.push_back(L"selchange"); });
    dlg.HandleCommand(300, CBN_SELENDOK, [&] { events.push_back(L"selendok"); });
    dlg.HandleCommand(300, CBN_CLOSEUP, [&] { events.push_back(L"closeup"); });
    dlg.init = [&] {
        CComboBox* combo = static_cast<CComboBox*>(dlg.GetDlgItem(300));
        combo->SetItemData(combo->AddString(L"Cylindrical"), 11);
        combo->SetItemData(combo->AddString(L"Global"), 0);
        combo->SetItemData(combo->AddString(L"Spherical"), 33);
        combo->SetItemData(combo->AddString(L"Another"), 44);
    };
    dlg.exchange = [&](CDataExchange* dx) { DDX_CBIndex(dx, 300, index); };
    driver.Then([&] {
        HWND combo = Control(Modal(), 300);
        WindowView v = Inspect(combo);
        ASSERT_EQ(v.items.size(), 4u);
        EXPECT_EQ(v.items[0].text, L"Another");
        EXPECT_EQ(v.items[0].data, 44u);
        EXPECT_EQ(v.items[3].data, 33u);
        EXPECT_EQ(v.selection, -1);
        EXPECT_EQ(v.text, L"");
        EXPECT_TRUE(input::SelectItemByText(combo, L"Global"));
        EXPECT_EQ(GetWindowTextString(combo), L"Global");
        EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, SendMessage(combo, CB_GETCURSEL, 0, 0), 0), 0);
        EXPECT_FALSE(input::SelectItem(combo, 9));
        EXPECT_EQ(SendMessage(combo, CB_SETCURSEL, 9, 0), CB_ERR);  // out of range clears the selection
        EXPECT_EQ(GetWindowTextString(combo), L"");
        input::SelectItem(combo, 2);
        input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(events, (std::vector<std::wstring>{L"dropdown", L"selchange", L"selendok", L"closeup", L"dropdown",
                                                 L"selchange", L"selendok", L"closeup"}));
}

TEST_F(DataExchangeTest, MaxCharsLimitsTheEditAndRefusesLongerSavedText) {
    CString text = L"abc";
    auto run = TypeAndSave(driver, L"abcdef", [&](CDataExchange* dx) {
        DDX_Text(dx, 100, text);
        DDV_MaxChars(dx, text, 4);
    });
    // The limit set on loading stops typing at four characters, so the save passes.
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(text, L"abcd");
}

TEST_F(DataExchangeTest, AMissingControlIsReportedAndTheDialogStaysUsable) {
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    bool failOnSave = false;
    int value = 0;
    dlg.exchange = [&](CDataExchange* dx) {
        if (failOnSave) DDX_Text(dx, 999, value);
    };
    driver.Then([&] {
        failOnSave = true;
        input::PressKey(VK_RETURN);
    });
    driver.Then([&] { input::PressKey(VK_ESCAPE); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_FALSE(ProcedureFailures().empty());
    EXPECT_NE(ProcedureFailures()[0].find(L"999"), std::wstring::npos);
}

TEST_F(DataExchangeTest, FrameworkValueTypesRoundTripThroughText) {
    TestDialog dlg(TemplateBuilder().Edit(100).Edit(101).Edit(102).OkCancel().t);
    COleCurrency money;
    money.m_cur = 12345678;  // 1234.5678
    COleDateTime when;
    when.m_dt = 45000.5;
    GUID id = orv::com::GuidFromString(L"{8057A4FE-F7A7-11D4-952C-0001028487BE}");
    dlg.exchange = [&](CDataExchange* dx) {
        DDX_Text(dx, 100, money);
        DDX_Text(dx, 101, when);
        DDX_Text(dx, 102, id);
    };
    driver.Then([&] {
        HWND d = Modal();
        EXPECT_EQ(GetWindowTextString(Control(d, 100)), L"1234.5678");
        EXPECT_EQ(GetWindowTextString(Control(d, 101)), L"2023-03-15 12:00:00");
        input::ReplaceText(Control(d, 100), L"-2.5");
        input::ReplaceText(Control(d, 101), L"2000-02-29");
        input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(money.m_cur, -25000);
    EXPECT_DOUBLE_EQ(when.m_dt, 36585.0);
    EXPECT_EQ(id, orv::com::GuidFromString(L"{8057A4FE-F7A7-11D4-952C-0001028487BE}"));
}

}  // namespace
