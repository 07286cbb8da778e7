#include "platform/win/AfxControls.h"

#include "platform/win/Gdi.h"

CImageList* CComboBoxEx::SetImageList(CImageList* list) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(CBEM_SETIMAGELIST, 0, LPARAM(list ? list->m_hImageList : nullptr))));
}
CImageList* CComboBoxEx::GetImageList() const {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(CBEM_GETIMAGELIST)));
}

int CListCtrl::InsertItem(int index, LPCTSTR text) {
    LVITEM item;
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text);
    return InsertItem(&item);
}

int CListCtrl::InsertItem(int index, LPCTSTR text, int image) {
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.iImage = image;
    item.pszText = const_cast<LPWSTR>(text);
    return InsertItem(&item);
}

CString CListCtrl::GetItemText(int index, int subItem) const {
    std::wstring buffer(1024, L'\0');
    LVITEM item;
    item.iSubItem = subItem;
    item.pszText = buffer.data();
    item.cchTextMax = int(buffer.size());
    SendMessage(LVM_GETITEMTEXT, WPARAM(index), LPARAM(&item));
    return CString(buffer.c_str());
}

int CListCtrl::GetItemText(int index, int subItem, LPTSTR buffer, int max) const {
    LVITEM item;
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = max;
    return int(SendMessage(LVM_GETITEMTEXT, WPARAM(index), LPARAM(&item)));
}

BOOL CListCtrl::SetItemText(int index, int subItem, LPCTSTR text) {
    LVITEM item;
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text);
    return BOOL(SendMessage(LVM_SETITEMTEXT, WPARAM(index), LPARAM(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int index) const {
    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!GetItem(&item)) return 0;
    return DWORD_PTR(item.lParam);
}

BOOL CListCtrl::SetItemData(int index, DWORD_PTR data) {
    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = LPARAM(data);
    return SetItem(&item);
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
    LVITEM item;
    item.state = state;
    item.stateMask = mask;
    return BOOL(SendMessage(LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item)));
}

int CListCtrl::InsertColumn(int index, LPCTSTR heading, int format, int width, int subItem) {
    LVCOLUMN column;
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.fmt = format;
    column.pszText = const_cast<LPWSTR>(heading);
    if (width != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = width;
    }
    if (subItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = subItem;
    }
    return InsertColumn(index, &column);
}

CImageList* CListCtrl::SetImageList(CImageList* list, int which) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, WPARAM(which), LPARAM(list ? list->m_hImageList : nullptr))));
}

CImageList* CListCtrl::GetImageList(int which) const {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, WPARAM(which))));
}

CEdit* CListCtrl::EditLabel(int index) {
    SendMessage(LVM_EDITLABEL, WPARAM(index));
    return nullptr;
}

LONG CTabCtrl::InsertItem(int index, LPCTSTR text) {
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(text);
    return InsertItem(index, &item);
}

LONG CTabCtrl::InsertItem(int index, LPCTSTR text, int image) {
    TCITEM item;
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<LPWSTR>(text);
    item.iImage = image;
    return InsertItem(index, &item);
}

CImageList* CTabCtrl::SetImageList(CImageList* list) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(TCM_SETIMAGELIST, 0, LPARAM(list ? list->m_hImageList : nullptr))));
}

CImageList* CTabCtrl::GetImageList() const {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST)));
}
