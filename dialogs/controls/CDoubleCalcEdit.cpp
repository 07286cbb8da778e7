#include "dialogs/controls/CDoubleCalcEdit.h"

#include <charconv>
#include <string>

#include "dialogs/resources/Controls.h"
#include "platform/locale/Locale.h"

namespace {

// The reflected colour question's control kinds (WM_CTLCOLOR* minus WM_CTLCOLORMSGBOX).
constexpr UINT kCtlColorEdit = 1;
constexpr UINT kCtlColorStatic = 6;  // read-only and disabled edits ask as statics do

// A locale text of at most `capacity` - 1 characters, or `fallback` when the locale gives an
// empty text or none.
CString LocaleText(LCTYPE type, int capacity, const wchar_t* fallback) {
    std::wstring buffer(size_t(capacity), L'\0');
    const int written = GetLocaleInfo(LOCALE_USER_DEFAULT, type, buffer.data(), capacity);
    if (written < 2) return CString(fallback);
    buffer.resize(size_t(written - 1));
    return CString(buffer.c_str());
}

}  // namespace

CDoubleCalcEdit::CDoubleCalcEdit()
    : decimalSeparator_(LocaleText(LOCALE_SDECIMAL, 10, L".")),
      negativeSign_(LocaleText(LOCALE_SNEGATIVESIGN, 12, L"-")),
      positiveSign_(LocaleText(LOCALE_SPOSITIVESIGN, 12, L"+")) {
    evaluator_.SetNumberSymbols(decimalSeparator_[0], negativeSign_[0], positiveSign_[0]);
    numberSymbols_ = OrvDbRecord::UnitConverterWindowUtility::UserNumberSymbols();
    numberSymbols_.decimal = decimalSeparator_[0];
    numberSymbols_.negative = negativeSign_[0];
    numberSymbols_.positive = positiveSign_[0];
    permitted_ += decimalSeparator_[0];
    permitted_ += L"0123456789Ee()";
    permitted_ += positiveSign_[0];
    permitted_ += negativeSign_[0];
    permitted_ += L"*/";
    permitted_ += wchar_t(8);
    permitted_ += L'^';

    HandleMessage(WM_CHAR, [this](WPARAM ch, LPARAM) -> LRESULT {
        OnCharacter(UINT(ch));
        return 0;
    });
    HandleMessage(WM_PASTE, [this](WPARAM, LPARAM) -> LRESULT {
        OnCharacter(0);
        return 0;
    });
    HandleMessage(WM_KILLFOCUS, [this](WPARAM, LPARAM) -> LRESULT {
        OnKillFocusMessage();
        return 0;
    });
    HandleMessage(WM_SETFOCUS, [this](WPARAM, LPARAM) -> LRESULT { return Default(); });
    HandleMessage(WM_ENABLE, [this](WPARAM enable, LPARAM) -> LRESULT {
        Default();
        SetReadOnly(enable ? FALSE : TRUE);
        return 0;
    });
    HandleMessage(WM_SETTEXT, [this](WPARAM, LPARAM text) -> LRESULT { return OnSetText(text); });
    HandleReflectedCtlColor([this](CDC* dc, UINT ctlColor) { return OnCtlColor(dc, ctlColor); });
}

CDoubleCalcEdit::~CDoubleCalcEdit() { DestroyBalloon(); }

void CDoubleCalcEdit::PreSubclassWindow() {
    // The text the dialog filled in before subclassing counts as the value shown.
    CString text;
    GetWindowText(text);
    shownText_ = text;
    restoreShownText_ = true;
    if (!IsWindowEnabled()) SetReadOnly(TRUE);
}

// ---- values ----

void CDoubleCalcEdit::SetValue(double value) {
    SetTextQuietly(CString());
    LimitText(kMaxTextLength);
    // "%.16g", whatever C locale a front end has set for the process.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 16);
    std::wstring text(buffer, written.ptr);
    for (auto& c : text)
        if (c == L'.') c = decimalSeparator_[0];
    if (text.empty()) text = L"0";
    SetTextQuietly(CString(text.c_str()));
    SetSel(0, -1);
    lastValidValue_ = value;
    shownText_ = CString(text.c_str());
    restoreShownText_ = false;
    SetValid(true);
}

