#pragma once
// The framework's control classes: thin objects over the kernel's built-in controls. None adds
// data, so CWnd::FromHandle can hand out a temporary of the right class for any control.

#include "platform/win/CWnd.h"

class CImageList;

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"Edit", L"", style, rect, parent, id);
    }
    void SetSel(int start, int end, BOOL noScroll = FALSE) { (void)noScroll, SendMessage(EM_SETSEL, WPARAM(start), end); }
    void SetSel(DWORD selection, BOOL noScroll = FALSE) { SetSel(int(SHORT(LOWORD(selection))), int(SHORT(HIWORD(selection))), noScroll); }
    void GetSel(int& start, int& end) const {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, WPARAM(&s), LPARAM(&e));
        start = int(s), end = int(e);
    }
    DWORD GetSel() const { return DWORD(SendMessage(EM_GETSEL)); }
    void ReplaceSel(LPCTSTR text, BOOL canUndo = FALSE) { SendMessage(EM_REPLACESEL, WPARAM(canUndo), LPARAM(text)); }
    void LimitText(int max = 0) { SendMessage(EM_LIMITTEXT, WPARAM(max)); }
    void SetLimitText(UINT max) { SendMessage(EM_SETLIMITTEXT, WPARAM(max)); }
    UINT GetLimitText() const { return UINT(SendMessage(EM_GETLIMITTEXT)); }
    BOOL SetReadOnly(BOOL readOnly = TRUE) { return BOOL(SendMessage(EM_SETREADONLY, WPARAM(readOnly))); }
    BOOL GetModify() const { return BOOL(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, WPARAM(modified)); }
    int GetLineCount() const { return int(SendMessage(EM_GETLINECOUNT)); }
    CPoint PosFromChar(UINT index) const {
        DWORD p = DWORD(SendMessage(EM_POSFROMCHAR, index));
        return CPoint(SHORT(LOWORD(p)), SHORT(HIWORD(p)));
    }
    BOOL Undo() { return BOOL(SendMessage(EM_UNDO)); }
    void Clear() { SendMessage(WM_CLEAR); }
    void Copy() { SendMessage(WM_COPY); }
    void Cut() { SendMessage(WM_CUT); }
    void Paste() { SendMessage(WM_PASTE); }
};

class CStatic : public CWnd {
public:
    BOOL Create(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF) {
        return CWnd::Create(L"Static", text, style, rect, parent, id);
    }
    HICON SetIcon(HICON icon) { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, WPARAM(icon))); }
    HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
    HBITMAP SetBitmap(HBITMAP bitmap) { return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap))); }
    HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
};

class CButton : public CWnd {
public:
    BOOL Create(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"Button", text, style, rect, parent, id);
    }
    int GetCheck() const { return int(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, WPARAM(check)); }
    UINT GetState() const { return UINT(SendMessage(BM_GETSTATE)); }
    void SetState(BOOL highlight) { SendMessage(BM_SETSTATE, WPARAM(highlight)); }
    UINT GetButtonStyle() const { return UINT(GetStyle() & 0xFFFF); }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
    HICON SetIcon(HICON icon) { return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, LPARAM(icon))); }
    HBITMAP SetBitmap(HBITMAP bitmap) { return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap))); }
    void Click() { SendMessage(BM_CLICK); }
};

