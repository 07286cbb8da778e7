#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "components/Registration.h"
#include "components/interfaces/IExpressionEvaluator.h"
#include "dialogs/controls/CDoubleCalcEdit.h"
#include "platform/com/ClassRegistry.h"
#include "dialogs/resources/Controls.h"
#include "platform/res/DialogTemplate.h"
#include "platform/res/Module.h"
#include "platform/res/Resources.h"
#include "platform/win/Afx.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"

namespace {

using orv::win::Inspect;
namespace input = orv::win::input;

constexpr UINT kValue = 1001;
constexpr UINT kOther = 1002;
constexpr UINT kPlain = 1003;

const orv::res::DialogTemplate& TestTemplate() {
    static const orv::res::DialogTemplate t = [] {
        orv::res::DialogTemplate d;
        d.caption = L"Calc";
        d.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
        d.cx = 200;
        d.cy = 80;
        d.fontName = L"MS Shell Dlg";
        const DWORD edit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
        d.items = {
            {L"Edit", L"", kValue, edit, 0, 0, 10, 10, 80, 14},
            {L"Edit", L"", kOther, edit, 0, 0, 10, 30, 80, 14},
            {L"Edit", L"", kPlain, edit, 0, 0, 10, 50, 80, 14},
        };
        return d;
    }();
    return t;
}

// A dialog whose first two edits are expression edits; the first is filled with `initial`.
class CalcDialog : public CDialog {
public:
    explicit CalcDialog(std::wstring initial) : initial_(std::move(initial)) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        static const UINT ids[] = {kValue, kOther, 0xFFFFFFFF};
        DataModelDialogs::MakeCalcEdits(*this, edits, ids);
        SetDlgItemText(kValue, initial_.c_str());
        SetDlgItemText(kOther, L"1");
        return TRUE;
    }
    CDoubleCalcEdit& Value() { return *static_cast<CDoubleCalcEdit*>(edits.at(0).get()); }
    std::vector<std::unique_ptr<CWnd>> edits;

private:
    std::wstring initial_;
};

class CalcEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        orv::win::ResetKernel();
        RegisterOrvComponents();
        const char* old = std::getenv("LC_ALL");
        savedLocale_ = old ? old : "";
        hadLocale_ = old != nullptr;
        setenv("LC_ALL", "C", 1);
    }
    void TearDown() override {
        dialog_.reset();
        orv::win::ResetKernel();
        RegisterOrvComponents();
        if (hadLocale_)
            setenv("LC_ALL", savedLocale_.c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

    CalcDialog& Open(std::wstring initial = L"5") {
        dialog_ = std::make_unique<CalcDialog>(std::move(initial));
        EXPECT_TRUE(dialog_->CreateIndirect(&TestTemplate()));
        return *dialog_;
    }
    HWND Edit(UINT id) const { return orv::win::FindControl(dialog_->GetSafeHwnd(), int(id)); }
    std::wstring Text(UINT id) const { return Inspect(Edit(id)).text; }
    // Focus on the edit, caret at the end, then the characters one by one.
    void TypeAtEnd(UINT id, std::wstring_view text) {
        ASSERT_TRUE(input::Focus(Edit(id)));
        ASSERT_TRUE(input::PressKey(VK_END));
        ASSERT_TRUE(input::TypeText(text)) << std::string(text.begin(), text.end());
    }
    static size_t Beeps() { return orv::win::Beeps().size(); }
    static HWND BalloonWindow() {
        for (HWND w : orv::win::TopLevelWindows()) {
            const auto v = Inspect(w);
            if (v.className == L"BalloonHelpClass" && v.reallyVisible) return w;
        }
        return nullptr;
    }

    std::unique_ptr<CalcDialog> dialog_;
    std::string savedLocale_;
    bool hadLocale_ = false;
};

TEST_F(CalcEditTest, EqualsIsNeverInsertedAndShowsTheValueSelected) {
    Open(L"");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"1+2*3"));
    ASSERT_TRUE(input::TypeChar(L'='));
    const auto v = Inspect(Edit(kValue));
    EXPECT_EQ(v.text, L"7");
    EXPECT_EQ(v.selStart, 0);
    EXPECT_EQ(v.selEnd, 1);
    EXPECT_EQ(v.limit, CDoubleCalcEdit::kMaxTextLength);
    EXPECT_EQ(dialog_->Value().GetLastValidValue(), 7);
}

