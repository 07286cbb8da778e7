#pragma once
// The kernel's own view of windows: internal to platform/win (not for dialog code).

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/DisplayList.h"
#include "platform/win/Driver.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

class CWnd;

namespace orv::win::detail {

// Per-class state of a built-in control.
struct ControlState {
    virtual ~ControlState() = default;
};

struct DialogState {
    INT_PTR result = 0;
    bool ended = false;
    bool inModalLoop = false;
    int defId = IDOK;
    bool hasDefId = false;
    HWND savedFocus = nullptr;
    DLGPROC dlgProc = nullptr;
    LONG_PTR msgResult = 0;
    int baseX = 6;   // dialog base units of the dialog's font
    int baseY = 13;
    bool isMessageBox = false;
    MessageBoxView messageBox;
};

struct Window {
    HWND handle = nullptr;
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    HWND parent = nullptr;
    HWND owner = nullptr;
    std::vector<HWND> children;  // z-order: first is top; for dialogs template order
    RECT rect{};                 // window rectangle: parent client coordinates, screen for top-level
    WNDPROC proc = nullptr;
    WNDPROC classProc = nullptr;
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    std::map<int, LONG_PTR> extra;
    CWnd* wnd = nullptr;         // permanently attached object
    std::unique_ptr<ControlState> control;
    std::unique_ptr<DialogState> dialog;
    bool redraw = true;
    bool layered = false;
    BYTE alpha = 255;
    COLORREF colorKey = 0;
    DWORD layeredFlags = 0;
    HRGN region = nullptr;
    HFONT font = nullptr;
    HICON bigIcon = nullptr, smallIcon = nullptr;
    bool sysMenuCloseEnabled = true;
    DWORD helpId = 0;
    bool destroying = false;
    bool invalid = false;
    DisplayList displayList;
    std::vector<MixedValue> mixedValues;
    bool hasPlot = false;
    PlotView plot;
};

Window* Find(HWND hwnd);
Window& Get(HWND hwnd);  // throws std::logic_error when hwnd is not a window

// Sends WM_COMMAND with a notification to the window's parent.
void NotifyParent(HWND control, UINT code);
// Sends WM_NOTIFY with `header` (hwndFrom, idFrom filled in) to the parent; returns its result.
LRESULT NotifyParent(HWND control, NMHDR& header, UINT code);
void Changed(HWND hwnd, WindowChange what);

// Non-client insets of a window of that style (frame, caption, borders).
RECT NonClientInsets(DWORD style, DWORD exStyle, bool topLevel);
// Screen origin of a window's client area.
POINT ClientOrigin(HWND hwnd);

// The built-in control classes and the dialog class.
void RegisterBuiltinClasses();
LRESULT ControlProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Called once a window exists and before WM_NCCREATE: attaches the CWnd being created.
using CreateHook = void (*)(HWND);
void SetCreateHook(CreateHook hook);
// Called after WM_NCDESTROY was handled, before the window's state is freed.
using DestroyHook = void (*)(HWND);
void SetDestroyHook(DestroyHook hook);

// The dialog state the next CreateWindowEx gives its window (dialog creation sets it).
void SetPendingDialog(std::unique_ptr<DialogState> state);

// Modifier keys as the input layer holds them (GetKeyState answers from these).
void SetModifierState(bool shift, bool control, bool alt);

// Modal loop over the posted-message queue and the driver; returns the dialog's result.
INT_PTR RunModalLoop(HWND dialog);
// Open modal loops, outermost first.
const std::vector<HWND>& ModalStack();

// The object layer's PreTranslateMessage walk: true when it used the message.
using PreTranslateHook = bool (*)(MSG*);
void SetPreTranslateHook(PreTranslateHook hook);
bool PreTranslate(MSG* msg);

// Dispatches every posted message now (used after timers and in tests).
void DispatchPosted();
bool HasPosted();

// Keyboard hooks: true when a hook swallowed the key.
bool CallKeyboardHooks(UINT vk, bool up);

// Recording helpers.
void RecordBeep(UINT type);
void RecordFailure(HWND hwnd, UINT message, const std::wstring& what);

// Ids of the kernel's own strings (button captions, file dialog texts), in the framework's
// reserved range above its prompts.
inline constexpr UINT kStringButtonOk = 0xF800;
inline constexpr UINT kStringButtonCancel = 0xF801;
inline constexpr UINT kStringButtonAbort = 0xF802;
inline constexpr UINT kStringButtonRetry = 0xF803;
inline constexpr UINT kStringButtonIgnore = 0xF804;
inline constexpr UINT kStringButtonYes = 0xF805;
inline constexpr UINT kStringButtonNo = 0xF806;
inline constexpr UINT kStringButtonClose = 0xF807;
inline constexpr UINT kStringButtonHelp = 0xF808;
inline constexpr UINT kStringErrorCaption = 0xF809;
inline constexpr UINT kStringOpenTitle = 0xF810;
inline constexpr UINT kStringSaveTitle = 0xF811;
inline constexpr UINT kStringFileName = 0xF812;
inline constexpr UINT kStringFileType = 0xF813;
inline constexpr UINT kStringOpenButton = 0xF814;
inline constexpr UINT kStringSaveButton = 0xF815;
inline constexpr UINT kStringFileNotFound = 0xF816;
inline constexpr UINT kStringPathNotFound = 0xF817;
inline constexpr UINT kStringReplaceFile = 0xF818;
inline constexpr UINT kStringInvalidFileName = 0xF819;
inline constexpr UINT kStringNumbersOnly = 0xF81A;

// Built-in framework strings (prompts, button captions).
bool BuiltinString(UINT id, std::wstring& out);
// The string from the current resource module, else the built-in one; empty when neither.
std::wstring FrameworkString(UINT id);

// Dialog units of a font size in points: base units (x, y).
void DialogBaseUnits(int pointSize, int& baseX, int& baseY);
// Approximate text metrics of the kernel's fonts: average character width and line height.
int TextWidth(const std::wstring& text, int charWidth = 6);

// Monitors.
struct Monitor {
    RECT rect{};
    RECT work{};
};
const std::vector<Monitor>& Monitors();

// The dialog that contains `hwnd` (itself when it is a dialog): the nearest ancestor with
// dialog state.
HWND DialogOf(HWND hwnd);

// Clipboard.
std::wstring& Clipboard();

// Display list of a window (created on demand).
DisplayList& WindowList(HWND hwnd);

}  // namespace orv::win::detail
