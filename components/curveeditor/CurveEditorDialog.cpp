#include "components/curveeditor/CurveEditorDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <cwctype>

#include "platform/res/DialogBuilder.h"

namespace orv::components {
namespace {

orv::res::DialogTemplate BuildTemplate(const std::wstring& title) {
    using D = CurveEditorDialog;
    return orv::res::DialogBuilder(title.empty() ? D::kTitleFallback : title, 330, 200)
        .Label(L"", D::IDC_CAPTION2, 7, 5, 316, 8)
        .Label(L"", D::IDC_CAPTION3, 7, 15, 316, 8)
        .Control(L"SysListView32", L"", D::IDC_POINTS, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP,
                 7, 26, 140, 110)
        .Label(L"&X:", D::IDC_X_LABEL, 7, 143, 10, 8)
        .Edit(D::IDC_X, 18, 141, 56, 14)
        .Label(L"&Y:", D::IDC_Y_LABEL, 80, 143, 10, 8)
        .Edit(D::IDC_Y, 91, 141, 56, 14)
        .Button(L"&Add", D::IDC_ADD, 7, 160, 34, 14)
        .Button(L"&Insert", D::IDC_INSERT, 43, 160, 34, 14)
        .Button(L"&Replace", D::IDC_REPLACE, 79, 160, 34, 14)
        .Button(L"&Delete", D::IDC_DELETE, 115, 160, 32, 14)
        .Button(L"&Sort", D::IDC_SORT, 7, 179, 34, 14)
        .Label(L"", D::IDC_COUNT, 45, 182, 100, 8)
        .Label(L"", D::IDC_PLOT, 155, 26, 168, 148, SS_LEFT | WS_BORDER)
        .DefaultButton(L"OK", IDOK, 219, 179, 50, 14)
        .Button(L"Cancel", IDCANCEL, 273, 179, 50, 14)
        .Build();
}

bool Ordered(const std::vector<CurvePointRecord>& points) {
    for (std::size_t i = 1; i < points.size(); ++i)
        if (points[i].x < points[i - 1].x) return false;
    return true;
}

}  // namespace

// ---- plot ----

CurvePlotWindow::CurvePlotWindow() {
    HandleMessage(WM_PAINT, [this](WPARAM, LPARAM) -> LRESULT {
        OnPaint();
        return 0;
    });
}

void CurvePlotWindow::OnPaint() {
    CPaintDC dc(this);
    RECT client{};
    GetClientRect(&client);
    dc.FillSolidRect(&client, RGB(255, 255, 255));
    const int margin = 16;
    const RECT area{client.left + margin, client.top + 4, client.right - 4, client.bottom - margin};
    dc.MoveTo(area.left, area.top);
    dc.LineTo(area.left, area.bottom);
    dc.LineTo(area.right, area.bottom);
    if (!xCaption_.empty()) dc.TextOut(area.left, area.bottom + 2, xCaption_.c_str(), int(xCaption_.size()));
    if (!yCaption_.empty()) dc.TextOut(client.left + 1, area.top, yCaption_.c_str(), int(yCaption_.size()));
    if (!points_ || points_->empty()) return;
    double minX = points_->front().x, maxX = minX, minY = points_->front().y, maxY = minY;
    for (const CurvePointRecord& p : *points_) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double spanX = maxX > minX ? maxX - minX : 1.0;
    const double spanY = maxY > minY ? maxY - minY : 1.0;
    std::vector<POINT> line;
    line.reserve(points_->size());
    for (const CurvePointRecord& p : *points_) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        const double fx = (p.x - minX) / spanX, fy = (p.y - minY) / spanY;
        line.push_back(POINT{LONG(area.left + std::lround(fx * (area.right - area.left))),
                             LONG(area.bottom - std::lround(fy * (area.bottom - area.top)))});
    }
    if (line.size() == 1) {
        dc.Rectangle(line[0].x - 2, line[0].y - 2, line[0].x + 2, line[0].y + 2);
    } else if (!line.empty()) {
        dc.Polyline(line.data(), int(line.size()));
    }
}

