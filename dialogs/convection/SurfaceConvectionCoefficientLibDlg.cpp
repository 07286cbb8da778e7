#include "dialogs/convection/SurfaceConvectionCoefficientLibDlg.h"

#include <algorithm>
#include <set>

#include "dialogs/controls/HelpFile.h"
#include "dialogs/convection/SurfaceConvectionCoefficientCalculatorDlg.h"
#include "dialogs/resources/Convection.h"
#include "host/model/UnitConverterWindowUtility.h"
#include "platform/win/FileDialog.h"
#include "platform/win/MessageBox.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {
namespace {

CString Format(UINT id, std::initializer_list<std::wstring> inserts) {
    const std::vector<std::wstring> args(inserts);
    return CString(orv::FormatMessageStrings(std::wstring(LoadConvectionString(id).GetString()), args).c_str());
}

std::wstring W(const CString& text) { return std::wstring(text.GetString()); }

int Refuse(CWnd& owner, const CString& text) {
    return owner.MessageBox(text, LoadConvectionString(IDS_CCLIB_ERROR), MB_OK | MB_ICONEXCLAMATION);
}

bool AskYesNo(CWnd& owner, const CString& text) {
    return owner.MessageBox(text, LoadConvectionString(IDS_CCLIB_WARNING), MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) ==
           IDYES;
}

// A save-file dialog for a new library file; empty when cancelled.
CString ChooseLibraryFile(CWnd* owner, bool open) {
    const DWORD flags = open ? (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY)
                             : (OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
    CFileDialog dialog(open ? TRUE : FALSE, L"cclib", nullptr, flags, LoadConvectionString(IDS_CCLIB_FILE_FILTER),
                       owner);
    if (dialog.DoModal() != IDOK) return CString();
    return dialog.GetPathName();
}

void ReportSaveFailure(CWnd& owner, const std::wstring& problem) {
    Refuse(owner, Format(IDS_CCLIB_SAVE_FAILED, {problem}));
}

}  // namespace

// ---- NewLibCoeffDlg ----

NewLibCoeffDlg::NewLibCoeffDlg(bool libraryMode, CWnd* parent)
    : CDialog(IDD_CCLIB_NEW_NAME, parent), libraryMode_(libraryMode) {
    HandleCommand(IDC_CCLIB_NEW_NAME, EN_CHANGE, [this] {
        GetDlgItem(IDOK)->EnableWindow(GetDlgItem(IDC_CCLIB_NEW_NAME)->GetWindowTextLength() > 0);
    });
}

BOOL NewLibCoeffDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CString title;
    GetWindowText(title);
    const int brk = title.Find(L'\n');
    if (brk >= 0) SetWindowText(libraryMode_ ? title.Left(brk) : title.Mid(brk + 1));
    SetDlgItemText(IDC_CCLIB_NEW_NAME, name_);
    GetDlgItem(IDOK)->EnableWindow(!name_.IsEmpty());
    GetDlgItem(IDC_CCLIB_NEW_NAME)->SetFocus();
    return FALSE;
}

void NewLibCoeffDlg::OnOK() {
    GetDlgItemText(IDC_CCLIB_NEW_NAME, name_);
    if (name_.IsEmpty()) return;
    EndDialog(IDOK);
}

// ---- SurfaceConvectionCoefficientLibDlg ----

