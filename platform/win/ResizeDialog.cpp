#include "platform/win/ResizeDialog.h"

#include <algorithm>
#include <cmath>

CXTResizeDialog::CXTResizeDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {
    HandleMessage(WM_SIZE, [this](WPARAM type, LPARAM size) {
        if (type != 1 /* minimized */) Resize(LOWORD(DWORD(size)), HIWORD(DWORD(size)));
        return LRESULT(0);
    });
}

BOOL CXTResizeDialog::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    anchors_.clear();
    RECT client{};
    GetClientRect(&client);
    initialClient_ = SIZE{client.right, client.bottom};
    return result;
}

void CXTResizeDialog::SetResize(int id, CXTResizePoint topLeft, CXTResizePoint bottomRight) {
    CWnd* control = GetDlgItem(id);
    if (!control) return;
    Anchor anchor{id, topLeft, bottomRight, {}};
    control->GetWindowRect(&anchor.initial);
    ScreenToClient(&anchor.initial);
    for (Anchor& known : anchors_)
        if (known.id == id) {
            known = anchor;
            return;
        }
    anchors_.push_back(anchor);
}

void CXTResizeDialog::Resize(int width, int height) {
    const double dx = width - initialClient_.cx;
    const double dy = height - initialClient_.cy;
    for (const Anchor& a : anchors_) {
        CWnd* control = GetDlgItem(a.id);
        if (!control) continue;
        const int left = a.initial.left + int(std::lround(dx * a.topLeft.x));
        const int top = a.initial.top + int(std::lround(dy * a.topLeft.y));
        const int right = a.initial.right + int(std::lround(dx * a.bottomRight.x));
        const int bottom = a.initial.bottom + int(std::lround(dy * a.bottomRight.y));
        control->MoveWindow(left, top, std::max(0, right - left), std::max(0, bottom - top));
    }
}