// ---- dialog ----

CurveEditorDialog::CurveEditorDialog(CWnd* parent, std::vector<CurvePointRecord> points, LONG mode,
                                     std::wstring title, std::wstring caption2, std::wstring caption3,
                                     std::wstring xCaption, std::wstring yCaption)
    : template_(BuildTemplate(title)), points_(std::move(points)), mode_(mode), title_(std::move(title)),
      caption2_(std::move(caption2)), caption3_(std::move(caption3)), xCaption_(std::move(xCaption)),
      yCaption_(std::move(yCaption)) {
    InitModalIndirect(&template_, parent);
    HandleCommand(IDC_ADD, [this] { OnAdd(); });
    HandleCommand(IDC_INSERT, [this] { OnInsert(); });
    HandleCommand(IDC_REPLACE, [this] { OnReplace(); });
    HandleCommand(IDC_DELETE, [this] { OnDelete(); });
    HandleCommand(IDC_SORT, [this] { OnSort(); });
    HandleNotify(IDC_POINTS, LVN_ITEMCHANGED, [this](NMHDR*, LRESULT*) {
        if (!filling_) OnSelectionChanged();
    });
}

std::wstring CurveEditorDialog::FormatValue(double value) {
    wchar_t text[64];
    int precision = 1;
    for (; precision <= 17; ++precision) {
        std::swprintf(text, 64, L"%.*g", precision, value);
        if (std::wcstod(text, nullptr) == value) break;
    }
    // "%g" switches to an exponent for 1500 at two digits; plain decimals read better while
    // the number is of an ordinary size.
    const double magnitude = std::fabs(value);
    if (std::wcschr(text, L'e') && magnitude >= 1e-4 && magnitude < 1e15) {
        const int decimals = std::max(0, precision - 1 - int(std::floor(std::log10(magnitude))));
        wchar_t plain[64];
        std::swprintf(plain, 64, L"%.*f", decimals, value);
        if (std::wcstod(plain, nullptr) == value) return plain;
    }
    return text;
}

bool CurveEditorDialog::ParseValue(const std::wstring& text, double& value) {
    const wchar_t* start = text.c_str();
    while (std::iswspace(wint_t(*start))) ++start;
    if (!*start) return false;
    wchar_t* end = nullptr;
    const double parsed = std::wcstod(start, &end);
    if (end == start) return false;
    while (std::iswspace(wint_t(*end))) ++end;
    if (*end || !std::isfinite(parsed)) return false;
    // wcstod also reads "inf", "nan" and hexadecimal forms: only decimal numbers count.
    for (const wchar_t* c = start; c < end; ++c)
        if (!(std::iswdigit(wint_t(*c)) || *c == L'.' || *c == L'-' || *c == L'+' || *c == L'e' || *c == L'E' ||
              std::iswspace(wint_t(*c))))
            return false;
    value = parsed;
    return true;
}

BOOL CurveEditorDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_CAPTION2, caption2_.c_str());
    SetDlgItemText(IDC_CAPTION3, caption3_.c_str());
    HWND list = ::GetDlgItem(m_hWnd, IDC_POINTS);
    CListCtrl table;
    table.Attach(list);
    table.InsertColumn(0, xCaption_.empty() ? L"X" : xCaption_.c_str(), LVCFMT_LEFT, 100);
    table.InsertColumn(1, yCaption_.empty() ? L"Y" : yCaption_.c_str(), LVCFMT_LEFT, 100);
    table.Detach();
    plot_.SubclassDlgItem(IDC_PLOT, this);
    plot_.SetCaptions(xCaption_, yCaption_);
    plot_.SetPoints(&points_);
    FillTable();
    return TRUE;
}

