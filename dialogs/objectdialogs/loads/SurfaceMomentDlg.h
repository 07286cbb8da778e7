#pragma once
// The surface moment dialog (type code 126, template 3143): a magnitude, the axis (X, Y, Z or
// custom, or picked in the view, remembered as the direction kind), the centre point (the
// centroid of each surface, or a point given or picked) and a load curve.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/VectorLoads.h"

namespace DataModelDialogs {

class SurfaceMomentDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 126;

    explicit SurfaceMomentDlg(CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    // The centroid stores the zero point.
    void DoDataExchange(CDataExchange* dx) override;
    // A picked axis is a custom direction; a picked point is a specified centre.
    void OnResume(std::uint32_t code) override;
};

}  // namespace DataModelDialogs
