// The modal loop, message boxes, navigation and the person-level input the dialogs rely on.

#include <gtest/gtest.h>

#include "KernelTestSupport.h"

using namespace kerneltest;
using namespace orv::win;

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ResetKernel(); }
    void TearDown() override { ResetKernel(); }
    StepDriver driver;
    DriverScope scope{&driver};
};

TEST_F(DialogTest, EnterPressesTheDefaultButtonAndEndsTheModalLoop) {
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    HWND seen = nullptr;
    driver.Then([&] {
        seen = Modal();
        EXPECT_TRUE(input::PressKey(VK_RETURN));
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));  // the loop destroyed the window after the dispatch
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, EscapeAndCloseAnswerCancel) {
    TestDialog a(TemplateBuilder().Edit(100).OkCancel().t);
    driver.Then([] { input::PressKey(VK_ESCAPE); });
    EXPECT_EQ(a.DoModal(), IDCANCEL);
    TestDialog b(TemplateBuilder().Edit(100).OkCancel().t);
    driver.Then([] { EXPECT_TRUE(input::CloseWindow(Modal())); });
    EXPECT_EQ(b.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, RunningOutOfInputFailsAtOnceWithAClearError) {
    TestDialog dlg(TemplateBuilder(L"Loads").Edit(100).OkCancel().t);
    EXPECT_EQ(dlg.DoModal(), kModalNoInput);
    EXPECT_NE(ModalError().find(L"\"Loads\""), std::wstring::npos);
    EXPECT_TRUE(TopLevelWindows().empty());
}

TEST_F(DialogTest, NestedMessageBoxIsAnOrdinaryDialogAndItsAnswerReturnsToTheHandler) {
    TestDialog dlg(TemplateBuilder(L"Outer").Edit(100).Button(200, L"Ask").OkCancel().t);
    int answer = 0;
    dlg.HandleCommand(200, [&] { answer = AfxMessageBox(L"Replace it?", MB_YESNO); });
    driver.Then([&] { EXPECT_TRUE(input::Click(Control(Modal(), 200))); });
    driver.Then([&] {
        WindowView box = Inspect(Modal());
        ASSERT_TRUE(box.isMessageBox);
        EXPECT_EQ(box.messageBox.text, L"Replace it?");
        EXPECT_EQ(box.messageBox.icon, MB_ICONQUESTION);  // the framework's default for Yes/No
        EXPECT_EQ(box.messageBox.buttons, (std::vector<int>{IDYES, IDNO}));
        // The owner is disabled while the box is open; a person cannot reach it.
        EXPECT_FALSE(IsWindowEnabled(box.owner));
        EXPECT_FALSE(input::Click(Control(box.owner, IDOK)));
        // Yes/No boxes have no Close command.
        EXPECT_FALSE(input::CloseWindow(Modal()));
        EXPECT_TRUE(input::Click(Control(Modal(), IDNO)));
    });
    driver.Then([&] {
        EXPECT_EQ(answer, IDNO);
        EXPECT_FALSE(Inspect(Modal()).isMessageBox);
        EXPECT_TRUE(IsWindowEnabled(Modal()));
        input::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, ExhaustionInsideANestedMessageBoxEndsBothLoops) {
    TestDialog dlg(TemplateBuilder().Button(200, L"Ask").OkCancel().t);
    int answer = 0;
    dlg.HandleCommand(200, [&] { answer = AfxMessageBox(L"Sure?", MB_OKCANCEL); });
    driver.Then([&] { input::Click(Control(Modal(), 200)); });
    EXPECT_EQ(dlg.DoModal(), kModalNoInput);
    EXPECT_EQ(answer, kModalNoInput);
    EXPECT_NE(ModalError().find(L"Sure?"), std::wstring::npos);
}

TEST_F(DialogTest, MessageBoxDefaultButtonAndEscapeRules) {
    struct Case {
        UINT type;
        UINT key;
        int expected;
    } cases[] = {
        {MB_OK, VK_ESCAPE, IDOK},
        {MB_OK, VK_RETURN, IDOK},
        {MB_OKCANCEL, VK_ESCAPE, IDCANCEL},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, VK_RETURN, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, VK_RETURN, IDCANCEL},
        {MB_YESNO, VK_RETURN, IDYES},
        {MB_RETRYCANCEL, VK_ESCAPE, IDCANCEL},
    };
    for (const auto& c : cases) {
        driver.Then([&] { input::PressKey(c.key); });
        EXPECT_EQ(MessageBox(nullptr, L"text", L"caption", c.type), c.expected) << c.type;
    }
    // Escape does nothing in a Yes/No box; the box waits for a real answer.
    driver.Then([] { input::PressKey(VK_ESCAPE); });
    driver.Then([] { input::Click(Control(Modal(), IDYES)); });
    EXPECT_EQ(MessageBox(nullptr, L"text", nullptr, MB_YESNO), IDYES);
}

TEST_F(DialogTest, AfxMessageBoxUsesBuiltInPromptsAndHelpContext) {
    driver.Then([] {
        WindowView box = Inspect(Modal());
        EXPECT_EQ(box.messageBox.text, L"Enter a number.");
        EXPECT_EQ(box.messageBox.icon, MB_ICONEXCLAMATION);
        EXPECT_EQ(box.messageBox.helpContext, AFX_IDP_PARSE_REAL);
        EXPECT_EQ(box.text, ApplicationName());
        input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(AfxMessageBox(AFX_IDP_PARSE_REAL), IDOK);
}

TEST_F(DialogTest, TabAndShiftTabVisitTabStopsInTemplateOrderSkippingDisabledAndHidden) {
    TemplateBuilder b;
    b.Edit(101).Edit(102).Edit(103).Edit(104).OkCancel();
    TestDialog dlg(b.t);
    std::vector<int> visited;
    driver.Then([&] {
        HWND d = Modal();
        EnableWindow(Control(d, 102), FALSE);
        ShowWindow(Control(d, 103), SW_HIDE);
        visited.push_back(GetDlgCtrlID(GetFocus()));
        for (int i = 0; i < 4; ++i) {
            input::PressKey(VK_TAB);
            visited.push_back(GetDlgCtrlID(GetFocus()));
        }
        input::PressKey(VK_TAB, {true});
        visited.push_back(GetDlgCtrlID(GetFocus()));
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
    EXPECT_EQ(visited, (std::vector<int>{101, 104, IDOK, IDCANCEL, 101, IDCANCEL}));
}

TEST_F(DialogTest, TabIntoAnEditSelectsAllOfItsText) {
    TestDialog dlg(TemplateBuilder().Edit(101).Edit(102).OkCancel().t);
    driver.Then([&] {
        HWND d = Modal();
        SetWindowText(Control(d, 102), L"12.5");
        input::PressKey(VK_TAB);
        WindowView v = Inspect(Control(d, 102));
        EXPECT_TRUE(v.focused);
        EXPECT_EQ(v.selStart, 0);
        EXPECT_EQ(v.selEnd, 4);
        input::TypeText(L"7");
        EXPECT_EQ(GetWindowTextString(Control(d, 102)), L"7");
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(DialogTest, ClickMovesTheFocusBeforeTheButtonNotifies) {
    TestDialog dlg(TemplateBuilder().Edit(101).Button(200, L"Go").OkCancel().t);
    std::vector<std::wstring> events;
    dlg.HandleCommand(101, EN_KILLFOCUS, [&] { events.push_back(L"kill 101"); });
    dlg.HandleCommand(200, BN_CLICKED, [&] { events.push_back(GetFocus() == Control(dlg.m_hWnd, 200) ? L"click, focus on 200" : L"click"); });
    driver.Then([&] {
        input::Click(Control(Modal(), 200));
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
    EXPECT_EQ(events, (std::vector<std::wstring>{L"kill 101", L"click, focus on 200"}));
}

TEST_F(DialogTest, RadioGroupArrowsMoveAndCheckWithinTheGroupOnly) {
    TemplateBuilder b;
    b.Add(L"Button", 301, WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, L"&X")
        .Add(L"Button", 302, BS_AUTORADIOBUTTON, L"&Y")
        .Add(L"Button", 303, BS_AUTORADIOBUTTON, L"&Z")
        .Add(L"Button", 304, WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, L"&Other")
        .OkCancel();
    TestDialog dlg(b.t);
    std::vector<int> clicks;
    dlg.HandleCommandRange(301, 303, BN_CLICKED, [&](UINT id) { clicks.push_back(int(id)); });
    int radio = 0;
    dlg.exchange = [&](CDataExchange* dx) { DDX_Radio(dx, 301, radio); };
    driver.Then([&] {
        HWND d = Modal();
        EXPECT_EQ(IsDlgButtonChecked(d, 301), UINT(BST_CHECKED));  // loaded from radio = 0
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), 301);
        input::PressKey(VK_DOWN);
        input::PressKey(VK_DOWN);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), 303);
        input::PressKey(VK_DOWN);  // wraps within the group
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), 301);
        input::PressKey(VK_UP);
        EXPECT_EQ(IsDlgButtonChecked(d, 303), UINT(BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(d, 301), UINT(BST_UNCHECKED));
        // Tab leaves the group for the next tab stop, Shift+Tab comes back to the checked button.
        input::PressKey(VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), 304);
        input::PressKey(VK_TAB, {true});
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), 303);
        input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(radio, 2);
    EXPECT_EQ(clicks, (std::vector<int>{302, 303, 301, 303}));
}

TEST_F(DialogTest, CheckRadioButtonWalksIdsAndDdxRadioReadsTheGroup) {
    TemplateBuilder b;
    b.Add(L"Button", 301, WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, L"A")
        .Add(L"Button", 302, BS_AUTORADIOBUTTON, L"B")
        .Add(L"Static", 399, 0, L"not a radio")
        .Add(L"Button", 303, BS_AUTORADIOBUTTON, L"C")
        .Add(L"Button", 304, WS_GROUP | BS_AUTORADIOBUTTON, L"next group")
        .OkCancel();
    TestDialog dlg(b.t);
    int value = -5;
    driver.Then([&] {
        HWND d = Modal();
        CheckRadioButton(d, 301, 303, 303);
        CheckDlgButton(d, 304, BST_CHECKED);
        input::PressKey(VK_RETURN);
    });
    dlg.exchange = [&](CDataExchange* dx) {
        if (dx->m_bSaveAndValidate) DDX_Radio(dx, 301, value);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(value, 2);  // the static is skipped, the next group is not counted
}

TEST_F(DialogTest, MnemonicsPressButtonsAndMoveFromLabelsToTheirControls) {
    TemplateBuilder b;
    b.Add(L"Static", 90, 0, L"&Value").Edit(101).Add(L"Button", 400, WS_TABSTOP | BS_AUTOCHECKBOX, L"&Lock").OkCancel();
    TestDialog dlg(b.t);
    driver.Then([&] {
        HWND d = Modal();
        input::Focus(Control(d, 400));
        input::PressKey('V', {false, false, true});
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), 101);
        input::PressKey('L', {false, false, true});
        EXPECT_EQ(IsDlgButtonChecked(d, 400), UINT(BST_CHECKED));
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(DialogTest, F1SendsHelpInfoOfTheFocusedControlToTheDialog) {
    TestDialog dlg(TemplateBuilder().Edit(1011).OkCancel().t);
    HELPINFO got;
    dlg.HandleMessage(WM_HELP, [&](WPARAM, LPARAM l) {
        got = *reinterpret_cast<HELPINFO*>(l);
        return LRESULT(TRUE);
    });
    driver.Then([&] {
        input::PressKey(VK_F1);
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
    EXPECT_EQ(got.iCtrlId, 1011);
    EXPECT_EQ(got.iContextType, HELPINFO_WINDOW);
}

TEST_F(DialogTest, AnExceptionInAHandlerIsReportedAndTheDialogStaysOpen) {
    TestDialog dlg(TemplateBuilder().Button(200, L"Boom").OkCancel().t);
    dlg.HandleCommand(200, [] { throw std::runtime_error("handler failed"); });
    driver.Then([&] { input::Click(Control(Modal(), 200)); });
    driver.Then([&] {
        EXPECT_TRUE(IsWindow(Modal()));
        input::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(ProcedureFailures().size(), 1u);
    EXPECT_NE(ProcedureFailures()[0].find(L"handler failed"), std::wstring::npos);
}

TEST_F(DialogTest, EndDialogInOnInitDialogNeverEntersTheLoop) {
    TestDialog dlg(TemplateBuilder().OkCancel().t);
    dlg.init = [&] { dlg.EndDialog(42); };
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_TRUE(driver.waitedOn.empty());
}

TEST_F(DialogTest, DialogUnitsMapWithTheFontsBaseUnits) {
    TestDialog dlg(TemplateBuilder(L"Units", 100, 50).Add(L"Static", 90, 0, L"x", 10, 20, 40, 8).OkCancel().t);
    driver.Then([&] {
        HWND d = Modal();
        RECT r{0, 0, 4, 8};
        MapDialogRect(d, &r);
        EXPECT_EQ(r.right, 6);
        EXPECT_EQ(r.bottom, 13);
        RECT client;
        GetClientRect(d, &client);
        EXPECT_EQ(client.right, 150);
        EXPECT_EQ(client.bottom, 81);
        RECT label;
        GetWindowRect(Control(d, 90), &label);
        POINT origin{label.left, label.top};
        ScreenToClient(d, &origin);
        EXPECT_EQ(origin.x, 15);
        EXPECT_EQ(origin.y, 33);
        EXPECT_EQ(label.right - label.left, 60);
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(DialogTest, DialogsOpenInsideTheWorkAreaOfThePrimaryMonitor) {
    TestDialog dlg(TemplateBuilder(L"Placed", 200, 100).OkCancel().t);
    driver.Then([&] {
        RECT r;
        GetWindowRect(Modal(), &r);
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.right, 1920);
        EXPECT_LE(r.bottom, 1040);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

}  // namespace

namespace {

TEST_F(DialogTest, TabNavigationRunsThroughChildPanelsAndEnterStillReachesTheDialog) {
    TemplateBuilder outer(L"Calculator", 220, 120);
    outer.Edit(101).OkCancel();
    TestDialog dlg(outer.t);
    orv::res::DialogTemplate panelTemplate;
    panelTemplate.style = WS_CHILD | WS_VISIBLE | DS_CONTROL;
    panelTemplate.cx = 100, panelTemplate.cy = 40, panelTemplate.x = 5, panelTemplate.y = 30;
    TemplateBuilder inner;
    inner.Edit(201).Edit(202);
    panelTemplate.items = inner.t.items;
    TestDialog panel(panelTemplate);
    dlg.init = [&] { ASSERT_TRUE(panel.CreateIndirect(&panelTemplate, &dlg)); };
    std::vector<int> visited;
    driver.Then([&] {
        for (int i = 0; i < 4; ++i) {
            visited.push_back(GetDlgCtrlID(GetFocus()));
            input::PressKey(VK_TAB);
        }
        input::PressKey(VK_TAB);  // from 202 in the panel back round to 101
        visited.push_back(GetDlgCtrlID(GetFocus()));
        input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(visited, (std::vector<int>{101, IDOK, IDCANCEL, 201, 101}));
}

}  // namespace
