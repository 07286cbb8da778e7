#include "dialogs/convection/SurfaceConvectionCoefficientCalculatorDlg.h"

#include <cmath>
#include <cwchar>

#include "dialogs/controls/CDoubleCalcEdit.h"
#include "dialogs/convection/ConvectionValidity.h"
#include "dialogs/convection/SurfaceConvectionCoefficientLibDlg.h"
#include "dialogs/objectdialogs/UnitConverterWindowUtility.h"
#include "dialogs/resources/Convection.h"
#include "platform/res/Resources.h"
#include "platform/win/DataExchange.h"
#include "platform/win/MessageBox.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {
namespace {

// Gives the shown panel the focus once the dialog is on the screen.
constexpr UINT kActivatePanel = WM_APP + 1;

CString FormatG(double value) { return CString(orv::FormatPrintf(L"%g", value).c_str()); }

}  // namespace

SurfaceConvectionCoefficientCalculatorDlg::SurfaceConvectionCoefficientCalculatorDlg(CWnd* parent)
    : CDialog(IDD_CONVECTION_CALCULATOR, parent) {
    panels_.push_back(std::make_unique<SurfaceConvectionCoefficientGeneralPanel>(this));
    panels_.push_back(std::make_unique<SurfaceConvectionCoefficientFluidPropertiesPanel>(this));
    panels_.push_back(std::make_unique<SurfaceConvectionCoefficientGeometryPanel>(this));
    HandleNotify(IDC_CC_TABS, TCN_SELCHANGE, [this](NMHDR*, LRESULT*) {
        ShowPanel(static_cast<CTabCtrl*>(GetDlgItem(IDC_CC_TABS))->GetCurSel());
    });
    HandleCommand(IDC_CC_CALCULATE, [this] { Calculate(); });
    HandleCommand(IDC_CC_READ_LIBRARY, [this] { ReadFromLibrary(); });
    HandleCommand(IDC_CC_SAVE_LIBRARY, [this] { SaveToLibrary(); });
    HandleMessage(WM_HELP, [this](WPARAM, LPARAM lParam) -> LRESULT {
        if (lParam) ShowHelp(*reinterpret_cast<const HELPINFO*>(lParam));
        return TRUE;
    });
    HandleMessage(kActivatePanel, [this](WPARAM, LPARAM) -> LRESULT {
        if (current_ >= 0) panels_[std::size_t(current_)]->Activate();
        return 0;
    });
}

SurfaceConvectionCoefficientCalculatorDlg::~SurfaceConvectionCoefficientCalculatorDlg() = default;

BOOL SurfaceConvectionCoefficientCalculatorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    lastExplanation_.Empty();
    calculatedText_.Empty();
    current_ = -1;
    OrvDbRecord::UnitConverterWindowUtility::AutoSetupUnitLabels(inputs.Units, m_hWnd, CString(L"Static"),
                                                                 OrvUnitsConversionStringSyntaxBaseUnits,
                                                                 CString(L"%U%"));
    const UINT ids[] = {IDC_CC_USER_VALUE, 0};
    MakeCalcEdits(*this, calcEdits_, ids);
    // An empty user value means "use the calculated one".
    for (auto& edit : calcEdits_)
        if (auto* calc = dynamic_cast<CDoubleCalcEdit*>(edit.get())) calc->SetAllowEmpty(true);
    LayoutPanels();
    if (!showLibraryButtons) {
        for (int id : {IDC_CC_READ_LIBRARY, IDC_CC_SAVE_LIBRARY}) {
            GetDlgItem(id)->EnableWindow(FALSE);
            GetDlgItem(id)->ShowWindow(SW_HIDE);
        }
    }
    UpdateData(FALSE);
    ShowPanel(0);
    PostMessage(kActivatePanel);
    return FALSE;  // the panel takes the focus
}