SurfaceConvectionCoefficientLibDlg::SurfaceConvectionCoefficientLibDlg(const OrvDbRecord::UnitSystem& units,
                                                                       CWnd* parent)
    : CDialog(IDD_CCLIB_BROWSER, parent), units_(units) {
    HandleCommand(IDC_CCLIB_LIBRARIES, LBN_SELCHANGE, [this] {
        FillCoefficients();
        UpdateEnabling();
    });
    HandleNotify(IDC_CCLIB_COEFFICIENTS, LVN_ITEMCHANGED, [this](NMHDR*, LRESULT*) { UpdateEnabling(); });
    HandleNotify(IDC_CCLIB_COEFFICIENTS, NM_DBLCLK, [this](NMHDR*, LRESULT*) {
        if (GetDlgItem(IDOK)->IsWindowEnabled()) OnOK();
    });
    HandleNotify(IDC_CCLIB_COEFFICIENTS, LVN_BEGINLABELEDIT,
                 [this](NMHDR*, LRESULT* result) { *result = SelectedEditable() ? FALSE : TRUE; });
    HandleNotify(IDC_CCLIB_COEFFICIENTS, LVN_ENDLABELEDIT, [this](NMHDR* header, LRESULT* result) {
        OnEndLabelEdit(reinterpret_cast<NMLVDISPINFO*>(header), result);
    });
    HandleCommand(IDC_CCLIB_CREATE, [this] { OnCreate(); });
    HandleCommand(IDC_CCLIB_IMPORT, [this] { OnImport(); });
    HandleCommand(IDC_CCLIB_DELETE_LIBRARY, [this] { OnDeleteLibrary(); });
    HandleCommand(IDC_CCLIB_ADD, [this] { OnAdd(); });
    HandleCommand(IDC_CCLIB_EDIT, [this] {
        if (coefficients_.GetSelectedCount() == 1) EditItem(coefficients_.GetNextItem(-1, LVNI_SELECTED), false);
    });
    HandleCommand(IDC_CCLIB_DELETE_COEFFICIENTS, [this] { OnDeleteCoefficients(); });
    HandleCommand(IDC_CCLIB_HELP, [] { ShowLibraryHelp(); });
}

SurfaceConvectionCoefficientLibDlg::~SurfaceConvectionCoefficientLibDlg() = default;

BOOL SurfaceConvectionCoefficientLibDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    OrvDbRecord::UnitConverterWindowUtility::AutoSetupUnitLabels(units_, m_hWnd, CString(L"Static"),
                                                                 OrvUnitsConversionStringSyntaxBaseUnits,
                                                                 CString(L"%U%"));
    coefficients_.SubclassDlgItem(IDC_CCLIB_COEFFICIENTS, this);
    coefficients_.SetExtendedStyle(coefficients_.GetExtendedStyle() | LVS_EX_LABELTIP);
    CRect client;
    coefficients_.GetClientRect(&client);
    coefficients_.InsertColumn(0, LoadConvectionString(IDS_CCLIB_COLUMN_NAME), LVCFMT_LEFT, client.Width() / 2);
    coefficients_.InsertColumn(1, LoadConvectionString(IDS_CCLIB_COLUMN_COEFFICIENT), LVCFMT_LEFT, client.Width() / 2);
    list_ = ConvectionCoefficientLibraryList();
    list_.Load();
    list_.EnsureDefaultLibrary();
    FillLibraries(0);
    return TRUE;
}

ConvectionCoefficientLibrary* SurfaceConvectionCoefficientLibDlg::Selected() {
    const int i = static_cast<CListBox*>(GetDlgItem(IDC_CCLIB_LIBRARIES))->GetCurSel();
    return i >= 0 && std::size_t(i) < list_.GetCount() ? &list_[std::size_t(i)] : nullptr;
}

bool SurfaceConvectionCoefficientLibDlg::SelectedEditable() {
    ConvectionCoefficientLibrary* library = Selected();
    return library && library->IsEditable();
}

void SurfaceConvectionCoefficientLibDlg::FillLibraries(int select) {
    auto* box = static_cast<CListBox*>(GetDlgItem(IDC_CCLIB_LIBRARIES));
    box->ResetContent();
    for (const auto& library : list_.GetLibraries()) box->AddString(library.GetName());
    if (box->GetCount() > 0) box->SetCurSel(std::clamp(select, 0, box->GetCount() - 1));
    FillCoefficients();
    UpdateEnabling();
}

void SurfaceConvectionCoefficientLibDlg::SetCoefficientText(int item, double coefficient) {
    coefficients_.SetItemText(item, 1, orv::FormatPrintf(L"%g", coefficient).c_str());
}

