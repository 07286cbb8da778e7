#pragma once
// The framework's window functions over handles, with its names and semantics. The object
// layer (CWnd and friends, Afx.h) is built on these; code that works with handles (the unit
// utility of the model record library, hooks, procedures) calls them directly.

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win/WinMessages.h"
#include "platform/win/WinStyles.h"
#include "platform/win/WinTypes.h"

#ifndef CALLBACK
#define CALLBACK
#endif
#ifndef WINAPI
#define WINAPI
#endif

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
struct HHOOK__;
using HHOOK = HHOOK__*;
using HOOKPROC = LRESULT (*)(int code, WPARAM, LPARAM);
struct HMONITOR__;
using HMONITOR = HMONITOR__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HPEN__;
using HPEN = HPEN__*;
struct HRGN__;
using HRGN = HRGN__*;
using HGDIOBJ = void*;
using HCURSOR = HICON;
using ATOM = WORD;

inline LPCWSTR MAKEINTRESOURCE(UINT id) { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(WORD(id))); }
inline bool IS_INTRESOURCE(LPCWSTR p) { return (reinterpret_cast<ULONG_PTR>(p) >> 16) == 0; }

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt{};
};
using LPMSG = MSG*;

struct CREATESTRUCT {
    LPVOID lpCreateParams = nullptr;
    HINSTANCE hInstance = nullptr;
    HMENU hMenu = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0, cx = 0, y = 0, x = 0;
    LONG style = 0;
    LPCWSTR lpszName = nullptr;
    LPCWSTR lpszClass = nullptr;
    DWORD dwExStyle = 0;
};
using LPCREATESTRUCT = CREATESTRUCT*;

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    LPCWSTR lpszMenuName = nullptr;
    LPCWSTR lpszClassName = nullptr;
};
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr UINT CS_SAVEBITS = 0x0800;
inline constexpr UINT CS_DROPSHADOW = 0x00020000;

struct HELPINFO {
    UINT cbSize = sizeof(HELPINFO);
    int iContextType = HELPINFO_WINDOW;
    int iCtrlId = 0;
    HWND hItemHandle = nullptr;  // the framework's HANDLE
    DWORD_PTR dwContextId = 0;
    POINT MousePos{};
};
using LPHELPINFO = HELPINFO*;

struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};
using LPNMHDR = NMHDR*;

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction{};
    LPARAM lParam = 0;
};
using LPNMLISTVIEW = NMLISTVIEW*;

struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0, uOldState = 0, uChanged = 0;
    POINT ptAction{};
    LPARAM lParam = 0;
    UINT uKeyFlags = 0;
};

struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    LPWSTR pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
    int iIndent = 0;
};
using LVITEMW = LVITEM;

struct LVCOLUMN {
    UINT mask = 0;
    int fmt = 0;
    int cx = 0;
    LPWSTR pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
};

struct LVFINDINFO {
    UINT flags = 0;
    LPCWSTR psz = nullptr;
    LPARAM lParam = 0;
    POINT pt{};
    UINT vkDirection = 0;
};

struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};
using LV_DISPINFO = NMLVDISPINFO;

struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;
    int iDelta = 0;
};
using LPNMUPDOWN = NMUPDOWN*;

struct TCITEM {
    UINT mask = 0;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    LPWSTR pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LPARAM lParam = 0;
};

struct COMBOBOXEXITEM {
    UINT mask = 0;
    INT_PTR iItem = 0;
    LPWSTR pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int iOverlay = 0;
    int iIndent = 0;
    LPARAM lParam = 0;
};

struct MONITORINFO {
    DWORD cbSize = sizeof(MONITORINFO);
    RECT rcMonitor{};
    RECT rcWork{};
    DWORD dwFlags = 0;
};
using LPMONITORINFO = MONITORINFO*;

struct HH_POPUP {
    int cbStruct = sizeof(HH_POPUP);
    HINSTANCE hinst = nullptr;
    UINT idString = 0;
    LPCWSTR pszText = nullptr;
    POINT pt{};
    COLORREF clrForeground = COLORREF(-1);
    COLORREF clrBackground = COLORREF(-1);
    RECT rcMargins{-1, -1, -1, -1};
    LPCWSTR pszFont = nullptr;
};

