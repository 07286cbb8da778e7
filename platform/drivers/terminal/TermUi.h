#pragma once
// The terminal front end without the terminal: draws the kernel's window stack into a Canvas
// and turns keys into the kernel's input events (Input.h). The kernel stays authoritative; the
// only state kept here is what a terminal adds to it: list scroll positions, an open drop-down
// list, a help pop-up, the status line, the last pictures of painted windows and where the last
// drawing put each window.

#include <cstdint>
#include <map>
#include <string>

#include "platform/drivers/terminal/TermCanvas.h"
#include "platform/win/DisplayList.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinTypes.h"

namespace orv::term {

// The smallest terminal the dialogs are laid out for.
// A larger dialog follows the focus (Tab reaches every control) and marks its cut edges.
inline constexpr int kMinColumns = 80;
inline constexpr int kMinRows = 24;

// Pixels of one character cell: 4 by 8 dialog units of the dialog font (the kernel's base units
// are 6 by 13 pixels), so a dialog of 400 by 240 dialog units takes 100 by 30 cells.
inline constexpr int kCellWidth = 6;
inline constexpr int kCellHeight = 13;

// "The terminal is 70 x 20; the dialogs need at least 80 x 24."
std::string TooSmallMessage(int columns, int rows);

// A list box or list view in which several items can be selected.
bool MultipleSelection(const orv::win::WindowView& v);

// The key line: the keys that act where the focus is, with what Enter presses there ("Enter
// Modify...", the focused push button or the dialog's default button) and F1 only where a
// window answers help requests.
std::wstring KeyHints();
// The key line within `width` columns: where it is longer, "Tab move" for "Tab/Shift+Tab move",
// then the keys dropped from the end, except those that move, press Enter and cancel.
std::wstring FitKeyHints(std::wstring hints, int width);

enum class KeyCode {
    None,
    Char,       // `ch`: a character typed (with `alt`: Alt+character)
    Tab,        // with shift: Shift+Tab
    Enter,
    Escape,
    Backspace,
    Delete,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
    F1,
    F2,
    F4,
    Resize,
    Paste,      // `text`: text the terminal pasted as one piece (bracketed paste)
};

struct Key {
    KeyCode code = KeyCode::None;
    wchar_t ch = 0;
    bool shift = false;
    bool control = false;
    bool alt = false;
    std::wstring text;
};

// Where the terminal's cursor goes after drawing.
struct CursorPlace {
    bool visible = false;
    int x = 0, y = 0;
};

class TermUi {
public:
    // Draws every visible top-level window (bottom to top, the active window centred), then the
    // open drop-down list, the help pop-up and the status line. A canvas smaller than
    // kMinColumns x kMinRows shows TooSmallMessage instead.
    CursorPlace Render(Canvas& canvas);

    // One key: true when it became a kernel input event (or changed what the terminal shows).
    // A key that the kernel refuses beeps and puts the reason on the status line.
    bool HandleKey(const Key& key);

    // A help request to show as a pop-up until the next key.
    void ShowHelp(std::wstring text);
    // F2: the active window's fields left blank because the objects edited together disagree,
    // each with its values, in the same pop-up; false (and a status line) when there are none.
    bool ShowMixedValues();
    const std::wstring& HelpText() const { return help_; }
    // A line for the status row (an input refused, a procedure failure); cleared by the next key.
    void SetStatus(std::wstring text) { status_ = std::move(text); }
    const std::wstring& Status() const { return status_; }
    // The drop-down list open on this combo box; null when none.
    HWND OpenList() const { return openList_; }

    // Whether the terminal shows colours (default): without them a coloured entry (an
    // expression edit whose text cannot be evaluated) is marked "!" in place of its bracket.
    void SetColors(bool colors) { colors_ = colors; }
    // Where the last Render drew a window: a top-level window's frame, a control's cells; empty
    // when it was not drawn.
    CellRect DrawnCells(HWND hwnd) const {
        const auto it = drawn_.find(hwnd);
        return it == drawn_.end() ? CellRect{} : it->second;
    }

    // The window's picture changed (painted windows are repainted at the next Render).
    void Invalidate(HWND hwnd) { pictures_.erase(hwnd); }
    void Forget(HWND hwnd);
    // Set by HandleKey when a key beeped; the driver rings the terminal's bell.
    bool TakeBeep() {
        const bool b = beep_;
        beep_ = false;
        return b;
    }

private:
    struct ListRows {
        int top = 0;      // first item shown
        int rows = 1;     // items that fit
        int cursor = -1;  // multiple selection: the item Space toggles (-1: the selected one)
    };

    bool ListKey(HWND focus, const Key& key);
    bool MultipleSelectionKey(HWND focus, const Key& key);
    bool OpenListKey(const Key& key);
    bool Give(bool ok);
    const orv::win::DisplayList& Picture(HWND hwnd);

    friend struct Painter;

    std::map<HWND, ListRows> lists_;
    std::map<HWND, orv::win::DisplayList> pictures_;
    std::map<HWND, CellRect> drawn_;
    bool colors_ = true;
    HWND openList_ = nullptr;
    int openHighlight_ = 0;
    int openTop_ = 0;
    CellRect openAnchor_;     // the combo box's cells, for placing its list
    std::wstring help_;
    std::wstring helpTitle_ = L"Help";
    std::wstring status_;
    bool beep_ = false;
};

}  // namespace orv::term
