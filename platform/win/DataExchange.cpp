#include "platform/win/DataExchange.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <limits>
#include <stdexcept>

#include "platform/win/AfxControls.h"
#include "platform/win/MessageBox.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"

void AfxThrowUserException() { throw CUserException(); }

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    if (!control)
        throw std::logic_error("data exchange: the dialog has no control " + std::to_string(id));
    m_idLastControl = UINT(id);
    m_bEditLastControl = FALSE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_idLastControl) {
        HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, int(m_idLastControl));
        if (control) {
            ::SetFocus(control);
            if (m_bEditLastControl) ::SendMessage(control, EM_SETSEL, 0, -1);
        }
    }
    AfxThrowUserException();
}

void AfxSetWindowText(HWND hwnd, LPCTSTR text) {
    std::wstring now = GetWindowTextString(hwnd);
    if (now != (text ? text : L"")) ::SetWindowText(hwnd, text);
}

namespace {

std::wstring TextOf(HWND hwnd) { return GetWindowTextString(hwnd); }

std::wstring Trim(const std::wstring& s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == L' ' || s[a] == L'\t')) ++a;
    while (b > a && (s[b - 1] == L' ' || s[b - 1] == L'\t')) --b;
    return s.substr(a, b - a);
}

// An optionally signed decimal integer with surrounding blanks; false on anything else or
// a value outside [min, max].
bool ParseInteger(const std::wstring& text, long long min, unsigned long long max, bool allowNegative, long long& out,
                  unsigned long long& uout) {
    std::wstring t = Trim(text);
    if (t.empty()) return false;
    size_t i = 0;
    bool negative = false;
    if (t[0] == L'+' || t[0] == L'-') {
        negative = t[0] == L'-';
        ++i;
    }
    if (i >= t.size()) return false;
    unsigned long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < L'0' || t[i] > L'9') return false;
        unsigned digit = unsigned(t[i] - L'0');
        if (v > (std::numeric_limits<unsigned long long>::max() - digit) / 10) return false;
        v = v * 10 + digit;
    }
    if (negative) {
        if (!allowNegative) return v == 0 ? (uout = 0, out = 0, true) : false;
        if (v > (unsigned long long)(-(min + 1)) + 1) return false;
        out = v == 0 ? 0 : -(long long)(v - 1) - 1;
        return true;
    }
    if (v > max) return false;
    uout = v;
    out = v > (unsigned long long)std::numeric_limits<long long>::max() ? 0 : (long long)v;
    return true;
}

template <class T>
void ExchangeSigned(CDataExchange* dx, int id, T& value, UINT prompt) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        long long v = 0;
        unsigned long long u = 0;
        if (!ParseInteger(TextOf(control), std::numeric_limits<T>::min(), (unsigned long long)std::numeric_limits<T>::max(),
                          true, v, u)) {
            AfxMessageBox(prompt);
            dx->Fail();
        }
        value = T(v);
    } else {
        AfxSetWindowText(control, std::to_wstring((long long)value).c_str());
    }
}

template <class T>
void ExchangeUnsigned(CDataExchange* dx, int id, T& value, UINT prompt) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        long long v = 0;
        unsigned long long u = 0;
        if (!ParseInteger(TextOf(control), 0, (unsigned long long)std::numeric_limits<T>::max(), false, v, u)) {
            AfxMessageBox(prompt);
            dx->Fail();
        }
        value = T(u);
    } else {
        AfxSetWindowText(control, std::to_wstring((unsigned long long)value).c_str());
    }
}