void SurfaceConvectionCoefficientCalculatorDlg::LayoutPanels() {
    auto* tabs = static_cast<CTabCtrl*>(GetDlgItem(IDC_CC_TABS));
    tabs->DeleteAllItems();
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        tabs->InsertItem(int(i), panels_[i]->GetTabTitle());
        panels_[i]->CreatePanel(this);
    }
    // The display area: below the union of the tab items, inside the control, one unit in.
    CRect area;
    tabs->GetClientRect(&area);
    CRect items(0, 0, 0, 0);
    for (int i = 0; i < tabs->GetItemCount(); ++i) {
        CRect item;
        if (tabs->GetItemRect(i, &item)) items.UnionRect(&items, &item);
    }
    area.top = items.bottom;
    area.DeflateRect(1, 1);
    tabs->MapWindowPoints(this, &area);
    const bool themed = IsAppThemed() && OpenThemeData(m_hWnd, L"Tab") != nullptr;
    for (auto& panel : panels_) {
        panel->SetWindowPos(tabs, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        EnableThemeDialogTexture(*panel, themed ? ETDT_ENABLETAB : ETDT_DISABLE);
        panel->EnableWindow(FALSE);
    }
}

void SurfaceConvectionCoefficientCalculatorDlg::ShowPanel(int index) {
    if (index < 0 || index >= GetPanelCount()) return;
    auto* tabs = static_cast<CTabCtrl*>(GetDlgItem(IDC_CC_TABS));
    if (tabs->GetCurSel() != index) tabs->SetCurSel(index);
    SetRedraw(FALSE);
    if (current_ >= 0 && current_ != index) panels_[std::size_t(current_)]->Hide();
    current_ = index;
    SurfaceConvectionCoefficientPanel& panel = *panels_[std::size_t(index)];
    panel.Show();
    SetRedraw(TRUE);
    RedrawWindow();
    panel.Activate();
}

BOOL SurfaceConvectionCoefficientCalculatorDlg::PreTranslateMessage(MSG* msg) {
    // Ctrl+Tab and Ctrl+Page Down: the next tab; Ctrl+Shift+Tab and Ctrl+Page Up: the
    // previous one; both wrap around, from the dialog and from inside any panel.
    if (msg->message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) &&
        (msg->wParam == VK_TAB || msg->wParam == VK_NEXT || msg->wParam == VK_PRIOR) &&
        (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
        const bool back = msg->wParam == VK_PRIOR || (msg->wParam == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000));
        const int n = GetPanelCount();
        const int from = current_ < 0 ? 0 : current_;
        ShowPanel((from + (back ? n - 1 : 1)) % n);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void SurfaceConvectionCoefficientCalculatorDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    bool userValue = false;
    if (dx->m_bSaveAndValidate) {
        CString text;
        GetDlgItemText(IDC_CC_USER_VALUE, text);
        text.Trim();
        if (!text.IsEmpty()) {
            userValue = true;
            double value = 0;
            DDX_Text(dx, IDC_CC_USER_VALUE, value);
            // The box still shows the calculated h ("%g"): that h, not its six digits.
            inputs.UserCoefficient = text == calculatedText_ ? calculatedValue_ : value;
        }
    } else {
        AfxSetWindowText(GetDlgItem(IDC_CC_USER_VALUE)->GetSafeHwnd(),
                         std::isnan(inputs.UserCoefficient)
                             ? L""
                             : orv::FormatPrintf(L"%.*g", 15, inputs.UserCoefficient).c_str());
    }
    const bool saving = dx->m_bSaveAndValidate != FALSE;
    for (int i = 0; i < GetPanelCount(); ++i) {
        SurfaceConvectionCoefficientPanel& panel = *panels_[std::size_t(i)];
        if (panel.Validate(saving) || userValue) continue;
        // Invalid inputs stop the dialog only when no user value stands in for them: the
        // panel's first bad field shows its message and gets the focus.
        ShowPanel(i);
        panel.Exchange(saving);
        AfxThrowUserException();
    }
}

