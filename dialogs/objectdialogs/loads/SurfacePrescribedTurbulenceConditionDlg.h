#pragma once
// The surface prescribed turbulence condition dialog (type code 172, template 3011): a velocity
// inlet or pressure outlet, and the turbulence as intensity and scale factor or as kinetic
// energy and dissipation rate. The two pairs of rows lie over each other; the parameter type
// shows one pair, and changes only while the pair shown holds valid values. Both pairs are
// checked on every save, shown or not.

#include "dialogs/controls/OtherCtlValidatingCComboBox.h"
#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/FluidLoads.h"

namespace DataModelDialogs {

class SurfacePrescribedTurbulenceConditionDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 172;
    explicit SurfacePrescribedTurbulenceConditionDlg(CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    // Fills both combos and binds the parameter type combo before the first exchange.
    void PrepareControls() override;
    // A parameter type that differs across the selection leaves the four values blank and
    // unwritten.
    void DoDataExchange(CDataExchange* dx) override;

private:
    // Shows the pair of the selected parameter type and makes its exchange the combo's test.
    void ShowParameterRows();
    // The saving exchange of one pair, into a copy of the edited record.
    void ValidateIntensityPair(CDataExchange* dx);
    void ValidateEnergyPair(CDataExchange* dx);

    OtherCtlValidatingCComboBox parameterType_;
};

}  // namespace DataModelDialogs