double CDoubleCalcEdit::Evaluate() {
    CString text;
    GetWindowText(text);
    double value = 0;
    if (EvaluateText(text, value)) {
        SetValue(value);
        return value;
    }
    MessageBeep(MB_ICONEXCLAMATION);
    if (!HasEvaluator()) {
        // Only the evaluator could read this entry: keep it as typed, so that the dialog's check
        // refuses it and the person can correct it, rather than silently restoring the old value.
        SetValid(false);
        return lastValidValue_;
    }
    if (restoreShownText_) {
        // Nothing was evaluated since the dialog filled the field: put its text back as it was,
        // so that leaving undoes the changes without reformatting the dialog's value.
        SetTextQuietly(shownText_);
        SetSel(0, -1);
        SetValid(true);
        return lastValidValue_;
    }
    SetValue(lastValidValue_);
    return lastValidValue_;
}

bool CDoubleCalcEdit::EvaluateText(const CString& text, double& value) {
    if (!HasEvaluator())
        return OrvDbRecord::UnitConverterWindowUtility::ParseNumber(text.str(), value, numberSymbols_);
    CString upper = text;
    upper.MakeUpper();
    return SUCCEEDED(evaluator_.Evaluate(upper, &value, 0));
}

LRESULT CDoubleCalcEdit::OnSetText(LPARAM text) {
    const LRESULT result = Default();
    if (!settingText_) {
        // Filled by the dialog: this is the value that leaving restores.
        shownText_ = text ? CString(reinterpret_cast<LPCWSTR>(text)) : CString();
        restoreShownText_ = true;
        double value = 0;
        if (EvaluateText(shownText_, value)) lastValidValue_ = value;
        DestroyBalloon();
        SetValid(true);
    }
    return result;
}

void CDoubleCalcEdit::SetTextQuietly(const CString& text) {
    const bool was = settingText_;
    settingText_ = true;
    SetWindowText(text);
    settingText_ = was;
}

// ---- typing ----

bool CDoubleCalcEdit::IsPermitted(const CString& text) const {
    for (int i = 0; i < text.GetLength(); ++i)
        if (permitted_.Find(text[i]) < 0) return false;
    return true;
}

bool CDoubleCalcEdit::CanEvaluate(const CString& text) {
    if (!HasEvaluator()) {
        double value = 0;
        return EvaluateText(text, value);
    }
    CString upper = text;
    upper.MakeUpper();
    return SUCCEEDED(evaluator_.Check(upper, 0));
}

void CDoubleCalcEdit::OnCharacter(UINT ch) {
    if (ch == L'=') {
        Evaluate();
        if (!valid_) ShowBalloon();  // an entry kept for want of the evaluator
        return;
    }
    CString before;
    GetWindowText(before);
    int selStart = 0, selEnd = 0;
    GetSel(selStart, selEnd);

    Default();  // the character, or the paste for ch 0
    if (!m_hWnd) return;

    CString after;
    GetWindowText(after);
    if (!IsPermitted(after)) {
        // The framework's refusal: a beep, and the reason for the front ends to show.
        wchar_t refused = wchar_t(ch);
        for (int i = 0; i < after.GetLength(); ++i)
            if (permitted_.Find(after[i]) < 0) {
                refused = after[i];
                break;
            }
        orv::win::RefuseCharacter(m_hWnd, refused, MB_ICONEXCLAMATION);
        SetTextQuietly(before);
        SetSel(selStart, selEnd);
        return;
    }
    if (after == before) return;  // a key that changed nothing (selection, copy)

    if (!CanEvaluate(after)) {
        SetValid(false);
        MessageBeep(MB_ICONEXCLAMATION);
        ShowBalloon();
    } else {
        SetValid(true);
    }
}

void CDoubleCalcEdit::OnKillFocusMessage() {
    Default();
    if (!m_hWnd) return;
    CString text;
    GetWindowText(text);
    // A field left as it was shown keeps its text: evaluating would only reformat the value.
    // Evaluating leaves the field valid, unless it keeps an entry for want of the evaluator.
    if (allowEmpty_ && text.Trim().IsEmpty())
        SetValid(true);
    else if (text != shownText_)
        Evaluate();
    else
        SetValid(true);
    DestroyBalloon();
}

