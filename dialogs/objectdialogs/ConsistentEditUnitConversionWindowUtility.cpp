#include "dialogs/objectdialogs/ConsistentEditUnitConversionWindowUtility.h"

namespace DataModelDialogs {

ConsistantEditWnd::ConsistantEditWnd() {
    // Reflect-and-pass-on: the parent dialog still receives the change.
    HandleReflectedCommand(EN_CHANGE, [this] {
        if (GetWindowTextLength() >= 1) ::SetWindowLongPtr(m_hWnd, GWLP_USERDATA, 1);
        return FALSE;
    });
}

void ConsistantEditWnd::SyncEnteredFlag(HWND edit) {
    if (!edit) return;
    ::SetWindowLongPtr(edit, GWLP_USERDATA, ::GetWindowTextLength(edit) > 0 ? 1 : 0);
}

bool ConsistantEditWnd::IsEntered(HWND edit) { return edit && ::GetWindowLongPtr(edit, GWLP_USERDATA) != 0; }

ConsistentEditUnitConversionWindowUtility::ConsistentEditUnitConversionWindowUtility() = default;
ConsistentEditUnitConversionWindowUtility::~ConsistentEditUnitConversionWindowUtility() = default;
ConsistentEditUnitConversionWindowUtility::ConsistentEditUnitConversionWindowUtility(
    const ConsistentEditUnitConversionWindowUtility&) = default;
ConsistentEditUnitConversionWindowUtility& ConsistentEditUnitConversionWindowUtility::operator=(
    const ConsistentEditUnitConversionWindowUtility&) = default;

namespace {

// Shared by both unit forms: `exchange` converts one double through the form that fits.
template <class Exchange>
void ExchangeConsistent(CDataExchange* dx, unsigned int id, ConsistentValue<double>& value, Exchange exchange) {
    HWND edit = dx->PrepareEditCtrl(int(id));
    if (!dx->m_bSaveAndValidate) {
        if (value.isConsistent()) {
            double shown = value.get();
            exchange(shown);
        } else {
            ::SetWindowText(edit, L"");
        }
        ConsistantEditWnd::SyncEnteredFlag(edit);
        return;
    }
    if (ConsistantEditWnd::IsEntered(edit)) {
        double typed = 0;
        exchange(typed);
        value.clear();
        value.add(typed);
    } else {
        value.markInconsistent();
    }
}

}  // namespace

void ConsistentEditUnitConversionWindowUtility::DDX_ConsistentDouble(CDataExchange* dx, unsigned int id,
                                                                     ConsistentValue<double>& value) const {
    ExchangeConsistent(dx, id, value, [&](double& v) { DDX_Text(dx, id, v); });
}

void ConsistentEditUnitConversionWindowUtility::DDX_ConsistentDouble(CDataExchange* dx, unsigned int id,
                                                                     ConsistentValue<double>& value,
                                                                     DisplayableUnit unit) const {
    ExchangeConsistent(dx, id, value, [&](double& v) { DDX_Text(dx, id, v, unit); });
}

void ConsistentEditUnitConversionWindowUtility::DDV_ConsistentMinMaxDouble(CDataExchange* dx,
                                                                           const ConsistentValue<double>& value,
                                                                           double min, double max) const {
    if (!value.isConsistent()) return;
    DDV_MinMaxDouble(dx, dx->m_idLastControl, value.get(), min, max);
}

void ConsistentEditUnitConversionWindowUtility::DDV_ConsistentMinMaxDouble(CDataExchange* dx,
                                                                           const ConsistentValue<double>& value,
                                                                           double min, double max,
                                                                           DisplayableUnit unit) const {
    if (!value.isConsistent()) return;
    DDV_MinMaxDouble(dx, value.get(), min, max, unit);
}

void ConsistentEditUnitConversionWindowUtility::DDX_ConsistentCBItemData(CDataExchange* dx, unsigned int id,
                                                                         ConsistentValue<std::uint32_t>& value) const {
    HWND combo = dx->PrepareCtrl(int(id));
    if (!dx->m_bSaveAndValidate) {
        int select = -1;
        if (value.isConsistent()) {
            const int count = int(::SendMessage(combo, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                if (std::uint32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(i), 0)) == value.get()) {
                    select = i;
                    break;
                }
            }
        }
        ::SendMessage(combo, CB_SETCURSEL, WPARAM(select), 0);
        return;
    }
    value.clear();
    const int selection = int(::SendMessage(combo, CB_GETCURSEL, 0, 0));
    if (selection >= 0)
        value.add(std::uint32_t(::SendMessage(combo, CB_GETITEMDATA, WPARAM(selection), 0)));
    else
        value.markInconsistent();
}

void ConsistentEditUnitConversionWindowUtility::DDX_ConsistentCheck(CDataExchange* dx, unsigned int id,
                                                                    ConsistentValue<bool>& value) const {
    HWND box = dx->PrepareCtrl(int(id));
    if (!dx->m_bSaveAndValidate) {
        int state = BST_INDETERMINATE;
        if (value.isConsistent()) state = value.get() ? BST_CHECKED : BST_UNCHECKED;
        if (state == BST_INDETERMINATE) {
            const DWORD style = DWORD(::GetWindowLongPtr(box, GWL_STYLE));
            const DWORD type = style & BS_TYPEMASK;
            DWORD three = type;
            if (type == BS_AUTOCHECKBOX) three = BS_AUTO3STATE;
            else if (type == BS_CHECKBOX) three = BS_3STATE;
            if (three != type) {
                ::SendMessage(box, BM_SETSTYLE, WPARAM((style & ~BS_TYPEMASK & 0xFFFF) | three), TRUE);
                ::InvalidateRect(box, nullptr, TRUE);
            }
        }
        ::SendMessage(box, BM_SETCHECK, WPARAM(state), 0);
        return;
    }
    value.clear();
    const int state = int(::SendMessage(box, BM_GETCHECK, 0, 0));
    if (state == BST_INDETERMINATE) value.markInconsistent();
    else value.add(state == BST_CHECKED);
}

}  // namespace DataModelDialogs
