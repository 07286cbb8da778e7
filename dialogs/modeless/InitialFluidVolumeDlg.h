#pragma once
// InitialFluidVolumeDlg: the modeless dialog of an initial fluid volume (type code 120). It
// collects the points of the region (8 for a hexahedron, 2 for a sphere, 3 for a cylinder) from
// picks in the view or typed coordinates, absolute or relative to the host's reference point,
// and reports the finished volume through the host's Events.

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dialogs/modeless/InitialFluidVolumeController.h"
#include "dialogs/modeless/ModelessFeaObjectDialogBase.h"
#include "host/model/DbInitialFluidVolume.h"

namespace DataModelDialogs {

// The initial fluid volume record has no prototype object: create mode copies everything but
// the header.
template <>
struct FeaEntryTraits<RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY> {
    static void CopyCreateBlocks(const RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY& from, RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY& to) {
        using E = RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY;
        std::memcpy(to.data() + E::kDescriptionOffset, from.data() + E::kDescriptionOffset, E::kDescriptionSize);
        std::memcpy(to.data() + E::kPointsOffset, from.data() + E::kPointsOffset, E::kSize - E::kPointsOffset);
        for (std::size_t offset : {E::kRegionShapeOffset, E::kFluidOptionOffset, E::kFlagWordOffset})
            std::memcpy(to.data() + offset, from.data() + offset, 4);
    }
};

using InitialFluidVolumeDialogBase =
    ModelessFeaObjectDialogBase_T<OrvDbRecord::DbInitialFluidVolume, RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY,
                                  AFeaObjectPropertiesDialogGeometryFunctor>;

class InitialFluidVolumeDlg : public InitialFluidVolumeDialogBase {
public:
    using Xyz = InitialFluidVolumeController::Xyz;
    using Entry = RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY;
    static constexpr std::uint32_t kTypeCode = 120;
    static constexpr unsigned long kHelpId = 1214;
    // First code of a point request of the Edit Points dialog (100 + row).
    static constexpr std::uint32_t kFirstPointRequest = 100;

    explicit InitialFluidVolumeDlg(CWnd* parent = nullptr);
    ~InitialFluidVolumeDlg() override;

    CString& FormatTitle(CString& result, const CString& format) override;
    void InitEditedEntry() override;
    std::int32_t FillNewObjectEntry(void* context, OrvDbRecord::FeaObjectGroup* group, Entry* entry) override;
    std::int32_t ApplyEditsToEntry(Entry* entry) override;
    ModelessFeaObjectControllerBase* CreateController() override;
    bool Restart() override;

    // ---- the points ----
    std::uint32_t RegionShape() const;
    std::uint32_t RequiredPoints() const { return OrvDbRecord::DbInitialFluidVolume::RequiredPointCount(RegionShape()); }
    std::uint32_t PickedCount() const { return count_; }
    // Point `index` of the edited record.
    Xyz PointAt(std::uint32_t index);
    void StorePoint(std::uint32_t index, const Xyz& point);
    // "A" to "D'" for a hexahedron, "?" for other shapes.
    CString PointLabel(std::uint32_t index) const;
    // Adds the next point (nothing when all are there) and tells the host and the preview.
    void AddPoint(const Xyz& point);
    // Withdraws the last point; with none, closes the dialog.
    void WithdrawPoint();
    // The picked points and their labels, for the preview.
    std::vector<Xyz> PickedPoints();
    std::vector<CString> PickedLabels() const;
    void RefreshPreview();
    // The controller's answer to a point request of the Edit Points dialog (null: undone).
    void ResumePointRequest(std::uint32_t code, const Xyz* point);
    InitialFluidVolumeController* IfvController() const;
    // The unit utility, for the Edit Points dialog.
    using FeaObjectPropertiesImplDlg::Units;

protected:
    std::uint32_t LoadDialogState() override;
    void PrepareControls() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Enter: Apply.
    void OnOK() override;
    // Cancel and Esc withdraw the last point; with none they close the dialog.
    void OnCancel() override;
    bool HidingCloses() const override { return !picking_; }
    // The preview leaves the view with the window.
    void OnWindowGone() override;

private:
    void OnApply();
    void OnUseRelative();
    void OnEditPoints();
    void UpdateApply();
    void RelabelOffsets();
    void ShowOffset();

    std::uint32_t count_ = 0;
    double reference_[3] = {0, 0, 0};
    double offset_[3] = {0, 0, 0};
    bool picking_ = false;
    bool offsetOnly_ = false;  // the exchange of Apply: the typed offset alone
};

}  // namespace DataModelDialogs
