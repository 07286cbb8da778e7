#include "platform/win/CWnd.h"

#include <memory>
#include <unordered_map>

#include "platform/win/AfxControls.h"
#include "platform/win/DataExchange.h"
#include "platform/win/DialogManager.h"
#include "platform/win/Gdi.h"
#include "platform/win/ControlState.h"
#include "platform/win/MessageBox.h"

using namespace orv::win::detail;

struct CWndAccess {
    static bool& Temporary(CWnd& w) { return w.temporary_; }
    static CMenu*& SystemMenu(CWnd& w) { return w.systemMenu_; }
};

namespace {

CWnd* g_creating = nullptr;
HWND g_lockout = nullptr;
CWnd* g_mainWnd = nullptr;
std::wstring g_helpFile;
std::unordered_map<HWND, std::unique_ptr<CWnd>>& Temporaries() {
    static std::unordered_map<HWND, std::unique_ptr<CWnd>> temporaries;
    return temporaries;
}

void AttachPermanent(CWnd* wnd, HWND hwnd) {
    Window& w = Get(hwnd);
    w.wnd = wnd;
    wnd->m_hWnd = hwnd;
    // A temporary object of the same window gives way to the permanent one.
    auto& temps = Temporaries();
    auto it = temps.find(hwnd);
    if (it != temps.end()) {
        it->second->m_hWnd = nullptr;
        temps.erase(it);
    }
}

void OnWindowCreated(HWND hwnd) {
    if (!g_creating) return;
    CWnd* wnd = g_creating;
    g_creating = nullptr;
    AttachPermanent(wnd, hwnd);
    Window& w = Get(hwnd);
    wnd->m_pfnSuper = w.proc;
    w.proc = AfxWndProc;
}

void OnWindowDestroyed(HWND hwnd) {
    auto& temps = Temporaries();
    auto it = temps.find(hwnd);
    if (it != temps.end()) {
        it->second->m_hWnd = nullptr;
        temps.erase(it);
    }
}

bool WalkPreTranslate(MSG* msg) {
    for (HWND h = msg->hwnd; h; h = GetAncestor(h, GA_PARENT)) {
        if (CWnd* w = CWnd::FromHandlePermanent(h))
            if (w->PreTranslateMessage(msg)) return true;
        if (!(GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

struct Installer {
    Installer() {
        SetCreateHook(OnWindowCreated);
        SetDestroyHook(OnWindowDestroyed);
        SetPreTranslateHook(WalkPreTranslate);
    }
};
const Installer g_installer;

std::unique_ptr<CWnd> MakeTemporary(HWND hwnd) {
    switch (KindOf(hwnd)) {
    case ControlKind::Button: return std::make_unique<CButton>();
    case ControlKind::Edit: return std::make_unique<CEdit>();
    case ControlKind::Static: return std::make_unique<CStatic>();
    case ControlKind::ComboBox: return std::make_unique<CComboBox>();
    case ControlKind::ComboBoxEx: return std::make_unique<CComboBoxEx>();
    case ControlKind::ListBox: return std::make_unique<CListBox>();
    case ControlKind::ListView: return std::make_unique<CListCtrl>();
    case ControlKind::Tab: return std::make_unique<CTabCtrl>();
    case ControlKind::UpDown: return std::make_unique<CSpinButtonCtrl>();
    default: return std::make_unique<CWnd>();
    }
}

}  // namespace

LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProc(hwnd, message, wParam, lParam);
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        Window* w = Find(hwnd);
        if (w && w->wnd == wnd) {
            w->wnd = nullptr;
            if (w->proc == AfxWndProc) w->proc = wnd->m_pfnSuper;
            wnd->m_hWnd = nullptr;
            wnd->m_pfnSuper = nullptr;
            wnd->PostNcDestroy();
        }
    }
    return result;
}

LRESULT AfxCallWndProc(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!wnd) return ::DefWindowProc(hwnd, message, wParam, lParam);
    HWND saved = wnd->m_hWnd;
    if (!saved) wnd->m_hWnd = hwnd;
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (!saved && wnd->m_hWnd == hwnd) wnd->m_hWnd = nullptr;
    return result;
}

CWnd* AfxGetMainWnd() { return g_mainWnd; }
void AfxSetMainWnd(CWnd* wnd) { g_mainWnd = wnd; }

namespace orv::win {
CreatingScope::CreatingScope(CWnd* wnd) : previous_(g_creating) { g_creating = wnd; }
CreatingScope::~CreatingScope() { g_creating = previous_; }
void SetHelpFilePath(std::wstring path) { g_helpFile = std::move(path); }
const std::wstring& HelpFilePath() { return g_helpFile; }

bool AnswersHelp(HWND hwnd) {
    for (HWND h = hwnd; h; h = GetAncestor(h, GA_PARENT)) {
        if (const CWnd* w = CWnd::FromHandlePermanent(h))
            if (w->HandlesMessage(WM_HELP)) return true;
        if (!(GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}
}  // namespace orv::win

CWnd::CWnd() = default;

const CWnd CWnd::wndTop(CWnd::Special{}, HWND_TOP);
const CWnd CWnd::wndBottom(CWnd::Special{}, HWND_BOTTOM);
const CWnd CWnd::wndTopMost(CWnd::Special{}, HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(CWnd::Special{}, HWND_NOTOPMOST);

CWnd::~CWnd() {
    delete systemMenu_;
    if (!temporary_ && m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        // The framework destroys the window of a permanent object that goes away first.
        HWND hwnd = m_hWnd;
        Window& w = Get(hwnd);
        if (w.proc == AfxWndProc) w.proc = m_pfnSuper;
        w.wnd = nullptr;
        m_hWnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    Window* w = Find(hwnd);
    return w ? w->wnd : nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!IsWindow(hwnd)) return nullptr;
    if (CWnd* p = FromHandlePermanent(hwnd)) return p;
    auto& temps = Temporaries();
    auto it = temps.find(hwnd);
    if (it != temps.end()) return it->second.get();
    auto temp = MakeTemporary(hwnd);
    temp->m_hWnd = hwnd;
    temp->temporary_ = true;
    CWnd* raw = temp.get();
    temps[hwnd] = std::move(temp);
    return raw;
}

BOOL CWnd::Attach(HWND hwnd) {
    if (m_hWnd || !IsWindow(hwnd) || FromHandlePermanent(hwnd)) return FALSE;
    AttachPermanent(this, hwnd);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (Window* w = Find(hwnd); w && w->wnd == this) w->wnd = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!Attach(hwnd)) return FALSE;
    PreSubclassWindow();
    Window& w = Get(hwnd);
    m_pfnSuper = w.proc;
    w.proc = AfxWndProc;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent) return FALSE;
    HWND control = ::GetDlgItem(parent->m_hWnd, int(id));
    return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (Window* w = Find(m_hWnd); w && w->proc == AfxWndProc) w->proc = m_pfnSuper;
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id, void*) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(UINT_PTR(id)));
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x, int y, int cx, int cy,
                    HWND parent, HMENU idOrMenu, LPVOID param) {
    if (m_hWnd) return FALSE;
    CREATESTRUCT cs;
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = LONG(style);
    cs.x = x, cs.y = y, cs.cx = cx, cs.cy = cy;
    cs.hwndParent = parent;
    cs.hMenu = idOrMenu;
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;
    CWnd* previous = g_creating;
    g_creating = this;
    HWND hwnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                 cs.hwndParent, cs.hMenu, nullptr, cs.lpCreateParams);
    if (g_creating == this) g_creating = previous;
    return hwnd ? TRUE : FALSE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                    UINT id, LPVOID param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(UINT_PTR(id)), param);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    HWND hwnd = m_hWnd;
    BOOL ok = ::DestroyWindow(hwnd);
    if (m_hWnd == hwnd && !IsWindow(hwnd)) m_hWnd = nullptr;
    return ok;
}

