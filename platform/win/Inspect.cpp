// Read access to the kernel's window state.

#include "platform/win/Inspect.h"

#include <cwctype>

#include "platform/win/ControlState.h"
#include "platform/win/DialogManager.h"
#include "platform/win/Gdi.h"

using namespace orv::win::detail;

namespace orv::win {

bool IsWindowClass(std::wstring_view className, std::wstring_view name) {
    if (className.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::towlower(wint_t(className[i])) != std::towlower(wint_t(name[i]))) return false;
    return true;
}

bool IsWindowClass(const WindowView& view, std::wstring_view name) { return IsWindowClass(view.className, name); }

HWND ActiveModalWindow() {
    const auto& modal = ModalStack();
    for (auto it = modal.rbegin(); it != modal.rend(); ++it)
        if (Window* w = Find(*it); w && w->dialog && !w->dialog->ended) return *it;
    return GetActiveWindow();
}

HWND FindControl(HWND dialog, int id) {
    for (HWND c : ChildWindows(dialog)) {
        if (GetDlgCtrlID(c) == id) return c;
    }
    for (HWND c : ChildWindows(dialog))
        if (HWND found = FindControl(c, id)) return found;
    return nullptr;
}

const DisplayList* WindowDisplayList(HWND hwnd) {
    Window* w = Find(hwnd);
    return w ? &w->displayList : nullptr;
}

const DisplayList* PaintWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return nullptr;
    InvalidateRect(hwnd, nullptr, TRUE);
    SendMessage(hwnd, WM_PAINT, 0, 0);
    return WindowDisplayList(hwnd);
}

