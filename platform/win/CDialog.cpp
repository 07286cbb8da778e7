#include "platform/win/CDialog.h"

#include "platform/res/Resources.h"
#include "platform/win/DialogManager.h"
#include "platform/win/Inspect.h"
#include "platform/win/Kernel.h"

using namespace orv::win::detail;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::InitModalIndirect(const orv::res::DialogTemplate* dialogTemplate, CWnd* parent) {
    m_lpDialogTemplate = dialogTemplate;
    if (parent) m_pParentWnd = parent;
    return dialogTemplate != nullptr;
}

HWND CDialog::SafeOwner(CWnd* parent) {
    HWND owner = parent ? parent->m_hWnd : nullptr;
    if (!owner) {
        owner = orv::win::ActiveModalWindow();
        if (!owner && AfxGetMainWnd()) owner = AfxGetMainWnd()->m_hWnd;
    }
    return owner ? GetAncestor(owner, GA_ROOT) : nullptr;
}

const orv::res::DialogTemplate* CDialog::ResolveTemplate() {
    if (m_lpDialogTemplate) return m_lpDialogTemplate;
    const orv::res::DialogTemplate* t = orv::res::FindDialogTemplate(nullptr, m_nIDTemplate);
    if (!t) RecordFailure(nullptr, 0, L"there is no dialog template " + std::to_wstring(m_nIDTemplate));
    return t;
}

BOOL CDialog::CreateFromTemplate(const orv::res::DialogTemplate* dialogTemplate, HWND owner) {
    if (!dialogTemplate || m_hWnd) return FALSE;
    m_nModalResult = -1;
    // The window attaches to this object as it is created, so that WM_CREATE and
    // WM_INITDIALOG reach it.
    orv::win::CreatingScope scope(this);
    HWND hwnd = orv::win::CreateDialogFromTemplate(*dialogTemplate, AfxGetResourceHandle(), owner, nullptr, 0);
    return hwnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    const orv::res::DialogTemplate* t = ResolveTemplate();
    if (!t) return -1;
    HWND owner = SafeOwner(m_pParentWnd);
    bool enableOwner = false;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        enableOwner = true;
    }
    INT_PTR result = -1;
    if (CreateFromTemplate(t, owner)) {
        HWND hwnd = m_hWnd;
        Window* w = Find(hwnd);
        if (w && w->dialog && !w->dialog->ended) {
            if (!::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);
            RunModalLoop(hwnd);
        }
        if ((w = Find(hwnd)) && w->dialog) result = w->dialog->result;
        if (IsWindow(hwnd)) ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (enableOwner) ::EnableWindow(owner, TRUE);
        if (owner && (::GetActiveWindow() == hwnd || !::GetActiveWindow())) ::SetActiveWindow(owner);
        if (IsWindow(hwnd)) ::DestroyWindow(hwnd);
    } else if (enableOwner) {
        ::EnableWindow(owner, TRUE);
    }
    m_nModalResult = result;
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    if (!m_nIDHelp) m_nIDHelp = templateId;
    if (parent) m_pParentWnd = parent;
    const orv::res::DialogTemplate* t = ResolveTemplate();
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    return CreateFromTemplate(t, owner);
}

BOOL CDialog::CreateIndirect(const orv::res::DialogTemplate* dialogTemplate, CWnd* parent) {
    if (parent) m_pParentWnd = parent;
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    return CreateFromTemplate(dialogTemplate, owner);
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog() {
    // Loading the controls from the variables; a failure ends the dialog at once.
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_INITDIALOG) {
        // A handler registered for WM_INITDIALOG takes precedence over OnInitDialog.
        if (CWnd::OnWndMsg(message, wParam, lParam, result)) return TRUE;
        *result = OnInitDialog();
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
    }
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!msg) return FALSE;
    if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN || msg->message == WM_CHAR ||
        msg->message == WM_KEYUP || msg->message == WM_SYSCHAR)
        return ::IsDialogMessage(m_hWnd, msg);
    return FALSE;
}

void CDialog::NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control) ::SendMessage(m_hWnd, WM_NEXTDLGCTL, WPARAM(control->m_hWnd), 1);
}
void CDialog::SetDefID(UINT id) { ::SendMessage(m_hWnd, DM_SETDEFID, id, 0); }
DWORD CDialog::GetDefID() const { return DWORD(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0)); }
void CDialog::MapDialogRect(LPRECT rect) const { ::MapDialogRect(m_hWnd, rect); }
