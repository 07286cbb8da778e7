// The property grid control: its items, its window procedure over kernel state and the person
// level operations the input layer and the front ends use.

#include "platform/win/PropertyGrid.h"

#include <algorithm>
#include <cwctype>

#include "platform/win/ControlState.h"

namespace orv::win::detail {
namespace {

PropertyGridState* GridState(HWND grid) { return grid ? StateOf<PropertyGridState>(grid) : nullptr; }

PropertyGridState& EnsureGrid(HWND hwnd) {
    Window& w = Get(hwnd);
    if (!dynamic_cast<PropertyGridState*>(w.control.get())) w.control = std::make_unique<PropertyGridState>();
    return static_cast<PropertyGridState&>(*w.control);
}

void AddRows(CXTPPropertyGridItem* item, std::vector<CXTPPropertyGridItem*>& rows) {
    rows.push_back(item);
    if (!item->IsExpanded()) return;
    for (int i = 0; i < item->GetChildCount(); ++i) AddRows(item->GetChild(i), rows);
}

int RowOf(const std::vector<CXTPPropertyGridItem*>& rows, const CXTPPropertyGridItem* item) {
    const auto it = std::find(rows.begin(), rows.end(), item);
    return it == rows.end() ? -1 : int(it - rows.begin());
}

// The width of one character cell: 4 horizontal dialog units.
int CellWidth(HWND grid) {
    RECT units{0, 0, 4, 8};
    HWND dialog = DialogOf(grid);
    if (dialog && MapDialogRect(dialog, &units) && units.right > 0) return int(units.right);
    return 6;
}

int CaptionWidth(const CXTPPropertyGridItem* item, int depth, int cell) {
    int width = TextWidth(item->GetCaption().GetString(), cell) + (2 * depth + 4) * cell;
    for (int i = 0; i < item->GetChildCount(); ++i) width = std::max(width, CaptionWidth(item->GetChild(i), depth + 1, cell));
    return width;
}

int CurrentChoice(const CXTPPropertyGridItem& item) {
    return item.GetConstraints()->FindConstraint(LPCTSTR(item.GetValue()));
}

bool Editable(const CXTPPropertyGridItem* item) {
    return item && !item->IsCategory() && !item->GetReadOnly() && item->GetConstraints()->GetCount() > 0;
}

void Notify(HWND grid, WPARAM code, CXTPPropertyGridItem* item) {
    HWND parent = GetParent(grid);
    if (parent) SendMessage(parent, XTPWM_PROPERTYGRID_NOTIFY, code, LPARAM(item));
}

// Rows that fit above the help pane.
int PageRows(HWND grid, const PropertyGridState& s) {
    RECT r{};
    GetClientRect(grid, &r);
    int height = r.bottom - (s.helpVisible ? s.helpHeight : 0);
    return std::max(1, height / std::max(1, GridRowHeight(grid)));
}

void KeepVisible(HWND grid, PropertyGridState& s) {
    const auto rows = GridRows(s);
    const int row = RowOf(rows, s.selected);
    const int page = PageRows(grid, s);
    if (row >= 0 && row < s.top) s.top = row;
    if (row >= 0 && row >= s.top + page) s.top = row - page + 1;
    s.top = std::clamp(s.top, 0, std::max(0, int(rows.size()) - page));
}

void SelectRow(HWND grid, PropertyGridState& s, CXTPPropertyGridItem* item) {
    if (s.selected == item) return;
    s.selected = item;
    s.dropped = false;
    KeepVisible(grid, s);
    Changed(grid, WindowChange::State);
    Notify(grid, XTP_PGN_SELECTION_CHANGED, item);
}

void SetExpanded(CXTPPropertyGridItem* item, bool expanded) {
    if (expanded) item->Expand();
    else item->Collapse();
}

void Drop(HWND grid, PropertyGridState& s, bool dropped) {
    if (dropped && !Editable(s.selected)) return;
    s.dropped = dropped;
    s.highlight = dropped ? std::max(0, CurrentChoice(*s.selected)) : -1;
    Changed(grid, WindowChange::State);
}

// The next choice after `from` (wrapping) whose text starts with `ch`, -1 when none.
int NextMatch(const CXTPPropertyGridItem& item, int from, wchar_t ch) {
    const auto* c = item.GetConstraints();
    const int n = c->GetCount();
    for (int step = 1; step <= n; ++step) {
        const int i = ((from < 0 ? -1 : from) + step) % n;
        const CString text = c->GetAt(i);
        if (!text.IsEmpty() && std::towlower(wint_t(text[0])) == std::towlower(wint_t(ch))) return i;
    }
    return -1;
}

void Key(HWND grid, PropertyGridState& s, UINT vk) {
    const auto rows = GridRows(s);
    if (rows.empty()) return;
    if (s.dropped) {
        const int n = s.selected->GetConstraints()->GetCount();
        switch (vk) {
        case VK_UP: s.highlight = std::max(0, s.highlight - 1); break;
        case VK_DOWN: s.highlight = std::min(n - 1, s.highlight + 1); break;
        case VK_HOME: s.highlight = 0; break;
        case VK_END: s.highlight = n - 1; break;
        case VK_RETURN: {
            const int choice = s.highlight;
            Drop(grid, s, false);
            GridChoose(grid, choice);
            return;
        }
        case VK_ESCAPE:
        case VK_F4: Drop(grid, s, false); return;
        default: return;
        }
        Changed(grid, WindowChange::State);
        return;
    }
    int row = RowOf(rows, s.selected);
    switch (vk) {
    case VK_UP: row = row < 0 ? 0 : std::max(0, row - 1); break;
    case VK_DOWN: row = row < 0 ? 0 : std::min(int(rows.size()) - 1, row + 1); break;
    case VK_HOME: row = 0; break;
    case VK_END: row = int(rows.size()) - 1; break;
    case VK_LEFT:
    case VK_RIGHT:
        if (s.selected && s.selected->GetChildCount() > 0) SetExpanded(s.selected, vk == VK_RIGHT);
        return;
    case VK_RETURN:
        if (s.selected && s.selected->GetChildCount() > 0) {
            SetExpanded(s.selected, !s.selected->IsExpanded());
            return;
        }
        [[fallthrough]];
    case VK_F4: Drop(grid, s, true); return;
    default: return;
    }
    SelectRow(grid, s, rows[std::size_t(row)]);
}

void Char(HWND grid, PropertyGridState& s, wchar_t ch) {
    CXTPPropertyGridItem* item = s.selected;
    if (!item) return;
    if (item->GetChildCount() > 0 && (ch == L'+' || ch == L'-')) {
        SetExpanded(item, ch == L'+');
        return;
    }
    if (!Editable(item) || !std::iswgraph(wint_t(ch))) return;
    const int match = NextMatch(*item, s.dropped ? s.highlight : CurrentChoice(*item), ch);
    if (match < 0) return;
    if (s.dropped) {
        s.highlight = match;
        Changed(grid, WindowChange::State);
    } else {
        GridChoose(grid, match);
    }
}

// A click at a point of the client area: the row under it is selected; a click on the value
// of the selected editable item opens or closes its list, and one in the open list picks.
void Click(HWND grid, PropertyGridState& s, POINT at) {
    if (GetFocus() != grid) SetFocus(grid);
    const auto rows = GridRows(s);
    const int height = std::max(1, GridRowHeight(grid));
    const int line = at.y / height;
    if (s.dropped) {
        const int below = RowOf(rows, s.selected) - s.top + 1;
        const int choice = line - below;
        if (choice >= 0 && choice < s.selected->GetConstraints()->GetCount() && at.x >= GridSplit(grid, s)) {
            Drop(grid, s, false);
            GridChoose(grid, choice);
            return;
        }
        Drop(grid, s, false);
    }
    const int row = s.top + line;
    if (line < 0 || row >= int(rows.size()) || line >= PageRows(grid, s)) return;
    CXTPPropertyGridItem* item = rows[std::size_t(row)];
    if (item->GetChildCount() > 0 && (item->IsCategory() || at.x < height)) {
        SelectRow(grid, s, item);
        SetExpanded(item, !item->IsExpanded());
        return;
    }
    const bool wasSelected = s.selected == item;
    SelectRow(grid, s, item);
    if (wasSelected && at.x >= GridSplit(grid, s)) Drop(grid, s, true);
}

}  // namespace

std::vector<CXTPPropertyGridItem*> GridRows(const PropertyGridState& s) {
    std::vector<CXTPPropertyGridItem*> rows;
    for (const auto& category : s.categories) AddRows(category.get(), rows);
    return rows;
}

int GridSplit(HWND grid, const PropertyGridState& s) {
    const int cell = CellWidth(grid);
    int width = 0;
    for (const auto& category : s.categories) width = std::max(width, CaptionWidth(category.get(), 0, cell));
    RECT r{};
    GetClientRect(grid, &r);
    return std::min(width, int(r.right) * 2 / 5);
}

int GridRowHeight(HWND grid) {
    RECT units{0, 0, 4, 8};
    HWND dialog = DialogOf(grid);
    if (dialog && MapDialogRect(dialog, &units) && units.bottom > 0) return int(units.bottom);
    return 13;
}

bool GridChoose(HWND grid, int choice) {
    PropertyGridState* s = GridState(grid);
    if (!s || !Editable(s->selected)) return false;
    CXTPPropertyGridItem* item = s->selected;
    if (choice < 0 || choice >= item->GetConstraints()->GetCount()) return false;
    const CString text = item->GetConstraints()->GetAt(choice);
    if (text == item->GetValue()) return true;
    item->SetValueByPerson(text);
    Notify(grid, XTP_PGN_ITEMVALUE_CHANGED, item);
    return true;
}

bool GridSelect(HWND grid, int row) {
    PropertyGridState* s = GridState(grid);
    if (!s) return false;
    const auto rows = GridRows(*s);
    if (row < 0 || row >= int(rows.size())) return false;
    SelectRow(grid, *s, rows[std::size_t(row)]);
    return true;
}

bool GridToggle(HWND grid, int row) {
    PropertyGridState* s = GridState(grid);
    if (!s) return false;
    const auto rows = GridRows(*s);
    if (row < 0 || row >= int(rows.size()) || rows[std::size_t(row)]->GetChildCount() == 0) return false;
    SelectRow(grid, *s, rows[std::size_t(row)]);
    SetExpanded(rows[std::size_t(row)], !rows[std::size_t(row)]->IsExpanded());
    return true;
}

void InspectGrid(const PropertyGridState& s, HWND grid, WindowView& v) {
    const auto rows = GridRows(s);
    for (const CXTPPropertyGridItem* item : rows) {
        GridRowView r;
        r.caption = item->GetCaption().GetString();
        r.value = item->GetValue().GetString();
        r.description = item->GetDescription().GetString();
        r.category = item->IsCategory();
        r.expandable = item->GetChildCount() > 0;
        r.expanded = item->IsExpanded() != FALSE;
        r.readOnly = item->IsCategory() || item->GetReadOnly();
        for (const CXTPPropertyGridItem* up = item->GetParentItem(); up; up = up->GetParentItem()) ++r.depth;
        const auto* c = item->GetConstraints();
        for (int i = 0; i < c->GetCount(); ++i) r.choices.push_back(c->GetAt(i).GetString());
        v.gridRows.push_back(std::move(r));
    }
    v.selection = RowOf(rows, s.selected);
    v.gridDropped = s.dropped;
    v.gridHighlight = s.highlight;
    v.gridTop = s.top;
    v.gridHelpVisible = s.helpVisible;
    v.gridHelpHeight = s.helpHeight;
    v.gridRowHeight = GridRowHeight(grid);
    v.gridSplit = GridSplit(grid, s);
}

LRESULT PropertyGridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PropertyGridState& s = EnsureGrid(hwnd);
    switch (message) {
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        const bool enterUsed = s.dropped || (s.selected && (s.selected->GetChildCount() > 0 || Editable(s.selected)));
        if ((wParam == VK_RETURN && enterUsed) || (wParam == VK_ESCAPE && s.dropped)) code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_KEYDOWN: Key(hwnd, s, UINT(wParam)); return 0;
    case WM_CHAR: Char(hwnd, s, wchar_t(wParam)); return 0;
    case WM_LBUTTONDOWN: Click(hwnd, s, POINT{SHORT(LOWORD(DWORD(lParam))), SHORT(HIWORD(DWORD(lParam)))}); return 0;
    case WM_SETFOCUS:
        if (!s.selected) {
            const auto rows = GridRows(s);
            if (!rows.empty()) SelectRow(hwnd, s, rows.front());
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_KILLFOCUS:
        if (s.dropped) Drop(hwnd, s, false);
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_SIZE:
        KeepVisible(hwnd, s);
        return DefWindowProc(hwnd, message, wParam, lParam);
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace orv::win::detail

using namespace orv::win::detail;
using orv::win::WindowChange;

// ---- choices ----

int CXTPPropertyGridItemConstraints::AddConstraint(LPCTSTR text, DWORD_PTR data) {
    constraints_.push_back({CString(text ? text : L""), data});
    owner_.Changed();
    return int(constraints_.size()) - 1;
}

void CXTPPropertyGridItemConstraints::RemoveAll() {
    if (constraints_.empty()) return;
    constraints_.clear();
    owner_.Changed();
}

CString CXTPPropertyGridItemConstraints::GetAt(int index) const {
    return index >= 0 && index < GetCount() ? constraints_[std::size_t(index)].text : CString();
}

DWORD_PTR CXTPPropertyGridItemConstraints::GetConstraintData(int index) const {
    return index >= 0 && index < GetCount() ? constraints_[std::size_t(index)].data : 0;
}

int CXTPPropertyGridItemConstraints::FindConstraint(LPCTSTR text) const {
    for (int i = 0; i < GetCount(); ++i)
        if (constraints_[std::size_t(i)].text == (text ? text : L"")) return i;
    return -1;
}

int CXTPPropertyGridItemConstraints::FindConstraint(DWORD_PTR data) const {
    for (int i = 0; i < GetCount(); ++i)
        if (constraints_[std::size_t(i)].data == data) return i;
    return -1;
}

// ---- items ----

CXTPPropertyGridItem::CXTPPropertyGridItem(LPCTSTR caption, LPCTSTR value)
    : caption_(caption ? caption : L""), value_(value ? value : L""), resetValue_(value_), constraints_(*this) {}

CXTPPropertyGridItem::~CXTPPropertyGridItem() = default;

CXTPPropertyGridItem* CXTPPropertyGridItem::AddChildItem(CXTPPropertyGridItem* item) {
    if (!item) return nullptr;
    children_.emplace_back(item);
    item->AttachToGrid(grid_, this, false);
    Changed();
    return item;
}

CXTPPropertyGridItem* CXTPPropertyGridItem::GetChild(int index) const {
    return index >= 0 && index < GetChildCount() ? children_[std::size_t(index)].get() : nullptr;
}

void CXTPPropertyGridItem::AttachToGrid(HWND grid, CXTPPropertyGridItem* parent, bool category) {
    grid_ = grid;
    parent_ = parent;
    category_ = category;
    for (auto& child : children_) child->AttachToGrid(grid, this, false);
}

void CXTPPropertyGridItem::Changed() const {
    if (grid_ && IsWindow(grid_)) orv::win::detail::Changed(grid_, WindowChange::State);
}

void CXTPPropertyGridItem::SetCaption(LPCTSTR caption) {
    caption_ = caption ? caption : L"";
    Changed();
}

void CXTPPropertyGridItem::SetDescription(LPCTSTR description) {
    description_ = description ? description : L"";
    Changed();
}

void CXTPPropertyGridItem::SetValue(CString value) {
    resetValue_ = value;
    if (value_ == value) return;
    value_ = value;
    Changed();
}

void CXTPPropertyGridItem::SetValueByPerson(const CString& value) {
    value_ = value;
    Changed();
}

void CXTPPropertyGridItem::ResetValue() {
    if (value_ == resetValue_) return;
    value_ = resetValue_;
    Changed();
}

void CXTPPropertyGridItem::SetReadOnly(BOOL readOnly) {
    readOnly = readOnly ? TRUE : FALSE;
    if (readOnly_ == readOnly) return;
    readOnly_ = readOnly;
    if (readOnly_) {
        if (PropertyGridState* s = GridState(grid_); s && s->selected == this && s->dropped) s->dropped = false;
    }
    Changed();
}

void CXTPPropertyGridItem::Expand() {
    if (expanded_) return;
    expanded_ = TRUE;
    Changed();
}

void CXTPPropertyGridItem::Collapse() {
    if (!expanded_) return;
    expanded_ = FALSE;
    // A selected item inside the collapsed branch gives the selection to this one.
    if (PropertyGridState* s = GridState(grid_)) {
        for (CXTPPropertyGridItem* up = s->selected ? s->selected->GetParentItem() : nullptr; up; up = up->GetParentItem())
            if (up == this) {
                s->selected = this;
                s->dropped = false;
            }
    }
    Changed();
}

void CXTPPropertyGridItem::Select() {
    if (PropertyGridState* s = GridState(grid_)) {
        s->selected = this;
        s->dropped = false;
        KeepVisible(grid_, *s);
        Changed();
    }
}

BOOL CXTPPropertyGridItem::IsSelected() const {
    const PropertyGridState* s = GridState(grid_);
    return s && s->selected == this;
}

CXTPPropertyGridItemEnum::CXTPPropertyGridItemEnum(LPCTSTR caption, int value)
    : CXTPPropertyGridItem(caption), enumValue_(value) {}

void CXTPPropertyGridItemEnum::SetEnum(int value) {
    enumValue_ = value;
    SetValue(GetConstraints()->GetAt(GetConstraints()->FindConstraint(DWORD_PTR(value))));
}

int CXTPPropertyGridItemEnum::GetEnum() const {
    const int index = GetConstraints()->FindConstraint(LPCTSTR(value_));
    return index >= 0 ? int(GetConstraints()->GetConstraintData(index)) : enumValue_;
}

// ---- the grid window ----

BOOL CXTPPropertyGrid::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
    if (!CWnd::Create(kPropertyGridClass, L"", style | WS_CHILD, rect, parent, id)) return FALSE;
    EnsureGrid(m_hWnd).helpHeight = 3 * GridRowHeight(m_hWnd);
    return TRUE;
}

CXTPPropertyGridItem* CXTPPropertyGrid::AddCategory(LPCTSTR caption) {
    PropertyGridState& s = EnsureGrid(m_hWnd);
    auto* category = new CXTPPropertyGridItem(caption);
    s.categories.emplace_back(category);
    category->AttachToGrid(m_hWnd, nullptr, true);
    Changed(m_hWnd, WindowChange::State);
    return category;
}

int CXTPPropertyGrid::GetCategoryCount() const {
    const PropertyGridState* s = GridState(m_hWnd);
    return s ? int(s->categories.size()) : 0;
}

CXTPPropertyGridItem* CXTPPropertyGrid::GetCategory(int index) const {
    const PropertyGridState* s = GridState(m_hWnd);
    return s && index >= 0 && index < int(s->categories.size()) ? s->categories[std::size_t(index)].get() : nullptr;
}

void CXTPPropertyGrid::ResetContent() {
    PropertyGridState* s = GridState(m_hWnd);
    if (!s) return;
    s->selected = nullptr;
    s->dropped = false;
    s->top = 0;
    s->categories.clear();
    Changed(m_hWnd, WindowChange::State);
}

CXTPPropertyGridItem* CXTPPropertyGrid::GetSelectedItem() const {
    const PropertyGridState* s = GridState(m_hWnd);
    return s ? s->selected : nullptr;
}

namespace {
CXTPPropertyGridItem* FindIn(CXTPPropertyGridItem* item, const CString& caption) {
    if (item->GetCaption() == caption) return item;
    for (int i = 0; i < item->GetChildCount(); ++i)
        if (CXTPPropertyGridItem* found = FindIn(item->GetChild(i), caption)) return found;
    return nullptr;
}
}  // namespace

CXTPPropertyGridItem* CXTPPropertyGrid::FindItem(LPCTSTR caption) const {
    const PropertyGridState* s = GridState(m_hWnd);
    if (!s) return nullptr;
    for (const auto& category : s->categories)
        if (CXTPPropertyGridItem* found = FindIn(category.get(), CString(caption))) return found;
    return nullptr;
}

void CXTPPropertyGrid::ShowHelp(BOOL show) {
    PropertyGridState& s = EnsureGrid(m_hWnd);
    if (s.helpVisible == (show != FALSE)) return;
    s.helpVisible = show != FALSE;
    Changed(m_hWnd, WindowChange::State);
}

BOOL CXTPPropertyGrid::IsHelpVisible() const {
    const PropertyGridState* s = GridState(m_hWnd);
    return s && s->helpVisible;
}

void CXTPPropertyGrid::SetHelpHeight(int height) {
    PropertyGridState& s = EnsureGrid(m_hWnd);
    height = std::max(0, height);
    if (s.helpHeight == height) return;
    s.helpHeight = height;
    KeepVisible(m_hWnd, s);
    Changed(m_hWnd, WindowChange::State);
}

int CXTPPropertyGrid::GetHelpHeight() const {
    const PropertyGridState* s = GridState(m_hWnd);
    return s ? s->helpHeight : 0;
}