void SurfaceConvectionCoefficientLibDlg::FillCoefficients() {
    coefficients_.DeleteAllItems();
    ConvectionCoefficientLibrary* library = Selected();
    if (!library) return;
    for (std::size_t i = 0; i < library->GetEntryCount(); ++i) {
        CString name;
        ConvectionCoefficientInputs inputs;
        library->GetEntry(i, units_, &name, &inputs);
        const int item = coefficients_.InsertItem(int(i), name);
        coefficients_.SetItemData(item, DWORD_PTR(i));
        SetCoefficientText(item, inputs.UserCoefficient);
    }
}

void SurfaceConvectionCoefficientLibDlg::UpdateEnabling() {
    const bool selected = Selected() != nullptr;
    const bool editable = SelectedEditable();
    const UINT count = coefficients_.GetSelectedCount();
    GetDlgItem(IDC_CCLIB_DELETE_LIBRARY)->EnableWindow(selected && editable);
    GetDlgItem(IDC_CCLIB_ADD)->EnableWindow(editable);
    GetDlgItem(IDC_CCLIB_DELETE_COEFFICIENTS)->EnableWindow(editable && count >= 1);
    GetDlgItem(IDC_CCLIB_EDIT)->EnableWindow(editable && count == 1);
    GetDlgItem(IDOK)->EnableWindow(count == 1);
}

bool SurfaceConvectionCoefficientLibDlg::SaveLibrary(ConvectionCoefficientLibrary& library) {
    if (library.Save()) return true;
    ReportSaveFailure(*this, library.GetError());
    return false;
}

bool SurfaceConvectionCoefficientLibDlg::SaveList() {
    if (list_.Save()) return true;
    std::wstring problems;
    for (const auto& p : list_.GetProblems()) problems += (problems.empty() ? L"" : L"\n") + p;
    ReportSaveFailure(*this, problems);
    return false;
}

void SurfaceConvectionCoefficientLibDlg::OnEndLabelEdit(NMLVDISPINFO* info, LRESULT* result) {
    *result = FALSE;
    ConvectionCoefficientLibrary* library = Selected();
    if (!library || !info->item.pszText || !*info->item.pszText) return;
    const CString name = ConvectionCoefficientEntry::FitName(CString(info->item.pszText));
    const auto index = std::size_t(coefficients_.GetItemData(info->item.iItem));
    const std::size_t existing = library->FindEntry(name);
    if (existing == index) return;  // the same name: nothing to do
    if (existing != ConvectionCoefficientLibrary::npos) {
        Refuse(*this, Format(IDS_CCLIB_COEFFICIENT_EXISTS, {W(name), W(library->GetName())}));
        return;
    }
    const CString previous = library->GetEntries().at(index).Name;
    library->RenameEntry(index, name);
    if (!SaveLibrary(*library)) {
        // The file still holds the old name: so does the dialog.
        library->RenameEntry(index, previous);
        return;
    }
    *result = TRUE;
}

bool SurfaceConvectionCoefficientLibDlg::AskLibraryName(CString& name) {
    NewLibCoeffDlg prompt(true, this);
    if (prompt.DoModal() != IDOK) return false;
    name = prompt.GetName();
    if (list_.FindLibraryByName(name) != ConvectionCoefficientLibraryList::npos) {
        Refuse(*this, Format(IDS_CCLIB_LIBRARY_EXISTS, {W(name)}));
        return false;
    }
    return true;
}

void SurfaceConvectionCoefficientLibDlg::OnCreate() {
    CString name;
    if (!AskLibraryName(name)) return;
    const CString path = ChooseLibraryFile(this, false);
    if (path.IsEmpty()) return;
    const std::size_t index = list_.AddLibrary(name, true);
    list_[index].SetLocation(path);
    SaveList();
    FillLibraries(int(index));
}

void SurfaceConvectionCoefficientLibDlg::OnImport() {
    const CString path = ChooseLibraryFile(this, true);
    if (path.IsEmpty()) return;
    const std::size_t existing = list_.FindLibraryByLocation(path);
    if (existing != ConvectionCoefficientLibraryList::npos) {
        Refuse(*this, Format(IDS_CCLIB_IMPORT_EXISTS, {W(list_[existing].GetName())}));
        return;
    }
    CString name;
    if (!AskLibraryName(name)) return;
    const std::size_t index = list_.AddLibrary(name, true);
    list_[index].SetLocation(path);
    list_[index].Load();  // a file that does not read leaves the library empty
    SaveList();
    FillLibraries(int(index));
}