TEST_F(CalcEditTest, RefusedCharactersBeepAndLeaveTheText) {
    Open(L"");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"12"));
    for (const auto& ch : {L"x", L"a", L" ", L","}) {
        SCOPED_TRACE(std::string(1, char(ch[0])));
        const size_t before = Beeps();
        TypeAtEnd(kValue, ch);
        EXPECT_EQ(Text(kValue), L"12");
        EXPECT_EQ(Beeps(), before + 1);
        const auto v = Inspect(Edit(kValue));
        EXPECT_EQ(v.selStart, 2);  // the caret put back where it was
        EXPECT_EQ(v.selEnd, 2);
    }
    // Exponents, both cases, and the operators are allowed.
    TypeAtEnd(kValue, L"e1*2E0^2/(4)-+1");
    EXPECT_EQ(Text(kValue), L"12e1*2E0^2/(4)-+1");
    EXPECT_TRUE(dialog_->Value().IsValid());
}

TEST_F(CalcEditTest, PastingRefusedTextIsUndone) {
    Open(L"");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"2"));
    ASSERT_TRUE(input::PressKey(VK_END));
    const size_t before = Beeps();
    ASSERT_TRUE(input::Paste(L"*abc"));
    EXPECT_EQ(Text(kValue), L"2");
    EXPECT_EQ(Beeps(), before + 1);
    ASSERT_TRUE(input::Paste(L"*1e3"));
    EXPECT_EQ(Text(kValue), L"2*1e3");
    ASSERT_TRUE(input::TypeChar(L'='));
    EXPECT_EQ(Text(kValue), L"2000");
}

TEST_F(CalcEditTest, AnUnevaluableEntryTurnsRedShowsTheBalloonAndLeavingRestoresThePreviousValue) {
    Open(L"5");
    EXPECT_EQ(Inspect(Edit(kValue)).textColor, GetSysColor(COLOR_WINDOWTEXT));
    const size_t before = Beeps();
    TypeAtEnd(kValue, L"*");
    EXPECT_EQ(Text(kValue), L"5*");  // the text stays as typed
    EXPECT_EQ(Inspect(Edit(kValue)).textColor, CDoubleCalcEdit::kInvalidTextColor);
    EXPECT_FALSE(dialog_->Value().IsValid());
    EXPECT_GT(Beeps(), before);
    HWND balloon = BalloonWindow();
    ASSERT_NE(balloon, nullptr);
    EXPECT_EQ(Inspect(balloon).text, L"Invalid Equation");
    EXPECT_EQ(dialog_->Value().Balloon()->Content(),
              L"The current entry cannot be evaluated.\nLeaving the field now will undo your changes.");
    EXPECT_EQ(dialog_->Value().Balloon()->Options(), CDoubleCalcEdit::kBalloonOptions | (dialog_->Value().Balloon()->Options() & 0x300));
    // The tail points at the caret, at the middle of the edit.
    const auto edit = Inspect(Edit(kValue));
    POINT caret{};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(dialog_->Value().Balloon()->Anchor().x, edit.windowRect.left + caret.x);
    EXPECT_EQ(dialog_->Value().Balloon()->Anchor().y, (edit.windowRect.top + edit.windowRect.bottom) / 2);
    // The balloon never takes the focus from the edit.
    EXPECT_EQ(GetFocus(), Edit(kValue));

    // A keystroke that makes the entry evaluable returns to the normal colour.
    TypeAtEnd(kValue, L"2");
    EXPECT_TRUE(dialog_->Value().IsValid());
    EXPECT_EQ(Inspect(Edit(kValue)).textColor, GetSysColor(COLOR_WINDOWTEXT));
    TypeAtEnd(kValue, L"/");
    EXPECT_FALSE(dialog_->Value().IsValid());

    // Leaving: beep, the dialog's value back, normal colours, no balloon.
    const size_t beforeLeaving = Beeps();
    ASSERT_TRUE(input::Focus(Edit(kPlain)));
    EXPECT_EQ(Text(kValue), L"5");
    EXPECT_EQ(Beeps(), beforeLeaving + 1);
    EXPECT_TRUE(dialog_->Value().IsValid());
    EXPECT_EQ(Inspect(Edit(kValue)).textColor, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(BalloonWindow(), nullptr);
    EXPECT_EQ(dialog_->Value().Balloon(), nullptr);
}

TEST_F(CalcEditTest, LeavingAfterAnEvaluationRestoresTheLastEvaluatedValue) {
    Open(L"5");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"2*3"));
    ASSERT_TRUE(input::TypeChar(L'='));
    EXPECT_EQ(Text(kValue), L"6");
    TypeAtEnd(kValue, L"*(");
    ASSERT_TRUE(input::Focus(Edit(kOther)));
    EXPECT_EQ(Text(kValue), L"6");
    // Division by zero fails only when evaluated: the same path.
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"1/0"));
    EXPECT_FALSE(dialog_->Value().IsValid());
    ASSERT_TRUE(input::Focus(Edit(kOther)));
    EXPECT_EQ(Text(kValue), L"6");
}

