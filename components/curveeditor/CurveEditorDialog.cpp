#include "components/curveeditor/CurveEditorDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <utility>

#include "platform/res/DialogBuilder.h"
#include "platform/win/PlotAxes.h"

namespace orv::components {
namespace {

// The layout in dialog units: the captions' rows only when there are captions, a table wide
// enough for both column headings, the plot beside it, and the dialog no wider than a terminal
// of 100 columns shows.
constexpr int kMargin = 7, kGap = 8, kMinTable = 140, kPlotWidth = 168, kMinPlotWidth = 150, kMaxWidth = 392;
constexpr int kMinColumn = 56;  // room for a value such as "0.30000000000000004"
constexpr int kTableChrome = 13;  // the borders and a vertical scroll bar

// A column as wide as its heading (four dialog units a character, with padding).
int ColumnUnits(const std::wstring& caption) { return std::max(kMinColumn, int(caption.size()) * 4 + 10); }

struct Layout {
    int top = 0;  // of the table and the plot
    int table = 0, plot = 0, width = 0, height = 0;
    int xColumn = 0, yColumn = 0;
};

Layout ComputeLayout(const std::wstring& caption2, const std::wstring& caption3, const std::wstring& xCaption,
                     const std::wstring& yCaption) {
    Layout l;
    const int captions = int(!caption2.empty()) + int(!caption3.empty());
    l.top = captions ? 5 + 10 * captions + 1 : kMargin;
    l.xColumn = ColumnUnits(xCaption.empty() ? L"X" : xCaption);
    l.yColumn = ColumnUnits(yCaption.empty() ? L"Y" : yCaption);
    const int maxTable = kMaxWidth - 2 * kMargin - kGap - kMinPlotWidth;
    l.table = std::clamp(l.xColumn + l.yColumn + kTableChrome, kMinTable, maxTable);
    // Headings that fit share what is left; a table at its widest gives them its room in proportion.
    const int room = l.table - kTableChrome, wanted = l.xColumn + l.yColumn;
    if (wanted < room) {
        l.xColumn += (room - wanted) / 2;
        l.yColumn = room - l.xColumn;
    } else if (wanted > room) {
        l.xColumn = l.xColumn * room / wanted;
        l.yColumn = room - l.xColumn;
    }
    l.plot = std::clamp(kMaxWidth - 2 * kMargin - kGap - l.table, kMinPlotWidth, kPlotWidth);
    l.width = 2 * kMargin + l.table + kGap + l.plot;
    l.height = l.top + 174;
    return l;
}

orv::res::DialogTemplate BuildTemplate(const std::wstring& title, const Layout& l, bool caption2, bool caption3) {
    using D = CurveEditorDialog;
    const int t = l.top, right = kMargin + l.table;
    const int field = (l.table - 28) / 2;  // the X and Y edits share the table's width
    orv::res::DialogBuilder b(title.empty() ? D::kTitleFallback : title, l.width, l.height);
    int captionY = 5;
    if (caption2) b.Label(L"", D::IDC_CAPTION2, kMargin, std::exchange(captionY, captionY + 10), l.width - 2 * kMargin, 8);
    if (caption3) b.Label(L"", D::IDC_CAPTION3, kMargin, captionY, l.width - 2 * kMargin, 8);
    return b.Control(L"SysListView32", L"", D::IDC_POINTS,
                     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, kMargin, t, l.table, 110)
        .Label(L"&X:", D::IDC_X_LABEL, kMargin, t + 117, 10, 8)
        .Edit(D::IDC_X, 18, t + 115, field, 14)
        .Label(L"&Y:", D::IDC_Y_LABEL, 24 + field, t + 117, 10, 8)
        .Edit(D::IDC_Y, right - field, t + 115, field, 14)
        .Button(L"&Add", D::IDC_ADD, 7, t + 134, 34, 14)
        .Button(L"&Insert", D::IDC_INSERT, 43, t + 134, 34, 14)
        .Button(L"&Replace", D::IDC_REPLACE, 79, t + 134, 34, 14)
        .Button(L"&Delete", D::IDC_DELETE, 115, t + 134, 32, 14)
        .Button(L"&Sort", D::IDC_SORT, 7, t + 153, 34, 14)
        .Label(L"", D::IDC_COUNT, 45, t + 156, 100, 8)
        .Label(L"", D::IDC_PLOT, right + kGap, t, l.plot, 148, SS_LEFT | WS_BORDER)
        .DefaultButton(L"OK", IDOK, l.width - kMargin - 104, t + 153, 50, 14)
        .Button(L"Cancel", IDCANCEL, l.width - kMargin - 50, t + 153, 50, 14)
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
    orv::win::PlotAxes axes{0, 1, 0, 1, xCaption_, yCaption_};
    static const std::vector<CurvePointRecord> kNoPoints;
    const std::vector<CurvePointRecord>& points = points_ ? *points_ : kNoPoints;
    bool first = true;
    for (const CurvePointRecord& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        axes.xMin = first ? p.x : std::min(axes.xMin, p.x);
        axes.xMax = first ? p.x : std::max(axes.xMax, p.x);
        axes.yMin = first ? p.y : std::min(axes.yMin, p.y);
        axes.yMax = first ? p.y : std::max(axes.yMax, p.y);
        first = false;
    }
    // One value along an axis: it stands in the middle of a span of two.
    if (axes.xMax == axes.xMin) axes.xMin -= 1, axes.xMax += 1;
    if (axes.yMax == axes.yMin) axes.yMin -= 1, axes.yMax += 1;
    CWnd* parent = GetParent();
    const RECT box = orv::win::PaintPlotAxes(dc, client, axes, parent ? parent->GetFont() : nullptr, nullptr);
    if (first) return;
    const double spanX = axes.xMax - axes.xMin, spanY = axes.yMax - axes.yMin;
    std::vector<POINT> line;
    line.reserve(points.size());
    for (const CurvePointRecord& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        const double fx = (p.x - axes.xMin) / spanX, fy = (p.y - axes.yMin) / spanY;
        line.push_back(POINT{LONG(box.left + std::lround(fx * (box.right - box.left))),
                             LONG(box.bottom - std::lround(fy * (box.bottom - box.top)))});
    }
    CPen blue(PS_SOLID, 2, RGB(0, 0, 255));
    CPen* oldPen = dc.SelectObject(&blue);
    if (line.size() == 1) {
        dc.Rectangle(line[0].x - 2, line[0].y - 2, line[0].x + 2, line[0].y + 2);
    } else {
        dc.Polyline(line.data(), int(line.size()));
    }
    dc.SelectObject(oldPen);
}

// ---- dialog ----

CurveEditorDialog::CurveEditorDialog(CWnd* parent, std::vector<CurvePointRecord> points, LONG mode,
                                     std::wstring title, std::wstring caption2, std::wstring caption3,
                                     std::wstring xCaption, std::wstring yCaption)
    : points_(std::move(points)), mode_(mode), title_(std::move(title)),
      caption2_(std::move(caption2)), caption3_(std::move(caption3)), xCaption_(std::move(xCaption)),
      yCaption_(std::move(yCaption)) {
    const Layout layout = ComputeLayout(caption2_, caption3_, xCaption_, yCaption_);
    template_ = BuildTemplate(title_, layout, !caption2_.empty(), !caption3_.empty());
    xColumn_ = layout.xColumn;
    yColumn_ = layout.yColumn;
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
    if (!caption2_.empty()) SetDlgItemText(IDC_CAPTION2, caption2_.c_str());
    if (!caption3_.empty()) SetDlgItemText(IDC_CAPTION3, caption3_.c_str());
    HWND list = ::GetDlgItem(m_hWnd, IDC_POINTS);
    CListCtrl table;
    table.Attach(list);
    RECT xColumn{0, 0, xColumn_, 0}, yColumn{0, 0, yColumn_, 0};
    MapDialogRect(&xColumn);
    MapDialogRect(&yColumn);
    table.InsertColumn(0, xCaption_.empty() ? L"X" : xCaption_.c_str(), LVCFMT_LEFT, xColumn.right);
    table.InsertColumn(1, yCaption_.empty() ? L"Y" : yCaption_.c_str(), LVCFMT_LEFT, yColumn.right);
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
