// The terminal front end without a terminal: the screen drawn from the kernel's state and a
// person's keys given as kernel input, on the test dialog and on dialogs of our own.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/drivers/terminal/TermUi.h"
#include "platform/win/Afx.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"
#include "support/TestDialog.h"
#include "support/TermPerson.h"

namespace {

using orv::term::Key;
using orv::term::KeyCode;

using orvtest::MakeKey;
using Person = orvtest::TermPerson;

class TermUiTest : public testing::Test {
protected:
    void SetUp() override { orv::win::ResetKernel(); }
    void TearDown() override { orv::win::ResetKernel(); }
};

TEST_F(TermUiTest, TheSampleDialogIsDrawnWithEveryControlAsText) {
    bool checked = false;
    Person person({[&](Person& p) {
        checked = true;
        const std::string text = p.Text();
        SCOPED_TRACE(text);
        for (const wchar_t* expected :
             {L" Sample ", L"Name:", L"[Bracket", L"Magnitude:", L"[100", L"[ ] Varies with time", L"Load curve:",
              L"[-] Follow surface", L" Coordinates ", L"(*) Global", L"( ) Local", L"Units:", L"[mm", L" v]",
              L"Lengths in mm", L"Node 1", L"Node 3", L"<<", L"OK", L">>", L"< ", L"Cancel", L"Help"})
            EXPECT_TRUE(p.Shows(expected)) << orv::WideToUtf8(expected);
        EXPECT_EQ(text.find('&'), std::string::npos);
        // The mnemonic is underlined, the disabled row dimmed.
        const auto name = p.Find(L"Name:");
        EXPECT_TRUE(p.screen.At(name.first, name.second).attr & orv::term::kAttrUnderline);
        EXPECT_FALSE(p.screen.At(name.first + 1, name.second).attr & orv::term::kAttrUnderline);
        const auto curve = p.Find(L"Load curve:");
        EXPECT_TRUE(p.screen.At(curve.first, curve.second).attr & orv::term::kAttrDim);
        EXPECT_TRUE(p.screen.At(curve.first + 5, curve.second).attr & orv::term::kAttrUnderline);
        // The focused name edit: its frame reversed, its selected text reversed, the cursor in it.
        const auto edit = p.Find(L"[Bracket");
        EXPECT_TRUE(p.screen.At(edit.first, edit.second).attr & orv::term::kAttrReverse);
        EXPECT_TRUE(p.screen.At(edit.first + 1, edit.second).attr & orv::term::kAttrReverse);
        EXPECT_TRUE(p.cursor.visible);
        EXPECT_EQ(p.cursor.y, edit.second);
        // The dialog is centred above the status line, which lists the keys.
        EXPECT_TRUE(p.Shows(L"Tab/Shift+Tab move"));
        const auto title = p.Find(L" Sample ");
        EXPECT_GT(title.first, 10);
        EXPECT_GT(title.second, 1);
        p.Press(KeyCode::Escape);
    }});
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(checked);
}

TEST_F(TermUiTest, TabToAFieldTypeAndEnterSavesIt) {
    Person person({
        [](Person& p) { p.Press(KeyCode::Tab); },
        [](Person& p) {
            // Tab selected the whole magnitude: typing replaces it.
            EXPECT_TRUE(p.Shows(L"[100"));
            p.Type(L"250");
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"[250")) << p.Text();
            const auto edit = p.Find(L"[250");
            EXPECT_EQ(p.cursor.x, edit.first + 4);
            // Editing keys reach the edit: Home, Delete, Left and Backspace.
            p.Press(KeyCode::Home);
            p.Press(KeyCode::Delete);
            p.Type(L"3");
            p.Press(KeyCode::End);
            p.Press(KeyCode::Backspace);
            p.Type(L"7");
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"[357")) << p.Text();
            p.Press(KeyCode::Enter);
        },
    });
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(person.Done(), 4u);
    EXPECT_EQ(dialog.m_magnitude, 357.0);
}

TEST_F(TermUiTest, AWhollySelectedLongValueShowsItsBeginningAndTheCaretItsEnd) {
    const std::wstring value = L"Begin" + std::wstring(150, L'x') + L"End";
    Person person({
        [&](Person& p) {
            HWND name = p.Control(orvtest::TestDialog::IDC_NAME);
            ::SetWindowText(name, value.c_str());
            ::SetFocus(name);
            ::SendMessage(name, EM_SETSEL, 0, -1);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"[Beginxxx")) << p.Text();
            EXPECT_FALSE(p.Shows(L"xxxEnd")) << p.Text();
            p.Press(KeyCode::End);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"xxxEnd")) << p.Text();
            EXPECT_FALSE(p.Shows(L"Begin")) << p.Text();
            p.Press(KeyCode::Escape);
        },
        [](Person& p) { p.Press(KeyCode::Enter); },
    });
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    dialog.DoModal();
    EXPECT_GE(person.Done(), 3u);
}