struct KBDLLHOOKSTRUCT;  // low-level hooks are not provided

// a * b / c rounded to the nearest integer (halves away from zero); -1 when c is 0.
inline int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    long long p = (long long)a * b;
    long long q = (p >= 0) == (c > 0) ? (llabs(p) + llabs(c) / 2) / llabs(c) : -((llabs(p) + llabs(c) / 2) / llabs(c));
    return int(q);
}

// ---- Window classes and creation ----
ATOM RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(LPCWSTR className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, LPCWSTR className, WNDCLASS* wc);
HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int cx,
                    int cy, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
int GetClassName(HWND hwnd, LPWSTR buffer, int maxCount);
std::wstring GetClassNameString(HWND hwnd);  // kernel extension

// ---- Messages ----
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
LRESULT DispatchMessage(const MSG* msg);
BOOL IsDialogMessage(HWND dialog, LPMSG msg);
inline constexpr UINT PM_NOREMOVE = 0;
inline constexpr UINT PM_REMOVE = 1;
inline constexpr UINT WM_QUIT = 0x0012;
// The message the current window procedure is handling (the framework's GetCurrentMessage).
const MSG* GetCurrentMessage();

// ---- Window state ----
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
LONG GetWindowLong(HWND hwnd, int index);
LONG SetWindowLong(HWND hwnd, int index, LONG value);
BOOL SetWindowText(HWND hwnd, LPCWSTR text);
int GetWindowText(HWND hwnd, LPWSTR buffer, int maxCount);
int GetWindowTextLength(HWND hwnd);
std::wstring GetWindowTextString(HWND hwnd);  // kernel extension
BOOL EnableWindow(HWND hwnd, BOOL enable);  // returns TRUE when it was disabled before
BOOL IsWindowEnabled(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int command);    // returns TRUE when it was visible before
BOOL IsWindowVisible(HWND hwnd);
HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND parent);
HWND GetWindow(HWND hwnd, UINT relation);
HWND GetAncestor(HWND hwnd, UINT flags);
inline constexpr UINT GA_PARENT = 1;
inline constexpr UINT GA_ROOT = 2;
inline constexpr UINT GA_ROOTOWNER = 3;
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetDesktopWindow();
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int maxCount);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL MapDialogRect(HWND dialog, LPRECT rect);
LONG GetDialogBaseUnits();

// ---- Focus, activation, capture ----
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hwnd);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd);
BOOL BringWindowToTop(HWND hwnd);
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);
HCURSOR SetCursor(HCURSOR cursor);
BOOL GetCaretPos(LPPOINT point);
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);

// ---- Geometry ----
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL ScreenToClient(HWND hwnd, LPPOINT point);
BOOL ClientToScreen(HWND hwnd, LPPOINT point);
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
HWND WindowFromPoint(POINT point);
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, LPCRECT rect, HRGN region, UINT flags);

// ---- Virtual screen ----
int GetSystemMetrics(int index);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, LPMONITORINFO info);
DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
BOOL SystemParametersInfo(UINT action, UINT param, LPVOID value, UINT winIni);
inline constexpr UINT SPI_GETTOOLTIPANIMATION = 0x1016;
inline constexpr UINT SPI_GETTOOLTIPFADE = 0x1018;
inline constexpr UINT SPI_GETWORKAREA = 0x0030;

// ---- Timers and the kernel clock ----
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
DWORD GetTickCount();
ULONGLONG GetTickCount64();

// ---- Hooks ----
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
DWORD GetCurrentThreadId();

// ---- Layered windows ----
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);

// ---- Beeps, help, shell ----
BOOL MessageBeep(UINT type);
int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
HWND HtmlHelp(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);
inline HWND HtmlHelpW(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) { return HtmlHelp(caller, file, command, data); }
HINSTANCE ShellExecute(HWND hwnd, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show);

// ---- Visual themes: the kernel draws no themes ----
using HTHEME = void*;
inline constexpr DWORD ETDT_DISABLE = 0x00000001;
inline constexpr DWORD ETDT_ENABLE = 0x00000002;
inline constexpr DWORD ETDT_USETABTEXTURE = 0x00000004;
inline constexpr DWORD ETDT_ENABLETAB = ETDT_ENABLE | ETDT_USETABTEXTURE;
BOOL IsThemeActive();
BOOL IsAppThemed();
HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
// Records the flags on the window (see orv::win::ThemeDialogTexture).
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags);

