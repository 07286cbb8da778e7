// Person-level input: each entry produces the messages the framework produces for it.

#include "platform/win/Input.h"

#include <algorithm>

#include "platform/win/ControlState.h"
#include "platform/win/DialogManager.h"

using namespace orv::win::detail;

namespace orv::win::input {

namespace {

std::wstring g_error;

bool Fail(std::wstring why) {
    g_error = std::move(why);
    return false;
}

std::wstring Name(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return L"the window";
    std::wstring s = w->className;
    if (w->style & WS_CHILD) s += L" " + std::to_wstring(w->id);
    if (!w->text.empty()) s += L" \"" + w->text + L"\"";
    return s;
}

// A person can reach a window that is shown, enabled together with its ancestors, and not
// behind an open modal window.
bool Reachable(HWND hwnd) {
    if (!IsWindow(hwnd)) return Fail(L"no such window");
    if (!IsWindowVisible(hwnd)) return Fail(Name(hwnd) + L" is hidden");
    for (HWND h = hwnd; h; h = GetAncestor(h, GA_PARENT)) {
        if (!IsWindowEnabled(h)) return Fail(h == hwnd ? Name(hwnd) + L" is disabled" : Name(hwnd) + L" is in a disabled window");
    }
    const auto& modal = ModalStack();
    if (!modal.empty()) {
        HWND root = GetAncestor(hwnd, GA_ROOT);
        HWND top = modal.back();
        bool ownedByTop = false;
        for (HWND o = root; o; o = GetWindow(o, GW_OWNER))
            if (o == top) ownedByTop = true;
        if (!ownedByTop) return Fail(Name(hwnd) + L" is behind the open window " + Name(top));
    }
    return true;
}

struct ModifierScope {
    explicit ModifierScope(Modifiers m) { SetModifierState(m.shift, m.control, m.alt); }
    ~ModifierScope() { SetModifierState(false, false, false); }
};

HWND TargetDialog(HWND focus) {
    HWND dlg = DialogOf(focus);
    if (dlg && (GetWindowLongPtr(dlg, GWL_STYLE) & WS_CHILD)) {
        // Keys go to the top-level dialog, which navigates into child dialogs.
        HWND root = GetAncestor(dlg, GA_ROOT);
        if (Find(root) && Find(root)->dialog) dlg = root;
    }
    return dlg;
}

UINT KeyOfChar(wchar_t ch) {
    if (ch >= L'a' && ch <= L'z') return UINT(ch - L'a' + L'A');
    if ((ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9')) return UINT(ch);
    if (ch == L' ') return VK_SPACE;
    if (ch == L'\b') return VK_BACK;
    if (ch == L'\r') return VK_RETURN;
    return 0xBA;  // some other character key
}

POINT Centre(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LPARAM ClientCentre(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return MAKELPARAM(WORD(r.right / 2), WORD(r.bottom / 2));
}

HWND FocusOrActive() {
    HWND f = GetFocus();
    if (f) return f;
    const auto& modal = ModalStack();
    if (!modal.empty() && IsWindow(modal.back())) return modal.back();
    return GetActiveWindow();
}

}  // namespace

const std::wstring& LastInputError() { return g_error; }

bool TypeChar(wchar_t ch) {
    HWND focus = FocusOrActive();
    if (!focus) return Fail(L"no window has the focus");
    if (!Reachable(focus)) return false;
    if (CallKeyboardHooks(KeyOfChar(ch), false)) return true;
    MSG msg{focus, WM_CHAR, WPARAM(ch), 1, GetTickCount(), POINT{}};
    if (!PreTranslate(&msg)) {
        if (HWND dlg = TargetDialog(focus))
            DialogChar(dlg, ch, false);
        else
            SendMessage(focus, WM_CHAR, WPARAM(ch), 1);
    }
    CallKeyboardHooks(KeyOfChar(ch), true);
    DispatchPosted();
    return true;
}

bool TypeText(std::wstring_view text) {
    for (wchar_t ch : text)
        if (!TypeChar(ch)) return false;
    return true;
}

bool PressKey(UINT vk, Modifiers modifiers) {
    HWND focus = FocusOrActive();
    if (!focus) return Fail(L"no window has the focus");
    if (!Reachable(focus)) return false;
    ModifierScope scope(modifiers);
    if (CallKeyboardHooks(vk, false)) return true;
    MSG msg{focus, UINT(modifiers.alt ? WM_SYSKEYDOWN : WM_KEYDOWN), WPARAM(vk), 1, GetTickCount(), POINT{}};
    if (!PreTranslate(&msg)) {
        if (HWND dlg = TargetDialog(focus)) {
            DialogKey(dlg, vk, modifiers.shift, modifiers.control, modifiers.alt);
        } else if (vk == VK_F1) {
            HELPINFO info;
            info.iCtrlId = GetDlgCtrlID(focus);
            info.hItemHandle = focus;
            GetCursorPos(&info.MousePos);
            SendMessage(focus, WM_HELP, 0, LPARAM(&info));
        } else {
            SendMessage(focus, WM_KEYDOWN, WPARAM(vk), 1);
            if (vk == VK_BACK && IsWindow(focus)) SendMessage(focus, WM_CHAR, 8, 1);
            if (IsWindow(focus)) SendMessage(focus, WM_KEYUP, WPARAM(vk), LPARAM(0xC0000001u));
        }
    }
    CallKeyboardHooks(vk, true);
    DispatchPosted();
    return true;
}

bool Click(HWND control) {
    if (!Reachable(control)) return false;
    SetMousePosition(Centre(control));
    if (CallKeyboardHooks(0, false)) {
    }
    LPARAM at = ClientCentre(control);
    switch (KindOf(control)) {
    case ControlKind::Button:
        if ((GetWindowLongPtr(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) return true;
        SendMessage(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        if (IsWindow(control)) SendMessage(control, WM_LBUTTONUP, 0, at);
        break;
    case ControlKind::Edit:
        SendMessage(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        if (IsWindow(control)) {
            int end = GetWindowTextLength(control);
            SendMessage(control, EM_SETSEL, WPARAM(end), end);
            SendMessage(control, WM_LBUTTONUP, 0, at);
        }
        break;
    default:
        SendMessage(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        if (IsWindow(control)) SendMessage(control, WM_LBUTTONUP, 0, at);
        break;
    }
    DispatchPosted();
    return true;
}

bool DoubleClick(HWND control) {
    if (!Click(control)) return false;
    if (!IsWindow(control)) return true;
    LPARAM at = ClientCentre(control);
    switch (KindOf(control)) {
    case ControlKind::ListBox: {
        if (GetWindowLongPtr(control, GWL_STYLE) & LBS_NOTIFY) NotifyParent(control, LBN_DBLCLK);
        break;
    }
    case ControlKind::ListView: {
        NMITEMACTIVATE nm;
        nm.iItem = int(SendMessage(control, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
        NotifyParent(control, nm.hdr, NM_DBLCLK);
        break;
    }
    case ControlKind::Button:
        if (GetWindowLongPtr(control, GWL_STYLE) & BS_NOTIFY) NotifyParent(control, BN_DOUBLECLICKED);
        break;
    default:
        SendMessage(control, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        break;
    }
    DispatchPosted();
    return true;
}

namespace {
HWND MouseTarget(POINT screen, LPARAM& at) {
    HWND target = GetCapture();
    if (!target) target = WindowFromPoint(screen);
    POINT p = screen;
    if (target) ScreenToClient(target, &p);
    at = MAKELPARAM(WORD(SHORT(p.x)), WORD(SHORT(p.y)));
    return target;
}

// The buttons a front end reported down and not yet up (MK_LBUTTON, MK_MBUTTON, MK_RBUTTON).
WPARAM g_buttonsHeld = 0;

WPARAM KeyFlags(Modifiers modifiers) {
    return g_buttonsHeld | (modifiers.shift ? MK_SHIFT : 0) | (modifiers.control ? MK_CONTROL : 0);
}
}  // namespace

bool MoveMouse(POINT screen) { return MoveMouse(screen, Modifiers{}); }

bool MoveMouse(POINT screen, Modifiers modifiers) {
    SetMousePosition(screen);
    LPARAM at = 0;
    if (HWND target = MouseTarget(screen, at)) SendMessage(target, WM_MOUSEMOVE, KeyFlags(modifiers), at);
    DispatchPosted();
    return true;
}

bool MouseButtonAt(POINT screen, MouseButton button, bool down, Modifiers modifiers) {
    static constexpr WPARAM kFlag[] = {MK_LBUTTON, MK_MBUTTON, MK_RBUTTON};
    static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
    const auto index = static_cast<std::size_t>(button);
    SetMousePosition(screen);
    LPARAM at = 0;
    HWND target = MouseTarget(screen, at);
    if (target && down && !GetCapture() && !Reachable(target)) return false;
    if (down)
        g_buttonsHeld |= kFlag[index];
    else
        g_buttonsHeld &= ~kFlag[index];
    // A release always reaches the window that took the press when it holds the capture.
    if (target) SendMessage(target, down ? kDown[index] : kDown[index] + 1, KeyFlags(modifiers), at);
    DispatchPosted();
    return true;
}

bool MouseWheel(POINT screen, int delta, Modifiers modifiers) {
    SetMousePosition(screen);
    LPARAM at = 0;
    HWND target = MouseTarget(screen, at);
    if (target && !GetCapture() && !Reachable(target)) return false;
    delta = std::clamp(delta, -32768, 32767);
    if (target)
        SendMessage(target, WM_MOUSEWHEEL, MAKEWPARAM(WORD(KeyFlags(modifiers)), WORD(SHORT(delta))),
                    MAKELPARAM(WORD(SHORT(screen.x)), WORD(SHORT(screen.y))));
    DispatchPosted();
    return true;
}

bool ClickAt(POINT screen, bool right) {
    SetMousePosition(screen);
    LPARAM at = 0;
    HWND target = MouseTarget(screen, at);
    if (!target) {
        DispatchPosted();
        return true;
    }
    if (!GetCapture() && !Reachable(target)) return false;
    SendMessage(target, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
    if (HWND up = GetCapture() ? GetCapture() : (IsWindow(target) ? target : nullptr)) {
        POINT p = screen;
        ScreenToClient(up, &p);
        SendMessage(up, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, MAKELPARAM(WORD(SHORT(p.x)), WORD(SHORT(p.y))));
    }
    DispatchPosted();
    return true;
}

bool Focus(HWND hwnd) {
    if (!Reachable(hwnd)) return false;
    SetFocus(hwnd);
    DispatchPosted();
    return true;
}

namespace {

int ItemCount(HWND control) {
    switch (KindOf(control)) {
    case ControlKind::ComboBox:
    case ControlKind::ComboBoxEx: return int(SendMessage(control, CB_GETCOUNT, 0, 0));
    case ControlKind::ListBox: return int(SendMessage(control, LB_GETCOUNT, 0, 0));
    case ControlKind::ListView: return int(SendMessage(control, LVM_GETITEMCOUNT, 0, 0));
    case ControlKind::Tab: return int(SendMessage(control, TCM_GETITEMCOUNT, 0, 0));
    default: return -1;
    }
}

}  // namespace

bool SelectItem(HWND control, int index) {
    if (!Reachable(control)) return false;
    ControlKind kind = KindOf(control);
    int count = ItemCount(control);
    if (count < 0) return Fail(Name(control) + L" has no items to select");
    if (index < -1 || index >= count || (index == -1 && kind != ControlKind::ListView))
        return Fail(Name(control) + L" has no item " + std::to_wstring(index) + L" (it has " + std::to_wstring(count) +
                    L")");
    if (kind != ControlKind::Tab && GetFocus() != control) SetFocus(control);
    if (!IsWindow(control)) return true;
    switch (kind) {
    case ControlKind::ComboBox:
    case ControlKind::ComboBoxEx:
        if (!SendMessage(control, CB_GETDROPPEDSTATE, 0, 0)) SendMessage(control, CB_SHOWDROPDOWN, TRUE, 0);
        if (IsWindow(control)) ListPick(control, index);
        if (IsWindow(control)) NotifyParent(control, CBN_SELENDOK);
        if (IsWindow(control)) SendMessage(control, CB_SHOWDROPDOWN, FALSE, 0);
        break;
    case ControlKind::ListBox:
        ListPick(control, index);
        break;
    case ControlKind::ListView: {
        ListViewSetState(control, -1, 0, LVIS_SELECTED);
        if (index >= 0 && IsWindow(control))
            ListViewSetState(control, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        if (IsWindow(control)) {
            NMITEMACTIVATE nm;
            nm.iItem = index;
            NotifyParent(control, nm.hdr, NM_CLICK);
        }
        break;
    }
    case ControlKind::Tab:
        if (!(GetWindowLongPtr(control, GWL_STYLE) & TCS_FOCUSNEVER) && GetFocus() != control) SetFocus(control);
        if (IsWindow(control) && !TabPick(control, index)) {
            DispatchPosted();
            return Fail(Name(control) + L" refused to change the tab");
        }
        break;
    default: break;
    }
    DispatchPosted();
    return true;
}

bool SelectItemByText(HWND control, std::wstring_view text) {
    if (!IsWindow(control)) return Fail(L"no such window");
    WindowView view = Inspect(control);
    for (size_t i = 0; i < view.items.size(); ++i)
        if (view.items[i].text == text) return SelectItem(control, int(i));
    return Fail(Name(control) + L" has no item \"" + std::wstring(text) + L"\"");
}

namespace {
bool GridReachable(HWND grid) {
    if (!Reachable(grid)) return false;
    if (KindOf(grid) != ControlKind::PropertyGrid) return Fail(Name(grid) + L" is not a property grid");
    if (GetFocus() != grid) SetFocus(grid);
    return true;
}
}  // namespace

bool GridChoose(HWND grid, std::wstring_view item, std::wstring_view choice) {
    if (!GridReachable(grid)) return false;
    const WindowView view = Inspect(grid);
    for (std::size_t row = 0; row < view.gridRows.size(); ++row) {
        const GridRowView& r = view.gridRows[row];
        if (r.category || r.caption != item) continue;
        if (r.readOnly) return Fail(L"the item \"" + r.caption + L"\" is read-only");
        const auto it = std::find(r.choices.begin(), r.choices.end(), choice);
        if (it == r.choices.end()) return Fail(L"the item \"" + r.caption + L"\" has no choice \"" + std::wstring(choice) + L"\"");
        detail::GridSelect(grid, int(row));
        detail::GridChoose(grid, int(it - r.choices.begin()));
        return true;
    }
    return Fail(Name(grid) + L" shows no item \"" + std::wstring(item) + L"\"");
}

bool GridSelectRow(HWND grid, int row) {
    if (!GridReachable(grid)) return false;
    return detail::GridSelect(grid, row) || Fail(Name(grid) + L" has no row " + std::to_wstring(row));
}

bool GridToggleRow(HWND grid, int row) {
    if (!GridReachable(grid)) return false;
    return detail::GridToggle(grid, row) || Fail(Name(grid) + L" has no category at row " + std::to_wstring(row));
}

bool GridChooseIndex(HWND grid, int choice) {
    if (!GridReachable(grid)) return false;
    return detail::GridChoose(grid, choice) || Fail(Name(grid) + L": the selected row offers no choice " + std::to_wstring(choice));
}

bool ToggleItem(HWND control, int index) {
    if (!Reachable(control)) return false;
    int count = ItemCount(control);
    if (index < 0 || index >= count) return Fail(Name(control) + L" has no item " + std::to_wstring(index));
    DWORD style = DWORD(GetWindowLongPtr(control, GWL_STYLE));
    if (GetFocus() != control) SetFocus(control);
    if (KindOf(control) == ControlKind::ListView) {
        if (style & LVS_SINGLESEL) return Fail(Name(control) + L" allows one selected item only");
        UINT state = UINT(SendMessage(control, LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED));
        ListViewSetState(control, index, (state & LVIS_SELECTED) ? LVIS_FOCUSED : (LVIS_SELECTED | LVIS_FOCUSED),
                         LVIS_SELECTED | LVIS_FOCUSED);
    } else if (KindOf(control) == ControlKind::ListBox && (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))) {
        LRESULT selected = SendMessage(control, LB_GETSEL, WPARAM(index), 0);
        SendMessage(control, LB_SETSEL, selected ? FALSE : TRUE, index);
        if (style & LBS_NOTIFY) NotifyParent(control, LBN_SELCHANGE);
    } else {
        return Fail(Name(control) + L" has no multiple selection");
    }
    DispatchPosted();
    return true;
}

bool EditLabel(HWND control, int index, std::wstring_view text) {
    if (!Reachable(control)) return false;
    if (KindOf(control) != ControlKind::ListView || !(GetWindowLongPtr(control, GWL_STYLE) & LVS_EDITLABELS))
        return Fail(Name(control) + L" has no editable labels");
    int count = ItemCount(control);
    if (index < 0 || index >= count) return Fail(Name(control) + L" has no item " + std::to_wstring(index));
    if (GetFocus() != control) SetFocus(control);
    auto* s = StateOf<ListViewState>(control);
    if (s && s->editing != index) {
        if (s->editing >= 0) ListViewEndLabelEdit(control, s->editing, nullptr);
        if (!ListViewBeginLabelEdit(control, index)) {
            DispatchPosted();
            return Fail(Name(control) + L" refused to edit the label of item " + std::to_wstring(index));
        }
    }
    std::wstring label(text);
    ListViewEndLabelEdit(control, index, &label);
    DispatchPosted();
    return true;
}

bool Paste(std::wstring_view text) {
    HWND focus = GetFocus();
    if (!focus) return Fail(L"no window has the focus");
    if (!Reachable(focus)) return false;
    SetClipboardText(std::wstring(text));
    SendMessage(focus, WM_PASTE, 0, 0);
    DispatchPosted();
    return true;
}

bool ReplaceText(HWND control, std::wstring_view text) {
    if (!Reachable(control)) return false;
    ControlKind kind = KindOf(control);
    DWORD style = DWORD(GetWindowLongPtr(control, GWL_STYLE));
    if (kind == ControlKind::Edit) {
        if (style & ES_READONLY) return Fail(Name(control) + L" is read-only");
    } else if (kind == ControlKind::ComboBox || kind == ControlKind::ComboBoxEx) {
        if ((style & 3) == CBS_DROPDOWNLIST) return Fail(Name(control) + L" takes no typed text");
    } else {
        return Fail(Name(control) + L" takes no text");
    }
    if (GetFocus() != control) SetFocus(control);
    if (!IsWindow(control)) return true;
    if (kind == ControlKind::Edit)
        SendMessage(control, EM_SETSEL, 0, -1);
    else
        SendMessage(control, CB_SETEDITSEL, 0, MAKELPARAM(0, WORD(-1)));
    if (text.empty()) return PressKey(VK_DELETE);
    return TypeText(text);
}

bool Spin(HWND spin, int steps) {
    if (!Reachable(spin)) return false;
    if (KindOf(spin) != ControlKind::UpDown) return Fail(Name(spin) + L" is not a spin button");
    int one = steps > 0 ? 1 : -1;
    for (int i = 0; i != steps && IsWindow(spin); i += one) {
        UpDownStep(spin, one);
        DispatchPosted();
    }
    return true;
}

bool CloseWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return Fail(L"no such window");
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (!Reachable(root)) return false;
    Window* w = Find(root);
    if (!(w->style & WS_SYSMENU)) return Fail(Name(root) + L" has no Close command");
    if (!w->sysMenuCloseEnabled) return Fail(Name(root) + L" has its Close command disabled");
    SendMessage(root, WM_SYSCOMMAND, SC_CLOSE, 0);
    DispatchPosted();
    return true;
}

}  // namespace orv::win::input
