// The window manager: windows, classes, messages, focus, activation, geometry, timers on the
// kernel clock, hooks, the virtual screen and the recorded side effects.

#include "platform/win/Kernel.h"

#include <algorithm>
#include <cwctype>
#include <stdexcept>
#include <unordered_map>

#include "platform/res/Resources.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"

namespace orv::win {
void SetModalError(std::wstring text);
}

namespace orv::win::detail {

namespace {

struct ClassEntry {
    WNDCLASS wc;
    std::wstring name;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    ULONGLONG due = 0;
    TIMERPROC proc = nullptr;
    ULONGLONG order = 0;
};

struct Hook {
    HHOOK handle = nullptr;
    HOOKPROC proc = nullptr;
};

struct Kernel {
    std::unordered_map<UINT_PTR, std::unique_ptr<Window>> windows;
    std::vector<std::unique_ptr<Window>> dead;
    UINT_PTR nextHandle = 0x10010;
    std::vector<HWND> topLevel;  // z-order, top first
    std::map<std::wstring, ClassEntry> classes;  // lower-case names
    std::deque<MSG> queue;
    std::vector<MSG> current;    // messages being handled, innermost last
    int sendDepth = 0;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    POINT mouse{960, 540};
    ULONGLONG now = 0;
    std::vector<Timer> timers;
    ULONGLONG timerOrder = 0;
    std::vector<Hook> hooks;
    UINT_PTR nextHook = 1;
    std::vector<Monitor> monitors{{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}}};
    std::vector<UINT> beeps;
    std::vector<InputRefusal> refusals;
    std::vector<HelpRequest> help;
    std::vector<ShellExecuteRecord> shell;
    std::vector<std::wstring> failures;
    std::wstring clipboard;
    std::wstring appName = L"Application";
    bool tooltipAnimation = true, tooltipFade = true;
    CreateHook createHook = nullptr;
    DestroyHook destroyHook = nullptr;
    bool classesRegistered = false;
    bool quit = false;
    std::unique_ptr<DialogState> pendingDialog;
    bool shift = false, control = false, alt = false;
    std::vector<HWND> modalStack;
    PreTranslateHook preTranslate = nullptr;
};

Kernel& K() {
    static Kernel kernel;
    if (!kernel.classesRegistered) {
        kernel.classesRegistered = true;
        RegisterBuiltinClasses();
    }
    return kernel;
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = wchar_t(std::towlower(wint_t(c)));
    return s;
}

std::wstring ClassNameOf(LPCWSTR name) {
    if (!name) return L"";
    if (IS_INTRESOURCE(name)) return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
    return name;
}

std::wstring MessageName(UINT message) {
    switch (message) {
    case WM_CREATE: return L"WM_CREATE";
    case WM_DESTROY: return L"WM_DESTROY";
    case WM_COMMAND: return L"WM_COMMAND";
    case WM_NOTIFY: return L"WM_NOTIFY";
    case WM_INITDIALOG: return L"WM_INITDIALOG";
    case WM_TIMER: return L"WM_TIMER";
    case WM_CHAR: return L"WM_CHAR";
    case WM_KEYDOWN: return L"WM_KEYDOWN";
    case WM_PAINT: return L"WM_PAINT";
    case WM_HELP: return L"WM_HELP";
    case WM_CLOSE: return L"WM_CLOSE";
    default: {
        wchar_t buffer[16];
        swprintf(buffer, 16, L"0x%04X", message);
        return buffer;
    }
    }
}

std::wstring Describe(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return L"(no window)";
    std::wstring s = w->className;
    if (w->style & WS_CHILD) s += L" #" + std::to_wstring(w->id);
    if (!w->text.empty()) s += L" \"" + w->text + L"\"";
    return s;
}

bool IsTopLevel(const Window& w) { return !(w.style & WS_CHILD) || !w.parent; }

void CollectTree(HWND hwnd, std::vector<HWND>& out) {
    out.push_back(hwnd);
    if (Window* w = Find(hwnd))
        for (HWND c : w->children) CollectTree(c, out);
}

void FreeDeadWhenIdle() {
    if (K().sendDepth == 0 && K().current.empty()) K().dead.clear();
}

}  // namespace

Window* Find(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto& windows = K().windows;
    auto it = windows.find(reinterpret_cast<UINT_PTR>(hwnd));
    if (it == windows.end()) return nullptr;
    return it->second.get();
}

Window& Get(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) throw std::logic_error("not a window");
    return *w;
}

void SetCreateHook(CreateHook hook) { K().createHook = hook; }
void SetPendingDialog(std::unique_ptr<DialogState> state) { K().pendingDialog = std::move(state); }
void SetModifierState(bool shift, bool control, bool alt) {
    K().shift = shift;
    K().control = control;
    K().alt = alt;
}
void SetDestroyHook(DestroyHook hook) { K().destroyHook = hook; }

void Changed(HWND hwnd, WindowChange what) { ActiveDriver().WindowChanged(hwnd, what); }

void RecordBeep(UINT type) {
    K().beeps.push_back(type);
    ActiveDriver().Beeped(type);
}

void RecordFailure(HWND hwnd, UINT message, const std::wstring& what) {
    K().failures.push_back(MessageName(message) + L" to " + Describe(hwnd) + L": " + what);
    ActiveDriver().ProcedureFailed(hwnd, message, what);
}

RECT NonClientInsets(DWORD style, DWORD exStyle, bool topLevel) {
    RECT r{};
    int frame = 0;
    if (topLevel) {
        if (style & WS_THICKFRAME)
            frame = 8;
        else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
            frame = 3;
        else if (style & WS_BORDER)
            frame = 1;
    } else {
        if (style & WS_BORDER) frame += 1;
        if (exStyle & WS_EX_CLIENTEDGE) frame += 2;
        if (exStyle & WS_EX_STATICEDGE) frame += 1;
        if (style & WS_DLGFRAME) frame += 3;
    }
    r.left = r.right = r.top = r.bottom = frame;
    if ((style & WS_CAPTION) == WS_CAPTION) r.top += (exStyle & WS_EX_TOOLWINDOW) ? 19 : 23;
    if (style & WS_VSCROLL) r.right += 17;
    if (style & WS_HSCROLL) r.bottom += 17;
    return r;
}

