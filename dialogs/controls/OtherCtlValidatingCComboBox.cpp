#include "dialogs/controls/OtherCtlValidatingCComboBox.h"

namespace DataModelDialogs {

OtherCtlValidatingCComboBox::OtherCtlValidatingCComboBox() {
    HandleReflectedCommand(CBN_SELCHANGE, [this] { return OnSelectionChange(); });
}

void OtherCtlValidatingCComboBox::SetValidation(Validation validation, CWnd* window) {
    validation_ = validation;
    window_ = window;
}

BOOL OtherCtlValidatingCComboBox::OnSelectionChange() {
    const int selection = GetCurSel();
    if (acceptUnchanged_ && selection == previous_) return FALSE;
    CWnd* window = window_ ? window_ : GetParent();
    if (validation_ && window) {
        CDataExchange dx(window, TRUE);
        try {
            (window->*validation_)(&dx);
        } catch (const CUserException&) {
            SetCurSel(previous_);
            return TRUE;
        }
    }
    previous_ = selection;
    return FALSE;
}

}  // namespace DataModelDialogs
