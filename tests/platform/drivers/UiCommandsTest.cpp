#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/drivers/scripted/ScriptRunner.h"
#include "platform/drivers/scripted/UiCommands.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/DialogManager.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

using orv::res::DialogItemTemplate;
using orv::res::DialogTemplate;

constexpr int kName = 1001, kVaries = 1003, kCurve = 1005, kFollow = 1006, kGlobal = 1007, kLocal = 1008,
              kUnits = 1009, kNodes = 1011, kReset = 1012, kStatus = 1013;

DialogItemTemplate Item(const wchar_t* cls, const wchar_t* text, int id, DWORD style, int x, int y, int cx, int cy) {
    DialogItemTemplate item;
    item.className = cls;
    item.text = text;
    item.id = UINT(id);
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return item;
}

// A dialog with one control of each kind the UI commands reach.
DialogTemplate SampleTemplate() {
    DialogTemplate t;
    t.caption = L"Sample";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    t.cx = 200;
    t.cy = 120;
    t.items = {
        Item(L"Static", L"&Name:", -1, SS_LEFT, 7, 9, 40, 8),
        Item(L"Edit", L"", kName, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 52, 7, 80, 14),
        Item(L"Button", L"&Varies with time", kVaries, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 26, 80, 10),
        Item(L"Edit", L"1", kCurve, ES_LEFT | WS_BORDER | WS_TABSTOP | WS_DISABLED, 92, 24, 40, 14),
        Item(L"Button", L"&Follow surface", kFollow, BS_AUTO3STATE | WS_TABSTOP, 7, 42, 80, 10),
        Item(L"Button", L"&Global", kGlobal, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 7, 56, 50, 10),
        Item(L"Button", L"&Local", kLocal, BS_AUTORADIOBUTTON, 60, 56, 50, 10),
        Item(L"ComboBox", L"", kUnits, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 7, 70, 60, 60),
        Item(L"ListBox", L"", kNodes, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 140, 7, 53, 40),
        Item(L"Button", L"&Reset", kReset, BS_PUSHBUTTON | WS_TABSTOP, 140, 52, 50, 14),
        Item(L"Static", L"", kStatus, SS_LEFT, 7, 88, 120, 8),
        Item(L"Button", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 86, 100, 50, 14),
        Item(L"Button", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 143, 100, 50, 14),
    };
    return t;
}

INT_PTR SampleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (const wchar_t* unit : {L"mm", L"cm", L"m"})
            SendDlgItemMessage(dialog, kUnits, CB_ADDSTRING, 0, LPARAM(unit));
        SendDlgItemMessage(dialog, kUnits, CB_SETCURSEL, 0, 0);
        for (const wchar_t* node : {L"Node 1", L"Node 2", L"Node 3"})
            SendDlgItemMessage(dialog, kNodes, LB_ADDSTRING, 0, LPARAM(node));
        CheckRadioButton(dialog, kGlobal, kLocal, kGlobal);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id == kVaries && HIWORD(wParam) == BN_CLICKED)
            EnableWindow(GetDlgItem(dialog, kCurve), IsDlgButtonChecked(dialog, kVaries) == BST_CHECKED);
        if (id == kReset && HIWORD(wParam) == BN_CLICKED) {
            SetDlgItemText(dialog, kName, L"");
            SetDlgItemText(dialog, kStatus, L"Values reset.");
            MessageBeep(0);
            SetTimer(dialog, 1, 1000, nullptr);
        }
        if (id == kUnits && HIWORD(wParam) == CBN_SELCHANGE) {
            wchar_t text[16] = {};
            GetDlgItemText(dialog, kUnits, text, 16);
            SetDlgItemText(dialog, kStatus, (std::wstring(L"Lengths in ") + text).c_str());
        }
        return TRUE;
    }
    if (message == WM_TIMER) {
        KillTimer(dialog, 1);
        SetDlgItemText(dialog, kStatus, L"");
        return TRUE;
    }
    return FALSE;
}

// A modeless sample dialog, active at the host level, and a runner with the UI commands.
class UiCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        orv::win::ResetKernel();
        dialog_ = orv::win::CreateDialogFromTemplate(SampleTemplate(), nullptr, nullptr, SampleProc, 0);
        ASSERT_NE(nullptr, dialog_);
    }
    void TearDown() override { orv::win::ResetKernel(); }

    int Run(const std::string& script) {
        out_.str("");
        orv::script::ScriptRunner runner(out_);
        orv::script::UiCommands ui;
        runner.AddLayer(ui);
        runner.SetWindowProbe(&ui);
        runner.Load("ui.dlgs", script);
        const int status = runner.Run();
        // The sample stays open on purpose: the probe reports it, so the run ends with a
        // script error unless the dialog is gone. Strip that last complaint for the checks.
        return status;
    }
    std::string Output() const { return out_.str(); }

    HWND dialog_ = nullptr;
    std::ostringstream out_;
};