TEST_F(CalcEditTest, LeavingEvaluatesAChangedEntryAndKeepsAnUntouchedOne) {
    Open(L"0.30000000000000004");
    ASSERT_TRUE(input::Focus(Edit(kValue)));
    ASSERT_TRUE(input::Focus(Edit(kOther)));
    EXPECT_EQ(Text(kValue), L"0.30000000000000004");  // not cut to 16 digits by tabbing through
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"(1+1)^3"));
    ASSERT_TRUE(input::Focus(Edit(kOther)));
    EXPECT_EQ(Text(kValue), L"8");
    // An unevaluable text from the dialog is put back exactly when the user's entry fails.
    SetDlgItemText(dialog_->GetSafeHwnd(), kValue, L"");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"2*"));
    ASSERT_TRUE(input::Focus(Edit(kOther)));
    EXPECT_EQ(Text(kValue), L"");
}

TEST_F(CalcEditTest, EqualsOnAnUnevaluableEntryBeepsAndShowsThePreviousValue) {
    Open(L"5");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"4*4"));
    ASSERT_TRUE(input::TypeChar(L'='));
    ASSERT_EQ(Text(kValue), L"16");
    TypeAtEnd(kValue, L"/");
    ASSERT_NE(BalloonWindow(), nullptr);
    const size_t before = Beeps();
    ASSERT_TRUE(input::TypeChar(L'='));
    EXPECT_EQ(Beeps(), before + 1);
    EXPECT_EQ(Text(kValue), L"16");
    EXPECT_TRUE(dialog_->Value().IsValid());
    EXPECT_EQ(GetFocus(), Edit(kValue));  // "=" keeps the focus in the field
}

TEST_F(CalcEditTest, KeysThatLeaveTheTextAsItWasChangeNothing) {
    Open(L"5");
    TypeAtEnd(kValue, L"*");
    ASSERT_FALSE(dialog_->Value().IsValid());
    CBalloonHelp* balloon = dialog_->Value().Balloon();
    ASSERT_NE(balloon, nullptr);
    const size_t before = Beeps();
    ASSERT_TRUE(input::TypeChar(wchar_t(1)));  // Ctrl+A selects all
    EXPECT_EQ(Beeps(), before);
    EXPECT_EQ(dialog_->Value().Balloon(), balloon);  // the same balloon, not raised again
    EXPECT_EQ(Text(kValue), L"5*");
    // Ctrl+V pastes through the same checks.
    orv::win::SetClipboardText(L"9");
    ASSERT_TRUE(input::TypeChar(wchar_t(22)));
    EXPECT_EQ(Text(kValue), L"9");
    EXPECT_TRUE(dialog_->Value().IsValid());
}