// A decimal number: sign, digits with an optional point, optional exponent, blanks around.
// Infinities, NaN, hexadecimal forms and values beyond the double range are refused.
bool ParseReal(const std::wstring& text, double& out) {
    std::wstring t = Trim(text);
    size_t i = 0;
    if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) ++i;
    size_t digits = 0;
    while (i < t.size() && std::iswdigit(wint_t(t[i]))) ++i, ++digits;
    if (i < t.size() && t[i] == L'.') {
        ++i;
        while (i < t.size() && std::iswdigit(wint_t(t[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == L'e' || t[i] == L'E')) {
        ++i;
        if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) ++i;
        size_t exp = 0;
        while (i < t.size() && std::iswdigit(wint_t(t[i]))) ++i, ++exp;
        if (exp == 0) return false;
    }
    if (i != t.size()) return false;
    errno = 0;
    double v = std::wcstod(t.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(v)) return false;
    if (!std::isfinite(v)) return false;
    out = v;
    return true;
}

std::wstring FormatReal(double value, int digits) { return orv::FormatPrintf(L"%.*g", digits, value); }

void FailRange(CDataExchange* dx, const std::wstring& min, const std::wstring& max, UINT prompt) {
    CString text;
    AfxFormatString2(text, prompt, min.c_str(), max.c_str());
    AfxMessageBox(text, MB_ICONEXCLAMATION, prompt);
    dx->Fail();
}

// Days since 30 December 1899 of a civil date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468 + 25569;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z = z - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = (long long)yoe + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

std::wstring FormatDate(double days) {
    long long whole = (long long)std::floor(days);
    long long seconds = (long long)std::llround((days - double(whole)) * 86400.0);
    if (seconds >= 86400) ++whole, seconds -= 86400;
    long long y;
    unsigned m, d;
    CivilFromDays(whole, y, m, d);
    return orv::FormatPrintf(L"%04lld-%02u-%02u %02lld:%02lld:%02lld", y, m, d, seconds / 3600, seconds / 60 % 60,
                             seconds % 60);
}

// "YYYY-MM-DD", optionally followed by " hh:mm" or " hh:mm:ss".
bool ParseDate(const std::wstring& text, double& out) {
    std::wstring t = Trim(text);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    int consumed = 0;
    if (swscanf(t.c_str(), L"%4d-%2d-%2d%n", &y, &mo, &d, &consumed) != 3) return false;
    std::wstring rest = t.substr(size_t(consumed));
    if (!rest.empty()) {
        int used = 0;
        int n = swscanf(rest.c_str(), L" %2d:%2d%n", &h, &mi, &used);
        if (n != 2) return false;
        std::wstring tail = rest.substr(size_t(used));
        if (!tail.empty()) {
            int used2 = 0;
            if (swscanf(tail.c_str(), L":%2d%n", &s, &used2) != 1 || size_t(used2) != tail.size()) return false;
        }
    }
    static const int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mo < 1 || mo > 12 || d < 1 || d > monthDays[mo - 1] || h > 23 || mi > 59 || s > 59 || y < 100 || y > 9999) return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (mo == 2 && d == 29 && !leap) return false;
    out = double(DaysFromCivil(y, unsigned(mo), unsigned(d))) + (h * 3600 + mi * 60 + s) / 86400.0;
    return true;
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, BYTE& value) { ExchangeUnsigned(dx, id, value, AFX_IDP_PARSE_BYTE); }
void DDX_Text(CDataExchange* dx, int id, short& value) { ExchangeSigned(dx, id, value, AFX_IDP_PARSE_INT); }
void DDX_Text(CDataExchange* dx, int id, int& value) { ExchangeSigned(dx, id, value, AFX_IDP_PARSE_INT); }
void DDX_Text(CDataExchange* dx, int id, UINT& value) { ExchangeUnsigned(dx, id, value, AFX_IDP_PARSE_UINT); }
// The framework's long is 32 bits.
void DDX_Text(CDataExchange* dx, int id, long& value) {
    int v = int(value);
    ExchangeSigned(dx, id, v, AFX_IDP_PARSE_INT);
    value = v;
}
void DDX_Text(CDataExchange* dx, int id, unsigned long& value) {
    UINT v = UINT(value);
    ExchangeUnsigned(dx, id, v, AFX_IDP_PARSE_UINT);
    value = v;
}
void DDX_Text(CDataExchange* dx, int id, long long& value) { ExchangeSigned(dx, id, value, AFX_IDP_PARSE_INT); }
void DDX_Text(CDataExchange* dx, int id, unsigned long long& value) { ExchangeUnsigned(dx, id, value, AFX_IDP_PARSE_UINT); }