// The dialog stays open after these scripts, which the runner reports as its last error; the
// cases below look at what came before.
std::string WithoutEnding(const std::string& out) {
    const auto at = out.find("script ended while window");
    return at == std::string::npos ? out : out.substr(0, out.rfind('\n', at) + 1);
}

TEST_F(UiCommandsTest, PersonLevelInputAndExpectationsOnEveryControlKind) {
    const char* script =
        "expect title \"Sample\"\n"
        "expect window \"Sample\"\n"
        "type 1001 \"Bracket\"\n"
        "expect text 1001 \"Bracket\"\n"
        "expect focus 1001\n"
        "type \"&Name:\" \"x\"\n"            // a label's caption names it, not the edit
        "expect disabled 1005\n"
        "click \"Varies with time\"\n"
        "expect checked 1003\n"
        "expect enabled 1005\n"
        "click 1006\n"
        "expect checked 1006\n"
        "click 1006\n"
        "expect indeterminate 1006\n"
        "expect checked 1007\n"
        "click \"&Local\"\n"
        "expect unchecked 1007\n"
        "expect checked 1008\n"
        "expect items 1009 \"mm\" \"cm\" \"m\"\n"
        "expect selected 1009 0\n"
        "select 1009 \"cm\"\n"
        "expect selected 1009 1\n"
        "expect selected 1009 \"cm\"\n"
        "expect text 1009 \"cm\"\n"
        "expect text 1013 \"Lengths in cm\"\n"
        "expect selected 1011 none\n"
        "select 1011 2\n"
        "expect selected 1011 \"Node 3\"\n"
        "focus 1001\n"
        "key Tab\n"
        "expect focus 1003\n"
        "key Shift+Tab\n"
        "expect focus 1001\n"
        "key 1001 End\n"
        "key \"!\"\n"
        "expect visible 1013\n"
        "click \"&Reset\"\n"
        "expect beep\n"
        "expect text 1013 \"Values reset.\"\n"
        "wait 999\n"
        "expect text 1013 \"Values reset.\"\n"
        "wait 1\n"
        "expect text 1013 \"\"\n";
    Run(script);
    const std::string out = WithoutEnding(Output());
    EXPECT_EQ("", out.substr(0, out.find("ui.dlgs:6")));
    // Line 6 types into a label: a static cannot take the focus, which is a script error.
    EXPECT_NE(std::string::npos, out.find("ui.dlgs:6: cannot type into \"&Name:\"")) << Output();
}

TEST_F(UiCommandsTest, EveryExpectationHoldsOnTheSample) {
    const char* script =
        "type 1001 \"Bracket\"\n"
        "click \"Varies with time\"\n"
        "type 1005 \"42\"\n"
        "expect text 1005 \"42\"\n"
        "click 1006\nclick 1006\n"
        "expect indeterminate 1006\n"
        "select 1009 2\n"
        "expect text 1013 \"Lengths in m\"\n"
        "paste 1001 \"Pasted\"\n"
        "expect text 1001 \"Pasted\"\n"
        "key 1001 Backspace\n"
        "expect text 1001 \"Paste\"\n"
        "click Cancel\n"
        "expect window \"Sample\"\n";
    Run(script);
    EXPECT_EQ("", WithoutEnding(Output()));
    EXPECT_NE(std::string::npos, Output().find("6 passed, 0 failed")) << Output();
}

struct UiErrorCase {
    const char* name;
    const char* script;
    int status;
    const char* message;
};

