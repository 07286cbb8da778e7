#pragma once
// OtherCtlValidatingCComboBox: a combo box whose selection may change only while other controls
// hold valid values. Before a new selection is taken it runs its validation function, a saving
// data exchange over those controls on its window; when that fails (the exchange has shown its
// prompt), the previous selection comes back and the change notification goes no further.
// Otherwise the new selection becomes the previous one and the parent sees the change.

#include "platform/win/Afx.h"

namespace DataModelDialogs {

class OtherCtlValidatingCComboBox : public CComboBox {
public:
    // A data exchange over other controls; it fails through the exchange as any other does.
    using Validation = void (CWnd::*)(CDataExchange* dx);

    OtherCtlValidatingCComboBox();

    // The function to run before a change and the window it runs on (null: the parent).
    // A null function lets every change through.
    void SetValidation(Validation validation, CWnd* window = nullptr);
    // Takes the current selection as the one a refused change returns to.
    void StorePreviousSelection() { previous_ = GetCurSel(); }
    int PreviousSelection() const { return previous_; }
    // Lets a selection equal to the previous one through without a test.
    void AcceptUnchangedSelection(bool accept) { acceptUnchanged_ = accept; }

private:
    // TRUE when the change is refused (the notification is used up).
    BOOL OnSelectionChange();

    int previous_ = -1;
    Validation validation_ = nullptr;
    CWnd* window_ = nullptr;
    bool acceptUnchanged_ = false;
};

}  // namespace DataModelDialogs
