#include "apps/orvdlg/ViewPickWindow.h"

#include <cwchar>

#include "apps/orvdlg/ModelessCommands.h"
#include "platform/res/DialogBuilder.h"
#include "platform/win/TextFormat.h"

namespace orvdlg {

ViewPickWindow::ViewPickWindow(ModelessHost& host)
    : host_(host),
      template_(orv::res::DialogBuilder(L"3-D View", 200, 150)
                    .Label(L"Picked points:", IDC_STATIC, 7, 7, 120, 8)
                    .Control(L"ListBox", L"", IDC_POINTS, LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 18,
                             186, 70)
                    .Label(L"&X:", IDC_STATIC, 7, 96, 10, 8)
                    .Edit(IDC_X, 18, 94, 50, 14)
                    .Label(L"&Y:", IDC_STATIC, 72, 96, 10, 8)
                    .Edit(IDC_Y, 83, 94, 50, 14)
                    .Label(L"&Z:", IDC_STATIC, 137, 96, 10, 8)
                    .Edit(IDC_Z, 148, 94, 45, 14)
                    .DefaultButton(L"&Pick", IDC_PICK, 89, 129, 50, 14)
                    .Button(L"&Undo", IDC_UNDO, 143, 129, 50, 14)
                    .Build()) {
    HandleCommand(IDC_PICK, BN_CLICKED, [this] { OnPick(); });
    HandleCommand(IDC_UNDO, BN_CLICKED, [this] {
        host_.View().Undo();
        Refresh();
    });
}

ViewPickWindow::~ViewPickWindow() {
    host_.View().SetOverlayListener(nullptr);
    if (m_hWnd) DestroyWindow();
}

bool ViewPickWindow::Open(CWnd* owner) {
    if (m_hWnd) return true;
    if (!CreateIndirect(&template_, owner)) return false;
    host_.View().SetOverlayListener([this] { Refresh(); });
    ShowWindow(SW_SHOW);
    return true;
}

BOOL ViewPickWindow::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int id : {IDC_X, IDC_Y, IDC_Z}) SetDlgItemText(id, L"0");
    Refresh();
    return TRUE;
}

void ViewPickWindow::Refresh() {
    if (!m_hWnd) return;
    if (!host_.OpenDialog()) {
        // The dialog is gone: so is the picking.
        host_.View().SetOverlayListener(nullptr);
        DestroyWindow();
        return;
    }
    SendDlgItemMessage(IDC_POINTS, LB_RESETCONTENT);
    for (const auto& point : host_.View().GetOverlay().points) {
        const std::wstring line = point.label + L"  " +
                                  orv::FormatPrintf(L"%g  %g  %g", point.xyz[0], point.xyz[1], point.xyz[2]);
        SendDlgItemMessage(IDC_POINTS, LB_ADDSTRING, 0, LPARAM(line.c_str()));
    }
}

void ViewPickWindow::OnPick() {
    DemoModelessEvents::Xyz model{};
    const int ids[3] = {IDC_X, IDC_Y, IDC_Z};
    for (int i = 0; i < 3; ++i) {
        CString text;
        GetDlgItemText(ids[i], text);
        wchar_t* end = nullptr;
        model[i] = std::wcstod(text.GetString(), &end);
        if (end == text.GetString() || *end != L'\0') {
            AfxMessageBox(L"Enter the point to pick as three numbers (model units).", MB_ICONEXCLAMATION);
            GotoDlgCtrl(GetDlgItem(ids[i]));
            return;
        }
    }
    if (!host_.Pick(model)) AfxMessageBox(L"The view takes no picks now.", MB_ICONEXCLAMATION);
    Refresh();
}

void ViewPickWindow::OnOK() { OnPick(); }

void ViewPickWindow::OnCancel() {
    host_.View().SetOverlayListener(nullptr);
    DestroyWindow();
}

}  // namespace orvdlg
