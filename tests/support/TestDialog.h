#pragma once
// The front-end tests' own dialog: one control of each kind a person uses, with the
// framework's data exchange, a range check, an enabling rule and a question before discarding
// changes. It needs the platform layer only, so that the front ends are tested without the
// demo host.

#include <string>

#include "platform/win/Afx.h"

namespace orvtest {

class TestDialog : public CDialog {
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

    TestDialog();

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
    void OnCancel() override;

private:
    void UpdateRows();

    bool changed_ = false;
};

}  // namespace orvtest
