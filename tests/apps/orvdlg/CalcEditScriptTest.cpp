// Scenario scripts drive the expression edit control as a person would: a test-only host
// command opens a dialog whose edits are expression edits, and the scripts check it with the
// balloon and text colour expectations.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "apps/orvdlg/ControlCommands.h"
#include "apps/orvdlg/ScriptSession.h"
#include "dialogs/controls/CDoubleCalcEdit.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"

namespace {

constexpr UINT kValue = 1001;
constexpr UINT kOther = 1002;
constexpr UINT kPlain = 1003;

const orv::res::DialogTemplate& CalcTemplate() {
    static const orv::res::DialogTemplate t = [] {
        orv::res::DialogTemplate d;
        d.caption = L"Expressions";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        d.cx = 200;
        d.cy = 90;
        d.fontName = L"MS Shell Dlg";
        const DWORD edit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
        const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        d.items = {
            {L"Edit", L"", kValue, edit, 0, 0, 10, 10, 80, 14},
            {L"Edit", L"", kOther, edit, 0, 0, 10, 30, 80, 14},
            {L"Edit", L"", kPlain, edit, 0, 0, 10, 50, 80, 14},
            {L"Button", L"OK", IDOK, button | BS_DEFPUSHBUTTON, 0, 0, 90, 70, 50, 14},
            {L"Button", L"Cancel", IDCANCEL, button | BS_PUSHBUTTON, 0, 0, 144, 70, 50, 14},
        };
        return d;
    }();
    return t;
}

// Edits 1001 and 1002 are expression edits, filled with "5" and "1"; 1003 is a plain edit.
class CalcDialog : public CDialog {
public:
    CalcDialog() { InitModalIndirect(&CalcTemplate()); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        static const UINT ids[] = {kValue, kOther, 0};
        DataModelDialogs::MakeCalcEdits(*this, edits_, ids);
        SetDlgItemText(kValue, L"5");
        SetDlgItemText(kOther, L"1");
        return TRUE;
    }
    void OnOK() override {
        GetDlgItemText(kValue, value_);
        CDialog::OnOK();
    }
    CString value_;

private:
    std::vector<std::unique_ptr<CWnd>> edits_;
};

// `calcedit-dialog`: opens the dialog and prints how it ended.
class CalcTestCommands : public orv::script::CommandLayer {
public:
    void AddCommands(orv::script::CommandTable& table) override {
        table.Add({"calcedit-dialog", orv::script::Where::Host, "calcedit-dialog", [](orv::script::Call& call) {
                       call.Arguments().End();
                       CalcDialog dialog;
                       const INT_PTR result = dialog.DoModal();
                       if (call.Runner().Stopped()) return;
                       call.Out() << "calcedit dialog: "
                                  << (result == IDOK ? "OK, value " + orv::WideToUtf8(std::wstring(dialog.value_))
                                                     : std::string("Cancel"))
                                  << '\n';
                   }});
    }
};

struct ScriptRun {
    int status = -1;
    std::string out;
};

ScriptRun RunScript(const std::string& script) {
    std::ostringstream out;
    orvdlg::ControlCommands controls;
    CalcTestCommands test;
    orvdlg::ScriptSession session(out);
    bool joined = false;  // the session may carry the control expectations itself
    for (const auto* command : session.Runner().Table().All())
        if (command->name == "expect balloon") joined = true;
    if (!joined) session.AddLayer(controls);
    session.AddLayer(test);
    ScriptRun run;
    run.status = session.RunText("calcedit.dlgs", script);
    run.out = out.str();
    return run;
}

class CalcEditScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        orv::win::ResetKernel();
        const char* old = std::getenv("LC_ALL");
        hadLocale_ = old != nullptr;
        if (old) savedLocale_ = old;
        setenv("LC_ALL", "C", 1);
    }
    void TearDown() override {
        orv::win::ResetKernel();
        if (hadLocale_)
            setenv("LC_ALL", savedLocale_.c_str(), 1);
        else
            unsetenv("LC_ALL");
    }
    std::string savedLocale_;
    bool hadLocale_ = false;
};

struct ScriptCase {
    const char* name;
    const char* locale;
    const char* script;
};

