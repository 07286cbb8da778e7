#pragma once
// Data exchange between a dialog's controls and its variables (DDX_*) and the checks on the
// saved values (DDV_*), with the framework's failure path: the check shows its message and
// calls Fail, which puts the focus on the last prepared control and ends the exchange;
// UpdateData then answers FALSE and the dialog stays open.

#include <cstdint>

#include "platform/com/Guid.h"
#include "platform/win/CWnd.h"

// Thrown by CDataExchange::Fail and caught by CWnd::UpdateData.
class CUserException {};
[[noreturn]] void AfxThrowUserException();

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    UINT m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;

    // The control's window; the control becomes the one a failure returns the focus to.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    HWND PrepareOleCtrl(int id) { return PrepareCtrl(id); }
    // Ends the exchange: when saving, the last prepared control gets the focus (an edit with
    // all its text selected).
    [[noreturn]] void Fail();
};

// The framework's value types with text forms.
struct COleCurrency {
    LONGLONG m_cur = 0;  // in units of 1/10000
    int m_status = 0;    // 0 valid, 1 invalid, 2 null
};
struct COleDateTime {
    double m_dt = 0;     // days since 30 December 1899
    int m_status = 0;
};
struct DECIMAL {
    WORD wReserved = 0;
    BYTE scale = 0;
    BYTE sign = 0;
    ULONG Hi32 = 0;
    ULONGLONG Lo64 = 0;
};
struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

// Text exchange with an edit (or any window with text). Integers are read with optional sign
// and surrounding spaces; out-of-range or malformed text fails with the framework's prompt.
void DDX_Text(CDataExchange* dx, int id, BYTE& value);
void DDX_Text(CDataExchange* dx, int id, short& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, unsigned long& value);
void DDX_Text(CDataExchange* dx, int id, long long& value);
void DDX_Text(CDataExchange* dx, int id, unsigned long long& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, LPTSTR buffer, int maxLength);
void DDX_Text(CDataExchange* dx, int id, COleCurrency& value);
void DDX_Text(CDataExchange* dx, int id, COleDateTime& value);
void DDX_Text(CDataExchange* dx, int id, GUID& value);
void DDX_Text(CDataExchange* dx, int id, DECIMAL& value);
void DDX_Text(CDataExchange* dx, int id, FILETIME& value);

// Check boxes: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
void DDX_Check(CDataExchange* dx, int id, int& value);
// A radio group given by its first button (the one with WS_GROUP): the index of the checked
// button in the group, -1 for none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_CBStringExact(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBString(CDataExchange* dx, int id, CString& value);
// Attaches `control` to the dialog's control `id` (subclassing it) the first time.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// Range checks on saved values; loading checks nothing.
void DDV_MinMaxByte(CDataExchange* dx, BYTE value, BYTE min, BYTE max);
void DDV_MinMaxShort(CDataExchange* dx, short value, short min, short max);
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT min, UINT max);
void DDV_MinMaxLong(CDataExchange* dx, long value, long min, long max);
void DDV_MinMaxDWord(CDataExchange* dx, DWORD value, DWORD min, DWORD max);
void DDV_MinMaxLongLong(CDataExchange* dx, LONGLONG value, LONGLONG min, LONGLONG max);
void DDV_MinMaxFloat(CDataExchange* dx, float value, float min, float max);
void DDV_MinMaxDouble(CDataExchange* dx, double value, double min, double max);
// When saving, a text longer than maxChars fails; when loading, the edit is limited to it.
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);

// Sets a window's text only when it differs, so that an unchanged value raises nothing.
void AfxSetWindowText(HWND hwnd, LPCTSTR text);
