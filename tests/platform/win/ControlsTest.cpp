// Built-in controls driven as a person drives them, table-driven where the behaviour is a
// function of text, selection and keys; focus, activation and window life cycle.

#include <gtest/gtest.h>

#include "KernelTestSupport.h"

using namespace kerneltest;
using namespace orv::win;

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetKernel(); }
    void TearDown() override { ResetKernel(); }
    StepDriver driver;
    DriverScope scope{&driver};

    // A dialog with one control; `body` runs while it is open.
    void WithDialog(TemplateBuilder b, std::function<void(HWND)> body) {
        b.OkCancel();
        TestDialog dlg(b.t);
        driver.Then([&] {
            body(Modal());
            input::PressKey(VK_ESCAPE);
        });
        dlg.DoModal();
    }
};

// Keys: characters as typed, plus "<BS>", "<DEL>", "<HOME>", "<END>", "<LEFT>", "<RIGHT>",
// "<S-LEFT>", "<S-HOME>".
void Play(const std::wstring& keys) {
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == L'<') {
            size_t end = keys.find(L'>', i);
            std::wstring k = keys.substr(i + 1, end - i - 1);
            i = end;
            if (k == L"BS") input::PressKey(VK_BACK);
            else if (k == L"DEL") input::PressKey(VK_DELETE);
            else if (k == L"HOME") input::PressKey(VK_HOME);
            else if (k == L"END") input::PressKey(VK_END);
            else if (k == L"LEFT") input::PressKey(VK_LEFT);
            else if (k == L"RIGHT") input::PressKey(VK_RIGHT);
            else if (k == L"S-LEFT") input::PressKey(VK_LEFT, {true});
            else if (k == L"S-HOME") input::PressKey(VK_HOME, {true});
            continue;
        }
        input::TypeChar(keys[i]);
    }
}

TEST_F(ControlsTest, EditTypingTable) {
    struct Case {
        const wchar_t* name;
        DWORD style;
        const wchar_t* initial;
        int selStart, selEnd;
        int limit;  // 0: default
        const wchar_t* keys;
        const wchar_t* text;
        int caret;
    } cases[] = {
        {L"append", 0, L"12", 2, 2, 0, L"34", L"1234", 4},
        {L"replace selection", 0, L"12345", 1, 4, 0, L"x", L"1x5", 2},
        {L"backspace at start", 0, L"ab", 0, 0, 0, L"<BS>", L"ab", 0},
        {L"backspace deletes selection", 0, L"abcd", 1, 3, 0, L"<BS>", L"ad", 1},
        {L"delete at end", 0, L"ab", 2, 2, 0, L"<DEL>", L"ab", 2},
        {L"home then type", 0, L"bc", 2, 2, 0, L"<HOME>a", L"abc", 1},
        {L"shift selection", 0, L"abcd", 4, 4, 0, L"<S-LEFT><S-LEFT>x", L"abx", 3},
        {L"shift home", 0, L"abcd", 2, 2, 0, L"<S-HOME>z", L"zcd", 1},
        {L"limit stops typing", 0, L"123", 3, 3, 4, L"456", L"1234", 4},
        {L"limit counts the replaced selection", 0, L"1234", 0, 4, 4, L"ab", L"ab", 2},
        {L"numbers only", ES_NUMBER, L"", 0, 0, 0, L"1a2", L"12", 2},
        {L"upper case", ES_UPPERCASE, L"", 0, 0, 0, L"e5x", L"E5X", 3},
        {L"read-only ignores typing", ES_READONLY, L"keep", 4, 4, 0, L"x<BS><DEL>", L"keep", 4},
        {L"escape and tab do not type", 0, L"", 0, 0, 0, L"", L"", 0},
    };
    for (const auto& c : cases) {
        WithDialog(TemplateBuilder().Edit(100, c.style), [&](HWND d) {
            HWND e = Control(d, 100);
            SetWindowText(e, c.initial);
            if (c.limit) SendMessage(e, EM_LIMITTEXT, WPARAM(c.limit), 0);
            input::Focus(e);
            SendMessage(e, EM_SETSEL, WPARAM(c.selStart), c.selEnd);
            Play(c.keys);
            EXPECT_EQ(GetWindowTextString(e), c.text) << c.name;
            POINT caret;
            GetCaretPos(&caret);
            EXPECT_EQ((caret.x - 1) / 6, c.caret) << c.name;
        });
    }
}

TEST_F(ControlsTest, EditRefusalsBeepOnlyWhereTheFrameworkBeeps) {
    WithDialog(TemplateBuilder().Edit(100, ES_NUMBER), [&](HWND d) {
        input::Focus(Control(d, 100));
        input::TypeText(L"1x");
        EXPECT_EQ(Beeps().size(), 1u);
    });
}

