#pragma once
// CFileDialog: the open and save dialogs, as dialogs of the kernel (a file name edit, a file
// type list, the open or save button and Cancel). Checks when the person presses the button:
// the default extension is added to a name without one, a relative name is taken in the initial
// folder, OFN_FILEMUSTEXIST refuses a missing file, OFN_PATHMUSTEXIST a missing folder, and
// OFN_OVERWRITEPROMPT asks before an existing file is replaced; each refusal is a message box
// and the dialog stays open.

#include <string>
#include <vector>

#include "platform/win/CDialog.h"

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_NOVALIDATE = 0x00000100;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;
inline constexpr DWORD OFN_ENABLESIZING = 0x00800000;

struct OPENFILENAME {
    DWORD lStructSize = sizeof(OPENFILENAME);
    HWND hwndOwner = nullptr;
    LPCWSTR lpstrFilter = nullptr;  // pairs of NUL-terminated texts, ending with an empty one
    DWORD nFilterIndex = 1;         // 1-based
    LPWSTR lpstrFile = nullptr;
    DWORD nMaxFile = 0;
    LPCWSTR lpstrInitialDir = nullptr;
    LPCWSTR lpstrTitle = nullptr;
    DWORD Flags = 0;
    WORD nFileOffset = 0;
    WORD nFileExtension = 0;
    LPCWSTR lpstrDefExt = nullptr;
};

class CFileDialog : public CDialog {
public:
    // The filter is the framework's "Name|*.ext;*.x2|Other|*.*||" form.
    explicit CFileDialog(BOOL openFileDialog, LPCTSTR defaultExtension = nullptr, LPCTSTR fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR filter = nullptr,
                         CWnd* parent = nullptr, DWORD size = 0, BOOL vistaStyle = TRUE);
    INT_PTR DoModal() override;

    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;

    OPENFILENAME m_ofn;
    BOOL m_bOpenFileDialog;

    // Control ids of the kernel's file dialog.
    static constexpr int kFileNameEdit = 1152;
    static constexpr int kFileTypeCombo = 1136;
    static constexpr int kFileNameLabel = 1090;
    static constexpr int kFileTypeLabel = 1089;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::wstring Resolve(const std::wstring& name) const;
    std::wstring defaultExtension_;
    std::wstring filterText_;          // NUL-separated form m_ofn points at
    std::vector<std::pair<std::wstring, std::wstring>> filters_;
    std::wstring title_;
    std::wstring initialName_;
    std::wstring path_;
    std::wstring fileBuffer_;
    orv::res::DialogTemplate template_;
};
