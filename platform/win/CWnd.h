#pragma once
// CWnd: the framework's window object over a kernel window.
//
// Messages reach a CWnd through its window procedure: WindowProc looks the message up in the
// object's handler tables (registered with the Handle* functions, usually in the constructor;
// a later registration for the same message replaces an earlier one, so a derived class
// overrides its base) and falls back to DefWindowProc, which is the window's own class
// procedure (the control or the dialog manager). Control notifications are offered to the
// control's own object first (reflection) and then to the parent's tables.

#include <functional>
#include <map>
#include <vector>

#include "platform/win/AfxTypes.h"
#include "platform/win/CString.h"
#include "platform/win/WinApi.h"

class CDC;
class CFont;
class CMenu;
class CRgn;
class CDataExchange;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    // The z-order positions SetWindowPos takes (the framework's wndTop, wndTopMost, ...).
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The permanent object of a window, or a temporary one of the control's class that lives
    // until the window is destroyed; null for a handle that is not a window.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Makes this object the window's procedure; the previous procedure becomes DefWindowProc.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                        void* context = nullptr);
    virtual BOOL CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x, int y, int cx,
                          int cy, HWND parent, HMENU idOrMenu, LPVOID param = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();

    // ---- messages ----
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being handled now.
    LRESULT Default();
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification of this control, reflected from its parent; TRUE when it was used up.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Keyboard input before it is dispatched, offered to the focus and then to each ancestor.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void PreSubclassWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Called after the window is gone (WM_NCDESTROY); an object that owns itself deletes itself here.
    virtual void PostNcDestroy();
    virtual void DoDataExchange(CDataExchange* dx);
    // Runs DoDataExchange; FALSE when a check failed (the failing control then has the focus).
    // Notifications of the controls are not delivered to this window while it runs.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    static const MSG* GetCurrentMessage();
    // The procedure DefWindowProc calls (the one the window had before this object took it).
    WNDPROC m_pfnSuper = nullptr;

    // ---- state ----
    void SetWindowText(LPCTSTR text);
    int GetWindowText(LPTSTR buffer, int maxCount) const;
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    CWnd* GetDlgItem(int id) const;
    void GetDlgItem(int id, HWND* hwnd) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int id);
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    CWnd* GetTopLevelParent() const;
    CWnd* GetWindow(UINT relation) const;
    CWnd* GetNextDlgTabItem(CWnd* control, BOOL previous = FALSE) const;
    CWnd* GetNextDlgGroupItem(CWnd* control, BOOL previous = FALSE) const;
    BOOL IsChild(const CWnd* wnd) const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    CWnd* SetFocus();
    static CWnd* GetFocus();
    static CWnd* GetActiveWindow();
    CWnd* SetActiveWindow();
    BOOL SetForegroundWindow();
    void BringWindowToTop();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    void MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(LPRECT rect) const;
    void GetClientRect(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const;
    void MapWindowPoints(CWnd* to, LPRECT rect) const;
    void CenterWindow(CWnd* alternateOwner = nullptr);
    // Locks (FALSE) or unlocks (TRUE) redrawing; unlocking asks for a repaint.
    void SetRedraw(BOOL redraw = TRUE);
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT rect = nullptr, CRgn* region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    int SetWindowRgn(HRGN region, BOOL redraw);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);
    void SetDlgItemText(int id, LPCTSTR text);
    int GetDlgItemText(int id, LPTSTR buffer, int maxCount) const;
    int GetDlgItemText(int id, CString& text) const;
    void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    int GetCheckedRadioButton(int firstId, int lastId);
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;
    HICON SetIcon(HICON icon, BOOL bigIcon);
    HICON GetIcon(BOOL bigIcon) const;
    // The window's system menu; only its Close item (SC_CLOSE) has an effect.
    CMenu* GetSystemMenu(BOOL revert) const;
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* dc);
    int MessageBox(LPCTSTR text, LPCTSTR caption = nullptr, UINT type = MB_OK);
    // HTML Help for this window: asks the help system (recorded) for the application's help file.
    virtual void HtmlHelp(DWORD_PTR data, UINT command = HH_HELP_CONTEXT);
    BOOL SetLayeredWindowAttributes(COLORREF key, BYTE alpha, DWORD flags);
    // The wait cursor (counted; see orv::win::WaitCursorDepth).
    void BeginWaitCursor();
    void EndWaitCursor();

    // Whether the handler tables have an entry for `message`.
    bool HandlesMessage(UINT message) const { return messages_.count(message) != 0; }