void CDoubleCalcEdit::SetValid(bool valid) {
    if (valid_ == valid) return;
    valid_ = valid;
    if (m_hWnd) Invalidate();
}

// ---- balloon ----

void CDoubleCalcEdit::ShowBalloon() {
    DestroyBalloon();
    CString title, text;
    title.LoadString(HasEvaluator() ? IDS_INVALID_EQUATION : IDS_EVALUATOR_MISSING);
    text.LoadString(HasEvaluator() ? IDS_INVALID_EQUATION_TEXT : IDS_EVALUATOR_MISSING_TEXT);

    if (!balloonIcon_) {
        // The system error icon drawn at 32 by 32 and reduced by halftone stretching to 16 by 16.
        CClientDC dc(this);
        CDC large, small;
        large.CreateCompatibleDC(&dc);
        small.CreateCompatibleDC(&dc);
        CBitmap largeBitmap;
        largeBitmap.CreateCompatibleBitmap(&dc, 32, 32);
        auto icon = std::make_unique<CBitmap>();
        icon->CreateCompatibleBitmap(&dc, 16, 16);
        CBitmap* oldLarge = large.SelectObject(&largeBitmap);
        CBitmap* oldSmall = small.SelectObject(icon.get());
        const COLORREF back = GetSysColor(COLOR_INFOBK);
        large.FillSolidRect(0, 0, 32, 32, back);
        large.DrawIconEx(0, 0, LoadIcon(nullptr, IDI_HAND), 32, 32, 0, nullptr, DI_NORMAL);
        small.SetStretchBltMode(HALFTONE);
        small.StretchBlt(0, 0, 16, 16, &large, 0, 0, 32, 32, SRCCOPY);
        large.SelectObject(oldLarge);
        small.SelectObject(oldSmall);
        balloonIcon_ = std::move(icon);
    }

    // The tail points at the caret: its x on the screen, the middle of the control vertically.
    CRect window;
    GetWindowRect(&window);
    POINT caret{};
    ::GetCaretPos(&caret);
    const CPoint anchor(window.left + caret.x, (window.top + window.bottom) / 2);

    auto balloon = std::make_unique<CBalloonHelp>();
    balloon->SetIcon(HBITMAP(balloonIcon_->GetSafeHandle()), GetSysColor(COLOR_INFOBK));
    if (balloon->Create(title, text, anchor, kBalloonOptions, this, CString(), kBalloonTimeout))
        balloon_ = std::move(balloon);
}

void CDoubleCalcEdit::DestroyBalloon() {
    if (!balloon_) return;
    if (balloon_->GetSafeHwnd() && ::IsWindow(balloon_->GetSafeHwnd())) balloon_->DestroyWindow();
    balloon_.reset();
}

// ---- colours ----

HBRUSH CDoubleCalcEdit::OnCtlColor(CDC* dc, UINT ctlColor) {
    if (ctlColor != kCtlColorEdit && ctlColor != kCtlColorStatic) return nullptr;
    if (!(GetStyle() & WS_DISABLED)) dc->SetTextColor(valid_ ? GetSysColor(COLOR_WINDOWTEXT) : kInvalidTextColor);
    if (GetStyle() & (ES_READONLY | WS_DISABLED)) return nullptr;  // the parent's background
    dc->SetBkColor(GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}

// ---- dialogs ----

namespace DataModelDialogs {

void MakeCalcEdits(CWnd& dialog, std::vector<std::unique_ptr<CWnd>>& owner, const UINT* ids) {
    std::erase_if(owner, [](const std::unique_ptr<CWnd>& edit) {
        return !edit || !edit->GetSafeHwnd() || !::IsWindow(edit->GetSafeHwnd());
    });
    if (!ids || !dialog.GetSafeHwnd()) return;
    for (const UINT* id = ids; *id != 0 && *id != 0xFFFFFFFFu; ++id) {
        HWND control = ::GetDlgItem(dialog.GetSafeHwnd(), int(*id));
        if (!control || CWnd::FromHandlePermanent(control)) continue;
        auto edit = std::make_unique<CDoubleCalcEdit>();
        if (edit->SubclassWindow(control)) owner.push_back(std::move(edit));
    }
}

}  // namespace DataModelDialogs
