#pragma once
// The part prescribed displacement dialog (type code 177, template 3051): a translation along
// or a rotation about a direction (X, Y, Z or a vector, typed or picked, remembered as the
// direction kind), its magnitude in a length or an angle, a load curve and an active range,
// whose data "Data..." opens in the host's active range editor.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/VectorLoads.h"

namespace DataModelDialogs {

class PartPrescribedDisplacementDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 177;

    explicit PartPrescribedDisplacementDlg(CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    // Objects that disagree on the type leave the magnitude to each one.
    void DoDataExchange(CDataExchange* dx) override;
    // A picked direction is a vector direction.
    void OnResume(std::uint32_t code) override;

private:
    // The unit label follows the type: an angle for a rotation, else a length.
    void ShowMagnitudeUnit();
};

}  // namespace DataModelDialogs