// ---- messages ----

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}
LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessage(m_hWnd, id, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG* msg = ::GetCurrentMessage();
    if (!msg) return 0;
    return DefWindowProc(msg->message, msg->wParam, msg->lParam);
}

const MSG* CWnd::GetCurrentMessage() { return ::GetCurrentMessage(); }

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    LRESULT dummy = 0;
    if (!result) result = &dummy;
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) {
            *result = 1;
            return TRUE;
        }
        break;
    case WM_NOTIFY: {
        LRESULT r = 0;
        if (OnNotify(wParam, lParam, &r)) {
            *result = r;
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
        HWND child = message == WM_DRAWITEM ? reinterpret_cast<HWND>(0) : reinterpret_cast<HWND>(lParam);
        if (child && child != m_hWnd) {
            if (CWnd* c = FromHandlePermanent(child))
                if (c->OnChildNotify(message, wParam, lParam, result)) return TRUE;
        }
        break;
    }
    default: break;
    }
    auto it = messages_.find(message);
    if (it != messages_.end()) {
        *result = it->second(wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control) {
        // Notifications of controls are held back while this window exchanges its data.
        if (g_lockout == m_hWnd) return TRUE;
        if (CWnd* c = FromHandlePermanent(control)) {
            LRESULT r = 0;
            if (c != this && c->OnChildNotify(WM_COMMAND, wParam, lParam, &r)) return TRUE;
        }
        if (id == 0) return FALSE;
    }
    for (auto it = commands_.rbegin(); it != commands_.rend(); ++it) {
        if (id >= it->first && id <= it->last && code == it->code) {
            it->handler(id);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header) return FALSE;
    if (g_lockout == m_hWnd) return TRUE;
    if (CWnd* c = FromHandlePermanent(header->hwndFrom); c && c != this)
        if (c->OnChildNotify(WM_NOTIFY, header->idFrom, lParam, result)) return TRUE;
    UINT id = UINT(header->idFrom);
    for (auto it = notifies_.rbegin(); it != notifies_.rend(); ++it) {
        if (id >= it->first && id <= it->last && header->code == it->code) {
            it->handler(id, header, result);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_COMMAND: {
        auto it = reflectedCommands_.find(HIWORD(wParam));
        if (it == reflectedCommands_.end()) return FALSE;
        return it->second();
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        auto it = reflectedNotifies_.find(header->code);
        if (it == reflectedNotifies_.end()) return FALSE;
        return it->second(header, result);
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        if (!reflectedCtlColor_) return FALSE;
        CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
        HBRUSH brush = reflectedCtlColor_(dc, message - WM_CTLCOLORMSGBOX);
        if (!brush) return FALSE;
        *result = LRESULT(brush);
        return TRUE;
    }
    default: return FALSE;
    }
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }
void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}
void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    HWND previous = g_lockout;
    g_lockout = m_hWnd;
    BOOL ok = FALSE;
    try {
        DoDataExchange(&dx);
        ok = TRUE;
    } catch (const CUserException&) {
        ok = FALSE;
    } catch (...) {
        g_lockout = previous;
        throw;
    }
    g_lockout = previous;
    return ok;
}