POINT ClientOrigin(HWND hwnd) {
    POINT p{};
    Window* w = Find(hwnd);
    while (w) {
        RECT in = NonClientInsets(w->style, w->exStyle, IsTopLevel(*w));
        p.x += w->rect.left + in.left;
        p.y += w->rect.top + in.top;
        if (IsTopLevel(*w)) break;
        w = Find(w->parent);
    }
    return p;
}

HWND DialogOf(HWND hwnd) {
    for (Window* w = Find(hwnd); w; w = Find(w->parent)) {
        if (w->dialog) return w->handle;
        if (IsTopLevel(*w)) break;
    }
    return nullptr;
}

const std::vector<Monitor>& Monitors() { return K().monitors; }
std::wstring& Clipboard() { return K().clipboard; }

DisplayList& WindowList(HWND hwnd) { return Get(hwnd).displayList; }

void DialogBaseUnits(int pointSize, int& baseX, int& baseY) {
    // The 8-point dialog font has base units 6 x 13 at 96 dots per inch.
    if (pointSize <= 0) pointSize = 8;
    baseX = (pointSize * 6 + 4) / 8;
    baseY = (pointSize * 13 + 4) / 8;
}

int TextWidth(const std::wstring& text, int charWidth) {
    int widest = 0, current = 0;
    for (wchar_t c : text) {
        if (c == L'\n') {
            widest = std::max(widest, current);
            current = 0;
        } else if (c != L'\r' && c != L'&') {
            current += charWidth;
        }
    }
    return std::max(widest, current);
}

// ---- messages ----

const MSG* CurrentMessage() { return K().current.empty() ? nullptr : &K().current.back(); }

LRESULT CallProcedure(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc) return ::DefWindowProc(hwnd, message, wParam, lParam);
    Kernel& k = K();
    k.current.push_back(MSG{hwnd, message, wParam, lParam, DWORD(k.now), k.mouse});
    ++k.sendDepth;
    LRESULT result = 0;
    try {
        result = proc(hwnd, message, wParam, lParam);
    } catch (const std::exception& e) {
        RecordFailure(hwnd, message, orv::Utf8ToWide(e.what()));
    } catch (...) {
        RecordFailure(hwnd, message, L"unknown exception");
    }
    --k.sendDepth;
    k.current.pop_back();
    return result;
}

void DispatchPosted() {
    Kernel& k = K();
    while (!k.queue.empty()) {
        MSG msg = k.queue.front();
        k.queue.pop_front();
        ::DispatchMessage(&msg);
    }
    FreeDeadWhenIdle();
}

bool HasPosted() { return !K().queue.empty(); }

const std::vector<HWND>& ModalStack() { return K().modalStack; }
void SetPreTranslateHook(PreTranslateHook hook) { K().preTranslate = hook; }
bool PreTranslate(MSG* msg) { return K().preTranslate && K().preTranslate(msg); }

namespace {
unsigned modalFailures = 0;
void SetModalError(size_t, std::wstring text) { orv::win::SetModalError(std::move(text)); }
}  // namespace

INT_PTR RunModalLoop(HWND dialog) {
    Kernel& k = K();
    Window* w = Find(dialog);
    if (!w || !w->dialog) return -1;
    w->dialog->inModalLoop = true;
    const unsigned failuresAtStart = modalFailures;
    k.modalStack.push_back(dialog);
    ActiveDriver().ModalLoopEntered(dialog);
    for (;;) {
        w = Find(dialog);
        if (!w || !w->dialog || w->dialog->ended) break;
        if (!k.queue.empty()) {
            MSG msg = k.queue.front();
            k.queue.pop_front();
            ::DispatchMessage(&msg);
            continue;
        }
        if (!ActiveDriver().WaitForInput(dialog)) {
            w = Find(dialog);
            if (!w || !w->dialog || w->dialog->ended) break;
            std::wstring what = w->dialog->isMessageBox ? L"the message box" : L"the dialog";
            std::wstring text = L"no more input while " + what + L" \"" + w->text + L"\" waits for input" +
                                (w->dialog->isMessageBox ? L" (\"" + w->dialog->messageBox.text + L"\")" : L"");
            // A loop that ends because a nested one ran out keeps the nested one's reason first.
            SetModalError(k.failures.size(), failuresAtStart != modalFailures ? ModalError() + L"; then " + text : text);
            ++modalFailures;
            w->dialog->result = kModalNoInput;
            w->dialog->ended = true;
            break;
        }
    }
    INT_PTR result = -1;
    if ((w = Find(dialog)) && w->dialog) {
        result = w->dialog->result;
        w->dialog->inModalLoop = false;
    }
    std::erase(k.modalStack, dialog);
    ActiveDriver().ModalLoopLeft(dialog, result);
    return result;
}

bool CallKeyboardHooks(UINT vk, bool up) {
    // Each hook decides whether to pass the event on with CallNextHookEx; the kernel calls them
    // newest first and stops at the first non-zero answer.
    auto hooks = K().hooks;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        LPARAM l = up ? LPARAM(0xC0000001u) : LPARAM(1);
        LRESULT r = 0;
        try {
            r = it->proc(HC_ACTION, WPARAM(vk), l);
        } catch (...) {
            RecordFailure(nullptr, WM_KEYDOWN, L"keyboard hook threw");
        }
        if (r) return true;
        break;  // the hook passes the event on itself through CallNextHookEx
    }
    return false;
}

}  // namespace orv::win::detail

using namespace orv::win;
using namespace orv::win::detail;

// ---- classes ----

ATOM RegisterClass(const WNDCLASS* wc) {
    if (!wc || !wc->lpszClassName) return 0;
    std::wstring name = ClassNameOf(wc->lpszClassName);
    auto key = Lower(name);
    auto& classes = K().classes;
    if (classes.count(key)) return 0;
    classes[key] = ClassEntry{*wc, name};
    classes[key].wc.lpszClassName = classes[key].name.c_str();
    return ATOM(classes.size());
}

BOOL UnregisterClass(LPCWSTR className, HINSTANCE) { return K().classes.erase(Lower(ClassNameOf(className))) ? TRUE : FALSE; }

