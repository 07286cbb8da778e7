#pragma once
// The interactive host's stand-in for picking in its 3-D view, for every front end: a small
// window beside the modeless dialog that lists the points the preview draws (label and model
// coordinates) and takes a point to pick (X, Y, Z) or the view's undo.

#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"

namespace orvdlg {

class ModelessHost;

class ViewPickWindow : public CDialog {
public:
    static constexpr int IDC_POINTS = 1001;
    static constexpr int IDC_X = 1002;
    static constexpr int IDC_Y = 1003;
    static constexpr int IDC_Z = 1004;
    static constexpr int IDC_PICK = 1005;
    static constexpr int IDC_UNDO = 1006;

    explicit ViewPickWindow(ModelessHost& host);
    ~ViewPickWindow() override;
    // Opens the window owned by `owner` (it stays beside the modeless dialog).
    bool Open(CWnd* owner);
    // Lists the preview's points again; closes the window once the dialog is gone.
    void Refresh();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;      // Enter: Pick
    void OnCancel() override;  // Esc: leaves the view

private:
    void OnPick();

    ModelessHost& host_;
    orv::res::DialogTemplate template_;
};

}  // namespace orvdlg