TEST_F(ControlsTest, MultiLineEditsTakeEnterOnlyWithWantReturn) {
    TemplateBuilder b;
    b.Edit(100, ES_MULTILINE | ES_WANTRETURN).Edit(101, ES_MULTILINE);
    int oks = 0;
    b.OkCancel();
    TestDialog dlg(b.t);
    dlg.HandleCommand(IDOK, [&] { ++oks; });
    driver.Then([&] {
        HWND d = Modal();
        input::Focus(Control(d, 100));
        input::TypeText(L"a");
        input::PressKey(VK_RETURN);
        input::TypeText(L"b");
        EXPECT_EQ(GetWindowTextString(Control(d, 100)), L"a\r\nb");
        EXPECT_EQ(oks, 0);
        input::Focus(Control(d, 101));
        input::PressKey(VK_RETURN);
        EXPECT_EQ(oks, 1);
        EXPECT_EQ(GetWindowTextString(Control(d, 101)), L"");
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(ControlsTest, ListBoxSortsNotifiesOnlyWhenAskedAndSelectsSeveral) {
    TemplateBuilder b;
    b.Add(L"ListBox", 100, WS_TABSTOP | LBS_SORT | LBS_NOTIFY, L"", 5, 5, 60, 40)
        .Add(L"ListBox", 101, WS_TABSTOP | LBS_MULTIPLESEL, L"", 70, 5, 60, 40)
        .OkCancel();
    TestDialog dlg(b.t);
    int changes100 = 0, changes101 = 0;
    dlg.HandleCommand(100, LBN_SELCHANGE, [&] { ++changes100; });
    dlg.HandleCommand(101, LBN_SELCHANGE, [&] { ++changes101; });
    driver.Then([&] {
        HWND d = Modal();
        CListBox* sorted = static_cast<CListBox*>(CWnd::FromHandle(Control(d, 100)));
        sorted->AddString(L"pear");
        sorted->AddString(L"Apple");
        sorted->AddString(L"fig");
        sorted->InsertString(-1, L"aaa (appended)");
        CString first;
        sorted->GetText(0, first);
        EXPECT_EQ(first, L"Apple");
        EXPECT_EQ(sorted->FindStringExact(-1, L"FIG"), 1);
        sorted->SetCurSel(2);
        EXPECT_EQ(changes100, 0);  // selection from code raises nothing
        input::SelectItem(Control(d, 100), 0);
        EXPECT_EQ(changes100, 1);
        CListBox* multi = static_cast<CListBox*>(CWnd::FromHandle(Control(d, 101)));
        for (auto s : {L"a", L"b", L"c"}) multi->AddString(s);
        input::ToggleItem(Control(d, 101), 0);
        input::ToggleItem(Control(d, 101), 2);
        int items[3] = {};
        EXPECT_EQ(multi->GetSelItems(3, items), 2);
        EXPECT_EQ(items[1], 2);
        EXPECT_EQ(changes101, 0);  // no LBS_NOTIFY
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(ControlsTest, EditableComboTypesIntoItsEditAndSelectionSetsTheText) {
    TemplateBuilder b;
    b.Add(L"ComboBox", 100, WS_TABSTOP | CBS_DROPDOWN, L"", 5, 5, 60, 60);
    std::vector<std::wstring> events;
    WithDialog(b, [&](HWND d) {
        HWND combo = Control(d, 100);
        CComboBox* c = static_cast<CComboBox*>(CWnd::FromHandle(combo));
        c->AddString(L"Steel");
        c->AddString(L"Stainless");
        EXPECT_EQ(c->SelectString(-1, L"sta"), 1);
        EXPECT_EQ(GetWindowTextString(combo), L"Stainless");
        input::ReplaceText(combo, L"Custom");
        EXPECT_EQ(GetWindowTextString(combo), L"Custom");
        c->DeleteString(1);
        EXPECT_EQ(c->GetCurSel(), -1);
        EXPECT_EQ(c->FindStringExact(-1, L"steel"), 0);
        EXPECT_EQ(c->FindStringExact(-1, L"ste"), CB_ERR);
    });
}

TEST_F(ControlsTest, GetDlgItemIntTable) {
    struct Case {
        const wchar_t* text;
        BOOL isSigned;
        BOOL translated;
        UINT value;
    } cases[] = {
        {L"12", TRUE, TRUE, 12},          {L" -7 ", TRUE, TRUE, UINT(-7)}, {L"-7", FALSE, FALSE, 0},
        {L"4294967295", FALSE, TRUE, 4294967295u}, {L"4294967296", FALSE, FALSE, 0},
        {L"2147483648", TRUE, FALSE, 0},  {L"", TRUE, FALSE, 0},          {L"3x", TRUE, FALSE, 0},
    };
    WithDialog(TemplateBuilder().Edit(100), [&](HWND d) {
        for (const auto& c : cases) {
            SetDlgItemText(d, 100, c.text);
            BOOL translated = -1;
            UINT v = GetDlgItemInt(d, 100, &translated, c.isSigned);
            EXPECT_EQ(translated, c.translated) << c.text;
            EXPECT_EQ(v, c.value) << c.text;
        }
    });
}

TEST_F(ControlsTest, FocusChangesSendKillBeforeSetAndLeaveDisabledOrHiddenControls) {
    TemplateBuilder b;
    b.Edit(101).Edit(102);
    std::vector<std::wstring> log;
    b.OkCancel();
    TestDialog dlg(b.t);
    dlg.HandleCommand(101, EN_KILLFOCUS, [&] { log.push_back(L"kill 101"); });
    dlg.HandleCommand(102, EN_SETFOCUS, [&] { log.push_back(L"set 102"); });
    driver.Then([&] {
        HWND d = Modal();
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), 101);
        input::Focus(Control(d, 102));
        EXPECT_EQ(log, (std::vector<std::wstring>{L"kill 101", L"set 102"}));
        EnableWindow(Control(d, 102), FALSE);
        EXPECT_EQ(GetFocus(), nullptr);
        input::PressKey(VK_TAB);  // navigation starts again at the first tab stop
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), 101);
        ShowWindow(Control(d, 101), SW_HIDE);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(ControlsTest, ClosingAMessageBoxGivesTheFocusBackToTheControlThatHadIt) {
    TemplateBuilder b;
    b.Edit(101).Edit(102).Button(200, L"Ask");
    b.OkCancel();
    TestDialog dlg(b.t);
    dlg.HandleCommand(102, EN_CHANGE, [&] { AfxMessageBox(L"Changed"); });
    driver.Then([&] {
        input::Focus(Control(Modal(), 102));
        input::TypeChar(L'1');
    });
    driver.Then([&] { input::PressKey(VK_RETURN); });  // answers the box
    driver.Then([&] {
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), 102);
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(ControlsTest, SpinButtonDefaultsWrapAndVeto) {
    TemplateBuilder b;
    b.Edit(100).Add(L"msctls_updown32", 101, UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_WRAP, L"", 60, 5, 10, 14);
    b.OkCancel();
    TestDialog dlg(b.t);
    bool veto = false;
    dlg.HandleNotify(101, UDN_DELTAPOS, [&](NMHDR*, LRESULT* r) { *r = veto; });
    driver.Then([&] {
        HWND d = Modal();
        HWND spin = Control(d, 101);
        WindowView v = Inspect(spin);
        EXPECT_EQ(v.rangeMin, 100);  // the framework's default range runs from 100 to 0
        EXPECT_EQ(v.rangeMax, 0);
        SendMessage(spin, UDM_SETRANGE32, 1, 3);
        SendMessage(spin, UDM_SETPOS32, 0, 3);
        input::Spin(spin, 1);
        EXPECT_EQ(GetWindowTextString(Control(d, 100)), L"1");  // wraps to the lower bound
        veto = true;
        input::Spin(spin, 1);
        EXPECT_EQ(GetWindowTextString(Control(d, 100)), L"1");
        SendMessage(spin, UDM_SETRANGE32, 0, 5000);
        SendMessage(spin, UDM_SETPOS32, 0, 1234);
        EXPECT_EQ(GetWindowTextString(Control(d, 100)), L"1,234");
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(ControlsTest, DialogUnitsFollowTheTemplateFont) {
    struct Case {
        int points, baseX, baseY;
    } cases[] = {{8, 6, 13}, {9, 7, 15}, {10, 8, 16}, {12, 9, 20}};
    for (const auto& c : cases) {
        TemplateBuilder b;
        b.t.fontPointSize = c.points;
        WithDialog(b, [&](HWND d) {
            RECT r{0, 0, 4, 8};
            MapDialogRect(d, &r);
            EXPECT_EQ(r.right, c.baseX) << c.points;
            EXPECT_EQ(r.bottom, c.baseY) << c.points;
        });
    }
}

class Recorder : public Driver {
public:
    std::vector<std::wstring> events;
    bool WaitForInput(HWND) override { return false; }
    void WindowCreated(HWND h) override { events.push_back(L"created " + GetClassNameString(h)); }
    void WindowDestroyed(HWND h) override { events.push_back(L"destroyed " + GetClassNameString(h)); }
};

TEST_F(ControlsTest, DestructionSendsDestroyTopDownAndNotifiesTheDriverBottomUp) {
    Recorder recorder;
    DriverScope local(&recorder);
    std::vector<std::wstring> order;
    struct Logger : CWnd {
        std::vector<std::wstring>* order = nullptr;
        std::wstring name;
        Logger() {
            HandleMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> LRESULT {
                order->push_back(L"destroy " + name);
                return 0;
            });
            HandleMessage(WM_NCDESTROY, [this](WPARAM, LPARAM) -> LRESULT {
                order->push_back(L"ncdestroy " + name);
                return 0;
            });
        }
    } parent, child;
    parent.order = child.order = &order;
    parent.name = L"parent";
    child.name = L"child";
    ASSERT_TRUE(parent.CreateEx(0, L"OrvGenericWindow", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    ASSERT_TRUE(child.Create(L"Static", L"x", WS_CHILD, CRect(0, 0, 10, 10), &parent, 5));
    parent.DestroyWindow();
    EXPECT_EQ(order, (std::vector<std::wstring>{L"destroy parent", L"destroy child", L"ncdestroy child", L"ncdestroy parent"}));
    EXPECT_EQ(recorder.events, (std::vector<std::wstring>{L"created OrvGenericWindow", L"created Static",
                                                          L"destroyed Static", L"destroyed OrvGenericWindow"}));
}

TEST_F(ControlsTest, MessageBoxHelpButtonAsksForTheHelpContextAndKeepsTheBoxOpen) {
    SetHelpFilePath(L"Help/enu/OrvenHelp_1_0.chm");
    driver.Then([] {
        EXPECT_EQ(Inspect(Modal()).messageBox.buttons, (std::vector<int>{IDOK, IDHELP}));
        input::Click(Control(Modal(), IDHELP));
        EXPECT_TRUE(Inspect(Modal()).isMessageBox);
        input::Click(Control(Modal(), IDOK));
    });
    EXPECT_EQ(ShowMessageBox(nullptr, L"See the help.", L"Info", MB_OK | MB_HELP | MB_ICONINFORMATION, 1065), IDOK);
    ASSERT_EQ(HelpRequests().size(), 1u);
    EXPECT_EQ(HelpRequests()[0].command, HH_HELP_CONTEXT);
    EXPECT_EQ(HelpRequests()[0].data, 1065u);
    EXPECT_EQ(HelpRequests()[0].file, L"Help/enu/OrvenHelp_1_0.chm");
}

}  // namespace

namespace {

TEST_F(ControlsTest, ExtendedComboItemsCarryImagesAndDataAndSelectLikeACombo) {
    TemplateBuilder b;
    b.Add(L"ComboBoxEx32", 100, WS_TABSTOP | CBS_DROPDOWNLIST, L"", 5, 5, 80, 60);
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1));
    images.Add(::LoadIcon(nullptr, IDI_ASTERISK));
    images.Add(::LoadIcon(nullptr, IDI_QUESTION));
    EXPECT_EQ(images.GetImageCount(), 2);
    WithDialog(b, [&](HWND d) {
        auto* combo = static_cast<CComboBoxEx*>(CWnd::FromHandle(Control(d, 100)));
        combo->SetImageList(&images);
        const wchar_t* names[] = {L"Global", L"Cylindrical"};
        for (int i = 0; i < 2; ++i) {
            COMBOBOXEXITEM item;
            item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
            item.iItem = i;
            item.pszText = const_cast<LPWSTR>(names[i]);
            item.iImage = item.iSelectedImage = i;
            item.lParam = 500 + i;
            EXPECT_EQ(combo->InsertItem(&item), i);
        }
        EXPECT_EQ(combo->GetImageList(), CImageList::FromHandle(images.m_hImageList));
        input::SelectItem(Control(d, 100), 1);
        EXPECT_EQ(combo->GetItemData(combo->GetCurSel()), 501u);
        WindowView v = Inspect(Control(d, 100));
        EXPECT_EQ(v.items[1].image, 1);
        EXPECT_EQ(v.text, L"Cylindrical");
    });
}

TEST_F(ControlsTest, TheFrameworksPromptsLoadAsStringsAndMissingTemplatesAreReported) {
    CString prompt;
    EXPECT_TRUE(prompt.LoadString(AFX_IDP_PARSE_REAL_RANGE));
    EXPECT_EQ(prompt, L"Enter a number from %1 to %2.");
    CString none;
    EXPECT_FALSE(none.LoadString(61000));
    CDialog missing(64999);
    EXPECT_EQ(missing.DoModal(), -1);
    ASSERT_FALSE(ProcedureFailures().empty());
    EXPECT_NE(ProcedureFailures().back().find(L"64999"), std::wstring::npos);
    EXPECT_TRUE(TopLevelWindows().empty());
}

}  // namespace