BOOL GetClassInfo(HINSTANCE, LPCWSTR className, WNDCLASS* wc) {
    auto it = K().classes.find(Lower(ClassNameOf(className)));
    if (it == K().classes.end()) return FALSE;
    if (wc) *wc = it->second.wc;
    return TRUE;
}

// ---- creation and destruction ----

HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int cx,
                    int cy, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
    Kernel& k = K();
    std::wstring cls = ClassNameOf(className);
    auto it = k.classes.find(Lower(cls));
    if (it == k.classes.end()) return nullptr;
    if ((style & WS_CHILD) && !Find(parent)) return nullptr;
    if (parent && !Find(parent)) return nullptr;

    auto window = std::make_unique<Window>();
    HWND hwnd = reinterpret_cast<HWND>(k.nextHandle);
    k.nextHandle += 4;
    Window& w = *window;
    w.handle = hwnd;
    w.className = it->second.name;
    w.text = windowName ? windowName : L"";
    w.style = style & ~WS_VISIBLE;
    w.exStyle = exStyle;
    if (exStyle & WS_EX_LAYERED) w.layered = true;
    w.instance = instance;
    w.proc = w.classProc = it->second.wc.lpfnWndProc;
    if (style & WS_CHILD) {
        w.parent = parent;
        w.id = LONG_PTR(reinterpret_cast<UINT_PTR>(menuOrId));
    } else {
        // A top-level window's "parent" is its owner (the top-level ancestor of what is given).
        HWND owner = parent;
        while (Window* o = Find(owner)) {
            if (IsTopLevel(*o)) break;
            owner = o->parent;
        }
        w.owner = owner;
    }
    w.rect = RECT{x, y, x + std::max(0, cx), y + std::max(0, cy)};
    k.windows[reinterpret_cast<UINT_PTR>(hwnd)] = std::move(window);
    if (style & WS_CHILD) {
        Get(parent).children.push_back(hwnd);
    } else {
        auto& top = k.topLevel;
        auto pos = top.begin();
        if (!(exStyle & WS_EX_TOPMOST))
            while (pos != top.end() && (Get(*pos).exStyle & WS_EX_TOPMOST)) ++pos;
        top.insert(pos, hwnd);
    }
    if (k.pendingDialog) Get(hwnd).dialog = std::move(k.pendingDialog);
    if (k.createHook) k.createHook(hwnd);

    CREATESTRUCT cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menuOrId;
    cs.hwndParent = parent;
    cs.x = x;
    cs.y = y;
    cs.cx = cx;
    cs.cy = cy;
    cs.style = LONG(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!SendMessage(hwnd, WM_NCCREATE, 0, LPARAM(&cs)) || !Find(hwnd)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (SendMessage(hwnd, WM_CREATE, 0, LPARAM(&cs)) == -1 || !Find(hwnd)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    ActiveDriver().WindowCreated(hwnd);
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOWNORMAL);
    return hwnd;
}

namespace {

void SendDestroy(HWND hwnd) {
    SendMessage(hwnd, WM_DESTROY, 0, 0);
    if (Window* w = Find(hwnd)) {
        auto children = w->children;
        for (HWND c : children)
            if (Find(c)) SendDestroy(c);
    }
}

void FreeWindow(HWND hwnd) {
    Kernel& k = K();
    Window* w = Find(hwnd);
    if (!w) return;
    auto children = w->children;
    for (HWND c : children) FreeWindow(c);
    SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    if (k.destroyHook) k.destroyHook(hwnd);
    w = Find(hwnd);
    if (!w) return;
    k.timers.erase(std::remove_if(k.timers.begin(), k.timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
                   k.timers.end());
    if (k.focus == hwnd) k.focus = nullptr;
    if (k.active == hwnd) k.active = nullptr;
    if (k.capture == hwnd) k.capture = nullptr;
    if (Window* p = Find(w->parent)) std::erase(p->children, hwnd);
    std::erase(k.topLevel, hwnd);
    ActiveDriver().WindowDestroyed(hwnd);
    auto it = k.windows.find(reinterpret_cast<UINT_PTR>(hwnd));
    it->second->handle = nullptr;
    k.dead.push_back(std::move(it->second));
    k.windows.erase(it);
}

}  // namespace

BOOL DestroyWindow(HWND hwnd) {
    Kernel& k = K();
    Window* w = Find(hwnd);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    bool topLevel = IsTopLevel(*w);
    // Owned top-level windows go first.
    if (topLevel) {
        std::vector<HWND> owned;
        for (HWND t : k.topLevel)
            if (Window* o = Find(t); o && o->owner == hwnd) owned.push_back(t);
        for (HWND o : owned) DestroyWindow(o);
    }
    if ((w = Find(hwnd)) && (w->style & WS_VISIBLE)) {
        if (topLevel) {
            ShowWindow(hwnd, SW_HIDE);
        } else {
            w->style &= ~WS_VISIBLE;
        }
    }
    if (k.focus && (k.focus == hwnd || IsChild(hwnd, k.focus))) {
        HWND parent = topLevel ? nullptr : Get(hwnd).parent;
        SetFocus(parent);
        if (k.focus && (k.focus == hwnd || IsChild(hwnd, k.focus))) k.focus = nullptr;
    }
    if (topLevel && k.active == hwnd) {
        HWND owner = Get(hwnd).owner;
        k.active = nullptr;
        if (Find(owner)) SetActiveWindow(owner);
    }
    SendDestroy(hwnd);
    FreeWindow(hwnd);
    FreeDeadWhenIdle();
    return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) ? TRUE : FALSE; }

int GetClassName(HWND hwnd, LPWSTR buffer, int maxCount) {
    Window* w = Find(hwnd);
    if (!w || !buffer || maxCount <= 0) return 0;
    int n = std::min(int(w->className.size()), maxCount - 1);
    std::copy_n(w->className.begin(), n, buffer);
    buffer[n] = 0;
    return n;
}

std::wstring GetClassNameString(HWND hwnd) {
    Window* w = Find(hwnd);
    return w ? w->className : std::wstring();
}

