// Keys from the terminal turned into the kernel's input events.

#include <algorithm>
#include <cwctype>
#include <vector>

#include "platform/drivers/terminal/TermUi.h"
#include "platform/drivers/text/TextSnapshot.h"
#include "platform/win/CWnd.h"
#include "platform/win/Inspect.h"
#include "platform/win/Input.h"
#include "platform/win/WinApi.h"
#include "platform/win/WinMessages.h"
#include "platform/win/WinStyles.h"

namespace orv::term {

namespace in = orv::win::input;
using orv::win::IsWindowClass;
using orv::win::WindowView;

namespace {

bool IsCombo(const WindowView& v) { return IsWindowClass(v, L"ComboBox") || IsWindowClass(v, L"ComboBoxEx32"); }
bool IsList(const WindowView& v) { return IsWindowClass(v, L"ListBox") || IsWindowClass(v, L"SysListView32"); }

// The spin button whose buddy is `edit`; null when none.
HWND SpinOf(const WindowView& edit) {
    if (!edit.parent) return nullptr;
    for (HWND sibling : orv::win::ChildWindows(edit.parent)) {
        const WindowView s = orv::win::Inspect(sibling);
        if (IsWindowClass(s, L"msctls_updown32") && s.buddy == edit.hwnd && s.reallyVisible && s.enabled) return sibling;
    }
    return nullptr;
}

UINT VirtualKey(KeyCode code) {
    switch (code) {
    case KeyCode::Tab: return VK_TAB;
    case KeyCode::Enter: return VK_RETURN;
    case KeyCode::Escape: return VK_ESCAPE;
    case KeyCode::Backspace: return VK_BACK;
    case KeyCode::Delete: return VK_DELETE;
    case KeyCode::Left: return VK_LEFT;
    case KeyCode::Right: return VK_RIGHT;
    case KeyCode::Up: return VK_UP;
    case KeyCode::Down: return VK_DOWN;
    case KeyCode::Home: return VK_HOME;
    case KeyCode::End: return VK_END;
    case KeyCode::PageUp: return VK_PRIOR;
    case KeyCode::PageDown: return VK_NEXT;
    case KeyCode::F1: return VK_F1;
    case KeyCode::F4: return VK_F4;
    default: return 0;
    }
}

}  // namespace

bool TermUi::Give(bool ok) {
    if (!ok) {
        beep_ = true;
        status_ = in::LastInputError();
    }
    return true;
}

bool TermUi::OpenListKey(const Key& key) {
    const WindowView v = orv::win::Inspect(openList_);
    const int count = int(v.items.size());
    const int page = 9;
    switch (key.code) {
    case KeyCode::Up:
        if (key.alt) break;
        openHighlight_ = std::max(0, openHighlight_ - 1);
        return true;
    case KeyCode::Down:
        if (key.alt) break;
        openHighlight_ = std::min(count - 1, openHighlight_ + 1);
        return true;
    case KeyCode::PageUp: openHighlight_ = std::max(0, openHighlight_ - page); return true;
    case KeyCode::PageDown: openHighlight_ = std::min(count - 1, openHighlight_ + page); return true;
    case KeyCode::Home: openHighlight_ = 0; return true;
    case KeyCode::End: openHighlight_ = std::max(0, count - 1); return true;
    case KeyCode::Enter: {
        const HWND combo = openList_;
        openList_ = nullptr;
        if (count > 0 && openHighlight_ != v.selection) return Give(in::SelectItem(combo, openHighlight_));
        return true;
    }
    case KeyCode::Char:
        if (!key.alt && !key.control && key.ch >= 32) {
            // The next item that starts with the character, as the list's own type-ahead does.
            const wint_t wanted = std::towlower(wint_t(key.ch));
            for (int k = 1; k <= count; ++k) {
                const int i = (openHighlight_ + k) % count;
                const auto& text = v.items[std::size_t(i)].text;
                if (!text.empty() && std::towlower(wint_t(text[0])) == wanted) {
                    openHighlight_ = i;
                    break;
                }
            }
            return true;
        }
        break;
    default: break;
    }
    // Escape, F4 and Alt+arrows close the list; any other key closes it and then acts.
    openList_ = nullptr;
    if (key.code == KeyCode::Escape || key.code == KeyCode::F4 ||
        ((key.code == KeyCode::Up || key.code == KeyCode::Down) && key.alt))
        return true;
    return HandleKey(key);
}

bool TermUi::ListKey(HWND focus, const Key& key) {
    if (key.code != KeyCode::PageUp && key.code != KeyCode::PageDown) return false;
    if (key.control) return false;
    const WindowView v = orv::win::Inspect(focus);
    if (!IsList(v) && !IsCombo(v)) return false;
    const int count = int(v.items.size());
    if (count == 0) return true;
    auto it = lists_.find(focus);
    const int page = std::max(1, (it != lists_.end() ? it->second.rows : 1) - 1);
    const int current = v.selection;
    int next = key.code == KeyCode::PageUp ? (current < 0 ? 0 : current - page) : (current < 0 ? 0 : current + page);
    next = std::clamp(next, 0, count - 1);
    if (next == current) return true;
    return Give(in::SelectItem(focus, next));
}

bool TermUi::MultipleSelectionKey(HWND focus, const Key& key) {
    const WindowView v = orv::win::Inspect(focus);
    if (!MultipleSelection(v)) return false;
    auto& state = lists_[focus];
    const int count = int(v.items.size());
    const int at = state.cursor >= 0 ? state.cursor : std::max(0, v.selection);
    if ((key.code == KeyCode::Up || key.code == KeyCode::Down) && key.control) {
        if (count > 0) state.cursor = std::clamp(at + (key.code == KeyCode::Up ? -1 : 1), 0, count - 1);
        return true;
    }
    // Space (Ctrl+Space arrives as a zero character) adds or removes the item at the cursor.
    if (key.code == KeyCode::Char && !key.alt && (key.ch == L' ' || key.ch == 0)) {
        if (count == 0) return Give(false);
        state.cursor = at;
        return Give(in::ToggleItem(focus, at));
    }
    // Any other move selects one item as the kernel does; the cursor follows the selection.
    state.cursor = -1;
    return false;
}

bool TermUi::HandleKey(const Key& key) {
    if (key.code == KeyCode::None) return false;
    if (key.code == KeyCode::Resize) return true;
    status_.clear();
    // A help pop-up takes the next key only to close.
    if (!help_.empty()) {
        help_.clear();
        return true;
    }
    if (openList_) return OpenListKey(key);

    const HWND focus = ::GetFocus();
    const WindowView f = focus ? orv::win::Inspect(focus) : WindowView{};
    const in::Modifiers mods{key.shift, key.control, key.alt};

    if (f.hwnd && IsCombo(f) && !key.control &&
        (key.code == KeyCode::F4 || (key.code == KeyCode::Down && key.alt) || (key.code == KeyCode::Enter && !key.alt))) {
        if (!f.enabled) return Give(false);
        openList_ = focus;
        openHighlight_ = std::max(0, f.selection);
        openTop_ = 0;
        return true;
    }
    if (f.hwnd && MultipleSelectionKey(focus, key)) return true;
    if (f.hwnd && ListKey(focus, key)) return true;
    if (f.hwnd && IsWindowClass(f, L"Edit") && !(f.style & ES_MULTILINE) && !key.alt && !key.control &&
        (key.code == KeyCode::Up || key.code == KeyCode::Down)) {
        if (HWND spin = SpinOf(f)) return Give(in::Spin(spin, key.code == KeyCode::Up ? 1 : -1));
    }

    if (key.code == KeyCode::Paste) {
        // Terminals send a pasted line break as a carriage return; edits want CR LF. A paste
        // reaches the focused control as one paste, so its line breaks never press a button.
        std::wstring text;
        for (std::size_t i = 0; i < key.text.size(); ++i) {
            const wchar_t ch = key.text[i];
            if (ch == L'\r' || ch == L'\n') {
                text += L"\r\n";
                if (ch == L'\r' && i + 1 < key.text.size() && key.text[i + 1] == L'\n') ++i;
            } else {
                text += ch;
            }
        }
        return Give(in::Paste(text));
    }
    if (key.code == KeyCode::F2) return ShowMixedValues();
    if (key.code == KeyCode::F1) {
        // F1 where nothing answers with help says so, rather than doing nothing visible.
        const std::size_t before = orv::win::HelpRequests().size();
        Give(in::PressKey(VK_F1, mods));
        if (status_.empty() && help_.empty() && orv::win::HelpRequests().size() == before)
            status_ = L"No help is available here.";
        return true;
    }
    if (key.code == KeyCode::Char) {
        if (key.alt) {
            const wint_t upper = std::towupper(wint_t(key.ch));
            if ((upper >= L'A' && upper <= L'Z') || (upper >= L'0' && upper <= L'9'))
                return Give(in::PressKey(UINT(upper), mods));
            beep_ = true;
            return true;
        }
        if (key.ch == L' ' && f.hwnd && IsWindowClass(f, L"Button")) return Give(in::PressKey(VK_SPACE, mods));
        return Give(in::TypeChar(key.ch));
    }
    const UINT vk = VirtualKey(key.code);
    if (vk == 0) return false;
    return Give(in::PressKey(vk, mods));
}

namespace {

// What Space and the arrows do on the focused control: nothing for an edit, where Space is a
// character (an edit with a spin button turns it with Up and Down).
std::wstring SpaceHint(const WindowView& f) {
    if (IsWindowClass(f, L"Button")) {
        const DWORD type = f.style & BS_TYPEMASK;
        if (f.style & BS_PUSHLIKE) return L"  Space press";
        switch (type) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return L"  Space check";
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return L"  Arrows choose";
        default: return L"  Space press";
        }
    }
    if (IsWindowClass(f, L"SysTabControl32")) return L"  Left/Right page";
    if (IsWindowClass(f, L"Edit") && !(f.style & ES_MULTILINE) && SpinOf(f)) return L"  Up/Down spin";
    return {};
}

bool IsPushButton(const WindowView& v) {
    const DWORD type = v.style & BS_TYPEMASK;
    return IsWindowClass(v, L"Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// What Enter presses where the focus is, as the dialog manager decides it: the focused push
// button, else the dialog's default button (OK when it names none); empty when Enter presses
// nothing there.
std::wstring EnterTarget(const WindowView& focus) {
    if (focus.hwnd && IsPushButton(focus)) return orv::text::StripMnemonics(focus.text);
    HWND dialog = focus.hwnd ? focus.hwnd : orv::win::ActiveModalWindow();
    while (dialog && (GetWindowLongPtr(dialog, GWL_STYLE) & WS_CHILD)) dialog = GetAncestor(dialog, GA_PARENT);
    if (!dialog) return {};
    const LRESULT answer = SendMessage(dialog, DM_GETDEFID, 0, 0);
    const int id = HIWORD(DWORD(answer)) == DC_HASDEFID ? LOWORD(DWORD(answer)) : IDOK;
    const WindowView button = orv::win::Inspect(orv::win::FindControl(dialog, id));
    if (!button.hwnd || !button.enabled || !button.reallyVisible) return {};
    return orv::text::StripMnemonics(button.text);
}

}  // namespace

std::wstring KeyHints() {
    const HWND focus = ::GetFocus();
    const WindowView f = focus ? orv::win::Inspect(focus) : WindowView{};
    if (IsWindowClass(f.className, L"OrvPropertyGrid"))
        return L"Up/Down move  Enter or F4 choices  letter picks  Left/Right fold  Tab move  Esc cancel";
    std::wstring hints;
    if (IsCombo(f)) hints = L"Up/Down choose  Enter, F4 or Alt+Down list  Tab/Shift+Tab move";
    else if (MultipleSelection(f)) hints = L"Up/Down choose  Ctrl+Up/Down move  Space add/remove  Tab move";
    else if (IsList(f)) hints = L"Up/Down/PgUp/PgDn/Home/End choose  Tab move";
    else hints = L"Tab/Shift+Tab move" + SpaceHint(f);
    if (!IsCombo(f)) {
        if (IsWindowClass(f, L"Edit") && (f.style & ES_MULTILINE) && (f.style & ES_WANTRETURN)) {
            hints += L"  Enter new line";
        } else {
            const std::wstring target = EnterTarget(f);
            if (!target.empty()) hints += L"  Enter " + target;
        }
    }
    hints += L"  Esc cancel";
    if (orv::win::AnswersHelp(focus ? focus : orv::win::ActiveModalWindow())) hints += L"  F1 help";
    if (!IsList(f) && !IsCombo(f)) hints += L"  Alt+letter jump";
    return hints;
}

std::wstring FitKeyHints(std::wstring hints, int width) {
    if (width <= 0) return {};
    if (int(hints.size()) <= width) return hints;
    // Two blanks part the keys; "Tab/Shift+Tab move" says less as "Tab move".
    std::vector<std::wstring> items;
    for (std::size_t start = 0; start <= hints.size();) {
        std::size_t end = hints.find(L"  ", start);
        if (end == std::wstring::npos) end = hints.size();
        std::wstring item = hints.substr(start, end - start);
        if (item == L"Tab/Shift+Tab move") item = L"Tab move";
        if (!item.empty()) items.push_back(std::move(item));
        start = end + 2;
    }
    auto joined = [&] {
        std::wstring line;
        for (const auto& item : items) line += (line.empty() ? L"" : L"  ") + item;
        return line;
    };
    // Then the keys go from the end, those that move, press Enter and cancel last.
    auto essential = [](const std::wstring& item) {
        return item.starts_with(L"Tab") || item.starts_with(L"Enter") || item.starts_with(L"Esc");
    };
    for (std::size_t i = items.size(); int(joined().size()) > width && i-- > 0;)
        if (!essential(items[i])) items.erase(items.begin() + std::ptrdiff_t(i));
    std::wstring line = joined();
    if (int(line.size()) > width) line.resize(std::size_t(width));
    return line;
}

}  // namespace orv::term