void SurfaceConvectionCoefficientLibDlg::OnDeleteLibrary() {
    const int i = static_cast<CListBox*>(GetDlgItem(IDC_CCLIB_LIBRARIES))->GetCurSel();
    if (i < 0 || !SelectedEditable()) return;
    if (!AskYesNo(*this, LoadConvectionString(IDS_CCLIB_DELETE_LIBRARY))) return;
    list_.RemoveLibrary(std::size_t(i), true);
    SaveList();
    FillLibraries(0);
}

void SurfaceConvectionCoefficientLibDlg::OnAdd() {
    ConvectionCoefficientLibrary* library = Selected();
    if (!library || !library->IsEditable()) return;
    NewLibCoeffDlg prompt(false, this);
    if (prompt.DoModal() != IDOK) return;
    const CString name = ConvectionCoefficientEntry::FitName(prompt.GetName());
    const std::size_t existing = library->FindEntry(name);
    if (existing == ConvectionCoefficientLibrary::npos) {
        ConvectionCoefficientInputs inputs;
        inputs.Units = units_;
        const std::size_t index = library->GetEntryCount();
        library->SetEntry(index, name, inputs);
        coefficients_.SetItemState(-1, 0, LVIS_SELECTED);
        const int item = coefficients_.InsertItem(0, name);
        coefficients_.SetItemData(item, DWORD_PTR(index));
        SetCoefficientText(item, inputs.UserCoefficient);
        coefficients_.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EditItem(item, true);
        return;
    }
    if (!AskYesNo(*this, Format(IDS_CCLIB_OVERWRITE_COEFFICIENT, {W(name), W(library->GetName())}))) return;
    for (int item = 0; item < coefficients_.GetItemCount(); ++item)
        if (std::size_t(coefficients_.GetItemData(item)) == existing) EditItem(item, false);
}

void SurfaceConvectionCoefficientLibDlg::EditItem(int item, bool isNew) {
    ConvectionCoefficientLibrary* library = Selected();
    if (!library || item < 0) return;
    const auto index = std::size_t(coefficients_.GetItemData(item));
    CString name;
    SurfaceConvectionCoefficientCalculatorDlg calculator(this);
    if (!library->GetEntry(index, units_, &name, &calculator.inputs)) return;
    calculator.showLibraryButtons = false;
    calculator.result = calculator.inputs.UserCoefficient;
    if (calculator.DoModal() != IDOK) {
        if (isNew) {
            library->RemoveEntry(index);
            coefficients_.DeleteItem(item);
            // Nothing was written for the new entry; the library is as it was.
            if (library->Exists()) library->Load();
            UpdateEnabling();
        }
        return;
    }
    calculator.inputs.UserCoefficient = calculator.result;
    library->SetEntry(index, name, calculator.inputs);
    SaveLibrary(*library);
    SetCoefficientText(item, calculator.result);
    UpdateEnabling();
}

void SurfaceConvectionCoefficientLibDlg::OnDeleteCoefficients() {
    ConvectionCoefficientLibrary* library = Selected();
    if (!library || !library->IsEditable() || coefficients_.GetSelectedCount() == 0) return;
    if (!AskYesNo(*this, LoadConvectionString(IDS_CCLIB_DELETE_COEFFICIENTS))) return;
    std::set<std::size_t> removed;
    std::vector<int> items;
    for (int item = coefficients_.GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = coefficients_.GetNextItem(item, LVNI_SELECTED)) {
        removed.insert(std::size_t(coefficients_.GetItemData(item)));
        items.push_back(item);
    }
    for (auto it = removed.rbegin(); it != removed.rend(); ++it) library->RemoveEntry(*it);
    SaveLibrary(*library);
    for (auto it = items.rbegin(); it != items.rend(); ++it) coefficients_.DeleteItem(*it);
    // The remaining items keep pointing at their entries.
    for (int item = 0; item < coefficients_.GetItemCount(); ++item) {
        const auto data = std::size_t(coefficients_.GetItemData(item));
        const auto below = std::size_t(std::distance(removed.begin(), removed.lower_bound(data)));
        coefficients_.SetItemData(item, DWORD_PTR(data - below));
    }
    UpdateEnabling();
}