// ---- messages ----

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    LRESULT r = CallProcedure(w->proc, hwnd, message, wParam, lParam);
    FreeDeadWhenIdle();
    return r;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !Find(hwnd)) return FALSE;
    K().queue.push_back(MSG{hwnd, message, wParam, lParam, DWORD(K().now), K().mouse});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    K().quit = true;
    K().queue.push_back(MSG{nullptr, WM_QUIT, WPARAM(exitCode), 0, DWORD(K().now), K().mouse});
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc) return DefWindowProc(hwnd, message, wParam, lParam);
    return proc(hwnd, message, wParam, lParam);
}

BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) {
    auto& q = K().queue;
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (hwnd && it->hwnd != hwnd && !IsChild(hwnd, it->hwnd)) continue;
        if ((filterMin || filterMax) && (it->message < filterMin || it->message > filterMax)) continue;
        if (msg) *msg = *it;
        if (remove & PM_REMOVE) q.erase(it);
        return TRUE;
    }
    return FALSE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        try {
            proc(msg->hwnd, WM_TIMER, msg->wParam, DWORD(K().now));
        } catch (...) {
            RecordFailure(msg->hwnd, WM_TIMER, L"timer procedure threw");
        }
        return 0;
    }
    return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

const MSG* GetCurrentMessage() { return CurrentMessage(); }

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_SETTEXT:
        w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        Changed(hwnd, WindowChange::Text);
        return TRUE;
    case WM_GETTEXTLENGTH:
        return LRESULT(w->text.size());
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (!buffer || wParam == 0) return 0;
        size_t n = std::min(w->text.size(), size_t(wParam) - 1);
        std::copy_n(w->text.begin(), n, buffer);
        buffer[n] = 0;
        return LRESULT(n);
    }
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return LRESULT(w->font);
    case WM_SETREDRAW:
        w->redraw = wParam != 0;
        if (w->redraw) Changed(hwnd, WindowChange::Redraw);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            SendMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        }
        return 0;
    case WM_HELP:
        // Child windows pass help requests up to their parent.
        if ((w->style & WS_CHILD) && w->parent) return SendMessage(w->parent, WM_HELP, wParam, lParam);
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_CHILD)) {
            HWND f = GetFocus();
            if (!f || (f != hwnd && !IsChild(hwnd, f))) SetFocus(hwnd);
        }
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return LRESULT(GetSysColorBrush(message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ? COLOR_WINDOW
                                                                                                    : COLOR_BTNFACE));
    case WM_PAINT:
        w->invalid = false;
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return 1;
    case WM_NOTIFYFORMAT:
        return 2;
    default:
        return 0;
    }
}

// ---- window state ----

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (index) {
    case GWL_STYLE: return LONG_PTR(w->style);
    case GWL_EXSTYLE: return LONG_PTR(w->exStyle);
    case GWLP_ID: return w->id;
    case GWLP_USERDATA: return w->userData;
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    default:
        if (index >= 0 && w->dialog && index == DWLP_MSGRESULT) return w->dialog->msgResult;
        return w->extra.count(index) ? w->extra[index] : 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
    case GWL_STYLE: {
        DWORD visible = w->style & WS_VISIBLE;
        w->style = DWORD(value);
        Changed(hwnd, WindowChange::Style);
        (void)visible;
        break;
    }
    case GWL_EXSTYLE:
        w->exStyle = DWORD(value);
        w->layered = (w->exStyle & WS_EX_LAYERED) != 0;
        Changed(hwnd, WindowChange::Style);
        break;
    case GWLP_ID: w->id = value; break;
    case GWLP_USERDATA: w->userData = value; break;
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWLP_HWNDPARENT: w->owner = reinterpret_cast<HWND>(value); break;
    default:
        if (w->dialog && index == DWLP_MSGRESULT)
            w->dialog->msgResult = value;
        else
            w->extra[index] = value;
    }
    return old;
}

LONG GetWindowLong(HWND hwnd, int index) { return LONG(GetWindowLongPtr(hwnd, index)); }
LONG SetWindowLong(HWND hwnd, int index, LONG value) { return LONG(SetWindowLongPtr(hwnd, index, value)); }

BOOL SetWindowText(HWND hwnd, LPCWSTR text) {
    if (!Find(hwnd)) return FALSE;
    return BOOL(SendMessage(hwnd, WM_SETTEXT, 0, LPARAM(text ? text : L"")));
}

std::wstring GetWindowTextString(HWND hwnd) {
    if (!Find(hwnd)) return {};
    LRESULT n = SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring s(size_t(std::max<LRESULT>(n, 0)) + 1, L'\0');
    LRESULT got = SendMessage(hwnd, WM_GETTEXT, WPARAM(s.size()), LPARAM(s.data()));
    s.resize(size_t(std::max<LRESULT>(0, std::min<LRESULT>(got, LRESULT(s.size()) - 1))));
    return s;
}

int GetWindowText(HWND hwnd, LPWSTR buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    return int(SendMessage(hwnd, WM_GETTEXT, WPARAM(maxCount), LPARAM(buffer)));
}

int GetWindowTextLength(HWND hwnd) { return int(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0)); }

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (bool(enable) == !wasDisabled) return wasDisabled;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        // A disabled window loses the focus; a control inside a disabled window keeps it (the
        // owner of a modal dialog gets it back when the dialog closes).
        if (K().focus == hwnd) SetFocus(nullptr);
        if (K().capture == hwnd) ReleaseCapture();
    }
    SendMessage(hwnd, WM_ENABLE, WPARAM(enable ? TRUE : FALSE), 0);
    Changed(hwnd, WindowChange::Enabled);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hwnd, int command) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    bool show = command != SW_HIDE;
    if (bool(wasVisible) != show) {
        SendMessage(hwnd, WM_SHOWWINDOW, WPARAM(show ? TRUE : FALSE), 0);
        if (!(w = Find(hwnd))) return wasVisible;
        if (show)
            w->style |= WS_VISIBLE;
        else
            w->style &= ~WS_VISIBLE;
        Changed(hwnd, WindowChange::Visible);
    }
    bool topLevel = IsTopLevel(*w);
    if (!show) {
        HWND f = K().focus;
        if (f && (f == hwnd || IsChild(hwnd, f))) {
            if (topLevel) {
                K().focus = nullptr;
            } else {
                HWND dlg = DialogOf(w->parent);
                SetFocus(dlg ? dlg : w->parent);
            }
        }
        if (topLevel && K().active == hwnd) {
            HWND owner = w->owner;
            K().active = nullptr;
            if (Find(owner) && IsWindowVisible(owner)) SetActiveWindow(owner);
        }
    } else if (topLevel && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && command != SW_SHOWMINNOACTIVE &&
               !(w->exStyle & WS_EX_TOOLWINDOW && w->style & WS_POPUP && !(w->style & WS_CAPTION))) {
        SetActiveWindow(hwnd);
    }
    return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd) {
    for (Window* w = Find(hwnd); w; w = Find(w->parent)) {
        if (!(w->style & WS_VISIBLE)) return FALSE;
        if (IsTopLevel(*w)) return TRUE;
    }
    return FALSE;
}

