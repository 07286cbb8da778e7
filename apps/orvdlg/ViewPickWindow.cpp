#include "apps/orvdlg/ViewPickWindow.h"

#include <cwchar>
#include <cwctype>

#include "apps/orvdlg/ModelessCommands.h"
#include "platform/res/DialogBuilder.h"
#include "platform/win/TextFormat.h"

namespace orvdlg {

ViewPickWindow::ViewPickWindow(ModelessHost& host)
    : host_(host),
      template_(orv::res::DialogBuilder(L"3-D View", 330, 200)
                    .Label(L"", IDC_VIEW, 7, 7, 200, 172, SS_LEFT | WS_BORDER)
                    .Label(L"Drag: turn, Shift+drag: move, wheel: zoom", IDC_STATIC, 7, 184, 200, 8)
                    .Label(L"Picked points:", IDC_STATIC, 214, 7, 109, 8)
                    .Control(L"ListBox", L"", IDC_POINTS, LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 214,
                             18, 109, 70)
                    .Label(L"Pick a node or a point:", IDC_STATIC, 214, 93, 109, 8)
                    .Label(L"&Node:", IDC_STATIC, 214, 107, 22, 8)
                    .Edit(IDC_NODE, 238, 105, 85, 14)
                    .Label(L"&X:", IDC_STATIC, 214, 125, 22, 8)
                    .Edit(IDC_X, 238, 123, 85, 14)
                    .Label(L"&Y:", IDC_STATIC, 214, 143, 22, 8)
                    .Edit(IDC_Y, 238, 141, 85, 14)
                    .Label(L"&Z:", IDC_STATIC, 214, 161, 22, 8)
                    .Edit(IDC_Z, 238, 159, 85, 14)
                    .DefaultButton(L"&Pick", IDC_PICK, 219, 179, 50, 14)
                    .Button(L"&Undo", IDC_UNDO, 273, 179, 50, 14)
                    .Build()),
      canvas_(host.View()) {
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

bool ViewPickWindow::Open(CWnd* owner, CWnd* beside) {
    if (m_hWnd) return true;
    if (!CreateIndirect(&template_, owner)) return false;
    host_.View().SetOverlayListener([this] { Refresh(); });
    if (beside && beside->m_hWnd) {
        RECT next{};
        beside->GetWindowRect(&next);
        SetWindowPos(nullptr, next.right + 8, next.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(SW_SHOW);
    return true;
}

BOOL ViewPickWindow::OnInitDialog() {
    CDialog::OnInitDialog();
    canvas_.Attach(IDC_VIEW, this);
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
    if (canvas_.m_hWnd) canvas_.Invalidate();
}

// A node id in the Node field picks that node; false (message shown) when it names none.
bool ViewPickWindow::ReadNode(const CString& text) {
    const wchar_t* start = text.GetString();
    while (std::iswspace(wint_t(*start))) ++start;
    wchar_t* end = nullptr;
    const unsigned long long id = std::wcstoull(start, &end, 10);
    while (end && std::iswspace(wint_t(*end))) ++end;
    const GfxUtil::Scene::Node* node = nullptr;
    if (std::iswdigit(wint_t(*start)) && end && *end == L'\0' && id <= 0xFFFFFFFFull)
        node = host_.View().GetScene().FindNode(std::uint32_t(id));
    if (!node) {
        AfxMessageBox((L"The model has no node \"" + std::wstring(text.GetString()) +
                       L"\". Enter the id of a node, or leave Node empty and enter the point.")
                          .c_str(),
                      MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(IDC_NODE));
        return false;
    }
    if (!host_.Pick(node->xyz)) AfxMessageBox(L"The view takes no picks now.", MB_ICONEXCLAMATION);
    SetDlgItemText(IDC_NODE, L"");
    return true;
}

void ViewPickWindow::OnPick() {
    CString nodeText;
    GetDlgItemText(IDC_NODE, nodeText);
    if (!nodeText.Trim().IsEmpty()) {
        ReadNode(nodeText);
        Refresh();
        return;
    }
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
