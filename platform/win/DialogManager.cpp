// Dialogs: creation from templates, the default dialog procedure, navigation over tab stops
// and groups, default and cancel buttons, mnemonics, help and dialog-unit mapping.

#include "platform/win/DialogManager.h"

#include <algorithm>
#include <cwctype>

#include "platform/res/Resources.h"
#include "platform/win/ControlState.h"

using namespace orv::win::detail;
using orv::win::ChildWindows;

namespace orv::win::detail {

namespace {

bool Usable(HWND hwnd) { return IsWindowVisible(hwnd) && IsWindowEnabled(hwnd); }

DWORD StyleOf(HWND hwnd) { return DWORD(GetWindowLongPtr(hwnd, GWL_STYLE)); }

// Controls of a dialog in tab order, descending into child dialogs marked as control parents.
void FlatControls(HWND parent, std::vector<HWND>& out) {
    for (HWND c : ChildWindows(parent)) {
        out.push_back(c);
        if ((GetWindowLongPtr(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && IsWindowVisible(c)) FlatControls(c, out);
    }
}

HWND FindDefaultButton(HWND dialog) {
    std::vector<HWND> all;
    FlatControls(dialog, all);
    for (HWND c : all)
        if (SendMessage(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) return c;
    return nullptr;
}

HWND FindControlById(HWND dialog, int id) {
    if (HWND h = GetDlgItem(dialog, id)) return h;
    std::vector<HWND> all;
    FlatControls(dialog, all);
    for (HWND c : all)
        if (GetDlgCtrlID(c) == id) return c;
    return nullptr;
}

void RestoreFocus(HWND dialog) {
    Window* w = Find(dialog);
    if (!w || !w->dialog) return;
    HWND saved = w->dialog->savedFocus;
    if (saved && IsChild(dialog, saved) && Usable(saved)) {
        SetFocus(saved);
        return;
    }
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (first)
        orv::win::DialogSetFocus(dialog, first);
    else if (GetFocus() != dialog)
        SetFocus(dialog);
}

void SetDefaultButtonStyles(HWND dialog, int newId) {
    std::vector<HWND> all;
    FlatControls(dialog, all);
    for (HWND c : all) {
        if (GetClassNameString(c) != L"Button") continue;
        UINT type = StyleOf(c) & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) continue;
        UINT want = GetDlgCtrlID(c) == newId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (type != want) SendMessage(c, BM_SETSTYLE, (StyleOf(c) & 0xFFF0) | want, TRUE);
    }
}

}  // namespace

LRESULT DialogClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (w && w->dialog && w->dialog->dlgProc) {
        INT_PTR handled = w->dialog->dlgProc(hwnd, message, wParam, lParam);
        if (!(w = Find(hwnd))) return 0;
        if (message == WM_INITDIALOG || message == WM_CTLCOLORDLG || message == WM_CTLCOLORSTATIC ||
            message == WM_CTLCOLOREDIT || message == WM_CTLCOLORBTN || message == WM_CTLCOLORLISTBOX)
            if (handled) return handled;
        if (handled) return w->dialog ? w->dialog->msgResult : 0;
    }
    return ::DefDlgProc(hwnd, message, wParam, lParam);
}

}  // namespace orv::win::detail

LRESULT DefDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_CLOSE: {
        // A disabled Cancel button also stops the Close command.
        HWND cancel = GetDlgItem(hwnd, IDCANCEL);
        if (cancel && !IsWindowEnabled(cancel)) {
            MessageBeep(0);
            return 0;
        }
        PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(cancel));
        return 0;
    }
    case WM_NEXTDLGCTL: {
        HWND target = nullptr;
        if (lParam)
            target = reinterpret_cast<HWND>(wParam);
        else
            target = GetNextDlgTabItem(hwnd, GetFocus(), wParam ? TRUE : FALSE);
        if (target) orv::win::DialogSetFocus(hwnd, target);
        return 0;
    }
    case DM_GETDEFID: {
        if (!w->dialog) return 0;
        if (w->dialog->hasDefId) return LRESULT(MAKELONG(WORD(w->dialog->defId), WORD(DC_HASDEFID)));
        if (HWND def = FindDefaultButton(hwnd)) return LRESULT(MAKELONG(WORD(GetDlgCtrlID(def)), WORD(DC_HASDEFID)));
        return 0;
    }
    case DM_SETDEFID:
        if (!w->dialog) return FALSE;
        w->dialog->defId = int(wParam);
        w->dialog->hasDefId = true;
        SetDefaultButtonStyles(hwnd, int(wParam));
        return TRUE;
    case WM_SETFOCUS:
        RestoreFocus(hwnd);
        return 0;
    case WM_ACTIVATE:
        if (!w->dialog) return 0;
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND f = GetFocus();
            if (f && IsChild(hwnd, f)) w->dialog->savedFocus = f;
        } else {
            RestoreFocus(hwnd);
        }
        return 0;
    case WM_KILLFOCUS:
        return 0;
    case WM_GETDLGCODE:
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE && !w->sysMenuCloseEnabled) return 0;
        return DefWindowProc(hwnd, message, wParam, lParam);
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> all;
    FlatControls(dialog, all);
    if (all.empty()) return nullptr;
    int n = int(all.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (all[size_t(i)] == control) start = i;
    for (int k = 1; k <= n; ++k) {
        int i = previous ? (start < 0 ? n - k : (start - k + n) % n) : (start < 0 ? k - 1 : (start + k) % n);
        HWND c = all[size_t(i)];
        if ((StyleOf(c) & WS_TABSTOP) && Usable(c) && !(GetWindowLongPtr(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT))
            return c;
    }
    return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    HWND parent = control ? GetParent(control) : dialog;
    if (!parent) return nullptr;
    auto siblings = ChildWindows(parent);
    if (siblings.empty()) return nullptr;
    int n = int(siblings.size());
    int i = 0;
    if (control) {
        auto it = std::find(siblings.begin(), siblings.end(), control);
        if (it == siblings.end()) return nullptr;
        i = int(it - siblings.begin());
    }
    int first = i;
    while (first > 0 && !(StyleOf(siblings[size_t(first)]) & WS_GROUP)) --first;
    int last = i + 1;
    while (last < n && !(StyleOf(siblings[size_t(last)]) & WS_GROUP)) ++last;
    int size = last - first;
    for (int k = 1; k < size; ++k) {
        int j = previous ? first + ((i - first - k) % size + size) % size : first + (i - first + k) % size;
        if (Usable(siblings[size_t(j)])) return siblings[size_t(j)];
    }
    return control;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Window* w = Find(dialog);
    if (!w || !w->dialog) return FALSE;
    w->dialog->result = result;
    w->dialog->ended = true;
    // The framework hides the dialog at once; the modal loop destroys it after this dispatch.
    if (!w->dialog->inModalLoop) ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    Window* w = Find(dialog);
    if (!w || !rect) return FALSE;
    HWND d = DialogOf(dialog);
    int bx = 6, by = 13;
    if (Window* dw = Find(d); dw && dw->dialog) {
        bx = dw->dialog->baseX;
        by = dw->dialog->baseY;
    }
    auto mx = [&](LONG v) { return LONG((LONGLONG(v) * bx + (v >= 0 ? 2 : -2)) / 4); };
    auto my = [&](LONG v) { return LONG((LONGLONG(v) * by + (v >= 0 ? 4 : -4)) / 8); };
    rect->left = mx(rect->left);
    rect->right = mx(rect->right);
    rect->top = my(rect->top);
    rect->bottom = my(rect->bottom);
    return TRUE;
}

LONG GetDialogBaseUnits() { return LONG(MAKELONG(6, 13)); }

BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text) { return SetWindowText(GetDlgItem(dialog, id), text); }

UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int maxCount) {
    return UINT(GetWindowText(GetDlgItem(dialog, id), buffer, maxCount));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    std::wstring text = isSigned ? std::to_wstring(int(value)) : std::to_wstring(value);
    return SetDlgItemText(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated) *translated = FALSE;
    HWND h = GetDlgItem(dialog, id);
    if (!h) return 0;
    std::wstring text = GetWindowTextString(h);
    size_t i = 0;
    while (i < text.size() && std::iswspace(wint_t(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        if (text[i] == L'-') {
            if (!isSigned) return 0;
            negative = true;
        }
        ++i;
    }
    if (i >= text.size() || !std::iswdigit(wint_t(text[i]))) return 0;
    unsigned long long v = 0;
    for (; i < text.size() && std::iswdigit(wint_t(text[i])); ++i) {
        v = v * 10 + unsigned(text[i] - L'0');
        if (v > 0xFFFFFFFFull) return 0;
    }
    while (i < text.size() && std::iswspace(wint_t(text[i]))) ++i;
    if (i != text.size()) return 0;
    if (isSigned && ((!negative && v > 0x7FFFFFFFull) || (negative && v > 0x80000000ull))) return 0;
    if (translated) *translated = TRUE;
    return negative ? UINT(-(long long)v) : UINT(v);
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessage(GetDlgItem(dialog, id), message, wParam, lParam);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND h = GetDlgItem(dialog, id);
    if (!h) return FALSE;
    SendMessage(h, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) { return UINT(SendDlgItemMessage(dialog, id, BM_GETCHECK, 0, 0)); }

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
    // The framework walks the ids numerically, not the windows between them.
    for (int id = firstId; id <= lastId; ++id)
        if (HWND h = GetDlgItem(dialog, id)) SendMessage(h, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

BOOL IsDialogMessage(HWND dialog, LPMSG msg) {
    if (!msg || !Find(dialog)) return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
    // Keys go to the top-level dialog, which navigates into child dialogs.
    if ((GetWindowLongPtr(dialog, GWL_STYLE) & WS_CHILD))
        if (HWND root = GetAncestor(dialog, GA_ROOT); Find(root) && Find(root)->dialog) dialog = root;
    if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)
        return orv::win::DialogKey(dialog, UINT(msg->wParam), GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                                   msg->message == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0)
                   ? TRUE
                   : FALSE;
    if (msg->message == WM_KEYUP || msg->message == WM_SYSCHAR) return TRUE;
    if (msg->message == WM_CHAR) return orv::win::DialogChar(dialog, wchar_t(msg->wParam), false) ? TRUE : FALSE;
    DispatchMessage(msg);
    return TRUE;
}

namespace orv::win {

int DefaultButtonId(HWND dialog) {
    LRESULT r = SendMessage(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(DWORD(r)) == DC_HASDEFID ? int(LOWORD(DWORD(r))) : 0;
}

void DialogSetFocus(HWND dialog, HWND control) {
    (void)dialog;
    if (!control) return;
    if (SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessage(control, EM_SETSEL, 0, -1);
    SetFocus(control);
}

namespace {

// The mnemonic of a text: the character after a single '&'.
wchar_t Mnemonic(const std::wstring& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] == L'&') {
            ++i;
            continue;
        }
        return wchar_t(std::towupper(wint_t(text[i + 1])));
    }
    return 0;
}

bool ClickCommand(HWND dialog, int id) {
    HWND button = FindControlById(dialog, id);
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), LPARAM(button));
    return true;
}

}  // namespace

bool DialogChar(HWND dialog, wchar_t ch, bool alt) {
    HWND focus = GetFocus();
    LRESULT code = focus ? SendMessage(focus, WM_GETDLGCODE, ch, 0) : 0;
    if (!alt && focus && (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS))) {
        SendMessage(focus, WM_CHAR, WPARAM(ch), 1);
        return true;
    }
    // Mnemonics: a static moves the focus to the next control, a button is pressed.
    wchar_t key = wchar_t(std::towupper(wint_t(ch)));
    std::vector<HWND> all;
    FlatControls(dialog, all);
    int n = int(all.size());
    int start = 0;
    for (int i = 0; i < n; ++i)
        if (all[size_t(i)] == focus) start = i + 1;
    for (int k = 0; k < n; ++k) {
        HWND c = all[size_t((start + k) % n)];
        if (!Usable(c)) continue;
        Window* w = Find(c);
        if (!w || Mnemonic(w->text) != key) continue;
        if ((w->style & SS_NOPREFIX) && w->className == L"Static") continue;
        LRESULT cc = SendMessage(c, WM_GETDLGCODE, 0, 0);
        if (cc & DLGC_STATIC) {
            HWND next = GetNextDlgTabItem(dialog, c, FALSE);
            // The control after the label in template order receives the focus.
            auto it = std::find(all.begin(), all.end(), c);
            for (++it; it != all.end(); ++it)
                if (Usable(*it) && !(SendMessage(*it, WM_GETDLGCODE, 0, 0) & DLGC_STATIC)) {
                    next = *it;
                    break;
                }
            if (next) DialogSetFocus(dialog, next);
            return true;
        }
        if (cc & DLGC_BUTTON) {
            UINT type = w->style & BS_TYPEMASK;
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
                ClickCommand(dialog, int(w->id));
            } else {
                SetFocus(c);
                SendMessage(c, BM_CLICK, 0, 0);
            }
            return true;
        }
        DialogSetFocus(dialog, c);
        return true;
    }
    if (focus) SendMessage(focus, WM_CHAR, WPARAM(ch), 1);
    return false;
}