TEST_F(CalcEditTest, OneThirdShowsSixteenSignificantDigits) {
    Open(L"");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"1/3"));
    ASSERT_TRUE(input::TypeChar(L'='));
    EXPECT_EQ(Text(kValue), L"0.3333333333333333");
    struct Case {
        const wchar_t* typed;
        const wchar_t* shown;
    };
    for (const Case& c : {Case{L"2/3", L"0.6666666666666666"}, Case{L"1E300*10", L"1e+301"}, Case{L"0-0", L"0"},
                          Case{L"-1E-5", L"-1e-05"}, Case{L"2^0.5", L"1.414213562373095"}}) {
        ASSERT_TRUE(input::ReplaceText(Edit(kValue), c.typed));
        ASSERT_TRUE(input::TypeChar(L'='));
        EXPECT_EQ(Text(kValue), c.shown) << std::wstring(c.typed).size();
    }
}

TEST_F(CalcEditTest, ADecimalCommaLocaleShowsAndAcceptsTheComma) {
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    Open(L"");
    EXPECT_EQ(dialog_->Value().DecimalSeparator(), L",");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"1/2"));
    ASSERT_TRUE(input::TypeChar(L'='));
    EXPECT_EQ(Text(kValue), L"0,5");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"0,25*2"));
    ASSERT_TRUE(input::TypeChar(L'='));
    EXPECT_EQ(Text(kValue), L"0,5");
    // The point is refused there.
    const size_t before = Beeps();
    TypeAtEnd(kValue, L".");
    EXPECT_EQ(Text(kValue), L"0,5");
    EXPECT_EQ(Beeps(), before + 1);
}

TEST_F(CalcEditTest, PermittedCharactersComeFromTheLocale) {
    Open(L"");
    CString expected = L".0123456789Ee()+-*/";
    expected += wchar_t(8);
    expected += L'^';
    EXPECT_EQ(dialog_->Value().PermittedCharacters(), expected);
    EXPECT_EQ(dialog_->Value().PermittedCharacters().GetLength(), 21);
}

TEST_F(CalcEditTest, TheLimitHoldsAfterAValueHasBeenShown) {
    Open(L"");
    dialog_->Value().SetValue(1);
    std::wstring full(1024, L'1');
    SetDlgItemText(dialog_->GetSafeHwnd(), kValue, full.c_str());
    TypeAtEnd(kValue, L"2");
    EXPECT_EQ(Text(kValue).size(), 1024u);
    EXPECT_EQ(Text(kValue), full);
}

TEST_F(CalcEditTest, ADisabledFieldIsReadOnlyWithTheDialogsBackground) {
    Open(L"5");
    EnableWindow(Edit(kValue), FALSE);
    auto v = Inspect(Edit(kValue));
    EXPECT_TRUE(v.readOnly);
    EXPECT_EQ(v.backColor, GetSysColor(COLOR_BTNFACE));
    EnableWindow(Edit(kValue), TRUE);
    v = Inspect(Edit(kValue));
    EXPECT_FALSE(v.readOnly);
    EXPECT_EQ(v.backColor, GetSysColor(COLOR_WINDOW));
    // An edit that is disabled when it is subclassed starts read-only.
    CDialog other;
    static const orv::res::DialogTemplate t = [] {
        orv::res::DialogTemplate d = TestTemplate();
        d.items[0].style |= WS_DISABLED;
        return d;
    }();
    ASSERT_TRUE(other.CreateIndirect(&t));
    std::vector<std::unique_ptr<CWnd>> owned;
    const UINT ids[] = {kValue, 0};
    DataModelDialogs::MakeCalcEdits(other, owned, ids);
    ASSERT_EQ(owned.size(), 1u);
    EXPECT_TRUE(Inspect(orv::win::FindControl(other.GetSafeHwnd(), int(kValue))).readOnly);
    other.DestroyWindow();
}