// ---- Clipboard (text only) ----
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
inline constexpr UINT CF_UNICODETEXT = 13;
BOOL IsClipboardFormatAvailable(UINT format);

// ---- Icons and cursors ----
HICON LoadIcon(HINSTANCE module, LPCWSTR name);
HCURSOR LoadCursor(HINSTANCE module, LPCWSTR name);
HICON CopyIcon(HICON icon);
// Icons (IMAGE_ICON) and cursors at a size; bitmaps are not loaded this way.
inline constexpr UINT IMAGE_CURSOR = 2;
inline constexpr UINT LR_DEFAULTCOLOR = 0x0000;
inline constexpr UINT LR_DEFAULTSIZE = 0x0040;
inline constexpr UINT LR_SHARED = 0x8000;
void* LoadImage(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy, UINT flags);
BOOL DestroyIcon(HICON icon);
inline const LPCWSTR IDI_APPLICATION = MAKEINTRESOURCE(32512);
inline const LPCWSTR IDI_HAND = MAKEINTRESOURCE(32513);
inline const LPCWSTR IDI_QUESTION = MAKEINTRESOURCE(32514);
inline const LPCWSTR IDI_EXCLAMATION = MAKEINTRESOURCE(32515);
inline const LPCWSTR IDI_ASTERISK = MAKEINTRESOURCE(32516);
inline const LPCWSTR IDI_ERROR = IDI_HAND;
inline const LPCWSTR IDI_WARNING = IDI_EXCLAMATION;
inline const LPCWSTR IDI_INFORMATION = IDI_ASTERISK;
inline const LPCWSTR IDC_ARROW = MAKEINTRESOURCE(32512);
inline const LPCWSTR IDC_IBEAM = MAKEINTRESOURCE(32513);
inline const LPCWSTR IDC_WAIT = MAKEINTRESOURCE(32514);
inline const LPCWSTR IDC_CROSS = MAKEINTRESOURCE(32515);
inline const LPCWSTR IDC_HAND = MAKEINTRESOURCE(32649);

// Kernel-side view of an icon handle: where it came from and its size.
namespace orv::win {
struct IconInfo {
    HINSTANCE module = nullptr;
    std::wstring name;  // "#32513" for an id
    int cx = 32, cy = 32;
};
bool GetIconInformation(HICON icon, IconInfo& info);

// Clipboard text, for Paste and tests (the framework's clipboard data functions are not provided).
void SetClipboardText(std::wstring text);
std::wstring GetClipboardText();

// The flags EnableThemeDialogTexture last gave the window (0: none).
DWORD ThemeDialogTexture(HWND hwnd);
// Nesting depth of wait cursors (CWaitCursor, BeginWaitCursor); 0 when none is shown.
int WaitCursorDepth();
void ChangeWaitCursor(int delta);

// A character that `hwnd` does not take: beeps (MessageBeep(beepType)), records the refusal with
// the reason a person is told (Inspect.h, InputRefusals) and tells the driver, so that a front
// end shows why: "Unacceptable character "a": you can only type a number here." (a framework
// string a resource module may replace).
void RefuseCharacter(HWND hwnd, wchar_t ch, UINT beepType = 0);

// Application name shown as the caption of AfxMessageBox.
void SetApplicationName(std::wstring name);
const std::wstring& ApplicationName();

// Virtual screen: replaces the monitors (the first is the primary). Default: one 1920 x 1080
// monitor with a 40-pixel task bar at the bottom of its work area.
struct MonitorSpec {
    RECT rect{};
    RECT work{};
};
void SetMonitors(std::vector<MonitorSpec> monitors);
// Mouse position on the virtual screen (moved by clicks of the input API).
void SetMousePosition(POINT screen);

// System parameters the kernel answers (tool-tip animation and fade: on by default).
void SetTooltipAnimation(bool animation, bool fade);

// Dispatches every posted message now: what a host's message loop does between inputs while
// only modeless windows are open. Modal loops do this themselves.
void PumpMessages();

// Destroys every window and resets focus, timers, hooks, clock, records and queue: a clean
// kernel for the next test.
void ResetKernel();
}  // namespace orv::win
