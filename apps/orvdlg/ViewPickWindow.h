#pragma once
// The interactive host's 3-D view beside the modeless dialog, for every front end: the model
// (its surfaces, edges and nodes) and the preview's points and region drawn through the view's
// camera (drag to turn, Shift+drag or the middle button to move, the wheel to zoom; a click picks
// the nearest node or surface point), a list of the points the preview draws (label and model
// coordinates), and a prompt that picks a node by its id or a typed point (X, Y, Z), or undoes
// the last pick, through the controller the dialog installed.

#include "host/graphics/ViewWindow.h"
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
    static constexpr int IDC_NODE = 1007;
    static constexpr int IDC_VIEW = 1008;

    explicit ViewPickWindow(ModelessHost& host);
    ~ViewPickWindow() override;
    // Opens the window owned by `owner`, to the right of `beside` (the modeless dialog).
    bool Open(CWnd* owner, CWnd* beside = nullptr);
    // Lists the preview's points again and redraws the view; closes the window once the
    // dialog is gone.
    void Refresh();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;      // Enter: Pick
    void OnCancel() override;  // Esc: leaves the view

private:
    void OnPick();
    bool ReadNode(const CString& text);

    ModelessHost& host_;
    orv::res::DialogTemplate template_;
    GfxUtil::ViewWindow canvas_;
};

}  // namespace orvdlg