TEST_F(TermUiTest, SpaceTogglesACheckBoxAndEscapeAsksBeforeDiscarding) {
    Person person({
        [](Person& p) {
            p.Press(KeyCode::Tab);
            p.Press(KeyCode::Tab);
        },
        [](Person& p) {
            const auto box = p.Find(L"[ ] Varies with time");
            ASSERT_GE(box.first, 0);
            EXPECT_TRUE(p.screen.At(box.first, box.second).attr & orv::term::kAttrReverse);
            p.Type(L" ");
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"[x] Varies with time"));
            const auto curve = p.Find(L"Load curve:");
            EXPECT_FALSE(p.screen.At(curve.first, curve.second).attr & orv::term::kAttrDim);
            p.Press(KeyCode::Escape);
        },
        [](Person& p) {
            // The message box on top, the dialog dimmed behind it.
            SCOPED_TRACE(p.Text());
            EXPECT_TRUE(p.Shows(L"Discard the changes?"));
            EXPECT_TRUE(p.Shows(L"(?)"));
            EXPECT_TRUE(p.Shows(L"Question"));
            EXPECT_TRUE(p.Shows(L"Yes"));
            EXPECT_TRUE(p.Shows(L"No"));
            const auto behind = p.Find(L"Name:");
            EXPECT_TRUE(p.screen.At(behind.first, behind.second).attr & orv::term::kAttrDim);
            p.Alt(L'y');
        },
    });
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(person.Done(), 4u);
    EXPECT_EQ(dialog.m_varies, BST_UNCHECKED);
}

TEST_F(TermUiTest, AComboBoxListOpensChoosesAndCloses) {
    Person person({
        [](Person& p) { p.Alt(L'u'); },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"Up/Down choose"));
            p.Press(KeyCode::F4);
        },
        [](Person& p) {
            EXPECT_NE(p.ui.OpenList(), nullptr);
            const auto cm = p.Find(L" cm");
            ASSERT_GE(cm.first, 0) << p.Text();
            const auto mm = p.Find(L" mm ");
            EXPECT_TRUE(p.screen.At(mm.first + 1, mm.second).attr & orv::term::kAttrReverse);
            // Escape closes the list without choosing.
            p.Press(KeyCode::Escape);
        },
        [](Person& p) {
            EXPECT_EQ(p.ui.OpenList(), nullptr);
            EXPECT_TRUE(p.Shows(L"Lengths in mm"));
            p.Press(KeyCode::Down, false, false, true);
            p.Press(KeyCode::Down);
            p.Press(KeyCode::Down);
            p.Press(KeyCode::Enter);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"Lengths in m")) << p.Text();
            EXPECT_FALSE(p.Shows(L"Lengths in mm"));
            // Up on the closed list picks the item before.
            p.Press(KeyCode::Up);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"Lengths in cm"));
            // Typing in the open list jumps to the item with that letter; Enter opens, Enter chooses.
            p.Press(KeyCode::Enter);
            p.Type(L"mm");
            p.Press(KeyCode::Enter);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"Lengths in mm")) << p.Text();
            p.Press(KeyCode::Tab);
            p.Press(KeyCode::Tab, true);
            p.Press(KeyCode::Tab);
            p.Press(KeyCode::Enter);
        },
    });
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(person.Done(), 7u);
    EXPECT_EQ(dialog.m_units, 0);
}

TEST_F(TermUiTest, ListsMoveWithArrowsPagesHomeAndEnd) {
    std::vector<Person::Step> steps;
    steps.push_back([](Person& p) {
        for (int i = 0; i < 6; ++i) p.Press(KeyCode::Tab);
    });
    const std::vector<std::pair<KeyCode, int>> moves = {
        {KeyCode::Down, 0}, {KeyCode::End, 2}, {KeyCode::PageUp, 0}, {KeyCode::PageDown, 2}, {KeyCode::Up, 1}, {KeyCode::Home, 0},
    };
    for (const auto& move : moves) {
        const KeyCode key = move.first;
        const int index = move.second;
        steps.push_back([key](Person& p) { p.Press(key); });
        steps.push_back([index](Person& p) {
            const HWND list = ::GetFocus();
            EXPECT_EQ(orv::win::Inspect(list).selection, index);
            const auto row = p.Find(L"Node " + std::to_wstring(index + 1));
            ASSERT_GE(row.first, 0);
            EXPECT_TRUE(p.screen.At(row.first, row.second).attr & orv::term::kAttrReverse);
            EXPECT_EQ(p.screen.At(row.first - 1, row.second).ch, L'>');
        });
    }
    steps.push_back([](Person& p) { p.Press(KeyCode::End); });
    steps.push_back([](Person& p) { p.Press(KeyCode::Enter); });
    Person person(steps);
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_node, 2);
}

TEST_F(TermUiTest, AltMnemonicsAndArrowsInARadioGroup) {
    Person person({
        [](Person& p) { p.Alt(L'l'); },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"(*) Local"));
            EXPECT_TRUE(p.Shows(L"( ) Global"));
            p.Press(KeyCode::Left);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"(*) Global"));
            // Esc followed by a letter arrives as Alt+letter: the mnemonic of Follow surface.
            p.Alt(L'f');
            p.Type(L" ");
        },
        [](Person& p) {
            EXPECT_FALSE(p.Shows(L"[-] Follow surface"));
            // A letter with no control refuses quietly; Alt with a non-letter beeps.
            p.ui.HandleKey(MakeKey(KeyCode::Char, L'#', false, false, true));
            EXPECT_TRUE(p.ui.TakeBeep());
            p.Press(KeyCode::Enter);
        },
    });
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_coordinates, 0);
    EXPECT_NE(dialog.m_follow, BST_INDETERMINATE);
}

