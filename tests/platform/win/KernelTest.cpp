// Messages, subclassing and reflection, timers on the clock, hooks, common controls, drawing
// and the recorded side effects.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "KernelTestSupport.h"

using namespace kerneltest;
using namespace orv::win;

namespace {

class KernelTest : public ::testing::Test {
protected:
    void SetUp() override { ResetKernel(); }
    void TearDown() override { ResetKernel(); }
    StepDriver driver;
    DriverScope scope{&driver};
};

// A plain window whose procedure records what it receives.
std::vector<std::pair<HWND, UINT>> g_log;
LRESULT LoggingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER || message == WM_TIMER) g_log.emplace_back(hwnd, message == WM_TIMER ? UINT(WM_TIMER + wParam) : message);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

HWND LoggingWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASS wc;
        wc.lpfnWndProc = LoggingProc;
        wc.lpszClassName = L"KernelTestLog";
        RegisterClass(&wc);
        registered = true;
    }
    return CreateWindowEx(0, L"KernelTestLog", L"log", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

TEST_F(KernelTest, PostedMessagesArriveInOrderAfterSentOnesAndDeadTargetsAreDropped) {
    g_log.clear();
    HWND a = LoggingWindow(), b = LoggingWindow();
    PostMessage(a, WM_USER + 1);
    PostMessage(b, WM_USER + 2);
    SendMessage(a, WM_USER + 3);
    PostMessage(a, WM_USER + 4);
    EXPECT_EQ(g_log.size(), 1u);
    DestroyWindow(b);
    EXPECT_FALSE(PostMessage(b, WM_USER + 5));
    PumpMessages();
    std::vector<std::pair<HWND, UINT>> expected{{a, WM_USER + 3}, {a, WM_USER + 1}, {a, WM_USER + 4}};
    EXPECT_EQ(g_log, expected);
}

TEST_F(KernelTest, TimersFireInTimeOrderOnTheKernelClockOnly) {
    g_log.clear();
    HWND w = LoggingWindow();
    SetTimer(w, 1, 100, nullptr);
    SetTimer(w, 2, 250, nullptr);
    EXPECT_TRUE(g_log.empty());
    input::AdvanceClock(99);
    EXPECT_TRUE(g_log.empty());
    input::AdvanceClock(401);
    std::vector<UINT> fired;
    for (auto& e : g_log) fired.push_back(e.second - WM_TIMER);
    EXPECT_EQ(fired, (std::vector<UINT>{1, 1, 2, 1, 1, 2, 1}));
    EXPECT_EQ(GetTickCount(), 500u);
    KillTimer(w, 1);
    g_log.clear();
    input::AdvanceClock(250);
    ASSERT_EQ(g_log.size(), 1u);
    EXPECT_EQ(g_log[0].second, WM_TIMER + 2);
    // Resetting a timer restarts its period.
    SetTimer(w, 2, 100, nullptr);
    g_log.clear();
    input::AdvanceClock(99);
    EXPECT_TRUE(g_log.empty());
}

// An edit subclass that refuses digits and reports its reflected change notification.
class NoDigitsEdit : public CEdit {
public:
    bool consume = false;
    int reflected = 0;
    NoDigitsEdit() {
        HandleMessage(WM_CHAR, [this](WPARAM w, LPARAM) -> LRESULT {
            if (w >= L'0' && w <= L'9') {
                MessageBeep(MB_ICONEXCLAMATION);
                return 0;
            }
            return Default();
        });
        HandleReflectedCommand(EN_CHANGE, [this] {
            ++reflected;
            return consume ? TRUE : FALSE;
        });
    }
};

TEST_F(KernelTest, SubclassedControlsSeeMessagesFirstAndReflectedNotificationsPassOnOrStop) {
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    NoDigitsEdit edit;
    int parentChanges = 0;
    dlg.HandleCommand(100, EN_CHANGE, [&] { ++parentChanges; });
    dlg.init = [&] { ASSERT_TRUE(edit.SubclassDlgItem(100, &dlg)); };
    driver.Then([&] {
        HWND e = Control(Modal(), 100);
        EXPECT_EQ(CWnd::FromHandle(e), &edit);
        input::Focus(e);
        input::TypeText(L"a1b");
        EXPECT_EQ(GetWindowTextString(e), L"ab");
        EXPECT_EQ(Beeps(), (std::vector<UINT>{MB_ICONEXCLAMATION}));
        EXPECT_EQ(edit.reflected, 2);
        EXPECT_EQ(parentChanges, 2);
        edit.consume = true;
        input::TypeText(L"c");
        EXPECT_EQ(edit.reflected, 3);
        EXPECT_EQ(parentChanges, 2);
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
    EXPECT_EQ(edit.m_hWnd, nullptr);  // detached when its window went
}

// A procedure installed over a dialog's own (the message target pattern).
WNDPROC g_previous = nullptr;
int g_seen = 0;
LRESULT TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 7) {
        ++g_seen;
        return 77;
    }
    return CallWindowProc(g_previous, hwnd, message, wParam, lParam);
}

TEST_F(KernelTest, ReplacingAWindowProcedureRoutesMessagesAndRestoringItUndoesThat) {
    TestDialog dlg(TemplateBuilder().OkCancel().t);
    driver.Then([&] {
        HWND d = Modal();
        g_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(d, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TargetProc)));
        EXPECT_EQ(SendMessage(d, WM_USER + 7), 77);
        EXPECT_EQ(g_seen, 1);
        SetWindowLongPtr(d, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
        EXPECT_EQ(SendMessage(d, WM_USER + 7), 0);
        EXPECT_EQ(g_seen, 1);
        input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(KernelTest, UserDataStylesAndWindowStateRoundTrip) {
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    driver.Then([&] {
        HWND e = Control(Modal(), 100);
        SetWindowLongPtr(e, GWLP_USERDATA, 1);
        EXPECT_EQ(GetWindowLongPtr(e, GWLP_USERDATA), 1);
        CWnd* w = dlg.GetDlgItem(100);
        w->EnableWindow(FALSE);
        EXPECT_FALSE(Inspect(e).enabled);
        w->ShowWindow(SW_HIDE);
        EXPECT_FALSE(Inspect(e).visible);
        EXPECT_FALSE(input::Click(e));
        EXPECT_NE(input::LastInputError().find(L"hidden"), std::wstring::npos);
        w->ShowWindow(SW_SHOW);
        EXPECT_FALSE(input::Click(e));
        EXPECT_NE(input::LastInputError().find(L"disabled"), std::wstring::npos);
        w->EnableWindow(TRUE);
        w->MoveWindow(10, 20, 30, 40);
        CRect r;
        w->GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        EXPECT_EQ(r, CRect(10, 20, 40, 60));
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

LRESULT CALLBACK CountingHook(int code, WPARAM vk, LPARAM lParam);
HHOOK g_hook = nullptr;
std::vector<UINT> g_keys;
LRESULT CALLBACK CountingHook(int code, WPARAM vk, LPARAM lParam) {
    if (code == HC_ACTION && !(lParam & (LPARAM(1) << 31))) g_keys.push_back(UINT(vk));
    return CallNextHookEx(g_hook, code, vk, lParam);
}

TEST_F(KernelTest, KeyboardHookSeesKeysGoingDown) {
    g_keys.clear();
    g_hook = SetWindowsHookEx(WH_KEYBOARD, CountingHook, nullptr, GetCurrentThreadId());
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    driver.Then([&] {
        input::TypeChar(L'x');
        UnhookWindowsHookEx(g_hook);
        input::TypeChar(L'y');
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
    EXPECT_EQ(g_keys, (std::vector<UINT>{'X'}));
}

TEST_F(KernelTest, ListViewReportColumnsItemsDataAndSelectionNotifications) {
    TemplateBuilder b;
    b.Add(L"SysListView32", 500, WS_TABSTOP | LVS_REPORT | LVS_EDITLABELS, L"", 5, 5, 150, 60).OkCancel();
    TestDialog dlg(b.t);
    std::vector<std::pair<int, UINT>> changed;
    dlg.HandleNotify(500, LVN_ITEMCHANGED, [&](NMHDR* h, LRESULT*) {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(h);
        changed.emplace_back(nm->iItem, nm->uNewState & LVIS_SELECTED);
    });
    bool acceptLabel = false;
    dlg.HandleNotify(500, LVN_ENDLABELEDIT, [&](NMHDR*, LRESULT* r) { *r = acceptLabel; });
    dlg.init = [&] {
        auto* list = static_cast<CListCtrl*>(dlg.GetDlgItem(500));
        list->InsertColumn(0, L"Name", LVCFMT_LEFT, 70);
        list->InsertColumn(1, L"Coefficient", LVCFMT_LEFT, 70);
        for (int i = 0; i < 3; ++i) {
            int at = list->InsertItem(i, (L"Item " + std::to_wstring(i)).c_str());
            list->SetItemText(at, 1, std::to_wstring(i * 10).c_str());
            list->SetItemData(at, DWORD_PTR(100 + i));
        }
    };
    driver.Then([&] {
        HWND list = Control(Modal(), 500);
        WindowView v = Inspect(list);
        EXPECT_EQ(v.columns, (std::vector<std::wstring>{L"Name", L"Coefficient"}));
        ASSERT_EQ(v.items.size(), 3u);
        EXPECT_EQ(v.items[2].subItems, (std::vector<std::wstring>{L"20"}));
        EXPECT_EQ(v.items[1].data, 101u);
        input::SelectItem(list, 1);
        input::SelectItem(list, 2);
        EXPECT_TRUE(input::ToggleItem(list, 0));
        EXPECT_EQ(static_cast<CListCtrl*>(CWnd::FromHandle(list))->GetSelectedCount(), 2u);
        EXPECT_TRUE(input::EditLabel(list, 0, L"Renamed"));  // refused by the parent
        EXPECT_EQ(Inspect(list).items[0].text, L"Item 0");
        acceptLabel = true;
        EXPECT_TRUE(input::EditLabel(list, 0, L"Renamed"));
        EXPECT_EQ(Inspect(list).items[0].text, L"Renamed");
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
    std::vector<std::pair<int, UINT>> expected{{1, LVIS_SELECTED}, {1, 0}, {2, LVIS_SELECTED}, {0, LVIS_SELECTED}};
    // Focus-only changes are reported too; keep the selection changes.
    std::vector<std::pair<int, UINT>> selection;
    for (size_t i = 0; i < changed.size(); ++i)
        if (i == 0 || changed[i] != changed[i - 1]) selection.push_back(changed[i]);
    EXPECT_EQ(selection, expected);
}

TEST_F(KernelTest, TabControlChangesAsAPersonPicksAndCanRefuse) {
    TemplateBuilder b;
    b.Add(L"SysTabControl32", 600, WS_TABSTOP, L"", 5, 5, 150, 60).OkCancel();
    TestDialog dlg(b.t);
    bool refuse = false;
    std::vector<int> selected;
    dlg.HandleNotify(600, TCN_SELCHANGING, [&](NMHDR*, LRESULT* r) { *r = refuse; });
    dlg.HandleNotify(600, TCN_SELCHANGE, [&](NMHDR* h, LRESULT*) {
        selected.push_back(int(SendMessage(h->hwndFrom, TCM_GETCURSEL, 0, 0)));
    });
    dlg.init = [&] {
        auto* tab = static_cast<CTabCtrl*>(dlg.GetDlgItem(600));
        tab->InsertItem(0, L"General");
        tab->InsertItem(1, L"Geometry");
        tab->InsertItem(2, L"Fluid");
    };
    driver.Then([&] {
        HWND tab = Control(Modal(), 600);
        input::SelectItem(tab, 2);
        input::PressKey(VK_TAB, {false, true});  // Ctrl+Tab: next tab, wrapping
        input::PressKey(VK_PRIOR, {false, true});
        refuse = true;
        EXPECT_FALSE(input::SelectItem(tab, 1));
        EXPECT_EQ(Inspect(tab).selection, 2);
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
    EXPECT_EQ(selected, (std::vector<int>{2, 0, 2}));
}

TEST_F(KernelTest, SpinButtonRangeBuddyAndScrollNotification) {
    TemplateBuilder b;
    b.Edit(700).Add(L"msctls_updown32", 701, UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_ARROWKEYS, L"", 60, 5, 10, 14).OkCancel();
    TestDialog dlg(b.t);
    std::vector<int> positions;
    dlg.HandleMessage(WM_VSCROLL, [&](WPARAM w, LPARAM) -> LRESULT {
        if (LOWORD(w) == SB_THUMBPOSITION) positions.push_back(SHORT(HIWORD(w)));
        return 0;
    });
    dlg.init = [&] {
        auto* spin = static_cast<CSpinButtonCtrl*>(dlg.GetDlgItem(701));
        spin->SetRange32(1, 3);
        spin->SetPos32(2);
    };
    driver.Then([&] {
        HWND d = Modal();
        HWND spin = Control(d, 701);
        EXPECT_EQ(Inspect(spin).buddy, Control(d, 700));
        EXPECT_EQ(GetWindowTextString(Control(d, 700)), L"2");
        input::Spin(spin, 3);
        EXPECT_EQ(GetWindowTextString(Control(d, 700)), L"3");
        input::ReplaceText(Control(d, 700), L"1");
        input::Spin(spin, 1);
        EXPECT_EQ(GetWindowTextString(Control(d, 700)), L"2");
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
    EXPECT_EQ(positions, (std::vector<int>{3, 2}));
}

class Painted : public CWnd {
public:
    Painted() {
        HandleMessage(WM_PAINT, [this](WPARAM, LPARAM) -> LRESULT {
            CPaintDC dc(this);
            CPen pen(PS_SOLID, 2, RGB(0, 0, 255));
            CPen* old = dc.SelectObject(&pen);
            dc.MoveTo(1, 2);
            dc.LineTo(30, 40);
            dc.SelectObject(old);
            CFont font;
            font.CreateFont(11, 5, 900, 900, FW_THIN, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg");
            dc.SelectObject(&font);
            dc.SetTextAlign(TA_CENTER);
            dc.SetBkMode(TRANSPARENT);
            dc.TextOut(5, 6, CString(L"Load"));
            CRgn region;
            region.CreateRoundRectRgn(0, 0, 50, 30, 24, 24);
            CBrush brush(RGB(1, 2, 3));
            dc.FrameRgn(&region, &brush, 1, 1);
            return 0;
        });
    }
};

TEST_F(KernelTest, DeviceContextRecordsDrawingWithItsPensFontsAndRegions) {
    Painted w;
    ASSERT_TRUE(w.CreateEx(0, L"OrvGenericWindow", L"plot", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
    const DisplayList* list = PaintWindow(w.m_hWnd);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->ops.size(), 3u);
    EXPECT_EQ(list->ops[0].kind, DrawKind::Line);
    EXPECT_EQ(list->ops[0].pen.width, 2);
    EXPECT_EQ(list->ops[0].pen.color, RGB(0, 0, 255));
    EXPECT_EQ(list->ops[0].points[1].y, 40);
    EXPECT_EQ(list->ops[1].kind, DrawKind::Text);
    EXPECT_EQ(list->ops[1].text, L"Load");
    EXPECT_EQ(list->ops[1].font.escapement, 900);
    EXPECT_EQ(list->ops[1].format, TA_CENTER);
    EXPECT_EQ(list->ops[1].backMode, TRANSPARENT);
    EXPECT_EQ(list->ops[2].kind, DrawKind::FrameRegion);
    EXPECT_EQ(list->ops[2].brush.color, RGB(1, 2, 3));
    // Painting again replaces the list.
    EXPECT_EQ(PaintWindow(w.m_hWnd)->ops.size(), 3u);
}

TEST_F(KernelTest, RegionsCompareByTheirShapesAndLayeredAlphaIsState) {
    CRgn a, b, c;
    a.CreateRoundRectRgn(0, 0, 50, 30, 24, 24);
    b.CreateRoundRectRgn(0, 0, 50, 30, 24, 24);
    c.CreateRectRgn(0, 0, 1, 1);
    EXPECT_TRUE(a.EqualRgn(&b));
    EXPECT_FALSE(a.EqualRgn(&c));
    HWND w = CreateWindowEx(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"OrvGenericWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                            nullptr, nullptr, nullptr);
    EXPECT_TRUE(SetLayeredWindowAttributes(w, 0, 5, LWA_ALPHA));
    EXPECT_EQ(Inspect(w).alpha, 5);
}

TEST_F(KernelTest, HelpShellAndBeepsAreRecorded) {
    HH_POPUP popup;
    popup.pszText = L"The force magnitude.";
    popup.pt = POINT{10, 20};
    HtmlHelp(nullptr, nullptr, HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&popup));
    HtmlHelp(nullptr, L"C:/Help/enu/OrvenHelp_1_0.chm", HH_HELP_CONTEXT, 1065);
    ShellExecute(nullptr, L"open", L"https://example.org", nullptr, nullptr, SW_SHOWNORMAL);
    MessageBeep(MB_ICONEXCLAMATION);
    ASSERT_EQ(HelpRequests().size(), 2u);
    EXPECT_EQ(HelpRequests()[0].popupText, L"The force magnitude.");
    EXPECT_EQ(HelpRequests()[0].popupPosition.y, 20);
    EXPECT_EQ(HelpRequests()[1].data, 1065u);
    EXPECT_EQ(ShellExecutes().at(0).file, L"https://example.org");
    EXPECT_EQ(Beeps(), (std::vector<UINT>{MB_ICONEXCLAMATION}));
}

TEST_F(KernelTest, MonitorsOfTheVirtualScreen) {
    SetMonitors({{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}}, {RECT{1920, 0, 3200, 1024}, RECT{1920, 0, 3200, 1024}}});
    MONITORINFO mi;
    ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(POINT{2000, 10}, MONITOR_DEFAULTTONULL), &mi));
    EXPECT_EQ(mi.rcMonitor.left, 1920);
    EXPECT_EQ(mi.dwFlags, 0u);
    EXPECT_EQ(MonitorFromPoint(POINT{-5, -5}, MONITOR_DEFAULTTONULL), nullptr);
    ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(POINT{-5, -5}, MONITOR_DEFAULTTONEAREST), &mi));
    EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 3200);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
}

TEST_F(KernelTest, PasteReplacesTheSelectionWithTheClipboardsFirstLine) {
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    driver.Then([&] {
        HWND e = Control(Modal(), 100);
        SetWindowText(e, L"12345");
        SendMessage(e, EM_SETSEL, 1, 3);
        input::Focus(e);
        input::Paste(L"ab\r\ncd");
        EXPECT_EQ(GetWindowTextString(e), L"1ab45");
        SendMessage(e, EM_LIMITTEXT, 6, 0);
        input::Paste(L"xyz");
        EXPECT_EQ(GetWindowTextString(e), L"1abx45");
        input::PressKey(VK_HOME);
        input::PressKey(VK_DELETE);
        input::PressKey(VK_END);
        input::PressKey(VK_BACK);
        EXPECT_EQ(GetWindowTextString(e), L"abx4");
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(KernelTest, SaveFileDialogAddsTheExtensionAndAsksBeforeReplacing) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / "orv_kernel_filedialog";
    fs::create_directories(dir);
    std::ofstream(dir / "existing.cclib") << "x";
    CFileDialog save(FALSE, L"cclib", nullptr, OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                     L"Coefficient libraries (*.cclib)|*.cclib|All files (*.*)|*.*||");
    std::wstring initial = dir.wstring();
    save.m_ofn.lpstrInitialDir = initial.c_str();
    driver.Then([&] {
        WindowView v = Inspect(Modal());
        EXPECT_EQ(v.text, L"Save As");
        HWND types = Control(Modal(), CFileDialog::kFileTypeCombo);
        EXPECT_EQ(Inspect(types).items.size(), 2u);
        input::ReplaceText(Control(Modal(), CFileDialog::kFileNameEdit), L"existing");
        input::PressKey(VK_RETURN);
    });
    driver.Then([&] {
        WindowView box = Inspect(Modal());
        ASSERT_TRUE(box.isMessageBox);
        EXPECT_NE(box.messageBox.text.find(L"existing.cclib already exists"), std::wstring::npos);
        input::Click(Control(Modal(), IDNO));
    });
    driver.Then([&] {
        input::ReplaceText(Control(Modal(), CFileDialog::kFileNameEdit), L"fresh");
        input::PressKey(VK_RETURN);
    });
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), CString((dir / "fresh.cclib").wstring()));
    EXPECT_EQ(save.GetFileExt(), L"cclib");
    EXPECT_EQ(save.GetFileTitle(), L"fresh");

    CFileDialog open(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST);
    open.m_ofn.lpstrInitialDir = initial.c_str();
    driver.Then([&] {
        input::ReplaceText(Control(Modal(), CFileDialog::kFileNameEdit), L"missing.cclib");
        input::PressKey(VK_RETURN);
    });
    driver.Then([&] {
        EXPECT_NE(Inspect(Modal()).messageBox.text.find(L"cannot be found"), std::wstring::npos);
        input::PressKey(VK_RETURN);
    });
    driver.Then([&] { input::PressKey(VK_ESCAPE); });
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    fs::remove_all(dir);
}

}  // namespace

namespace {

// An edit that colours its text red while invalid, the way expression edits do.
class RedWhenInvalid : public CEdit {
public:
    bool valid = true;
    RedWhenInvalid() {
        HandleReflectedCtlColor([this](CDC* dc, UINT) -> HBRUSH {
            dc->SetTextColor(valid ? GetSysColor(COLOR_WINDOWTEXT) : RGB(255, 0, 0));
            return GetSysColorBrush(COLOR_WINDOW);
        });
    }
};

TEST_F(KernelTest, ReflectedControlColoursAndTheCaretPositionAreVisible) {
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    RedWhenInvalid edit;
    dlg.init = [&] { edit.SubclassDlgItem(100, &dlg); };
    driver.Then([&] {
        HWND e = Control(Modal(), 100);
        EXPECT_EQ(Inspect(e).textColor, GetSysColor(COLOR_WINDOWTEXT));
        edit.valid = false;
        EXPECT_EQ(Inspect(e).textColor, RGB(255, 0, 0));
        EXPECT_EQ(Inspect(e).backColor, GetSysColor(COLOR_WINDOW));
        input::Click(e);
        input::TypeText(L"12");
        POINT caret;
        ASSERT_TRUE(GetCaretPos(&caret));
        EXPECT_EQ(caret.x, 13);
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

// A popup of the template library that fades itself with timers and deletes itself at the end.
class Fader : public CWindowImpl<Fader, CWnd, CWinTraits<WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_LAYERED>> {
public:
    DECLARE_WND_CLASS_EX(L"KernelTestFader", CS_DBLCLKS | CS_SAVEBITS, COLOR_WINDOW)
    int alpha = 5;
    bool* finished = nullptr;
    Fader() {
        HandleMessage(WM_TIMER, [this](WPARAM id, LPARAM) -> LRESULT {
            if (id != 3333) return 0;
            alpha += 25;
            if (alpha >= 256) {
                alpha = 255;
                KillTimer(3333);
                PostMessage(WM_CLOSE);
            }
            ::SetLayeredWindowAttributes(m_hWnd, 0, BYTE(alpha), LWA_ALPHA);
            return 0;
        });
    }
    void OnFinalMessage(HWND) override {
        *finished = true;
        delete this;
    }
};

TEST_F(KernelTest, TemplateLibraryWindowsFadeOnTheClockAndEndWithTheirFinalMessage) {
    bool finished = false;
    auto* fader = new Fader;
    fader->finished = &finished;
    RECT r{100, 100, 200, 150};
    HWND hwnd = fader->Create(nullptr, &r, L"Invalid Equation");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetClassNameString(hwnd), L"KernelTestFader");
    EXPECT_TRUE(GetWindowLongPtr(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    fader->SetTimer(3333, 25);
    ShowWindow(hwnd, SW_SHOWNA);
    input::AdvanceClock(25 * 5);
    EXPECT_EQ(Inspect(hwnd).alpha, 130);
    input::AdvanceClock(25 * 5);
    EXPECT_EQ(Inspect(hwnd).alpha, 255);
    input::AdvanceClock(25);  // the step that would pass 255 closes it
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(finished);
}

}  // namespace

namespace {

TEST_F(KernelTest, ModelessDialogsTakeInputOutsideAModalLoopAndHideOnEndDialog) {
    TemplateBuilder b(L"Picking");
    b.Edit(100).OkCancel();
    TestDialog dlg(b.t);
    int oks = 0;
    dlg.HandleCommand(IDOK, [&] { ++oks; });
    ASSERT_TRUE(dlg.CreateIndirect(&b.t));
    HWND d = dlg.m_hWnd;
    EXPECT_TRUE(Inspect(d).reallyVisible);
    EXPECT_EQ(ActiveModalWindow(), d);
    EXPECT_TRUE(input::TypeText(L"3"));
    EXPECT_EQ(GetWindowTextString(Control(d, 100)), L"3");
    input::PressKey(VK_RETURN);
    EXPECT_EQ(oks, 1);
    PostMessage(d, WM_CLOSE);
    PumpMessages();  // Close becomes IDCANCEL, and OnCancel ends (hides) the modeless dialog
    EXPECT_TRUE(IsWindow(d));
    EXPECT_FALSE(IsWindowVisible(d));
    dlg.DestroyWindow();
    EXPECT_FALSE(IsWindow(d));
    EXPECT_TRUE(driver.waitedOn.empty());
}

HWND g_balloon = nullptr;
HHOOK g_closeHook = nullptr;
LRESULT CALLBACK CloseOnKey(int code, WPARAM vk, LPARAM lParam) {
    if (code == HC_ACTION && !(lParam & (LPARAM(1) << 31)) && g_balloon) PostMessage(g_balloon, WM_CLOSE);
    return CallNextHookEx(g_closeHook, code, vk, lParam);
}

TEST_F(KernelTest, AKeyboardHookCanCloseAPopupWhileTheKeyStillReachesTheDialog) {
    TestDialog dlg(TemplateBuilder().Edit(100).OkCancel().t);
    driver.Then([&] {
        g_balloon = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_LAYERED, L"OrvGenericWindow", L"tip", WS_POPUP, 10, 10, 50, 20,
                                   Modal(), nullptr, nullptr, nullptr);
        ShowWindow(g_balloon, SW_SHOWNOACTIVATE);
        g_closeHook = SetWindowsHookEx(WH_KEYBOARD, CloseOnKey, nullptr, GetCurrentThreadId());
        input::TypeChar(L'4');
        EXPECT_FALSE(IsWindow(g_balloon));
        EXPECT_EQ(GetWindowTextString(Control(Modal(), 100)), L"4");
        UnhookWindowsHookEx(g_closeHook);
        g_balloon = nullptr;
        input::PressKey(VK_ESCAPE);
    });
    dlg.DoModal();
}

TEST_F(KernelTest, MouseGoesToTheCaptureOwnerElseToTheWindowUnderIt) {
    std::vector<UINT> seen;
    struct Catcher : CWnd {
        std::vector<UINT>* seen = nullptr;
        Catcher() {
            for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
                HandleMessage(m, [this, m](WPARAM, LPARAM) -> LRESULT {
                    seen->push_back(m);
                    return 0;
                });
        }
    } catcher;
    catcher.seen = &seen;
    ASSERT_TRUE(catcher.CreateEx(0, L"OrvGenericWindow", L"", WS_POPUP | WS_VISIBLE, 100, 100, 50, 50, nullptr, nullptr));
    input::MoveMouse(POINT{500, 500});
    EXPECT_TRUE(seen.empty());
    catcher.SetCapture();
    input::MoveMouse(POINT{500, 500});
    input::ClickAt(POINT{600, 600});
    ReleaseCapture();
    input::ClickAt(POINT{120, 120});
    EXPECT_EQ(seen, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

}  // namespace