void SurfaceConvectionCoefficientLibDlg::OnOK() {
    ConvectionCoefficientLibrary* library = Selected();
    if (!library || coefficients_.GetSelectedCount() != 1) return;
    const int item = coefficients_.GetNextItem(-1, LVNI_SELECTED);
    if (!library->GetEntry(std::size_t(coefficients_.GetItemData(item)), units_, &chosenName_, &chosen_)) return;
    EndDialog(IDOK);
}

// ---- SaveSurfaceConvectionCoefficientDlg ----

SaveSurfaceConvectionCoefficientDlg::SaveSurfaceConvectionCoefficientDlg(const ConvectionCoefficientInputs& inputs,
                                                                         CWnd* parent)
    : CDialog(IDD_CCLIB_SAVE, parent), inputs_(inputs) {
    HandleCommand(IDC_CCLIB_SAVE_LIBRARIES, LBN_SELCHANGE, [this] {
        auto* box = static_cast<CListBox*>(GetDlgItem(IDC_CCLIB_SAVE_LIBRARIES));
        if (box->GetCurSel() == box->GetCount() - 1) OpenInPlaceEdit();
        UpdateEnabling();
    });
    HandleCommand(IDC_CCLIB_SAVE_NAME, EN_CHANGE, [this] { UpdateEnabling(); });
    HandleCommand(kInPlaceEdit, EN_KILLFOCUS, [this] { CloseInPlaceEdit(true); });
}

SaveSurfaceConvectionCoefficientDlg::~SaveSurfaceConvectionCoefficientDlg() = default;

BOOL SaveSurfaceConvectionCoefficientDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    list_ = ConvectionCoefficientLibraryList();
    list_.Load();
    if (ConvectionCoefficientLibrary::IsDeveloperSwitchOn() && !list_.HasDefaultLibraryFirst()) {
        list_.AddLibrary(CString(), false);
        list_.Sort();
        list_.Save();
    }
    // Only editable libraries are offered; the others stay in the list (and its file).
    auto* box = static_cast<CListBox*>(GetDlgItem(IDC_CCLIB_SAVE_LIBRARIES));
    box->ResetContent();
    shown_.clear();
    for (std::size_t i = 0; i < list_.GetCount(); ++i) {
        if (!list_[i].IsEditable()) continue;
        shown_.push_back(i);
        box->AddString(list_[i].GetName());
    }
    box->AddString(LoadConvectionString(IDS_CCLIB_NEW));
    UpdateEnabling();
    return TRUE;
}

std::size_t SaveSurfaceConvectionCoefficientDlg::SelectedLibrary() const {
    const int i = static_cast<CListBox*>(GetDlgItem(IDC_CCLIB_SAVE_LIBRARIES))->GetCurSel();
    return i >= 0 && std::size_t(i) < shown_.size() ? shown_[std::size_t(i)] : ConvectionCoefficientLibraryList::npos;
}

void SaveSurfaceConvectionCoefficientDlg::UpdateEnabling() {
    GetDlgItem(IDOK)->EnableWindow(SelectedLibrary() != ConvectionCoefficientLibraryList::npos &&
                                   GetDlgItem(IDC_CCLIB_SAVE_NAME)->GetWindowTextLength() > 0);
}

