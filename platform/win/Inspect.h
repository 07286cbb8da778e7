#pragma once
// Read access to the whole kernel state, for snapshots, expectations and front ends.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/DisplayList.h"
#include "platform/win/WinTypes.h"

namespace orv::win {

struct ItemView {
    std::wstring text;
    std::vector<std::wstring> subItems;  // list view columns 1..n
    DWORD_PTR data = 0;
    bool selected = false;
    int image = -1;
};

// One row of a property grid as shown.
struct GridRowView {
    std::wstring caption;
    std::wstring value;
    std::wstring description;      // the help pane's text while the row is selected
    bool category = false;
    bool expandable = false;       // has items under it
    bool expanded = false;
    bool readOnly = false;         // categories count as read-only
    int depth = 0;                 // 0 for categories
    std::vector<std::wstring> choices;
};

struct MessageBoxView {
    std::wstring caption;
    std::wstring text;
    UINT type = 0;                // MB_* flags as given
    UINT icon = 0;                // MB_ICONHAND, MB_ICONQUESTION, ... or 0
    std::vector<int> buttons;     // ids in order (IDOK, IDYES, IDNO, ...)
    int defaultButton = 0;        // id
    DWORD helpContext = 0;
};

// One of the values that a blank field stands for, when the objects a dialog edits together
// disagree on it: the value as the field would show it, and the ids of the objects that have it.
struct MixedValue {
    std::wstring text;
    std::vector<std::uint32_t> objects;
};

// What a painted plot shows, for checks that cannot read numbers off its drawing: the limits of
// its axes and the number of points its curve goes through.
struct PlotView {
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    std::size_t points = 0;
};

struct WindowView {
    HWND hwnd = nullptr;
    HWND parent = nullptr;
    HWND owner = nullptr;
    std::wstring className;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring text;
    RECT windowRect{};            // screen coordinates
    RECT clientRect{};            // screen coordinates
    bool enabled = false;
    bool visible = false;         // own WS_VISIBLE
    bool reallyVisible = false;   // visible together with every ancestor
    bool focused = false;
    LONG_PTR userData = 0;
    // Buttons: check state (BST_*) for check boxes and radio buttons; -1 otherwise.
    int check = -1;
    bool isDefaultButton = false;
    // Edits: selection, limit and read-only; combo boxes with an edit share these.
    int selStart = 0, selEnd = 0;
    int limit = 0;
    bool readOnly = false;
    // Combo, list box, list view, tab control: items; selection index (-1 none).
    std::vector<ItemView> items;
    int selection = -1;
    HIMAGELIST imageList = nullptr;     // extended combo boxes: the images of the items
    std::vector<std::wstring> columns;  // list view columns
    // Spin buttons: range, position and buddy.
    int rangeMin = 0, rangeMax = 0, position = 0;
    HWND buddy = nullptr;
    // Property grids: the rows shown (selection is the selected row), the open list of the
    // selected row with its highlighted choice, the first row shown, the help pane and the
    // row height, and where the value column begins (pixels).
    std::vector<GridRowView> gridRows;
    bool gridDropped = false;
    int gridHighlight = -1;
    int gridTop = 0;
    bool gridHelpVisible = false;
    int gridHelpHeight = 0;
    int gridRowHeight = 0;
    int gridSplit = 0;  // pixels from the left edge to the value column
    // Layered windows: alpha (255 when not layered).
    int alpha = 255;
    // Message boxes.
    bool isMessageBox = false;
    MessageBoxView messageBox;
    // Colours the parent chose for the control (WM_CTLCOLOR*): text, background.
    COLORREF textColor = 0;
    COLORREF backColor = 0;
    // A blank field of a selection that disagrees: its values, most frequent first.
    std::vector<MixedValue> mixedValues;
    // A painted plot's limits and points (hasPlot false for any other window).
    bool hasPlot = false;
    PlotView plot;
};

// Gives a control the values it stands for (empty: none), for front ends to show on request;
// they go with the window.
void SetMixedValues(HWND control, std::vector<MixedValue> values);
// Tells what a painted plot shows (see PlotView); it goes with the window.
void SetPlotView(HWND control, const PlotView& plot);

// "2 different values: 500 (2 objects: 1, 2), 750 (1 object: 3)"; empty for no values.
std::wstring DescribeMixedValues(const std::vector<MixedValue>& values);

// Top-level windows in z-order, topmost first (hidden ones included).
std::vector<HWND> TopLevelWindows();
// The active window: the innermost open modal dialog or message box, else the last
// activated top-level window; null when none.
HWND ActiveModalWindow();
// Direct children in z-order (which for a dialog is template order, the tab order).
std::vector<HWND> ChildWindows(HWND parent);
// Everything about one window; a view with a null hwnd when `hwnd` is not a window.
WindowView Inspect(HWND hwnd);
// Whether a window's class name is `name`: window class names compare without regard to case.
bool IsWindowClass(const WindowView& view, std::wstring_view name);
bool IsWindowClass(std::wstring_view className, std::wstring_view name);
// The child of `dialog` (at any depth) with that control id; null when none.
HWND FindControl(HWND dialog, int id);
// The recorded drawing of a window's last paint (WM_PAINT with a recording device context).
const DisplayList* WindowDisplayList(HWND hwnd);
// Repaints `hwnd` now (WM_ERASEBKGND, WM_PAINT) and returns its display list.
const DisplayList* PaintWindow(HWND hwnd);

// Recorded side effects.
struct HelpRequest {
    HWND caller = nullptr;
    std::wstring file;            // file or file::/topic as given
    UINT command = 0;             // HH_DISPLAY_TEXT_POPUP, HH_HELP_CONTEXT, ...
    DWORD_PTR data = 0;           // context number for HH_HELP_CONTEXT
    std::wstring popupText;       // HH_DISPLAY_TEXT_POPUP: the text (resolved from idString)
    POINT popupPosition{};
    UINT popupStringId = 0;
};
struct ShellExecuteRecord {
    HWND hwnd = nullptr;
    std::wstring operation, file, parameters, directory;
    int show = 0;
};
const std::vector<UINT>& Beeps();
// Characters that controls refused (RefuseCharacter), with the reason shown to a person.
struct InputRefusal {
    HWND hwnd = nullptr;
    std::wstring reason;
};
const std::vector<InputRefusal>& InputRefusals();
const std::vector<HelpRequest>& HelpRequests();
// What a front end shows for a help request: the pop-up's text, else what was asked for.
std::wstring HelpRequestText(const HelpRequest& request);
const std::vector<ShellExecuteRecord>& ShellExecutes();
// Failures caught at window procedures ("WM_COMMAND to #1002: what()").
const std::vector<std::wstring>& ProcedureFailures();
void ClearRecords();

}  // namespace orv::win
