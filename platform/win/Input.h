#pragma once
// Input as a person gives it. Drivers (the scripted driver, a terminal or GUI front end) and
// tests call these; each produces the message sequence the framework produces for that input.
// Every function returns false, with LastInputError() saying why, when the input cannot be
// given (no such window, window hidden or disabled, no focus, not a control of that kind);
// nothing is changed then.

#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

namespace orv::win::input {

struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// Why the last failing call failed.
const std::wstring& LastInputError();

// WM_CHAR of one character into the focused window (after the keyboard hooks). A character
// typed while the focus is outside an edit goes to the dialog manager (mnemonics).
bool TypeChar(wchar_t ch);
// TypeChar for each character in turn; stops at the first failure.
bool TypeText(std::wstring_view text);

// A key press: WM_KEYDOWN to the focused window through the dialog manager, then WM_KEYUP.
// VK_RETURN: the default button (or the focused push button) is clicked. VK_ESCAPE: IDCANCEL.
// VK_TAB / Shift: next / previous tab stop. Arrows: within a radio group, and in controls.
// VK_F1: WM_HELP with HELPINFO of the focused control. Ctrl+Tab / Ctrl+PageDown and
// Ctrl+Shift+Tab / Ctrl+PageUp: next / previous tab of a tab control in the dialog.
// VK_BACK, VK_DELETE, VK_HOME, VK_END, VK_LEFT, VK_RIGHT edit the focused edit.
bool PressKey(UINT vk, Modifiers modifiers = {});

// A mouse click on a control: the focus moves first (WM_KILLFOCUS to the previous focus,
// WM_SETFOCUS), then the control acts (BN_CLICKED; automatic check boxes and radio buttons
// change state; a static with SS_NOTIFY sends STN_CLICKED).
bool Click(HWND control);
// A double click (a click, then the double-click notification where the control has one).
bool DoubleClick(HWND control);

// Picks an item of a combo box, list box, list view or tab control as a person would:
// focus, then the selection with CBN_SELCHANGE / LBN_SELCHANGE / LVN_ITEMCHANGING+CHANGED /
// TCN_SELCHANGING+TCN_SELCHANGE. `index` -1 clears a list view's selection.
bool SelectItem(HWND control, int index);
// The same by the item's text (exact match; first match).
bool SelectItemByText(HWND control, std::wstring_view text);
// List view with multi-selection: adds or removes one item (Ctrl+click).
bool ToggleItem(HWND control, int index);
// List view label editing: begins the edit (LVN_BEGINLABELEDIT), then ends it with `text`
// (LVN_ENDLABELEDIT); the label changes when the parent answers TRUE.
bool EditLabel(HWND control, int index, std::wstring_view text);

// The mouse on the virtual screen: WM_MOUSEMOVE, or a left or right click (button down and up)
// at a point, to the window that has captured the mouse, else the window under the point (in
// its client coordinates). A click outside every window only moves the mouse.
bool MoveMouse(POINT screen);
bool ClickAt(POINT screen, bool right = false);
// The parts of a drag, for front ends that see the mouse's buttons go down and up: a button
// pressed or released at a point (WM_LBUTTONDOWN / UP, WM_MBUTTONDOWN / UP, WM_RBUTTONDOWN / UP)
// and moves with the buttons held (WM_MOUSEMOVE), each with the MK_ flags of the buttons held
// and of Shift and Ctrl, to the window that has captured the mouse, else the window under the
// point. A press outside every window only moves the mouse.
enum class MouseButton { Left, Middle, Right };
bool MouseButtonAt(POINT screen, MouseButton button, bool down, Modifiers modifiers = {});
bool MoveMouse(POINT screen, Modifiers modifiers);
// A turn of the wheel by `delta` (WHEEL_DELTA per notch, positive away from the person):
// WM_MOUSEWHEEL with the MK_ flags and the delta in wParam and the screen point in lParam, to
// the window that has captured the mouse, else the window under the point.
bool MouseWheel(POINT screen, int delta, Modifiers modifiers = {});

// Property grids. GridChoose picks CHOICE for the item captioned ITEM as a person would: the
// grid gets the focus, the item's row is selected, its list opens and the choice is clicked
// (XTP_PGN_ITEMVALUE_CHANGED follows when the value changes). Refused for an item that is not
// shown, a read-only one and a choice that is not in its list. The row forms serve front ends:
// select a shown row, expand or collapse a category's row, pick in the selected row's list.
bool GridChoose(HWND grid, std::wstring_view item, std::wstring_view choice);
bool GridSelectRow(HWND grid, int row);
bool GridToggleRow(HWND grid, int row);
bool GridChooseIndex(HWND grid, int choice);

// Moves the focus to a window (WM_KILLFOCUS to the previous focus first).
bool Focus(HWND hwnd);

// Puts text on the clipboard and sends WM_PASTE to the focused window.
bool Paste(std::wstring_view text);

// Replaces the whole text of an edit (or editable combo box) as a person would: focus, select
// all, then type the text (an empty text: Delete).
bool ReplaceText(HWND control, std::wstring_view text);

// A spin button's arrows: +1 up, -1 down per step (UDN_DELTAPOS, then WM_VSCROLL/WM_HSCROLL).
bool Spin(HWND spin, int steps);

// The window's Close command: WM_SYSCOMMAND SC_CLOSE, which sends WM_CLOSE; a dialog turns it
// into IDCANCEL.
bool CloseWindow(HWND hwnd);

// Advances the kernel clock by `milliseconds`, firing every timer that falls due in time
// order (WM_TIMER, or the timer's procedure), with the posted messages handled after each.
void AdvanceClock(UINT milliseconds);
// Milliseconds of the kernel clock until the earliest timer falls due (0 when one is due now);
// -1 when no timer is set. A front end blocks for input at most that long.
long long MillisecondsToNextTimer();

}  // namespace orv::win::input