TEST_F(TermUiTest, AHelpPopUpShowsUntilTheNextKeyWhichDoesNothingElse) {
    Person person({
        [](Person& p) { p.ui.ShowHelp(L"Enter the name under which the load is listed in the model tree."); },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L" Help "));
            EXPECT_TRUE(p.Shows(L"Enter the name under which the load is listed"));
            EXPECT_TRUE(p.Shows(L"(any key closes)"));
            EXPECT_FALSE(p.cursor.visible);
            p.Press(KeyCode::Escape);  // closes the pop-up only
        },
        [](Person& p) {
            EXPECT_FALSE(p.Shows(L"(any key closes)"));
            EXPECT_TRUE(p.Shows(L" Sample "));
            p.Press(KeyCode::Escape);
        },
    });
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(person.Done(), 3u);
}

TEST_F(TermUiTest, APasteIsOnePasteAndF1WithoutHelpSaysSo) {
    Person person({
        [](Person& p) {
            // Lines pasted into the name: the edit keeps the first; no line break presses OK.
            Key paste = MakeKey(KeyCode::Paste);
            paste.text = L"Beam\rsecond line\r";
            p.ui.HandleKey(paste);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"[Beam ")) << p.Text();
            EXPECT_TRUE(p.Shows(L" Sample "));
            p.Press(KeyCode::F1);
            EXPECT_EQ(p.ui.Status(), L"No help is available here.");
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"No help is available here."));
            p.Press(KeyCode::Enter);
        },
    });
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_name, CString(L"Beam"));
}

TEST_F(TermUiTest, ARefusedKeyBeepsAndSaysWhyOnTheStatusLine) {
    Person person({
        [](Person& p) {
            // The disabled load curve edit: its mnemonic finds nothing to reach.
            p.ui.SetStatus(L"");
            const HWND curve = orv::win::FindControl(orv::win::ActiveModalWindow(), orvtest::TestDialog::IDC_CURVE);
            EXPECT_FALSE(orv::win::Inspect(curve).enabled);
            ::EnableWindow(orv::win::ActiveModalWindow(), FALSE);
            p.Press(KeyCode::Tab);
            EXPECT_TRUE(p.ui.TakeBeep());
            EXPECT_NE(p.ui.Status().find(L"disabled"), std::wstring::npos) << orv::WideToUtf8(p.ui.Status());
            ::EnableWindow(orv::win::ActiveModalWindow(), TRUE);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(orv::win::input::LastInputError()));
            p.Press(KeyCode::Escape);
        },
    });
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(TermUiTest, MessageBoxesWrapTheirTextAndAnswerWithTheKeys) {
    const std::wstring text =
        L"The film coefficient of 3 surfaces is taken from the library, which replaces the values you typed. "
        L"Do you want to go on?";
    Person person({
        [&](Person& p) {
            SCOPED_TRACE(p.Text());
            EXPECT_TRUE(p.Shows(L"The film coefficient"));
            EXPECT_TRUE(p.Shows(L"go on?"));
            EXPECT_TRUE(p.Shows(L"Question"));
            const auto yes = p.Find(L"Yes");
            const auto no = p.Find(L"No");
            const auto cancel = p.Find(L"Cancel");
            EXPECT_EQ(yes.second, no.second);
            EXPECT_EQ(no.second, cancel.second);
            EXPECT_LT(yes.first, no.first);
            EXPECT_TRUE(p.screen.At(yes.first, yes.second).attr & orv::term::kAttrBold);  // the default
            p.Press(KeyCode::Tab);
        },
        [](Person& p) {
            const auto no = p.Find(L"No");
            EXPECT_TRUE(p.screen.At(no.first, no.second).attr & orv::term::kAttrReverse);
            p.Press(KeyCode::Enter);
        },
    });
    orv::win::DriverScope scope(&person);
    EXPECT_EQ(AfxMessageBox(text.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
}

TEST_F(TermUiTest, ATerminalTooSmallShowsTheMessageInsteadOfTheDialog) {
    Person person(
        {[](Person& p) {
            EXPECT_TRUE(p.Shows(L"The terminal is 70 x 20; the dialogs need at least 80 x 24.")) << p.Text();
            EXPECT_FALSE(p.Shows(L"Sample"));
            EXPECT_FALSE(p.cursor.visible);
            // After a resize to a usable size the dialog is back.
            p.screen.Resize(100, 30);
            p.Draw();
            EXPECT_TRUE(p.Shows(L" Sample "));
            p.Press(KeyCode::Escape);
        }},
        70, 20);
    orv::win::DriverScope scope(&person);
    orvtest::TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

}  // namespace
