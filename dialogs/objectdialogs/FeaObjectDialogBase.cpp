#include "dialogs/objectdialogs/FeaObjectDialogBase.h"

#include <map>


namespace DataModelDialogs {

namespace {
// Windows whose messages go to a host target, with the target.
std::map<HWND, std::pair<FeaObjectDialogBase*, CWnd*>>& Targets() {
    static std::map<HWND, std::pair<FeaObjectDialogBase*, CWnd*>> targets;
    return targets;
}
}  // namespace

FeaObjectDialogBase::FeaObjectDialogBase(UINT templateId, CWnd* parent, std::uint32_t typeCode)
    : FeaObjectPropertiesImplDlg(templateId, parent, typeCode) {
    Reset();
    HandleMessage(WM_CREATE, [this](WPARAM, LPARAM lParam) -> LRESULT {
        if (CWnd::OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)) == -1) return -1;
        if (CWnd* target = GetMessageTarget()) {
            // The target takes the window's messages while it lives.
            target->m_hWnd = m_hWnd;
            Targets()[m_hWnd] = {this, target};
            savedProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, LONG_PTR(&TargetProc)));
        }
        return 0;
    });
}

FeaObjectDialogBase::~FeaObjectDialogBase() = default;

LRESULT FeaObjectDialogBase::TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = Targets().find(hwnd);
    if (it == Targets().end()) return ::DefWindowProc(hwnd, message, wParam, lParam);
    auto [dialog, target] = it->second;
    if (message == WM_DESTROY) {
        // The framework's own procedure comes back, the target lets go of the handle, and the
        // dialog destroys as usual.
        ::SetWindowLongPtr(hwnd, GWLP_WNDPROC, LONG_PTR(dialog->savedProc_));
        dialog->savedProc_ = nullptr;
        target->m_hWnd = nullptr;
        Targets().erase(it);
        return ::CallWindowProc(reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hwnd, GWLP_WNDPROC)), hwnd, message,
                                wParam, lParam);
    }
    return target->WindowProc(message, wParam, lParam);
}

LRESULT FeaObjectDialogBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CWnd::WindowProc(message, wParam, lParam);
}

std::uint32_t FeaObjectDialogBase::ShowDialog(std::uint32_t resumeCode) {
    Context().resumeCode = resumeCode;
    ResourceModuleScope resources;
    const INT_PTR result = DoModal();
    if (result == IDOK) return 0;
    // A dialog that could not be shown, or whose loop ran out of input, ends as Cancel: the
    // host then writes nothing.
    if (result == IDCANCEL || result == -1 || result == orv::win::kModalNoInput) return 1;
    return std::uint32_t(result);
}

std::uint32_t FeaObjectDialogBase::LoadDialogState() {
    const std::uint32_t code = Context().resumeCode;
    if (code == kResumeFresh) {
        GetEditedEntry().Zero();
        InitEditedEntry();
        if (Context().mode == 1) FillEntries();
    } else if (code != kResumeReopen) {
        OnResume(code);
    }
    return 0;
}

void FeaObjectDialogBase::RegisterField(UINT id, std::size_t offset, std::size_t size) {
    RegisterEntryField(id, offset, size, 0);
}

void FeaObjectDialogBase::RegisterFlagField(UINT id, std::size_t offset, std::uint32_t mask) {
    RegisterEntryField(id, offset, 4, mask);
}

void FeaObjectDialogBase::InitEditedEntry() { FillEditedEntry(); }

void FeaObjectDialogBase::DoDataExchange(CDataExchange* dx) {
    ExchangeText(dx, IDC_DESCRIPTION, Edited(), RURIVO_LOADS_V1_ENTRY::kDescriptionOffset,
                 RURIVO_LOADS_V1_ENTRY::kDescriptionSize);
}

}  // namespace DataModelDialogs
