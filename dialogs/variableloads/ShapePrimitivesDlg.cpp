#include "dialogs/variableloads/ShapePrimitivesDlg.h"

#include "dialogs/controls/ResourceModule.h"
#include "dialogs/resources/VariableLoads.h"
#include "dialogs/variableloads/VariableLoadFunctions.h"

namespace DataModelDialogs {

ShapePrimitivesDlg::ShapePrimitivesDlg(CWnd* parent) : CDialog(IDD_SHAPE_PRIMITIVES, parent) {
    HandleNotify(IDC_SHAPE_PRIMITIVES_LIST, NM_CLICK, [this](NMHDR* header, LRESULT*) {
        const int item = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
        if (item < 0 || item >= list_.GetItemCount()) return;  // a click beside the names
        choice_ = list_.GetItemText(item, 0);
        Close(IDOK);
    });
    HandleNotify(IDC_SHAPE_PRIMITIVES_LIST, NM_KILLFOCUS, [this](NMHDR*, LRESULT*) { Close(IDCANCEL); });
    HandleMessage(WM_ACTIVATE, [this](WPARAM wParam, LPARAM) -> LRESULT {
        if (LOWORD(wParam) == WA_INACTIVE) Close(IDCANCEL);
        return 0;
    });
}

BOOL ShapePrimitivesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    closing_ = false;
    choice_.Empty();
    list_.SubclassDlgItem(IDC_SHAPE_PRIMITIVES_LIST, this);
    list_.SetIconSpacing(32, 13);
    for (int i = 0; i < int(kShapePrimitives.size()); ++i) list_.InsertItem(i, kShapePrimitives[std::size_t(i)]);
    SetWindowPos(nullptr, anchor_.right, anchor_.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    list_.SetFocus();
    return FALSE;  // the focus is set
}

void ShapePrimitivesDlg::EndDialog(int result) {
    // The list loses the focus while the popup goes away; that must not change the result.
    closing_ = true;
    CDialog::EndDialog(result);
}

void ShapePrimitivesDlg::Close(int result) {
    if (closing_) return;
    if (result != IDOK) choice_.Empty();
    EndDialog(result);
}

bool ShapePrimitivesDlg::ChoosePrimitive(CWnd& button, CString& name) {
    ResourceModuleScope resources;
    ShapePrimitivesDlg popup(button.GetParent());
    RECT rect;
    button.GetWindowRect(&rect);
    popup.SetAnchor(rect);
    if (popup.DoModal() != IDOK || popup.GetChoice().IsEmpty()) return false;
    name = popup.GetChoice();
    return true;
}

}  // namespace DataModelDialogs