void CurveEditorDialog::FillTable() {
    filling_ = true;
    CListCtrl table;
    table.Attach(::GetDlgItem(m_hWnd, IDC_POINTS));
    table.DeleteAllItems();
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const int row = table.InsertItem(int(i), FormatValue(points_[i].x).c_str());
        table.SetItemText(row, 1, FormatValue(points_[i].y).c_str());
    }
    table.Detach();
    filling_ = false;
    wchar_t count[64];
    std::swprintf(count, 64, points_.size() == 1 ? L"%zu point" : L"%zu points", points_.size());
    SetDlgItemText(IDC_COUNT, count);
    if (plot_.m_hWnd) plot_.Invalidate();
    UpdateButtons();
}

int CurveEditorDialog::Selected() const {
    return int(::SendDlgItemMessage(m_hWnd, IDC_POINTS, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void CurveEditorDialog::Select(int index) {
    CListCtrl table;
    table.Attach(::GetDlgItem(m_hWnd, IDC_POINTS));
    if (index >= 0 && index < table.GetItemCount()) {
        table.SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        table.EnsureVisible(index, FALSE);
    }
    table.Detach();
    UpdateButtons();
}

void CurveEditorDialog::UpdateButtons() {
    const bool selected = Selected() >= 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_REPLACE), selected);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_DELETE), selected);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SORT), points_.size() > 1);
}

void CurveEditorDialog::OnSelectionChanged() {
    const int index = Selected();
    if (index >= 0 && std::size_t(index) < points_.size()) {
        SetDlgItemText(IDC_X, FormatValue(points_[std::size_t(index)].x).c_str());
        SetDlgItemText(IDC_Y, FormatValue(points_[std::size_t(index)].y).c_str());
    }
    UpdateButtons();
}

bool CurveEditorDialog::ReadFields(CurvePointRecord& point) {
    const struct {
        int id;
        double* value;
        const wchar_t* name;
    } fields[] = {{IDC_X, &point.x, L"X"}, {IDC_Y, &point.y, L"Y"}};
    for (const auto& field : fields) {
        wchar_t text[256] = {};
        ::GetDlgItemText(m_hWnd, field.id, text, 256);
        if (!ParseValue(text, *field.value)) {
            std::wstring message = std::wstring(L"Enter a number for ") + field.name + L".";
            if (*text) message = std::wstring(L"\"") + text + L"\" is not a number. " + message;
            AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
            HWND edit = ::GetDlgItem(m_hWnd, field.id);
            ::SetFocus(edit);
            ::SendMessage(edit, EM_SETSEL, 0, -1);
            return false;
        }
    }
    return true;
}

void CurveEditorDialog::OnAdd() {
    CurvePointRecord point{};
    if (!ReadFields(point)) return;
    points_.push_back(point);
    FillTable();
    Select(int(points_.size()) - 1);
}

void CurveEditorDialog::OnInsert() {
    CurvePointRecord point{};
    if (!ReadFields(point)) return;
    const int at = Selected() >= 0 ? Selected() : int(points_.size());
    points_.insert(points_.begin() + at, point);
    FillTable();
    Select(at);
}

void CurveEditorDialog::OnReplace() {
    const int at = Selected();
    if (at < 0) return;
    CurvePointRecord point{};
    if (!ReadFields(point)) return;
    points_[std::size_t(at)] = point;
    FillTable();
    Select(at);
}

void CurveEditorDialog::OnDelete() {
    const int at = Selected();
    if (at < 0) return;
    points_.erase(points_.begin() + at);
    FillTable();
    Select(std::min(at, int(points_.size()) - 1));
}

void CurveEditorDialog::OnSort() {
    std::stable_sort(points_.begin(), points_.end(),
                     [](const CurvePointRecord& a, const CurvePointRecord& b) { return a.x < b.x; });
    FillTable();
}

void CurveEditorDialog::OnOK() {
    // A curve is a function of x: its points must come in order of x.
    if (mode_ == kCurveEditorModeCurve && !Ordered(points_)) {
        AfxMessageBox(L"The X values must not decrease from one point to the next. Choose Sort to put the points in "
                      L"order.",
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    EndDialog(IDOK);
}

}  // namespace orv::components
