#pragma once
// The surface force dialog (type code 35, template 3163): a magnitude, its direction (X, Y, Z,
// custom or normal to the surface, or picked in the view), "Follows moving surface" for the
// analyses that move surfaces, and a load curve for the analyses that take one.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/VectorLoads.h"

namespace DataModelDialogs {

class SurfaceForceDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 35;

    explicit SurfaceForceDlg(CWnd* parent = nullptr);

protected:
    // Without a load curve row the description, OK and Cancel close up under the direction.
    BOOL OnInitDialog() override;
    // The record's reserved word after the load curve is cleared at every exchange.
    void DoDataExchange(CDataExchange* dx) override;
};

}  // namespace DataModelDialogs