HWND GetParent(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    if (w->style & WS_CHILD) return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND SetParent(HWND hwnd, HWND parent) {
    Window* w = Find(hwnd);
    if (!w || !(w->style & WS_CHILD) || !Find(parent)) return nullptr;
    HWND old = w->parent;
    if (Window* p = Find(old)) std::erase(p->children, hwnd);
    w->parent = parent;
    Get(parent).children.push_back(hwnd);
    return old;
}

HWND GetWindow(HWND hwnd, UINT relation) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    const std::vector<HWND>* siblings = nullptr;
    if (IsTopLevel(*w))
        siblings = &K().topLevel;
    else if (Window* p = Find(w->parent))
        siblings = &p->children;
    switch (relation) {
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front();
    case GW_OWNER: return w->owner;
    case GW_HWNDFIRST: return siblings && !siblings->empty() ? siblings->front() : nullptr;
    case GW_HWNDLAST: return siblings && !siblings->empty() ? siblings->back() : nullptr;
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
        if (!siblings) return nullptr;
        auto it = std::find(siblings->begin(), siblings->end(), hwnd);
        if (it == siblings->end()) return nullptr;
        if (relation == GW_HWNDNEXT) return ++it == siblings->end() ? nullptr : *it;
        return it == siblings->begin() ? nullptr : *--it;
    }
    default: return nullptr;
    }
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    if (flags == GA_PARENT) return (w->style & WS_CHILD) ? w->parent : nullptr;
    while ((w->style & WS_CHILD) && Find(w->parent)) w = Find(w->parent);
    if (flags == GA_ROOTOWNER)
        while (Find(w->owner)) w = Find(w->owner);
    return w->handle;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    Window* w = Find(hwnd);
    while (w && (w->style & WS_CHILD)) {
        if (w->parent == parent) return TRUE;
        w = Find(w->parent);
    }
    return FALSE;
}

HWND GetDesktopWindow() { return nullptr; }

namespace {
bool EnumChildren(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
    Window* w = Find(parent);
    if (!w) return true;
    auto children = w->children;
    for (HWND c : children) {
        if (!Find(c)) continue;
        if (!proc(c, lParam)) return false;
        if (!EnumChildren(c, proc, lParam)) return false;
    }
    return true;
}
}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
    if (!proc) return FALSE;
    return EnumChildren(parent, proc, lParam) ? TRUE : FALSE;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* w = Find(dialog);
    if (!w) return nullptr;
    for (HWND c : w->children)
        if (Window* cw = Find(c); cw && cw->id == id) return c;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && (w->style & WS_CHILD) ? int(w->id) : 0;
}

// ---- focus and activation ----

HWND SetFocus(HWND hwnd) {
    Kernel& k = K();
    HWND old = k.focus;
    if (hwnd && !Find(hwnd)) return nullptr;
    if (hwnd == old) return old;
    if (hwnd) {
        // The top-level window of the new focus becomes active first.
        HWND root = GetAncestor(hwnd, GA_ROOT);
        if (root && root != k.active) SetActiveWindow(root);
        if (k.focus == hwnd) return old;
        old = k.focus;
    }
    k.focus = hwnd;
    if (old && Find(old)) {
        SendMessage(old, WM_KILLFOCUS, WPARAM(hwnd), 0);
        Changed(old, WindowChange::Focus);
    }
    // A handler of WM_KILLFOCUS may have moved the focus elsewhere.
    if (k.focus != hwnd) return old;
    if (hwnd && Find(hwnd)) {
        SendMessage(hwnd, WM_SETFOCUS, WPARAM(old), 0);
        Changed(hwnd, WindowChange::Focus);
    }
    return old;
}

HWND GetFocus() { return Find(K().focus) ? K().focus : nullptr; }

HWND GetActiveWindow() { return Find(K().active) ? K().active : nullptr; }

HWND SetActiveWindow(HWND hwnd) {
    Kernel& k = K();
    if (hwnd) hwnd = GetAncestor(hwnd, GA_ROOT);
    HWND old = GetActiveWindow();
    if (hwnd == old) return old;
    k.active = hwnd;
    if (hwnd) {
        auto& top = k.topLevel;
        auto it = std::find(top.begin(), top.end(), hwnd);
        if (it != top.end()) {
            top.erase(it);
            auto pos = top.begin();
            if (!(Get(hwnd).exStyle & WS_EX_TOPMOST))
                while (pos != top.end() && (Get(*pos).exStyle & WS_EX_TOPMOST)) ++pos;
            top.insert(pos, hwnd);
        }
    }
    if (old) SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), LPARAM(hwnd));
    if (hwnd && Find(hwnd) && k.active == hwnd) SendMessage(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), LPARAM(old));
    return old;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }
BOOL SetForegroundWindow(HWND hwnd) { return Find(hwnd) && SetActiveWindow(hwnd), Find(hwnd) ? TRUE : FALSE; }

BOOL BringWindowToTop(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (IsTopLevel(*w)) {
        auto& top = K().topLevel;
        std::erase(top, hwnd);
        auto pos = top.begin();
        if (!(w->exStyle & WS_EX_TOPMOST))
            while (pos != top.end() && (Get(*pos).exStyle & WS_EX_TOPMOST)) ++pos;
        top.insert(pos, hwnd);
    }
    return TRUE;
}

HWND SetCapture(HWND hwnd) {
    HWND old = K().capture;
    K().capture = Find(hwnd) ? hwnd : nullptr;
    return old;
}