void DDX_Text(CDataExchange* dx, int id, double& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        double v = 0;
        if (!ParseReal(TextOf(control), v)) {
            AfxMessageBox(AFX_IDP_PARSE_REAL);
            dx->Fail();
        }
        value = v;
    } else {
        AfxSetWindowText(control, FormatReal(value, DBL_DIG).c_str());
    }
}

void DDX_Text(CDataExchange* dx, int id, float& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        double v = 0;
        if (!ParseReal(TextOf(control), v) || std::fabs(v) > double(FLT_MAX)) {
            AfxMessageBox(AFX_IDP_PARSE_REAL);
            dx->Fail();
        }
        value = float(v);
    } else {
        AfxSetWindowText(control, FormatReal(double(value), FLT_DIG).c_str());
    }
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = CString(TextOf(control));
    else
        AfxSetWindowText(control, value);
}

void DDX_Text(CDataExchange* dx, int id, LPTSTR buffer, int maxLength) {
    HWND control = dx->PrepareEditCtrl(id);
    if (!buffer || maxLength <= 0) return;
    if (dx->m_bSaveAndValidate) {
        std::wstring text = TextOf(control);
        size_t n = std::min(text.size(), size_t(maxLength - 1));
        std::copy_n(text.begin(), n, buffer);
        buffer[n] = 0;
    } else {
        ::SendMessage(control, EM_LIMITTEXT, WPARAM(maxLength - 1), 0);
        AfxSetWindowText(control, buffer);
    }
}

void DDX_Text(CDataExchange* dx, int id, COleCurrency& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        std::wstring t = Trim(TextOf(control));
        // Up to four decimals; the amount is kept in ten-thousandths.
        size_t point = t.find(L'.');
        std::wstring whole = point == std::wstring::npos ? t : t.substr(0, point);
        std::wstring fraction = point == std::wstring::npos ? L"" : t.substr(point + 1);
        long long w = 0;
        unsigned long long u = 0;
        bool ok = !t.empty() && fraction.size() <= 4 &&
                  (whole.empty() || whole == L"-" || whole == L"+" ||
                   ParseInteger(whole, std::numeric_limits<long long>::min() / 10000,
                                (unsigned long long)(std::numeric_limits<long long>::max() / 10000), true, w, u));
        for (wchar_t c : fraction) ok = ok && c >= L'0' && c <= L'9';
        if (ok && point != std::wstring::npos && whole.empty() && fraction.empty()) ok = false;
        if (!ok) {
            AfxMessageBox(AFX_IDP_PARSE_CURRENCY);
            dx->Fail();
        }
        long long frac = 0;
        for (size_t i = 0; i < 4; ++i) frac = frac * 10 + (i < fraction.size() ? fraction[i] - L'0' : 0);
        bool negative = !whole.empty() && whole[0] == L'-';
        value.m_cur = w * 10000 + (negative ? -frac : frac);
        value.m_status = 0;
    } else {
        long long c = value.m_cur;
        std::wstring text = orv::FormatPrintf(L"%s%lld.%04lld", c < 0 ? L"-" : L"", (c < 0 ? -c : c) / 10000,
                                              (c < 0 ? -c : c) % 10000);
        while (!text.empty() && text.back() == L'0') text.pop_back();
        if (!text.empty() && text.back() == L'.') text.pop_back();
        AfxSetWindowText(control, value.m_status == 0 ? text.c_str() : L"");
    }
}

void DDX_Text(CDataExchange* dx, int id, COleDateTime& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        double days = 0;
        if (!ParseDate(TextOf(control), days)) {
            AfxMessageBox(AFX_IDP_PARSE_DATETIME);
            dx->Fail();
        }
        value.m_dt = days;
        value.m_status = 0;
    } else {
        AfxSetWindowText(control, value.m_status == 0 ? FormatDate(value.m_dt).c_str() : L"");
    }
}