TEST_F(CalcEditTest, WithoutTheEvaluatorAPlainNumberIsReadDirectly) {
    orv::com::UnregisterClass(CLSID_ExpressionEvaluator);
    Open(L"5");
    EXPECT_FALSE(dialog_->Value().HasEvaluator());
    EXPECT_EQ(dialog_->Value().GetLastValidValue(), 5);  // the dialog's text, read as a number
    struct Case {
        const wchar_t* typed;
        const wchar_t* shown;
    } cases[] = {{L"7", L"7"}, {L"-2.5", L"-2.5"}, {L"1e3", L"1000"}, {L".5", L"0.5"}, {L"1E-2", L"0.01"}};
    for (const Case& c : cases) {
        // Half-typed states ("-", "1e") raise the balloon as they do with the evaluator; the
        // whole number is valid, and leaving shows it without a beep.
        ASSERT_TRUE(input::ReplaceText(Edit(kValue), c.typed));
        EXPECT_TRUE(dialog_->Value().IsValid()) << c.typed;
        const size_t before = Beeps();
        ASSERT_TRUE(input::Focus(Edit(kOther)));
        EXPECT_EQ(Text(kValue), c.shown);
        EXPECT_EQ(Beeps(), before) << c.typed;
        EXPECT_EQ(BalloonWindow(), nullptr) << c.typed;
    }
    // A whole number typed at once never raises the balloon.
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"42"));
    EXPECT_EQ(BalloonWindow(), nullptr);
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"0.25"));
    ASSERT_TRUE(input::TypeChar(L'='));
    EXPECT_EQ(Text(kValue), L"0.25");
    EXPECT_EQ(dialog_->Value().GetLastValidValue(), 0.25);
}

