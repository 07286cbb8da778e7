#include "dialogs/modeless/InitialFluidVolumeDlg.h"

#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/modeless/InitialFluidVolumePointsDlg.h"
#include "dialogs/resources/Modeless.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {

ORV_REGISTER_FEA_DIALOG(120, InitialFluidVolumeDlg);

namespace {
using Entry = RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY;
using Shape = OrvDbRecord::DbInitialFluidVolume::RegionShape;
constexpr std::size_t kPointSize = 24;
// Registration keys of the fields that have no control of their own.
constexpr UINT kRegionShapeKey = 0xF001;
constexpr UINT kPointsKey = 0xF002;
constexpr UINT kOffsetEdits[] = {IDC_IFV_X, IDC_IFV_Y, IDC_IFV_Z, 0};
constexpr UINT kOffsetLabels[] = {IDC_IFV_X_LABEL, IDC_IFV_Y_LABEL, IDC_IFV_Z_LABEL};
const wchar_t* const kHexLabels[] = {L"A", L"B", L"C", L"D", L"A'", L"B'", L"C'", L"D'"};
constexpr double kUnbounded = 1e300;
}  // namespace

InitialFluidVolumeDlg::InitialFluidVolumeDlg(CWnd* parent)
    : InitialFluidVolumeDialogBase(IDD_INITIAL_FLUID_VOLUME, parent, kTypeCode) {
    HandleCommand(IDC_IFV_APPLY, [this] { OnApply(); });
    HandleCommand(IDC_IFV_USE_RELATIVE, [this] { OnUseRelative(); });
    HandleCommand(IDC_IFV_EDIT_POINTS, [this] { OnEditPoints(); });
    HandleCommand(IDC_IFV_HELP, [this] {
        if (auto* events = GetEvents()) events->OnHelpButtonClicked(kHelpId);
    });
}

InitialFluidVolumeDlg::~InitialFluidVolumeDlg() = default;

std::uint32_t InitialFluidVolumeDlg::RegionShape() const {
    return const_cast<InitialFluidVolumeDlg*>(this)->Context().editParameters.regionShape;
}

CString& InitialFluidVolumeDlg::FormatTitle(CString& result, const CString& format) {
    CString word;
    switch (RegionShape()) {
    case Shape::kHexahedral: word = LoadResourceString(IDS_IFV_HEXAHEDRAL); break;
    case Shape::kSpherical: word = LoadResourceString(IDS_IFV_SPHERICAL); break;
    case Shape::kCylindrical: word = LoadResourceString(IDS_IFV_CYLINDRICAL); break;
    default: word = L"???"; break;
    }
    const std::wstring inserts[1] = {std::wstring(word.GetString())};
    result = CString(orv::FormatMessageStrings(std::wstring_view(format.GetString()), inserts).c_str());
    return result;
}

void InitialFluidVolumeDlg::InitEditedEntry() {
    Entry& edited = GetEditedEntry();
    if (GetFeaObjects().empty()) {
        edited.Zero();
        edited.SetU32(Entry::kFlagWordOffset, 3);
    } else {
        GetFeaObjects().front()->InitFemStruct(edited);
    }
}

std::uint32_t InitialFluidVolumeDlg::LoadDialogState() {
    GetEditedEntry().Zero();
    InitEditedEntry();
    if (Context().mode == 1) {
        auto& entries = GetEntries();
        entries.resize(GetFeaObjects().size());
        for (std::size_t i = 0; i < entries.size(); ++i) GetFeaObjects()[i]->InitFemStruct(entries[i]);
    }
    return 0;
}

std::int32_t InitialFluidVolumeDlg::FillNewObjectEntry(void*, OrvDbRecord::FeaObjectGroup*, Entry* entry) {
    if (!entry) return kNoEntry;
    entry->Zero();
    return ApplyEditsToEntry(entry);
}

std::int32_t InitialFluidVolumeDlg::ApplyEditsToEntry(Entry* entry) { return Binding::ApplyEditsToEntry(entry); }

ModelessFeaObjectControllerBase* InitialFluidVolumeDlg::CreateController() {
    return new InitialFluidVolumeController(*this);
}

InitialFluidVolumeController* InitialFluidVolumeDlg::IfvController() const {
    return static_cast<InitialFluidVolumeController*>(Controller());
}

void InitialFluidVolumeDlg::PrepareControls() {
    if (CComboBox* combo = static_cast<CComboBox*>(GetDlgItem(IDC_IFV_FLUID_OPTION))) {
        combo->ResetContent();
        combo->SetItemData(combo->AddString(LoadResourceString(IDS_IFV_INSIDE_REGION)), 0);
        combo->SetItemData(combo->AddString(LoadResourceString(IDS_IFV_OUTSIDE_REGION)), 1);
    }
    MakeCalcEdits(kOffsetEdits);
}