void DDX_Text(CDataExchange* dx, int id, GUID& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        auto parsed = orv::com::ParseGuid(Trim(TextOf(control)));
        if (!parsed) {
            AfxMessageBox(AFX_IDP_PARSE_GUID);
            dx->Fail();
        }
        value = *parsed;
    } else {
        AfxSetWindowText(control, orv::com::GuidToString(value).c_str());
    }
}

void DDX_Text(CDataExchange* dx, int id, DECIMAL& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        std::wstring t = Trim(TextOf(control));
        size_t i = 0;
        bool negative = false;
        if (i < t.size() && (t[i] == L'-' || t[i] == L'+')) negative = t[i++] == L'-';
        unsigned long long mantissa = 0;
        int scale = 0, digits = 0;
        bool point = false, ok = i < t.size();
        for (; ok && i < t.size(); ++i) {
            if (t[i] == L'.' && !point) {
                point = true;
                continue;
            }
            if (t[i] < L'0' || t[i] > L'9' || mantissa > (std::numeric_limits<unsigned long long>::max() - 9) / 10) {
                ok = false;
                break;
            }
            mantissa = mantissa * 10 + unsigned(t[i] - L'0');
            ++digits;
            if (point) ++scale;
        }
        if (!ok || digits == 0 || scale > 28) {
            AfxMessageBox(AFX_IDP_PARSE_REAL);
            dx->Fail();
        }
        value = DECIMAL{};
        value.Lo64 = mantissa;
        value.scale = BYTE(scale);
        value.sign = negative && mantissa ? 0x80 : 0;
    } else {
        std::wstring digits = std::to_wstring(value.Lo64);
        if (value.Hi32) digits = std::to_wstring(value.Hi32) + L"*2^64+" + digits;  // beyond what the kernel shows
        if (value.scale) {
            while (digits.size() <= value.scale) digits.insert(0, 1, L'0');
            digits.insert(digits.size() - value.scale, 1, L'.');
        }
        if (value.sign & 0x80) digits.insert(0, 1, L'-');
        AfxSetWindowText(control, digits.c_str());
    }
}

