#pragma once
// CDialog: modal and modeless dialogs created from a template of the current resource module
// or from a template in memory.
//
// DoModal creates the dialog (OnInitDialog runs during creation), disables the owner and runs
// the kernel's modal loop until EndDialog; the loop leaves after the message that ended the
// dialog, then the dialog is hidden, the owner enabled and activated, and the window destroyed.
// When the driver has no more input, DoModal returns kModalNoInput (see Driver.h).

#include "platform/res/DialogTemplate.h"
#include "platform/win/CWnd.h"
#include "platform/win/Driver.h"

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Modal dialog from a template in memory (the template must outlive DoModal).
    BOOL InitModalIndirect(const orv::res::DialogTemplate* dialogTemplate, CWnd* parent = nullptr);
    virtual INT_PTR DoModal();
    // Modeless dialog from the template `templateId` of the current resource module.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL CreateIndirect(const orv::res::DialogTemplate* dialogTemplate, CWnd* parent = nullptr);
    // Records the result; a modal loop leaves after the current message.
    virtual void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* control);
    void SetDefID(UINT id);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT rect) const;

    UINT m_nIDHelp = 0;
    UINT m_nIDTemplate = 0;
    const orv::res::DialogTemplate* m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;
    INT_PTR m_nModalResult = -1;

protected:
    // The owner a dialog without a parent gets: the active modal window, else the main window.
    static HWND SafeOwner(CWnd* parent);
    const orv::res::DialogTemplate* ResolveTemplate();
    BOOL CreateFromTemplate(const orv::res::DialogTemplate* dialogTemplate, HWND owner);
};