BOOL ReleaseCapture() {
    HWND old = K().capture;
    K().capture = nullptr;
    if (old && Find(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return Find(K().capture) ? K().capture : nullptr; }

BOOL GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    *point = K().mouse;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    K().mouse = POINT{x, y};
    return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
    static HCURSOR current = nullptr;
    HCURSOR old = current;
    current = cursor;
    return old;
}

SHORT GetKeyState(int vk) {
    bool down = (vk == int(VK_SHIFT) && K().shift) || (vk == int(VK_CONTROL) && K().control) || (vk == int(VK_MENU) && K().alt);
    return down ? SHORT(-32767 - 1) : SHORT(0);
}
SHORT GetAsyncKeyState(int vk) { return GetKeyState(vk); }

// ---- geometry ----

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = w->rect;
    if (!IsTopLevel(*w)) {
        POINT o = ClientOrigin(w->parent);
        rect->left += o.x;
        rect->right += o.x;
        rect->top += o.y;
        rect->bottom += o.y;
    }
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    RECT in = NonClientInsets(w->style, w->exStyle, IsTopLevel(*w));
    rect->left = rect->top = 0;
    rect->right = std::max<LONG>(0, w->rect.right - w->rect.left - in.left - in.right);
    rect->bottom = std::max<LONG>(0, w->rect.bottom - w->rect.top - in.top - in.bottom);
    return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) {
        r.right = x + (r.right - r.left);
        r.bottom = y + (r.bottom - r.top);
        r.left = x;
        r.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(0, cx);
        r.bottom = r.top + std::max(0, cy);
    }
    bool moved = r.left != w->rect.left || r.top != w->rect.top;
    bool sized = (r.right - r.left) != (w->rect.right - w->rect.left) || (r.bottom - r.top) != (w->rect.bottom - w->rect.top);
    w->rect = r;
    if (!(flags & SWP_NOZORDER)) {
        if (IsTopLevel(*w)) {
            if (insertAfter == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
            if (insertAfter == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
            auto& top = K().topLevel;
            std::erase(top, hwnd);
            if (insertAfter == HWND_BOTTOM) {
                top.push_back(hwnd);
            } else {
                auto pos = top.begin();
                if (!(w->exStyle & WS_EX_TOPMOST))
                    while (pos != top.end() && (Get(*pos).exStyle & WS_EX_TOPMOST)) ++pos;
                if (Find(insertAfter) && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
                    auto after = std::find(top.begin(), top.end(), insertAfter);
                    if (after != top.end()) pos = after + 1;
                }
                top.insert(pos, hwnd);
            }
        } else if (Window* p = Find(w->parent)) {
            auto& sib = p->children;
            if (insertAfter == HWND_BOTTOM) {
                std::erase(sib, hwnd);
                sib.push_back(hwnd);
            } else if (insertAfter == HWND_TOP) {
                std::erase(sib, hwnd);
                sib.insert(sib.begin(), hwnd);
            } else if (Find(insertAfter) && insertAfter != hwnd) {
                std::erase(sib, hwnd);
                auto after = std::find(sib.begin(), sib.end(), insertAfter);
                sib.insert(after == sib.end() ? sib.end() : after + 1, hwnd);
            }
        }
    }
    if (moved || sized) Changed(hwnd, WindowChange::Rect);
    if (sized) {
        RECT c;
        GetClientRect(hwnd, &c);
        SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(WORD(c.right), WORD(c.bottom)));
    }
    if (moved && Find(hwnd)) SendMessage(hwnd, WM_MOVE, 0, 0);
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
    if (!Find(hwnd) || !point) return FALSE;
    POINT o = ClientOrigin(hwnd);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
    if (!Find(hwnd) || !point) return FALSE;
    POINT o = ClientOrigin(hwnd);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    POINT a = from ? ClientOrigin(from) : POINT{};
    POINT b = to ? ClientOrigin(to) : POINT{};
    LONG dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return int(MAKELONG(WORD(SHORT(dx)), WORD(SHORT(dy))));
}

HWND WindowFromPoint(POINT point) {
    for (HWND t : K().topLevel) {
        if (!IsWindowVisible(t)) continue;
        RECT r;
        GetWindowRect(t, &r);
        if (point.x < r.left || point.x >= r.right || point.y < r.top || point.y >= r.bottom) continue;
        HWND found = t;
        for (bool deeper = true; deeper;) {
            deeper = false;
            for (HWND c : Get(found).children) {
                if (!IsWindowVisible(c)) continue;
                GetWindowRect(c, &r);
                if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) {
                    found = c;
                    deeper = true;
                    break;
                }
            }
        }
        return found;
    }
    return nullptr;
}

BOOL InvalidateRect(HWND hwnd, LPCRECT, BOOL) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    w->invalid = true;
    if (w->redraw) Changed(hwnd, WindowChange::Redraw);
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (w->invalid && w->redraw && IsWindowVisible(hwnd)) {
        SendMessage(hwnd, WM_PAINT, 0, 0);
        if ((w = Find(hwnd))) w->invalid = false;
    }
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, LPCRECT rect, HRGN, UINT flags) {
    if (!Find(hwnd)) return FALSE;
    if (flags & RDW_INVALIDATE) InvalidateRect(hwnd, rect, (flags & RDW_ERASE) ? TRUE : FALSE);
    if (flags & RDW_FRAME) SendMessage(hwnd, WM_NCPAINT, 1, 0);
    if (flags & RDW_UPDATENOW) UpdateWindow(hwnd);
    return TRUE;
}

// ---- virtual screen ----

int GetSystemMetrics(int index) {
    const auto& m = K().monitors;
    RECT v = m.front().rect;
    for (const auto& mon : m) {
        v.left = std::min(v.left, mon.rect.left);
        v.top = std::min(v.top, mon.rect.top);
        v.right = std::max(v.right, mon.rect.right);
        v.bottom = std::max(v.bottom, mon.rect.bottom);
    }
    switch (index) {
    case SM_CXSCREEN: return m.front().rect.right - m.front().rect.left;
    case SM_CYSCREEN: return m.front().rect.bottom - m.front().rect.top;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 17;
    case SM_CYCAPTION: return 23;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return 3;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_XVIRTUALSCREEN: return v.left;
    case SM_YVIRTUALSCREEN: return v.top;
    case SM_CXVIRTUALSCREEN: return v.right - v.left;
    case SM_CYVIRTUALSCREEN: return v.bottom - v.top;
    case SM_CMONITORS: return int(m.size());
    default: return 0;
    }
}

