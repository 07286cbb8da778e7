#pragma once
// ShapePrimitivesDlg: the popup list of the primitives a function may use (template 3191),
// opened beside the button that asked for it. Clicking a name chooses it and closes the popup;
// losing the focus (or Escape) closes it without a choice.

#include "platform/win/Afx.h"

namespace DataModelDialogs {

class ShapePrimitivesDlg : public CDialog {
public:
    explicit ShapePrimitivesDlg(CWnd* parent = nullptr);

    // The popup's top-left corner goes to the top-right corner of this rectangle (screen).
    void SetAnchor(const RECT& buttonScreenRect) { anchor_ = buttonScreenRect; }
    // The chosen name after DoModal returned IDOK; empty otherwise.
    const CString& GetChoice() const { return choice_; }

    // Runs the popup beside `button` with the library's resources; true with the chosen name.
    static bool ChoosePrimitive(CWnd& button, CString& name);

    BOOL OnInitDialog() override;
    void EndDialog(int result) override;

private:
    void Close(int result);

    CListCtrl list_;
    RECT anchor_{};
    CString choice_;
    bool closing_ = false;
};

}  // namespace DataModelDialogs