bool DialogKey(HWND dialog, UINT vk, bool shift, bool control, bool alt) {
    HWND focus = GetFocus();
    if (focus && focus != dialog && !IsChild(dialog, focus)) focus = nullptr;
    MSG msg{focus ? focus : dialog, WM_KEYDOWN, WPARAM(vk), 1, GetTickCount(), POINT{}};
    LRESULT code = focus ? SendMessage(focus, WM_GETDLGCODE, WPARAM(vk), LPARAM(&msg)) : 0;
    auto toControl = [&]() {
        if (!focus) return false;
        SendMessage(focus, WM_KEYDOWN, WPARAM(vk), 1);
        wchar_t ch = vk == VK_BACK ? L'\b' : vk == VK_RETURN ? L'\r' : vk == VK_ESCAPE ? wchar_t(27) : vk == VK_TAB ? L'\t' : 0;
        if (ch && Find(focus)) SendMessage(focus, WM_CHAR, WPARAM(ch), 1);
        if (Find(focus)) SendMessage(focus, WM_KEYUP, WPARAM(vk), LPARAM(0xC0000001u));
        return true;
    };
    if (alt && ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))) return DialogChar(dialog, wchar_t(vk), true);
    switch (vk) {
    case VK_TAB:
        if (control) break;
        if (code & DLGC_WANTTAB) return toControl();
        SendMessage(dialog, WM_NEXTDLGCTL, shift ? 1 : 0, 0);
        return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
        if (code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS)) return toControl();
        bool previous = vk == VK_LEFT || vk == VK_UP;
        HWND next = GetNextDlgGroupItem(dialog, focus, previous ? TRUE : FALSE);
        if (next && next != focus) {
            LRESULT nextCode = SendMessage(next, WM_GETDLGCODE, WPARAM(vk), 0);
            if (nextCode == (DLGC_BUTTON | DLGC_RADIOBUTTON)) {
                SetFocus(next);
                if ((StyleOf(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON && SendMessage(next, BM_GETCHECK, 0, 0) != BST_CHECKED)
                    SendMessage(next, BM_CLICK, 1, 0);
            } else {
                SendMessage(dialog, WM_NEXTDLGCTL, WPARAM(next), 1);
            }
        }
        return true;
    }
    case VK_RETURN: {
        if (code & DLGC_WANTALLKEYS) return toControl();
        if (focus && (code & DLGC_DEFPUSHBUTTON || code & DLGC_UNDEFPUSHBUTTON) && IsWindowEnabled(focus))
            return ClickCommand(dialog, GetDlgCtrlID(focus));
        LRESULT r = SendMessage(dialog, DM_GETDEFID, 0, 0);
        int id = HIWORD(DWORD(r)) == DC_HASDEFID ? LOWORD(DWORD(r)) : IDOK;
        HWND def = HIWORD(DWORD(r)) == DC_HASDEFID ? FindControlById(dialog, id) : FindControlById(dialog, IDOK);
        if (def ? IsWindowEnabled(def) : id == IDOK) SendMessage(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), LPARAM(def));
        return true;
    }
    case VK_ESCAPE:
        if (code & DLGC_WANTALLKEYS) return toControl();
        SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(FindControlById(dialog, IDCANCEL)));
        return true;
    case VK_F1: {
        HWND target = focus ? focus : dialog;
        Window* w = Find(target);
        HELPINFO info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = focus ? GetDlgCtrlID(focus) : 0;
        info.hItemHandle = target;
        info.dwContextId = w ? w->helpId : 0;
        GetCursorPos(&info.MousePos);
        SendMessage(target, WM_HELP, 0, LPARAM(&info));
        return true;
    }
    case VK_SPACE:
        if (focus && (code & DLGC_BUTTON)) {
            SendMessage(focus, WM_KEYDOWN, VK_SPACE, 1);
            if (Find(focus)) SendMessage(focus, WM_KEYUP, VK_SPACE, LPARAM(0xC0000001u));
            return true;
        }
        return DialogChar(dialog, L' ', false);
    default: break;
    }
    // Ctrl+Tab, Ctrl+PageDown and their reverses switch the tab of the dialog's tab control.
    if (control && (vk == VK_TAB || vk == VK_NEXT || vk == VK_PRIOR)) {
        bool back = vk == VK_PRIOR || (vk == VK_TAB && shift);
        std::vector<HWND> all;
        FlatControls(dialog, all);
        for (HWND c : all) {
            if (KindOf(c) != ControlKind::Tab || !Usable(c)) continue;
            int n = int(SendMessage(c, TCM_GETITEMCOUNT, 0, 0));
            if (n <= 0) return true;
            int cur = int(SendMessage(c, TCM_GETCURSEL, 0, 0));
            TabPick(c, ((cur < 0 ? 0 : cur) + (back ? n - 1 : 1)) % n);
            return true;
        }
        return false;
    }
    return toControl();
}