TEST_F(CalcEditTest, WithoutTheEvaluatorAnExpressionSaysSoAndIsKeptAsTyped) {
    orv::com::UnregisterClass(CLSID_ExpressionEvaluator);
    Open(L"5");
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"2*3"));
    EXPECT_FALSE(dialog_->Value().IsValid());
    HWND balloon = BalloonWindow();
    ASSERT_NE(balloon, nullptr);
    EXPECT_EQ(Inspect(balloon).text, L"Expression Evaluator Missing");
    EXPECT_EQ(dialog_->Value().Balloon()->Content(),
              L"Only a number can be entered here: the expression evaluator component is not available.\n"
              L"The entry is kept as typed.");
    // Leaving beeps and keeps the entry, still marked: the dialog's check refuses it at OK.
    size_t before = Beeps();
    ASSERT_TRUE(input::Focus(Edit(kOther)));
    EXPECT_EQ(Text(kValue), L"2*3");
    EXPECT_EQ(Beeps(), before + 1);
    EXPECT_FALSE(dialog_->Value().IsValid());
    EXPECT_EQ(Inspect(Edit(kValue)).textColor, CDoubleCalcEdit::kInvalidTextColor);
    EXPECT_EQ(BalloonWindow(), nullptr);
    EXPECT_EQ(dialog_->Value().GetLastValidValue(), 5);
    // "=" says it again and keeps the text.
    ASSERT_TRUE(input::Focus(Edit(kValue)));
    before = Beeps();
    ASSERT_TRUE(input::TypeChar(L'='));
    EXPECT_EQ(Text(kValue), L"2*3");
    EXPECT_EQ(Beeps(), before + 1);
    EXPECT_NE(BalloonWindow(), nullptr);
    // Correcting it to a number makes it valid again.
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"6"));
    EXPECT_TRUE(dialog_->Value().IsValid());
    ASSERT_TRUE(input::Focus(Edit(kOther)));
    EXPECT_EQ(Text(kValue), L"6");
    EXPECT_EQ(Inspect(Edit(kValue)).textColor, GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(CalcEditTest, WithoutTheEvaluatorADecimalCommaNumberIsRead) {
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    orv::com::UnregisterClass(CLSID_ExpressionEvaluator);
    Open(L"1,5");
    EXPECT_EQ(dialog_->Value().GetLastValidValue(), 1.5);
    ASSERT_TRUE(input::ReplaceText(Edit(kValue), L"2,25"));
    EXPECT_TRUE(dialog_->Value().IsValid());
    ASSERT_TRUE(input::Focus(Edit(kOther)));
    EXPECT_EQ(Text(kValue), L"2,25");
    EXPECT_EQ(dialog_->Value().GetLastValidValue(), 2.25);
}

TEST_F(CalcEditTest, TheBalloonTimesOutAndAKeyPressClosesIt) {
    orv::win::SetTooltipAnimation(false, false);
    Open(L"5");
    TypeAtEnd(kValue, L"*");
    HWND balloon = BalloonWindow();
    ASSERT_NE(balloon, nullptr);
    input::AdvanceClock(CDoubleCalcEdit::kBalloonTimeout - 1);
    EXPECT_TRUE(IsWindow(balloon));
    input::AdvanceClock(1);
    EXPECT_FALSE(IsWindow(balloon));
    // The field stays red until the entry is fixed or the field is left.
    EXPECT_FALSE(dialog_->Value().IsValid());
    TypeAtEnd(kValue, L"(");
    balloon = BalloonWindow();
    ASSERT_NE(balloon, nullptr);
    ASSERT_TRUE(input::PressKey(VK_LEFT));
    orv::win::PumpMessages();
    EXPECT_FALSE(IsWindow(balloon));
    orv::win::SetTooltipAnimation(true, true);
}

TEST_F(CalcEditTest, MakeCalcEditsSkipsMissingAndKnownControlsAndDropsStaleOnes) {
    Open(L"5");
    ASSERT_EQ(dialog_->edits.size(), 2u);
    const UINT again[] = {kValue, 4711, kPlain, 0, kOther};
    DataModelDialogs::MakeCalcEdits(*dialog_, dialog_->edits, again);
    ASSERT_EQ(dialog_->edits.size(), 3u);  // only kPlain is new; the list ended at 0
    EXPECT_NE(dynamic_cast<CDoubleCalcEdit*>(CWnd::FromHandlePermanent(Edit(kPlain))), nullptr);
    dialog_->DestroyWindow();
    DataModelDialogs::MakeCalcEdits(*dialog_, dialog_->edits, again);
    EXPECT_TRUE(dialog_->edits.empty());
}

TEST_F(CalcEditTest, BalloonTextsComeFromTheResourceModuleAndItsGermanSatellite) {
    std::wstring title, text;
    ASSERT_TRUE(orv::res::LoadStringResource(nullptr, IDS_INVALID_EQUATION, title));
    ASSERT_TRUE(orv::res::LoadStringResource(nullptr, IDS_INVALID_EQUATION_TEXT, text));
    EXPECT_EQ(title, L"Invalid Equation");
    EXPECT_EQ(text, L"The current entry cannot be evaluated.\nLeaving the field now will undo your changes.");

    const std::filesystem::path satellite = std::filesystem::path(ORV_BINARY_DIR) / "bin/Locale/libDataModelDialogs.DEU";
    if (!std::filesystem::exists(satellite)) GTEST_SKIP() << "the German satellite is not built: " << satellite;
    HMODULE german = LoadLibraryEx(satellite.wstring().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(german, nullptr);
    ASSERT_TRUE(orv::res::LoadStringResource(german, IDS_INVALID_EQUATION, title));
    ASSERT_TRUE(orv::res::LoadStringResource(german, IDS_INVALID_EQUATION_TEXT, text));
    EXPECT_EQ(title, L"Ung\u00fcltige Formel");
    EXPECT_NE(text.find(L"\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\u00c4nderungen"), std::wstring::npos);
    ASSERT_TRUE(orv::res::LoadStringResource(german, IDS_EVALUATOR_MISSING, title));
    ASSERT_TRUE(orv::res::LoadStringResource(german, IDS_EVALUATOR_MISSING_TEXT, text));
    EXPECT_EQ(title, L"Formelauswertung nicht verf\u00fcgbar");
    EXPECT_NE(text.find(L"\n"), std::wstring::npos);
    FreeLibrary(german);
}

}  // namespace