namespace {
HMONITOR MonitorHandle(size_t index) { return reinterpret_cast<HMONITOR>(index + 1); }

HMONITOR NearestMonitor(POINT p, DWORD flags) {
    const auto& m = K().monitors;
    for (size_t i = 0; i < m.size(); ++i)
        if (p.x >= m[i].rect.left && p.x < m[i].rect.right && p.y >= m[i].rect.top && p.y < m[i].rect.bottom)
            return MonitorHandle(i);
    if (flags == MONITOR_DEFAULTTONULL) return nullptr;
    if (flags == MONITOR_DEFAULTTOPRIMARY) return MonitorHandle(0);
    size_t best = 0;
    long long bestDistance = -1;
    for (size_t i = 0; i < m.size(); ++i) {
        long long dx = p.x < m[i].rect.left ? m[i].rect.left - p.x : p.x >= m[i].rect.right ? p.x - m[i].rect.right + 1 : 0;
        long long dy = p.y < m[i].rect.top ? m[i].rect.top - p.y : p.y >= m[i].rect.bottom ? p.y - m[i].rect.bottom + 1 : 0;
        long long d = dx * dx + dy * dy;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return MonitorHandle(best);
}
}  // namespace

HMONITOR MonitorFromPoint(POINT point, DWORD flags) { return NearestMonitor(point, flags); }

HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags) {
    if (!rect) return nullptr;
    return NearestMonitor(POINT{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2}, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
    RECT r{};
    if (!GetWindowRect(hwnd, &r)) return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorHandle(0);
    return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, LPMONITORINFO info) {
    size_t index = reinterpret_cast<size_t>(monitor);
    const auto& m = K().monitors;
    if (!info || index == 0 || index > m.size()) return FALSE;
    info->rcMonitor = m[index - 1].rect;
    info->rcWork = m[index - 1].work;
    info->dwFlags = index == 1 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

DWORD GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_BTNSHADOW: return RGB(160, 160, 160);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_GRAYTEXT: return RGB(109, 109, 109);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT: return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_INFOTEXT: return RGB(0, 0, 0);
    case COLOR_INFOBK: return RGB(255, 255, 225);
    case COLOR_WINDOWFRAME: return RGB(100, 100, 100);
    default: return RGB(192, 192, 192);
    }
}

HBRUSH GetSysColorBrush(int index) {
    // System colour brushes are recognisable handles: 0x5C0000 + index.
    return reinterpret_cast<HBRUSH>(UINT_PTR(0x5C0000 + index));
}

BOOL SystemParametersInfo(UINT action, UINT, LPVOID value, UINT) {
    if (!value) return FALSE;
    switch (action) {
    case SPI_GETTOOLTIPANIMATION: *static_cast<BOOL*>(value) = K().tooltipAnimation; return TRUE;
    case SPI_GETTOOLTIPFADE: *static_cast<BOOL*>(value) = K().tooltipFade; return TRUE;
    case SPI_GETWORKAREA: *static_cast<RECT*>(value) = K().monitors.front().work; return TRUE;
    default: return FALSE;
    }
}

// ---- timers ----

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    Kernel& k = K();
    if (hwnd && !Find(hwnd)) return 0;
    if (!hwnd) {
        // Thread timers get an id of their own.
        static UINT_PTR nextThreadTimer = 0x7000;
        id = ++nextThreadTimer;
    }
    elapse = std::max<UINT>(elapse, 10);
    for (auto& t : k.timers)
        if (t.hwnd == hwnd && t.id == id) {
            t.elapse = elapse;
            t.due = k.now + elapse;
            t.proc = proc;
            t.order = ++k.timerOrder;
            return id ? id : 1;
        }
    k.timers.push_back(Timer{hwnd, id, elapse, k.now + elapse, proc, ++k.timerOrder});
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto& timers = K().timers;
    auto before = timers.size();
    std::erase_if(timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    return before != timers.size() ? TRUE : FALSE;
}

DWORD GetTickCount() { return DWORD(K().now); }
ULONGLONG GetTickCount64() { return K().now; }

long long orv::win::input::MillisecondsToNextTimer() {
    const Kernel& k = K();
    long long next = -1;
    for (const auto& t : k.timers) {
        const long long wait = t.due > k.now ? static_cast<long long>(t.due - k.now) : 0;
        if (next < 0 || wait < next) next = wait;
    }
    return next;
}

void orv::win::input::AdvanceClock(UINT milliseconds) {
    Kernel& k = K();
    const ULONGLONG end = k.now + milliseconds;
    for (;;) {
        // The earliest due timer; ties in the order they were set.
        const Timer* next = nullptr;
        for (const auto& t : k.timers)
            if (t.due <= end && (!next || t.due < next->due || (t.due == next->due && t.order < next->order))) next = &t;
        if (!next) break;
        Timer fired = *next;
        k.now = std::max(k.now, fired.due);
        for (auto& t : k.timers)
            if (t.hwnd == fired.hwnd && t.id == fired.id) {
                t.due = k.now + t.elapse;
                t.order = ++k.timerOrder;
            }
        if (fired.proc) {
            try {
                fired.proc(fired.hwnd, WM_TIMER, fired.id, DWORD(k.now));
            } catch (...) {
                RecordFailure(fired.hwnd, WM_TIMER, L"timer procedure threw");
            }
        } else if (fired.hwnd) {
            SendMessage(fired.hwnd, WM_TIMER, fired.id, 0);
        }
        DispatchPosted();
    }
    // A timer handler may have advanced the clock further itself; time never runs backwards.
    k.now = std::max(k.now, end);
    DispatchPosted();
}

// ---- hooks ----

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD) {
    if (idHook != WH_KEYBOARD || !proc) return nullptr;
    HHOOK h = reinterpret_cast<HHOOK>(K().nextHook++);
    K().hooks.push_back(Hook{h, proc});
    return h;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    auto& hooks = K().hooks;
    auto before = hooks.size();
    std::erase_if(hooks, [&](const Hook& h) { return h.handle == hook; });
    return before != hooks.size() ? TRUE : FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    auto hooks = K().hooks;
    for (size_t i = hooks.size(); i-- > 0;) {
        if (hooks[i].handle != hook) continue;
        if (i == 0) return 0;
        return hooks[i - 1].proc(code, wParam, lParam);
    }
    return 0;
}