protected:
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;
    // Handler tables (the framework's message maps).
    void HandleMessage(UINT message, MessageHandler handler);
    void HandleCommand(UINT id, std::function<void()> handler);  // BN_CLICKED and menu commands
    void HandleCommand(UINT id, UINT code, std::function<void()> handler);
    void HandleCommandRange(UINT firstId, UINT lastId, UINT code, std::function<void(UINT id)> handler);
    void HandleNotify(UINT id, UINT code, std::function<void(NMHDR*, LRESULT*)> handler);
    void HandleNotifyRange(UINT firstId, UINT lastId, UINT code, std::function<void(UINT id, NMHDR*, LRESULT*)> handler);
    // Reflected notifications of this control: answer TRUE to use the notification up, FALSE
    // to let the parent's tables see it as well.
    void HandleReflectedCommand(UINT code, std::function<BOOL()> handler);
    void HandleReflectedNotify(UINT code, std::function<BOOL(NMHDR*, LRESULT*)> handler);
    // Reflected WM_CTLCOLOR*: a non-null brush answers the parent's question.
    void HandleReflectedCtlColor(std::function<HBRUSH(CDC* dc, UINT ctlColor)> handler);

    // The framework's default handlers, for handlers that want the default behaviour too.
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    void OnEnable(BOOL enable);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnTimer(UINT_PTR id);
    void OnPaint();
    void OnClose();
    BOOL OnHelpInfo(HELPINFO* info);

private:
    struct CommandEntry {
        UINT first, last, code;
        std::function<void(UINT)> handler;
    };
    struct NotifyEntry {
        UINT first, last, code;
        std::function<void(UINT, NMHDR*, LRESULT*)> handler;
    };
    std::map<UINT, MessageHandler> messages_;
    std::vector<CommandEntry> commands_;
    std::vector<NotifyEntry> notifies_;
    std::map<UINT, std::function<BOOL()>> reflectedCommands_;
    std::map<UINT, std::function<BOOL(NMHDR*, LRESULT*)>> reflectedNotifies_;
    std::function<HBRUSH(CDC*, UINT)> reflectedCtlColor_;
    bool temporary_ = false;
    CMenu* systemMenu_ = nullptr;
    struct Special {};
    CWnd(Special, HWND position) : m_hWnd(position), temporary_(true) {}

    friend struct CWndAccess;
};

// Shows the wait cursor for its lifetime.
class CWaitCursor {
public:
    CWaitCursor() { orv::win::ChangeWaitCursor(1); }
    ~CWaitCursor() { orv::win::ChangeWaitCursor(-1); }
    void Restore() {}
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// The framework's window procedure: hands messages to the window's permanent CWnd.
LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The framework's dispatch of one message to an object's WindowProc (for procedures that hand a
// window's messages to another object, such as a message target).
LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The main window: owner of message boxes and dialogs that have no parent (null when none).
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* wnd);

// The system menu of a window (only SC_CLOSE matters).
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_BYPOSITION = 0x0400;

class CMenu {
public:
    explicit CMenu(HWND owner = nullptr) : owner_(owner) {}
    UINT EnableMenuItem(UINT id, UINT enable);
    BOOL DeleteMenu(UINT position, UINT flags);
    BOOL RemoveMenu(UINT position, UINT flags) { return DeleteMenu(position, flags); }

private:
    HWND owner_;
};

namespace orv::win {
// The next window created attaches to `wnd` (the framework's creation hook); used by dialog
// creation. Restores the previous pending object on exit.
class CreatingScope {
public:
    explicit CreatingScope(CWnd* wnd);
    ~CreatingScope();
    CreatingScope(const CreatingScope&) = delete;
    CreatingScope& operator=(const CreatingScope&) = delete;

private:
    CWnd* previous_;
};
}  // namespace orv::win

// The help file HtmlHelp opens (the application's help file path).
namespace orv::win {
void SetHelpFilePath(std::wstring path);
const std::wstring& HelpFilePath();
// Whether F1 in `hwnd` reaches a window that answers help requests: a window from `hwnd` up to
// its top-level window whose object handles WM_HELP (the kernel's default answers nothing).
bool AnswersHelp(HWND hwnd);
}  // namespace orv::win
