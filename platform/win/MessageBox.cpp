// Message boxes as kernel dialogs.

#include "platform/win/MessageBox.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/CDialog.h"
#include "platform/win/Inspect.h"
#include "platform/win/Kernel.h"
#include "platform/win/TextFormat.h"

using namespace orv::win::detail;

namespace {

constexpr int kIconId = 20;
constexpr int kTextId = 0xFFFF;
// Text wider than this many average characters of the dialog font is wrapped.
constexpr int kMaxLineChars = 60;
constexpr int kCharWidth = 6;    // pixels of an average character of the 8-point dialog font
constexpr int kLineHeight = 13;  // pixels of a line of it

// The lines of a message: explicit line breaks are kept (a CR before them dropped), and each
// paragraph is broken at the last blank that lets the line fit `maxChars`; a word longer than
// that is cut. The blanks at a break are dropped.
std::vector<std::wstring> WrapMessage(std::wstring_view text, std::size_t maxChars) {
    std::vector<std::wstring> lines;
    maxChars = std::max<std::size_t>(maxChars, 1);
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(L'\n', start);
        std::wstring_view para = text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
        if (!para.empty() && para.back() == L'\r') para.remove_suffix(1);
        if (para.empty()) lines.emplace_back();
        while (!para.empty()) {
            if (para.size() <= maxChars) {
                lines.emplace_back(para);
                break;
            }
            std::size_t cut = para.rfind(L' ', maxChars);
            std::size_t next = cut;
            if (cut == std::wstring_view::npos || cut == 0) {
                cut = next = maxChars;
            } else {
                while (cut > 0 && para[cut - 1] == L' ') --cut;
            }
            lines.emplace_back(para.substr(0, cut));
            para.remove_prefix(next);
            while (!para.empty() && para.front() == L' ') para.remove_prefix(1);
        }
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    return lines;
}

struct Button {
    int id;
    UINT caption;
};

std::vector<Button> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, kStringButtonOk}, {IDCANCEL, kStringButtonCancel}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, kStringButtonAbort}, {IDRETRY, kStringButtonRetry}, {IDIGNORE, kStringButtonIgnore}};
    case MB_YESNOCANCEL: return {{IDYES, kStringButtonYes}, {IDNO, kStringButtonNo}, {IDCANCEL, kStringButtonCancel}};
    case MB_YESNO: return {{IDYES, kStringButtonYes}, {IDNO, kStringButtonNo}};
    case MB_RETRYCANCEL: return {{IDRETRY, kStringButtonRetry}, {IDCANCEL, kStringButtonCancel}};
    default: return {{IDOK, kStringButtonOk}};
    }
}

LPCWSTR IconResource(UINT icon) {
    switch (icon) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return nullptr;
    }
}

class MessageBoxDialog : public CDialog {
public:
    MessageBoxDialog(std::wstring text, std::wstring caption, UINT type, DWORD helpContext)
        : text_(std::move(text)), caption_(std::move(caption)), type_(type), help_(helpContext) {
        buttons_ = ButtonsOf(type);
        if (type & MB_HELP) buttons_.push_back({IDHELP, kStringButtonHelp});
        BuildTemplate();
        InitModalIndirect(&template_);
        for (const auto& b : buttons_) {
            int id = b.id;
            HandleCommand(UINT(id), [this, id] { Press(id); });
        }
    }

    BOOL OnInitDialog() override {
        Window* w = Find(m_hWnd);
        if (w && w->dialog) {
            w->dialog->isMessageBox = true;
            auto& view = w->dialog->messageBox;
            view.caption = caption_;
            view.text = text_;
            view.type = type_;
            view.icon = type_ & MB_ICONMASK;
            for (const auto& b : buttons_) view.buttons.push_back(b.id);
            view.defaultButton = DefaultId();
            view.helpContext = help_;
            // Without a Cancel button the Close command is gone, except for a lone OK.
            if (!HasButton(IDCANCEL) && !(buttons_.size() == 1 || (buttons_.size() == 2 && HasButton(IDHELP))))
                w->sysMenuCloseEnabled = false;
        }
        if (LPCWSTR icon = IconResource(type_ & MB_ICONMASK))
            ::SendDlgItemMessage(m_hWnd, kIconId, STM_SETIMAGE, IMAGE_ICON, LPARAM(::LoadIcon(nullptr, icon)));
        if (HWND def = ::GetDlgItem(m_hWnd, DefaultId())) {
            SetDefID(UINT(DefaultId()));
            ::SetFocus(def);
        }
        if (type_ & MB_SETFOREGROUND) ::SetForegroundWindow(m_hWnd);
        return FALSE;
    }

    void OnOK() override { Press(IDOK); }
    void OnCancel() override {
        // Escape and Close answer Cancel, or OK when OK is the only answer.
        if (HasButton(IDCANCEL))
            EndDialog(IDCANCEL);
        else if (buttons_.size() == 1 || (buttons_.size() == 2 && HasButton(IDHELP)))
            EndDialog(buttons_.front().id);
    }

private:
    void Press(int id) {
        if (id == IDHELP) {
            ::HtmlHelp(m_hWnd, orv::win::HelpFilePath().c_str(), HH_HELP_CONTEXT, help_);
            return;
        }
        if (HasButton(id)) EndDialog(id);
    }

    bool HasButton(int id) const {
        return std::any_of(buttons_.begin(), buttons_.end(), [&](const Button& b) { return b.id == id; });
    }

