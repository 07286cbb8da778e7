#include "apps/orvdlg/SampleDialog.h"

#include <cstdio>
#include <cstdlib>

#include "platform/res/DialogBuilder.h"

namespace orvdlg {
namespace {

constexpr const wchar_t* kUnits[] = {L"mm", L"cm", L"m"};
constexpr const wchar_t* kNodes[] = {L"Node 1", L"Node 2", L"Node 3"};

orv::res::DialogTemplate BuildTemplate() {
    using D = SampleDialog;
    return orv::res::DialogBuilder(L"Sample", 260, 150)
        .Label(L"&Name:", IDC_STATIC, 7, 9, 44, 8)
        .Edit(D::IDC_NAME, 56, 7, 100, 14)
        .Label(L"&Magnitude:", IDC_STATIC, 7, 27, 44, 8)
        .Edit(D::IDC_MAGNITUDE, 56, 25, 60, 14)
        .Label(L"N", IDC_STATIC, 120, 27, 12, 8)
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
        .Button(L"&Reset", D::IDC_RESET, 196, 60, 57, 14)
        .Label(L"", D::IDC_STATUS, 7, 110, 180, 8)
        .DefaultButton(L"OK", IDOK, 96, 129, 50, 14)
        .Button(L"Cancel", IDCANCEL, 150, 129, 50, 14)
        .Button(L"&Help", IDHELP, 204, 129, 50, 14)
        .Build();
}

const char* CheckName(int state) {
    return state == BST_CHECKED ? "on" : state == BST_INDETERMINATE ? "indeterminate" : "off";
}

}  // namespace

const orv::res::DialogTemplate& SampleDialog::Template() {
    static const orv::res::DialogTemplate kTemplate = BuildTemplate();
    return kTemplate;
}

SampleDialog::SampleDialog() {
    InitModalIndirect(&Template());
    HandleCommand(IDC_VARIES, BN_CLICKED, [this] {
        Changed();
        UpdateCurveRow();
    });
    HandleCommand(IDC_FOLLOW, BN_CLICKED, [this] { Changed(); });
    HandleCommandRange(IDC_GLOBAL, IDC_LOCAL, BN_CLICKED, [this](UINT) { Changed(); });
    HandleCommandRange(IDC_NAME, IDC_MAGNITUDE, EN_CHANGE, [this](UINT) { Changed(); });
    HandleCommand(IDC_CURVE, EN_CHANGE, [this] { Changed(); });
    HandleCommand(IDC_UNITS, CBN_SELCHANGE, [this] {
        Changed();
        UpdateUnitsNote();
    });
    HandleCommand(IDC_NODES, LBN_SELCHANGE, [this] { Changed(); });
    HandleCommand(IDC_RESET, BN_CLICKED, [this] { OnReset(); });
    HandleCommand(IDHELP, BN_CLICKED, [this] { OnHelpButton(); });
    HandleMessage(WM_TIMER, [this](WPARAM id, LPARAM) -> LRESULT {
        if (id == kStatusTimer) {
            KillTimer(kStatusTimer);
            SetDlgItemText(IDC_STATUS, L"");
        }
        return 0;
    });
}

BOOL SampleDialog::OnInitDialog() {
    for (const wchar_t* unit : kUnits) SendDlgItemMessage(IDC_UNITS, CB_ADDSTRING, 0, LPARAM(unit));
    for (const wchar_t* node : kNodes) SendDlgItemMessage(IDC_NODES, LB_ADDSTRING, 0, LPARAM(node));
    CDialog::OnInitDialog();  // loads the values into the controls
    UpdateCurveRow();
    UpdateUnitsNote();
    changed_ = false;
    return TRUE;
}

void SampleDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, IDC_NAME, m_name);
    if (dx->m_bSaveAndValidate && CString(m_name).Trim().IsEmpty()) {
        AfxMessageBox(L"Enter a name.", MB_ICONEXCLAMATION);
        dx->Fail();
    }
    DDX_Text(dx, IDC_MAGNITUDE, m_magnitude);
    DDV_MinMaxDouble(dx, m_magnitude, -1e300, 1e300);
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

void SampleDialog::OnOK() {
    KillTimer(kStatusTimer);
    CDialog::OnOK();  // UpdateData; a failed check keeps the dialog open
}

void SampleDialog::OnCancel() {
    if (changed_ && AfxMessageBox(L"Discard the changes?", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    KillTimer(kStatusTimer);
    CDialog::OnCancel();
}

void SampleDialog::UpdateCurveRow() {
    const BOOL varies = IsDlgButtonChecked(IDC_VARIES) == BST_CHECKED;
    GetDlgItem(IDC_CURVE_LABEL)->EnableWindow(varies);
    GetDlgItem(IDC_CURVE)->EnableWindow(varies);
}

void SampleDialog::UpdateUnitsNote() {
    const int index = int(SendDlgItemMessage(IDC_UNITS, CB_GETCURSEL));
    CString note;
    if (index >= 0 && index < 3) note = CString(L"Lengths in ") + kUnits[index];
    SetDlgItemText(IDC_UNITS_NOTE, note);
}

void SampleDialog::OnReset() {
    SetDlgItemText(IDC_NAME, L"Bracket");
    SetDlgItemText(IDC_MAGNITUDE, L"100");
    CheckDlgButton(IDC_VARIES, BST_UNCHECKED);
    SetDlgItemText(IDC_CURVE, L"1");
    CheckDlgButton(IDC_FOLLOW, BST_INDETERMINATE);
    CheckRadioButton(IDC_GLOBAL, IDC_LOCAL, IDC_GLOBAL);
    SendDlgItemMessage(IDC_UNITS, CB_SETCURSEL, 0);
    SendDlgItemMessage(IDC_NODES, LB_SETCURSEL, WPARAM(-1));
    UpdateCurveRow();
    UpdateUnitsNote();
    Changed();
    SetDlgItemText(IDC_STATUS, L"Values reset.");
    SetTimer(kStatusTimer, kStatusMilliseconds);
}

void SampleDialog::OnHelpButton() {
    AfxMessageBox(L"The sample dialog has one control of each kind that scripts drive.", MB_ICONINFORMATION);
}

std::string SampleDialog::Describe() const {
    // The shortest of 15 or 17 significant digits that reads back as the same number.
    char magnitude[32];
    std::snprintf(magnitude, sizeof magnitude, "%.15g", m_magnitude);
    if (std::strtod(magnitude, nullptr) != m_magnitude) std::snprintf(magnitude, sizeof magnitude, "%.17g", m_magnitude);
    std::string text = "name \"" + m_name.ToUtf8() + "\", magnitude " + magnitude + ", varies with time " +
                       CheckName(m_varies);
    if (m_varies == BST_CHECKED) text += ", load curve " + std::to_string(m_curve);
    text += std::string(", follow surface ") + CheckName(m_follow) + ", coordinates " +
            (m_coordinates == 1 ? "local" : "global") + ", units " +
            (m_units >= 0 && m_units < 3 ? CString(kUnits[m_units]).ToUtf8() : std::string("none")) + ", node " +
            (m_node >= 0 ? std::to_string(m_node + 1) : std::string("none"));
    return text;
}

}  // namespace orvdlg