void SaveSurfaceConvectionCoefficientDlg::OpenInPlaceEdit() {
    if (inPlace_) return;
    auto* box = static_cast<CListBox*>(GetDlgItem(IDC_CCLIB_SAVE_LIBRARIES));
    CRect rect;
    box->GetWindowRect(&rect);
    ScreenToClient(&rect);
    // Over the last item: rows of 8 dialog units below the list's border.
    CRect row(0, 0, 0, 8);
    MapDialogRect(&row);
    const int top = rect.top + 1 + row.Height() * (box->GetCount() - 1);
    inPlace_ = std::make_unique<CEdit>();
    inPlace_->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP,
                     CRect(rect.left + 1, top, rect.right - 1, top + row.Height() + 4), this, kInPlaceEdit);
    inPlace_->SetFont(GetFont());
    // Over the list box: first in the z-order.
    inPlace_->SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    inPlace_->SetFocus();
}

void SaveSurfaceConvectionCoefficientDlg::CloseInPlaceEdit(bool commit) {
    if (!inPlace_ || closingInPlace_) return;
    closingInPlace_ = true;
    CString name;
    inPlace_->GetWindowText(name);
    inPlace_->DestroyWindow();
    inPlace_.reset();
    closingInPlace_ = false;
    auto* box = static_cast<CListBox*>(GetDlgItem(IDC_CCLIB_SAVE_LIBRARIES));
    name.Trim();
    if (!commit || name.IsEmpty()) {
        box->SetCurSel(-1);
        UpdateEnabling();
        return;
    }
    if (box->FindStringExact(-1, name) >= 0 || list_.FindLibraryByName(name) != ConvectionCoefficientLibraryList::npos) {
        Refuse(*this, Format(IDS_CCLIB_LIBRARY_EXISTS, {W(name)}));
        box->SetCurSel(-1);
        UpdateEnabling();
        return;
    }
    shown_.push_back(list_.AddLibrary(name, true));
    const int at = box->InsertString(box->GetCount() - 1, name);
    box->SetCurSel(at);
    UpdateEnabling();
}

BOOL SaveSurfaceConvectionCoefficientDlg::PreTranslateMessage(MSG* msg) {
    if (inPlace_ && msg->message == WM_KEYDOWN && msg->hwnd == inPlace_->GetSafeHwnd() &&
        (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        CloseInPlaceEdit(msg->wParam == VK_RETURN);
        GetDlgItem(IDC_CCLIB_SAVE_LIBRARIES)->SetFocus();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void SaveSurfaceConvectionCoefficientDlg::OnOK() {
    const std::size_t index = SelectedLibrary();
    CString name;
    GetDlgItemText(IDC_CCLIB_SAVE_NAME, name);
    if (index == ConvectionCoefficientLibraryList::npos || name.IsEmpty()) return;
    name = ConvectionCoefficientEntry::FitName(name);
    ConvectionCoefficientLibrary& library = list_[index];
    std::size_t entry = library.FindEntry(name);
    if (entry != ConvectionCoefficientLibrary::npos &&
        !AskYesNo(*this, Format(IDS_CCLIB_OVERWRITE_COEFFICIENT, {W(name), W(library.GetName())}))) {
        CWnd* box = GetDlgItem(IDC_CCLIB_SAVE_NAME);
        box->SetFocus();
        box->SendMessage(EM_SETSEL, 0, -1);
        return;
    }
    // A new user library gets its file before anything is set, so that a cancelled choice
    // leaves the dialog as it was.
    if (library.IsUserLibrary() && library.GetLocation().IsEmpty()) {
        const CString path = ChooseLibraryFile(this, false);
        if (path.IsEmpty()) return;
        library.SetLocation(path);
    }
    if (entry == ConvectionCoefficientLibrary::npos) entry = library.GetEntryCount();
    library.SetEntry(entry, name, inputs_);
    // The list file keeps naming the default library.
    if (std::none_of(list_.GetLibraries().begin(), list_.GetLibraries().end(),
                     [](const ConvectionCoefficientLibrary& l) { return l.IsDefaultLibrary(); }))
        list_[list_.AddLibrary(CString(), false)].Load();
    if (!list_.Save()) {
        std::wstring problems;
        for (const auto& p : list_.GetProblems()) problems += (problems.empty() ? L"" : L"\n") + p;
        ReportSaveFailure(*this, problems);
        return;
    }
    EndDialog(IDOK);
}

}  // namespace DataModelDialogs