    int DefaultId() const {
        size_t index = (type_ & MB_DEFMASK) >> 8;
        if (index >= buttons_.size()) index = 0;
        return buttons_[index].id;
    }

    void BuildTemplate() {
        // Laid out in pixels of the 8-point dialog font (6 x 13 base units), then kept in
        // dialog units.
        auto dluX = [](int px) { return (px * 4 + 3) / 6; };
        auto dluY = [](int px) { return (px * 8 + 6) / 13; };
        const int margin = 11;
        const bool icon = IconResource(type_ & MB_ICONMASK) != nullptr;
        int textX = margin + (icon ? 32 + margin : 0);
        // Long text wraps at word boundaries, as the framework's boxes do, to at most
        // kMaxLineChars characters and three quarters of the work area; the box grows in height,
        // but not beyond the work area (the text is cut there).
        RECT work{0, 0, 1024, 768};
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
        const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
        const int widest = std::max(1, std::min(kMaxLineChars, (workWidth * 3 / 4 - textX - margin) / kCharWidth));
        const std::vector<std::wstring> lines = WrapMessage(text_, std::size_t(widest));
        std::wstring wrapped;
        for (std::size_t i = 0; i < lines.size(); ++i) wrapped += (i ? L"\n" : L"") + lines[i];
        int textWidth = std::max(TextWidth(wrapped), kCharWidth);
        const int chrome = 2 * margin + 17 + 23 + 40;  // margins, the gap above the buttons, buttons, title bar
        int textHeight = std::max(kLineHeight, std::min(int(lines.size()) * kLineHeight, (workHeight - chrome) / kLineHeight * kLineHeight));
        int textY = margin + (icon && textHeight < 32 ? (32 - textHeight) / 2 : 0);
        int contentBottom = std::max(textY + textHeight, icon ? margin + 32 : 0);
        const int buttonWidth = 75, buttonHeight = 23, gap = 6;
        int buttonsWidth = int(buttons_.size()) * buttonWidth + int(buttons_.size() - 1) * gap;
        int width = std::max(textX + textWidth + margin, buttonsWidth + 2 * margin);
        int buttonsY = contentBottom + 17;
        int height = buttonsY + buttonHeight + margin;

        template_.caption = caption_;
        template_.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | WS_VISIBLE;
        template_.exStyle = WS_EX_DLGMODALFRAME | ((type_ & MB_TOPMOST) ? WS_EX_TOPMOST : 0);
        template_.cx = dluX(width);
        template_.cy = dluY(height);
        if (icon) {
            orv::res::DialogItemTemplate item;
            item.className = L"Static";
            item.id = kIconId;
            item.style = WS_CHILD | WS_VISIBLE | SS_ICON;
            item.x = dluX(margin), item.y = dluY(margin), item.cx = dluX(32), item.cy = dluY(32);
            template_.items.push_back(item);
        }
        orv::res::DialogItemTemplate text;
        text.className = L"Static";
        text.id = kTextId;
        text.text = wrapped;
        text.style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
        text.x = dluX(textX), text.y = dluY(textY), text.cx = dluX(textWidth), text.cy = dluY(textHeight);
        template_.items.push_back(text);
        int x = (width - buttonsWidth) / 2;
        for (size_t i = 0; i < buttons_.size(); ++i) {
            orv::res::DialogItemTemplate b;
            b.className = L"Button";
            b.id = UINT(buttons_[i].id);
            b.text = FrameworkString(buttons_[i].caption);
            b.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) |
                      (buttons_[i].id == DefaultId() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            b.x = dluX(x), b.y = dluY(buttonsY), b.cx = dluX(buttonWidth), b.cy = dluY(buttonHeight);
            template_.items.push_back(b);
            x += buttonWidth + gap;
        }
    }

    std::wstring text_, caption_;
    UINT type_;
    DWORD help_;
    std::vector<Button> buttons_;
    orv::res::DialogTemplate template_;
};

}  // namespace

namespace orv::win {

int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, DWORD helpContext) {
    MessageBoxDialog box(text ? text : L"", caption ? caption : FrameworkString(kStringErrorCaption), type, helpContext);
    CWnd* parent = owner ? CWnd::FromHandle(owner) : nullptr;
    if (parent) box.m_pParentWnd = parent;
    return int(box.DoModal());
}

}  // namespace orv::win

int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return orv::win::ShowMessageBox(owner, text, caption, type, 0);
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT helpId) {
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: type |= MB_ICONEXCLAMATION; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: type |= MB_ICONQUESTION; break;
        default: break;
        }
    }
    HWND owner = orv::win::ActiveModalWindow();
    if (!owner && AfxGetMainWnd()) owner = AfxGetMainWnd()->m_hWnd;
    return orv::win::ShowMessageBox(owner, text, orv::win::ApplicationName().c_str(), type, helpId);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId) {
    std::wstring text = FrameworkString(promptId);
    return AfxMessageBox(text.c_str(), type, helpId == UINT(-1) ? promptId : helpId);
}

void AfxFormatString1(CString& out, UINT id, LPCTSTR insert1) {
    std::wstring inserts[] = {insert1 ? insert1 : L""};
    out = CString(orv::FormatMessageStrings(FrameworkString(id), inserts));
}

void AfxFormatString2(CString& out, UINT id, LPCTSTR insert1, LPCTSTR insert2) {
    std::wstring inserts[] = {insert1 ? insert1 : L"", insert2 ? insert2 : L""};
    out = CString(orv::FormatMessageStrings(FrameworkString(id), inserts));
}