DWORD GetCurrentThreadId() { return 1; }

// ---- layered windows ----

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
    Window* w = Find(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
    if (flags & LWA_ALPHA) w->alpha = alpha;
    if (flags & LWA_COLORKEY) w->colorKey = key;
    w->layeredFlags = flags;
    Changed(hwnd, WindowChange::Alpha);
    return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
    Window* w = Find(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
    if (key) *key = w->colorKey;
    if (alpha) *alpha = w->alpha;
    if (flags) *flags = w->layeredFlags;
    return TRUE;
}

// ---- beeps, help, shell ----

BOOL MessageBeep(UINT type) {
    RecordBeep(type);
    return TRUE;
}

namespace orv::win {
void RefuseCharacter(HWND hwnd, wchar_t ch, UINT beepType) {
    RecordBeep(beepType);
    const std::wstring character(1, ch);
    K().refusals.push_back({hwnd, orv::FormatMessageStrings(FrameworkString(kStringNumbersOnly), {&character, 1})});
    ActiveDriver().InputRefused(K().refusals.size() - 1);
}
}  // namespace orv::win

HWND HtmlHelp(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
    HelpRequest r;
    r.caller = caller;
    r.file = file ? file : L"";
    r.command = command;
    r.data = data;
    if (command == HH_DISPLAY_TEXT_POPUP && data) {
        const auto* popup = reinterpret_cast<const HH_POPUP*>(data);
        r.popupPosition = popup->pt;
        r.popupStringId = popup->idString;
        if (popup->pszText)
            r.popupText = popup->pszText;
        else if (popup->idString && !orv::res::LoadStringResource(popup->hinst, popup->idString, r.popupText))
            r.popupText = FrameworkString(popup->idString);
    }
    K().help.push_back(std::move(r));
    ActiveDriver().HelpRequested(K().help.size() - 1);
    return nullptr;
}

HINSTANCE ShellExecute(HWND hwnd, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show) {
    ShellExecuteRecord r{hwnd, operation ? operation : L"", file ? file : L"", parameters ? parameters : L"",
                         directory ? directory : L"", show};
    K().shell.push_back(std::move(r));
    ActiveDriver().ShellExecuted(K().shell.size() - 1);
    return reinterpret_cast<HINSTANCE>(UINT_PTR(33));  // greater than 32: success
}

// ---- themes ----

BOOL IsThemeActive() { return FALSE; }
BOOL IsAppThemed() { return FALSE; }
HTHEME OpenThemeData(HWND, LPCWSTR) { return nullptr; }
HRESULT CloseThemeData(HTHEME) { return 0; }
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags) {
    Window* w = Find(hwnd);
    if (!w) return HRESULT(0x80070578);  // invalid window handle
    w->extra[-1001] = LONG_PTR(flags);
    return 0;
}

// ---- clipboard ----

BOOL OpenClipboard(HWND) { return TRUE; }
BOOL CloseClipboard() { return TRUE; }
BOOL EmptyClipboard() {
    K().clipboard.clear();
    return TRUE;
}
BOOL IsClipboardFormatAvailable(UINT format) { return format == CF_UNICODETEXT && !K().clipboard.empty(); }

// ---- kernel extensions ----

namespace orv::win {

void PumpMessages() { DispatchPosted(); }

namespace {
int g_waitCursor = 0;
}
DWORD ThemeDialogTexture(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && w->extra.count(-1001) ? DWORD(w->extra[-1001]) : 0;
}
int WaitCursorDepth() { return g_waitCursor; }
void ChangeWaitCursor(int delta) { g_waitCursor = std::max(0, g_waitCursor + delta); }
void SetClipboardText(std::wstring text) { K().clipboard = std::move(text); }
std::wstring GetClipboardText() { return K().clipboard; }
void SetApplicationName(std::wstring name) { K().appName = std::move(name); }
const std::wstring& ApplicationName() { return K().appName; }

void SetMonitors(std::vector<MonitorSpec> monitors) {
    if (monitors.empty()) return;
    K().monitors.clear();
    for (const auto& m : monitors) K().monitors.push_back(Monitor{m.rect, m.work});
}

void SetMousePosition(POINT screen) { K().mouse = screen; }

void SetTooltipAnimation(bool animation, bool fade) {
    K().tooltipAnimation = animation;
    K().tooltipFade = fade;
}

void ResetKernel() {
    Kernel& k = K();
    auto top = k.topLevel;
    for (HWND t : top)
        if (Find(t)) DestroyWindow(t);
    k.queue.clear();
    k.timers.clear();
    k.hooks.clear();
    k.focus = k.active = k.capture = nullptr;
    k.now = 0;
    k.beeps.clear();
    k.refusals.clear();
    k.help.clear();
    k.shell.clear();
    k.failures.clear();
    k.clipboard.clear();
    k.mouse = POINT{960, 540};
    k.monitors = {{RECT{0, 0, 1920, 1080}, RECT{0, 0, 1920, 1040}}};
    k.tooltipAnimation = k.tooltipFade = true;
    k.quit = false;
    k.dead.clear();
    k.modalStack.clear();
    ClearModalError();
}

std::vector<HWND> TopLevelWindows() { return K().topLevel; }

std::vector<HWND> ChildWindows(HWND parent) {
    Window* w = Find(parent);
    return w ? w->children : std::vector<HWND>{};
}

const std::vector<UINT>& Beeps() { return K().beeps; }
const std::vector<InputRefusal>& InputRefusals() { return K().refusals; }
const std::vector<HelpRequest>& HelpRequests() { return K().help; }
const std::vector<ShellExecuteRecord>& ShellExecutes() { return K().shell; }
const std::vector<std::wstring>& ProcedureFailures() { return K().failures; }

void ClearRecords() {
    K().beeps.clear();
    K().refusals.clear();
    K().help.clear();
    K().shell.clear();
    K().failures.clear();
}

}  // namespace orv::win
