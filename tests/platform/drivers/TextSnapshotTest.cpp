#include <gtest/gtest.h>

#include "platform/drivers/text/TextSnapshot.h"
#include "platform/win/WinMessages.h"
#include "platform/win/WinStyles.h"

namespace {

using orv::win::WindowView;

// Views built by hand, one pixel per character cell, so that rectangles read as cells.
WindowView Dialog(const wchar_t* title, int w, int h) {
    WindowView v;
    v.className = L"#32770";
    v.text = title;
    v.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    v.clientRect = {100, 50, 100 + w, 50 + h};
    v.windowRect = v.clientRect;
    v.enabled = v.visible = v.reallyVisible = true;
    return v;
}

WindowView Control(const wchar_t* cls, int id, DWORD style, const wchar_t* text, int x, int y, int w, int h) {
    WindowView v;
    v.className = cls;
    v.id = id;
    v.style = WS_CHILD | WS_VISIBLE | style;
    v.text = text;
    v.windowRect = {100 + x, 50 + y, 100 + x + w, 50 + y + h};
    v.enabled = v.visible = v.reallyVisible = true;
    return v;
}

std::vector<orv::win::ItemView> Items(std::initializer_list<const wchar_t*> texts) {
    std::vector<orv::win::ItemView> items;
    for (const wchar_t* text : texts) {
        orv::win::ItemView item;
        item.text = text;
        items.push_back(item);
    }
    return items;
}

std::string Render(const WindowView& dialog, const std::vector<WindowView>& controls) {
    return orv::text::RenderSnapshot(dialog, controls, {1, 1});
}

TEST(TextSnapshot, DrawsEachControlKindWithItsState) {
    auto checked = Control(L"Button", 10, BS_AUTOCHECKBOX, L"&Checked", 0, 0, 12, 1);
    checked.check = BST_CHECKED;
    auto unchecked = Control(L"Button", 11, BS_AUTOCHECKBOX, L"Plain", 14, 0, 10, 1);
    unchecked.check = BST_UNCHECKED;
    auto mixed = Control(L"Button", 12, BS_AUTO3STATE, L"Mixed", 26, 0, 10, 1);
    mixed.check = BST_INDETERMINATE;
    auto on = Control(L"Button", 13, BS_AUTORADIOBUTTON, L"On", 0, 1, 8, 1);
    on.check = BST_CHECKED;
    auto off = Control(L"Button", 14, BS_AUTORADIOBUTTON, L"Off", 10, 1, 8, 1);
    off.check = BST_UNCHECKED;
    auto label = Control(L"Static", -1, SS_LEFT, L"&Name:", 0, 2, 6, 1);
    auto edit = Control(L"Edit", 20, ES_LEFT, L"Bracket", 7, 2, 12, 1);
    edit.focused = true;
    auto password = Control(L"Edit", 21, ES_PASSWORD, L"abc", 21, 2, 8, 1);
    auto combo = Control(L"ComboBox", 22, CBS_DROPDOWNLIST, L"", 0, 3, 14, 1);
    combo.items = Items({L"mm", L"inch"});
    combo.selection = 1;
    auto right = Control(L"Static", -1, SS_RIGHT, L"right", 16, 3, 10, 1);
    auto ok = Control(L"Button", IDOK, BS_DEFPUSHBUTTON, L"OK", 10, 5, 8, 1);
    auto cancel = Control(L"Button", IDCANCEL, BS_PUSHBUTTON, L"Cancel", 20, 5, 10, 1);
    const std::string expected =
        "+---------------------------------------+\n"
        "| Sample                             [X]|\n"
        "+---------------------------------------+\n"
        "| [x] Checked   [ ] Plain   [-] Mixed   |\n"
        "| (o) On    ( ) Off                     |\n"
        "| Name:  [Bracket   ]  [***   ]         |\n"
        "| [inch       v]       right            |\n"
        "|                                       |\n"
        "|           << OK >>  < Cancel >        |\n"
        "+---------------------------------------+\n"
        "focus: 20 Edit\n";
    EXPECT_EQ(expected, Render(Dialog(L"Sample", 37, 6),
                               {checked, unchecked, mixed, on, off, label, edit, password, combo, right, ok, cancel}));
}

TEST(TextSnapshot, DisabledControlsHaveBracesAndHiddenOnesAreNotDrawn) {
    auto check = Control(L"Button", 10, BS_AUTOCHECKBOX, L"Check", 0, 0, 10, 1);
    check.check = BST_CHECKED;
    check.enabled = false;
    auto radio = Control(L"Button", 11, BS_AUTORADIOBUTTON, L"Radio", 12, 0, 10, 1);
    radio.check = BST_CHECKED;
    radio.enabled = false;
    auto label = Control(L"Static", -1, SS_LEFT, L"Label", 0, 1, 6, 1);
    label.enabled = false;
    auto edit = Control(L"Edit", 20, 0, L"1.5", 8, 1, 8, 1);
    edit.enabled = false;
    auto button = Control(L"Button", 30, BS_PUSHBUTTON, L"&Apply", 18, 1, 8, 1);
    button.enabled = false;
    auto hidden = Control(L"Edit", 21, 0, L"hidden", 0, 2, 10, 1);
    hidden.reallyVisible = false;
    const std::string expected =
        "+----------------------------+\n"
        "| Disabled                [X]|\n"
        "+----------------------------+\n"
        "| {x} Check   {o} Radio      |\n"
        "| {Label} {1.5   }  {Apply } |\n"
        "|                            |\n"
        "+----------------------------+\n";
    EXPECT_EQ(expected, Render(Dialog(L"Disabled", 26, 3), {check, radio, label, edit, button, hidden}));
}

TEST(TextSnapshot, GroupBoxesListsAndWrappedLabels) {
    auto group = Control(L"Button", -1, BS_GROUPBOX, L"&Units", 0, 0, 20, 4);
    auto inside = Control(L"Static", -1, SS_LEFT, L"one two three four", 2, 1, 9, 2);
    auto list = Control(L"ListBox", 40, 0, L"", 21, 0, 8, 4);
    list.items = Items({L"alpha", L"beta", L"gamma"});
    list.selection = 1;
    const std::string expected =
        "+-------------------------------+\n"
        "| Groups                        |\n"
        "+-------------------------------+\n"
        "| +- Units ----------+ +------+ |\n"
        "| | one two          | | alpha| |\n"
        "| | three            | |>beta | |\n"
        "| +------------------+ +--...-+ |\n"
        "+-------------------------------+\n";
    auto dialog = Dialog(L"Groups", 29, 4);
    dialog.style &= ~WS_SYSMENU;
    EXPECT_EQ(expected, Render(dialog, {group, inside, list}));
}

TEST(TextSnapshot, MessageBoxWithoutControlsShowsIconTextAndButtons) {
    WindowView box = Dialog(L"Sample", 10, 10);
    box.isMessageBox = true;
    box.messageBox.caption = L"Sample";
    box.messageBox.text = L"Value must be positive.\nTry again.";
    box.messageBox.icon = MB_ICONEXCLAMATION;
    box.messageBox.buttons = {IDYES, IDNO};
    box.messageBox.defaultButton = IDYES;
    const std::string expected =
        "+-----------------------------+\n"
        "| Sample                      |\n"
        "+-----------------------------+\n"
        "| (!) Value must be positive. |\n"
        "|     Try again.              |\n"
        "|                             |\n"
        "|        <<Yes>>  <No>        |\n"
        "+-----------------------------+\n";
    EXPECT_EQ(expected, orv::text::RenderSnapshot(box, {}, {1, 1}));
}

TEST(TextSnapshot, ListViewsTabsMultiLineEditsAndOtherClasses) {
    auto tabs = Control(L"SysTabControl32", 50, 0, L"", 0, 0, 30, 1);
    tabs.items = Items({L"&General", L"Advanced"});
    tabs.selection = 0;
    auto view = Control(L"SysListView32", 51, LVS_REPORT, L"", 0, 1, 30, 5);
    view.columns = {L"Name", L"Value"};
    view.items = Items({L"alpha", L"beta"});
    view.items[0].subItems = {L"1"};
    view.items[1].subItems = {L"2"};
    view.items[1].selected = true;
    auto memo = Control(L"Edit", 52, ES_MULTILINE, L"first line\nsecond", 31, 0, 10, 3);
    auto spin = Control(L"msctls_updown32", 53, 0, L"", 31, 3, 2, 1);
    auto custom = Control(L"OrvPlot", 54, 0, L"plot", 31, 4, 10, 1);
    const std::string expected =
        "+--------------------------------------------+\n"
        "| Views                                      |\n"
        "+--------------------------------------------+\n"
        "| [General] Advanced             [first   ]  |\n"
        "| +----------------------------+ [line    ]  |\n"
        "| | Name | Value               | [second  ]  |\n"
        "| | alpha | 1                  | ^v          |\n"
        "| |>beta | 2                   | [?OrvPlot]  |\n"
        "| +----------------------------+             |\n"
        "+--------------------------------------------+\n";
    auto dialog = Dialog(L"Views", 42, 6);
    dialog.style &= ~WS_SYSMENU;
    EXPECT_EQ(expected, Render(dialog, {tabs, view, memo, spin, custom}));
}

TEST(TextSnapshot, SameStateGivesTheSameText) {
    auto edit = Control(L"Edit", 20, 0, L"abc", 0, 0, 10, 1);
    const auto dialog = Dialog(L"Again", 12, 1);
    EXPECT_EQ(Render(dialog, {edit}), Render(dialog, {edit}));
    // Pixel rectangles map to cells by rounding: 6 x 13 pixel cells.
    WindowView px = dialog;
    px.clientRect = {0, 0, 72, 13};
    WindowView e = edit;
    e.windowRect = {6, 0, 66, 13};
    EXPECT_EQ("+--------------+\n"
              "| Again     [X]|\n"
              "+--------------+\n"
              "|  [abc     ]  |\n"
              "+--------------+\n",
              orv::text::RenderSnapshot(px, {e}, {6, 13}));
}

TEST(TextSnapshot, StripMnemonicsKeepsDoubledAmpersands) {
    EXPECT_EQ(L"Apply", orv::text::StripMnemonics(L"&Apply"));
    EXPECT_EQ(L"Save & Close", orv::text::StripMnemonics(L"Save && Close"));
    EXPECT_EQ(L"", orv::text::StripMnemonics(L"&"));
    EXPECT_EQ(L"ab", orv::text::StripMnemonics(L"a&b"));
}

}  // namespace
