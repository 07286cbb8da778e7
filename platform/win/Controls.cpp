// The built-in controls: button, edit, static, combo box (plain and extended), list box,
// list view, tab control and up-down control, as window procedures over kernel state.

#include <algorithm>
#include <cwctype>

#include "platform/win/ControlState.h"
#include "platform/win/Driver.h"

namespace orv::win::detail {

namespace {

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = wchar_t(std::towlower(wint_t(c)));
    return s;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    return Lower(text.substr(0, prefix.size())) == Lower(prefix);
}

Window& W(HWND hwnd) { return Get(hwnd); }

template <class T>
T& Ensure(HWND hwnd) {
    Window& w = W(hwnd);
    if (!dynamic_cast<T*>(w.control.get())) w.control = std::make_unique<T>();
    return static_cast<T&>(*w.control);
}

ListItem MakeItem(LPARAM text) {
    ListItem item;
    item.text = text ? reinterpret_cast<LPCWSTR>(text) : L"";
    return item;
}

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

// ---- text editing shared by the edit control and editable combo boxes ----

struct EditTarget {
    HWND hwnd;
    TextEditing& e;
    std::wstring& text;
    DWORD style;
    UINT changeCode;   // EN_CHANGE or CBN_EDITCHANGE
    UINT updateCode;   // EN_UPDATE or CBN_EDITUPDATE
    UINT maxTextCode;  // EN_MAXTEXT or 0
    bool multiline;
};

void ClampSelection(EditTarget& t) {
    int n = int(t.text.size());
    t.e.anchor = Clamp(t.e.anchor, 0, n);
    t.e.caret = Clamp(t.e.caret, 0, n);
}

void Notify(EditTarget& t) {
    t.e.modified = true;
    Changed(t.hwnd, WindowChange::Text);
    NotifyParent(t.hwnd, t.updateCode);
    if (Find(t.hwnd)) NotifyParent(t.hwnd, t.changeCode);
}

// Replaces the selection by `insert` as typing or pasting does; false when nothing changed.
bool ReplaceSel(EditTarget& t, std::wstring insert) {
    ClampSelection(t);
    if (!t.multiline) {
        auto cut = insert.find_first_of(L"\r\n");
        if (cut != std::wstring::npos) insert.resize(cut);
    }
    if (t.style & ES_UPPERCASE)
        for (auto& c : insert) c = wchar_t(std::towupper(wint_t(c)));
    if (t.style & ES_LOWERCASE)
        for (auto& c : insert) c = wchar_t(std::towlower(wint_t(c)));
    int start = t.e.SelStart(), end = t.e.SelEnd();
    int room = t.e.limit - (int(t.text.size()) - (end - start));
    if (room < int(insert.size())) {
        insert.resize(size_t(std::max(0, room)));
        if (t.maxTextCode) NotifyParent(t.hwnd, t.maxTextCode);
        if (!Find(t.hwnd)) return false;
        if (insert.empty() && start == end) return false;
    }
    if (insert.empty() && start == end) return false;
    t.e.undo = t.text;
    t.text = t.text.substr(0, size_t(start)) + insert + t.text.substr(size_t(end));
    t.e.anchor = t.e.caret = start + int(insert.size());
    Notify(t);
    return true;
}

bool DeleteAt(EditTarget& t, bool backwards) {
    ClampSelection(t);
    if (t.e.anchor == t.e.caret) {
        if (backwards) {
            if (t.e.caret == 0) return false;
            t.e.anchor = t.e.caret - 1;
        } else {
            if (t.e.caret >= int(t.text.size())) return false;
            t.e.anchor = t.e.caret + 1;
        }
    }
    int start = t.e.SelStart(), end = t.e.SelEnd();
    t.e.undo = t.text;
    t.text.erase(size_t(start), size_t(end - start));
    t.e.anchor = t.e.caret = start;
    Notify(t);
    return true;
}

void MoveCaret(EditTarget& t, int to, bool extend) {
    ClampSelection(t);
    t.e.caret = Clamp(to, 0, int(t.text.size()));
    if (!extend) t.e.anchor = t.e.caret;
    Changed(t.hwnd, WindowChange::State);
}

// WM_CHAR, WM_KEYDOWN, WM_PASTE, selection and limit messages; true when handled.
bool EditMessage(EditTarget& t, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const bool readOnly = (t.style & ES_READONLY) != 0;
    result = 0;
    switch (message) {
    case WM_CHAR: {
        wchar_t ch = wchar_t(wParam);
        if (ch == 22) return SendMessage(t.hwnd, WM_PASTE, 0, 0), true;
        if (ch == 3) return SendMessage(t.hwnd, WM_COPY, 0, 0), true;
        if (ch == 24) return SendMessage(t.hwnd, WM_CUT, 0, 0), true;
        if (ch == 1) {
            t.e.anchor = 0;
            t.e.caret = int(t.text.size());
            return true;
        }
        if (readOnly) return true;
        if (ch == 8) {
            DeleteAt(t, true);
            return true;
        }
        if (ch == L'\r' || ch == L'\n') {
            if (t.multiline) ReplaceSel(t, L"\r\n");
            return true;
        }
        if (ch == L'\t' && !t.multiline) return true;
        if (ch < 32 && ch != L'\t') return true;
        if ((t.style & ES_NUMBER) && !(ch >= L'0' && ch <= L'9')) {
            orv::win::RefuseCharacter(t.hwnd, ch);
            return true;
        }
        ReplaceSel(t, std::wstring(1, ch));
        return true;
    }
    case WM_KEYDOWN: {
        bool shift = GetKeyState(VK_SHIFT) < 0;
        (void)lParam;
        switch (wParam) {
        case VK_LEFT: MoveCaret(t, t.e.caret - 1, shift); return true;
        case VK_RIGHT: MoveCaret(t, t.e.caret + 1, shift); return true;
        case VK_HOME: MoveCaret(t, 0, shift); return true;
        case VK_END: MoveCaret(t, int(t.text.size()), shift); return true;
        case VK_DELETE:
            if (!readOnly) DeleteAt(t, false);
            return true;
        default: return false;
        }
    }
    case WM_PASTE:
        if (!readOnly) ReplaceSel(t, Clipboard());
        return true;
    case WM_COPY:
    case WM_CUT:
    case WM_CLEAR: {
        ClampSelection(t);
        int s = t.e.SelStart(), e = t.e.SelEnd();
        if (message != WM_CLEAR && e > s) Clipboard() = t.text.substr(size_t(s), size_t(e - s));
        if (message != WM_COPY && !readOnly && e > s) ReplaceSel(t, L"");
        return true;
    }
    case WM_UNDO:
    case EM_UNDO: {
        if (readOnly) return true;
        std::swap(t.text, t.e.undo);
        t.e.anchor = t.e.caret = int(t.text.size());
        Notify(t);
        result = TRUE;
        return true;
    }
    default: return false;
    }
}

// ---- edit ----

LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window& w = W(hwnd);
    auto& s = Ensure<EditState>(hwnd);
    EditTarget t{hwnd, s.edit, w.text, w.style, EN_CHANGE, EN_UPDATE, EN_MAXTEXT, (w.style & ES_MULTILINE) != 0};
    LRESULT r = 0;
    if (message != WM_KEYDOWN || true)
        if (EditMessage(t, message, wParam, lParam, r)) return r;
    switch (message) {
    case WM_CREATE:
        if (w.style & ES_MULTILINE) s.edit.limit = 30000;
        return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if ((w.style & ES_MULTILINE) && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
            (w.style & ES_WANTRETURN))
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_SETTEXT: {
        w.text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        s.edit.anchor = s.edit.caret = 0;
        s.edit.modified = false;
        Changed(hwnd, WindowChange::Text);
        // The framework's single-line edit reports a changed text also when it is set.
        if (!(w.style & ES_MULTILINE)) {
            NotifyParent(hwnd, EN_UPDATE);
            if (Find(hwnd)) NotifyParent(hwnd, EN_CHANGE);
        }
        return TRUE;
    }
    case WM_SETFOCUS:
        NotifyParent(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        NotifyParent(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
        if (GetFocus() != hwnd) SetFocus(hwnd);
        return 0;
    case EM_GETSEL: {
        int a = s.edit.SelStart(), b = s.edit.SelEnd();
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = DWORD(a);
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = DWORD(b);
        return LRESULT(MAKELONG(WORD(std::min(a, 0xFFFF)), WORD(std::min(b, 0xFFFF))));
    }
    case EM_SETSEL: {
        int n = int(w.text.size());
        int a = int(INT_PTR(wParam)), b = int(lParam);
        if (a == -1) {
            s.edit.anchor = s.edit.caret = s.edit.caret;
        } else {
            if (b < 0 || b > n) b = n;
            if (a < 0 || a > n) a = n;
            s.edit.anchor = a;
            s.edit.caret = b;
        }
        Changed(hwnd, WindowChange::State);
        return 0;
    }
    case EM_REPLACESEL:
        ReplaceSel(t, lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"");
        return 0;
    case EM_LIMITTEXT:
        s.edit.limit = wParam ? int(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE;
        return 0;
    case EM_GETLIMITTEXT:
        return s.edit.limit;
    case EM_GETMODIFY:
        return s.edit.modified ? TRUE : FALSE;
    case EM_SETMODIFY:
        s.edit.modified = wParam != 0;
        return 0;
    case EM_SETREADONLY:
        if (wParam)
            w.style |= ES_READONLY;
        else
            w.style &= ~ES_READONLY;
        Changed(hwnd, WindowChange::Style);
        return TRUE;
    case EM_GETLINECOUNT:
        return LRESULT(1 + std::count(w.text.begin(), w.text.end(), L'\n'));
    case EM_POSFROMCHAR: {
        int index = Clamp(int(wParam), 0, int(w.text.size()));
        int line = 0, column = 0;
        for (int i = 0; i < index; ++i) {
            if (w.text[size_t(i)] == L'\n') {
                ++line;
                column = 0;
            } else if (w.text[size_t(i)] != L'\r') {
                ++column;
            }
        }
        return LRESULT(MAKELONG(WORD(1 + 6 * column), WORD(1 + 13 * line)));
    }
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// ---- button ----

UINT TypeOf(const Window& w) { return w.style & BS_TYPEMASK; }
bool IsRadio(UINT type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }
bool IsCheck(UINT type) { return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE; }

void UncheckOthersInGroup(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    HWND start = hwnd;
    for (HWND c = GetNextDlgGroupItem(parent, start, FALSE); c && c != start; c = GetNextDlgGroupItem(parent, c, FALSE)) {
        Window* cw = Find(c);
        if (cw && GetClassNameString(c) == L"Button" && TypeOf(*cw) == BS_AUTORADIOBUTTON)
            SendMessage(c, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window& w = W(hwnd);
    auto& s = Ensure<ButtonState>(hwnd);
    UINT type = TypeOf(w);
    switch (message) {
    case WM_GETDLGCODE:
        if (type == BS_GROUPBOX) return DLGC_STATIC;
        if (IsRadio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
        if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (type == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        return DLGC_BUTTON;
    case BM_GETCHECK:
        return IsRadio(type) || IsCheck(type) ? s.check : 0;
    case BM_SETCHECK: {
        int value = int(wParam);
        int max = (type == BS_3STATE || type == BS_AUTO3STATE) ? BST_INDETERMINATE : BST_CHECKED;
        if (!IsRadio(type) && !IsCheck(type)) return 0;
        if (value > max) value = max;
        if (value < 0) value = 0;
        if (s.check != value) {
            s.check = value;
            Changed(hwnd, WindowChange::State);
        }
        // A checked radio button is the tab stop of its group.
        if (IsRadio(type)) {
            if (value)
                w.style |= WS_TABSTOP;
            else
                w.style &= ~WS_TABSTOP;
        }
        return 0;
    }
    case BM_GETSTATE:
        return s.check | (s.pushed ? BST_PUSHED : 0) | (GetFocus() == hwnd ? BST_FOCUS : 0);
    case BM_SETSTATE:
        s.pushed = wParam != 0;
        return 0;
    case BM_SETSTYLE:
        w.style = (w.style & ~0xFFFFu) | DWORD(wParam & 0xFFFF);
        Changed(hwnd, WindowChange::Style);
        return 0;
    case BM_SETIMAGE: {
        UINT_PTR old = s.image;
        s.image = UINT_PTR(lParam);
        return LRESULT(old);
    }
    case BM_GETIMAGE:
        return LRESULT(s.image);
    case BM_CLICK:
        SendMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        if (Find(hwnd)) SendMessage(hwnd, WM_LBUTTONUP, 0, 0);
        return 0;
    case WM_LBUTTONDOWN:
        if (type != BS_GROUPBOX && GetFocus() != hwnd) SetFocus(hwnd);
        if (!Find(hwnd)) return 0;
        Ensure<ButtonState>(hwnd).pushed = true;
        return 0;
    case WM_LBUTTONUP:
        if (!s.pushed) return 0;
        s.pushed = false;
        ButtonClick(hwnd);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) s.pushed = true;
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && s.pushed) {
            s.pushed = false;
            ButtonClick(hwnd);
        }
        return 0;
    case WM_SETFOCUS:
        if (w.style & BS_NOTIFY) NotifyParent(hwnd, BN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s.pushed = false;
        if (w.style & BS_NOTIFY) NotifyParent(hwnd, BN_KILLFOCUS);
        return 0;
    case WM_SETTEXT:
        DefWindowProc(hwnd, message, wParam, lParam);
        return TRUE;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// ---- static ----

LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window& w = W(hwnd);
    auto& s = Ensure<StaticState>(hwnd);
    switch (message) {
    case WM_GETDLGCODE: return DLGC_STATIC;
    case STM_SETICON:
    case STM_SETIMAGE: {
        UINT_PTR old = s.image;
        s.image = message == STM_SETICON ? UINT_PTR(wParam) : UINT_PTR(lParam);
        s.imageType = message == STM_SETICON ? IMAGE_ICON : UINT(wParam);
        Changed(hwnd, WindowChange::Redraw);
        return LRESULT(old);
    }
    case STM_GETICON:
    case STM_GETIMAGE: return LRESULT(s.image);
    case WM_LBUTTONUP:
        if (w.style & SS_NOTIFY) NotifyParent(hwnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (w.style & SS_NOTIFY) NotifyParent(hwnd, STN_DBLCLK);
        return 0;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// ---- combo box, extended combo box, list box ----

bool IsComboEx(const Window& w) { return w.className == L"ComboBoxEx32"; }
bool IsCombo(const Window& w) { return w.className == L"ComboBox" || IsComboEx(w); }
bool Editable(const Window& w) { return IsCombo(w) && (w.style & 3) != CBS_DROPDOWNLIST; }
bool Sorted(const Window& w) { return IsCombo(w) ? (w.style & CBS_SORT) != 0 : (w.style & LBS_SORT) != 0; }
bool MultiSel(const Window& w) { return !IsCombo(w) && (w.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }

int Insert(Window& w, ListState& s, int index, ListItem item) {
    int n = int(s.items.size());
    if (Sorted(w) && index < 0) {
        auto key = Lower(item.text);
        index = 0;
        while (index < n && Lower(s.items[size_t(index)].text) <= key) ++index;
    } else if (index < 0 || index > n) {
        if (index > n) return IsCombo(w) ? CB_ERR : LB_ERR;
        index = n;
    }
    s.items.insert(s.items.begin() + index, std::move(item));
    if (s.current >= index) ++s.current;
    Changed(w.handle, WindowChange::State);
    return index;
}

void SetComboText(Window& w, ListState& s) {
    std::wstring text = s.current >= 0 && s.current < int(s.items.size()) ? s.items[size_t(s.current)].text : L"";
    if (w.text != text) {
        w.text = text;
        Changed(w.handle, WindowChange::Text);
    }
    s.edit.anchor = 0;
    s.edit.caret = int(text.size());
}

int FindString(const ListState& s, int after, const std::wstring& text, bool exact) {
    int n = int(s.items.size());
    if (n == 0) return -1;
    int start = (after < -1 || after >= n) ? 0 : after + 1;
    for (int k = 0; k < n; ++k) {
        int i = (start + k) % n;
        const auto& t = s.items[size_t(i)].text;
        if (exact ? Lower(t) == Lower(text) : StartsWithNoCase(t, text)) return i;
    }
    return -1;
}

LRESULT CopyText(const std::wstring& text, LPARAM buffer) {
    if (!buffer) return LRESULT(text.size());
    auto* out = reinterpret_cast<LPWSTR>(buffer);
    std::copy(text.begin(), text.end(), out);
    out[text.size()] = 0;
    return LRESULT(text.size());
}

LRESULT ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window& w = W(hwnd);
    auto& s = Ensure<ListState>(hwnd);
    const bool combo = IsCombo(w);
    const LRESULT err = combo ? CB_ERR : LB_ERR;
    int n = int(s.items.size());
    auto valid = [&](WPARAM i) { return INT_PTR(i) >= 0 && INT_PTR(i) < n; };

    if (combo && Editable(w)) {
        EditTarget t{hwnd, s.edit, w.text, (w.style & CBS_AUTOHSCROLL) ? 0u : 0u, CBN_EDITCHANGE, CBN_EDITUPDATE, 0, false};
        LRESULT r = 0;
        if (message == WM_CHAR || message == WM_PASTE || message == WM_CUT || message == WM_COPY || message == WM_CLEAR ||
            (message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_HOME ||
                                       wParam == VK_END || wParam == VK_DELETE)))
            if (EditMessage(t, message, wParam, lParam, r)) return r;
    }

    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (combo && Editable(w) ? DLGC_HASSETSEL : 0);
    case WM_SETFOCUS:
        NotifyParent(hwnd, combo ? CBN_SETFOCUS : LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (s.dropped) {
            s.dropped = false;
            NotifyParent(hwnd, CBN_CLOSEUP);
        }
        if (Find(hwnd)) NotifyParent(hwnd, combo ? CBN_KILLFOCUS : LBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
        if (GetFocus() != hwnd) SetFocus(hwnd);
        return 0;
    case WM_SETTEXT:
        if (combo) {
            w.text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
            if (!Editable(w)) {
                // A drop-down list shows only its items: the text selects the matching one.
                int i = FindString(s, -1, w.text, true);
                s.current = i;
                SetComboText(w, s);
                return i >= 0 ? TRUE : CB_ERR;
            }
            s.edit.anchor = s.edit.caret = 0;
            Changed(hwnd, WindowChange::Text);
            return TRUE;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_KEYDOWN: {
        int next = s.current;
        switch (wParam) {
        case VK_UP:
        case VK_LEFT: next = s.current <= 0 ? 0 : s.current - 1; break;
        case VK_DOWN:
        case VK_RIGHT: next = std::min(n - 1, s.current + 1); break;
        case VK_HOME: next = 0; break;
        case VK_END: next = n - 1; break;
        default: return 0;
        }
        if (n > 0 && next != s.current) ListPick(hwnd, next);
        return 0;
    }
    case WM_CHAR: {
        if (n == 0 || wParam < 32) return 0;
        int i = FindString(s, s.current, std::wstring(1, wchar_t(wParam)), false);
        if (i >= 0 && i != s.current) ListPick(hwnd, i);
        return 0;
    }
    // Combo box messages.
    case CB_ADDSTRING:
    case LB_ADDSTRING:
        return Insert(w, s, -1, MakeItem(lParam));
    case CB_INSERTSTRING:
    case LB_INSERTSTRING: {
        int index = int(INT_PTR(wParam));
        if (index < 0) index = n;  // -1 appends, without sorting
        ListItem item = MakeItem(lParam);
        if (index > n) return err;
        s.items.insert(s.items.begin() + index, std::move(item));
        if (s.current >= index) ++s.current;
        Changed(hwnd, WindowChange::State);
        return index;
    }
    case CB_DELETESTRING:
    case LB_DELETESTRING:
        if (!valid(wParam)) return err;
        s.items.erase(s.items.begin() + INT_PTR(wParam));
        if (s.current == int(wParam)) {
            s.current = -1;
            if (combo && !Editable(w)) SetComboText(w, s);
        } else if (s.current > int(wParam)) {
            --s.current;
        }
        Changed(hwnd, WindowChange::State);
        return LRESULT(s.items.size());
    case CB_RESETCONTENT:
    case LB_RESETCONTENT:
        s.items.clear();
        s.current = -1;
        if (combo) SetComboText(w, s);
        Changed(hwnd, WindowChange::State);
        return combo ? CB_OKAY : 0;
    case CB_GETCOUNT:
    case LB_GETCOUNT:
        return n;
    case CB_GETCURSEL:
    case LB_GETCURSEL:
        return s.current;
    case CB_SETCURSEL:
    case LB_SETCURSEL: {
        int i = int(INT_PTR(wParam));
        if (!valid(wParam)) i = -1;
        s.current = i;
        if (MultiSel(w)) return err;
        for (int k = 0; k < n; ++k) s.items[size_t(k)].selected = k == i;
        if (combo) SetComboText(w, s);
        Changed(hwnd, WindowChange::State);
        return i < 0 ? err : i;
    }
    case CB_GETLBTEXT:
    case LB_GETTEXT:
        if (!valid(wParam)) return err;
        return CopyText(s.items[size_t(wParam)].text, lParam);
    case CB_GETLBTEXTLEN:
    case LB_GETTEXTLEN:
        if (!valid(wParam)) return err;
        return LRESULT(s.items[size_t(wParam)].text.size());
    case CB_GETITEMDATA:
    case LB_GETITEMDATA:
        if (!valid(wParam)) return err;
        return LRESULT(s.items[size_t(wParam)].data);
    case CB_SETITEMDATA:
    case LB_SETITEMDATA:
        if (!valid(wParam)) return err;
        s.items[size_t(wParam)].data = DWORD_PTR(lParam);
        return 0;
    case CB_FINDSTRING:
    case LB_FINDSTRING:
        return FindString(s, int(INT_PTR(wParam)), lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"", false);
    case CB_FINDSTRINGEXACT:
    case LB_FINDSTRINGEXACT:
        return FindString(s, int(INT_PTR(wParam)), lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"", true);
    case CB_SELECTSTRING:
    case LB_SELECTSTRING: {
        int i = FindString(s, int(INT_PTR(wParam)), lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"", false);
        if (i < 0) return err;
        return SendMessage(hwnd, combo ? CB_SETCURSEL : LB_SETCURSEL, WPARAM(i), 0);
    }
    case CB_LIMITTEXT:
        s.edit.limit = wParam ? int(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE;
        return TRUE;
    case CB_GETEDITSEL: {
        int a = s.edit.SelStart(), b = s.edit.SelEnd();
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = DWORD(a);
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = DWORD(b);
        return LRESULT(MAKELONG(WORD(a), WORD(b)));
    }
    case CB_SETEDITSEL: {
        if (!Editable(w)) return CB_ERR;
        int len = int(w.text.size());
        int a = SHORT(LOWORD(DWORD(lParam))), b = SHORT(HIWORD(DWORD(lParam)));
        if (a == -1) {
            s.edit.anchor = s.edit.caret;
        } else {
            s.edit.anchor = Clamp(a, 0, len);
            s.edit.caret = b < 0 ? len : Clamp(b, 0, len);
        }
        return TRUE;
    }
    case CB_SHOWDROPDOWN:
        if (bool(wParam) != s.dropped) {
            s.dropped = wParam != 0;
            NotifyParent(hwnd, s.dropped ? CBN_DROPDOWN : CBN_CLOSEUP);
        }
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s.dropped ? TRUE : FALSE;
    // List box selection of several items.
    case LB_SETSEL: {
        if (!MultiSel(w)) return LB_ERR;
        int i = int(lParam);
        if (i == -1) {
            for (auto& item : s.items) item.selected = wParam != 0;
        } else if (i >= 0 && i < n) {
            s.items[size_t(i)].selected = wParam != 0;
            s.current = i;
        } else {
            return LB_ERR;
        }
        Changed(hwnd, WindowChange::State);
        return 0;
    }
    case LB_GETSEL:
        if (!valid(wParam)) return LB_ERR;
        return MultiSel(w) ? (s.items[size_t(wParam)].selected ? 1 : 0) : (int(wParam) == s.current ? 1 : 0);
    case LB_GETSELCOUNT: {
        if (!MultiSel(w)) return LB_ERR;
        return LRESULT(std::count_if(s.items.begin(), s.items.end(), [](const ListItem& i) { return i.selected; }));
    }
    case LB_GETSELITEMS: {
        if (!MultiSel(w)) return LB_ERR;
        auto* out = reinterpret_cast<int*>(lParam);
        int count = 0;
        for (int i = 0; i < n && count < int(wParam); ++i)
            if (s.items[size_t(i)].selected) out[count++] = i;
        return count;
    }
    // Extended combo box.
    case CBEM_SETIMAGELIST: {
        HIMAGELIST old = s.imageList;
        s.imageList = reinterpret_cast<HIMAGELIST>(lParam);
        return LRESULT(old);
    }
    case CBEM_GETIMAGELIST:
        return LRESULT(s.imageList);
    case CBEM_GETCOMBOCONTROL:
        return LRESULT(hwnd);
    case CBEM_GETEDITCONTROL:
        return 0;
    case CBEM_INSERTITEM:
    case CBEM_SETITEM: {
        auto* item = reinterpret_cast<COMBOBOXEXITEM*>(lParam);
        if (!item) return -1;
        ListItem li;
        int index = int(item->iItem);
        if (message == CBEM_SETITEM) {
            if (index == -1) index = s.current;
            if (index < 0 || index >= n) return 0;
            li = s.items[size_t(index)];
        }
        if (item->mask & CBEIF_TEXT) li.text = item->pszText ? item->pszText : L"";
        if (item->mask & CBEIF_IMAGE) li.image = item->iImage;
        if (item->mask & CBEIF_SELECTEDIMAGE) li.selectedImage = item->iSelectedImage;
        if (item->mask & CBEIF_OVERLAY) li.overlay = item->iOverlay;
        if (item->mask & CBEIF_INDENT) li.indent = item->iIndent;
        if (item->mask & CBEIF_LPARAM) li.data = DWORD_PTR(item->lParam);
        if (message == CBEM_SETITEM) {
            s.items[size_t(index)] = li;
            if (index == s.current) SetComboText(w, s);
            Changed(hwnd, WindowChange::State);
            return TRUE;
        }
        if (index < 0 || index > n) index = n;
        s.items.insert(s.items.begin() + index, li);
        if (s.current >= index) ++s.current;
        Changed(hwnd, WindowChange::State);
        return index;
    }
    case CBEM_GETITEM: {
        auto* item = reinterpret_cast<COMBOBOXEXITEM*>(lParam);
        if (!item) return FALSE;
        int index = int(item->iItem) == -1 ? s.current : int(item->iItem);
        if (index < 0 || index >= n) return FALSE;
        const auto& li = s.items[size_t(index)];
        if ((item->mask & CBEIF_TEXT) && item->pszText && item->cchTextMax > 0) {
            size_t k = std::min(li.text.size(), size_t(item->cchTextMax - 1));
            std::copy_n(li.text.begin(), k, item->pszText);
            item->pszText[k] = 0;
        }
        if (item->mask & CBEIF_IMAGE) item->iImage = li.image;
        if (item->mask & CBEIF_SELECTEDIMAGE) item->iSelectedImage = li.selectedImage;
        if (item->mask & CBEIF_OVERLAY) item->iOverlay = li.overlay;
        if (item->mask & CBEIF_INDENT) item->iIndent = li.indent;
        if (item->mask & CBEIF_LPARAM) item->lParam = LPARAM(li.data);
        return TRUE;
    }
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// ---- list view ----

LRESULT NotifyListView(HWND hwnd, UINT code, int item, UINT newState, UINT oldState, UINT changed, LPARAM data) {
    NMLISTVIEW nm;
    nm.iItem = item;
    nm.uNewState = newState;
    nm.uOldState = oldState;
    nm.uChanged = changed;
    nm.lParam = data;
    return NotifyParent(hwnd, nm.hdr, code);
}

void CopyOut(const std::wstring& text, LPWSTR buffer, int max) {
    if (!buffer || max <= 0) return;
    size_t k = std::min(text.size(), size_t(max - 1));
    std::copy_n(text.begin(), k, buffer);
    buffer[k] = 0;
}

std::wstring& SubText(ListItem& item, int sub) {
    if (sub <= 0) return item.text;
    if (int(item.subItems.size()) < sub) item.subItems.resize(size_t(sub));
    return item.subItems[size_t(sub - 1)];
}

}  // namespace

void ListViewSetState(HWND hwnd, int index, UINT state, UINT mask) {
    auto* s = StateOf<ListViewState>(hwnd);
    if (!s) return;
    Window& w = W(hwnd);
    const bool single = (w.style & LVS_SINGLESEL) != 0;
    auto apply = [&](int i, UINT st, UINT m) {
        if (!Find(hwnd)) return;
        s = StateOf<ListViewState>(hwnd);
        if (i < 0 || i >= int(s->items.size())) return;
        UINT old = s->items[size_t(i)].state;
        UINT now = (old & ~m) | (st & m);
        if (now == old) return;
        if (NotifyListView(hwnd, LVN_ITEMCHANGING, i, now, old, LVIF_STATE, LPARAM(s->items[size_t(i)].data))) return;
        if (!Find(hwnd)) return;
        s = StateOf<ListViewState>(hwnd);
        if (i >= int(s->items.size())) return;
        s->items[size_t(i)].state = now;
        s->items[size_t(i)].selected = (now & LVIS_SELECTED) != 0;
        if (now & LVIS_FOCUSED) s->focused = i;
        Changed(hwnd, WindowChange::State);
        NotifyListView(hwnd, LVN_ITEMCHANGED, i, now, old, LVIF_STATE, LPARAM(s->items[size_t(i)].data));
    };
    if (index == -1) {
        for (int i = 0; s && i < int(s->items.size()); ++i) apply(i, state, mask);
        return;
    }
    // Selecting in a single-selection view (and focusing anywhere) clears the others first.
    if ((mask & LVIS_SELECTED) && (state & LVIS_SELECTED) && single)
        for (int i = 0; s && i < int(s->items.size()); ++i)
            if (i != index) apply(i, 0, LVIS_SELECTED);
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        for (int i = 0; s && i < int(s->items.size()); ++i)
            if (i != index) apply(i, 0, LVIS_FOCUSED);
    apply(index, state, mask);
}

bool ListViewBeginLabelEdit(HWND hwnd, int index) {
    auto* s = StateOf<ListViewState>(hwnd);
    if (!s || index < 0 || index >= int(s->items.size())) return false;
    NMLVDISPINFO info;
    info.item.iItem = index;
    info.item.mask = LVIF_TEXT | LVIF_PARAM;
    info.item.pszText = s->items[size_t(index)].text.data();
    info.item.lParam = LPARAM(s->items[size_t(index)].data);
    if (NotifyParent(hwnd, info.hdr, LVN_BEGINLABELEDIT)) return false;
    if ((s = StateOf<ListViewState>(hwnd))) s->editing = index;
    return s != nullptr;
}

bool ListViewEndLabelEdit(HWND hwnd, int index, const std::wstring* text) {
    auto* s = StateOf<ListViewState>(hwnd);
    if (!s || index < 0 || index >= int(s->items.size())) return false;
    s->editing = -1;
    NMLVDISPINFO info;
    info.item.iItem = index;
    info.item.mask = LVIF_TEXT | LVIF_PARAM;
    std::wstring copy = text ? *text : L"";
    info.item.pszText = text ? copy.data() : nullptr;
    info.item.cchTextMax = int(copy.size() + 1);
    info.item.lParam = LPARAM(s->items[size_t(index)].data);
    LRESULT accepted = NotifyParent(hwnd, info.hdr, LVN_ENDLABELEDIT);
    if (!(s = StateOf<ListViewState>(hwnd))) return false;
    if (text && accepted && index < int(s->items.size())) {
        s->items[size_t(index)].text = *text;
        Changed(hwnd, WindowChange::State);
        return true;
    }
    return false;
}

namespace {

LRESULT ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window& w = W(hwnd);
    auto& s = Ensure<ListViewState>(hwnd);
    int n = int(s.items.size());
    switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: {
        NMHDR h;
        NotifyParent(hwnd, h, NM_SETFOCUS);
        return 0;
    }
    case WM_KILLFOCUS: {
        NMHDR h;
        NotifyParent(hwnd, h, NM_KILLFOCUS);
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (GetFocus() != hwnd) SetFocus(hwnd);
        return 0;
    case WM_KEYDOWN: {
        int next = s.focused;
        if (wParam == VK_UP) next = std::max(0, s.focused - 1);
        else if (wParam == VK_DOWN) next = std::min(n - 1, s.focused + 1);
        else if (wParam == VK_HOME) next = 0;
        else if (wParam == VK_END) next = n - 1;
        else if (wParam == VK_F2 && (w.style & LVS_EDITLABELS) && s.focused >= 0) {
            ListViewBeginLabelEdit(hwnd, s.focused);
            return 0;
        } else
            return 0;
        if (n > 0 && next >= 0) {
            ListViewSetState(hwnd, -1, 0, LVIS_SELECTED);
            ListViewSetState(hwnd, next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
        return 0;
    }
    case LVM_GETITEMCOUNT: return n;
    case LVM_INSERTITEM: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        if (!item || item->iSubItem != 0) return -1;
        ListItem li;
        if (item->mask & LVIF_TEXT) li.text = item->pszText ? item->pszText : L"";
        if (item->mask & LVIF_PARAM) li.data = DWORD_PTR(item->lParam);
        if (item->mask & LVIF_IMAGE) li.image = item->iImage;
        if (item->mask & LVIF_STATE) li.state = item->state & item->stateMask;
        li.selected = (li.state & LVIS_SELECTED) != 0;
        int index = item->iItem;
        if (w.style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
            index = 0;
            auto key = Lower(li.text);
            bool asc = (w.style & LVS_SORTASCENDING) != 0;
            while (index < n && (asc ? Lower(s.items[size_t(index)].text) <= key : Lower(s.items[size_t(index)].text) >= key))
                ++index;
        }
        if (index < 0 || index > n) index = n;
        s.items.insert(s.items.begin() + index, std::move(li));
        if (s.focused >= index) ++s.focused;
        if (s.editing >= index) ++s.editing;
        Changed(hwnd, WindowChange::State);
        NotifyListView(hwnd, LVN_INSERTITEM, index, 0, 0, 0, 0);
        return index;
    }
    case LVM_DELETEITEM: {
        int i = int(wParam);
        if (i < 0 || i >= n) return FALSE;
        NotifyListView(hwnd, LVN_DELETEITEM, i, 0, 0, 0, LPARAM(s.items[size_t(i)].data));
        auto* st = StateOf<ListViewState>(hwnd);
        if (!st || i >= int(st->items.size())) return FALSE;
        st->items.erase(st->items.begin() + i);
        if (st->focused == i) st->focused = -1;
        else if (st->focused > i) --st->focused;
        Changed(hwnd, WindowChange::State);
        return TRUE;
    }
    case LVM_DELETEALLITEMS: {
        if (!NotifyListView(hwnd, LVN_DELETEALLITEMS, -1, 0, 0, 0, 0)) {
            for (int i = 0; i < n; ++i)
                if (auto* st = StateOf<ListViewState>(hwnd); st && i < int(st->items.size()))
                    NotifyListView(hwnd, LVN_DELETEITEM, i, 0, 0, 0, LPARAM(st->items[size_t(i)].data));
        }
        if (auto* st = StateOf<ListViewState>(hwnd)) {
            st->items.clear();
            st->focused = st->editing = -1;
        }
        Changed(hwnd, WindowChange::State);
        return TRUE;
    }
    case LVM_GETITEM: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        if (!item || item->iItem < 0 || item->iItem >= n) return FALSE;
        auto& li = s.items[size_t(item->iItem)];
        if (item->mask & LVIF_TEXT) CopyOut(SubText(li, item->iSubItem), item->pszText, item->cchTextMax);
        if (item->mask & LVIF_PARAM) item->lParam = LPARAM(li.data);
        if (item->mask & LVIF_IMAGE) item->iImage = li.image;
        if (item->mask & LVIF_STATE) item->state = li.state & item->stateMask;
        return TRUE;
    }
    case LVM_SETITEM: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        if (!item || item->iItem < 0 || item->iItem >= n) return FALSE;
        auto& li = s.items[size_t(item->iItem)];
        if (item->mask & LVIF_TEXT) SubText(li, item->iSubItem) = item->pszText ? item->pszText : L"";
        if (item->mask & LVIF_PARAM) li.data = DWORD_PTR(item->lParam);
        if (item->mask & LVIF_IMAGE) li.image = item->iImage;
        Changed(hwnd, WindowChange::State);
        if (item->mask & LVIF_STATE) ListViewSetState(hwnd, item->iItem, item->state, item->stateMask);
        return TRUE;
    }
    case LVM_GETITEMTEXT: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        if (!item || int(wParam) < 0 || int(wParam) >= n) return 0;
        const auto& text = SubText(s.items[size_t(wParam)], item->iSubItem);
        CopyOut(text, item->pszText, item->cchTextMax);
        return LRESULT(std::min(text.size(), size_t(std::max(0, item->cchTextMax - 1))));
    }
    case LVM_SETITEMTEXT: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        if (!item || int(wParam) < 0 || int(wParam) >= n) return FALSE;
        SubText(s.items[size_t(wParam)], item->iSubItem) = item->pszText ? item->pszText : L"";
        Changed(hwnd, WindowChange::State);
        return TRUE;
    }
    case LVM_SETITEMSTATE: {
        auto* item = reinterpret_cast<LVITEM*>(lParam);
        if (!item) return FALSE;
        int i = int(INT_PTR(wParam));
        if (i != -1 && (i < 0 || i >= n)) return FALSE;
        // Setting state from code does not clear the other items, unlike a person's click.
        auto* st = &s;
        auto apply = [&](int k) {
            UINT old = st->items[size_t(k)].state;
            UINT now = (old & ~item->stateMask) | (item->state & item->stateMask);
            if (now == old) return;
            if (NotifyListView(hwnd, LVN_ITEMCHANGING, k, now, old, LVIF_STATE, LPARAM(st->items[size_t(k)].data))) return;
            st = StateOf<ListViewState>(hwnd);
            if (!st || k >= int(st->items.size())) return;
            st->items[size_t(k)].state = now;
            st->items[size_t(k)].selected = (now & LVIS_SELECTED) != 0;
            if (now & LVIS_FOCUSED) st->focused = k;
            Changed(hwnd, WindowChange::State);
            NotifyListView(hwnd, LVN_ITEMCHANGED, k, now, old, LVIF_STATE, LPARAM(st->items[size_t(k)].data));
            st = StateOf<ListViewState>(hwnd);
        };
        if (i == -1) {
            for (int k = 0; st && k < int(st->items.size()); ++k) apply(k);
        } else {
            apply(i);
        }
        return TRUE;
    }
    case LVM_GETITEMSTATE:
        if (int(wParam) < 0 || int(wParam) >= n) return 0;
        return LRESULT(s.items[size_t(wParam)].state & UINT(lParam));
    case LVM_GETSELECTEDCOUNT:
        return LRESULT(std::count_if(s.items.begin(), s.items.end(), [](const ListItem& i) { return i.selected; }));
    case LVM_GETNEXTITEM: {
        int start = int(INT_PTR(wParam));
        UINT flags = UINT(lParam) & 0xFF;
        for (int i = start + 1; i < n; ++i) {
            UINT st = s.items[size_t(i)].state;
            if ((flags & LVNI_SELECTED) && !(st & LVIS_SELECTED)) continue;
            if ((flags & LVNI_FOCUSED) && !(st & LVIS_FOCUSED)) continue;
            return i;
        }
        return -1;
    }
    case LVM_FINDITEM: {
        auto* find = reinterpret_cast<LVFINDINFO*>(lParam);
        if (!find) return -1;
        for (int i = int(INT_PTR(wParam)) + 1; i < n; ++i) {
            const auto& li = s.items[size_t(i)];
            if ((find->flags & LVFI_PARAM) && LPARAM(li.data) == find->lParam) return i;
            if ((find->flags & LVFI_STRING) && find->psz) {
                std::wstring key = find->psz;
                if ((find->flags & LVFI_PARTIAL) ? StartsWithNoCase(li.text, key) : Lower(li.text) == Lower(key)) return i;
            }
        }
        return -1;
    }
    case LVM_INSERTCOLUMN: {
        auto* col = reinterpret_cast<LVCOLUMN*>(lParam);
        if (!col) return -1;
        ListColumn c;
        if (col->mask & LVCF_TEXT) c.text = col->pszText ? col->pszText : L"";
        if (col->mask & LVCF_WIDTH) c.width = col->cx;
        if (col->mask & LVCF_FMT) c.format = col->fmt;
        int index = int(wParam);
        if (index < 0 || index > int(s.columns.size())) index = int(s.columns.size());
        s.columns.insert(s.columns.begin() + index, c);
        Changed(hwnd, WindowChange::State);
        return index;
    }
    case LVM_DELETECOLUMN:
        if (int(wParam) < 0 || int(wParam) >= int(s.columns.size())) return FALSE;
        s.columns.erase(s.columns.begin() + int(wParam));
        Changed(hwnd, WindowChange::State);
        return TRUE;
    case LVM_GETCOLUMN: {
        auto* col = reinterpret_cast<LVCOLUMN*>(lParam);
        if (!col || int(wParam) < 0 || int(wParam) >= int(s.columns.size())) return FALSE;
        const auto& c = s.columns[size_t(wParam)];
        if (col->mask & LVCF_TEXT) CopyOut(c.text, col->pszText, col->cchTextMax);
        if (col->mask & LVCF_WIDTH) col->cx = c.width;
        if (col->mask & LVCF_FMT) col->fmt = c.format;
        return TRUE;
    }
    case LVM_SETCOLUMN: {
        auto* col = reinterpret_cast<LVCOLUMN*>(lParam);
        if (!col || int(wParam) < 0 || int(wParam) >= int(s.columns.size())) return FALSE;
        auto& c = s.columns[size_t(wParam)];
        if (col->mask & LVCF_TEXT) c.text = col->pszText ? col->pszText : L"";
        if (col->mask & LVCF_WIDTH) c.width = col->cx;
        if (col->mask & LVCF_FMT) c.format = col->fmt;
        Changed(hwnd, WindowChange::State);
        return TRUE;
    }
    case LVM_GETCOLUMNWIDTH:
        if (int(wParam) < 0 || int(wParam) >= int(s.columns.size())) return 0;
        return s.columns[size_t(wParam)].width;
    case LVM_SETCOLUMNWIDTH: {
        if (int(wParam) < 0 || int(wParam) >= int(s.columns.size())) return FALSE;
        int cx = int(SHORT(LOWORD(DWORD(lParam))));
        if (cx < 0) {
            int widest = TextWidth(s.columns[size_t(wParam)].text) + 12;
            for (auto& li : s.items) widest = std::max(widest, TextWidth(SubText(li, int(wParam))) + 12);
            cx = widest;
        }
        s.columns[size_t(wParam)].width = cx;
        return TRUE;
    }
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        DWORD old = s.extendedStyle;
        DWORD mask = wParam ? DWORD(wParam) : 0xFFFFFFFFu;
        s.extendedStyle = (old & ~mask) | (DWORD(lParam) & mask);
        return LRESULT(old);
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return LRESULT(s.extendedStyle);
    case LVM_SETIMAGELIST: {
        int which = int(wParam);
        if (which < 0 || which > 2) return 0;
        HIMAGELIST old = s.imageLists[which];
        s.imageLists[which] = reinterpret_cast<HIMAGELIST>(lParam);
        return LRESULT(old);
    }
    case LVM_GETIMAGELIST:
        if (int(wParam) < 0 || int(wParam) > 2) return 0;
        return LRESULT(s.imageLists[wParam]);
    case LVM_SETICONSPACING: {
        LRESULT old = LRESULT(MAKELONG(WORD(s.iconSpacing.cx), WORD(s.iconSpacing.cy)));
        s.iconSpacing = SIZE{LONG(SHORT(LOWORD(DWORD(lParam)))), LONG(SHORT(HIWORD(DWORD(lParam))))};
        return old;
    }
    case LVM_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || int(wParam) < 0 || int(wParam) >= n) return FALSE;
        RECT c;
        GetClientRect(hwnd, &c);
        int header = (w.style & LVS_TYPEMASK) == LVS_REPORT && !(w.style & LVS_NOCOLUMNHEADER) ? 24 : 0;
        int rowHeight = 17;
        *r = RECT{0, header + int(wParam) * rowHeight, c.right, header + int(wParam + 1) * rowHeight};
        return TRUE;
    }
    case LVM_ENSUREVISIBLE: return TRUE;
    case LVM_GETTOPINDEX: return 0;
    case LVM_GETCOUNTPERPAGE: {
        RECT c;
        GetClientRect(hwnd, &c);
        return std::max<LONG>(1, (c.bottom - 24) / 17);
    }
    case LVM_EDITLABEL: {
        int i = int(INT_PTR(wParam));
        if (i < 0) {
            if (s.editing >= 0) ListViewEndLabelEdit(hwnd, s.editing, nullptr);
            return 0;
        }
        if (GetFocus() != hwnd) SetFocus(hwnd);
        ListViewBeginLabelEdit(hwnd, i);
        return 0;
    }
    case LVM_GETEDITCONTROL: return 0;
    case LVM_SORTITEMS: {
        using Compare = int (*)(LPARAM, LPARAM, LPARAM);
        auto compare = reinterpret_cast<Compare>(lParam);
        if (!compare) return FALSE;
        LPARAM sortData = LPARAM(wParam);
        std::stable_sort(s.items.begin(), s.items.end(), [&](const ListItem& a, const ListItem& b) {
            return compare(LPARAM(a.data), LPARAM(b.data), sortData) < 0;
        });
        Changed(hwnd, WindowChange::State);
        return TRUE;
    }
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// ---- tab control ----

RECT TabRect(HWND hwnd, int index) {
    auto* s = StateOf<TabState>(hwnd);
    int x = 2;
    for (int i = 0; s && i < index; ++i) x += TextWidth(s->items[size_t(i)].text) + 12;
    int width = s && index < int(s->items.size()) ? TextWidth(s->items[size_t(index)].text) + 12 : 0;
    return RECT{x, 2, x + width, 2 + 20};
}

LRESULT TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& s = Ensure<TabState>(hwnd);
    int n = int(s.items.size());
    switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
        if (!(Get(hwnd).style & TCS_FOCUSNEVER) && GetFocus() != hwnd) SetFocus(hwnd);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_LEFT && s.current > 0) TabPick(hwnd, s.current - 1);
        if (wParam == VK_RIGHT && s.current + 1 < n) TabPick(hwnd, s.current + 1);
        return 0;
    case TCM_GETITEMCOUNT: return n;
    case TCM_INSERTITEM: {
        auto* item = reinterpret_cast<TCITEM*>(lParam);
        if (!item) return -1;
        TabItem t;
        if (item->mask & TCIF_TEXT) t.text = item->pszText ? item->pszText : L"";
        if (item->mask & TCIF_IMAGE) t.image = item->iImage;
        if (item->mask & TCIF_PARAM) t.data = item->lParam;
        int index = int(wParam);
        if (index < 0 || index > n) index = n;
        s.items.insert(s.items.begin() + index, t);
        if (s.current < 0) s.current = 0;
        else if (s.current >= index && n > 0) ++s.current;
        Changed(hwnd, WindowChange::State);
        return index;
    }
    case TCM_SETITEM:
    case TCM_GETITEM: {
        auto* item = reinterpret_cast<TCITEM*>(lParam);
        if (!item || int(wParam) < 0 || int(wParam) >= n) return FALSE;
        auto& t = s.items[size_t(wParam)];
        if (message == TCM_SETITEM) {
            if (item->mask & TCIF_TEXT) t.text = item->pszText ? item->pszText : L"";
            if (item->mask & TCIF_IMAGE) t.image = item->iImage;
            if (item->mask & TCIF_PARAM) t.data = item->lParam;
            Changed(hwnd, WindowChange::State);
        } else {
            if (item->mask & TCIF_TEXT) CopyOut(t.text, item->pszText, item->cchTextMax);
            if (item->mask & TCIF_IMAGE) item->iImage = t.image;
            if (item->mask & TCIF_PARAM) item->lParam = t.data;
        }
        return TRUE;
    }
    case TCM_DELETEITEM:
        if (int(wParam) < 0 || int(wParam) >= n) return FALSE;
        s.items.erase(s.items.begin() + int(wParam));
        if (s.current == int(wParam)) s.current = -1;
        else if (s.current > int(wParam)) --s.current;
        Changed(hwnd, WindowChange::State);
        return TRUE;
    case TCM_DELETEALLITEMS:
        s.items.clear();
        s.current = -1;
        Changed(hwnd, WindowChange::State);
        return TRUE;
    case TCM_GETCURSEL:
    case TCM_GETCURFOCUS: return s.current;
    case TCM_SETCURSEL:
    case TCM_SETCURFOCUS: {
        int old = s.current;
        if (int(wParam) < 0 || int(wParam) >= n) return -1;
        s.current = int(wParam);
        Changed(hwnd, WindowChange::State);
        return old;
    }
    case TCM_GETITEMRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || int(wParam) < 0 || int(wParam) >= n) return FALSE;
        *r = TabRect(hwnd, int(wParam));
        return TRUE;
    }
    case TCM_ADJUSTRECT: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r) return 0;
        // The display area lies below the row of tabs, inside the control's border.
        if (wParam) {
            r->left -= 4;
            r->right += 4;
            r->top -= 26;
            r->bottom += 4;
        } else {
            r->left += 4;
            r->right -= 4;
            r->top += 26;
            r->bottom -= 4;
        }
        return 0;
    }
    case TCM_SETIMAGELIST: {
        HIMAGELIST old = s.imageList;
        s.imageList = reinterpret_cast<HIMAGELIST>(lParam);
        return LRESULT(old);
    }
    case TCM_GETIMAGELIST: return LRESULT(s.imageList);
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// ---- up-down control ----

std::wstring Grouped(int value, bool thousands) {
    std::wstring digits = std::to_wstring(value < 0 ? -(long long)value : (long long)value);
    if (thousands)
        for (int i = int(digits.size()) - 3; i > 0; i -= 3) digits.insert(size_t(i), 1, L',');
    return value < 0 ? L"-" + digits : digits;
}

void UpdateBuddy(HWND hwnd) {
    auto* s = StateOf<UpDownState>(hwnd);
    if (!s || !Find(s->buddy) || !(Get(hwnd).style & UDS_SETBUDDYINT)) return;
    SetWindowText(s->buddy, Grouped(s->pos, !(Get(hwnd).style & UDS_NOTHOUSANDS)).c_str());
}

// The position as the buddy's text says (when it is an integer within the range).
bool BuddyPos(HWND hwnd, int& pos) {
    auto* s = StateOf<UpDownState>(hwnd);
    if (!s || !Find(s->buddy) || !(Get(hwnd).style & UDS_SETBUDDYINT)) return false;
    std::wstring text = GetWindowTextString(s->buddy);
    std::erase(text, L',');
    if (text.empty()) return false;
    try {
        size_t used = 0;
        long long v = std::stoll(text, &used, 10);
        if (used != text.size()) return false;
        int lo = std::min(s->low, s->high), hi = std::max(s->low, s->high);
        if (v < lo || v > hi) return false;
        pos = int(v);
        return true;
    } catch (...) {
        return false;
    }
}

void AttachBuddy(HWND hwnd, HWND buddy) {
    auto& s = Ensure<UpDownState>(hwnd);
    s.buddy = buddy;
    Window& w = W(hwnd);
    if (!Find(buddy)) return;
    if (w.style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) {
        // The arrows sit on the buddy's edge and take their width from it.
        Window& b = W(buddy);
        int width = w.rect.right - w.rect.left;
        if (width <= 0) width = 17;
        RECT br = b.rect;
        if (w.style & UDS_ALIGNRIGHT) {
            b.rect.right = br.right - width + 2;
            w.rect = RECT{b.rect.right - 2, br.top, b.rect.right - 2 + width, br.bottom};
        } else {
            b.rect.left = br.left + width - 2;
            w.rect = RECT{br.left, br.top, br.left + width, br.bottom};
        }
        Changed(buddy, WindowChange::Rect);
        Changed(hwnd, WindowChange::Rect);
    }
    UpdateBuddy(hwnd);
}

LRESULT UpDownProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window& w = W(hwnd);
    auto& s = Ensure<UpDownState>(hwnd);
    switch (message) {
    case WM_CREATE:
        if (w.style & UDS_AUTOBUDDY) {
            HWND prev = GetWindow(hwnd, GW_HWNDPREV);
            if (prev) AttachBuddy(hwnd, prev);
        }
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case UDM_SETRANGE:
        s.high = SHORT(LOWORD(DWORD(lParam)));
        s.low = SHORT(HIWORD(DWORD(lParam)));
        Changed(hwnd, WindowChange::State);
        return 0;
    case UDM_GETRANGE: return LRESULT(MAKELONG(WORD(s.high), WORD(s.low)));
    case UDM_SETRANGE32:
        s.low = int(INT_PTR(wParam));
        s.high = int(lParam);
        Changed(hwnd, WindowChange::State);
        return 0;
    case UDM_GETRANGE32:
        if (wParam) *reinterpret_cast<int*>(wParam) = s.low;
        if (lParam) *reinterpret_cast<int*>(lParam) = s.high;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        int old = s.pos;
        int pos = message == UDM_SETPOS ? int(SHORT(LOWORD(DWORD(lParam)))) : int(lParam);
        int lo = std::min(s.low, s.high), hi = std::max(s.low, s.high);
        s.pos = Clamp(pos, lo, hi);
        UpdateBuddy(hwnd);
        Changed(hwnd, WindowChange::State);
        return old;
    }
    case UDM_GETPOS: {
        int pos = s.pos;
        bool ok = true;
        if (Find(s.buddy) && (w.style & UDS_SETBUDDYINT)) ok = BuddyPos(hwnd, pos);
        if (ok) s.pos = pos;
        return LRESULT(MAKELONG(WORD(SHORT(s.pos)), WORD(ok ? 0 : 1)));
    }
    case UDM_GETPOS32: {
        int pos = s.pos;
        bool ok = true;
        if (Find(s.buddy) && (w.style & UDS_SETBUDDYINT)) ok = BuddyPos(hwnd, pos);
        if (ok) s.pos = pos;
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = ok ? FALSE : TRUE;
        return s.pos;
    }
    case UDM_SETBUDDY: {
        HWND old = s.buddy;
        AttachBuddy(hwnd, reinterpret_cast<HWND>(wParam));
        return LRESULT(old);
    }
    case UDM_GETBUDDY: return LRESULT(s.buddy);
    case WM_USER + 109: {  // UDM_SETBASE
        int old = s.base;
        s.base = int(wParam) == 16 ? 16 : 10;
        return old;
    }
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_RIGHT) UpDownStep(hwnd, 1);
        if (wParam == VK_DOWN || wParam == VK_LEFT) UpDownStep(hwnd, -1);
        return 0;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// Windows of unknown classes named by templates behave as plain windows.
LRESULT GenericProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

void UpDownStep(HWND hwnd, int steps) {
    auto* s = StateOf<UpDownState>(hwnd);
    if (!s || steps == 0) return;
    int pos = s->pos;
    BuddyPos(hwnd, pos);
    // "Up" moves towards the upper bound of the range as given (which may be the smaller).
    int direction = s->high >= s->low ? 1 : -1;
    int delta = steps * direction;
    NMUPDOWN nm;
    nm.iPos = pos;
    nm.iDelta = delta;
    if (NotifyParent(hwnd, nm.hdr, UDN_DELTAPOS)) return;
    if (!(s = StateOf<UpDownState>(hwnd))) return;
    int lo = std::min(s->low, s->high), hi = std::max(s->low, s->high);
    long long target = (long long)pos + nm.iDelta;
    if (target < lo || target > hi) {
        if (Get(hwnd).style & UDS_WRAP)
            target = target < lo ? hi : lo;
        else
            target = std::clamp<long long>(target, lo, hi);
    }
    if (int(target) == s->pos && pos == s->pos) return;
    s->pos = int(target);
    UpdateBuddy(hwnd);
    Changed(hwnd, WindowChange::State);
    UINT scroll = (Get(hwnd).style & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    HWND parent = GetParent(hwnd);
    if (parent) {
        SendMessage(parent, scroll, MAKEWPARAM(WORD(SB_THUMBPOSITION), WORD(SHORT(s->pos))), LPARAM(hwnd));
        if (Find(hwnd)) SendMessage(parent, scroll, MAKEWPARAM(WORD(SB_ENDSCROLL), WORD(SHORT(StateOf<UpDownState>(hwnd)->pos))), LPARAM(hwnd));
    }
}

bool TabPick(HWND hwnd, int index) {
    auto* s = StateOf<TabState>(hwnd);
    if (!s || index < 0 || index >= int(s->items.size())) return false;
    if (index == s->current) return true;
    NMHDR h;
    if (NotifyParent(hwnd, h, TCN_SELCHANGING)) return false;
    if (!(s = StateOf<TabState>(hwnd))) return false;
    s->current = index;
    Changed(hwnd, WindowChange::State);
    NMHDR h2;
    NotifyParent(hwnd, h2, TCN_SELCHANGE);
    return true;
}

void ListPick(HWND hwnd, int index) {
    Window* w = Find(hwnd);
    auto* s = StateOf<ListState>(hwnd);
    if (!w || !s) return;
    const bool combo = IsCombo(*w);
    if (MultiSel(*w)) {
        for (int i = 0; i < int(s->items.size()); ++i) s->items[size_t(i)].selected = i == index;
        s->current = index;
    } else {
        s->current = index;
        for (int i = 0; i < int(s->items.size()); ++i) s->items[size_t(i)].selected = i == index;
    }
    if (combo) SetComboText(*w, *s);
    Changed(hwnd, WindowChange::State);
    if (combo || (w->style & LBS_NOTIFY)) NotifyParent(hwnd, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
}

void EditReplaceSelection(HWND hwnd, const std::wstring& text, bool) {
    SendMessage(hwnd, EM_REPLACESEL, TRUE, LPARAM(text.c_str()));
}

void ButtonClick(HWND hwnd) {
    Window* w = Find(hwnd);
    auto* s = StateOf<ButtonState>(hwnd);
    if (!w || !s) return;
    UINT type = TypeOf(*w);
    switch (type) {
    case BS_AUTOCHECKBOX:
        SendMessage(hwnd, BM_SETCHECK, s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
        break;
    case BS_AUTO3STATE:
        // The framework cycles unchecked, checked, indeterminate.
        SendMessage(hwnd, BM_SETCHECK, s->check == BST_UNCHECKED ? BST_CHECKED
                                       : s->check == BST_CHECKED ? BST_INDETERMINATE
                                                                 : BST_UNCHECKED, 0);
        break;
    case BS_AUTORADIOBUTTON:
        SendMessage(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        UncheckOthersInGroup(hwnd);
        break;
    default: break;
    }
    if (Find(hwnd)) NotifyParent(hwnd, BN_CLICKED);
}

void NotifyParent(HWND control, UINT code) {
    Window* w = Find(control);
    if (!w || !(w->style & WS_CHILD)) return;
    HWND parent = w->parent;
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(w->id), WORD(code)), LPARAM(control));
}

LRESULT NotifyParent(HWND control, NMHDR& header, UINT code) {
    Window* w = Find(control);
    if (!w || !(w->style & WS_CHILD)) return 0;
    header.hwndFrom = control;
    header.idFrom = UINT_PTR(w->id);
    header.code = code;
    return SendMessage(w->parent, WM_NOTIFY, WPARAM(w->id), LPARAM(&header));
}

ControlKind KindOf(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return ControlKind::Other;
    if (w->dialog) return ControlKind::Dialog;
    const auto& c = w->className;
    if (c == L"Button") return ControlKind::Button;
    if (c == L"Edit") return ControlKind::Edit;
    if (c == L"Static") return ControlKind::Static;
    if (c == L"ComboBox") return ControlKind::ComboBox;
    if (c == L"ComboBoxEx32") return ControlKind::ComboBoxEx;
    if (c == L"ListBox") return ControlKind::ListBox;
    if (c == L"SysListView32") return ControlKind::ListView;
    if (c == L"SysTabControl32") return ControlKind::Tab;
    if (c == L"msctls_updown32") return ControlKind::UpDown;
    if (c == kPropertyGridClass) return ControlKind::PropertyGrid;
    // A subclassed control keeps its state type.
    if (dynamic_cast<EditState*>(w->control.get())) return ControlKind::Edit;
    if (dynamic_cast<ButtonState*>(w->control.get())) return ControlKind::Button;
    return ControlKind::Other;
}

UINT ButtonType(HWND hwnd) {
    Window* w = Find(hwnd);
    return w ? TypeOf(*w) : 0;
}

LRESULT DialogClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterBuiltinClasses() {
    struct Builtin {
        LPCWSTR name;
        WNDPROC proc;
    } builtins[] = {
        {L"Button", ButtonProc},
        {L"Edit", EditProc},
        {L"Static", StaticProc},
        {L"ComboBox", ListProc},
        {L"ComboBoxEx32", ListProc},
        {L"ListBox", ListProc},
        {L"SysListView32", ListViewProc},
        {L"SysTabControl32", TabProc},
        {L"msctls_updown32", UpDownProc},
        {kPropertyGridClass, PropertyGridProc},
        {L"ScrollBar", GenericProc},
        {L"#32770", DialogClassProc},
        {L"OrvGenericWindow", GenericProc},
    };
    for (const auto& b : builtins) {
        WNDCLASS wc;
        wc.lpfnWndProc = b.proc;
        wc.lpszClassName = b.name;
        wc.style = CS_DBLCLKS;
        ::RegisterClass(&wc);
    }
}

}  // namespace orv::win::detail

BOOL GetCaretPos(LPPOINT point) {
    using namespace orv::win::detail;
    if (!point) return FALSE;
    *point = POINT{};
    HWND focus = GetFocus();
    int caret = -1;
    if (auto* e = StateOf<EditState>(focus)) caret = e->edit.caret;
    if (auto* l = StateOf<ListState>(focus)) caret = l->edit.caret;
    if (caret < 0) return FALSE;
    // The caret sits at the left edge of the character it precedes (edit metrics of the kernel).
    const std::wstring& text = Get(focus).text;
    int line = 0, column = 0;
    for (int i = 0; i < caret && i < int(text.size()); ++i) {
        if (text[size_t(i)] == L'\n') {
            ++line;
            column = 0;
        } else if (text[size_t(i)] != L'\r') {
            ++column;
        }
    }
    point->x = 1 + 6 * column;
    point->y = 1 + 13 * line;
    return TRUE;
}
