#include "apps/orvdlg/SampleDialog.h"

#include <cstdio>
#include <cstdlib>

namespace orvdlg {
namespace {

constexpr const wchar_t* kUnits[] = {L"mm", L"cm", L"m"};
constexpr const wchar_t* kNodes[] = {L"Node 1", L"Node 2", L"Node 3"};

orv::res::DialogItemTemplate Item(const wchar_t* cls, const wchar_t* text, int id, DWORD style, int x, int y, int cx,
                                  int cy) {
    orv::res::DialogItemTemplate item;
    item.className = cls;
    item.text = text;
    item.id = UINT(id);
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return item;
}

orv::res::DialogTemplate BuildTemplate() {
    using D = SampleDialog;
    orv::res::DialogTemplate t;
    t.caption = L"Sample";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.cx = 260;
    t.cy = 150;
    t.fontName = L"MS Shell Dlg";
    t.fontPointSize = 8;
    const DWORD edit = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    t.items = {
        Item(L"Static", L"&Name:", -1, SS_LEFT, 7, 9, 44, 8),
        Item(L"Edit", L"", D::IDC_NAME, edit, 56, 7, 100, 14),
        Item(L"Static", L"&Magnitude:", -1, SS_LEFT, 7, 27, 44, 8),
        Item(L"Edit", L"", D::IDC_MAGNITUDE, edit, 56, 25, 60, 14),
        Item(L"Static", L"N", -1, SS_LEFT, 120, 27, 12, 8),
        Item(L"Button", L"&Varies with time", D::IDC_VARIES, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 44, 80, 10),
        Item(L"Static", L"Load &curve:", D::IDC_CURVE_LABEL, SS_LEFT, 92, 45, 44, 8),
        Item(L"Edit", L"", D::IDC_CURVE, edit, 136, 43, 40, 14),
        Item(L"Button", L"&Follow surface", D::IDC_FOLLOW, BS_AUTO3STATE | WS_TABSTOP, 7, 62, 80, 10),
        Item(L"Button", L"Coordinates", -1, BS_GROUPBOX, 7, 76, 100, 26),
        Item(L"Button", L"&Global", D::IDC_GLOBAL, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 88, 40, 10),
        Item(L"Button", L"&Local", D::IDC_LOCAL, BS_AUTORADIOBUTTON, 60, 88, 40, 10),
        Item(L"Static", L"&Units:", -1, SS_LEFT, 114, 80, 26, 8),
        Item(L"ComboBox", L"", D::IDC_UNITS, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 142, 78, 50, 60),
        Item(L"Static", L"", D::IDC_UNITS_NOTE, SS_LEFT, 114, 94, 90, 8),
        Item(L"ListBox", L"", D::IDC_NODES, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 196, 7, 57, 48),
        Item(L"Button", L"&Reset", D::IDC_RESET, BS_PUSHBUTTON | WS_TABSTOP, 196, 60, 57, 14),
        Item(L"Static", L"", D::IDC_STATUS, SS_LEFT, 7, 110, 180, 8),
        Item(L"Button", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 96, 129, 50, 14),
        Item(L"Button", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 150, 129, 50, 14),
        Item(L"Button", L"&Help", IDHELP, BS_PUSHBUTTON | WS_TABSTOP, 204, 129, 50, 14),
    };
    return t;
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
