#include "support/TestDialog.h"

#include <cstdio>

#include "platform/res/DialogBuilder.h"

namespace orvtest {
namespace {

constexpr const wchar_t* kUnits[] = {L"mm", L"cm", L"m"};

const orv::res::DialogTemplate& Template() {
    using D = TestDialog;
    static const orv::res::DialogTemplate kTemplate =
        orv::res::DialogBuilder(L"Sample", 260, 150)
            .Label(L"&Name:", IDC_STATIC, 7, 9, 44, 8)
            .Edit(D::IDC_NAME, 56, 7, 100, 14)
            .Label(L"&Magnitude:", IDC_STATIC, 7, 27, 44, 8)
            .Edit(D::IDC_MAGNITUDE, 56, 25, 60, 14)
            .Button(L"&Varies with time", D::IDC_VARIES, 7, 44, 80, 10, BS_AUTOCHECKBOX | WS_TABSTOP)
            .Label(L"Load &curve:", D::IDC_CURVE_LABEL, 92, 45, 44, 8)
            .Edit(D::IDC_CURVE, 136, 43, 40, 14)
            .Button(L"&Follow surface", D::IDC_FOLLOW, 7, 62, 80, 10, BS_AUTO3STATE | WS_TABSTOP)
            .Button(L"Coordinates", IDC_STATIC, 7, 76, 100, 26, BS_GROUPBOX)
            .Button(L"&Global", D::IDC_GLOBAL, 14, 88, 40, 10, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP)
            .Button(L"&Local", D::IDC_LOCAL, 60, 88, 40, 10, BS_AUTORADIOBUTTON)
            .Label(L"&Units:", IDC_STATIC, 114, 80, 26, 8)
            .Control(L"ComboBox", L"", D::IDC_UNITS, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 142, 78, 50, 60)
            .Label(L"", D::IDC_UNITS_NOTE, 114, 94, 90, 8)
            .Control(L"ListBox", L"", D::IDC_NODES, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 196, 7, 57, 48)
            .DefaultButton(L"OK", IDOK, 96, 129, 50, 14)
            .Button(L"Cancel", IDCANCEL, 150, 129, 50, 14)
            .Button(L"&Help", IDHELP, 204, 129, 50, 14)
            .Build();
    return kTemplate;
}

const char* CheckName(int state) {
    return state == BST_CHECKED ? "on" : state == BST_INDETERMINATE ? "indeterminate" : "off";
}

}  // namespace

TestDialog::TestDialog() {
    InitModalIndirect(&Template());
    // Any change a person makes counts; the check box and the units list also update their rows.
    for (UINT code : {UINT(BN_CLICKED), UINT(EN_CHANGE), UINT(LBN_SELCHANGE)})
        HandleCommandRange(IDC_NAME, IDC_NODES, code, [this](UINT) {
            changed_ = true;
            UpdateRows();
        });
}

BOOL TestDialog::OnInitDialog() {
    for (const wchar_t* unit : kUnits) SendDlgItemMessage(IDC_UNITS, CB_ADDSTRING, 0, LPARAM(unit));
    for (const wchar_t* node : {L"Node 1", L"Node 2", L"Node 3"})
        SendDlgItemMessage(IDC_NODES, LB_ADDSTRING, 0, LPARAM(node));
    CDialog::OnInitDialog();  // loads the values into the controls
    UpdateRows();
    changed_ = false;
    return TRUE;
}

void TestDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, IDC_NAME, m_name);
    DDX_Text(dx, IDC_MAGNITUDE, m_magnitude);
    DDX_Check(dx, IDC_VARIES, m_varies);
    // The load curve is exchanged only while it applies.
    if (!dx->m_bSaveAndValidate || m_varies == BST_CHECKED) {
        DDX_Text(dx, IDC_CURVE, m_curve);
        DDV_MinMaxInt(dx, m_curve, 1, 32767);
    }
    DDX_Check(dx, IDC_FOLLOW, m_follow);
    DDX_Radio(dx, IDC_GLOBAL, m_coordinates);
    DDX_CBIndex(dx, IDC_UNITS, m_units);
    DDX_LBIndex(dx, IDC_NODES, m_node);
}

void TestDialog::OnCancel() {
    if (changed_ && AfxMessageBox(L"Discard the changes?", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    CDialog::OnCancel();
}

void TestDialog::UpdateRows() {
    const BOOL varies = IsDlgButtonChecked(IDC_VARIES) == BST_CHECKED;
    GetDlgItem(IDC_CURVE_LABEL)->EnableWindow(varies);
    GetDlgItem(IDC_CURVE)->EnableWindow(varies);
    const int index = int(SendDlgItemMessage(IDC_UNITS, CB_GETCURSEL));
    SetDlgItemText(IDC_UNITS_NOTE, index >= 0 && index < 3 ? CString(L"Lengths in ") + kUnits[index] : CString());
}

std::string TestDialog::Describe() const {
    char magnitude[32];
    std::snprintf(magnitude, sizeof magnitude, "%g", m_magnitude);
    std::string text = "name \"" + m_name.ToUtf8() + "\", magnitude " + magnitude + ", varies with time " +
                       CheckName(m_varies);
    if (m_varies == BST_CHECKED) text += ", load curve " + std::to_string(m_curve);
    text += std::string(", follow surface ") + CheckName(m_follow) + ", coordinates " +
            (m_coordinates == 1 ? "local" : "global") + ", units " +
            (m_units >= 0 && m_units < 3 ? CString(kUnits[m_units]).ToUtf8() : std::string("none")) + ", node " +
            (m_node >= 0 ? std::to_string(m_node + 1) : std::string("none"));
    return text;
}

}  // namespace orvtest
