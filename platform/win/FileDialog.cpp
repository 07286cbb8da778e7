#include "platform/win/FileDialog.h"

#include <filesystem>

#include "platform/win/AfxControls.h"
#include "platform/win/Kernel.h"
#include "platform/win/MessageBox.h"

using namespace orv::win::detail;
namespace fs = std::filesystem;

namespace {

std::wstring Extension(const std::wstring& name) {
    auto slash = name.find_last_of(L"/\\");
    auto dot = name.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return L"";
    return name.substr(dot + 1);
}

std::wstring FileNamePart(const std::wstring& path) {
    auto slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, LPCTSTR defaultExtension, LPCTSTR fileName, DWORD flags, LPCTSTR filter,
                         CWnd* parent, DWORD, BOOL)
    : m_bOpenFileDialog(openFileDialog) {
    m_pParentWnd = parent;
    defaultExtension_ = defaultExtension ? defaultExtension : L"";
    initialName_ = fileName ? fileName : L"";
    m_ofn.Flags = flags;
    m_ofn.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
    if (filter) {
        std::wstring f = filter;
        std::vector<std::wstring> parts;
        std::wstring current;
        for (wchar_t c : f) {
            if (c == L'|') {
                parts.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        if (!current.empty()) parts.push_back(current);
        for (size_t i = 0; i + 1 < parts.size(); i += 2) {
            if (parts[i].empty()) break;
            filters_.emplace_back(parts[i], parts[i + 1]);
            filterText_ += parts[i] + L'\0' + parts[i + 1] + L'\0';
        }
        filterText_ += L'\0';
        m_ofn.lpstrFilter = filterText_.c_str();
    }
    fileBuffer_.assign(260, L'\0');
    std::copy_n(initialName_.begin(), std::min<size_t>(initialName_.size(), 259), fileBuffer_.begin());
    m_ofn.lpstrFile = fileBuffer_.data();
    m_ofn.nMaxFile = DWORD(fileBuffer_.size());
}

INT_PTR CFileDialog::DoModal() {
    // The template is laid out now, so that changes to m_ofn after construction count.
    title_ = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : FrameworkString(m_bOpenFileDialog ? kStringOpenTitle : kStringSaveTitle);
    template_ = orv::res::DialogTemplate{};
    template_.caption = title_;
    template_.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | WS_VISIBLE;
    template_.cx = 280;
    template_.cy = 62;
    auto item = [&](const wchar_t* cls, std::wstring text, int id, DWORD style, int x, int y, int cx, int cy) {
        orv::res::DialogItemTemplate t;
        t.className = cls;
        t.text = std::move(text);
        t.id = UINT(id);
        t.style = WS_CHILD | WS_VISIBLE | style;
        t.x = x, t.y = y, t.cx = cx, t.cy = cy;
        template_.items.push_back(t);
    };
    item(L"Static", FrameworkString(kStringFileName), kFileNameLabel, SS_LEFT, 7, 9, 60, 8);
    item(L"Edit", L"", kFileNameEdit, WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | WS_BORDER, 70, 7, 145, 14);
    item(L"Static", FrameworkString(kStringFileType), kFileTypeLabel, SS_LEFT, 7, 27, 60, 8);
    item(L"ComboBox", L"", kFileTypeCombo, WS_TABSTOP | WS_GROUP | CBS_DROPDOWNLIST | WS_VSCROLL, 70, 25, 145, 80);
    item(L"Button", FrameworkString(m_bOpenFileDialog ? kStringOpenButton : kStringSaveButton), IDOK,
         WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 223, 7, 50, 14);
    item(L"Button", FrameworkString(kStringButtonCancel), IDCANCEL, WS_TABSTOP | BS_PUSHBUTTON, 223, 25, 50, 14);
    InitModalIndirect(&template_);
    INT_PTR result = CDialog::DoModal();
    if (result == IDOK && m_ofn.lpstrFile && m_ofn.nMaxFile > 0) {
        size_t n = std::min<size_t>(path_.size(), m_ofn.nMaxFile - 1);
        std::copy_n(path_.begin(), n, m_ofn.lpstrFile);
        m_ofn.lpstrFile[n] = 0;
        auto slash = path_.find_last_of(L"/\\");
        m_ofn.nFileOffset = WORD(slash == std::wstring::npos ? 0 : slash + 1);
        auto ext = path_.rfind(L'.');
        m_ofn.nFileExtension = WORD(ext == std::wstring::npos || ext < m_ofn.nFileOffset ? 0 : ext + 1);
    }
    return result;
}

BOOL CFileDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetDlgItemText(m_hWnd, kFileNameEdit, m_ofn.lpstrFile ? m_ofn.lpstrFile : L"");
    HWND combo = ::GetDlgItem(m_hWnd, kFileTypeCombo);
    for (const auto& f : filters_) ::SendMessage(combo, CB_ADDSTRING, 0, LPARAM(f.first.c_str()));
    int index = int(m_ofn.nFilterIndex) - 1;
    if (index < 0 || index >= int(filters_.size())) index = 0;
    ::SendMessage(combo, CB_SETCURSEL, WPARAM(index), 0);
    if (filters_.empty()) {
        ::EnableWindow(combo, FALSE);
        ::EnableWindow(::GetDlgItem(m_hWnd, kFileTypeLabel), FALSE);
    }
    return TRUE;
}

std::wstring CFileDialog::Resolve(const std::wstring& name) const {
    fs::path p(name);
    if (p.is_relative()) {
        fs::path base = m_ofn.lpstrInitialDir && *m_ofn.lpstrInitialDir ? fs::path(m_ofn.lpstrInitialDir) : fs::current_path();
        p = base / p;
    }
    return p.lexically_normal().wstring();
}

void CFileDialog::OnOK() {
    std::wstring name = GetWindowTextString(::GetDlgItem(m_hWnd, kFileNameEdit));
    while (!name.empty() && name.back() == L' ') name.pop_back();
    while (!name.empty() && name.front() == L' ') name.erase(0, 1);
    if (!name.empty() && name.front() == L'"' && name.back() == L'"' && name.size() >= 2) name = name.substr(1, name.size() - 2);
    if (name.empty()) {
        ::SetFocus(::GetDlgItem(m_hWnd, kFileNameEdit));
        return;
    }
    auto refuse = [&](UINT prompt, UINT type) {
        CString text;
        AfxFormatString1(text, prompt, name.c_str());
        return orv::win::ShowMessageBox(m_hWnd, text, title_.c_str(), type, 0);
    };
    if (name.find_first_of(L"*?<>|") != std::wstring::npos) {
        refuse(kStringInvalidFileName, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The default extension goes to a name that has none.
    if (!defaultExtension_.empty() && Extension(name).empty() && !(name.back() == L'.')) name += L"." + defaultExtension_;
    std::wstring path = Resolve(name);
    std::error_code ec;
    fs::path parent = fs::path(path).parent_path();
    if ((m_ofn.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !parent.empty() && !fs::is_directory(parent, ec)) {
        refuse(kStringPathNotFound, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (m_bOpenFileDialog && (m_ofn.Flags & OFN_FILEMUSTEXIST) && !fs::is_regular_file(path, ec)) {
        refuse(kStringFileNotFound, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && fs::exists(path, ec)) {
        if (refuse(kStringReplaceFile, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
    }
    path_ = path;
    int index = int(::SendDlgItemMessage(m_hWnd, kFileTypeCombo, CB_GETCURSEL, 0, 0));
    if (index >= 0) m_ofn.nFilterIndex = DWORD(index + 1);
    EndDialog(IDOK);
}

CString CFileDialog::GetPathName() const { return CString(path_); }
CString CFileDialog::GetFileName() const { return CString(FileNamePart(path_)); }
CString CFileDialog::GetFileExt() const { return CString(Extension(path_)); }
CString CFileDialog::GetFileTitle() const {
    std::wstring name = FileNamePart(path_);
    std::wstring ext = Extension(name);
    return CString(ext.empty() ? name : name.substr(0, name.size() - ext.size() - 1));
}
CString CFileDialog::GetFolderPath() const { return CString(fs::path(path_).parent_path().wstring()); }
