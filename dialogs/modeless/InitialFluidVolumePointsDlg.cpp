#include "dialogs/modeless/InitialFluidVolumePointsDlg.h"

#include "dialogs/modeless/InitialFluidVolumeDlg.h"
#include "dialogs/resources/Modeless.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {

namespace {
constexpr UINT kHeaders[] = {IDC_IFV_X_UNIT, IDC_IFV_Y_UNIT, IDC_IFV_Z_UNIT};
UINT EditOf(std::uint32_t row, int axis) { return IDC_IFV_POINT_FIRST_EDIT + row * 3 + UINT(axis); }
constexpr auto kLength = UnitSys::UnitSystem::Length;
}  // namespace

InitialFluidVolumePointsDlg::InitialFluidVolumePointsDlg(InitialFluidVolumeDlg& owner)
    : CDialog(IDD_IFV_POINTS, &owner), owner_(owner), units_(owner.Units()) {
    HandleCommandRange(IDC_IFV_POINT_FIRST_EDIT, IDC_IFV_POINT_FIRST_EDIT + 23, EN_KILLFOCUS,
                       [this](UINT id) { OnLeaveEdit(id); });
    HandleCommandRange(IDC_IFV_POINT_FIRST_SELECT, IDC_IFV_POINT_FIRST_SELECT + 7, BN_CLICKED,
                       [this](UINT id) { OnSelect(id - IDC_IFV_POINT_FIRST_SELECT); });
}

InitialFluidVolumePointsDlg::~InitialFluidVolumePointsDlg() = default;

BOOL InitialFluidVolumePointsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const auto& system = units_.GetToUnitSystem();
    const std::wstring unit = system.GetLengthUnitText(system.GetLengthUnit(), false);
    for (UINT header : kHeaders) {
        CString format;
        GetDlgItemText(int(header), format);
        const std::wstring inserts[1] = {unit};
        SetDlgItemText(int(header), orv::FormatMessageStrings(std::wstring_view(format.GetString()), inserts).c_str());
    }
    ShowRows();
    return TRUE;
}

void InitialFluidVolumePointsDlg::EnableRow(std::uint32_t row, bool enable) {
    for (int axis = 0; axis < 3; ++axis)
        if (CWnd* edit = GetDlgItem(int(EditOf(row, axis)))) edit->EnableWindow(enable);
    if (CWnd* select = GetDlgItem(int(IDC_IFV_POINT_FIRST_SELECT + row))) select->EnableWindow(enable);
}

void InitialFluidVolumePointsDlg::ShowRows() {
    busy_ = true;
    const std::uint32_t count = owner_.PickedCount(), required = owner_.RequiredPoints();
    for (std::uint32_t row = 0; row < RowCount(); ++row) {
        const bool given = row < count, next = row == count && row < required;
        EnableRow(row, given || next);
        auto point = owner_.PointAt(row);
        for (int axis = 0; axis < 3; ++axis) {
            const UINT id = EditOf(row, axis);
            if (given) {
                units_.PseudoDDX_Text(m_hWnd, id, false, point[axis], kLength);
            } else {
                SetDlgItemText(int(id), next ? L"0" : L"");
            }
        }
    }
    busy_ = false;
}

void InitialFluidVolumePointsDlg::OnLeaveEdit(UINT id) {
    // Leaving for another window while the dialog ends, or a message box of the check itself,
    // must not run the check again.
    if (busy_ || !m_hWnd || m_nModalResult != -1) return;
    const std::uint32_t row = (id - IDC_IFV_POINT_FIRST_EDIT) / 3;
    const std::uint32_t count = owner_.PickedCount();
    if (row > count || row >= owner_.RequiredPoints()) return;
    busy_ = true;
    CDataExchange dx(this, TRUE);
    auto point = owner_.PointAt(row);
    bool valid = true;
    try {
        const int axis = int(id - EditOf(row, 0));
        units_.DDX_Text(&dx, id, point[axis], UnitSys::UnitSystem::DisplayableUnit(kLength));
        units_.DDV_MinMaxDouble(&dx, point[axis], -1e300, 1e300, UnitSys::UnitSystem::DisplayableUnit(kLength));
        // The other two edits of the row as they read now (a row that is not yet given reads 0).
        for (int other = 0; other < 3; ++other) {
            if (other == axis) continue;
            double value = 0;
            if (units_.PseudoDDX_Text(m_hWnd, EditOf(row, other), true, value, kLength)) point[other] = value;
        }
    } catch (const CUserException&) {
        valid = false;
    }
    if (valid) {
        if (row == count) {
            owner_.AddPoint(point);
            if (row + 1 < owner_.RequiredPoints() && row + 1 < RowCount()) {
                EnableRow(row + 1, true);
                for (int axis = 0; axis < 3; ++axis) SetDlgItemText(int(EditOf(row + 1, axis)), L"0");
            }
        } else {
            owner_.StorePoint(row, point);
            owner_.RefreshPreview();
        }
    }
    busy_ = false;
}

void InitialFluidVolumePointsDlg::OnSelect(std::uint32_t row) {
    statusText_ = FeaObjectPropertiesImplDlg::LoadResourceString(IDS_IFV_SELECT_POINT_A + row);
    EndDialog(int(InitialFluidVolumeDlg::kFirstPointRequest + row));
}

}  // namespace DataModelDialogs