void DDX_Text(CDataExchange* dx, int id, FILETIME& value) {
    // Shown as a date and time (UTC); a file time counts 100 ns since 1 January 1601.
    constexpr double kDaysFrom1601To1899 = 109205.0;
    COleDateTime dt;
    ULONGLONG ticks = (ULONGLONG(value.dwHighDateTime) << 32) | value.dwLowDateTime;
    dt.m_dt = double(ticks) / 864000000000.0 - kDaysFrom1601To1899;
    DDX_Text(dx, id, dt);
    if (dx->m_bSaveAndValidate) {
        double t = (dt.m_dt + kDaysFrom1601To1899) * 864000000000.0;
        ULONGLONG v = t <= 0 ? 0 : ULONGLONG(std::llround(t));
        value.dwLowDateTime = DWORD(v & 0xFFFFFFFFu);
        value.dwHighDateTime = DWORD(v >> 32);
    }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = int(::SendMessage(control, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2) value = 0;
        ::SendMessage(control, BM_SETCHECK, WPARAM(value), 0);
    }
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND h = control; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != control && (GetWindowLongPtr(h, GWL_STYLE) & WS_GROUP)) break;
        if (::SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (dx->m_bSaveAndValidate) {
                if (::SendMessage(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
            } else {
                ::SendMessage(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
    }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        index = int(::SendMessage(control, CB_GETCURSEL, 0, 0));
    else
        ::SendMessage(control, CB_SETCURSEL, WPARAM(index), 0);
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = CString(TextOf(control));
    } else if (::SendMessage(control, CB_SELECTSTRING, WPARAM(-1), LPARAM(value.GetString())) == CB_ERR) {
        AfxSetWindowText(control, value);
    }
}

void DDX_CBStringExact(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = CString(TextOf(control));
    } else {
        LRESULT i = ::SendMessage(control, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(value.GetString()));
        if (i == CB_ERR)
            AfxSetWindowText(control, value);
        else
            ::SendMessage(control, CB_SETCURSEL, WPARAM(i), 0);
    }
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        index = int(::SendMessage(control, LB_GETCURSEL, 0, 0));
    else
        ::SendMessage(control, LB_SETCURSEL, WPARAM(index), 0);
}

void DDX_LBString(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        int i = int(::SendMessage(control, LB_GETCURSEL, 0, 0));
        if (i < 0) {
            value.Empty();
            return;
        }
        int n = int(::SendMessage(control, LB_GETTEXTLEN, WPARAM(i), 0));
        ::SendMessage(control, LB_GETTEXT, WPARAM(i), LPARAM(value.GetBuffer(n + 1)));
        value.ReleaseBuffer();
    } else {
        ::SendMessage(control, LB_SELECTSTRING, WPARAM(-1), LPARAM(value.GetString()));
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    HWND hwnd = dx->PrepareCtrl(id);
    if (!control.SubclassWindow(hwnd))
        throw std::logic_error("data exchange: control " + std::to_string(id) + " already has an object");
}

namespace {
template <class T>
void MinMaxInteger(CDataExchange* dx, T value, T min, T max) {
    if (!dx->m_bSaveAndValidate || (value >= min && value <= max)) return;
    if constexpr (std::is_signed_v<T>)
        FailRange(dx, std::to_wstring((long long)min), std::to_wstring((long long)max), AFX_IDP_PARSE_INT_RANGE);
    else
        FailRange(dx, std::to_wstring((unsigned long long)min), std::to_wstring((unsigned long long)max),
                  AFX_IDP_PARSE_INT_RANGE);
}
}  // namespace

void DDV_MinMaxByte(CDataExchange* dx, BYTE value, BYTE min, BYTE max) { MinMaxInteger(dx, value, min, max); }
void DDV_MinMaxShort(CDataExchange* dx, short value, short min, short max) { MinMaxInteger(dx, value, min, max); }
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max) { MinMaxInteger(dx, value, min, max); }
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT min, UINT max) { MinMaxInteger(dx, value, min, max); }
void DDV_MinMaxLong(CDataExchange* dx, long value, long min, long max) { MinMaxInteger(dx, value, min, max); }
void DDV_MinMaxDWord(CDataExchange* dx, DWORD value, DWORD min, DWORD max) { MinMaxInteger(dx, value, min, max); }
void DDV_MinMaxLongLong(CDataExchange* dx, LONGLONG value, LONGLONG min, LONGLONG max) { MinMaxInteger(dx, value, min, max); }

void DDV_MinMaxDouble(CDataExchange* dx, double value, double min, double max) {
    if (!dx->m_bSaveAndValidate || (value >= min && value <= max)) return;
    FailRange(dx, FormatReal(min, DBL_DIG), FormatReal(max, DBL_DIG), AFX_IDP_PARSE_REAL_RANGE);
}

void DDV_MinMaxFloat(CDataExchange* dx, float value, float min, float max) {
    if (!dx->m_bSaveAndValidate || (value >= min && value <= max)) return;
    FailRange(dx, FormatReal(double(min), FLT_DIG), FormatReal(double(max), FLT_DIG), AFX_IDP_PARSE_REAL_RANGE);
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars) {
    if (dx->m_bSaveAndValidate) {
        if (value.GetLength() <= maxChars) return;
        CString text;
        AfxFormatString1(text, AFX_IDP_PARSE_STRING_SIZE, std::to_wstring(maxChars).c_str());
        AfxMessageBox(text, MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
        dx->Fail();
    }
    HWND control = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, int(dx->m_idLastControl));
    if (!control) return;
    std::wstring cls = GetClassNameString(control);
    if (cls == L"ComboBox" || cls == L"ComboBoxEx32")
        ::SendMessage(control, CB_LIMITTEXT, WPARAM(maxChars), 0);
    else
        ::SendMessage(control, EM_LIMITTEXT, WPARAM(maxChars), 0);
}