TEST_F(CalcEditScriptTest, ChecksThatHold) {
    const ScriptCase cases[] = {
        {"equals evaluates and is never inserted", "C",
         "calcedit-dialog\n"
         "type 1001 \"1+2=\"\n"
         "expect text 1001 \"3\"\n"
         "key 1001 \"=\"\n"
         "expect text 1001 \"3\"\n"
         "type 1001 \"(2+2)*2\"\n"
         "focus 1003\n"
         "expect text 1001 \"8\"\n"
         "click OK\n"},
        {"a refused letter beeps and leaves the text", "C",
         "calcedit-dialog\n"
         "type 1001 \"12\"\n"
         "key End\n"
         "key \"x\"\n"
         "expect beep\n"
         "expect text 1001 \"12\"\n"
         "key \" \"\n"
         "expect beep\n"
         "key \",\"\n"
         "expect beep\n"
         "expect text 1001 \"12\"\n"
         "expect no balloon\n"
         "click OK\n"},
        {"an unevaluable entry turns red, shows the balloon, and leaving restores", "C",
         "calcedit-dialog\n"
         "expect textcolor 1001 000000\n"
         "type 1001 \"5*\"\n"
         "expect text 1001 \"5*\"\n"
         "expect textcolor 1001 FF0000\n"
         "expect balloon \"Invalid Equation\"\n"
         "expect beep\n"
         "key \"3\"\n"
         "expect textcolor 1001 000000\n"
         "key \"/\"\n"
         "expect textcolor 1001 ff0000\n"
         "focus 1003\n"
         "expect beep\n"
         "expect text 1001 \"5\"\n"
         "expect no balloon\n"
         "expect textcolor 1001 000000\n"
         "click OK\n"},
        {"the balloon times out after ten seconds", "C",
         "calcedit-dialog\n"
         "type 1001 \"(\"\n"
         "expect balloon \"Invalid Equation\"\n"
         "wait 10000\n"
         "expect balloon \"Invalid Equation\"\n"  // fading out
         "wait 1000\n"
         "expect no balloon\n"
         "expect textcolor 1001 FF0000\n"
         "click Cancel\n"},
        {"a decimal comma locale shows 0,5", "de_DE.UTF-8",
         "calcedit-dialog\n"
         "type 1001 \"1/2=\"\n"
         "expect text 1001 \"0,5\"\n"
         "type 1001 \"0,25*4\"\n"
         "focus 1002\n"
         "expect text 1001 \"1\"\n"
         "click OK\n"},
        {"1/3 shows 16 significant digits", "C",
         "calcedit-dialog\n"
         "type 1001 \"1/3=\"\n"
         "expect text 1001 \"0.3333333333333333\"\n"
         "click OK\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setenv("LC_ALL", c.locale, 1);
        const ScriptRun run = RunScript(c.script);
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_NE(run.out.find(" 0 failed"), std::string::npos) << run.out;
    }
}

TEST_F(CalcEditScriptTest, DialogEndsWithTheEvaluatedValue) {
    const ScriptRun run = RunScript(
        "calcedit-dialog\n"
        "type 1001 \"2^10\"\n"
        "click OK\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("calcedit dialog: OK, value 1024"), std::string::npos) << run.out;
}

struct FailingCase {
    const char* name;
    const char* script;
    int status;
    const char* message;
};

TEST_F(CalcEditScriptTest, ChecksThatFailSayWhatWasFound) {
    const FailingCase cases[] = {
        {"wrong balloon title",
         "calcedit-dialog\ntype 1001 \"5*\"\nexpect balloon \"Other\"\nclick OK\n", 1,
         "calcedit.dlgs:3: expected balloon \"Other\", got balloon \"Invalid Equation\""},
        {"no balloon shown", "calcedit-dialog\nexpect balloon \"Invalid Equation\"\nclick OK\n", 1,
         "calcedit.dlgs:2: expected balloon \"Invalid Equation\", got no balloon"},
        {"a balloon where none should be", "calcedit-dialog\ntype 1001 \"*\"\nexpect no balloon\nclick OK\n", 1,
         "calcedit.dlgs:3: expected no balloon, got balloon \"Invalid Equation\""},
        {"wrong colour", "calcedit-dialog\nexpect textcolor 1001 FF0000\nclick OK\n", 1,
         "calcedit.dlgs:2: expected textcolor 1001 FF0000, got 000000"},
        {"malformed colour", "calcedit-dialog\nexpect textcolor 1001 red\nclick OK\n", 2,
         "calcedit.dlgs:2: expected a colour of six hexadecimal digits RRGGBB, got 'red'"},
        {"textcolor of a list", "dialog sample\nexpect textcolor 1011 000000\nclick OK\n", 2,
         "calcedit.dlgs:2: textcolor is known for edits, statics and buttons, not for 1011 (ListBox)"},
        {"expect no without balloon", "expect no window\n", 2, "calcedit.dlgs:1: expected 'balloon'"},
        {"textcolor without a window", "expect textcolor 1001 000000\n", 2, "calcedit.dlgs:1: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ScriptRun run = RunScript(c.script);
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
    }
}

TEST(ControlCommandsColour, ParsesSixHexDigits) {
    struct Case {
        const char* text;
        bool ok;
        COLORREF colour;
    };
    const Case cases[] = {
        {"FF0000", true, RGB(255, 0, 0)}, {"00ff00", true, RGB(0, 255, 0)}, {"0000FF", true, RGB(0, 0, 255)},
        {"123456", true, RGB(0x12, 0x34, 0x56)}, {"FFFFF", false, 0}, {"FFFFFFF", false, 0},
        {"GG0000", false, 0}, {"", false, 0}, {"0x1234", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        COLORREF colour = 0;
        EXPECT_EQ(orvdlg::ControlCommands::ParseColour(c.text, colour), c.ok);
        if (c.ok) {
            EXPECT_EQ(colour, c.colour);
            EXPECT_EQ(orvdlg::ControlCommands::ColourText(colour).size(), 6u);
            COLORREF back = 0;
            EXPECT_TRUE(orvdlg::ControlCommands::ParseColour(orvdlg::ControlCommands::ColourText(colour), back));
            EXPECT_EQ(back, colour);
        }
    }
}

}  // namespace
