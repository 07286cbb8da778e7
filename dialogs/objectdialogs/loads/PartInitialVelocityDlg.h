#pragma once
// The part initial velocity dialog (type code 175, template 3053): a translational velocity,
// a center of rotation and a rotational velocity, each typed or picked in the view.

#include <array>

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/VectorLoads.h"

namespace DataModelDialogs {

class PartInitialVelocityDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 175;

    explicit PartInitialVelocityDlg(CWnd* parent = nullptr);

protected:
    // A run that is not the resumption of this dialog's pick forgets the pending pick.
    std::uint32_t LoadDialogState() override;
    // Skipped once after a pick, so that the restored texts stay.
    void DoDataExchange(CDataExchange* dx) override;
    // The picked group's edits get the picked values, the others the texts they had.
    void OnResume(std::uint32_t code) override;

private:
    // A pick button: keeps every text as typed (nothing is checked) and asks for the pick.
    void Pick(int group);

    int pendingGroup_ = 0;  // 0 none, 1 translational, 2 center of rotation, 3 rotational
    std::array<std::wstring, 10> savedTexts_;  // the nine edits and the description
};

}  // namespace DataModelDialogs
