#pragma once
// The demo host's sample dialog: one control of each kind that scripts drive, with the
// framework's data exchange, a range check, an enabling rule, a question before discarding
// changes, a timer and a help message. The tour and the scenario tests use it; its values
// stay between runs, as the library's dialogs keep theirs.

#include <string>

#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"

namespace orvdlg {

class SampleDialog : public CDialog {
public:
    static constexpr int IDC_NAME = 1001;
    static constexpr int IDC_MAGNITUDE = 1002;
    static constexpr int IDC_VARIES = 1003;
    static constexpr int IDC_CURVE_LABEL = 1004;
    static constexpr int IDC_CURVE = 1005;
    static constexpr int IDC_FOLLOW = 1006;
    static constexpr int IDC_GLOBAL = 1007;
    static constexpr int IDC_LOCAL = 1008;
    static constexpr int IDC_UNITS = 1009;
    static constexpr int IDC_UNITS_NOTE = 1010;
    static constexpr int IDC_NODES = 1011;
    static constexpr int IDC_RESET = 1012;
    static constexpr int IDC_STATUS = 1013;
    static constexpr UINT_PTR kStatusTimer = 1;
    static constexpr UINT kStatusMilliseconds = 2000;

    SampleDialog();

    // The template, built in code.
    static const orv::res::DialogTemplate& Template();

    // The values, as OK saved them.
    CString m_name = L"Bracket";
    double m_magnitude = 100.0;
    int m_varies = BST_UNCHECKED;
    int m_curve = 1;
    int m_follow = BST_INDETERMINATE;
    int m_coordinates = 0;  // 0 global, 1 local
    int m_units = 0;        // index into mm, cm, m
    int m_node = -1;        // selected node, -1 none

    // The values as one line: name "Bracket", magnitude 100, ...
    std::string Describe() const;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void UpdateCurveRow();
    void UpdateUnitsNote();
    void OnReset();
    void OnHelpButton();
    void Changed() { changed_ = true; }

    bool changed_ = false;
};

}  // namespace orvdlg