void CWnd::HandleMessage(UINT message, MessageHandler handler) { messages_[message] = std::move(handler); }

void CWnd::HandleCommand(UINT id, std::function<void()> handler) { HandleCommand(id, BN_CLICKED, std::move(handler)); }

void CWnd::HandleCommand(UINT id, UINT code, std::function<void()> handler) {
    commands_.push_back(CommandEntry{id, id, code, [h = std::move(handler)](UINT) { h(); }});
}

void CWnd::HandleCommandRange(UINT firstId, UINT lastId, UINT code, std::function<void(UINT)> handler) {
    commands_.push_back(CommandEntry{firstId, lastId, code, std::move(handler)});
}

void CWnd::HandleNotify(UINT id, UINT code, std::function<void(NMHDR*, LRESULT*)> handler) {
    notifies_.push_back(NotifyEntry{id, id, code, [h = std::move(handler)](UINT, NMHDR* n, LRESULT* r) { h(n, r); }});
}

void CWnd::HandleNotifyRange(UINT firstId, UINT lastId, UINT code, std::function<void(UINT, NMHDR*, LRESULT*)> handler) {
    notifies_.push_back(NotifyEntry{firstId, lastId, code, std::move(handler)});
}

void CWnd::HandleReflectedCommand(UINT code, std::function<BOOL()> handler) {
    reflectedCommands_[code] = std::move(handler);
}