BOOL InitialFluidVolumeDlg::OnInitDialog() {
    FeaObjectPropertiesImplDlg::OnInitDialog();
    RelabelOffsets();
    UpdateApply();
    return TRUE;
}

void InitialFluidVolumeDlg::DoDataExchange(CDataExchange* dx) {
    // The dialog's own fields: the typed offset, in lengths.
    for (int i = 0; i < 3; ++i) {
        DDX_Text(dx, kOffsetEdits[i], offset_[i], DisplayableUnit(UnitSys::UnitSystem::Length));
        DDV_MinMaxDouble(dx, offset_[i], -kUnbounded, kUnbounded, DisplayableUnit(UnitSys::UnitSystem::Length));
    }
    if (offsetOnly_) return;
    const auto edited = Edited();
    Register(kRegionShapeKey, Entry::kRegionShapeOffset, 4);
    if (Saving(dx)) GetEditedEntry().SetU32(Entry::kRegionShapeOffset, RegionShape());
    const std::uint32_t shape = RegionShape();
    if (shape <= Shape::kCylindrical) Register(kPointsKey, Entry::kPointsOffset, RequiredPoints() * kPointSize);
    if (!Saving(dx) && Context().mode == 1 && !GetEntries().empty())
        std::memcpy(edited.data() + Entry::kPointsOffset, GetEntries().front().data() + Entry::kPointsOffset, 256);
    ExchangeComboItemDataOrNone(dx, IDC_IFV_FLUID_OPTION, edited, Entry::kFluidOptionOffset);
    ExchangeFlagCheck(dx, IDC_IFV_ENABLE, edited, Entry::kFlagWordOffset, 0, 1);
    ExchangeText(dx, IDC_IFV_DESCRIPTION, edited, Entry::kDescriptionOffset, Entry::kDescriptionSize);
}

bool InitialFluidVolumeDlg::Restart() {
    auto* events = GetEvents();
    if (events) events->GetRelativeFromPoint(reference_);
    if (HasWindow()) {
        CheckDlgButton(IDC_IFV_USE_RELATIVE, events && events->ShouldUseRelativeCoordinates() ? BST_CHECKED : BST_UNCHECKED);
        RelabelOffsets();
    }
    count_ = Context().mode == 1 ? RequiredPoints() : 0;
    if (IfvController()) IfvController()->RebuildPreview();
    UpdateApply();
    for (double& v : offset_) v = 0;
    ShowOffset();
    return true;
}

InitialFluidVolumeDlg::Xyz InitialFluidVolumeDlg::PointAt(std::uint32_t index) {
    const Entry& e = GetEditedEntry();
    const std::size_t at = Entry::kPointsOffset + index * kPointSize;
    return {e.GetF64(at), e.GetF64(at + 8), e.GetF64(at + 16)};
}

void InitialFluidVolumeDlg::StorePoint(std::uint32_t index, const Xyz& point) {
    if (index >= Entry::kPointCount) return;
    Entry& e = GetEditedEntry();
    const std::size_t at = Entry::kPointsOffset + index * kPointSize;
    for (int i = 0; i < 3; ++i) e.SetF64(at + 8 * i, point[i]);
}

CString InitialFluidVolumeDlg::PointLabel(std::uint32_t index) const {
    if (RegionShape() == Shape::kHexahedral && index < 8) return kHexLabels[index];
    return L"?";
}

std::vector<InitialFluidVolumeDlg::Xyz> InitialFluidVolumeDlg::PickedPoints() {
    std::vector<Xyz> points;
    for (std::uint32_t i = 0; i < count_; ++i) points.push_back(PointAt(i));
    return points;
}

std::vector<CString> InitialFluidVolumeDlg::PickedLabels() const {
    std::vector<CString> labels;
    for (std::uint32_t i = 0; i < count_; ++i) labels.push_back(PointLabel(i));
    return labels;
}

void InitialFluidVolumeDlg::RefreshPreview() {
    if (IfvController()) IfvController()->RebuildPreview();
}

void InitialFluidVolumeDlg::AddPoint(const Xyz& point) {
    if (count_ >= RequiredPoints()) return;
    StorePoint(count_, point);
    if (auto* events = GetEvents()) events->SetRelativeFromPoint(point.data());
    if (auto* controller = IfvController())
        if (auto* preview = controller->Preview()) preview->AddPoint(point, PointLabel(count_));
    ++count_;
    UpdateApply();
}