bool SurfaceConvectionCoefficientCalculatorDlg::Calculate() {
    CString typed;
    GetDlgItemText(IDC_CC_USER_VALUE, typed);
    SetDlgItemText(IDC_CC_USER_VALUE, L"");
    if (!UpdateData(TRUE)) {
        // The inputs do not read: the user's value stays where it was.
        SetDlgItemText(IDC_CC_USER_VALUE, typed);
        return false;
    }
    CString explanation;
    const double h = ComputeFilmCoefficient(inputs, &explanation);
    result = h;
    inputs.UserCoefficient = h;
    if (!std::isfinite(h)) {
        ShowValidity({});
        return false;
    }
    const std::vector<CString> warnings = ValidityWarnings(inputs);
    for (const CString& line : warnings) explanation += CString(L"\n\n") + line;
    lastExplanation_ = explanation;
    calculatedText_ = FormatG(h);
    calculatedValue_ = h;
    SetDlgItemText(IDC_CC_CALCULATED, calculatedText_);
    SetDlgItemText(IDC_CC_USER_VALUE, calculatedText_);
    ShowValidity(warnings);
    MessageBox(explanation, LoadConvectionString(IDS_CONVECTION_EXPLANATION_CAPTION), MB_OK | MB_ICONINFORMATION);
    return true;
}

void SurfaceConvectionCoefficientCalculatorDlg::ShowValidity(const std::vector<CString>& warnings) {
    CString text;
    if (!warnings.empty()) {
        const std::wstring inserts[] = {std::wstring(warnings.front().GetString())};
        text = orv::FormatMessageStrings(std::wstring(LoadConvectionString(IDS_VALIDITY_SHORT).GetString()), inserts)
                   .c_str();
    }
    SetDlgItemText(IDC_CC_VALIDITY_WARNING, text);
}

void SurfaceConvectionCoefficientCalculatorDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    CString typed;
    GetDlgItemText(IDC_CC_USER_VALUE, typed);
    typed.Trim();
    // Without a user value there is nothing to keep: the computed value is the answer.
    if (typed.IsEmpty()) {
        if (!Calculate()) return;
        EndDialog(IDOK);
        return;
    }
    const double h = ComputeFilmCoefficient(inputs);
    const CString computed = FormatG(std::isfinite(h) ? h : inputs.UserCoefficient);
    const CString user = FormatG(inputs.UserCoefficient);
    if (computed != user) {
        const int answer = MessageBox(LoadConvectionString(IDS_CONVECTION_USER_VALUE_MISMATCH),
                                      LoadConvectionString(IDS_CCLIB_WARNING), MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return;
        if (answer == IDNO) {
            if (!Calculate()) return;
        } else {
            result = inputs.UserCoefficient;
        }
    } else {
        result = inputs.UserCoefficient;
    }
    EndDialog(IDOK);
}

void SurfaceConvectionCoefficientCalculatorDlg::ReadFromLibrary() {
    SurfaceConvectionCoefficientLibDlg library(inputs.Units, this);
    if (library.DoModal() != IDOK) return;
    inputs = library.GetChosenInputs();
    UpdateData(FALSE);
}

void SurfaceConvectionCoefficientCalculatorDlg::SaveToLibrary() {
    if (!UpdateData(TRUE)) return;
    CString explanation;
    ComputeFilmCoefficient(inputs, &explanation);
    for (const CString& line : ValidityWarnings(inputs)) explanation += CString(L"\n\n") + line;
    if (explanation != lastExplanation_ && !Calculate()) return;
    SaveSurfaceConvectionCoefficientDlg save(inputs, this);
    save.DoModal();
}

void SurfaceConvectionCoefficientCalculatorDlg::ShowHelp(const HELPINFO& info) {
    const UINT id = UINT(info.iCtrlId);
    CString text;
    if (current_ >= 0) text = panels_[std::size_t(current_)]->GetHelpText(id);
    if (text.IsEmpty()) text = LoadConvectionString(id);
    HH_POPUP popup;
    popup.cbStruct = sizeof(HH_POPUP);
    popup.hinst = AfxGetResourceHandle();
    popup.idString = 0;
    popup.pszText = text.GetString();
    popup.pt = info.MousePos;
    popup.clrForeground = COLORREF(-1);
    popup.clrBackground = COLORREF(-1);
    popup.rcMargins = RECT{-1, -1, -1, -1};
    popup.pszFont = nullptr;
    HtmlHelp(DWORD_PTR(&popup), HH_DISPLAY_TEXT_POPUP);
}

}  // namespace DataModelDialogs