void CWnd::HandleReflectedNotify(UINT code, std::function<BOOL(NMHDR*, LRESULT*)> handler) {
    reflectedNotifies_[code] = std::move(handler);
}

void CWnd::HandleReflectedCtlColor(std::function<HBRUSH(CDC*, UINT)> handler) { reflectedCtlColor_ = std::move(handler); }

int CWnd::OnCreate(LPCREATESTRUCT) { return int(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnClose() { Default(); }
BOOL CWnd::OnHelpInfo(HELPINFO*) { return BOOL(Default()); }

// ---- state ----

void CWnd::SetWindowText(LPCTSTR text) { ::SetWindowText(m_hWnd, text); }
int CWnd::GetWindowText(LPTSTR buffer, int maxCount) const { return ::GetWindowText(m_hWnd, buffer, maxCount); }
void CWnd::GetWindowText(CString& text) const { text = CString(GetWindowTextString(m_hWnd)); }
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
void CWnd::GetDlgItem(int id, HWND* hwnd) const {
    if (hwnd) *hwnd = ::GetDlgItem(m_hWnd, id);
}
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int id) { return int(::SetWindowLongPtr(m_hWnd, GWLP_ID, id)); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetOwner() const {
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    return FromHandle(owner ? owner : ::GetParent(m_hWnd));
}
CWnd* CWnd::GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOT)); }
CWnd* CWnd::GetWindow(UINT relation) const { return FromHandle(::GetWindow(m_hWnd, relation)); }
CWnd* CWnd::GetNextDlgTabItem(CWnd* control, BOOL previous) const {
    return FromHandle(::GetNextDlgTabItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
}
CWnd* CWnd::GetNextDlgGroupItem(CWnd* control, BOOL previous) const {
    return FromHandle(::GetNextDlgGroupItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
}
BOOL CWnd::IsChild(const CWnd* wnd) const { return wnd ? ::IsChild(m_hWnd, wnd->m_hWnd) : FALSE; }
DWORD CWnd::GetStyle() const { return DWORD(::GetWindowLongPtr(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return DWORD(::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    DWORD style = GetStyle();
    DWORD now = (style & ~remove) | add;
    if (now == style) return FALSE;
    ::SetWindowLongPtr(m_hWnd, GWL_STYLE, LONG_PTR(now));
    if (flags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
    DWORD style = GetExStyle();
    DWORD now = (style & ~remove) | add;
    if (now == style) return FALSE;
    ::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, LONG_PTR(now));
    if (flags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
void CWnd::MoveWindow(int x, int y, int cx, int cy, BOOL repaint) { ::MoveWindow(m_hWnd, x, y, cx, cy, repaint); }
void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
    if (rect) ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}
BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}
void CWnd::GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
void CWnd::ScreenToClient(LPRECT rect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}
void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
void CWnd::ClientToScreen(LPRECT rect) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}
void CWnd::MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const {
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, points, count);
}
void CWnd::MapWindowPoints(CWnd* to, LPRECT rect) const {
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    RECT self{};
    ::GetWindowRect(m_hWnd, &self);
    RECT area{};
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (GetStyle() & WS_CHILD) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        int cx = self.right - self.left, cy = self.bottom - self.top;
        ::MoveWindow(m_hWnd, (area.right - cx) / 2, (area.bottom - cy) / 2, cx, cy, TRUE);
        return;
    }
    MONITORINFO mi;
    if (owner && ::IsWindowVisible(owner)) {
        ::GetWindowRect(owner, &area);
        GetMonitorInfo(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &mi);
    } else {
        GetMonitorInfo(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &mi);
        area = mi.rcWork;
    }
    int cx = self.right - self.left, cy = self.bottom - self.top;
    int x = (area.left + area.right - cx) / 2, y = (area.top + area.bottom - cy) / 2;
    x = std::max<LONG>(mi.rcWork.left, std::min<LONG>(x, mi.rcWork.right - cx));
    y = std::max<LONG>(mi.rcWork.top, std::min<LONG>(y, mi.rcWork.bottom - cy));
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::SetRedraw(BOOL redraw) { ::SendMessage(m_hWnd, WM_SETREDRAW, WPARAM(redraw), 0); }
void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) { ::InvalidateRect(m_hWnd, rect, erase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT rect, CRgn* region, UINT flags) {
    return ::RedrawWindow(m_hWnd, rect, region ? static_cast<HRGN>(region->GetSafeHandle()) : nullptr, flags);
}
int CWnd::SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, elapse, proc); }
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
void CWnd::SetDlgItemText(int id, LPCTSTR text) { ::SetDlgItemText(m_hWnd, id, text); }
int CWnd::GetDlgItemText(int id, LPTSTR buffer, int maxCount) const {
    return int(::GetDlgItemText(m_hWnd, id, buffer, maxCount));
}
int CWnd::GetDlgItemText(int id, CString& text) const {
    text = CString(GetWindowTextString(::GetDlgItem(m_hWnd, id)));
    return text.GetLength();
}
void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) { ::SetDlgItemInt(m_hWnd, id, value, isSigned); }
UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const {
    return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
}
void CWnd::CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
UINT CWnd::IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) { ::CheckRadioButton(m_hWnd, firstId, lastId, checkId); }
int CWnd::GetCheckedRadioButton(int firstId, int lastId) {
    for (int id = firstId; id <= lastId; ++id)
        if (::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED) return id;
    return 0;
}
void CWnd::SetFont(CFont* font, BOOL redraw) {
    ::SendMessage(m_hWnd, WM_SETFONT, WPARAM(font ? font->GetSafeHandle() : nullptr), redraw);
}
CFont* CWnd::GetFont() const {
    HFONT font = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
    return CFont::FromHandle(font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}
HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    Window* w = Find(m_hWnd);
    if (!w) return nullptr;
    HICON& slot = bigIcon ? w->bigIcon : w->smallIcon;
    HICON old = slot;
    slot = icon;
    ::SendMessage(m_hWnd, WM_SETICON, bigIcon ? 1 : 0, LPARAM(icon));
    return old;
}
HICON CWnd::GetIcon(BOOL bigIcon) const {
    Window* w = Find(m_hWnd);
    return w ? (bigIcon ? w->bigIcon : w->smallIcon) : nullptr;
}
CMenu* CWnd::GetSystemMenu(BOOL revert) const {
    auto& self = const_cast<CWnd&>(*this);
    if (revert) {
        if (Window* w = Find(m_hWnd)) w->sysMenuCloseEnabled = true;
        return nullptr;
    }
    if (!self.systemMenu_) self.systemMenu_ = new CMenu(m_hWnd);
    return self.systemMenu_;
}
CDC* CWnd::GetDC() { return new CClientDC(this); }
CDC* CWnd::GetWindowDC() { return new CWindowDC(this); }
int CWnd::ReleaseDC(CDC* dc) {
    delete dc;
    return 1;
}
int CWnd::MessageBox(LPCTSTR text, LPCTSTR caption, UINT type) { return ::MessageBox(m_hWnd, text, caption, type); }
void CWnd::HtmlHelp(DWORD_PTR data, UINT command) { ::HtmlHelp(m_hWnd, orv::win::HelpFilePath().c_str(), command, data); }
BOOL CWnd::SetLayeredWindowAttributes(COLORREF key, BYTE alpha, DWORD flags) {
    return ::SetLayeredWindowAttributes(m_hWnd, key, alpha, flags);
}

void CWnd::BeginWaitCursor() { orv::win::ChangeWaitCursor(1); }
void CWnd::EndWaitCursor() { orv::win::ChangeWaitCursor(-1); }

UINT CMenu::EnableMenuItem(UINT id, UINT enable) {
    Window* w = Find(owner_);
    if (!w || id != SC_CLOSE) return UINT(-1);
    UINT previous = w->sysMenuCloseEnabled ? MF_ENABLED : MF_GRAYED;
    w->sysMenuCloseEnabled = !(enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags) {
    Window* w = Find(owner_);
    if (!w || (flags & MF_BYPOSITION) || position != SC_CLOSE) return FALSE;
    w->sysMenuCloseEnabled = false;
    return TRUE;
}
