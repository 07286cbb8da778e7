#include "dialogs/variableloads/RSTLegendWnd.h"

#include "host/model/DbShape.h"
#include "host/model/UnitSystem.h"
#include "platform/win/WinApi.h"
#include "platform/win/WinMessages.h"
#include "platform/win/WinStyles.h"

namespace DataModelDialogs {

RSTLegendWnd::RSTLegendWnd() {
    HandleMessage(WM_PAINT, [this](WPARAM, LPARAM) -> LRESULT {
        OnPaint();
        return 0;
    });
}

void RSTLegendWnd::SetCoordinateSystemType(std::uint32_t type) {
    type_ = type;
    if (m_hWnd) Invalidate();
}

void RSTLegendWnd::SetUnitSystem(const OrvDbRecord::DisplayUnitSystem* units) {
    units_ = units;
    if (m_hWnd) Invalidate();
}

const wchar_t* RSTLegendWnd::Symbol(std::uint32_t type, int variable) {
    // θ and φ as the characters they are, so that every front end shows them.
    static const wchar_t* const kSymbols[4][3] = {
        {L"X", L"Y", L"Z"}, {L"R", L"\u03B8", L"z"}, {L"x", L"y", L"z"}, {L"R", L"\u03B8", L"\u03C6"}};
    if (type > 3 || variable < 0 || variable > 2) return L"?";
    return kSymbols[type][variable];
}

std::wstring RSTLegendWnd::Expand(const std::wstring& format, std::uint32_t type, const OrvDbRecord::DisplayUnitSystem* units) {
    const OrvDbRecord::RSTVariableUnitsInfo info(type, OrvDbRecord::DbShape::kFunctionValueUnit);
    std::wstring out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const wchar_t ch = format[i];
        if (ch == L'%' && i + 1 < format.size() && format[i + 1] >= L'1' && format[i + 1] <= L'6') {
            const int insert = format[++i] - L'1';
            const int variable = insert / 2;
            if (insert % 2 == 0) out += Symbol(type, variable);
            else if (units) out += units->GetDisplayableUnitText(info.VariableUnit(variable));
            continue;
        }
        out += ch;
    }
    return out;
}

void RSTLegendWnd::OnPaint() {
    CPaintDC dc(this);
    RECT client{};
    GetClientRect(&client);
    const DWORD style = DWORD(GetStyle());
    // The parent's brush for statics, as a static's own background.
    CWnd* parent = GetParent();
    HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(parent->SendMessage(WM_CTLCOLORSTATIC, WPARAM(dc.m_hDC), LPARAM(m_hWnd)))
                          : nullptr;
    if (brush) dc.FillRect(&client, CBrush::FromHandle(brush));
    if (CFont* font = GetFont()) dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(IsWindowEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    CString format;
    GetWindowText(format);
    const std::wstring text = Expand(format.GetString(), type_, units_);
    std::vector<std::wstring> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(L'\n', start);
        std::wstring line = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        // Blanks at the end of a line show nothing.
        while (!line.empty() && line.back() == L' ') line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    const DWORD type = style & SS_TYPEMASK;
    UINT align = type == SS_RIGHT ? DT_RIGHT : type == SS_CENTER ? DT_CENTER : DT_LEFT;
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    const int lineHeight = metrics.tmHeight > 0 ? int(metrics.tmHeight) : 13;
    int top = client.top;
    if (style & SS_CENTERIMAGE) top += (client.bottom - client.top - lineHeight * int(lines.size())) / 2;
    for (const std::wstring& line : lines) {
        RECT row{client.left, top, client.right, top + lineHeight};
        dc.DrawText(line.c_str(), int(line.size()), &row, align | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        top += lineHeight;
    }
}

}  // namespace DataModelDialogs