WindowView Inspect(HWND hwnd) {
    WindowView v;
    Window* w = Find(hwnd);
    if (!w) return v;
    v.hwnd = hwnd;
    v.parent = (w->style & WS_CHILD) ? w->parent : nullptr;
    v.owner = w->owner;
    v.className = w->className;
    v.id = (w->style & WS_CHILD) ? int(w->id) : 0;
    v.style = w->style;
    v.exStyle = w->exStyle;
    v.text = w->text;
    GetWindowRect(hwnd, &v.windowRect);
    RECT c{};
    GetClientRect(hwnd, &c);
    POINT o = ClientOrigin(hwnd);
    v.clientRect = RECT{o.x, o.y, o.x + c.right, o.y + c.bottom};
    v.enabled = !(w->style & WS_DISABLED);
    v.visible = (w->style & WS_VISIBLE) != 0;
    v.reallyVisible = IsWindowVisible(hwnd) != FALSE;
    v.focused = GetFocus() == hwnd;
    v.userData = w->userData;
    v.alpha = w->layered ? w->alpha : 255;
    v.mixedValues = w->mixedValues;
    v.hasPlot = w->hasPlot;
    v.plot = w->plot;
    if (w->dialog && w->dialog->isMessageBox) {
        v.isMessageBox = true;
        v.messageBox = w->dialog->messageBox;
    }
    if (auto* b = dynamic_cast<ButtonState*>(w->control.get())) {
        UINT type = w->style & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_GROUPBOX && type != BS_OWNERDRAW &&
            type != BS_USERBUTTON && type != BS_PUSHBOX)
            v.check = b->check;
        if (HWND dlg = DialogOf(w->parent)) v.isDefaultButton = DefaultButtonId(dlg) == int(w->id) && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
    }
    if (auto* e = dynamic_cast<EditState*>(w->control.get())) {
        v.selStart = e->edit.SelStart();
        v.selEnd = e->edit.SelEnd();
        v.limit = e->edit.limit;
        v.readOnly = (w->style & ES_READONLY) != 0;
    }
    if (auto* l = dynamic_cast<ListState*>(w->control.get())) {
        for (const auto& item : l->items) {
            ItemView iv;
            iv.text = item.text;
            iv.data = item.data;
            iv.selected = item.selected;
            iv.image = item.image;
            v.items.push_back(std::move(iv));
        }
        v.selection = l->current;
        v.imageList = l->imageList;
        v.selStart = l->edit.SelStart();
        v.selEnd = l->edit.SelEnd();
        v.limit = l->edit.limit;
    }
    if (auto* g = dynamic_cast<PropertyGridState*>(w->control.get())) InspectGrid(*g, hwnd, v);
    if (auto* lv = dynamic_cast<ListViewState*>(w->control.get())) {
        v.selection = -1;
        for (size_t i = 0; i < lv->items.size(); ++i) {
            const auto& item = lv->items[i];
            ItemView iv;
            iv.text = item.text;
            iv.subItems = item.subItems;
            iv.data = item.data;
            iv.selected = item.selected;
            iv.image = item.image;
            if (item.selected && v.selection < 0) v.selection = int(i);
            v.items.push_back(std::move(iv));
        }
        for (const auto& col : lv->columns) v.columns.push_back(col.text);
    }
    if (auto* t = dynamic_cast<TabState*>(w->control.get())) {
        for (const auto& item : t->items) {
            ItemView iv;
            iv.text = item.text;
            iv.data = DWORD_PTR(item.data);
            iv.image = item.image;
            v.items.push_back(std::move(iv));
        }
        v.selection = t->current;
        if (v.selection >= 0 && v.selection < int(v.items.size())) v.items[size_t(v.selection)].selected = true;
    }
    ControlKind kind = KindOf(hwnd);
    if ((kind == ControlKind::Edit || kind == ControlKind::Static || kind == ControlKind::Button) && (w->style & WS_CHILD)) {
        // The colours the parent chooses when the control paints (read-only and disabled edits
        // ask as statics do).
        bool editLike = kind == ControlKind::Edit && !(w->style & (ES_READONLY | WS_DISABLED));
        UINT message = editLike ? WM_CTLCOLOREDIT : kind == ControlKind::Button && (w->style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON
                                                        ? WM_CTLCOLORBTN
                                                        : WM_CTLCOLORSTATIC;
        HDC dc = ::GetDC(hwnd);
        CDC* cdc = CDC::FromHandle(dc);
        cdc->SetTextColor(GetSysColor((w->style & WS_DISABLED) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        cdc->SetBkColor(GetSysColor(editLike ? COLOR_WINDOW : COLOR_BTNFACE));
        HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessage(w->parent, message, WPARAM(dc), LPARAM(hwnd)));
        v.textColor = cdc->GetTextColor();
        BrushInfo info;
        v.backColor = brush && GetBrushInformation(brush, info) ? info.color : cdc->GetBkColor();
        ::ReleaseDC(hwnd, dc);
        w = Find(hwnd);
        if (!w) return v;
    }
    if (auto* u = dynamic_cast<UpDownState*>(w->control.get())) {
        v.rangeMin = u->low;
        v.rangeMax = u->high;
        v.position = u->pos;
        v.buddy = u->buddy;
    }
    return v;
}

void SetPlotView(HWND control, const PlotView& plot) {
    if (Window* w = Find(control)) {
        w->hasPlot = true;
        w->plot = plot;
    }
}

void SetMixedValues(HWND control, std::vector<MixedValue> values) {
    if (Window* w = Find(control)) w->mixedValues = std::move(values);
}

std::wstring HelpRequestText(const HelpRequest& r) {
    if (!r.popupText.empty()) return r.popupText;
    if (r.command == HH_DISPLAY_TEXT_POPUP) return L"There is no help text for this item.";
    if (r.command == HH_HELP_CONTEXT) return L"Help topic " + std::to_wstring(r.data) + L" of " + r.file;
    return L"Help: " + (r.file.empty() ? std::wstring(L"the help file") : r.file);
}

std::wstring DescribeMixedValues(const std::vector<MixedValue>& values) {
    if (values.empty()) return std::wstring();
    std::wstring text = std::to_wstring(values.size()) + L" different values: ";
    for (std::size_t i = 0; i < values.size(); ++i) {
        const MixedValue& value = values[i];
        if (i) text += L", ";
        text += value.text + L" (" + std::to_wstring(value.objects.size()) +
                (value.objects.size() == 1 ? L" object: " : L" objects: ");
        for (std::size_t k = 0; k < value.objects.size(); ++k) {
            if (k) text += L", ";
            text += std::to_wstring(value.objects[k]);
        }
        text += L")";
    }
    return text;
}

}  // namespace orv::win