void InitialFluidVolumeDlg::WithdrawPoint() {
    if (count_ == 0) {
        PostMessage(WM_CLOSE);
        return;
    }
    if (auto* controller = IfvController())
        if (auto* preview = controller->Preview()) preview->RemoveLastPoint();
    --count_;
    if (auto* events = GetEvents()) {
        const Xyz last = count_ > 0 ? PointAt(count_ - 1) : Xyz{reference_[0], reference_[1], reference_[2]};
        events->SetRelativeFromPoint(last.data());
    }
    UpdateApply();
}

void InitialFluidVolumeDlg::UpdateApply() {
    if (HasWindow())
        if (CWnd* apply = GetDlgItem(IDC_IFV_APPLY)) apply->EnableWindow(count_ == RequiredPoints());
}

void InitialFluidVolumeDlg::RelabelOffsets() {
    if (!HasWindow()) return;
    const UINT first = IsDlgButtonChecked(IDC_IFV_USE_RELATIVE) == BST_CHECKED ? IDS_IFV_DX_LABEL : IDS_IFV_X_LABEL;
    for (UINT i = 0; i < 3; ++i) SetDlgItemText(kOffsetLabels[i], LoadResourceString(first + i));
}

void InitialFluidVolumeDlg::ShowOffset() {
    if (!HasWindow()) return;
    offsetOnly_ = true;
    UpdateData(FALSE);
    offsetOnly_ = false;
}

void InitialFluidVolumeDlg::OnWindowGone() {
    if (auto* controller = IfvController()) controller->DeletePreview();
    picking_ = false;
}

void InitialFluidVolumeDlg::OnOK() { OnApply(); }

void InitialFluidVolumeDlg::OnCancel() { WithdrawPoint(); }

void InitialFluidVolumeDlg::OnApply() {
    if (count_ >= RequiredPoints()) {
        ModelessFeaObjectDialogBase::OnOK();
        return;
    }
    offsetOnly_ = true;
    const BOOL valid = UpdateData(TRUE);
    offsetOnly_ = false;
    if (!valid) return;
    Xyz point{offset_[0], offset_[1], offset_[2]};
    auto* events = GetEvents();
    if (events && IsDlgButtonChecked(IDC_IFV_USE_RELATIVE) == BST_CHECKED) {
        double from[3] = {0, 0, 0};
        events->GetRelativeFromPoint(from);
        for (int i = 0; i < 3; ++i) point[i] += from[i];
    }
    AddPoint(point);
    for (UINT id : {IDC_IFV_X, IDC_IFV_Y, IDC_IFV_Z}) SetDlgItemText(id, L"0");
    for (double& v : offset_) v = 0;
    if (CWnd* x = GetDlgItem(IDC_IFV_X)) {
        x->SetFocus();
        x->SendMessage(EM_SETSEL, 0, -1);
    }
}

void InitialFluidVolumeDlg::OnUseRelative() {
    const bool checked = IsDlgButtonChecked(IDC_IFV_USE_RELATIVE) == BST_CHECKED;
    if (auto* events = GetEvents()) events->ShouldUseRelativeCoordinates(checked);
    RelabelOffsets();
}

void InitialFluidVolumeDlg::OnEditPoints() {
    auto* controller = IfvController();
    if (controller) controller->SetPointsDialogOpen(true);
    CString status;
    std::uint32_t result = 0;
    {
        InitialFluidVolumeHexPointsDlg points(*this);
        result = std::uint32_t(points.DoModal());
        status = points.GetStatusText();
    }
    // The points dialog is gone either way. The flag clears also when a listed point is to be
    // picked: the preview's pending point follows the mouse exactly then.
    if (controller) controller->SetPointsDialogOpen(false);
    if (result >= kFirstPointRequest && result < kFirstPointRequest + Entry::kPointCount) {
        picking_ = true;
        ShowWindow(SW_HIDE);
        if (controller) controller->RequestPoint(result, status);
    }
}

void InitialFluidVolumeDlg::ResumePointRequest(std::uint32_t code, const Xyz* point) {
    const std::uint32_t index = code - kFirstPointRequest;
    if (point && index < RequiredPoints()) {
        // A pick for the next point adds it, so that it counts and the row shows it.
        if (index == count_)
            AddPoint(*point);
        else if (index < count_)
            StorePoint(index, *point);
    }
    RefreshPreview();
    if (auto* events = GetEvents()) events->SetStatusMessage(L"");
    ShowWindow(SW_SHOW);
    picking_ = false;
    if (HWND button = ::GetDlgItem(m_hWnd, IDC_IFV_EDIT_POINTS))
        PostMessage(WM_COMMAND, MAKEWPARAM(IDC_IFV_EDIT_POINTS, BN_CLICKED), LPARAM(button));
}

}  // namespace DataModelDialogs
