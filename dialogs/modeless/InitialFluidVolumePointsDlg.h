#pragma once
// The Edit Points dialog of the initial fluid volume: one row per point (A to D' of a
// hexahedron) with its coordinates in the display length unit and a "Select..." button that
// ends the dialog to pick that point in the view. Rows of points already given can be edited;
// the row of the next point takes a typed point; later rows wait.

#include <cstdint>

#include "dialogs/objectdialogs/UnitConverterWindowUtility.h"
#include "platform/win/Afx.h"

namespace DataModelDialogs {

class InitialFluidVolumeDlg;

class InitialFluidVolumePointsDlg : public CDialog {
public:
    explicit InitialFluidVolumePointsDlg(InitialFluidVolumeDlg& owner);
    ~InitialFluidVolumePointsDlg() override;

    // The status text of the point a "Select..." button asked for (empty otherwise).
    const CString& GetStatusText() const { return statusText_; }

protected:
    BOOL OnInitDialog() override;
    // Rows shown: every row of the template.
    virtual std::uint32_t RowCount() const = 0;
    InitialFluidVolumeDlg& Owner() const { return owner_; }

private:
    void ShowRows();
    void EnableRow(std::uint32_t row, bool enable);
    void OnLeaveEdit(UINT id);
    void OnSelect(std::uint32_t row);

    InitialFluidVolumeDlg& owner_;
    UnitConverterWindowUtility units_;
    CString statusText_;
    bool busy_ = false;
};

class InitialFluidVolumeHexPointsDlg : public InitialFluidVolumePointsDlg {
public:
    explicit InitialFluidVolumeHexPointsDlg(InitialFluidVolumeDlg& owner) : InitialFluidVolumePointsDlg(owner) {}

protected:
    std::uint32_t RowCount() const override { return 8; }
};

}  // namespace DataModelDialogs