TEST_F(UiCommandsTest, FailuresAndScriptErrorsNameTheControl) {
    const UiErrorCase cases[] = {
        {"text differs", "expect text 1001 \"x\"\n", 1, "ui.dlgs:1: expected text 1001 \"x\", got \"\""},
        {"title differs", "expect title \"Other\"\n", 1, "ui.dlgs:1: expected title \"Other\", got \"Sample\""},
        {"state differs", "expect enabled 1005\n", 1, "ui.dlgs:1: expected enabled 1005, got disabled"},
        {"check differs", "expect checked 1003\n", 1, "ui.dlgs:1: expected checked 1003, got unchecked"},
        {"not a check box", "expect checked 1001\n", 2, "ui.dlgs:1: 1001 is a Edit, not a check box or radio button"},
        {"selection differs", "expect selected 1009 \"m\"\n", 1, "ui.dlgs:1: expected selected 1009 \"m\", got 0 \"mm\""},
        {"items differ", "expect items 1011 \"Node 1\"\n", 1,
         "ui.dlgs:1: expected items 1011 \"Node 1\", got \"Node 1\" \"Node 2\" \"Node 3\""},
        {"focus differs", "focus 1003\nexpect focus 1001\n", 1,
         "ui.dlgs:2: expected focus 1001, got 1003 (Button \"&Varies with time\")"},
        {"no beep", "expect beep\n", 1, "ui.dlgs:1: expected a beep, got none since the previous 'expect beep'"},
        {"beep once", "click 1012\nexpect beep\nexpect beep\n", 1, "ui.dlgs:3: expected a beep"},
        {"not a message box", "expect message \"Hi\"\n", 1,
         "ui.dlgs:1: expected message \"Hi\", got window 'Sample' (not a message box)"},
        {"no such window", "expect window \"Other\"\n", 1, "ui.dlgs:1: expected window \"Other\", got windows \"Sample\""},
        {"unknown control name", "click Foo\n", 2,
         "ui.dlgs:1: unknown control 'Foo' (a control id, a button name such as OK, or a quoted caption)"},
        {"no control with that id", "click 4444\n", 2, "ui.dlgs:1: no control 4444 in window 'Sample'"},
        {"no button with that name", "click Yes\n", 2, "ui.dlgs:1: no control Yes in window 'Sample'"},
        {"no control with that caption", "click \"Apply\"\n", 2,
         "ui.dlgs:1: no control with the caption \"Apply\" in window 'Sample'"},
        {"disabled control", "click 1005\n", 2, "ui.dlgs:1: cannot click 1005: "},
        {"item not in the list", "select 1009 \"km\"\n", 2, "ui.dlgs:1: cannot select \"km\" in 1009"},
        {"index out of the list", "select 1009 7\n", 2, "ui.dlgs:1: cannot select item 7 in 1009"},
        {"unknown key", "key PgDn\n", 2, "ui.dlgs:1: unknown key 'PgDn'"},
        {"quoted key of two characters", "key \"ab\"\n", 2, "ui.dlgs:1: a quoted key is one character, got \"ab\""},
        {"missing text", "type 1001\n", 2, "ui.dlgs:1: expected the text to type after 'type 1001'"},
        {"missing control", "click\n", 2, "ui.dlgs:1: expected a control after 'click'"},
        {"extra argument", "close now\n", 2, "ui.dlgs:1: unexpected now after 'close'"},
        {"negative wait", "wait -1\n", 2, "ui.dlgs:1: a time in milliseconds -1 is out of range"},
        {"unknown string id", "expect message 65000\n", 2, "ui.dlgs:1: string 65000 is not in the current resource module"},
    };
    for (const auto& c : cases) {
        SetUp();
        const int status = Run(c.script);
        EXPECT_EQ(c.status, status) << c.name << ": " << Output();
        EXPECT_EQ(0u, Output().find(c.message)) << c.name << ": " << Output();
    }
}

TEST_F(UiCommandsTest, UiCommandsNeedAWindow) {
    orv::win::ResetKernel();
    EXPECT_EQ(2, Run("wait 10\nclick OK\n"));
    EXPECT_EQ("ui.dlgs:2: no window is open for 'click OK'\n0 passed, 0 failed\n", Output());
}

TEST_F(UiCommandsTest, ACaptionThatNamesTwoControlsIsAnError) {
    SendMessage(GetDlgItem(dialog_, kReset), WM_SETTEXT, 0, LPARAM(L"OK"));
    EXPECT_EQ(2, Run("click \"OK\"\n"));
    EXPECT_EQ(0u, Output().find("ui.dlgs:1: the caption \"OK\" names several controls (ids 1012, 1) in window 'Sample'; use the id"))
        << Output();
}

TEST_F(UiCommandsTest, ShowPrintsTheSnapshotOfTheActiveWindow) {
    Run("type 1001 \"Bracket\"\nclick 1003\nshow\n");
    const std::string out = WithoutEnding(Output());
    std::ifstream golden(std::string(ORV_SOURCE_DIR) + "/tests/platform/drivers/sample.snapshot.txt");
    ASSERT_TRUE(golden) << "golden file missing; the snapshot is:\n" << out;
    std::stringstream expected;
    expected << golden.rdbuf();
    EXPECT_EQ(expected.str(), out);
}

}  // namespace