HWND CreateDialogFromTemplate(const orv::res::DialogTemplate& t, HINSTANCE module, HWND owner, DLGPROC proc,
                              LPARAM param) {
    auto state = std::make_unique<DialogState>();
    DialogBaseUnits(t.fontPointSize, state->baseX, state->baseY);
    state->dlgProc = proc;
    const int bx = state->baseX, by = state->baseY;
    auto mx = [&](int v) { return (v * bx + 2) / 4; };
    auto my = [&](int v) { return (v * by + 4) / 8; };

    DWORD style = t.style;
    const bool child = (style & WS_CHILD) != 0;
    RECT insets = NonClientInsets(style, t.exStyle, !child);
    int cx = mx(t.cx) + insets.left + insets.right;
    int cy = my(t.cy) + insets.top + insets.bottom;
    int x = mx(t.x), y = my(t.y);
    if (!child) {
        RECT ownerRect{};
        bool haveOwner = owner && GetWindowRect(GetAncestor(owner, GA_ROOT), &ownerRect);
        HMONITOR mon = haveOwner ? MonitorFromRect(&ownerRect, MONITOR_DEFAULTTONEAREST)
                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO mi;
        GetMonitorInfo(mon, &mi);
        if (style & (DS_CENTER | DS_CENTERMOUSE) || !haveOwner) {
            RECT area = haveOwner && !(style & DS_CENTER) ? ownerRect : mi.rcWork;
            if (haveOwner && (style & DS_CENTER)) area = mi.rcWork;
            x = (area.left + area.right - cx) / 2;
            y = (area.top + area.bottom - cy) / 2;
        } else if (!(style & DS_ABSALIGN)) {
            POINT origin = ClientOrigin(GetAncestor(owner, GA_ROOT));
            x += origin.x;
            y += origin.y;
        }
        // The framework keeps a new dialog within the work area of its monitor.
        x = std::max<LONG>(mi.rcWork.left, std::min<LONG>(x, mi.rcWork.right - cx));
        y = std::max<LONG>(mi.rcWork.top, std::min<LONG>(y, mi.rcWork.bottom - cy));
    }
    std::wstring className = t.className.empty() ? L"#32770" : t.className;
    WNDCLASS probe;
    if (!GetClassInfo(nullptr, className.c_str(), &probe)) className = L"#32770";
    // A dialog that is a control of another takes part in its parent's navigation.
    DWORD exStyle = t.exStyle | ((style & DS_CONTROL) ? WS_EX_CONTROLPARENT : 0);
    SetPendingDialog(std::move(state));
    HWND dlg = CreateWindowEx(exStyle, className.c_str(), t.caption.c_str(), style & ~WS_VISIBLE, x, y, cx, cy, owner,
                              nullptr, module, reinterpret_cast<LPVOID>(param));
    SetPendingDialog(nullptr);
    if (!dlg) return nullptr;
    Get(dlg).helpId = t.helpId;

    for (const auto& item : t.items) {
        std::wstring cls = item.className;
        bool known = GetClassInfo(nullptr, cls.c_str(), &probe) != FALSE;
        DWORD itemStyle = item.style | WS_CHILD;
        int ix = mx(item.x), iy = my(item.y), icx = mx(item.cx), icy = my(item.cy);
        if ((cls == L"ComboBox" || cls == L"ComboBoxEx32") && (itemStyle & 3) != CBS_SIMPLE) icy = by + 8;
        std::wstring text = item.text;
        bool image = cls == L"Static" && ((itemStyle & SS_TYPEMASK) == SS_ICON || (itemStyle & SS_TYPEMASK) == SS_BITMAP);
        HWND c = CreateWindowEx(item.exStyle, known ? cls.c_str() : L"OrvGenericWindow", image ? L"" : text.c_str(),
                                itemStyle, ix, iy, icx, icy, dlg, reinterpret_cast<HMENU>(UINT_PTR(item.id)), module,
                                nullptr);
        if (!Find(dlg)) return nullptr;
        if (!c) continue;
        Window& cw = Get(c);
        if (!known) cw.className = cls;
        cw.helpId = item.helpId;
        SendMessage(c, WM_SETFONT, 0, 0);
        if (image && !text.empty()) {
            LPCWSTR name = text.c_str();
            UINT number = 0;
            if (text[0] == L'#') number = UINT(std::wcstoul(text.c_str() + 1, nullptr, 10));
            HICON icon = ::LoadIcon(module, number ? MAKEINTRESOURCE(number) : name);
            SendMessage(c, STM_SETIMAGE, (itemStyle & SS_TYPEMASK) == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP, LPARAM(icon));
        }
    }
    if (!Find(dlg)) return nullptr;
    HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
    LRESULT setFocus = SendMessage(dlg, WM_INITDIALOG, WPARAM(first), param);
    if (!Find(dlg)) return nullptr;
    if (setFocus) {
        // The first tab stop, unless the handler put the focus elsewhere.
        first = GetNextDlgTabItem(dlg, nullptr, FALSE);
        if (first) DialogSetFocus(dlg, first);
    }
    if (Find(dlg) && (style & WS_VISIBLE)) ShowWindow(dlg, SW_SHOWNORMAL);
    return Find(dlg) ? dlg : nullptr;
}

}  // namespace orv::win