class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"ComboBox", L"", style, rect, parent, id);
    }
    int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return int(SendMessage(CB_SETCURSEL, WPARAM(index))); }
    int AddString(LPCTSTR text) { return int(SendMessage(CB_ADDSTRING, 0, LPARAM(text))); }
    int InsertString(int index, LPCTSTR text) { return int(SendMessage(CB_INSERTSTRING, WPARAM(index), LPARAM(text))); }
    int DeleteString(UINT index) { return int(SendMessage(CB_DELETESTRING, index)); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    DWORD_PTR GetItemData(int index) const { return DWORD_PTR(SendMessage(CB_GETITEMDATA, WPARAM(index))); }
    int SetItemData(int index, DWORD_PTR data) { return int(SendMessage(CB_SETITEMDATA, WPARAM(index), LPARAM(data))); }
    int GetLBText(int index, LPTSTR buffer) const { return int(SendMessage(CB_GETLBTEXT, WPARAM(index), LPARAM(buffer))); }
    void GetLBText(int index, CString& text) const {
        int n = GetLBTextLen(index);
        if (n < 0) {
            text.Empty();
            return;
        }
        GetLBText(index, text.GetBuffer(n + 1));
        text.ReleaseBuffer();
    }
    int GetLBTextLen(int index) const { return int(SendMessage(CB_GETLBTEXTLEN, WPARAM(index))); }
    int FindString(int after, LPCTSTR text) const { return int(SendMessage(CB_FINDSTRING, WPARAM(after), LPARAM(text))); }
    int FindStringExact(int after, LPCTSTR text) const { return int(SendMessage(CB_FINDSTRINGEXACT, WPARAM(after), LPARAM(text))); }
    int SelectString(int after, LPCTSTR text) { return int(SendMessage(CB_SELECTSTRING, WPARAM(after), LPARAM(text))); }
    BOOL LimitText(int max) { return BOOL(SendMessage(CB_LIMITTEXT, WPARAM(max))); }
    DWORD GetEditSel() const { return DWORD(SendMessage(CB_GETEDITSEL)); }
    BOOL SetEditSel(int start, int end) { return BOOL(SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(WORD(start), WORD(end)))); }
    void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, WPARAM(show)); }
    BOOL GetDroppedState() const { return BOOL(SendMessage(CB_GETDROPPEDSTATE)); }
};

class CComboBoxEx : public CComboBox {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"ComboBoxEx32", L"", style, rect, parent, id);
    }
    int InsertItem(const COMBOBOXEXITEM* item) { return int(SendMessage(CBEM_INSERTITEM, 0, LPARAM(item))); }
    BOOL GetItem(COMBOBOXEXITEM* item) { return BOOL(SendMessage(CBEM_GETITEM, 0, LPARAM(item))); }
    BOOL SetItem(const COMBOBOXEXITEM* item) { return BOOL(SendMessage(CBEM_SETITEM, 0, LPARAM(item))); }
    int DeleteItem(int index) { return int(SendMessage(CBEM_DELETEITEM, WPARAM(index))); }
    CImageList* SetImageList(CImageList* list);
    CImageList* GetImageList() const;
    CComboBox* GetComboBoxCtrl() { return this; }
};

class CListBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"ListBox", L"", style, rect, parent, id);
    }
    int GetCount() const { return int(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) { return int(SendMessage(LB_SETCURSEL, WPARAM(index))); }
    int AddString(LPCTSTR text) { return int(SendMessage(LB_ADDSTRING, 0, LPARAM(text))); }
    int InsertString(int index, LPCTSTR text) { return int(SendMessage(LB_INSERTSTRING, WPARAM(index), LPARAM(text))); }
    int DeleteString(UINT index) { return int(SendMessage(LB_DELETESTRING, index)); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    DWORD_PTR GetItemData(int index) const { return DWORD_PTR(SendMessage(LB_GETITEMDATA, WPARAM(index))); }
    int SetItemData(int index, DWORD_PTR data) { return int(SendMessage(LB_SETITEMDATA, WPARAM(index), LPARAM(data))); }
    int GetText(int index, LPTSTR buffer) const { return int(SendMessage(LB_GETTEXT, WPARAM(index), LPARAM(buffer))); }
    void GetText(int index, CString& text) const {
        int n = GetTextLen(index);
        if (n < 0) {
            text.Empty();
            return;
        }
        GetText(index, text.GetBuffer(n + 1));
        text.ReleaseBuffer();
    }
    int GetTextLen(int index) const { return int(SendMessage(LB_GETTEXTLEN, WPARAM(index))); }
    int FindString(int after, LPCTSTR text) const { return int(SendMessage(LB_FINDSTRING, WPARAM(after), LPARAM(text))); }
    int FindStringExact(int after, LPCTSTR text) const { return int(SendMessage(LB_FINDSTRINGEXACT, WPARAM(after), LPARAM(text))); }
    int SelectString(int after, LPCTSTR text) { return int(SendMessage(LB_SELECTSTRING, WPARAM(after), LPARAM(text))); }
    int GetSel(int index) const { return int(SendMessage(LB_GETSEL, WPARAM(index))); }
    int SetSel(int index, BOOL select = TRUE) { return int(SendMessage(LB_SETSEL, WPARAM(select), index)); }
    int GetSelCount() const { return int(SendMessage(LB_GETSELCOUNT)); }
    int GetSelItems(int max, LPINT items) const { return int(SendMessage(LB_GETSELITEMS, WPARAM(max), LPARAM(items))); }
};

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"SysListView32", L"", style, rect, parent, id);
    }
    int GetItemCount() const { return int(SendMessage(LVM_GETITEMCOUNT)); }
    int InsertItem(int index, LPCTSTR text);
    int InsertItem(int index, LPCTSTR text, int image);
    int InsertItem(const LVITEM* item) { return int(SendMessage(LVM_INSERTITEM, 0, LPARAM(item))); }
    BOOL DeleteItem(int index) { return BOOL(SendMessage(LVM_DELETEITEM, WPARAM(index))); }
    BOOL DeleteAllItems() { return BOOL(SendMessage(LVM_DELETEALLITEMS)); }
    BOOL GetItem(LVITEM* item) const { return BOOL(SendMessage(LVM_GETITEM, 0, LPARAM(item))); }
    BOOL SetItem(const LVITEM* item) { return BOOL(SendMessage(LVM_SETITEM, 0, LPARAM(item))); }
    CString GetItemText(int index, int subItem) const;
    int GetItemText(int index, int subItem, LPTSTR buffer, int max) const;
    BOOL SetItemText(int index, int subItem, LPCTSTR text);
    DWORD_PTR GetItemData(int index) const;
    BOOL SetItemData(int index, DWORD_PTR data);
    UINT GetItemState(int index, UINT mask) const { return UINT(SendMessage(LVM_GETITEMSTATE, WPARAM(index), LPARAM(mask))); }
    BOOL SetItemState(int index, UINT state, UINT mask);
    UINT GetSelectedCount() const { return UINT(SendMessage(LVM_GETSELECTEDCOUNT)); }
    int GetNextItem(int index, int flags) const { return int(SendMessage(LVM_GETNEXTITEM, WPARAM(index), flags)); }
    // Iteration over the selection: GetFirstSelectedItemPosition then GetNextSelectedItem.
    void* GetFirstSelectedItemPosition() const {
        int i = GetNextItem(-1, LVNI_SELECTED);
        return i < 0 ? nullptr : reinterpret_cast<void*>(INT_PTR(i + 1));
    }
    int GetNextSelectedItem(void*& position) const {
        int i = int(reinterpret_cast<INT_PTR>(position)) - 1;
        int next = GetNextItem(i, LVNI_SELECTED);
        position = next < 0 ? nullptr : reinterpret_cast<void*>(INT_PTR(next + 1));
        return i;
    }
    int FindItem(LVFINDINFO* info, int start = -1) const { return int(SendMessage(LVM_FINDITEM, WPARAM(start), LPARAM(info))); }
    int InsertColumn(int index, LPCTSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    int InsertColumn(int index, const LVCOLUMN* column) { return int(SendMessage(LVM_INSERTCOLUMN, WPARAM(index), LPARAM(column))); }
    BOOL DeleteColumn(int index) { return BOOL(SendMessage(LVM_DELETECOLUMN, WPARAM(index))); }
    BOOL GetColumn(int index, LVCOLUMN* column) const { return BOOL(SendMessage(LVM_GETCOLUMN, WPARAM(index), LPARAM(column))); }
    BOOL SetColumn(int index, const LVCOLUMN* column) { return BOOL(SendMessage(LVM_SETCOLUMN, WPARAM(index), LPARAM(column))); }
    int GetColumnWidth(int index) const { return int(SendMessage(LVM_GETCOLUMNWIDTH, WPARAM(index))); }
    BOOL SetColumnWidth(int index, int width) { return BOOL(SendMessage(LVM_SETCOLUMNWIDTH, WPARAM(index), MAKELPARAM(WORD(width), 0))); }
    DWORD GetExtendedStyle() const { return DWORD(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    DWORD SetExtendedStyle(DWORD style) { return DWORD(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LPARAM(style))); }
    CImageList* SetImageList(CImageList* list, int which);
    CImageList* GetImageList(int which) const;
    CEdit* EditLabel(int index);
    CEdit* GetEditControl() const { return nullptr; }
    BOOL EnsureVisible(int index, BOOL partialOK) { return BOOL(SendMessage(LVM_ENSUREVISIBLE, WPARAM(index), partialOK)); }
    BOOL GetItemRect(int index, LPRECT rect, UINT code) const {
        (void)code;
        return BOOL(SendMessage(LVM_GETITEMRECT, WPARAM(index), LPARAM(rect)));
    }
    CSize SetIconSpacing(int cx, int cy) {
        DWORD old = DWORD(SendMessage(LVM_SETICONSPACING, 0, MAKELPARAM(WORD(cx), WORD(cy))));
        return CSize(SHORT(LOWORD(old)), SHORT(HIWORD(old)));
    }
    int GetTopIndex() const { return int(SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return int(SendMessage(LVM_GETCOUNTPERPAGE)); }
    BOOL SortItems(int (*compare)(LPARAM, LPARAM, LPARAM), DWORD_PTR data) {
        return BOOL(SendMessage(LVM_SORTITEMS, WPARAM(data), reinterpret_cast<LPARAM>(compare)));
    }
};

class CTabCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"SysTabControl32", L"", style, rect, parent, id);
    }
    int GetItemCount() const { return int(SendMessage(TCM_GETITEMCOUNT)); }
    LONG InsertItem(int index, LPCTSTR text);
    LONG InsertItem(int index, LPCTSTR text, int image);
    LONG InsertItem(int index, TCITEM* item) { return LONG(SendMessage(TCM_INSERTITEM, WPARAM(index), LPARAM(item))); }
    BOOL GetItem(int index, TCITEM* item) const { return BOOL(SendMessage(TCM_GETITEM, WPARAM(index), LPARAM(item))); }
    BOOL SetItem(int index, TCITEM* item) { return BOOL(SendMessage(TCM_SETITEM, WPARAM(index), LPARAM(item))); }
    BOOL DeleteItem(int index) { return BOOL(SendMessage(TCM_DELETEITEM, WPARAM(index))); }
    BOOL DeleteAllItems() { return BOOL(SendMessage(TCM_DELETEALLITEMS)); }
    int GetCurSel() const { return int(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int index) { return int(SendMessage(TCM_SETCURSEL, WPARAM(index))); }
    int GetCurFocus() const { return int(SendMessage(TCM_GETCURFOCUS)); }
    void SetCurFocus(int index) { SendMessage(TCM_SETCURFOCUS, WPARAM(index)); }
    BOOL GetItemRect(int index, LPRECT rect) const { return BOOL(SendMessage(TCM_GETITEMRECT, WPARAM(index), LPARAM(rect))); }
    void AdjustRect(BOOL larger, LPRECT rect) { SendMessage(TCM_ADJUSTRECT, WPARAM(larger), LPARAM(rect)); }
    CImageList* SetImageList(CImageList* list);
    CImageList* GetImageList() const;
};

class CSpinButtonCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"msctls_updown32", L"", style, rect, parent, id);
    }
    void SetRange(short lower, short upper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(WORD(upper), WORD(lower))); }
    void SetRange32(int lower, int upper) { SendMessage(UDM_SETRANGE32, WPARAM(lower), upper); }
    DWORD GetRange() const { return DWORD(SendMessage(UDM_GETRANGE)); }
    void GetRange(int& lower, int& upper) const {
        SendMessage(UDM_GETRANGE32, WPARAM(&lower), LPARAM(&upper));
    }
    void GetRange32(int& lower, int& upper) const { GetRange(lower, upper); }
    int SetPos(int pos) { return int(SendMessage(UDM_SETPOS, 0, MAKELPARAM(WORD(SHORT(pos)), 0))); }
    int SetPos32(int pos) { return int(SendMessage(UDM_SETPOS32, 0, pos)); }
    int GetPos() const { return int(SendMessage(UDM_GETPOS)); }
    int GetPos32(LPBOOL error = nullptr) const { return int(SendMessage(UDM_GETPOS32, 0, LPARAM(error))); }
    CWnd* SetBuddy(CWnd* buddy) {
        return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, WPARAM(buddy ? buddy->m_hWnd : nullptr))));
    }
    CWnd* GetBuddy() const { return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY))); }
    int SetBase(int base) { return int(SendMessage(WM_USER + 109, WPARAM(base))); }
};
